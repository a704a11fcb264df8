// What saving colours or a sound writes when the editor's text has moved on
// from the frame loaded or a header would not fit, and how a repeat of a
// missing block plays.
#include <string>

#include "frame_editing.h"
#include "test_support.h"

namespace {

class EditorMends : public StorageTest {};

// The header comes from the frame record, the body from the editor (after its
// own header); a frame the header would push past what a load (or, for a
// sound, a save from the editor) keeps is refused and keeps its bytes.
TEST_F(EditorMends, HeaderFromTheRecordAroundTheEditorsBody) {
  const std::string colour = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n", full(kFrameTextMax - colour.size(), 'f');
  struct Row {
    bool sound;          // SetFrameSound("b.wav") then a save, else SaveCurrentColours
    std::string loaded;  // frame 0 as loaded
    std::string editor;  // the editor's text then
    std::string saved;   // frame 0 afterwards
  } rows[] = {
      {false, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nold", "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nnew", colour + "new"},
      {false, "x", full, colour + full},  // exactly 32000 bytes
      {true, "x", std::string(kFrameTextMax - 20, 's'), "x"},  // the header is 20 bytes
  };
  for (const Row& row : rows) {
    WriteFrame(0, row.loaded);
    Load(0);
    g_hooks.editorContent = row.editor;
    PenColour = ColourTriple{1, 2, 3};
    BackColour = ColourTriple{4, 5, 6};
    bool accepted = row.sound ? SetFrameSound("b.wav") : SaveCurrentColours(g_animation.basePath);
    EXPECT_EQ(ReadBytes(FramePath(0)), row.saved) << row.saved.size();
    EXPECT_EQ(g_hooks.editorText, accepted ? row.saved : row.loaded) << row.saved.size();
    EXPECT_EQ(g_hooks.refusals.size(), accepted ? 0u : 1u);
  }
}

// In the all-in-one layout only the end of the sequence for the frame being
// played ends playback; a repeat of a missing block shows an empty frame.
TEST_F(EditorMends, RepeatOfAMissingBlockPlaysOn) {
  WriteAllInOne(Block(0, "{\r\nsame 9\r\n}\r\n") + Block(1, "{\r\nsame 3\r\n}\r\n") + Block(4, "four"));
  for (uint32_t n : {0u, 1u, 5u}) {
    g_animation.playing = 1;
    Load(n, AllInOne);
    EXPECT_EQ(std::string(DisplayText), "") << n;
    EXPECT_EQ(g_animation.playing, n == 5 ? 0 : 1) << n;
  }
}

}  // namespace

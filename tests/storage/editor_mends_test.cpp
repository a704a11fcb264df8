// What saving colours or a sound writes when the editor's text has moved on
// from the frame loaded or a header would not fit, and how a repeat of a
// missing block plays.
#include <string>

#include "frame_editing.h"
#include "test_support.h"

namespace {

class EditorMends : public StorageTest {};

const std::string kColour = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n";
const std::string kSound = "{\r\nsound\r\nb.wav\r\n}\r\n";

// Saving colours or a sound: the header from the frame record, the body from
// the editor (after its header, if it starts with one), within the limit.
TEST_F(EditorMends, HeaderFromTheRecordAroundTheEditorsBody) {
  const std::string full(kFrameTextMax - kColour.size(), 'f');  // with the colours: exactly 32000
  struct Row {
    const char* what;
    bool sound;          // SetFrameSound("b.wav") and a save from the editor, else SaveCurrentColours
    std::string loaded;  // frame 0 on disk, loaded first
    std::string editor;  // what the editor holds then
    std::string saved;   // frame 0 afterwards; the loaded bytes when refused
  } rows[] = {
      {"typed after the load", false, "old", "typed", kColour + "typed"},
      {"the editor's header is replaced", false, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nold",
       "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nnew", kColour + "new"},
      {"sound around typed text", true, "old", "typed", kSound + "typed"},
      {"colours at exactly 32000 bytes", false, full, full, kColour + full},
      {"colours one byte beyond", false, "x", full + "y", "x"},
      {"sound one byte beyond what a save keeps", true, "x", std::string(kFrameTextMax - kSound.size(), 'g'), "x"},
  };
  for (const Row& row : rows) {
    WriteFrame(0, row.loaded);
    Load(0);
    g_hooks.refusals.clear();
    g_hooks.editorContent = row.editor;
    PenColour = ColourTriple{1, 2, 3};
    BackColour = ColourTriple{4, 5, 6};
    bool accepted = row.sound ? SetFrameSound("b.wav") : SaveCurrentColours(g_animation.basePath);
    if (row.sound && accepted) {
      g_hooks.editorContent = g_hooks.editorText;
      SaveFrameFromEditor(g_animation.basePath);
    }
    EXPECT_EQ(ReadBytes(FramePath(0)), row.saved) << row.what;
    EXPECT_EQ(accepted, g_hooks.refusals.empty()) << row.what;
    EXPECT_EQ(g_hooks.editorText, accepted ? row.saved : row.loaded) << row.what;
  }
}

// In the all-in-one layout only the end of the sequence for the frame being
// played ends playback; a repeat of a missing block shows an empty frame.
TEST_F(EditorMends, RepeatOfAMissingBlockPlaysOn) {
  WriteAllInOne(Block(0, "{\r\nsame 9\r\n}\r\nown") + Block(1, "{\r\nsame 3\r\n}\r\n") + Block(2, "two") +
                Block(4, "four"));
  struct Row {
    uint32_t n;
    std::string shown;
    int playing;
  } rows[] = {{0, "", 1}, {1, "", 1}, {2, "two\r\n", 1}, {5, "", 0}};
  for (const Row& row : rows) {
    g_animation.playing = 1;
    Load(row.n, AllInOne);
    EXPECT_EQ(std::string(DisplayText), row.shown) << row.n;
    EXPECT_EQ(g_animation.playing, row.playing) << row.n;
  }
}

}  // namespace

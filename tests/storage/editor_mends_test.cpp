// What the editing operations write when the editor's text has moved on from
// the frame loaded, when a header would not fit, when export would drop
// frames, and how a repeat of a missing block plays.
#include <cstdio>
#include <string>
#include <vector>

#include "conversion.h"
#include "frame_editing.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

namespace {

class EditorMends : public StorageTest {
 protected:
  const char* BaseC() {
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    return g_animation.basePath;
  }
};

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
      {"the record's sound stays", false, "{\r\nsound\r\nb.wav\r\n}\r\nold", "{\r\nsound\r\nb.wav\r\n}\r\nnew",
       "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nb.wav\r\n}\r\nnew"},
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
    bool accepted = row.sound ? SetFrameSound("b.wav") : SaveCurrentColours(BaseC());
    if (row.sound && accepted) {
      g_hooks.editorContent = g_hooks.editorText;
      SaveFrameFromEditor(BaseC());
    }
    EXPECT_EQ(ReadBytes(FramePath(0)), row.saved) << row.what;
    EXPECT_EQ(accepted, g_hooks.refusals.empty()) << row.what;
    EXPECT_EQ(g_hooks.editorText, accepted ? row.saved : row.loaded) << row.what;
    // A refused header leaves the record as loaded.
    EXPECT_EQ(g_frameRecord.hasColour + g_frameRecord.hasSound > 0, accepted || row.loaded[0] == '{') << row.what;
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

// Export replaces an all-in-one file that holds frames without a frame file
// only when the user agrees, and never writes an animation without frames.
TEST_F(EditorMends, ExportAsksBeforeDroppingFrames) {
  const std::string blocks = Block(0, "a") + Block(1, "b") + Block(2, "c") + Block(12000, "far");
  struct Row {
    const char* what;
    std::string allInOne;  // none when empty
    std::vector<int> frames;
    bool answer;
    std::vector<int> asked;
    int refusals;
    std::string after;
  } rows[] = {
      {"no frame file", blocks, {}, true, {}, 1, blocks},
      {"no frame file, no all-in-one file", "", {}, true, {}, 1, ""},
      {"two blocks would go, no", blocks, {0, 2}, false, {2}, 0, blocks},
      {"two blocks would go, yes", blocks, {0, 2, 5}, true, {2}, 0, Block(0, "0") + Block(2, "2") + Block(5, "5")},
      {"every block has its frame", Block(1, "b"), {1, 3}, false, {}, 0, Block(1, "1") + Block(3, "3")},
      {"no all-in-one file yet", "", {4}, false, {}, 0, Block(4, "4")},
  };
  for (const Row& row : rows) {
    for (int n : {0, 1, 2, 3, 4, 5}) std::remove(FramePath(n).c_str());
    std::remove(AllInOnePath().c_str());
    if (!row.allInOne.empty()) WriteAllInOne(row.allInOne);
    for (int n : row.frames) WriteFrame(n, std::to_string(n));
    g_hooks.dropQuestions.clear();
    g_hooks.refusals.clear();
    g_hooks.dropAnswer = row.answer;
    ExportAllInOne(BaseC());
    EXPECT_EQ(ReadBytes(AllInOnePath()), row.after) << row.what;
    EXPECT_EQ(g_hooks.dropQuestions, row.asked) << row.what;
    EXPECT_EQ(static_cast<int>(g_hooks.refusals.size()), row.refusals) << row.what;
  }
}

}  // namespace

#include "frame_editing.h"

#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Frame number -> file content.
using Frames = std::map<int, std::string>;

std::string Content(int n) { return "frame " + std::to_string(n) + "\r\n"; }

struct RenumberCase {
  const char* name;
  std::vector<int> files;
  uint32_t current;
  std::map<int, int> expected;  // new number -> original number
};

class FrameEditing : public StorageTest {
 protected:
  // Writes a frame file for each number, holding Content(number).
  void WriteFrames(const std::vector<int>& numbers) {
    for (int n : numbers) WriteFrame(n, Content(n));
  }

  // Every frame file of Base() in the scratch directory with its content.
  Frames ReadFrames() const {
    Frames frames;
    for (const std::string& name : ListDir(Dir())) {
      if (name.size() < 9 || name.compare(0, 4, "anim") != 0 || name.compare(name.size() - 4, 4, ".txt") != 0) {
        continue;
      }
      std::string digits = name.substr(4, name.size() - 8);
      if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
      int n = std::stoi(digits);
      frames[n] = fs::is_directory(FramePath(n)) ? "<dir>" : ReadBytes(FramePath(n));
    }
    return frames;
  }

  // Expected files: new number -> the number whose content it holds.
  static Frames Moved(const std::map<int, int>& from) {
    Frames frames;
    for (const auto& [to, source] : from) frames[to] = Content(source);
    return frames;
  }

  // Runs operation at each case's current frame on a directory holding just
  // the case's frame files, and checks where their contents end up.
  template <size_t N>
  void CheckRenumbering(const RenumberCase (&cases)[N], void (*operation)(const char*)) {
    for (const RenumberCase& c : cases) {
      for (const std::string& name : ListDir(Dir())) fs::remove(Dir() + "/" + name);
      WriteFrames(c.files);
      g_animation.currentFrame = c.current;
      operation(BaseC());
      EXPECT_EQ(ReadFrames(), Moved(c.expected)) << c.name;
    }
  }

  const char* BaseC() {
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    return g_animation.basePath;
  }
};

}  // namespace

TEST_F(FrameEditing, InsertMovesFramesUpWhereTheNextNumberIsFree) {
  const RenumberCase cases[] = {
      {"middle", {0, 1, 2, 3, 4, 5}, 3, {{0, 0}, {1, 1}, {2, 2}, {4, 3}, {5, 4}, {6, 5}}},
      {"at zero, up to 10000", {0, 1, 10000}, 0, {{1, 0}, {2, 1}, {10001, 10000}}},
      {"10000 and 10001 stay, the gap lets the rest move",
       {0, 1, 2, 3, 4, 5, 10000, 10001},
       3,
       {{0, 0}, {1, 1}, {2, 2}, {4, 3}, {5, 4}, {6, 5}, {10000, 10000}, {10001, 10001}}},
      {"a run below 10001 stays", {3, 9999, 10000, 10001}, 3,
       {{4, 3}, {9999, 9999}, {10000, 10000}, {10001, 10001}}},
      {"at 10000", {9999, 10000}, 10000, {{9999, 9999}, {10001, 10000}}},
      {"above 10000 nothing moves", {10001, 10002}, 10001, {{10001, 10001}, {10002, 10002}}},
  };
  CheckRenumbering(cases, InsertFrame);
}

TEST_F(FrameEditing, DeleteMovesLaterFramesDown) {
  const RenumberCase cases[] = {
      {"middle", {0, 1, 2, 3, 4, 5}, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 5}}},
      {"empty frame", {0, 1, 2, 4, 5}, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 5}}},
      {"10001 never moves", {9998, 9999, 10000, 10001}, 9998, {{9998, 9999}, {9999, 10000}, {10001, 10001}}},
      {"at 10000 only the delete", {10000, 10001}, 10000, {{10001, 10001}}},
  };
  CheckRenumbering(cases, DeleteFrame);
}

TEST_F(FrameEditing, FailedDeleteKeepsTheNextFrameOffItsNumber) {
  // A non-empty directory with frame 3's name cannot be deleted.
  fs::create_directories(FramePath(3));
  ASSERT_TRUE(WriteBytes(FramePath(3) + "/inside", "x"));
  WriteFrames({4, 6, 7});
  g_animation.currentFrame = 3;
  DeleteFrame(BaseC());
  Frames expected = Moved({{4, 4}, {5, 6}, {6, 7}});
  expected[3] = "<dir>";
  EXPECT_EQ(ReadFrames(), expected);
}

TEST_F(FrameEditing, CopyToNext) {
  struct Case {
    const char* name;
    Frames before;
    Frames after;
  } cases[] = {
      {"creates the next frame", {{4, "four"}}, {{4, "four"}, {5, "four"}}},
      {"replaces the next frame", {{4, "four"}, {5, "five"}}, {{4, "four"}, {5, "four"}}},
      {"no file: nothing happens", {{5, "five"}}, {{5, "five"}}},
      {"no file and no next", {}, {}},
      {"empty file", {{4, ""}, {5, "five"}}, {{4, ""}, {5, ""}}},
  };
  for (const Case& c : cases) {
    for (const std::string& name : ListDir(Dir())) fs::remove(Dir() + "/" + name);
    for (const auto& [n, text] : c.before) WriteFrame(n, text);
    g_animation.currentFrame = 4;
    CopyToNext(BaseC());
    EXPECT_EQ(ReadFrames(), c.after) << c.name;
  }
}

TEST_F(FrameEditing, CopyingIsNotLimitedToOneFrameOfText) {
  std::string big;
  for (int i = 0; big.size() < 70000; ++i) big += std::to_string(i) + "\r\n";
  big += std::string("\0\x1a\x82\xa0", 4);
  WriteFrame(0, big);
  CopyToNext(BaseC());
  EXPECT_EQ(ReadBytes(FramePath(1)), big);
  MarkCopiedFrame();
  g_animation.currentFrame = 9;
  PasteFrame(BaseC());
  EXPECT_EQ(ReadBytes(FramePath(9)), big);
}

TEST_F(FrameEditing, PasteTakesTheMarkedFrameAsItIsAtPasteTime) {
  WriteFrame(2, "old two");
  WriteFrame(7, "seven");
  g_animation.currentFrame = 2;
  MarkCopiedFrame();
  g_hooks.editorContent = "new two\r\n";
  SaveFrameFromEditor(BaseC());
  g_animation.currentFrame = 7;
  PasteFrame(BaseC());
  EXPECT_EQ(ReadBytes(FramePath(7)), "new two\r\n");
  EXPECT_EQ(ReadBytes(FramePath(2)), "new two\r\n");
  EXPECT_EQ(g_animation.copiedFrame, 2u);
}

TEST_F(FrameEditing, PasteThatHasNothingToCopyChangesNothing) {
  WriteFrame(7, "seven");
  g_animation.currentFrame = 7;
  PasteFrame(BaseC());  // no mark
  g_animation.currentFrame = 3;
  MarkCopiedFrame();  // frame 3 has no file
  g_animation.currentFrame = 7;
  PasteFrame(BaseC());
  EXPECT_EQ(ReadFrames(), (Frames{{7, "seven"}}));
}

TEST_F(FrameEditing, PasteOntoItselfKeepsTheText) {
  WriteFrame(5, "five\r\nlines\r\n");
  g_animation.currentFrame = 5;
  MarkCopiedFrame();
  PasteFrame(BaseC());
  EXPECT_EQ(ReadFrames(), (Frames{{5, "five\r\nlines\r\n"}}));
}

TEST_F(FrameEditing, SaveFromEditorWritesTheFrameFileInEitherMode) {
  struct Case {
    int mode;
    std::string editor;
    std::string saved;
  } cases[] = {
      {FrameFiles, "a\r\nb\x82\xa0\r\n", "a\r\nb\x82\xa0\r\n"},
      {AllInOne, "block edit", "block edit"},
      {FrameFiles, "", ""},
      // The editor's limit counts the terminating zero.
      {FrameFiles, std::string(40000, 'x'), std::string(31999, 'x')},
  };
  WriteAllInOne(Block(6, "in the block"));
  for (const Case& c : cases) {
    WriteFrame(6, "before");
    g_animation.storageMode = c.mode;
    g_animation.currentFrame = 6;
    g_hooks.editorContent = c.editor;
    SaveFrameFromEditor(BaseC());
    EXPECT_EQ(ReadBytes(FramePath(6)), c.saved) << c.mode << " " << c.editor.size();
  }
  EXPECT_EQ(ReadBytes(AllInOnePath()), Block(6, "in the block"));
  Load(6, AllInOne);
  EXPECT_EQ(std::string(DisplayText), "in the block\r\n");
}

TEST_F(FrameEditing, SaveColoursWritesColourThenSoundAroundTheEditorsBody) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"no header", "body\r\n", "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\nbody\r\n"},
      {"sound block kept", "{\r\nsound\r\nbell.wav\r\n}\r\nbody",
       "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nbell.wav\r\n}\r\nbody"},
      {"colours replaced", "{\r\ncolor\r\n9 9 9 9 9 9\r\nsound\r\nb.wav\r\n}\r\nx",
       "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nb.wav\r\n}\r\nx"},
      {"empty frame", "", "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n"},
  };
  for (const Case& c : cases) {
    WriteFrame(3, c.before);
    g_animation.currentFrame = 3;
    Load(3);
    g_hooks.editorContent = g_hooks.editorText + "+typed";
    PenColour = ColourTriple{1, 2, 3};
    BackColour = ColourTriple{4, 5, 6};
    SaveCurrentColours(BaseC());
    EXPECT_EQ(ReadBytes(FramePath(3)), c.after + "+typed") << c.name;
    EXPECT_EQ(g_hooks.editorText, c.after + "+typed") << c.name;
    EXPECT_EQ(g_frameRecord.hasColour, 1);
  }
}

TEST_F(FrameEditing, SetSoundShowsTheHeaderAndWritesNoFile) {
  WriteFrame(1, "{\r\ncolor\r\n0 0 255 0 0 0\r\nsound\r\nold.wav\r\n}\r\nbody");
  g_animation.currentFrame = 1;
  Load(1);
  g_hooks.editorContent = g_hooks.editorText;
  SetFrameSound("C:\\snd\\new.wav");
  EXPECT_EQ(g_hooks.editorText, "{\r\ncolor\r\n0 0 255 0 0 0\r\nsound\r\nC:\\snd\\new.wav\r\n}\r\nbody");
  EXPECT_EQ(ReadBytes(FramePath(1)), "{\r\ncolor\r\n0 0 255 0 0 0\r\nsound\r\nold.wav\r\n}\r\nbody");
  EXPECT_EQ(std::string(g_soundCue.path), "old.wav");  // the cue follows loads only
  EXPECT_EQ(g_frameRecord.hasSound, 1);
}

namespace {
// Hands out its text, then fails the next read without reaching an end of file.
class BrokenBuffer : public std::streambuf {
 public:
  explicit BrokenBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("read failed"); }

 private:
  std::string text_;
};
}  // namespace

TEST_F(FrameEditing, CopyStreamEndsOnAnyReadFailure) {
  // A read that fails part-way fails the copy: it is abandoned, and the
  // target keeps its old bytes.
  std::string target = Dir() + "/copy.txt";
  ASSERT_TRUE(WriteBytes(target, "old"));
  BrokenBuffer buffer(std::string(2000, 'h'));
  std::istream broken(&buffer);
  std::istream none(nullptr);  // a stream that cannot read at all
  for (std::istream* in : {&broken, &none}) {
    SafeWriter out;
    ASSERT_TRUE(BeginSafeWrite(out, target.c_str(), 0));
    EXPECT_FALSE(CopyStream(*in, out));
    EXPECT_EQ(out.error, kErrorReadFailed);
    AbandonSafeWrite(out);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ListDir(Dir()), std::vector<std::string>{"copy.txt"});
  }
}

// Editing operations on frame files, the conversions between the layouts,
// and writes that fail.
#include "frame_editing.h"

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "conversion.h"
#include "file_io.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

class FrameEditing : public StorageTest {
 protected:
  // Runs operation at frame n.
  template <class Operation>
  auto At(uint32_t n, Operation operation) {
    g_animation.currentFrame = n;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    return operation(g_animation.basePath);
  }
};

void Mark(const char*) { MarkCopiedFrame(); }
bool Save(const char* base) { return SaveFrameFromEditor(base); }

}  // namespace

TEST_F(FrameEditing, InsertAndDeleteRenumberUpTo10000) {
  struct Case { bool (*operation)(const char*); uint32_t at; Frames before, after; } cases[] = {
      {InsertFrame, 3, {{0, "0"}, {2, "2"}, {3, "3"}, {4, "4"}}, {{0, "0"}, {2, "2"}, {4, "3"}, {5, "4"}}},
      {InsertFrame, 0, {{0, "0"}, {1, "1"}, {10000, "10000"}}, {{1, "0"}, {2, "1"}, {10001, "10000"}}},
      {InsertFrame, 3, {{3, "3"}, {9999, "9999"}, {10000, "10000"}, {10001, "10001"}}, {{4, "3"}, {9999, "9999"}, {10000, "10000"}, {10001, "10001"}}},
      {InsertFrame, 10000, {{9999, "9999"}, {10000, "10000"}}, {{9999, "9999"}, {10001, "10000"}}},
      {InsertFrame, 10001, {{10001, "10001"}, {10002, "10002"}}, {{10001, "10001"}, {10002, "10002"}}},
      {DeleteFrame, 3, {{2, "2"}, {3, "3"}, {4, "4"}, {6, "6"}}, {{2, "2"}, {3, "4"}, {5, "6"}}},
      {DeleteFrame, 9998, {{9998, "9998"}, {9999, "9999"}, {10000, "10000"}, {10001, "10001"}}, {{9998, "9999"}, {9999, "10000"}, {10001, "10001"}}},
      {DeleteFrame, 10000, {{10000, "10000"}, {10001, "10001"}}, {{10001, "10001"}}},
  };
  for (const Case& c : cases) {
    Write(c.before);
    At(c.at, c.operation);
    EXPECT_EQ(Files(), c.after) << (c.operation == InsertFrame ? "insert at " : "delete at ") << c.at;
  }
}

// A move the system refuses, at any place in the shift (counted among the
// files that exist), puts back every move made before it and is told once.
TEST_F(FrameEditing, InsertAndDeleteAreAllOrNothing) {
  const Frames frames = {{0, "0"}, {2, "2"}, {3, "3"}, {5, "5"}, {10000, "10000"}};
  struct Row { bool (*operation)(const char*); FileStep step; int nth, file; } rows[] = {
      {InsertFrame, FileStep::Rename, 1, 10000}, {InsertFrame, FileStep::Rename, 2, 5},
      {InsertFrame, FileStep::Rename, 3, 3},     {InsertFrame, FileStep::Rename, 4, 2},
      {DeleteFrame, FileStep::Rename, 1, 2},     {DeleteFrame, FileStep::Rename, 2, 3},  // 1: moving it aside
      {DeleteFrame, FileStep::Rename, 3, 5},     {DeleteFrame, FileStep::Rename, 4, 10000},
      {DeleteFrame, FileStep::Remove, 1, 2},  // the frame, moved aside, cannot be removed at the end
  };
  for (const Row& row : rows) {
    Write(frames);
    g_hooks = HookLog{};
    FailFileStep(row.step, row.nth, 5);
    EXPECT_FALSE(At(2, row.operation)) << row.nth;
    FailFileStep(row.step, 1, 0);
    EXPECT_EQ(Files(), frames) << row.nth;
    EXPECT_EQ(g_hooks.told, std::vector<std::string>{"moved " + FramePath(row.file) + "|"}) << row.nth;
  }
}

TEST_F(FrameEditing, CopyPasteAndSave) {
  std::string big;  // longer than a copy's pieces, with bytes a text copy would damage
  for (int i = 0; big.size() < 70000; ++i) big += std::to_string(i) + "\r\n\0\x1a\x82\xa0"[i % 5];
  const std::string full(kFrameTextMax, 'x');
  Write({{4, big}, {5, "five"}});
  At(4, CopyToNext);  // replaces frame 5
  At(6, CopyToNext);  // no frame 6: nothing
  At(6, PasteFrame);  // nothing marked: nothing
  At(2, Mark);
  At(5, PasteFrame);  // frame 2 has no file: nothing
  EXPECT_EQ(Files(), (Frames{{4, big}, {5, big}}));
  // A paste copies the marked frame as it is then; a save keeps what the editor holds.
  g_hooks.editorContent = full;
  At(4, Mark);
  At(4, Save);
  At(5, PasteFrame);
  EXPECT_EQ(Files(), (Frames{{4, full}, {5, full}}));
  // A save keeps up to 32000 bytes whole and refuses more, never cutting a character.
  struct Size { std::string editor; bool saved; } sizes[] = {
      {full + "x", false}, {full.substr(2) + "\x82\xa0", true}, {full.substr(1) + "\x82\xa0", false}, {full + full, false}};
  for (const Size& size : sizes) {
    g_hooks = HookLog{};
    g_hooks.editorContent = size.editor;
    const std::string before = Files()[5], after = size.saved ? size.editor : before;
    EXPECT_EQ(At(5, Save), size.saved);
    EXPECT_EQ(Files()[5], after);
    EXPECT_EQ(g_hooks.refusals, size.saved ? std::vector<int>{} : std::vector<int>{int(Refusal::TextTooLong)});
  }
  // Onto itself the frame already holds the copy: nothing is written, so nothing can fail.
  FailFileStep(FileStep::Create, 1, 5);
  At(4, PasteFrame);
  FailFileStep(FileStep::Create, 1, 0);
  EXPECT_TRUE(g_hooks.writeFailures.empty());
}

// Each command sets its own block in the editor's header and keeps every
// other byte; text without a complete header is all body. A frame that would
// pass 32000 bytes is refused.
TEST_F(FrameEditing, SaveColoursAndSetSoundSetTheirBlockInTheEditorsText) {
  const std::string colour = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n", full(kFrameTextMax - colour.size(), 'f');
  const std::string sounded = "{\r\nsound\r\nbell.wav\r\n}\r\nbody";
  struct Row { bool sound; std::string loaded, editor, composed; } rows[] = {  // composed "": refused
      {false, "body\r\n", "body\r\ntyped", colour + "body\r\ntyped"},
      {false, sounded, sounded + "+", "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nbell.wav\r\n}\r\nbody+"},
      {false, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nold", "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nnew", colour + "new"},
      {false, "", "", colour},
      {false, "x", full, colour + full},  // exactly 32000 bytes
      {false, "x", full + "f", ""},
      {false, "x", "{ ^_^ }\r\nA\r\nB", colour + "{ ^_^ }\r\nA\r\nB"},  // no "}" line: all body
      {false, "x", "{\r\nsound\r\nhand.wav\r\n}\r\nb", "{\r\ncolor\r\n1 2 3 4 5 6\r\nsound\r\nhand.wav\r\n}\r\nb"},
      {true, sounded, "{\r\nsound\r\nb.wav\r\n}\r\nnew", "{\r\nsound\r\nnew.wav\r\n}\r\nnew"},
      {true, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\nold", "plain", "{\r\nsound\r\nnew.wav\r\n}\r\nplain"},
      {true, "x", "{ a\r\ncolor\r\n9\r\nb\r\n}\r\nc", "{ a\r\ncolor\r\n9\r\nsound\r\nnew.wav\r\nb\r\n}\r\nc"},
      {true, "x", std::string(kFrameTextMax - 21, 's'), ""},  // the header is 22 bytes
  };
  for (const Row& row : rows) {
    Write({{3, row.loaded}});
    g_soundCue.path[0] = '\0';
    Load(3);
    g_hooks = HookLog{};
    g_hooks.editorContent = row.editor;
    PenColour = ColourTriple{1, 2, 3};
    BackColour = ColourTriple{4, 5, 6};
    g_animation.currentFrame = 3;
    bool accepted = row.sound ? SetFrameSound("new.wav") : SaveCurrentColours(g_animation.basePath);
    // A sound is shown, not written; the cue follows loads only.
    EXPECT_EQ(Files()[3], row.sound || !accepted ? row.loaded : row.composed) << row.editor.size();
    EXPECT_EQ(g_hooks.editorText + g_soundCue.path, row.composed + (row.loaded == sounded ? "bell.wav" : ""));
    EXPECT_EQ(g_hooks.refusals.size(), accepted ? 0u : 1u);
  }
  PenColour = ColourTriple{INT32_MIN, INT32_MIN, INT32_MIN};
  g_hooks.editorContent = "";
  At(3, [](const char* base) { SaveCurrentColours(base); });
  EXPECT_EQ(Files()[3], "{\r\ncolor\r\n-2147483648 -2147483648 -2147483648 4 5 6\r\n}\r\n");
}

TEST_F(FrameEditing, CopyStreamEndsOnAnyReadFailureAndKeepsTheOldFile) {
  // Hands out its text, then fails the next read without reaching an end of file.
  struct Broken : std::stringbuf {
    Broken() : std::stringbuf(std::string(2000, 'h')) {}
    int_type underflow() override { return gptr() < egptr() ? traits_type::to_int_type(*gptr()) : throw std::runtime_error("failed"); }
  } buffer;
  std::istream broken(&buffer), none(nullptr);
  for (std::istream* in : {&broken, &none}) {
    Write({{0, "old"}});
    SafeWriter out;
    ASSERT_TRUE(BeginSafeWrite(out, FramePath(0).c_str(), 0));
    EXPECT_FALSE(CopyStream(*in, out));
    EXPECT_FALSE(CommitSafeWrite(out));
    EXPECT_EQ(out.error, kErrorReadFailed);
    EXPECT_EQ(Files(), (Frames{{0, "old"}}));
  }
}

TEST_F(FrameEditing, ExportAndExpansionRoundTripAddsOneLineEnd) {
  const Frames frames = {{0, "{\r\ncolor\r\n255 255 255 0 0 0\r\n}\r\n\x82\xa0\r\n"}, {1, "lone\nline feed and lone\rreturn\x1a"},
                         {5, ""}, {3, std::string(kFrameTextMax, 'w')}, {7, std::string("cut\0here", 8)}, {9999, "last\r\n"}};
  Frames written = frames, expanded;
  written[10000] = "not exported";
  written[-1] = std::string(40000, 'o');  // older and longer than the export
  Write(written);
  for (const auto& [n, text] : frames) expanded[-1] += Block(n, text.c_str()), expanded[n] = text.c_str() + std::string("\r\n");
  g_hooks.answer = true;  // frame 7 is cut at its zero byte
  At(0, ExportAllInOne);
  EXPECT_EQ(Files()[-1], expanded[-1]);
  EXPECT_EQ(g_hooks.told, std::vector<std::string>{"cut 1 7"});
  // Expansion replaces frame files; another name of a replaced file keeps the old bytes.
  Write({{-1, expanded[-1]}, {0, "old"}});
  std::filesystem::create_hard_link(FramePath(0), FramePath(8000));
  expanded[8000] = "old";
  At(0, ExpandAllInOne);
  EXPECT_EQ(Files(), expanded);
  EXPECT_EQ(g_animation.storageMode, FrameFiles);
}

// Export asks before it writes frames that the all-in-one file would cut;
// expansion writes each number from its first block only, the one a load
// shows. A file that cannot be read is never replaced, and is told.
TEST_F(FrameEditing, ConversionsNeverWriteOverWhatTheyCannotRead) {
  const Frames frames = {{1, "say [end]\r\nto stop"}, {2, "ok"}};
  Write(frames);
  At(0, ExportAllInOne);  // answered no
  EXPECT_EQ(Files(), frames);
  g_hooks.answer = true;
  At(0, ExportAllInOne);
  std::filesystem::remove(FramePath(1));
  At(0, ExpandAllInOne);  // the rest of frame 1 reads as a block numbered 1 too
  EXPECT_EQ(Files()[1] + Files()[2], "say ok\r\n");
  EXPECT_EQ(g_hooks.told, (std::vector<std::string>{"cut 1 1", "cut 1 1", "skipped 1"}));
  g_hooks.told.clear();
  std::filesystem::remove(AllInOnePath());
  std::filesystem::create_directory(AllInOnePath());
  At(0, ExportAllInOne);
  At(0, ExpandAllInOne);
  EXPECT_TRUE(std::filesystem::is_directory(AllInOnePath()));
  std::filesystem::remove(AllInOnePath());
  At(0, ExpandAllInOne);
  EXPECT_EQ(g_hooks.told, std::vector<std::string>(3, "read " + AllInOnePath()));
  EXPECT_TRUE(g_hooks.writeFailures.empty());  // nothing was tried
}

// A frame shown through a repeat is written only when the user lets it become
// a copy; saved as the load showed it, it stays a repeat, unasked.
TEST_F(FrameEditing, WritingARepeatAsksFirst) {
  const std::string repeat = "{\r\nsame 4\r\n}\r\n";
  struct Row { std::function<bool(const char*)> write; bool modified, answer; std::string written; int asked; } rows[] = {
      {Save, false, true, "", 0}, {Save, true, false, "", 1}, {Save, true, true, "typed", 1}, {SaveCurrentColours, false, false, "", 1},
      {[](const char* base) { return SaveFrameFromEditor(base, false); }, false, false, "", 1},  // a colour pick
  };
  for (const Row& row : rows) {
    Write({{2, "two"}, {4, "{\r\nsame 2\r\n}\r\n"}, {16, repeat}});
    Load(16);
    g_hooks = HookLog{};
    g_hooks.editorContent = "typed";
    g_hooks.editorModified = row.modified;
    g_hooks.answer = row.answer;
    EXPECT_EQ(At(16, row.write), !row.written.empty());
    EXPECT_EQ(Files()[16], row.written.empty() ? repeat : row.written);
    EXPECT_EQ(g_hooks.told, std::vector<std::string>(row.asked, "repeat 4"));
  }
}

TEST_F(FrameEditing, WritesThatFailLeaveTheOldFileAndAreTold) {
  const struct Op {
    const char* what;
    int target;  // -1: the all-in-one file
    std::function<void(const char*)> run;
  } ops[] = {
      {"save", 1, Save},                  {"save colours", 1, SaveCurrentColours}, {"copy to next", 2, CopyToNext},
      {"paste", 1, PasteFrame},           {"export", -1, ExportAllInOne},          {"expand", 5, ExpandAllInOne},
  };
  for (const Op& op : ops) {
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Move}) {
      SCOPED_TRACE(std::string(op.what) + " " + std::to_string(static_cast<int>(step)));
      Write({{0, "old 0"}, {1, "old 1"}, {2, "old 2"}, {5, "old 5"}, {-1, Block(5, "new")}});
      g_animation.hasCopiedFrame = 1;
      g_animation.copiedFrame = 0;
      g_hooks = HookLog{};
      g_hooks.editorContent = "typed";
      const Frames before = Files();
      FailFileStep(step, 1, 5);
      g_animation.currentFrame = 1;
      op.run(Base().c_str());
      EXPECT_EQ(Files(), before);
      EXPECT_EQ(g_hooks.writeFailures, std::vector<std::string>{op.target < 0 ? AllInOnePath() : FramePath(op.target)});
    }
  }
  // Failures of the system's own: a missing directory, a name too long.
  g_hooks = HookLog{};
  const std::string missing = Dir() + "/missing/anim", longBase = Dir() + "/" + std::string(254 - Dir().size(), 'b');
  SaveFrameFromEditor(missing.c_str());
  SaveFrameFromEditor(longBase.c_str());
  EXPECT_EQ(g_hooks.writeFailures, (std::vector<std::string>{missing + "0001.txt", longBase + "0001.txt"}));
#ifdef _WIN32
  // A read-only frame is refused, never moved over (Wine would replace it).
  g_hooks = HookLog{};
  g_hooks.editorContent = "typed";
  Write({{1, "old 1"}});
  SetFileAttributesA(FramePath(1).c_str(), FILE_ATTRIBUTE_READONLY);
  SaveFrameFromEditor(Base().c_str());
  SetFileAttributesA(FramePath(1).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Files(), (Frames{{1, "old 1"}}));
  EXPECT_EQ(g_hooks.writeFailures, std::vector<std::string>{FramePath(1)});
#endif
}

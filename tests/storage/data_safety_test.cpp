// Frames are never lost: full-size frames read back whole, damaged blocks do
// not spill into other frames, and a write that fails leaves the old file
// and is told.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "conversion.h"
#include "file_io.h"
#include "frame_editing.h"
#include "frame_loader.h"
#include "test_support.h"

namespace {

using Blocks = std::vector<std::pair<int, std::string>>;
const std::string kColourHead = "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n";

class DataSafety : public StorageTest {
 protected:
  const char* Use(int mode) {
    g_animation.storageMode = mode;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    return g_animation.basePath;
  }
  std::string Shown(uint32_t n) {
    Load(n, AllInOne);
    return DisplayText;
  }
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files;
    for (const std::string& name : ListDir(Dir())) files[name] = ReadBytes(Dir() + "/" + name);
    return files;
  }
};

}  // namespace

TEST_F(DataSafety, FullSizeFramesReadBackWhole) {
  for (size_t size : {31990, 31993, 31994, 31999, 32000}) {
    SCOPED_TRACE(size);
    const std::string text = kColourHead + std::string(size - kColourHead.size(), 'w');
    WriteFrame(0, text);
    WriteFrame(1, "one");
    ExportAllInOne(Use(FrameFiles));
    EXPECT_EQ(ReadBytes(AllInOnePath()), Block(0, text) + Block(1, "one"));
    EXPECT_EQ(Shown(0), (text + "\r\n").substr(0, kFrameTextMax));
    EXPECT_EQ(Shown(1), "one\r\n");
    PenColour.red = 0;
    ApplyFirstFrameColours(Use(AllInOne));
    EXPECT_EQ(PenColour.red, 1);
    // Expansion replaces both frames; another name of frame 0's file keeps
    // the old bytes.
    std::filesystem::remove(Dir() + "/linked.txt");
    std::filesystem::create_hard_link(FramePath(0), Dir() + "/linked.txt");
    ExpandAllInOne(Use(AllInOne));
    EXPECT_EQ(Files(), (std::map<std::string, std::string>{{"anim.txt", ReadBytes(AllInOnePath())},
                                                           {"anim0000.txt", text + "\r\n"},
                                                           {"anim0001.txt", "one\r\n"},
                                                           {"linked.txt", text}}));
  }
}

TEST_F(DataSafety, DamagedBlocksNeverSpillIntoOtherFrames) {
  const std::string x(32007, 'x'), oversize = "0000\r\n" + x + "0007\r\nJUNK";
  const std::string header = kColourHead + std::string(40000, 'h');
  const struct Row {
    const char* what;
    std::string bytes;
    Blocks blocks;  // what expansion writes; frame 7 is in none
  } rows[] = {
      {"text past the window, no end line after it", oversize, {{0, x.substr(0, 32000)}}},
      {"text past the window, an end line after it", oversize + "\r\n[end]\r\n" + Block(1, "one"),
       {{0, x.substr(0, 32000)}, {1, "one\r\n"}}},
      {"zero byte, no end line after it", std::string("0000\r\na\0", 8) + "0007\r\nJUNK", {{0, "a"}}},
      {"zero byte, an end line after it", std::string("0000\r\na\0", 8) + "b[end]\r\n0007\r\n[end]\r\n" + Block(2, "2"),
       {{0, "a"}, {2, "2\r\n"}}},
      {"colour header over an oversize text", "0000\r\n" + header + Block(7, "JUNK"), {{0, header.substr(0, 32000)}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (const std::string& name : ListDir(Dir())) std::remove((Dir() + "/" + name).c_str());
    WriteAllInOne(row.bytes);
    WriteFrame(7, "mine");
    for (const auto& block : row.blocks) EXPECT_EQ(Shown(static_cast<uint32_t>(block.first)), block.second);
    g_animation.playing = 1;
    EXPECT_EQ(Shown(7), "");
    EXPECT_EQ(g_animation.playing, 0);
    PenColour.red = 0;
    ApplyFirstFrameColours(Use(AllInOne));
    EXPECT_EQ(PenColour.red, row.blocks[0].second[0] == '{' ? 1 : 0);
    ExpandAllInOne(Use(AllInOne));
    std::map<std::string, std::string> expected = {{"anim.txt", row.bytes}, {"anim0007.txt", "mine"}};
    for (const auto& block : row.blocks) expected["anim000" + std::to_string(block.first) + ".txt"] = block.second;
    EXPECT_EQ(Files(), expected);
  }
}

TEST_F(DataSafety, WritesThatFailLeaveTheOldFileAndAreTold) {
  const char* base = Use(FrameFiles);
  const struct Op {
    const char* what;
    std::string target;
    std::function<void()> run;
  } ops[] = {
      {"save", FramePath(1), [&] { SaveFrameFromEditor(base); }},
      {"save colours", FramePath(1), [&] { SaveCurrentColours(base); }},
      {"copy to next", FramePath(2), [&] { CopyToNext(base); }},
      {"paste", FramePath(1), [&] { PasteFrame(base); }},
      {"export", AllInOnePath(), [&] { ExportAllInOne(base); }},
      {"expand", FramePath(5), [&] { ExpandAllInOne(base); }},
  };
  for (const Op& op : ops) {
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Move}) {
      SCOPED_TRACE(std::string(op.what) + " " + std::to_string(static_cast<int>(step)));
      for (int n : {0, 1, 2, 5}) WriteFrame(n, "old " + std::to_string(n));
      WriteAllInOne(Block(5, "new"));
      g_animation.currentFrame = 1;
      g_animation.hasCopiedFrame = 1;
      g_animation.copiedFrame = 0;
      g_hooks = HookLog{};
      g_hooks.editorContent = "typed";
      const std::map<std::string, std::string> before = Files();
      FailFileStep(step, 1, 5);
      op.run();
      EXPECT_EQ(Files(), before);
      EXPECT_EQ(g_hooks.writeFailures, std::vector<std::string>{op.target});
    }
  }
  // Failures of the system's own: a missing directory, a name too long.
  g_hooks = HookLog{};
  const std::string missing = Dir() + "/missing/anim", longBase = Dir() + "/" + std::string(254 - Dir().size(), 'b');
  SaveFrameFromEditor(missing.c_str());
  SaveFrameFromEditor(longBase.c_str());
  EXPECT_EQ(g_hooks.writeFailures, (std::vector<std::string>{missing + "0001.txt", longBase + "0001.txt"}));
}

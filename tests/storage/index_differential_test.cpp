// The block index may only ever speed reading up: an all-in-one file changes
// between loads in every way a file can, and each load, expansion and
// first-frame colours read must still give what a fresh plain read of the
// file as it is then gives. The index's clock is the test's, so whether a
// file counts as written long enough ago is set, never waited for.
#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "block_index.h"
#include "block_stream.h"
#include "conversion.h"
#include "file_io.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "reference_reader.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

int64_t s_now;
int64_t TestClock() { return s_now; }

std::string Art(size_t size, char c) {
  std::string text;
  while (text.size() < size) text += std::string(58, c) + "\r\n";
  return text.substr(0, size);
}

// Adds one to every four-digit number line that follows an end line, and to
// the first, keeping their widths.
std::string Renumber(std::string f) {
  for (size_t at = 0; at != std::string::npos; at = f.find("[end]\r\n", at + 1)) {
    size_t p = at == 0 ? 0 : at + 7;
    if (p + 6 <= f.size() && f.compare(p + 4, 2, "\r\n") == 0) f[p + 3] = static_cast<char>('0' + (f[p + 3] - '0' + 1) % 10);
  }
  return f;
}

// f with the first from replaced by to.
std::string Swap(std::string f, const std::string& from, const std::string& to) {
  return f.replace(f.find(from), from.size(), to);
}

// One change of the file and the times around it, in seconds after a fixed
// moment long ago: the write time the file gets, and the clock while it is
// loaded (a write within 2 seconds of the clock is never trusted). Most
// changes leave the number lines where the index saw them but move where
// reading finds the blocks, so that a stale index would give other frames.
struct Step {
  const char* what;
  std::string (*change)(std::string);
  bool byRename;
  int writeTime, clock;
  bool indexUsed;  // later loads go through the index
};

const Step kSteps[] = {
    {"written long ago", [](std::string f) { return f; }, false, 0, 20, true},
    {"same size in place, a block appears in a text",
     [](std::string f) { return f.replace(f.find("0001\r\n") + 100, 13, "[end]\r\n0009\r\n"); }, false, 10, 20, true},
    {"replaced by rename, same size and time", [](std::string f) { return Swap(f, "[end]\r\n0009", "[enX]\r\n0009"); },
     true, 10, 20, true},
    {"cut short", [](std::string f) { return f.substr(0, f.size() * 3 / 5); }, false, 10, 20, true},
    {"appended to", [](std::string f) { return f + Block(7, Art(500, 'a')) + Block(9, ""); }, false, 10, 20, true},
    {"renumbered in place, write time kept", Renumber, false, 10, 20, true},
    {"written just before the index is begun", [](std::string f) { return Swap(f, "[enX]\r\n0009", "[end]\r\n0009"); },
     false, 30, 31, false},
    {"changed again within the same tick", [](std::string f) { return Swap(f, "[end]\r\n0009", "[enX]\r\n0009"); },
     false, 30, 31, false},
};

class IndexDifferential : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    SetBlockIndexClock(TestClock);
    DropBlockIndex();
    g_animation.storageMode = AllInOne;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
  }
  void TearDown() override {
    SetBlockIndexClock(nullptr);
    SetBlockChunkSize(0);
    StorageTest::TearDown();
  }

  // Writes the file, in place or by renaming a new file over it, with its
  // write time whole seconds after the fixed moment.
  void Write(const std::string& bytes, const Step& step) {
    std::string target = AllInOnePath(), written = step.byRename ? Dir() + "/new.txt" : target;
    ASSERT_TRUE(WriteBytes(written, bytes));
    fs::last_write_time(written, long_ago_ + std::chrono::seconds(step.writeTime));
    if (step.byRename) fs::rename(written, target);
    InputFile f;
    FileIdentity id{};
    ASSERT_TRUE(OpenInputFile(f, target.c_str()) && QueryFileIdentity(f, &id));
    CloseInputFile(f);
    s_now = id.writeTime + static_cast<int64_t>(step.clock - step.writeTime) * kFileTimeUnitsPerSecond;
  }

  // Every frame up to two past the highest number, up and down, as the
  // plain reader reads them; then expansion and first-frame colours.
  void CompareAll(const std::string& what) {
    std::vector<uint32_t> frames;
    for (int n = 0; n <= 11; ++n) frames.push_back(static_cast<uint32_t>(n));
    for (int n = 11; n >= 0; --n) frames.push_back(static_cast<uint32_t>(n));
    frames.push_back(0xFFFFFFFFu);
    for (uint32_t n : frames) {
      reference::Frame expected = reference::ReadFrame(AllInOnePath(), n);
      g_animation.playing = 1;
      ReadFrameText(g_animation.basePath, n);
      ASSERT_EQ(std::string(WorkBuffer), expected.text) << what << ", frame " << n;
      ASSERT_EQ(g_animation.playing, expected.ended ? 0 : 1) << what << ", frame " << n;
    }

    for (const std::string& name : ListDir(Dir())) {
      if (Dir() + "/" + name != AllInOnePath()) fs::remove(Dir() + "/" + name);
    }
    std::map<std::string, std::string> expanded, written;
    for (const auto& block : reference::ExpandedBlocks(AllInOnePath())) expanded[FramePath(block.first)] = block.second;
    ExpandAllInOne(g_animation.basePath);
    for (const std::string& name : ListDir(Dir())) {
      if (Dir() + "/" + name != AllInOnePath()) written[Dir() + "/" + name] = ReadBytes(Dir() + "/" + name);
    }
    EXPECT_EQ(written, expanded) << what;

    std::string window;
    PenColour = ColourTriple{-1, -1, -1};
    if (reference::FirstBlockWindow(AllInOnePath(), &window) && window[0] == '{') ParseColourBlock(SkipLine(window.c_str()));
    ColourTriple expected = PenColour;
    PenColour = ColourTriple{-1, -1, -1};
    ApplyFirstFrameColours(g_animation.basePath);
    EXPECT_TRUE(PenColour.red == expected.red && PenColour.green == expected.green && PenColour.blue == expected.blue)
        << what;
  }

  fs::file_time_type long_ago_ =
      std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(1));
};

TEST_F(IndexDifferential, EveryReadOfAChangingFileIsAFreshRead) {
  const std::string first = Block(0, "{\r\ncolor\r\n1 2 3 4 5 6\r\n}\r\n" + Art(900, '#')) + Block(1, Art(1500, '.')) +
                            Block(2, Art(40, '=')) + Block(3, Art(3000, '*')) + Block(5, Art(700, '@')) + Block(6, "");
  // The default chunk, and chunks so small that every read is cut short.
  for (size_t chunk : {size_t{0}, size_t{7}}) {
    SetBlockChunkSize(chunk);
    DropBlockIndex();
    std::string bytes = first;
    for (const Step& step : kSteps) {
      std::string what = std::string(step.what) + ", chunk " + std::to_string(chunk);
      bytes = step.change(bytes);
      Write(bytes, step);
      uint64_t walks = CountBlockIndex().indexedWalks;
      CompareAll(what);
      CompareAll(what + ", again");
      EXPECT_EQ(CountBlockIndex().indexedWalks > walks, step.indexUsed) << what;
      if (HasFailure()) return;
    }
  }
}

}  // namespace

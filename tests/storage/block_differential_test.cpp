// Holds the all-in-one reader to the plain algorithm of reference_reader.h on
// odd, generated and random files, read in chunks of many sizes so that every
// kind of block is split everywhere: the frames loaded, expansion (beside a
// frame file that a block may name or not), and the first frame's colours.
// Files also change between loads in every way a file can: the block index
// may only ever speed reading up. Its clock is the test's, so whether a file
// counts as written long enough ago is set, never waited for.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "block_index.h"
#include "block_stream.h"
#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "reference_reader.h"
#include "test_support.h"

namespace {

const char kArt[] = " .:-=+*#%@[]e\r\n\x81\x5b";

// A deterministic generator of odd all-in-one files.
struct Generator {
  std::mt19937 rng{20240601};
  unsigned Below(size_t n) { return unsigned(rng() % n); }
  bool OneIn(unsigned n) { return Below(n) == 0; }
  std::string Bytes(size_t n, const std::string& alphabet) {
    std::string s(n, ' ');
    for (size_t i = 0, r = 0; i < n; ++i, r >>= 8) s[i] = alphabet[((i % 4 ? r : (r = rng())) & 0xFF) % alphabet.size()];
    return s;
  }
  std::string Insert(std::string s, const std::string& what) { return s.empty() ? s : s.insert(Below(s.size()), what); }
  // A text, sometimes holding "[end]", a zero byte or part of an end line,
  // sometimes about as long as the reader's window (a full frame, export's
  // CR LF and "[end]") or longer.
  std::string Text() {
    static const size_t kSizes[] = {0, kFrameTextMax - 10, kFrameTextMax}, kSpread[] = {1, 13, 9000};
    unsigned kind = Below(30);
    std::string text = Bytes(kind < 3 ? kSizes[kind] + Below(kSpread[kind]) : Below(OneIn(4) ? 3000 : 120), kArt);
    text = OneIn(8) ? Insert(text, "[end]") : OneIn(9) ? Insert(text, std::string(1, '\0')) : text;
    return OneIn(10) ? Insert(text, "[en") : text;
  }
  // Usually four digits; sometimes negative, long, not a number or empty.
  std::string NumberLine(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, OneIn(10) ? " %d" : "%04d", OneIn(10) ? -1 - int(Below(50)) : number);
    return OneIn(8) ? Bytes(Below(13), OneIn(2) ? "0123456789" : "ab -+\t\n") : digits;
  }
  // A colour header, sometimes damaged, sometimes ending at the window's edge.
  std::string ColourHeader() {
    std::string values, header = std::string("{\r\n") + (OneIn(5) ? "colour" : "color") + "\r\n";
    for (int i = 0; i < 6; ++i) values += std::to_string(Below(256)) + " ";
    if (OneIn(10)) header += std::string(kFrameTextMax - header.size() - values.size() - 2 + Below(5), ' ');
    header += values + "\r\n}\r\n";
    return OneIn(5) ? Insert(header, OneIn(2) ? "[end]" : std::string(1, '\0')) : header;
  }
  // Blocks as export writes them, with odd ones and odd line ends mixed in;
  // the last end line may be missing.
  std::string ExportedFile() {
    std::string eol = OneIn(10) ? (OneIn(2) ? "\n" : "\r") : "\r\n", file;
    for (int i = 0, blocks = int(Below(12)), n = int(Below(3)); i < blocks; ++i, n += 1 + (OneIn(3) ? Below(4) : 0)) {
      file += NumberLine(n) + eol + (OneIn(3) ? ColourHeader() : "") + Text() + eol + (i + 1 < blocks || !OneIn(4) ? "[end]" + eol : "");
    }
    return OneIn(8) ? file + Bytes(Below(20), "0123[end]\r\n") : file;
  }
};

// Pen, background, colour flag and text, and how often they were applied.
std::string Colours() {
  char s[256];
  std::snprintf(s, sizeof s, "%d %d %d %d %d %d %d [%s] %d", PenColour.red, PenColour.green, PenColour.blue, BackColour.red,
                BackColour.green, BackColour.blue, g_frameRecord.hasColour, g_frameRecord.colourText, g_hooks.applyColourCalls);
  PenColour = BackColour = ColourTriple{-1, -1, -1};
  g_frameRecord.hasColour = g_hooks.applyColourCalls = g_frameRecord.colourText[0] = 0;
  return s;
}

int64_t s_now;

class BlockDifferential : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    SetBlockIndexClock([] { return s_now; });
  }
  void TearDown() override {
    SetBlockChunkSize(0);
    SetBlockIndexClock(nullptr);
    StorageTest::TearDown();
  }

  // Writes the file and compares every read of it; the index's clock then
  // stands age seconds after its last write (within 2 it is never trusted).
  // Tiny chunks on small files only: they refill every few bytes.
  void Compare(const std::string& bytes, size_t chunk, bool expand, bool byRename = false, int age = 10) {
    SCOPED_TRACE("chunk " + std::to_string(chunk) + ", " + std::to_string(bytes.size()) + " bytes: " + ::testing::PrintToString(bytes.substr(0, 200)));
    // Only expansion needs a directory of its own; the shared file is
    // rewritten in place, which is much faster than making a new file, or
    // replaced by a new file renamed over it.
    std::string dir = Dir() + "/" + (expand ? std::to_string(cases_++) : "shared"), path = dir + "/anim.txt";
    std::string written = byRename ? dir + "/new.txt" : path;
    std::filesystem::create_directory(dir);
    std::ofstream(written, std::ios::app).close();
    std::fstream(written, std::ios::in | std::ios::out | std::ios::binary) << bytes;
    std::filesystem::resize_file(written, bytes.size());
    if (byRename) std::filesystem::rename(written, path);
    InputFile opened;
    FileIdentity id{};
    ASSERT_TRUE(OpenInputFile(opened, path.c_str()) && QueryFileIdentity(opened, &id));
    CloseInputFile(opened);
    s_now = id.writeTime + age * kFileTimeUnitsPerSecond;
    SetBlockChunkSize(bytes.size() > 3000 && chunk < 100 ? 4096 : chunk);
    g_animation.storageMode = AllInOne;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, (dir + "/anim").c_str());

    // Each frame met, its neighbour, and numbers no file holds.
    std::vector<uint32_t> frames = {0, 1, 2, 0xFFFFFFFFu, gen_.Below(100000)};
    for (const auto& block : reference::ExpandedBlocks(path)) {
      if (gen_.OneIn(2) && frames.size() < 40) frames.insert(frames.end(), {uint32_t(block.first), uint32_t(block.first) + 1});
    }
    for (uint32_t n : frames) {
      reference::Frame expected = reference::ReadFrame(path, n);
      g_animation.playing = 1;
      ReadFrameText(g_animation.basePath, n);
      ASSERT_EQ(std::string(WorkBuffer) + "|" + std::to_string(g_animation.playing), expected.text + "|" + (expected.ended ? "0" : "1")) << n;
      // LoadFrame shows that text while editing (a header would change it).
      if (gen_.OneIn(4) && expected.text[0] != '{') {
        g_animation.playing = 0;
        LoadFrame(g_animation.basePath, n);
        ASSERT_EQ(std::string(DisplayText) + "|" + g_hooks.editorText, expected.text + "|" + expected.text) << n;
      }
    }

    std::string window;
    Colours();
    if (reference::FirstBlockWindow(path, &window) && window[0] == '{') ParseColourBlock(SkipLine(window.c_str()));
    std::string expected = Colours();
    ApplyFirstFrameColours(g_animation.basePath);
    ASSERT_EQ(Colours(), expected) << "first-frame colours";

    if (!expand) return;
    std::map<std::string, std::string> expanded, got;
    char name[kPathMax];
    FrameFileName(name, sizeof name, g_animation.basePath, 7);
    ASSERT_TRUE(WriteBytes(name, "mine"));
    expanded[name] = "mine";
    for (const auto& [n, text] : reference::ExpandedBlocks(path)) {
      if (FrameFileName(name, sizeof name, g_animation.basePath, uint32_t(n))) expanded[name] = text;
    }
    ExpandAllInOne(g_animation.basePath);
    for (const std::string& file : ListDir(dir)) got[dir + "/" + file] = ReadBytes(dir + "/" + file);
    got.erase(path);
    ASSERT_EQ(got, expanded) << "expansion";
  }

  Generator gen_;
  int cases_ = 0;
};

const size_t kChunks[] = {1, 2, 5, 7, 9, 64, 100, 4096, 0};

// Files are slow to write and open under Wine: fewer rounds there, where the
// point is the platform's streams rather than more odd files.
#ifdef _WIN32
constexpr int kRounds = 225;
#else
constexpr int kRounds = 1200;
#endif

}  // namespace

// In three parts, which run side by side.
TEST_F(BlockDifferential, OddRandomAndLargeFilesReadAsThePlainAlgorithmReadsThem) {
  for (int i = 0; i < kRounds && !HasFatalFailure(); ++i) {
    Compare(gen_.Bytes(gen_.Below(400), std::string("0123456789-+ [end]\r\n\r\n\0x", 24)), kChunks[gen_.Below(9)], i % 10 == 0);
  }
  for (int i = 0; i < 6 && !HasFatalFailure(); ++i) {
    std::string file;
    while (file.size() < 300000 + gen_.Below(300000)) file += Block(int(file.size()), gen_.Insert(gen_.Bytes(gen_.OneIn(20) ? 33000 : 500 + gen_.Below(20000), kArt), std::string(gen_.OneIn(10), '\0')));
    Compare(file, 0, true);
  }
}

TEST_F(BlockDifferential, ExportedFilesReadAsThePlainAlgorithmReadsThem) {
  for (int i = 0; i < kRounds / 2 && !HasFatalFailure(); ++i) Compare(gen_.ExportedFile(), kChunks[gen_.Below(9)], i % 10 == 0);
}

TEST_F(BlockDifferential, MoreExportedFilesReadAsThePlainAlgorithmReadsThem) {
  gen_.rng.seed(7);
  for (int i = 0; i < kRounds / 2 && !HasFatalFailure(); ++i) Compare(gen_.ExportedFile(), kChunks[gen_.Below(9)], i % 10 == 0);
}

// Each change keeps the blocks' number lines where the index saw them, or
// moves them; most make a new block appear inside a text, so that a stale
// index would read other frames.
TEST_F(BlockDifferential, ChangingFilesReadAsTheyAreNow) {
  enum Kind { kInPlace, kMoved, kCut, kAppended };
  const struct Change { const char* what; Kind kind; bool byRename; int age; } changes[] = {
      {"same size in place", kInPlace, false, 10}, {"later blocks moved", kMoved, false, 10},
      {"replaced by rename", kInPlace, true, 10},  {"cut short", kCut, false, 10},
      {"appended to", kAppended, false, 10},       {"written within the timestamp window", kInPlace, false, 1}};
  gen_.rng.seed(11);
  int used = 0;
  for (int i = 0; i < kRounds / 20 && !HasFatalFailure(); ++i) {
    std::string bytes = gen_.ExportedFile() + gen_.ExportedFile();
    for (const Change& change : changes) {
      const std::string block = "[end]\r\n" + gen_.NumberLine(int(gen_.Below(12))) + "\r\n";
      const size_t at = gen_.Below(bytes.size() + 1), room = std::min(block.size(), bytes.size() - at);
      if (change.kind == kInPlace) bytes.replace(at, room, block.substr(0, room));
      if (change.kind == kMoved) bytes = gen_.OneIn(2) ? bytes.insert(at, block) : bytes.erase(at, room);
      if (change.kind == kCut) bytes.resize(at);
      if (change.kind == kAppended) bytes += gen_.ExportedFile();
      const uint64_t walks = CountBlockIndex().indexedWalks;
      Compare(bytes, kChunks[gen_.Below(9)], false, change.byRename, change.age);
      EXPECT_TRUE(change.age > 2 || CountBlockIndex().indexedWalks == walks) << change.what;
      used += CountBlockIndex().indexedWalks > walks;
    }
  }
  EXPECT_GT(used, kRounds / 20);
}

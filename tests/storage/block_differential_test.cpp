// Holds the all-in-one reader to the plain stream algorithm of
// reference_reader.h on thousands of generated and random files, read in
// chunks of many sizes so that every kind of block is split everywhere.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "block_stream.h"
#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "reference_reader.h"
#include "test_support.h"

namespace {

// A deterministic generator of odd all-in-one files.
struct Generator {
  std::mt19937 rng;
  explicit Generator(unsigned seed) : rng(seed) {}

  unsigned Below(unsigned n) { return static_cast<unsigned>(rng() % n); }
  bool OneIn(unsigned n) { return Below(n) == 0; }

  // n bytes drawn from alphabet (four for each number drawn).
  std::string Bytes(size_t n, const std::string& alphabet) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; i += 4) {
      uint32_t r = static_cast<uint32_t>(rng());
      for (size_t j = i; j < i + 4 && j < n; ++j, r >>= 8) s[j] = alphabet[(r & 0xFF) % alphabet.size()];
    }
    return s;
  }

  // A frame's text: lines of text art, sometimes with an "[end]" or a zero
  // byte inside, sometimes longer than the reader's window.
  std::string Text() {
    size_t size;
    switch (Below(40)) {
      case 0: size = 0; break;
      case 1: size = kFrameTextMax - 7 - Below(3); break;  // around the largest readable text
      case 2: size = kFrameTextMax - 4 + Below(12); break;  // end line across the window's edge
      case 3: size = 32000 + Below(9000); break;            // end line out of reach
      default: size = Below(OneIn(4) ? 3000 : 120); break;
    }
    std::string text = Bytes(size, " .:-=+*#%@[]e\r\n\x81\x5b");
    if (!text.empty() && OneIn(8)) text.insert(Below(static_cast<unsigned>(text.size())), "[end]");
    if (!text.empty() && OneIn(10)) text[Below(static_cast<unsigned>(text.size()))] = '\0';
    if (!text.empty() && OneIn(10)) text.insert(Below(static_cast<unsigned>(text.size())), "[en");
    return text;
  }

  // A number line: usually four digits, sometimes anything a file may hold.
  std::string NumberLine(int number) {
    char digits[32];
    switch (Below(14)) {
      case 0: std::snprintf(digits, sizeof digits, "%d", -1 - static_cast<int>(Below(50))); return digits;
      case 1: return Bytes(1 + Below(12), "0123456789");  // up to 12 digits
      case 2: return Bytes(1 + Below(5), "ab -+\t\n");    // not a number
      case 3: std::snprintf(digits, sizeof digits, " %d", number); return digits;
      case 4: return "";
      default: std::snprintf(digits, sizeof digits, "%04d", number); return digits;
    }
  }

  // A colour header, sometimes damaged, before a text.
  std::string ColourHeader() {
    char values[80];
    std::snprintf(values, sizeof values, "%u %u %u %u %u %u", Below(256), Below(256), Below(256), Below(256),
                  Below(256), Below(256));
    std::string header = std::string("{\r\n") + (OneIn(5) ? "colour" : "color") + "\r\n";
    if (OneIn(10)) {  // values that end around the end of the 32000-byte window
      header += std::string(kFrameTextMax - header.size() - std::strlen(values) - 2 + Below(5), ' ');
    }
    header += values + std::string("\r\n}\r\n");
    if (OneIn(5)) header.insert(Below(static_cast<unsigned>(header.size())), OneIn(2) ? "[end]" : std::string(1, '\0'));
    return header;
  }

  // Blocks as export writes them, with odd ones mixed in and odd line ends.
  std::string ExportedFile() {
    std::string eol = OneIn(10) ? (OneIn(2) ? "\n" : "\r") : "\r\n";
    std::string file;
    int number = static_cast<int>(Below(3));
    int blocks = static_cast<int>(Below(12));
    for (int i = 0; i < blocks; ++i) {
      file += NumberLine(number) + eol + (OneIn(3) ? ColourHeader() : "") + Text() + eol;
      if (i + 1 < blocks || !OneIn(4)) file += "[end]" + eol;  // the last end line may be missing
      number += 1 + (OneIn(3) ? static_cast<int>(Below(4)) : 0);
    }
    if (OneIn(8)) file += Bytes(Below(20), "0123[end]\r\n");  // trailing bytes
    return file;
  }

  // Any bytes, weighted towards those the reader looks at.
  std::string RandomFile() {
    static const std::string kAlphabet("0123456789-+ [end]\r\n\r\n\0x", 24);
    return Bytes(Below(400), kAlphabet);
  }

  // Large files of many blocks, read across the reader's real chunks.
  std::string LargeFile() {
    std::string file;
    size_t size = 300000 + Below(300000);
    for (int i = 0; file.size() < size; ++i) {
      std::string text = Bytes(OneIn(20) ? 33000 : 500 + Below(20000), " .:-=+*#%@[]e\r\n\x81\x5b");
      if (OneIn(10)) text[Below(static_cast<unsigned>(text.size()))] = '\0';
      char head[16];
      std::snprintf(head, sizeof head, "%04d\r\n", i);
      file += head + text + "\r\n[end]\r\n";
    }
    return file;
  }
};

// The frames worth asking for: each block number met, its neighbours, and
// numbers no file holds.
std::vector<uint32_t> FramesToAsk(const std::string& path, Generator& gen) {
  std::vector<uint32_t> frames = {0, 1, 2, 0xFFFFFFFFu, gen.Below(100000)};
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(reference::kBufferSize);
  int number = 0;
  for (int i = 0; i < 40 && !in.fail(); ++i) {
    if (reference::ReadBlockNumber(in, buffer.data(), &number) == 0) break;
    int length = 0;
    bool endLine = false;
    int got = reference::ReadBlockText(in, buffer.data(), &length, &endLine);
    if (got == 0) break;
    if (gen.OneIn(2)) {
      frames.push_back(static_cast<uint32_t>(number));
      frames.push_back(static_cast<uint32_t>(number) + 1);
    }
    reference::AdvanceToNextBlock(in, got, length, endLine);
  }
  return frames;
}

std::string Shown(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size() && i < 300; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return bytes.size() > 300 ? out + "..." : out;
}

// What a colour block leaves behind.
struct ColourState {
  int pen[3], back[3];
  int hasColour;
  std::string colourText;
  int applyCalls;
  bool operator==(const ColourState& o) const {
    return std::equal(pen, pen + 3, o.pen) && std::equal(back, back + 3, o.back) && hasColour == o.hasColour &&
           colourText == o.colourText && applyCalls == o.applyCalls;
  }
};

void ResetColours() {
  PenColour = ColourTriple{-1, -1, -1};
  BackColour = ColourTriple{-1, -1, -1};
  g_frameRecord.hasColour = 0;
  g_frameRecord.colourText[0] = '\0';
  g_hooks.applyColourCalls = 0;
}

ColourState Colours() {
  return ColourState{{PenColour.red, PenColour.green, PenColour.blue},
                     {BackColour.red, BackColour.green, BackColour.blue},
                     g_frameRecord.hasColour,
                     g_frameRecord.colourText,
                     g_hooks.applyColourCalls};
}

class BlockDifferential : public StorageTest {
 protected:
  void TearDown() override {
    SetBlockChunkSize(0);
    StorageTest::TearDown();
  }

  void Failed(const std::string& what, const std::string& bytes) {
    ADD_FAILURE() << what << "\nfile (" << bytes.size() << " bytes): " << Shown(bytes);
    ++failures_;
  }

  // Loads each frame worth asking for with the real reader and compares the
  // text, the frame chosen and the end of the sequence with the plain one.
  void CompareFrames(const std::string& bytes, Generator& gen, size_t chunk) {
    for (uint32_t n : FramesToAsk(path_, gen)) {
      reference::Frame expected = reference::ReadFrame(path_, n);
      g_animation.playing = 1;
      ReadFrameText(g_animation.basePath, n);
      std::string got(WorkBuffer);
      int playing = g_animation.playing;
      if (got != expected.text || playing != (expected.ended ? 0 : 1)) {
        Failed("frame " + std::to_string(n) + ", chunk " + std::to_string(chunk) + ": text \"" + Shown(got) +
                   "\" playing " + std::to_string(playing) + ", expected \"" + Shown(expected.text) +
                   "\" playing " + std::to_string(!expected.ended),
               bytes);
        return;
      }
      // LoadFrame shows that text; a header would make it show something
      // else, which the header tests cover.
      if (gen.OneIn(4) && (expected.text.empty() || expected.text[0] != '{')) {
        g_animation.playing = 0;
        LoadFrame(g_animation.basePath, n);
        EXPECT_EQ(std::string(DisplayText), expected.text) << "frame " << n;
        EXPECT_EQ(g_hooks.editorText, expected.text) << "frame " << n;
      }
    }
  }

  // First-frame colours: the colour block parsed from the plain reader's
  // first window, against what ApplyFirstFrameColours applies.
  void CompareFirstColours(const std::string& bytes, size_t chunk) {
    ResetColours();
    std::string window;
    if (reference::FirstBlockWindow(path_, &window)) {
      std::vector<char> text(window.begin(), window.end());
      text.resize(kTextBufferSize, '\0');
      if (text[0] == '{') ParseColourBlock(SkipLine(text.data()));
    }
    ColourState expected = Colours();
    ResetColours();
    ApplyFirstFrameColours(g_animation.basePath);
    if (!(Colours() == expected)) {
      Failed("first-frame colours differ, chunk " + std::to_string(chunk) + ": got \"" + Colours().colourText +
                 "\", expected \"" + expected.colourText + "\"",
             bytes);
    }
  }

  // Expansion: the frame files written, against the plain reader's blocks.
  void CompareExpansion(const std::string& bytes, size_t chunk) {
    std::map<std::string, std::string> expected;
    char name[kPathMax];
    for (const auto& block : reference::ExpandedBlocks(path_)) {
      if (FrameFileName(name, sizeof name, g_animation.basePath, static_cast<uint32_t>(block.first))) {
        expected[name] = block.second;
      }
    }
    ExpandAllInOne(g_animation.basePath);
    std::map<std::string, std::string> got;
    for (const std::string& file : ListDir(dir_)) {
      std::string path = dir_ + "/" + file;
      if (path != path_) got[path] = ReadBytes(path);
    }
    if (got != expected) {
      Failed("expansion differs, chunk " + std::to_string(chunk) + ": " + std::to_string(got.size()) +
                 " files, expected " + std::to_string(expected.size()),
             bytes);
    }
  }

  void Compare(const std::string& bytes, Generator& gen, size_t chunk, bool expand) {
    // File systems may flush a file to disk when it is truncated and written
    // again, and creating many files is slow too: the file is rewritten in
    // place and then cut to size, and only expansion, which must start from
    // no frame files, gets a directory of its own.
    dir_ = Dir() + "/" + (expand ? std::to_string(cases_++) : std::string("shared"));
    std::filesystem::create_directory(dir_);
    path_ = dir_ + "/anim.txt";
    {
      std::fstream out(path_, std::ios::in | std::ios::out | std::ios::binary);
      if (!out.is_open()) out.open(path_, std::ios::out | std::ios::binary);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      ASSERT_TRUE(out.good());
    }
    std::filesystem::resize_file(path_, bytes.size());
    SetBlockChunkSize(chunk);
    g_animation.storageMode = AllInOne;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, (dir_ + "/anim").c_str());
    CompareFrames(bytes, gen, chunk);
    CompareFirstColours(bytes, chunk);
    if (expand) CompareExpansion(bytes, chunk);
  }

  int failures_ = 0;
  int cases_ = 0;
  std::string dir_;   // the case's directory
  std::string path_;  // its all-in-one file
};

const size_t kSmallChunks[] = {1, 2, 5, 7, 9, 64, 100, 4096, 0};

// Files are slow to write and open under Wine: fewer rounds there, where the
// point is the platform's streams rather than more odd files.
#ifdef _WIN32
constexpr int kGeneratedRounds = 300;
constexpr int kRandomRounds = 150;
#else
constexpr int kGeneratedRounds = 2000;
constexpr int kRandomRounds = 2000;
#endif

}  // namespace

TEST_F(BlockDifferential, GeneratedFilesReadAsThePlainAlgorithmReadsThem) {
  Generator gen(20240601);
  for (int i = 0; i < kGeneratedRounds && failures_ < 3; ++i) {
    std::string bytes = gen.ExportedFile();
    // Tiny chunks on small files only: they refill every few bytes.
    size_t chunk = kSmallChunks[gen.Below(9)];
    if (bytes.size() > 3000 && chunk < 100) chunk = 4096;
    // Expansion writes files, which is slow: every tenth file.
    Compare(bytes, gen, chunk, i % 10 == 0);
  }
}

TEST_F(BlockDifferential, RandomBytesReadAsThePlainAlgorithmReadsThem) {
  Generator gen(777);
  for (int i = 0; i < kRandomRounds && failures_ < 3; ++i) {
    std::string bytes = gen.RandomFile();
    Compare(bytes, gen, kSmallChunks[gen.Below(9)], i % 10 == 0);
  }
}

TEST_F(BlockDifferential, LargeFilesAcrossTheReadersChunks) {
  Generator gen(99);
  for (int i = 0; i < 6 && failures_ < 3; ++i) Compare(gen.LargeFile(), gen, 0, true);
}

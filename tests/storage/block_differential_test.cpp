// Holds the all-in-one reader to the plain stream algorithm of
// reference_reader.h on thousands of generated and random files, read in
// chunks of many sizes so that every kind of block is split everywhere.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "block_stream.h"
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

  // Blocks as export writes them, with odd ones mixed in and odd line ends.
  std::string ExportedFile() {
    std::string eol = OneIn(10) ? (OneIn(2) ? "\n" : "\r") : "\r\n";
    std::string file;
    int number = static_cast<int>(Below(3));
    int blocks = static_cast<int>(Below(12));
    for (int i = 0; i < blocks; ++i) {
      file += NumberLine(number) + eol + Text() + eol;
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
    for (int i = 0; file.size() < 300000 + Below(300000); ++i) {
      size_t size = OneIn(20) ? 33000 : 500 + Below(20000);
      std::string text = Bytes(size, " .:-=+*#%@[]e\r\n\x81\x5b");
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
  std::vector<char> buffer(kTextBufferSize);
  int number = 0;
  for (int i = 0; i < 40 && !in.fail(); ++i) {
    if (reference::ReadBlockNumber(in, buffer.data(), &number) == 0) break;
    int length = 0;
    int got = reference::ReadBlockText(in, buffer.data(), &length);
    if (got == 0) break;
    if (gen.OneIn(2)) {
      frames.push_back(static_cast<uint32_t>(number));
      frames.push_back(static_cast<uint32_t>(number) + 1);
    }
    reference::AdvanceToNextBlock(in, got, length);
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

class BlockDifferential : public StorageTest {
 protected:
  void TearDown() override {
    SetBlockChunkSize(0);
    StorageTest::TearDown();
  }

  // Loads each frame worth asking for with the real reader and compares the
  // text, the frame chosen and the end of the sequence with the plain one.
  void Compare(const std::string& bytes, Generator& gen, size_t chunk) {
    WriteAllInOne(bytes);
    SetBlockChunkSize(chunk);
    g_animation.storageMode = AllInOne;
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    for (uint32_t n : FramesToAsk(AllInOnePath(), gen)) {
      reference::Frame expected = reference::ReadFrame(AllInOnePath(), n);
      g_animation.playing = 1;
      ReadFrameText(g_animation.basePath, n);
      std::string got(WorkBuffer);
      int playing = g_animation.playing;
      if (got != expected.text || playing != (expected.ended ? 0 : 1)) {
        ADD_FAILURE() << "frame " << n << ", chunk " << chunk << ": text \"" << Shown(got) << "\" playing "
                      << playing << ", expected \"" << Shown(expected.text) << "\" playing "
                      << !expected.ended << "\nfile (" << bytes.size() << " bytes): " << Shown(bytes);
        ++failures_;
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

  int failures_ = 0;
};

const size_t kSmallChunks[] = {1, 2, 5, 7, 9, 64, 100, 4096, 0};

// Files are slow to write and open under Wine: fewer rounds there, where the
// point is the platform's streams rather than more odd files.
#ifdef _WIN32
constexpr int kRounds = 400;
#else
constexpr int kRounds = 2000;
#endif

}  // namespace

TEST_F(BlockDifferential, GeneratedFilesReadAsThePlainAlgorithmReadsThem) {
  Generator gen(20240601);
  for (int i = 0; i < kRounds && failures_ < 3; ++i) {
    std::string bytes = gen.ExportedFile();
    // Tiny chunks on small files only: they refill every few bytes.
    size_t chunk = kSmallChunks[gen.Below(9)];
    if (bytes.size() > 3000 && chunk < 100) chunk = 4096;
    Compare(bytes, gen, chunk);
  }
}

TEST_F(BlockDifferential, RandomBytesReadAsThePlainAlgorithmReadsThem) {
  Generator gen(777);
  for (int i = 0; i < kRounds && failures_ < 3; ++i) {
    std::string bytes = gen.RandomFile();
    Compare(bytes, gen, kSmallChunks[gen.Below(9)]);
  }
}

TEST_F(BlockDifferential, LargeFilesAcrossTheReadersChunks) {
  Generator gen(99);
  for (int i = 0; i < 6 && failures_ < 3; ++i) Compare(gen.LargeFile(), gen, 0);
}

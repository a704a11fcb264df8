#include <fstream>
#include <string>
#include <vector>

#include "block_stream.h"
#include "file_io.h"
#include "reference_reader.h"
#include "test_support.h"

namespace {

struct ReadBlock {
  int number;
  std::string text;
  bool operator==(const ReadBlock& o) const { return number == o.number && text == o.text; }
};

void PrintTo(const ReadBlock& b, std::ostream* os) { *os << "{" << b.number << ", \"" << b.text << "\"}"; }

class BlockReader : public StorageTest {
 protected:
  // Reads every block of an all-in-one file holding bytes with the plain
  // stream algorithm and with the block stream; both must agree.
  std::vector<ReadBlock> ReadAll(const std::string& bytes) {
    std::string path = Dir() + "/blocks.txt";
    EXPECT_TRUE(WriteBytes(path, bytes));
    std::vector<ReadBlock> plain = ReadAllPlain(path);
    EXPECT_EQ(ReadAllStreamed(path), plain);
    return plain;
  }

 private:
  std::vector<ReadBlock> ReadAllPlain(const std::string& path) {
    std::ifstream in;
    EXPECT_TRUE(OpenInput(in, path.c_str()));
    std::vector<ReadBlock> blocks;
    std::vector<char> buffer(reference::kBufferSize);
    int number = 0;
    while (!in.fail() && blocks.size() < 100) {
      if (reference::ReadBlockNumber(in, buffer.data(), &number) == 0) break;
      int length = 0;
      bool endLine = false;
      int got = reference::ReadBlockText(in, buffer.data(), &length, &endLine);
      if (got == 0) break;
      blocks.push_back({number, std::string(buffer.data(), static_cast<size_t>(length))});
      reference::AdvanceToNextBlock(in, got, length, endLine);
    }
    return blocks;
  }

  std::vector<ReadBlock> ReadAllStreamed(const std::string& path) {
    BlockStream s;
    EXPECT_TRUE(OpenBlockStream(s, path.c_str()));
    std::vector<ReadBlock> blocks;
    int number = 0;
    while (blocks.size() < 100) {
      const char* text;
      int length;
      if (ReadBlockNumber(s, &number) == 0 || !ReadBlockText(s, &text, &length)) break;
      blocks.push_back({number, std::string(text, static_cast<size_t>(length))});
      AdvanceToNextBlock(s);
    }
    CloseBlockStream(s);
    return blocks;
  }
};

}  // namespace

TEST_F(BlockReader, ReadsBlocksOfOrdinaryAndOddFiles) {
  std::string big(kFrameTextMax - 7, 'x');
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<ReadBlock> blocks;
  } cases[] = {
      {"empty file", "", {}},
      {"two blocks with a gap", Block(0, "a") + Block(2, "b"), {{0, "a\r\n"}, {2, "b\r\n"}}},
      {"empty text reads as CR LF", Block(3, ""), {{3, "\r\n"}}},
      {"[end] inside a text cuts it and resumes seven bytes on",
       "0001\r\nab[end]\r\n0002\r\nc\r\n[end]\r\n", {{1, "ab"}, {2, "c\r\n"}}},
      {"number line longer than 9 characters", "1234567890\r\nz\r\n[end]\r\n",
       {{123456789, "\nz\r\n"}}},
      {"negative number", Block(-5, "n"), {{-5, "n\r\n"}}},
      {"number line that is not a number keeps the last number", Block(4, "a") + "abc\r\nb\r\n[end]\r\n",
       {{4, "a\r\n"}, {4, "b\r\n"}}},
      {"not a number before the first block counts as 0", "xyz\r\nq\r\n[end]\r\n", {{0, "q\r\n"}}},
      {"last block without an end line", Block(0, "a") + "0001\r\nrest", {{0, "a\r\n"}, {1, "rest"}}},
      {"number line at the end of the file", Block(0, "a") + "0001", {{0, "a\r\n"}}},
      // The text ends at the NUL; the next block starts after the end line
      // that follows it.
      {"NUL byte cuts the text", std::string("0000\r\na\0b\r\n[end]\r\n", 18) + Block(1, "c"),
       {{0, "a"}, {1, "c\r\n"}}},
      {"largest text whose end line is found", Block(0, big) + Block(1, "n"),
       {{0, big + "\r\n"}, {1, "n\r\n"}}},
      // Without CRs the number line runs on for 9 characters ("0001\nabc\n",
      // which parse as 1) and the text starts 2 bytes later.
      {"LF-only line ends", "0001\nabc\n[end]\n", {{1, "nd]\n"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAll(c.bytes), c.blocks) << c.what;
  }
}

TEST_F(BlockReader, EndLineBeyondTheReadWindowDoesNotHang) {
  // A block longer than 32000 bytes: its "[end]" is out of reach, so the
  // text is cut and the reader goes on after that end line.
  std::string text(40000, 'y');
  std::vector<ReadBlock> blocks = ReadAll(Block(0, text) + Block(1, "after"));
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0].number, 0);
  EXPECT_EQ(blocks[0].text.size(), static_cast<size_t>(kFrameTextMax));
  EXPECT_LT(blocks.size(), 100u);
}

TEST_F(BlockReader, FullWindowLoadsAsATerminatedText) {
  std::string text(50000, 'q');
  EXPECT_EQ(ReadAll("0000\r\n" + text).at(0).text.size(), static_cast<size_t>(kFrameTextMax));
  WriteAllInOne("0000\r\n" + text);
  Load(0, AllInOne);
  EXPECT_EQ(std::string(DisplayText), text.substr(0, kFrameTextMax));
}

// Frame names, stepping, number parsing and the file layer.
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "animation.h"
#include "file_io.h"
#include "frame_header.h"
#include "test_support.h"

TEST(FrameNaming, NamesFitOrAreRefusedNeverCut) {
  // A cut name would name another file ("...walk0012.tx"): it is refused, left empty.
  const std::string b251(251, 'a'), b252(252, 'a'), b256(256, 'a');
  struct Case { std::string base; uint32_t n; std::string frame; bool allInOneFits; } cases[] = {
      {"C:\\m\\walk", 7, "C:\\m\\walk0007.txt", true}, {"walk", 10000, "walk10000.txt", true}, {"", 5, "0005.txt", true},
      {b251, 12, b251 + "0012.txt", true}, {b252, 12, "", true}, {b256, 12, "", false}};
  for (const Case& c : cases) {
    char name[kPathMax], allInOne[kPathMax];
    EXPECT_EQ(FrameFileName(name, sizeof name, c.base.c_str(), c.n), !c.frame.empty());
    EXPECT_EQ(AllInOneFileName(allInOne, sizeof allInOne, c.base.c_str()), c.allInOneFits);
    EXPECT_EQ(std::string(name) + "|" + allInOne, c.frame + "|" + (c.allInOneFits ? c.base + ".txt" : ""));
  }
  // The extension goes; a dot in a directory's name stays.
  struct Path { std::string path, base; } paths[] = {{"C:\\my.dir\\walk.txt", "C:\\my.dir\\walk"}, {"C:\\my.dir\\walk", "C:\\my.dir\\walk"},
                                                  {"my.dir/walk", "my.dir/walk"}, {"a.b/c.d\\w.x.txt", "a.b/c.d\\w.x"}, {"walk0003.txt", "walk0003"}};
  for (Path& p : paths) {
    DeriveBasePath(&p.path[0]);
    EXPECT_EQ(p.path.c_str(), p.base);
  }
}

TEST(FrameNaming, StepsNumbersAndLines) {
  struct Step { uint32_t from; int delta; uint32_t to; } steps[] = {{3, -10, 0}, {3, 100, 103}, {0, -1, 0}, {5, -1, 4}, {INT_MAX, 1, 0}};
  for (const Step& c : steps) {
    g_animation.currentFrame = c.from;
    StepFrame(c.delta);
    EXPECT_EQ(g_animation.currentFrame, c.to) << c.from << " " << c.delta;
  }
  // Numbers parse like "%d" and saturate at the int range.
  struct Number { const char* text; bool ok; int value; } numbers[] = {
      {"  \r\n -17x", true, -17}, {"+8", true, 8}, {"abc", false, 0}, {"-", false, 0}, {"2147483648", true, INT_MAX},
      {"-2147483648", true, INT_MIN}, {"-99999999999999999999", true, INT_MIN}};
  for (const Number& c : numbers) {
    int value = 0;
    EXPECT_EQ(ParseInt(c.text, &value) != nullptr, c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  // Past CR and the byte after it, but never past the terminating zero.
  const char text[] = "ab\r\ncd\r";
  EXPECT_EQ(SkipLine(text), text + 4);
  EXPECT_EQ(SkipLine(text + 4), text + 7);
}

TEST_F(StorageTest, RenameNeverReplacesAndInputNeverCreates) {
  std::string a = Dir() + "/a", b = Dir() + "/b", c = Dir() + "/c";
  ASSERT_TRUE(WriteBytes(a, "A") && WriteBytes(b, "B"));
  EXPECT_FALSE(RenameNoReplace(a.c_str(), b.c_str()));
  EXPECT_TRUE(RenameNoReplace(a.c_str(), c.c_str()));
  EXPECT_EQ(ReadBytes(b) + ReadBytes(c), "BA");
  std::ifstream in;
  EXPECT_FALSE(OpenInput(in, a.c_str()) || OpenInput(in, Dir().c_str()) || std::filesystem::exists(a));
}

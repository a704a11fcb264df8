#include "conversion.h"

#include <filesystem>
#include <string>
#include <vector>

#include "frame_header.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class Conversion : public StorageTest {
 protected:
  const char* BaseC() {
    CopyText(g_animation.basePath, sizeof g_animation.basePath, Base().c_str());
    return g_animation.basePath;
  }
  void Clear() {
    for (const std::string& name : ListDir(Dir())) fs::remove_all(Dir() + "/" + name);
  }
};

struct Frame {
  int number;
  std::string text;
};

// Frames with text that a text-mode stream or a string copy would damage.
const std::vector<Frame> kFrames = {
    {0, "{\r\ncolor\r\n255 255 255 0 0 0\r\n}\r\n\x82\xa0\x82\xa2\r\n"},
    {1, "lone\nline feed and lone\rreturn\x1a"},
    {3, std::string(kFrameTextMax - 7, 'w')},  // the longest text that reads back
    {5, ""},
    {9999, "last\r\n"},
};

}  // namespace

TEST_F(Conversion, ExportWritesABlockPerFrameFileBelow10000) {
  WriteAllInOne("older and longer content than the export will write");
  for (const Frame& f : kFrames) WriteFrame(f.number, f.text);
  WriteFrame(10000, "not exported");
  WriteFrame(7, std::string("cut\0here", 8));
  ExportAllInOne(BaseC());
  const std::string expected = Block(0, kFrames[0].text) + Block(1, kFrames[1].text) + Block(3, kFrames[2].text) +
             Block(5, "") + Block(7, "cut") + Block(9999, "last\r\n");
  EXPECT_EQ(ReadBytes(AllInOnePath()), expected);
}

TEST_F(Conversion, ExportAndExpansionRoundTripAddsOneLineEnd) {
  for (int mode : {FrameFiles, AllInOne}) {
    Clear();
    g_animation.storageMode = mode;
    for (const Frame& f : kFrames) WriteFrame(f.number, f.text);
    ExportAllInOne(BaseC());
    const std::string exported = ReadBytes(AllInOnePath());
    for (const Frame& f : kFrames) fs::remove(FramePath(f.number));
    ExpandAllInOne(BaseC());
    for (const Frame& f : kFrames) EXPECT_EQ(ReadBytes(FramePath(f.number)), f.text + "\r\n") << f.number;
    EXPECT_EQ(ListDir(Dir()).size(), kFrames.size() + 1);
    EXPECT_EQ(ReadBytes(AllInOnePath()), exported);
    EXPECT_EQ(g_animation.storageMode, mode);
  }
}

TEST_F(Conversion, ExpansionNamesFilesByTheirNumberLines) {
  WriteFrame(2, "kept");
  WriteAllInOne("xx\r\nnot a number counts as 0\r\n[end]\r\n"
                "0042\r\nforty-two\r\n[end]\r\n"
                "0002\r\n[end]\r\n"  // empty text: no file, frame 2 stays
                "0007\r\nseven\r\n[end]\r\n");
  ExpandAllInOne(BaseC());
  EXPECT_EQ(ListDir(Dir()), (std::vector<std::string>{"anim.txt", "anim0000.txt", "anim0002.txt",
                                                     "anim0007.txt", "anim0042.txt"}));
  EXPECT_EQ(ReadBytes(FramePath(0)), "not a number counts as 0\r\n");
  EXPECT_EQ(ReadBytes(FramePath(42)), "forty-two\r\n");
  EXPECT_EQ(ReadBytes(FramePath(2)), "kept");
  EXPECT_EQ(ReadBytes(FramePath(7)), "seven\r\n");
}

TEST_F(Conversion, ExpansionOfAMissingFileWritesNothing) {
  ExpandAllInOne(BaseC());
  EXPECT_TRUE(ListDir(Dir()).empty());
  fs::create_directories(AllInOnePath());  // cannot be read as a file
  ExpandAllInOne(BaseC());
  EXPECT_EQ(ListDir(Dir()), std::vector<std::string>{"anim.txt"});
}

TEST_F(Conversion, FirstFrameColoursInEitherMode) {
  const std::string white = "{\r\ncolor\r\n255 255 255 0 0 0\r\n}\r\nbody\r\n";
  struct Case {
    const char* name;
    int mode;
    std::string frameZero;  // frame file 0; none when empty
    std::string allInOne;   // the all-in-one file; none when empty
    bool applied;
  } cases[] = {
      {"frame file", FrameFiles, white, "", true},
      {"no frame file", FrameFiles, "", Block(0, white), false},
      {"first block 0", AllInOne, "", Block(0, white) + Block(1, "x"), true},
      {"first block not 0", AllInOne, white, Block(1, white), false},
      {"first line not a number", AllInOne, "", "abcd\r\n" + white + "\r\n[end]\r\n", true},
      {"no all-in-one file", AllInOne, white, "", false},
      {"no header", FrameFiles, "color\r\n255 255 255 0 0 0\r\n", "", false},
      {"sound first", FrameFiles, "{\r\nsound\r\nb.wav\r\ncolor\r\n255 255 255 0 0 0\r\n}\r\n", "", false},
      {"same first", FrameFiles, "{\r\nsame 1\r\n}\r\n", "", false},
  };
  for (const Case& c : cases) {
    Clear();
    if (!c.frameZero.empty()) WriteFrame(0, c.frameZero);
    if (!c.allInOne.empty()) WriteAllInOne(c.allInOne);
    WriteFrame(1, white);
    ResetStorageState();
    g_hooks.applyColourCalls = 0;
    g_animation.storageMode = c.mode;
    PenColour = ColourTriple{1, 2, 3};
    BackColour = ColourTriple{4, 5, 6};
    ApplyFirstFrameColours(BaseC());
    if (c.applied) {
      EXPECT_EQ(PenColour.red + PenColour.green + PenColour.blue, 3 * 255) << c.name;
      EXPECT_EQ(BackColour.red + BackColour.green + BackColour.blue, 0) << c.name;
      EXPECT_EQ(std::string(g_frameRecord.colourText), "255 255 255 0 0 0") << c.name;
      EXPECT_EQ(g_frameRecord.hasColour, 1) << c.name;
      EXPECT_EQ(g_hooks.applyColourCalls, 1) << c.name;
    } else {
      EXPECT_EQ(PenColour.red * 100 + PenColour.green * 10 + PenColour.blue, 123) << c.name;
      EXPECT_EQ(BackColour.red * 100 + BackColour.green * 10 + BackColour.blue, 456) << c.name;
      EXPECT_EQ(g_frameRecord.hasColour, 0) << c.name;
      EXPECT_EQ(g_hooks.applyColourCalls, 0) << c.name;
    }
  }
}

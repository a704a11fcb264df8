#include <climits>
#include <cstring>
#include <string>

#include "frame_header.h"
#include "frame_loader.h"
#include "test_support.h"

TEST(FrameHeader, SkipLineStepsPastCrLfButNeverPastTheEnd) {
  const char text[] = "ab\r\ncd\rxef\r";
  EXPECT_EQ(SkipLine(text), text + 4);
  EXPECT_EQ(SkipLine(text + 4), text + 8);  // CR x: two bytes whatever follows
  EXPECT_EQ(SkipLine(text + 8), text + 11);  // CR at the very end: the terminator
  EXPECT_EQ(SkipLine("no line end"), nullptr);
  EXPECT_EQ(SkipLine(nullptr), nullptr);
}

TEST(FrameHeader, ParseIntReadsLikePercentDAndSaturates) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {
      {"42", true, 42},           {"  \r\n -17x", true, -17}, {"+8", true, 8},
      {"abc", false, 0},          {"", false, 0},             {"-", false, 0},
      {"2147483647", true, INT_MAX}, {"2147483648", true, INT_MAX},
      {"-2147483648", true, INT_MIN}, {"99999999999999999999999", true, INT_MAX},
      {"-99999999999999999999999", true, INT_MIN},
  };
  for (const Case& c : cases) {
    int value = 0;
    const char* end = ParseInt(c.text, &value);
    EXPECT_EQ(end != nullptr, c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

using HeaderParsers = StorageTest;

TEST_F(HeaderParsers, ColourBlockForms) {
  struct Case {
    const char* line;
    int result;
    ColourTriple pen, back;
    const char* colourText;
  } cases[] = {
      {"color\r\n255 0 0 0 0 0\r\n}", 1, {255, 0, 0}, {0, 0, 0}, "255 0 0 0 0 0"},
      {"colors\r\n1 2 3 4 5 6\r\n", 1, {1, 2, 3}, {4, 5, 6}, "1 2 3 4 5 6"},
      {"color\r\n1\r\n2 3\t4 5\r\n6", 1, {1, 2, 3}, {4, 5, 6}, "1 2 3 4 5 6"},
      {"color\r\n256 -1 0 300 300 300\r\n", 1, {256, -1, 0}, {300, 300, 300}, "256 -1 0 300 300 300"},
      {"color\r\n-2147483648 -2147483648 -2147483648 -2147483648 -2147483648 99999999999\r\n", 1,
       {INT_MIN, INT_MIN, INT_MIN}, {INT_MIN, INT_MIN, INT_MAX},
       "-2147483648 -2147483648 -2147483648 -2147483648 -2147483648 2147483647"},
      {"color\r\n9 8 7\r\n}", 1, {9, 8, 7}, {0, 0, 0}, "9 8 7 0 0 0"},  // missing values are 0
      {"color", 1, {0, 0, 0}, {0, 0, 0}, "0 0 0 0 0 0"},
      {"colour\r\n1 2 3 4 5 6\r\n", 0, {11, 11, 11}, {22, 22, 22}, ""},
      {"Color\r\n1 2 3 4 5 6\r\n", 0, {11, 11, 11}, {22, 22, 22}, ""},
      {"sound\r\n", 0, {11, 11, 11}, {22, 22, 22}, ""},
  };
  for (const Case& c : cases) {
    PenColour = {11, 11, 11};
    BackColour = {22, 22, 22};
    g_frameRecord = FrameRecord{};
    g_hooks.applyColourCalls = 0;
    EXPECT_EQ(ParseColourBlock(c.line), c.result) << c.line;
    EXPECT_EQ(PenColour.red, c.pen.red) << c.line;
    EXPECT_EQ(PenColour.green, c.pen.green) << c.line;
    EXPECT_EQ(PenColour.blue, c.pen.blue) << c.line;
    EXPECT_EQ(BackColour.red, c.back.red) << c.line;
    EXPECT_EQ(BackColour.green, c.back.green) << c.line;
    EXPECT_EQ(BackColour.blue, c.back.blue) << c.line;
    EXPECT_STREQ(g_frameRecord.colourText, c.colourText) << c.line;
    EXPECT_EQ(g_frameRecord.hasColour, c.result) << c.line;
    EXPECT_EQ(g_hooks.applyColourCalls, c.result) << c.line;
  }
}

TEST_F(HeaderParsers, SoundBlockForms) {
  std::string longPath(300, 'p');
  std::string hugePath(40000, 'q');
  struct Case {
    std::string line;
    int result;
    std::string cuePath, recordPath;
  } cases[] = {
      {"sound\r\nbell.wav\r\n}", 1, "bell.wav", "bell.wav"},
      {"sound\r\nC:\\snd\\a b.wav  \r\n", 1, "C:\\snd\\a b.wav  ", "C:\\snd\\a b.wav  "},  // blanks kept
      {"soundtrack\r\nx.wav", 1, "x.wav", "x.wav"},
      {"sound\r\n" + longPath + "\r\n", 1, longPath, longPath.substr(0, kPathMax - 1)},
      {"sound\r\n" + hugePath, 1, hugePath.substr(0, kFrameTextMax), hugePath.substr(0, kPathMax - 1)},
      {"sound", 0, "", ""},  // no path line
      {"sounds", 0, "", ""},
      {"Sound\r\nx\r\n", 0, "", ""},
  };
  for (const Case& c : cases) {
    g_frameRecord = FrameRecord{};
    std::memset(&g_soundCue, 0, sizeof g_soundCue);
    EXPECT_EQ(ParseSoundBlock(c.line.c_str()), c.result) << c.line.substr(0, 20);
    EXPECT_EQ(g_soundCue.path, c.cuePath) << c.line.substr(0, 20);
    EXPECT_EQ(g_frameRecord.soundPath, c.recordPath) << c.line.substr(0, 20);
    EXPECT_EQ(g_frameRecord.hasSound, c.result);
  }
}

TEST(FrameHeader, ComposeHeaderForms) {
  struct Case {
    int hasColour, hasSound;
    const char* expected;
  } cases[] = {
      {0, 0, "body\r\n"},
      {1, 0, "{\r\ncolor\r\n0 0 0 255 255 255\r\n}\r\nbody\r\n"},
      {0, 1, "{\r\nsound\r\nbell.wav\r\n}\r\nbody\r\n"},
      {1, 1, "{\r\ncolor\r\n0 0 0 255 255 255\r\nsound\r\nbell.wav\r\n}\r\nbody\r\n"},
  };
  for (const Case& c : cases) {
    static FrameRecord record;
    record = FrameRecord{};
    record.hasColour = c.hasColour;
    record.hasSound = c.hasSound;
    CopyText(record.colourText, sizeof record.colourText, "0 0 0 255 255 255");
    CopyText(record.soundPath, sizeof record.soundPath, "bell.wav");
    CopyText(record.body, sizeof record.body, "body\r\n");
    char out[256];
    int length = ComposeHeader(record, out, sizeof out);
    EXPECT_STREQ(out, c.expected);
    EXPECT_EQ(length, static_cast<int>(std::strlen(c.expected)));
  }
}

TEST(FrameHeader, ComposeHeaderNeverWritesPastItsDestination) {
  static FrameRecord record;
  record = FrameRecord{};
  record.hasColour = record.hasSound = 1;
  std::memset(record.colourText, '7', sizeof record.colourText - 1);
  std::memset(record.soundPath, 's', sizeof record.soundPath - 1);
  std::memset(record.body, 'b', sizeof record.body - 1);
  // The largest header around a full body fits a composed-size buffer whole.
  static char full[kComposedSize + 16];
  std::memset(full, '#', sizeof full);
  int length = ComposeHeader(record, full, kComposedSize);
  EXPECT_EQ(length, kComposedSize - 1);
  EXPECT_EQ(full[kComposedSize - 1], '\0');
  EXPECT_EQ(full[kComposedSize], '#');
  // A small destination is filled, terminated, and not overrun.
  char small[20];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(ComposeHeader(record, small, 10), 9);
  EXPECT_STREQ(small, "{\r\ncolor\r");
  EXPECT_EQ(small[10], '#');
}

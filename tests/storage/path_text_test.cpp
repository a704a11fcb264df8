// The path helpers' string functions (the program's directory and the
// current directory are the end-to-end stories').
#include <gtest/gtest.h>

#include <string>

#include "animation.h"
#include "path_text.h"

// Shift-JIS: "\x95\x5c" is 表, whose second byte is the byte of '\'.
static bool ShiftJisLead(unsigned char lead) { return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC); }

TEST(Paths, AChosenSoundBesideTheAnimationKeepsItsBareName) {
  struct Case { const char* sound; const char* base; bool shiftJis; const char* kept; } cases[] = {
      {"C:\\m\\bell.wav", "C:\\m\\walk", false, "bell.wav"},
      {"C:\\snd\\bell.wav", "C:\\m\\walk", false, "C:\\snd\\bell.wav"},
      {"C:\\M\\bell.wav", "C:\\m\\walk", false, "C:\\M\\bell.wav"},  // letter case counts
      {"C:\\m\\sub\\bell.wav", "C:\\m\\walk", false, "C:\\m\\sub\\bell.wav"},
      {"C:\\m\\bell.wav", "walk", false, "C:\\m\\bell.wav"},
      {"\\bell.wav", "\\walk", false, "bell.wav"},
      {"C:\\m\\\x95\x5c\x8f\xee.wav", "C:\\m\\\x95\x5c\x8f\xee", true, "\x95\x5c\x8f\xee.wav"},
      {"C:\\\x95\x5c\\a.wav", "C:\\\x95\x5c\\walk", true, "a.wav"},
      {"C:\\m\\a\x95\\b.wav", "C:\\m\\walk", true, "a\x95\\b.wav"},  // that '\' is a second byte
  };
  bool (*saved)(unsigned char) = g_isLeadByte;
  for (const Case& c : cases) {
    g_isLeadByte = c.shiftJis ? ShiftJisLead : nullptr;
    char sound[kPathMax];
    CopyText(sound, sizeof sound, c.sound);
    StoreChosenSound(sound, c.base);
    EXPECT_STREQ(sound, c.kept) << c.sound << " | " << c.base;
  }
  g_isLeadByte = saved;
}

TEST(Paths, CommandLinePathsAndJoinedPathsFitOrAreRefused) {
  const std::string fits(kPathMax - 1, 'a');
  struct Case { std::string commandLine, path; } cases[] = {  // path empty: refused
      {"\"C:\\m\\walk.txt\"", "C:\\m\\walk.txt"}, {"/p \"C:\\m\\walk.txt\"", "C:\\m\\walk.txt"},
      {"/pp.txt", "p.txt"},  {" \t C:\\a b\\c.txt ", "C:\\a b\\c.txt "}, {"C:\\\"odd\"\\x.txt", "C:\\odd\\x.txt"},
      {"\"" + fits + "\"", fits}, {fits + "b", ""},
  };
  for (const Case& c : cases) {
    char dest[kPathMax];
    EXPECT_EQ(ExtractCommandLinePath(c.commandLine.c_str(), dest, sizeof dest), !c.path.empty());
    EXPECT_EQ(std::string(dest), c.path);
  }
  char out[kPathMax + 8] = "";
  EXPECT_TRUE(JoinPath(out, kPathMax, std::string(251, 'd').c_str(), "font.ini"));
  EXPECT_EQ(std::string(out), std::string(251, 'd') + "font.ini");
  std::fill(out, out + sizeof out, 'z');
  EXPECT_FALSE(JoinPath(out, kPathMax, std::string(252, 'd').c_str(), "font.ini"));
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(std::string(out + kPathMax, 8), "zzzzzzzz");
}

// Shift-JIS throughout: the program's own path may hold two-byte characters
// (bytes of 0x80 and more, a second byte that is '\'), quoted or not.
TEST(Paths, TheProgramNameIsSkippedAndARootKeepsItsSeparator) {
  struct Case { const char* commandLine; const char* arguments; } lines[] = {
      {"\"C:\\a b\\zoetrix.exe\" d.x\\anim.txt", "d.x\\anim.txt"},
      {"C:\\\x95\x5c\\\xb1\\zoetrix.exe /p \"C:\\m\\walk.txt\"", "/p \"C:\\m\\walk.txt\""},
      {"C:\\\x95\x5c\\zoetrix.exe\t \tx.txt ", "x.txt "},
      {"\"C:\\\x95\x5c\\z.exe\"", ""}, {"zoetrix.exe", ""}, {"\"C:\\unclosed x.txt", ""}, {"", ""},
  };
  struct Dir { const char* base; const char* directory; } dirs[] = {  // directory empty: none
      {"Z:\\walk", "Z:\\"}, {"Z:\\m\\walk", "Z:\\m"}, {"\\walk", "\\"}, {"walk", ""},
      {"\\\\srv\\share\\walk", "\\\\srv\\share\\"}, {"\\\\srv\\share\\d\\walk", "\\\\srv\\share\\d"},
      {"Z:\\\x95\x5c\\walk", "Z:\\\x95\x5c"}, {"Z:\x95\x5cwalk", ""},
  };
  bool (*saved)(unsigned char) = g_isLeadByte;
  g_isLeadByte = ShiftJisLead;
  for (const Case& c : lines) EXPECT_STREQ(SkipProgramName(c.commandLine), c.arguments) << c.commandLine;
  for (const Dir& d : dirs) {
    char out[kPathMax] = "x";
    EXPECT_EQ(AnimationDirectory(d.base, out, sizeof out), d.directory[0] != '\0') << d.base;
    EXPECT_STREQ(out, d.directory) << d.base;
  }
  g_isLeadByte = saved;
}

// The path helpers: plain string functions, and on Windows the calls that ask
// for the program's directory and change the current directory.
#include <gtest/gtest.h>

#include <string>

#include "animation.h"
#include "paths.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#endif

namespace {

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC. "\x95\x5c" is 表, whose
// second byte is the byte of '\'.
bool ShiftJisLead(unsigned char lead) { return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC); }

// Runs the body with the given lead-byte rule, then puts the default back.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = g_isLeadByte; }
  void TearDown() override { g_isLeadByte = saved_; }
  void UseShiftJis(bool on) { g_isLeadByte = on ? ShiftJisLead : nullptr; }

 private:
  bool (*saved_)(unsigned char) = nullptr;
};

TEST_F(PathsTest, SameDirectory) {
  struct Case {
    const char* a;
    const char* b;
    bool shiftJis;
    int expected;
  };
  const Case cases[] = {
      {"C:\\m\\bell.wav", "C:\\m\\walk", false, 0},
      {"C:\\snd\\bell.wav", "C:\\m\\walk", false, 1},
      {"C:\\M\\bell.wav", "C:\\m\\walk", false, -1},  // letter case counts
      {"C:\\m\\sub\\bell.wav", "C:\\m\\walk", false, 1},
      {"bell.wav", "C:\\m\\walk", false, 1},  // no directory on either side
      {"C:\\m\\bell.wav", "walk", false, 1},
      {"\\bell.wav", "\\walk", false, 0},
      {"C:\\\xE9\\a", "C:\\e\\a", false, 1},  // bytes compare unsigned
      // 表 ends in the byte of '\' but is no separator.
      {"C:\\m\\\x95\x5c.wav", "C:\\m\\walk", true, 0},
      {"C:\\m\\\x95\x5c.wav", "C:\\m\\\x95\x5cwalk", true, 0},
      {"C:\\\x95\x5c\\a.wav", "C:\\\x95\x5c\\walk", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " | " + c.b);
    UseShiftJis(c.shiftJis);
    EXPECT_EQ(SameDirectory(c.a, c.b), c.expected);
  }
}

TEST_F(PathsTest, StripDirectory) {
  struct Case {
    const char* path;
    bool shiftJis;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\m\\bell.wav", false, "bell.wav"},
      {"bell.wav", false, "bell.wav"},
      {"C:\\m\\", false, ""},
      {"C:\\m\\\x95\x5c\x8f\xee.wav", true, "\x95\x5c\x8f\xee.wav"},
      {"C:\\m\\a\x95", true, "a\x95"},  // a lead byte at the end stands alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    UseShiftJis(c.shiftJis);
    char path[kPathMax];
    CopyText(path, sizeof path, c.path);
    StripDirectory(path);
    EXPECT_STREQ(path, c.expected);
  }
}

TEST_F(PathsTest, StoreChosenSound) {
  struct Case {
    const char* sound;
    const char* base;
    bool shiftJis;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\m\\bell.wav", "C:\\m\\walk", false, "bell.wav"},
      {"C:\\snd\\bell.wav", "C:\\m\\walk", false, "C:\\snd\\bell.wav"},
      {"C:\\M\\bell.wav", "C:\\m\\walk", false, "C:\\M\\bell.wav"},
      {"C:\\m\\bell.wav", "walk", false, "C:\\m\\bell.wav"},
      // 表情.wav beside 表情: the whole name stays, not what follows the 0x5C.
      {"C:\\m\\\x95\x5c\x8f\xee.wav", "C:\\m\\\x95\x5c\x8f\xee", true, "\x95\x5c\x8f\xee.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sound) + " | " + c.base);
    UseShiftJis(c.shiftJis);
    char sound[kPathMax];
    CopyText(sound, sizeof sound, c.sound);
    StoreChosenSound(sound, c.base);
    EXPECT_STREQ(sound, c.expected);
  }
}

TEST_F(PathsTest, ExtractCommandLinePath) {
  const std::string fits(kPathMax - 1, 'a');
  struct Case {
    std::string commandLine;
    bool ok;
    std::string expected;
  };
  const Case cases[] = {
      {"\"C:\\m\\walk.txt\"", true, "C:\\m\\walk.txt"},
      {"/p \"C:\\m\\walk.txt\"", true, "C:\\m\\walk.txt"},
      {"/C:\\m\\walk.txt", true, "C:\\m\\walk.txt"},
      {"/pp.txt", true, "p.txt"},
      {" \t C:\\a b\\c.txt ", true, "C:\\a b\\c.txt "},
      {"C:\\\"odd\"\\x.txt", true, "C:\\odd\\x.txt"},
      {"\"\"", true, ""},
      {fits, true, fits},
      {"\"" + fits + "\"", true, fits},  // the quotes take no room
      {fits + "b", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine.substr(0, 40));
    char dest[kPathMax];
    std::fill(dest, dest + sizeof dest, 'z');
    EXPECT_EQ(ExtractCommandLinePath(c.commandLine.c_str(), dest, sizeof dest), c.ok);
    EXPECT_EQ(std::string(dest), c.expected);
  }
}

TEST_F(PathsTest, JoinPathNeverOverruns) {
  struct Case {
    std::string directory;
    bool ok;
  };
  // A 260-byte path holds 259 characters: "font.ini" is 8 of them.
  const Case cases[] = {
      {"C:\\zoetrix\\", true},
      {std::string(251, 'd'), true},
      {std::string(252, 'd'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory.size());
    char out[kPathMax + 8];
    std::fill(out, out + sizeof out, 'z');
    EXPECT_EQ(JoinPath(out, kPathMax, c.directory.c_str(), "font.ini"), c.ok);
    EXPECT_EQ(std::string(out), c.ok ? c.directory + "font.ini" : "");
    EXPECT_EQ(std::string(out + kPathMax, 8), "zzzzzzzz");
  }
}

#ifdef _WIN32
TEST_F(PathsTest, ProgramDirectoryHoldsTheProgram) {
  char module[kPathMax];
  GetModuleFileNameA(nullptr, module, sizeof module);
  char directory[kPathMax];
  ASSERT_TRUE(ProgramDirectory(directory, sizeof directory));
  std::string dir = directory;
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_EQ(std::string(module).rfind(dir, 0), 0u);
  EXPECT_EQ(std::string(module).find('\\', dir.size()), std::string::npos);

  char settings[kPathMax];
  ASSERT_TRUE(FontSettingsPath(settings, sizeof settings));
  EXPECT_EQ(std::string(settings), dir + "font.ini");

  // Too small a buffer is refused, never overrun.
  char small[kPathMax];
  std::fill(small, small + sizeof small, 'z');
  EXPECT_FALSE(ProgramDirectory(small, dir.size()));
  EXPECT_STREQ(small, "");
  std::fill(small, small + sizeof small, 'z');
  EXPECT_FALSE(FontSettingsPath(small, dir.size() + 8));
  EXPECT_STREQ(small, "");
  EXPECT_EQ(small[dir.size() + 8], 'z');
}

TEST_F(PathsTest, FollowAnimationDirectory) {
  namespace fs = std::filesystem;
  const fs::path start = fs::current_path();
  const fs::path dir = fs::temp_directory_path() / ("zoetrix-paths-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  // The temporary directory may be reached by a different spelling.
  SetCurrentDirectoryA(dir.string().c_str());
  const fs::path canonical = fs::current_path();
  SetCurrentDirectoryA(start.string().c_str());

  FollowAnimationDirectory((dir.string() + "\\walk").c_str());
  EXPECT_EQ(fs::current_path(), canonical);

  SetCurrentDirectoryA(start.string().c_str());
  FollowAnimationDirectory("walk");  // no directory: stays
  EXPECT_EQ(fs::current_path(), start);
  FollowAnimationDirectory(std::string(kPathMax + 10, 'x').insert(3, "\\").c_str());
  EXPECT_EQ(fs::current_path(), start);

  std::error_code ec;
  fs::remove_all(dir, ec);
}

TEST_F(PathsTest, TheAnsiCodePageDecidesWhatASeparatorIs) {
  EXPECT_EQ(g_isLeadByte, AnsiLeadByte);
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page, not " << GetACP();
  char sound[kPathMax] = "C:\\m\\\x95\x5c\x8f\xee.wav";
  StoreChosenSound(sound, "C:\\m\\\x95\x5c\x8f\xee");
  EXPECT_STREQ(sound, "\x95\x5c\x8f\xee.wav");
}
#endif

}  // namespace

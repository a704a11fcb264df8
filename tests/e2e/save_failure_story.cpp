// A user saves onto frame files that cannot be written: each command shows
// one message box naming the file and the system's reason, and every file
// keeps its bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app_driver.h"

namespace {

// Makes a file immutable (or mutable again) with chattr, run by Wine as the
// Linux program it is: then no process, root included, may replace it. Waits
// until the change shows (the file opens for writing exactly while mutable).
bool SetImmutable(const std::string& path, bool immutable) {
  FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  char* (*unixName)(const WCHAR*) = nullptr;
  WCHAR wide[MAX_PATH];
  if (proc == nullptr || MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return false;
  std::memcpy(&unixName, &proc, sizeof proc);
  char* name = unixName(wide);
  std::string command = std::string("Z:\\usr\\bin\\chattr ") + (immutable ? "+i \"" : "-i \"") + name + "\"";
  HeapFree(GetProcessHeap(), 0, name);
  return WinExec(command.c_str(), SW_HIDE) > 31 && WaitFor([&] {
           HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
           if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
           return (file == INVALID_HANDLE_VALUE) == immutable;
         });
}

class SaveFailure : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeScratchDirectory(); }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    for (int n = 0; n < 2; ++n) SetImmutable(Frame(n), false);
    RemoveScratchDirectory(dir_);
  }
  std::string Frame(int n) const { return dir_ + "anim000" + std::to_string(n) + ".txt"; }

  // Runs a command that cannot write: one box, "ファイル..." and the file's
  // name; once it is dismissed and the command done, no other box.
  void ExpectOneBox(WORD command, const std::string& file) {
    PostCommand(app_, command);
    HWND box = WaitForDialog(app_);
    ASSERT_NE(box, nullptr);
    std::string text = Text(DialogItem(box, 0xFFFF));
    EXPECT_EQ(text.find("\x83\x74\x83\x40\x83\x43\x83\x8b"), 0u) << text;
    EXPECT_NE(text.find(file), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForDialogGone(box));
    Command(app_, 40006);  // the first frame, once the command is done
    EXPECT_EQ(FindOtherDialog(app_, nullptr), nullptr);
    for (int n = 0; n < 2; ++n) EXPECT_EQ(ReadFileBytes(Frame(n)), "frame " + std::to_string(n));
  }

  std::string dir_;
  App app_;
};

}  // namespace

TEST_F(SaveFailure, TellsOnceAndKeepsTheFiles) {
  for (int n = 0; n < 2; ++n) WriteFileBytes(Frame(n), "frame " + std::to_string(n));
  WriteFileBytes(dir_ + "anim.txt", "0000\r\na\r\n[end]\r\n0001\r\nb\r\n[end]\r\n");
  ASSERT_TRUE(Launch(app_, "\"" + dir_ + "anim.txt\""));
  Command(app_, 40003);  // the next frame
  Type(app_, "zz");
  ASSERT_TRUE(SetImmutable(Frame(1), true));
  ExpectOneBox(1003, Frame(1));  // Save
  ASSERT_TRUE(SetImmutable(Frame(0), true));
  ExpectOneBox(40031, Frame(0));  // expansion onto two such files
  WIN32_FIND_DATAA found;
  EXPECT_EQ(FindFirstFileA((dir_ + "~zt*").c_str(), &found), INVALID_HANDLE_VALUE);
}

// A user saves onto frame files that cannot be written: each command shows
// one message box naming the file and the system's reason, and every file
// keeps its bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app_driver.h"

namespace {

constexpr WORD kNext = 40003, kFirst = 40006, kExpand = 40031, kSaveFrame = 1003;

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
  if (name == nullptr) return false;
  std::string command = std::string("Z:\\usr\\bin\\chattr ") + (immutable ? "+i" : "-i") + " \"" + name + "\"";
  HeapFree(GetProcessHeap(), 0, name);
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return WaitFor([&] {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return (file == INVALID_HANDLE_VALUE) == immutable;
  });
}

class SaveFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDirectory();
    for (int n = 0; n < 2; ++n) WriteFileBytes(Frame(n), "frame " + std::to_string(n));
  }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    for (int n = 0; n < 2; ++n) SetImmutable(Frame(n), false);
    RemoveScratchDirectory(dir_);
  }
  std::string Frame(int n) const { return dir_ + "anim000" + std::to_string(n) + ".txt"; }

  // Runs a command that fails to write: one message box names the file;
  // once dismissed, no other follows.
  void ExpectOneBox(WORD command, const std::string& file) {
    PostCommand(app_, command);
    HWND box = WaitForDialog(app_);
    ASSERT_NE(box, nullptr);
    std::string text = Text(DialogItem(box, 0xFFFF));
    EXPECT_EQ(text.find("\x83\x74\x83\x40\x83\x43\x83\x8b"), 0u) << text;  // "ファイル..."
    EXPECT_NE(text.find(file), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForDialogGone(box));
    Command(app_, kFirst);  // answered only once the failed command is done
    EXPECT_EQ(FindOtherDialog(app_, nullptr), nullptr);
  }

  std::string dir_;
  App app_;
};

}  // namespace

TEST_F(SaveFailure, TellsOnceAndKeepsTheFiles) {
  ASSERT_TRUE(Launch(app_, "\"" + dir_ + "anim.txt\""));
  Command(app_, kNext);
  Type(app_, "zz");
  ASSERT_TRUE(WaitFor([&] { return Text(app_.view).size() == 9; }));
  ASSERT_TRUE(SetImmutable(Frame(1), true));
  ExpectOneBox(kSaveFrame, Frame(1));
  EXPECT_EQ(ReadFileBytes(Frame(1)), "frame 1");

  // Expansion onto two such files: still one box.
  ASSERT_TRUE(SetImmutable(Frame(0), true));
  WriteFileBytes(dir_ + "anim.txt", "0000\r\na\r\n[end]\r\n0001\r\nb\r\n[end]\r\n");
  ExpectOneBox(kExpand, Frame(0));
  for (int n = 0; n < 2; ++n) EXPECT_EQ(ReadFileBytes(Frame(n)), "frame " + std::to_string(n));
  WIN32_FIND_DATAA found;
  EXPECT_EQ(FindFirstFileA((dir_ + "~zt*").c_str(), &found), INVALID_HANDLE_VALUE);
}

// The fixture of the end-to-end user stories: a scratch directory that is
// the program's working directory, animations in its folder "d.x", the
// program started on them, and what a story checks it by.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_driver.h"
#include "resource.h"

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
const char kFileCouldNot[] = "\x83\x74\x83\x40\x83\x43\x83\x8b";  // "ファイル", how a failed write's box begins

inline std::string FrameText(int n) { return "frame " + std::to_string(n) + "\r\nline two"; }

inline std::string Block(const std::string& number, const std::string& text) { return number + "\r\n" + text + "\r\n[end]\r\n"; }

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(sizeof own_, own_);
    SetCurrentDirectoryA(dir_.c_str());
  }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    for (const std::string& file : immutable_) {
      if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES) SetImmutable(file, false);
    }
    SetCurrentDirectoryA(own_);
    RemoveScratchDirectory(dir_);
  }
  std::string P(const std::string& name) const { return dir_ + name; }
  // Frame n of the animation d.x\base.
  std::string F(int n, const std::string& base = "anim") const {
    return P("d.x\\" + base + std::to_string(10000 + n).substr(1) + ".txt");
  }
  // Frame files 0 ... count - 1 and an all-in-one file of count blocks; then
  // the program, opening them.
  void Start(int count, const std::string& zero = FrameText(0), bool launch = true) {
    std::string all;
    for (int n = 0; n < count; ++n) {
      WriteFileBytes(F(n), n ? FrameText(n) : zero);
      all += Block(std::to_string(10000 + n).substr(1), "block " + std::to_string(n));
    }
    WriteFileBytes(P("d.x\\anim.txt"), all);
    ASSERT_TRUE(!launch || Launch(app_, "d.x\\anim.txt"));
  }
  std::string Caption(const std::string& base = "anim") const { return P("d.x\\" + base) + "..zoetrix"; }
  int Number() const { return std::atoi(Text(app_.number).c_str()); }
  std::string Shown() const { return Text(app_.number) + ":" + Text(app_.view); }  // frame number and editor
  void Painted() const { WaitFor([&] { return !GetUpdateRect(app_.view, nullptr, FALSE); }); }
  // The view's border, low on its left edge (text starts at the top left),
  // and its background near it.
  void ExpectColours(COLORREF border, COLORREF background) {
    RECT r;
    GetClientRect(app_.view, &r);
    auto seen = [&] {
      return std::make_pair(PixelsOtherThan(app_.view, {0, r.bottom - 1, 1, r.bottom}, border),
                            PixelsOtherThan(app_.view, {100, r.bottom - 4, 101, r.bottom - 3}, background));
    };
    WaitFor([&] { return seen() == std::make_pair(0, 0); });
    EXPECT_EQ(seen(), std::make_pair(0, 0));
  }
  // The rightmost column of the view's first text line that is not all background.
  int InkRight(COLORREF background) const {
    Painted();
    int x = 200;
    while (x > 1 && PixelsOtherThan(app_.view, {x, 1, x + 1, 24}, background) == 0) --x;
    return x;
  }
  // Presses button in dialog and returns once the program has carried on after it.
  void Press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    EXPECT_TRUE(WaitForDialogGone(dialog));
    Command(app_, 0);
  }
  // Posts a command that opens a dialog, and presses button in it if one is given.
  HWND Dialog(WORD command, int button = 0) {
    PostCommand(app_, command);
    HWND dialog = WaitForDialog(app_);
    EXPECT_NE(dialog, nullptr);
    if (button != 0 && dialog != nullptr) Press(dialog, button);
    return dialog;
  }
  // Runs a command that cannot write: one box naming file and the system's
  // reason; none after it once it is dismissed.
  void ExpectOneBox(WORD command, const std::string& file) {
    HWND box = Dialog(command);
    std::string text = Text(DialogItem(box, 0xFFFF));
    EXPECT_EQ(text.find(kFileCouldNot), 0u) << text;
    EXPECT_NE(text.find(file + "\r\n\r\n"), std::string::npos) << text;
    Press(box, IDOK);
    EXPECT_EQ(FindOtherDialog(app_, nullptr), nullptr);
  }
  void MakeImmutable(const std::string& file) {
    immutable_.push_back(file);
    ASSERT_TRUE(SetImmutable(file, true));
  }

  std::string dir_ = MakeScratchDirectory();
  char own_[MAX_PATH] = {};
  std::vector<std::string> immutable_;
  App app_;
};

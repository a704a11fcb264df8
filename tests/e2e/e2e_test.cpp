// End-to-end user stories: the real program, driven through its windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app_driver.h"

#include <shlobj.h>

namespace {

enum : WORD { kOpen = 40001, kPrev, kNext, kBack10, kForward10, kFirst, kForward100 = 40008, kBack100, kFontSelect = 40011,
              kFontLoad, kFontSave, kStart = 40015, kSpeed1, kStop = 40018, kSpeed6 = 40023, kCopyToNext = 40027, kExport,
              kModeFrames, kModeAllInOne, kExpand, kPenColour, kBackColour = 40034, kSaveColours = 40037, kSoundSelect,
              kInsert, kDelete, kCopy = 40042, kPaste, kSaveFrame = 1003 };
const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

std::string FrameText(int n) { return "frame " + std::to_string(n) + "\r\nline two"; }

std::string Block(int n, const std::string& text) {
  char head[16];
  std::snprintf(head, sizeof head, "%04d\r\n", n);
  return head + text + "\r\n[end]\r\n";
}

class Program : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    RemoveScratchDirectory(dir_);
  }
  std::string Frame(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "anim%04d.txt", n);
    return dir_ + name;
  }
  // Frame files 0 ... count - 1 and an all-in-one file of count blocks; then
  // the program, opening them.
  void Start(int count, const std::string& zero = FrameText(0), bool launch = true) {
    std::string all;
    for (int n = 0; n < count; ++n) {
      WriteFileBytes(Frame(n), n ? FrameText(n) : zero);
      all += Block(n, "block " + std::to_string(n));
    }
    WriteFileBytes(dir_ + "anim.txt", all);
    ASSERT_TRUE(!launch || Launch(app_, "\"" + dir_ + "anim.txt\""));
  }
  std::string Shown() const { return Text(app_.number) + ":" + Text(app_.view); }  // frame number and editor
  // The view's border, low on its left edge (text starts at the top left),
  // and its background near it.
  void ExpectColours(COLORREF border, COLORREF background) {
    RECT r;
    GetClientRect(app_.view, &r);
    auto seen = [&] { return std::make_pair(ScreenPixel(app_.view, 0, r.bottom - 1), ScreenPixel(app_.view, 100, r.bottom - 4)); };
    WaitFor([&] { return seen() == std::make_pair(border, background); });
    EXPECT_EQ(seen(), std::make_pair(border, background));
  }
  HWND Dialog(WORD command, int button = 0) {
    PostCommand(app_, command);
    HWND dialog = WaitForDialog(app_);
    if (button != 0) PostMessageA(dialog, WM_COMMAND, button, 0);
    EXPECT_TRUE(dialog != nullptr && (button == 0 || WaitForDialogGone(dialog)));
    return dialog;
  }

  std::string dir_ = MakeScratchDirectory();
  App app_;
};

TEST_F(Program, OpensAndStepsInBothLayouts) {
  const std::string hello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd", quoted = "\"" + dir_ + "anim.txt\"";  // Shift-JIS text
  Start(260, hello, false);
  // Opening loads no frame; a command line too long for its copy opens nothing.
  for (const std::string& a : {quoted, "/p " + quoted, "/P\t" + dir_ + "anim.txt", std::string(), "/p" + std::string(760, ' ') + quoted}) {
    ASSERT_TRUE(Launch(app_, a)) << a;
    EXPECT_EQ(Text(app_.main) + Shown(), (a.empty() || a.size() > 700 ? "zoetrix" : dir_ + "anim..zoetrix") + ":");
    ExpectColours(kBlack, kWhite);
    EXPECT_TRUE(Quit(app_));
  }
  // A dropped file opens its animation; a name too long for the path buffer is
  // not cut into another name.
  ASSERT_TRUE(Launch(app_, ""));
  for (const std::string& name : {dir_ + std::string(300, 'n') + ".txt", dir_ + "anim.txt"}) {
    const bool cut = name.size() > 300;
    DROPFILES header{sizeof header, {}, FALSE, FALSE};
    std::string drop = std::string(reinterpret_cast<char*>(&header), sizeof header) + name + std::string(2, '\0');
    void* remote = VirtualAllocEx(app_.process.hProcess, nullptr, drop.size(), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(app_.process.hProcess, remote, drop.data(), drop.size(), nullptr);
    PostMessageA(app_.main, WM_DROPFILES, WPARAM(remote), 0);
    PostCommand(app_, cut ? kNext : kFirst);  // handled after the drop
    EXPECT_TRUE(WaitFor([&] { return Text(app_.number) == (cut ? "1" : "0"); }));
    EXPECT_EQ(Text(app_.main), cut ? "zoetrix" : dir_ + "anim..zoetrix");
  }
  const std::pair<WORD, int> steps[] = {{kNext, 1}, {kForward10, 11}, {kForward100, 111}, {kPrev, 110}, {kBack10, 100},
                                        {kBack100, 0}, {kPrev, 0}, {kForward100, 100}, {kFirst, 0}, {kBack10, 0}};
  for (WORD mode : {kModeFrames, kModeAllInOne}) {
    Command(app_, mode);
    for (const auto& [command, n] : steps) {
      Command(app_, command);
      std::string text = mode == kModeAllInOne ? "block " + std::to_string(n) + "\r\n" : n ? FrameText(n) : hello;
      EXPECT_EQ(Shown(), std::to_string(n) + ":" + text) << command;
    }
  }
}

TEST_F(Program, TypesSavesInsertsDeletesCopiesAndPastes) {
  Start(6);
  Command(app_, kNext);
  Command(app_, kNext);
  Type(app_, "zz\n");  // at the start of the text
  ASSERT_TRUE(WaitFor([&] { return Shown() == "2:zz\r\n" + FrameText(2); }));
  Command(app_, kSaveFrame);
  EXPECT_EQ(ReadFileBytes(Frame(2)), "zz\r\n" + FrameText(2));
  Command(app_, kNext);
  Command(app_, kInsert);  // frames from 3 on move up, an empty frame 3 shows
  EXPECT_EQ(Shown() + ReadFileBytes(Frame(3)) + ReadFileBytes(Frame(4)) + ReadFileBytes(Frame(6)), "3:" + FrameText(3) + FrameText(5));
  Command(app_, kDelete);
  EXPECT_EQ(Shown() + ReadFileBytes(Frame(3)) + ReadFileBytes(Frame(5)), "3:" + FrameText(3) + FrameText(3) + FrameText(5));
  EXPECT_FALSE(FileExists(Frame(6)));
  Command(app_, kCopyToNext);  // and on to it
  EXPECT_EQ(Shown() + ReadFileBytes(Frame(4)), "4:" + FrameText(3) + FrameText(3));
  // The mark remembers the frame: a paste copies what it holds then.
  Command(app_, kCopy);
  WriteFileBytes(Frame(4), "changed after the copy");
  Command(app_, kNext);
  Command(app_, kPaste);
  EXPECT_EQ(Shown() + ReadFileBytes(Frame(5)), "5:changed after the copy" "changed after the copy");
}

TEST_F(Program, ExportsExpandsAndOpensFromTheChooser) {
  Start(0);
  WriteFileBytes(Frame(0), "a");
  WriteFileBytes(Frame(1), "");
  WriteFileBytes(Frame(3), "c\r\n");
  WriteFileBytes(dir_ + "other0000.txt", "other frame");
  Command(app_, kExport);
  EXPECT_EQ(ReadFileBytes(dir_ + "anim.txt"), Block(0, "a") + Block(1, "") + Block(3, "c\r\n"));
  for (int n : {0, 1, 3}) DeleteFileA(Frame(n).c_str());
  Command(app_, kExpand);
  EXPECT_EQ(ReadFileBytes(Frame(0)) + ReadFileBytes(Frame(1)) + ReadFileBytes(Frame(3)), "a\r\n\r\nc\r\n\r\n");
  EXPECT_FALSE(FileExists(Frame(2)));
  // A cancelled chooser keeps the animation; a new name is confirmed at the
  // create prompt. The filter's description is Shift-JIS text.
  Dialog(kOpen, IDCANCEL);
  EXPECT_TRUE(WaitFor([&] { return Text(app_.main) == dir_ + "anim..zoetrix"; }));
  HWND dialog = Dialog(kOpen);
  wchar_t filter[64] = L"";
  SendMessageW(DialogItem(dialog, 0x470), CB_GETLBTEXT, 0, LPARAM(filter));
  EXPECT_STREQ(filter, L"\u30c6\u30ad\u30b9\u30c8 Files (*.txt)");
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, dir_ + "other.txt"));
  EXPECT_TRUE(WaitFor([&] { return Text(app_.main) == dir_ + "other..zoetrix"; }));
  Command(app_, kFirst);
  EXPECT_EQ(Shown(), "0:other frame");
}

TEST_F(Program, ColoursFontAndSound) {
  const std::string ini = ProgramDir() + "font.ini", face(31, 'F'), sound = "\x95\x5c\x8f\xee.wav";  // 表情: a second byte '\'
  bool existed = false;
  const std::string before = ReadFileBytes(ini, &existed);
  WriteFileBytes(ini, face + "FFFFFFF\r\nsecond line");  // the first line, cut to the face-name field, is the face
  WriteFileBytes(dir_ + sound, "RIFF");
  WriteFileBytes(Frame(2), "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\nred on blue");
  WriteFileBytes(Frame(3), "{\r\ncolor\r\n256 0 0 300 300 300\r\n}\r\nlow 8 bits");
  Start(2);
  Command(app_, kFontSave);
  std::string saved = ReadFileBytes(ini);
  Dialog(kFontSelect, IDCANCEL);  // cancelled: the face stays
  Command(app_, kFontSave);
  saved += ReadFileBytes(ini);
  WriteFileBytes(ini, "Tahoma");
  Command(app_, kFontLoad);
  Command(app_, kFontSave);
  EXPECT_EQ(saved + ReadFileBytes(ini), face + face + "Tahoma");
  if (existed) WriteFileBytes(ini, before);
  if (!existed) DeleteFileA(ini.c_str());
  // Frame colours, from the low 8 bits of each value, are painted on loading.
  Command(app_, kNext);
  Command(app_, kNext);
  ExpectColours(kRed, kBlue);
  Command(app_, kNext);
  ExpectColours(kBlack, RGB(44, 44, 44));
  // Chosen colours are painted, and choosing saves the editor's text.
  Command(app_, kFirst);
  Command(app_, kNext);
  const char* values[2][3] = {{"255", "0", "0"}, {"0", "0", "255"}};
  for (WORD command : {kPenColour, kBackColour}) {
    HWND dialog = Dialog(command);
    for (int i = 0; i < 3; ++i) SetWindowTextA(DialogItem(dialog, 706 + i), values[command == kBackColour][i]);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForDialogGone(dialog));
  }
  InvalidateRect(app_.view, nullptr, FALSE);
  ExpectColours(kRed, kBlue);
  EXPECT_EQ(ReadFileBytes(Frame(1)), FrameText(1));
  Command(app_, kSaveColours);
  const std::string colours = "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\n" + FrameText(1);
  EXPECT_EQ(ReadFileBytes(Frame(1)) + Shown(), colours + "1:" + colours);
  Dialog(kPenColour, IDCANCEL);  // cancelled: grey
  InvalidateRect(app_.view, nullptr, FALSE);
  ExpectColours(RGB(128, 128, 128), kBlue);
  // A sound beside the animation is kept by its bare name.
  ASSERT_TRUE(ConfirmFileDialog(app_, Dialog(kSoundSelect), dir_ + sound));
  const std::string withSound = "{\r\ncolor\r\n255 0 0 0 0 255\r\nsound\r\n" + sound + "\r\n}\r\n" + FrameText(1);
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(Frame(1)) == withSound; })) << ReadFileBytes(Frame(1));
  EXPECT_EQ(Shown(), "1:" + withSound);
}

TEST_F(Program, PlaysChangesSpeedStopsAndEnds) {
  Start(5);
  Command(app_, kSpeed1);
  Command(app_, kStart);
  // At one frame a second, ten frames take ten seconds; the faster speed
  // chosen while playing gets there well within them.
  Command(app_, kSpeed6);
  EXPECT_TRUE(WaitFor([&] { return std::atoi(Text(app_.number).c_str()) >= 10; }, 8000));
  Command(app_, kStop);
  EXPECT_NE(Text(app_.number), "0");
  Command(app_, kFirst);  // stopped: the editor follows navigation again
  EXPECT_EQ(Shown(), "0:" + FrameText(0));
  // In the all-in-one layout, the frame after the last one ends playback.
  Command(app_, kModeAllInOne);
  Command(app_, kStart);
  EXPECT_TRUE(WaitFor([&] { return Text(app_.number) == "5"; }));
  Command(app_, kPrev);
  EXPECT_EQ(Shown(), "4:block 4\r\n");
  // Escape and the close box end the program.
  SetForegroundWindow(app_.main);
  PostMessageA(app_.view, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitForExit(app_));
  EXPECT_TRUE(Quit(app_));
  ASSERT_TRUE(Launch(app_, ""));
  PostMessageA(app_.main, WM_SYSCOMMAND, SC_CLOSE | 2, 0);
  EXPECT_TRUE(WaitForExit(app_));
}

}  // namespace

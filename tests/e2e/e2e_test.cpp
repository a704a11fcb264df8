// End-to-end tests: the real program under test, driven through its window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_driver.h"

namespace {

constexpr WORD kOpen = 40001, kPrev = 40002, kNext = 40003, kBack10 = 40004, kForward10 = 40005, kFirst = 40006,
               kForward100 = 40008, kBack100 = 40009, kFontSave = 40013, kStart = 40015, kStop = 40018,
               kSpeed1 = 40016, kSpeed6 = 40023, kCopyToNext = 40027, kExport = 40028, kModeFrames = 40029,
               kModeAllInOne = 40030, kExpand = 40031, kPenColour = 40032, kBackColour = 40034,
               kSaveColours = 40037, kSoundSelect = 40038, kInsert = 40039, kDelete = 40040, kCopy = 40042,
               kPaste = 40043, kSaveFrame = 1003;

std::string FrameName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "anim%04d.txt", n);
  return name;
}

std::string FrameText(int n) { return "frame " + std::to_string(n) + "\r\nline two"; }

std::string Block(int n, const std::string& text) {
  char head[16];
  std::snprintf(head, sizeof head, "%04d\r\n", n);
  return head + text + "\r\n[end]\r\n";
}

// The frame's text starts at the top-left corner, over the border there, and
// the view reaches beyond the right edge of the window at its first size:
// the border is read at the bottom of the left edge, the background near it.

// Waits for a pixel of window's client area to take colour; returns the
// colour last seen there.
COLORREF WaitForPixel(HWND window, int x, int y, COLORREF colour) {
  COLORREF seen = CLR_INVALID;
  WaitFor([&] {
    seen = ScreenPixel(window, x, y);
    return seen == colour;
  });
  return seen;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeScratchDirectory(); }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    RemoveScratchDirectory(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + name; }
  std::string Frame(int n) const { return Path(FrameName(n)); }
  void WriteFrames(int count) {
    for (int n = 0; n < count; ++n) WriteFileBytes(Frame(n), FrameText(n));
  }
  void Start() { ASSERT_TRUE(Launch(app_, "\"" + Path("anim.txt") + "\"")); }
  std::string Number() const { return Text(app_.number); }
  std::string Editor() const { return Text(app_.view); }

  std::string dir_;
  App app_;
};

TEST_F(Program, OpensFromTheCommandLineWithoutLoadingAFrame) {
  WriteFrames(3);
  struct Case {
    std::string arguments;
    std::string caption;
  } cases[] = {
      {"\"" + Path("anim.txt") + "\"", Path("anim") + "..zoetrix"},
      {"/p \"" + Path("anim.txt") + "\"", Path("anim") + "..zoetrix"},
      {"/P\t" + Path("anim.txt"), Path("anim") + "..zoetrix"},
      {"", "zoetrix"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Launch(app_, c.arguments)) << c.arguments;
    EXPECT_EQ(Text(app_.main), c.caption);
    EXPECT_EQ(Number(), "");
    EXPECT_EQ(Editor(), "");
    EXPECT_TRUE(Quit(app_));
  }
  Start();
  Command(app_, kNext);
  EXPECT_EQ(Number(), "1");
  EXPECT_EQ(Editor(), FrameText(1));
  Command(app_, kFirst);
  EXPECT_EQ(Number(), "0");
  EXPECT_EQ(Editor(), FrameText(0));
}

TEST_F(Program, StepsThroughFramesInBothStorageModes) {
  std::string all;
  for (int n = 0; n < 260; n += 1) {
    WriteFileBytes(Frame(n), FrameText(n));
    all += Block(n, "block " + std::to_string(n));
  }
  WriteFileBytes(Path("anim.txt"), all);
  Start();
  struct Step {
    WORD command;
    int frame;
  } steps[] = {{kNext, 1},       {kForward10, 11}, {kForward100, 111}, {kPrev, 110}, {kBack10, 100},
               {kBack100, 0},    {kPrev, 0},       {kForward100, 100}, {kFirst, 0},  {kBack10, 0}};
  for (WORD mode : {kModeFrames, kModeAllInOne}) {
    Command(app_, mode);
    for (const Step& step : steps) {
      Command(app_, step.command);
      EXPECT_EQ(Number(), std::to_string(step.frame)) << mode << " " << step.command;
      std::string expected =
          mode == kModeFrames ? FrameText(step.frame) : "block " + std::to_string(step.frame) + "\r\n";
      EXPECT_EQ(Editor(), expected) << mode << " " << step.command;
    }
  }
}

TEST_F(Program, SavesTheTypedFrame) {
  WriteFrames(3);
  Start();
  Command(app_, kNext);
  Command(app_, kNext);
  Type(app_, "\nzz");
  ASSERT_TRUE(WaitFor([&] { return Editor().size() == FrameText(2).size() + 4; }));
  Command(app_, kSaveFrame);
  EXPECT_EQ(ReadFileBytes(Frame(2)), Editor());
  EXPECT_NE(Editor(), FrameText(2));
}

TEST_F(Program, InsertsAndDeletesFrames) {
  WriteFrames(6);
  Start();
  Command(app_, kForward10);
  for (int i = 0; i < 7; ++i) Command(app_, kPrev);
  ASSERT_EQ(Number(), "3");
  Command(app_, kInsert);
  EXPECT_EQ(Editor(), "");
  EXPECT_FALSE(FileExists(Frame(3)));
  EXPECT_EQ(ReadFileBytes(Frame(4)), FrameText(3));
  EXPECT_EQ(ReadFileBytes(Frame(6)), FrameText(5));
  Command(app_, kDelete);
  EXPECT_EQ(Editor(), FrameText(3));
  for (int n = 0; n < 6; ++n) EXPECT_EQ(ReadFileBytes(Frame(n)), FrameText(n)) << n;
  EXPECT_FALSE(FileExists(Frame(6)));
  Command(app_, kDelete);
  EXPECT_EQ(Editor(), FrameText(4));
  EXPECT_FALSE(FileExists(Frame(5)));
}

TEST_F(Program, CopiesToNextAndPastes) {
  WriteFrames(6);
  Start();
  Command(app_, kNext);
  Command(app_, kCopyToNext);
  EXPECT_EQ(Number(), "2");
  EXPECT_EQ(Editor(), FrameText(1));
  EXPECT_EQ(ReadFileBytes(Frame(2)), FrameText(1));
  // The mark remembers the frame: the paste copies what it holds then.
  Command(app_, kCopy);
  WriteFileBytes(Frame(2), "changed after the copy");
  Command(app_, kForward10);
  Command(app_, kBack10);
  Command(app_, kNext);
  Command(app_, kNext);
  Command(app_, kNext);
  ASSERT_EQ(Number(), "5");
  Command(app_, kPaste);
  EXPECT_EQ(ReadFileBytes(Frame(5)), "changed after the copy");
  EXPECT_EQ(Editor(), "changed after the copy");
}

TEST_F(Program, ExportsAndExpandsFromTheMenu) {
  WriteFileBytes(Frame(0), "a");
  WriteFileBytes(Frame(1), "");
  WriteFileBytes(Frame(3), "c\r\n");
  Start();
  Command(app_, kExport);
  EXPECT_EQ(ReadFileBytes(Path("anim.txt")), Block(0, "a") + Block(1, "") + Block(3, "c\r\n"));
  for (int n : {0, 1, 3}) DeleteFileA(Frame(n).c_str());
  Command(app_, kExpand);
  EXPECT_EQ(ReadFileBytes(Frame(0)), "a\r\n");
  EXPECT_EQ(ReadFileBytes(Frame(1)), "\r\n");
  EXPECT_EQ(ReadFileBytes(Frame(3)), "c\r\n\r\n");
  EXPECT_FALSE(FileExists(Frame(2)));
}

TEST_F(Program, OpenChooserOpensTheNamedAnimationOrKeepsThePathWhenCancelled) {
  WriteFrames(2);
  WriteFileBytes(Path("other0000.txt"), "other frame");
  Start();
  PostCommand(app_, kOpen);
  HWND dialog = WaitForDialog(app_);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForDialogGone(dialog));
  EXPECT_TRUE(WaitFor([&] { return Text(app_.main) == Path("anim") + "..zoetrix"; }));

  PostCommand(app_, kOpen);
  dialog = WaitForDialog(app_);
  ASSERT_NE(dialog, nullptr);
  // other.txt does not exist: the chooser asks whether to create it.
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, Path("other.txt")));
  EXPECT_TRUE(WaitFor([&] { return Text(app_.main) == Path("other") + "..zoetrix"; }));
  Command(app_, kFirst);
  EXPECT_EQ(Editor(), "other frame");
}

// Fills the colour dialog with red, green, blue and confirms it.
void PickColour(const App& app, int red, int green, int blue) {
  HWND dialog = WaitForDialog(app);
  ASSERT_NE(dialog, nullptr);
  const int ids[3] = {706, 707, 708};
  const int values[3] = {red, green, blue};
  for (int i = 0; i < 3; ++i) {
    HWND edit = DialogItem(dialog, ids[i]);
    ASSERT_NE(edit, nullptr);
    std::string text = std::to_string(values[i]);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitForDialogGone(dialog));
}

TEST_F(Program, ColourChoicesPaintTheViewAndSaveCurrentColourWritesThem) {
  WriteFrames(2);
  Start();
  Command(app_, kNext);
  PostCommand(app_, kPenColour);
  PickColour(app_, 255, 0, 0);
  PostCommand(app_, kBackColour);
  PickColour(app_, 0, 0, 255);
  InvalidateRect(app_.view, nullptr, FALSE);
  RECT client;
  GetClientRect(app_.view, &client);
  EXPECT_EQ(WaitForPixel(app_.view, 0, client.bottom - 1, RGB(255, 0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(WaitForPixel(app_.view, 100, client.bottom - 4, RGB(0, 0, 255)), RGB(0, 0, 255));
  // Choosing a colour saves the editor's text as the frame.
  EXPECT_EQ(ReadFileBytes(Frame(1)), FrameText(1));
  Command(app_, kSaveColours);
  std::string saved = "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\n" + FrameText(1);
  EXPECT_EQ(ReadFileBytes(Frame(1)), saved);
  EXPECT_EQ(Editor(), saved);
  // A cancelled colour dialog yields grey.
  PostCommand(app_, kPenColour);
  HWND dialog = WaitForDialog(app_);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitForDialogGone(dialog));
  InvalidateRect(app_.view, nullptr, FALSE);
  EXPECT_EQ(WaitForPixel(app_.view, 0, client.bottom - 1, RGB(128, 128, 128)), RGB(128, 128, 128));
}

TEST_F(Program, FrameColoursArePaintedWhenTheFrameLoads) {
  WriteFileBytes(Frame(0), "plain");
  WriteFileBytes(Frame(1), "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\nred on blue");
  WriteFileBytes(Frame(2), "{\r\ncolor\r\n256 0 0 300 300 300\r\n}\r\nlow bits");
  Start();
  RECT client;
  GetClientRect(app_.view, &client);
  struct Case {
    int frame;
    COLORREF border, inside;
  } cases[] = {{1, RGB(255, 0, 0), RGB(0, 0, 255)}, {2, RGB(0, 0, 0), RGB(44, 44, 44)}};
  for (const Case& c : cases) {
    Command(app_, kFirst);
    for (int i = 0; i < c.frame; ++i) Command(app_, kNext);
    EXPECT_EQ(WaitForPixel(app_.view, 0, client.bottom - 1, c.border), c.border) << c.frame;
    EXPECT_EQ(WaitForPixel(app_.view, 100, client.bottom - 4, c.inside), c.inside)
        << c.frame;
  }
}

TEST_F(Program, SetsASoundFromTheChooser) {
  WriteFrames(2);
  WriteFileBytes(Path("bell.wav"), "RIFF");
  Start();
  Command(app_, kNext);
  PostCommand(app_, kSoundSelect);
  HWND dialog = WaitForDialog(app_);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, Path("bell.wav")));
  std::string expected = "{\r\nsound\r\nbell.wav\r\n}\r\n" + FrameText(1);
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(Frame(1)) == expected; }));
  EXPECT_EQ(Editor(), expected);
}

TEST_F(Program, SavesTheFontFaceBesideTheProgram) {
  std::string ini = ProgramDir() + "font.ini";
  bool existed = false;
  std::string before = ReadFileBytes(ini, &existed);
  DeleteFileA(ini.c_str());
  Start();
  Command(app_, kFontSave);
  std::string face = ReadFileBytes(ini);
  EXPECT_FALSE(face.empty());
  EXPECT_EQ(face.find('\n'), std::string::npos);
  EXPECT_LT(face.size(), 32u);
  if (existed) {
    WriteFileBytes(ini, before);
  } else {
    DeleteFileA(ini.c_str());
  }
}

TEST_F(Program, PlaysStopsAndChangesSpeed) {
  WriteFrames(3);
  Start();
  Command(app_, kSpeed1);
  Command(app_, kStart);
  // At one frame a second, ten frames take ten seconds; the faster speed
  // chosen while playing gets there well within them.
  Command(app_, kSpeed6);
  EXPECT_TRUE(WaitFor([&] { return std::atoi(Number().c_str()) >= 10; }, 8000));
  Command(app_, kStop);
  std::string stoppedAt = Number();
  // Stopped: a navigation command shows its frame in the editor again.
  Command(app_, kFirst);
  EXPECT_EQ(Editor(), FrameText(0));
  EXPECT_NE(stoppedAt, "0");
}

TEST_F(Program, PlaybackEndsByItselfAtTheEndOfAnAllInOneFile) {
  std::string all;
  for (int n = 0; n < 5; ++n) all += Block(n, "block " + std::to_string(n));
  WriteFileBytes(Path("anim.txt"), all);
  Start();
  Command(app_, kModeAllInOne);
  Command(app_, kSpeed6);
  Command(app_, kStart);
  EXPECT_TRUE(WaitFor([&] { return Number() == "5"; }));
  // The frame after the last one ended playback: the editor follows
  // navigation again, and the number stays where playback ended.
  Command(app_, kPrev);
  EXPECT_EQ(Editor(), "block 4\r\n");
  EXPECT_EQ(Number(), "4");
}

TEST_F(Program, ShowsJapaneseFrameTextAsShiftJis) {
  // "こんにちは" in Shift-JIS.
  const std::string hello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd";
  WriteFileBytes(Frame(0), hello);
  Start();
  Command(app_, kFirst);
  EXPECT_EQ(Editor(), hello);
}

TEST_F(Program, EscapeAndTheCloseBoxEndTheProgram) {
  WriteFrames(1);
  Start();
  SetForegroundWindow(app_.main);
  PostMessageA(app_.view, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitForExit(app_));
  EXPECT_TRUE(Quit(app_));
  Start();
  PostMessageA(app_.main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitForExit(app_));
}

}  // namespace

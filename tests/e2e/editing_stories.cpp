// Users' paths through the editor, checked by the files they leave: nothing
// the editor shows is ever written over the wrong frame or animation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app_driver.h"
#include "resource.h"

namespace {

// Animations live in the folder "d.x" (a dot in its name) of a scratch
// directory, from which the program starts with a relative path.
class Editing : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDirectory();
    CreateDirectoryA(P("d.x").c_str(), nullptr);
    GetCurrentDirectoryA(sizeof own_, own_);
  }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    SetCurrentDirectoryA(own_);
    RemoveScratchDirectory(P("d.x\\"));
    RemoveScratchDirectory(dir_);
  }
  std::string P(const std::string& name) const { return dir_ + name; }
  // Frame n of d.x\base, which Write fills with base and n.
  std::string F(int n, const std::string& base = "anim") const {
    return P("d.x\\" + base + std::to_string(10000 + n).substr(1) + ".txt");
  }
  void Write(int count, const std::string& base = "anim") {
    for (int n = 0; n < count; ++n) WriteFileBytes(F(n, base), base + std::to_string(n));
  }
  std::string Saved(int n, const std::string& base = "anim") const { return ReadFileBytes(F(n, base)); }
  void Start(const std::string& arguments = "d.x\\anim.txt") {
    SetCurrentDirectoryA(dir_.c_str());
    ASSERT_TRUE(Launch(app_, arguments));
  }
  std::string Editor() const { return Text(app_.view); }
  int Number() const { return std::atoi(Text(app_.number).c_str()); }
  HWND Open(WORD command) const {
    PostCommand(app_, command);
    return WaitForDialog(app_);
  }
  // Answers a dialog and returns once the program has carried on after it.
  void Answer(HWND dialog, int button) const {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    EXPECT_TRUE(WaitForDialogGone(dialog));
    Command(app_, 0);
  }

  std::string dir_;
  char own_[MAX_PATH] = {};
  App app_;
};

TEST_F(Editing, TheEditorWritesOnlyTheFrameItHoldsIntoTheAnimationOnShow) {
  Write(60);
  WriteFileBytes(P("d.x\\bell.wav"), "RIFF");
  Start();
  EXPECT_EQ(Text(app_.main), P("d.x\\anim") + "..zoetrix");
  Command(app_, IDC_SAVEFRAME);  // no frame loaded yet
  EXPECT_EQ(Saved(0), "anim0");
  Command(app_, CMD_NEXT);
  Command(app_, CMD_COPY);
  Answer(Open(CMD_OPEN), IDCANCEL);  // keeps the animation and the copy mark
  EXPECT_EQ(Text(app_.main), P("d.x\\anim") + "..zoetrix");
  Command(app_, CMD_NEXT);
  Command(app_, CMD_PASTE);
  EXPECT_EQ(Saved(2), "anim1");

  Command(app_, CMD_SPEED6);
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= 5; }));
  Command(app_, CMD_STOP);
  EXPECT_EQ(Editor(), "anim" + std::to_string(Number()));
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= 10; }));
  HWND dialog = Open(CMD_PENCOLOUR);  // stops playback; modal
  EXPECT_FALSE(IsWindowEnabled(app_.main));
  int shown = Number();
  Answer(dialog, IDOK);
  EXPECT_EQ(Number(), shown);
  EXPECT_EQ(Saved(shown), "anim" + std::to_string(shown));

  // Another animation gets nothing of this one's text; what the user types
  // there is saved, with the colours around it.
  ASSERT_TRUE(ConfirmFileDialog(app_, Open(CMD_OPEN), P("d.x\\other.txt")));
  ASSERT_TRUE(WaitFor([&] { return Text(app_.main) == P("d.x\\other") + "..zoetrix"; }));
  EXPECT_EQ(Editor(), "");
  Command(app_, IDC_SAVEFRAME);
  Command(app_, CMD_SAVECOLOURS);
  ASSERT_TRUE(ConfirmFileDialog(app_, Open(CMD_SOUNDSELECT), P("d.x\\bell.wav")));
  Command(app_, 0);
  EXPECT_FALSE(FileExists(F(shown, "other")));
  Type(app_, "typed");
  Command(app_, CMD_SAVECOLOURS);
  EXPECT_EQ(Saved(shown, "other"), "{\r\ncolor\r\n128 128 128 255 255 255\r\n}\r\ntyped");
}

TEST_F(Editing, ExportAsksBeforeDroppingFramesAndLongHeadersAreRefused) {
  std::string all;
  for (const char* number : {"0000", "0001", "0002", "12000"}) all += number + std::string("\r\nb\r\n[end]\r\n");
  WriteFileBytes(P("d.x\\anim.txt"), all);
  Start();
  Command(app_, CMD_MODEALLINONE);
  Command(app_, CMD_NEXT);
  Type(app_, "e");
  Command(app_, IDC_SAVEFRAME);  // in this layout a save makes a frame file
  for (int answer : {IDNO, IDYES}) {
    HWND question = Open(CMD_EXPORT);
    std::string text;
    for (HWND c = GetWindow(question, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) text += Text(c);
    EXPECT_NE(text.find(" 3 "), std::string::npos) << text;
    Answer(question, answer);
    EXPECT_EQ(ReadFileBytes(P("d.x\\anim.txt")), answer == IDNO ? all : "0001\r\n" + Saved(1) + "\r\n[end]\r\n");
  }
  all = ReadFileBytes(P("d.x\\anim.txt"));
  DeleteFileA(F(1).c_str());
  Answer(Open(CMD_EXPORT), IDOK);  // no frame file: nothing to gather
  EXPECT_EQ(ReadFileBytes(P("d.x\\anim.txt")), all);

  const std::string big(31990, 'b');
  WriteFileBytes(F(0), big);
  Command(app_, CMD_MODEFRAMES);
  Command(app_, CMD_FIRST);
  Answer(Open(CMD_SAVECOLOURS), IDOK);
  EXPECT_EQ(Saved(0), big);
}

// With nothing open, frames are read from and saved to the working
// directory, which a chooser leaves where it was.
TEST_F(Editing, NothingOpenSavesNothingAndAChooserKeepsTheDirectory) {
  WriteFileBytes(P("0001.txt"), "here");
  WriteFileBytes(P("d.x\\bell.wav"), "RIFF");
  Start("");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_FALSE(FileExists(P("0000.txt")));
  Command(app_, CMD_NEXT);
  ASSERT_TRUE(ConfirmFileDialog(app_, Open(CMD_SOUNDSELECT), P("d.x\\bell.wav")));
  const std::string expected = "{\r\nsound\r\n" + P("d.x\\bell.wav") + "\r\n}\r\nhere";
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(P("0001.txt")) == expected; }));
}

}  // namespace

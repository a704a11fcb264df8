// Users' paths through the editor, checked by the files they leave: nothing
// the editor shows is ever written over the wrong frame or animation.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app_driver.h"
#include "resource.h"

namespace {

std::string FrameText(int n) { return "frame " + std::to_string(n) + "\r\n"; }

std::string Block(int n, const std::string& text) {
  char head[16];
  std::snprintf(head, sizeof head, "%04d\r\n", n);
  return head + text + "\r\n[end]\r\n";
}

// The texts of a dialog's controls, one after another.
std::string DialogText(HWND dialog) {
  std::string all;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    all += Text(child) + "|";
  }
  return all;
}

class Editing : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeScratchDirectory(); }
  void TearDown() override {
    EXPECT_TRUE(Quit(app_));
    if (!ownDirectory_.empty()) SetCurrentDirectoryA(ownDirectory_.c_str());
    for (const char* sub : {"sub\\", "d.x\\"}) RemoveScratchDirectory(dir_ + sub);
    RemoveScratchDirectory(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + name; }
  std::string Frame(int n, const std::string& base = "anim") const {
    char name[32];
    std::snprintf(name, sizeof name, "%04d.txt", n);
    return Path(base + name);
  }
  void WriteFrames(int count, const std::string& base = "anim") {
    for (int n = 0; n < count; ++n) WriteFileBytes(Frame(n, base), base + " " + FrameText(n));
  }
  std::string Saved(int n, const std::string& base = "anim") const { return ReadFileBytes(Frame(n, base)); }
  void Start(const std::string& arguments) { ASSERT_TRUE(Launch(app_, arguments)); }
  // Starts the program in the scratch directory, as from a shell there.
  void StartHere(const std::string& arguments) {
    char own[MAX_PATH];
    GetCurrentDirectoryA(sizeof own, own);
    ownDirectory_ = own;
    SetCurrentDirectoryA(dir_.c_str());
    Start(arguments);
  }
  std::string Editor() const { return Text(app_.view); }
  int Number() const { return std::atoi(Text(app_.number).c_str()); }
  // Returns once the program has finished what it was doing.
  void Settle() const {
    DWORD_PTR result;
    SendMessageTimeoutA(app_.main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
  }
  // Posts a command that opens a dialog and returns the dialog.
  HWND Open(WORD command) const {
    PostCommand(app_, command);
    return WaitForDialog(app_);
  }
  // Answers a dialog with a button and waits until the program is done.
  void Answer(HWND dialog, int button) const {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    ASSERT_TRUE(WaitForDialogGone(dialog));
    Settle();
  }

  std::string dir_;
  std::string ownDirectory_;
  App app_;
};

TEST_F(Editing, StopAndChoosersLeaveTheEditorOnTheFrameTheNumberShows) {
  WriteFrames(40);
  Start("\"" + Path("anim.txt") + "\"");
  Command(app_, CMD_FIRST);
  Command(app_, CMD_SPEED6);
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= 3; }));
  Command(app_, CMD_STOP);
  int stopped = Number();
  EXPECT_EQ(Editor(), "anim " + FrameText(stopped));
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(Saved(stopped), "anim " + FrameText(stopped));
  EXPECT_EQ(Saved(0), "anim " + FrameText(0));

  // A chooser opened while playing stops playback first and keeps the main
  // window from use; its save goes to the frame the number shows.
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= stopped + 3; }));
  HWND dialog = Open(CMD_PENCOLOUR);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(app_.main));
  int shown = Number();
  EXPECT_EQ(Editor(), "anim " + FrameText(shown));
  Type(app_, "x");
  Answer(dialog, IDOK);
  EXPECT_EQ(Number(), shown);
  EXPECT_EQ(Saved(shown), Editor());
  EXPECT_NE(Editor().find("anim " + FrameText(shown)), std::string::npos);
  EXPECT_EQ(Saved(stopped), "anim " + FrameText(stopped));
}

TEST_F(Editing, OpeningAnotherAnimationSavesNothingUntilTheUserTypes) {
  WriteFrames(3);
  WriteFrames(3, "other");
  WriteFileBytes(Path("bell.wav"), "RIFF");
  Start("\"" + Path("anim.txt") + "\"");
  Command(app_, CMD_NEXT);
  ASSERT_EQ(Editor(), "anim " + FrameText(1));
  HWND dialog = Open(CMD_OPEN);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, Path("other.txt")));
  ASSERT_TRUE(WaitFor([&] { return Text(app_.main) == Path("other") + "..zoetrix"; }));
  EXPECT_EQ(Editor(), "");
  EXPECT_EQ(Number(), 1);
  // Save, the colour picks, "save current colours" and the sound choice
  // leave the new animation's frame alone.
  Command(app_, IDC_SAVEFRAME);
  Command(app_, CMD_SAVECOLOURS);
  dialog = Open(CMD_BACKCOLOUR);
  ASSERT_NE(dialog, nullptr);
  Answer(dialog, IDOK);
  dialog = Open(CMD_SOUNDSELECT);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, Path("bell.wav")));
  Settle();
  EXPECT_EQ(Saved(1, "other"), "other " + FrameText(1));
  EXPECT_EQ(Saved(1), "anim " + FrameText(1));
  // Typed text is the user's: it is saved, and saving the colours keeps it.
  Type(app_, "typed\n");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(Saved(1, "other"), "typed\r\n");
  Type(app_, "more");
  Command(app_, CMD_SAVECOLOURS);
  EXPECT_EQ(Saved(1, "other"), "{\r\ncolor\r\n0 0 0 128 128 128\r\n}\r\ntyped\r\nmore");
}

TEST_F(Editing, CancelledOpenChangesNothing) {
  CreateDirectoryA(Path("d.x").c_str(), nullptr);
  WriteFrames(3, "d.x\\anim");
  Start("\"" + Path("d.x\\anim.txt") + "\"");
  Command(app_, CMD_NEXT);
  Command(app_, CMD_COPY);
  HWND dialog = Open(CMD_OPEN);
  ASSERT_NE(dialog, nullptr);
  Answer(dialog, IDCANCEL);
  EXPECT_EQ(Text(app_.main), Path("d.x\\anim") + "..zoetrix");
  Command(app_, CMD_NEXT);
  Command(app_, CMD_PASTE);
  EXPECT_EQ(Saved(2, "d.x\\anim"), "d.x\\anim " + FrameText(1));
  Type(app_, "+");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(Saved(2, "d.x\\anim"), Editor());
  EXPECT_NE(Editor(), "d.x\\anim " + FrameText(1));
}

TEST_F(Editing, ExportAsksBeforeDroppingFramesThatOnlyTheAllInOneFileHolds) {
  std::string all;
  for (int n = 0; n < 5; ++n) all += Block(n, "block " + std::to_string(n));
  WriteFileBytes(Path("anim.txt"), all);
  Start("\"" + Path("anim.txt") + "\"");
  Command(app_, CMD_MODEALLINONE);
  // Saves in this layout go to frame files: frames 1 and 3 get one.
  std::string expected;
  for (int n : {1, 3}) {
    Command(app_, CMD_FIRST);
    for (int i = 0; i < n; ++i) Command(app_, CMD_NEXT);
    Type(app_, "edited ");
    Command(app_, IDC_SAVEFRAME);
    expected += Block(n, Editor());
  }
  for (int answer : {IDNO, IDYES}) {
    HWND question = Open(CMD_EXPORT);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(DialogText(question).find(" 3 "), std::string::npos) << DialogText(question);
    Answer(question, answer);
    EXPECT_EQ(ReadFileBytes(Path("anim.txt")), answer == IDNO ? all : expected);
  }
  // With no frame file at all, nothing is written, and the user is told.
  DeleteFileA(Frame(1).c_str());
  DeleteFileA(Frame(3).c_str());
  std::string before = ReadFileBytes(Path("anim.txt"));
  HWND notice = Open(CMD_EXPORT);
  ASSERT_NE(notice, nullptr);
  Answer(notice, IDOK);
  EXPECT_EQ(ReadFileBytes(Path("anim.txt")), before);
}

TEST_F(Editing, AHeaderThatWouldCutTheFrameIsRefused) {
  const std::string big(31990, 'b');
  WriteFileBytes(Frame(0), big);
  Start("\"" + Path("anim.txt") + "\"");
  Command(app_, CMD_FIRST);
  HWND notice = Open(CMD_SAVECOLOURS);
  ASSERT_NE(notice, nullptr);
  Answer(notice, IDOK);
  EXPECT_EQ(Saved(0), big);
  EXPECT_EQ(Editor(), big);
}

TEST_F(Editing, ARelativeCommandLinePathReadsAndSavesItsFrames) {
  CreateDirectoryA(Path("sub").c_str(), nullptr);
  WriteFrames(2, "sub\\anim");
  StartHere("sub\\anim.txt");
  EXPECT_EQ(Text(app_.main), Path("sub\\anim") + "..zoetrix");
  Command(app_, CMD_NEXT);
  EXPECT_EQ(Editor(), "sub\\anim " + FrameText(1));
  Type(app_, "+");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(Saved(1, "sub\\anim"), Editor());
  EXPECT_NE(Editor(), "sub\\anim " + FrameText(1));
}

// With no animation open, frames are read from and saved to the working
// directory, which a chooser leaves where it was.
TEST_F(Editing, NothingOpenSavesNothingUntilAFrameIsLoadedAndChoosersKeepTheDirectory) {
  CreateDirectoryA(Path("sub").c_str(), nullptr);
  WriteFileBytes(Path("sub\\bell.wav"), "RIFF");
  WriteFileBytes(Path("0001.txt"), "here");
  StartHere("");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_FALSE(FileExists(Path("0000.txt")));
  Command(app_, CMD_NEXT);
  ASSERT_EQ(Editor(), "here");
  HWND dialog = Open(CMD_SOUNDSELECT);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ConfirmFileDialog(app_, dialog, Path("sub\\bell.wav")));
  Settle();
  EXPECT_EQ(ReadFileBytes(Path("0001.txt")), "{\r\nsound\r\n" + Path("sub\\bell.wav") + "\r\n}\r\nhere");
  EXPECT_FALSE(FileExists(Path("sub\\0001.txt")));
}

}  // namespace

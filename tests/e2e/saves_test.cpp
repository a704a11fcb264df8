// End-to-end stories of saves that must keep every byte: a frame of the
// largest size, a longer editor, and frames shown through a repeat.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

// The text of the message box that dialog is, and the box closed with button.
std::string Answer(HWND dialog, int button) {
  std::string text = Text(DialogItem(dialog, 0xFFFF));
  PostMessageA(dialog, WM_COMMAND, button, 0);
  EXPECT_TRUE(WaitForDialogGone(dialog));
  return text;
}

TEST_F(Program, SavesFramesWholeAndAsksBeforeARepeatBecomesACopy) {
  std::string full;
  while (full.size() < 32000) full += std::string(98, 'x') + "\r\n";  // the largest frame
  const std::string repeat = "{\r\nsame 2\r\n}\r\n";
  Start(3, full, false);
  WriteFileBytes(F(3), repeat);
  ASSERT_TRUE(Launch(app_, "d.x\\anim.txt"));
  // It can be typed into, and is saved whole; longer text is refused with a
  // message, and file and editor keep their texts.
  Command(app_, CMD_FIRST);
  SendMessageA(app_.view, EM_SETSEL, 0, 1);
  Type(app_, "w");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_TRUE(ReadFileBytes(F(0)) == "w" + full.substr(1));
  SendMessageA(app_.view, WM_SETTEXT, 0, LPARAM((full + "more").c_str()));
  EXPECT_NE(Answer(Dialog(IDC_SAVEFRAME), IDOK).find("32000"), std::string::npos);
  EXPECT_TRUE(ReadFileBytes(F(0)) + Text(app_.view) == "w" + full.substr(1) + full + "more");

  // A repeat saved as it shows stays a repeat, unasked; a colour pick or a
  // save after typing asks first, and No writes nothing.
  for (int i = 0; i < 3; ++i) Command(app_, CMD_NEXT);
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(FindOtherDialog(app_, nullptr), nullptr);
  Press(Dialog(CMD_PENCOLOUR), IDOK);
  EXPECT_NE(Answer(WaitForDialog(app_), IDNO).find(" 2 "), std::string::npos);
  Type(app_, "z");
  Answer(Dialog(IDC_SAVEFRAME), IDNO);
  EXPECT_EQ(ReadFileBytes(F(3)), repeat);
  // Yes makes it a copy, a frame of its own: saved again, it asks no more.
  Answer(Dialog(IDC_SAVEFRAME), IDYES);
  Type(app_, "y");
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(ReadFileBytes(F(3)), "zy" + FrameText(2));

  // A frame file that cannot be moved: the insertion is undone and told.
  MakeImmutable(F(2));
  Command(app_, CMD_FIRST);
  const std::string told = Answer(Dialog(CMD_INSERT), IDOK);
  EXPECT_EQ(told.find("\x83R\x83}"), 0u) << told;  // "コマ", how the box begins
  EXPECT_NE(told.find(F(2) + "\r\n\r\n"), std::string::npos) << told;
  EXPECT_EQ(ReadFileBytes(F(2)) + ReadFileBytes(F(3)), FrameText(2) + "zy" + FrameText(2));
}

}  // namespace

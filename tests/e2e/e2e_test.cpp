// End-to-end user stories: the real program, driven through its windows and
// checked by what it shows and the files it leaves. Animations live in the
// folder "d.x" of a scratch directory, the working directory the program
// starts in, and are opened by their path relative to it.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

TEST_F(Program, OpensAndStepsInBothLayouts) {
  const std::string hello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd";  // Shift-JIS text
  Start(260, hello, false);
  // Opening loads no frame; a command line too long for its copy opens nothing.
  for (const std::string& a : {std::string("/P\td.x\\anim.txt"), "/p" + std::string(760, ' ') + "\"" + P("d.x\\anim.txt\"")}) {
    ASSERT_TRUE(Launch(app_, a)) << a;
    EXPECT_EQ(Text(app_.main) + Shown(), (a.size() > 700 ? "zoetrix" : Caption()) + ":");
    ExpectColours(kBlack, kWhite);
    EXPECT_TRUE(Quit(app_));
  }
  // With nothing open, frames are read and saved in the working directory,
  // which a chooser leaves where it was; the untouched editor saves nothing.
  WriteFileBytes(P("0001.txt"), "here");
  WriteFileBytes(P("d.x\\bell.wav"), "RIFF");
  ASSERT_TRUE(Launch(app_, ""));
  Command(app_, IDC_SAVEFRAME);
  Command(app_, CMD_NEXT);
  // Browsing into another folder first, as a user does.
  HWND chooser = Dialog(CMD_SOUNDSELECT);
  SendMessageA(FileNameBox(chooser), WM_SETTEXT, 0, LPARAM(P("d.x").c_str()));
  SendMessageA(chooser, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(ConfirmFileDialog(app_, chooser, P("d.x\\bell.wav")));
  Command(app_, 0);
  EXPECT_EQ(ReadFileBytes(P("0001.txt")), "{\r\nsound\r\n" + P("d.x\\bell.wav") + "\r\n}\r\nhere");
  bool stray = true;
  ReadFileBytes(P("0000.txt"), &stray);
  EXPECT_FALSE(stray);
  // A dropped file opens its animation; a name too long for the path buffer
  // is not cut into another name.
  for (const std::string& name : {P(std::string(300, 'n') + ".txt"), P("d.x\\anim.txt")}) {
    const bool cut = name.size() > 300;
    DropFile(app_, name);
    PostCommand(app_, cut ? CMD_NEXT : CMD_FIRST);  // handled after the drop
    EXPECT_TRUE(WaitFor([&] { return Text(app_.number) == (cut ? "2" : "0"); }));
    EXPECT_EQ(Text(app_.main), cut ? "zoetrix" : Caption());
  }
  const std::pair<WORD, int> steps[] = {{CMD_NEXT, 1},   {CMD_FORWARD10, 11}, {CMD_FORWARD100, 111}, {CMD_PREV, 110},
                                        {CMD_BACK10, 100}, {CMD_BACK100, 0},   {CMD_PREV, 0},         {CMD_FORWARD100, 100},
                                        {CMD_FIRST, 0},  {CMD_BACK10, 0}};
  for (WORD mode : {CMD_MODEFRAMES, CMD_MODEALLINONE}) {
    Command(app_, mode);
    for (const auto& [command, n] : steps) {
      Command(app_, command);
      std::string text = mode == CMD_MODEALLINONE ? "block " + std::to_string(n) + "\r\n" : n ? FrameText(n) : hello;
      EXPECT_EQ(Shown(), std::to_string(n) + ":" + text) << command;
    }
  }
}

TEST_F(Program, TypesSavesInsertsDeletesCopiesAndPastes) {
  Start(6);
  Command(app_, IDC_SAVEFRAME);  // no frame loaded yet: nothing to save
  Command(app_, CMD_NEXT);
  Command(app_, CMD_NEXT);
  Type(app_, "zz\n");  // at the start of the text
  ASSERT_TRUE(WaitFor([&] { return Shown() == "2:zz\r\n" + FrameText(2); }));
  Command(app_, IDC_SAVEFRAME);
  EXPECT_EQ(ReadFileBytes(F(0)) + ReadFileBytes(F(2)), FrameText(0) + "zz\r\n" + FrameText(2));
  Command(app_, CMD_NEXT);
  Command(app_, CMD_INSERT);  // frames from 3 on move up, an empty frame 3 shows
  EXPECT_EQ(Shown() + ReadFileBytes(F(3)) + ReadFileBytes(F(4)) + ReadFileBytes(F(6)), "3:" + FrameText(3) + FrameText(5));
  Command(app_, CMD_DELETE);
  bool sixth = true;
  EXPECT_EQ(Shown() + ReadFileBytes(F(3)) + ReadFileBytes(F(5)) + ReadFileBytes(F(6), &sixth), "3:" + FrameText(3) + FrameText(3) + FrameText(5));
  EXPECT_FALSE(sixth);
  Command(app_, CMD_COPYTONEXT);  // and on to it
  EXPECT_EQ(Shown() + ReadFileBytes(F(4)), "4:" + FrameText(3) + FrameText(3));
  // The mark remembers the frame: a paste copies what it holds then. A
  // cancelled chooser keeps the animation and the mark.
  Command(app_, CMD_COPY);
  WriteFileBytes(F(4), "changed after the copy");
  Dialog(CMD_OPEN, IDCANCEL);
  EXPECT_EQ(Text(app_.main), Caption());
  Command(app_, CMD_NEXT);
  Command(app_, CMD_PASTE);
  EXPECT_EQ(Shown() + ReadFileBytes(F(5)), "5:changed after the copy" "changed after the copy");
  // A frame file that cannot be written: one box, and the file keeps its bytes.
  Type(app_, "x");
  MakeImmutable(F(5));
  ExpectOneBox(IDC_SAVEFRAME, F(5));
  EXPECT_EQ(ReadFileBytes(F(5)), "changed after the copy");
}

TEST_F(Program, ExportsExpandsAndOpensAnother) {
  std::string all;
  for (const char* number : {"0000", "0001", "0002", "12000"}) all += Block(number, "b");
  WriteFileBytes(P("d.x\\anim.txt"), all);
  WriteFileBytes(P("d.x\\bell.wav"), "RIFF");
  ASSERT_TRUE(Launch(app_, "d.x\\anim.txt"));
  Command(app_, CMD_MODEALLINONE);
  for (int n = 1; n <= 2; ++n) {  // in this layout a save makes a frame file
    Command(app_, CMD_NEXT);
    Type(app_, "e");
    Command(app_, IDC_SAVEFRAME);
  }
  // The check finds the two frames that only the all-in-one file holds
  // (問題 2 件), the second as "anim.txt コマ 12000 (位置 48): ...".
  HWND box = Dialog(CMD_CHECK);
  const std::string checked = Text(DialogItem(box, 0xFFFF));
  EXPECT_NE(checked.find(" 2 \x8c\x8f\r\n\r\nanim.txt \x83R\x83} 0 ("), std::string::npos) << checked;
  EXPECT_NE(checked.find("\r\nanim.txt \x83R\x83} 12000 (\x88\xca\x92u 48): "), std::string::npos) << checked;
  Press(box, IDOK);
  // Export asks before it drops the frames that only the all-in-one file
  // holds: No keeps the file, Yes writes it.
  for (int answer : {IDNO, IDYES}) {
    HWND question = Dialog(CMD_EXPORT);
    std::string text;
    for (HWND c = GetWindow(question, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) text += Text(c);
    EXPECT_NE(text.find(" 2 "), std::string::npos) << text;
    Press(question, answer);
    EXPECT_EQ(ReadFileBytes(P("d.x\\anim.txt")), answer == IDNO ? all : Block("0001", "eb\r\n") + Block("0002", "eb\r\n"));
  }
  // Expansion onto two frame files that cannot be written: one box, and no
  // file changes or is left behind.
  MakeImmutable(F(1));
  MakeImmutable(F(2));
  ExpectOneBox(CMD_EXPAND, F(1));
  EXPECT_EQ(ReadFileBytes(F(1)) + ReadFileBytes(F(2)), "eb\r\neb\r\n");
  WIN32_FIND_DATAA found;
  EXPECT_EQ(FindFirstFileA(P("d.x\\~zt*").c_str(), &found), INVALID_HANDLE_VALUE);
  for (int n = 1; n <= 2; ++n) SetImmutable(F(n), false), DeleteFileA(F(n).c_str());
  Dialog(CMD_EXPORT, IDOK);  // no frame file: nothing to gather, and nothing written
  EXPECT_EQ(ReadFileBytes(P("d.x\\anim.txt")), Block("0001", "eb\r\n") + Block("0002", "eb\r\n"));

  // A header that would push a frame past 32000 bytes is refused.
  const std::string big = "{\r\nsound\r\nbell.wav\r\n}\r\n" + std::string(31970, 'b');
  WriteFileBytes(F(0), big);
  Command(app_, CMD_MODEFRAMES);
  Command(app_, CMD_FIRST);
  Dialog(CMD_SAVECOLOURS, IDOK);
  EXPECT_EQ(ReadFileBytes(F(0)), big);

  // Another animation, from the chooser (whose filter is Shift-JIS text),
  // gets nothing of this one: the untouched editor saves nothing; what the
  // user types there is saved, with the colours around it.
  HWND chooser = Dialog(CMD_OPEN);
  wchar_t filter[64] = L"";
  SendMessageW(DialogItem(chooser, 0x470), CB_GETLBTEXT, 0, LPARAM(filter));
  EXPECT_STREQ(filter, L"\u30c6\u30ad\u30b9\u30c8 Files (*.txt)");
  ASSERT_TRUE(ConfirmFileDialog(app_, chooser, P("d.x\\other.txt")));
  ASSERT_TRUE(WaitFor([&] { return Text(app_.main) == Caption("other"); }));
  EXPECT_EQ(Text(app_.view), "");
  Command(app_, IDC_SAVEFRAME);
  Command(app_, CMD_SAVECOLOURS);
  ASSERT_TRUE(ConfirmFileDialog(app_, Dialog(CMD_SOUNDSELECT), P("d.x\\bell.wav")));
  Command(app_, 0);
  bool saved = true;
  ReadFileBytes(F(0, "other"), &saved);
  EXPECT_FALSE(saved);
  Type(app_, "typed");
  Command(app_, CMD_SAVECOLOURS);
  EXPECT_EQ(ReadFileBytes(F(0, "other")), "{\r\ncolor\r\n0 0 0 255 255 255\r\n}\r\ntyped");
}

TEST_F(Program, ColoursFontAndSound) {
  const std::string ini = ProgramDir() + "font.ini", face(31, 'F'), sound = "\x95\x5c\x8f\xee.wav";  // 表情: a second byte '\'
  bool existed = false;
  const std::string before = ReadFileBytes(ini, &existed);
  WriteFileBytes(ini, face + "FFFFFFF\r\nsecond line");  // the first line, cut to the face-name field, is the face
  WriteFileBytes(P("d.x\\" + sound), "RIFF");
  WriteFileBytes(F(2), "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\nred on blue");
  WriteFileBytes(F(3), "{\r\ncolor\r\n256 0 0 300 300 300\r\n}\r\nlow 8 bits");
  WriteFileBytes(F(4), "ab");
  WriteFileBytes(F(5), "a&b");
  Start(2);
  Command(app_, CMD_FONTSAVE);
  std::string saved = ReadFileBytes(ini);
  Dialog(CMD_FONTSELECT, IDCANCEL);  // cancelled: the face stays
  Command(app_, CMD_FONTSAVE);
  saved += ReadFileBytes(ini);
  WriteFileBytes(ini, "Tahoma");
  Command(app_, CMD_FONTLOAD);
  Command(app_, CMD_FONTSAVE);
  EXPECT_EQ(saved + ReadFileBytes(ini), face + face + "Tahoma");
  if (existed) WriteFileBytes(ini, before);
  if (!existed) DeleteFileA(ini.c_str());
  // Frame colours, from the low 8 bits of each value, are painted on loading.
  Command(app_, CMD_NEXT);
  Command(app_, CMD_NEXT);
  ExpectColours(kRed, kBlue);
  Command(app_, CMD_NEXT);
  ExpectColours(kBlack, RGB(44, 44, 44));
  // "&" underlines the character after it: "a&b" takes the width of "ab".
  Command(app_, CMD_NEXT);
  const int ab = InkRight(RGB(44, 44, 44));
  Command(app_, CMD_NEXT);
  EXPECT_NEAR(InkRight(RGB(44, 44, 44)), ab, 2);
  // Chosen colours are painted, and choosing saves the editor's text.
  Command(app_, CMD_FIRST);
  Command(app_, CMD_NEXT);
  const char* values[2][3] = {{"255", "0", "0"}, {"0", "0", "255"}};
  for (WORD command : {CMD_PENCOLOUR, CMD_BACKCOLOUR}) {
    HWND dialog = Dialog(command);
    for (int i = 0; i < 3; ++i) SetWindowTextA(DialogItem(dialog, 706 + i), values[command == CMD_BACKCOLOUR][i]);
    Press(dialog, IDOK);
  }
  InvalidateRect(app_.view, nullptr, FALSE);
  ExpectColours(kRed, kBlue);
  EXPECT_EQ(ReadFileBytes(F(1)), FrameText(1));
  Type(app_, "+");  // typed after the last save: saving the colours keeps it
  Command(app_, CMD_SAVECOLOURS);
  const std::string colours = "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\n+" + FrameText(1);
  EXPECT_EQ(ReadFileBytes(F(1)) + Shown(), colours + "1:" + colours);
  Dialog(CMD_PENCOLOUR, IDCANCEL);  // cancelled: grey
  InvalidateRect(app_.view, nullptr, FALSE);
  ExpectColours(RGB(128, 128, 128), kBlue);
  // A sound beside the animation is kept by its bare name.
  ASSERT_TRUE(ConfirmFileDialog(app_, Dialog(CMD_SOUNDSELECT), P("d.x\\" + sound)));
  const std::string withSound = "{\r\ncolor\r\n255 0 0 0 0 255\r\nsound\r\n" + sound + "\r\n}\r\n+" + FrameText(1);
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(F(1)) == withSound; })) << ReadFileBytes(F(1));
  EXPECT_EQ(Shown(), "1:" + withSound);
  // Sharing as a web page reads every frame, and leaves the frame on show,
  // its colours and its header as they were.
  Dialog(CMD_EXPORTHTML, IDOK);
  EXPECT_NE(ReadFileBytes(P("d.x\\anim.html")).find("zx-text"), std::string::npos);
  InvalidateRect(app_.view, nullptr, FALSE);
  ExpectColours(RGB(128, 128, 128), kBlue);
  Command(app_, CMD_SAVECOLOURS);
  const std::string grey = "{\r\ncolor\r\n128 128 128 0 0 255" + withSound.substr(withSound.find("\r\nsound"));
  EXPECT_EQ(ReadFileBytes(F(1)) + Shown(), grey + "1:" + grey);
}

TEST_F(Program, PlaysChangesSpeedStopsAndEnds) {
  Start(40);
  Type(app_, std::string(40, 'W'));  // the editor's text, which playback leaves alone
  Command(app_, CMD_SPEED1);
  Command(app_, CMD_START);
  // A repaint while playing shows the frame on show, not the editor's text.
  ASSERT_TRUE(WaitFor([&] { return Number() == 1; }));
  InvalidateRect(app_.view, nullptr, FALSE);
  Painted();
  EXPECT_EQ(PixelsOtherThan(app_.view, {150, 1, 250, 24}, kWhite), 0);
  // At one frame a second, ten frames take ten seconds; the faster speed
  // chosen while playing gets there well within them. Stop loads the frame
  // on show.
  Command(app_, CMD_SPEED6);
  EXPECT_TRUE(WaitFor([&] { return Number() >= 10; }, 8000));
  Command(app_, CMD_STOP);
  EXPECT_EQ(Text(app_.view), FrameText(Number()));
  // Every chooser stops playback first, and is modal: what the colour
  // chooser saves is the frame on show.
  const int stopped = Number();
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= stopped + 3; }));
  Dialog(CMD_OPEN, IDCANCEL);
  EXPECT_EQ(Shown(), std::to_string(Number()) + ":" + FrameText(Number()));
  Command(app_, CMD_START);
  ASSERT_TRUE(WaitFor([&] { return Number() >= stopped + 6; }));
  HWND chooser = Dialog(CMD_PENCOLOUR);
  EXPECT_FALSE(IsWindowEnabled(app_.main));
  const int shown = Number();
  EXPECT_FALSE(WaitFor([&] { return Number() != shown; }, 300));  // stopped: ten ticks pass unseen
  Press(chooser, IDOK);
  EXPECT_EQ(Shown() + ReadFileBytes(F(shown)), std::to_string(shown) + ":" + FrameText(shown) + FrameText(shown));
  // In the all-in-one layout, the frame after the last one ends playback.
  Command(app_, CMD_MODEALLINONE);
  Command(app_, CMD_FIRST);
  Command(app_, CMD_START);
  EXPECT_TRUE(WaitFor([&] { return Number() == 40; }));
  Command(app_, CMD_PREV);
  EXPECT_EQ(Shown(), "39:block 39\r\n");
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

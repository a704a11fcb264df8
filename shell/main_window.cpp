#include "main_window.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "commands.h"
#include "file_chooser.h"
#include "font.h"
#include "frame_loader.h"
#include "frame_view.h"
#include "paths.h"
#include "resource.h"
#include "storage_messages.h"

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_scrollBar;
char g_fontSettingsPath[kPathMax] = "font.ini";

static char s_commandLine[kCommandLineSize];
static bool s_hasCommandLine = false;

// Layout: the frame view sits 5 from the left, 35 from the top; the scroll
// bar, 13 wide, to its right.
constexpr int kMargin = 5;
constexpr int kTopMargin = 35;
constexpr int kInitialWidth = 430;
constexpr int kInitialHeight = 160;

void StoreCommandLine(const char* commandLine) {
  s_hasCommandLine = false;
  if (commandLine == nullptr || commandLine[0] == '\0') return;
  int written = std::snprintf(s_commandLine, sizeof s_commandLine, "%s", commandLine);
  if (written < 0 || written >= static_cast<int>(sizeof s_commandLine)) {
    s_commandLine[0] = '\0';  // too long to be a path the program can open
    return;
  }
  s_hasCommandLine = true;
}

void SendCommand(WORD command) { SendMessageA(g_mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

// Whether the editor holds a frame's text: storage put one there (a load, a
// composed header), or the user typed (the editor's own modification flag).
// At start-up and after opening an animation it holds none.
static bool s_editorHoldsFrame = false;

void SetEditorText(const char* text) {
  SetWindowTextA(FrameView(), text);
  // The text as storage set it, which the user has not changed yet.
  SendMessageA(FrameView(), EM_SETMODIFY, FALSE, 0);
  s_editorHoldsFrame = true;
}

void EmptyEditor() {
  SetWindowTextA(FrameView(), "");
  SendMessageA(FrameView(), EM_SETMODIFY, FALSE, 0);
  s_editorHoldsFrame = false;
}

bool EditorHoldsFrame() { return s_editorHoldsFrame || SendMessageA(FrameView(), EM_GETMODIFY, 0, 0) != 0; }

void GetEditorText(char* buffer, int size) {
  if (size <= 0) return;
  buffer[0] = '\0';
  GetWindowTextA(FrameView(), buffer, size);
}

void ShowFrameNumber(const char* text) { SetDlgItemTextA(g_mainWindow, IDC_FRAMENUMBER, text); }

static void PlaySoundAsync(const char* path) { PlaySoundA(path, nullptr, SND_ASYNC); }

// The questions and notices storage asks for, in Shift-JIS for the ANSI
// message box.
// "コマファイルのないコマが N コマあります。\nまとめて保存すると、それらのコマは失われます。保存しますか？"
static const char kDroppingQuestionHead[] =
    "\x83R\x83}\x83t\x83@\x83" "C\x83\x8b\x82\xcc\x82\xc8\x82\xa2\x83R\x83}\x82\xaa ";
static const char kDroppingQuestionTail[] =
    " \x83R\x83}\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81" "B\n\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6"
    "\x82\xb7\x82\xe9\x82\xc6\x81" "A\x82\xbb\x82\xea\x82\xe7\x82\xcc\x83R\x83}\x82\xcd\x8e\xb8\x82\xed\x82\xea"
    "\x82\xdc\x82\xb7\x81" "B\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H";
// "コマファイルが 1 つもないため、まとめて保存しませんでした。"
static const char kNoFrameFilesNotice[] =
    "\x83R\x83}\x83t\x83@\x83" "C\x83\x8b\x82\xaa 1 \x82\xc2\x82\xe0\x82\xc8\x82\xa2\x82\xbd\x82\xdf\x81" "A"
    "\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";
// "コマが 32000 バイトを超えるため、保存しませんでした。"
static const char kTextTooLongNotice[] =
    "\x83R\x83}\x82\xaa 32000 \x83o\x83" "C\x83g\x82\xf0\x92\xb4\x82\xa6\x82\xe9\x82\xbd\x82\xdf\x81" "A"
    "\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";
// "ヘッダーを付けるとコマが 32000 バイトを超えるため、保存しませんでした。"
static const char kFrameTooLongNotice[] =
    "\x83w\x83" "b\x83_\x81[\x82\xf0\x95t\x82\xaf\x82\xe9\x82\xc6\x83R\x83}\x82\xaa 32000 \x83o\x83" "C\x83g"
    "\x82\xf0\x92\xb4\x82\xa6\x82\xe9\x82\xbd\x82\xdf\x81" "A\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb9\x82\xf1"
    "\x82\xc5\x82\xb5\x82\xbd\x81" "B";

static bool ConfirmDroppingFrames(int count) {
  char question[256];
  std::snprintf(question, sizeof question, "%s%d%s", kDroppingQuestionHead, count, kDroppingQuestionTail);
  // No is the default: it keeps the file as it is.
  return MessageBoxA(g_mainWindow, question, "zoetrix", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

static void ReportRefusal(Refusal why) {
  const char* text = why == Refusal::NoFrameFiles  ? kNoFrameFilesNotice
                     : why == Refusal::TextTooLong ? kTextTooLongNotice
                                                   : kFrameTooLongNotice;
  MessageBoxA(g_mainWindow, text, "zoetrix", MB_OK | MB_ICONINFORMATION);
}

void Close() {
  FreeTextBuffers();
  DeleteCurrentFont();
  // The window is modeless: destroying it and ending the message loop ends
  // the program.
  DestroyWindow(g_mainWindow);
  PostQuitMessage(0);
}

static HWND CreateFrameView(HWND dialog) {
  HWND view = CreateWindowExA(0, "edit", "",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                  ES_AUTOHSCROLL | ES_WANTRETURN,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                              g_instance, nullptr);
  // A frame of kFrameTextMax one-byte characters can be edited whole (the
  // control's own limit is lower); longer text is refused when it is saved.
  SendMessageA(view, EM_SETLIMITTEXT, kFrameTextMax, 0);
  InstallFrameView(view);
  return view;
}

static HWND CreateScrollBar(HWND dialog) {
  HWND bar = CreateWindowExA(0, "scrollbar", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_VERT, 0, 0, 0, 0, dialog,
                             nullptr, g_instance, nullptr);
  SetScrollRange(bar, SB_CTL, 0, 0, TRUE);
  return bar;
}

static INT_PTR OnInitDialog(HWND dialog) {
  AllocateTextBuffers();
  g_mainWindow = dialog;
  g_viewHooks = ViewHooks{SetEditorText,     GetEditorText,        ShowFrameNumber,
                          RenderFrame,       ApplyColours,         ReportWriteFailure,
                          ConfirmDroppingFrames, ReportRefusal,    EditorModified,
                          ConfirmCopyingRepeat, ReportFrameOperationFailure, ReportReadFailure,
                          ConfirmStoringCutFrames, ReportSkippedBlocks};
  g_playSound = PlaySoundAsync;
  UseTextPreset();
  InitFileChooser(dialog);
  SetWindowTextA(dialog, "zoetrix");
  g_animation.storageMode = FrameFiles;
  g_animation.playing = 0;
  SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_MAINICON))));
  HWND view = CreateFrameView(dialog);
  g_scrollBar = CreateScrollBar(dialog);
  // A program directory too long for the settings path leaves it empty:
  // the font settings are then neither read nor written.
  FontSettingsPath(g_fontSettingsPath, sizeof g_fontSettingsPath);
  SetUpFont(view, g_fontSettingsPath);
  ApplyFont(view);
  SendMessageA(dialog, WM_SIZE, 0, MAKELPARAM(kInitialWidth, kInitialHeight));
  DragAcceptFiles(dialog, TRUE);
  if (s_hasCommandLine && ExtractCommandLinePath(s_commandLine, g_animation.basePath, sizeof g_animation.basePath)) {
    SendCommand(CMD_OPENPATH);
  }
  SendCommand(CMD_SPEED3);
  return TRUE;
}

static INT_PTR OnSize(int width, int height) {
  int viewHeight = height - kTopMargin - kMargin;
  MoveWindow(FrameView(), kMargin, kTopMargin, width - kMargin - 25, viewHeight, TRUE);
  MoveWindow(g_scrollBar, width - kMargin - 18, kTopMargin, 13, viewHeight, TRUE);
  return 0;
}

static INT_PTR OnSysCommand(WPARAM wParam) {
  if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
  Close();
  return TRUE;
}

static INT_PTR OnDropFiles(HDROP drop) {
  // As the choosers do: playback stops (on the frame it shows) before
  // another animation opens.
  StopPlayback();
  // A name that would not fit the path buffer is not cut into another name.
  UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  if (length > 0 && length < static_cast<UINT>(kPathMax)) {
    DragQueryFileA(drop, 0, g_animation.basePath, kPathMax);
    DragFinish(drop);
    SendCommand(CMD_OPENPATH);
    return 0;
  }
  DragFinish(drop);
  return 0;
}

INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_SIZE:
      return OnSize(LOWORD(lParam), HIWORD(lParam));
    case WM_COMMAND:
      DispatchCommand(LOWORD(wParam));
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wParam);
    case WM_TIMER:
      OnTimerTick();
      return 0;
    case WM_VSCROLL:
      OnScroll(LOWORD(wParam));
      return 0;
    case WM_DROPFILES:
      return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    default:
      return FALSE;
  }
}

#include "commands.h"

#include <cstdio>

#include "check_message.h"
#include "conversion.h"
#include "file_chooser.h"
#include "font.h"
#include "frame_editing.h"
#include "frame_loader.h"
#include "frame_view.h"
#include "gif_export_command.h"
#include "history.h"
#include "history_commands.h"
#include "main_window.h"
#include "paths.h"
#include "resource.h"
#include "web_export.h"

static char s_soundPath[kPathMax];

static void Reload() { LoadFrame(g_animation.basePath, g_animation.currentFrame); }

static void StepAndReload(int delta) {
  StepFrame(delta);
  Reload();
}

static void GoToFirstFrame() {
  g_animation.currentFrame = 0;
  Reload();
}

// Opens the animation whose path is in the path buffer: the base path (made
// absolute while the working directory is still the one the path was given
// in), the caption, the first frame's colours, the working directory. The
// editor, the view's text and the frame record are emptied, as at start-up,
// so that nothing of the previous animation is saved into this one; no
// frame is loaded until the next navigation.
static void OpenAnimation() {
  MakeAbsolutePath(g_animation.basePath, sizeof g_animation.basePath);
  DeriveBasePath(g_animation.basePath);
  char caption[kPathMax + 16];
  std::snprintf(caption, sizeof caption, "%s..%s", g_animation.basePath, "zoetrix");
  SetWindowTextA(g_mainWindow, caption);
  ForgetLoadedFrame();
  EmptyEditor();
  ApplyFirstFrameColours(g_animation.basePath);
  g_animation.hasCopiedFrame = 0;
  ClearHistory();
  FollowAnimationDirectory(g_animation.basePath);
}

// Every chooser first stops playback, which loads the frame the number
// shows, so that what it saves afterwards is that frame.
static void OpenFromChooser() {
  StopPlayback();
  UseTextPreset();
  // The chooser works on a copy: a cancelled one changes nothing.
  char path[kPathMax];
  CopyText(path, sizeof path, g_animation.basePath);
  if (!ChooseFile(g_mainWindow, path)) return;
  CopyText(g_animation.basePath, sizeof g_animation.basePath, path);
  OpenAnimation();
}

// Runs a write of the current frame's file as one step of the history.
static void RecordCurrent(void (*write)()) {
  RecordFrameWrite(g_animation.basePath, g_animation.currentFrame, write);
}

// The commands that write the current frame from the editor stop playback
// first (the editor then holds the frame the number shows), and write
// nothing while the editor holds no frame: an untouched empty editor after
// start-up or opening never empties a frame.
static void SaveFrame() {
  StopPlayback();
  if (EditorHoldsFrame()) RecordCurrent([] { SaveFrameFromEditor(g_animation.basePath); });
}

static void SaveColours() {
  StopPlayback();
  if (EditorHoldsFrame()) RecordCurrent([] { SaveCurrentColours(g_animation.basePath); });
}

// A colour pick saves the editor's text whatever it holds: on a repeat it
// asks first, changed or not.
static void ChooseColourAndSave(void (*choose)()) {
  StopPlayback();
  choose();
  if (EditorHoldsFrame()) RecordCurrent([] { SaveFrameFromEditor(g_animation.basePath, false); });
}

static void ChooseSound() {
  StopPlayback();
  UseSoundPreset();
  if (!ChooseFile(g_mainWindow, s_soundPath) || !EditorHoldsFrame()) return;
  StoreChosenSound(s_soundPath, g_animation.basePath);
  if (SetFrameSound(s_soundPath)) SaveFrame();
}

static void SelectFont() {
  StopPlayback();
  SelectFontCommand(FrameView());
}

static void SetMode(int mode) {
  g_animation.storageMode = mode;
  ApplyFirstFrameColours(g_animation.basePath);
}

void StartPlayback() {
  g_animation.playing = 1;
  ApplyFirstFrameColours(g_animation.basePath);
  SetTimer(g_mainWindow, kPlaybackTimer, static_cast<UINT>(g_animation.interval), nullptr);
  InvalidateRect(FrameView(), nullptr, FALSE);
}

static void HaltPlayback() {
  g_animation.playing = 0;
  KillTimer(g_mainWindow, kPlaybackTimer);
}

void StopPlayback() {
  // While playing, the editor keeps the text it had when playback started;
  // stopped, it holds the frame the number shows. Stopped already, it may
  // hold typed text, which a load would throw away.
  bool wasPlaying = g_animation.playing != 0;
  HaltPlayback();
  if (wasPlaying) Reload();
}

void SetSpeed(int milliseconds) {
  g_animation.interval = milliseconds;
  // The timer restarts at the new interval; playback goes on, so no frame
  // is loaded into the editor.
  if (g_animation.playing) {
    HaltPlayback();
    StartPlayback();
  }
}

void OnTimerTick() {
  if (g_animation.playing) {
    StepAndReload(1);
  } else {
    KillTimer(g_mainWindow, kPlaybackTimer);
  }
}

struct CommandRow {
  WORD number;
  void (*run)();
};

// Every command the menu, the buttons, the scroll bar and the program itself
// send. Numbers not in the table (the disabled items among them) do nothing.
static const CommandRow kCommandTable[] = {
    {CMD_OPEN, OpenFromChooser},
    {CMD_OPENPATH, OpenAnimation},
    {CMD_EXPORT, [] { ExportAllInOne(g_animation.basePath); }},
    {CMD_EXPAND, [] { ExpandAllInOne(g_animation.basePath); }},
    {CMD_EXPORTHTML, ExportWebPageCommand},
    {CMD_EXPORTGIF, ExportGifCommand},
    {CMD_CHECK, CheckAnimationCommand},
    {CMD_EXIT, Close},
    {CMD_PREV, [] { StepAndReload(-1); }},
    {CMD_NEXT, [] { StepAndReload(1); }},
    {CMD_BACK10, [] { StepAndReload(-10); }},
    {CMD_FORWARD10, [] { StepAndReload(10); }},
    {CMD_BACK100, [] { StepAndReload(-100); }},
    {CMD_FORWARD100, [] { StepAndReload(100); }},
    {CMD_FIRST, GoToFirstFrame},
    {IDC_SAVEFRAME, SaveFrame},
    {CMD_FONTSELECT, SelectFont},
    {CMD_FONTLOAD, [] { LoadFontCommand(FrameView(), g_fontSettingsPath); }},
    {CMD_FONTSAVE, [] { SaveFontCommand(g_fontSettingsPath); }},
    {CMD_PENCOLOUR, [] { ChooseColourAndSave(ChoosePenColour); }},
    {CMD_BACKCOLOUR, [] { ChooseColourAndSave(ChooseBackColour); }},
    {CMD_SAVECOLOURS, SaveColours},
    {CMD_SOUNDSELECT, ChooseSound},
    {CMD_LISTEN, PlayCue},
    {CMD_SPEED1, [] { SetSpeed(1000); }},
    {CMD_SPEED2, [] { SetSpeed(500); }},
    {CMD_SPEED3, [] { SetSpeed(200); }},
    {CMD_SPEED4, [] { SetSpeed(100); }},
    {CMD_SPEED5, [] { SetSpeed(50); }},
    {CMD_SPEED6, [] { SetSpeed(30); }},
    {CMD_START, StartPlayback},
    {CMD_STOP, StopPlayback},
    {CMD_STARTSTOP, [] { SendCommand(g_animation.playing ? CMD_STOP : CMD_START); }},
    {CMD_COPYTONEXT, [] {
       RecordFrameWrite(g_animation.basePath, g_animation.currentFrame + 1, [] { CopyToNext(g_animation.basePath); });
       SendCommand(CMD_NEXT);
     }},
    {CMD_INSERT, [] {
       RecordInsertFrame(g_animation.basePath);
       Reload();
     }},
    {CMD_DELETE, [] {
       RecordDeleteFrame(g_animation.basePath);
       Reload();
     }},
    {CMD_COPY, MarkCopiedFrame},
    {CMD_PASTE, [] {
       RecordCurrent([] { PasteFrame(g_animation.basePath); });
       Reload();
     }},
    {CMD_UNDO, UndoCommand},
    {CMD_REDO, RedoCommand},
    {CMD_MODEFRAMES, [] { SetMode(FrameFiles); }},
    {CMD_MODEALLINONE, [] { SetMode(AllInOne); }},
};

// A command tells its failed writes in one message box, once it is done: the
// first failure of the command (and of the commands it sends) is kept, and
// those after it are dropped, so an export or expansion that cannot write
// shows one box.
static int s_commandDepth = 0;
static char s_failure[kFailureTextSize];

static void ShowWriteFailure() {
  if (s_failure[0] == '\0') return;
  MessageBoxA(g_mainWindow, s_failure, "zoetrix", MB_OK | MB_ICONERROR);
  s_failure[0] = '\0';
}

void KeepFailure(const char* text) {
  if (s_failure[0] != '\0') return;
  CopyText(s_failure, sizeof s_failure, text);
  if (s_commandDepth == 0) ShowWriteFailure();
}

void ReportWriteFailure(const char* fileName, const char* reason) {
  char text[kFailureTextSize];
  // "ファイルを保存できませんでした。" (the file could not be saved), in Shift-JIS.
  std::snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n\r\n%s",
                "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9"
                "\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42",
                fileName, reason);
  KeepFailure(text);
}

void DispatchCommand(WORD command) {
  for (const CommandRow& row : kCommandTable) {
    if (row.number == command) {
      ++s_commandDepth;
      row.run();
      if (--s_commandDepth > 0) return;
      UpdateHistoryMenu();
      ShowWriteFailure();
      return;
    }
  }
}

void OnScroll(WORD code) {
  struct ScrollRow {
    WORD code;
    WORD command;
  };
  static const ScrollRow kScrollTable[] = {
      {SB_LINEUP, CMD_PREV},       {SB_LINEDOWN, CMD_NEXT}, {SB_PAGEUP, CMD_BACK10},
      {SB_PAGEDOWN, CMD_FORWARD10}, {SB_TOP, CMD_FIRST},     {SB_BOTTOM, CMD_LAST},
  };
  for (const ScrollRow& row : kScrollTable) {
    if (row.code == code) {
      SendCommand(row.command);
      return;
    }
  }
}

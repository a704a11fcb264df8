#include "commands.h"

#include <cstdio>

#include "conversion.h"
#include "file_chooser.h"
#include "font.h"
#include "frame_editing.h"
#include "frame_loader.h"
#include "frame_view.h"
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

// Opens the animation whose path is in the path buffer: the base path, the
// caption, the first frame's colours, the working directory. No frame is
// loaded until the next navigation.
static void OpenAnimation() {
  DeriveBasePath(g_animation.basePath);
  char caption[kPathMax + 16];
  std::snprintf(caption, sizeof caption, "%s..%s", g_animation.basePath, "zoetrix");
  SetWindowTextA(g_mainWindow, caption);
  ApplyFirstFrameColours(g_animation.basePath);
  g_animation.hasCopiedFrame = 0;
  FollowAnimationDirectory(g_animation.basePath);
}

static void OpenFromChooser() {
  UseTextPreset();
  ChooseFile(g_mainWindow, g_animation.basePath);
  OpenAnimation();
}

static void SaveFrame() { SaveFrameFromEditor(g_animation.basePath); }

static void ChooseSound() {
  UseSoundPreset();
  if (!ChooseFile(g_mainWindow, s_soundPath)) return;
  StoreChosenSound(s_soundPath, g_animation.basePath);
  SetFrameSound(s_soundPath);
  SaveFrame();
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

void StopPlayback() {
  g_animation.playing = 0;
  KillTimer(g_mainWindow, kPlaybackTimer);
}

void SetSpeed(int milliseconds) {
  g_animation.interval = milliseconds;
  if (g_animation.playing) {
    SendCommand(CMD_STOP);
    SendCommand(CMD_START);
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
    {CMD_EXIT, Close},
    {CMD_PREV, [] { StepAndReload(-1); }},
    {CMD_NEXT, [] { StepAndReload(1); }},
    {CMD_BACK10, [] { StepAndReload(-10); }},
    {CMD_FORWARD10, [] { StepAndReload(10); }},
    {CMD_BACK100, [] { StepAndReload(-100); }},
    {CMD_FORWARD100, [] { StepAndReload(100); }},
    {CMD_FIRST, GoToFirstFrame},
    {IDC_SAVEFRAME, SaveFrame},
    {CMD_FONTSELECT, [] { SelectFontCommand(FrameView()); }},
    {CMD_FONTLOAD, [] { LoadFontCommand(FrameView(), g_fontSettingsPath); }},
    {CMD_FONTSAVE, [] { SaveFontCommand(g_fontSettingsPath); }},
    {CMD_PENCOLOUR, [] {
       ChoosePenColour();
       SaveFrame();
     }},
    {CMD_BACKCOLOUR, [] {
       ChooseBackColour();
       SaveFrame();
     }},
    {CMD_SAVECOLOURS, [] { SaveCurrentColours(g_animation.basePath); }},
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
    {CMD_COPYTONEXT, [] {
       CopyToNext(g_animation.basePath);
       SendCommand(CMD_NEXT);
     }},
    {CMD_INSERT, [] {
       InsertFrame(g_animation.basePath);
       Reload();
     }},
    {CMD_DELETE, [] {
       DeleteFrame(g_animation.basePath);
       Reload();
     }},
    {CMD_COPY, MarkCopiedFrame},
    {CMD_PASTE, [] {
       PasteFrame(g_animation.basePath);
       Reload();
     }},
    {CMD_MODEFRAMES, [] { SetMode(FrameFiles); }},
    {CMD_MODEALLINONE, [] { SetMode(AllInOne); }},
};

void DispatchCommand(WORD command) {
  for (const CommandRow& row : kCommandTable) {
    if (row.number == command) {
      row.run();
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

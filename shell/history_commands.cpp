#include "history_commands.h"

#include <windows.h>

#include <cstdio>

#include "commands.h"
#include "frame_loader.h"
#include "history.h"
#include "main_window.h"
#include "resource.h"

// The texts are Shift-JIS for the ANSI message box.
// "このファイルが操作のあとで変更されているため、元に戻しませんでした。"
static const char kUndoRefused[] =
    "\x82\xb1\x82\xcc\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x91\x80\x8d\xec\x82\xcc\x82\xa0\x82\xc6\x82\xc5\x95\xcf"
    "\x8dX\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xe9\x82\xbd\x82\xdf\x81" "A\x8c\xb3\x82\xc9\x96\xdf\x82\xb5\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";
// "このファイルが元に戻したあとで変更されているため、やり直しませんでした。"
static const char kRedoRefused[] =
    "\x82\xb1\x82\xcc\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x8c\xb3\x82\xc9\x96\xdf\x82\xb5\x82\xbd\x82\xa0\x82\xc6"
    "\x82\xc5\x95\xcf\x8dX\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xe9\x82\xbd\x82\xdf\x81" "A\x82\xe2\x82\xe8\x92"
    "\xbc\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";

static void RunStep(StepResult (*run)(), const char* refused) {
  StopPlayback();
  StepResult result = run();
  if (result.outcome == StepOutcome::Done) {
    g_animation.currentFrame = result.frame;
    LoadFrame(g_animation.basePath, g_animation.currentFrame);
  } else if (result.outcome == StepOutcome::Changed) {
    char text[kFailureTextSize];
    std::snprintf(text, sizeof text, "%s\r\n\r\n%s", refused, result.file);
    KeepFailure(text);
  }
}

void UndoCommand() { RunStep(UndoStep, kUndoRefused); }
void RedoCommand() { RunStep(RedoStep, kRedoRefused); }

void UpdateHistoryMenu() {
  HMENU menu = GetMenu(g_mainWindow);
  EnableMenuItem(menu, CMD_UNDO, MF_BYCOMMAND | (CanUndo() ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, CMD_REDO, MF_BYCOMMAND | (CanRedo() ? MF_ENABLED : MF_GRAYED));
}

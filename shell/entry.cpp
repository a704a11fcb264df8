// Program entry: runs the main dialog.
#include <windows.h>

#include "main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  g_instance = instance;
  StoreCommandLine(commandLine);
  if (DialogBoxParamA(instance, "zoetrix", nullptr, MainWindowProc, 0) == -1) {
    MessageBoxA(nullptr, "error", "zoetrix", MB_ICONERROR);
  }
  return 0;
}

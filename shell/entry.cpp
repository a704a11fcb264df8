// Program entry: runs the main dialog.
#include <windows.h>

#include "main_window.h"
#include "message_loop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  g_instance = instance;
  StoreCommandLine(commandLine);
  if (!RunMainWindow()) {
    MessageBoxA(nullptr, "error", "zoetrix", MB_ICONERROR);
  }
  return 0;
}

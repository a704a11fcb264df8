// Program entry: runs the main dialog.
#include <windows.h>

#include "main_window.h"
#include "message_loop.h"
#include "path_text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  // The arguments from the whole command line: the runtime's own copy stops
  // skipping the program's name at a byte of 0x80 or more, so an unquoted
  // path with Japanese characters would be taken for the animation.
  StoreCommandLine(SkipProgramName(GetCommandLineA()));
  if (!RunMainWindow()) {
    MessageBoxA(nullptr, "error", "zoetrix", MB_ICONERROR);
  }
  return 0;
}

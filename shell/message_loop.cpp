#include "message_loop.h"

#include <windows.h>

#include "main_window.h"
#include "resource.h"

// The main window is a modeless dialog with this loop of its own, so that the
// keyboard shortcuts (the accelerator table) become the commands of their
// menu items and buttons before the dialog's own keys (Tab, Enter, Escape)
// are handled, whichever child has the focus. Keys the table does not name
// reach the editor unchanged. A chooser or a message box runs its own loop
// and disables the main window, so no shortcut acts while one is open.
bool RunMainWindow() {
  HWND window = CreateDialogParamA(g_instance, "zoetrix", nullptr, MainWindowProc, 0);
  if (window == nullptr) return false;
  HACCEL keys = LoadAcceleratorsA(g_instance, MAKEINTRESOURCEA(IDA_SHORTCUTS));
  ShowWindow(window, SW_SHOWDEFAULT);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(window, keys, &message) || IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

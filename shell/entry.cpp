// Program entry and the main dialog.
#include <windows.h>

#include <cstdio>

#include "resource.h"

static HINSTANCE s_instance;

static INT_PTR OnInitDialog(HWND dialog) {
  SetWindowTextA(dialog, "zoetrix");
  return TRUE;
}

static INT_PTR OnCommand(HWND dialog, WORD command) {
  if (command == CMD_EXIT) EndDialog(dialog, 0);
  return 0;
}

static INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    default:
      return FALSE;
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  s_instance = instance;
  if (DialogBoxParamA(instance, "zoetrix", nullptr, MainWindowProc, 0) == -1) {
    MessageBoxA(nullptr, "error", "zoetrix", MB_ICONERROR);
  }
  return 0;
}

// The main window: a dialog with a menu, the frame view and a scroll
// bar, and the window-side hooks storage uses.
#pragma once

#include <windows.h>

#include "animation.h"

// Start-up state: the instance, the command line copy and the windows.
constexpr int kCommandLineSize = 784;

extern HINSTANCE g_instance;
extern HWND g_mainWindow;
extern HWND g_scrollBar;
extern char g_fontSettingsPath[kPathMax];

// Keeps a copy of the program's command line for start-up. A command line
// that does not fit the copy is refused: no animation is opened then.
void StoreCommandLine(const char* commandLine);

INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Sends a command to the main window; it runs before this returns.
void SendCommand(WORD command);

// Ends the program: frees the text buffers, deletes the font, destroys the
// window and ends the message loop.
void Close();

// Window-side view hooks.
void SetEditorText(const char* text);
// Empties the editor; it then holds no frame until one is loaded or the
// user types.
void EmptyEditor();
// Whether the editor holds a frame's text that may be saved as the current
// frame: storage put one there, or the user typed.
bool EditorHoldsFrame();
void GetEditorText(char* buffer, int size);
void ShowFrameNumber(const char* text);

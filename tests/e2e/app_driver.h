// Drives the real program from another process, as a user would: starts it
// with a command line, finds its windows, sends it commands, reads its
// texts, fills its dialogs and reads the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct App {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
  HWND view = nullptr;    // the frame view (the large editor)
  HWND number = nullptr;  // the frame-number field, control 1000
};

// Polls condition until it holds or timeoutMs passes. Returns whether it held.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

// Starts the program with the given argument text (may be empty) and waits
// for its main window. Returns false when it does not come up.
bool Launch(App& app, const std::string& arguments);

// Asks the program to close (command 2) and waits for it to end; kills it
// if it does not. Returns whether it ended by itself with exit code 0.
bool Quit(App& app);
// Waits for the process to end by itself.
bool WaitForExit(App& app, int timeoutMs = 10000);

// A window's text, through WM_GETTEXT (Shift-JIS bytes for Japanese text).
std::string Text(HWND window);

// Sends a command and returns once the program has carried it out.
void Command(const App& app, WORD command);
// Posts a command (for commands that open a modal dialog).
void PostCommand(const App& app, WORD command);

// Types ASCII text into the editor as key presses would (WM_CHAR); returns
// once the editor has taken it.
void Type(const App& app, const std::string& text);

// Waits for a dialog of the program other than its main window.
HWND WaitForDialog(const App& app, int timeoutMs = 10000);
// A dialog of the program other than its main window and except, or null.
HWND FindOtherDialog(const App& app, HWND except);
// Types path into an open-file dialog's name box and confirms it, answering
// yes when the dialog asks whether to create a file that does not exist.
// Returns whether the dialog closed.
bool ConfirmFileDialog(const App& app, HWND dialog, const std::string& path);
// Waits for that dialog to close.
bool WaitForDialogGone(HWND dialog, int timeoutMs = 10000);
// The child of dialog with the given id, searching nested children too.
HWND DialogItem(HWND dialog, int id);

// The colour on screen at a point of window's client area.
COLORREF ScreenPixel(HWND window, int x, int y);

// A fresh scratch directory under the Windows temp directory, with a
// trailing backslash; removed by RemoveScratchDirectory.
std::string MakeScratchDirectory();
void RemoveScratchDirectory(const std::string& dir);

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);
bool FileExists(const std::string& path);

// The program's own directory (beside which it keeps "font.ini").
std::string ProgramDir();

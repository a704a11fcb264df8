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

// Starts the program with the given argument text (may be empty), in the
// test's working directory, and waits for its main window and first paint.
bool Launch(App& app, const std::string& arguments);
// Asks the program to close (command 2) and waits for it to end; kills it
// if it does not. Returns whether it ended by itself with exit code 0.
bool Quit(App& app);
bool WaitForExit(App& app, int timeoutMs = 10000);

// A window's text, through WM_GETTEXT (Shift-JIS bytes for Japanese text).
std::string Text(HWND window);
// Sends a command and returns once the program has carried it out.
void Command(const App& app, WORD command);
// Posts a command (for commands that open a modal dialog).
void PostCommand(const App& app, WORD command);
// Types ASCII text into the editor as key presses would (WM_CHAR).
void Type(const App& app, const std::string& text);

// A dialog of the program other than its main window and except, or null.
HWND FindOtherDialog(const App& app, HWND except);
HWND WaitForDialog(const App& app);
bool WaitForDialogGone(HWND dialog);
// Types path into an open-file dialog's name box and confirms it, answering
// yes when it asks whether to create the file. Returns whether it closed.
bool ConfirmFileDialog(const App& app, HWND dialog, const std::string& path);
// The child of dialog with the given id, searching nested children too.
HWND DialogItem(HWND dialog, int id);

// How many pixels of a rectangle of window's client area on screen are not
// colour.
int PixelsOtherThan(HWND window, RECT area, COLORREF colour);

// A fresh scratch directory under the Windows temp directory, with a
// trailing backslash, holding the folder "d.x" (a dot in its name).
std::string MakeScratchDirectory();
void RemoveScratchDirectory(const std::string& dir);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);
// Makes a file immutable (or mutable again) with chattr, run by Wine as the
// Linux program it is: then no process, root included, may replace it.
bool SetImmutable(const std::string& path, bool immutable);

// The program's own directory (beside which it keeps "font.ini").
std::string ProgramDir();

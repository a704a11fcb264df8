// Drives the real program from another process, as a user would: starts it
// with a command line, finds its windows, sends it commands, reads its
// texts, fills its dialogs and reads the screen.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#ifndef ZOETRIX_EXE
#error "ZOETRIX_EXE must name the program, relative to the test program's directory"
#endif

struct App {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
  HWND view = nullptr;    // the frame view (the large editor)
  HWND number = nullptr;  // the frame-number field, control 1000
};

// The program's own directory (beside which it keeps "font.ini").
inline std::string ProgramDir() {
  char path[MAX_PATH], full[MAX_PATH];
  std::string own(path, GetModuleFileNameA(nullptr, path, sizeof path));
  std::string s(full, GetFullPathNameA((own.substr(0, own.rfind('\\') + 1) + ZOETRIX_EXE).c_str(), sizeof full, full, nullptr));
  return s.substr(0, s.rfind('\\') + 1);
}

// Polls condition until it holds or timeoutMs passes. Returns whether it held.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
    if (int(GetTickCount() - start) > timeoutMs) return false;
  }
  return true;
}

// A window's text, through WM_GETTEXT (Shift-JIS bytes for Japanese text).
inline std::string Text(HWND window) {
  DWORD_PTR length = 0, got = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return "<no answer>";
  std::vector<char> buffer(length + 2);
  SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()), SMTO_NORMAL, 10000, &got);
  return std::string(buffer.data(), got);
}

// The first visible dialog of process pid that keep accepts, or null.
inline HWND FindDialog(DWORD pid, const std::function<bool(HWND)>& keep) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w) && keep(w)) return w;
  }
  return nullptr;
}

// Starts the program with the given argument text (may be empty), in the
// test's working directory, and waits for its main window and first paint.
inline bool Launch(App& app, const std::string& arguments) {
  std::string commandLine = "\"" + ProgramDir() + "zoetrix.exe\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &app.process)) return false;
  // The main window: the dialog with the frame-number field, and beside it the frame view.
  if (!WaitFor([&] { return (app.main = FindDialog(app.process.dwProcessId, [](HWND w) { return GetDlgItem(w, 1000) != nullptr; })) != nullptr; })) return false;
  app.number = GetDlgItem(app.main, 1000);
  app.view = FindWindowExA(app.main, app.number, "edit", nullptr);
  // Start-up ends with the speed command; the view's first paint sets its
  // start colours: wait for both, so that later colours are not reset.
  Text(app.main);
  return app.view != nullptr && WaitFor([&] { return !GetUpdateRect(app.view, nullptr, FALSE); });
}

inline bool WaitForExit(App& app, int timeoutMs = 10000) {
  return app.process.hProcess == nullptr || WaitForSingleObject(app.process.hProcess, DWORD(timeoutMs)) == WAIT_OBJECT_0;
}

// Posts a command (for commands that open a modal dialog).
inline void PostCommand(const App& app, WORD command) { PostMessageA(app.main, WM_COMMAND, command, 0); }

// Sends a command and returns once the program has carried it out.
inline void Command(const App& app, WORD command) {
  DWORD_PTR result;
  SendMessageTimeoutA(app.main, WM_COMMAND, command, 0, SMTO_NORMAL, 20000, &result);
}

// Asks the program to close (command 2) and waits for it to end; kills it
// if it does not. Returns whether it ended by itself with exit code 0.
inline bool Quit(App& app) {
  if (app.process.hProcess == nullptr) return true;
  if (!WaitForExit(app, 0)) PostCommand(app, 2);
  bool ended = WaitForExit(app) || !TerminateProcess(app.process.hProcess, 99);
  DWORD code = 1;
  GetExitCodeProcess(app.process.hProcess, &code);
  CloseHandle(app.process.hProcess);
  CloseHandle(app.process.hThread);
  app.process = PROCESS_INFORMATION{};
  return ended && code == 0;
}

// Drops the file name on the program's main window, as the shell does: the
// drop's data is made in the program's memory and the message posted.
inline void DropFile(const App& app, const std::string& name) {
  DROPFILES header{sizeof header, {}, FALSE, FALSE};
  std::string drop = std::string(reinterpret_cast<char*>(&header), sizeof header) + name + std::string(2, '\0');
  void* remote = VirtualAllocEx(app.process.hProcess, nullptr, drop.size(), MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(app.process.hProcess, remote, drop.data(), drop.size(), nullptr);
  PostMessageA(app.main, WM_DROPFILES, WPARAM(remote), 0);
}

// Types ASCII text into the editor as key presses would (WM_CHAR); sent, not
// posted: each character is in the editor when the call returns.
inline void Type(const App& app, const std::string& text) {
  DWORD_PTR result;
  for (char c : text) SendMessageTimeoutA(app.view, WM_CHAR, c == '\n' ? '\r' : static_cast<unsigned char>(c), 1, SMTO_NORMAL, 10000, &result);
}

// A dialog of the program other than its main window and except, or null.
inline HWND FindOtherDialog(const App& app, HWND except) {
  return FindDialog(app.process.dwProcessId, [&](HWND w) { return w != app.main && w != except; });
}

inline HWND WaitForDialog(const App& app) {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindOtherDialog(app, nullptr)) != nullptr; });
  return dialog;
}

inline bool WaitForDialogGone(HWND dialog) { return WaitFor([&] { return !IsWindowVisible(dialog); }); }

// The child of dialog with the given id, searching nested children too.
inline HWND DialogItem(HWND dialog, int id) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == id) return child;
    if (HWND inner = DialogItem(child, id)) return inner;
  }
  return nullptr;
}

// Types path into an open-file dialog's name box and confirms it, answering
// yes when it asks whether to create the file. Returns whether it closed.
// The file name box of a file chooser (its combo box, or its edit control).
inline HWND FileNameBox(HWND dialog) { return DialogItem(dialog, 1148) ? DialogItem(dialog, 1148) : DialogItem(dialog, 1152); }

inline bool ConfirmFileDialog(const App& app, HWND dialog, const std::string& path) {
  HWND name = FileNameBox(dialog);
  if (name == nullptr) return false;
  SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return WaitFor([&] {
    if (HWND prompt = FindOtherDialog(app, dialog)) PostMessageA(prompt, WM_COMMAND, IDYES, 0);  // create the file?
    return !IsWindowVisible(dialog);
  });
}

// How many pixels of a rectangle of window's client area on screen are not colour.
inline int PixelsOtherThan(HWND window, RECT area, COLORREF colour) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += GetPixel(screen, origin.x + x, origin.y + y) != colour;
  }
  ReleaseDC(nullptr, screen);
  return count;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

inline std::string ReadFileBytes(const std::string& path, bool* exists = nullptr) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = in.is_open();
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh scratch directory beside the program (on drive Z:, the Linux file
// system), with a trailing backslash, holding the folder "d.x".
inline std::string MakeScratchDirectory() {
  char name[MAX_PATH];
  static unsigned counter = 0;
  do std::snprintf(name, sizeof name, "%se2e-%lu-%u\\", ProgramDir().c_str(), GetCurrentProcessId(), ++counter);
  while (!CreateDirectoryA(name, nullptr));
  CreateDirectoryA((name + std::string("d.x")).c_str(), nullptr);
  return name;
}

inline void RemoveScratchDirectory(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found)) {
    const std::string name = dir + found.cFileName;
    if (found.cFileName[0] == '.') continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveScratchDirectory(name + "\\");
    DeleteFileA(name.c_str());
  }
  FindClose(find);
  RemoveDirectoryA(dir.c_str());
}

// Makes a file of the scratch directory immutable (or mutable again) with
// chattr, run by Wine as the Linux program it is: then no process, root
// included, may replace it. Done once the change shows: the file opens for
// writing exactly while it is mutable.
inline bool SetImmutable(const std::string& path, bool immutable) {
  std::string name = path.substr(2);  // without "Z:"
  std::replace(name.begin(), name.end(), '\\', '/');
  std::string command = std::string("Z:\\usr\\bin\\chattr ") + (immutable ? "+i \"" : "-i \"") + name + "\"";
  return WinExec(command.c_str(), SW_HIDE) > 31 && WaitFor([&] {
           HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
           if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
           return (file == INVALID_HANDLE_VALUE) == immutable;
         });
}

// Brings the main window forward and gives the editor the focus, as a click
// into it would: key input then goes to the editor.
inline void FocusEditor(const App& app) {
  SetForegroundWindow(app.main);
  SendMessageA(app.main, WM_NEXTDLGCTL, WPARAM(app.view), TRUE);
}

// Presses keys together as real key input (the system's modifier state is
// then a user's): down in order, up in reverse.
inline void Keys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> input(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
  for (size_t i = 0; i < input.size(); ++i) {
    input[i].ki.wVk = keys.begin()[i < keys.size() ? i : input.size() - 1 - i];
    input[i].ki.dwFlags = i < keys.size() ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
}

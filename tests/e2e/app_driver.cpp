#include "app_driver.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#ifndef ZOETRIX_EXE
#error "ZOETRIX_EXE must name the program, relative to the test program's directory"
#endif

std::string ProgramDir() {
  char path[MAX_PATH], full[MAX_PATH];
  std::string own(path, GetModuleFileNameA(nullptr, path, sizeof path));
  std::string s(full, GetFullPathNameA((own.substr(0, own.rfind('\\') + 1) + ZOETRIX_EXE).c_str(), sizeof full, full, nullptr));
  return s.substr(0, s.rfind('\\') + 1);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
    if (int(GetTickCount() - start) > timeoutMs) return false;
  }
  return true;
}

// The first visible dialog that keep accepts.
static BOOL CALLBACK Accept(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(search);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return !(IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0 && (*s->first)(window) && (s->second = window));
}

static HWND FindDialog(const std::function<bool(HWND)>& keep) {
  std::pair<const std::function<bool(HWND)>*, HWND> search{&keep, nullptr};
  EnumWindows(Accept, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

static bool OfProcess(HWND window, DWORD pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == pid;
}

bool Launch(App& app, const std::string& arguments) {
  std::string commandLine = "\"" + ProgramDir() + "zoetrix.exe\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &app.process)) return false;
  DWORD pid = app.process.dwProcessId;
  // The main window: the dialog with the frame-number field, and beside it the frame view.
  if (!WaitFor([&] { return (app.main = FindDialog([&](HWND w) { return OfProcess(w, pid) && GetDlgItem(w, 1000); })) != nullptr; })) return false;
  app.number = GetDlgItem(app.main, 1000);
  app.view = FindWindowExA(app.main, app.number, "edit", nullptr);
  // Start-up ends with the speed command; the view's first paint sets its
  // start colours: wait for both, so that later colours are not reset.
  Text(app.main);
  return app.view != nullptr && WaitFor([&] { return !GetUpdateRect(app.view, nullptr, FALSE); });
}

bool WaitForExit(App& app, int timeoutMs) {
  return app.process.hProcess == nullptr || WaitForSingleObject(app.process.hProcess, DWORD(timeoutMs)) == WAIT_OBJECT_0;
}

bool Quit(App& app) {
  if (app.process.hProcess == nullptr) return true;
  if (!WaitForExit(app, 0)) PostCommand(app, 2);
  bool ended = WaitForExit(app, 10000) || !TerminateProcess(app.process.hProcess, 99);
  DWORD code = 1;
  GetExitCodeProcess(app.process.hProcess, &code);
  CloseHandle(app.process.hProcess);
  CloseHandle(app.process.hThread);
  app.process = PROCESS_INFORMATION{};
  return ended && code == 0;
}

std::string Text(HWND window) {
  DWORD_PTR length = 0, got = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return "<no answer>";
  std::vector<char> buffer(length + 2);
  SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()), SMTO_NORMAL, 10000, &got);
  return std::string(buffer.data(), got);
}

void Command(const App& app, WORD command) {
  DWORD_PTR result;
  SendMessageTimeoutA(app.main, WM_COMMAND, command, 0, SMTO_NORMAL, 20000, &result);
}

void PostCommand(const App& app, WORD command) { PostMessageA(app.main, WM_COMMAND, command, 0); }

void Type(const App& app, const std::string& text) {
  // Sent, not posted: each character is in the editor when the call returns.
  DWORD_PTR result;
  for (char c : text) {
    if (c != '\r') SendMessageTimeoutA(app.view, WM_CHAR, c == '\n' ? '\r' : static_cast<unsigned char>(c), 1, SMTO_NORMAL, 10000, &result);
  }
}

HWND FindOtherDialog(const App& app, HWND except) {
  return FindDialog([&](HWND w) { return OfProcess(w, app.process.dwProcessId) && w != app.main && w != except; });
}

HWND WaitForDialog(const App& app) {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindOtherDialog(app, nullptr)) != nullptr; });
  return dialog;
}

bool ConfirmFileDialog(const App& app, HWND dialog, const std::string& path) {
  HWND name = DialogItem(dialog, 1148) ? DialogItem(dialog, 1148) : DialogItem(dialog, 1152);  // the file name box
  if (name == nullptr) return false;
  SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return WaitFor([&] {
    if (HWND prompt = FindOtherDialog(app, dialog)) PostMessageA(prompt, WM_COMMAND, IDYES, 0);  // create the file?
    return !IsWindowVisible(dialog);
  });
}

bool WaitForDialogGone(HWND dialog) { return WaitFor([&] { return !IsWindowVisible(dialog); }); }

HWND DialogItem(HWND dialog, int id) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == id) return child;
    if (HWND inner = DialogItem(child, id)) return inner;
  }
  return nullptr;
}

int PixelsOtherThan(HWND window, RECT area, COLORREF colour) {
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

std::string MakeScratchDirectory() {
  char temp[MAX_PATH], name[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  static unsigned counter = 0;
  do std::snprintf(name, sizeof name, "%szoetrix-e2e-%lu-%u\\", temp, GetCurrentProcessId(), ++counter);
  while (!CreateDirectoryA(name, nullptr));
  CreateDirectoryA((name + std::string("d.x")).c_str(), nullptr);
  return name;
}

void RemoveScratchDirectory(const std::string& dir) {
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

void WriteFileBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadFileBytes(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = in.is_open();
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SetImmutable(const std::string& path, bool immutable) {
  FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  char* (*unixName)(const WCHAR*) = nullptr;
  WCHAR wide[MAX_PATH];
  if (proc == nullptr || MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return false;
  std::memcpy(&unixName, &proc, sizeof proc);
  char* name = unixName(wide);
  std::string command = std::string("Z:\\usr\\bin\\chattr ") + (immutable ? "+i \"" : "-i \"") + name + "\"";
  HeapFree(GetProcessHeap(), 0, name);
  // Done once the change shows: the file opens for writing exactly while mutable.
  return WinExec(command.c_str(), SW_HIDE) > 31 && WaitFor([&] {
           HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
           if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
           return (file == INVALID_HANDLE_VALUE) == immutable;
         });
}

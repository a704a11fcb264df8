#include "app_driver.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#ifndef ZOETRIX_EXE
#error "ZOETRIX_EXE must name the program, relative to the test program's directory"
#endif

static std::string OwnDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

std::string ProgramDir() {
  char full[MAX_PATH];
  std::string relative = OwnDirectory() + ZOETRIX_EXE;
  DWORD n = GetFullPathNameA(relative.c_str(), sizeof full, full, nullptr);
  std::string s(full, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    Sleep(10);
  }
}

namespace {
struct Search {
  DWORD pid;
  HWND exclude;
  HWND found;
  bool wantMain;
};
}  // namespace

static bool IsDialogClass(HWND window) {
  char name[64];
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

static BOOL CALLBACK FindProcessDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || window == search->exclude || !IsWindowVisible(window) || !IsDialogClass(window)) {
    return TRUE;
  }
  bool hasNumberField = GetDlgItem(window, 1000) != nullptr;
  if (hasNumberField != search->wantMain) return TRUE;
  search->found = window;
  return FALSE;
}

static BOOL CALLBACK FindFrameView(HWND child, LPARAM param) {
  char name[64];
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "edit") == 0 && GetDlgCtrlID(child) != 1000 && GetParent(child) != nullptr) {
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
  }
  return TRUE;
}

bool Launch(App& app, const std::string& arguments) {
  std::string commandLine = "\"" + ProgramDir() + "zoetrix.exe\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &app.process)) {
    return false;
  }
  Search search{app.process.dwProcessId, nullptr, nullptr, true};
  bool up = WaitFor([&] {
    search.found = nullptr;
    EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (!up) return false;
  app.main = search.found;
  app.number = GetDlgItem(app.main, 1000);
  EnumChildWindows(app.main, FindFrameView, reinterpret_cast<LPARAM>(&app.view));
  if (app.view == nullptr) return false;
  // Start-up ends with the speed command; a round trip makes sure it has run.
  DWORD_PTR result;
  SendMessageTimeoutA(app.main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
  // The frame view's first paint sets its start colours: wait until it has
  // painted, so that colours the test applies afterwards are not reset.
  return WaitFor([&] { return !GetUpdateRect(app.view, nullptr, FALSE); });
}

bool WaitForExit(App& app, int timeoutMs) {
  if (app.process.hProcess == nullptr) return true;
  return WaitForSingleObject(app.process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool Quit(App& app) {
  if (app.process.hProcess == nullptr) return true;
  bool ended = false;
  DWORD code = 1;
  if (WaitForSingleObject(app.process.hProcess, 0) != WAIT_OBJECT_0) PostCommand(app, 2);
  ended = WaitForExit(app, 10000);
  if (!ended) TerminateProcess(app.process.hProcess, 99);
  GetExitCodeProcess(app.process.hProcess, &code);
  CloseHandle(app.process.hProcess);
  CloseHandle(app.process.hThread);
  app.process = PROCESS_INFORMATION{};
  return ended && code == 0;
}

std::string Text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) return "<no answer>";
  std::vector<char> buffer(length + 2, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                      10000, &got);
  return std::string(buffer.data(), got);
}

void Command(const App& app, WORD command) {
  DWORD_PTR result;
  SendMessageTimeoutA(app.main, WM_COMMAND, MAKEWPARAM(command, 0), 0, SMTO_NORMAL, 20000, &result);
}

void PostCommand(const App& app, WORD command) { PostMessageA(app.main, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

void Type(const App& app, const std::string& text) {
  // Sent, not posted: each character is in the editor when the call returns.
  DWORD_PTR result;
  for (char c : text) {
    WPARAM key = c == '\n' ? '\r' : static_cast<unsigned char>(c);
    if (c == '\r') continue;
    SendMessageTimeoutA(app.view, WM_CHAR, key, 1, SMTO_NORMAL, 10000, &result);
  }
}

HWND WaitForDialog(const App& app, int timeoutMs) {
  Search search{app.process.dwProcessId, app.main, nullptr, false};
  WaitFor(
      [&] {
        search.found = nullptr;
        EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

namespace {
struct OtherSearch {
  DWORD pid;
  HWND main;
  HWND except;
  HWND found;
};
}  // namespace

static BOOL CALLBACK FindOther(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OtherSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid && window != search->main && window != search->except && IsWindowVisible(window) &&
      IsDialogClass(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOtherDialog(const App& app, HWND except) {
  OtherSearch search{app.process.dwProcessId, app.main, except, nullptr};
  EnumWindows(FindOther, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ConfirmFileDialog(const App& app, HWND dialog, const std::string& path) {
  HWND name = DialogItem(dialog, 1148);  // the file name box
  if (name == nullptr) name = DialogItem(dialog, 1152);
  if (name == nullptr) return false;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  return WaitFor([&] {
    HWND prompt = FindOtherDialog(app, dialog);
    if (prompt != nullptr) PostMessageA(prompt, WM_COMMAND, IDYES, 0);
    return !IsWindow(dialog) || !IsWindowVisible(dialog);
  });
}

bool WaitForDialogGone(HWND dialog, int timeoutMs) {
  return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeoutMs);
}

namespace {
struct ItemSearch {
  int id;
  HWND found;
};
}  // namespace

static BOOL CALLBACK FindItem(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ItemSearch*>(param);
  if (GetDlgCtrlID(child) == search->id) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND DialogItem(HWND dialog, int id) {
  ItemSearch search{id, nullptr};
  EnumChildWindows(dialog, FindItem, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::string MakeScratchDirectory() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  static unsigned counter = 0;
  for (;;) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%szoetrix-e2e-%lu-%u\\", temp, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) return name;
  }
}

void RemoveScratchDirectory(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") DeleteFileA((dir + name).c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  if (exists != nullptr) *exists = in.is_open();
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

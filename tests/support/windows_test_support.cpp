#include "windows_test_support.h"

#include <utility>

static void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    DispatchPending();
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

static BOOL CALLBACK CheckUpdate(HWND window, LPARAM pending) {
  if (GetUpdateRect(window, nullptr, FALSE)) *reinterpret_cast<bool*>(pending) = true;
  return TRUE;
}

bool PumpUntilPainted(HWND window, DWORD timeoutMs) {
  HWND top = GetAncestor(window, GA_ROOT);
  return PumpUntil(
      [top] {
        bool pending = GetUpdateRect(top, nullptr, FALSE) != FALSE;
        EnumChildWindows(top, CheckUpdate, reinterpret_cast<LPARAM>(&pending));
        return !pending && HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT)) == 0;
      },
      timeoutMs);
}

static std::function<void(HWND)> s_dialogAction;
static UINT_PTR s_dialogTimer;
static bool s_dialogActionRan;

static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char name[16];
  if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

static void CALLBACK DialogTimer(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return;
  KillTimer(nullptr, s_dialogTimer);
  s_dialogTimer = 0;
  s_dialogActionRan = true;
  std::function<void(HWND)> action = std::move(s_dialogAction);
  action(dialog);
}

void OnNextDialog(std::function<void(HWND dialog)> action) {
  if (s_dialogTimer != 0) KillTimer(nullptr, s_dialogTimer);
  s_dialogAction = std::move(action);
  s_dialogActionRan = false;
  s_dialogTimer = SetTimer(nullptr, 0, 20, DialogTimer);
}

bool DialogActionRan() {
  if (s_dialogTimer != 0) KillTimer(nullptr, s_dialogTimer);
  s_dialogTimer = 0;
  return s_dialogActionRan;
}

void CloseDialog(HWND dialog, int button) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

std::string FromUtf8(const std::string& utf8, UINT codePage) {
  int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], wide);
  int bytes = WideCharToMultiByte(codePage, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, w.c_str(), -1, &out[0], bytes, nullptr, nullptr);
  out.resize(out.size() - 1);  // the terminating zero
  return out;
}

Image CaptureContext(HDC context, int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(context);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, context, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* row = static_cast<const uint32_t*>(bits);
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    uint32_t bgr = row[i];
    image.pixels[i] = RGB((bgr >> 16) & 255, (bgr >> 8) & 255, bgr & 255);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return image;
}

Image CaptureClient(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  HDC context = GetDC(window);
  Image image = CaptureContext(context, r.right, r.bottom);
  ReleaseDC(window, context);
  return image;
}

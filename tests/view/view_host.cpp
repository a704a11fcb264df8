#include "view_host.h"

#include <filesystem>
#include <fstream>

#include "animation.h"
#include "font.h"
#include "frame_loader.h"
#include "frame_view.h"

namespace fs = std::filesystem;

// The editor's style in the main window: child, visible, border, horizontal
// scroll bar, multi-line, scrolling both ways, Enter makes a new line.
constexpr DWORD kEditorStyle = 0x509010C4;
static_assert(kEditorStyle == (WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                               ES_AUTOHSCROLL | ES_WANTRETURN),
              "editor style");

static HWND s_hostView;
static int s_dirs;

static void SetEditorTextHook(const char* text) { SetWindowTextA(s_hostView, text); }
static void GetEditorTextHook(char* buffer, int size) { GetWindowTextA(s_hostView, buffer, size); }

HFONT CreateCrispFont(int height) {
  return CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
}

void FrameViewTest::SetUp() {
  ResetStorageState();
  ASSERT_TRUE(AllocateTextBuffers());
  WNDCLASSA host = {};
  host.lpfnWndProc = DefWindowProcA;
  host.hInstance = GetModuleHandleA(nullptr);
  host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  host.lpszClassName = "zoetrix-test-host";
  RegisterClassA(&host);  // fails harmlessly from the second test on
  host_ = CreateWindowExA(0, "zoetrix-test-host", "host", WS_POPUP, 0, 0, 420, 320, nullptr, nullptr,
                          host.hInstance, nullptr);
  ASSERT_NE(host_, nullptr);
  view_ = CreateWindowExA(0, "edit", "", kEditorStyle, 5, 35, 380, 240, host_, nullptr, host.hInstance, nullptr);
  ASSERT_NE(view_, nullptr);
  s_hostView = view_;
  InstallFrameView(view_);
  g_viewHooks = ViewHooks{SetEditorTextHook, GetEditorTextHook, nullptr, RenderFrame, ApplyColours, nullptr, nullptr, nullptr};
  g_currentFont = CreateCrispFont(16);
  SendMessageA(view_, WM_SETFONT, reinterpret_cast<WPARAM>(g_currentFont), FALSE);
}

void FrameViewTest::TearDown() {
  if (host_ != nullptr) DestroyWindow(host_);
  DeleteCurrentFont();
  g_viewHooks = ViewHooks{};
  FreeTextBuffers();
  if (!dir_.empty()) {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
}

void FrameViewTest::Show() {
  // Above any window another test program may show meanwhile.
  SetWindowPos(host_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  UpdateWindow(host_);
  ASSERT_TRUE(PumpUntilPainted(host_));
}

void FrameViewTest::ShowText(const std::string& text) {
  SetWindowTextA(view_, text.c_str());
  Repaint();
}

void FrameViewTest::Repaint() {
  InvalidateRect(view_, nullptr, TRUE);
  UpdateWindow(view_);
  ASSERT_TRUE(PumpUntilPainted(host_));
}

std::string FrameViewTest::Dir() {
  if (dir_.empty()) {
    fs::path dir = fs::temp_directory_path() /
                   ("zoetrix-view-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_dirs));
    fs::create_directories(dir);
    dir_ = dir.string();
  }
  return dir_;
}

void FrameViewTest::WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(Dir() + "\\" + name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good());
}

#include "frame_view.h"

#include <commdlg.h>

#include "font.h"
#include "frame_drawing.h"

static HWND s_view;
static WNDPROC s_previousProc;

// The screen size, read once: the surface is as large as the screen.
static int s_screenWidth;
static int s_screenHeight;

// Drawing resources, made on the first paint and kept until the view goes.
static HDC s_viewContext;     // the view's own context, kept for the whole run
static HDC s_surface;         // memory context the frame is drawn into
static int s_surfaceState;    // SaveDC of the fresh surface: its own objects
static HBITMAP s_surfaceBitmap;
static HBRUSH s_brush;        // BackColour
static HPEN s_pen;            // PenColour, one pixel wide
static HFONT s_surfaceFont;

void InstallFrameView(HWND view) {
  if (s_screenWidth == 0) {
    s_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    s_screenHeight = GetSystemMetrics(SM_CYSCREEN);
  }
  s_view = view;
  s_previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameViewProc)));
}

HWND FrameView() { return s_view; }

static ColourTriple TripleOf(COLORREF value) {
  return ColourTriple{GetRValue(value), GetGValue(value), GetBValue(value)};
}

// Whether colours were applied before the surface existed (an animation
// opened from the command line, whose first frame has colours).
static bool s_coloursApplied;

// Makes the drawing resources; the colours start as black on white unless
// colours were applied before.
static void CreateSurface(HWND view, HDC paint) {
  s_viewContext = GetDC(view);
  if (!s_coloursApplied) {
    PenColour = ColourTriple{0, 0, 0};
    BackColour = ColourTriple{255, 255, 255};
  }
  s_brush = CreateSolidBrush(ColourValue(BackColour));
  s_pen = CreatePen(PS_SOLID, 1, ColourValue(PenColour));

  s_surface = CreateCompatibleDC(paint);
  s_surfaceState = SaveDC(s_surface);
  s_surfaceBitmap = CreateCompatibleBitmap(paint, s_screenWidth, s_screenHeight);
  SelectObject(s_surface, s_surfaceBitmap);
  SelectObject(s_surface, s_pen);

  SetTextColor(s_surface, ColourValue(PenColour));
  SetBkColor(s_surface, ColourValue(BackColour));
  SetBkColor(paint, ColourValue(BackColour));

  // Without a font of its own yet, the surface keeps its default font.
  SelectSurfaceFont(g_currentFont);
  SelectObject(s_surface, s_brush);
  SelectObject(paint, s_brush);

  Rectangle(s_surface, 0, 0, s_screenWidth, s_screenHeight);
}

static LRESULT PassOn(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(s_previousProc, view, message, wParam, lParam);
}

static LRESULT OnPaint(HWND view, WPARAM wParam, LPARAM lParam) {
  PAINTSTRUCT paint;
  HDC context = BeginPaint(view, &paint);
  bool created = false;
  if (s_surface == nullptr) {
    CreateSurface(view, context);
    created = true;
  }
  // During playback the frame on show is the one loaded last, not the
  // editor's text.
  if (!g_animation.playing) {
    if (DisplayText != nullptr) GetWindowTextA(view, DisplayText, kFrameTextMax);
    RenderFrame();
  }
  EndPaint(view, &paint);
  LRESULT result = PassOn(view, WM_PAINT, wParam, lParam);
  // The editor's own painting takes whatever is invalid when it runs, so the
  // new surface asks for its repaint after it: the next paint shows the
  // frame through the surface.
  if (created) InvalidateRect(view, nullptr, TRUE);
  return result;
}

static LRESULT OnSize(HWND view, WPARAM wParam, LPARAM lParam) {
  InvalidateRect(view, nullptr, FALSE);
  return PassOn(view, WM_SIZE, wParam, lParam);
}

static LRESULT OnDestroy(HWND view, WPARAM wParam, LPARAM lParam) {
  if (s_surface != nullptr) {
    // Give the surface its own objects back so that ours can be deleted.
    RestoreDC(s_surface, s_surfaceState);
    DeleteObject(s_pen);
    DeleteObject(s_brush);
    DeleteObject(s_surfaceBitmap);
    DeleteDC(s_surface);
    ReleaseDC(view, s_viewContext);
    s_pen = nullptr;
    s_brush = nullptr;
    s_surfaceBitmap = nullptr;
    s_surface = nullptr;
    s_viewContext = nullptr;
    HFONT font = s_surfaceFont;
    s_surfaceFont = nullptr;
    ReleaseFontIfUnused(font);
  }
  return PassOn(view, WM_DESTROY, wParam, lParam);
}

LRESULT CALLBACK FrameViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return OnPaint(view, wParam, lParam);
    case WM_SIZE:
      return OnSize(view, wParam, lParam);
    case WM_DESTROY:
      return OnDestroy(view, wParam, lParam);
    default:
      return PassOn(view, message, wParam, lParam);
  }
}

void RenderFrame() {
  if (s_surface == nullptr) return;
  RECT r;
  GetClientRect(s_view, &r);
  // The text always starts at the top-left corner.
  DrawFrame(s_surface, r, DisplayText);
  BitBlt(s_viewContext, r.left, r.top, r.right - r.left, r.bottom - r.top, s_surface, r.left, r.top, SRCCOPY);
}

void ApplyColours() {
  // Before the first paint there is nothing to apply them to yet: the first
  // paint makes the surface in these colours.
  s_coloursApplied = true;
  if (s_surface == nullptr) return;
  SelectFrameColours(s_surface, ColourValue(PenColour), ColourValue(BackColour), &s_pen, &s_brush);
}

COLORREF ChooseColour() {
  // The custom colours live for this one dialog only.
  COLORREF custom[16];
  for (COLORREF& colour : custom) colour = RGB(255, 255, 255);
  CHOOSECOLORA dialog = {};
  dialog.lStructSize = sizeof dialog;
  // Modal to the window the view is in: nothing else happens meanwhile.
  dialog.hwndOwner = GetAncestor(s_view, GA_ROOT);
  dialog.rgbResult = RGB(128, 128, 128);
  dialog.lpCustColors = custom;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  // A cancelled dialog leaves the start colour: grey.
  ChooseColorA(&dialog);
  return dialog.rgbResult;
}

void ChoosePenColour() {
  PenColour = TripleOf(ChooseColour());
  ApplyColours();
}

void ChooseBackColour() {
  BackColour = TripleOf(ChooseColour());
  ApplyColours();
}

void SelectSurfaceFont(HFONT font) {
  if (s_surface == nullptr || font == nullptr) return;
  SelectObject(s_surface, font);
  s_surfaceFont = font;
}

HFONT SurfaceFont() { return s_surfaceFont; }

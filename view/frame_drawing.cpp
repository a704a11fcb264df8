#include "frame_drawing.h"

#include <memory>
#include <new>

COLORREF ColourValue(const ColourTriple& colour) {
  return static_cast<COLORREF>((colour.red & 255) | (colour.green & 255) << 8 | (colour.blue & 255) << 16);
}

void SelectFrameColours(HDC dc, COLORREF pen, COLORREF back, HPEN* newPen, HBRUSH* newBrush) {
  HBRUSH brush = CreateSolidBrush(back);
  HPEN line = CreatePen(PS_SOLID, 1, pen);
  SetTextColor(dc, pen);
  SetBkColor(dc, back);
  DeleteObject(SelectObject(dc, brush));
  DeleteObject(SelectObject(dc, line));
  if (newPen != nullptr) *newPen = line;
  if (newBrush != nullptr) *newBrush = brush;
}

void DrawFrame(HDC dc, const RECT& r, const char* text) {
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  RECT area = r;
  if (text != nullptr) DrawTextA(dc, text, -1, &area, DT_EDITCONTROL);
}

namespace {

// The painter's picture: a memory context with a top-down 32-bit DIB.
struct Picture {
  HDC dc = nullptr;
  int state = 0;  // SaveDC of the fresh context: its own objects
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;
  int width = 0, height = 0;
  ~Picture() { Drop(); }
  // Gives the context its own objects back and deletes ours.
  void Drop() {
    if (bitmap == nullptr) return;
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    RestoreDC(dc, state);
    DeleteObject(bitmap);
    DeleteObject(pen);  // a stock object is left alone
    DeleteObject(brush);
    bitmap = nullptr;
  }
};

struct GdiState {
  HFONT font;
  HDC measuring = nullptr;
  Picture picture;
  ~GdiState() {
    picture.Drop();
    if (picture.dc != nullptr) DeleteDC(picture.dc);
    if (measuring != nullptr) DeleteDC(measuring);
  }
};

// Makes the picture width × height, with the font selected.
bool Size(GdiState& s, int width, int height) {
  Picture& p = s.picture;
  if (p.bitmap != nullptr && p.width == width && p.height == height) return true;
  p.Drop();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  p.bitmap = CreateDIBSection(p.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (p.bitmap == nullptr) return false;
  p.state = SaveDC(p.dc);
  SelectObject(p.dc, p.bitmap);
  SelectObject(p.dc, s.font);
  p.bits = static_cast<uint32_t*>(bits);
  p.width = width;
  p.height = height;
  return true;
}

}  // namespace

bool MakeGdiPainter(HFONT font, FramePainter& painter) {
  std::shared_ptr<GdiState> s;
  try {
    s = std::make_shared<GdiState>();
  } catch (const std::bad_alloc&) {
    return false;  // told as a painter that cannot draw
  }
  s->font = font;
  s->measuring = CreateCompatibleDC(nullptr);
  s->picture.dc = CreateCompatibleDC(nullptr);
  if (s->measuring == nullptr || s->picture.dc == nullptr) return false;
  SelectObject(s->measuring, font);
  painter.measure = [s](const char* text, int* width, int* height) {
    RECT r = {0, 0, 0, 0};
    if (text[0] != '\0' && DrawTextA(s->measuring, text, -1, &r, DT_EDITCONTROL | DT_CALCRECT) == 0) return false;
    *width = r.right;
    *height = r.bottom;
    return true;
  };
  painter.paint = [s](const char* text, const ColourTriple& pen, const ColourTriple& back, int width, int height,
                      uint32_t* pixels) {
    if (!Size(*s, width, height)) return false;
    SelectFrameColours(s->picture.dc, ColourValue(pen), ColourValue(back));
    DrawFrame(s->picture.dc, RECT{0, 0, width, height}, text);
    GdiFlush();
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) pixels[i] = s->picture.bits[i] & 0xFFFFFF;
    return true;
  };
  return true;
}

// Undo and redo of frame operations, from the menu's grey items and the
// keys, while the editor has the focus.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

// The bands of text rows of an open popup menu, from the screen, top to
// bottom: 'o' for black text, 'g' for greyed text. Ink is grey pixels (red,
// green and blue alike) darker than the background, inside the menu's
// frame; a highlighted item (light text on colour) shows none.
std::string MenuBands(HWND popup) {
  RECT r;
  GetClientRect(popup, &r);
  POINT origin{0, 0};
  ClientToScreen(popup, &origin);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
  std::string bands;
  int darkest = 255, height = 0;
  for (int y = 0; y <= r.bottom; ++y) {
    int ink = 0;
    for (int x = 4; y < r.bottom && x < r.right - 4; ++x) {
      const BYTE* p = static_cast<const BYTE*>(bits) + 4 * (y * r.right + x);
      if (p[0] != p[1] || p[1] != p[2] || p[0] > 0xC0) continue;
      ++ink;
      darkest = std::min<int>(darkest, p[0]);
    }
    if (ink == 0 && height >= 5) bands += darkest < 0x40 ? 'o' : 'g';
    height = ink > 0 ? height + 1 : 0;
    darkest = ink > 0 ? darkest : 255;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bands;
}

// Opens コマ編集 with the keys (its first item highlighted), reads its last
// two items, 元に戻す and やり直し ("og": undo on, redo greyed), and closes it.
std::string HistoryItems() {
  Keys({VK_MENU});
  for (int i = 0; i < 8; ++i) Keys({VK_RIGHT});
  Keys({VK_DOWN});
  HWND popup = nullptr;
  std::string bands;
  WaitFor([&] {
    for (popup = nullptr; (popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr;) {
      if (IsWindowVisible(popup)) return (bands = MenuBands(popup)).size() == 6;  // all but the first item
    }
    return false;
  });
  Keys({VK_MENU});
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(popup); }));
  return bands.substr(bands.size() - std::min<size_t>(bands.size(), 2));
}

TEST_F(Program, UndoAndRedoFrameOperations) {
  Start(6);
  auto files = [&] {
    std::string all;
    for (int n = 0; n < 6; ++n) all += ReadFileBytes(F(n)) + "|";
    return all;
  };
  const std::string start = files(), pasted = FrameText(0) + "|" + FrameText(1) + "|" + FrameText(0) + "|";
  FocusEditor(app_);
  Command(app_, CMD_FIRST);
  Command(app_, CMD_COPY);
  Command(app_, CMD_NEXT);
  Command(app_, CMD_NEXT);
  EXPECT_EQ(HistoryItems(), "gg");
  Command(app_, CMD_DELETE);
  EXPECT_EQ(Shown(), "2:" + FrameText(3));
  EXPECT_EQ(files(), FrameText(0) + "|" + FrameText(1) + "|" + FrameText(3) + "|" + FrameText(4) + "|" + FrameText(5) + "||");
  EXPECT_EQ(HistoryItems(), "og");
  Keys({VK_MENU, 'Z'});
  EXPECT_TRUE(WaitFor([&] { return Shown() == "2:" + FrameText(2); })) << Shown();
  EXPECT_EQ(files(), start);
  EXPECT_EQ(HistoryItems(), "go");
  // A paste after the undo: the deletion can no longer be redone.
  Command(app_, CMD_PASTE);
  EXPECT_EQ(files().substr(0, pasted.size()), pasted);
  EXPECT_EQ(HistoryItems(), "og");
  Keys({VK_MENU, 'Z'});
  EXPECT_TRUE(WaitFor([&] { return Shown() == "2:" + FrameText(2); })) << Shown();
  EXPECT_EQ(files(), start);
  Keys({VK_MENU, 'Y'});
  EXPECT_TRUE(WaitFor([&] { return Shown() == "2:" + FrameText(0); })) << Shown();
  EXPECT_EQ(files().substr(0, pasted.size()), pasted);
  EXPECT_EQ(HistoryItems(), "og");
  // Ctrl+Z stays the editor's own undo of typing.
  Type(app_, "x");
  Keys({VK_CONTROL, 'Z'});
  EXPECT_TRUE(WaitFor([&] { return Shown() == "2:" + FrameText(0); })) << Shown();
  EXPECT_EQ(HistoryItems(), "og");
}

}  // namespace

// Undo and redo of frame operations, from the menu's grey items and the
// keys, while the editor has the focus.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

// The rows of text of an open popup menu, top to bottom, from the screen:
// 'o' black, 'g' greyed. Ink is grey pixels (red, green and blue alike)
// darker than the background, inside the menu's frame: a highlighted item
// (light text on colour) has none.
std::string MenuRows(HWND popup) {
  RECT r;
  GetClientRect(popup, &r);
  POINT at{0, 0};
  ClientToScreen(popup, &at);
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  BYTE* bits = nullptr;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, r.right, r.bottom, screen, at.x, at.y, SRCCOPY);
  std::string rows;
  for (int y = 0, height = 0, darkest = 255; y <= r.bottom; ++y) {
    int ink = 0;
    for (const BYTE* p = bits + 4 * (y * r.right + 4); y < r.bottom && p < bits + 4 * (y * r.right + r.right - 4); p += 4) {
      if (p[0] == p[1] && p[1] == p[2] && p[0] <= 0xC0) ++ink, darkest = std::min<int>(darkest, p[0]);
    }
    if (ink == 0 && height >= 5) rows += darkest < 0x40 ? 'o' : 'g';
    height = ink > 0 ? height + 1 : 0;
    darkest = ink > 0 ? darkest : 255;
  }
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rows;
}

// Opens コマ編集 with the keys (its first item highlighted), reads its last
// two items, 元に戻す and やり直し ("og": undo on, redo greyed), and closes it.
std::string HistoryItems() {
  Keys({VK_MENU});
  for (int i = 0; i < 8; ++i) Keys({VK_RIGHT});
  Keys({VK_DOWN});
  HWND popup = nullptr;
  std::string rows;
  WaitFor([&] {
    for (popup = nullptr; (popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr;) {
      if (IsWindowVisible(popup)) return (rows = MenuRows(popup)).size() == 6;  // all but the first item
    }
    return false;
  });
  Keys({VK_MENU});
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(popup); }));
  return rows.substr(rows.size() - std::min<size_t>(rows.size(), 2));
}

TEST_F(Program, UndoAndRedoFrameOperations) {
  Start(6);
  FocusEditor(app_);
  for (WORD command : {CMD_FIRST, CMD_COPY, CMD_NEXT, CMD_NEXT}) Command(app_, command);
  EXPECT_EQ(HistoryItems(), "gg");
  // What is done, then the frame on show (2), the files of frames 2 and 5,
  // and the grey state of the items.
  const std::string two = FrameText(2) + FrameText(5), pasted = FrameText(0) + FrameText(5);
  struct Row { std::function<void()> act; std::string shown, files, items; } rows[] = {
      {[&] { Command(app_, CMD_DELETE); }, FrameText(3), FrameText(3), "og"},
      {[] { Keys({VK_MENU, 'Z'}); }, FrameText(2), two, "go"},
      {[&] { Command(app_, CMD_PASTE); }, FrameText(0), pasted, "og"},  // the deletion cannot be redone now
      {[&] { Command(app_, CMD_NEXT), Keys({VK_MENU, 'Z'}); }, FrameText(2), two, "go"},  // shows the step's frame
      {[] { Keys({VK_MENU, 'Y'}); }, FrameText(0), pasted, "og"},
      {[&] { Type(app_, "x"), Keys({VK_CONTROL, 'Z'}); }, FrameText(0), pasted, "og"},  // the editor's own undo
      {[&] { Command(app_, CMD_OPENPATH); }, "", pasted, "gg"},  // opening empties the history
  };
  for (const Row& row : rows) {
    row.act();
    EXPECT_TRUE(WaitFor([&] { return Shown() == "2:" + row.shown; })) << Shown();
    EXPECT_EQ(ReadFileBytes(F(2)) + ReadFileBytes(F(5)), row.files);
    EXPECT_EQ(HistoryItems(), row.items);
  }
}

}  // namespace

// The frame view under Wine: what it really paints, read back pixel by pixel.
#include <gtest/gtest.h>

#include <string>

#include "animation.h"
#include "font.h"
#include "frame_loader.h"
#include "frame_view.h"
#include "view_host.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// Counts of the pixels in the given colour, and of those in neither colour.
struct Census {
  int pen = 0;
  int back = 0;
  int other = 0;
};

Census Count(const Image& image, COLORREF pen, COLORREF back) {
  Census census;
  for (COLORREF p : image.pixels) {
    if (p == pen) {
      ++census.pen;
    } else if (p == back) {
      ++census.back;
    } else {
      ++census.other;
    }
  }
  return census;
}

// The one-pixel border along the right and bottom edges (the text starts at
// the top-left corner and may cover the other two), and the left edge below
// the first lines.
void ExpectBorder(const Image& image, COLORREF pen) {
  for (int y = 0; y < image.height; ++y) ASSERT_EQ(image.At(image.width - 1, y), pen) << "right edge, y " << y;
  for (int x = 0; x < image.width; ++x) ASSERT_EQ(image.At(x, image.height - 1), pen) << "bottom edge, x " << x;
  for (int y = image.height * 3 / 4; y < image.height; ++y) ASSERT_EQ(image.At(0, y), pen) << "left edge, y " << y;
}

// The view's image of text drawn with extra DrawTextA flags, made the way the
// view makes it, in black on white with the view's font.
Image Reference(HWND view, const std::string& text, UINT flags) {
  RECT r;
  GetClientRect(view, &r);
  HDC screen = GetDC(view);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = SelectObject(memory, g_currentFont);
  HGDIOBJ oldPen = SelectObject(memory, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(memory, GetStockObject(WHITE_BRUSH));
  SetTextColor(memory, kBlack);
  SetBkColor(memory, kWhite);
  Rectangle(memory, 0, 0, r.right, r.bottom);
  DrawTextA(memory, text.c_str(), -1, &r, DT_EDITCONTROL | flags);
  Image image = CaptureContext(memory, r.right, r.bottom);
  SelectObject(memory, oldBrush);
  SelectObject(memory, oldPen);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(view, screen);
  return image;
}

TEST_F(FrameViewTest, FirstPaintStartsBlackOnWhiteWithABorder) {
  // Colours applied before the first paint do not survive it.
  PenColour = ColourTriple{1, 2, 3};
  BackColour = ColourTriple{4, 5, 6};
  ApplyColours();
  SetWindowTextA(view_, "");
  Show();
  EXPECT_EQ(PenColour.red + PenColour.green + PenColour.blue, 0);
  EXPECT_EQ(BackColour.red + BackColour.green + BackColour.blue, 3 * 255);
  Image image = Capture();
  ExpectBorder(image, kBlack);
  for (int x = 0; x < image.width; ++x) ASSERT_EQ(image.At(x, 0), kBlack) << "top edge, x " << x;
  Census census = Count(image, kBlack, kWhite);
  EXPECT_EQ(census.pen, 2 * (image.width + image.height) - 4);
  EXPECT_EQ(census.other, 0);
}

TEST_F(FrameViewTest, FrameColoursPaintTextAndBackground) {
  struct Case {
    const char* name;
    const char* values;
    COLORREF pen;
    COLORREF back;
  };
  const Case cases[] = {
      {"red on blue", "255 0 0 0 0 255", RGB(255, 0, 0), RGB(0, 0, 255)},
      {"low 8 bits of each component", "256 0 0 300 300 300", RGB(0, 0, 0), RGB(44, 44, 44)},
      {"negative components", "-1 -256 0 0 -255 511", RGB(255, 0, 0), RGB(0, 1, 255)},
      {"back to black on white", "0 0 0 255 255 255", kBlack, kWhite},
  };
  Show();
  const std::string base = Dir() + "\\anim";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile("anim0000.txt", std::string("{\r\ncolor\r\n") + c.values + "\r\n}\r\nhello");
    LoadFrame(base.c_str(), 0);
    ASSERT_TRUE(PumpUntilPainted(host_));
    Image image = Capture();
    ExpectBorder(image, c.pen);
    Census census = Count(image, c.pen, c.back);
    EXPECT_EQ(census.other, 0);
    // Text beyond the border: five lines of it.
    EXPECT_GT(census.pen, 2 * (image.width + image.height) + 100);
    EXPECT_EQ(image.At(image.width / 2, image.height * 3 / 4), c.back);
  }
}

TEST_F(FrameViewTest, AmpersandUnderlinesTheNextCharacter) {
  Show();
  ShowText("a");
  Image a = Capture();
  ShowText("ab");
  Image ab = Capture();
  ShowText("a&b");
  Image prefixed = Capture();

  HDC context = GetDC(view_);
  HGDIOBJ old = SelectObject(context, g_currentFont);
  SIZE aSize, abSize;
  GetTextExtentPoint32A(context, "a", 1, &aSize);
  GetTextExtentPoint32A(context, "ab", 2, &abSize);
  TEXTMETRICA metrics;
  GetTextMetricsA(context, &metrics);
  SelectObject(context, old);
  ReleaseDC(view_, context);

  // Two glyphs, a then b, and b has a line below its baseline.
  EXPECT_FALSE(ab == a);
  int underline = 0;
  for (int y = 0; y < prefixed.height; ++y) {
    for (int x = 0; x < prefixed.width; ++x) {
      if (prefixed.At(x, y) == ab.At(x, y)) continue;
      ++underline;
      EXPECT_EQ(prefixed.At(x, y), kBlack);
      EXPECT_GE(x, aSize.cx);
      EXPECT_LT(x, abSize.cx);
      EXPECT_GE(y, metrics.tmAscent);
      EXPECT_LT(y, metrics.tmHeight);
    }
  }
  EXPECT_GT(underline, 0);

  // Two ampersands draw one.
  ShowText("a&&b");
  EXPECT_TRUE(Capture() == Reference(view_, "a&b", DT_NOPREFIX));
  // The editor keeps the text as typed.
  char text[16];
  GetWindowTextA(view_, text, sizeof text);
  EXPECT_STREQ(text, "a&&b");
}

TEST_F(FrameViewTest, TextStartsAtTheTopLeftWhereverTheEditorScrolled) {
  Show();
  std::string text;
  for (int line = 0; line < 60; ++line) text += "line " + std::to_string(line) + std::string(80, 'x') + "\r\n";
  ShowText(text);
  Image before = Capture();
  SendMessageA(view_, EM_LINESCROLL, 20, 30);
  EXPECT_GT(SendMessageA(view_, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  Repaint();
  EXPECT_TRUE(Capture() == before);
  // Long lines are clipped, never wrapped: the same as one drawn alone.
  EXPECT_TRUE(before == Reference(view_, text, 0));
}

TEST_F(FrameViewTest, DuringPlaybackAPaintKeepsTheLoadedFrame) {
  Show();
  ShowText("editor");
  WriteFile("anim0000.txt", "{\r\ncolor\r\n255 0 0 0 0 255\r\n}\r\nframe");
  g_animation.playing = 1;
  LoadFrame((Dir() + "\\anim").c_str(), 0);
  ASSERT_TRUE(PumpUntilPainted(host_));
  Image shown = Capture();
  EXPECT_EQ(Count(shown, RGB(255, 0, 0), RGB(0, 0, 255)).other, 0);
  Repaint();
  EXPECT_TRUE(Capture() == shown);
  EXPECT_STREQ(DisplayText, "frame");
  char text[16];
  GetWindowTextA(view_, text, sizeof text);
  EXPECT_STREQ(text, "editor");

  // Stopped, the next paint shows the editor's text again.
  g_animation.playing = 0;
  Repaint();
  EXPECT_STREQ(DisplayText, "editor");
}

TEST_F(FrameViewTest, PaintsWithoutTextBuffers) {
  ShowText("kept");
  Show();
  FreeTextBuffers();
  Repaint();
  Image image = Capture();
  ExpectBorder(image, kBlack);
  EXPECT_EQ(Count(image, kBlack, kWhite).pen, 2 * (image.width + image.height) - 4);
}

TEST_F(FrameViewTest, CancelledColourDialogGivesGrey) {
  Show();
  ShowText("grey");
  OnNextDialog([](HWND dialog) { CloseDialog(dialog, IDCANCEL); });
  ChoosePenColour();
  ASSERT_TRUE(DialogActionRan());
  EXPECT_EQ(PenColour.red, 128);
  EXPECT_EQ(PenColour.green, 128);
  EXPECT_EQ(PenColour.blue, 128);
  Repaint();
  ExpectBorder(Capture(), kGrey);

  OnNextDialog([](HWND dialog) { CloseDialog(dialog, IDCANCEL); });
  ChooseBackColour();
  ASSERT_TRUE(DialogActionRan());
  Repaint();
  Image image = Capture();
  EXPECT_EQ(image.At(image.width / 2, image.height / 2), kGrey);
  EXPECT_EQ(Count(image, kGrey, kGrey).other, 0);
}

}  // namespace

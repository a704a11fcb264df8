// The frame view's text drawing rules, pinned under Wine: every text of
// text_rules.txt drawn with the view's call (DrawTextA, DT_EDITCONTROL) gives
// the pixels of its expected lines drawn without any rule: plain runs with
// TextOutA (which knows neither "&" nor tabs nor line ends), the underlined
// character with DrawTextA as "&" and the character.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320, kHeight = 96;

// printf %b's escapes: \r \n \t \\ \xHH.
std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
    } else if (s[++i] == 'x') {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i] == 'r' ? '\r' : s[i] == 'n' ? '\n' : s[i] == 't' ? '\t' : s[i];
    }
  }
  return out;
}

class TextRules : public ::testing::Test {
 protected:
  void SetUp() override {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    LOGFONTA face{};
    face.lfHeight = -16;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyA(face.lfFaceName, "Monapo");
    font_ = CreateFontIndirectA(&face);
    saved_ = SaveDC(dc_);
    SelectObject(dc_, bitmap_);
    SelectObject(dc_, font_);
  }
  void TearDown() override {
    RestoreDC(dc_, saved_);
    DeleteObject(font_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  std::vector<unsigned> Pixels() const {
    GdiFlush();
    return std::vector<unsigned>(bits_, bits_ + kWidth * kHeight);
  }
  void Clear() {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  int Width(const std::string& run) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, run.data(), static_cast<int>(run.size()), &size);
    return size.cx;
  }
  // The lines of shown, one below the other.
  void DrawExpected(const std::string& shown) {
    TEXTMETRICA metrics;
    GetTextMetricsA(dc_, &metrics);
    int y = 0;
    for (size_t start = 0; start <= shown.size(); y += metrics.tmHeight) {
      size_t end = std::min(shown.find('\n', start), shown.size());
      std::string line = shown.substr(start, end - start);
      start = end + 1;
      size_t open = line.find("<u>"), close = line.find("</u>");
      std::string before = line.substr(0, open), marked, after;
      if (open != std::string::npos) {
        marked = line.substr(open + 3, close - open - 3);
        after = line.substr(close + 4);
      }
      TextOutA(dc_, 0, y, before.data(), static_cast<int>(before.size()));
      int x = Width(before);
      RECT rest{x, y, kWidth, kHeight};
      if (!marked.empty()) DrawTextA(dc_, ("&" + marked).c_str(), -1, &rest, DT_SINGLELINE | DT_NOCLIP);
      x += Width(marked);
      TextOutA(dc_, x, y, after.data(), static_cast<int>(after.size()));
    }
  }

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HFONT font_ = nullptr;
  unsigned* bits_ = nullptr;
  int saved_ = 0;
};

TEST_F(TextRules, TheViewDrawsEveryTextAsTheTableSays) {
  std::ifstream table(ZOETRIX_TEXT_RULES);
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::string text = Unescape(line.substr(0, line.find('\t')));
    const std::string shown = Unescape(line.substr(line.find('\t') + 1));
    Clear();
    RECT view{0, 0, kWidth, kHeight};
    DrawTextA(dc_, text.c_str(), -1, &view, DT_EDITCONTROL);
    const std::vector<unsigned> drawn = Pixels();
    Clear();
    DrawExpected(shown);
    EXPECT_TRUE(drawn == Pixels()) << line;
    ++rows;
  }
  EXPECT_GT(rows, 10);
}

}  // namespace

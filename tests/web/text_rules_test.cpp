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

TEST(TextRules, TheViewDrawsEveryTextAsTheTableSays) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  unsigned* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  LOGFONTA face{-16, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Monapo"};
  HFONT font = CreateFontIndirectA(&face);
  int saved = SaveDC(dc);
  SelectObject(dc, bitmap);
  SelectObject(dc, font);
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  RECT all{0, 0, kWidth, kHeight};
  auto width = [&](const std::string& run) {
    SIZE size{};
    GetTextExtentPoint32A(dc, run.data(), static_cast<int>(run.size()), &size);
    return int(size.cx);
  };
  auto pixels = [&] {
    GdiFlush();
    std::vector<unsigned> copy(bits, bits + kWidth * kHeight);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return copy;
  };
  pixels();
  std::ifstream table(ZOETRIX_TEXT_RULES);
  int rows = 0;
  for (std::string row; std::getline(table, row);) {
    if (row.empty() || row[0] == '#') continue;
    RECT view = all;
    DrawTextA(dc, Unescape(row.substr(0, row.find('\t'))).c_str(), -1, &view, DT_EDITCONTROL);
    const std::vector<unsigned> drawn = pixels();
    // The lines of the expected text, one below the other.
    const std::string shown = Unescape(row.substr(row.find('\t') + 1));
    for (size_t start = 0, y = 0; start <= shown.size(); y += metrics.tmHeight) {
      std::string line = shown.substr(start, shown.find('\n', start) - start);
      start += line.size() + 1;
      const size_t open = line.find("<u>"), close = line.find("</u>"), none = std::string::npos;
      const std::string before = line.substr(0, open), marked = open == none ? "" : line.substr(open + 3, close - open - 3);
      const std::string after = open == none ? "" : line.substr(close + 4);
      TextOutA(dc, 0, int(y), before.data(), int(before.size()));
      RECT at{width(before), LONG(y), kWidth, kHeight};
      if (!marked.empty()) DrawTextA(dc, ("&" + marked).c_str(), -1, &at, DT_SINGLELINE | DT_NOCLIP);
      TextOutA(dc, at.left + width(marked), int(y), after.data(), int(after.size()));
    }
    EXPECT_TRUE(drawn == pixels()) << row;
    ++rows;
  }
  EXPECT_GT(rows, 10);
  RestoreDC(dc, saved);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace

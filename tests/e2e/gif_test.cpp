// The GIF export from the menu, against what the frame view shows: the
// sample animation exported at the fastest speed, one of its frames compared
// with the view's pixels while that frame plays, the delays and the loop.
#include <gtest/gtest.h>

#include "program_fixture.h"

namespace {

// The GIF as it plays: each frame's whole picture (0x00RRGGBB) and delay.
struct Played {
  int width = 0, height = 0;
  bool loops = false;
  std::vector<std::vector<uint32_t>> pictures;
  std::vector<int> delays;
};

// Decodes the GIF89a the writer makes (tables, transparency, frames that
// stay), for checking what the file holds against the screen.
Played Play(const std::string& gif) {
  Played p;
  size_t at = 6;
  auto byte = [&] { return at < gif.size() ? static_cast<uint8_t>(gif[at++]) : 0; };
  auto word = [&] { int low = byte(); return low | byte() << 8; };
  auto table = [&](int flags, std::vector<uint32_t>& colours) {
    colours.clear();
    for (int i = 0; (flags & 0x80) && i < 2 << (flags & 7); ++i) colours.push_back(byte() << 16 | byte() << 8 | byte());
  };
  auto blocks = [&] {
    std::string data;
    for (int n = byte(); n > 0 && at < gif.size(); n = byte()) data += gif.substr(at, n), at += n;
    return data;
  };
  p.width = word();
  p.height = word();
  std::vector<uint32_t> global, local, canvas(size_t(p.width) * p.height);
  int flags = byte();
  at += 2;
  table(flags, global);
  int delay = 0, transparent = -1;
  for (int kind = byte(); kind == 0x21 || kind == 0x2C; kind = byte()) {
    if (kind == 0x21) {
      int label = byte();
      std::string data = blocks();
      if (label == 0xF9 && data.size() == 4) {
        delay = uint8_t(data[1]) | uint8_t(data[2]) << 8;
        transparent = data[0] & 1 ? uint8_t(data[3]) : -1;
      }
      if (label == 0xFF && data == std::string("NETSCAPE2.0\x01\x00\x00", 14)) p.loops = true;
      continue;
    }
    const int left = word(), top = word(), w = word(), h = word();
    table(byte(), local);
    const std::vector<uint32_t>& colours = local.empty() ? global : local;
    const int minimum = byte();
    const std::string data = blocks();
    // LZW: codes of growing width; the table as (prefix, last index) pairs.
    std::vector<int> prefix(4096), suffix(4096), out;
    size_t bit = 0;
    int width = minimum + 1, next = (1 << minimum) + 2, previous = -1;
    auto first = [&](int code) { while (code >= 1 << minimum) code = prefix[code]; return code; };
    auto emit = [&](int code) {
      std::vector<int> s;
      for (; code >= 1 << minimum; code = prefix[code]) s.push_back(suffix[code]);
      s.push_back(code);
      out.insert(out.end(), s.rbegin(), s.rend());
    };
    while (bit + width <= data.size() * 8) {
      int code = 0;
      for (int i = 0; i < width; ++i, ++bit) code |= (uint8_t(data[bit / 8]) >> (bit % 8) & 1) << i;
      if (code == 1 << minimum) { width = minimum + 1, next = (1 << minimum) + 2, previous = -1; continue; }
      if (code == (1 << minimum) + 1) break;
      if (previous >= 0 && next < 4096) {
        prefix[next] = previous;
        suffix[next] = first(code < next ? code : previous);
        if (++next == 1 << width && width < 12) ++width;
      }
      emit(code);
      previous = code;
    }
    for (size_t i = 0; i < out.size() && int(i) < w * h; ++i) {
      if (out[i] != transparent) canvas[size_t(top + int(i) / w) * p.width + left + int(i) % w] = colours[out[i]];
    }
    p.pictures.push_back(canvas);
    p.delays.push_back(delay);
  }
  return p;
}

// The view's client area as the screen shows it, 0x00RRGGBB, rows top first.
std::vector<uint32_t> Screen(HWND view, int width, int height) {
  POINT origin{0, 0};
  ClientToScreen(view, &origin);
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(width) * height);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

TEST_F(Program, ExportsTheSampleAsAGifThatLooksAsItPlays) {
  // The sample's frame files, beside each other in d.x.
  for (int n = -1; n < 34; ++n) {
    std::string name = n < 0 ? "walk.txt" : "walk" + std::to_string(10000 + n).substr(1) + ".txt";
    ASSERT_TRUE(CopyFileA((std::string(ZOETRIX_SAMPLES) + "\\" + name).c_str(), P("d.x\\" + name).c_str(), FALSE)) << name;
  }
  ASSERT_TRUE(Launch(app_, "d.x\\walk.txt"));
  MoveWindow(app_.main, 0, 0, 800, 500, TRUE);  // room for the whole picture
  Command(app_, CMD_SPEED6);
  HWND box = Dialog(CMD_EXPORTGIF);
  const std::string told = Text(DialogItem(box, 0xFFFF));
  EXPECT_NE(told.find(P("d.x\\walk.gif") + "\r\n\r\n34 "), std::string::npos) << told;
  Press(box, IDOK);
  const Played gif = Play(ReadFileBytes(P("d.x\\walk.gif")));
  // 34 frames of 3 hundredths (30 ms), none of them equal to the one before.
  EXPECT_EQ(gif.delays, std::vector<int>(34, 3));
  EXPECT_TRUE(gif.loops);
  ASSERT_EQ(gif.pictures.size(), 34u);
  // Frame 6 as the view shows it while it plays (a second long), inside the
  // GIF's border: the view's own border lies further out.
  Command(app_, CMD_SPEED1);
  Command(app_, CMD_FIRST);
  for (int n = 1; n < 6; ++n) Command(app_, CMD_NEXT);
  Command(app_, CMD_START);
  std::vector<uint32_t> seen;
  ASSERT_TRUE(WaitFor([&] {
    if (Number() != 6) return false;
    Painted();
    seen = Screen(app_.view, gif.width, gif.height);
    return Number() == 6;
  }));
  Command(app_, CMD_STOP);
  int differing = 0;
  for (int y = 0; y + 1 < gif.height; ++y) {
    for (int x = 0; x + 1 < gif.width; ++x) differing += seen[size_t(y) * gif.width + x] != gif.pictures[6][size_t(y) * gif.width + x];
  }
  EXPECT_EQ(differing, 0) << gif.width << "x" << gif.height;
}

}  // namespace

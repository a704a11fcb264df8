// The GIF writer's files, decoded by giflib: every frame's picture after
// compositing, its delay, the images' rectangles and the loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gif_decode.h"
#include "gif_export.h"
#include "gif_writer.h"

namespace {

using Picture = std::vector<uint32_t>;
constexpr int kW = 40, kH = 30;

Picture Paint(const std::function<uint32_t(int x, int y)>& colour) {
  Picture p(kW * kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) p[y * kW + x] = colour(x, y);
  }
  return p;
}

Picture With(Picture p, int x, int y, uint32_t colour) {
  p[y * kW + x] = colour;
  return p;
}

// Text-like pictures: ink on a background, a little anti-aliasing.
const Picture kBlue = Paint([](int, int) { return 0x0000FFu; });
const Picture kChecks = Paint([](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0x102030u; });
const Picture kAll256 = Paint([](int x, int y) { return static_cast<uint32_t>((y * kW + x) % 256 * 0x010101); });
const Picture kRainbow = Paint([](int x, int y) { return static_cast<uint32_t>(x * 6 << 16 | y * 8 << 8 | (x + y) * 3); });
const Picture kText = Paint([](int x, int y) { return x % 7 < 3 && y % 9 < 6 ? 0x000000u : (x % 7 == 3 ? 0x808080u : 0xFFFFFFu); });
const Picture kTextEdited = With(With(kText, 33, 20, 0xFF0000u), 35, 22, 0xFFFFFFu);
const Picture kCornersEdited = With(With(kText, 0, 0, 0x00FF00u), kW - 1, kH - 1, 0x00FF00u);

struct Row {
  const char* name;
  std::vector<std::pair<const Picture*, unsigned>> frames;  // added, with their delays
  std::vector<std::pair<const Picture*, int>> shown;        // decoded, with their delays
  int tolerance;                                            // of a channel
  std::vector<int> lastRect;                                // the last image's, if given
};

TEST(GifWriter, FramesDecodeAsAddedMergedAndCut) {
  const Row rows[] = {
      {"one colour", {{&kBlue, 3}}, {{&kBlue, 3}}, 0, {0, 0, kW, kH}},
      {"two colours, then one", {{&kChecks, 10}, {&kBlue, 100}}, {{&kChecks, 10}, {&kBlue, 100}}, 0, {0, 0, kW, kH}},
      {"256 colours", {{&kText, 5}, {&kAll256, 5}}, {{&kText, 5}, {&kAll256, 5}}, 0, {}},
      {"more than 256 colours", {{&kRainbow, 2}, {&kText, 2}}, {{&kRainbow, 2}, {&kText, 2}}, 12, {}},
      {"equal frames merged", {{&kText, 3}, {&kText, 3}, {&kText, 3}, {&kBlue, 3}, {&kBlue, 3}},
       {{&kText, 9}, {&kBlue, 6}}, 0, {}},
      {"a partial frame", {{&kText, 20}, {&kTextEdited, 20}}, {{&kText, 20}, {&kTextEdited, 20}}, 0, {33, 20, 3, 3}},
      {"changes far apart, the detail between kept", {{&kText, 4}, {&kCornersEdited, 4}, {&kText, 4}},
       {{&kText, 4}, {&kCornersEdited, 4}, {&kText, 4}}, 0, {0, 0, kW, kH}},
      {"long delays cut at 65535", {{&kText, 40000}, {&kText, 40000}, {&kText, 30000}, {&kChecks, 7}},
       {{&kText, 65535}, {&kText, 44465}, {&kChecks, 7}}, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes;
    GifWriter w;
    StartGif(w, kW, kH, [&bytes](const uint8_t* data, size_t size) {
      bytes.append(reinterpret_cast<const char*>(data), size);
      return true;
    });
    for (const auto& [picture, delay] : row.frames) ASSERT_TRUE(AddGifFrame(w, picture->data(), delay));
    ASSERT_TRUE(FinishGif(w));
    EXPECT_EQ(w.bytes, bytes.size());
    const DecodedGif gif = DecodeGif(bytes);
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.width * 1000 + gif.height, kW * 1000 + kH);
    EXPECT_TRUE(gif.loopsForever);
    ASSERT_EQ(gif.frames.size(), row.shown.size());
    for (size_t f = 0; f < row.shown.size(); ++f) {
      EXPECT_EQ(gif.frames[f].delay, row.shown[f].second) << "frame " << f;
      int worst = 0;
      for (size_t i = 0; i < gif.frames[f].pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
          int got = gif.frames[f].pixels[i] >> shift & 255, want = (*row.shown[f].first)[i] >> shift & 255;
          worst = std::max(worst, std::abs(got - want));
        }
      }
      EXPECT_LE(worst, row.tolerance) << "frame " << f;
    }
    if (!row.lastRect.empty()) {
      const DecodedFrame& last = gif.frames.back();
      EXPECT_EQ(std::vector<int>({last.left, last.top, last.width, last.height}), row.lastRect);
    }
  }
}

// Browsers play a delay of 0 or 1 as a tenth of a second.
TEST(GifWriter, DelaysAreRoundedHundredthsOfAtLeastTwo) {
  const std::pair<int, unsigned> rows[] = {{1000, 100}, {30, 3}, {25, 3}, {24, 2}, {10, 2}, {1, 2}, {655350, 65535}};
  for (const auto& [ms, hundredths] : rows) EXPECT_EQ(GifDelay(ms), hundredths) << ms;
}

}  // namespace

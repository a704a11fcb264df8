// Compares two GIFs frame by frame: the picture size and frame count, then
// either every pixel ("pixels") or, in each frame, the first and last column
// and row that hold ink, anything other than the background inside the
// border ("ink"). Prints what differs; exit status 0 when nothing does.
//   gif_compare pixels|ink A.gif B.gif
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "gif_decode.h"

namespace {

DecodedGif Load(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return DecodeGif(std::string(std::istreambuf_iterator<char>(in), {}));
}

// The box of frame's ink: first and last column, first and last row, or -1s.
std::vector<int> Ink(const DecodedGif& gif, const DecodedFrame& frame) {
  std::map<uint32_t, int> count;  // the background: the commonest colour
  for (uint32_t p : frame.pixels) ++count[p];
  const uint32_t background =
      std::max_element(count.begin(), count.end(), [](auto& l, auto& r) { return l.second < r.second; })->first;
  std::vector<int> box{-1, -1, -1, -1};
  for (int y = 1; y + 1 < gif.height; ++y) {
    for (int x = 1; x + 1 < gif.width; ++x) {
      if (frame.pixels[static_cast<size_t>(y) * gif.width + x] == background) continue;
      box = {box[0] < 0 ? x : std::min(box[0], x), std::max(box[1], x), box[2] < 0 ? y : box[2], y};
    }
  }
  return box;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "pixels") != 0 && std::strcmp(argv[1], "ink") != 0)) {
    std::fprintf(stderr, "usage: gif_compare pixels|ink A.gif B.gif\n");
    return 2;
  }
  const DecodedGif a = Load(argv[2]), b = Load(argv[3]);
  if (!a.error.empty() || !b.error.empty()) {
    std::printf("cannot decode: %s %s\n", a.error.c_str(), b.error.c_str());
    return 1;
  }
  if (a.width != b.width || a.height != b.height || a.frames.size() != b.frames.size()) {
    std::printf("%dx%d, %zu frames against %dx%d, %zu frames\n", a.width, a.height, a.frames.size(), b.width, b.height,
                b.frames.size());
    return 1;
  }
  int differing = 0;
  for (size_t f = 0; f < a.frames.size(); ++f) {
    if (std::strcmp(argv[1], "pixels") == 0) {
      size_t count = 0;
      for (size_t i = 0; i < a.frames[f].pixels.size(); ++i) count += a.frames[f].pixels[i] != b.frames[f].pixels[i];
      if (count > 0) std::printf("frame %zu: %zu pixels differ\n", f, count);
      differing += count > 0;
    } else {
      const auto x = Ink(a, a.frames[f]), y = Ink(b, b.frames[f]);
      if (x != y) {
        std::printf("frame %zu: ink in columns %d to %d, rows %d to %d against %d to %d, %d to %d\n", f, x[0], x[1], x[2],
                    x[3], y[0], y[1], y[2], y[3]);
      }
      differing += x != y;
    }
  }
  return differing == 0 ? 0 : 1;
}

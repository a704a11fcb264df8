#include "lzw_encoder.h"

#include <algorithm>

namespace {

constexpr int kMaxCodeBits = 12;
constexpr unsigned kCodeLimit = 1u << kMaxCodeBits;

// Packs codes into bytes, and the bytes into sub-blocks.
struct BitSink {
  std::vector<uint8_t>& out;
  size_t blockStart;  // where the length byte of the open block is
  uint32_t bits;
  int count;

  void Byte(uint8_t b) {
    if (out.size() - blockStart == 256) {
      out[blockStart] = 255;
      blockStart = out.size();
      out.push_back(0);
    }
    out.push_back(b);
  }
  void Code(unsigned code, int width) {
    bits |= code << count;
    count += width;
    while (count >= 8) {
      Byte(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  void Finish() {
    if (count > 0) Byte(static_cast<uint8_t>(bits));
    size_t used = out.size() - blockStart - 1;
    if (used == 0) {
      out[blockStart] = 0;  // the open block is empty: it becomes the end
      return;
    }
    out[blockStart] = static_cast<uint8_t>(used);
    out.push_back(0);
  }
};

}  // namespace

void EncodeLzw(const uint8_t* indices, size_t count, int bits, LzwTable& table, std::vector<uint8_t>& out) {
  const int minimum = bits < 2 ? 2 : bits;  // GIF's smallest code size is 2
  const unsigned clear = 1u << minimum;
  const unsigned end = clear + 1;
  out.push_back(static_cast<uint8_t>(minimum));
  BitSink sink{out, out.size(), 0, 0};
  out.push_back(0);

  const int shift = minimum;  // indices are below 1 << bits <= 1 << minimum
  const size_t row = size_t{1} << shift;
  std::vector<uint16_t>& entry = table.entry;
  if (entry.size() < (static_cast<size_t>(kCodeLimit) << shift)) entry.resize(static_cast<size_t>(kCodeLimit) << shift);
  // A fresh table: only the single indices' strings, with no longer ones.
  auto reset = [&] { std::fill(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(clear * row), 0); };
  reset();
  int width = minimum + 1;
  unsigned next = end + 1;
  sink.Code(clear, width);
  if (count == 0) {
    sink.Code(end, width);
    sink.Finish();
    return;
  }
  unsigned prefix = indices[0];
  for (size_t i = 1; i < count; ++i) {
    const unsigned pixel = indices[i];
    uint16_t& e = entry[static_cast<size_t>(prefix) << shift | pixel];
    if (e != 0) {
      prefix = e;
      continue;
    }
    sink.Code(prefix, width);
    if (next < kCodeLimit) {
      std::fill_n(&entry[static_cast<size_t>(next) << shift], row, 0);
      e = static_cast<uint16_t>(next++);
      // The decoder widens its codes once its table reaches the width's
      // limit, one code later than the encoder adds the entry.
      if (next > (1u << width) && width < kMaxCodeBits) ++width;
    } else {
      sink.Code(clear, width);
      reset();
      width = minimum + 1;
      next = end + 1;
    }
    prefix = pixel;
  }
  sink.Code(prefix, width);
  sink.Code(end, width);
  sink.Finish();
}

#include "gif_writer.h"

#include <algorithm>
#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value & 255));
  out.push_back(static_cast<uint8_t>(value >> 8 & 255));
}

void Emit(GifWriter& w, const uint8_t* data, size_t size) {
  if (w.failed || size == 0) return;
  if (!w.out(data, size)) {
    w.failed = true;
    return;
  }
  w.bytes += size;
}

void Emit(GifWriter& w, const std::vector<uint8_t>& bytes) { Emit(w, bytes.data(), bytes.size()); }

// The bits of a table that holds count entries (GIF tables hold 2 ... 256).
int TableBits(int count) {
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

void PutTable(std::vector<uint8_t>& out, const Palette& palette, int bits) {
  for (int i = 0; i < 1 << bits; ++i) {
    uint32_t c = i < palette.count && palette.colour[i] != kUnchangedPixel ? palette.colour[i] : 0;
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c));
  }
}

// The header, the file's colour table (the first frame's) and the loop.
void WriteHead(GifWriter& w) {
  std::vector<uint8_t> head{'G', 'I', 'F', '8', '9', 'a'};
  Put16(head, static_cast<unsigned>(w.width));
  Put16(head, static_cast<unsigned>(w.height));
  head.push_back(static_cast<uint8_t>(0xF0 | (w.globalBits - 1)));  // a table, 8-bit colour
  head.push_back(0);                                                 // background: entry 0
  head.push_back(0);                                                 // square pixels
  PutTable(head, w.global, w.globalBits);
  static const uint8_t kLoop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  head.insert(head.end(), kLoop, kLoop + sizeof kLoop);
  Emit(w, head);
}

// Writes the frame held back with its delay: the graphic control (the frame
// stays when the next is drawn over it; its transparent index) and its image.
void WriteHeld(GifWriter& w) {
  if (w.held.empty()) return;
  const bool transparent = w.heldTransparent >= 0;
  const uint8_t control[] = {0x21, 0xF9, 4, static_cast<uint8_t>(1 << 2 | (transparent ? 1 : 0)),
                             static_cast<uint8_t>(w.heldDelay & 255), static_cast<uint8_t>(w.heldDelay >> 8),
                             static_cast<uint8_t>(transparent ? w.heldTransparent : 0), 0};
  Emit(w, control, sizeof control);
  Emit(w, w.held);
  w.held.clear();
}

// Encodes the image of rectangle (x, y, cw, ch) whose pixels are pixels:
// its descriptor, colours (the file's table where it serves) and compressed
// data into out; returns its transparent index or -1.
int EncodeImage(GifWriter& w, int x, int y, int cw, int ch, const uint32_t* pixels, std::vector<uint8_t>& out) {
  const size_t count = static_cast<size_t>(cw) * static_cast<size_t>(ch);
  w.indices.resize(count);
  Palette palette;
  IndexPixels(pixels, count, palette, w.indices.data());
  int bits = TableBits(palette.count);
  bool local = true;
  if (w.images == 0) {
    w.global = palette;
    w.globalBits = bits;
    local = false;
  } else if (w.globalBits <= bits) {
    // The file's table serves when it holds every colour and, for a
    // transparent index, has an entry to spare.
    uint8_t map[256];
    bool fits = true;
    int spare = w.global.count;
    for (int i = 0; i < palette.count && fits; ++i) {
      const uint32_t c = palette.colour[i];
      if (c == kUnchangedPixel) {
        fits = spare < 1 << w.globalBits;
        map[i] = static_cast<uint8_t>(spare);
        continue;
      }
      const uint32_t* found = std::find(w.global.colour, w.global.colour + w.global.count, c);
      fits = found != w.global.colour + w.global.count;
      map[i] = static_cast<uint8_t>(found - w.global.colour);
    }
    if (fits) {
      for (uint8_t& index : w.indices) index = map[index];
      if (palette.transparent >= 0) palette.transparent = spare;
      bits = w.globalBits;
      local = false;
    }
  }
  out.clear();
  out.push_back(0x2C);
  Put16(out, static_cast<unsigned>(x));
  Put16(out, static_cast<unsigned>(y));
  Put16(out, static_cast<unsigned>(cw));
  Put16(out, static_cast<unsigned>(ch));
  out.push_back(static_cast<uint8_t>(local ? 0x80 | (bits - 1) : 0));
  if (local) PutTable(out, palette, bits);
  EncodeLzw(w.indices.data(), count, bits, *w.lzw, out);
  return palette.transparent;
}

// Holds back the image of rectangle (x, y, cw, ch) of pixels.
void HoldImage(GifWriter& w, int x, int y, int cw, int ch, const uint32_t* pixels, unsigned delay) {
  w.heldTransparent = EncodeImage(w, x, y, cw, ch, pixels, w.held);
  if (w.images == 0) WriteHead(w);
  w.heldDelay = delay;
  ++w.images;
}

// A frame that changes nothing, for a delay longer than one frame holds: one
// transparent pixel.
void HoldNothing(GifWriter& w, unsigned delay) {
  const uint32_t nothing = kUnchangedPixel;
  HoldImage(w, 0, 0, 1, 1, &nothing, delay);
}

}  // namespace

void StartGif(GifWriter& w, int width, int height, GifOutput out) {
  w = GifWriter{};
  w.width = width;
  w.height = height;
  w.out = std::move(out);
  w.lzw = std::make_unique<LzwTable>();
  w.shown.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

bool AddGifFrame(GifWriter& w, const uint32_t* pixels, unsigned delay) {
  if (w.failed) return false;
  const int width = w.width, height = w.height;
  const size_t stride = static_cast<size_t>(width);
  // The rectangle of the pixels that change.
  int top = 0, bottom = height, left = 0, right = width;
  if (w.images > 0) {
    while (top < height && std::memcmp(pixels + top * stride, &w.shown[top * stride], stride * 4) == 0) ++top;
    if (top == height) {
      // The same picture: the frame held back lasts longer; what its delay
      // cannot hold goes to a frame of its own.
      const unsigned room = kGifDelayMax - w.heldDelay;
      if (delay <= room) {
        w.heldDelay += delay;
      } else {
        w.heldDelay = kGifDelayMax;
        WriteHeld(w);
        HoldNothing(w, delay - room);
      }
      return !w.failed;
    }
    while (std::memcmp(pixels + (bottom - 1) * stride, &w.shown[(bottom - 1) * stride], stride * 4) == 0) --bottom;
    left = width;
    right = 0;
    for (int y = top; y < bottom; ++y) {
      const uint32_t* now = pixels + y * stride;
      const uint32_t* was = &w.shown[y * stride];
      int l = 0;
      while (l < left && now[l] == was[l]) ++l;
      int r = width;
      while (r > right && now[r - 1] == was[r - 1]) --r;
      left = std::min(left, l);
      right = std::max(right, r);
    }
  }
  WriteHeld(w);
  // How much of the rectangle's detail (the places where a colour meets
  // another) stays as it was, in every fourth row.
  const int cw = right - left, ch = bottom - top;
  size_t edges = 0, keptEdges = 0;
  for (int y = top; y < bottom; y += 4) {
    const uint32_t* now = pixels + y * stride + left;
    const uint32_t* was = &w.shown[y * stride + left];
    for (int x = 1; x < cw; ++x) {
      const unsigned edge = now[x] != now[x - 1];
      edges += edge;
      keptEdges += edge & (now[x] == was[x]) & (now[x - 1] == was[x - 1]);
    }
  }
  // The rectangle's pixels: whole rows of the picture are already in a row.
  const uint32_t* area = pixels + top * stride + left;
  if (cw != width) {
    w.area.resize(static_cast<size_t>(cw) * static_cast<size_t>(ch));
    for (int y = top; y < bottom; ++y) {
      std::memcpy(&w.area[static_cast<size_t>(y - top) * cw], pixels + y * stride + left, static_cast<size_t>(cw) * 4);
    }
    area = w.area.data();
  }
  const bool first = w.images == 0;
  HoldImage(w, left, top, cw, ch, area, delay);
  // Where most of the detail stays, the image may compress far better with
  // what stays transparent (runs of one index): both are tried.
  if (!first && keptEdges * 2 > edges) {
    w.area.resize(static_cast<size_t>(cw) * static_cast<size_t>(ch));
    uint32_t* to = w.area.data();
    for (int y = top; y < bottom; ++y, to += cw) {
      const uint32_t* now = pixels + y * stride + left;
      const uint32_t* was = &w.shown[y * stride + left];
      for (int x = 0; x < cw; ++x) to[x] = now[x] == was[x] ? kUnchangedPixel : now[x];
    }
    const int transparent = EncodeImage(w, left, top, cw, ch, w.area.data(), w.other);
    if (w.other.size() < w.held.size()) {
      w.held.swap(w.other);
      w.heldTransparent = transparent;
    }
  }
  for (int y = top; y < bottom; ++y) {
    std::memcpy(&w.shown[y * stride + left], pixels + y * stride + left, static_cast<size_t>(cw) * 4);
  }
  return !w.failed;
}

bool FinishGif(GifWriter& w) {
  if (w.images == 0) return false;
  WriteHeld(w);
  const uint8_t trailer = 0x3B;
  Emit(w, &trailer, 1);
  return !w.failed;
}

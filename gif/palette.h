// The colour table of one GIF image and the index of every pixel in it:
// exact while the pixels have at most as many colours as the table may hold,
// else reduced by a median-cut quantiser (no dithering).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A value no pixel has (pixels are 0x00RRGGBB): it stands for "unchanged",
// and gets a table entry of its own that becomes the transparent index.
constexpr uint32_t kUnchangedPixel = 0xFF000000u;

struct Palette {
  uint32_t colour[256];  // 0x00RRGGBB
  int count = 0;
  int transparent = -1;  // the entry of kUnchangedPixel, if any pixel had it
};

// Fills palette and indices (count of them) from pixels. The table holds at
// most 256 entries: every colour exactly when they fit, else the quantiser's
// nearest colours (kUnchangedPixel always keeps an exact entry).
void IndexPixels(const uint32_t* pixels, size_t count, Palette& palette, uint8_t* indices);


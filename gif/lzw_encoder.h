// The LZW compression of GIF image data: colour indices in, the image's
// code-size byte and data sub-blocks out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The string table of the compression: for each code and next index, the
// code of that longer string. An entry belongs to the current table only
// while it carries the table's generation (1 ... 15), so that the table is
// cleared for real once in 15 times. Kept between images (at most 2 MB).
struct LzwTable {
  std::vector<uint16_t> entry;  // generation << 12 | code, by code << bits | index
  unsigned generation = 0;
  size_t dirty = 0;  // the entries written since the last real clearing
};

// Appends to out the LZW minimum code size byte, the compressed indices
// (count of them, each below 1 << bits) in sub-blocks of at most 255 bytes,
// and the empty block that ends them. bits is 1 ... 8.
void EncodeLzw(const uint8_t* indices, size_t count, int bits, LzwTable& table, std::vector<uint8_t>& out);

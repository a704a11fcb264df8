// The LZW compression of GIF image data: colour indices in, the image's
// code-size byte and data sub-blocks out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The string table of the compression: for each code and next index, the
// code of that longer string, or 0 (no longer string has code 0). A code's
// row is cleared when the code is given out, so that clearing the table
// costs no more than its single-index rows. Kept between images (at most
// 2 MB).
struct LzwTable {
  std::vector<uint16_t> entry;  // by code << bits | index
};

// Appends to out the LZW minimum code size byte, the compressed indices
// (count of them, each below 1 << bits) in sub-blocks of at most 255 bytes,
// and the empty block that ends them. bits is 1 ... 8.
void EncodeLzw(const uint8_t* indices, size_t count, int bits, LzwTable& table, std::vector<uint8_t>& out);

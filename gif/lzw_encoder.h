// The LZW compression of GIF image data: colour indices in, the image's
// code-size byte and data sub-blocks out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The string table of the compression: an open-addressed hash of (prefix
// code, next index) to code. A slot belongs to the current table only while
// its generation is the table's, so clearing the table costs nothing. Kept
// between images (about 80 KB).
constexpr unsigned kLzwSlotBits = 13;
constexpr unsigned kLzwSlots = 1u << kLzwSlotBits;
struct LzwTable {
  uint32_t key[kLzwSlots];
  uint16_t code[kLzwSlots];
  uint32_t generation[kLzwSlots] = {};
  uint32_t current = 0;
};

// Appends to out the LZW minimum code size byte, the compressed indices
// (count of them, each below 1 << bits) in sub-blocks of at most 255 bytes,
// and the empty block that ends them. bits is 1 ... 8.
void EncodeLzw(const uint8_t* indices, size_t count, int bits, LzwTable& table, std::vector<uint8_t>& out);

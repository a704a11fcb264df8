// SHA-256 of a file's bytes: the proof that a file still holds the bytes it
// held when the digest was taken.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Digest = std::array<uint8_t, 32>;

struct DigestState {
  uint32_t h[8];
  uint64_t length;  // bytes taken so far
  uint8_t block[64];
};

void BeginDigest(DigestState& d);
void AddToDigest(DigestState& d, const void* data, size_t size);
Digest EndDigest(DigestState& d);

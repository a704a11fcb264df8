// Finding where a block's text ends in the all-in-one file: at its first zero
// byte or at the first "[end]" that lies wholly within the text's window.
// Vector versions are chosen at run time by what the processor supports.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes after limit that FindTextEnd may read (never write).
constexpr size_t kTextScanSlack = 192;

// Returns the first q in [p, limit) where *q is a zero byte, or where "[end]"
// starts and ends within limit (q + 5 <= limit); limit when there is none.
// Reads [p rounded down to a multiple of 64, limit + kTextScanSlack): the
// buffer must hold those bytes (their values outside [p, limit) do not
// change the result).
const char* FindTextEnd(const char* p, const char* limit);

// The versions this processor can run, plainest first, for tests that check
// every one of them.
struct TextScanner {
  const char* name;
  const char* (*find)(const char* p, const char* limit);
};
int AvailableTextScanners(const TextScanner** list);

// The index of the lowest set bit of x, which is not 0. A 32-bit build has
// no 64-bit instruction for it, and the compiler's own 64-bit version there
// is a library call: two 32-bit halves are quicker.
inline unsigned LowestSetBit(uint64_t x) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__aarch64__))
  return static_cast<unsigned>(__builtin_ctzll(x));
#elif defined(__GNUC__)
  const uint32_t low = static_cast<uint32_t>(x);
  return low != 0 ? static_cast<unsigned>(__builtin_ctz(low))
                  : 32 + static_cast<unsigned>(__builtin_ctz(static_cast<uint32_t>(x >> 32)));
#else
  unsigned i = 0;
  for (; (x & 1) == 0; x >>= 1) ++i;
  return i;
#endif
}

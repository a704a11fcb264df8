// Finding where a block's text ends in the all-in-one file: at its first zero
// byte or at the first "[end]" that lies wholly within the text's window.
// Vector versions are chosen at run time by what the processor supports.
#pragma once

#include <cstddef>

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

// Every text-end scanner this processor runs, against a plain search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <random>

#include "text_scan.h"

TEST(TextScan, EveryVersionFindsThePlainEnd) {
  const TextScanner* scanners;
  int count = AvailableTextScanners(&scanners);
  constexpr size_t kSize = 1024;
  char* buffer = static_cast<char*>(::operator new[](kSize + kTextScanSlack, std::align_val_t{64}));
  std::mt19937 rng(12345);
  static const char kBytes[] = "[[[eeend]]]\r\nx\x81\x5b";
  for (int round = 0; round < 12000; ++round) {
    // Bytes near the markers everywhere, also around the text, where nothing
    // may count; a marker often at every offset of the vectors, or across the limit.
    for (size_t i = 0; i < kSize + kTextScanSlack; ++i) buffer[i] = rng() % 64 ? kBytes[rng() % (sizeof kBytes - 1)] : '\0';
    size_t from = rng() % 200, limit = from + rng() % 600;
    if (round % 3 == 0) std::memset(buffer + from, 'a', limit - from);
    if (round % 2 == 0 && limit > from + 5) std::memcpy(buffer + limit - 1 - rng() % std::min<size_t>(limit - from, 70), round % 4 ? "[end]" : "\0end]", 5);
    size_t expected = from;
    while (expected < limit && buffer[expected] != '\0' && (expected + 5 > limit || std::memcmp(buffer + expected, "[end]", 5) != 0)) ++expected;
    for (int k = 0; k < count; ++k) {
      ASSERT_EQ(scanners[k].find(buffer + from, buffer + limit) - buffer, static_cast<ptrdiff_t>(expected))
          << scanners[k].name << " round " << round << " from " << from << " limit " << limit;
    }
  }
  ::operator delete[](buffer, std::align_val_t{64});
}

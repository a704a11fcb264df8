#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <random>
#include <string>

#include "text_scan.h"

namespace {

// The end of a text read plainly: its first zero byte, or its first "[end]"
// lying wholly before limit.
size_t PlainEnd(const char* buffer, size_t from, size_t limit) {
  for (size_t i = from; i < limit; ++i) {
    if (buffer[i] == '\0') return i;
    if (i + 5 <= limit && std::memcmp(buffer + i, "[end]", 5) == 0) return i;
  }
  return limit;
}

// A 64-byte aligned buffer with room for the scan's reads past the end.
struct ScanBuffer {
  static constexpr size_t kSize = 4096;
  char* bytes;
  ScanBuffer() : bytes(static_cast<char*>(::operator new[](kSize + kTextScanSlack, std::align_val_t{64}))) {}
  ~ScanBuffer() { ::operator delete[](bytes, std::align_val_t{64}); }
};

// Bytes near the markers, so that partial and false matches are common.
char RandomByte(std::mt19937& rng) {
  static const char kBytes[] = "[[[eeend]]]\r\nx\x81\x5b";
  unsigned r = rng() % 64;
  if (r == 0) return '\0';
  return kBytes[r % (sizeof kBytes - 1)];
}

}  // namespace

TEST(TextScan, EveryVersionFindsThePlainEndOfRandomTexts) {
  const TextScanner* scanners;
  int count = AvailableTextScanners(&scanners);
  ASSERT_GE(count, 1);
  ScanBuffer buffer;
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    // Random bytes everywhere, also before the start and after the limit,
    // where nothing may count.
    for (size_t i = 0; i < ScanBuffer::kSize + kTextScanSlack; ++i) buffer.bytes[i] = RandomByte(rng);
    size_t from = rng() % 200;
    size_t limit = from + rng() % 600;
    if (round % 3 == 0) {  // long stretches without a mark
      for (size_t i = from; i < limit; ++i) buffer.bytes[i] = static_cast<char>('a' + i % 3);
    }
    if (round % 2 == 0 && limit > from + 5) {  // an "[end]", often across the limit
      size_t at = limit - 1 - rng() % (limit - from < 12 ? limit - from : 12);
      std::memcpy(buffer.bytes + at, "[end]", 5);
    }
    size_t expected = PlainEnd(buffer.bytes, from, limit);
    for (int k = 0; k < count; ++k) {
      const char* end = scanners[k].find(buffer.bytes + from, buffer.bytes + limit);
      ASSERT_EQ(static_cast<size_t>(end - buffer.bytes), expected)
          << scanners[k].name << " round " << round << " from " << from << " limit " << limit;
    }
  }
}

TEST(TextScan, MarkersAtEveryOffsetOfTheVectors) {
  const TextScanner* scanners;
  int count = AvailableTextScanners(&scanners);
  ScanBuffer buffer;
  struct Case {
    const char* what;
    const char* marker;
    size_t length;
    bool ends;  // whether it ends the text when it lies wholly inside
  } cases[] = {
      {"end line", "[end]", 5, true},
      {"zero byte", "\0", 1, true},
      {"almost an end line", "[enD]", 5, false},
      {"bracket and e only", "[e", 2, false},
  };
  for (const Case& c : cases) {
    for (size_t from = 0; from < 70; from += 3) {
      for (size_t at = from; at < from + 200; ++at) {
        std::memset(buffer.bytes, '[', ScanBuffer::kSize + kTextScanSlack);
        std::memcpy(buffer.bytes + at, c.marker, c.length);
        size_t limit = from + 150;
        size_t expected = c.ends && at + c.length <= limit ? at : limit;
        for (int k = 0; k < count; ++k) {
          const char* end = scanners[k].find(buffer.bytes + from, buffer.bytes + limit);
          ASSERT_EQ(static_cast<size_t>(end - buffer.bytes), expected)
              << scanners[k].name << " " << c.what << " from " << from << " at " << at;
        }
      }
    }
  }
}

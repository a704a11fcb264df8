#include "text_scan.h"

#include <cstdint>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define ZOETRIX_X86_VECTORS 1
#include <immintrin.h>
#endif

// Looks for '[' with memchr, then checks for a zero byte before the first
// "[end]" found.
static const char* FindTextEndPlain(const char* p, const char* limit) {
  const char* end = limit;
  if (limit - p >= 5) {
    const char* last = limit - 4;  // "[end]" must start before this
    for (const char* q = p; q < last; ++q) {
      q = static_cast<const char*>(std::memchr(q, '[', static_cast<size_t>(last - q)));
      if (q == nullptr) break;
      if (std::memcmp(q, "[end]", 5) == 0) {
        end = q;
        break;
      }
    }
  }
  const char* zero = static_cast<const char*>(std::memchr(p, '\0', static_cast<size_t>(end - p)));
  return zero != nullptr ? zero : end;
}

#ifdef ZOETRIX_X86_VECTORS

// The vector versions mark every position holding a zero byte, or a '[' with
// an 'e' right after it: a byte of min((a ^ '[') | (e ^ 'e'), a) is zero
// exactly there, where a are the bytes at a position and e those one on.
// They then check the marked positions in order. A pair of bytes keeps false
// marks rare in text art, where '[' alone is common (it is also the second
// byte of Shift-JIS characters such as the long vowel mark), and a mark that
// turns out false costs a mispredicted branch or two.
//
// They read 64-byte blocks from the one holding p (aligned down) to at most
// 191 bytes past limit; marks before p are dropped, and marks at or beyond
// limit end the search.

// True when the candidate at q, below limit, ends the text.
static inline bool EndsText(const char* q, const char* limit) {
  return *q == '\0' || (limit - q >= 5 && std::memcmp(q, "[end]", 5) == 0);
}

// Checks the marked positions of 64 bytes starting at q. Returns the end of
// the text, or null when these bytes hold none.
static inline const char* CheckMarks(const char* q, unsigned long long marks, const char* limit) {
  while (marks != 0) {
    const char* r = q + LowestSetBit(marks);
    if (r >= limit) return limit;
    if (EndsText(r, limit)) return r;
    marks &= marks - 1;
  }
  return nullptr;
}

static inline const char* AlignDown(const char* p) {
  return reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) & ~uintptr_t{63});
}

__attribute__((target("sse2"))) static inline __m128i Marked16(const char* q) {
  const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(q));
  const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
  const __m128i t = _mm_or_si128(_mm_xor_si128(a, _mm_set1_epi8('[')), _mm_xor_si128(e, _mm_set1_epi8('e')));
  return _mm_min_epu8(t, a);
}

__attribute__((target("sse2"))) static inline unsigned long long ZeroBytes16(__m128i m, int shift) {
  return static_cast<unsigned long long>(
             static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(m, _mm_setzero_si128()))))
         << shift;
}

__attribute__((target("sse2"))) static const char* FindTextEndSse2(const char* p, const char* limit) {
  const char* q = AlignDown(p);
  unsigned long long before = ~0ULL << (p - q);
  for (; q < limit; q += 64) {
    const __m128i m0 = Marked16(q), m1 = Marked16(q + 16), m2 = Marked16(q + 32), m3 = Marked16(q + 48);
    const __m128i all = _mm_min_epu8(_mm_min_epu8(m0, m1), _mm_min_epu8(m2, m3));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(all, _mm_setzero_si128())) != 0) {
      unsigned long long marks = ZeroBytes16(m0, 0) | ZeroBytes16(m1, 16) | ZeroBytes16(m2, 32) | ZeroBytes16(m3, 48);
      const char* r = CheckMarks(q, marks & before, limit);
      if (r != nullptr) return r;
    }
    before = ~0ULL;
  }
  return limit;
}

__attribute__((target("avx2"))) static inline __m256i Marked32(const char* q) {
  const __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(q));
  const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 1));
  const __m256i t =
      _mm256_or_si256(_mm256_xor_si256(a, _mm256_set1_epi8('[')), _mm256_xor_si256(e, _mm256_set1_epi8('e')));
  return _mm256_min_epu8(t, a);
}

__attribute__((target("avx2"))) static inline unsigned long long ZeroBytes32(__m256i m, int shift) {
  return static_cast<unsigned long long>(
             static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(m, _mm256_setzero_si256()))))
         << shift;
}

__attribute__((target("avx2"))) static const char* FindTextEndAvx2(const char* p, const char* limit) {
  const char* q = AlignDown(p);
  unsigned long long before = ~0ULL << (p - q);
  for (; q < limit; q += 64) {
    const __m256i m0 = Marked32(q), m1 = Marked32(q + 32);
    const __m256i zero = _mm256_cmpeq_epi8(_mm256_min_epu8(m0, m1), _mm256_setzero_si256());
    if (!_mm256_testz_si256(zero, zero)) {
      const char* r = CheckMarks(q, (ZeroBytes32(m0, 0) | ZeroBytes32(m1, 32)) & before, limit);
      if (r != nullptr) return r;
    }
    before = ~0ULL;
  }
  return limit;
}

// Bytes of a (64 bytes, followed by b) that are zero where a position is
// marked. The bytes one on are put together from a and b with two shifts
// (a second load would straddle two cache lines).
__attribute__((target("avx512f,avx512bw"))) static inline __m512i Marked64(__m512i a, __m512i b) {
  const __m512i a16 = _mm512_maskz_alignr_epi32(0xFFFF, b, a, 4);  // the bytes 16 on
  const __m512i e = _mm512_alignr_epi8(a16, a, 1);                 // the bytes 1 on
  // 0xF6 computes x | (e ^ 'e') in one step.
  const __m512i t =
      _mm512_ternarylogic_epi64(_mm512_xor_si512(a, _mm512_set1_epi8('[')), e, _mm512_set1_epi8('e'), 0xF6);
  return _mm512_min_epu8(t, a);
}

__attribute__((target("avx512f,avx512bw"))) static const char* FindTextEndAvx512(const char* p,
                                                                                const char* limit) {
  const char* q = AlignDown(p);
  unsigned long long before = ~0ULL << (p - q);
  __m512i a = _mm512_load_si512(q);
  for (; q < limit; q += 128) {
    const __m512i b = _mm512_load_si512(q + 64);
    const __m512i c = _mm512_load_si512(q + 128);
    const __m512i m0 = Marked64(a, b);
    const __m512i m1 = Marked64(b, c);
    const __m512i both = _mm512_min_epu8(m0, m1);
    if (_mm512_testn_epi8_mask(both, both) != 0) {
      const char* r = CheckMarks(q, _mm512_testn_epi8_mask(m0, m0) & before, limit);
      if (r == nullptr) r = CheckMarks(q + 64, _mm512_testn_epi8_mask(m1, m1), limit);
      if (r != nullptr) return r;
    }
    before = ~0ULL;
    a = c;
  }
  return limit;
}

#endif  // ZOETRIX_X86_VECTORS

static TextScanner s_scanners[4];
static int s_scannerCount = 0;

static int ListScanners() {
  s_scanners[s_scannerCount++] = TextScanner{"plain", FindTextEndPlain};
#ifdef ZOETRIX_X86_VECTORS
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2")) s_scanners[s_scannerCount++] = TextScanner{"sse2", FindTextEndSse2};
  if (__builtin_cpu_supports("avx2")) s_scanners[s_scannerCount++] = TextScanner{"avx2", FindTextEndAvx2};
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) {
    s_scanners[s_scannerCount++] = TextScanner{"avx512", FindTextEndAvx512};
  }
#endif
  return s_scannerCount;
}

static const char* (*ChooseScanner())(const char*, const char*) {
  if (s_scannerCount == 0) ListScanners();
  return s_scanners[s_scannerCount - 1].find;
}

static const char* (*const s_find)(const char*, const char*) = ChooseScanner();

const char* FindTextEnd(const char* p, const char* limit) { return s_find(p, limit); }

int AvailableTextScanners(const TextScanner** list) {
  if (s_scannerCount == 0) ListScanners();
  *list = s_scanners;
  return s_scannerCount;
}

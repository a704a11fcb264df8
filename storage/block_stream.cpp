#include "block_stream.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "animation.h"
#include "block_index.h"
#include "file_io.h"
#include "frame_header.h"
#include "text_scan.h"

// The chunk holds, from a 64-byte boundary on: up to 63 bytes of padding,
// what is kept of a block that a read cut short (less than a window), the
// fresh chunk read after it (starting on a 64-byte boundary), and the bytes
// the text scan may read past the data.
constexpr size_t kKeepMax = kBlockWindow + 64;
constexpr size_t kChunkCapacity = 64 + kKeepMax + kBlockChunkSize + kTextScanSlack;

alignas(64) static char s_sharedChunk[kChunkCapacity];
static bool s_sharedChunkBusy = false;
static size_t s_chunkSize = kBlockChunkSize;

void SetBlockChunkSize(size_t size) {
  if (size == 0 || size > kBlockChunkSize) size = kBlockChunkSize;
  s_chunkSize = size;
}

bool OpenBlockStream(BlockStream& s, const char* name) {
  if (!OpenInputFile(s.file, name)) return false;
  if (!s_sharedChunkBusy) {
    s_sharedChunkBusy = true;
    s.chunk = s_sharedChunk;
    s.ownsChunk = false;
  } else {
    // Only reached if a stream is opened while another is open; the text
    // scan needs the chunk on a 64-byte boundary.
    s.chunk = static_cast<char*>(::operator new[](kChunkCapacity, std::align_val_t{64}));
    std::memset(s.chunk, 0, kChunkCapacity);
    s.ownsChunk = true;
  }
  s.atEnd = false;
  s.dataEnd = 0;
  s.pos = 0;
  s.textStart = 0;
  s.textLength = 0;
  s.chunkOffset = 0;
  s.readSize = s_chunkSize;
  s.place = 0;
  s.fromStart = true;
  s.mismatch = false;
  s.endLine = false;
  s.textEnd = TextEnd::EndLine;
  // The file's identity comes from the open file, before any of it is read.
  FileIdentity identity;
  s.generation = BeginIndexedWalk(QueryFileIdentity(s.file, &identity) ? &identity : nullptr);
  return true;
}

void CloseBlockStream(BlockStream& s) {
  CloseInputFile(s.file);
  if (s.ownsChunk) {
    ::operator delete[](s.chunk, std::align_val_t{64});
  } else {
    s_sharedChunkBusy = false;
  }
  s.chunk = nullptr;
}

// Keeps the bytes from keep on (keep <= dataEnd, fewer than kKeepMax of
// them) and reads the next chunk of the file after them, into a 64-byte
// boundary. Returns how far positions moved down (negative: up).
static ptrdiff_t Refill(BlockStream& s, size_t keep) {
  size_t kept = s.dataEnd - keep;
  size_t pad = (64 - kept % 64) % 64;
  std::memmove(s.chunk + pad, s.chunk + keep, kept);
  ptrdiff_t shift = static_cast<ptrdiff_t>(keep) - static_cast<ptrdiff_t>(pad);
  s.pos = static_cast<size_t>(static_cast<ptrdiff_t>(s.pos) - shift);
  s.chunkOffset = static_cast<uint64_t>(static_cast<int64_t>(s.chunkOffset) + shift);
  size_t want = s.readSize;
  s.readSize = s_chunkSize;
  size_t got = ReadInputFile(s.file, s.chunk + pad + kept, want);
  s.dataEnd = pad + kept + got;
  if (got < want) s.atEnd = true;
  return shift;
}

// Makes up to want bytes from pos on available, as far as the file has them.
static inline void Need(BlockStream& s, size_t want) {
  while (!s.atEnd && s.pos + want > s.dataEnd) Refill(s, s.pos < s.dataEnd ? s.pos : s.dataEnd);
}

// The value of a number line of count (1 to 9) characters, as "%d" reads it;
// old when they are not a number.
static int ParseNumberLine(const char* p, size_t count, int old) {
  char line[10];
  std::memcpy(line, p, count);
  line[count] = '\0';
  int value;
  return ParseInt(line, &value) != nullptr ? value : old;
}

// The index of the lowest byte of x (not 0) that has a bit set.
static inline unsigned LowestSetByte(uint64_t x) { return LowestSetBit(x) / 8; }

#if defined(_WIN32) || (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

// Reads the number line at pos. Most number lines are a few digits and a CR,
// which 8 bytes read at once (first byte lowest) settle.
static inline int ReadNumberLineAt(BlockStream& s, int* number) {
  if (kLittleEndian && s.pos + 16 <= s.dataEnd) {
    uint64_t v;
    std::memcpy(&v, s.chunk + s.pos, 8);
    const uint64_t ones = 0x0101010101010101ULL;
    const uint64_t x = v ^ (ones * '\r');
    const uint64_t cr = (x - ones) & ~x & (ones * 0x80);  // lowest set byte: the first CR
    if (cr != 0) {
      const unsigned count = LowestSetByte(cr);
      if (count == 0) return 0;
      const uint64_t in = (~0ULL) >> (64 - 8 * count);
      const uint64_t high = ones * 0xF0, digitHigh = ones * 0x30;
      if ((v & high & in) == (digitHigh & in) && ((v + ones * 6) & high & in) == (digitHigh & in)) {
        int value = 0;
        for (unsigned i = 0; i < count; ++i) value = value * 10 + (s.chunk[s.pos + i] - '0');
        *number = value;
        s.pos += count + 2;
        return static_cast<int>(count);
      }
    }
  }
  Need(s, 9);
  size_t available = s.pos < s.dataEnd ? s.dataEnd - s.pos : 0;
  size_t most = available < 9 ? available : 9;
  const char* p = s.chunk + s.pos;
  size_t count = 0;
  while (count < most && p[count] != '\r') ++count;
  if (count == 0) return 0;
  *number = ParseNumberLine(p, count, *number);
  s.pos += count + 2;
  return static_cast<int>(count);
}

// Reads the number line at pos and notes it in the block index: this is the
// one place where a walk knows where a block starts.
static inline int ReadNumberLine(BlockStream& s, int* number) {
  const uint64_t at = s.chunkOffset + s.pos;  // a refill moves both, never their sum
  const int count = ReadNumberLineAt(s, number);
  if (count != 0 && s.generation != 0 && !NoteIndexedBlock(s.generation, s.place++, at, *number, s.fromStart)) {
    s.mismatch = true;
    s.generation = 0;
  }
  return count;
}

// Finds the text starting at pos. Returns false at the end of the file.
static inline bool FindText(BlockStream& s) {
  Need(s, 1);
  if (s.pos >= s.dataEnd) return false;
  size_t from = s.pos;  // where the scan goes on
  const char* end;
  size_t limit;
  for (;;) {
    size_t windowEnd = s.pos + kBlockWindow;
    limit = windowEnd < s.dataEnd ? windowEnd : s.dataEnd;
    end = FindTextEnd(s.chunk + from, s.chunk + limit);
    if (end < s.chunk + limit || limit == windowEnd || s.atEnd) break;
    // The window runs on past the bytes read. An "[end]" may begin in the
    // last 4 bytes scanned, so the scan resumes there.
    from = limit >= s.pos + 4 ? limit - 4 : s.pos;
    from = static_cast<size_t>(static_cast<ptrdiff_t>(from) - Refill(s, s.pos));
  }
  s.textStart = s.pos;
  s.textLength = static_cast<size_t>(end - (s.chunk + s.pos));
  s.endLine = end < s.chunk + limit && *end != '\0';
  s.textEnd = s.endLine ? TextEnd::EndLine
              : end < s.chunk + limit ? TextEnd::ZeroByte
              : limit == s.pos + kBlockWindow ? TextEnd::Window : TextEnd::FileEnd;
  // Without its "[end]" a text is at most a frame's text.
  if (!s.endLine && s.textLength > static_cast<size_t>(kFrameTextMax)) s.textLength = kFrameTextMax;
  return true;
}

// The first CR LF "[end]" CR LF in [p, end), or null.
static const char* FindEndLine(const char* p, const char* end) {
  static const char kLine[] = "\r\n[end]\r\n";
  const size_t kLength = sizeof kLine - 1;
  while (end - p >= static_cast<ptrdiff_t>(kLength)) {
    const void* cr = std::memchr(p, '\r', static_cast<size_t>(end - p) - (kLength - 1));
    if (cr == nullptr) return nullptr;
    p = static_cast<const char*>(cr);
    if (std::memcmp(p, kLine, kLength) == 0) return p;
    ++p;
  }
  return nullptr;
}

// Moves pos just past the first CR LF "[end]" CR LF at or after it, or to
// the end of the file (so that the sequence ends) if there is none.
static void SkipPastEndLine(BlockStream& s) {
  for (;;) {
    const char* from = s.chunk + (s.pos < s.dataEnd ? s.pos : s.dataEnd);
    const char* found = FindEndLine(from, s.chunk + s.dataEnd);
    if (found != nullptr) {
      s.pos = static_cast<size_t>(found - s.chunk) + 9;
      return;
    }
    if (s.atEnd) {
      s.pos = s.dataEnd;
      return;
    }
    // The last 8 bytes may begin the line: they are kept for the next scan.
    if (s.dataEnd - static_cast<size_t>(from - s.chunk) > 8) s.pos = s.dataEnd - 8;
    Refill(s, s.pos < s.dataEnd ? s.pos : s.dataEnd);
  }
}

int ReadBlockNumber(BlockStream& s, int* number) { return ReadNumberLine(s, number); }

bool ReadBlockText(BlockStream& s, const char** text, int* length) {
  if (!FindText(s)) return false;
  *text = s.chunk + s.textStart;
  *length = static_cast<int>(s.textLength);
  return true;
}

void AdvanceToNextBlock(BlockStream& s) {
  s.pos = s.textStart + s.textLength;
  if (s.endLine) {
    s.pos += 7;
  } else {
    SkipPastEndLine(s);
  }
}


// Moves the walk to offset in the file, reading size bytes there first.
static void MoveTo(BlockStream& s, uint64_t offset, size_t size) {
  s.atEnd = !SeekInputFile(s.file, offset);  // a failed seek reads as the end
  s.dataEnd = 0;
  s.pos = 0;
  s.chunkOffset = offset;
  s.readSize = size;
}

// Puts the walk back at the file's start, with a new index begun for it.
static void Restart(BlockStream& s) {
  DropBlockIndex();
  FileIdentity identity;
  s.generation = BeginIndexedWalk(QueryFileIdentity(s.file, &identity) ? &identity : nullptr);
  s.fromStart = true;
  s.place = 0;
  s.mismatch = false;
  MoveTo(s, 0, s_chunkSize);
}

// Moves the walk to the indexed block where the search for n starts, once
// the number line there reads as the index says. Returns false when the
// index holds nothing for this file, and also, with the walk put back at the
// file's start, when the check fails. *number receives the number held
// before the block.
static bool ResumeFromIndex(BlockStream& s, uint32_t n, int* number) {
  IndexedBlock block;
  if (s.generation == 0 || !FindIndexedBlock(s.generation, n, &block)) return false;
  // The block and the next number line's first bytes, in one read of no more
  // than a chunk.
  uint64_t size = block.readLength + 16;
  MoveTo(s, block.offset, static_cast<size_t>(size < s_chunkSize ? size : s_chunkSize));
  int read = block.heldBefore;
  if (ReadNumberLineAt(s, &read) == 0 || read != block.number) {
    Restart(s);
    return false;
  }
  s.pos = static_cast<size_t>(block.offset - s.chunkOffset);  // the number line is read again below
  s.fromStart = false;
  s.place = block.place;
  *number = block.heldBefore;
  CountIndexedWalk();
  return true;
}

// FindBlock's walk from where the stream stands, holding number.
static BlockSearch Search(BlockStream& s, uint32_t n, int number, const char** text, int* length) {
  for (;;) {
    if (ReadNumberLine(s, &number) == 0 || s.mismatch || !FindText(s)) return BlockSearch::Ended;
    // Numbers compare as unsigned: a negative one is above every frame.
    if (static_cast<uint32_t>(number) >= n) {
      *text = s.chunk + s.textStart;
      *length = static_cast<int>(s.textLength);
      return static_cast<uint32_t>(number) == n ? BlockSearch::Found : BlockSearch::Passed;
    }
    AdvanceToNextBlock(s);
  }
}

BlockSearch FindBlock(BlockStream& s, uint32_t n, const char** text, int* length) {
  int number = 0;
  if (ResumeFromIndex(s, n, &number)) {
    BlockSearch found = Search(s, n, number, text, length);
    if (!s.mismatch) return found;
    Restart(s);
    number = 0;
  }
  return Search(s, n, number, text, length);
}

int BlockWindow(BlockStream& s, const char** window) {
  Need(s, kFrameTextMax);
  size_t available = s.pos < s.dataEnd ? s.dataEnd - s.pos : 0;
  *window = s.chunk + s.pos;
  return static_cast<int>(available < kFrameTextMax ? available : kFrameTextMax);
}

void ObserveNumberLine(BlockStream& s, int count, NumberLineFacts* facts) {
  size_t start = s.pos - static_cast<size_t>(count) - 2;
  // The CR LF after the line may not have been read yet.
  while (!s.atEnd && s.pos > s.dataEnd) start -= static_cast<size_t>(Refill(s, start));
  facts->offset = s.chunkOffset + start;
  std::memcpy(facts->text, s.chunk + start, static_cast<size_t>(count));
  facts->text[count] = '\0';
  int value;
  facts->number = ParseInt(facts->text, &value) != nullptr;
  const size_t after = start + static_cast<size_t>(count);
  facts->cr = after < s.dataEnd && s.chunk[after] == '\r';
  facts->lf = after + 1 < s.dataEnd && s.chunk[after + 1] == '\n';
}

TextEnd ObserveTextEnd(BlockStream& s, const char** text) {
  if (s.textEnd != TextEnd::EndLine) return s.textEnd;
  // The two bytes after "[end]": the text stays from pos on.
  Need(s, s.textLength + 7);
  s.textStart = s.pos;
  *text = s.chunk + s.textStart;
  const size_t after = s.textStart + s.textLength + 5;
  if (after >= s.dataEnd) return TextEnd::EndLine;
  const bool crLf = s.chunk[after] == '\r' && (after + 1 >= s.dataEnd || s.chunk[after + 1] == '\n');
  return crLf ? TextEnd::EndLine : TextEnd::EndInLine;
}

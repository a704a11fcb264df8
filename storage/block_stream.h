// Reading the all-in-one file block by block. A block is a number line, the
// frame's text and an "[end]" line. Every reader of the all-in-one file goes
// through these functions, which walk the file once, front to back, in large
// chunks, and return exactly what reading it block by block returns:
//
// - A number line is read up to a CR, at most 9 characters; none read ends
//   the sequence. Its value is parsed as a decimal integer (a line that is not
//   a number keeps the last value), and reading goes on 2 bytes after it.
// - A block's window is the 32007 bytes after that: room for a text of
//   32000 bytes, the CR LF that export adds and the 7 bytes of "[end]" CR LF
//   (fewer at the end of the file; none ends the sequence). The window's
//   first zero byte or first "[end]" lying wholly within it ends the text.
// - A text ended by "[end]" is followed by the next number line 7 bytes
//   after it (past "[end]" CR LF), which may be past the end of the file.
//   Such a text may be 32002 bytes long.
// - A text ended otherwise (by a zero byte, or by nothing within the window,
//   when it is cut to its first 32000 bytes) is followed by the next number
//   line just after the first CR LF "[end]" CR LF that follows the text; if
//   none follows, the sequence ends. So a damaged or foreign block never
//   makes a number line out of the middle of its text.
//
// Between streams only the block index (block_index.h) is kept: a search
// goes straight to an indexed block only while the file is provably the one
// indexed, and checks the number line there; anything else reads the file
// from its start. Either way the answer is what reading the file as it is on
// disk block by block gives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "animation.h"
#include "file_io.h"

// Bytes asked of the file at a time.
constexpr size_t kBlockChunkSize = 256 * 1024;

// Why the text found last ended (see ObserveTextEnd).
enum class TextEnd : uint8_t {
  EndLine,    // at an "[end]" followed by CR LF, or by the file's end
  EndInLine,  // at an "[end]" followed by anything else
  ZeroByte,   // at a zero byte
  Window,     // nothing ended it within the window: cut to a frame's text
  FileEnd,    // the file ended first
};

struct BlockStream {
  InputFile file;
  char* chunk;        // the bytes being read; text pointers handed out point here
  bool ownsChunk;     // chunk was allocated for this stream (the shared one was busy)
  bool atEnd;         // the rest of the file is all in chunk
  size_t dataEnd;     // bytes of the file held in chunk
  size_t pos;         // reading position in chunk; may lie a few bytes past dataEnd
  size_t textStart;   // the text last found, as an offset in chunk
  size_t textLength;
  uint64_t chunkOffset;  // the file offset of chunk[0]
  size_t readSize;       // bytes to ask of the file at the next read
  uint32_t generation;   // of the block index this walk notes into; 0: none
  uint32_t place;        // the walk's place: number lines read so far
  bool fromStart;        // the walk began at the file's start
  bool mismatch;         // a number line disagreed with the index
  bool endLine;          // the text found last ended at an "[end]"
  TextEnd textEnd;       // and why, as far as the scan tells
};

// Bytes after a number line in which a block's text and its "[end]" are
// looked for: a frame's text, CR LF, "[end]" (the CR LF after it needs no
// room: the next number line is read wherever it is).
constexpr size_t kBlockWindow = kFrameTextMax + 7;

// Opens name for block reading from its start. Returns false (and needs no
// close) when the file cannot be opened.
bool OpenBlockStream(BlockStream& s, const char* name);
void CloseBlockStream(BlockStream& s);

// Reads the next number line. Returns the count of characters read, 0 when
// the sequence has ended; when it is not 0, *number receives the line's value
// if the line is a number.
int ReadBlockNumber(BlockStream& s, int* number);

// Finds the text of the block whose number line was just read. Returns false
// when the sequence has ended. *text points into the stream's chunk (not
// zero-terminated) and stays valid until the next call on the stream; it may
// be up to 32002 bytes long, more than a frame's text holds.
bool ReadBlockText(BlockStream& s, const char** text, int* length);

// Moves to the next block's number line: 7 bytes after the text found last
// if "[end]" ended it, else after the first CR LF "[end]" CR LF that follows
// it (or to the end of the file, where none does).
void AdvanceToNextBlock(BlockStream& s);

enum class BlockSearch {
  Found,   // the block numbered n
  Passed,  // a block numbered above n (as unsigned numbers) came first
  Ended,   // the sequence ended first
};

// Reads blocks until one numbered n or above, on a stream just opened: from
// the indexed block where that search starts when the index holds this file,
// else from the start of the file. When one is found, *text and *length are
// its text, as ReadBlockText gives.
BlockSearch FindBlock(BlockStream& s, uint32_t n, const char** text, int* length);

// The raw window after the number line just read: up to 32000 bytes, with no
// cut at "[end]" or at a zero byte. Returns its length (0 at the end of the
// file); *window is valid until the next call on the stream.
int BlockWindow(BlockStream& s, const char** window);

// What the reader decided about the block it read last, for a checker that
// tells where a file will not read as written. Observing changes nothing
// that the reader returns.

// A number line as ReadBlockNumber read it.
struct NumberLineFacts {
  uint64_t offset;  // where it starts in the file
  char text[10];    // the characters read (1 to 9), zero-terminated
  bool number;      // they are a number (else the line kept the number before it)
  bool cr, lf;      // a CR follows them, and an LF after that
};
// Call right after ReadBlockNumber returned count (not 0).
void ObserveNumberLine(BlockStream& s, int count, NumberLineFacts* facts);

// Why the text ReadBlockText just found ended. Call before AdvanceToNextBlock;
// it may read on to see the bytes after an "[end]", and then updates *text,
// which ReadBlockText gave.
TextEnd ObserveTextEnd(BlockStream& s, const char** text);

// Chunk size for tests that split files at many places; 0 restores
// kBlockChunkSize. Values are limited to 1 ... kBlockChunkSize.
void SetBlockChunkSize(size_t size);

// The all-in-one file's block algorithm written as plainly as possible over a
// stream: a 32007-byte read after every number line and a relative seek to
// the next one, or a byte-by-byte search for the next end line after a text
// that did not end at "[end]". The tests hold the real reader to what this
// returns.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "animation.h"

namespace reference {

// The bytes read after a number line, and a buffer for them and a zero.
constexpr int kWindow = kFrameTextMax + 7;
constexpr int kBufferSize = kWindow + 1;

// Reads the next number line (at most 9 characters, up to a CR) into buffer
// (at least 10 bytes). Returns the count read, 0 when the sequence has ended;
// otherwise *number receives the value if the line is a number, and the
// stream steps 2 bytes forward.
int ReadBlockNumber(std::istream& in, char* buffer, int* number);

// Clears buffer (kBufferSize bytes), reads up to kWindow bytes into it and
// cuts the text at its first "[end]". Returns the count read (0: the sequence
// has ended); *textLength receives the text's length up to its first zero
// byte, at most 32000 unless *endLine, which tells whether "[end]" ended it.
int ReadBlockText(std::istream& in, char* buffer, int* textLength, bool* endLine);

// After a text ended by "[end]", moves the stream by textLength + 2 + 5 - got
// bytes: just past "[end]" and its CR LF. After any other text, to just after
// the first CR LF "[end]" CR LF following the text, or to the end of the file.
void AdvanceToNextBlock(std::istream& in, int got, int textLength, bool endLine);

// Frame n read from the all-in-one file at path as the frame loader does.
struct Frame {
  std::string text;
  bool ended = false;  // the blocks ran out first (playback stops)
};
Frame ReadFrame(const std::string& path, uint32_t n);

// The frame files expansion writes, in the order it writes them: the number
// and text of every block whose text is not empty.
std::vector<std::pair<int, std::string>> ExpandedBlocks(const std::string& path);

// The first block's raw window (up to 32000 bytes after its number line, not
// cut at "[end]") when that number line reads as frame 0; false otherwise.
bool FirstBlockWindow(const std::string& path, std::string* window);

}  // namespace reference

// Reading the all-in-one file block by block. A block is a number line,
// the frame's text and an "[end]" line.
#pragma once

#include <istream>

// Reads the next number line (at most 9 characters, up to a CR) into buffer,
// which must hold at least 10 bytes. Returns the count of characters read;
// 0 means the block sequence has ended. When characters were read, number
// receives their value as a decimal integer (it keeps its old value if they
// are not a number) and the stream steps 2 bytes forward over the CR LF.
int ReadBlockNumber(std::istream& in, char* buffer, int* number);

// Clears buffer (kTextBufferSize bytes) and reads up to 32000 bytes into it;
// returns the count read (0: the sequence has ended). The text is cut at its
// first "[end]"; *textLength receives the length of what remains.
int ReadBlockText(std::istream& in, char* buffer, int* textLength);

// Moves the stream to the next block's number line, just after the "[end]"
// line of the block whose text ReadBlockText returned.
void AdvanceToNextBlock(std::istream& in, int got, int textLength);

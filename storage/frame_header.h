// The frame header: a block in braces at the start of a frame's text that
// gives colours, a sound, or makes the frame a repeat of another frame.
#pragma once

#include <cstdint>

#include "animation.h"

// "%d %d %d %d %d %d" of any six ints fits.
constexpr int kColourTextSize = 80;

// Largest header with both blocks, without the body; SetHeaderBlock adds
// less than that to a text.
constexpr int kHeaderMax = 3 + 7 + (kColourTextSize - 1) + 2 + 7 + (kPathMax - 1) + 2 + 3;
// A buffer that holds any frame's text with a header block added.
constexpr int kComposedSize = kHeaderMax + kTextBufferSize;

struct FrameRecord {
  int hasColour;
  int hasSound;
  char colourText[kColourTextSize];
  char soundPath[kPathMax];
  char body[kTextBufferSize];
  int isRepeat;            // the frame on show was loaded through its "same" line ...
  uint32_t repeatedFrame;  // ... which names this frame
};

extern FrameRecord g_frameRecord;

// The position two bytes past the first CR at or after p (past CR LF), or
// null if there is none. Never steps past the terminating zero.
const char* SkipLine(const char* p);

// If line is a "same N" directive, loads frame N in place of this frame and
// returns 1; otherwise returns 0. A line without a number or with a negative
// one, or one that would repeat a frame already being loaded in this chain,
// is not followed.
int ParseSameLine(const char* base, const char* line);

// If line is a "same N" directive that is followed (a number, not negative),
// puts N into *target and returns 1; otherwise returns 0. Loads nothing.
int RepeatTarget(const char* line, uint32_t* target);

// If a colour block starts at line, applies its six values to PenColour and
// BackColour, records them and returns 1; otherwise returns 0.
int ParseColourBlock(const char* line);

// If a sound block starts at line, takes its path line into the sound cue and
// the frame record and returns 1; otherwise returns 0.
int ParseSoundBlock(const char* line);

// Where the body of text starts: after its header, if it starts with one
// (a "{" line, a colour block, a sound block, and everything up to the first
// "}" line), else at text. Parses nothing and changes nothing.
const char* BodyAfterHeader(const char* text);

// The path line of the sound block in the header at the start of text, as
// the loader finds it (after a colour block, if there is one), or null when
// text has no header or its header no sound block. Parses nothing.
const char* SoundPathLine(const char* text);

enum class HeaderBlock { Colour, Sound };

// Writes text into dest with one block of its header set to value (the
// "color" or "sound" line, then value on a line of its own): the block is
// replaced where a load reads it, or added there. Text that does not start
// with a complete header (a "{" line, and after the blocks a line with "}")
// is all body: a new header with the block goes in front of it. Every other
// byte of text is kept. Never writes past destSize bytes; returns the length
// written.
int SetHeaderBlock(const char* text, HeaderBlock block, const char* value, char* dest, size_t destSize);

// Parses a decimal integer the way "%d" does (leading white space, optional
// sign, digits), saturating at the int range. Returns the position after the
// digits, or null when there is no number.
const char* ParseInt(const char* p, int* value);

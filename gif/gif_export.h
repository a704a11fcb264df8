// An animation as an animated GIF: frames 0 up to the last stored frame as
// playback shows them, each drawn as the frame view draws it while playing,
// written through the file layer's safe path. Platform-neutral: the drawing
// comes from the platform's painter.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "animation.h"

// Draws frame text as the frame view does: the platform's renderer.
struct FramePainter {
  // The size text takes as drawn from the top-left corner: its widest line
  // and the height of its lines. False when it cannot be measured.
  std::function<bool(const char* text, int* width, int* height)> measure;
  // Paints a frame of width × height pixels into pixels (0x00RRGGBB, rows
  // top first) as the view paints one: the background, a one-pixel border in
  // the pen colour, the text from the top-left corner. False on failure.
  std::function<bool(const char* text, const ColourTriple& pen, const ColourTriple& back, int width, int height,
                     uint32_t* pixels)>
      paint;
};

struct GifJob {
  const char* base;  // the animation's base path
  int storageMode;   // FrameFiles or AllInOne
  ColourTriple pen;  // the colours on show when playback starts
  ColourTriple back;
  unsigned delay;    // of every frame, hundredths of a second
};

enum class GifOutcome {
  Written,
  NoFrames,     // no frame has a file or a block
  TooLarge,     // the picture would pass 65,535 pixels a side or 16,777,216 in all
  NotDrawn,     // the painter failed
  OutOfMemory,  // memory ran out; nothing was written
  NotWritten,   // the file could not be written: error holds the reason
};

struct GifResult {
  GifOutcome outcome = GifOutcome::NotWritten;
  uint32_t frames = 0;  // animation frames in the GIF (0 ... the last stored)
  uint32_t images = 0;  // GIF frames they became
  uint64_t bytes = 0;
  int width = 0, height = 0;
  std::string error;  // the system's reason, for NotWritten
};

// The GIF delay of a frame shown for milliseconds: hundredths, rounded, at
// least 2 (browsers show 0 and 1 as a tenth of a second) and at most 65,535.
unsigned GifDelay(int milliseconds);

// Writes the GIF of job to target, replacing it only once it is complete.
GifResult ExportGif(const GifJob& job, const FramePainter& painter, const char* target);

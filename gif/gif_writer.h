// An animated GIF (GIF89a) written frame by frame: pictures of one size, each
// shown for a delay, looping forever. A frame equal to the one before adds its
// delay to it; a frame that differs in part is stored as the rectangle that
// changed, its unchanged pixels transparent where that compresses better. Each image
// carries the colours it has, exactly (a quantiser reduces more than 256).
// Platform-neutral.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "lzw_encoder.h"
#include "palette.h"

// The longest delay one GIF frame holds, in hundredths of a second.
constexpr unsigned kGifDelayMax = 65535;

// Where the bytes go; false when they could not be written.
using GifOutput = std::function<bool(const uint8_t* data, size_t size)>;

struct GifWriter {
  int width = 0;
  int height = 0;
  GifOutput out;
  bool failed = false;
  uint64_t bytes = 0;    // bytes written so far
  uint32_t images = 0;   // frames of the file, the one held back included
  std::vector<uint32_t> shown;  // the picture as the frames so far compose it
  Palette global;               // the first frame's colours: the file's table
  int globalBits = 0;
  // The frame last added is held back until the next one differs, since
  // equal frames add to its delay: its image (descriptor onwards), its
  // delay, and its transparent index or -1.
  std::vector<uint8_t> held;
  unsigned heldDelay = 0;
  int heldTransparent = -1;
  // Scratch of the frame being stored.
  std::vector<uint32_t> area;
  std::vector<uint8_t> indices;
  std::vector<uint8_t> other;  // its image encoded the other way
  std::unique_ptr<LzwTable> lzw;
};

// Starts a GIF of width × height pixels (1 ... 65535 each). Nothing is
// written until the first frame.
void StartGif(GifWriter& w, int width, int height, GifOutput out);

// Adds a picture of width × height pixels, 0x00RRGGBB, rows top first, shown
// for delay hundredths of a second (1 ... kGifDelayMax). Returns false once
// writing has failed. Memory that runs out throws std::bad_alloc.
bool AddGifFrame(GifWriter& w, const uint32_t* pixels, unsigned delay);

// Writes the frame held back and the end of the file. Returns false when
// any write failed or no frame was added.
bool FinishGif(GifWriter& w);

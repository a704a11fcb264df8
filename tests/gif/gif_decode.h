// GIF files read back with giflib: every frame as the file composes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedFrame {
  std::vector<uint32_t> pixels;  // the whole picture after this frame, 0x00RRGGBB
  int delay = 0;                 // hundredths of a second
  int left = 0, top = 0, width = 0, height = 0;  // the image's rectangle
};

struct DecodedGif {
  std::string error;  // empty when the file decoded
  int width = 0, height = 0;
  bool loopsForever = false;
  std::vector<DecodedFrame> frames;
};

// Decodes bytes; every frame must leave the picture for the next to draw
// over (disposal "do not dispose"), as the writer's frames do.
DecodedGif DecodeGif(const std::string& bytes);

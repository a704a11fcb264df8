// Opening and reading one frame file, baseNNNN.txt, through the file layer.
// A name that does not fit its buffer counts as a file that cannot be opened.
#pragma once

#include <cstdint>
#include <fstream>

bool OpenFrameInput(std::ifstream& in, const char* base, uint32_t n);
// Creates or truncates the frame file.
bool OpenFrameOutput(std::ofstream& out, const char* base, uint32_t n);

// Clears WorkBuffer and reads up to 32000 bytes of frame n into it, so the
// text is zero-terminated. Returns false, leaving the text empty, when the
// file cannot be opened.
bool ReadFrameFile(const char* base, uint32_t n);

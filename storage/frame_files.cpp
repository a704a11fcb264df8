#include "frame_files.h"

#include <cstring>

#include "animation.h"
#include "file_io.h"

bool OpenFrameInput(std::ifstream& in, const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) && OpenInput(in, name);
}

bool OpenFrameOutput(std::ofstream& out, const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) && OpenOutput(out, name);
}

bool ReadFrameFile(const char* base, uint32_t n) {
  std::ifstream in;
  if (!OpenFrameInput(in, base, n)) {
    // Export tries every slot: a missing frame costs no full clear.
    WorkBuffer[0] = '\0';
    return false;
  }
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  in.read(WorkBuffer, kFrameTextMax);
  return true;
}

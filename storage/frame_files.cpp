#include "frame_files.h"

#include <cstring>

#include "animation.h"
#include "frame_loader.h"

bool OpenFrameInput(std::ifstream& in, const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) && OpenInput(in, name);
}

bool ReadFrameFile(const char* base, uint32_t n, uint64_t* fileSize) {
  std::ifstream in;
  if (!OpenFrameInput(in, base, n)) {
    // Export tries every slot: a missing frame costs no full clear.
    WorkBuffer[0] = '\0';
    return false;
  }
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  in.read(WorkBuffer, kFrameTextMax);
  if (fileSize != nullptr) {
    in.clear();
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    *fileSize = size > 0 ? static_cast<uint64_t>(size) : 0;
  }
  return true;
}

// Forms frame n's name for writing. A name too long to fit is told as a
// failed write, named in full.
static bool FrameNameForWriting(char (&name)[kPathMax], const char* base, uint32_t n) {
  if (FrameFileName(name, sizeof name, base, n)) return true;
  char whole[kPathMax + 32];
  FrameFileName(whole, sizeof whole, base, n);
  TellWriteFailure(whole, kErrorNameTooLong);
  return false;
}

bool BeginFrameWrite(SafeWriter& w, const char* base, uint32_t n, unsigned flags) {
  char name[kPathMax];
  if (!FrameNameForWriting(name, base, n)) return false;
  if (BeginSafeWrite(w, name, flags)) return true;
  TellWriteFailure(name, w.error);
  return false;
}

bool CommitAndTell(SafeWriter& w) {
  if (CommitSafeWrite(w)) return true;
  TellWriteFailure(w.target, w.error);
  return false;
}

bool WriteFrameFile(const char* base, uint32_t n, const char* data, size_t size, unsigned flags,
                    SafeWriteSeries* series) {
  char name[kPathMax];
  if (!FrameNameForWriting(name, base, n)) return false;
  int error = 0;
  bool written = series != nullptr ? WriteFileInSeries(*series, name, data, size, flags, &error)
                                   : WriteFileSafely(name, data, size, flags, &error);
  if (written) return true;
  TellWriteFailure(name, error);
  return false;
}

#include "frame_files.h"

#include <cstring>

#include "animation.h"
#include "frame_loader.h"

bool OpenFrameInput(std::ifstream& in, const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) && OpenInput(in, name);
}

// Through the system's own calls: under Wine a stream would cost every
// frame file several more requests to the Wine server (a quarter of its
// reading time), and whole-animation operations read thousands.
bool ReadFrameFile(const char* base, uint32_t n, uint64_t* fileSize) {
  char name[kPathMax];
  InputFile in;
  if (!FrameFileName(name, sizeof name, base, n) || !OpenInputFile(in, name)) {
    // A missing frame costs no full clear.
    WorkBuffer[0] = '\0';
    return false;
  }
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  ReadInputFile(in, WorkBuffer, kFrameTextMax);
  if (fileSize != nullptr && !InputFileSize(in, fileSize)) *fileSize = 0;
  CloseInputFile(in);
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

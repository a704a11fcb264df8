#include "frame_shift.h"

#include "file_io.h"
#include "frame_loader.h"

FrameShift Reversed(const FrameShift& shift) {
  FrameShift back{-shift.step, {}};
  back.frames.reserve(shift.frames.size());
  for (auto it = shift.frames.rbegin(); it != shift.frames.rend(); ++it) {
    back.frames.push_back(static_cast<uint32_t>(static_cast<int64_t>(*it) + shift.step));
  }
  return back;
}

// Renames frame's file to the number frame + step. Names that do not fit
// name no file: nothing moves.
static RenameResult MoveFrameFile(const char* base, uint32_t frame, int step, char (&from)[kPathMax], int* error) {
  char to[kPathMax];
  uint32_t target = static_cast<uint32_t>(static_cast<int64_t>(frame) + step);
  if (!FrameFileName(from, sizeof from, base, frame) || !FrameFileName(to, sizeof to, base, target)) {
    return RenameResult::NoSource;
  }
  return TryRename(from, to, error);
}

bool ShiftFrameFiles(const char* base, FrameShift& shift, ShiftFailure* failure, bool exact) {
  FrameShift made{shift.step, {}};
  for (uint32_t frame : shift.frames) {
    char from[kPathMax] = "";
    int error = 0;
    RenameResult result = MoveFrameFile(base, frame, shift.step, from, &error);
    if (exact && result != RenameResult::Done && result != RenameResult::Failed) {
      error = result == RenameResult::NoSource ? kErrorMissing : kErrorNameTaken;
      result = RenameResult::Failed;
    }
    if (result == RenameResult::Done) {
      made.frames.push_back(frame);
    } else if (result == RenameResult::Failed) {
      CopyText(failure->file, sizeof failure->file, from);
      failure->error = error;
      UndoFrameShift(base, made, failure);
      shift.frames.clear();
      return false;
    }
  }
  shift.frames.swap(made.frames);
  return true;
}

void UndoFrameShift(const char* base, const FrameShift& shift, ShiftFailure* failure) {
  FrameShift back = Reversed(shift);
  for (uint32_t frame : back.frames) {
    char from[kPathMax];
    int error = kErrorNameTaken;
    RenameResult result = MoveFrameFile(base, frame, back.step, from, &error);
    // A file that cannot go back stays under its new number; only the first
    // such is told. One that is gone has nothing to put back.
    if (result != RenameResult::Done && result != RenameResult::NoSource && failure->stranded[0] == '\0') {
      CopyText(failure->stranded, sizeof failure->stranded, from);
      failure->strandedError = error;
    }
  }
}

bool RemoveFrameAndShift(const char* base, uint32_t frame, FrameShift& shift, ShiftFailure* failure, bool exact) {
  // Until the end the frame's file can come back, and a process killed
  // midway leaves it aside rather than nowhere.
  char name[kPathMax];
  char aside[kSafeNameSize] = "";
  if (FrameFileName(name, sizeof name, base, frame)) {
    RenameResult result = MoveAside(name, aside, &failure->error);
    if (result == RenameResult::Failed) {
      CopyText(failure->file, sizeof failure->file, name);
      return false;
    }
    if (result != RenameResult::Done) aside[0] = '\0';
  }
  bool done = ShiftFrameFiles(base, shift, failure, exact);
  if (done && aside[0] != '\0' && !RemoveFile(aside, &failure->error)) {
    CopyText(failure->file, sizeof failure->file, name);
    UndoFrameShift(base, shift, failure);
    done = false;
  }
  int error = kErrorNameTaken;
  if (!done && aside[0] != '\0' && TryRename(aside, name, &error) != RenameResult::Done &&
      failure->stranded[0] == '\0') {
    CopyText(failure->stranded, sizeof failure->stranded, aside);
    failure->strandedError = error;
  }
  return done;
}

void TellShiftFailure(const ShiftFailure& failure) {
  if (g_viewHooks.ReportFrameOperationFailure == nullptr) return;
  char reason[256];
  char strandedReason[256] = "";
  DescribeFileError(failure.error, reason, sizeof reason);
  if (failure.stranded[0] != '\0') DescribeFileError(failure.strandedError, strandedReason, sizeof strandedReason);
  g_viewHooks.ReportFrameOperationFailure(failure.file, reason, failure.stranded, strandedReason);
}

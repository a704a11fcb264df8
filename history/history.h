// The operation history of the open animation: each frame operation that
// changed files is a step that can be undone and redone. Steps keep what
// they need in memory only: the bytes a write replaced and wrote, the frame
// a deletion removed, and for the files an insertion or deletion moved, the
// moves and a proof of each file (its size and SHA-256). Nothing is written
// beside the animation.
//
// Before a step is undone or redone, every file it will touch must still
// hold what the step left there (the same bytes, or still absent); else the
// step is refused and the history stays as it was. Undo and redo write
// through the safe writer and move files all or nothing: a failure puts
// everything back, is told through storage's hooks, and keeps the history.
#pragma once

#include <cstddef>
#include <cstdint>

#include "animation.h"

// Runs operation, which writes (or leaves alone) frame's file of the
// animation at base, and records it: a change of the file becomes a step,
// which drops the steps that were undone.
void RecordFrameWrite(const char* base, uint32_t frame, void (*operation)());

// InsertFrame and DeleteFrame at the current frame, recorded.
void RecordInsertFrame(const char* base);
void RecordDeleteFrame(const char* base);

bool CanUndo();
bool CanRedo();

enum class StepOutcome {
  Done,     // undone or redone
  Nothing,  // no step to undo or redo
  Changed,  // refused: file no longer holds what the step left there
  Failed,   // a write or move failed: everything was put back and told
};

struct StepResult {
  StepOutcome outcome;
  uint32_t frame;       // the step's frame, to show once Done
  char file[kPathMax];  // the changed file when Changed
};

StepResult UndoStep();
StepResult RedoStep();

// Forgets every step (an animation is opened).
void ClearHistory();

// The bounds: at most steps steps and bytes bytes kept (in memory, both the
// steps to undo and to redo); the oldest go first. 100 and 64 MB at start.
void SetHistoryBounds(size_t steps, size_t bytes);

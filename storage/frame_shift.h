// Moving frame files by one number, all or nothing: the renames that insert
// and delete frames. A shift that was made can be run backwards.
#pragma once

#include <cstdint>
#include <vector>

#include "animation.h"

// A shift: the file of each frame in frames, in that order, moves to the
// number frame + step.
struct FrameShift {
  int step;  // +1 or -1
  std::vector<uint32_t> frames;
};

// What stopped a shift, and what could not be put back after it.
struct ShiftFailure {
  char file[kPathMax];      // the file the system would not move (or remove)
  int error;                // the system's error code for it
  char stranded[kPathMax];  // where a file that could not go back lies now; empty: none
  int strandedError;
};

// The shift that undoes shift once it has been made: each file that moved
// goes back, in reverse order.
FrameShift Reversed(const FrameShift& shift);

// Makes shift. A frame without a file, or whose new number is taken (also a
// name too long to form), stays where it is: its move is left out of
// shift.frames, which then lists exactly the moves made. A move the system
// refuses stops the shift: the moves made are undone in reverse order,
// *failure says what happened, shift.frames is emptied, and false is returned.
// With exact, every listed move must be made: a frame without a file or a
// new number taken stops the shift as a refusal does (a shift that was made
// once is run again exactly as it was).
bool ShiftFrameFiles(const char* base, FrameShift& shift, ShiftFailure* failure, bool exact = false);

// Deletes frame's file and makes shift, which closes the gap, all or
// nothing: the file goes aside to a temporary name first and is removed once
// the others have moved, so that any failure puts everything back (then
// *failure says what happened, and false is returned; nothing is told).
bool RemoveFrameAndShift(const char* base, uint32_t frame, FrameShift& shift, ShiftFailure* failure,
                         bool exact = false);

// Undoes shift, made by ShiftFrameFiles, as far as the system lets it: a file
// that cannot go back stays where it is, and the first is named in
// failure->stranded.
void UndoFrameShift(const char* base, const FrameShift& shift, ShiftFailure* failure);

// Tells failure through the ReportFrameOperationFailure hook.
void TellShiftFailure(const ShiftFailure& failure);

// The window side of the questions and notices storage adds to the main
// window's own hooks: repeats that would become copies, frame operations
// that were undone, files that could not be read, and what export and
// expansion ask and tell. Questions are yes/no message boxes whose default
// answer, no, writes nothing; failures are told once the command is done.
#pragma once

#include <cstdint>

bool EditorModified();
bool ConfirmCopyingRepeat(uint32_t repeated);
void ReportFrameOperationFailure(const char* fileName, const char* reason, const char* stranded,
                                 const char* strandedReason);
void ReportReadFailure(const char* fileName, const char* reason);
bool ConfirmStoringCutFrames(int count, uint32_t first);
void ReportSkippedBlocks(int count);

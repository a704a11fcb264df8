// Whole-animation conversions between the two layouts, and the first frame's
// colours. None of them changes the storage mode.
#pragma once

// Writes base.txt from the frame files base0000.txt ... base9999.txt. With
// no frame file it writes nothing and reports Refusal::NoFrameFiles; over a
// base.txt that exists but cannot be read it writes nothing and tells it
// (ReportReadFailure); when blocks of an existing base.txt have no frame
// file, it replaces the file only if ConfirmDroppingFrames says yes; and
// when frame texts hold "[end]" or a zero byte, which would end them early
// in base.txt, only if ConfirmStoringCutFrames says yes.
void ExportAllInOne(const char* base);

// Writes one frame file per frame number of base.txt, from the first block
// with that number, if its text is not empty; later blocks with a number
// already seen are left out, and their count told (ReportSkippedBlocks).
// A base.txt that cannot be opened, missing or not, is told
// (ReportReadFailure). Returns the number of frames it went to write (each
// number's first block, with a text): 0 when it wrote nothing.
int ExpandAllInOne(const char* base);

// Applies frame 0's colour block, if it has one, read in the current
// storage mode.
void ApplyFirstFrameColours(const char* base);

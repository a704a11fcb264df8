// Whole-animation conversions between the two layouts, and the first frame's
// colours. None of them changes the storage mode.
#pragma once

// Writes base.txt from the frame files base0000.txt ... base9999.txt. With
// no frame file it writes nothing and reports Refusal::NoFrameFiles; when
// blocks of an existing base.txt have no frame file, it replaces the file
// only if ConfirmDroppingFrames says yes.
void ExportAllInOne(const char* base);

// Writes one frame file per block of base.txt whose text is not empty.
void ExpandAllInOne(const char* base);

// Applies frame 0's colour block, if it has one, read in the current
// storage mode.
void ApplyFirstFrameColours(const char* base);

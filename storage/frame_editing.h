// Operations that change an animation's frame files. All of them work on
// frame files (baseNNNN.txt) whatever the storage mode, address frames
// relative to the current frame. Every file is written safely (file_io.h),
// and a write that fails is told through the ReportWriteFailure hook, the
// file keeping its old bytes. Insertion and deletion move files all or
// nothing (frame_shift.h).
// None of them reloads the view.
#pragma once

#include <istream>

#include "file_io.h"
#include "frame_shift.h"

// A frame on show through a repeat ("same N") would become a copy of frame N
// once written: every write of it asks first (the ConfirmCopyingRepeat hook),
// and no writes nothing. Once a write of it is accepted the frame on show is
// a frame of its own.

// Writes the editor's text (through the GetEditorText hook) whole to the
// current frame's file; a text longer than kFrameTextMax bytes is refused
// (Refusal::TextTooLong): the file and the editor keep their texts. On a
// repeat, unchangedRepeatStays makes a save of the editor as the load left it
// (EditorModified says no) write nothing, without asking. Returns whether
// the file was written.
bool SaveFrameFromEditor(const char* base, bool unchangedRepeatStays = true);

// SaveCurrentColours and SetFrameSound set their own block in the header of
// the editor's text (frame_header.h: SetHeaderBlock) and keep every other
// byte of it. A frame that would then pass kFrameTextMax bytes is refused:
// they change nothing, report Refusal::FrameTooLong (TextTooLong when the
// editor alone is too long) and return false.

// Writes the current pen and background colours into the colour block,
// saves the result to the current frame's file, shows it in the editor and
// records the colours in the frame record.
bool SaveCurrentColours(const char* base);

// Writes path into the sound block, shows the result in the editor and
// records it in the frame record. Writes no file: the caller saves the frame
// from the editor when it accepts.
bool SetFrameSound(const char* path);

// Moves frame files HighestSlot ... current up by one. Returns false when a
// file could not be moved: the files are then as they were, and the
// ReportFrameOperationFailure hook has been told.
bool InsertFrame(const char* base);

// Deletes the current frame's file and moves later frame files down by one:
// the file goes aside to a temporary name first and is removed once the
// others have moved, so that any failure puts everything back (and is told
// as for InsertFrame).
bool DeleteFrame(const char* base);

// The same, handing the moves made to *made once done.
bool InsertFrameMoves(const char* base, FrameShift* made);
bool DeleteFrameMoves(const char* base, FrameShift* made);

// Copies the current frame's file over the next frame's file.
void CopyToNext(const char* base);

// Remembers the current frame number for a paste.
void MarkCopiedFrame();

// Copies the remembered frame's file, as it is now, over the current frame's.
void PasteFrame(const char* base);

// Copies in to out in pieces of 1000 bytes until the input ends. Returns
// false when reading or writing failed (out.error then tells which:
// kErrorReadFailed for the input).
bool CopyStream(std::istream& in, SafeWriter& out);

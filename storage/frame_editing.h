// Operations that change an animation's frame files. All of them work on
// frame files (baseNNNN.txt) whatever the storage mode, address frames
// relative to the current frame. A rename or delete that fails is skipped,
// and a rename never replaces an existing file. Every file is written safely
// (file_io.h), and a write that fails is told through the ReportWriteFailure
// hook, the file keeping its old bytes.
// None of them reloads the view.
#pragma once

#include <istream>

#include "file_io.h"

// Writes the editor's text (through the GetEditorText hook, at most 31999
// bytes) to the current frame's file.
void SaveFrameFromEditor(const char* base);

// SaveCurrentColours and SetFrameSound compose the header from the frame
// record with their change, and the body from the editor's text (its part
// after a header, if it starts with one), so nothing typed is lost. A frame
// that its header would push past what a load reads back is refused: they
// then change nothing, report Refusal::FrameTooLong and return false.

// Records the current pen and background colours in the frame record, writes
// header and body to the current frame's file and shows them in the editor.
bool SaveCurrentColours(const char* base);

// Records path as the frame's sound and shows header and body in the editor.
// Writes no file: the caller saves the frame from the editor when it accepts.
bool SetFrameSound(const char* path);

// Moves frame files HighestSlot ... current up by one.
void InsertFrame(const char* base);

// Deletes the current frame's file and moves later frame files down by one.
void DeleteFrame(const char* base);

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

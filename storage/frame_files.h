// Opening, reading and writing one frame file, baseNNNN.txt, through the file
// layer. A name that does not fit its buffer counts as a file that cannot be
// opened, and as a failed write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>

#include "file_io.h"

bool OpenFrameInput(std::ifstream& in, const char* base, uint32_t n);

// Clears WorkBuffer and reads up to 32000 bytes of frame n into it, so the
// text is zero-terminated. Returns false, leaving the text empty, when the
// file cannot be opened. *fileSize, if given, receives the file's size.
bool ReadFrameFile(const char* base, uint32_t n, uint64_t* fileSize = nullptr);

// Writes size bytes as the whole of frame n's file, safely (file_io.h).
// Returns whether it was written; a failure is told through the
// ReportWriteFailure hook, and the file keeps its old bytes.
// With a series, the write is one of it (file_io.h).
bool WriteFrameFile(const char* base, uint32_t n, const char* data, size_t size, unsigned flags,
                    SafeWriteSeries* series = nullptr);

// The same in steps: begins a safe write of frame n's file, and commits one.
// Each tells its failure and returns false; BeginFrameWrite leaves nothing to
// abandon then.
bool BeginFrameWrite(SafeWriter& w, const char* base, uint32_t n, unsigned flags);
bool CommitAndTell(SafeWriter& w);

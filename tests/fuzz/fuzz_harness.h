// The checks of the fuzz targets over the readers of untrusted files, also
// replayed on their seeds by the storage tests.
#pragma once

#include <cstddef>
#include <cstdint>

enum FuzzTarget { kLoadFrameFiles, kLoadAllInOne, kExpandAllInOne, kFirstFrameColours };

// Runs one input through the target; returns what went wrong, or null.
const char* RunFuzzInput(int target, const uint8_t* data, size_t size);

// The path helpers that ask Windows: the program's directory, the font
// settings file beside it, the current directory and full paths. The string
// helpers they build on are in path_text.h.
#pragma once

#include <cstddef>

#include "path_text.h"

// The program's own directory with its trailing '\'. Returns false, leaving
// out empty, when it does not fit.
bool ProgramDirectory(char* out, size_t size);
// The font settings file beside the program: ProgramDirectory and "font.ini".
// Returns false, leaving out empty, when it does not fit.
bool FontSettingsPath(char* out, size_t size);
// Makes the base path's directory the current directory, if it has one.
void FollowAnimationDirectory(const char* base);
// Replaces path (size bytes) by its full form, resolved against the current
// directory; leaves it as it is when that fails or would not fit.
void MakeAbsolutePath(char* path, size_t size);

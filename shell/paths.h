// Path helpers. The string functions are platform-neutral; ProgramDirectory
// and FollowAnimationDirectory use Windows calls.
#pragma once

#include <cstddef>

// 0 when the directory parts (up to the last '\') of a and b are equal,
// byte by byte; 1 when either has no '\'; otherwise -1 or 1.
int SameDirectory(const char* a, const char* b);

// Replaces path by the part after its last '\' (unchanged if none).
void StripDirectory(char* path);

// After a sound is chosen: a sound in the animation's directory is kept by
// its bare file name.
void StoreChosenSound(char* soundPath, const char* basePath);

// Copies the path named on a command line into dest (size bytes): an optional
// leading '/' with an optional 'p' or 'P' after it, then blanks and tabs, are
// skipped, and double quotes are dropped. Returns false, leaving dest empty,
// when the path does not fit.
bool ExtractCommandLinePath(const char* commandLine, char* dest, size_t size);

#ifdef _WIN32
// The program's own directory with its trailing '\'. Returns false, leaving
// out empty, when it does not fit.
bool ProgramDirectory(char* out, size_t size);
// Makes the base path's directory the current directory, if it has one.
void FollowAnimationDirectory(const char* base);
#endif

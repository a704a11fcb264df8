// The path helpers that ask Windows: the program's directory and the
// current directory.
#include <windows.h>

#include <cstring>

#include "animation.h"
#include "paths.h"

bool ProgramDirectory(char* out, size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  char module[kPathMax];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  // A name that filled the buffer was cut (and may lack its zero).
  if (length == 0 || length >= sizeof module) return false;
  // Drive and directory: everything up to and with the last '\'.
  const char* separator = LastSeparator(module);
  size_t keep = separator != nullptr ? static_cast<size_t>(separator - module) + 1 : 0;
  if (keep >= size) return false;
  std::memcpy(out, module, keep);
  out[keep] = '\0';
  return true;
}

bool FontSettingsPath(char* out, size_t size) {
  char directory[kPathMax];
  if (!ProgramDirectory(directory, sizeof directory)) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return JoinPath(out, size, directory, "font.ini");
}

void FollowAnimationDirectory(const char* base) {
  char directory[kPathMax];
  if (AnimationDirectory(base, directory, sizeof directory)) SetCurrentDirectoryA(directory);
}

void MakeAbsolutePath(char* path, size_t size) {
  if (path[0] == '\0') return;
  char full[kPathMax];
  DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  // A full path that does not fit is not cut into another name.
  if (length == 0 || length >= sizeof full || length >= size) return;
  CopyText(path, size, full);
}

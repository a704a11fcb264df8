#include "path_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

bool AnsiLeadByte(unsigned char lead) { return IsDBCSLeadByte(lead) != FALSE; }
bool (*g_isLeadByte)(unsigned char lead) = AnsiLeadByte;
#else
bool (*g_isLeadByte)(unsigned char lead) = nullptr;
#endif

// Whether p starts a two-byte character: a lead byte and its second byte
// are one character; a lead byte at the very end stands alone.
static bool TwoByteAt(const char* p) {
  return g_isLeadByte != nullptr && g_isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0';
}

const char* LastSeparator(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (TwoByteAt(p)) {
      ++p;
    } else if (*p == '\\') {
      last = p;
    }
  }
  return last;
}

int SameDirectory(const char* a, const char* b) {
  const char* endA = LastSeparator(a);
  const char* endB = LastSeparator(b);
  if (endA == nullptr || endB == nullptr) return 1;
  size_t lengthA = static_cast<size_t>(endA - a);
  size_t lengthB = static_cast<size_t>(endB - b);
  // Compared like strcmp on the two directory strings.
  int order = std::memcmp(a, b, lengthA < lengthB ? lengthA : lengthB);
  if (order == 0) order = (lengthA > lengthB) - (lengthA < lengthB);
  return (order > 0) - (order < 0);
}

void StripDirectory(char* path) {
  const char* separator = LastSeparator(path);
  if (separator == nullptr) return;
  const char* name = separator + 1;
  std::memmove(path, name, std::strlen(name) + 1);
}

void StoreChosenSound(char* soundPath, const char* basePath) {
  if (SameDirectory(soundPath, basePath) == 0) StripDirectory(soundPath);
}

const char* SkipProgramName(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    for (++p; *p != '\0' && *p != '"'; ++p) {
      if (TwoByteAt(p)) ++p;
    }
    if (*p == '"') ++p;
  } else {
    for (; *p != '\0' && *p != ' ' && *p != '\t'; ++p) {
      if (TwoByteAt(p)) ++p;
    }
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

bool ExtractCommandLinePath(const char* commandLine, char* dest, size_t size) {
  if (size == 0) return false;
  const char* p = commandLine;
  if (*p == '/') {
    ++p;
    if (*p == 'p' || *p == 'P') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  size_t n = 0;
  for (; *p != '\0'; ++p) {
    if (*p == '"') continue;
    if (n + 1 >= size) {
      // A cut path would name a different file: take none.
      dest[0] = '\0';
      return false;
    }
    dest[n++] = *p;
  }
  dest[n] = '\0';
  return true;
}

// The separators ('\\' that are no second byte) from p up to end.
static int SeparatorsBefore(const char* p, const char* end) {
  int count = 0;
  for (; p < end; ++p) {
    if (TwoByteAt(p)) {
      ++p;
    } else if (*p == '\\') {
      ++count;
    }
  }
  return count;
}

bool AnimationDirectory(const char* base, char* out, size_t size) {
  if (size > 0) out[0] = '\0';
  const char* separator = LastSeparator(base);
  if (separator == nullptr) return false;
  size_t length = static_cast<size_t>(separator - base);
  // A root keeps its separator: the current drive's ("\"), a drive's
  // ("Z:\"), a share's ("\\server\share\").
  bool share = length > 2 && base[0] == '\\' && base[1] == '\\' && SeparatorsBefore(base + 2, separator) == 1;
  if (length == 0 || (length == 2 && base[1] == ':') || share) ++length;
  if (length >= size) return false;
  std::memcpy(out, base, length);
  out[length] = '\0';
  return true;
}

bool JoinPath(char* out, size_t size, const char* directory, const char* name) {
  int written = std::snprintf(out, size, "%s%s", directory, name);
  if (written < 0 || static_cast<size_t>(written) >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

size_t DirectoryLength(const char* path) {
  const char* back = LastSeparator(path);
  const char* slash = std::strrchr(path, '/');  // never the second byte of a character
  const char* last = back > slash ? back : slash;
  return last != nullptr ? static_cast<size_t>(last - path) + 1 : 0;
}

std::string SoundFileName(const std::string& sound, const char* base) {
  bool absolute = sound[0] == '\\' || sound[0] == '/' || (sound.size() > 1 && sound[1] == ':');
  std::string name = absolute ? sound : std::string(base, DirectoryLength(base)) + sound;
#ifndef _WIN32
  std::replace(name.begin(), name.end(), '\\', '/');
#endif
  return name;
}

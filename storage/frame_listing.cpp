#include "frame_listing.h"

#include <cstring>
#include <string>

#include "animation.h"
#include "file_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <dirent.h>
#endif

namespace {

// The slot whose frame file name ends in rest after the base's file name:
// "%04d.txt" of 0 ... HighestSlot, ".txt" in any letter case. -1 for none.
template <class Char>
int SlotOfEnding(const Char* rest) {
  int digits = 0;
  uint32_t n = 0;
  for (; digits < 6 && rest[digits] >= '0' && rest[digits] <= '9'; ++digits) {
    n = n * 10 + static_cast<uint32_t>(rest[digits] - '0');
  }
  // Four digits, or five for the one slot above 9999 ("10000").
  if (digits != 4 && !(digits == 5 && n == HighestSlot)) return -1;
  rest += digits;
  static const char kExtension[] = ".txt";
  for (int i = 0; i < 4; ++i) {
    const Char c = rest[i];
    if (c != kExtension[i] && !(c >= 'A' && c <= 'Z' && c + ('a' - 'A') == kExtension[i])) return -1;
  }
  return rest[4] == 0 ? static_cast<int>(n) : -1;
}

#ifdef _WIN32

// Text in the ANSI code page as UTF-16, as the system converts the names of
// the ...A calls.
std::wstring Wide(const char* text, int length) {
  if (length == 0) return std::wstring();
  int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], size);
  return wide;
}

// text mapped to upper or lower case, letter by letter; empty when the
// mapping would change its length.
std::wstring Cased(const std::wstring& text, DWORD how) {
  std::wstring cased(text.size(), L'\0');
  int size = text.empty() ? 0
                          : LCMapStringW(LOCALE_INVARIANT, how, text.data(), static_cast<int>(text.size()),
                                         &cased[0], static_cast<int>(cased.size()));
  return size == static_cast<int>(text.size()) ? cased : std::wstring();
}

// Whether the file system may take name for base's file name: Windows
// compares names by their upper case, Wine by their lower case; each
// letter counts as the same when it is by either. Where a mapping fails the
// names count as the same: a name too many costs one try, one too few
// would lose a frame.
bool SameName(const std::wstring& name, const std::wstring& base, const std::wstring& baseUpper,
              const std::wstring& baseLower) {
  if (name == base) return true;
  const std::wstring upper = Cased(name, LCMAP_UPPERCASE), lower = Cased(name, LCMAP_LOWERCASE);
  if (upper.empty() || lower.empty() || baseUpper.empty() || baseLower.empty()) return true;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != base[i] && upper[i] != baseUpper[i] && lower[i] != baseLower[i]) return false;
  }
  return true;
}

// Notes the slot that found, a name of the folder, gives, by its long name
// or by its short one (a name opens by either).
void Note(const WIN32_FIND_DATAW& found, const std::wstring& base, const std::wstring& upper,
          const std::wstring& lower, FrameSlots& slots) {
  for (const wchar_t* name : {found.cFileName, found.cAlternateFileName}) {
    const size_t length = wcslen(name);
    if (length <= base.size()) continue;
    const int slot = SlotOfEnding(name + base.size());
    if (slot >= 0 && SameName(std::wstring(name, base.size()), base, upper, lower)) {
      slots.named[static_cast<size_t>(slot)] = true;
    }
  }
}

bool List(const char* base, size_t folder, FrameSlots& slots) {
  // Every name of the folder: the system may match a pattern's letters
  // otherwise than it matches a name it opens.
  const std::wstring pattern = Wide(base, static_cast<int>(folder)) + L"*";
  const std::wstring name = Wide(base + folder, static_cast<int>(std::strlen(base + folder)));
  const std::wstring upper = Cased(name, LCMAP_UPPERCASE), lower = Cased(name, LCMAP_LOWERCASE);
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) {
    // No names at all, or no such folder: no frame file either.
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  do {
    Note(found, name, upper, lower, slots);
  } while (FindNextFileW(h, &found));
  bool whole = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(h);
  return whole;
}

#else

// Letters of ASCII count in either case: a folder on a FAT drive opens a
// name in another case.
bool SameName(const char* name, const char* base, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    unsigned char a = static_cast<unsigned char>(name[i]), b = static_cast<unsigned char>(base[i]);
    if (a != b && !((a | 0x20) == (b | 0x20) && (a | 0x20) >= 'a' && (a | 0x20) <= 'z')) return false;
  }
  return true;
}

bool List(const char* base, size_t folder, FrameSlots& slots) {
  const std::string path = folder > 0 ? std::string(base, folder) : std::string(".");
  const char* name = base + folder;
  const size_t length = std::strlen(name);
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return errno == ENOENT || errno == ENOTDIR;  // no folder: no frame file
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    if (std::strlen(entry->d_name) <= length || !SameName(entry->d_name, name, length)) continue;
    const int slot = SlotOfEnding(entry->d_name + length);
    if (slot >= 0) slots.named[static_cast<size_t>(slot)] = true;
  }
  bool whole = errno == 0;
  closedir(dir);
  return whole;
}

#endif

}  // namespace

FrameSlots ListFrameSlots(const char* base) {
  FrameSlots slots;
  slots.named.assign(HighestSlot + 1, false);
  slots.listed = base != nullptr && List(base, FolderLength(base), slots);
  return slots;
}

bool MayHaveFile(const FrameSlots& slots, uint32_t n) {
  return !slots.listed || n >= slots.named.size() || slots.named[n];
}

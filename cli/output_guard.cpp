#include "output_guard.h"

#include <cstring>
#include <string>

#include "file_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// A path's directory ("." when it has none) and its file name.
void Split(const std::string& path, std::string& directory, std::string& name) {
  const size_t at = FolderLength(path.c_str());
  directory = at > 0 ? path.substr(0, at) : ".";
  name = path.substr(at);
}

#ifdef _WIN32
// The path as the file system takes it: full, and with the long names of
// what exists (a short name such as WALK00~1.TXT named the same file).
std::string FullPath(const char* path) {
  char full[MAX_PATH], longer[MAX_PATH];
  DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return path;
  length = GetLongPathNameA(full, longer, sizeof longer);
  return length > 0 && length < sizeof longer ? longer : full;
}

bool SameDirectoryFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const std::string* paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    HANDLE h = CreateFileA(paths[i]->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL got = GetFileInformationByHandle(h, &info[i]);
    CloseHandle(h);
    if (!got) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// File names compare as the file system compares them: in any letter case.
bool SameName(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a == b;
  wchar_t wide[2][MAX_PATH];
  int length[2] = {MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), wide[0], MAX_PATH),
                   MultiByteToWideChar(CP_ACP, 0, b.data(), static_cast<int>(b.size()), wide[1], MAX_PATH)};
  return length[0] > 0 && CompareStringOrdinal(wide[0], length[0], wide[1], length[1], TRUE) == CSTR_EQUAL;
}
#else
std::string FullPath(const char* path) { return path; }

bool SameDirectoryFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool SameName(const std::string& a, const std::string& b) { return a == b; }
#endif

}  // namespace

bool NamesAnimationFile(const char* out, const char* base) {
  std::string outDirectory, outName, baseDirectory, stem;
  Split(FullPath(out), outDirectory, outName);
  Split(FullPath(base), baseDirectory, stem);
  // The name: the stem, then four digits or none, then ".txt".
  if (outName.size() < stem.size() + 4) return false;
  size_t digits = outName.size() - stem.size() - 4;
  if (digits != 0 && digits != 4) return false;
  for (size_t i = stem.size(); i < stem.size() + digits; ++i) {
    if (outName[i] < '0' || outName[i] > '9') return false;
  }
  return SameName(outName.substr(0, stem.size()), stem) && SameName(outName.substr(stem.size() + digits), ".txt") &&
         SameDirectoryFile(outDirectory, baseDirectory);
}

#include "file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

bool PathExists(const char* name) {
  struct stat st;
  return name != nullptr && name[0] != '\0' && stat(name, &st) == 0;
}

bool OpenInput(std::ifstream& in, const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  struct stat st;
  // A directory is never an animation file (Linux would open it as a stream
  // that fails on every read).
  if (stat(name, &st) == 0 && S_ISDIR(st.st_mode)) return false;
  in.open(name, std::ios::in | std::ios::binary);
  return in.is_open();
}

size_t ReadChunk(std::istream& in, char* buffer, size_t size) {
  in.read(buffer, static_cast<std::streamsize>(size));
  return static_cast<size_t>(in.gcount());
}

bool OpenOutput(std::ofstream& out, const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  out.open(name, std::ios::out | std::ios::binary | std::ios::trunc);
  return out.is_open();
}

bool RemoveFile(const char* name) {
  return name != nullptr && name[0] != '\0' && std::remove(name) == 0;
}

bool RenameNoReplace(const char* from, const char* to) {
  if (from == nullptr || to == nullptr || from[0] == '\0' || to[0] == '\0') return false;
#ifdef _WIN32
  // The Windows C runtime's rename fails when the target exists.
  return std::rename(from, to) == 0;
#else
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  // The file system has no no-replace rename: a hard link fails when the
  // target exists, and then the old name goes.
  if (link(from, to) == 0) {
    unlink(from);
    return true;
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return false;
  if (PathExists(to)) return false;
  return std::rename(from, to) == 0;
#endif
}

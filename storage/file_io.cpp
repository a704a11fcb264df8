#include "file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <winternl.h>
#else
#include <fcntl.h>
#include <time.h>
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

bool SameFileVersion(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.file == b.file && a.size == b.size && a.writeTime == b.writeTime &&
         a.changeTime == b.changeTime && a.creationTime == b.creationTime;
}

#ifdef _WIN32

bool OpenInputFile(InputFile& f, const char* name) {
  f.handle = nullptr;
  if (name == nullptr || name[0] == '\0') return false;
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
  HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  f.handle = h;
  return true;
}

size_t ReadInputFile(InputFile& f, char* buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    DWORD want = size - total > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size - total);
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(f.handle), buffer + total, want, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}

bool SeekInputFile(InputFile& f, uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(static_cast<HANDLE>(f.handle), to, nullptr, FILE_BEGIN) != 0;
}

void CloseInputFile(InputFile& f) {
  if (f.handle != nullptr) CloseHandle(static_cast<HANDLE>(f.handle));
  f.handle = nullptr;
}

static int64_t FileTimeValue(const FILETIME& t) {
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

// GetFileInformationByHandle would give the volume serial number too, but
// under Wine that asks the mount manager service and takes about half a
// millisecond, more than loading a few frame files; and there every file
// system under one drive letter has the same serial anyway. The file index
// comes from the system call below (FileInternalInformation), the times and
// the size from documented calls; a file on another volume with the same
// index, size and three 100 ns times is not what a copy or a changed drive
// gives.
bool QueryFileIdentity(const InputFile& f, FileIdentity* identity) {
  HANDLE h = static_cast<HANDLE>(f.handle);
  const auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
  IO_STATUS_BLOCK io;
  LARGE_INTEGER index;
  FILE_BASIC_INFO basic;
  LARGE_INTEGER size;
  if (NtQueryInformationFile(h, &io, &index, sizeof index, kFileInternalInformation) != 0 ||
      !GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) || !GetFileSizeEx(h, &size)) {
    return false;
  }
  identity->volume = 0;
  identity->file = static_cast<uint64_t>(index.QuadPart);
  identity->size = static_cast<uint64_t>(size.QuadPart);
  identity->writeTime = basic.LastWriteTime.QuadPart;
  identity->changeTime = basic.ChangeTime.QuadPart;
  identity->creationTime = basic.CreationTime.QuadPart;
  return true;
}

int64_t FileClockNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FileTimeValue(now);
}

#else

bool OpenInputFile(InputFile& f, const char* name) {
  f.fd = -1;
  if (name == nullptr || name[0] == '\0') return false;
  int fd = open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return false;
  }
  f.fd = fd;
  return true;
}

size_t ReadInputFile(InputFile& f, char* buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    ssize_t got = read(f.fd, buffer + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<size_t>(got);
  }
  return total;
}

bool SeekInputFile(InputFile& f, uint64_t offset) {
  return lseek(f.fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

void CloseInputFile(InputFile& f) {
  if (f.fd >= 0) close(f.fd);
  f.fd = -1;
}

static int64_t TimeValue(const struct timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * kFileTimeUnitsPerSecond + t.tv_nsec;
}

bool QueryFileIdentity(const InputFile& f, FileIdentity* identity) {
  struct stat st;
  if (fstat(f.fd, &st) != 0) return false;
  identity->volume = static_cast<uint64_t>(st.st_dev);
  identity->file = static_cast<uint64_t>(st.st_ino);
  identity->size = static_cast<uint64_t>(st.st_size);
  identity->writeTime = TimeValue(st.st_mtim);
  identity->changeTime = TimeValue(st.st_ctim);
  identity->creationTime = 0;
  return true;
}

int64_t FileClockNow() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return TimeValue(now);
}

#endif

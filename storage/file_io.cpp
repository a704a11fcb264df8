#include "file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
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

// ---- Safe writes ----

#ifdef _WIN32
const int kErrorNameTooLong = ERROR_FILENAME_EXCED_RANGE;
const int kErrorReadFailed = ERROR_READ_FAULT;
const int kErrorNameTaken = ERROR_ALREADY_EXISTS;
const int kErrorMissing = ERROR_FILE_NOT_FOUND;
static int LastError() { return static_cast<int>(GetLastError()); }
static HANDLE Handle(const SafeWriter& w) { return reinterpret_cast<HANDLE>(w.file); }
#else
const int kErrorNameTooLong = ENAMETOOLONG;
const int kErrorReadFailed = EIO;
const int kErrorNameTaken = EEXIST;
const int kErrorMissing = ENOENT;
static int LastError() { return errno; }
#endif

static struct {
  FileStep step;
  int countdown;  // calls of step left until the one that fails; 0: none fails
  int error;
} s_fault = {FileStep::Create, 0, 0};

void FailFileStep(FileStep step, int nth, int error) {
  s_fault.step = step;
  s_fault.countdown = error != 0 && nth > 0 ? nth : 0;
  s_fault.error = error;
}

// True when this call of step is to fail (the error then set as the system
// would set it).
static bool Injected(FileStep step) {
  if (s_fault.countdown == 0 || s_fault.step != step || --s_fault.countdown != 0) return false;
#ifdef _WIN32
  SetLastError(static_cast<DWORD>(s_fault.error));
#else
  errno = s_fault.error;
#endif
  return true;
}

// Remembers the first failure; returns false for the caller to pass on.
static bool Fail(SafeWriter& w, int error) {
  if (w.error == 0) w.error = error != 0 ? error : kErrorReadFailed;
  return false;
}

// On Windows '\' may be the second byte of a two-byte character, which is
// then no separator.
size_t FolderLength(const char* path) {
  size_t length = 0;
  for (size_t i = 0; path[i] != '\0'; ++i) {
#ifdef _WIN32
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1] != '\0') {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == ':') length = i + 1;
#endif
    if (path[i] == '/') length = i + 1;
  }
  return length;
}

static unsigned NextTempNumber() {
  static unsigned s_number = 0;
  if (s_number == 0) {
#ifdef _WIN32
    unsigned id = static_cast<unsigned>(GetCurrentProcessId());
#else
    unsigned id = static_cast<unsigned>(getpid());
#endif
    s_number = (id * 2654435761u) ^ static_cast<unsigned>(std::time(nullptr)) ^ 1u;
  }
  return s_number++;
}

// Forms a fresh temporary name beside target in out (kSafeNameSize bytes).
// Returns false when it does not fit.
static bool TempName(char* out, const char* target) {
  size_t dir = FolderLength(target);
  char name[16];
  int length = std::snprintf(name, sizeof name, "~zt%04x.tmp", NextTempNumber() & 0xFFFF);
  if (length < 0 || dir + static_cast<size_t>(length) >= kSafeNameSize) return false;
  std::memcpy(out, target, dir);
  std::memcpy(out + dir, name, static_cast<size_t>(length) + 1);
  return true;
}

#ifdef _WIN32
static bool NameTaken() { return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS; }
#else
static bool NameTaken() { return errno == EEXIST; }
#endif

// ---- Renames and deletions ----

// Whether the rename may go to the system: an armed Rename step fails the
// nth rename whose source exists.
static bool RenameInjected(const char* from) {
  return s_fault.countdown != 0 && s_fault.step == FileStep::Rename && PathExists(from) &&
         Injected(FileStep::Rename);
}

static RenameResult RenameOnce(const char* from, const char* to) {
  if (RenameInjected(from)) return RenameResult::Failed;
#ifdef _WIN32
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
  if (MoveFileExA(from, to, 0)) return RenameResult::Done;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return RenameResult::NoSource;
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return RenameResult::TargetTaken;
#else
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return RenameResult::Done;
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
    // The file system has no no-replace rename: a hard link fails when the
    // target exists, and then the old name goes.
    if (link(from, to) == 0) {
      unlink(from);
      return RenameResult::Done;
    }
    if (errno == EPERM || errno == EOPNOTSUPP) {
      // Nor hard links: a plain rename, where the target does not exist.
      if (PathExists(to)) return RenameResult::TargetTaken;
      if (std::rename(from, to) == 0) return RenameResult::Done;
    }
  }
  if (errno == ENOENT) return RenameResult::NoSource;
  if (errno == EEXIST) return RenameResult::TargetTaken;
#endif
  return RenameResult::Failed;
}

RenameResult TryRename(const char* from, const char* to, int* error) {
  if (from == nullptr || to == nullptr || from[0] == '\0' || to[0] == '\0') return RenameResult::NoSource;
  RenameResult result = RenameOnce(from, to);
  if (result != RenameResult::Failed) return result;
  int code = LastError();
  // Some refusals come with other codes when a name is missing or taken (a
  // directory as the target, for one): those are not failures either.
  if (!PathExists(from)) return RenameResult::NoSource;
  if (PathExists(to)) return RenameResult::TargetTaken;
  if (error != nullptr) *error = code;
  return RenameResult::Failed;
}

bool RenameNoReplace(const char* from, const char* to) { return TryRename(from, to, nullptr) == RenameResult::Done; }

RenameResult MoveAside(const char* name, char* aside, int* error) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    if (!TempName(aside, name)) break;
    RenameResult result = TryRename(name, aside, error);
    if (result != RenameResult::TargetTaken) return result;
  }
  aside[0] = '\0';
  if (error != nullptr) *error = kErrorNameTooLong;
  return RenameResult::Failed;
}

bool RemoveFile(const char* name, int* error) {
  if (name == nullptr || name[0] == '\0') return false;
  bool removed = false;
  if (!Injected(FileStep::Remove)) {
#ifdef _WIN32
    removed = DeleteFileA(name) != 0;
#else
    removed = unlink(name) == 0;
#endif
  }
  if (!removed && error != nullptr) *error = LastError();
  return removed;
}

// Creates a new temporary file beside the target, under a name no other file
// has. Returns false with the error in w.
static bool CreateTemp(SafeWriter& w) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    if (!TempName(w.temp, w.target)) {
      w.temp[0] = '\0';
      return Fail(w, kErrorNameTooLong);
    }
    if (Injected(FileStep::Create)) break;
#ifdef _WIN32
    HANDLE h = CreateFileA(w.temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      w.file = reinterpret_cast<intptr_t>(h);
      return true;
    }
#else
    int fd = open(w.temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      w.file = fd;
      return true;
    }
#endif
    if (!NameTaken()) break;
  }
  int error = LastError();
  w.temp[0] = '\0';
  return Fail(w, error);
}

// A target that exists but may not be written is not replaced (on Windows
// the move would refuse it too; elsewhere it would go ahead).
static bool TargetWritable(SafeWriter& w) {
#ifdef _WIN32
  DWORD attributes = GetFileAttributesA(w.target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Fail(w, ERROR_ACCESS_DENIED);
  }
#else
  if (access(w.target, W_OK) != 0 && errno != ENOENT) return Fail(w, errno);
#endif
  return true;
}

// Sets w up for target, short of a temporary file.
static bool Prepare(SafeWriter& w, const char* target, unsigned flags) {
  w.target[0] = '\0';
  w.temp[0] = '\0';
  w.file = -1;
  w.flags = flags;
  w.error = 0;
  w.used = 0;
  if (target == nullptr || target[0] == '\0' || std::strlen(target) >= sizeof w.target) {
    return Fail(w, kErrorNameTooLong);
  }
  std::memcpy(w.target, target, std::strlen(target) + 1);
  return (flags & kWriteNewName) != 0 || TargetWritable(w);
}

bool BeginSafeWrite(SafeWriter& w, const char* target, unsigned flags) {
  return Prepare(w, target, flags) && CreateTemp(w);
}

// Writes size bytes straight to the temporary file.
static bool WriteRaw(SafeWriter& w, const char* data, size_t size) {
  while (size > 0) {
    if (Injected(FileStep::Write)) return Fail(w, LastError());
#ifdef _WIN32
    DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD done = 0;
    if (!WriteFile(Handle(w), data, piece, &done, nullptr)) return Fail(w, LastError());
    if (done == 0) return Fail(w, ERROR_DISK_FULL);
#else
    ssize_t done = write(static_cast<int>(w.file), data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return Fail(w, errno);
    if (done == 0) return Fail(w, ENOSPC);
#endif
    data += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

static bool FlushBuffer(SafeWriter& w) {
  size_t used = w.used;
  w.used = 0;
  return WriteRaw(w, w.buffer, used);
}

bool SafeWrite(SafeWriter& w, const void* data, size_t size) {
  if (w.error != 0 || w.file == -1) return false;
  const char* bytes = static_cast<const char*>(data);
  if (w.used + size <= sizeof w.buffer) {
    std::memcpy(w.buffer + w.used, bytes, size);
    w.used += size;
    return true;
  }
  if (!FlushBuffer(w)) return false;
  if (size >= sizeof w.buffer) return WriteRaw(w, bytes, size);
  std::memcpy(w.buffer, bytes, size);
  w.used = size;
  return true;
}

// Closes the temporary file; returns false if the system reports a failure
// (a write it had delayed may fail only now).
static bool CloseTemp(SafeWriter& w) {
  if (w.file == -1) return true;
#ifdef _WIN32
  bool closed = CloseHandle(Handle(w)) != 0;
#else
  bool closed = close(static_cast<int>(w.file)) == 0;
#endif
  w.file = -1;
  return closed || Fail(w, LastError());
}

static void RemoveTemp(char* name);

void AbandonSafeWrite(SafeWriter& w) {
  CloseTemp(w);
  RemoveTemp(w.temp);
  w.used = 0;
}

static bool Flushed(SafeWriter& w) {
  if (!FlushBuffer(w)) return false;
  if ((w.flags & kWriteDurable) == 0) return true;
#ifdef _WIN32
  return FlushFileBuffers(Handle(w)) != 0 || Fail(w, LastError());
#else
  return fsync(static_cast<int>(w.file)) == 0 || Fail(w, errno);
#endif
}

static bool MoveOverTarget(SafeWriter& w) {
  if (Injected(FileStep::Move)) return Fail(w, LastError());
#ifdef _WIN32
  DWORD how = MOVEFILE_REPLACE_EXISTING | ((w.flags & kWriteDurable) != 0 ? MOVEFILE_WRITE_THROUGH : 0);
  return MoveFileExA(w.temp, w.target, how) != 0 || Fail(w, LastError());
#else
  return std::rename(w.temp, w.target) == 0 || Fail(w, errno);
#endif
}

bool CommitSafeWrite(SafeWriter& w) {
  bool done = w.error == 0 && w.file != -1 && Flushed(w) && CloseTemp(w) && MoveOverTarget(w);
  if (done) {
    w.temp[0] = '\0';  // it is the target now
  } else {
    Fail(w, 0);
    AbandonSafeWrite(w);
  }
  return done;
}

bool WriteFileSafely(const char* target, const void* data, size_t size, unsigned flags, int* error) {
  SafeWriter w;
  // The bytes go straight to the file, not through the writer's buffer.
  bool done = BeginSafeWrite(w, target, flags) && WriteRaw(w, static_cast<const char*>(data), size) &&
              CommitSafeWrite(w);
  if (!done) AbandonSafeWrite(w);
  if (!done && error != nullptr) *error = w.error;
  return done;
}

// Deletes a temporary file (name empty: none).
static void RemoveTemp(char* name) {
  if (name[0] == '\0') return;
#ifdef _WIN32
  DeleteFileA(name);
#else
  unlink(name);
#endif
  name[0] = '\0';
}

// Makes the series' kept file w's temporary file, emptied, if it lies in the
// target's directory and has no other name (a file the user linked
// elsewhere is never emptied). Otherwise the kept file goes.
static bool ReuseSpare(SafeWriter& w, SafeWriteSeries& series) {
  if (series.spare[0] == '\0') return false;
  size_t dir = FolderLength(w.target);
  if (FolderLength(series.spare) == dir && std::memcmp(series.spare, w.target, dir) == 0) {
#ifdef _WIN32
    // The link count alone: GetFileInformationByHandle would ask Wine's mount
    // manager for the volume's serial number, which costs more than the
    // rest of the write.
    HANDLE h = CreateFileA(series.spare, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILE_STANDARD_INFO info;
    if (h != INVALID_HANDLE_VALUE && GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info) &&
        info.NumberOfLinks == 1 && !info.Directory && SetEndOfFile(h)) {
      w.file = reinterpret_cast<intptr_t>(h);
    } else if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
    }
#else
    int fd = open(series.spare, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 && ftruncate(fd, 0) == 0) {
      w.file = fd;
    } else if (fd >= 0) {
      close(fd);
    }
#endif
  }
  if (w.file == -1) {
    RemoveTemp(series.spare);
    return false;
  }
  std::memcpy(w.temp, series.spare, sizeof w.temp);
  series.spare[0] = '\0';
  return true;
}

// Gives the file at target a second, temporary name in keep, so that it
// outlives its replacement; keep is left empty when there is no such file or
// the file system has no hard links.
static void KeepTarget(const char* target, char* keep) {
  for (int attempt = 0; attempt < 64 && TempName(keep, target); ++attempt) {
#ifdef _WIN32
    if (CreateHardLinkA(keep, target, nullptr)) return;
#else
    if (link(target, keep) == 0) return;
#endif
    if (!NameTaken()) break;
  }
  keep[0] = '\0';
}

void BeginSafeWriteSeries(SafeWriteSeries& series) { series.spare[0] = '\0'; }

bool WriteFileInSeries(SafeWriteSeries& series, const char* target, const void* data, size_t size, unsigned flags,
                       int* error) {
  SafeWriter w;
  char keep[kSafeNameSize] = "";
  bool done = Prepare(w, target, flags & kWriteNewName) && (ReuseSpare(w, series) || CreateTemp(w)) &&
              WriteRaw(w, static_cast<const char*>(data), size);
  if (done && (flags & kWriteNewName) == 0) KeepTarget(w.target, keep);
  done = done && CommitSafeWrite(w);
  if (!done) {
    AbandonSafeWrite(w);
    RemoveTemp(keep);
    if (error != nullptr) *error = w.error;
    return false;
  }
  std::memcpy(series.spare, keep, sizeof keep);
  return true;
}

void EndSafeWriteSeries(SafeWriteSeries& series) { RemoveTemp(series.spare); }

void DescribeFileError(int error, char* text, size_t size) {
  if (size == 0) return;
  text[0] = '\0';
#ifdef _WIN32
  size_t length = 0;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(error), 0, text, static_cast<DWORD>(size), nullptr);
  if (n == 0 || n >= size) std::snprintf(text, size, "error %d", error);
#else
  const char* message = std::strerror(error);
  size_t length = std::strlen(message) < size ? std::strlen(message) : size - 1;
  std::memcpy(text, message, length);
  text[length] = '\0';
#endif
  // The system's texts may end with a line end.
  length = std::strlen(text);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) {
    text[--length] = '\0';
  }
}

bool SameFileVersion(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.file == b.file && a.size == b.size && a.writeTime == b.writeTime &&
         a.changeTime == b.changeTime && a.creationTime == b.creationTime;
}

#ifdef _WIN32

bool OpenInputFile(InputFile& f, const char* name, int* error) {
  f.handle = nullptr;
  if (name == nullptr || name[0] == '\0') {
    if (error != nullptr) *error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
  HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = LastError();
    return false;
  }
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

bool InputFileSize(const InputFile& f, uint64_t* size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(static_cast<HANDLE>(f.handle), &value)) return false;
  *size = static_cast<uint64_t>(value.QuadPart);
  return true;
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

bool OpenInputFile(InputFile& f, const char* name, int* error) {
  f.fd = -1;
  int fd = name != nullptr && name[0] != '\0' ? open(name, O_RDONLY | O_CLOEXEC) : -1;
  if (fd < 0) {
    if (error != nullptr) *error = name != nullptr && name[0] != '\0' ? errno : ENOENT;
    return false;
  }
  struct stat st;
  int failure = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (failure != 0) {
    if (error != nullptr) *error = failure;
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

bool InputFileSize(const InputFile& f, uint64_t* size) {
  struct stat st;
  if (fstat(f.fd, &st) != 0) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
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

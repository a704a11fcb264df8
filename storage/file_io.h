// The thin file layer every animation file access goes through.
// Streams are binary (no line-end translation); an input stream never
// creates a file. Every file the program writes goes through the safe
// writer below, never through an output stream on the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>

// Opens name for reading in binary mode. Fails for an empty or missing name
// and for a directory.
bool OpenInput(std::ifstream& in, const char* name);

// Reads up to size bytes into buffer; returns the count read, which is less
// than size only at the end of the file (or when reading fails).
size_t ReadChunk(std::istream& in, char* buffer, size_t size);

// Renames from to to. Never replaces an existing file: fails instead.
bool RenameNoReplace(const char* from, const char* to);

// What a rename that never replaces did: a rename fails without moving
// anything when its source does not exist or its target name is taken;
// Failed is any other refusal of the system (permission, a file in use, a
// failing disk).
enum class RenameResult { Done, NoSource, TargetTaken, Failed };

// RenameNoReplace, telling why it did not rename; on Failed *error (if not
// null) receives the system's error code.
RenameResult TryRename(const char* from, const char* to, int* error);

// Renames name to a new temporary name beside it ("~zt" and four hex digits,
// ".tmp", as the safe writer's temporary files), written into aside
// (kSafeNameSize bytes). An error of Failed goes to *error.
RenameResult MoveAside(const char* name, char* aside, int* error);

// Deletes a file. On failure *error (if not null) receives the system's
// error code.
bool RemoveFile(const char* name, int* error = nullptr);

// True when name exists (a file or anything else).
bool PathExists(const char* name);

// The length of the folder part of a file name as the system reads it, its
// last separator included ('/', and on Windows '\' and a drive's ':'); 0
// when it has none.
size_t FolderLength(const char* path);

// Writing a whole file safely: the bytes go to a new temporary file in the
// target's directory ("~zt" and four hex digits, ".tmp"), which is moved over
// the target only once it is complete. Should anything fail, the temporary
// file is removed and the target keeps its old bytes. A target that exists
// but may not be written (read-only) is not replaced.
//
//   SafeWriter w;
//   if (BeginSafeWrite(w, name, flags)) { SafeWrite(w, ...); ... }
//   if (!CommitSafeWrite(w)) ... w.error tells why
//
// Failures are remembered: after the first one, writes do nothing, and
// CommitSafeWrite abandons the file and returns false. w.error is the
// system's error code of the first failure (errno, or GetLastError on
// Windows); DescribeFileError turns it into the system's text.

// Flags of a safe write.
enum : unsigned {
  // The bytes reach the disk before the move (FlushFileBuffers and
  // MOVEFILE_WRITE_THROUGH on Windows, fsync elsewhere): for a file the user
  // saved. Without it the move still happens only after every byte was
  // written, but the system may keep both in its cache for a while.
  kWriteDurable = 1,
  // The target was not there when its folder was listed: whether a file
  // there may be written is not asked first, and a series keeps no old
  // file of it (a file come since is replaced as any other).
  kWriteNewName = 2,
};

constexpr size_t kSafeNameSize = 260;  // the longest target and temporary name, zero included

struct SafeWriter {
  char target[kSafeNameSize];
  char temp[kSafeNameSize];  // empty while no temporary file exists
  intptr_t file;             // the temporary file: a HANDLE on Windows, a descriptor elsewhere; -1 if none
  unsigned flags;
  int error;                 // 0 while all went well
  size_t used;               // bytes waiting in buffer
  char buffer[16384];
};

// Creates the temporary file for target. Returns false (w.error set, nothing
// left behind) when it cannot, or when target does not fit kSafeNameSize.
bool BeginSafeWrite(SafeWriter& w, const char* target, unsigned flags);
// Appends size bytes. Returns false once anything has failed.
bool SafeWrite(SafeWriter& w, const void* data, size_t size);
// Writes what is buffered, closes the temporary file and moves it over the
// target. Returns false (the target as it was, no temporary file) on failure.
bool CommitSafeWrite(SafeWriter& w);
// Closes and removes the temporary file, if there is one; the target stays
// as it was. Harmless after a commit and when called twice.
void AbandonSafeWrite(SafeWriter& w);

// The whole write in one call. On failure *error (if not null) receives the
// system's error code.
bool WriteFileSafely(const char* target, const void* data, size_t size, unsigned flags, int* error);

// A series of safe writes into one directory (an expansion writes one file
// per frame). Each write is as safe as WriteFileSafely (of the flags only
// kWriteNewName counts),
// but the file it replaces is kept under a temporary name and reused as the
// next write's temporary file, so that a series neither creates nor deletes
// a file per write: ext4 without a journal scans every file deleted in the
// last minutes each time it creates one, which made a thousand replacements
// several times slower. EndSafeWriteSeries removes the kept file.
struct SafeWriteSeries {
  char spare[kSafeNameSize];  // the kept file; empty if none
};
void BeginSafeWriteSeries(SafeWriteSeries& series);
bool WriteFileInSeries(SafeWriteSeries& series, const char* target, const void* data, size_t size, unsigned flags,
                       int* error);
void EndSafeWriteSeries(SafeWriteSeries& series);

// Error codes for failures that are not the system's own.
extern const int kErrorNameTooLong;  // a name that does not fit its buffer
extern const int kErrorReadFailed;   // reading a file failed part-way
extern const int kErrorNameTaken;    // a name that another file has
extern const int kErrorMissing;      // a file that should be there is not

// The system's text for an error code, without a line end; always terminated.
void DescribeFileError(int error, char* text, size_t size);

// Test seam: the steps of a safe write that can be made to fail, and
// renames (counted only where the source exists) and deletions.
enum class FileStep { Create, Write, Move, Rename, Remove };
// Makes the nth call of step from now on (1: the next one) fail with the
// system error code error. One step at a time; error 0 clears it.
void FailFileStep(FileStep step, int nth, int error);

// A file opened for reading through the platform's own calls, for a reader
// that must know which file it reads: the identity below is taken from the
// open file, never looked up by name again (the name may meanwhile have been
// given to another file).
struct InputFile {
#ifdef _WIN32
  void* handle = nullptr;  // a HANDLE; null when closed
#else
  int fd = -1;
#endif
};

// Opens name for reading. Fails for an empty or missing name and for a
// directory; never creates a file. Other programs may go on reading, writing,
// renaming or deleting the file meanwhile. On failure *error (if not null)
// receives the system's error code.
bool OpenInputFile(InputFile& f, const char* name, int* error = nullptr);
// Reads up to size bytes into buffer; returns the count read, which is less
// than size only at the end of the file (or when reading fails).
size_t ReadInputFile(InputFile& f, char* buffer, size_t size);
// Moves the reading position to offset bytes from the file's start.
bool SeekInputFile(InputFile& f, uint64_t offset);
// The file's size in bytes; false when the system cannot tell.
bool InputFileSize(const InputFile& f, uint64_t* size);
void CloseInputFile(InputFile& f);

// What the file system says about one version of a file, all of it taken
// from an open file: which file it is, its size, and its last-write time and
// change time (of its inode, or on Windows of the file), which programs that
// set the write time back leave alone. Windows adds the creation time; the
// volume is told elsewhere by its device number, on Windows by the file's
// three 100 ns times (see QueryFileIdentity).
struct FileIdentity {
  uint64_t volume;  // device; 0 on Windows
  uint64_t file;    // inode, or the file index on Windows
  uint64_t size;
  int64_t writeTime;  // in kFileTimeUnitsPerSecond since the platform's epoch
  int64_t changeTime;
  int64_t creationTime;  // 0 elsewhere than Windows
};
bool SameFileVersion(const FileIdentity& a, const FileIdentity& b);
bool QueryFileIdentity(const InputFile& f, FileIdentity* identity);

// The wall clock, in the units and from the epoch of FileIdentity's times.
#ifdef _WIN32
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;  // 100 ns since 1601
#else
constexpr int64_t kFileTimeUnitsPerSecond = 1000000000;  // 1 ns since 1970
#endif
int64_t FileClockNow();

// The thin file layer every animation file access goes through.
// Streams are binary (no line-end translation); an input stream never
// creates a file.
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

// Opens name for writing in binary mode, creating or truncating it.
// Fails for an empty name.
bool OpenOutput(std::ofstream& out, const char* name);

// Renames from to to. Never replaces an existing file: fails instead.
bool RenameNoReplace(const char* from, const char* to);

// Deletes a file.
bool RemoveFile(const char* name);

// True when name exists (a file or anything else).
bool PathExists(const char* name);

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
// renaming or deleting the file meanwhile.
bool OpenInputFile(InputFile& f, const char* name);
// Reads up to size bytes into buffer; returns the count read, which is less
// than size only at the end of the file (or when reading fails).
size_t ReadInputFile(InputFile& f, char* buffer, size_t size);
// Moves the reading position to offset bytes from the file's start.
bool SeekInputFile(InputFile& f, uint64_t offset);
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

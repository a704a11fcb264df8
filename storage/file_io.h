// The thin file layer every animation file access goes through.
// Streams are binary (no line-end translation); an input stream never
// creates a file.
#pragma once

#include <cstddef>
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

// Path text helpers: splitting, comparing and joining paths as strings, aware
// of two-byte characters. Platform-neutral; the program, the page writer and
// the tool share them.
#pragma once

#include <cstddef>
#include <string>

// Whether lead starts a two-byte character in the code page of path text.
// On a Japanese system (Shift-JIS) the second byte of such a character may be
// 0x5C, the byte of '\', which is then no separator. Null treats every byte
// as a character of its own; the Windows build starts with the rule of the
// ANSI code page (AnsiLeadByte).
extern bool (*g_isLeadByte)(unsigned char lead);

#ifdef _WIN32
// IsDBCSLeadByte in the ANSI code page.
bool AnsiLeadByte(unsigned char lead);
#endif

// The last '\' of path that is a separator (never the second byte of a
// two-byte character); null when there is none.
const char* LastSeparator(const char* path);

// 0 when the directory parts (up to the last '\') of a and b are equal,
// byte by byte; 1 when either has no '\'; otherwise -1 or 1.
int SameDirectory(const char* a, const char* b);

// Replaces path by the part after its last '\' (unchanged if none).
void StripDirectory(char* path);

// After a sound is chosen: a sound in the animation's directory is kept by
// its bare file name.
void StoreChosenSound(char* soundPath, const char* basePath);

// The arguments of a whole command line (as the system gives it): the
// program's name is skipped as the system reads it, up to its closing
// double quote when it starts with one, else up to the first blank or tab
// (two-byte characters are skipped whole), and so are the blanks and tabs
// after it.
const char* SkipProgramName(const char* commandLine);

// Copies the path named on a command line into dest (size bytes): an optional
// leading '/' with an optional 'p' or 'P' after it, then blanks and tabs, are
// skipped, and double quotes are dropped. Returns false, leaving dest empty,
// when the path does not fit.
bool ExtractCommandLinePath(const char* commandLine, char* dest, size_t size);

// The directory of base, for making it the working directory: the part
// before its last separator, into out (size bytes). A root keeps its '\'
// ("Z:\", "\", "\\server\share\"): "Z:" alone would mean that drive's
// current directory. Returns false, leaving out empty, when base has no
// separator or the directory does not fit.
bool AnimationDirectory(const char* base, char* out, size_t size);

// Joins directory and name into out ("%s%s"). Returns false, leaving out
// empty, when the two do not fit size bytes.
bool JoinPath(char* out, size_t size, const char* directory, const char* name);

// The length of path's directory part, its last separator ('\' or '/')
// included; 0 when it has none.
size_t DirectoryLength(const char* path);

// The file that playback plays for a sound named in a frame's header: a
// relative name against the animation's directory (the program's working
// directory while the animation is open), an absolute one as it is.
std::string SoundFileName(const std::string& sound, const char* base);

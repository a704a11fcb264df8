// What the fuzz targets share: a scratch directory that is the only place
// they write to, snapshots of it, splitting an input into several files, and
// storage state with view hooks that check what storage hands them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Separates the files of one fuzz input (ASCII record separator).
constexpr uint8_t kFileSeparator = 0x1e;

// The options byte that starts every fuzz input.
struct FuzzOptions {
  uint32_t frame;  // the frame to load: bits 0-3
  bool playing;    // bit 4
  int baseKind;    // bits 5-6: which base path (see ScratchBase)
  bool allInOne;   // bit 7, for the targets that read in either mode
};
FuzzOptions DecodeOptions(uint8_t byte);

// Starts one fuzz input: takes its options byte off data, clears the
// scratch directory and picks the base path. False for an empty input.
bool BeginInput(const uint8_t*& data, size_t& size, FuzzOptions& opt, std::string& base);

// The process's scratch directory, made once under $TMPDIR (or /tmp) and
// removed at exit.
const std::string& ScratchDir();

// A base path inside the scratch directory. Kind 0 is short; kinds 1 to 3
// give bases of 251, 252 and 256 bytes, around the lengths at which frame
// file names and then the all-in-one name no longer fit 260 bytes.
std::string ScratchBase(int kind);

// Deletes every file in the scratch directory.
void ClearScratch();

// Writes bytes to the file name (a full path inside the scratch directory).
void WriteFile(const std::string& name, const uint8_t* data, size_t size);
void WriteFile(const std::string& name, const std::string& bytes);

// "<base>%04d.txt", whatever its length.
std::string FramePath(const std::string& base, size_t n);

// Every file of the scratch directory: name to bytes.
using DirSnapshot = std::map<std::string, std::string>;
DirSnapshot Snapshot();

// Splits data at kFileSeparator into at most maxPieces pieces (the last
// piece keeps any further separators).
std::vector<std::string> SplitFiles(const uint8_t* data, size_t size, size_t maxPieces);

// Stops the fuzz run with a finding when ok is false.
void Check(bool ok, const char* what);

// Storage back at its start values, the text buffers allocated, checking
// hooks installed and their counters cleared, and the animation state set.
void PrepareStorage(int storageMode, const std::string& base, uint32_t currentFrame, bool playing);

// What the checking hooks saw since PrepareStorage.
struct HookCounts {
  int setEditorText;
  int showFrameNumber;
  int renderFrame;
  int applyColours;
  int playSound;
  int writeFailures;
};
extern HookCounts g_hookCounts;

// Loads frame opt.frame of base in the storage mode, as the program does,
// checks what every load must leave (exactly one frame shown, the shown texts
// terminated within their buffers, the editor left alone while playing, the
// playing flag unchanged but for the end of the all-in-one file), and
// returns the shown text.
std::string LoadAndCheck(int storageMode, const std::string& base, const FuzzOptions& opt);

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
};
extern HookCounts g_hookCounts;

// Checks what every load leaves behind: exactly one frame shown, the shown
// texts terminated within their buffers, the editor left alone while playing.
void CheckLoadOutcome(bool playingBefore);

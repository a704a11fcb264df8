#include "conversion.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "block_stream.h"
#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_listing.h"
#include "frame_loader.h"

// Forms base.txt in name; a name too long to fit is told through tell,
// named in full.
static bool AllInOneNameOrTell(char (&name)[kPathMax], const char* base, void (*tell)(const char*, int)) {
  if (AllInOneFileName(name, sizeof name, base)) return true;
  char whole[kPathMax + 8];
  AllInOneFileName(whole, sizeof whole, base);
  tell(whole, kErrorNameTooLong);
  return false;
}

// Opens base.txt (in name) for reading blocks. A file that cannot be opened
// is told, unless it is missing and missingIsFine.
static bool OpenAllInOne(BlockStream& s, const char* name, bool missingIsFine) {
  if (OpenBlockStream(s, name)) return true;
  if (missingIsFine && !PathExists(name)) return false;
  InputFile f;
  int error = kErrorReadFailed;
  if (OpenInputFile(f, name, &error)) CloseInputFile(f);
  TellReadFailure(name, error);
  return false;
}

// Counts the blocks of base.txt that export would not write again: those
// whose number has no frame file among the ones export gathers. 0 when
// there is no such file, -1 (told) when it exists but cannot be read: what
// it holds is then unknown.
static int CountDroppedBlocks(const char* name, const std::vector<bool>& hasFile) {
  BlockStream s;
  if (!OpenAllInOne(s, name, true)) return PathExists(name) ? -1 : 0;
  // The blocks as expansion reads them: a number line that is not a number
  // keeps the number held before it.
  int number = 0;
  int dropped = 0;
  const char* text;
  int length;
  while (ReadBlockNumber(s, &number) != 0 && ReadBlockText(s, &text, &length)) {
    if (number < 0 || static_cast<uint32_t>(number) >= HighestSlot || !hasFile[static_cast<size_t>(number)]) {
      ++dropped;
    }
    AdvanceToNextBlock(s);
  }
  CloseBlockStream(s);
  return dropped;
}

// Whether a frame's text (length bytes read into a zero-filled buffer) would
// come back cut from the all-in-one file: a zero byte or "[end]" ends a text
// there.
static bool CutInAllInOne(const char* text, size_t length) {
  return std::strlen(text) < length || std::strstr(text, "[end]") != nullptr;
}

// The number line of frame n's block, into line; returns its length.
static size_t NumberLine(char (&line)[16], uint32_t n) {
  return static_cast<size_t>(std::snprintf(line, sizeof line, "%04d\r\n", static_cast<int>(n)));
}

// The blocks export keeps in memory as it reads the frame files, so that it
// reads each once; frames past this many bytes are read again to be written.
constexpr size_t kKeptBlocksMax = 32u << 20;

// Appends frame n's block with text, as the all-in-one file holds it, to
// blocks, if it fits kKeptBlocksMax and memory. Returns whether it did.
static bool KeepBlock(std::string& blocks, uint32_t n, const char* text) {
  char line[16];
  const size_t lineLength = NumberLine(line, n), length = std::strlen(text), before = blocks.size();
  if (before + lineLength + length + 9 > kKeptBlocksMax) return false;
  try {
    blocks.append(line, lineLength).append(text, length).append("\r\n[end]\r\n", 9);
  } catch (const std::bad_alloc&) {
    blocks.resize(before);
    return false;
  }
  return true;
}

void ExportAllInOne(const char* base) {
  std::vector<bool> hasFile(HighestSlot);
  bool any = false;
  int cut = 0;
  uint32_t firstCut = 0;
  const FrameSlots slots = ListFrameSlots(base);
  std::string blocks;
  uint32_t notKept = HighestSlot;  // the first frame whose block is not in blocks
  for (uint32_t i = 0; i < HighestSlot; ++i) {
    uint64_t size = 0;
    hasFile[i] = MayHaveFile(slots, i) && ReadFrameFile(base, i, &size);
    any = any || hasFile[i];
    size_t length = size < kFrameTextMax ? static_cast<size_t>(size) : kFrameTextMax;
    if (hasFile[i] && CutInAllInOne(WorkBuffer, length) && cut++ == 0) firstCut = i;
    if (hasFile[i] && notKept == HighestSlot && !KeepBlock(blocks, i, WorkBuffer)) notKept = i;
  }
  // Replacing the all-in-one file with nothing, or without frames that only
  // it holds, would lose them: nothing at all is never written, and losing
  // some only when the user says so. A file that cannot be read may hold
  // anything: it is not replaced.
  if (!any) {
    if (g_viewHooks.ReportRefusal != nullptr) g_viewHooks.ReportRefusal(Refusal::NoFrameFiles);
    return;
  }
  char name[kPathMax];
  if (!AllInOneNameOrTell(name, base, TellWriteFailure)) return;
  int dropped = CountDroppedBlocks(name, hasFile);
  if (dropped < 0) return;
  if (dropped > 0 && (g_viewHooks.ConfirmDroppingFrames == nullptr || !g_viewHooks.ConfirmDroppingFrames(dropped))) {
    return;
  }
  // Frames the file cannot give back whole are written only when the user
  // says so.
  if (cut > 0 &&
      (g_viewHooks.ConfirmStoringCutFrames == nullptr || !g_viewHooks.ConfirmStoringCutFrames(cut, firstCut))) {
    return;
  }
  // The whole file is written before it replaces the old one, which stays
  // as it was should anything fail.
  SafeWriter out;
  if (!BeginSafeWrite(out, name, kWriteDurable)) {
    TellWriteFailure(name, out.error);
    return;
  }
  // Frames are written in ascending order, as the block readers expect.
  bool writing = SafeWrite(out, blocks.data(), blocks.size());
  for (uint32_t i = notKept; writing && i < HighestSlot; ++i) {
    if (!hasFile[i] || !ReadFrameFile(base, i)) continue;
    char line[16];
    SafeWrite(out, line, NumberLine(line, i));
    SafeWrite(out, WorkBuffer, std::strlen(WorkBuffer));
    writing = SafeWrite(out, "\r\n[end]\r\n", 9);
  }
  CommitAndTell(out);
}

int ExpandAllInOne(const char* base) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneNameOrTell(name, base, TellReadFailure) || !OpenAllInOne(s, name, false)) return 0;
  // A number line that is not a number keeps the number held before it.
  // Each number is written once, from its first block, the one a load
  // shows; later blocks with that number are left out and counted.
  int number = 0;
  const char* text;
  int length;
  std::unordered_set<int> seen;
  int skipped = 0;
  int texts = 0;  // the frames written or tried
  // Which frame files there are to replace: a name the folder lacks is
  // written without asking about a file there first.
  const FrameSlots slots = ListFrameSlots(base);
  SafeWriteSeries series;
  BeginSafeWriteSeries(series);
  while (ReadBlockNumber(s, &number) != 0 && ReadBlockText(s, &text, &length)) {
    // A block with empty text makes no file and leaves an existing one
    // alone. A frame that cannot be written is told, and the others go on.
    if (!seen.insert(number).second) {
      ++skipped;
    } else if (length > 0) {
      ++texts;
      const uint32_t n = static_cast<uint32_t>(number);
      const unsigned flags = MayHaveFile(slots, n) ? 0u : unsigned{kWriteNewName};
      WriteFrameFile(base, n, text, static_cast<size_t>(length), flags, &series);
    }
    AdvanceToNextBlock(s);
  }
  EndSafeWriteSeries(series);
  CloseBlockStream(s);
  if (skipped > 0 && g_viewHooks.ReportSkippedBlocks != nullptr) g_viewHooks.ReportSkippedBlocks(skipped);
  return texts;
}

// Copies the first block's raw window (not cut at "[end]") into WorkBuffer,
// cleared first, if the first block is frame 0; a first number line that is
// not a number counts as 0. Returns false, copying nothing, otherwise.
static bool ReadFirstBlockWindow(const char* base) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return false;
  int number = 0;
  bool first = ReadBlockNumber(s, &number) != 0 && number == 0;
  if (first) {
    const char* window;
    int got = BlockWindow(s, &window);
    std::memset(WorkBuffer, 0, sizeof WorkBuffer);
    std::memcpy(WorkBuffer, window, static_cast<size_t>(got));
  }
  CloseBlockStream(s);
  return first;
}

void ApplyFirstFrameColours(const char* base) {
  // Either read leaves the frame's text zero-terminated in WorkBuffer.
  bool read = g_animation.storageMode == AllInOne ? ReadFirstBlockWindow(base) : ReadFrameFile(base, 0);
  if (!read) return;
  // Only a colour block on the line right after "{" is applied.
  if (WorkBuffer[0] == '{') ParseColourBlock(SkipLine(WorkBuffer));
}

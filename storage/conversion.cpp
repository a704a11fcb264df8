#include "conversion.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "block_stream.h"
#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_loader.h"

// Counts the blocks of base.txt that export would not write again: those
// whose number has no frame file among the ones export gathers. 0 when the
// file cannot be read.
static int CountDroppedBlocks(const char* base, const std::vector<bool>& hasFile) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return 0;
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

void ExportAllInOne(const char* base) {
  std::vector<bool> hasFile(HighestSlot);
  bool any = false;
  for (uint32_t i = 0; i < HighestSlot; ++i) {
    std::ifstream in;
    hasFile[i] = OpenFrameInput(in, base, i);
    any = any || hasFile[i];
  }
  // Replacing the all-in-one file with nothing, or without frames that only
  // it holds, would lose them: nothing at all is never written, and losing
  // some only when the user says so.
  if (!any) {
    if (g_viewHooks.ReportRefusal != nullptr) g_viewHooks.ReportRefusal(Refusal::NoFrameFiles);
    return;
  }
  int dropped = CountDroppedBlocks(base, hasFile);
  if (dropped > 0 && (g_viewHooks.ConfirmDroppingFrames == nullptr || !g_viewHooks.ConfirmDroppingFrames(dropped))) {
    return;
  }
  char name[kPathMax];
  if (!AllInOneFileName(name, sizeof name, base)) {
    char whole[kPathMax + 8];
    AllInOneFileName(whole, sizeof whole, base);
    TellWriteFailure(whole, kErrorNameTooLong);
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
  for (uint32_t i = 0; i < HighestSlot; ++i) {
    if (!hasFile[i] || !ReadFrameFile(base, i)) continue;
    char numberLine[16];
    int lineLength = std::snprintf(numberLine, sizeof numberLine, "%04d\r\n", static_cast<int>(i));
    SafeWrite(out, numberLine, static_cast<size_t>(lineLength));
    SafeWrite(out, WorkBuffer, std::strlen(WorkBuffer));
    if (!SafeWrite(out, "\r\n[end]\r\n", 9)) break;
  }
  CommitAndTell(out);
}

void ExpandAllInOne(const char* base) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return;
  // A number line that is not a number keeps the number held before it.
  int number = 0;
  const char* text;
  int length;
  SafeWriteSeries series;
  BeginSafeWriteSeries(series);
  while (ReadBlockNumber(s, &number) != 0 && ReadBlockText(s, &text, &length)) {
    // A block with empty text makes no file and leaves an existing one
    // alone. A frame that cannot be written is told, and the others go on.
    if (length > 0) {
      WriteFrameFile(base, static_cast<uint32_t>(number), text, static_cast<size_t>(length), 0, &series);
    }
    AdvanceToNextBlock(s);
  }
  EndSafeWriteSeries(series);
  CloseBlockStream(s);
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

#include "conversion.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "block_reader.h"
#include "file_io.h"
#include "frame_header.h"
#include "frame_loader.h"

void ExportAllInOne(const char* base) {
  char name[kPathMax];
  std::ofstream out;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenOutput(out, name)) return;
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  // Frames are written in ascending order, as the block readers expect.
  for (uint32_t i = 0; i < HighestSlot; ++i) {
    std::ifstream in;
    if (!FrameFileName(name, sizeof name, base, i) || !OpenInput(in, name)) continue;
    char numberLine[16];
    int lineLength = std::snprintf(numberLine, sizeof numberLine, "%04d\r\n", static_cast<int>(i));
    out.write(numberLine, lineLength);
    std::memset(WorkBuffer, 0, sizeof WorkBuffer);
    in.read(WorkBuffer, kFrameTextMax);
    out.write(WorkBuffer, static_cast<std::streamsize>(std::strlen(WorkBuffer)));
    out.write("\r\n[end]\r\n", 9);
  }
}

// Reads the next block of the all-in-one file into WorkBuffer and moves the
// stream on to the block after it. Returns false when the blocks have ended.
static bool ReadNextBlock(std::istream& in, int* number, int* textLength) {
  if (ReadBlockNumber(in, WorkBuffer, number) == 0) return false;
  int got = ReadBlockText(in, WorkBuffer, textLength);
  if (got == 0) return false;
  AdvanceToNextBlock(in, got, *textLength);
  return true;
}

void ExpandAllInOne(const char* base) {
  char name[kPathMax];
  std::ifstream in;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenInput(in, name)) return;
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  // A number line that is not a number keeps the number held before it.
  int number = 0;
  int length = 0;
  while (!in.fail() && ReadNextBlock(in, &number, &length)) {
    // A block with empty text makes no file and leaves an existing one alone.
    if (length == 0) continue;
    std::ofstream out;
    if (!FrameFileName(name, sizeof name, base, static_cast<uint32_t>(number)) ||
        !OpenOutput(out, name)) {
      continue;
    }
    out.write(WorkBuffer, length);
  }
}

// Opens the all-in-one file and steps over its first number line. False when
// the file cannot be opened or its first block is not frame 0; a first number
// line that is not a number counts as 0.
static bool OpenFirstBlock(std::ifstream& in, const char* base) {
  char name[kPathMax];
  if (!AllInOneFileName(name, sizeof name, base) || !OpenInput(in, name)) return false;
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  int number = 0;
  return ReadBlockNumber(in, WorkBuffer, &number) != 0 && number == 0;
}

void ApplyFirstFrameColours(const char* base) {
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  std::ifstream in;
  if (g_animation.storageMode == AllInOne) {
    if (!OpenFirstBlock(in, base)) return;
  } else {
    char name[kPathMax];
    if (!FrameFileName(name, sizeof name, base, 0) || !OpenInput(in, name)) return;
  }
  // The whole read is taken, not cut at "[end]": only its first lines matter.
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  in.read(WorkBuffer, kFrameTextMax);
  // Only a colour block on the line right after "{" is applied.
  if (WorkBuffer[0] == '{') ParseColourBlock(SkipLine(WorkBuffer));
}

// Checking an animation: every place in its files that will not play or
// convert as written, found by reading the files through the same code the
// program reads them with. Platform-neutral; it writes no file and changes
// none of the program's state but WorkBuffer (which every reader clears).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CheckLayout { Frames, AllInOne };

enum class CheckKind {
  UnorderedBlock,   // a block numbered at or below one before it: playback never reaches it
  EndMarkerInText,  // "[end]" inside a text: a block cut in a line, a frame file export would cut
  ZeroByte,         // a zero byte ends the text: the rest never shows
  OversizeBlock,    // no "[end]" within the reader's window: cut to a frame's text
  NoEndLine,        // the file ends before the block's "[end]" line
  BadNumberLine,    // not a number, or not ended by CR LF within 9 characters
  RepeatMissing,    // "same N" where frame N has no text
  RepeatCycle,      // a chain of repeats that comes back to this frame
  RepeatTooDeep,    // a chain longer than the loader follows
  MissingSound,     // a sound file not found where playback looks for it
  FrameTooLong,     // a frame file over 32000 bytes
  ExportWouldDrop,  // a block that no frame file holds: export drops it
  SlotShared,       // frame file 10000, also frame 0 of another animation
  FramesEndEarly,   // an empty line ends the blocks before the file ends
};

// The kind's name, as the tool prints it ("unordered-block", ...).
const char* CheckKindName(CheckKind kind);

// Why a number line is bad.
enum class NumberLineProblem { NotANumber, LfAlone, CrAlone, TooLong };

struct Finding {
  CheckLayout layout;
  CheckKind kind;
  std::string file;   // the frame file, or the all-in-one file
  uint32_t frame;     // the frame number (of a block: as the reader takes it)
  uint64_t offset;    // all-in-one: where the block's number line starts
  // Details, by kind:
  //  UnorderedBlock: other, at: the earlier block where the search stops, and its offset
  //  EndMarkerInText, ZeroByte: at: the byte of the text where it stands
  //  FrameTooLong: at: the file's size; FramesEndEarly: at: the bytes never read
  //  BadNumberLine: problem, text: the line's characters as read, control
  //    bytes written \n, \r, \xNN
  //  RepeatMissing: other: the frame repeated
  //  RepeatCycle: chain: the frames loaded, this one first and last
  //  RepeatTooDeep: other: the frame that shows its own text
  //  MissingSound: text: the sound as named, path: the file looked for
  //  SlotShared: text: the other animation's file ("<base>1.txt")
  uint32_t other = 0;
  uint64_t at = 0;
  NumberLineProblem problem = NumberLineProblem::NotANumber;
  std::string text;
  std::string path;
  std::vector<uint32_t> chain;
};

// Which layouts to check; without one that exists it is not checked.
enum : unsigned { kCheckFrames = 1, kCheckAllInOne = 2 };

struct CheckReport {
  bool checkedFrames = false;    // frame files were found and checked
  uint32_t frameFiles = 0;
  bool checkedAllInOne = false;  // the all-in-one file opened and was checked
  uint64_t blocks = 0;
  std::vector<Finding> findings;  // frame files first, each layout in file order
};

// Checks the animation at base in the layouts asked for. When both are asked
// for and both exist, blocks that export would drop are found too.
void CheckAnimation(const char* base, unsigned layouts, CheckReport& report);

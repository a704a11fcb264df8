// Which frame files of an animation are in its folder, learned from one
// listing of the folder instead of by trying each name. Under Wine, trying a
// name that does not exist reads the whole folder (to rule out the name in
// another letter case), so an operation that tried all 10,001 names read the
// folder thousands of times.
//
// A listing is taken for one operation and used by it alone: nothing is kept
// that could grow stale. It may name more slots than have a file (it is
// read as the file system compares names, leaning to yes where unsure), so
// an operation still opens or renames each slot it names as before: a file
// that went since the listing is then missing as before, and a name that is
// a directory is refused as before. A file that comes after the listing is
// not seen, as one that came after its slot was tried was not.
#pragma once

#include <cstdint>
#include <vector>

struct FrameSlots {
  // False when the folder could not be listed: every slot may have a file.
  bool listed = false;
  // For slots 0 ... HighestSlot: a name in the folder is this frame's file
  // name ("%s%04d.txt" of the base), in another letter case too where the
  // file system would open it by that name.
  std::vector<bool> named;
};

// Lists the folder of the animation at base.
FrameSlots ListFrameSlots(const char* base);

// Whether frame n may have a file: its name is in the listing, or the
// listing does not tell (a frame above HighestSlot, a folder that could not
// be listed).
bool MayHaveFile(const FrameSlots& slots, uint32_t n);

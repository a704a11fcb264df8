// The all-in-one file's block algorithm written as plainly as possible over a
// stream: after each number line a 32007-byte read, then a relative seek to the
// next number line, or a search for the next end line after a text that did
// not end at one. The tests hold the real reader to what this returns.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reference {

// Frame n read from the all-in-one file at path as the frame loader does.
struct Frame {
  std::string text;
  bool ended = false;  // the blocks ran out first (playback stops)
};
Frame ReadFrame(const std::string& path, uint32_t n);

// The frame files expansion writes, in the order it writes them: the number
// and text of the first block with each number, where that text is not empty.
std::vector<std::pair<int, std::string>> ExpandedBlocks(const std::string& path);

// The first block's raw window (up to 32000 bytes after its number line, not
// cut at "[end]") when that number line reads as frame 0; false otherwise.
bool FirstBlockWindow(const std::string& path, std::string* window);

}  // namespace reference

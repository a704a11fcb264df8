// Every frame 0 ... 9999 of an animation as playback shows it, walked without
// the window: the body each frame shows (repeats followed, gaps empty), the
// colours and sound its loading applies, and where playback ends. The page
// writer and the GIF export build on it. Platform-neutral.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "animation.h"

// One frame as playback shows it.
struct ShownFrame {
  uint32_t body;     // index of the body it shows among PlaybackWalk::bodies
  bool coloured;     // its loading applied a colour block
  ColourTriple pen;  // the colours in effect once it is shown
  ColourTriple back;
  bool sounded;       // its loading played a sound ...
  std::string sound;  // ... named so (as the frame gives it)
  bool ends;          // showing it ends playback
};

struct PlaybackWalk {
  // The colours Start applies (the first frame's), if it has any; pen and
  // back are the colours playback starts with either way.
  bool startColoured = false;
  ColourTriple startPen{};
  ColourTriple startBack{};
  std::vector<bool> stored;         // the frame has a file or a block
  std::string bodies;               // the distinct bodies in the order first shown, each closed by a zero
  std::vector<size_t> bodyStart;    // where each body starts in bodies
};

// Loads every frame of the animation at base in the given storage mode as
// playback does, from the colours pen and back (those on show when playback
// starts), and hands each to visit in order. The program's state (animation
// state, colours, frame record, sound cue, shown text, hooks) is left as it
// was found. In the all-in-one layout the file is read once.
void WalkPlayback(const char* base, int storageMode, const ColourTriple& pen, const ColourTriple& back,
                  PlaybackWalk& walk, const std::function<void(uint32_t frame, const ShownFrame& shown)>& visit);

// The last frame with a file or a block (the page's loop point), or -1.
int LastStoredFrame(const PlaybackWalk& walk);

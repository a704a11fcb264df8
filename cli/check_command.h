// zoetrix-cli check: the findings of the animation check, as lines of text
// or as one JSON document.
#pragma once

// Checks the animation named animation (base path base) in mode's layout
// (FrameFiles or AllInOne; 0: both, where they exist) and prints what it
// found. Returns the exit status: 0 nothing found, 1 something found (or no
// animation there).
int CheckCommand(const char* animation, const char* base, int mode, bool json);

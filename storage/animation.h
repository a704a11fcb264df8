// Animation state, colour state, shared text buffers and frame naming.
// Platform-neutral: no window or Windows header here.
#pragma once

#include <cstddef>
#include <cstdint>

// Fixed sizes of the program.
constexpr int kFrameTextMax = 32000;  // bytes of one frame's text
constexpr int kTextBufferSize = kFrameTextMax + 1;  // text plus terminating zero
constexpr int kPathMax = 260;  // a path, terminating zero included
constexpr uint32_t HighestSlot = 10000;  // upper bound of whole-animation operations

// How the frames of an animation are stored. The values are fixed.
enum StorageMode : int {
  AllInOne = 1,    // one file base.txt with numbered blocks
  FrameFiles = 2,  // one file per frame, baseNNNN.txt
};

struct ColourTriple {
  int red;
  int green;
  int blue;
};

struct AnimationState {
  char basePath[kPathMax];  // the opened file's path without its extension
  int storageMode;          // a StorageMode value
  uint32_t currentFrame;    // never below 0
  int playing;              // 1 while playback runs
  int interval;             // playback timer period, milliseconds
  int hasCopiedFrame;       // copied-frame mark: flag ...
  uint32_t copiedFrame;     // ... and the frame number it remembers
};

extern AnimationState g_animation;

// Text and border colour, and background colour.
extern ColourTriple PenColour;
extern ColourTriple BackColour;

// Shared scratch buffer for file operations: 32000 bytes of text and a zero.
extern char WorkBuffer[kTextBufferSize];

// The text the frame view paints: a heap buffer of kTextBufferSize bytes,
// allocated at start-up and freed at exit; null outside that time.
extern char* DisplayText;
bool AllocateTextBuffers();
void FreeTextBuffers();

// Puts the animation state, the colour state, the frame record and the sound
// cue back to their start values (used at start-up and by tests).
void ResetStorageState();

// Forms "%s%04d.txt" from base and n. Returns false, leaving out empty, when
// the name would not fit outSize: a cut name would name a different file.
bool FrameFileName(char* out, size_t outSize, const char* base, uint32_t n);

// Forms "%s.txt" from base, with the same rule as FrameFileName.
bool AllInOneFileName(char* out, size_t outSize, const char* base);

// Removes, in place, everything from the last '.' of the file name part of
// path (after its last '/' or separating '\') onwards; a '.' in a
// directory name is not cut.
void DeriveBasePath(char* path);

// Moves the current frame by delta; a result below 0 becomes 0.
void StepFrame(int delta);

// Bounded copy: copies at most size - 1 bytes of src and always terminates.
void CopyText(char* dest, size_t size, const char* src);

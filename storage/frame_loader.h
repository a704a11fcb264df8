// Loading one frame for display, the sound cue, and the hooks through which
// storage reaches the window side.
#pragma once

#include <cstdint>

#include "animation.h"

struct SoundCue {
  char path[kTextBufferSize];  // the last parsed sound path line
  int available;               // 1 when the last frame with a header had one
};

extern SoundCue g_soundCue;

// What storage needs from the window side. A null hook does nothing.
struct ViewHooks {
  void (*SetEditorText)(const char* text);
  // Copies the editor's text into buffer, at most size bytes with the zero.
  void (*GetEditorText)(char* buffer, int size);
  void (*ShowFrameNumber)(const char* text);
  void (*RenderFrame)();
  void (*ApplyColours)();
};

extern ViewHooks g_viewHooks;

// Plays a sound by name, asynchronously. The Windows program sets this to
// PlaySoundA with SND_ASYNC; tests observe it.
extern void (*g_playSound)(const char* path);

// The longest chain of "same" repeats that is followed.
constexpr int kMaxRepeatChain = 64;

// Loads frame n of the animation at base and shows it.
void LoadFrame(const char* base, uint32_t n);

// Plays the sound cue, if one is available.
void PlayCue();

// Reads frame n's raw text into WorkBuffer as a zero-terminated string (empty
// when there is none), in the current storage mode. In the all-in-one layout
// the bytes after the terminator are left as they were, and running out of
// blocks before frame n clears the playing flag.
void ReadFrameText(const char* base, uint32_t n);

// Where ReadFrameText takes frame texts from: null reads the animation's
// files. A source fills WorkBuffer as ReadFrameText does (a page writer that
// loads every frame reads the files once and serves the texts from memory).
extern void (*g_frameTextSource)(const char* base, uint32_t n);

// Loads frame n as the repeat named by a "same" line. Returns 0, loading
// nothing, when n is already being loaded further up the chain or the chain
// is longer than kMaxRepeatChain; 1 once the frame has been loaded and shown.
int FollowRepeat(const char* base, uint32_t n);

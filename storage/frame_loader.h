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

// Why an operation wrote nothing; the window side tells the user.
enum class Refusal {
  FrameTooLong,  // with its header the frame would pass kFrameTextMax bytes
  NoFrameFiles,  // export found no frame file to gather
  TextTooLong,   // the editor holds more than kFrameTextMax bytes
};

// What storage needs from the window side. A null hook does nothing (a null
// question is answered no).
struct ViewHooks {
  void (*SetEditorText)(const char* text);
  // Copies the editor's text into buffer, at most size bytes with the zero.
  void (*GetEditorText)(char* buffer, int size);
  void (*ShowFrameNumber)(const char* text);
  void (*RenderFrame)();
  void (*ApplyColours)();
  // A file could not be written: its name and the system's reason. Storage
  // has left the file as it was; the window side tells the user.
  void (*ReportWriteFailure)(const char* fileName, const char* reason);
  // Asks whether export may replace the all-in-one file although count of
  // its blocks have no frame file: those frames would be lost.
  bool (*ConfirmDroppingFrames)(int count);
  void (*ReportRefusal)(Refusal why);
  // Whether the user has changed the editor's text since it was last set.
  bool (*EditorModified)();
  // Asks whether the frame on show, a repeat of frame repeated, may be
  // written: it then holds a copy and no longer follows that frame.
  bool (*ConfirmCopyingRepeat)(uint32_t repeated);
  // A frame operation stopped at fileName, which the system would not move
  // or remove (reason), and everything was put back. When something could
  // not be put back, stranded names where it lies now (else it is empty).
  void (*ReportFrameOperationFailure)(const char* fileName, const char* reason, const char* stranded,
                                      const char* strandedReason);
  // A file that had to be read could not be (reason); nothing was written.
  void (*ReportReadFailure)(const char* fileName, const char* reason);
  // Asks whether export may write count frames that the all-in-one file
  // cannot give back whole (their text holds "[end]" or a zero byte); first
  // is the lowest of them.
  bool (*ConfirmStoringCutFrames)(int count, uint32_t first);
  // Expansion left out count blocks whose frame number an earlier block had.
  void (*ReportSkippedBlocks)(int count);
};

extern ViewHooks g_viewHooks;

// Passes a failed write of name, with the system's text for error, to the
// ReportWriteFailure hook.
void TellWriteFailure(const char* name, int error);
// The same for a file that could not be read, to the ReportReadFailure hook.
void TellReadFailure(const char* name, int error);

// Plays a sound by name, asynchronously. The Windows program sets this to
// PlaySoundA with SND_ASYNC; tests observe it.
extern void (*g_playSound)(const char* path);

// The longest chain of "same" repeats that is followed.
constexpr int kMaxRepeatChain = 64;

// Loads frame n of the animation at base and shows it.
void LoadFrame(const char* base, uint32_t n);

// Forgets the frame last loaded, as at start-up: the frame record and the
// text the view paints become empty. The editor is the window side's.
void ForgetLoadedFrame();

// Plays the sound cue, if one is available.
void PlayCue();

// Reads frame n's raw text into WorkBuffer as a zero-terminated string (empty
// when there is none), in the current storage mode. In the all-in-one layout
// the bytes after the terminator are left as they were, and running out of
// blocks before frame n clears the playing flag, unless frame n is read as
// the repeat of another frame: only the end of the sequence for the frame
// being played ends playback.
void ReadFrameText(const char* base, uint32_t n);

// Where ReadFrameText takes frame texts from: null reads the animation's
// files. A source fills WorkBuffer as ReadFrameText does (a page writer that
// loads every frame reads the files once and serves the texts from memory).
// It returns true when the blocks ran out before frame n.
extern bool (*g_frameTextSource)(const char* base, uint32_t n);

// Loads frame n as the repeat named by a "same" line. Returns 0, loading
// nothing, when n is already being loaded further up the chain or the chain
// is longer than kMaxRepeatChain; 1 once the frame has been loaded and shown.
int FollowRepeat(const char* base, uint32_t n);

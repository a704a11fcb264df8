#include "frame_loader.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "block_stream.h"
#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"

SoundCue g_soundCue;
ViewHooks g_viewHooks;
void (*g_playSound)(const char* path) = nullptr;
bool (*g_frameTextSource)(const char* base, uint32_t n) = nullptr;

// Frames being loaded through the current chain of repeats, outermost first.
static uint32_t s_chain[kMaxRepeatChain];
static int s_chainDepth = 0;

// Returns true when the blocks ran out before frame n.
static bool ReadAllInOneBlock(const char* base, uint32_t n) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return false;
  const char* text;
  int length;
  BlockSearch found = FindBlock(s, n, &text, &length);
  if (found == BlockSearch::Found) {
    // A text ended by "[end]" may run 2 bytes past what a frame holds.
    if (length > kFrameTextMax) length = kFrameTextMax;
    std::memcpy(WorkBuffer, text, static_cast<size_t>(length));
    WorkBuffer[length] = '\0';
  }
  CloseBlockStream(s);
  return found == BlockSearch::Ended;
}

void ReadFrameText(const char* base, uint32_t n) {
  bool ended = false;
  if (g_frameTextSource != nullptr) {
    ended = g_frameTextSource(base, n);
  } else if (g_animation.storageMode == AllInOne) {
    // The block's text is copied with its terminator; clearing the whole
    // buffer as well would cost about as much as reading a small frame.
    WorkBuffer[0] = '\0';
    ended = ReadAllInOneBlock(base, n);
  } else {
    ReadFrameFile(base, n);
  }
  // A repeat of a block that is not there shows an empty frame, as a missing
  // frame file does; only the end of the blocks for the frame being played
  // ends playback.
  if (ended && s_chainDepth <= 1) g_animation.playing = 0;
}

// Decodes the header at the start of WorkBuffer, if there is one, and returns
// where the body starts. Returns null when a repeat has been loaded instead.
static const char* DecodeHeader(const char* base) {
  const char* text = WorkBuffer;
  if (text[0] != '{') return text;
  const char* p = SkipLine(text);
  if (ParseSameLine(base, p)) return nullptr;
  g_frameRecord.hasColour = ParseColourBlock(p);
  if (g_frameRecord.hasColour) p = SkipLine(SkipLine(p));
  g_frameRecord.hasSound = ParseSoundBlock(p);
  g_soundCue.available = g_frameRecord.hasSound;
  if (g_frameRecord.hasSound && g_animation.playing) PlayCue();
  return BodyAfterHeader(text);
}

void LoadFrame(const char* base, uint32_t n) {
  bool outermost = (s_chainDepth == 0);
  if (outermost) {
    s_chain[s_chainDepth++] = n;
    g_frameRecord.isRepeat = 0;
  }

  ReadFrameText(base, n);
  g_frameRecord.hasColour = 0;
  g_frameRecord.hasSound = 0;
  const char* body = DecodeHeader(base);
  if (body != nullptr) {
    CopyText(g_frameRecord.body, sizeof g_frameRecord.body, body);
    if (DisplayText != nullptr) {
      CopyText(DisplayText, kTextBufferSize, g_animation.playing ? body : WorkBuffer);
    }
    std::snprintf(WorkBuffer, sizeof WorkBuffer, "%lu",
                  static_cast<unsigned long>(g_animation.currentFrame));
    if (g_viewHooks.ShowFrameNumber != nullptr) g_viewHooks.ShowFrameNumber(WorkBuffer);
    if (!g_animation.playing && g_viewHooks.SetEditorText != nullptr && DisplayText != nullptr) {
      g_viewHooks.SetEditorText(DisplayText);
    }
    if (g_viewHooks.RenderFrame != nullptr) g_viewHooks.RenderFrame();
  }

  if (outermost) s_chainDepth = 0;
}

int FollowRepeat(const char* base, uint32_t n) {
  if (s_chainDepth >= kMaxRepeatChain) return 0;
  for (int i = 0; i < s_chainDepth; ++i) {
    if (s_chain[i] == n) return 0;
  }
  s_chain[s_chainDepth++] = n;
  LoadFrame(base, n);
  // The frame on show repeats the frame its own "same" line names.
  if (--s_chainDepth == 1) {
    g_frameRecord.isRepeat = 1;
    g_frameRecord.repeatedFrame = n;
  }
  return 1;
}

void TellWriteFailure(const char* name, int error) {
  if (g_viewHooks.ReportWriteFailure == nullptr) return;
  char reason[256];
  DescribeFileError(error, reason, sizeof reason);
  g_viewHooks.ReportWriteFailure(name, reason);
}

void TellReadFailure(const char* name, int error) {
  if (g_viewHooks.ReportReadFailure == nullptr) return;
  char reason[256];
  DescribeFileError(error, reason, sizeof reason);
  g_viewHooks.ReportReadFailure(name, reason);
}

void ForgetLoadedFrame() {
  std::memset(&g_frameRecord, 0, sizeof g_frameRecord);
  if (DisplayText != nullptr) DisplayText[0] = '\0';
}

void PlayCue() {
  if (g_soundCue.available && g_playSound != nullptr) g_playSound(g_soundCue.path);
}

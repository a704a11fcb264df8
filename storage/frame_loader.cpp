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
void (*g_frameTextSource)(const char* base, uint32_t n) = nullptr;

// Frames being loaded through the current chain of repeats, outermost first.
static uint32_t s_chain[kMaxRepeatChain];
static int s_chainDepth = 0;

static void ReadAllInOneBlock(const char* base, uint32_t n) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, base) || !OpenBlockStream(s, name)) return;
  const char* text;
  int length;
  BlockSearch found = FindBlock(s, n, &text, &length);
  if (found == BlockSearch::Found) {
    std::memcpy(WorkBuffer, text, static_cast<size_t>(length));
    WorkBuffer[length] = '\0';
  } else if (found == BlockSearch::Ended) {
    g_animation.playing = 0;
  }
  CloseBlockStream(s);
}

void ReadFrameText(const char* base, uint32_t n) {
  if (g_frameTextSource != nullptr) {
    g_frameTextSource(base, n);
  } else if (g_animation.storageMode == AllInOne) {
    // The block's text is copied with its terminator; clearing the whole
    // buffer as well would cost about as much as reading a small frame.
    WorkBuffer[0] = '\0';
    ReadAllInOneBlock(base, n);
  } else {
    ReadFrameFile(base, n);
  }
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
  if (g_frameRecord.hasSound) {
    p = SkipLine(SkipLine(p));
    g_soundCue.available = 1;
    if (g_animation.playing) PlayCue();
  } else {
    g_soundCue.available = 0;
  }
  // The body follows the first "}" line; a header that never closes leaves
  // no body.
  const char* close = p != nullptr ? std::strchr(p, '}') : nullptr;
  const char* body = SkipLine(close);
  return body != nullptr ? body : text + std::strlen(text);
}

void LoadFrame(const char* base, uint32_t n) {
  bool outermost = (s_chainDepth == 0);
  if (outermost) s_chain[s_chainDepth++] = n;

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
  --s_chainDepth;
  return 1;
}

void PlayCue() {
  if (g_soundCue.available && g_playSound != nullptr) g_playSound(g_soundCue.path);
}

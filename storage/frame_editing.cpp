#include "frame_editing.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_loader.h"

// A header composed around a full-size body is longer than the WorkBuffer, so
// composed text gets a buffer of its own that holds any header and any body.
static char s_composed[kComposedSize];

// Renames frame from to frame to; a rename that fails (either name does not
// fit, the old file is missing, the new name is taken) is skipped.
static void RenameFrame(const char* base, uint32_t from, uint32_t to) {
  char oldName[kPathMax];
  char newName[kPathMax];
  if (!FrameFileName(oldName, sizeof oldName, base, from)) return;
  if (!FrameFileName(newName, sizeof newName, base, to)) return;
  RenameNoReplace(oldName, newName);
}

// Composes the frame record's header and body and shows them in the editor.
// Returns the composed length.
static int ComposeAndShow() {
  int length = ComposeHeader(g_frameRecord, s_composed, sizeof s_composed);
  if (g_viewHooks.SetEditorText != nullptr) g_viewHooks.SetEditorText(s_composed);
  return length;
}

void SaveFrameFromEditor(const char* base) {
  // Without the editor there is no text to save; writing would only empty
  // the frame's file.
  if (g_viewHooks.GetEditorText == nullptr) return;
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  // The editor's limit counts the terminating zero: at most 31999 bytes.
  g_viewHooks.GetEditorText(WorkBuffer, kFrameTextMax);
  WorkBuffer[kFrameTextMax - 1] = '\0';
  std::ofstream out;
  if (!OpenFrameOutput(out, base, g_animation.currentFrame)) return;
  out.write(WorkBuffer, static_cast<std::streamsize>(std::strlen(WorkBuffer)));
}

void SaveCurrentColours(const char* base) {
  std::snprintf(g_frameRecord.colourText, sizeof g_frameRecord.colourText, "%d %d %d %d %d %d",
                PenColour.red, PenColour.green, PenColour.blue, BackColour.red, BackColour.green,
                BackColour.blue);
  g_frameRecord.hasColour = 1;
  std::ofstream out;
  bool opened = OpenFrameOutput(out, base, g_animation.currentFrame);
  int length = ComposeAndShow();
  if (opened) out.write(s_composed, length);
}

void SetFrameSound(const char* path) {
  CopyText(g_frameRecord.soundPath, sizeof g_frameRecord.soundPath, path);
  g_frameRecord.hasSound = 1;
  ComposeAndShow();
}

void InsertFrame(const char* base) {
  uint32_t current = g_animation.currentFrame;
  if (current > HighestSlot) return;
  for (uint32_t i = HighestSlot;; --i) {
    RenameFrame(base, i, i + 1);
    if (i == current) break;
  }
}

void DeleteFrame(const char* base) {
  uint32_t current = g_animation.currentFrame;
  char name[kPathMax];
  if (FrameFileName(name, sizeof name, base, current)) RemoveFile(name);
  for (uint32_t i = current; i < HighestSlot; ++i) RenameFrame(base, i + 1, i);
}

void CopyToNext(const char* base) {
  std::ifstream in;
  if (!OpenFrameInput(in, base, g_animation.currentFrame)) return;
  std::ofstream out;
  if (!OpenFrameOutput(out, base, g_animation.currentFrame + 1)) return;
  CopyStream(in, out);
}

void MarkCopiedFrame() {
  g_animation.hasCopiedFrame = 1;
  g_animation.copiedFrame = g_animation.currentFrame;
}

void PasteFrame(const char* base) {
  if (!g_animation.hasCopiedFrame) return;
  // Onto itself the paste would truncate its own source; the frame already
  // holds what the paste would give it.
  if (g_animation.copiedFrame == g_animation.currentFrame) return;
  std::ifstream in;
  if (!OpenFrameInput(in, base, g_animation.copiedFrame)) return;
  std::ofstream out;
  if (!OpenFrameOutput(out, base, g_animation.currentFrame)) return;
  CopyStream(in, out);
}

void CopyStream(std::istream& in, std::ostream& out) {
  char chunk[1000];
  for (;;) {
    in.read(chunk, sizeof chunk);
    std::streamsize got = in.gcount();
    if (got > 0) out.write(chunk, got);
    // A short read sets the fail flag whether the input ended or could not
    // be read; either way nothing more will come.
    if (!in) return;
  }
}

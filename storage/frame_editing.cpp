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

// The record as it will be once a composed frame is accepted; a refused one
// leaves the frame record as it was.
static FrameRecord s_draft;

// Reads the editor's text into WorkBuffer (at most 31999 bytes: the editor's
// limit counts the terminating zero).
static void ReadEditor() {
  std::memset(WorkBuffer, 0, sizeof WorkBuffer);
  g_viewHooks.GetEditorText(WorkBuffer, kFrameTextMax);
  WorkBuffer[kFrameTextMax - 1] = '\0';
}

// Composes s_draft's header around the editor's body (what follows its
// header, if it starts with one) and shows the result in the editor.
// Returns the composed length, or -1 when it is longer than limit: the
// frame would lose its end, so nothing changes and the user is told.
static int ComposeFromEditor(int limit) {
  if (g_viewHooks.GetEditorText == nullptr) return -1;
  ReadEditor();
  CopyText(s_draft.body, sizeof s_draft.body, BodyAfterHeader(WorkBuffer));
  int length = ComposeHeader(s_draft, s_composed, sizeof s_composed);
  if (length > limit) {
    if (g_viewHooks.ReportRefusal != nullptr) g_viewHooks.ReportRefusal(Refusal::FrameTooLong);
    return -1;
  }
  g_frameRecord = s_draft;
  if (g_viewHooks.SetEditorText != nullptr) g_viewHooks.SetEditorText(s_composed);
  return length;
}

void SaveFrameFromEditor(const char* base) {
  // Without the editor there is no text to save; writing would only empty
  // the frame's file.
  if (g_viewHooks.GetEditorText == nullptr) return;
  ReadEditor();
  WriteFrameFile(base, g_animation.currentFrame, WorkBuffer, std::strlen(WorkBuffer), kWriteDurable);
}

bool SaveCurrentColours(const char* base) {
  s_draft = g_frameRecord;
  std::snprintf(s_draft.colourText, sizeof s_draft.colourText, "%d %d %d %d %d %d", PenColour.red,
                PenColour.green, PenColour.blue, BackColour.red, BackColour.green, BackColour.blue);
  s_draft.hasColour = 1;
  // A frame file of kFrameTextMax bytes still loads whole.
  int length = ComposeFromEditor(kFrameTextMax);
  if (length < 0) return false;
  WriteFrameFile(base, g_animation.currentFrame, s_composed, static_cast<size_t>(length), kWriteDurable);
  return true;
}

bool SetFrameSound(const char* path) {
  s_draft = g_frameRecord;
  CopyText(s_draft.soundPath, sizeof s_draft.soundPath, path);
  s_draft.hasSound = 1;
  // The frame is then saved from the editor, which keeps one byte fewer.
  return ComposeFromEditor(kFrameTextMax - 1) >= 0;
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

// Copies frame from's file over frame to's; nothing happens when from has
// no file.
static void CopyFrameFile(const char* base, uint32_t from, uint32_t to) {
  std::ifstream in;
  if (!OpenFrameInput(in, base, from)) return;
  SafeWriter out;
  if (!BeginFrameWrite(out, base, to, kWriteDurable)) return;
  // A source that cannot be read to its end would leave a cut copy: the
  // write is abandoned then, and the old file stays.
  if (!CopyStream(in, out)) {
    AbandonSafeWrite(out);
    TellWriteFailure(out.target, out.error);
    return;
  }
  CommitAndTell(out);
}

void CopyToNext(const char* base) { CopyFrameFile(base, g_animation.currentFrame, g_animation.currentFrame + 1); }

void MarkCopiedFrame() {
  g_animation.hasCopiedFrame = 1;
  g_animation.copiedFrame = g_animation.currentFrame;
}

void PasteFrame(const char* base) {
  if (!g_animation.hasCopiedFrame) return;
  // Onto itself there is nothing to copy: the frame already holds what the
  // paste would give it.
  if (g_animation.copiedFrame == g_animation.currentFrame) return;
  CopyFrameFile(base, g_animation.copiedFrame, g_animation.currentFrame);
}

bool CopyStream(std::istream& in, SafeWriter& out) {
  char chunk[1000];
  for (;;) {
    in.read(chunk, sizeof chunk);
    std::streamsize got = in.gcount();
    if (got > 0 && !SafeWrite(out, chunk, static_cast<size_t>(got))) return false;
    if (in) continue;
    // A short read sets the fail flag at the end of the input; the bad flag
    // only when reading failed.
    if (!in.bad()) return true;
    if (out.error == 0) out.error = kErrorReadFailed;
    return false;
  }
}

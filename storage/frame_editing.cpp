#include "frame_editing.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_listing.h"
#include "frame_loader.h"
#include "frame_shift.h"

// The editor's text, with room to see that it is longer than a frame: the
// hook copies at most size - 1 bytes, and a copy may end short of a
// two-byte character that would not fit, so a text of more than
// kFrameTextMax bytes arrives with at least kFrameTextMax + 1.
static char s_editor[kFrameTextMax + 3];

// The editor's text with a header block set.
static char s_composed[kComposedSize];

// Reads the editor's text into s_editor. Returns its length, or -1 when it
// is longer than a frame holds: cutting it would lose its end (and might
// split a character), so nothing is written and the user is told.
static int ReadEditor() {
  if (g_viewHooks.GetEditorText == nullptr) return -1;
  s_editor[0] = '\0';
  g_viewHooks.GetEditorText(s_editor, static_cast<int>(sizeof s_editor));
  s_editor[sizeof s_editor - 1] = '\0';
  size_t length = std::strlen(s_editor);
  if (length <= static_cast<size_t>(kFrameTextMax)) return static_cast<int>(length);
  if (g_viewHooks.ReportRefusal != nullptr) g_viewHooks.ReportRefusal(Refusal::TextTooLong);
  return -1;
}

// Whether the frame on show may be written: a repeat only when the user
// says that it may become a copy.
static bool MayWriteFrame() {
  return !g_frameRecord.isRepeat ||
         (g_viewHooks.ConfirmCopyingRepeat != nullptr && g_viewHooks.ConfirmCopyingRepeat(g_frameRecord.repeatedFrame));
}

// Sets block to value in the header of the editor's text, into s_composed,
// and once the user accepts, shows it in the editor. Returns the composed
// length, or -1 when nothing changed: the frame would pass kFrameTextMax
// bytes (the user is told), or the user said no.
static int ComposeFromEditor(HeaderBlock block, const char* value) {
  if (ReadEditor() < 0) return -1;
  int length = SetHeaderBlock(s_editor, block, value, s_composed, sizeof s_composed);
  if (length > kFrameTextMax) {
    if (g_viewHooks.ReportRefusal != nullptr) g_viewHooks.ReportRefusal(Refusal::FrameTooLong);
    return -1;
  }
  if (!MayWriteFrame()) return -1;
  CopyText(g_frameRecord.body, sizeof g_frameRecord.body, BodyAfterHeader(s_composed));
  if (g_viewHooks.SetEditorText != nullptr) g_viewHooks.SetEditorText(s_composed);
  return length;
}

bool SaveFrameFromEditor(const char* base, bool unchangedRepeatStays) {
  // Without the editor there is no text to save; writing would only empty
  // the frame's file. A repeat saved as the load showed it stays a repeat.
  if (g_viewHooks.GetEditorText == nullptr) return false;
  bool modified = g_viewHooks.EditorModified != nullptr && g_viewHooks.EditorModified();
  if (g_frameRecord.isRepeat && unchangedRepeatStays && !modified) return false;
  int length = ReadEditor();
  if (length < 0 || !MayWriteFrame()) return false;
  if (!WriteFrameFile(base, g_animation.currentFrame, s_editor, static_cast<size_t>(length), kWriteDurable)) {
    return false;
  }
  g_frameRecord.isRepeat = 0;
  return true;
}

bool SaveCurrentColours(const char* base) {
  char colours[kColourTextSize];
  std::snprintf(colours, sizeof colours, "%d %d %d %d %d %d", PenColour.red, PenColour.green, PenColour.blue,
                BackColour.red, BackColour.green, BackColour.blue);
  int length = ComposeFromEditor(HeaderBlock::Colour, colours);
  if (length < 0) return false;
  g_frameRecord.hasColour = 1;
  CopyText(g_frameRecord.colourText, sizeof g_frameRecord.colourText, colours);
  if (!WriteFrameFile(base, g_animation.currentFrame, s_composed, static_cast<size_t>(length), kWriteDurable)) {
    return false;
  }
  g_frameRecord.isRepeat = 0;
  return true;
}

bool SetFrameSound(const char* path) {
  if (ComposeFromEditor(HeaderBlock::Sound, path) < 0) return false;
  g_frameRecord.hasSound = 1;
  CopyText(g_frameRecord.soundPath, sizeof g_frameRecord.soundPath, path);
  // The user has accepted the copy: the save that follows does not ask again.
  g_frameRecord.isRepeat = 0;
  return true;
}

bool InsertFrameMoves(const char* base, FrameShift* made) {
  uint32_t current = g_animation.currentFrame;
  if (current > HighestSlot) return true;
  // Only the frames with a file move; the rest would be names tried in vain.
  const FrameSlots slots = ListFrameSlots(base);
  FrameShift shift{+1, {}};
  for (uint32_t i = HighestSlot + 1; i-- > current;) {
    if (MayHaveFile(slots, i)) shift.frames.push_back(i);
  }
  ShiftFailure failure{};
  if (!ShiftFrameFiles(base, shift, &failure)) {
    TellShiftFailure(failure);
    return false;
  }
  if (made != nullptr) *made = std::move(shift);
  return true;
}

bool DeleteFrameMoves(const char* base, FrameShift* made) {
  uint32_t current = g_animation.currentFrame;
  // Only the frames with a file move; the rest would be names tried in vain.
  const FrameSlots slots = ListFrameSlots(base);
  FrameShift shift{-1, {}};
  for (uint32_t i = current; i < HighestSlot; ++i) {
    if (MayHaveFile(slots, i + 1)) shift.frames.push_back(i + 1);
  }
  ShiftFailure failure{};
  if (!RemoveFrameAndShift(base, current, shift, &failure)) {
    TellShiftFailure(failure);
    return false;
  }
  if (made != nullptr) *made = std::move(shift);
  return true;
}

bool InsertFrame(const char* base) { return InsertFrameMoves(base, nullptr); }
bool DeleteFrame(const char* base) { return DeleteFrameMoves(base, nullptr); }

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

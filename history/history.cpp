#include "history.h"

#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "digest.h"
#include "file_io.h"
#include "frame_editing.h"
#include "frame_files.h"
#include "frame_shift.h"

namespace {

// What a frame slot holds: no file, or a file of size bytes with digest.
struct SlotState {
  bool exists = false;
  uint64_t size = 0;
  Digest digest{};
};

struct Kept {
  SlotState state;
  std::string bytes;
};

// A step: a write of one frame file, or the shift of an insertion or
// deletion (shift.step is then +1 or -1).
struct Step {
  uint32_t frame = 0;   // the file written, or where a frame was inserted or deleted
  Kept before, after;   // a write: the file before and after it; a deletion: before is the deleted frame
  FrameShift shift{0, {}};       // the moves made
  std::vector<SlotState> moved;  // each moved file, in the order of shift.frames
  size_t bytes = 0;              // what the step keeps in memory
};

struct History {
  std::string base;          // the animation the steps belong to
  std::deque<Step> undo;     // oldest first
  std::deque<Step> redo;     // the next to redo last
  size_t bytes = 0;          // kept by both
  size_t maxSteps = 100;
  size_t maxBytes = size_t(64) << 20;
};

History s_history;

bool Same(const SlotState& a, const SlotState& b) {
  return a.exists == b.exists && a.size == b.size && a.digest == b.digest;
}

// Reads frame's file into *state (and its bytes into *bytes when given). A
// missing file (or a name too long to form) is a slot without a file.
// Returns false when the file cannot be read whole or holds more than limit
// bytes.
bool ReadSlot(const char* base, uint32_t frame, SlotState* state, std::string* bytes, uint64_t limit) {
  *state = SlotState{};
  char name[kPathMax];
  if (!FrameFileName(name, sizeof name, base, frame) || !PathExists(name)) return true;
  std::ifstream in;
  if (!OpenInput(in, name)) return false;
  static char chunk[65536];
  DigestState digest;
  BeginDigest(digest);
  size_t got;
  do {
    got = ReadChunk(in, chunk, sizeof chunk);
    state->size += got;
    if (state->size > limit) return false;
    AddToDigest(digest, chunk, got);
    if (bytes != nullptr) bytes->append(chunk, got);
  } while (got == sizeof chunk);
  if (in.bad()) return false;
  state->exists = true;
  state->digest = EndDigest(digest);
  return true;
}

// What the slots step touches hold after it (or before it): the proof the
// step needs before it is undone (or redone).
std::map<uint32_t, SlotState> Expected(const Step& step, bool after) {
  std::map<uint32_t, SlotState> slots;
  if (step.shift.step == 0) {
    slots[step.frame] = after ? step.after.state : step.before.state;
    return slots;
  }
  // Every place a file left (or will reach) is empty unless another file
  // moved in; a deleted frame is gone after, and there before.
  for (uint32_t frame : step.shift.frames) slots[after ? frame : frame + step.shift.step] = SlotState{};
  if (step.shift.step < 0) slots[step.frame] = after ? SlotState{} : step.before.state;
  for (size_t i = 0; i < step.moved.size(); ++i) {
    uint32_t frame = step.shift.frames[i];
    slots[after ? frame + step.shift.step : frame] = step.moved[i];
  }
  return slots;
}

// Whether every slot holds what slots says; else the first that does not is
// named in changed.
bool Holds(const char* base, const std::map<uint32_t, SlotState>& slots, char* changed) {
  for (const auto& [frame, wanted] : slots) {
    SlotState found;
    if (!ReadSlot(base, frame, &found, nullptr, wanted.size) || !Same(found, wanted)) {
      FrameFileName(changed, kPathMax, base, frame);
      return false;
    }
  }
  return true;
}

// Makes frame's file hold kept: its bytes, or no file.
bool PutFile(const char* base, uint32_t frame, const Kept& kept) {
  if (kept.state.exists) return WriteFrameFile(base, frame, kept.bytes.data(), kept.bytes.size(), kWriteDurable);
  ShiftFailure failure{};
  if (FrameFileName(failure.file, sizeof failure.file, base, frame) && RemoveFile(failure.file, &failure.error)) {
    return true;
  }
  TellShiftFailure(failure);
  return false;
}

// Undoes or redoes the shift of step, all or nothing: exactly its moves, and
// the deleted frame removed again or written back.
bool RunShift(const char* base, const Step& step, bool undoing) {
  bool deletion = step.shift.step < 0;
  ShiftFailure failure{};
  FrameShift moves = undoing ? Reversed(step.shift) : step.shift;
  if (!undoing) {
    if (deletion ? RemoveFrameAndShift(base, step.frame, moves, &failure, true)
                 : ShiftFrameFiles(base, moves, &failure, true)) {
      return true;
    }
  } else if (ShiftFrameFiles(base, moves, &failure, true)) {
    if (!deletion || !step.before.state.exists) return true;
    FrameFileName(failure.file, sizeof failure.file, base, step.frame);
    const std::string& text = step.before.bytes;
    if (WriteFileSafely(failure.file, text.data(), text.size(), kWriteDurable, &failure.error)) return true;
    UndoFrameShift(base, moves, &failure);
  }
  TellShiftFailure(failure);
  return false;
}

void DropAll(std::deque<Step>& steps) {
  for (const Step& step : steps) s_history.bytes -= step.bytes;
  steps.clear();
}

// A new operation: the steps undone go. A step that could not be kept
// (a file it found could not be read whole, or more bytes than the bound)
// empties the history: undo would otherwise pass over it.
void Keep(const char* base, Step&& step, bool keepable) {
  DropAll(s_history.redo);
  if (!keepable || s_history.base != base) ClearHistory();
  if (!keepable) return;
  s_history.base = base;
  step.bytes = sizeof step + step.before.bytes.size() + step.after.bytes.size() +
               step.shift.frames.size() * sizeof(uint32_t) + step.moved.size() * sizeof(SlotState);
  s_history.bytes += step.bytes;
  s_history.undo.push_back(std::move(step));
  while (!s_history.undo.empty() &&
         (s_history.undo.size() > s_history.maxSteps || s_history.bytes > s_history.maxBytes)) {
    s_history.bytes -= s_history.undo.front().bytes;
    s_history.undo.pop_front();
  }
}

void RecordShift(const char* base, bool deleting) {
  Step step;
  step.frame = g_animation.currentFrame;
  bool keepable = !deleting || ReadSlot(base, step.frame, &step.before.state, &step.before.bytes, s_history.maxBytes);
  if (!(deleting ? DeleteFrameMoves(base, &step.shift) : InsertFrameMoves(base, &step.shift))) return;
  if (step.shift.frames.empty() && !step.before.state.exists) return;  // nothing moved or deleted
  for (uint32_t frame : step.shift.frames) {
    step.moved.emplace_back();
    uint32_t now = frame + static_cast<uint32_t>(step.shift.step);
    keepable = keepable && ReadSlot(base, now, &step.moved.back(), nullptr, UINT64_MAX);
  }
  Keep(base, std::move(step), keepable);
}

StepResult Run(bool undoing) {
  StepResult result{StepOutcome::Nothing, 0, ""};
  std::deque<Step>& from = undoing ? s_history.undo : s_history.redo;
  std::deque<Step>& to = undoing ? s_history.redo : s_history.undo;
  if (from.empty()) return result;
  const Step& step = from.back();
  const char* base = s_history.base.c_str();
  result.frame = step.frame;
  if (!Holds(base, Expected(step, undoing), result.file)) {
    result.outcome = StepOutcome::Changed;
  } else if (step.shift.step != 0 ? RunShift(base, step, undoing)
                                  : PutFile(base, step.frame, undoing ? step.before : step.after)) {
    result.outcome = StepOutcome::Done;
    to.push_back(std::move(from.back()));
    from.pop_back();
  } else {
    result.outcome = StepOutcome::Failed;
  }
  return result;
}

}  // namespace

void RecordFrameWrite(const char* base, uint32_t frame, void (*operation)()) {
  Step step;
  step.frame = frame;
  bool keepable = ReadSlot(base, frame, &step.before.state, &step.before.bytes, s_history.maxBytes);
  operation();
  keepable = keepable && ReadSlot(base, frame, &step.after.state, &step.after.bytes, s_history.maxBytes);
  if (keepable && Same(step.before.state, step.after.state)) return;  // nothing changed
  Keep(base, std::move(step), keepable);
}

void RecordInsertFrame(const char* base) { RecordShift(base, false); }
void RecordDeleteFrame(const char* base) { RecordShift(base, true); }

bool CanUndo() { return !s_history.undo.empty(); }
bool CanRedo() { return !s_history.redo.empty(); }

StepResult UndoStep() { return Run(true); }
StepResult RedoStep() { return Run(false); }

void ClearHistory() {
  s_history.base.clear();
  s_history.undo.clear();
  s_history.redo.clear();
  s_history.bytes = 0;
}

void SetHistoryBounds(size_t steps, size_t bytes) {
  s_history.maxSteps = steps;
  s_history.maxBytes = bytes;
}

// The operation history: each frame operation undone and redone byte for
// byte or not at all, and the bound.
#include "history.h"

#include "frame_editing.h"
#include "test_support.h"

namespace {

const char* B() { return g_animation.basePath; }
void Save() { RecordFrameWrite(B(), g_animation.currentFrame, [] { SaveFrameFromEditor(B()); }); }
void Colours() { RecordFrameWrite(B(), g_animation.currentFrame, [] { SaveCurrentColours(B()); }); }
void CopyNext() { RecordFrameWrite(B(), g_animation.currentFrame + 1, [] { CopyToNext(B()); }); }
void Paste() { RecordFrameWrite(B(), g_animation.currentFrame, [] { PasteFrame(B()); }); }
void Insert() { RecordInsertFrame(B()); }
void Delete() { RecordDeleteFrame(B()); }
int Outcome(StepResult result) { return int(result.outcome); }

const Frames kFrames = {{0, "0"}, {2, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\ntwo"}, {3, "3"}, {5, std::string("5\0five", 6)}, {10000, "10000"}};

class History : public StorageTest {
 protected:
  // The animation made of files, operation run at frame 2 (frame 5 marked
  // for a paste), and the files then.
  Frames Run(void (*operation)(), const Frames& files) {
    ClearHistory();
    SetHistoryBounds(100, 64 << 20);
    Write(files);
    Load(2);
    g_animation.currentFrame = 2;
    g_animation.hasCopiedFrame = 1;
    g_animation.copiedFrame = 5;
    g_hooks.editorContent = "typed";
    operation();
    return Files();
  }
};

}  // namespace

// Each operation, undone (or redone when redo is set) after two tries that
// change nothing: the first refused because file holds other bytes than the
// step left there (bytes; null: no file), naming it, the second failing at
// the nth such step of the file system (all put back, told once). Then the
// files go back and forth byte for byte, and the step's frame is shown.
TEST_F(History, EachOperationIsUndoneAndRedoneByteForByteOrNotAtAll) {
  const Frames gaps = {{0, "0"}, {3, "3"}};
  struct Row { void (*operation)(); Frames files; bool redo; int file; const char* bytes; FileStep step; int nth; } rows[] = {
      {Save, kFrames, false, 2, "other", FileStep::Move, 1}, {Save, gaps, false, 2, nullptr, FileStep::Remove, 1},
      {Save, kFrames, true, 2, "typed", FileStep::Create, 1}, {Colours, kFrames, false, 2, "", FileStep::Write, 1},
      {CopyNext, kFrames, false, 3, nullptr, FileStep::Write, 1}, {CopyNext, {{2, "2"}}, true, 3, "", FileStep::Move, 1},
      {Paste, kFrames, false, 2, "5", FileStep::Create, 1}, {Insert, kFrames, false, 2, "", FileStep::Rename, 3},
      {Insert, kFrames, false, 4, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\ntwO", FileStep::Rename, 1},
      {Insert, gaps, true, 4, "4", FileStep::Rename, 1}, {Delete, kFrames, false, 2, "3!", FileStep::Rename, 2},
      {Delete, kFrames, false, 5, "x", FileStep::Create, 1}, {Delete, kFrames, true, 2, nullptr, FileStep::Rename, 1},
      {Delete, kFrames, true, 9999, "", FileStep::Remove, 1}, {Delete, gaps, false, 3, "3", FileStep::Rename, 1},
      {Delete, {{2, std::string(70000, 'x')}}, false, 2, "", FileStep::Create, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file + 100 * row.nth);
    const Frames after = Run(row.operation, row.files), &from = row.redo ? row.files : after;
    EXPECT_NE(after, row.files);
    if (row.redo) UndoStep();
    auto Step = [&](bool redo) { return redo ? RedoStep() : UndoStep(); };
    Frames changed = from;
    row.bytes ? void(changed[row.file] = row.bytes) : void(changed.erase(row.file));
    Write(changed);
    StepResult refused = Step(row.redo);
    EXPECT_EQ(Outcome(refused), int(StepOutcome::Changed));
    EXPECT_EQ(refused.file, FramePath(row.file));
    EXPECT_EQ(Files(), changed);
    Write(from);
    g_hooks = HookLog{};
    FailFileStep(row.step, row.nth, 5);
    EXPECT_EQ(Outcome(Step(row.redo)), int(StepOutcome::Failed));
    FailFileStep(row.step, 1, 0);
    EXPECT_EQ(Files(), from);
    EXPECT_EQ(g_hooks.told.size() + g_hooks.writeFailures.size(), 1u);
    for (bool redo : {row.redo, !row.redo, row.redo}) {
      StepResult done = Step(redo);
      EXPECT_EQ(Outcome(done) + done.frame, int(StepOutcome::Done) + (row.operation == CopyNext ? 3 : 2));
      EXPECT_EQ(Files(), redo ? after : row.files);
      EXPECT_EQ(CanUndo(), redo);
      EXPECT_EQ(CanRedo(), !redo);
    }
  }
}

// The oldest steps go beyond 3 steps, or beyond 30000 bytes (two saves of
// 6000 bytes over 6000, each keeping both); a save that changes nothing is
// no step, and a new step drops the undone ones.
TEST_F(History, TheBoundDropsTheOldestSteps) {
  for (int size : {1, 6000}) {
    Run([] {}, {{2, "saved 0"}});
    SetHistoryBounds(size == 1 ? 3 : 100, size == 1 ? 64 << 20 : 30000);
    for (char c : std::string("12345")) {
      g_hooks.editorContent = std::string(size_t(size), c);
      Save();
      Save();
    }
    for (int kept = size == 1 ? 3 : 2; kept > 0; --kept) UndoStep();
    EXPECT_EQ(Outcome(UndoStep()), int(StepOutcome::Nothing));
    EXPECT_TRUE(Files()[2] == std::string(size_t(size), size == 1 ? '2' : '3'));
    Save();
    EXPECT_FALSE(CanRedo());
  }
}

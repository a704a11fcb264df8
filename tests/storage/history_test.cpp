// The operation history: each frame operation undone and redone byte for
// byte, steps refused when a file changed behind the history's back, the
// bound, and failures that put everything back.
#include "history.h"

#include <filesystem>

#include "digest.h"
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

class History : public StorageTest {
 protected:
  // The animation made of files, the operation run at frame 2 (frame 5 marked for a paste).
  Frames Run(void (*operation)(), const Frames& files) {
    ClearHistory();
    SetHistoryBounds(100, 64 << 20);
    Write(files);
    Load(2);
    g_animation.currentFrame = 2;
    g_hooks.editorContent = "typed";
    g_animation.hasCopiedFrame = 1;
    g_animation.copiedFrame = 5;
    operation();
    return Files();
  }
  void Expect(StepResult result, StepOutcome outcome, const std::string& file = "") {
    EXPECT_EQ(int(result.outcome), int(outcome));
    EXPECT_EQ(result.file, file);
  }
};

const Frames kFrames = {{0, "0"}, {2, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\ntwo"}, {3, "3"}, {5, "5\0five"}, {10000, "10000"}};

}  // namespace

TEST_F(History, EachOperationIsUndoneAndRedoneByteForByte) {
  struct Row { void (*operation)(); uint32_t shown; Frames files; } rows[] = {
      {Save, 2, kFrames}, {Save, 2, {{3, "3"}}},  // no file before: undo removes it
      {Colours, 2, kFrames}, {CopyNext, 3, kFrames}, {CopyNext, 3, {{2, "2"}}}, {Paste, 2, kFrames},
      {Insert, 2, kFrames}, {Insert, 2, {{0, "0"}, {3, "3"}}}, {Delete, 2, kFrames}, {Delete, 2, {{0, "0"}, {3, "3"}}},
      {Delete, 2, {{2, std::string(70000, 'x')}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shown + row.files.size());
    const Frames after = Run(row.operation, row.files);
    EXPECT_NE(after, row.files);
    for (int round = 0; round < 2; ++round) {
      StepResult undone = UndoStep();
      Expect(undone, StepOutcome::Done);
      EXPECT_EQ(undone.frame, row.shown);
      EXPECT_EQ(Files(), row.files);
      EXPECT_TRUE(!CanUndo() && CanRedo());
      Expect(RedoStep(), StepOutcome::Done);
      EXPECT_EQ(Files(), after);
    }
    Expect(RedoStep(), StepOutcome::Nothing);
  }
}

// Before a step goes either way, every file it will touch must hold what it
// left there: else it is refused, naming the file, and nothing changes.
TEST_F(History, AFileChangedBehindItsBackRefusesTheStep) {
  struct Row { void (*operation)(); bool undone; int file; const char* bytes; } rows[] = {  // bytes null: removed
      {Save, false, 2, "other"}, {Save, false, 2, nullptr}, {Save, true, 2, "typed"}, {Insert, false, 2, ""},
      {Insert, false, 4, "{\r\ncolor\r\n9 9 9 9 9 9\r\n}\r\ntwO"}, {Insert, true, 3, "3!"}, {Insert, true, 4, "4"},
      {Delete, false, 2, "3!"}, {Delete, false, 5, "x"}, {Delete, true, 2, nullptr}, {Delete, true, 9999, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    Run(row.operation, kFrames);
    if (row.undone) UndoStep();
    const Frames files = Files();
    Frames changed = files;
    row.bytes ? void(changed[row.file] = row.bytes) : void(changed.erase(row.file));
    Write(changed);
    Expect(row.undone ? RedoStep() : UndoStep(), StepOutcome::Changed, FramePath(row.file));
    EXPECT_EQ(Files(), changed);
    EXPECT_TRUE(row.undone ? CanRedo() && !CanUndo() : CanUndo() && !CanRedo());
    Write(files);  // put back, the step goes
    Expect(row.undone ? RedoStep() : UndoStep(), StepOutcome::Done);
  }
}

// Undo and redo are all or nothing: a failed move or write puts every file
// back, is told once, and keeps the step.
TEST_F(History, FailuresPutEverythingBackAndKeepTheStep) {
  struct Row { void (*operation)(); bool undone; FileStep step; int nth; } rows[] = {
      {Save, false, FileStep::Move, 1}, {Delete, false, FileStep::Rename, 2}, {Delete, false, FileStep::Create, 1},
      {Delete, true, FileStep::Rename, 1}, {Delete, true, FileStep::Remove, 1}, {Insert, false, FileStep::Rename, 3},
      {Save, true, FileStep::Create, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.nth);
    Run(row.operation, kFrames);
    if (row.undone) UndoStep();
    const Frames files = Files();
    g_hooks = HookLog{};
    FailFileStep(row.step, row.nth, 5);
    Expect(row.undone ? RedoStep() : UndoStep(), StepOutcome::Failed);
    FailFileStep(row.step, 1, 0);
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(g_hooks.told.size() + g_hooks.writeFailures.size(), 1u);
    Expect(row.undone ? RedoStep() : UndoStep(), StepOutcome::Done);
  }
}

TEST_F(History, TheBoundDropsTheOldestStepsAndANewStepTheUndoneOnes) {
  Run([] {}, {{2, "saved 0"}});
  for (size_t steps : {3, 100}) {
    SetHistoryBounds(steps, steps == 3 ? 64 << 20 : 30000);  // 3 steps, or 2 steps of 12000 bytes
    for (char c : std::string("12345")) {
      g_hooks.editorContent = std::string(steps == 3 ? 1 : 6000, c);
      Save();
      Save();  // unchanged: no step
    }
    for (int i = 0; i < int(steps == 3 ? 3 : 2); ++i) Expect(UndoStep(), StepOutcome::Done);
    Expect(UndoStep(), StepOutcome::Nothing);
    EXPECT_TRUE(Files()[2] == std::string(steps == 3 ? 1 : 6000, steps == 3 ? '2' : '3'));
    Save();
    EXPECT_FALSE(CanRedo());
    ClearHistory();
  }
  DigestState d;
  BeginDigest(d);
  AddToDigest(d, "abc", 3);
  EXPECT_EQ(EndDigest(d)[31], 0xad);  // SHA-256("abc") ends in ...f20015ad
}

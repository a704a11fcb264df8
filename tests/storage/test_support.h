// Helpers shared by the storage tests: a scratch directory per test, byte-exact
// file access, and view hooks that record what storage asked of the window.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "animation.h"

bool WriteBytes(const std::string& path, const std::string& bytes);
// The whole file; *exists is false when it cannot be opened.
std::string ReadBytes(const std::string& path, bool* exists = nullptr);
std::vector<std::string> ListDir(const std::string& dir);  // sorted names

// What the view hooks were asked to do.
struct HookLog {
  std::string editorText;
  std::string frameNumber;
  int renderCalls = 0;
  int applyColourCalls = 0;
  std::vector<std::string> soundsPlayed;
  std::string editorContent;  // what GetEditorText hands back
  std::vector<std::string> writeFailures;  // the names ReportWriteFailure was told
  std::vector<int> refusals;  // Refusal values reported
  bool editorModified = false;  // what EditorModified answers
  bool answer = false;          // what the repeat and cut-frame questions answer
  std::vector<std::string> told;  // the other questions and notices, in order
};
extern HookLog g_hooks;

using Frames = std::map<int, std::string>;  // frame number (-1: the all-in-one file) to bytes

// Fresh storage state, recording hooks, the text buffers allocated, and a
// scratch directory (removed afterwards) holding the animation Base().
class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Dir() const { return dir_; }
  std::string Base() const { return dir_ + "/anim"; }
  std::string FramePath(int n) const;
  std::string AllInOnePath() const { return Base() + ".txt"; }
  void WriteFrame(int n, const std::string& bytes) { ASSERT_TRUE(WriteBytes(FramePath(n), bytes)); }
  void WriteAllInOne(const std::string& bytes) { ASSERT_TRUE(WriteBytes(AllInOnePath(), bytes)); }
  // Sets the mode and the base path, and loads frame n.
  void Load(uint32_t n, int mode = FrameFiles);
  // Every file of the animation, and the animation made of exactly frames.
  Frames Files();
  void Write(const Frames& frames);

 private:
  std::string dir_;
};

// A block of the all-in-one file as export writes it.
std::string Block(int number, const std::string& text);

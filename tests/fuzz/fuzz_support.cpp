#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "animation.h"
#include "frame_header.h"
#include "frame_loader.h"

namespace fs = std::filesystem;

HookCounts g_hookCounts;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

FuzzOptions DecodeOptions(uint8_t byte) {
  return FuzzOptions{static_cast<uint32_t>(byte & 0x0f), (byte & 0x10) != 0, (byte >> 5) & 3,
                     (byte & 0x80) != 0};
}

bool BeginInput(const uint8_t*& data, size_t& size, FuzzOptions& opt, std::string& base) {
  if (size == 0) return false;
  opt = DecodeOptions(data[0]);
  ++data;
  --size;
  ClearScratch();
  base = ScratchBase(opt.baseKind);
  return true;
}

static std::string s_scratch;

static void RemoveScratch() {
  std::error_code ec;
  if (!s_scratch.empty()) fs::remove_all(s_scratch, ec);
}

const std::string& ScratchDir() {
  if (!s_scratch.empty()) return s_scratch;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/zoetrix-fuzz-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  Check(mkdtemp(name.data()) != nullptr, "cannot make the scratch directory");
  s_scratch = name.data();
  std::atexit(RemoveScratch);
  return s_scratch;
}

std::string ScratchBase(int kind) {
  static const size_t kLengths[] = {0, 251, 252, 256};
  std::string base = ScratchDir() + "/anim";
  size_t want = kLengths[kind & 3];
  // A scratch directory too deep for the long bases keeps the short one.
  if (want > base.size() && want - base.size() < 200) base.append(want - base.size(), 'b');
  return base;
}

void ClearScratch() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(ScratchDir(), ec)) fs::remove_all(entry.path(), ec);
}

void WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  Check(static_cast<bool>(out), "cannot write a scratch file");
}

void WriteFile(const std::string& name, const std::string& bytes) {
  WriteFile(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string FramePath(const std::string& base, size_t n) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", static_cast<int>(n));
  return base + number + ".txt";
}

DirSnapshot Snapshot() {
  DirSnapshot files;
  for (const auto& entry : fs::directory_iterator(ScratchDir())) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] =
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  return files;
}

std::vector<std::string> SplitFiles(const uint8_t* data, size_t size, size_t maxPieces) {
  std::vector<std::string> pieces;
  const char* p = reinterpret_cast<const char*>(data);
  const char* end = p + size;
  while (pieces.size() + 1 < maxPieces) {
    const void* sep = std::memchr(p, kFileSeparator, static_cast<size_t>(end - p));
    if (sep == nullptr) break;
    const char* s = static_cast<const char*>(sep);
    pieces.emplace_back(p, s);
    p = s + 1;
  }
  pieces.emplace_back(p, end);
  return pieces;
}

// Terminated within size bytes.
static bool Terminated(const char* text, size_t size) { return text != nullptr && strnlen(text, size) < size; }

static void CheckSetEditorText(const char* text) {
  ++g_hookCounts.setEditorText;
  Check(Terminated(text, kTextBufferSize), "editor text not terminated within 32001 bytes");
}

static void CheckGetEditorText(char* buffer, int size) {
  if (size > 0) buffer[0] = '\0';
}

static void CheckShowFrameNumber(const char* text) {
  ++g_hookCounts.showFrameNumber;
  char expected[16];
  std::snprintf(expected, sizeof expected, "%lu", static_cast<unsigned long>(g_animation.currentFrame));
  Check(std::strcmp(text, expected) == 0, "frame number field does not show the current frame");
}

static void CheckRenderFrame() {
  ++g_hookCounts.renderFrame;
  Check(Terminated(DisplayText, kTextBufferSize), "DisplayText not terminated");
}

static void CheckApplyColours() { ++g_hookCounts.applyColours; }

static void CheckPlaySound(const char* path) {
  ++g_hookCounts.playSound;
  Check(Terminated(path, kTextBufferSize), "sound path not terminated");
}

static void CheckReportWriteFailure(const char* name, const char* reason) {
  ++g_hookCounts.writeFailures;
  Check(name != nullptr && reason != nullptr && reason[0] != '\0', "a failed write told without its reason");
}

void PrepareStorage(int storageMode, const std::string& base, uint32_t currentFrame, bool playing) {
  ResetStorageState();
  if (DisplayText == nullptr) Check(AllocateTextBuffers(), "cannot allocate the text buffers");
  std::memset(DisplayText, 0, kTextBufferSize);
  g_viewHooks = ViewHooks{CheckSetEditorText, CheckGetEditorText, CheckShowFrameNumber, CheckRenderFrame,
                          CheckApplyColours, CheckReportWriteFailure, nullptr, nullptr};
  g_playSound = CheckPlaySound;
  g_hookCounts = HookCounts{};
  g_animation.storageMode = storageMode;
  CopyText(g_animation.basePath, sizeof g_animation.basePath, base.c_str());
  g_animation.currentFrame = currentFrame;
  g_animation.playing = playing ? 1 : 0;
  g_animation.interval = 200;
}

static void CheckLoadOutcome(bool playingBefore) {
  Check(g_hookCounts.renderFrame == 1, "a load must show exactly one frame");
  Check(g_hookCounts.showFrameNumber == 1, "a load must show the frame number once");
  // Running out of blocks ends playback before the text is shown.
  Check(g_hookCounts.setEditorText == (g_animation.playing ? 0 : 1), "the editor is set when editing, only then");
  Check(g_hookCounts.applyColours <= 1, "colours applied more than once");
  Check(g_hookCounts.writeFailures == 0, "a load told of a failed write");
  Check(g_hookCounts.playSound <= (playingBefore ? 1 : 0), "sound played while editing, or more than once");
  Check(g_frameRecord.hasColour == 0 || g_frameRecord.hasColour == 1, "colour flag not 0 or 1");
  Check(g_frameRecord.hasSound == 0 || g_frameRecord.hasSound == 1, "sound flag not 0 or 1");
  Check(Terminated(g_frameRecord.body, sizeof g_frameRecord.body), "record body not terminated");
  Check(Terminated(g_frameRecord.soundPath, sizeof g_frameRecord.soundPath), "record sound path not terminated");
  Check(Terminated(g_frameRecord.colourText, sizeof g_frameRecord.colourText), "colour text not terminated");
  Check(Terminated(g_soundCue.path, sizeof g_soundCue.path), "sound cue not terminated");
  Check(Terminated(WorkBuffer, sizeof WorkBuffer), "WorkBuffer not terminated");
}

std::string LoadAndCheck(int storageMode, const std::string& base, const FuzzOptions& opt) {
  PrepareStorage(storageMode, base, opt.frame, opt.playing);
  LoadFrame(g_animation.basePath, opt.frame);
  CheckLoadOutcome(opt.playing);
  // Only running out of blocks changes the playing flag, and only to 0.
  bool ended = storageMode == AllInOne && g_animation.playing == 0;
  Check(g_animation.playing == (opt.playing ? 1 : 0) || ended, "loading a frame changed the playing flag");
  return DisplayText;
}

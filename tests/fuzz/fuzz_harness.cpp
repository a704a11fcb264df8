// One input: an options byte, then files separated by 0x1e. Options: bits 0-3
// the frame, bit 4 playing, bits 5-6 the base path's length (short, 251, 252
// or 256 bytes: around where frame names, then the all-in-one name, stop
// fitting 260 bytes), bit 7 the all-in-one layout for the first-frame colours.
// The files: for kLoadFrameFiles up to 16 frame files 0, 1, ... (so "same"
// chains run through them); for kLoadAllInOne the all-in-one file; for
// kExpandAllInOne the all-in-one file and up to 8 frame files that exist
// before; for kFirstFrameColours frame 0's file in the chosen layout.
// The fuzz build picks its target with ZOETRIX_FUZZ_TARGET.
#include "fuzz_harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "animation.h"
#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"

namespace fs = std::filesystem;

static const char* s_failure;
static std::string s_dir;
static int s_shown, s_editor, s_applied, s_sounds, s_failed;

static void Check(bool ok, const char* what) { s_failure = s_failure != nullptr || ok ? s_failure : what; }
static bool Terminated(const char* text) { return strnlen(text, kTextBufferSize) < size_t(kTextBufferSize); }

// Every file of the scratch directory, name to bytes.
static std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(s_dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Storage as at start-up, with hooks that count and check, and the animation.
static void Prepare(int mode, const std::string& base, uint32_t frame, bool playing) {
  ResetStorageState();
  if (DisplayText == nullptr) AllocateTextBuffers();
  s_shown = s_editor = s_applied = s_sounds = s_failed = 0;
  g_viewHooks = {[](const char* text) { s_editor++, Check(Terminated(text), "editor text not terminated"); }, nullptr,
                 nullptr, [] { ++s_shown; }, [] { ++s_applied; }, [](const char*, const char*) { ++s_failed; }, nullptr,
                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  g_playSound = [](const char* path) { s_sounds++, Check(Terminated(path), "sound path not terminated"); };
  g_animation = {{}, mode, frame, playing, 200, 0, 0};
  CopyText(g_animation.basePath, sizeof g_animation.basePath, base.c_str());
  PenColour = BackColour = ColourTriple{11, 22, 33};
}

static std::string Colours() {
  char values[128];
  std::snprintf(values, sizeof values, "%d %d %d %d %d %d", PenColour.red, PenColour.green, PenColour.blue, BackColour.red,
                BackColour.green, BackColour.blue);
  return values;
}

const char* RunFuzzInput(int target, const uint8_t* data, size_t size) {
  s_failure = nullptr;
  if (size == 0) return nullptr;
  if (s_dir.empty()) {
    s_dir = (fs::temp_directory_path() / ("zoetrix-fuzz-" + std::to_string(std::random_device{}()))).generic_string();
    std::atexit([] { std::error_code ec; fs::remove_all(s_dir, ec); });
  }
  std::error_code ec;
  fs::remove_all(s_dir, ec);
  fs::create_directories(s_dir);
  const uint32_t frame = data[0] & 15;
  const bool playing = data[0] & 16;
  const bool allInOne = target == kLoadAllInOne || target == kExpandAllInOne || (target == kFirstFrameColours && data[0] & 128);
  const size_t lengths[] = {0, 251, 252, 256}, want = lengths[(data[0] >> 5) & 3];
  std::string base = s_dir + "/anim", text;
  if (want > base.size() && want - base.size() < 200) base.append(want - base.size(), 'b');
  std::vector<std::string> files(1);
  for (size_t i = 1; i < size; ++i) {
    if (data[i] != 0x1e || files.size() == size_t(target == kLoadFrameFiles ? 16 : target == kExpandAllInOne ? 9 : 1)) {
      files.back() += char(data[i]);
    } else {
      files.emplace_back();
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.txt", int(i) - (target == kExpandAllInOne));
    std::ofstream(i == 0 && allInOne ? base + ".txt" : base + name, std::ios::binary) << files[i];
  }
  const auto before = Snapshot();

  if (target <= kLoadAllInOne) {
    // Each load shows one frame, sets the editor only while editing, plays
    // one sound at most and only while playing; only the all-in-one file's
    // end ends playback; the same load shows the same again.
    for (int round = 0; round < 2; ++round) {
      Prepare(allInOne ? AllInOne : FrameFiles, base, frame, playing);
      LoadFrame(g_animation.basePath, frame);
      Check(s_shown == 1 && s_editor == !g_animation.playing && s_sounds <= playing && s_applied <= 1 && s_failed == 0,
            "a load did too much");
      Check(g_animation.playing == playing || (allInOne && !g_animation.playing), "a load changed the playing flag");
      Check(Terminated(DisplayText) && Terminated(g_frameRecord.body) && Terminated(g_soundCue.path), "a text is not terminated");
      Check(!g_frameRecord.hasColour || Colours() == g_frameRecord.colourText, "the colour text is not the colours");
      Check(!g_frameRecord.hasSound || std::strncmp(g_frameRecord.soundPath, g_soundCue.path, kPathMax) == 0 ||
                std::strlen(g_frameRecord.soundPath) == kPathMax - 1, "the sound path is not the cue's");
      Check(round == 0 || text == DisplayText, "the same load showed something else the second time");
      text = DisplayText;
    }
  } else if (target == kExpandAllInOne) {
    // Only frame files of the animation are written, each a block's text.
    Prepare(FrameFiles, base, frame, playing);
    ExpandAllInOne(g_animation.basePath);
    const auto after = Snapshot();
    const std::string prefix = fs::path(base).filename().string();
    char name[kPathMax];
    bool fits = FrameFileName(name, sizeof name, base.c_str(), 0) && AllInOneFileName(name, sizeof name, base.c_str());
    for (const auto& [file, bytes] : before) Check(after.count(file) == 1, "expansion deleted a file");
    for (const auto& [file, bytes] : after) {
      if (before.count(file) && before.at(file) == bytes) continue;
      int n = 0;
      std::sscanf(file.c_str() + std::min(prefix.size(), file.size()), "%d", &n);
      std::snprintf(name, sizeof name, "%04d.txt", n);
      Check(fits && file == prefix + name && s_shown + s_editor == 0, "expansion wrote a file other than a frame's, or showed one");
      // A text ended by "[end]" may hold a full frame and export's CR LF.
      Check(!bytes.empty() && bytes.size() <= size_t(kFrameTextMax + 2) && bytes.find('\0') == std::string::npos &&
                bytes.find("[end]") == std::string::npos && files[0].find(bytes) != std::string::npos,
            "expansion wrote a text that is not a block's text");
    }
    return s_failure;
  } else {
    // The colours change only through a colour block, whose values the
    // colour text holds; over frame files, as loading frame 0 sets them.
    Prepare(allInOne ? AllInOne : FrameFiles, base, 0, false);
    ApplyFirstFrameColours(g_animation.basePath);
    const std::string applied = Colours();
    Check(s_shown + s_editor + s_sounds == 0 && s_applied == g_frameRecord.hasColour, "applying colours did more");
    Check(applied == (s_applied ? g_frameRecord.colourText : "11 22 33 11 22 33"), "colours changed without their block");
    Prepare(FrameFiles, base, 0, false);
    if (!allInOne) LoadFrame(g_animation.basePath, 0);
    Check(allInOne || Colours() == applied, "loading frame 0 gives other colours");
  }
  Check(Snapshot() == before, "a file was created, changed or deleted");
  return s_failure;
}

#ifdef ZOETRIX_FUZZ_TARGET
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* failure = RunFuzzInput(ZOETRIX_FUZZ_TARGET, data, size);
  if (failure != nullptr) std::fprintf(stderr, "fuzz check failed: %s\n", failure), std::abort();
  return 0;
}
#endif

// Fuzzes LoadFrame over an all-in-one file. The input is an options byte (see
// DecodeOptions) followed by the file's bytes. A load must show exactly one
// frame, touch no file, never start playback, and give the same result when
// repeated.
#include <string>

#include "animation.h"
#include "frame_loader.h"
#include "fuzz_support.h"

namespace {

std::string LoadAndCheck(const std::string& base, const FuzzOptions& opt) {
  PrepareStorage(AllInOne, base, opt.frame, opt.playing);
  LoadFrame(g_animation.basePath, opt.frame);
  CheckLoadOutcome(opt.playing);
  Check(opt.playing || g_animation.playing == 0, "loading a frame started playback");
  return DisplayText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FuzzOptions opt = DecodeOptions(data[0]);
  ClearScratch();
  std::string base = ScratchBase(opt.baseKind);
  WriteFile(base + ".txt", data + 1, size - 1);
  DirSnapshot before = Snapshot();

  std::string shown = LoadAndCheck(base, opt);
  Check(Snapshot() == before, "loading a frame created, changed or deleted a file");
  Check(LoadAndCheck(base, opt) == shown, "the same load showed something else the second time");

  char name[kPathMax];
  if (!AllInOneFileName(name, sizeof name, base.c_str())) {
    Check(shown.empty(), "an animation whose file name does not fit showed text");
  }
  return 0;
}

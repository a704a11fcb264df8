// Fuzzes LoadFrame over frame files. The input is an options byte (see
// DecodeOptions) followed by up to 16 frame files separated by
// kFileSeparator: piece i becomes frame file i, so "same" lines can lead to
// other frames of the same input. A load must show exactly one frame, touch
// no file, and give the same result when repeated.
#include <cstring>
#include <string>
#include <vector>

#include "animation.h"
#include "frame_loader.h"
#include "fuzz_support.h"

namespace {

// Loads the frame as the program does and checks what every load must
// leave; returns the shown text.
std::string LoadAndCheck(const std::string& base, const FuzzOptions& opt) {
  PrepareStorage(FrameFiles, base, opt.frame, opt.playing);
  LoadFrame(g_animation.basePath, opt.frame);
  CheckLoadOutcome(opt.playing);
  Check(g_animation.playing == (opt.playing ? 1 : 0), "loading a frame file changed the playing flag");
  return DisplayText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FuzzOptions opt = DecodeOptions(data[0]);
  ClearScratch();
  std::string base = ScratchBase(opt.baseKind);
  std::vector<std::string> files = SplitFiles(data + 1, size - 1, 16);
  for (size_t i = 0; i < files.size(); ++i) {
    std::string name = base + std::string(4 - std::to_string(i).size(), '0') + std::to_string(i) + ".txt";
    WriteFile(name, reinterpret_cast<const uint8_t*>(files[i].data()), files[i].size());
  }
  DirSnapshot before = Snapshot();

  std::string shown = LoadAndCheck(base, opt);
  Check(Snapshot() == before, "loading a frame created, changed or deleted a file");
  Check(LoadAndCheck(base, opt) == shown, "the same load showed something else the second time");

  char name[kPathMax];
  if (!FrameFileName(name, sizeof name, base.c_str(), opt.frame)) {
    Check(shown.empty(), "a frame whose file name does not fit showed text");
  } else if (!opt.playing && opt.frame < files.size() && (files[opt.frame].empty() || files[opt.frame][0] != '{')) {
    // Without a header the editor shows the file's text: up to its first
    // zero byte, at most 32000 bytes.
    std::string text = files[opt.frame].substr(0, kFrameTextMax);
    text = text.substr(0, std::strlen(text.c_str()));
    Check(shown == text, "a frame without a header does not show its file's text");
  }
  return 0;
}

// Fuzzes LoadFrame over frame files. The input is an options byte (see
// DecodeOptions) followed by up to 16 frame files separated by
// kFileSeparator: piece i becomes frame file i, so "same" lines can lead to
// other frames of the same input. A load must show exactly one frame, touch
// no file, give the same result when repeated, and show while editing the
// text of the frame that its chain of repeats ends at.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "animation.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "fuzz_support.h"

namespace {

// The text the editor must show for frame n: its file's text (up to the first
// zero byte, at most 32000 bytes), or, when the first line after its "{" is
// "same" with a number not below 0, what that frame shows, following the
// chain up to kMaxRepeatChain frames and never back to a frame already in it.
std::string ExpectedText(const std::vector<std::string>& files, const std::string& base, uint32_t n,
                         std::vector<uint32_t>& chain) {
  char name[kPathMax];
  if (!FrameFileName(name, sizeof name, base.c_str(), n) || n >= files.size()) return "";
  std::string text = files[n].substr(0, kFrameTextMax);
  text.resize(std::strlen(text.c_str()));
  if (text.empty() || text[0] != '{') return text;
  const char* line = SkipLine(text.c_str());
  int next = 0;
  if (line == nullptr || std::strncmp(line, "same", 4) != 0 || ParseInt(line + 4, &next) == nullptr || next < 0) {
    return text;
  }
  uint32_t m = static_cast<uint32_t>(next);
  if (chain.size() >= static_cast<size_t>(kMaxRepeatChain) || std::count(chain.begin(), chain.end(), m) > 0) {
    return text;
  }
  chain.push_back(m);
  return ExpectedText(files, base, m, chain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOptions opt;
  std::string base;
  if (!BeginInput(data, size, opt, base)) return 0;
  std::vector<std::string> files = SplitFiles(data, size, 16);
  for (size_t i = 0; i < files.size(); ++i) WriteFile(FramePath(base, i), files[i]);
  DirSnapshot before = Snapshot();

  std::string shown = LoadAndCheck(FrameFiles, base, opt);
  Check(Snapshot() == before, "loading a frame created, changed or deleted a file");
  Check(LoadAndCheck(FrameFiles, base, opt) == shown, "the same load showed something else the second time");
  if (!opt.playing) {
    std::vector<uint32_t> chain = {opt.frame};
    Check(shown == ExpectedText(files, base, opt.frame, chain), "the editor does not show the frame the chain ends at");
  }
  return 0;
}

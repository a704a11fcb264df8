// Fuzzes ExpandAllInOne. The input is an options byte (see DecodeOptions),
// the all-in-one file, then up to 8 frame files 0, 1, ... that exist before
// the expansion, all separated by kFileSeparator. Expansion may only create
// or replace frame files of the animation, each holding a block's text; it
// never deletes a file and never changes the all-in-one file or a file of
// another name.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "animation.h"
#include "conversion.h"
#include "fuzz_support.h"

namespace {

// True when name (a file name in the scratch directory) is a frame file of
// the animation whose file names start with prefix: prefix, "%04d" of some
// int, ".txt".
bool IsFrameFileName(const std::string& name, const std::string& prefix) {
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  std::string rest = name.substr(prefix.size());
  if (rest.size() < 8 || rest.compare(rest.size() - 4, 4, ".txt") != 0) return false;
  std::string number = rest.substr(0, rest.size() - 4);
  char* end = nullptr;
  long long value = std::strtoll(number.c_str(), &end, 10);
  if (end != number.c_str() + number.size() || value < -2147483648LL || value > 2147483647LL) return false;
  char canonical[16];
  std::snprintf(canonical, sizeof canonical, "%04d", static_cast<int>(value));
  return number == canonical;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOptions opt;
  std::string base;
  if (!BeginInput(data, size, opt, base)) return 0;
  std::vector<std::string> files = SplitFiles(data, size, 9);
  WriteFile(base + ".txt", files[0]);
  for (size_t i = 1; i < files.size(); ++i) WriteFile(FramePath(base, i - 1), files[i]);
  DirSnapshot before = Snapshot();

  PrepareStorage(opt.allInOne ? AllInOne : FrameFiles, base, opt.frame, opt.playing);
  ExpandAllInOne(g_animation.basePath);
  DirSnapshot after = Snapshot();

  Check(g_animation.storageMode == (opt.allInOne ? AllInOne : FrameFiles), "expansion changed the storage mode");
  Check(g_hookCounts.renderFrame == 0 && g_hookCounts.setEditorText == 0, "expansion showed a frame");
  const std::string prefix = base.substr(ScratchDir().size() + 1);
  char name[kPathMax];
  bool namesFit = FrameFileName(name, sizeof name, base.c_str(), 0) && AllInOneFileName(name, sizeof name, base.c_str());
  for (const auto& file : before) {
    Check(after.count(file.first) == 1, "expansion deleted a file");
  }
  for (const auto& file : after) {
    auto old = before.find(file.first);
    if (old != before.end() && old->second == file.second) continue;
    Check(namesFit, "expansion wrote although the animation's file names do not fit");
    Check(file.first != prefix + ".txt", "expansion changed the all-in-one file");
    Check(IsFrameFileName(file.first, prefix), "expansion wrote a file that is not one of the animation's frames");
    const std::string& text = file.second;
    Check(!text.empty(), "expansion wrote an empty frame file");
    // A text ended by "[end]" holds up to 32000 bytes and export's CR LF.
    Check(text.size() <= static_cast<size_t>(kFrameTextMax) + 2, "expansion wrote more than 32002 bytes");
    Check(text.find('\0') == std::string::npos, "expansion wrote a zero byte");
    Check(text.find("[end]") == std::string::npos, "expansion wrote an end line into a frame");
    Check(files[0].find(text) != std::string::npos, "expansion wrote text that is not in the all-in-one file");
  }
  return 0;
}

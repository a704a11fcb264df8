// Fuzzes LoadFrame over an all-in-one file. The input is an options byte (see
// DecodeOptions) followed by the file's bytes. A load must show exactly one
// frame, touch no file, and give the same result when repeated.
#include <string>

#include "animation.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOptions opt;
  std::string base;
  if (!BeginInput(data, size, opt, base)) return 0;
  WriteFile(base + ".txt", data, size);
  DirSnapshot before = Snapshot();

  std::string shown = LoadAndCheck(AllInOne, base, opt);
  Check(Snapshot() == before, "loading a frame created, changed or deleted a file");
  Check(LoadAndCheck(AllInOne, base, opt) == shown, "the same load showed something else the second time");

  char name[kPathMax];
  if (!AllInOneFileName(name, sizeof name, base.c_str())) {
    Check(shown.empty(), "an animation whose file name does not fit showed text");
  }
  return 0;
}

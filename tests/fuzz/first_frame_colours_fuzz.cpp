// Fuzzes ApplyFirstFrameColours. The input is an options byte (see
// DecodeOptions; bit 7 picks the all-in-one layout) and the file of frame 0
// in that layout: the frame file, or the all-in-one file. The colours may
// change only through a colour block; no file is touched. Over frame files,
// the colours must be the ones loading frame 0 gives.
#include <cstdio>
#include <cstring>
#include <string>

#include "animation.h"
#include "conversion.h"
#include "frame_header.h"
#include "frame_loader.h"
#include "fuzz_support.h"

namespace {

const ColourTriple kPen = {11, 22, 33};
const ColourTriple kBack = {44, 55, 66};

bool Same(const ColourTriple& a, const ColourTriple& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

void PrepareColours(int mode, const std::string& base) {
  PrepareStorage(mode, base, 0, false);
  PenColour = kPen;
  BackColour = kBack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzOptions opt;
  std::string base;
  if (!BeginInput(data, size, opt, base)) return 0;
  int mode = opt.allInOne ? AllInOne : FrameFiles;
  WriteFile(opt.allInOne ? base + ".txt" : FramePath(base, 0), data, size);
  DirSnapshot before = Snapshot();

  PrepareColours(mode, base);
  ApplyFirstFrameColours(g_animation.basePath);
  Check(Snapshot() == before, "applying the first frame's colours created, changed or deleted a file");
  Check(g_hookCounts.renderFrame == 0 && g_hookCounts.setEditorText == 0, "applying colours showed a frame");
  Check(g_hookCounts.playSound == 0, "applying colours played a sound");
  Check(g_hookCounts.applyColours <= 1, "colours applied more than once");
  Check(g_frameRecord.hasColour == g_hookCounts.applyColours, "colour flag and applied colours disagree");
  ColourTriple pen = PenColour, back = BackColour;
  if (g_hookCounts.applyColours == 0) {
    Check(Same(pen, kPen) && Same(back, kBack), "colours changed without a colour block");
  } else {
    char expected[kColourTextSize];
    std::snprintf(expected, sizeof expected, "%d %d %d %d %d %d", pen.red, pen.green, pen.blue, back.red, back.green,
                  back.blue);
    Check(std::strcmp(g_frameRecord.colourText, expected) == 0, "colour text does not match the colours");
  }

  if (mode == FrameFiles) {
    // Frame 0 is the only frame, so loading it can follow no repeat and must
    // give the same colours.
    PrepareColours(mode, base);
    LoadFrame(g_animation.basePath, 0);
    Check(Same(PenColour, pen) && Same(BackColour, back), "loading frame 0 gives other colours");
  }
  return 0;
}

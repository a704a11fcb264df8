#include "gif_export.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "file_io.h"
#include "gif_writer.h"
#include "playback_walk.h"

namespace {

constexpr int kSideMax = 65535;
constexpr int64_t kPixelsMax = 16777216;

// What a frame shows, for drawing it.
struct FrameLook {
  uint32_t body;
  ColourTriple pen, back;
};

bool SameLook(const FrameLook& a, const FrameLook& b) {
  auto same = [](const ColourTriple& x, const ColourTriple& y) {
    return ((x.red ^ y.red) & 255) == 0 && ((x.green ^ y.green) & 255) == 0 && ((x.blue ^ y.blue) & 255) == 0;
  };
  return a.body == b.body && same(a.pen, b.pen) && same(a.back, b.back);
}

void DescribeError(int error, GifResult& result) {
  char reason[256];
  DescribeFileError(error, reason, sizeof reason);
  result.outcome = GifOutcome::NotWritten;
  result.error = reason;
}

GifResult Export(const GifJob& job, const FramePainter& painter, const char* target, SafeWriter& file) {
  GifResult result;
  PlaybackWalk walk;
  std::vector<FrameLook> looks;
  looks.reserve(HighestSlot);
  WalkPlayback(job.base, job.storageMode, job.pen, job.back, walk, [&looks](uint32_t, const ShownFrame& shown) {
    looks.push_back(FrameLook{shown.body, shown.pen, shown.back});
  });
  const int last = LastStoredFrame(walk);
  if (last < 0) {
    result.outcome = GifOutcome::NoFrames;
    return result;
  }
  looks.resize(static_cast<size_t>(last) + 1);
  const auto bodyText = [&walk](uint32_t body) { return walk.bodies.c_str() + walk.bodyStart[body]; };

  // One picture size for every frame: the largest text, with the border.
  std::vector<bool> measured(walk.bodyStart.size(), false);
  int width = 0, height = 0;
  for (const FrameLook& look : looks) {
    if (measured[look.body]) continue;
    measured[look.body] = true;
    int w = 0, h = 0;
    if (!painter.measure(bodyText(look.body), &w, &h)) {
      result.outcome = GifOutcome::NotDrawn;
      return result;
    }
    width = std::max(width, w);
    height = std::max(height, h);
  }
  result.width = width + 1;
  result.height = height + 1;
  if (result.width > kSideMax || result.height > kSideMax ||
      static_cast<int64_t>(result.width) * result.height > kPixelsMax) {
    result.outcome = GifOutcome::TooLarge;
    return result;
  }

  if (!BeginSafeWrite(file, target, kWriteDurable)) {
    DescribeError(file.error, result);
    return result;
  }
  GifWriter gif;
  StartGif(gif, result.width, result.height,
           [&file](const uint8_t* data, size_t size) { return SafeWrite(file, data, size); });
  std::vector<uint32_t> pixels(static_cast<size_t>(result.width) * static_cast<size_t>(result.height));
  for (size_t k = 0; k < looks.size(); ++k) {
    // A frame that looks as the one before needs no drawing.
    if (k == 0 || !SameLook(looks[k], looks[k - 1])) {
      const FrameLook& look = looks[k];
      if (!painter.paint(bodyText(look.body), look.pen, look.back, result.width, result.height, pixels.data())) {
        AbandonSafeWrite(file);
        result.outcome = GifOutcome::NotDrawn;
        return result;
      }
    }
    if (!AddGifFrame(gif, pixels.data(), job.delay)) break;
  }
  if (!FinishGif(gif) || !CommitSafeWrite(file)) {
    AbandonSafeWrite(file);
    DescribeError(file.error, result);
    return result;
  }
  result.outcome = GifOutcome::Written;
  result.frames = static_cast<uint32_t>(looks.size());
  result.images = gif.images;
  result.bytes = gif.bytes;
  return result;
}

}  // namespace

unsigned GifDelay(int milliseconds) {
  const int hundredths = milliseconds / 10 + (milliseconds % 10 >= 5 ? 1 : 0);
  return static_cast<unsigned>(std::clamp(hundredths, 2, static_cast<int>(kGifDelayMax)));
}

GifResult ExportGif(const GifJob& job, const FramePainter& painter, const char* target) {
  // The writer is large (its buffer); the export works on the heap.
  std::unique_ptr<SafeWriter> file;
  try {
    file = std::make_unique<SafeWriter>();
    file->file = -1;
    file->temp[0] = '\0';
    return Export(job, painter, target, *file);
  } catch (const std::bad_alloc&) {
    if (file) AbandonSafeWrite(*file);
    GifResult result;
    result.outcome = GifOutcome::OutOfMemory;
    return result;
  }
}

#include "gif_decode.h"

#include <gif_lib.h>

#include <cstring>

namespace {

struct Reader {
  const std::string* bytes;
  size_t at;
};

int Read(GifFileType* gif, GifByteType* to, int size) {
  Reader& r = *static_cast<Reader*>(gif->UserData);
  size_t n = std::min(static_cast<size_t>(size), r.bytes->size() - r.at);
  std::memcpy(to, r.bytes->data() + r.at, n);
  r.at += n;
  return static_cast<int>(n);
}

}  // namespace

DecodedGif DecodeGif(const std::string& bytes) {
  DecodedGif out;
  Reader reader{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, Read, &error);
  if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
    out.error = GifErrorString(gif != nullptr ? gif->Error : error);
    if (gif != nullptr) DGifCloseFile(gif, &error);
    return out;
  }
  out.width = gif->SWidth;
  out.height = gif->SHeight;
  // The loop comes before the first image, whose extensions giflib keeps.
  const int count = gif->ImageCount > 0 ? gif->SavedImages[0].ExtensionBlockCount : 0;
  for (int e = 0; e + 1 < count; ++e) {
    const ExtensionBlock* b = gif->SavedImages[0].ExtensionBlocks;
    if (b[e].Function == APPLICATION_EXT_FUNC_CODE && b[e].ByteCount == 11 &&
        std::memcmp(b[e].Bytes, "NETSCAPE2.0", 11) == 0 && b[e + 1].ByteCount == 3) {
      out.loopsForever = b[e + 1].Bytes[0] == 1 && b[e + 1].Bytes[1] == 0 && b[e + 1].Bytes[2] == 0;
    }
  }
  std::vector<uint32_t> canvas(static_cast<size_t>(out.width) * out.height, 0);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, i, &control);
    if (control.DisposalMode != DISPOSE_DO_NOT) out.error = "frame " + std::to_string(i) + " is disposed of";
    const ColorMapObject* map = image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
    const GifImageDesc& d = image.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
      for (int x = 0; x < d.Width; ++x) {
        const int index = image.RasterBits[y * d.Width + x];
        if (index == control.TransparentColor) continue;
        if (map == nullptr || index >= map->ColorCount) {
          out.error = "frame " + std::to_string(i) + " uses an index beyond its table";
          continue;
        }
        const GifColorType& c = map->Colors[index];
        canvas[static_cast<size_t>(d.Top + y) * out.width + d.Left + x] = c.Red << 16 | c.Green << 8 | c.Blue;
      }
    }
    out.frames.push_back(DecodedFrame{canvas, control.DelayTime, d.Left, d.Top, d.Width, d.Height});
  }
  DGifCloseFile(gif, &error);
  return out;
}

// Rewrites a GIF with every frame stored whole: each frame's full picture as
// it plays, with a table of exactly its colours, its delay, no transparency.
// The input of the size comparison with an optimiser (scripts/bench.sh).
//   gif_whole IN.gif OUT.gif
#include <gif_lib.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gif_whole IN.gif OUT.gif\n");
    return 2;
  }
  int error = 0;
  GifFileType* in = DGifOpenFileName(argv[1], &error);
  GifFileType* out = in != nullptr ? EGifOpenFileName(argv[2], false, &error) : nullptr;
  if (out == nullptr) {
    std::fprintf(stderr, "gif_whole: %s\n", GifErrorString(error));
    return 1;
  }
  EGifSetGifVersion(out, true);
  const int width = in->SWidth, height = in->SHeight;
  std::vector<uint32_t> canvas(static_cast<size_t>(width) * height);
  std::vector<GifByteType> line(static_cast<size_t>(width)), indices(canvas.size());
  GraphicsControlBlock control{};
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  bool ok = EGifPutScreenDesc(out, width, height, 8, 0, nullptr) == GIF_OK;
  const GifByteType loop[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(out, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(out, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(out, 3, loop) == GIF_OK &&
       EGifPutExtensionTrailer(out) == GIF_OK;
  GifRecordType record;
  // Anything this cannot store whole (a record it cannot read, a picture of
  // more than 256 colours) fails the run: a cut file would be measured.
  while (ok && (ok = DGifGetRecordType(in, &record) == GIF_OK) && record != TERMINATE_RECORD_TYPE) {
    if (record == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* block;
      ok = DGifGetExtension(in, &code, &block) == GIF_OK;
      if (ok && code == GRAPHICS_EXT_FUNC_CODE) DGifExtensionToGCB(block[0], block + 1, &control);
      while (ok && block != nullptr) ok = DGifGetExtensionNext(in, &block) == GIF_OK;
      continue;
    }
    ok = record == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(in) == GIF_OK;
    if (!ok) break;
    const GifImageDesc d = in->Image;
    const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : in->SColorMap;
    for (int y = 0; ok && y < d.Height; ++y) {
      ok = DGifGetLine(in, line.data(), d.Width) == GIF_OK;
      for (int x = 0; ok && x < d.Width; ++x) {
        if (line[x] == control.TransparentColor) continue;
        const GifColorType& c = map->Colors[line[x]];
        canvas[static_cast<size_t>(d.Top + y) * width + d.Left + x] = c.Red << 16 | c.Green << 8 | c.Blue;
      }
    }
    // The whole picture with a table of its own colours.
    std::map<uint32_t, int> colours;
    for (uint32_t c : canvas) colours.emplace(c, 0);
    ok = colours.size() <= 256;
    if (!ok) break;
    int bits = 1;
    while ((1 << bits) < static_cast<int>(colours.size())) ++bits;
    ColorMapObject* table = GifMakeMapObject(1 << bits, nullptr);
    int n = 0;
    for (auto& [c, index] : colours) {
      index = n;
      table->Colors[n++] = GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                                        static_cast<GifByteType>(c)};
    }
    for (size_t i = 0; i < canvas.size(); ++i) indices[i] = static_cast<GifByteType>(colours[canvas[i]]);
    GraphicsControlBlock whole{DISPOSE_DO_NOT, false, control.DelayTime, NO_TRANSPARENT_COLOR};
    GifByteType gce[4];
    EGifGCBToExtension(&whole, gce);
    ok = EGifPutExtension(out, GRAPHICS_EXT_FUNC_CODE, 4, gce) == GIF_OK &&
         EGifPutImageDesc(out, 0, 0, width, height, false, table) == GIF_OK &&
         EGifPutLine(out, indices.data(), static_cast<int>(indices.size())) == GIF_OK;
    GifFreeMapObject(table);
    control = GraphicsControlBlock{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
  }
  DGifCloseFile(in, &error);
  ok = EGifCloseFile(out, &error) == GIF_OK && ok;
  if (!ok) std::fprintf(stderr, "gif_whole: cannot rewrite %s\n", argv[1]);
  return ok ? 0 : 1;
}

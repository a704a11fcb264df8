#include "ft_painter.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <new>
#include <vector>

namespace {

// What Windows gives for bytes that code page 932 has no character for.
constexpr char32_t kDefaultChar = 0x30FB;
// The characters of one line that DrawTextA takes (its line buffer holds
// 1,024); the rest of the line is neither drawn nor measured.
constexpr size_t kLineMax = 1024;
// The renderer's 17 gray levels as intensities.
constexpr int kRamp[17] = {0, 0x4d, 0x68, 0x7c, 0x8c, 0x9a, 0xa7, 0xb2, 0xbd, 0xc7, 0xd0, 0xd9, 0xe1, 0xe9, 0xf0, 0xf8, 0xff};

struct Glyph {
  int advance = 0;
  int left = 0, top = 0, width = 0, rows = 0;  // the bitmap, from the pen position on the baseline
  std::vector<uint8_t> level;                  // 0 ... 16 a pixel
};

struct Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool gray = false;
  int ascent = 0;
  int lineHeight = 0;
  // Code page 932: the character of each single byte, and of each lead
  // byte (<< 8) and trail byte; a lead byte's own entry is 0.
  std::vector<char32_t> decode;
  std::vector<int32_t> slot;  // index in glyphs by character, or -1
  std::vector<Glyph> glyphs;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// iconv as "CP932", which knows the NEC and IBM rows and keeps 0x5C and 0x7E
// as they are.
bool BuildDecoding(Face& f) {
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  f.decode.assign(65536, kDefaultChar);
  auto convert = [cd](const char* bytes, size_t size) {
    char32_t c = kDefaultChar;
    char* in = const_cast<char*>(bytes);
    char* out = reinterpret_cast<char*>(&c);
    size_t inLeft = size, outLeft = sizeof c;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || outLeft != 0) c = kDefaultChar;
    return c;
  };
  for (unsigned b = 1; b < 256; ++b) {
    const char one = static_cast<char>(b);
    if (!IsLead(b)) {
      f.decode[b] = convert(&one, 1);
      continue;
    }
    f.decode[b] = 0;
    for (unsigned t = 1; t < 256; ++t) {
      const char two[2] = {one, static_cast<char>(t)};
      f.decode[b << 8 | t] = convert(two, 2);
    }
  }
  iconv_close(cd);
  return true;
}

// The text as MultiByteToWideChar gives it: a lead byte takes the next byte
// with it, whatever it is.
std::u32string Decode(const Face& f, const char* text) {
  std::u32string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    char32_t c = f.decode[*p];
    if (c == 0) {
      c = p[1] != 0 ? f.decode[*p << 8 | p[1]] : kDefaultChar;
      if (p[1] != 0) ++p;
    }
    out += c;
  }
  return out;
}

const Glyph& GlyphOf(Face& f, char32_t c) {
  if (c >= f.slot.size()) c = kDefaultChar;
  if (f.slot[c] >= 0) return f.glyphs[static_cast<size_t>(f.slot[c])];
  Glyph g;
  FT_GlyphSlot s = f.face->glyph;
  const FT_UInt index = FT_Get_Char_Index(f.face, c);
  const FT_Int32 flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | (f.gray ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(f.face, index, flags) == 0 &&
      FT_Render_Glyph(s, f.gray ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0) {
    g.advance = static_cast<int>((s->advance.x + 32) >> 6);
    g.left = s->bitmap_left;
    g.top = s->bitmap_top;
    g.width = static_cast<int>(s->bitmap.width);
    g.rows = static_cast<int>(s->bitmap.rows);
    g.level.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
    for (int y = 0; y < g.rows; ++y) {
      const unsigned char* row = s->bitmap.buffer + y * s->bitmap.pitch;
      for (int x = 0; x < g.width; ++x) {
        int level = s->bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x / 8] >> (7 - x % 8) & 1) * 16
                                                               : row[x] * 17 / 256;  // 17 levels, as the renderer asks
        if (!f.gray && level > 0) level = 16;
        g.level[static_cast<size_t>(y * g.width + x)] = static_cast<uint8_t>(level);
      }
    }
  }
  f.slot[c] = static_cast<int32_t>(f.glyphs.size());
  f.glyphs.push_back(std::move(g));
  return f.glyphs.back();
}

// One line as DrawTextA lays it out.
struct Line {
  std::vector<const Glyph*> glyphs;
  int width = 0;
  int prefix = -1;  // the character a '&' underlines, or -1
};

// Lines end at CR, LF, CR LF or LF CR; a line end at the very end starts no
// line. '&' is not drawn and underlines the next character (the last one so
// marked on a line), "&&" draws '&'; the text's last character is always
// drawn as it is. Control character 30 acts as '&'; 31 hides itself and the
// next character.
std::vector<Line> Layout(Face& f, const char* text) {
  const std::u32string w = Decode(f, text);
  std::vector<Line> lines;
  size_t i = 0;
  const size_t count = w.size();
  while (i < count) {
    Line line;
    std::u32string shown;
    auto take = [&] {
      if (shown.size() < kLineMax) shown += w[i];
      ++i;
    };
    while (i < count && w[i] != '\r' && w[i] != '\n') {
      if (count - i <= 1) {
        take();
      } else if (w[i] == '&' || w[i] == 30) {
        ++i;
        if (w[i] == '&') {
          take();
        } else {
          line.prefix = static_cast<int>(shown.size());
        }
      } else if (w[i] == 31) {
        i += 2;
      } else {
        take();
      }
    }
    if (i < count) {
      ++i;
      if (i < count && (w[i] == '\r' || w[i] == '\n') && w[i] != w[i - 1]) ++i;
    }
    for (char32_t c : shown) {
      line.glyphs.push_back(&GlyphOf(f, c));
      line.width += line.glyphs.back()->advance;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

uint32_t Rgb(const ColourTriple& c) {
  return static_cast<uint32_t>((c.red & 255) << 16 | (c.green & 255) << 8 | (c.blue & 255));
}

// Blends one channel of an anti-aliased pixel toward the text's, between the
// level's limits.
int Blend(int dst, int text, int low, int high) {
  if (dst == text) return dst;
  if (dst > text) return text + (dst - text) * (high - text) / (255 - text);
  return text - (text - dst) * (text - low) / text;
}

void Paint(Face& f, const char* text, uint32_t pen, uint32_t back, int width, int height, uint32_t* pixels) {
  std::fill(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height), back);
  // The border: Rectangle with a one-pixel pen.
  for (int x = 0; x < width; ++x) pixels[x] = pixels[static_cast<size_t>(height - 1) * width + x] = pen;
  for (int y = 0; y < height; ++y) pixels[static_cast<size_t>(y) * width] = pixels[static_cast<size_t>(y) * width + width - 1] = pen;
  // Each level's colour limits for the text colour, per channel.
  int low[17][3], high[17][3];
  for (int level = 0; level < 17; ++level) {
    for (int ch = 0; ch < 3; ++ch) {
      const int t = static_cast<int>(pen >> (16 - 8 * ch) & 255);
      low[level][ch] = kRamp[level] * t / 255;
      high[level][ch] = kRamp[16 - level] + (255 - kRamp[16 - level]) * t / 255;
    }
  }
  // Each level's colour over the background, the usual case.
  uint32_t overBack[17];
  auto blend = [&](uint32_t p, int level) {
    uint32_t blended = 0;
    for (int ch = 0; ch < 3; ++ch) {
      const int shift = 16 - 8 * ch;
      blended |= static_cast<uint32_t>(Blend(static_cast<int>(p >> shift & 255), static_cast<int>(pen >> shift & 255),
                                             low[level][ch], high[level][ch]))
                 << shift;
    }
    return blended;
  };
  for (int level = 0; level < 17; ++level) overBack[level] = level >= 16 ? pen : blend(back, level);
  auto put = [&](int x, int y, int level) {
    if (x < 0 || y < 0 || x >= width || y >= height || level <= 1) return;
    uint32_t& p = pixels[static_cast<size_t>(y) * width + x];
    if (level >= 16) {
      p = pen;
      return;
    }
    if (p == back) {
      p = overBack[level];
      return;
    }
    p = blend(p, level);
  };
  const std::vector<Line> lines = Layout(f, text);
  int top = 0;
  for (const Line& line : lines) {
    // A line is drawn while the one before left room for a whole line.
    const bool last = top + 2 * f.lineHeight - 1 > height;
    // The text's background behind the line (over the border, where it
    // reaches it: everything else is the background already), then its
    // glyphs.
    const int right = std::min(line.width, width), bottom = std::min(top + f.lineHeight, height);
    if (right > 0) {
      for (int y = top; y < bottom; ++y) pixels[static_cast<size_t>(y) * width] = back;
      if (right == width) {
        for (int y = top; y < bottom; ++y) pixels[static_cast<size_t>(y) * width + width - 1] = back;
      }
      for (int y : {0, height - 1}) {
        if (y >= top && y < bottom) std::fill(pixels + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y) * width + right, back);
      }
    }
    // Glyphs are drawn within that background only: a descender that
    // reaches below it is cut.
    int x = 0;
    for (const Glyph* g : line.glyphs) {
      const int gx = x + g->left, gy = top + f.ascent - g->top;
      const int r0 = std::max(0, top - gy), r1 = std::min(g->rows, top + f.lineHeight - gy);
      const int c0 = std::max(0, -gx), c1 = std::min(g->width, line.width - gx);
      for (int r = r0; r < r1; ++r) {
        for (int c = c0; c < c1; ++c) put(gx + c, gy + r, g->level[static_cast<size_t>(r * g->width + c)]);
      }
      x += g->advance;
    }
    // The underline: from the character's start to one pixel short of its
    // end, one pixel below the baseline's row.
    if (line.prefix >= 0 && line.prefix < static_cast<int>(line.glyphs.size())) {
      int start = 0;
      for (int k = 0; k < line.prefix; ++k) start += line.glyphs[static_cast<size_t>(k)]->advance;
      const int y = top + f.ascent + 1;
      const int end = std::min(start + line.glyphs[static_cast<size_t>(line.prefix)]->advance - 1, width);
      if (start <= width && end >= 0 && y >= 0 && y <= height) {
        for (int u = std::max(start, 0); u < end; ++u) put(u, y, 16);
      }
    }
    top += f.lineHeight;
    if (last) break;
  }
}

// The pixels per em of a font asked for by its cell height, as GDI computes it.
long PixelsPerEm(FT_Face face, const TT_OS2* os2, int height) {
  const TT_HoriHeader* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  long units = os2 != nullptr ? os2->usWinAscent + os2->usWinDescent : 0;
  if (units == 0 && hhea != nullptr) units = hhea->Ascender - hhea->Descender;
  if (units <= 0) return height;
  long ppem = FT_MulDiv(face->units_per_EM, height, units);
  if (ppem > 1 && FT_MulDiv(units, ppem, face->units_per_EM) > height) --ppem;
  return ppem;
}

bool MakePainter(const FontPick& pick, int size, bool antialias, FramePainter& painter, std::string* error) {
  auto f = std::make_shared<Face>();
  if (FT_Init_FreeType(&f->library) != 0 || FT_New_Face(f->library, pick.file.c_str(), pick.index, &f->face) != 0) {
    *error = "cannot load the font " + pick.file;
    return false;
  }
  const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f->face, FT_SFNT_OS2));
  const long ppem = PixelsPerEm(f->face, os2, size);
  if (FT_Set_Pixel_Sizes(f->face, 0, static_cast<FT_UInt>(std::max(ppem, 1L))) != 0 || !BuildDecoding(*f)) {
    *error = "cannot use the font " + pick.file + " at " + std::to_string(size) + " px";
    return false;
  }
  const FT_Fixed scale = f->face->size->metrics.y_scale;
  const long ascent = os2 != nullptr ? os2->usWinAscent : f->face->ascender;
  const long descent = os2 != nullptr ? os2->usWinDescent : -f->face->descender;
  f->ascent = static_cast<int>((FT_MulFix(ascent, scale) + 32) >> 6);
  f->lineHeight = f->ascent + static_cast<int>((FT_MulFix(descent, scale) + 32) >> 6);
  // Gray levels unless the font's gasp table keeps them from this size.
  const FT_Int gasp = FT_Get_Gasp(f->face, static_cast<FT_UInt>(ppem));
  f->gray = antialias && (gasp == FT_GASP_NO_TABLE || (gasp & FT_GASP_DO_GRAY) != 0);
  f->slot.assign(65536, -1);
  painter.measure = [f](const char* text, int* width, int* height) {
    const std::vector<Line> lines = Layout(*f, text);
    *width = 0;
    for (const Line& line : lines) *width = std::max(*width, line.width);
    *height = static_cast<int>(lines.size()) * f->lineHeight;
    return true;
  };
  painter.paint = [f](const char* text, const ColourTriple& pen, const ColourTriple& back, int width, int height,
                      uint32_t* pixels) {
    Paint(*f, text, Rgb(pen), Rgb(back), width, height, pixels);
    return true;
  };
  return true;
}

}  // namespace

bool MakeFreeTypePainter(const FontPick& pick, int size, bool antialias, FramePainter& painter, std::string* error) {
  try {
    return MakePainter(pick, size, antialias, painter, error);
  } catch (const std::bad_alloc&) {
    *error = "not enough memory for the font";
    return false;
  }
}

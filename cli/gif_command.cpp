#include "gif_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "animation.h"
#include "gif_export.h"
#include "output_guard.h"
#include "path_text.h"
#include "web_page.h"

#ifdef _WIN32
#include <windows.h>

#include "frame_drawing.h"
#else
#include "ft_painter.h"
#endif

namespace {

const char kGifHelp[] =
    "usage: zoetrix-cli gif ANIMATION.txt [--layout frames|all-in-one] [--speed 1-6 | --ms N]\n"
    "                       [--font NAME] [--font-size PX] [--no-antialias] [-o OUT.gif]\n"
    "  gif     writes an animated GIF of frame 0 up to the last stored frame as\n"
    "          playback shows them, drawn as the program draws them (default\n"
    "          ANIMATION.gif). --speed is the program's speed (1: 1000 ms ... 6: 30 ms;\n"
    "          3 unless given), --ms a time per frame (rounded to hundredths, at least\n"
    "          20 ms). The font is the one named in font.ini beside this program\n"
    "          (natively: if installed, else Monapo, else IPAPGothic) or --font, at the\n"
    "          system font's height or --font-size (the cell height in pixels).\n";

enum Exit { kDone = 0, kFailed = 1, kUsage = 2 };

int Usage(const std::string& problem) {
  std::fprintf(stderr, "zoetrix-cli: %s\n%s", problem.c_str(), kGifHelp);
  return kUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zoetrix-cli: %s\n", message.c_str());
  return kFailed;
}

struct GifOptions {
  const char* animation = nullptr;
  const char* out = nullptr;
  int mode = 0;
  int milliseconds = 200;  // speed 3, as the program starts
  const char* font = nullptr;
  int size = 0;  // 0: the system font's height
  bool antialias = true;
};

bool ReadNumber(const char* text, int low, int high, int* value) {
  char* end = nullptr;
  long n = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || n < low || n > high) return false;
  *value = static_cast<int>(n);
  return true;
}

// Parses the arguments after "gif"; returns "" or the problem.
std::string Parse(int argc, char** argv, GifOptions& o) {
  static const int kSpeeds[] = {1000, 500, 200, 100, 50, 30};
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = arg == "--layout" || arg == "-o" || arg == "--speed" || arg == "--ms" || arg == "--font" ||
                        arg == "--font-size";
    if (valued && i + 1 >= argc) return arg + " needs a value";
    const char* value = valued ? argv[++i] : nullptr;
    int n = 0;
    if (arg == "--no-antialias") {
      o.antialias = false;
    } else if (arg == "--layout") {
      if (std::strcmp(value, "frames") != 0 && std::strcmp(value, "all-in-one") != 0) {
        return std::string("unknown layout: ") + value;
      }
      o.mode = std::strcmp(value, "frames") == 0 ? FrameFiles : AllInOne;
    } else if (arg == "-o") {
      if (value[0] == '\0') return "-o needs a file name";
      o.out = value;
    } else if (arg == "--speed") {
      if (!ReadNumber(value, 1, 6, &n)) return std::string("--speed is 1 to 6: ") + value;
      o.milliseconds = kSpeeds[n - 1];
    } else if (arg == "--ms") {
      if (!ReadNumber(value, 1, 655350, &o.milliseconds)) return std::string("--ms is 1 to 655350: ") + value;
    } else if (arg == "--font") {
      o.font = value;
    } else if (arg == "--font-size") {
      if (!ReadNumber(value, 1, 1000, &o.size)) return std::string("--font-size is 1 to 1000: ") + value;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option: " + arg;
    } else if (o.animation != nullptr) {
      return "more than one animation given";
    } else {
      o.animation = argv[i];
    }
  }
  return o.animation == nullptr || o.animation[0] == '\0' ? "no animation given" : "";
}

#ifdef _WIN32
// The program's font: the system font's description with the face from
// font.ini (or --font), as the program makes it.
HFONT MakeFont(const GifOptions& o, std::string& told) {
  LOGFONTA description;
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description);
  const std::string face = o.font != nullptr ? o.font : ReadFontFace(FontSettingsBesideProgram().c_str());
  if (!face.empty()) CopyText(description.lfFaceName, sizeof description.lfFaceName, face.c_str());
  description.lfWidth = 0;
  if (o.size > 0) description.lfHeight = o.size;
  if (!o.antialias) description.lfQuality = NONANTIALIASED_QUALITY;
  told = std::string(description.lfFaceName) + ", " + std::to_string(description.lfHeight) + " px";
  return CreateFontIndirectA(&description);
}
#else
// The face: --font, else the one font.ini names if it is installed, else
// Monapo (made with the usual text-art face's advances), else IPAPGothic.
std::string PickFont(const GifOptions& o, FontPick& pick, std::string& told) {
  if (o.font != nullptr) {
    if (!FindFont(o.font, pick)) return std::string("font not found: ") + o.font;
    told = o.font;
    return "";
  }
  const std::string named = Cp932ToUtf8(ReadFontFace(FontSettingsBesideProgram().c_str()));
  if (!named.empty() && FindFont(named, pick)) {
    told = named + " (font.ini)";
    return "";
  }
  for (const char* fallback : {"Monapo", "IPAPGothic"}) {
    if (FindFont(fallback, pick)) {
      told = std::string(fallback) + (named.empty() ? "" : " (font.ini names " + named + ", which is not installed)");
      return "";
    }
  }
  return "no font: install Monapo (Debian fonts-monapo) or IPAPGothic";
}
#endif

int Export(const GifOptions& o, const char* base, const char* target) {
  FramePainter painter;
  std::string told;
#ifdef _WIN32
  HFONT font = MakeFont(o, told);
  if (font == nullptr || !MakeGdiPainter(font, painter)) return Fail("cannot draw with the font " + told);
#else
  FontPick pick;
  const std::string problem = PickFont(o, pick, told);
  FinishFontLookup();
  if (!problem.empty()) return Fail(problem);
  const int size = o.size > 0 ? o.size : 18;  // the system font's height where the program runs
  told += ", " + std::to_string(size) + " px";
  std::string error;
  if (!MakeFreeTypePainter(pick, size, o.antialias, painter, &error)) return Fail(error);
#endif
  std::printf("font: %s%s\n", told.c_str(), o.antialias ? "" : ", not anti-aliased");
  const GifJob job{base, o.mode, ColourTriple{0, 0, 0}, ColourTriple{255, 255, 255}, GifDelay(o.milliseconds)};
  const GifResult r = ExportGif(job, painter, target);
  painter = FramePainter{};
#ifdef _WIN32
  DeleteObject(font);
#endif
  switch (r.outcome) {
    case GifOutcome::Written:
      std::printf("wrote %s: %u frames (%u in the GIF), %dx%d pixels, %llu bytes\n", target, r.frames, r.images,
                  r.width, r.height, static_cast<unsigned long long>(r.bytes));
      return kDone;
    case GifOutcome::NoFrames: {
      char first[kPathMax], last[kPathMax];
      if (o.mode == AllInOne) return Fail(std::string("no frames in ") + base + ".txt");
      FrameFileName(first, sizeof first, base, 0);
      FrameFileName(last, sizeof last, base, HighestSlot - 1);
      return Fail(std::string("no frame files ") + first + " ... " + last);
    }
    case GifOutcome::TooLarge:
      return Fail("the picture would be too large for a GIF (65535 pixels a side, 16777216 in all)");
    case GifOutcome::NotDrawn:
      return Fail("the frames could not be drawn");
    case GifOutcome::OutOfMemory:
      return Fail("not enough memory for the GIF; nothing written");
    case GifOutcome::NotWritten:
      break;
  }
  return Fail(std::string("cannot write ") + target + ": " + r.error);
}

}  // namespace

int RunGifCommand(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kGifHelp, stdout);
      return kDone;
    }
  }
  GifOptions o;
  const std::string problem = Parse(argc, argv, o);
  if (!problem.empty()) return Usage(problem);
  char base[kPathMax];
  if (!AnimationBase(o.animation, base)) return Usage(std::string("path too long: ") + o.animation);
  const std::string beside = std::string(base) + ".gif";
  if (o.out == nullptr) {
    if (beside.size() >= static_cast<size_t>(kPathMax)) return Fail("the GIF's name is too long");
    o.out = beside.c_str();
  }
  if (NamesAnimationFile(o.out, base)) {
    return Fail(std::string("will not write the GIF over the animation's own file ") + o.out);
  }
  if (o.mode == 0) o.mode = HasFrameFiles(base) ? FrameFiles : AllInOne;
  return Export(o, base, o.out);
}

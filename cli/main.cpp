// zoetrix-cli: the program's page writer, export and expansion from the
// command line, for batches and scripts.
//
//   zoetrix-cli html ANIMATION.txt [--layout frames|all-in-one] [-o OUT.html]
//   zoetrix-cli export [--force] ANIMATION.txt
//   zoetrix-cli expand ANIMATION.txt
//   zoetrix-cli check ANIMATION.txt [--layout frames|all-in-one] [--json]
//   zoetrix-cli gif ANIMATION.txt [options]   (gif_command.cpp)
//   zoetrix-cli --version
//
// Exit status: 0 done, 1 a file is missing or could not be written, 2 bad
// arguments; check: 0 nothing found, 1 something found.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "animation.h"
#include "check_command.h"
#include "conversion.h"
#include "frame_files.h"
#include "frame_listing.h"
#include "frame_loader.h"
#include "gif_command.h"
#include "output_guard.h"
#include "path_text.h"
#include "web_page.h"
#include "zoetrix_version.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

enum Exit { kDone = 0, kFailed = 1, kUsage = 2 };

const char kUsageText[] =
    "usage: zoetrix-cli html ANIMATION.txt [--layout frames|all-in-one] [-o OUT.html]\n"
    "       zoetrix-cli export [--force] ANIMATION.txt\n"
    "       zoetrix-cli expand ANIMATION.txt\n"
    "       zoetrix-cli check ANIMATION.txt [--layout frames|all-in-one] [--json]\n"
    "       zoetrix-cli gif ANIMATION.txt [--layout frames|all-in-one] [--speed 1-6 | --ms N]\n"
    "                       [--font NAME] [--font-size PX] [--no-antialias] [-o OUT.gif]\n"
    "       zoetrix-cli --help | --version\n"
    "\n"
    "ANIMATION.txt names the animation as the program opens it: the all-in-one\n"
    "file ANIMATION.txt, or the frame files ANIMATION0000.txt, ANIMATION0001.txt, ...\n"
    "\n"
    "  html    writes one self-contained web page that plays the animation\n"
    "          (default ANIMATION.html). --layout reads the frame files or the\n"
    "          all-in-one file; without it, the frame files when there are any.\n"
    "          The text font is the one named in font.ini beside this program.\n"
    "  export  gathers the frame files into the all-in-one file ANIMATION.txt;\n"
    "          --force replaces it even where some of its frames have no frame file,\n"
    "          and writes frames holding \"[end]\" or a zero byte, which it cuts there\n"
    "  expand  splits the all-in-one file ANIMATION.txt into frame files\n"
    "  check   lists every place in the animation's files that will not play or\n"
    "          convert as written, in both layouts where both exist or in the one\n"
    "          --layout names; --json prints them as one JSON document. The exit\n"
    "          status is 1 when it found something\n"
    "  gif     writes an animated GIF of the frames as playback shows them, drawn as\n"
    "          the program draws them (default ANIMATION.gif; zoetrix-cli gif -h)\n"
    "\n"
    "Exit status: 0 done, 1 a file is missing or could not be written (check: 1\n"
    "when it found something), 2 bad arguments.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "zoetrix-cli: %s\n%s", problem, kUsageText);
  return kUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zoetrix-cli: %s\n", message.c_str());
  return kFailed;
}

// A name as the messages show it: an empty one in quotes.
std::string Shown(const std::string& name) { return name.empty() ? "\"\"" : name; }

// Names of a base that passed the length check in Run: they fit.
std::string FrameName(const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) ? name : "";
}

std::string AllInOneName(const char* base) {
  char name[kPathMax];
  return AllInOneFileName(name, sizeof name, base) ? name : "";
}

}  // namespace

// The font settings file beside this program.
std::string FontSettingsBesideProgram() {
  char program[kPathMax];
#ifdef _WIN32
  DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return "";
  const char* separator = LastSeparator(program);
#else
  ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return "";
  program[length] = '\0';
  const char* separator = std::strrchr(program, '/');
#endif
  if (separator == nullptr) return "";
  return std::string(program, static_cast<size_t>(separator - program) + 1) + "font.ini";
}

bool AnimationBase(const char* animation, char (&base)[kPathMax]) {
  CopyText(base, sizeof base, animation);
  DeriveBasePath(base);
  char frame0[kPathMax];
  return std::strlen(animation) < sizeof base && FrameFileName(frame0, sizeof frame0, base, 0);
}

bool HasFrameFiles(const char* base) {
  const FrameSlots slots = ListFrameSlots(base);
  for (uint32_t n = 0; n < HighestSlot; ++n) {
    std::ifstream in;
    if (MayHaveFile(slots, n) && OpenFrameInput(in, base, n)) return true;
  }
  return false;
}

namespace {

// For tests, ZOETRIX_PAGE_LIMITS="PIECE MAX" sets the bytes of a piece of
// the page's texts and the largest page, so that small animations reach both.
void PageLimitsForTests(WebPageSource& source) {
  const char* limits = std::getenv("ZOETRIX_PAGE_LIMITS");
  unsigned long long piece = 0, most = 0;
  if (limits != nullptr && std::sscanf(limits, "%llu %llu", &piece, &most) == 2) {
    source.pieceBytes = static_cast<size_t>(piece);
    source.maxPageBytes = most;
  }
}

int Html(const char* base, int mode, const char* out) {
  char target[kPathMax];
  if (out == nullptr) {
    if (!WebPageFileName(target, sizeof target, base)) return Fail("the page's name is too long");
    out = target;
  }
  if (NamesAnimationFile(out, base)) return Fail(std::string("will not write the page over the animation's file ") + out);
  if (mode == 0) mode = HasFrameFiles(base) ? FrameFiles : AllInOne;
  WebPageSource source{base, mode, ReadFontFace(FontSettingsBesideProgram().c_str())};
  PageLimitsForTests(source);
  WebPage page;
  PageBuild built = BuildWebPage(source, page);
  if (built == PageBuild::OutOfMemory) return Fail("not enough memory for the page; nothing written");
  if (page.storedFrames == 0) {
    return Fail(mode == FrameFiles ? "no frame files " + FrameName(base, 0) + " ... " + FrameName(base, 9999)
                                   : "no frames in " + AllInOneName(base));
  }
  if (built == PageBuild::TooLarge) {
    return Fail("the page would be larger than " + std::to_string(source.maxPageBytes) +
                " bytes, more than a browser opens; nothing written");
  }
  for (const std::string& sound : page.missingSounds) {
    std::fprintf(stderr, "zoetrix-cli: sound not found, left out: %s\n", sound.c_str());
  }
  for (const std::string& sound : page.largeSounds) {
    std::fprintf(stderr, "zoetrix-cli: sound larger than %llu bytes, left out: %s\n",
                 static_cast<unsigned long long>(kMaxSoundBytes), sound.c_str());
  }
  std::string error;
  if (!WriteWebPage(out, page, &error)) return Fail(std::string("cannot write ") + out + ": " + error);
  std::printf("wrote %s: %u frames, %llu bytes\n", out, page.storedFrames, static_cast<unsigned long long>(page.size));
  return kDone;
}

// What storage told while a command ran: failed writes and refusals.
int s_failures = 0;
bool s_force = false;

void TellWriteFailure(const char* name, const char* reason) {
  std::fprintf(stderr, "zoetrix-cli: cannot write %s: %s\n", name, reason);
  ++s_failures;
}

void TellRefusal(Refusal) {
  std::fprintf(stderr, "zoetrix-cli: no frame files to export\n");
  ++s_failures;
}

void TellReadFailure(const char* name, const char* reason) {
  std::fprintf(stderr, "zoetrix-cli: cannot open %s: %s\n", name, reason);
  ++s_failures;
}

bool ConfirmDropping(int count) {
  if (s_force) return true;
  std::fprintf(stderr,
               "zoetrix-cli: %d frame(s) of the all-in-one file have no frame file and would be lost;"
               " nothing written (--force writes it anyway)\n",
               count);
  ++s_failures;
  return false;
}

bool ConfirmStoringCut(int count, uint32_t first) {
  if (s_force) return true;
  std::fprintf(stderr,
               "zoetrix-cli: %d frame(s), the first frame %u, hold \"[end]\" or a zero byte and would be cut"
               " in the all-in-one file; nothing written (--force writes it anyway)\n",
               count, static_cast<unsigned>(first));
  ++s_failures;
  return false;
}

void TellSkippedBlocks(int count) {
  std::fprintf(stderr, "zoetrix-cli: %d later block(s) with a frame number already written left out\n", count);
}

int Convert(const char* base, bool expand) {
  g_viewHooks = ViewHooks{};
  g_viewHooks.ReportWriteFailure = TellWriteFailure;
  g_viewHooks.ReportRefusal = TellRefusal;
  g_viewHooks.ConfirmDroppingFrames = ConfirmDropping;
  g_viewHooks.ReportReadFailure = TellReadFailure;
  g_viewHooks.ConfirmStoringCutFrames = ConfirmStoringCut;
  g_viewHooks.ReportSkippedBlocks = TellSkippedBlocks;
  const std::string allInOne = AllInOneName(base);
  if (expand) {
    // A file without any frame text expands to nothing: say so. One that
    // cannot be opened is told by the expansion.
    if (ExpandAllInOne(base) == 0 && s_failures == 0) {
      return Fail("no frames in " + allInOne + ": wrote no frame file");
    }
  } else {
    ExportAllInOne(base);
  }
  if (s_failures > 0) return kFailed;
  std::printf(expand ? "expanded %s\n" : "wrote %s\n", allInOne.c_str());
  return kDone;
}

}  // namespace

int Run(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsageText, stdout);
    return kDone;
  }
  if (command == "gif") return RunGifCommand(argc, argv);
  if (command == "--version") {
    std::printf("zoetrix-cli %s\n", ZOETRIX_VERSION);
    return kDone;
  }
  if (command != "html" && command != "export" && command != "expand" &&
      command != "check") {
    return Usage(("unknown command: " + Shown(command)).c_str());
  }
  const char* animation = nullptr;
  const char* out = nullptr;
  int mode = 0;
  bool json = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (command == "export" && arg == "--force") {
      s_force = true;
    } else if (command == "check" && arg == "--json") {
      json = true;
    } else if ((command == "html" && arg == "-o") || ((command == "html" || command == "check") && arg == "--layout")) {
      if (i + 1 >= argc) return Usage((arg + " needs a value").c_str());
      const std::string value = argv[++i];
      if (arg == "-o") {
        out = argv[i];
        if (value.empty()) return Usage("-o needs a file name");
        if (value.size() >= kPathMax) return Usage(("output path too long: " + value).c_str());
      } else if (value == "frames") {
        mode = FrameFiles;
      } else if (value == "all-in-one") {
        mode = AllInOne;
      } else {
        return Usage(("unknown layout: " + Shown(value)).c_str());
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage(("unknown option: " + arg).c_str());
    } else if (animation != nullptr) {
      return Usage("more than one animation given");
    } else {
      animation = argv[i];
    }
  }
  if (animation == nullptr || animation[0] == '\0') return Usage("no animation given");

  char base[kPathMax];
  if (!AnimationBase(animation, base)) return Usage((std::string("path too long: ") + animation).c_str());
  if (command == "html") return Html(base, mode, out);
  if (command == "check") return CheckCommand(animation, base, mode, json);
  return Convert(base, command == "expand");
}

int main(int argc, char** argv) {
  // Running out of memory is a failure told like any other.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("zoetrix-cli: not enough memory\n", stderr);
    return kFailed;
  }
}

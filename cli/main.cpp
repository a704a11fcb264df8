// zoetrix-cli: the program's page writer, export and expansion from the
// command line, for batches and scripts.
//
//   zoetrix-cli html ANIMATION.txt [--layout frames|all-in-one] [-o OUT.html]
//   zoetrix-cli export [--force] ANIMATION.txt
//   zoetrix-cli expand ANIMATION.txt
//   zoetrix-cli gif ANIMATION.txt [options]   (gif_command.cpp)
//
// Exit status: 0 done, 1 a file is missing or could not be written, 2 bad
// arguments.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "animation.h"
#include "block_stream.h"
#include "conversion.h"
#include "frame_files.h"
#include "frame_loader.h"
#include "gif_command.h"
#include "path_text.h"
#include "web_page.h"

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
    "       zoetrix-cli gif ANIMATION.txt [--layout frames|all-in-one] [--speed 1-6 | --ms N]\n"
    "                       [--font NAME] [--font-size PX] [--no-antialias] [-o OUT.gif]\n"
    "\n"
    "ANIMATION.txt names the animation as the program opens it: the all-in-one\n"
    "file ANIMATION.txt, or the frame files ANIMATION0000.txt, ANIMATION0001.txt, ...\n"
    "\n"
    "  html    writes one self-contained web page that plays the animation\n"
    "          (default ANIMATION.html). --layout reads the frame files or the\n"
    "          all-in-one file; without it, the frame files when there are any.\n"
    "          The text font is the one named in font.ini beside this program.\n"
    "  export  gathers the frame files into the all-in-one file ANIMATION.txt;\n"
    "          --force replaces it even where some of its frames have no frame file\n"
    "  expand  splits the all-in-one file ANIMATION.txt into frame files\n"
    "  gif     writes an animated GIF of the frames as playback shows them, drawn as\n"
    "          the program draws them (default ANIMATION.gif; zoetrix-cli gif -h)\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "zoetrix-cli: %s\n%s", problem, kUsageText);
  return kUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zoetrix-cli: %s\n", message.c_str());
  return kFailed;
}

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

bool HasFrameFiles(const char* base) {
  for (uint32_t n = 0; n < HighestSlot; ++n) {
    std::ifstream in;
    if (OpenFrameInput(in, base, n)) return true;
  }
  return false;
}

namespace {

int Html(const char* base, int mode, const char* out) {
  if (mode == 0) mode = HasFrameFiles(base) ? FrameFiles : AllInOne;
  WebPage page;
  BuildWebPage(WebPageSource{base, mode, ReadFontFace(FontSettingsBesideProgram().c_str())}, page);
  if (page.storedFrames == 0) {
    return Fail(mode == FrameFiles ? "no frame files " + FrameName(base, 0) + " ... " + FrameName(base, 9999)
                                   : "no frames in " + AllInOneName(base));
  }
  char target[kPathMax];
  if (out == nullptr) {
    if (!WebPageFileName(target, sizeof target, base)) return Fail("the page's name is too long");
    out = target;
  }
  for (const std::string& sound : page.missingSounds) {
    std::fprintf(stderr, "zoetrix-cli: sound not found, left out: %s\n", sound.c_str());
  }
  std::string error;
  if (!WriteWebPage(out, page.html, &error)) return Fail(std::string("cannot write ") + out + ": " + error);
  std::printf("wrote %s: %u frames, %zu bytes\n", out, page.storedFrames, page.html.size());
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

bool ConfirmDropping(int count) {
  if (s_force) return true;
  std::fprintf(stderr,
               "zoetrix-cli: %d frame(s) of the all-in-one file have no frame file and would be lost;"
               " nothing written (--force writes it anyway)\n",
               count);
  ++s_failures;
  return false;
}

int Convert(const char* base, bool expand) {
  g_viewHooks = ViewHooks{};
  g_viewHooks.ReportWriteFailure = TellWriteFailure;
  g_viewHooks.ReportRefusal = TellRefusal;
  g_viewHooks.ConfirmDroppingFrames = ConfirmDropping;
  const std::string allInOne = AllInOneName(base);
  if (expand) {
    BlockStream s;
    if (!OpenBlockStream(s, allInOne.c_str())) return Fail("cannot open " + allInOne);
    CloseBlockStream(s);
    ExpandAllInOne(base);
  } else {
    ExportAllInOne(base);
  }
  if (s_failures > 0) return kFailed;
  std::printf(expand ? "expanded %s\n" : "wrote %s\n", allInOne.c_str());
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsageText, stdout);
    return kDone;
  }
  if (command == "gif") return RunGifCommand(argc, argv);
  if (command != "html" && command != "export" && command != "expand") {
    return Usage(("unknown command: " + command).c_str());
  }
  const char* animation = nullptr;
  const char* out = nullptr;
  int mode = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (command == "export" && arg == "--force") {
      s_force = true;
    } else if (command == "html" && (arg == "--layout" || arg == "-o")) {
      if (i + 1 >= argc) return Usage((arg + " needs a value").c_str());
      const std::string value = argv[++i];
      if (arg == "-o") {
        out = argv[i];
      } else if (value == "frames") {
        mode = FrameFiles;
      } else if (value == "all-in-one") {
        mode = AllInOne;
      } else {
        return Usage(("unknown layout: " + value).c_str());
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage(("unknown option: " + arg).c_str());
    } else if (animation != nullptr) {
      return Usage("more than one animation given");
    } else {
      animation = argv[i];
    }
  }
  if (animation == nullptr) return Usage("no animation given");

  char base[kPathMax];
  if (std::strlen(animation) >= sizeof base) return Fail(std::string("path too long: ") + animation);
  CopyText(base, sizeof base, animation);
  DeriveBasePath(base);
  if (command == "html") return Html(base, mode, out);
  return Convert(base, command == "expand");
}

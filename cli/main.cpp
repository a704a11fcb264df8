// zoetrix-cli: the program's page writer, export and expansion from the
// command line, for batches and scripts.
//
//   zoetrix-cli html ANIMATION.txt [--layout frames|all-in-one] [-o OUT.html]
//   zoetrix-cli export ANIMATION.txt
//   zoetrix-cli expand ANIMATION.txt
//
// Exit status: 0 done, 1 a file is missing or could not be written, 2 bad
// arguments.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "animation.h"
#include "block_stream.h"
#include "conversion.h"
#include "frame_files.h"
#include "paths.h"
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
    "       zoetrix-cli export ANIMATION.txt\n"
    "       zoetrix-cli expand ANIMATION.txt\n"
    "\n"
    "ANIMATION.txt names the animation as the program opens it: the all-in-one\n"
    "file ANIMATION.txt, or the frame files ANIMATION0000.txt, ANIMATION0001.txt, ...\n"
    "\n"
    "  html    writes one self-contained web page that plays the animation\n"
    "          (default ANIMATION.html). --layout reads the frame files or the\n"
    "          all-in-one file; without it, the frame files when there are any.\n"
    "          The text font is the one named in font.ini beside this program.\n"
    "  export  gathers the frame files into the all-in-one file ANIMATION.txt\n"
    "  expand  splits the all-in-one file ANIMATION.txt into frame files\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "zoetrix-cli: %s\n%s", problem, kUsageText);
  return kUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zoetrix-cli: %s\n", message.c_str());
  return kFailed;
}

// Size of a file, or -1 when it does not exist.
long long FileSize(const char* name) {
  struct stat st;
  return stat(name, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

std::string FrameName(const char* base, uint32_t n) {
  char name[kPathMax];
  return FrameFileName(name, sizeof name, base, n) ? name : "";
}

std::string AllInOneName(const char* base) {
  char name[kPathMax];
  return AllInOneFileName(name, sizeof name, base) ? name : "";
}

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

// The bytes of each frame file that exists, as export writes them: up to
// the first zero byte, at most 32000. Returns how many files there are.
int ReadFrameLengths(const char* base, std::map<uint32_t, size_t>& lengths) {
  for (uint32_t n = 0; n < HighestSlot; ++n) {
    if (ReadFrameFile(base, n)) lengths[n] = std::strlen(WorkBuffer);
  }
  return static_cast<int>(lengths.size());
}

int Html(const char* base, int mode, const char* out) {
  std::map<uint32_t, size_t> frames;
  if (mode == 0) mode = ReadFrameLengths(base, frames) > 0 ? FrameFiles : AllInOne;
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

// The export writes nothing it can report on; its result is checked against
// the frame files it read.
int Export(const char* base) {
  std::map<uint32_t, size_t> frames;
  if (ReadFrameLengths(base, frames) == 0) {
    return Fail("no frame files " + FrameName(base, 0) + " ... " + FrameName(base, 9999));
  }
  long long expected = 0;
  for (const auto& frame : frames) expected += 6 + static_cast<long long>(frame.second) + 9;
  const std::string target = AllInOneName(base);
  ExportAllInOne(base);
  if (FileSize(target.c_str()) != expected) return Fail("cannot write " + target);
  std::printf("wrote %s: %zu frames\n", target.c_str(), frames.size());
  return kDone;
}

// The expansion is checked the same way: every frame file it was to write
// must hold its block's text (a later block of the same number wins).
int Expand(const char* base) {
  const std::string source = AllInOneName(base);
  BlockStream s;
  if (!OpenBlockStream(s, source.c_str())) return Fail("cannot open " + source);
  std::map<uint32_t, int> lengths;
  int number = 0;
  const char* text;
  int length;
  while (ReadBlockNumber(s, &number) != 0 && ReadBlockText(s, &text, &length)) {
    if (length > 0) lengths[static_cast<uint32_t>(number)] = length;
    AdvanceToNextBlock(s);
  }
  CloseBlockStream(s);
  ExpandAllInOne(base);
  for (const auto& frame : lengths) {
    const std::string name = FrameName(base, frame.first);
    if (FileSize(name.c_str()) != frame.second) return Fail("cannot write " + (name.empty() ? source : name));
  }
  std::printf("wrote %zu frame files from %s\n", lengths.size(), source.c_str());
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
  if (command != "html" && command != "export" && command != "expand") {
    return Usage(("unknown command: " + command).c_str());
  }
  const char* animation = nullptr;
  const char* out = nullptr;
  int mode = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (command == "html" && (arg == "--layout" || arg == "-o")) {
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
  if (command == "export") return Export(base);
  return Expand(base);
}

// Timings of the Windows build (the 32-bit program users run), for running
// under Wine: LoadFrame of the last frame of 10,000 frames of 1 KB, with and
// without the block index, beside a plain read of the file and the frame-file
// load; then playback at the fastest speed (a 30 ms timer) near the end of
// 10,000 frames of about 32 KB, LoadFrame driven by the timer's messages as
// the program's playback is; then the whole-animation operations on 1,000 and
// 3,000 frame files of 1 KB, beside the native benchmark's figures,
// and the calls they are made of.
//
//   win_timing [--smoke] [--whole] [--native FILE]
//
// --smoke runs everything once on small animations (a check that the program
// works, not a measurement). FILE holds the native benchmark's figures of the
// whole-animation operations (storage_bench --figures=FILE), for the ratios;
// --whole times those operations alone.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "animation.h"
#include "animation_check.h"
#include "block_index.h"
#include "block_stream.h"
#include "conversion.h"
#include "file_io.h"
#include "frame_drawing.h"
#include "frame_editing.h"
#include "frame_files.h"
#include "frame_listing.h"
#include "frame_loader.h"
#include "gif_export.h"
#include "text_scan.h"
#include "web_page.h"

namespace {

bool g_smoke = false;

double Microseconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Lines of text art, about 60 columns, of ASCII and Shift-JIS characters.
std::string FrameText(unsigned& seed, size_t size) {
  static const char* const kPieces[] = {" ", " ", ".", ":", "-", "=", "+", "*", "#", "%", "@", "|",
                                        "/", "[", "]", "o", "\x81\x5b", "\x81\x40", "\x82\xa0", "\x83\x41"};
  std::string text;
  while (text.size() + 62 < size) {
    size_t lineStart = text.size();
    while (text.size() - lineStart < 60) {
      seed = seed * 1103515245u + 12345u;
      text += kPieces[(seed >> 16) % (sizeof kPieces / sizeof kPieces[0])];
    }
    text += "\r\n";
  }
  text.resize(size, '.');
  return text;
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", name.c_str());
    std::exit(1);
  }
  std::fclose(f);
}

// Writes an animation of frames frames of size bytes: the all-in-one file,
// dated an hour back (the block index trusts only files written more than 2
// seconds before it is begun), and the last frame's own file.
std::string Generate(const std::string& dir, int frames, size_t size) {
  std::string base = dir + "\\anim" + std::to_string(frames) + "x" + std::to_string(size);
  std::string all;
  unsigned seed = static_cast<unsigned>(frames + size);
  std::string text;
  for (int i = 0; i < frames; ++i) {
    text = FrameText(seed, size);
    char head[16];
    std::snprintf(head, sizeof head, "%04d\r\n", i);
    all += head + text + "\r\n[end]\r\n";
  }
  char name[kPathMax];
  AllInOneFileName(name, sizeof name, base.c_str());
  WriteFileBytes(name, all);
  HANDLE h = CreateFileA(name, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME t;
  GetSystemTimeAsFileTime(&t);
  ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
  v.QuadPart -= 3600ULL * 10000000ULL;
  t.dwLowDateTime = v.LowPart;
  t.dwHighDateTime = v.HighPart;
  SetFileTime(h, nullptr, nullptr, &t);
  CloseHandle(h);
  FrameFileName(name, sizeof name, base.c_str(), static_cast<uint32_t>(frames - 1));
  WriteFileBytes(name, text);
  return base;
}

struct Timing {
  double median, lowest;
};

template <class F>
Timing Time(F run) {
  std::vector<double> times;
  double spent = 0;
  for (int i = 0; i < (g_smoke ? 1 : 15) || (!g_smoke && spent < 1e6 && i < 400); ++i) {
    double start = Microseconds();
    run();
    times.push_back(Microseconds() - start);
    spent += times.back();
  }
  std::sort(times.begin(), times.end());
  return Timing{times[times.size() / 2], times[0]};
}

// Reads the whole file in chunks of the block reader's size, nothing else.
void PlainRead(const char* name) {
  static char chunk[kBlockChunkSize];
  InputFile f;
  if (!OpenInputFile(f, name)) return;
  while (ReadInputFile(f, chunk, sizeof chunk) == sizeof chunk) {
  }
  CloseInputFile(f);
}

void Load(const std::string& base, int mode, uint32_t n, bool cold) {
  g_animation.storageMode = mode;
  g_animation.playing = 1;
  if (cold) DropBlockIndex();
  LoadFrame(base.c_str(), n);
}

// Plays from frame first for ticks ticks of a 30 ms timer, each tick
// stepping to the next frame and loading it, as playback does. Without the
// index, each load scans the file from its start.
void Play(const std::string& base, uint32_t first, int ticks, bool indexed) {
  Load(base, AllInOne, first, !indexed);
  g_animation.currentFrame = first;
  std::vector<double> loads;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, nullptr);
  double start = Microseconds();
  MSG msg;
  while (static_cast<int>(loads.size()) < ticks && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_TIMER) continue;
    double begin = Microseconds();
    StepFrame(1);
    Load(base, AllInOne, g_animation.currentFrame, !indexed);
    loads.push_back(Microseconds() - begin);
  }
  double seconds = (Microseconds() - start) / 1e6;
  KillTimer(nullptr, timer);
  std::sort(loads.begin(), loads.end());
  std::printf("%-20s %7zu %9.1f %11.2f %11.2f\n", indexed ? "with the index" : "without the index", loads.size(),
              static_cast<double>(loads.size()) / seconds, loads[loads.size() / 2] / 1000, loads.back() / 1000);
}

// Writes frames frame files of 1 KB, with the all-in-one file if allInOne,
// into a folder of their own under dir; returns the base.
std::string GenerateFrameFiles(const std::string& dir, const std::string& tag, int frames, bool allInOne) {
  std::string folder = dir + "\\" + tag + std::to_string(frames);
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string base = folder + "\\anim", all;
  unsigned seed = static_cast<unsigned>(frames);
  char name[kPathMax];
  for (int i = 0; i < frames; ++i) {
    std::string text = FrameText(seed, 1024);
    FrameFileName(name, sizeof name, base.c_str(), static_cast<uint32_t>(i));
    WriteFileBytes(name, text);
    char head[16];
    std::snprintf(head, sizeof head, "%04d\r\n", i);
    all += head + text + "\r\n[end]\r\n";
  }
  AllInOneFileName(name, sizeof name, base.c_str());
  if (allInOne) WriteFileBytes(name, all);
  return base;
}

void RemoveFolder(const std::string& base) {
  std::string folder = base.substr(0, base.rfind('\\'));
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// The median and lowest of runs runs of run, with after (untimed) after each.
template <class F, class G>
Timing TimeRuns(int runs, F run, G after) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = Microseconds();
    run();
    times.push_back(Microseconds() - start);
    after();
  }
  std::sort(times.begin(), times.end());
  return Timing{times[times.size() / 2], times[0]};
}

// What the operations are made of, a call at a time, in a folder of 3,000
// frame files of 1 KB (the median of three passes over many calls).
void CallCosts(const std::string& dir, const std::map<std::string, double>& native) {
  const int frames = g_smoke ? 30 : 3000, calls = g_smoke ? 3 : 300;
  const std::string base = GenerateFrameFiles(dir, "calls", frames, false);
  char from[kPathMax], to[kPathMax];
  auto perCall = [&](int count, auto call) {
    return TimeRuns(3, [&] { for (int i = 0; i < count; ++i) call(i); }, [] {}).median / count;
  };
  const std::string text(1024, 'x');
  const std::pair<const char*, double> rows[] = {
      {"read a frame file (open, read, close)", perCall(frames, [&](int i) { ReadFrameFile(base.c_str(), i); })},
      {"try a name that is not there", perCall(calls, [&](int i) { ReadFrameFile(base.c_str(), frames + i); })},
      {"list the folder", perCall(g_smoke ? 1 : 20, [&](int) { ListFrameSlots(base.c_str()); })},
      {"rename a frame file to a free name", perCall(calls, [&](int i) {
         FrameFileName(from, sizeof from, base.c_str(), i);
         FrameFileName(to, sizeof to, base.c_str(), frames + i);
         RenameNoReplace(from, to);
         RenameNoReplace(to, from);
       }) / 2},
      {"write over a frame file safely", perCall(calls, [&](int i) {
         FrameFileName(to, sizeof to, base.c_str(), i);
         WriteFileSafely(to, text.data(), text.size(), 0, nullptr);
       })},
  };
  std::printf("\nCalls in a folder of %d frame files of 1 KB, microseconds a call\n", frames);
  std::printf("%-40s %10s %10s %7s\n", "", "Wine", "native", "ratio");
  int k = 0;
  for (const auto& row : rows) {
    auto n = native.find("call" + std::to_string(k++) + " " + std::to_string(frames));
    if (n == native.end()) {
      std::printf("%-40s %10.1f %10s %7s\n", row.first, row.second, "-", "-");
    } else {
      std::printf("%-40s %10.1f %10.1f %7.1f\n", row.first, row.second, n->second * 1000, row.second / (n->second * 1000));
    }
  }
  RemoveFolder(base);
}

// The whole-animation operations of the program and the tool on frame files,
// with the native figures (lines "operation frames milliseconds") beside them.
void WholeOperations(const std::string& dir, const char* nativeFigures) {
  std::map<std::string, double> native;
  if (std::FILE* f = nativeFigures != nullptr ? std::fopen(nativeFigures, "r") : nullptr) {
    char operation[32];
    int frames;
    double ms;
    while (std::fscanf(f, "%31s %d %lf", operation, &frames, &ms) == 3) {
      native[std::string(operation) + " " + std::to_string(frames)] = ms;
    }
    std::fclose(f);
  }
  LOGFONTA description;
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description);
  CopyText(description.lfFaceName, sizeof description.lfFaceName, "Monapo");
  description.lfWidth = 0;
  description.lfHeight = 18;
  HFONT font = CreateFontIndirectA(&description);
  FramePainter painter;
  MakeGdiPainter(font, painter);
  const int runs = g_smoke ? 1 : 3;
  std::printf("\nWhole-animation operations on frame files of 1 KB in a folder of their own, milliseconds:\n"
              "under Wine the median of %d runs, natively the benchmark's median; ratio: Wine / native\n",
              runs);
  std::printf("%-34s %6s %10s %10s %7s %6s\n", "", "frames", "Wine", "native", "ratio", "goal");
  auto row = [&](const char* label, const char* key, int frames, const Timing& t, int goal) {
    auto n = native.find(std::string(key) + " " + std::to_string(frames));
    double wine = t.median / 1000;
    if (n == native.end()) {
      std::printf("%-34s %6d %10.1f %10s %7s %6s\n", label, frames, wine, "-", "-", "-");
    } else {
      std::printf("%-34s %6d %10.1f %10.1f %7.2f %5dx\n", label, frames, wine, n->second, wine / n->second, goal);
    }
    std::fflush(stdout);
  };
  auto nothing = [] {};
  for (int frames : {1000, 3000}) {
    if (g_smoke) frames /= 100;
    std::string base = GenerateFrameFiles(dir, "export", frames, false);
    row("export (all frames together)", "export", frames, TimeRuns(runs, [&] { ExportAllInOne(base.c_str()); }, nothing), 3);
    RemoveFolder(base);

    base = GenerateFrameFiles(dir, "read", frames, false);
    std::string page = base + ".html", gif = base + ".gif";
    row("page (HTML export)", "page", frames, TimeRuns(runs, [&] {
      WebPageSource source{base.c_str(), FrameFiles, ""};
      WebPage built;
      std::string error;
      if (BuildWebPage(source, built) != PageBuild::Built || !WriteWebPage(page.c_str(), built, &error)) {
        std::printf("the page was not written\n");
      }
    }, nothing), 3);
    const GifJob job{base.c_str(), FrameFiles, ColourTriple{0, 0, 0}, ColourTriple{255, 255, 255}, GifDelay(30)};
    row("GIF export (Monapo 18 px)", "gif", frames, TimeRuns(runs, [&] {
      if (ExportGif(job, painter, gif.c_str()).outcome != GifOutcome::Written) std::printf("no GIF written\n");
    }, nothing), 3);
    row("check", "check", frames, TimeRuns(runs, [&] {
      CheckReport report;
      CheckAnimation(base.c_str(), kCheckFrames | kCheckAllInOne, report);
    }, nothing), 3);
    RemoveFolder(base);

    base = GenerateFrameFiles(dir, "insert", frames, false);
    char first[kPathMax];
    FrameFileName(first, sizeof first, base.c_str(), 0);
    unsigned seed = static_cast<unsigned>(frames);  // frame 0's text, as generated
    const std::string firstText = FrameText(seed, 1024);
    g_animation.currentFrame = 0;
    row("insert at frame 0", "insert", frames, TimeRuns(runs, [&] { InsertFrame(base.c_str()); },
                                                        [&] { DeleteFrame(base.c_str()); }), 10);
    row("delete at frame 0", "delete", frames, TimeRuns(runs, [&] { DeleteFrame(base.c_str()); }, [&] {
      InsertFrame(base.c_str());
      WriteFileBytes(first, firstText);
    }), 10);
    RemoveFolder(base);

    base = GenerateFrameFiles(dir, "expand", frames, true);
    row("expansion over the frame files", "expand", frames, TimeRuns(runs, [&] { ExpandAllInOne(base.c_str()); }, nothing), 10);
    RemoveFolder(base);
  }
  painter = FramePainter{};
  CallCosts(dir, native);
  DeleteObject(font);
}

// LoadFrame of the last of 10,000 frames of 1 KB, then playback near the end
// of 10,000 frames of 32 KB.
void LoadsAndPlayback(const std::string& dir) {
  const TextScanner* scanners;
  int scannerCount = AvailableTextScanners(&scanners);

  const int frames = g_smoke ? 100 : 10000;
  std::string small = Generate(dir, frames, 1024);
  const uint32_t last = static_cast<uint32_t>(frames - 1);
  char name[kPathMax];
  AllInOneFileName(name, sizeof name, small.c_str());
  Timing plain = Time([&] { PlainRead(name); });
  Timing cold = Time([&] { Load(small, AllInOne, last, true); });
  Load(small, AllInOne, last, true);
  Timing warm = Time([&] { Load(small, AllInOne, last, false); });
  Timing files = Time([&] { Load(small, FrameFiles, last, false); });
  std::printf("Windows build under Wine (text-end search: %s). LoadFrame of the last of %d frames of 1 KB,\n"
              "microseconds, median and lowest of many runs; ratio: median / the plain read's median\n",
              scanners[scannerCount - 1].name, frames);
  std::printf("%-38s %9s %9s %7s\n", "", "median", "lowest", "ratio");
  const std::pair<const char*, Timing> rows[] = {{"plain read of the file (256 KB chunks)", plain},
                                                 {"cold: all-in-one, no block index", cold},
                                                 {"warm: all-in-one, file indexed", warm},
                                                 {"frame files", files}};
  for (const auto& row : rows) {
    std::printf("%-38s %9.1f %9.1f %7.2f\n", row.first, row.second.median, row.second.lowest,
                row.second.median / plain.median);
  }

  // Playback near the end of the largest animation the format holds.
  std::string large = Generate(dir, frames, static_cast<size_t>(kFrameTextMax - 7));
  std::printf("\nPlayback at 30 ms near the end of %d frames of about 32 KB: loads, frames a second,\n"
              "LoadFrame median and longest in milliseconds (33 frames a second keeps pace)\n",
              frames);
  std::printf("%-20s %7s %9s %11s %11s\n", "", "loads", "per sec", "median", "longest");
  Play(large, last - (g_smoke ? 10 : 100), g_smoke ? 3 : 99, true);
  Play(large, last - (g_smoke ? 5 : 35), g_smoke ? 3 : 30, false);

  for (const std::string& base : {small, large}) {
    AllInOneFileName(name, sizeof name, base.c_str());
    DeleteFileA(name);
    FrameFileName(name, sizeof name, base.c_str(), last);
    DeleteFileA(name);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* nativeFigures = nullptr;
  bool wholeOnly = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--native") == 0 && i + 1 < argc) nativeFigures = argv[i + 1];
    if (std::strcmp(argv[i], "--whole") == 0) wholeOnly = true;
    if (std::strcmp(argv[i], "--smoke") == 0) g_smoke = true;
  }
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "zoetrix-timing-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  ResetStorageState();
  AllocateTextBuffers();
  if (!wholeOnly) LoadsAndPlayback(dir);
  WholeOperations(dir, nativeFigures);
  FreeTextBuffers();
  RemoveDirectoryA(dir.c_str());
  return 0;
}

// Timings of the Windows build (the 32-bit program users run), for running
// under Wine: LoadFrame of the last frame of 10,000 frames of 1 KB, with and
// without the block index, beside a plain read of the file and the frame-file
// load; then playback at the fastest speed (a 30 ms timer) near the end of
// 10,000 frames of about 32 KB, LoadFrame driven by the timer's messages as
// the program's playback is.
//
//   win_timing [--smoke]
//
// --smoke runs everything once on small animations (a check that the program
// works, not a measurement).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "animation.h"
#include "block_index.h"
#include "block_stream.h"
#include "file_io.h"
#include "frame_loader.h"
#include "text_scan.h"

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

}  // namespace

int main(int argc, char** argv) {
  g_smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + "zoetrix-timing-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  ResetStorageState();
  AllocateTextBuffers();
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

  FreeTextBuffers();
  for (const std::string& base : {small, large}) {
    AllInOneFileName(name, sizeof name, base.c_str());
    DeleteFileA(name);
    FrameFileName(name, sizeof name, base.c_str(), last);
    DeleteFileA(name);
  }
  RemoveDirectoryA(dir.c_str());
  return 0;
}

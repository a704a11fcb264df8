// Benchmarks of the storage operations on generated animations. Prints Google
// Benchmark's own report, then a table of the median times with each
// all-in-one load beside its baseline: reading the same file's bytes up to and
// including the wanted block once, in 256 KB chunks into one reused buffer.
// Cold all-in-one loads start without a block index (and build one); warm ones
// find the file indexed, and stand beside the frame-file load of the frame.
//
//   storage_bench [--smoke] [--figures=FILE] [Google Benchmark flags]
//
// --smoke runs every benchmark once on small animations (a check that the
// benchmarks work, not a measurement). FILE receives the medians of the
// whole-animation operations on frame files ("operation frames
// milliseconds" a line), which the Windows timing program sets beside its
// own.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "animation.h"
#include "animation_check.h"
#include "block_index.h"
#include "block_stream.h"
#include "conversion.h"
#include "file_io.h"
#include "frame_editing.h"
#include "frame_files.h"
#include "frame_listing.h"
#include "frame_loader.h"
#include "ft_painter.h"
#include "gif_export.h"
#include "history.h"
#include "text_scan.h"
#include "web_page.h"

namespace fs = std::filesystem;

namespace {

// One generated animation in both layouts.
struct Animation {
  int frames;
  int frameSize;
  std::string base;
  std::vector<size_t> blockEnds;  // offset just past each block's end line
};

bool g_smoke = false;
std::string g_dir;

// Text-art lines of about 60 columns: ASCII art characters and Shift-JIS
// ones (some of whose second bytes are '[' and ']').
std::string FrameText(std::mt19937& rng, int size) {
  static const char* const kPieces[] = {
      " ", " ", " ", " ", ".", ":", "-", "=", "+", "*", "#", "%", "@", "|", "/", "\\", "(", ")",
      "[", "]", "<", ">", "_", "^", "~", "o", "O",
      "\x81\x5b",  // long vowel mark, second byte '['
      "\x81\x51", "\x81\x62", "\x81\x5e", "\x81\x5f", "\x81\x69", "\x81\x6a", "\x81\x4c",
      "\x81\x4d", "\x81\xc8", "\x81\xcd", "\x81\x40", "\x82\xa0", "\x83\x41"};
  const size_t kinds = sizeof kPieces / sizeof kPieces[0];
  std::string text;
  while (static_cast<int>(text.size()) < size - 62) {
    size_t lineStart = text.size();
    while (text.size() - lineStart < 60) text += kPieces[rng() % kinds];
    text += "\r\n";
  }
  while (static_cast<int>(text.size()) < size) text += '.';
  return text;
}

std::string ReadWhole(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", name.c_str());
    std::exit(1);
  }
  std::fclose(f);
}

// Writes frames frame files and (with allInOne) the all-in-one file as export
// writes it, in a directory of their own named by tag.
Animation Generate(int frames, int frameSize, const std::string& tag = "load", bool allInOne = true) {
  Animation a{frames, frameSize,
              g_dir + "/" + tag + std::to_string(frames) + "x" + std::to_string(frameSize), {}};
  fs::create_directories(a.base);
  a.base += "/anim";
  std::mt19937 rng(static_cast<unsigned>(frames * 31 + frameSize));
  std::string all;
  char name[kPathMax];
  for (int i = 0; i < frames; ++i) {
    std::string text = FrameText(rng, frameSize);
    FrameFileName(name, sizeof name, a.base.c_str(), static_cast<uint32_t>(i));
    WriteFile(name, text);
    char head[16];
    std::snprintf(head, sizeof head, "%04d\r\n", i);
    all += head + text + "\r\n[end]\r\n";
    a.blockEnds.push_back(all.size());
  }
  AllInOneFileName(name, sizeof name, a.base.c_str());
  if (!allInOne) return a;
  WriteFile(name, all);
  // The block index trusts only files written more than 2 seconds before it
  // is begun.
  fs::last_write_time(name, fs::last_write_time(name) - std::chrono::hours(1));
  return a;
}

// Text size and its label: about 1, 16 and 32 KB, the last the largest text
// an all-in-one block holds (32000 bytes less the end line's 7).
constexpr int kLargestText = kFrameTextMax - 7;
int SizeLabel(int frameSize) { return (frameSize + 1023) / 1024; }

enum class Index { None, Cold, Warm };

// LoadFrame as playback calls it. A cold all-in-one load starts with no block
// index; a warm one finds the whole file indexed.
void Load(benchmark::State& state, const Animation& a, int mode, uint32_t n, Index index) {
  g_animation.storageMode = mode;
  g_animation.playing = 1;
  if (index == Index::Warm) LoadFrame(a.base.c_str(), static_cast<uint32_t>(a.frames - 1));
  for (auto _ : state) {
    if (index == Index::Cold) DropBlockIndex();
    g_animation.playing = 1;
    LoadFrame(a.base.c_str(), n);
    benchmark::DoNotOptimize(DisplayText[0]);
  }
}

// Reads the all-in-one file's bytes up to and including block n, in chunks
// into one reused buffer, and nothing else.
void Baseline(benchmark::State& state, const Animation& a, uint32_t n) {
  static char chunk[kBlockChunkSize];
  char name[kPathMax];
  AllInOneFileName(name, sizeof name, a.base.c_str());
  size_t wanted = a.blockEnds[n];
  for (auto _ : state) {
    InputFile in;  // read as the block reader reads
    OpenInputFile(in, name);
    size_t total = 0;
    while (total < wanted) {
      size_t got = ReadInputFile(in, chunk, kBlockChunkSize);
      if (got == 0) break;
      total += got;
    }
    CloseInputFile(in);
    benchmark::DoNotOptimize(chunk[0]);
  }
}

// The text-end search alone, without reading: the blocks of the file's first
// chunk, already in memory, walked as the reader walks them (number line,
// text end, 7 bytes on). Its cost per KB, set against the baseline's, is the
// least that searching adds to a load, however the reading is arranged.
struct InMemory {
  char* bytes;    // on a 64-byte boundary, with the search's slack after them
  size_t size;
  size_t walked;  // bytes up to the end of the last whole block
};

size_t WalkBlocks(const InMemory& m) {
  size_t pos = 0, walked = 0;
  for (;;) {
    size_t count = 0;
    while (count < 9 && pos + count < m.size && m.bytes[pos + count] != '\r') ++count;
    if (count == 0 || pos + count + 2 >= m.size) break;
    pos += count + 2;
    size_t limit = pos + kFrameTextMax < m.size ? pos + kFrameTextMax : m.size;
    const char* end = FindTextEnd(m.bytes + pos, m.bytes + limit);
    if (end == m.bytes + limit && limit == m.size) break;  // cut off by the chunk
    pos = static_cast<size_t>(end - m.bytes) + 7;
    walked = pos;
  }
  return walked;
}

InMemory FirstChunk(const Animation& a) {
  char name[kPathMax];
  AllInOneFileName(name, sizeof name, a.base.c_str());
  std::string all = ReadWhole(name);
  InMemory m{nullptr, all.size() < kBlockChunkSize ? all.size() : kBlockChunkSize, 0};
  m.bytes = static_cast<char*>(::operator new[](m.size + kTextScanSlack + 64, std::align_val_t{64}));
  std::memset(m.bytes, 0, m.size + kTextScanSlack + 64);
  std::memcpy(m.bytes, all.data(), m.size);
  m.walked = WalkBlocks(m);
  return m;
}

void SearchOnly(benchmark::State& state, const InMemory& m) {
  for (auto _ : state) benchmark::DoNotOptimize(WalkBlocks(m));
}

void Export(benchmark::State& state, const Animation& a) {
  for (auto _ : state) ExportAllInOne(a.base.c_str());
}

// Expansion rewrites the same frame files every time (each with one CR LF
// more than its frame had before export).
void Expand(benchmark::State& state, const Animation& a) {
  for (auto _ : state) ExpandAllInOne(a.base.c_str());
}

// Inserting at frame 0 moves every frame file up by one; a delete, not
// timed, moves them back. Recorded as a step of the history, it also reads
// every moved file once, for the proof an undo checks.
void Insert(benchmark::State& state, const Animation& a, bool recorded) {
  g_animation.currentFrame = 0;
  for (auto _ : state) {
    recorded ? RecordInsertFrame(a.base.c_str()) : void(InsertFrame(a.base.c_str()));
    state.PauseTiming();
    ClearHistory();
    DeleteFrame(a.base.c_str());
    state.ResumeTiming();
  }
}

// Deleting frame 0 moves every later frame file down by one; an insert and
// frame 0 written again, not timed, put them back. Recorded as for Insert
// (and frame 0's bytes kept).
void Delete(benchmark::State& state, const Animation& a, bool recorded) {
  g_animation.currentFrame = 0;
  char name[kPathMax];
  FrameFileName(name, sizeof name, a.base.c_str(), 0);
  std::string first = ReadWhole(name);
  for (auto _ : state) {
    recorded ? RecordDeleteFrame(a.base.c_str()) : void(DeleteFrame(a.base.c_str()));
    state.PauseTiming();
    ClearHistory();
    InsertFrame(a.base.c_str());
    WriteFile(name, first);
    state.ResumeTiming();
  }
}

// The page as the tool makes it: built from the frame files and written.
void Page(benchmark::State& state, const Animation& a) {
  const std::string target = a.base + ".html";
  for (auto _ : state) {
    WebPageSource source{a.base.c_str(), FrameFiles, ""};
    WebPage page;
    std::string error;
    if (BuildWebPage(source, page) != PageBuild::Built || !WriteWebPage(target.c_str(), page, &error)) {
      state.SkipWithError("the page was not written");
    }
  }
}

void Gif(benchmark::State& state, const Animation& a, const FramePainter& painter) {
  const std::string target = a.base + ".gif";
  const GifJob job{a.base.c_str(), FrameFiles, ColourTriple{0, 0, 0}, ColourTriple{255, 255, 255}, GifDelay(30)};
  for (auto _ : state) {
    if (ExportGif(job, painter, target.c_str()).outcome != GifOutcome::Written) state.SkipWithError("no GIF written");
  }
}

void Check(benchmark::State& state, const Animation& a) {
  for (auto _ : state) {
    CheckReport report;
    CheckAnimation(a.base.c_str(), kCheckFrames | kCheckAllInOne, report);
    benchmark::DoNotOptimize(report.frameFiles);
  }
}

// The calls the whole-animation operations are made of, one an iteration,
// in a folder of frame files: reading one, trying a name that is not there,
// listing the folder, renaming a frame file to a free name (and back on the
// next iteration), writing over one safely.
void Call(benchmark::State& state, const Animation& a, int call) {
  const uint32_t frames = static_cast<uint32_t>(a.frames), names = 300;
  const std::string text(1024, 'x');
  char from[kPathMax], to[kPathMax];
  uint32_t i = 0;
  for (auto _ : state) {
    const uint32_t k = i++;
    if (call == 0) ReadFrameFile(a.base.c_str(), k % frames);
    if (call == 1) ReadFrameFile(a.base.c_str(), frames + k % names);
    if (call == 2) benchmark::DoNotOptimize(ListFrameSlots(a.base.c_str()).listed);
    if (call == 3) {
      FrameFileName(from, sizeof from, a.base.c_str(), k / 2 % names);
      FrameFileName(to, sizeof to, a.base.c_str(), frames + k / 2 % names);
      k % 2 == 0 ? RenameNoReplace(from, to) : RenameNoReplace(to, from);
    }
    if (call == 4) {
      FrameFileName(to, sizeof to, a.base.c_str(), k % frames);
      WriteFileSafely(to, text.data(), text.size(), 0, nullptr);
    }
  }
  for (uint32_t k = 0; call == 3 && k < names; ++k) {
    FrameFileName(from, sizeof from, a.base.c_str(), k);
    FrameFileName(to, sizeof to, a.base.c_str(), frames + k);
    RenameNoReplace(to, from);
  }
}

// Keeps the median of every benchmark's repetitions (the time itself in a
// smoke run) while printing the usual report.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> medians;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      } else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1) {
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

const char* const kPositions[] = {"first", "middle", "last"};

uint32_t FrameAt(const Animation& a, int position) {
  return position == 0 ? 0 : position == 1 ? static_cast<uint32_t>(a.frames / 2) : static_cast<uint32_t>(a.frames - 1);
}

std::string LoadName(const char* layout, const Animation& a, int position) {
  return std::string("LoadFrame/") + layout + "/" + std::to_string(a.frames) + "x" + std::to_string(SizeLabel(a.frameSize)) +
         "K/" + kPositions[position];
}

std::string OperationName(const std::string& operation, const Animation& a) {
  return operation + "/" + std::to_string(a.frames) + "x" + std::to_string(a.frameSize);
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run,
              benchmark::TimeUnit unit = benchmark::kMicrosecond) {
  benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name.c_str(), run);
  b->Unit(unit);
  if (g_smoke) {
    b->Iterations(1);
  } else {
    b->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.05);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  std::string figures;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--figures=", 10) == 0) {
      figures = argv[i] + 10;
    } else if (std::strcmp(argv[i], "--smoke") == 0) {
      g_smoke = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  // Repetitions of different benchmarks take turns, so that a slow spell of
  // the machine falls on loads and baselines alike.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  if (!g_smoke) args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  g_dir = (fs::temp_directory_path() / ("zoetrix-bench-" + std::to_string(std::random_device{}()))).string();
  fs::create_directories(g_dir);
  ResetStorageState();
  AllocateTextBuffers();

  std::vector<Animation> animations;
  for (int frames : {100, 1000, 10000}) {
    if (g_smoke && frames > 100) continue;
    for (int size : {1024, 16384}) animations.push_back(Generate(frames, size));
    // The largest animation the format holds.
    if (frames == 10000) animations.push_back(Generate(frames, kLargestText));
  }
  for (const Animation& a : animations) {
    for (int p = 0; p < 3; ++p) {
      uint32_t n = FrameAt(a, p);
      Register(LoadName("files", a, p), [&a, n](benchmark::State& s) { Load(s, a, FrameFiles, n, Index::None); });
      Register(LoadName("allinone", a, p), [&a, n](benchmark::State& s) { Load(s, a, AllInOne, n, Index::Cold); });
      Register(LoadName("warm", a, p), [&a, n](benchmark::State& s) { Load(s, a, AllInOne, n, Index::Warm); });
      Register(LoadName("baseline", a, p), [&a, n](benchmark::State& s) { Baseline(s, a, n); });
    }
  }

  // The search alone, on the first chunk of the 1,000-frame animations.
  std::vector<std::pair<const Animation*, InMemory>> searches;
  for (const Animation& a : animations) {
    if (a.frames == (g_smoke ? 100 : 1000)) searches.emplace_back(&a, FirstChunk(a));
  }
  for (const auto& search : searches) {
    const InMemory& m = search.second;
    Register(OperationName("SearchOnly", *search.first), [&m](benchmark::State& s) { SearchOnly(s, m); });
  }

  // Whole-animation operations, each on animations of its own.
  std::vector<std::pair<std::string, Animation>> operations;
  int conversionFrames = g_smoke ? 100 : 1000;
  for (int size : {1024, 16384}) {
    operations.emplace_back("ExportAllInOne", Generate(conversionFrames, size, "export"));
    operations.emplace_back("ExpandAllInOne", Generate(conversionFrames, size, "expand"));
  }
  for (int frames : {1000, 10000}) {
    if (g_smoke && frames > 1000) continue;
    if (g_smoke) frames = 100;
    operations.emplace_back("InsertFrame", Generate(frames, 1024, "insert"));
    operations.emplace_back("DeleteFrame", Generate(frames, 1024, "delete"));
    operations.emplace_back("InsertRecorded", Generate(frames, 1024, "insert-recorded"));
    operations.emplace_back("DeleteRecorded", Generate(frames, 1024, "delete-recorded"));
  }
  for (const auto& op : operations) {
    const Animation& a = op.second;
    std::function<void(benchmark::State&)> run;
    if (op.first == "ExportAllInOne") run = [&a](benchmark::State& s) { Export(s, a); };
    if (op.first == "ExpandAllInOne") run = [&a](benchmark::State& s) { Expand(s, a); };
    if (op.first == "InsertFrame") run = [&a](benchmark::State& s) { Insert(s, a, false); };
    if (op.first == "DeleteFrame") run = [&a](benchmark::State& s) { Delete(s, a, false); };
    if (op.first == "InsertRecorded") run = [&a](benchmark::State& s) { Insert(s, a, true); };
    if (op.first == "DeleteRecorded") run = [&a](benchmark::State& s) { Delete(s, a, true); };
    Register(OperationName(op.first, a), run, benchmark::kMillisecond);
  }

  // The whole-animation operations of the program and the tool on frame
  // files of 1 KB, each in a folder of its own with no other files, for the
  // table beside the Windows build's.
  FramePainter painter;
  FontPick font;
  std::string fontError;
  bool drawing = FindFont("Monapo", font) && MakeFreeTypePainter(font, 18, true, painter, &fontError);
  FinishFontLookup();
  std::vector<std::pair<std::string, Animation>> whole;
  for (int frames : {1000, 3000}) {
    if (g_smoke) frames /= 100;
    for (const char* op : {"export", "page", "gif", "check", "insert", "delete", "expand"}) {
      if (std::strcmp(op, "gif") == 0 && !drawing) continue;
      whole.emplace_back(op, Generate(frames, 1024, std::string("whole-") + op, std::strcmp(op, "expand") == 0));
    }
  }
  const Animation calls = Generate(g_smoke ? 30 : 3000, 1024, "whole-calls", false);
  for (int call = 0; call < 5; ++call) {
    whole.emplace_back("call" + std::to_string(call), calls);
  }
  for (const auto& op : whole) {
    const Animation& a = op.second;
    std::function<void(benchmark::State&)> run;
    if (op.first.compare(0, 4, "call") == 0) {
      const int call = op.first[4] - '0';
      run = [&a, call](benchmark::State& s) { Call(s, a, call); };
    }
    if (op.first == "export") run = [&a](benchmark::State& s) { Export(s, a); };
    if (op.first == "page") run = [&a](benchmark::State& s) { Page(s, a); };
    if (op.first == "gif") run = [&a, &painter](benchmark::State& s) { Gif(s, a, painter); };
    if (op.first == "check") run = [&a](benchmark::State& s) { Check(s, a); };
    if (op.first == "insert") run = [&a](benchmark::State& s) { Insert(s, a, false); };
    if (op.first == "delete") run = [&a](benchmark::State& s) { Delete(s, a, false); };
    if (op.first == "expand") run = [&a](benchmark::State& s) { Expand(s, a); };
    Register(OperationName("Whole/" + op.first, a), run, benchmark::kMillisecond);
  }

  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\nLoadFrame, median microseconds. cold: all-in-one with no block index; baseline: reading the\n"
              "all-in-one file's bytes up to and including the block once, in %zu KB chunks; ratio: cold /\n"
              "baseline; warm: all-in-one with the file indexed; warm / files: warm / frame files\n",
              kBlockChunkSize / 1024);
  std::printf("%7s %5s %-7s %11s %11s %11s %7s %11s %7s\n", "frames", "size", "frame", "frame files", "cold",
              "baseline", "ratio", "warm", "warm /");
  std::printf("%7s %5s %-7s %11s %11s %11s %7s %11s %7s\n", "", "", "", "", "", "", "", "", "files");
  double worst = 0, worstWarm = 0;
  std::map<std::string, double> warmLargest;
  for (const Animation& a : animations) {
    for (int p = 0; p < 3; ++p) {
      auto all = reporter.medians.find(LoadName("allinone", a, p));
      auto base = reporter.medians.find(LoadName("baseline", a, p));
      auto files = reporter.medians.find(LoadName("files", a, p));
      auto warm = reporter.medians.find(LoadName("warm", a, p));
      if (all == reporter.medians.end() || base == reporter.medians.end() || files == reporter.medians.end() ||
          warm == reporter.medians.end()) {
        continue;  // left out by a filter
      }
      double ratio = all->second / base->second, warmRatio = warm->second / files->second;
      if (ratio > worst) worst = ratio;
      if (warmRatio > worstWarm) worstWarm = warmRatio;
      if (a.frames == 10000 && a.frameSize == kLargestText) warmLargest[kPositions[p]] = warm->second;
      std::printf("%7d %4dK %-7s %11.1f %11.1f %11.1f %7.2f %11.1f %7.2f\n", a.frames, SizeLabel(a.frameSize),
                  kPositions[p], files->second, all->second, base->second, ratio, warm->second, warmRatio);
    }
  }
  std::printf("highest ratio: %.2f; highest warm / frame files: %.2f\n", worst, worstWarm);
  if (warmLargest.count("first") != 0 && warmLargest.count("last") != 0) {
    std::printf("10000 x 32K, warm last / warm first: %.2f\n", warmLargest["last"] / warmLargest["first"]);
  }

  // What the text-end search alone costs per KB, against the baseline's
  // reading of the same animation's last block.
  std::printf("\nText-end search alone (blocks already in memory, no reading) against the baseline, ns per KB;\n"
              "1 + search / baseline is the lowest ratio a reader using this search can reach\n");
  std::printf("%7s %7s %11s %11s %11s\n", "frames", "size", "search", "baseline", "lowest");
  for (const auto& search : searches) {
    const Animation& a = *search.first;
    auto time = reporter.medians.find(OperationName("SearchOnly", a));
    auto base = reporter.medians.find(LoadName("baseline", a, 2));
    if (time == reporter.medians.end() || base == reporter.medians.end() || search.second.walked == 0) continue;
    double searchPerKb = time->second * 1000 / (static_cast<double>(search.second.walked) / 1024);
    double basePerKb = base->second * 1000 / (static_cast<double>(a.blockEnds.back()) / 1024);
    std::printf("%7d %6dK %11.1f %11.1f %11.2f\n", a.frames, SizeLabel(a.frameSize), searchPerKb, basePerKb,
                1 + searchPerKb / basePerKb);
  }

  std::printf("\nWhole-animation operations, median milliseconds (insert and delete at frame 0, moving\n"
              "every frame file)\n");
  for (const auto& op : operations) {
    auto time = reporter.medians.find(OperationName(op.first, op.second));
    if (time == reporter.medians.end()) continue;
    std::printf("%-15s %6d frames of %2dK %9.1f\n", op.first.c_str(), op.second.frames, SizeLabel(op.second.frameSize),
                time->second);
  }

  std::printf("\nWhole-animation operations on frame files of 1 KB, each in a folder of its own,\n"
              "median milliseconds (insert and delete at frame 0; expansion over the frame files;\n"
              "call0 ... call4: reading one, a name that is not there, the listing, a rename, a write)\n");
  std::FILE* out = figures.empty() ? nullptr : std::fopen(figures.c_str(), "w");
  for (const auto& op : whole) {
    auto time = reporter.medians.find(OperationName("Whole/" + op.first, op.second));
    if (time == reporter.medians.end()) continue;
    const bool call = op.first.compare(0, 4, "call") == 0;  // in microseconds
    std::printf("%-15s %6d frames %9.1f%s\n", op.first.c_str(), op.second.frames, time->second * (call ? 1000 : 1),
                call ? " us" : "");
    if (out != nullptr) std::fprintf(out, "%s %d %.6f\n", op.first.c_str(), op.second.frames, time->second);
  }
  if (out != nullptr) std::fclose(out);
  painter = FramePainter{};

  for (auto& search : searches) ::operator delete[](search.second.bytes, std::align_val_t{64});
  FreeTextBuffers();
  std::error_code ec;
  fs::remove_all(g_dir, ec);
  return 0;
}

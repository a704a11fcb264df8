#include "animation_check.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

#include "animation.h"
#include "block_stream.h"
#include "file_io.h"
#include "frame_files.h"
#include "frame_header.h"
#include "frame_listing.h"
#include "frame_loader.h"
#include "path_text.h"

namespace {

// One layout's walk: its findings, and what the checks across frames keep
// of each frame (never its text).
struct Walk {
  CheckLayout layout;
  const char* base;
  std::vector<Finding> findings;
  std::vector<uint32_t> withText;  // frames the loader finds with a text that is not empty
  struct Repeat {
    uint32_t frame;
    uint32_t target;
    uint64_t offset;
  };
  std::vector<Repeat> repeats;  // frames whose header is a "same N" that is followed
  std::unordered_map<std::string, bool> soundFound;
};

std::string FileOf(const Walk& w, uint32_t frame) {
  char name[kPathMax];
  bool fits = w.layout == CheckLayout::Frames ? FrameFileName(name, sizeof name, w.base, frame)
                                              : AllInOneFileName(name, sizeof name, w.base);
  return fits ? name : "";
}

Finding& Add(Walk& w, CheckKind kind, uint32_t frame, uint64_t offset = 0) {
  Finding f;
  f.layout = w.layout;
  f.kind = kind;
  f.file = FileOf(w, frame);
  f.frame = frame;
  f.offset = offset;
  w.findings.push_back(std::move(f));
  return w.findings.back();
}

void CheckSound(Walk& w, uint32_t frame, uint64_t offset, const std::string& sound) {
  if (sound.empty()) return;  // a sound block with an empty path line names no file
  const std::string file = SoundFileName(sound, w.base);
  auto known = w.soundFound.find(sound);
  if (known == w.soundFound.end()) {
    std::ifstream in;
    known = w.soundFound.emplace(sound, OpenInput(in, file.c_str())).first;
  }
  if (known->second) return;
  Finding& f = Add(w, CheckKind::MissingSound, frame, offset);
  f.text = sound;
  f.path = file;
}

// Keeps what the repeat and sound checks need of a frame the loader finds
// with this text (length bytes, not necessarily zero-terminated), decoding
// its header as the loader does.
void NoteFrame(Walk& w, uint32_t frame, uint64_t offset, const char* text, size_t length) {
  if (length == 0) return;
  w.withText.push_back(frame);
  if (text[0] != '{') return;
  static char header[kTextBufferSize];
  if (length > static_cast<size_t>(kFrameTextMax)) length = kFrameTextMax;
  std::memcpy(header, text, length);
  header[length] = '\0';
  uint32_t target;
  if (RepeatTarget(SkipLine(header), &target)) {
    // The repeated frame is shown in its place, with its own sound.
    w.repeats.push_back({frame, target, offset});
    return;
  }
  if (const char* path = SoundPathLine(header)) CheckSound(w, frame, offset, std::string(path, std::strcspn(path, "\r")));
}

// Reads the frame files 0 ... HighestSlot that the folder names; exists
// keeps those that could be read: the one place where the check learns
// which frame files exist.
void CheckFrameFiles(Walk& w, std::vector<bool>& exists, CheckReport& report) {
  const FrameSlots slots = ListFrameSlots(w.base);
  exists.assign(HighestSlot + 1, false);
  for (uint32_t n = 0; n <= HighestSlot; ++n) {
    uint64_t size = 0;
    if (!MayHaveFile(slots, n) || !ReadFrameFile(w.base, n, &size)) continue;
    exists[n] = true;
    ++report.frameFiles;
    const size_t length = std::strlen(WorkBuffer);
    if (size > static_cast<uint64_t>(kFrameTextMax)) Add(w, CheckKind::FrameTooLong, n).at = size;
    if (length < std::min<uint64_t>(size, kFrameTextMax)) Add(w, CheckKind::ZeroByte, n).at = length;
    if (const char* end = std::strstr(WorkBuffer, "[end]")) Add(w, CheckKind::EndMarkerInText, n).at = static_cast<uint64_t>(end - WorkBuffer);
    if (n == HighestSlot) Add(w, CheckKind::SlotShared, n).text = std::string(w.base) + "1.txt";
    NoteFrame(w, n, 0, WorkBuffer, length);
  }
  // Repeats of frames above the animation's slots are read where they lead.
  std::unordered_set<uint32_t> read;
  for (size_t i = 0; i < w.repeats.size(); ++i) {
    const uint32_t target = w.repeats[i].target;
    if (target <= HighestSlot || !read.insert(target).second) continue;
    if (ReadFrameFile(w.base, target)) NoteFrame(w, target, 0, WorkBuffer, std::strlen(WorkBuffer));
  }
}

void CheckNumberLine(Walk& w, uint32_t frame, const NumberLineFacts& line, int count) {
  NumberLineProblem problem;
  if (!line.number) {
    problem = NumberLineProblem::NotANumber;
  } else if (std::memchr(line.text, '\n', static_cast<size_t>(count)) != nullptr) {
    problem = NumberLineProblem::LfAlone;
  } else if (!line.cr && count == 9) {
    problem = NumberLineProblem::TooLong;
  } else if (line.cr && !line.lf) {
    problem = NumberLineProblem::CrAlone;
  } else {
    return;  // also a line the file ends in: its block has no text
  }
  Finding& f = Add(w, CheckKind::BadNumberLine, frame, line.offset);
  f.problem = problem;
  static const char kHex[] = "0123456789abcdef";
  for (const char* p = line.text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20) {
      f.text += *p;
    } else {
      f.text += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
    }
  }
}

// The blocks ended where a number line should be: at the file's end, or at
// an empty line with more of the file after it.
void CheckRest(Walk& w, BlockStream& s, uint32_t frame) {
  uint64_t size = 0;
  const uint64_t stop = s.chunkOffset + s.pos;
  if (!InputFileSize(s.file, &size) || size <= stop) return;
  const char* rest;
  const int got = BlockWindow(s, &rest);
  bool blank = size - stop <= static_cast<uint64_t>(got);
  for (int i = 0; blank && i < got; ++i) blank = std::strchr(" \t\r\n", rest[i]) != nullptr && rest[i] != '\0';
  if (!blank) Add(w, CheckKind::FramesEndEarly, frame, stop).at = size - stop;
}

// Reads the all-in-one file block by block, as expansion and the loader do.
// hasFile, when given, tells which frame files export would gather.
void CheckBlocks(Walk& w, const std::vector<bool>* hasFile, CheckReport& report) {
  char name[kPathMax];
  BlockStream s;
  if (!AllInOneFileName(name, sizeof name, w.base) || !OpenBlockStream(s, name)) return;
  report.checkedAllInOne = true;
  // The blocks numbered above every block before them: the only ones a
  // front-to-back search for their number finds.
  struct Reached {
    uint32_t number;
    uint64_t offset;
  };
  std::vector<Reached> reached;
  int number = 0;
  for (;;) {
    const int count = ReadBlockNumber(s, &number);
    const uint32_t n = static_cast<uint32_t>(number);  // as searches compare them
    if (count == 0) {
      CheckRest(w, s, n);
      break;
    }
    NumberLineFacts line;
    ObserveNumberLine(s, count, &line);
    const char* text;
    int length;
    if (!ReadBlockText(s, &text, &length)) {
      Add(w, CheckKind::NoEndLine, n, line.offset);
      break;
    }
    const TextEnd end = ObserveTextEnd(s, &text);
    ++report.blocks;
    CheckNumberLine(w, n, line, count);
    const bool reachable = reached.empty() || n > reached.back().number;
    if (reachable) {
      reached.push_back({n, line.offset});
    } else if (line.number) {  // a line that is not a number is told as such
      // The search for n stops at the first block numbered n or above.
      auto stop = std::lower_bound(reached.begin(), reached.end(), n,
                                   [](const Reached& r, uint32_t v) { return r.number < v; });
      Finding& f = Add(w, CheckKind::UnorderedBlock, n, line.offset);
      f.other = stop->number;
      f.at = stop->offset;
    }
    const uint64_t textLength = static_cast<uint64_t>(length);
    if (end == TextEnd::EndInLine) Add(w, CheckKind::EndMarkerInText, n, line.offset).at = textLength;
    if (end == TextEnd::ZeroByte) Add(w, CheckKind::ZeroByte, n, line.offset).at = textLength;
    if (end == TextEnd::Window) Add(w, CheckKind::OversizeBlock, n, line.offset);
    if (end == TextEnd::FileEnd) Add(w, CheckKind::NoEndLine, n, line.offset).at = textLength;
    if (hasFile != nullptr && (n >= HighestSlot || !(*hasFile)[n])) Add(w, CheckKind::ExportWouldDrop, n, line.offset);
    if (reachable) NoteFrame(w, n, line.offset, text, static_cast<size_t>(length));
    AdvanceToNextBlock(s);
  }
  CloseBlockStream(s);
}

// Follows every repeat as the loader does: a chain of at most
// kMaxRepeatChain frames that never comes back to one of them.
void CheckRepeats(Walk& w) {
  std::sort(w.withText.begin(), w.withText.end());
  auto& repeats = w.repeats;
  std::sort(repeats.begin(), repeats.end(), [](const Walk::Repeat& a, const Walk::Repeat& b) { return a.frame < b.frame; });
  const size_t count = repeats.size();
  // next[i]: the repeat that repeat i leads to, or -1 when its target is none.
  std::vector<int32_t> next(count, -1);
  for (size_t i = 0; i < count; ++i) {
    auto it = std::lower_bound(repeats.begin(), repeats.end(), repeats[i].target,
                               [](const Walk::Repeat& r, uint32_t v) { return r.frame < v; });
    if (it != repeats.end() && it->frame == repeats[i].target) next[i] = static_cast<int32_t>(it - repeats.begin());
  }
  // links[i]: repeats followed from i to a frame that is none, or kEndless
  // when they lead into a circle, toCircle[i] repeats to its first frame
  // and circle[i] its length. Each repeat is settled once.
  const uint32_t kEndless = UINT32_MAX;
  std::vector<uint32_t> links(count, 0), toCircle(count, 0), circle(count, 0);
  std::vector<int32_t> path;
  for (size_t start = 0; start < count; ++start) {
    path.clear();
    int32_t at = static_cast<int32_t>(start);
    while (at >= 0 && links[static_cast<size_t>(at)] == 0) {
      links[static_cast<size_t>(at)] = kEndless - 1;  // on the path
      path.push_back(at);
      at = next[static_cast<size_t>(at)];
    }
    size_t settle = path.size();
    if (at >= 0 && links[static_cast<size_t>(at)] == kEndless - 1) {
      settle = static_cast<size_t>(std::find(path.begin(), path.end(), at) - path.begin());
      for (size_t j = settle; j < path.size(); ++j) {
        links[static_cast<size_t>(path[j])] = kEndless;
        circle[static_cast<size_t>(path[j])] = static_cast<uint32_t>(path.size() - settle);
      }
    }
    while (settle-- > 0) {
      const size_t i = static_cast<size_t>(path[settle]);
      const int32_t n = next[i];
      if (n < 0) {
        links[i] = 1;
      } else if (links[static_cast<size_t>(n)] == kEndless) {
        links[i] = kEndless;
        toCircle[i] = toCircle[static_cast<size_t>(n)] + 1;
        circle[i] = circle[static_cast<size_t>(n)];
      } else {
        links[i] = links[static_cast<size_t>(n)] + 1;
      }
    }
  }
  const uint32_t kLimit = static_cast<uint32_t>(kMaxRepeatChain);
  for (size_t i = 0; i < count; ++i) {
    const Walk::Repeat& r = repeats[i];
    if (next[i] < 0 && !std::binary_search(w.withText.begin(), w.withText.end(), r.target)) {
      Add(w, CheckKind::RepeatMissing, r.frame, r.offset).other = r.target;
    }
    // The loader follows the k-th repeat of a chain only while k < kLimit,
    // and not to a frame already in the chain.
    const bool endless = links[i] == kEndless;
    const uint64_t stopsAt = endless ? uint64_t{toCircle[i]} + circle[i] : links[i];
    if (stopsAt >= kLimit) {
      int32_t j = static_cast<int32_t>(i);
      for (uint32_t k = 1; k < kLimit; ++k) j = next[static_cast<size_t>(j)];
      Add(w, CheckKind::RepeatTooDeep, r.frame, r.offset).other = repeats[static_cast<size_t>(j)].frame;
    } else if (endless && toCircle[i] == 0) {
      Finding& f = Add(w, CheckKind::RepeatCycle, r.frame, r.offset);
      int32_t j = static_cast<int32_t>(i);
      for (uint32_t k = 0; k <= circle[i]; ++k, j = next[static_cast<size_t>(j)]) f.chain.push_back(repeats[static_cast<size_t>(j)].frame);
    }
  }
}

void Finish(Walk& w, CheckReport& report) {
  CheckRepeats(w);
  // In file order: frame files by number, blocks by where they start.
  std::stable_sort(w.findings.begin(), w.findings.end(), [](const Finding& a, const Finding& b) {
    return a.layout == CheckLayout::Frames ? a.frame < b.frame : a.offset < b.offset;
  });
  for (Finding& f : w.findings) report.findings.push_back(std::move(f));
}

}  // namespace

const char* CheckKindName(CheckKind kind) {
  static const char* const kNames[] = {
      "unordered-block", "end-marker-in-text", "zero-byte",     "oversize-block",  "no-end-line",
      "bad-number-line", "repeat-missing",     "repeat-cycle",  "repeat-too-deep", "missing-sound",
      "frame-too-long",  "export-would-drop",  "slot-shared",   "frames-end-early",
  };
  return kNames[static_cast<int>(kind)];
}

void CheckAnimation(const char* base, unsigned layouts, CheckReport& report) {
  report = CheckReport{};
  std::vector<bool> files;
  bool anyFile = false;
  if (layouts & kCheckFrames) {
    Walk w{CheckLayout::Frames, base, {}, {}, {}, {}};
    CheckFrameFiles(w, files, report);
    // Without a frame file there is nothing to tell of them.
    anyFile = report.frameFiles > 0;
    report.checkedFrames = anyFile;
    if (anyFile) Finish(w, report);
  }
  if (layouts & kCheckAllInOne) {
    Walk w{CheckLayout::AllInOne, base, {}, {}, {}, {}};
    CheckBlocks(w, anyFile ? &files : nullptr, report);
    if (report.checkedAllInOne) Finish(w, report);
  }
}

#include "check_command.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "animation.h"
#include "animation_check.h"
#include "frame_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

#ifndef _WIN32
// Converts in from the character set from to UTF-8; false when in is not
// text of that set.
bool ConvertToUtf8(const char* from, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 3, '\0');  // a code page 932 byte is at most 3 bytes of UTF-8
  char* source = const_cast<char*>(in.data());
  size_t sourceLeft = in.size();
  char* target = &(*out)[0];
  size_t targetLeft = out->size();
  const bool whole = iconv(cd, &source, &sourceLeft, &target, &targetLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - targetLeft);
  return whole;
}
#endif

// Names and texts from the animation's files in UTF-8, for JSON. They are
// in code page 932 (Shift-JIS) on Windows; on Linux file names are UTF-8
// already, and what is not is taken as code page 932.
std::string Utf8(const std::string& bytes) {
  if (bytes.empty()) return bytes;
#ifdef _WIN32
  const int size = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(932, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), size, &text[0], wide);
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &out[0], length, nullptr, nullptr);
  return out;
#else
  std::string out;
  if (ConvertToUtf8("UTF-8", bytes, &out) || ConvertToUtf8("CP932", bytes, &out)) return out;
  return bytes;  // the JSON writer replaces what is not UTF-8
#endif
}

std::string AsIs(const std::string& bytes) { return bytes; }

std::string N(uint64_t value) { return std::to_string(value); }
std::string Bytes(uint64_t count) { return N(count) + (count == 1 ? " byte" : " bytes"); }

std::string Sentence(const Finding& f, std::string (*text)(const std::string&)) {
  const bool frames = f.layout == CheckLayout::Frames;
  switch (f.kind) {
    case CheckKind::UnorderedBlock:
      return f.other == f.frame ? "the block at offset " + N(f.at) + " has the same number and shows in its place"
                                : "playback stops at block " + N(f.other) + " (offset " + N(f.at) + ") before reaching this block";
    case CheckKind::EndMarkerInText:
      return frames ? "\"[end]\" at byte " + N(f.at) + ": export would cut the frame there"
                    : "an \"[end]\" inside a line ends the text after " + Bytes(f.at) +
                          "; the rest of the line is read as the next number line";
    case CheckKind::ZeroByte:
      return "a zero byte after " + Bytes(f.at) + " ends the text: the rest never shows, and " +
             (frames ? "export" : "expansion") + " drops it";
    case CheckKind::OversizeBlock:
      return "no \"[end]\" within 32007 bytes of the number line: only the first 32000 bytes show, and the rest of the block is skipped";
    case CheckKind::NoEndLine:
      return "the file ends before this block's \"[end]\" line";
    case CheckKind::BadNumberLine: {
      const std::string line = "number line \"" + text(f.text) + "\"";
      switch (f.problem) {
        case NumberLineProblem::NotANumber:
          return line + " is not a number: the block counts as frame " + N(f.frame) + ", the number before it";
        case NumberLineProblem::LfAlone:
          return line + " ends in LF alone: the line runs on into the text, whose first bytes are lost";
        case NumberLineProblem::CrAlone:
          return line + " ends in CR without LF: the text loses its first byte";
        case NumberLineProblem::TooLong:
          return line + " is longer than 9 characters: the rest of the line is read as the text";
      }
      return line;
    }
    case CheckKind::RepeatMissing:
      return "\"same " + N(f.other) + "\": frame " + N(f.other) + " has no text, so this frame shows empty";
    case CheckKind::RepeatCycle: {
      std::string chain;
      for (uint32_t n : f.chain) chain += (chain.empty() ? "" : " -> ") + N(n);
      return "the \"same\" repeats come back to this frame (" + chain + "): frame " + N(f.chain[f.chain.size() - 2]) +
             " shows its own text";
    }
    case CheckKind::RepeatTooDeep:
      return "the chain of \"same\" repeats is longer than the " + N(kMaxRepeatChain) +
             " frames the loader follows: frame " + N(f.other) + " shows its own text";
    case CheckKind::MissingSound:
      return "sound \"" + text(f.text) + "\" not found (looked for " + text(f.path) + ")";
    case CheckKind::FrameTooLong:
      return "the file is " + N(f.at) + " bytes: only the first " + N(kFrameTextMax) + " show";
    case CheckKind::ExportWouldDrop:
      return "no frame file 0000 to 9999 holds this frame: export would drop it (after asking)";
    case CheckKind::SlotShared:
      return "this file is also frame 0 of the animation " + text(f.text) + ": inserting or deleting frames moves it";
    case CheckKind::FramesEndEarly:
      return "an empty line ends the frames here: the " + Bytes(f.at) + " after it are never read";
  }
  return "";
}

std::string Place(const Finding& f) {
  std::string place = std::to_string(f.frame);
  if (f.layout == CheckLayout::AllInOne) place += "@" + std::to_string(f.offset);
  return place;
}

std::string Summary(const CheckReport& r, const std::string& allInOne, std::string (*text)(const std::string&)) {
  std::string checked;
  if (r.checkedFrames) checked = std::to_string(r.frameFiles) + " frame files";
  if (r.checkedAllInOne) {
    checked += (checked.empty() ? "" : " and ") + std::to_string(r.blocks) + " blocks of " + text(allInOne);
  }
  const size_t n = r.findings.size();
  return "checked " + checked + ": " + (n == 0 ? "nothing found" : std::to_string(n) + (n == 1 ? " finding" : " findings"));
}

}  // namespace

int CheckCommand(const char* animation, const char* base, int mode, bool json) {
  const unsigned layouts = mode == FrameFiles ? kCheckFrames : mode == AllInOne ? kCheckAllInOne : kCheckFrames | kCheckAllInOne;
  CheckReport report;
  CheckAnimation(base, layouts, report);
  const std::string allInOne = std::string(base) + ".txt";
  if (!report.checkedFrames && !report.checkedAllInOne) {
    std::string missing = mode == AllInOne ? "" : std::string("no frame files ") + base + "0000.txt ... " + base + "10000.txt";
    if (mode != FrameFiles) missing += (missing.empty() ? "cannot open " : " and no ") + allInOne;
    std::fprintf(stderr, "zoetrix-cli: %s\n", missing.c_str());
    return 1;
  }
  if (!json) {
    for (const Finding& f : report.findings) {
      std::printf("%s:%s: %s: %s\n", f.file.c_str(), Place(f).c_str(), CheckKindName(f.kind), Sentence(f, AsIs).c_str());
    }
    std::printf("%s\n", Summary(report, allInOne, AsIs).c_str());
  } else {
    nlohmann::ordered_json doc;
    doc["animation"] = Utf8(animation);
    if (report.checkedFrames) doc["checked"]["frames"] = report.frameFiles;
    if (report.checkedAllInOne) doc["checked"]["all-in-one"] = report.blocks;
    doc["findings"] = nlohmann::ordered_json::array();
    for (const Finding& f : report.findings) {
      nlohmann::ordered_json item;
      item["layout"] = f.layout == CheckLayout::Frames ? "frames" : "all-in-one";
      item["file"] = Utf8(f.file);
      item["frame"] = f.frame;
      if (f.layout == CheckLayout::AllInOne) item["offset"] = f.offset;
      item["kind"] = CheckKindName(f.kind);
      item["sentence"] = Sentence(f, Utf8);
      doc["findings"].push_back(std::move(item));
    }
    doc["summary"] = Summary(report, allInOne, Utf8);
    std::printf("%s\n", doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
  }
  return report.findings.empty() ? 0 : 1;
}

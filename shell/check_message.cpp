#include "check_message.h"

#include <windows.h>

#include <string>

#include "animation.h"
#include "animation_check.h"
#include "main_window.h"
#include "path_text.h"
#include "web_export.h"

// The message texts are ANSI (Shift-JIS) bytes for MessageBoxA.
// "点検"
static const char kCaption[] = "\x93_\x8c\x9f";
// "コマファイル"
static const char kFrameFiles[] = "\x83R\x83}\x83t\x83@\x83" "C\x83\x8b";
// " 個"
static const char kPieces[] = " \x8c\xc2";
// "と"
static const char kAnd[] = "\x82\xc6";
// "のブロック"
static const char kBlocksOf[] = "\x82\xcc\x83u\x83\x8d\x83" "b\x83N";
// "を点検しました:"
static const char kChecked[] = "\x82\xf0\x93_\x8c\x9f\x82\xb5\x82\xdc\x82\xb5\x82\xbd:";
// " 問題は見つかりませんでした。"
static const char kNothingFound[] = " \x96\xe2\x91\xe8\x82\xcd\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";
// " 問題"
static const char kProblems[] = " \x96\xe2\x91\xe8";
// " 件"
static const char kCount[] = " \x8c\x8f";
// "ほか"
static const char kMore[] = "\x82\xd9\x82\xa9";
// " コマ"
static const char kFrame[] = " \x83R\x83}";
// "位置"
static const char kOffset[] = "\x88\xca\x92u";
// "同じ番号のブロックが代わりに表示されます"
static const char kSameBlock[] = "\x93\xaf\x82\xb6\x94\xd4\x8d\x86\x82\xcc\x83u\x83\x8d\x83" "b\x83N\x82\xaa\x91\xe3\x82\xed\x82\xe8\x82\xc9\x95\x5c\x8e\xa6\x82\xb3\x82\xea\x82\xdc\x82\xb7";
// "再生はその前のブロック"
static const char kStopsAt[] = "\x8d\xc4\x90\xb6\x82\xcd\x82\xbb\x82\xcc\x91O\x82\xcc\x83u\x83\x8d\x83" "b\x83N";
// "で止まり、このブロックに届きません"
static const char kNeverReached[] = "\x82\xc5\x8e~\x82\xdc\x82\xe8\x81" "A\x82\xb1\x82\xcc\x83u\x83\x8d\x83" "b\x83N\x82\xc9\x93\xcd\x82\xab\x82\xdc\x82\xb9\x82\xf1";
// " バイト目に [end] があります。まとめて保存するとそこで切れます"
static const char kByte[] = " \x83o\x83" "C\x83g\x96\xda\x82\xc9 [end] \x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81" "B\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6\x82\xb7\x82\xe9\x82\xc6\x82\xbb\x82\xb1\x82\xc5\x90\xd8\x82\xea\x82\xdc\x82\xb7";
// "行の途中の [end] でテキストが切れ、行の残りが次の番号行として読まれます"
static const char kEndInLine[] = "\x8ds\x82\xcc\x93r\x92\x86\x82\xcc [end] \x82\xc5\x83" "e\x83L\x83X\x83g\x82\xaa\x90\xd8\x82\xea\x81" "A\x8ds\x82\xcc\x8e" "c\x82\xe8\x82\xaa\x8e\x9f\x82\xcc\x94\xd4\x8d\x86\x8ds\x82\xc6\x82\xb5\x82\xc4\x93\xc7\x82\xdc\x82\xea\x82\xdc\x82\xb7";
// " バイトの後のゼロバイトでテキストが切れます。その後は表示されず、"
static const char kZeroAfter[] = " \x83o\x83" "C\x83g\x82\xcc\x8c\xe3\x82\xcc\x83[\x83\x8d\x83o\x83" "C\x83g\x82\xc5\x83" "e\x83L\x83X\x83g\x82\xaa\x90\xd8\x82\xea\x82\xdc\x82\xb7\x81" "B\x82\xbb\x82\xcc\x8c\xe3\x82\xcd\x95\x5c\x8e\xa6\x82\xb3\x82\xea\x82\xb8\x81" "A";
// "まとめて保存で失われます"
static const char kExportLoses[] = "\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6\x82\xc5\x8e\xb8\x82\xed\x82\xea\x82\xdc\x82\xb7";
// "展開で失われます"
static const char kExpansionLoses[] = "\x93W\x8aJ\x82\xc5\x8e\xb8\x82\xed\x82\xea\x82\xdc\x82\xb7";
// "番号行から 32007 バイト以内に [end] がありません。最初の 32000 バイトだけが表示され、残りは読み飛ばされます"
static const char kOversize[] = "\x94\xd4\x8d\x86\x8ds\x82\xa9\x82\xe7 32007 \x83o\x83" "C\x83g\x88\xc8\x93\xe0\x82\xc9 [end] \x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B\x8d\xc5\x8f\x89\x82\xcc 32000 \x83o\x83" "C\x83g\x82\xbe\x82\xaf\x82\xaa\x95\x5c\x8e\xa6\x82\xb3\x82\xea\x81" "A\x8e" "c\x82\xe8\x82\xcd\x93\xc7\x82\xdd\x94\xf2\x82\xce\x82\xb3\x82\xea\x82\xdc\x82\xb7";
// "このブロックの [end] 行の前にファイルが終わります"
static const char kNoEndLine[] = "\x82\xb1\x82\xcc\x83u\x83\x8d\x83" "b\x83N\x82\xcc [end] \x8ds\x82\xcc\x91O\x82\xc9\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x8fI\x82\xed\x82\xe8\x82\xdc\x82\xb7";
// "番号行「"
static const char kNumberLine[] = "\x94\xd4\x8d\x86\x8ds\x81u";
// "」は数字ではありません。前の番号のコマ"
static const char kNotANumber[] = "\x81v\x82\xcd\x90\x94\x8e\x9a\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B\x91O\x82\xcc\x94\xd4\x8d\x86\x82\xcc\x83R\x83}";
// " として読まれます"
static const char kReadAs[] = " \x82\xc6\x82\xb5\x82\xc4\x93\xc7\x82\xdc\x82\xea\x82\xdc\x82\xb7";
// "」が LF だけで終わっています。テキストの始めが番号行として読まれ、失われます"
static const char kLfAlone[] = "\x81v\x82\xaa LF \x82\xbe\x82\xaf\x82\xc5\x8fI\x82\xed\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B\x83" "e\x83L\x83X\x83g\x82\xcc\x8en\x82\xdf\x82\xaa\x94\xd4\x8d\x86\x8ds\x82\xc6\x82\xb5\x82\xc4\x93\xc7\x82\xdc\x82\xea\x81" "A\x8e\xb8\x82\xed\x82\xea\x82\xdc\x82\xb7";
// "」が LF のない CR で終わっています。テキストの最初の 1 バイトが失われます"
static const char kCrAlone[] = "\x81v\x82\xaa LF \x82\xcc\x82\xc8\x82\xa2 CR \x82\xc5\x8fI\x82\xed\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B\x83" "e\x83L\x83X\x83g\x82\xcc\x8d\xc5\x8f\x89\x82\xcc 1 \x83o\x83" "C\x83g\x82\xaa\x8e\xb8\x82\xed\x82\xea\x82\xdc\x82\xb7";
// "」が 9 文字より長いです。残りはテキストとして読まれます"
static const char kTooLong[] = "\x81v\x82\xaa 9 \x95\xb6\x8e\x9a\x82\xe6\x82\xe8\x92\xb7\x82\xa2\x82\xc5\x82\xb7\x81" "B\x8e" "c\x82\xe8\x82\xcd\x83" "e\x83L\x83X\x83g\x82\xc6\x82\xb5\x82\xc4\x93\xc7\x82\xdc\x82\xea\x82\xdc\x82\xb7";
// "にテキストがないため、このコマは空で表示されます"
static const char kNoText[] = "\x82\xc9\x83" "e\x83L\x83X\x83g\x82\xaa\x82\xc8\x82\xa2\x82\xbd\x82\xdf\x81" "A\x82\xb1\x82\xcc\x83R\x83}\x82\xcd\x8b\xf3\x82\xc5\x95\x5c\x8e\xa6\x82\xb3\x82\xea\x82\xdc\x82\xb7";
// "same の繰り返しがこのコマに戻ります"
static const char kComesBack[] = "same \x82\xcc\x8cJ\x82\xe8\x95\xd4\x82\xb5\x82\xaa\x82\xb1\x82\xcc\x83R\x83}\x82\xc9\x96\xdf\x82\xe8\x82\xdc\x82\xb7";
// " は自分のテキストを表示します"
static const char kOwnText[] = " \x82\xcd\x8e\xa9\x95\xaa\x82\xcc\x83" "e\x83L\x83X\x83g\x82\xf0\x95\x5c\x8e\xa6\x82\xb5\x82\xdc\x82\xb7";
// "same の繰り返しが 64 コマより深く続きます。"
static const char kTooDeep[] = "same \x82\xcc\x8cJ\x82\xe8\x95\xd4\x82\xb5\x82\xaa 64 \x83R\x83}\x82\xe6\x82\xe8\x90[\x82\xad\x91\xb1\x82\xab\x82\xdc\x82\xb7\x81" "B";
// "音ファイル"
static const char kSound[] = "\x89\xb9\x83t\x83@\x83" "C\x83\x8b";
// " が見つかりません"
static const char kNotFound[] = " \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "ファイルが"
static const char kFileIs[] = "\x83t\x83@\x83" "C\x83\x8b\x82\xaa";
// " バイトあります。最初の 32000 バイトだけが表示されます"
static const char kOnlyFirst[] = " \x83o\x83" "C\x83g\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81" "B\x8d\xc5\x8f\x89\x82\xcc 32000 \x83o\x83" "C\x83g\x82\xbe\x82\xaf\x82\xaa\x95\x5c\x8e\xa6\x82\xb3\x82\xea\x82\xdc\x82\xb7";
// "コマファイルがありません。まとめて保存すると失われます (確認のうえ)"
static const char kOnlyHere[] = "\x83R\x83}\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6\x82\xb7\x82\xe9\x82\xc6\x8e\xb8\x82\xed\x82\xea\x82\xdc\x82\xb7 (\x8am\x94" "F\x82\xcc\x82\xa4\x82\xa6)";
// "このファイルはアニメーション"
static const char kAlsoFrame0[] = "\x82\xb1\x82\xcc\x83t\x83@\x83" "C\x83\x8b\x82\xcd\x83" "A\x83j\x83\x81\x81[\x83V\x83\x87\x83\x93";
// " のコマ 0 でもあります。コマ挿入・削除で動きます"
static const char kMovesIt[] = " \x82\xcc\x83R\x83} 0 \x82\xc5\x82\xe0\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81" "B\x83R\x83}\x91}\x93\xfc\x81" "E\x8d\xed\x8f\x9c\x82\xc5\x93\xae\x82\xab\x82\xdc\x82\xb7";
// "空の行でコマが終わります。その後の"
static const char kEmptyLine[] = "\x8b\xf3\x82\xcc\x8ds\x82\xc5\x83R\x83}\x82\xaa\x8fI\x82\xed\x82\xe8\x82\xdc\x82\xb7\x81" "B\x82\xbb\x82\xcc\x8c\xe3\x82\xcc";
// " バイトは読まれません"
static const char kNeverRead[] = " \x83o\x83" "C\x83g\x82\xcd\x93\xc7\x82\xdc\x82\xea\x82\xdc\x82\xb9\x82\xf1";
// " → "
static const char kArrow[] = " \x81\xa8 ";

// Findings shown in the box; the rest are counted.
constexpr size_t kShownFindings = 20;

static std::string N(uint64_t value) { return std::to_string(value); }

static std::string Sentence(const Finding& f) {
  const bool frames = f.layout == CheckLayout::Frames;
  switch (f.kind) {
    case CheckKind::UnorderedBlock:
      if (f.other == f.frame) return std::string(kSameBlock) + " (" + kOffset + " " + N(f.at) + ")";
      return std::string(kStopsAt) + " " + N(f.other) + " (" + kOffset + " " + N(f.at) + ") " + kNeverReached;
    case CheckKind::EndMarkerInText:
      return frames ? N(f.at) + kByte : kEndInLine;
    case CheckKind::ZeroByte:
      return N(f.at) + kZeroAfter + (frames ? kExportLoses : kExpansionLoses);
    case CheckKind::OversizeBlock:
      return kOversize;
    case CheckKind::NoEndLine:
      return kNoEndLine;
    case CheckKind::BadNumberLine: {
      const std::string line = kNumberLine + f.text;
      switch (f.problem) {
        case NumberLineProblem::NotANumber:
          return line + kNotANumber + " " + N(f.frame) + kReadAs;
        case NumberLineProblem::LfAlone:
          return line + kLfAlone;
        case NumberLineProblem::CrAlone:
          return line + kCrAlone;
        case NumberLineProblem::TooLong:
          return line + kTooLong;
      }
      return line;
    }
    case CheckKind::RepeatMissing:
      return "same " + N(f.other) + ":" + kFrame + " " + N(f.other) + " " + kNoText;
    case CheckKind::RepeatCycle: {
      std::string chain;
      for (uint32_t n : f.chain) chain += (chain.empty() ? "" : kArrow) + N(n);
      return std::string(kComesBack) + " (" + chain + ")" + kFrame + " " + N(f.chain[f.chain.size() - 2]) + kOwnText;
    }
    case CheckKind::RepeatTooDeep:
      return std::string(kTooDeep) + kFrame + " " + N(f.other) + kOwnText;
    case CheckKind::MissingSound:
      return std::string(kSound) + " " + f.text + kNotFound + " (" + f.path + ")";
    case CheckKind::FrameTooLong:
      return std::string(kFileIs) + " " + N(f.at) + kOnlyFirst;
    case CheckKind::ExportWouldDrop:
      return kOnlyHere;
    case CheckKind::SlotShared:
      return std::string(kAlsoFrame0) + " " + f.text + kMovesIt;
    case CheckKind::FramesEndEarly:
      return std::string(kEmptyLine) + " " + N(f.at) + kNeverRead;
  }
  return "";
}

// "walk0003.txt コマ 3: ...", or "walk.txt コマ 3 (位置 120): ...".
static std::string Line(const Finding& f) {
  const char* file = f.file.c_str();
  std::string line = file + DirectoryLength(file) + std::string(kFrame) + " " + N(f.frame);
  if (f.layout == CheckLayout::AllInOne) line += std::string(" (") + kOffset + " " + N(f.offset) + ")";
  return line + ": " + Sentence(f);
}

static std::string Summary(const CheckReport& r, const char* base) {
  std::string text;
  if (r.checkedFrames) text = kFrameFiles + (" " + N(r.frameFiles)) + kPieces;
  if (r.checkedAllInOne) {
    const std::string name = std::string(base + DirectoryLength(base)) + ".txt";
    text += (text.empty() ? "" : kAnd) + name + " " + kBlocksOf + " " + N(r.blocks) + kPieces;
  }
  text += kChecked;
  return text + (r.findings.empty() ? kNothingFound : kProblems + (" " + N(r.findings.size())) + kCount);
}

void CheckAnimationCommand() {
  const char* base = g_animation.basePath;
  if (base[0] == '\0') {
    MessageBoxA(g_mainWindow, kNoAnimation, kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  // Every file is read: a large animation takes a moment.
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  CheckReport report;
  CheckAnimation(base, kCheckFrames | kCheckAllInOne, report);
  SetCursor(cursor);
  if (!report.checkedFrames && !report.checkedAllInOne) {
    const std::string text = std::string(kNoFrames) + "\r\n" + base + "0000.txt ...\r\n" + base + ".txt";
    MessageBoxA(g_mainWindow, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  std::string text = Summary(report, base);
  for (size_t i = 0; i < report.findings.size() && i < kShownFindings; ++i) {
    text += (i == 0 ? "\r\n\r\n" : "\r\n") + Line(report.findings[i]);
  }
  if (report.findings.size() > kShownFindings) {
    text += std::string("\r\n") + kMore + " " + N(report.findings.size() - kShownFindings) + kCount;
  }
  MessageBoxA(g_mainWindow, text.c_str(), kCaption, MB_OK | (report.findings.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

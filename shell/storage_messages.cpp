#include "storage_messages.h"

#include <windows.h>

#include <cstdio>

#include "commands.h"
#include "frame_view.h"
#include "main_window.h"

// The texts are Shift-JIS for the ANSI message box.
// "コマの操作を完了できなかったため、何も変更しませんでした。"
static const char kFrameOperationFailed[] =
    "\x83R\x83}\x82\xcc\x91\x80\x8d\xec\x82\xf0\x8a\xae\x97\xb9\x82\xc5\x82\xab\x82\xc8\x82\xa9\x82\xc1"
    "\x82\xbd\x82\xbd\x82\xdf\x81" "A\x89\xbd\x82\xe0\x95\xcf\x8dX\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82"
    "\xc5\x82\xb5\x82\xbd\x81" "B";
// "コマの操作を完了できず、元に戻せないファイルがありました。"
static const char kFrameOperationStranded[] =
    "\x83R\x83}\x82\xcc\x91\x80\x8d\xec\x82\xf0\x8a\xae\x97\xb9\x82\xc5\x82\xab\x82\xb8\x81" "A\x8c\xb3"
    "\x82\xc9\x96\xdf\x82\xb9\x82\xc8\x82\xa2\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc"
    "\x82\xb5\x82\xbd\x81" "B";
// "元に戻せなかったファイル:"
static const char kNotPutBack[] =
    "\x8c\xb3\x82\xc9\x96\xdf\x82\xb9\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x83t\x83@\x83" "C\x83\x8b:";
// "ファイルを読めないため、何も書き込みませんでした。"
static const char kReadFailed[] =
    "\x83t\x83@\x83" "C\x83\x8b\x82\xf0\x93\xc7\x82\xdf\x82\xc8\x82\xa2\x82\xbd\x82\xdf\x81" "A\x89\xbd"
    "\x82\xe0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";
// "このコマはコマ "
static const char kRepeatQuestionHead[] =
    "\x82\xb1\x82\xcc\x83R\x83}\x82\xcd\x83R\x83} ";
// " の繰り返し (same) です。\n保存すると、コマ "
static const char kRepeatQuestionMiddle[] =
    " \x82\xcc\x8cJ\x82\xe8\x95\xd4\x82\xb5 (same) \x82\xc5\x82\xb7\x81" "B\n\x95\xdb\x91\xb6\x82\xb7"
    "\x82\xe9\x82\xc6\x81" "A\x83R\x83} ";
// " の写しになり、繰り返しではなくなります。保存しますか？"
static const char kRepeatQuestionTail[] =
    " \x82\xcc\x8e\xca\x82\xb5\x82\xc9\x82\xc8\x82\xe8\x81" "A\x8cJ\x82\xe8\x95\xd4\x82\xb5\x82\xc5\x82"
    "\xcd\x82\xc8\x82\xad\x82\xc8\x82\xe8\x82\xdc\x82\xb7\x81" "B\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82"
    "\xb7\x82\xa9\x81H";
// "「[end]」かゼロのバイトを含むコマが "
static const char kCutQuestionHead[] =
    "\x81u[end]\x81v\x82\xa9\x83[\x83\x8d\x82\xcc\x83o\x83" "C\x83g\x82\xf0\x8a\xdc\x82\xde\x83R\x83}"
    "\x82\xaa ";
// " コマあります (最初はコマ "
static const char kCutQuestionMiddle[] =
    " \x83R\x83}\x82\xa0\x82\xe8\x82\xdc\x82\xb7 (\x8d\xc5\x8f\x89\x82\xcd\x83R\x83} ";
// ")。\nまとめて保存すると、それらのコマはそこで切れます。保存しますか？"
static const char kCutQuestionTail[] =
    ")\x81" "B\n\x82\xdc\x82\xc6\x82\xdf\x82\xc4\x95\xdb\x91\xb6\x82\xb7\x82\xe9\x82\xc6\x81" "A\x82\xbb"
    "\x82\xea\x82\xe7\x82\xcc\x83R\x83}\x82\xcd\x82\xbb\x82\xb1\x82\xc5\x90\xd8\x82\xea\x82\xdc\x82\xb7"
    "\x81" "B\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H";
// "前のブロックと番号が同じブロック "
static const char kSkippedNoticeHead[] =
    "\x91O\x82\xcc\x83u\x83\x8d\x83" "b\x83N\x82\xc6\x94\xd4\x8d\x86\x82\xaa\x93\xaf\x82\xb6\x83u\x83"
    "\x8d\x83" "b\x83N ";
// " 個は展開しませんでした (その番号は最初のブロックから展開しました)。"
static const char kSkippedNoticeTail[] =
    " \x8c\xc2\x82\xcd\x93W\x8aJ\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd (\x82\xbb\x82"
    "\xcc\x94\xd4\x8d\x86\x82\xcd\x8d\xc5\x8f\x89\x82\xcc\x83u\x83\x8d\x83" "b\x83N\x82\xa9\x82\xe7\x93W"
    "\x8aJ\x82\xb5\x82\xdc\x82\xb5\x82\xbd)\x81" "B";

bool EditorModified() { return SendMessageA(FrameView(), EM_GETMODIFY, 0, 0) != 0; }

static bool AskYesNo(const char* question) {
  // No is the default: it writes nothing.
  return MessageBoxA(g_mainWindow, question, "zoetrix", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

bool ConfirmCopyingRepeat(uint32_t repeated) {
  char question[512];
  std::snprintf(question, sizeof question, "%s%lu%s%lu%s", kRepeatQuestionHead, static_cast<unsigned long>(repeated),
                kRepeatQuestionMiddle, static_cast<unsigned long>(repeated), kRepeatQuestionTail);
  return AskYesNo(question);
}

bool ConfirmStoringCutFrames(int count, uint32_t first) {
  char question[512];
  std::snprintf(question, sizeof question, "%s%d%s%lu%s", kCutQuestionHead, count, kCutQuestionMiddle,
                static_cast<unsigned long>(first), kCutQuestionTail);
  return AskYesNo(question);
}

void ReportSkippedBlocks(int count) {
  char notice[512];
  std::snprintf(notice, sizeof notice, "%s%d%s", kSkippedNoticeHead, count, kSkippedNoticeTail);
  MessageBoxA(g_mainWindow, notice, "zoetrix", MB_OK | MB_ICONINFORMATION);
}

void ReportFrameOperationFailure(const char* fileName, const char* reason, const char* stranded,
                                 const char* strandedReason) {
  char text[kFailureTextSize];
  if (stranded[0] == '\0') {
    std::snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n\r\n%s", kFrameOperationFailed, fileName, reason);
  } else {
    std::snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n%s", kFrameOperationStranded,
                  fileName, reason, kNotPutBack, stranded, strandedReason);
  }
  KeepFailure(text);
}

void ReportReadFailure(const char* fileName, const char* reason) {
  char text[kFailureTextSize];
  std::snprintf(text, sizeof text, "%s\r\n\r\n%s\r\n\r\n%s", kReadFailed, fileName, reason);
  KeepFailure(text);
}

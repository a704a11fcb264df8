#include "web_export.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "animation.h"
#include "main_window.h"
#include "web_page.h"

// The message texts are ANSI (Shift-JIS) bytes for MessageBoxA.
// "HTML書き出し"
static const char kCaption[] = "HTML\x8f\x91\x82\xab\x8f\x6f\x82\xb5";
// "書き出しました:"
const char kWritten[] = "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb5\x82\xbd:";
// "見つからない音ファイルは入れていません:"
static const char kMissingSounds[] =
    "\x8c\xa9\x82\xc2\x82\xa9\x82\xe7\x82\xc8\x82\xa2\x89\xb9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd"
    "\x93\xfc\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1:";
// "書き出せませんでした:"
const char kNotWritten[] = "\x8f\x91\x82\xab\x8f\x6f\x82\xb9\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd:";
// "先にアニメーションを開いてください。"
const char kNoAnimation[] =
    "\x90\xe6\x82\xc9\x83\x41\x83\x6a\x83\x81\x81\x5b\x83\x56\x83\x87\x83\x93\x82\xf0\x8a\x4a\x82\xa2"
    "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
// "コマが見つかりません:"
const char kNoFrames[] = "\x83\x52\x83\x7d\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1:";
// "16 MB を超える音ファイルは入れていません:"
static const char kLargeSounds[] =
    "16 MB \x82\xf0\x92\xb4\x82\xa6\x82\xe9\x89\xb9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd"
    "\x93\xfc\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1:";
// "ページが大きすぎるため、書き出しませんでした (ブラウザーで開けません):"
static const char kTooLarge[] =
    "\x83\x79\x81\x5b\x83\x57\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xe9\x82\xbd\x82\xdf"
    "\x81\x41\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd"
    " (\x83\x75\x83\x89\x83\x45\x83\x55\x81\x5b\x82\xc5\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1):";
// "メモリーが足りないため、書き出しませんでした。"
const char kOutOfMemory[] =
    "\x83\x81\x83\x82\x83\x8a\x81\x5b\x82\xaa\x91\xab\x82\xe8\x82\xc8\x82\xa2\x82\xbd\x82\xdf"
    "\x81\x41\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";
// "ファイル名が長すぎます:"
const char kNameTooLong[] = "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7:";

static void Tell(const std::string& text, UINT icon) {
  MessageBoxA(g_mainWindow, text.c_str(), kCaption, MB_OK | icon);
}

static void ExportWebPage() {
  const char* base = g_animation.basePath;
  if (base[0] == '\0') return Tell(kNoAnimation, MB_ICONWARNING);
  char target[kPathMax];
  if (!WebPageFileName(target, sizeof target, base)) {
    return Tell(std::string(kNameTooLong) + "\r\n" + base + ".html", MB_ICONWARNING);
  }
  // Every frame is read: a large animation takes a moment.
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  WebPage page;
  PageBuild built = BuildWebPage(WebPageSource{base, g_animation.storageMode, ReadFontFace(g_fontSettingsPath)}, page);
  SetCursor(cursor);
  if (built == PageBuild::OutOfMemory) return Tell(kOutOfMemory, MB_ICONERROR);
  if (page.storedFrames == 0) {
    const char* files = g_animation.storageMode == AllInOne ? ".txt" : "0000.txt ...";
    return Tell(std::string(kNoFrames) + "\r\n" + base + files, MB_ICONWARNING);
  }
  if (built == PageBuild::TooLarge) {
    return Tell(std::string(kTooLarge) + "\r\n" + target + "\r\n> " + std::to_string(kMaxPageBytes) + " bytes",
                MB_ICONERROR);
  }
  std::string error;
  if (!WriteWebPage(target, page, &error)) {
    return Tell(std::string(kNotWritten) + "\r\n" + target + "\r\n" + error, MB_ICONERROR);
  }
  std::string text = std::string(kWritten) + "\r\n" + target;
  const std::pair<const char*, const std::vector<std::string>*> leftOut[] = {{kMissingSounds, &page.missingSounds},
                                                                            {kLargeSounds, &page.largeSounds}};
  for (const auto& [heading, sounds] : leftOut) {
    if (sounds->empty()) continue;
    text += std::string("\r\n\r\n") + heading;
    for (const std::string& sound : *sounds) text += "\r\n" + sound;
  }
  bool complete = page.missingSounds.empty() && page.largeSounds.empty();
  Tell(text, complete ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void ExportWebPageCommand() {
  // Running out of memory is told; the program and the editor's text stay.
  try {
    ExportWebPage();
  } catch (const std::bad_alloc&) {
    MessageBoxA(g_mainWindow, kOutOfMemory, kCaption, MB_OK | MB_ICONERROR);
  }
}

#include "web_export.h"

#include <windows.h>

#include <string>

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
// "ファイル名が長すぎます:"
const char kNameTooLong[] = "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7:";

static void Tell(const std::string& text, UINT icon) {
  MessageBoxA(g_mainWindow, text.c_str(), kCaption, MB_OK | icon);
}

void ExportWebPageCommand() {
  const char* base = g_animation.basePath;
  if (base[0] == '\0') return Tell(kNoAnimation, MB_ICONWARNING);
  char target[kPathMax];
  if (!WebPageFileName(target, sizeof target, base)) {
    return Tell(std::string(kNameTooLong) + "\r\n" + base + ".html", MB_ICONWARNING);
  }
  // Every frame is read: a large animation takes a moment.
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  WebPage page;
  BuildWebPage(WebPageSource{base, g_animation.storageMode, ReadFontFace(g_fontSettingsPath)}, page);
  SetCursor(cursor);
  if (page.storedFrames == 0) {
    const char* files = g_animation.storageMode == AllInOne ? ".txt" : "0000.txt ...";
    return Tell(std::string(kNoFrames) + "\r\n" + base + files, MB_ICONWARNING);
  }
  std::string error;
  if (!WriteWebPage(target, page.html, &error)) {
    return Tell(std::string(kNotWritten) + "\r\n" + target + "\r\n" + error, MB_ICONERROR);
  }
  std::string text = std::string(kWritten) + "\r\n" + target;
  if (!page.missingSounds.empty()) {
    text += std::string("\r\n\r\n") + kMissingSounds;
    for (const std::string& sound : page.missingSounds) text += "\r\n" + sound;
  }
  Tell(text, page.missingSounds.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

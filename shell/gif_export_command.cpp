#include "gif_export_command.h"

#include <windows.h>

#include <new>
#include <string>

#include "animation.h"
#include "font.h"
#include "frame_drawing.h"
#include "frame_view.h"
#include "gif_export.h"
#include "main_window.h"
#include "web_export.h"

// The message texts are ANSI (Shift-JIS) bytes for MessageBoxA.
// "GIF書き出し"
static const char kCaption[] = "GI\x46\x8f\x91\x82\xab\x8fo\x82\xb5";
// "コマ、" and "バイト"
static const char kFrames[] = "\x83R\x83}\x81\x41";
static const char kBytes[] = "\x83o\x83\x43\x83g";
// "絵が大きすぎて GIF にできません:"
static const char kTooLarge[] =
    "\x8aG\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xc4 GI\x46 \x82\xc9\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1:";
// "コマを描けませんでした。"
static const char kNotDrawn[] = "\x83R\x83}\x82\xf0\x95`\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

static void Tell(const std::string& text, UINT icon) {
  MessageBoxA(g_mainWindow, text.c_str(), kCaption, MB_OK | icon);
}

// The messages of the outcomes that wrote nothing.
static void TellNotWritten(const GifResult& r, const char* base, const std::string& target) {
  switch (r.outcome) {
    case GifOutcome::NoFrames: {
      const char* files = g_animation.storageMode == AllInOne ? ".txt" : "0000.txt ...";
      return Tell(std::string(kNoFrames) + "\r\n" + base + files, MB_ICONWARNING);
    }
    case GifOutcome::TooLarge:
      return Tell(std::string(kTooLarge) + "\r\n" + std::to_string(r.width) + " x " + std::to_string(r.height),
                  MB_ICONWARNING);
    case GifOutcome::NotDrawn:
      return Tell(kNotDrawn, MB_ICONERROR);
    case GifOutcome::OutOfMemory:
      return Tell(kOutOfMemory, MB_ICONERROR);
    default:
      return Tell(std::string(kNotWritten) + "\r\n" + target + "\r\n" + r.error, MB_ICONERROR);
  }
}

static void ExportGifFile() {
  const char* base = g_animation.basePath;
  if (base[0] == '\0') return Tell(kNoAnimation, MB_ICONWARNING);
  const std::string target = std::string(base) + ".gif";
  if (target.size() >= static_cast<size_t>(kPathMax)) {
    return Tell(std::string(kNameTooLong) + "\r\n" + target, MB_ICONWARNING);
  }
  // The font the view draws with (it keeps the previous one after a load
  // until the next selection), and the colours on show, with which playback
  // starts where the first frame has none.
  HFONT font = SurfaceFont() != nullptr ? SurfaceFont() : g_currentFont;
  FramePainter painter;
  if (font == nullptr || !MakeGdiPainter(font, painter)) return Tell(kNotDrawn, MB_ICONERROR);
  // Every frame is read and drawn: a large animation takes a moment.
  HCURSOR cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  const GifJob job{base, g_animation.storageMode, PenColour, BackColour, GifDelay(g_animation.interval)};
  const GifResult r = ExportGif(job, painter, target.c_str());
  SetCursor(cursor);
  if (r.outcome != GifOutcome::Written) return TellNotWritten(r, base, target);
  Tell(std::string(kWritten) + "\r\n" + target + "\r\n\r\n" + std::to_string(r.frames) + " " + kFrames +
           std::to_string(r.width) + " x " + std::to_string(r.height) + ", " + std::to_string(r.bytes) + " " + kBytes,
       MB_ICONINFORMATION);
}

void ExportGifCommand() {
  // Running out of memory is told; the program and the editor's text stay.
  try {
    ExportGifFile();
  } catch (const std::bad_alloc&) {
    MessageBoxA(g_mainWindow, kOutOfMemory, kCaption, MB_OK | MB_ICONERROR);
  }
}

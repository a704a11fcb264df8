#include "font.h"

#include <cstring>
#include <fstream>

#include "animation.h"
#include "file_io.h"
#include "frame_loader.h"
#include "frame_view.h"

static_assert(sizeof(LOGFONTA) == 60, "the ANSI font description is 60 bytes");

LOGFONTA g_fontDescription;
HFONT g_currentFont;

void ReleaseFontIfUnused(HFONT font) {
  if (font != nullptr && font != g_currentFont && font != SurfaceFont()) DeleteObject(font);
}

// Gives font to the editor and makes it current; the previous font goes
// unless the surface still draws with it.
static void MakeCurrent(HWND view, HFONT font) {
  SendMessageA(view, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HFONT previous = g_currentFont;
  g_currentFont = font;
  ReleaseFontIfUnused(previous);
}

void SetUpFont(HWND view, const char* settingsPath) {
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof g_fontDescription, &g_fontDescription);
  MakeCurrent(view, CreateFontIndirectA(&g_fontDescription));
  LoadFontSettings(settingsPath);
  ApplyFont(view);
}

void ApplyFont(HWND view) {
  MakeCurrent(view, CreateFontIndirectA(&g_fontDescription));
  InvalidateRect(view, nullptr, TRUE);
}

BOOL ChooseFont(HWND view) {
  // The dialog works on a copy that becomes the description once confirmed:
  // some implementations write into the record while the user browses, and
  // a cancelled dialog must leave the description as it was.
  LOGFONTA chosen = g_fontDescription;
  CHOOSEFONTA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetAncestor(view, GA_ROOT);  // modal to the window the view is in
  dialog.lpLogFont = &chosen;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  BOOL confirmed = ChooseFontA(&dialog);
  if (confirmed) g_fontDescription = chosen;
  return confirmed;
}

void LoadFontSettings(const char* settingsPath) {
  if (settingsPath == nullptr || settingsPath[0] == '\0') return;
  std::ifstream in(settingsPath);  // text mode: a CR before the line feed goes
  if (!in.is_open()) return;
  // The first line, at most 98 characters; the line feed is consumed.
  char line[99] = {};
  in.getline(line, sizeof line);
  // A longer name than the face-name field holds is cut to fit.
  if (line[0] != '\0') CopyText(g_fontDescription.lfFaceName, sizeof g_fontDescription.lfFaceName, line);
  g_fontDescription.lfWidth = 0;
}

void SaveFontSettings(const char* settingsPath) {
  if (settingsPath == nullptr || settingsPath[0] == '\0') return;
  // The face name alone, without a line end; the old file stays whole
  // should the write fail.
  const char* face = g_fontDescription.lfFaceName;
  int error = 0;
  if (!WriteFileSafely(settingsPath, face, strnlen(face, sizeof g_fontDescription.lfFaceName), kWriteDurable,
                       &error)) {
    TellWriteFailure(settingsPath, error);
  }
}

void SelectFontCommand(HWND view) {
  ChooseFont(view);
  ApplyFont(view);
  HFONT previous = SurfaceFont();
  SelectSurfaceFont(g_currentFont);
  ReleaseFontIfUnused(previous);
}

void LoadFontCommand(HWND view, const char* settingsPath) {
  // The surface goes on with the previous font until the next Select.
  LoadFontSettings(settingsPath);
  ApplyFont(view);
}

void SaveFontCommand(const char* settingsPath) { SaveFontSettings(settingsPath); }

void DeleteCurrentFont() {
  HFONT font = g_currentFont;
  g_currentFont = nullptr;
  ReleaseFontIfUnused(font);
}

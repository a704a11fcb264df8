// Frame text drawn on Linux with FreeType exactly where the Windows program
// draws it with GDI (DrawTextA with DT_EDITCONTROL on a DIB, as Wine renders
// it): text in code page 932, glyphs at their hinted advances, rounded; lines
// as high as the font's winAscent + winDescent at the size; '&' prefixes; the
// gray levels, their blending and the size limits of that renderer.
// Linux only.
#pragma once

#include <string>

#include "gif_export.h"

// An installed face, as fontconfig finds it.
struct FontPick {
  std::string family;  // as asked for (UTF-8)
  std::string file;
  int index = 0;
};

// Finds the face whose family name is family; false when no installed face
// has that name (fontconfig's nearest other face does not count).
bool FindFont(const std::string& family, FontPick& pick);

// Lets go of what fontconfig keeps once the fonts have been found.
void FinishFontLookup();

// Text in code page 932 as UTF-8 (for face names kept in font.ini).
std::string Cp932ToUtf8(const std::string& text);

// Makes painter draw with the face of pick at a GDI font height of size
// pixels (the cell: winAscent + winDescent), anti-aliased as GDI's default
// quality is (in gray levels, unless the font's table says not at that size)
// or not at all. False, with the reason in *error, when the face cannot be
// loaded.
bool MakeFreeTypePainter(const FontPick& pick, int size, bool antialias, FramePainter& painter, std::string* error);

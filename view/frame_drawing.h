// How the frame view draws a frame, on any device context: the screen's
// surface and the GIF export's pictures come from this one drawing. Needs
// GDI only, no window.
#pragma once

#include <windows.h>

#include "gif_export.h"

// The Windows colour value of a colour triple, from the low 8 bits of each.
COLORREF ColourValue(const ColourTriple& colour);

// Makes pen and back the colours of dc: a new solid brush in back and a
// one-pixel pen in pen are selected (the ones they replace are deleted), and
// the text and background colours are set. *newPen and *newBrush, when
// given, receive the new objects.
void SelectFrameColours(HDC dc, COLORREF pen, COLORREF back, HPEN* newPen = nullptr, HBRUSH* newBrush = nullptr);

// Draws a frame into r of dc as the view paints it: r filled with the brush
// and bordered with the pen, then text from r's top-left corner with
// DrawTextA and DT_EDITCONTROL alone (lines break only at line ends, nothing
// is wrapped, a last line that would be cut is left out, '&' underlines the
// next character), in the font and colours selected into dc.
void DrawFrame(HDC dc, const RECT& r, const char* text);

// A painter for the GIF export that draws each frame with DrawFrame in font
// on a picture of its own. The font must outlive the painter.
bool MakeGdiPainter(HFONT font, FramePainter& painter);

// The frame view: the main window's large editor, over which each frame is
// painted in its colours on an off-screen surface.
#pragma once

#include <windows.h>

#include "animation.h"

// Installs FrameViewProc over the editor's own window procedure, keeping the
// previous one (every message is passed on to it after the handling).
void InstallFrameView(HWND view);

// The frame view, once installed.
HWND FrameView();

LRESULT CALLBACK FrameViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam);

// View hooks: paint DisplayText onto the frame view; make PenColour and
// BackColour take effect on the surface.
void RenderFrame();
void ApplyColours();

// Opens the colour dialog (grey start, full open), modal to the window the
// view is in; returns its colour, grey when cancelled.
COLORREF ChooseColour();
void ChoosePenColour();
void ChooseBackColour();

// Selects font into the drawing surface (when it exists).
void SelectSurfaceFont(HFONT font);
// The font the drawing surface holds; null before the surface exists or
// while it keeps its default font.
HFONT SurfaceFont();

// The frame view's font, and the font settings file that keeps its face name.
#pragma once

#include <windows.h>
#include <commdlg.h>

// commdlg.h maps ChooseFont to ChooseFontA; the program's own ChooseFont
// below is a different function.
#undef ChooseFont

// The font description and the font last created from it.
extern LOGFONTA g_fontDescription;
extern HFONT g_currentFont;

// Start-up: the system font, then the face name from the settings file.
void SetUpFont(HWND view, const char* settingsPath);
// Makes a new current font from the description and gives it to the editor.
void ApplyFont(HWND view);
// Opens the font dialog on the description; returns the dialog's result.
BOOL ChooseFont(HWND view);
void LoadFontSettings(const char* settingsPath);
void SaveFontSettings(const char* settingsPath);

// The font commands: select, load, save.
void SelectFontCommand(HWND view);
void LoadFontCommand(HWND view, const char* settingsPath);
void SaveFontCommand(const char* settingsPath);

// Deletes the current font, if there is one (at exit). Should the drawing
// surface still hold it, it goes when the surface lets it go.
void DeleteCurrentFont();

// Deletes font unless it is the current font or the drawing surface holds it
// (the editor is always given the current font).
void ReleaseFontIfUnused(HFONT font);

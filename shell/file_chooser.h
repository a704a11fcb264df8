// The one open-file dialog record the program asks for files with, and its
// two presets (text files, sound files).
#pragma once

#include <windows.h>
#include <commdlg.h>

void InitFileChooser(HWND owner);
void UseTextPreset();
void UseSoundPreset();
// Runs the open-file dialog on buffer (kPathMax bytes); nonzero if confirmed.
BOOL ChooseFile(HWND owner, char* buffer);

// The record as it stands (the filter index the user picked last, ...).
const OPENFILENAMEA& FileChooserRecord();

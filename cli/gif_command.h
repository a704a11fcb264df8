// zoetrix-cli gif: the animation as an animated GIF, drawn as the program's
// frame view draws it (with GDI in the Windows build, with FreeType where
// GDI would draw on Linux).
#pragma once

#include <string>

#include "animation.h"

// Runs "zoetrix-cli gif ..."; argv[1] is "gif". Returns the exit status.
int RunGifCommand(int argc, char** argv);

// Shared with the other commands (cli/main.cpp).
std::string FontSettingsBesideProgram();
bool HasFrameFiles(const char* base);
// The base path of the animation file named on the command line, into
// base; false when it, or a frame file's name made from it, does not fit.
bool AnimationBase(const char* animation, char (&base)[kPathMax]);

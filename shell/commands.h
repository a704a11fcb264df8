// Every user action as a numbered command, and playback pacing.
#pragma once

#include <windows.h>

#include "animation.h"

// Performs the command's operation; unknown and disabled numbers do nothing.
void DispatchCommand(WORD command);

// The playback timer's tick: the next frame while playing, else the timer stops.
void OnTimerTick();

// The ReportWriteFailure hook: a write that failed, told to the user in a
// message box once the command that made it is done (one box per command).
void ReportWriteFailure(const char* fileName, const char* reason);

// Keeps text as the failure of the command running, unless it has one
// already; the box shows once the command is done.
constexpr size_t kFailureTextSize = 4 * kPathMax + 1024;
void KeepFailure(const char* text);

// The scroll bar's arrows and page areas step through the frames.
void OnScroll(WORD code);

void StartPlayback();
void StopPlayback();
void SetSpeed(int milliseconds);

// Playback timer on the main window.
constexpr UINT_PTR kPlaybackTimer = 1;

// Every user action as a numbered command, and playback pacing.
#pragma once

#include <windows.h>

// Performs the command's operation; unknown and disabled numbers do nothing.
void DispatchCommand(WORD command);

// The playback timer's tick: the next frame while playing, else the timer stops.
void OnTimerTick();

// The ReportWriteFailure hook: a write that failed, told to the user in a
// message box once the command that made it is done (one box per command).
void ReportWriteFailure(const char* fileName, const char* reason);

// The scroll bar's arrows and page areas step through the frames.
void OnScroll(WORD code);

void StartPlayback();
void StopPlayback();
void SetSpeed(int milliseconds);

// Playback timer on the main window.
constexpr UINT_PTR kPlaybackTimer = 1;

// Every user action as a numbered command, and playback pacing.
#pragma once

#include <windows.h>

// Performs the command's operation; unknown and disabled numbers do nothing.
void DispatchCommand(WORD command);

// The playback timer's tick: the next frame while playing, else the timer stops.
void OnTimerTick();

// The scroll bar's arrows and page areas step through the frames.
void OnScroll(WORD code);

void StartPlayback();
void StopPlayback();
void SetSpeed(int milliseconds);

// Playback timer on the main window.
constexpr UINT_PTR kPlaybackTimer = 1;

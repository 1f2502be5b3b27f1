// The time-up actions and the player of the alarm sound.
#pragma once

#include <windows.h>

#include <cstdint>

// The media-control window playing the current non-WAV alarm sound (null: none), and the end
// position it reported when opened.
extern HWND SoundPlayerWindow;
extern uint32_t SoundEndPosition;

// Sets AlarmSoundPath from AlarmPath before a time-up's action.
void PrepareAlarmSound();
// Carries out AlarmAction on `path`.
void PerformAlarmAction(const char* path);
// Closes the sound player, if any.
void StopSoundPlayer();

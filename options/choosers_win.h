// The system's choosers as the options pages use them.
#pragma once

#include <windows.h>

#include <cstdint>

// The alarm file chooser's filter list: audio files, programs, everything.
extern const char AlarmFileFilter[];

// A folder for Random Sound File; 1 with its path in `path`, 0 when cancelled (unchanged).
uint32_t ChooseAlarmFolder(HWND owner, char (&path)[600]);
// An alarm file, starting at the file in `path` or, when that cannot be opened, at the
// documents folder. Non-zero with the full path in `path`; 0 when cancelled.
uint32_t ChooseAlarmFile(HWND owner, char (&path)[600], const char* filter, HINSTANCE instance);
// The time's font; 1 when one was chosen (the four font settings then hold it), else 0.
uint32_t ChooseTimeFont(HWND owner, char (&face)[600], uint32_t& size, uint32_t textColour,
                        uint32_t& weight, uint32_t& italic, HINSTANCE instance);
// A colour for `colour`, offering the settings' custom colours; whether one was chosen.
bool ChooseColour(HWND owner, uint32_t& colour, HINSTANCE instance);

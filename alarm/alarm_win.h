// The time-up actions and the player of the alarm sound.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// The media-control window playing the current non-WAV alarm sound (null: none), and the end
// position it reported when opened. Only the window's thread writes them, and it makes a new
// player known only once it plays, its end first: the counting thread that reads them never
// sees a player that has not begun, which would look finished.
extern std::atomic<HWND> SoundPlayerWindow;
extern std::atomic<uint32_t> SoundEndPosition;

// Sets AlarmSoundPath from AlarmPath before a time-up's action; for the random action it then
// holds a file chosen from that folder.
void PrepareAlarmSound();
// AlarmSoundPath is shared by the counting thread and the window's thread: it is written and
// read under the count lock, and the slow work (the random choice, playing) is done on a copy.
void SetAlarmSoundPath(const char* path);
void CopyAlarmSoundPath(char (&path)[600]);
// Carries out AlarmAction on `path`; values outside the list do nothing.
void PerformAlarmAction(const char* path);
// The sound player, if it has played its sound to the end; else null. Any thread.
HWND FinishedSoundPlayer();
// Closes the sound player, if any.
void StopSoundPlayer();
// Closes `player` if it is still the sound player: a stop request that names a player since
// replaced leaves the new sound alone.
void StopSoundPlayerIfCurrent(HWND player);

// `path` holds a folder; on success it holds a random sound file of it, else the folder.
void PickRandomSound(char (&path)[600]);
// One random file of the folder in `path` matching `pattern` ("\*.wav" ...): the number of
// names listed, 0 when none could be had; on success `path` holds the file's full path.
uint32_t PickRandomFile(char (&path)[600], const char* pattern);
// A whole number from 1 to n.
uint32_t RandomNumber(uint32_t n);

// The default beep; tests put a recorder in its place.
extern BOOL(WINAPI* MessageBeepProc)(UINT type);

// The last step of a shutdown or restart. Tests replace it: no test may end the session.
extern BOOL(WINAPI* ExitWindowsProc)(UINT flags, DWORD reason);

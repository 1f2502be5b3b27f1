#include <windows.h>

#include "alarm/alarm_win.h"
#include "data/settings.h"
#include "text/text.h"

HWND SoundPlayerWindow;
uint32_t SoundEndPosition;

void PrepareAlarmSound()
{
    CopyText(Settings.AlarmPath, Settings.AlarmSoundPath);
}

// For now the default beep is the one action carried out; sounds, files and shutdown come
// with the alarm actions.
void PerformAlarmAction(const char*)
{
    if (Settings.AlarmAction == 1) MessageBeep(0);
}

void StopSoundPlayer()
{
    if (SoundPlayerWindow != nullptr) SendMessageA(SoundPlayerWindow, WM_CLOSE, 0, 0);
    SoundEndPosition = 0;
    SoundPlayerWindow = nullptr;
}

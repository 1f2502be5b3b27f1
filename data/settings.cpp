#include "data/settings.h"

#include "text/text.h"

SettingsRecord Settings;

void ApplyDefaultFields(SettingsRecord& r, const char* timeUpText, const char* headerText)
{
    r.RememberTimes = 1;
    r.AlarmAction = 1;
    r.RepeatSound = 0;
    r.DaysMode = 1;
    r.OnTopTimer = 0;
    r.FlashDisplay = 1;
    r.MinimiseToTray = 0;
    r.HideButtons = 0;
    r.SelectedTime = 0;
    r.CountDirection = 0;
    r.CountUntil = 1;
    r.RememberPosition = 1;
    CopyText(timeUpText, r.TimeUpText);
    CopyText(headerText, r.HeaderText);
    r.TwoClickQuickSet = 1;
    r.AutoStartQuickSet = 1;
    r.AutoReset = 0;
    r.AutoMinimise = 0;
    r.ShowTimeUpWindow = 1;
    r.OnTopAlarm = 1;
    r.Mute = 0;
    r.SecondsMode = 2;
    r.UpdateFrequency = 50;
    r.PresetTimes[0] = 300000;
    r.PresetTimes[1] = 16200000;
    r.PresetTimes[2] = 1089785800;
    r.WaitMode = 0;
    r.ThenAction = 0;
    r.ShowTimeUpText = 0;
    r.ShowHeader = 0;
    r.Transparent = 0;
    r.Opacity = 65;
    r.RepeatInterval = 1500;
    CopyText("Arial", r.FontFace);
    r.FontSize = 100;
    r.TextColour = 0x00FFFFFF;
    r.BackColour = 0x00000000;
    r.SetTime = 300000;
    r.ScalingMethod = 0;
    r.AutoFrequency = 1;
    r.BigText = 0;
    r.RevRev = 0;
    r.FontWeight = 400;
    r.FontItalic = 0;
}

#include "data/settings.h"

#include <cstring>

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
    r.AllowSleep = 0;
    for (uint32_t& key : r.HotKeys)
        key = 0;
    r.AutoFrequency = 1;
    r.BigText = 0;
    r.RevRev = 0;
    r.FontWeight = 400;
    r.FontItalic = 0;
    r.WarnBefore = 0;
    r.WarnColour = 0;
    r.WarnQuiet = 0;
    r.AddStep = 0;
    r.ForgetCount = 0;
}

namespace
{

const char SettingsPrefix[5] = {'M', 'I', 'V', 'O', '1'};
const char SettingsVersion[3] = {'2', '1', '0'};

} // namespace

uint32_t CheckSettingsMagic(const uint8_t* head, uint32_t available)
{
    uint8_t magic[SettingsMagicSize] = {};
    for (uint32_t i = 0; i < available && i < SettingsMagicSize; ++i)
        magic[i] = head[i];
    for (uint32_t i = 0; i < 5; ++i)
        if (magic[i] != static_cast<uint8_t>(SettingsPrefix[i])) return SettingsForeign;
    if (magic[5] == SettingsVersion[0] && magic[6] == SettingsVersion[1] &&
        magic[7] == SettingsVersion[2])
        return SettingsCurrentVersion;
    const char version[4] = {static_cast<char>(magic[5]), static_cast<char>(magic[6]),
                             static_cast<char>(magic[7]), 0};
    return static_cast<uint32_t>(ParseDecimal(version));
}

SettingsLoadStep SettingsStepFor(uint32_t version)
{
    if (version == SettingsForeign) return SettingsLoadStep::Defaults;
    if (version == 110) return SettingsLoadStep::ResetTexts;
    if (version < 100) return SettingsLoadStep::DefaultsOverBody;
    return SettingsLoadStep::Keep;
}

void ApplySettingsBody(SettingsRecord& record, const uint8_t* body, uint32_t count)
{
    if (count > sizeof record) count = sizeof record;
    std::memcpy(&record, body, count);
}

void BuildSettingsImage(const SettingsRecord& record, uint8_t (&image)[SettingsFileSize])
{
    std::memcpy(image, SettingsPrefix, 5);
    std::memcpy(image + 5, SettingsVersion, 3);
    std::memcpy(image + SettingsMagicSize, &record, sizeof record);
}

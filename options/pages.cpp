#include "options/pages.h"

#include "app/count.h"
#include "data/settings.h"

const ControlString ControlTextTable[] = {
    {131, 5004},          {130, 5003}, {66, 1029},  {126, 5000}, {127, 5001}, {128, 5002},
    {83, 1058},           {83, 1059},  {83, 1060},  {105, 1051}, {106, 1052}, {107, 1053},
    {108, 1054},          {109, 1055}, {110, 1056}, {111, 1057}, {68, 1001},  {69, 1002},
    {70, 1003},           {71, 1004},  {72, 1005},  {73, 1006},  {74, 1007},  {75, 1008},
    {76, 1009},           {77, 1010},  {78, 1011},  {79, 1012},  {80, 1013},  {82, 1015},
    {83, 1016},           {84, 1017},  {85, 1018},  {86, 1019},  {87, 1037},  {88, 1038},
    {89, 1039},           {90, 1040},  {91, 1041},  {92, 1042},  {93, 1043},  {94, 1044},
    {95, 1045},           {96, 1046},  {97, 1047},  {98, 1048},  {10, 1049},  {100, 1050},
    {ControlTableEnd, 0},
};

const ControlString ControlTipTable[] = {
    {133, 5004}, {132, 5003}, {129, 5002}, {34, 9},     {120, 1063}, {113, 1057},
    {114, 1058}, {115, 1059}, {116, 1060}, {117, 1061}, {118, 1062}, {40, 1001},
    {41, 1002},  {42, 1003},  {43, 1004},  {44, 1005},  {45, 1006},  {46, 1007},
    {47, 1008},  {48, 1009},  {49, 1010},  {50, 1011},  {51, 1012},  {52, 1013},
    {54, 1015},  {55, 1016},  {56, 1017},  {57, 1018},  {58, 4004},  {59, 4005},
    {60, 4006},  {61, 4007},  {62, 4008},  {63, 4009},  {64, 4010},  {65, 4011},
    {66, 4012},  {67, 4013},  {96, 3000},  {96, 3001},  {96, 3002},  {97, 3003},
    {97, 3004},  {97, 3005},  {98, 3006},  {98, 3007},  {98, 3008},  {10, 3009},
    {10, 3010},  {10, 3011},  {11, 3012},  {11, 3013},  {11, 3014},  {ControlTableEnd, 0},
};

const ListContents ListTable[ListCount] = {
    {4004, 2, {16, 17}},
    {4013, 2, {15, 18}},
    {4010, 4, {1, 19, 20, 21}},
    {4005, 2, {22, 23}},
    {4007, 7, {24, 25, 26, 104, 27, 28, 29}},
    {1063, 2, {121, 123}},
};

// The Warn and Add rows' spinners (3060 on, the last six) run as the presets' of the same field.
const SpinnerRange SpinnerRanges[SpinnerRangeCount] = {
    {3030, 3032, 32},   {3033, 3041, 99},    {3044, 3046, 1535}, {3043, 3043, 1000},
    {1020, 1020, 100},  {1028, 1028, 32767}, {3060, 3060, 32},   {3061, 3063, 99},
    {3064, 3064, 1535}, {3065, 3065, 32},    {3066, 3068, 99},   {3069, 3069, 1535},
};

const ControlSetting CheckBoxSettings[CheckBoxCount] = {
    {1001, &SettingsRecord::TwoClickQuickSet}, {1002, &SettingsRecord::AutoStartQuickSet},
    {1003, &SettingsRecord::AutoMinimise},     {1005, &SettingsRecord::FlashDisplay},
    {1006, &SettingsRecord::HideButtons},      {1007, &SettingsRecord::RememberPosition},
    {1009, &SettingsRecord::OnTopTimer},       {1010, &SettingsRecord::RememberTimes},
    {1011, &SettingsRecord::AutoReset},        {1012, &SettingsRecord::RepeatSound},
    {1004, &SettingsRecord::ShowTimeUpText},   {1008, &SettingsRecord::ShowHeader},
    {1013, &SettingsRecord::OnTopAlarm},       {1017, &SettingsRecord::ShowTimeUpWindow},
    {1018, &SettingsRecord::MinimiseToTray},   {5002, &SettingsRecord::AutoFrequency},
    {5003, &SettingsRecord::BigText},          {5004, &SettingsRecord::RevRev},
};

const ControlSetting InvertedBoxSettings[InvertedBoxCount] = {
    {5005, &SettingsRecord::AllowSleep},  // Stay awake while counting
    {5012, &SettingsRecord::WarnQuiet},   // Sound at the warning
    {5014, &SettingsRecord::ForgetCount}, // Resume the count after a restart
};

namespace
{
// Pointers, not arrays: each text is then stored once, without an array's alignment.
constexpr const char* WarnTip = "How long before the end the warning comes; empty for none";
constexpr const char* AddTip = "How much time Add Time gives the count";
} // namespace

const ControlTip FixedTipTable[] = {
    {5005, "Keep the computer awake while a count can end"},
    {3050, WarnTip},
    {3051, WarnTip},
    {3052, WarnTip},
    {3053, WarnTip},
    {3054, WarnTip},
    {3055, AddTip},
    {3056, AddTip},
    {3057, AddTip},
    {3058, AddTip},
    {3059, AddTip},
    {5012, "Play a short sound when the warning comes"},
    {5013, "Choose the colour the count takes for the warning"},
    {5014, "Keep the count when Mivo ends, and go on with it at the next start"},
    {6020, "The key that starts or stops the count from any program"},
    {6021, "The key that resets the count from any program"},
    {6022, "The key that opens QuickSet at the pointer from any program"},
    {6023, "The key that brings Mivo to the front, or sends it away"},
    {6024, "The key that gives the count more time from any program"},
    {6030, "No key for Start/Stop"},
    {6031, "No key for Reset"},
    {6032, "No key for QuickSet"},
    {6033, "No key for Show/Hide"},
    {6034, "No key for Add Time"},
    {ControlTableEnd, nullptr},
};

const ControlSetting ListSettings[ListSettingCount] = {
    {4004, &SettingsRecord::CountDirection}, {4013, &SettingsRecord::CountUntil},
    {4010, &SettingsRecord::ThenAction},     {4005, &SettingsRecord::WaitMode},
    {4007, &SettingsRecord::AlarmAction},    {1063, &SettingsRecord::ScalingMethod},
};

PageEnables ApplyEnableRules(SettingsRecord& settings)
{
    PageEnables enables;
    const uint32_t action = settings.AlarmAction;
    enables.AutoStartQuickSet = settings.TwoClickQuickSet != 0;
    enables.CountUntil = settings.CountDirection == 0;
    enables.ThenAndWait = !(settings.CountDirection == 0 && settings.CountUntil == 1);
    enables.AlarmFile = action >= 2 && action <= 4;
    enables.RepeatSound = action >= 1 && action <= 3;
    enables.Test = action >= 1 && action <= 4;
    enables.HeaderText = settings.ShowHeader != 0;
    enables.UpdateFrequency = settings.AutoFrequency == 0;
    enables.ShowTimeUpWindow = settings.WaitMode != 1;
    if (settings.WaitMode == 1) settings.ShowTimeUpWindow = 1;
    return enables;
}

void SplitTimeFields(uint32_t milliseconds, uint32_t (&parts)[TimeFieldCount])
{
    parts[0] = milliseconds / 86400000u;
    milliseconds %= 86400000u;
    parts[1] = milliseconds / 3600000u;
    milliseconds %= 3600000u;
    parts[2] = milliseconds / 60000u;
    milliseconds %= 60000u;
    parts[3] = milliseconds / 1000u;
    parts[4] = milliseconds % 1000u;
}

uint32_t JoinTimeFields(const uint32_t (&parts)[TimeFieldCount])
{
    return ConvertToMilliseconds(parts[0], parts[1], parts[2], parts[3], parts[4]);
}

uint32_t JoinOptionalTimeFields(const uint32_t (&parts)[TimeFieldCount])
{
    for (uint32_t part : parts)
        if (part != 0) return JoinTimeFields(parts);
    return 0;
}

void FormatFieldNumber(uint32_t value, bool emptyForZero, char (&dest)[16])
{
    char digits[16];
    uint32_t count = 0;
    do
    {
        digits[count++] = static_cast<char>('0' + value % 10u);
        value /= 10u;
    } while (value != 0);
    if (emptyForZero && count == 1 && digits[0] == '0') count = 0;
    for (uint32_t i = 0; i < count; ++i)
        dest[i] = digits[count - 1 - i];
    dest[count] = '\0';
}

uint32_t OpacityPercent(uint32_t opacity)
{
    return 100u - opacity * 100u / 255u;
}

uint32_t OpacityFromPercent(uint32_t percent)
{
    if (percent > 99) return 5;
    if (percent == 0) return 255;
    return (101u - percent) * 255u / 100u;
}

uint32_t RepeatIntervalFrom(uint32_t typed)
{
    return typed < 100 ? 100 : typed;
}

uint32_t ListChoice(uint32_t control, int32_t selection, uint32_t previous)
{
    uint32_t count = 0;
    for (const ListContents& list : ListTable)
        if (list.Control == control) count = list.Count;
    if (selection >= 0 && static_cast<uint32_t>(selection) < count)
        return static_cast<uint32_t>(selection);
    return previous < count ? previous : 0;
}

uint32_t FontSizeFromHeight(int32_t height)
{
    return static_cast<uint32_t>(~height);
}

// The settings record: one 3000-byte block whose bytes are also the body of the settings file
// "dMivo.dat". Every Part reads and writes its fields by name.
#pragma once

#include <cstddef>
#include <cstdint>

// The Win32 WINDOWPLACEMENT, described portably (44 bytes, little-endian words).
struct PlacementRecord
{
    uint32_t length;
    uint32_t flags;
    uint32_t showCmd;
    int32_t minX, minY;
    int32_t maxX, maxY;
    int32_t normalLeft, normalTop, normalRight, normalBottom;
};
static_assert(sizeof(PlacementRecord) == 44, "WINDOWPLACEMENT is 44 bytes");

struct SettingsRecord
{
    uint32_t RememberTimes;
    uint32_t
        AlarmAction; // 0 none, 1 beep, 2 sound file, 3 random sound, 4 run, 5 shutdown, 6 restart
    uint32_t RepeatSound;
    uint32_t DaysMode; // 0 No Days, 1 If Big, 2 Always
    uint32_t OnTopTimer;
    uint32_t FlashDisplay;
    uint32_t MinimiseToTray;
    uint32_t HideButtons;
    char AlarmPath[600];
    uint32_t SelectedTime;   // 0..2 select a preset; any other value is itself a time in ms
    uint32_t CountDirection; // 0 Up, 1 Down
    uint32_t CountUntil;     // 0 Set Time, 1 Infinite
    uint32_t RememberPosition;
    char TimeUpText[300];
    char HeaderText[300];
    uint32_t TwoClickQuickSet;
    uint32_t AutoStartQuickSet;
    uint32_t AutoReset; // 99 while a QuickSet auto start is pending
    uint32_t AutoMinimise;
    uint32_t ShowTimeUpWindow;
    uint32_t OnTopAlarm;
    uint32_t Mute;
    uint32_t SecondsMode; // 0 none, 1 seconds, 2 deci, 3 centi, 4 milli
    PlacementRecord WindowPlacement;
    uint32_t UpdateFrequency;
    uint32_t PresetTimes[3];
    uint32_t WaitMode;   // 0 At time end, 1 When button pressed
    uint32_t ThenAction; // 0 Stop, 1 Reverse, 2 Repeat, 3 Next Time
    uint32_t ShowTimeUpText;
    uint32_t ShowHeader;
    uint32_t Transparent;
    uint32_t Opacity; // alpha 5..255
    uint32_t RepeatInterval;
    char FontFace[600];
    uint32_t FontSize;
    uint32_t TextColour; // COLORREF 0x00BBGGRR
    uint32_t BackColour;
    uint32_t CustomColours[16];
    uint32_t SetTime;
    uint32_t ScalingMethod; // 0 Auto Scale, 1 Use Font Size
    uint32_t AllowSleep;    // 0 (every older file) keeps the computer awake while a count can end
    uint32_t AutoFrequency;
    uint32_t BigText;
    uint32_t RevRev;
    uint32_t FontWeight;
    uint32_t FontItalic;
    uint32_t HotKeys[5]; // the keys from anywhere (app/hotkeys.h): 0 (every older file) none
    // Run-time fields: stored with the rest, but set by their owners before they are read.
    uint32_t ThreadWord;
    char AlarmSoundPath[600];
    uint32_t AlarmCycleActive;
    uint32_t LayeredAvailable;
    // The last stretch and added time (app/count.h); the zeros every older file holds mean no
    // warning, the built-in warning colour, the short sound, and a minute's step.
    uint32_t WarnBefore; // ms before the end; 0 no warning
    uint32_t WarnColour; // 0 orange RGB(255, 128, 0); a chosen colour is its COLORREF | 1 << 24
    uint32_t WarnQuiet;  // 1 no sound at the crossing
    uint32_t AddStep;    // ms that Add Time adds; 0 a minute
    // The count kept between runs (app/keep.h: tag, check word, flags, target, the count and
    // the moment it was kept); all zero, as in every older file, keeps none.
    uint8_t KeptBytes[32];
    uint32_t ForgetCount; // 1 keeps no count and resumes none; 0 (every older file) resumes
    uint8_t Reserved2760[240];
};

static_assert(sizeof(SettingsRecord) == 3000, "the settings record is 3000 bytes");
static_assert(offsetof(SettingsRecord, RememberTimes) == 0);
static_assert(offsetof(SettingsRecord, AlarmAction) == 4);
static_assert(offsetof(SettingsRecord, RepeatSound) == 8);
static_assert(offsetof(SettingsRecord, DaysMode) == 12);
static_assert(offsetof(SettingsRecord, OnTopTimer) == 16);
static_assert(offsetof(SettingsRecord, FlashDisplay) == 20);
static_assert(offsetof(SettingsRecord, MinimiseToTray) == 24);
static_assert(offsetof(SettingsRecord, HideButtons) == 28);
static_assert(offsetof(SettingsRecord, AlarmPath) == 32);
static_assert(offsetof(SettingsRecord, SelectedTime) == 632);
static_assert(offsetof(SettingsRecord, CountDirection) == 636);
static_assert(offsetof(SettingsRecord, CountUntil) == 640);
static_assert(offsetof(SettingsRecord, RememberPosition) == 644);
static_assert(offsetof(SettingsRecord, TimeUpText) == 648);
static_assert(offsetof(SettingsRecord, HeaderText) == 948);
static_assert(offsetof(SettingsRecord, TwoClickQuickSet) == 1248);
static_assert(offsetof(SettingsRecord, AutoStartQuickSet) == 1252);
static_assert(offsetof(SettingsRecord, AutoReset) == 1256);
static_assert(offsetof(SettingsRecord, AutoMinimise) == 1260);
static_assert(offsetof(SettingsRecord, ShowTimeUpWindow) == 1264);
static_assert(offsetof(SettingsRecord, OnTopAlarm) == 1268);
static_assert(offsetof(SettingsRecord, Mute) == 1272);
static_assert(offsetof(SettingsRecord, SecondsMode) == 1276);
static_assert(offsetof(SettingsRecord, WindowPlacement) == 1280);
static_assert(offsetof(SettingsRecord, UpdateFrequency) == 1324);
static_assert(offsetof(SettingsRecord, PresetTimes) == 1328);
static_assert(offsetof(SettingsRecord, WaitMode) == 1340);
static_assert(offsetof(SettingsRecord, ThenAction) == 1344);
static_assert(offsetof(SettingsRecord, ShowTimeUpText) == 1348);
static_assert(offsetof(SettingsRecord, ShowHeader) == 1352);
static_assert(offsetof(SettingsRecord, Transparent) == 1356);
static_assert(offsetof(SettingsRecord, Opacity) == 1360);
static_assert(offsetof(SettingsRecord, RepeatInterval) == 1364);
static_assert(offsetof(SettingsRecord, FontFace) == 1368);
static_assert(offsetof(SettingsRecord, FontSize) == 1968);
static_assert(offsetof(SettingsRecord, TextColour) == 1972);
static_assert(offsetof(SettingsRecord, BackColour) == 1976);
static_assert(offsetof(SettingsRecord, CustomColours) == 1980);
static_assert(offsetof(SettingsRecord, SetTime) == 2044);
static_assert(offsetof(SettingsRecord, ScalingMethod) == 2048);
static_assert(offsetof(SettingsRecord, AllowSleep) == 2052);
static_assert(offsetof(SettingsRecord, AutoFrequency) == 2056);
static_assert(offsetof(SettingsRecord, BigText) == 2060);
static_assert(offsetof(SettingsRecord, RevRev) == 2064);
static_assert(offsetof(SettingsRecord, FontWeight) == 2068);
static_assert(offsetof(SettingsRecord, FontItalic) == 2072);
static_assert(offsetof(SettingsRecord, HotKeys) == 2076);
static_assert(offsetof(SettingsRecord, ThreadWord) == 2096);
static_assert(offsetof(SettingsRecord, AlarmSoundPath) == 2100);
static_assert(offsetof(SettingsRecord, AlarmCycleActive) == 2700);
static_assert(offsetof(SettingsRecord, LayeredAvailable) == 2704);
static_assert(offsetof(SettingsRecord, WarnBefore) == 2708);
static_assert(offsetof(SettingsRecord, WarnColour) == 2712);
static_assert(offsetof(SettingsRecord, WarnQuiet) == 2716);
static_assert(offsetof(SettingsRecord, AddStep) == 2720);
static_assert(offsetof(SettingsRecord, KeptBytes) == 2724);
static_assert(offsetof(SettingsRecord, ForgetCount) == 2756);
static_assert(offsetof(SettingsRecord, Reserved2760) == 2760);

// The warning colour as a COLORREF (0x00BBGGRR) from WarnColour, and WarnColour for a chosen
// COLORREF: 0 stands for the built-in orange, so a chosen colour carries bit 24.
constexpr uint32_t BuiltInWarnColour = 0x000080FF; // RGB(255, 128, 0)
constexpr uint32_t WarnColourChosen = 1u << 24;
constexpr uint32_t WarnColourRef(uint32_t stored)
{
    return (stored & WarnColourChosen) != 0 ? stored & 0x00FFFFFF : BuiltInWarnColour;
}
constexpr uint32_t StoredWarnColour(uint32_t colour)
{
    return (colour & 0x00FFFFFF) | WarnColourChosen;
}

// The one settings record of the process; all zero until loaded.
extern SettingsRecord Settings;

// Sets every field that has a default; `timeUpText` and `headerText` are the texts of
// UI strings 13 and 30 at that moment. Leaves AlarmPath, WindowPlacement, CustomColours,
// the reserved bytes and the run-time fields alone.
void ApplyDefaultFields(SettingsRecord& record, const char* timeUpText, const char* headerText);

// The settings file: the 8 bytes "MIVO1210", then the record's 3000 bytes.
constexpr uint32_t SettingsMagicSize = 8;
constexpr uint32_t SettingsFileSize = SettingsMagicSize + sizeof(SettingsRecord);

enum : uint32_t
{
    SettingsCurrentVersion = 1000, // "MIVO1210"
    SettingsForeign = 1001,        // not "MIVO1": the body is not read
};

// The version code of a file that begins with `head` (`available` bytes, fewer than 8 for a
// short file; missing bytes count as zero bytes): SettingsForeign, SettingsCurrentVersion, or
// the number its three version characters parse to.
uint32_t CheckSettingsMagic(const uint8_t* head, uint32_t available);

// What loading does with the record after its body was read.
enum class SettingsLoadStep : uint32_t
{
    Defaults,         // foreign file: defaults, the body is not read
    Keep,             // use the record as read
    ResetTexts,       // version 110: font weight and italic, and the strings file, reset
    DefaultsOverBody, // versions below 100: defaults over what was read
};

SettingsLoadStep SettingsStepFor(uint32_t version);

// Copies up to the record's size from a file body of `count` bytes; a short body fills only
// the front of the record.
void ApplySettingsBody(SettingsRecord& record, const uint8_t* body, uint32_t count);

// The whole file image of `record`.
void BuildSettingsImage(const SettingsRecord& record, uint8_t (&image)[SettingsFileSize]);

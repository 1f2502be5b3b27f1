// The options pages as data: which UI string captions or explains which control, the lists and
// spinners, which control shows which setting, and the rules that enable controls. The shell
// applies these to whichever page is open; an id the page does not hold is skipped there.
#pragma once

#include <cstdint>

struct SettingsRecord;

// A UI string and the control it labels or explains, in 16 bits each (the tables are long); the
// tables end at index 9999.
struct ControlString
{
    uint16_t UiString;
    uint16_t Control;
};
constexpr uint32_t ControlTableEnd = 9999;
extern const ControlString ControlTextTable[];
extern const ControlString ControlTipTable[];

// A drop-down list and its entries: entry i (inserted at position i, so that the position is
// the stored value) shows UI string Entries[i].
struct ListContents
{
    uint32_t Control;
    uint32_t Count;
    uint32_t Entries[7];
};
constexpr uint32_t ListCount = 6;
extern const ListContents ListTable[ListCount];

// Spinners First..Last run from 0 to Upper (ids and ranges all fit 16 bits, which halves the
// table).
struct SpinnerRange
{
    uint16_t First;
    uint16_t Last;
    uint16_t Upper;
};
constexpr uint32_t SpinnerRangeCount = 12;
extern const SpinnerRange SpinnerRanges[SpinnerRangeCount];

// A check box or list and the setting it shows, in the order the pages are loaded; leaving a
// page writes every box it holds back the same way.
struct ControlSetting
{
    uint32_t Control;
    uint32_t SettingsRecord::*Setting;
};
constexpr uint32_t CheckBoxCount = 18;
extern const ControlSetting CheckBoxSettings[CheckBoxCount];
constexpr uint32_t ListSettingCount = 6;
extern const ControlSetting ListSettings[ListSettingCount];

// Check boxes that show their setting the other way round: ticked while it is 0. Loaded and
// written with the others.
constexpr uint32_t InvertedBoxCount = 3;
extern const ControlSetting InvertedBoxSettings[InvertedBoxCount];

// Tooltips that are fixed program texts rather than UI strings (the strings file keeps its
// number of entries); the table ends at ControlTableEnd.
struct ControlTip
{
    uint32_t Control;
    const char* Text;
};
extern const ControlTip FixedTipTable[];

// Which dependent controls are enabled for the settings of the moment.
struct PageEnables
{
    bool AutoStartQuickSet; // 1002
    bool CountUntil;        // 4013
    bool ThenAndWait;       // 4005, 4010
    bool AlarmFile;         // 4008, 1016
    bool RepeatSound;       // 1012, 1061
    bool Test;              // 1015
    bool HeaderText;        // 4009
    bool UpdateFrequency;   // 4011
    bool ShowTimeUpWindow;  // 1017
};

// The enable rules. Waiting for the button needs the time-up window: with WaitMode 1 this sets
// ShowTimeUpWindow, which the page then shows checked and disabled.
PageEnables ApplyEnableRules(SettingsRecord& settings);

// The five fields of a time: days, hours, minutes, seconds, milliseconds.
constexpr uint32_t TimeFieldCount = 5;
void SplitTimeFields(uint32_t milliseconds, uint32_t (&parts)[TimeFieldCount]);
// The fields back to milliseconds, normalised and clamped the way a typed set time is.
uint32_t JoinTimeFields(const uint32_t (&parts)[TimeFieldCount]);
// The same for a time that may be none (the warning, the step of Add Time): fields all empty or
// 0 are 0, not the shortest count.
uint32_t JoinOptionalTimeFields(const uint32_t (&parts)[TimeFieldCount]);

// The text a number field shows: the unsigned number, or nothing for 0 when `emptyForZero`.
void FormatFieldNumber(uint32_t value, bool emptyForZero, char (&dest)[16]);

// Transparency in per cent as the View page shows it, from the alpha Opacity (5..255).
uint32_t OpacityPercent(uint32_t opacity);
// The alpha for a typed per cent: 0 is opaque (255), 100 and more the most transparent (5).
uint32_t OpacityFromPercent(uint32_t percent);

// The sound repetition interval for a typed number: no less than 100 ms.
uint32_t RepeatIntervalFrom(uint32_t typed);

// The setting a list stores for its selection. A list shows no selection (-1) when its
// setting lies outside its entries, as from a damaged settings file; it then keeps the setting
// when that is one of its entries, else takes its first entry: a stray value never becomes
// another action.
uint32_t ListChoice(uint32_t control, int32_t selection, uint32_t previous);

// The font size the View page keeps for the height the font chooser returns (negative: a
// character height), as its bitwise complement.
uint32_t FontSizeFromHeight(int32_t height);

#include <windows.h>

#include <commctrl.h>

#include "app/app_win.h"
#include "app/count.h"
#include "app/counting.h"
#include "app/switches.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/display_win.h"
#include "options/options_win.h"
#include "options/pages.h"
#include "resources/resource.h"

uint32_t OptionsOpen;

namespace
{

void EnableControl(HWND page, int id, bool enabled)
{
    const HWND control = GetDlgItem(page, id);
    if (control != nullptr) EnableWindow(control, enabled ? TRUE : FALSE);
}

// Every check box the page holds back into its setting; the others belong to other pages. The
// boxes are read first, then stored under the count lock in one step: the counting thread reads
// several of them, and the lock's release wakes it for what they change.
void WritePageBoxes(HWND page)
{
    constexpr uint32_t Absent = 2;
    uint32_t states[CheckBoxCount];
    uint32_t inverted[InvertedBoxCount];
    for (uint32_t i = 0; i < CheckBoxCount; ++i)
    {
        const int id = static_cast<int>(CheckBoxSettings[i].Control);
        states[i] = GetDlgItem(page, id) != nullptr ? BoxState(page, id) : Absent;
    }
    for (uint32_t i = 0; i < InvertedBoxCount; ++i)
    {
        const int id = static_cast<int>(InvertedBoxSettings[i].Control);
        inverted[i] = GetDlgItem(page, id) != nullptr ? 1 - BoxState(page, id) : Absent;
    }
    CountLockGuard lock;
    for (uint32_t i = 0; i < CheckBoxCount; ++i)
        if (states[i] != Absent) Settings.*CheckBoxSettings[i].Setting = states[i];
    for (uint32_t i = 0; i < InvertedBoxCount; ++i)
        if (inverted[i] != Absent) Settings.*InvertedBoxSettings[i].Setting = inverted[i];
}

void ShowFieldNumber(HWND page, int id, uint32_t value, bool emptyForZero)
{
    char text[16];
    FormatFieldNumber(value, emptyForZero, text);
    SetDlgItemTextA(page, id, text);
}

} // namespace

void ShowOptions(HWND owner)
{
    OptionsOpen = 1;
    static const struct
    {
        int Dialog;
        DLGPROC Procedure;
    } Pages[5] = {
        {IDD_ACTIONS, ActionsPageProc}, {IDD_TIMES, TimesPageProc}, {IDD_VIEW, ViewPageProc},
        {IDD_MISC, MiscPageProc},       {IDD_KEYS, KeysPageProc},
    };
    HPROPSHEETPAGE handles[5];
    for (int i = 0; i < 5; ++i)
    {
        PROPSHEETPAGEA page = {};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_DEFAULT;
        page.hInstance = Instance;
        page.pszTemplate = MAKEINTRESOURCEA(Pages[i].Dialog);
        page.pfnDlgProc = Pages[i].Procedure;
        handles[i] = CreatePropertySheetPageA(&page);
    }
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_NOAPPLYNOW;
    sheet.hwndParent = owner;
    sheet.hInstance = Instance;
    sheet.pszCaption = ProgramCaption;
    sheet.nPages = 5;
    sheet.nStartPage = 0;
    sheet.phpage = handles;
    PropertySheetA(&sheet);
    StopTestSound();
    // However the sheet closed, the keys work again as they are stored.
    RegisterProgramHotKeys();

    OptionsOpen = 0;
    SaveWithKeptCount();
    InvalidateRect(owner, nullptr, TRUE);
}

void InitPageControls(HWND page)
{
    if (Switches.LockTimeUpText != 0) EnableControl(page, 4006, false);
    for (const ListContents& list : ListTable)
    {
        const HWND control = GetDlgItem(page, static_cast<int>(list.Control));
        if (control == nullptr) continue;
        for (uint32_t i = 0; i < list.Count; ++i)
            SendMessageA(control, CB_INSERTSTRING, i,
                         reinterpret_cast<LPARAM>(UiString(list.Entries[i])));
    }
    for (const SpinnerRange& range : SpinnerRanges)
        for (uint32_t id = range.First; id <= range.Last; ++id)
            SendDlgItemMessageA(page, static_cast<int>(id), UDM_SETRANGE, 0,
                                MAKELPARAM(range.Upper, 0));
    for (const ControlString* text = ControlTextTable; text->UiString != ControlTableEnd; ++text)
        SetDlgItemTextA(page, static_cast<int>(text->Control), UiString(text->UiString));
    for (const ControlString* tip = ControlTipTable; tip->UiString != ControlTableEnd; ++tip)
        AddTooltip(page, TooltipRecord, static_cast<int>(tip->Control), UiString(tip->UiString));
    for (const ControlTip* tip = FixedTipTable; tip->Control != ControlTableEnd; ++tip)
        AddTooltip(page, TooltipRecord, static_cast<int>(tip->Control), tip->Text);
    UpdatePageEnables(page);
}

void LoadPageControls(HWND page)
{
    ShowFieldNumber(page, 1062, OpacityPercent(Settings.Opacity), false);
    ShowFieldNumber(page, 1061, Settings.RepeatInterval, false);
    SetDlgItemTextA(page, 1026, Settings.FontFace);
    SetDlgItemTextA(page, 4006, Settings.TimeUpText);
    SetDlgItemTextA(page, 4009, Settings.HeaderText);
    SetDlgItemTextA(page, 4008, Settings.AlarmPath);
    for (const ControlSetting& box : CheckBoxSettings)
        CheckDlgButton(page, static_cast<int>(box.Control), Settings.*box.Setting);
    for (const ControlSetting& box : InvertedBoxSettings)
        CheckDlgButton(page, static_cast<int>(box.Control),
                       Settings.*box.Setting == 0 ? BST_CHECKED : BST_UNCHECKED);
    for (const ControlSetting& list : ListSettings)
        SendDlgItemMessageA(page, static_cast<int>(list.Control), CB_SETCURSEL,
                            Settings.*list.Setting, 0);
    ShowFieldNumber(page, 4011, Settings.UpdateFrequency, false);
    for (int k = 0; k < 3; ++k)
        ShowTimeFields(page, Settings.PresetTimes[k], 3000 + k, 3);
    ShowTimeFields(page, Settings.WarnBefore, 3050, 1);
    // A stored 0 is a minute's step: the row shows the step Add Time takes.
    ShowTimeFields(page, AddTimeStep(), 3055, 1);
}

void UpdatePageEnables(HWND page)
{
    const PageEnables enables = ApplyEnableRules(Settings);
    EnableControl(page, 1002, enables.AutoStartQuickSet);
    EnableControl(page, 4013, enables.CountUntil);
    EnableControl(page, 4005, enables.ThenAndWait);
    EnableControl(page, 4010, enables.ThenAndWait);
    EnableControl(page, 4008, enables.AlarmFile);
    EnableControl(page, 1016, enables.AlarmFile);
    EnableControl(page, 1012, enables.RepeatSound);
    EnableControl(page, 1061, enables.RepeatSound);
    EnableControl(page, 1015, enables.Test);
    EnableControl(page, 4009, enables.HeaderText);
    EnableControl(page, 4011, enables.UpdateFrequency);
    if (!enables.ShowTimeUpWindow && GetDlgItem(page, 1017) != nullptr)
        CheckDlgButton(page, 1017, BST_CHECKED);
    EnableControl(page, 1017, enables.ShowTimeUpWindow);
}

void ShowTimeFields(HWND page, uint32_t milliseconds, int firstId, int step)
{
    uint32_t parts[TimeFieldCount];
    SplitTimeFields(milliseconds, parts);
    for (uint32_t i = 0; i < TimeFieldCount; ++i)
        ShowFieldNumber(page, firstId + step * static_cast<int>(i), parts[i], true);
}

uint32_t BoxState(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
}

void StoreListChoice(HWND page, uint32_t list)
{
    for (const ControlSetting& entry : ListSettings)
    {
        if (entry.Control != list) continue;
        const auto selection = static_cast<int32_t>(
            SendDlgItemMessageA(page, static_cast<int>(list), CB_GETCURSEL, 0, 0));
        // The direction, the "and then" step and the rest are read by the counting thread.
        CountLockGuard lock;
        Settings.*entry.Setting = ListChoice(list, selection, Settings.*entry.Setting);
        ShowCountNow();
    }
}

bool AnswerPageMessage(HWND page, UINT message, LPARAM lParam, void (*writePage)(HWND),
                       INT_PTR& result)
{
    switch (message)
    {
    case WM_INITDIALOG:
        InitPageControls(page);
        LoadPageControls(page);
        result = TRUE;
        return true;
    case WM_COMMAND: result = TRUE; return true;
    case WM_DESTROY:
        // A tool keyed by a destroyed control's handle would outlive it and could match a
        // later window that reuses the handle.
        for (const ControlString* tip = ControlTipTable; tip->UiString != ControlTableEnd; ++tip)
            RemoveTooltip(page, TooltipRecord, static_cast<int>(tip->Control));
        for (const ControlTip* tip = FixedTipTable; tip->Control != ControlTableEnd; ++tip)
            RemoveTooltip(page, TooltipRecord, static_cast<int>(tip->Control));
        result = FALSE;
        return true;
    case WM_NOTIFY: {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (code == static_cast<UINT>(PSN_SETACTIVE))
        {
            // Settings may have changed on another page (Reset): the values and which
            // controls they enable both.
            LoadPageControls(page);
            UpdatePageEnables(page);
            SetWindowLongA(page, DWL_MSGRESULT, 0);
        }
        else if (code == static_cast<UINT>(PSN_KILLACTIVE))
        {
            WritePageBoxes(page);
            if (writePage != nullptr) writePage(page);
            {
                // What the page changed may change what the running count shows.
                CountLockGuard lock;
                ShowCountNow();
            }
            SetWindowLongA(page, DWL_MSGRESULT, 0);
        }
        result = TRUE;
        return true;
    }
    default: return false;
    }
}

#include <windows.h>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "data/settings.h"
#include "options/chooser.h"
#include "options/choosers_win.h"
#include "options/options_win.h"
#include "options/pages.h"

namespace
{

uint32_t Selection(HWND page, int list, uint32_t previous)
{
    const auto selection =
        static_cast<int32_t>(SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0));
    return ListChoice(static_cast<uint32_t>(list), selection, previous);
}

void SetChooserOpen(uint32_t open)
{
    CountLockGuard lock;
    ChooserOpen = open;
}

// The field changes only when something was chosen; the setting follows when the page is left.
void ChangeAlarmPath(HWND page)
{
    SetChooserOpen(1);
    char path[600];
    GetDlgItemTextA(page, 4008, path, sizeof path);
    const uint32_t chosen = Settings.AlarmAction == 3
                                ? ChooseAlarmFolder(page, path)
                                : ChooseAlarmFile(page, path, AlarmFileFilter, Instance);
    if (chosen != 0) SetDlgItemTextA(page, 4008, path);
    SetChooserOpen(0);
}

// Plays or runs what the field names now, saved or not. Shutdown and restart are never tried.
void TestAlarmAction(HWND page)
{
    GetDlgItemTextA(page, 4008, Settings.AlarmSoundPath, sizeof Settings.AlarmSoundPath);
    if (Settings.AlarmAction >= 5) return;
    if (Settings.AlarmAction == 3) PickRandomSound(Settings.AlarmSoundPath);
    PerformAlarmAction(Settings.AlarmSoundPath);
}

void ActionsPageOnCommand(HWND page, int id)
{
    switch (id)
    {
    case 4004: Settings.CountDirection = Selection(page, 4004, Settings.CountDirection); break;
    case 4005: Settings.WaitMode = Selection(page, 4005, Settings.WaitMode); break;
    case 4013: Settings.CountUntil = Selection(page, 4013, Settings.CountUntil); break;
    case 4007: Settings.AlarmAction = Selection(page, 4007, Settings.AlarmAction); break;
    case 1016: ChangeAlarmPath(page); return;
    case 1015: TestAlarmAction(page); return;
    default: return;
    }
    UpdatePageEnables(page);
}

void WriteActionsPage(HWND page)
{
    Settings.RepeatInterval = RepeatIntervalFrom(GetDlgItemInt(page, 1061, nullptr, FALSE));
    GetDlgItemTextA(page, 4008, Settings.AlarmPath, sizeof Settings.AlarmPath);
    Settings.CountDirection = Selection(page, 4004, Settings.CountDirection);
    Settings.WaitMode = Selection(page, 4005, Settings.WaitMode);
    Settings.AlarmAction = Selection(page, 4007, Settings.AlarmAction);
    Settings.ThenAction = Selection(page, 4010, Settings.ThenAction);
    Settings.CountUntil = Selection(page, 4013, Settings.CountUntil);
    Settings.RepeatSound = BoxState(page, 1012);
    Settings.ShowTimeUpWindow = BoxState(page, 1017);
    // A test sound played through the player stops with the page.
    if (SoundEndPosition != 0) StopSoundPlayer();
}

} // namespace

INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) ActionsPageOnCommand(page, LOWORD(wParam));
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteActionsPage, result);
    return result;
}

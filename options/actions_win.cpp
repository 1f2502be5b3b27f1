#include <windows.h>

#include "alarm/alarm.h"
#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "options/chooser.h"
#include "options/choosers_win.h"
#include "options/options_win.h"
#include "options/pages.h"
#include "text/text.h"

namespace
{

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

// The player a Test started, if any, or whether it played a wave: the sound stops with the
// page and with the window.
HWND TestPlayer;
bool TestWave;

// Plays or runs what the field names now, saved or not. Shutdown and restart are never tried.
void TestAlarmAction(HWND page)
{
    char path[600];
    GetDlgItemTextA(page, 4008, path, sizeof path);
    if (Settings.AlarmAction == 3) PickRandomSound(path);
    SetAlarmSoundPath(path);
    if (Settings.AlarmAction >= 5) return;
    PerformAlarmAction(path);
    TestPlayer = SoundPlayerWindow;
    TestWave = AlarmKindOf(Settings.AlarmAction) == AlarmPlay && IsWaveSound(path);
}

void ActionsPageOnCommand(HWND page, int id)
{
    switch (id)
    {
    case 4004:
    case 4005:
    case 4013:
    case 4007: StoreListChoice(page, static_cast<uint32_t>(id)); break;
    case 1016: ChangeAlarmPath(page); return;
    case 1015: TestAlarmAction(page); return;
    default: return;
    }
    UpdatePageEnables(page);
}

void WriteActionsPage(HWND page)
{
    // The counting thread times the repetitions by the interval: stored under the lock, whose
    // release wakes it for a shorter one at once.
    const uint32_t interval = RepeatIntervalFrom(GetDlgItemInt(page, 1061, nullptr, FALSE));
    char path[sizeof Settings.AlarmPath];
    GetDlgItemTextA(page, 4008, path, sizeof path);
    {
        CountLockGuard lock;
        Settings.RepeatInterval = interval;
        CopyText(path, Settings.AlarmPath);
    }
    static const uint32_t Lists[5] = {4004, 4005, 4007, 4010, 4013};
    for (const uint32_t list : Lists)
        StoreListChoice(page, list);
    StopTestSound();
}

} // namespace

void StopTestSound()
{
    StopSoundPlayerIfCurrent(TestPlayer);
    TestPlayer = nullptr;
    if (TestWave) PlaySoundLate(nullptr, nullptr, 0);
    TestWave = false;
}

INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) ActionsPageOnCommand(page, LOWORD(wParam));
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, WriteActionsPage, result);
    return result;
}

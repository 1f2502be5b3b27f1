#include <windows.h>

#include <commctrl.h>

#include "app/app_win.h"
#include "app/hotkeys.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "options/options_win.h"
#include "options/pages.h"

namespace
{

// The page's controls, one row an action: the hotkey control, its Clear button and the status
// line under it (clear of every id the shared page routines address).
constexpr int KeyFieldBase = 6020;
constexpr int ClearBase = 6030;
constexpr int StatusBase = 6040;

// The keys as the page edits them, stored only by OK; the stored ones they began from, and the
// Reset count then, so that a Reset on another page meanwhile wins over every edit before it.
uint32_t Edited[HotKeyCount];
uint32_t Began[HotKeyCount];
uint32_t BeganAtReset;
// Why a stored key was taken as none (a damaged word, a refused key, another action's key):
// the status line says so until the field changes.
char TakenAsNone[HotKeyCount][64];

bool StoredChanged()
{
    if (SettingsResets != BeganAtReset) return true;
    for (uint32_t action = 0; action < HotKeyCount; ++action)
        if (Settings.HotKeys[action] != Began[action]) return true;
    return false;
}

// "Already used for Reset", or the reason a key is refused.
void RefusalText(uint32_t verdict, uint32_t holder, char (&text)[64])
{
    if (holder != HotKeyCount)
    {
        lstrcpyA(text, "Already used for ");
        lstrcatA(text, HotKeyActionName(holder));
    }
    else
        lstrcpyA(text, HotKeyRefusal(verdict));
}

// Only what can work is shown as a key, and OK stores none for the rest.
void TakeStored()
{
    BeganAtReset = SettingsResets;
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        Began[action] = Settings.HotKeys[action];
        const TakenHotKey taken = TakeStoredHotKey(Settings.HotKeys, action);
        Edited[action] = taken.Word;
        RefusalText(taken.Verdict, taken.Holder, TakenAsNone[action]);
    }
}

int Row(int base, uint32_t action)
{
    return base + static_cast<int>(action);
}

void ShowStatus(HWND page, uint32_t action, const char* text)
{
    SetDlgItemTextA(page, Row(StatusBase, action), text);
}

// A key no other program holds shows nothing; one held shows so, as does the stored key that
// could not be registered at start-up or at the last OK.
void ShowAvailability(HWND page, uint32_t action)
{
    const uint32_t word = Edited[action];
    const bool refused = word == Began[action] && HotKeyRefused(action);
    const bool held = JudgeHotKey(word) == HotKeyAllowed && (refused || !HotKeyFree(word));
    ShowStatus(page, action, held ? "Taken by another program" : "");
}

void LoadKeys(HWND page)
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_SETHOTKEY, Edited[action], 0);
        if (TakenAsNone[action][0] != 0)
            ShowStatus(page, action, TakenAsNone[action]);
        else
            ShowAvailability(page, action);
    }
}

// A key entered: refused outright with the reason, or taken with what may stand in its way.
void KeyEntered(HWND page, uint32_t action)
{
    const auto word = static_cast<uint32_t>(
        SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_GETHOTKEY, 0, 0) & 0xFFFF);
    // Ctrl or Alt held on their own: the key is still to come. The field as it was (after a
    // refusal put it back, say, and the keys come up): its status stands.
    if ((HotKeyVirtualKey(word) == 0 && word != 0) || word == Edited[action]) return;
    TakenAsNone[action][0] = 0;
    uint32_t candidate[HotKeyCount];
    for (uint32_t other = 0; other < HotKeyCount; ++other)
        candidate[other] = other == action ? word : Edited[other];
    char refusal[64];
    RefusalText(JudgeHotKey(word), HotKeyHolder(candidate, action), refusal);
    if (refusal[0] != 0)
    {
        // Nothing stored: the field goes back to the key it had.
        SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_SETHOTKEY, Edited[action], 0);
        ShowStatus(page, action, refusal);
        return;
    }
    Edited[action] = word;
    ShowAvailability(page, action);
}

void ClearKey(HWND page, uint32_t action)
{
    Edited[action] = 0;
    TakenAsNone[action][0] = 0;
    SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_SETHOTKEY, 0, 0);
    ShowStatus(page, action, "");
}

void KeysPageOnCommand(HWND page, int id, int code)
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        if (id == Row(KeyFieldBase, action) && code == EN_CHANGE) KeyEntered(page, action);
        if (id == Row(ClearBase, action) && code == BN_CLICKED) ClearKey(page, action);
    }
}

// Leaving the page, the keys are registered again as they are stored.
void LeaveKeysPage(HWND)
{
    RegisterProgramHotKeys();
}

} // namespace

INT_PTR CALLBACK KeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG: TakeStored(); break;
    case WM_COMMAND: KeysPageOnCommand(page, LOWORD(wParam), HIWORD(wParam)); break;
    case WM_NOTIFY: {
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (code == static_cast<UINT>(PSN_SETACTIVE))
        {
            // While the page shows, a key pressed goes into its field, not to the program.
            UnregisterProgramHotKeys();
            if (StoredChanged()) TakeStored();
            LoadKeys(page);
        }
        else if (code == static_cast<UINT>(PSN_APPLY))
        {
            // Unlike the other pages, this one stores on OK alone; a Reset made meanwhile on
            // another page wins over what was edited before it.
            if (!StoredChanged())
                for (uint32_t action = 0; action < HotKeyCount; ++action)
                    Settings.HotKeys[action] = Edited[action];
            RegisterProgramHotKeys();
            SetWindowLongA(page, DWL_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        break;
    }
    default: break;
    }
    INT_PTR result = FALSE;
    AnswerPageMessage(page, message, lParam, LeaveKeysPage, result);
    return result;
}

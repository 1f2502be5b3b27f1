#include <windows.h>

#include <commctrl.h>

#include "app/app_win.h"
#include "app/hotkeys.h"
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

// The keys as the page edits them, stored only by OK; and the stored ones they began from, so
// that a Reset on another page meanwhile wins.
uint32_t Edited[HotKeyCount];
uint32_t Began[HotKeyCount];

bool StoredChanged()
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
        if (Settings.HotKeys[action] != Began[action]) return true;
    return false;
}

void TakeStored()
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
        Edited[action] = Began[action] = Settings.HotKeys[action];
}

int Row(int base, uint32_t action)
{
    return base + static_cast<int>(action);
}

void ShowStatus(HWND page, uint32_t action, const char* text)
{
    SetDlgItemTextA(page, Row(StatusBase, action), text);
}

// A key no other program holds shows nothing; one held shows so.
void ShowAvailability(HWND page, uint32_t action)
{
    const uint32_t word = Edited[action];
    const bool held = JudgeHotKey(word) == HotKeyAllowed && !HotKeyFree(word);
    ShowStatus(page, action, held ? "Taken by another program" : "");
}

void LoadKeys(HWND page)
{
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_SETHOTKEY, Edited[action] & 0xFFFF,
                            0);
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
    const uint32_t verdict = JudgeHotKey(word);
    const char* refusal = HotKeyRefusal(verdict);
    uint32_t candidate[HotKeyCount];
    for (uint32_t other = 0; other < HotKeyCount; ++other)
        candidate[other] = other == action ? word : Edited[other];
    const uint32_t holder = HotKeyHolder(candidate, action);
    char used[64] = "Already used for ";
    if (holder != HotKeyCount)
    {
        lstrcatA(used, HotKeyActionName(holder));
        refusal = used;
    }
    if (refusal[0] != 0)
    {
        // Nothing stored: the field goes back to the key it had.
        SendDlgItemMessageA(page, Row(KeyFieldBase, action), HKM_SETHOTKEY, Edited[action] & 0xFFFF,
                            0);
        ShowStatus(page, action, refusal);
        return;
    }
    Edited[action] = word;
    ShowAvailability(page, action);
}

void ClearKey(HWND page, uint32_t action)
{
    Edited[action] = 0;
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

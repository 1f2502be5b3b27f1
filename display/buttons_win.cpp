#include <windows.h>

#include <commctrl.h>

#include <cstddef>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/display_win.h"
#include "display/timetext.h"
#include "text/text.h"

TooltipBlock* TooltipRecord;

namespace
{

// The tool record of the second version: the first's fields and an lParam.
constexpr UINT ToolRecordSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(ToolRecordSize == 44, "the tool record is 44 bytes");

// Fixed places in client pixels (ControlButtonBand); a narrow window simply clips the row. The
// creation order is the tab order.
const int Buttons[ControlButtonCount] = {CmdStartStop, CmdReset, CmdReverse,
                                         CmdOptions,   CmdHelp,  CmdAbout};

const char* InitialLabel(int id)
{
    switch (id)
    {
    case CmdStartStop: return UiString(0);
    case CmdReset: return UiString(2);
    case CmdReverse: return UiString(DirectionLabel());
    case CmdOptions: return UiString(3);
    case CmdHelp: return UiString(4);
    default: return "About";
    }
}

} // namespace

TooltipBlock* CreateTooltipControl()
{
    TooltipRecord = static_cast<TooltipBlock*>(GlobalAlloc(GPTR, sizeof(TooltipBlock)));
    if (TooltipRecord == nullptr) return nullptr;
    TooltipRecord->Instance = GetModuleHandleA(nullptr);
    TooltipRecord->Tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                             CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    return TooltipRecord;
}

void AddTooltip(HWND window, TooltipBlock* record, int id, const char* text)
{
    const HWND control = GetDlgItem(window, id);
    if (record == nullptr || control == nullptr) return;
    TOOLINFOA tool = {};
    tool.cbSize = ToolRecordSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.hinst = record->Instance;
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(record->Tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void RemoveTooltip(HWND window, TooltipBlock* record, int id)
{
    const HWND control = GetDlgItem(window, id);
    if (record == nullptr || control == nullptr) return;
    TOOLINFOA tool = {};
    tool.cbSize = ToolRecordSize;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageA(record->Tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void LabelDirectionButton(HWND window)
{
    SetDlgItemTextA(window, CmdReverse, UiString(DirectionLabel()));
}

void CreateControlButtons(HWND window)
{
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
    {
        const Band b = ControlButtonBand(i, WindowDpi);
        CreateWindowExA(0, "Button", InitialLabel(Buttons[i]),
                        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_PUSHBUTTON, b.left,
                        b.top, b.right - b.left, b.bottom - b.top, window,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(Buttons[i])), Instance,
                        nullptr);
    }
    // Tooltips 31 to 37 follow the ids 1001 to 1007; 1006 has no button.
    for (uint32_t id = CmdStartStop; id <= CmdReverse; ++id)
        AddTooltip(window, TooltipRecord, static_cast<int>(id), UiString(31 + (id - CmdStartStop)));

    {
        CountLockGuard lock;
        AlarmRepeats = 0;
        if (Count.TargetTime == 0)
            LoadSetTime(Settings.SetTime);
        else if (Settings.CountDirection == 0)
            CopyText("0", DisplayText, sizeof DisplayText);
        else
            FormatCountText(Count.TargetTime, DisplayText);
    }
    StartCountingThread();
}

void PlaceControlButtons(HWND window)
{
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
    {
        const Band b = ControlButtonBand(i, WindowDpi);
        SetWindowPos(GetDlgItem(window, Buttons[i]), nullptr, b.left, b.top, b.right - b.left,
                     b.bottom - b.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ApplyButtonVisibility(HWND window)
{
    bool hidden;
    {
        CountLockGuard lock;
        hidden = ButtonRowHidden(Settings.HideButtons, Count.Running, Count.TimeIsUp);
    }
    for (const int id : Buttons)
        ShowWindow(GetDlgItem(window, id), hidden ? SW_HIDE : SW_SHOWNORMAL);
    LayoutDisplay(window);
    {
        CountLockGuard lock;
        // The next paint draws the header and time-up texts too.
        ChangeCount = 2;
    }
    InvalidateRect(window, nullptr, TRUE);
}

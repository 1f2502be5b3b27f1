// What the main window shows: the button row with its tooltips, and the painted display.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "display/layout.h"

// The program's single tooltip control: a 192-byte block whose first word holds the module
// and whose fourth word holds the tooltip window.
struct TooltipBlock
{
    HINSTANCE Instance;
    uint32_t Unused1;
    uint32_t Unused2;
    HWND Tooltip;
    uint8_t Rest[176];
};
static_assert(sizeof(TooltipBlock) == 192, "the tooltip record is 192 bytes");

extern TooltipBlock* TooltipRecord;

// Allocates the record and creates the tooltip control; null when the record cannot be had.
TooltipBlock* CreateTooltipControl();
// Attaches `text` (kept by pointer: a UI string) as the tooltip of control `id` of `window`.
void AddTooltip(HWND window, TooltipBlock* record, int id, const char* text);
// Detaches the tooltip of control `id` of `window`, if it has one: before the control goes.
void RemoveTooltip(HWND window, TooltipBlock* record, int id);

// WM_CREATE: the six buttons with their tooltips, the first text, the counting thread.
void CreateControlButtons(HWND window);
// Hides or shows the row by ButtonRowHidden, and lays out again.
void ApplyButtonVisibility(HWND window);
// The direction button's label by the direction rule.
void LabelDirectionButton(HWND window);

// Builds the context menu for the moment, tracks it at the pointer and destroys it; the choice
// arrives as WM_COMMAND.
void ShowContextMenu(HWND window);

// The QuickSet window's procedure (dialog IDD_QUICKSET). It opens under the pointer; the
// chosen button's id, or 2 for Cancel, is its dialog result and is left in PromptResult too.
INT_PTR CALLBACK QuickSetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Adds, changes or removes (NIM_ADD, NIM_MODIFY, NIM_DELETE) the tray icon `id` of `window`;
// `tip` is cut to 127 characters. Returns the shell's answer.
bool NotifyTrayIcon(HWND window, HICON icon, UINT id, UINT callbackMessage, const char* tip,
                    DWORD action);

// Shows `text` as a balloon from tray icon `id` of `window`, without a sound; an empty text
// takes a balloon that shows down, so it does not linger among the notifications.
bool NotifyTrayBalloon(HWND window, UINT id, const char* text);

// The shell call NotifyTrayIcon makes; tests put a recorder in its place.
using ShellNotifyIconCall = BOOL(WINAPI*)(DWORD action, NOTIFYICONDATAA* record);
extern ShellNotifyIconCall ShellNotifyIconProc;

// The main window's DPI: the system's until the window exists, then the window's own, then
// what WM_DPICHANGED says. Read and written on the window's thread only.
extern uint32_t WindowDpi;
// The DPI of the screens as a whole, and of `window`; where Windows cannot tell a window's
// (before Windows 10), the system's.
uint32_t SystemDpi();
uint32_t DpiOfWindow(HWND window);
// A pixel figure of 96 DPI at the main window's DPI.
int ScaledForWindow(int pixels);
// GetSystemMetrics at `dpi` (GetSystemMetricsForDpi where Windows has it).
int MetricAtDpi(int index, uint32_t dpi);

// Moves and sizes the six buttons for WindowDpi.
void PlaceControlButtons(HWND window);

// The taskbar button's progress bar (Windows 7 and later), as ProgressShown says. The shell's
// object is made only after the button exists (the shell's "TaskbarButtonCreated", registered
// as TaskbarButtonCreatedMessage) and only once a bar must show on it; where the interface is
// missing nothing happens, and in the tray there is no button to show it on. Window thread.
extern UINT TaskbarButtonCreatedMessage;
void OnTaskbarButtonCreated(HWND window);
void ShowTaskbarProgress(HWND window);

// The object's SetProgressState and SetProgressValue; tests put recorders in their place.
struct ITaskbarList3;
using ProgressStateCall = HRESULT (*)(ITaskbarList3* taskbar, HWND window, int flags);
using ProgressValueCall = HRESULT (*)(ITaskbarList3* taskbar, HWND window, ULONGLONG done,
                                      ULONGLONG total);
extern ProgressStateCall SetProgressStateProc;
extern ProgressValueCall SetProgressValueProc;
extern const ProgressStateCall SystemSetProgressState;
extern const ProgressValueCall SystemSetProgressValue;

// COM on the window's thread: started by the first object that needs it (a bar on the taskbar,
// a screen reader's question), never at start-up, so a plain start loads no COM. EndWindowCom,
// at exit, lets those objects go and ends it.
bool StartWindowCom();
void EndWindowCom();
void ReleaseTaskbarObject();
void ReleaseAccessibleClock();

// WM_GETOBJECT: the client area as an accessible clock for screen readers (name "Mivo", role
// clock, value the shown text); everything else, the buttons included, is the system's own.
LRESULT AccessibleClockObject(HWND window, WPARAM wParam, LPARAM lParam);

// The display below the button row.
void LayoutDisplay(HWND window);
void PaintDisplay(HWND window);

// The rectangle a tick repaints (window coordinates), read under the count lock.
extern RECT TimeBand;

// The count text of the latest paint, written and read under the count lock. A tick whose text
// is already on the screen needs no repaint.
extern char PaintedText[64];
// Where that paint put the count's characters, under the count lock: a tick repaints only the
// characters it changes (TickRepaintBand).
extern TextCells TimeCells;

// What a tick that left DisplayText must repaint (window coordinates): the characters that
// differ from PaintedText where TimeCells tell them, else TimeBand; empty when the screen shows
// the text already. Call under the count lock.
RECT TickRepaintRect();

// The options window: a modal property sheet of five pages that edit the settings in place,
// and the routines every page shares.
#pragma once

#include <windows.h>

#include <cstdint>

// 1 while the sheet is shown; a second sheet is never opened.
extern uint32_t OptionsOpen;

// Shows the sheet owned by `owner` and returns when it has closed; the settings file is then
// written (OK and Cancel alike) and `owner` repainted.
void ShowOptions(HWND owner);

// A page's first steps: lists, spinner ranges, captions, tooltips, then the enable rules.
void InitPageControls(HWND page);
// Every setting into its control.
void LoadPageControls(HWND page);
// Enables the controls that depend on other settings.
void UpdatePageEnables(HWND page);
// `milliseconds` as days, hours, minutes, seconds and milliseconds into the fields firstId,
// firstId + step ... + 4 * step; a part that is 0 leaves its field empty.
void ShowTimeFields(HWND page, uint32_t milliseconds, int firstId, int step);

// A check box's state as a flag: 1 when ticked, else 0.
uint32_t BoxState(HWND page, int id);
// Stores the choice of drop-down list `list` into the setting it shows (ListChoice: never the
// list's no-selection value).
void StoreListChoice(HWND page, uint32_t list);

// The answers every page gives: the property-sheet notifications (leaving writes the page's
// check boxes, then the rest with `writePage`), WM_COMMAND and the tooltips of its controls.
// Returns whether `message` was one of them; `result` is then the procedure's result.
bool AnswerPageMessage(HWND page, UINT message, LPARAM lParam, void (*writePage)(HWND),
                       INT_PTR& result);

// Stops a sound that the Actions page's Test started, if it still plays: when the page is left
// and when the window closes, however it closes.
void StopTestSound();

// The page procedures, in tab order.
INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ViewPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MiscPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The keys from anywhere: stored by OK alone, not when the page is left.
INT_PTR CALLBACK KeysPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

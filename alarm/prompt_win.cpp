#include <windows.h>

#include "alarm/prompt_win.h"
#include "display/display_win.h"
#include "resources/resource.h"

std::atomic<uint32_t> PromptResult{0};

namespace
{

// One shown prompt: lives on its caller's stack for as long as the dialog is open and is
// reached through DWLP_USER. Two prompts on two threads each have their own.
struct PromptDialog
{
    PromptRequest Request;
    HFONT LargeFont;
    HFONT SmallFont;
    uint32_t Result;
    bool Closed;
};

PromptDialog* PromptRecord(HWND dialog)
{
    return reinterpret_cast<PromptDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HFONT CreatePromptFont(int height)
{
    return CreateFontA(height, 0, 0, 0, 50, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                       "Arial");
}

void SetFont(HWND dialog, int id, HFONT font)
{
    SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

const char* TextOrEmpty(const char* text)
{
    return text != nullptr ? text : "";
}

// SetTimer takes at most USER_TIMER_MAXIMUM ms; a larger count of seconds must not wrap round
// to a short time.
UINT AutoCloseMilliseconds(uint32_t seconds)
{
    const uint32_t most = USER_TIMER_MAXIMUM / 1000;
    return seconds > most ? USER_TIMER_MAXIMUM : seconds * 1000;
}

// The fonts in pixel heights of 96 DPI, at `dpi`, given to the controls; those they replace go
// once the controls hold the new ones.
void MakePromptFonts(HWND dialog, PromptDialog& prompt, uint32_t dpi)
{
    const HFONT oldLarge = prompt.LargeFont;
    const HFONT oldSmall = prompt.SmallFont;
    prompt.LargeFont = CreatePromptFont(ScaleToDpi(PromptLargeFontHeight, dpi));
    prompt.SmallFont = CreatePromptFont(ScaleToDpi(PromptSmallFontHeight, dpi));
    SetFont(dialog, IDOK, prompt.LargeFont);
    SetFont(dialog, IDCANCEL, prompt.LargeFont);
    if (GetDlgItem(dialog, IDC_PROMPT_THIRD) != nullptr)
        SetFont(dialog, IDC_PROMPT_THIRD, prompt.LargeFont);
    SetFont(dialog, IDC_PROMPT_MESSAGE,
            prompt.Request.Mode >= PromptQuestionSmallText ? prompt.SmallFont : prompt.LargeFont);
    if (oldLarge != nullptr) DeleteObject(oldLarge);
    if (oldSmall != nullptr) DeleteObject(oldSmall);
}

INT_PTR PromptOnInit(HWND dialog, PromptDialog& prompt)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&prompt));
    const PromptRequest& request = prompt.Request;
    if (request.PromptKeepOnTop != 0)
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    SetDlgItemTextA(dialog, IDC_PROMPT_MESSAGE, TextOrEmpty(request.Message));
    SetDlgItemTextA(dialog, IDC_PROMPT_LABEL, TextOrEmpty(request.Message));
    SetDlgItemTextA(dialog, IDOK, TextOrEmpty(request.FirstCaption));
    SetDlgItemTextA(dialog, IDCANCEL, TextOrEmpty(request.SecondCaption));
    if (request.ThirdCaption != nullptr)
        SetDlgItemTextA(dialog, IDC_PROMPT_THIRD, request.ThirdCaption);

    if (request.PromptAutoCloseSeconds > 0)
        SetTimer(dialog, PromptAutoCloseTimer,
                 AutoCloseMilliseconds(request.PromptAutoCloseSeconds), nullptr);

    MakePromptFonts(dialog, prompt, DpiOfWindow(dialog));
    if (request.Opened != nullptr) request.Opened(dialog, request.OpenedContext);
    return TRUE; // the focus goes to the first tab stop, the first button
}

// Later commands or timer ticks still queued must not change a result once given.
void ClosePrompt(HWND dialog, PromptDialog& prompt, uint32_t result)
{
    if (prompt.Closed) return;
    prompt.Closed = true;
    prompt.Result = result;
    PromptResult = result;
    KillTimer(dialog, PromptAutoCloseTimer);
    EndDialog(dialog, result);
}

} // namespace

void ResetPromptRequest(PromptRequest& request)
{
    request = PromptRequest{};
}

uint32_t ShowPrompt(HWND owner, PromptRequest& request)
{
    PromptDialog prompt = {};
    prompt.Request = request;
    ResetPromptRequest(request);
    const int dialog = prompt.Request.ThirdCaption != nullptr ? IDD_PROMPT_THREE : IDD_PROMPT;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialog), owner, PromptDialogProc,
                    reinterpret_cast<LPARAM>(&prompt));
    // The controls use the fonts until they are destroyed, which DialogBoxParamA has done by
    // now.
    if (prompt.LargeFont != nullptr) DeleteObject(prompt.LargeFont);
    if (prompt.SmallFont != nullptr) DeleteObject(prompt.SmallFont);
    return prompt.Result;
}

INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        // Without its record a prompt could never be answered.
        if (lParam == 0)
        {
            EndDialog(dialog, PromptNoAnswer);
            return TRUE;
        }
        return PromptOnInit(dialog, *reinterpret_cast<PromptDialog*>(lParam));
    }
    PromptDialog* prompt = PromptRecord(dialog);
    if (prompt == nullptr) return FALSE;
    switch (message)
    {
    case WM_TIMER:
        if (wParam != PromptAutoCloseTimer) return FALSE;
        ClosePrompt(dialog, *prompt, PromptFirst);
        return TRUE;
    case PromptWithdrawMessage: ClosePrompt(dialog, *prompt, PromptWithdrawn); return TRUE;
    case WM_DPICHANGED:
        // The window moved to a screen of another scale: the dialog manager scales the
        // dialog's own font and size; the fonts it was given here are made anew.
        MakePromptFonts(dialog, *prompt, HIWORD(wParam));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam))
        {
        case IDOK: ClosePrompt(dialog, *prompt, PromptFirst); break;
        case IDCANCEL: ClosePrompt(dialog, *prompt, PromptSecond); break;
        case IDC_PROMPT_THIRD: ClosePrompt(dialog, *prompt, PromptThird); break;
        default: break;
        }
        return TRUE;
    default: return FALSE;
    }
}

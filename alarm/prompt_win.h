// The prompt dialog: one small modal question with a message and two large buttons. It serves
// as the time-up window, the reset confirmation and the first-run welcome.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// Prompt modes. A mode of PromptQuestionSmallText or more shows the message in the small font;
// 0 behaves like PromptQuestion.
enum : uint32_t
{
    PromptQuestion = 1,
    PromptQuestionSmallText = 10,
};

// What one prompt shows. The caller fills it; ShowPrompt takes a copy, so prompts open at the
// same time on different threads never see each other's values. A new request is in its
// reset state: no texts (they show as empty), mode 0, kept on top, no auto-close.
struct PromptRequest
{
    const char* Message = nullptr;
    const char* FirstCaption = nullptr;
    const char* SecondCaption = nullptr;
    const char* ThirdCaption = nullptr; // a third button below the two (the time-up window's)
    uint32_t Mode = 0;
    uint32_t PromptKeepOnTop = 1;        // 0: the prompt is an ordinary, not top-most window
    uint32_t PromptAutoCloseSeconds = 0; // 0: wait for a button; else close with result 1
    // Called on the prompt's thread as soon as its window exists, with OpenedContext: a caller
    // that may have to withdraw the prompt (PromptWithdrawMessage) learns its window here.
    void (*Opened)(HWND prompt, UINT_PTR context) = nullptr;
    UINT_PTR OpenedContext = 0;
};

// Results of a prompt.
enum : uint32_t
{
    PromptNoAnswer = 0,  // the prompt could not be shown
    PromptFirst = 1,     // first button, Enter on it, or the auto-close
    PromptSecond = 2,    // second button, or Esc
    PromptThird = 3,     // the third button, where there is one
    PromptWithdrawn = 4, // closed by the program (PromptWithdrawMessage): nobody answered
};

// Posted to an open prompt from any thread: it closes with PromptWithdrawn, the question no
// longer standing.
constexpr UINT PromptWithdrawMessage = WM_APP + 0x50;

// The font heights of the prompt: buttons and the normal message, and the small message.
constexpr int PromptLargeFontHeight = 20;
constexpr int PromptSmallFontHeight = 16;
constexpr UINT_PTR PromptAutoCloseTimer = 2;

// The result of the prompt that closed last. The QuickSet window reports through it as well.
// A caller of ShowPrompt reads its own prompt's result from the return value instead: another
// prompt may close in between on another thread.
extern std::atomic<uint32_t> PromptResult;

// Puts `request` back into its reset state.
void ResetPromptRequest(PromptRequest& request);

// Shows a prompt for `request`, owned by `owner` (may be null), and waits until it closes.
// The prompt works on its own copy of the request; `request` itself is left in its reset
// state, so a caller that reuses one request sets any other value anew each time. Returns
// PromptFirst or PromptSecond, or PromptNoAnswer when the dialog could not be created.
uint32_t ShowPrompt(HWND owner, PromptRequest& request);

// The dialog procedure of dialogs IDD_PROMPT and IDD_PROMPT_THREE (the same with a third
// button, for a request with a ThirdCaption). Its WM_INITDIALOG parameter is the prompt's own
// record, which only ShowPrompt makes.
INT_PTR CALLBACK PromptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#include <windows.h>

#include "alarm/prompt_win.h"
#include "data/data_win.h"
#include "data/uistrings.h"
#include "text/text.h"

void ShowWelcome()
{
    // Three strings so that each stays within a 49-character slot; they read as one paragraph.
    char message[3 * UiStringSlot];
    CopyText(UiString(139), message);
    AppendText(message, UiString(140));
    AppendText(message, UiString(141));

    PromptRequest request;
    request.Message = message;
    request.FirstCaption = UiString(142);
    request.SecondCaption = UiString(143);
    request.Mode = PromptQuestionSmallText;
    if (ShowPrompt(nullptr, request) == PromptSecond) ShowReadMe();
}

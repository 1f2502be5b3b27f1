// Resource ids shared by the resource script and the code.
#pragma once

#define IDI_MIVO 500
#define IDI_MIVO_ALARM 501
#define IDD_PROMPT 1601
#define IDC_PROMPT_MESSAGE 1601 // the prompt's message field
#define IDC_PROMPT_LABEL 1602   // its label for screen readers: the same text, never shown
#define IDD_PROMPT_THREE 1603   // the prompt with a third button (the time-up window)
#define IDC_PROMPT_THIRD 3      // that button; it answers PromptThird
#define IDD_ABOUT 1025
#define IDD_QUICKSET 1006
#define IDD_ACTIONS 1027
#define IDD_TIMES 1010
#define IDD_VIEW 1003
#define IDD_MISC 1007
#define IDD_KEYS 1029
#define IDR_DEFAULT_STRINGS 8888
#define RT_DEFAULT_STRINGS 8888

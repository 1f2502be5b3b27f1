#include <windows.h>

#include <shellapi.h>

#include "data/data_win.h"
#include "display/display_win.h"
#include "text/text.h"

// The record of the shell's second version: a 128-character tip, and no fields that the
// flags below do not name.
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the tray record is 488 bytes");

ShellNotifyIconCall ShellNotifyIconProc = ShellNotifyIconLate;

bool NotifyTrayIcon(HWND window, HICON icon, UINT id, UINT callbackMessage, const char* tip,
                    DWORD action)
{
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = callbackMessage;
    record.hIcon = icon;
    CopyText(tip, record.szTip);
    return ShellNotifyIconProc(action, &record) != FALSE;
}

bool NotifyTrayBalloon(HWND window, UINT id, const char* text)
{
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = id;
    record.uFlags = NIF_INFO;
    CopyText(text, record.szInfo);
    CopyText(text[0] != 0 ? "Mivo" : "", record.szInfoTitle);
    record.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    return ShellNotifyIconProc(NIM_MODIFY, &record) != FALSE;
}

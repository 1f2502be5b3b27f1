// Reading and driving the context menu while it is tracked.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/win/harness_win.h"

// One entry as text: "text #id", "[x]" when checked, "[grey]" when greyed, "> text" for a
// submenu, "-" separator.
inline std::vector<std::string> ReadMenu(HMENU menu)
{
    std::vector<std::string> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
    {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if ((state & MF_SEPARATOR) != 0)
            lines.push_back("-");
        else if (GetSubMenu(menu, i) != nullptr)
            lines.push_back(std::string("> ") + text);
        else
            lines.push_back(std::string(text) + " #" + std::to_string(GetMenuItemID(menu, i)) +
                            ((state & MF_CHECKED) != 0 ? " [x]" : "") +
                            ((state & MF_GRAYED) != 0 ? " [grey]" : ""));
    }
    return lines;
}

// The visible popup menu window, waiting up to about five seconds; null when none opens.
inline HWND WaitForPopupMenu()
{
    for (int i = 0; i < 500; ++i)
    {
        const HWND popup = FindWindowA("#32768", nullptr);
        if (popup != nullptr && IsWindowVisible(popup)) return popup;
        Sleep(10);
    }
    return nullptr;
}

// Opens the menu with `open`, reads the tracked menu from a helper thread (which also runs
// `look` on the popup window), then presses Down `downs` times and Enter in it, as a user would.
// A negative `downs` presses Esc instead.
inline std::vector<std::string> OpenReadAndChoose(
    const std::function<void()>& open, int downs,
    const std::function<void(HWND)>& look = [](HWND) {})
{
    std::vector<std::string> lines;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        const HWND popup = WaitForPopupMenu();
        if (popup != nullptr)
        {
            lines = ReadMenu(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)));
            look(popup);
            for (int i = 0; i < downs; ++i)
                PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(popup, WM_KEYDOWN, downs < 0 ? VK_ESCAPE : VK_RETURN, 0);
        }
        done = true;
    });
    open();
    while (!done)
        PumpMessagesFor(10);
    reader.join();
    PumpMessagesFor(100);
    return lines;
}

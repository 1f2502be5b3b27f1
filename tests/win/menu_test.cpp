#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/app_win.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"

namespace
{

// One entry as text: "text #id", "[x]" when checked, "> text" for a submenu, "-" separator.
std::vector<std::string> ReadMenu(HMENU menu)
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
                            ((state & MF_CHECKED) != 0 ? " [x]" : ""));
    }
    return lines;
}

// Opens the menu with `open`, reads the tracked menu from a helper thread, then presses Down
// `downs` times and Enter in it, as a user would.
template <typename Open> std::vector<std::string> OpenReadAndChoose(Open open, int downs)
{
    std::vector<std::string> lines;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        HWND popup = nullptr;
        for (int i = 0; i < 500 && popup == nullptr; ++i)
        {
            popup = FindWindowA("#32768", nullptr);
            if (popup != nullptr && !IsWindowVisible(popup)) popup = nullptr;
            if (popup == nullptr) Sleep(10);
        }
        if (popup != nullptr)
        {
            lines = ReadMenu(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)));
            for (int i = 0; i < downs; ++i)
                PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
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

TEST(ContextMenu, OpenedByRightClickAndMChoosesWithTheKeyboard)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    Settings.LayeredAvailable = 1;
    std::vector<std::string> expected = {"Help #1004", "About #1005",       "On Top #2008",
                                         "> Size",     "Mute #2009",        "Hide Buttons #2005",
                                         "> Set Time", "> Seconds",         "> Days",
                                         "Down #1007", "Transparent #2011", "Options #1003"};

    // A right click; Down five times reaches Mute (the first Down selects Help).
    EXPECT_EQ(OpenReadAndChoose([] { PostMessageA(MainWindow, WM_RBUTTONUP, 0, 0); }, 5), expected);
    EXPECT_EQ(Settings.Mute, 1u);

    // The M key, through the program's loop step.
    expected[4] = "Mute #2009 [x]";
    EXPECT_EQ(OpenReadAndChoose(
                  [] {
                      MSG key = {MainWindow, WM_KEYDOWN, 'M', 0, 0, {}};
                      ProcessLoopMessage(key);
                      PumpMessages();
                  },
                  5),
              expected);
    EXPECT_EQ(Settings.Mute, 0u);
}

} // namespace

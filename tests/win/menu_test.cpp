#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"
#include "tests/win/menus_win.h"

namespace
{

TEST(ContextMenu, OpenedByRightClickAndMChoosesWithTheKeyboard)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    Settings.LayeredAvailable = 1;
    // An endless count-up has no end to add time to: its Add entry is greyed.
    std::vector<std::string> expected = {"Help #1004",
                                         "About #1005",
                                         "On Top #2008",
                                         "> Size",
                                         "Mute #2009",
                                         "Hide Buttons #2005",
                                         "> Set Time",
                                         "> Seconds",
                                         "> Days",
                                         "Down #1007",
                                         "Add 1:00 #2032 [grey]",
                                         "Transparent #2011",
                                         "Options #1003"};

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

TEST(ContextMenu, OpeningItLeavesTheDisplayAloneAndShowsTheMenu)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    Settings.LayeredAvailable = 1;
    Command(CmdStartStop); // a running count: Sync joins the menu, the display keeps changing
    PumpMessagesFor(300);
    Command(CmdStartStop);
    PumpMessagesFor(100);
    const uint32_t widthClass = WidthClass;
    const uint32_t changes = ChangeCount;
    const std::string shown = DisplayText;

    // The labels of the presets are made while the display's text stays on the screen.
    int menuWidth = 0;
    const std::vector<std::string> lines = OpenReadAndChoose(
        [] { PostMessageA(MainWindow, WM_RBUTTONUP, 0, 0); }, -1,
        [&](HWND popup) { menuWidth = CaptureClient(popup, "context-menu").width; });
    EXPECT_EQ(lines.size(), 13u);
    EXPECT_GT(menuWidth, 50);
    EXPECT_EQ(WidthClass, widthClass);
    EXPECT_EQ(ChangeCount, changes);
    EXPECT_EQ(DisplayText, shown);
    // Esc chose nothing: the count stays stopped.
    EXPECT_EQ(Count.Running, 0u);
}

} // namespace

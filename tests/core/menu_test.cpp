#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/count.h"
#include "data/settings.h"
#include "data/strings.h"
#include "data/uistrings.h"
#include "display/menu.h"
#include "display/timetext.h"

namespace
{

// The default strings file, loaded as the program loads it.
struct MenuTest : testing::Test
{
    std::vector<char> strings = std::vector<char>(UiStringsSize, 0);
    void SetUp() override
    {
        std::ifstream in(MIVO_SOURCE_DIR "/resources/DefaultStrings.txt", std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), {});
        UiStringsParser parser;
        BeginUiStrings(parser, strings.data());
        FeedUiStrings(parser, reinterpret_cast<const uint8_t*>(file.data()), file.size());
        ASSERT_GE(FinishUiStrings(parser), 150u);
        UiStrings = strings.data();
        Settings = SettingsRecord{};
        ApplyDefaultFields(Settings, "Time is up!", "Header");
        Settings.LayeredAvailable = 1;
    }
};

// One entry as text: "text #id", with "[x]" when checked and "[grey]" when greyed, "> text"
// for a submenu, "-" for the separator.
std::vector<std::string> Describe(const MenuList& list)
{
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < list.Count; ++i)
    {
        const MenuEntry& e = list.Entries[i];
        if (e.Kind == MenuSeparator)
            lines.push_back("-");
        else if (e.Kind == MenuSubmenu)
            lines.push_back(std::string("> ") + e.Text + " " + std::to_string(e.Submenu));
        else
            lines.push_back(std::string(e.Text) + " #" + std::to_string(e.Id) +
                            (e.Checked != 0 ? " [x]" : "") + (e.Greyed != 0 ? " [grey]" : ""));
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST_F(MenuTest, EntriesForEachState)
{
    const struct
    {
        const char* name;
        ContextMenuState state;
        void (*settings)();
        Lines main;
        Lines size;
    } cases[] = {
        {"normal",
         {0, 0, 0, 0, 0},
         [] {},
         {"Help #1004", "About #1005", "On Top #2008", "> Size 3", "Mute #2009",
          "Hide Buttons #2005", "> Set Time 0", "> Seconds 1", "> Days 2", "Down #1007",
          "Add 1:00 #2032 [grey]", "Transparent #2011", "Options #1003"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
        {"full screen",
         {0, 0, 0, 1, 0},
         [] {},
         {"Help #1004", "About #1005", "> Size 3", "Mute #2009", "Hide Buttons #2005",
          "> Set Time 0", "> Seconds 1", "> Days 2", "Down #1007", "Add 1:00 #2032 [grey]",
          "Transparent #2011", "Options #1003"},
         {"Full Screen #2007 [x]"}},
        {"in the tray",
         {0, 0, 10, 0, 0},
         [] {},
         {"Help #1004", "About #1005", "Mute #2009", "Hide Buttons #2005", "> Set Time 0",
          "> Seconds 1", "> Days 2", "Down #1007", "Add 1:00 #2032 [grey]", "Transparent #2011",
          "Options #1003", "-", "Start #1001", "Reset #1002", "Exit #2012"},
         {}},
        {"minimised",
         {0, 0, 5, 0, 0},
         [] {},
         {"Help #1004", "About #1005", "Mute #2009", "Hide Buttons #2005", "> Set Time 0",
          "> Seconds 1", "> Days 2", "Down #1007", "Add 1:00 #2032 [grey]", "Transparent #2011",
          "Options #1003"},
         {}},
        {"hidden buttons, on top, muted, transparent",
         {0, 0, 0, 0, 0},
         [] {
             Settings.HideButtons = 1;
             Settings.OnTopTimer = 1;
             Settings.Mute = 1;
             Settings.Transparent = 1;
         },
         {"Help #1004", "About #1005", "On Top #2008 [x]", "> Size 3", "Mute #2009 [x]",
          "Hide Buttons #2005 [x]", "> Set Time 0", "> Seconds 1", "> Days 2", "Down #1007",
          "Add 1:00 #2032 [grey]", "Transparent #2011 [x]", "Options #1003", "-", "Start #1001",
          "Reset #1002", "Exit #2012"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
        {"running, counting down, in the tray",
         {1, 0, 10, 0, 0},
         [] { Settings.CountDirection = 1; },
         {"Help #1004", "About #1005", "Mute #2009", "Hide Buttons #2005", "> Set Time 0",
          "> Seconds 1", "> Days 2", "Sync #1009", "Up #1007", "Add 1:00 #2032",
          "Transparent #2011", "Options #1003", "-", "Stop #1001", "Reset #1002", "Exit #2012"},
         {}},
        {"time up, hidden buttons",
         {0, 1, 0, 0, 0},
         [] { Settings.HideButtons = 1; },
         {"Help #1004", "About #1005", "On Top #2008", "> Size 3", "Mute #2009",
          "Hide Buttons #2005 [x]", "> Set Time 0", "> Seconds 1", "> Days 2", "Down #1007",
          "Add 1:00 #2032 [grey]", "Transparent #2011", "Options #1003", "-", "Stop #1001",
          "Reset #1002", "Exit #2012"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
        {"no layered windows, a sound playing",
         {0, 0, 0, 0, 1},
         [] { Settings.LayeredAvailable = 0; },
         {"Help #1004", "About #1005", "On Top #2008", "> Size 3", "Mute #2009",
          "Hide Buttons #2005", "> Set Time 0", "> Seconds 1", "> Days 2", "Down #1007",
          "Add 1:00 #2032 [grey]", "Terminate Sound #2010", "Options #1003"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
        {"Rev Rev counting up",
         {0, 0, 0, 0, 0},
         [] { Settings.RevRev = 1; },
         {"Help #1004", "About #1005", "On Top #2008", "> Size 3", "Mute #2009",
          "Hide Buttons #2005", "> Set Time 0", "> Seconds 1", "> Days 2", "Up #1007",
          "Add 1:00 #2032 [grey]", "Transparent #2011", "Options #1003"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
        // The most a menu holds: every entry its state and settings can offer, 19 in all.
        {"the fullest: running down in a normal window, hidden buttons, a sound playing",
         {1, 0, 0, 0, 1},
         [] {
             Settings.HideButtons = 1;
             Settings.CountDirection = 1;
             Settings.AddStep = 90000;
         },
         {"Help #1004", "About #1005", "On Top #2008", "> Size 3", "Mute #2009",
          "Hide Buttons #2005 [x]", "> Set Time 0", "> Seconds 1", "> Days 2", "Sync #1009",
          "Up #1007", "Add 1:30 #2032", "Transparent #2011", "Terminate Sound #2010",
          "Options #1003", "-", "Stop #1001", "Reset #1002", "Exit #2012"},
         {"Small #2040", "Medium #2041", "Large #2042", "Full Screen #2007"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Settings = SettingsRecord{};
        ApplyDefaultFields(Settings, "Time is up!", "Header");
        Settings.LayeredAvailable = 1;
        c.settings();
        ContextMenuModel menu;
        BuildContextMenu(c.state, menu);
        EXPECT_EQ(Describe(menu.Main), c.main);
        EXPECT_EQ(Describe(menu.Submenus[SubmenuSize]), c.size);
        // The three other submenus are the same in every state.
        EXPECT_EQ(Describe(menu.Submenus[SubmenuDays]),
                  (Lines{"No Days #2023", "If Big #2024 [x]", "Always #2025"}));
        EXPECT_EQ(Describe(menu.Submenus[SubmenuSeconds]),
                  (Lines{"No Seconds #2013", "Seconds #2014", "Deci-Seconds #2015 [x]",
                         "Centi-Seconds #2016", "Milli-Seconds #2017"}));
        EXPECT_EQ(Describe(menu.Submenus[SubmenuSetTime]),
                  (Lines{"05:00.0 #2020 [x]", "4:30:00.0 #2021", "12:14:43:05.8 #2022"}));
    }
}

TEST_F(MenuTest, SetTimeLabelsFollowTheModesAndTheSelection)
{
    const struct
    {
        uint32_t days, seconds, selected;
        Lines labels;
    } cases[] = {
        {0, 1, 2, {"05:00 #2020", "4:30:00 #2021", "302:43:05 #2022 [x]"}},
        {2, 4, 1, {"05:00.000 #2020", "4:30:00.000 #2021 [x]", "12:14:43:05.800 #2022"}},
        {1, 0, 1, {"05 #2020", "4:30 #2021 [x]", "12:14:43 #2022"}},
        // A time in milliseconds selects no preset.
        {1, 2, 90000, {"05:00.0 #2020", "4:30:00.0 #2021", "12:14:43:05.8 #2022"}},
    };
    for (const auto& c : cases)
    {
        Settings.DaysMode = c.days;
        Settings.SecondsMode = c.seconds;
        Settings.SelectedTime = c.selected;
        ContextMenuModel menu;
        BuildContextMenu({}, menu);
        EXPECT_EQ(Describe(menu.Submenus[SubmenuSetTime]), c.labels);
        EXPECT_NE(Describe(menu.Submenus[SubmenuDays])[c.days].find("[x]"), std::string::npos);
        EXPECT_NE(Describe(menu.Submenus[SubmenuSeconds])[c.seconds].find("[x]"),
                  std::string::npos);
    }
}

TEST_F(MenuTest, BuildingLeavesTheDisplayTextAlone)
{
    FormatCountText(123456, DisplayText);
    WidthClass = 3;
    ChangeCount = 1;
    const std::string before = DisplayText;
    ContextMenuModel menu;
    BuildContextMenu({}, menu);
    EXPECT_EQ(WidthClass, 3u);
    EXPECT_EQ(ChangeCount, 1u);
    EXPECT_EQ(DisplayText, before);
}

} // namespace

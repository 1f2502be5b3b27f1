#include "display/menu.h"

#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "display/timetext.h"
#include "text/text.h"

namespace
{

void Put(MenuList& list, const MenuEntry& entry)
{
    if (list.Count < MenuEntryCapacity) list.Entries[list.Count++] = entry;
}

void Add(MenuList& list, uint32_t id, const char* text, bool checked = false, bool greyed = false)
{
    Put(list, {MenuCommand, id, text, checked ? 1u : 0u, 0, greyed ? 1u : 0u});
}

void AddSubmenu(MenuList& list, const char* text, uint32_t submenu)
{
    Put(list, {MenuSubmenu, 0, text, 0, submenu, 0});
}

} // namespace

void FormatAddTimeLabel(char (&label)[32])
{
    char step[16];
    FormatShortTime(AddTimeStep(), step);
    CopyText("Add ", label);
    AppendText(label, step);
}

void BuildContextMenu(const ContextMenuState& state, ContextMenuModel& menu)
{
    menu.Main.Count = 0;
    for (MenuList& list : menu.Submenus)
        list.Count = 0;

    MenuList& setTime = menu.Submenus[SubmenuSetTime];
    for (uint32_t i = 0; i < 3; ++i)
    {
        FormatCountText(Settings.PresetTimes[i], menu.PresetLabels[i]);
        Add(setTime, CmdPresetTime + i, menu.PresetLabels[i], Settings.SelectedTime == i);
    }
    static const uint32_t DaysTexts[3] = {101, 102, 103};
    for (uint32_t i = 0; i < 3; ++i)
        Add(menu.Submenus[SubmenuDays], CmdDaysMode + i, UiString(DaysTexts[i]),
            Settings.DaysMode == i);
    static const uint32_t SecondsTexts[5] = {9, 10, 38, 39, 11};
    for (uint32_t i = 0; i < 5; ++i)
        Add(menu.Submenus[SubmenuSeconds], CmdSecondsMode + i, UiString(SecondsTexts[i]),
            Settings.SecondsMode == i);

    MenuList& main = menu.Main;
    const bool normal = state.WindowState == 0;
    Add(main, CmdHelp, UiString(4));
    Add(main, CmdAbout, "About");
    if (normal && state.FullScreen == 0) Add(main, CmdOnTop, UiString(6), Settings.OnTopTimer == 1);
    if (normal)
    {
        MenuList& size = menu.Submenus[SubmenuSize];
        if (state.FullScreen == 0)
        {
            Add(size, CmdSizeSmall, UiString(134));
            Add(size, CmdSizeMedium, UiString(135));
            Add(size, CmdSizeLarge, UiString(136));
        }
        Add(size, CmdFullScreen, UiString(36), state.FullScreen != 0);
        AddSubmenu(main, UiString(5), SubmenuSize);
    }
    Add(main, CmdMute, UiString(7), Settings.Mute == 1);
    Add(main, CmdHideButtons, UiString(8), Settings.HideButtons == 1);
    AddSubmenu(main, UiString(15), SubmenuSetTime);
    AddSubmenu(main, UiString(10), SubmenuSeconds);
    AddSubmenu(main, UiString(96), SubmenuDays);
    if (state.Running != 0) Add(main, CmdSync, UiString(124));
    Add(main, CmdReverse, UiString(DirectionLabel()));
    // An endless count-up has no end to move.
    FormatAddTimeLabel(menu.AddTimeLabel);
    Add(main, CmdAddTime, menu.AddTimeLabel, false, !CountCanEnd());
    if (Settings.LayeredAvailable != 0)
        Add(main, CmdTransparent, UiString(119), Settings.Transparent == 1);
    if (state.SoundPlaying != 0) Add(main, CmdStopSound, UiString(12));
    Add(main, CmdOptions, UiString(3));
    // The tray and the hidden buttons leave no other way to these.
    if (state.WindowState == 10 || Settings.HideButtons != 0)
    {
        Put(main, {MenuSeparator, 0, "", 0, 0, 0});
        Add(main, CmdStartStop, UiString(state.Running != 0 || state.TimeIsUp != 0 ? 1 : 0));
        Add(main, CmdReset, UiString(2));
        Add(main, CmdExit, UiString(14));
    }
}

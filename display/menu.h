// The context menu as data: which entries it holds for the settings and state of the moment,
// with their texts, ids, checks and submenus. The shell only turns the model into a menu.
#pragma once

#include <cstdint>

enum MenuEntryKind : uint32_t
{
    MenuCommand, // a string entry sending its id
    MenuSubmenu, // a string entry opening submenu `Submenu`
    MenuSeparator,
};

enum MenuSubmenuIndex : uint32_t
{
    SubmenuSetTime,
    SubmenuSeconds,
    SubmenuDays,
    SubmenuSize,
    SubmenuCount,
};

struct MenuEntry
{
    uint32_t Kind;
    uint32_t Id;      // command id (MenuCommand)
    const char* Text; // a UI string, a fixed text or one of the preset labels
    uint32_t Checked;
    uint32_t Submenu; // MenuSubmenuIndex (MenuSubmenu)
};

struct MenuList
{
    uint32_t Count;
    MenuEntry Entries[18];
};

// What the menu shows besides the settings.
struct ContextMenuState
{
    uint32_t Running;
    uint32_t TimeIsUp;
    uint32_t WindowState; // 0 normal, 5 minimised, 10 in the tray
    uint32_t FullScreen;
    uint32_t SoundPlaying; // a sound player is open
};

struct ContextMenuModel
{
    MenuList Main;
    MenuList Submenus[SubmenuCount]; // the Size submenu exists only when Main refers to it
    char PresetLabels[3][64];
};

// Fills `menu` from the settings record and `state`. The preset labels are formatted into the
// model itself, so the display's WidthClass and ChangeCount stay as they are.
void BuildContextMenu(const ContextMenuState& state, ContextMenuModel& menu);

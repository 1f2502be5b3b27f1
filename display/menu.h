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
    uint32_t Greyed;  // shown, but not for choosing now
};

// The most entries a menu holds: the main menu in its fullest state holds 19 (a normal window
// with Hide Buttons on, a sound playing, Sync and transparency offered). An entry beyond it is
// left out rather than written past the list.
constexpr uint32_t MenuEntryCapacity = 20;

struct MenuList
{
    uint32_t Count;
    MenuEntry Entries[MenuEntryCapacity];
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
    char AddTimeLabel[32];
};

// "Add 1:00": Add Time's entry and button, its step in the count's short form.
void FormatAddTimeLabel(char (&label)[32]);

// Fills `menu` from the settings record and `state`. The preset labels are formatted into the
// model itself, so the display's WidthClass and ChangeCount stay as they are.
void BuildContextMenu(const ContextMenuState& state, ContextMenuModel& menu);

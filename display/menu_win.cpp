#include <windows.h>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/appstate.h"
#include "app/count.h"
#include "display/display_win.h"
#include "display/menu.h"

namespace
{

HMENU BuildMenu(const ContextMenuModel& model, const MenuList& list)
{
    const HMENU menu = CreatePopupMenu();
    for (uint32_t i = 0; i < list.Count; ++i)
    {
        const MenuEntry& entry = list.Entries[i];
        if (entry.Kind == MenuSeparator)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else if (entry.Kind == MenuSubmenu)
            AppendMenuA(menu, MF_STRING | MF_POPUP,
                        reinterpret_cast<UINT_PTR>(BuildMenu(model, model.Submenus[entry.Submenu])),
                        entry.Text);
        else
            AppendMenuA(menu,
                        MF_STRING | (entry.Checked != 0 ? MF_CHECKED : 0) |
                            (entry.Greyed != 0 ? MF_GRAYED : 0),
                        entry.Id, entry.Text);
    }
    return menu;
}

} // namespace

void ShowContextMenu(HWND window)
{
    ContextMenuState state;
    {
        CountLockGuard lock;
        state.Running = Count.Running;
        state.TimeIsUp = Count.TimeIsUp;
    }
    state.WindowState = WindowState;
    state.FullScreen = FullScreen;
    state.SoundPlaying = SoundPlayerWindow != nullptr ? 1 : 0;
    static ContextMenuModel model;
    BuildContextMenu(state, model);

    const HMENU menu = BuildMenu(model, model.Main);
    POINT pointer;
    GetCursorPos(&pointer);
    SetForegroundWindow(window);
    TrackPopupMenuEx(menu, TPM_RIGHTALIGN, pointer.x, pointer.y, window, nullptr);
    // Without it a menu opened from the tray icon stays open when the user clicks elsewhere.
    PostMessageA(window, WM_NULL, 0, 0);
    // Destroying the menu destroys the submenus attached to it.
    DestroyMenu(menu);
}

// Run-time state of the main window that the count and the display read.
#pragma once

#include <cstdint>

enum : uint32_t
{
    WindowNormal = 0,
    WindowMinimised = 5, // the title shows the count
    WindowInTray = 10,   // hidden behind the tray icon
};

extern uint32_t WindowState;
extern uint32_t FullScreen; // full-screen mode is on (not saved)

// Command ids of the main window (WM_COMMAND, low word of wParam) and its private message.
#pragma once

#include <cstdint>

enum : uint32_t
{
    CmdStartStop = 1001,
    CmdReset = 1002,
    CmdOptions = 1003,
    CmdHelp = 1004,
    CmdAbout = 1005,
    CmdReverse = 1007,
    CmdSync = 1009,
    CmdHideButtons = 2005,
    CmdFullScreen = 2007,
    CmdOnTop = 2008,
    CmdMute = 2009,
    CmdStopSound = 2010,
    CmdTransparent = 2011,
    CmdExit = 2012,
    CmdSecondsMode = 2013, // 2013..2017: No Seconds .. Milli-Seconds
    CmdPresetTime = 2020,  // 2020..2022: presets One .. Three
    CmdDaysMode = 2023,    // 2023..2025: No Days, If Big, Always
    // The keys from anywhere (app/hotkeys.h): the QuickSet window at the pointer, as the Q key
    // opens it; the window brought to the front, or away when it is there already.
    CmdQuickSet = 2030,
    CmdShowHide = 2031,
    // More time for a count that can end, or the same count again for it at a final time-up
    // (AddTime, app/count.h); lParam: the serial of the time-up a window answers, else 0.
    CmdAddTime = 2032,
    CmdSizeSmall = 2040,
    CmdSizeMedium = 2041,
    CmdSizeLarge = 2042,
    CmdAlarmAction = 2100,
    // A time-up's answers, posted with the serial of the time-up (lParam): each acts only on
    // the state it names, and only while nothing has happened to the count since, so a late
    // answer never starts or stops the user's next count.
    CmdAcknowledgeTimeUp = 2101,
    CmdStopCount = 2102,
    CmdStartCount = 2103,
};

// WM_USER + 5: the tray icon's callback message.
constexpr uint32_t WM_TRAYNOTIFY = 0x0400 + 5;

// Shared by the count tests: fresh process-wide state, and a stand-in for the shell that runs
// counting passes at injected ticks and hands posted commands to the count at once, as the
// GUI thread would.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "options/chooser.h"

inline void ResetCountGlobals()
{
    Settings = SettingsRecord{};
    ApplyDefaultFields(Settings, "Time is up!", "Header");
    Count = CountState{};
    std::memset(DisplayText, 0, sizeof DisplayText);
    WidthClass = 0;
    ChangeCount = 0;
    WindowState = WindowNormal;
    FullScreen = 0;
    FlashPhase = 0;
    AlarmRepeats = 0;
    ChooserOpen = 0;
    // The counting rules' own state: not waiting, nothing due to show.
    CountingThreadState fresh;
    BeginCounting(fresh);
}

// A countdown of `time` started at `start`.
inline void StartCountdown(uint32_t time, uint32_t start)
{
    Settings.CountDirection = 1;
    LoadSetTime(time);
    StartCount(start);
}

class CountTest : public ::testing::Test
{
  protected:
    void SetUp() override { ResetCountGlobals(); }
};

struct PostedCommand
{
    uint32_t tick;
    uint32_t command;
};

struct ShellSim
{
    CountingThreadState thread{};
    CountRequests last{};
    std::vector<PostedCommand> posts;
    std::vector<uint32_t> timeUpTicks;     // passes that prepared the alarm sound
    std::vector<uint32_t> windowAutoClose; // one entry per time-up thread started
    std::vector<uint32_t> windowSerials;   // the serial each of those windows answers for

    ShellSim() { BeginCounting(thread); }

    const CountRequests& Pass(uint32_t tick)
    {
        last = CountingPass(tick, thread);
        if (last.PrepareAlarmSound != 0) timeUpTicks.push_back(tick);
        if (last.StartTimeUpThread != 0)
        {
            windowAutoClose.push_back(last.TimeUpAutoClose);
            windowSerials.push_back(last.TimeUpSerial);
        }
        Deliver(last, tick);
        return last;
    }

    // The GUI thread takes the posted commands in order.
    void Deliver(const CountRequests& requests, uint32_t tick)
    {
        for (uint32_t i = 0; i < requests.PostCount; ++i)
        {
            posts.push_back(PostedCommand{tick, requests.Posts[i]});
            TakeCountEffects(ApplyCountCommand(requests.Posts[i], tick, requests.PostSerials[i]));
        }
    }

    // Passes at from, from + step ... up to from + duration (ticks wrap like GetTickCount).
    void Run(uint32_t from, uint32_t duration, uint32_t step)
    {
        for (uint32_t t = 0; t <= duration; t += step)
            Pass(from + t);
    }

    size_t CountPosts(uint32_t command) const
    {
        size_t n = 0;
        for (const PostedCommand& p : posts)
            if (p.command == command) ++n;
        return n;
    }
};

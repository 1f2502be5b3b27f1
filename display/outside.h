// What Mivo shows outside its window: the taskbar button's progress bar, and what a screen
// reader is told of the count. Both change far less often than the count itself.
#pragma once

#include <cstdint>

// The taskbar button's progress: none, running, paused part-way, or a time-up waiting.
enum : uint32_t
{
    ProgressNone,
    ProgressNormal,
    ProgressPaused,
    ProgressError,
};

struct TaskbarProgress
{
    uint32_t State;    // Progress*
    uint32_t PerMille; // of the countdown done, 0 to 1000; 0 with ProgressNone
};

constexpr uint32_t ProgressTotal = 1000;

// The bar for the count at `tick`: a running countdown shows the share done; stopped part-way
// it is paused; a final time-up not yet acknowledged shows the error state, full. Counting up
// (to a time or without end), and a countdown stopped at its start or its end, show none. Call
// under the count lock.
TaskbarProgress TaskbarProgressOf(uint32_t tick);

// What a screen reader is told changed, as Effect* bits of app/count.h: EffectProgress when the
// bar's state or its whole per mille has changed since the last call, EffectAnnounce when the
// shown count has changed at whole-minute resolution or the count has started, stopped or
// timed up. The values now become the last shown. Call under the count lock after each count
// operation and counting pass.
uint32_t OutsideEffects(uint32_t tick);

// The bar as OutsideEffects last took it.
extern TaskbarProgress ProgressShown;

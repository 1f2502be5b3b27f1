// The GUI thread's operations and the counting thread's passes against one another, each under
// one lock as the shell holds it. Run under ThreadSanitizer (build/tsan) it must report nothing;
// in every build neither side may ever see the words of the count from two different states.
#include "count_fixture.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace
{

// Ticks start far from 0 and the counts of the run stay far below this, so a tick and a
// paused count can never be taken for one another.
constexpr uint32_t ClockBase = 0x80000000u;
constexpr uint32_t Plausible = 1u << 30;

std::mutex CountLock;
std::atomic<uint32_t> Clock{ClockBase};

// Read only under CountLock, as the shell calls GetTickCount inside it: the ticks the
// operations see then never run backwards.
uint32_t ReadTick(uint32_t step)
{
    return Clock.fetch_add(step, std::memory_order_relaxed) + step;
}

// The words of the count belong to one state: the elapsed count they give is plausible, which
// it is not when StartTick is read as a tick while it holds a paused count, or the other way
// round (StartTick alone may wrap: a count carried over by CountOffset can put it past the
// tick). Running and time-up never go together.
bool CountIsWhole(uint32_t tick)
{
    if (Count.Running != 0 && Count.TimeIsUp != 0) return false;
    return ElapsedCount(tick) <= Plausible;
}

// The counting thread's wake, an auto-reset event as the shell has it.
struct WakeEvent
{
    std::mutex lock;
    std::condition_variable changed;
    bool set = false;

    void Set()
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            set = true;
        }
        changed.notify_one();
    }
    bool IsSet()
    {
        std::lock_guard<std::mutex> guard(lock);
        return set;
    }
    // Whether it was set within `limit`; taking it resets it.
    bool Wait(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> guard(lock);
        const bool woken = changed.wait_for(guard, limit, [this] { return set; });
        set = false;
        return woken;
    }
};

WakeEvent Wake;
// Wakes taken under the lock whose Set has not been made yet.
std::atomic<int> WakesOnTheirWay{0};

// The count lock as the shell releases it: the release takes the wake of an idle counting
// thread that the change gave work, and sets the event after letting go.
struct CountLockHeld
{
    CountLockHeld() { CountLock.lock(); }
    ~CountLockHeld()
    {
        const bool wake = TakeCountingWake(Clock.load(std::memory_order_relaxed));
        if (wake) WakesOnTheirWay.fetch_add(1);
        CountLock.unlock();
        if (!wake) return;
        Wake.Set();
        WakesOnTheirWay.fetch_sub(1);
    }
    CountLockHeld(const CountLockHeld&) = delete;
    CountLockHeld& operator=(const CountLockHeld&) = delete;
};

uint32_t NextRandom(uint32_t& seed)
{
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

// The main window's message queue: posted commands with their serials, and finished time-up
// windows.
struct Posted
{
    uint32_t command; // a window's close is CmdSizeSmall (a repeat's) or CmdSizeLarge here
    uint32_t serial;
};

struct PostQueue
{
    std::mutex lock;
    std::vector<Posted> posts;

    void Push(uint32_t command, uint32_t serial)
    {
        std::lock_guard<std::mutex> guard(lock);
        posts.push_back({command, serial});
    }
    std::vector<Posted> Take()
    {
        std::lock_guard<std::mutex> guard(lock);
        std::vector<Posted> taken;
        taken.swap(posts);
        return taken;
    }
};

struct StressFigures
{
    uint64_t passes = 0;
    uint64_t operations = 0;
    uint64_t timeUps = 0;
    uint64_t violations = 0;
    uint64_t idleWaits = 0;
    uint64_t lostWakes = 0;
};

// A stop done in two locked halves, as a broken shell might: the counting thread can come in
// between and see a stopped count whose StartTick is still a tick.
void SplitStop()
{
    {
        CountLockHeld guard;
        if (Count.Running == 0)
        {
            StartStopCount(ReadTick(1));
            return;
        }
        Count.Running = 0;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    CountLockHeld guard;
    Count.StartTick = ReadTick(1) - Count.StartTick;
}

void GuiOperation(uint32_t choice, uint32_t& seed, std::atomic<uint64_t>& violations)
{
    CountLockHeld guard;
    const uint32_t tick = ReadTick(1 + NextRandom(seed) % 16);
    const uint32_t r = NextRandom(seed);
    switch (choice)
    {
    case 0: StartStopCount(tick); break;
    case 1: ResetCount(tick); break;
    case 2: ReverseCount(tick); break;
    case 3: SyncCount(tick, r % 60, r % 1000); break;
    case 4:
        Settings.SelectedTime = r % 3;
        LoadAndReset(Settings.SelectedTime, tick);
        break;
    case 5: LoadAndReset((1 + r % 3) * 1000 + r % 700, tick); break;
    case 6:
        // A seconds or days mode chosen from the menu, the window minimised or restored.
        ChangeSecondsMode(r % 5);
        ChangeDaysMode(r % 3);
        ChangeWindowState((r >> 3) % 2 != 0 ? WindowMinimised : WindowNormal);
        break;
    case 7:
        // The options window.
        Settings.ThenAction = r % 4;
        Settings.WaitMode = (r >> 2) % 2;
        Settings.CountUntil = (r >> 3) % 2;
        Settings.RepeatSound = (r >> 4) % 2;
        Settings.FlashDisplay = (r >> 5) % 2;
        Settings.ShowTimeUpWindow = (r >> 6) % 2;
        ChooserOpen = (r >> 7) % 8 == 0 ? 1 : 0;
        ShowCountNow();
        break;
    default:
        // A paint.
        if (std::strlen(DisplayText) > CountTextChars) violations.fetch_add(1);
        ChangeCount = 0;
        break;
    }
    if (!CountIsWhole(tick)) violations.fetch_add(1);
}

// What a run must reach before it ends: both sides ran and met many times, through starts,
// stops, time-ups and idle waits. How long that takes is the machine's figure, not the code's:
// a run lasts its two seconds and then goes on until all is reached, or until the cap.
constexpr uint64_t FewestPasses = 1000, FewestOperations = 1000, FewestTimeUps = 10,
                   FewestIdleWaits = 10;
constexpr auto StressLength = std::chrono::seconds(2);
constexpr auto StressCap = std::chrono::seconds(60);

StressFigures RunStress(bool splitStops)
{
    ResetCountGlobals();
    Clock.store(ClockBase);
    Settings.PresetTimes[0] = 2100;
    Settings.PresetTimes[1] = 2500;
    Settings.PresetTimes[2] = 4000;
    Settings.SelectedTime = 0;
    Settings.CountDirection = 1;
    Settings.RepeatInterval = 100;
    Settings.UpdateFrequency = 0;
    LoadSetTime(0);

    std::atomic<bool> stop{false};
    std::atomic<uint64_t> violations{0};
    std::atomic<uint64_t> passes{0};
    std::atomic<uint64_t> timeUps{0};
    std::atomic<uint64_t> idleWaits{0};
    std::atomic<uint64_t> lostWakes{0};
    PostQueue queue;

    std::thread counting([&] {
        CountingThreadState thread{};
        {
            CountLockHeld guard;
            BeginCounting(thread);
        }
        uint32_t seed = 99;
        while (!stop.load())
        {
            CountRequests requests;
            {
                CountLockHeld guard;
                const uint32_t tick = ReadTick(1 + NextRandom(seed) % 40);
                if (!CountIsWhole(tick)) violations.fetch_add(1);
                requests = CountingPass(tick, thread);
                if (!CountIsWhole(tick)) violations.fetch_add(1);
            }
            // After the lock: the posts and the time-up window, as the shell does them.
            for (uint32_t i = 0; i < requests.PostCount; ++i)
                queue.Push(requests.Posts[i], requests.PostSerials[i]);
            if (requests.StartTimeUpThread != 0)
                queue.Push(requests.TimeUpAutoClose != 0 ? CmdSizeSmall : CmdSizeLarge,
                           requests.TimeUpSerial);
            if (requests.PrepareAlarmSound != 0) timeUps.fetch_add(1);
            passes.fetch_add(1);
            if (requests.WaitForWork == 0)
            {
                std::this_thread::yield();
                continue;
            }
            idleWaits.fetch_add(1);
            while (!stop.load() && !Wake.Wait(std::chrono::milliseconds(20)))
            {
                // Still waiting, looked at under the plain lock (its release must not take the
                // wake): a count running, or anything else due since the idle pass, must have
                // its wake set or on its way. An alarm cycle held by an open chooser is not:
                // nothing of it is due until the chooser closes, whose release wakes it.
                std::lock_guard<std::mutex> guard(CountLock);
                const bool due =
                    Count.Running != 0 ||
                    NextDueDelay(Clock.load(std::memory_order_relaxed), thread) != NothingDue;
                if (due && WakesOnTheirWay.load() == 0 && !Wake.IsSet())
                {
                    lostWakes.fetch_add(1);
                    break;
                }
            }
        }
    });

    uint64_t operations = 0;
    uint32_t seed = 7;
    const auto begun = std::chrono::steady_clock::now();
    const auto enough = [&] {
        if (splitStops) return violations.load() != 0;
        return std::chrono::steady_clock::now() - begun >= StressLength &&
               passes.load() >= FewestPasses && operations >= FewestOperations &&
               timeUps.load() >= FewestTimeUps && idleWaits.load() >= FewestIdleWaits;
    };
    while (!enough() && std::chrono::steady_clock::now() - begun < StressCap)
    {
        // What the other threads posted comes first, in order.
        for (const Posted& post : queue.Take())
        {
            CountLockHeld guard;
            const uint32_t tick = ReadTick(1);
            ApplyCountCommand(post.command, tick, post.serial);
            // A time-up window closes: its thread decides under the lock; what it posts goes
            // to the queue like any post.
            if (post.command == CmdSizeSmall || post.command == CmdSizeLarge)
            {
                const CountRequests answer = TimeUpWindowClosed(
                    1 + tick % 2, post.command == CmdSizeSmall ? 1 : 0, post.serial);
                for (uint32_t i = 0; i < answer.PostCount; ++i)
                    queue.Push(answer.Posts[i], answer.PostSerials[i]);
            }
            if (!CountIsWhole(tick)) violations.fetch_add(1);
        }
        const uint32_t choice = NextRandom(seed) % 10;
        if (splitStops && choice == 0)
            SplitStop();
        else
            GuiOperation(choice, seed, violations);
        ++operations;
        // A mutex need not be fair: without a turn given away one side can starve the other.
        std::this_thread::yield();
        // Keep every count far below a tick, whatever the run's length.
        if (Clock.load() - ClockBase > Plausible / 2) break;
    }
    stop.store(true);
    counting.join();

    StressFigures figures;
    figures.passes = passes.load();
    figures.operations = operations;
    figures.timeUps = timeUps.load();
    figures.violations = violations.load();
    figures.idleWaits = idleWaits.load();
    figures.lostWakes = lostWakes.load();
    return figures;
}

TEST(CountStress, OperationsAndPassesNeverSeeAHalfChangedCount)
{
    const StressFigures f = RunStress(false);
    std::printf(
        "stress: %llu passes, %llu operations, %llu time-ups, %llu idle waits\n",
        static_cast<unsigned long long>(f.passes), static_cast<unsigned long long>(f.operations),
        static_cast<unsigned long long>(f.timeUps), static_cast<unsigned long long>(f.idleWaits));
    // Both sides ran and met many times, through starts, stops and time-ups.
    EXPECT_GE(f.passes, FewestPasses);
    EXPECT_GE(f.operations, FewestOperations);
    EXPECT_GE(f.timeUps, FewestTimeUps);
    EXPECT_EQ(f.violations, 0u);
    // The idle thread waited often and was always woken by what gave it work.
    EXPECT_GE(f.idleWaits, FewestIdleWaits);
    EXPECT_EQ(f.lostWakes, 0u);
}

// The check above is worth something only if it catches a broken operation: a stop split in
// two halves is seen half done.
TEST(CountStress, ASplitStopIsCaught)
{
    const StressFigures f = RunStress(true);
    EXPECT_GT(f.violations, 0u);
}

} // namespace

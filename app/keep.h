// A count that outlives the program: the count's state kept in the settings record between
// runs, and the rule that brings it back at the next start without ever carrying out, late
// and unasked, an action whose moment has passed. The rules; app/keep_win.cpp reads the clock,
// saves the file, holds the one keeper's mutex and asks Windows for a restart.
#pragma once

#include <cstdint>

struct SettingsRecord;

// Wall-clock moments are milliseconds since 1601 (UTC): GetSystemTimeAsFileTime / 10,000.

// The kept count: the record's bytes 2724 to 2755 (KeptBytes), little-endian words.
//   2724  Tag     KeptCountTag ("Mvk1"); anything else, all zero in every older file, is no count
//   2728  Check   KeptCheck of the bytes 2732 to 2755: damaged or foreign bytes are no count
//   2732  Flags   KeptRunning | KeptDown | KeptEndless
//   2736  Target  the count's target, ms
//   2740  Count   running: the moment its elapsed time was 0; stopped: its elapsed time, ms
//   2748  KeptAt  the moment it was kept (with Count, the elapsed time then)
struct KeptCount
{
    uint32_t Tag;
    uint32_t Check;
    uint32_t Flags;
    uint32_t Target;
    uint64_t Count;
    uint64_t KeptAt;
};
static_assert(sizeof(KeptCount) == 32, "the kept count fills its 32 bytes");

constexpr uint32_t KeptCountTag = 0x316B764D; // "Mvk1"
constexpr uint32_t KeptRunning = 1;
constexpr uint32_t KeptDown = 2;    // counting down
constexpr uint32_t KeptEndless = 4; // counting up without end (CountUntil 1)

uint32_t KeptCheck(const KeptCount& kept);

// The count (Count, the direction and until of Settings) as kept at `tick`, the wall clock
// reading `now` at the same moment. A time-up still waiting for its answer is kept as answered:
// stopped at its end, it never comes back as a late time-up.
KeptCount KeepCount(uint32_t tick, uint64_t now);

// The kept bytes of `record`: written (tag and check filled in), read (false when they hold no
// count or a damaged one), or cleared to the zeros of "no count kept".
void WriteKeptCount(SettingsRecord& record, KeptCount kept);
bool ReadKeptCount(const SettingsRecord& record, KeptCount& kept);
void ClearKeptCount(SettingsRecord& record);

// What the start-up does with a kept count.
enum : uint32_t
{
    ResumeNothing,      // none kept, or the command line gave a time or a start
    ResumeStopped,      // stopped at Elapsed
    ResumeAnswered,     // a time-up answered at exit: the set time, stopped, as after OK
    ResumeRunning,      // running on from Elapsed (past the target: its one time-up is due)
    ResumeLateTimeUp,   // its end passed while the program was closed: running, just past it
};

// The settings the start-up rule reads besides the kept count.
struct ResumeRules
{
    uint32_t Overridden; // the command line gave a time or a start switch: the kept count goes
    uint32_t WaitMode;
    uint32_t ThenAction;
    uint32_t AlarmAction;
};

struct ResumePlan
{
    uint32_t Kind;    // Resume*
    uint32_t Down;    // the direction to count in (after the Reverses of skipped periods)
    uint32_t Endless; // counting up without end
    uint32_t Target;
    uint32_t Elapsed; // the elapsed count at `now`
    uint32_t Asks;    // ResumeLateTimeUp: its action (a shutdown, a restart, a file run) asks first
    uint64_t DueAt;   // ResumeLateTimeUp: the moment its time was up
};

// EffectKeep (app/count.h) when what the kept count depends on (running or not, the time-up,
// the target, the start and offset, the direction and until) differs from the last call: after
// every count operation and counting pass, under the lock. A running count that runs on keeps
// nothing new; the keeping itself is the shell's, at most once a second.
uint32_t KeepEffects();

// The start-up rule: `kept` as the record holds it (valid or not), the wall clock at `now`.
// A clock set back since the keeping never makes the count go back past where it was kept. A
// running count whose end has not passed runs on; an endless count-up counts on from its
// start; a repeating count skips the periods that passed while closed and gives one time-up
// at most, unless its action asks, which turns the passed end into the late question; any
// other count whose end passed is a late time-up.
ResumePlan PlanResume(const KeptCount& kept, bool valid, uint64_t now, const ResumeRules& rules);

// Brings the planned count back, at `tick`: its direction and until, its target, stopped or
// running from its elapsed count; a late time-up is due at the next pass (ClosedTimeUpAt,
// app/counting.h). Returns what the window must be told, as a count operation does.
uint32_t ResumeCount(const ResumePlan& plan, uint32_t tick);

// The time-up actions of the real shell under Wine (bench_mivo_shell.exe alarm). Not product
// code.
//   random sound: PickRandomSound on a folder of 10,000 sound files, each call timed;
//   time-up to sound: a running 3 s countdown with Play Sound File (an MP3), from the tick at
//   which its time was up to the moment the player was told to play; the same with Random
//   Sound File over the 10,000 files.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "bench/win/bench_report_win.h"
#include "bench/win/shell_bench_win.h"
#include "data/settings.h"
#include "tests/win/sounds_win.h"
#include "text/text.h"

namespace
{

void WriteSilentMp3(const std::string& path, int frames)
{
    const std::string bytes = SilentMp3(frames);
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// From the nominal time-up of a running 3 s countdown to the player being told to play, ms.
double TimeUpToSound()
{
    PostMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0); // start
    PumpFor(50);
    uint32_t due;
    {
        CountLockGuard lock;
        due = Count.StartTick + Count.TargetTime;
    }
    while (SoundPlayerWindow == nullptr)
    {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ProcessLoopMessage(msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    const double late = static_cast<double>(GetTickCount() - due);
    StopSoundPlayer();
    PostMessageA(MainWindow, WM_COMMAND, CmdStartStop, 0); // acknowledge
    PumpFor(100);
    return late;
}

} // namespace

int MeasureAlarm(const char* report)
{
    char own[MAX_PATH];
    BenchOwnFolder(own);
    const std::string folder = std::string(own) + "sounds";
    if (CreateDirectoryA(folder.c_str(), nullptr))
        for (int i = 0; i < 10000; ++i)
            WriteSilentMp3(folder + "\\s" + std::to_string(i) + ".mp3", 1);
    const std::string tone = std::string(own) + "tone.mp3";
    WriteSilentMp3(tone, OneSecondOfFrames);

    std::vector<double> picks;
    for (int round = 0; round < 5; ++round)
    {
        char path[600];
        CopyText(folder.c_str(), path);
        const double start = BenchNowMs();
        PickRandomSound(path);
        picks.push_back(BenchNowMs() - start);
        if (SameText(path, folder.c_str())) return 3; // nothing found: no figure
    }
    BenchReport(report, "pick_random_sound_10000_ms", Median(picks));

    if (!StartTimerHere(" /s=3 b")) return 1;
    Settings.ShowTimeUpWindow = 0;
    Settings.FlashDisplay = 0;
    Settings.AlarmAction = 2;
    CopyText(tone.c_str(), Settings.AlarmPath);
    std::vector<double> sound;
    for (int round = 0; round < 3; ++round)
        sound.push_back(TimeUpToSound());
    BenchReport(report, "timeup_to_sound_file_ms", Median(sound));

    Settings.AlarmAction = 3;
    CopyText(folder.c_str(), Settings.AlarmPath);
    std::vector<double> random;
    for (int round = 0; round < 3; ++round)
        random.push_back(TimeUpToSound());
    BenchReport(report, "timeup_to_random_sound_ms", Median(random));
    return 0;
}

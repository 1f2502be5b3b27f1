#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "alarm/prompt_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

namespace
{

// The open QuickSet window of this process: the window that holds the "1D" button.
HWND WaitForQuickSet(DWORD milliseconds = 5000)
{
    return WaitForWindow(
        nullptr, [](HWND window) { return GetDlgItem(window, 2640) != nullptr; }, milliseconds);
}

// What the user saw of one QuickSet window.
struct Seen
{
    bool opened = false;
    RECT frame = {};
    bool topMost = false;
    HWND owner = nullptr;
    std::string label10;
};

// Opens the QuickSet window with `open`, then, from a helper thread as a user would, runs
// `answer` on it and waits until it has closed.
Seen OpenAndAnswer(const std::function<void()>& open, const std::function<void(HWND)>& answer)
{
    Seen seen;
    AsUser(
        [&] {
            const HWND dialog = WaitForQuickSet();
            if (dialog != nullptr)
            {
                seen.opened = true;
                GetWindowRect(dialog, &seen.frame);
                seen.topMost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                seen.owner = GetWindow(dialog, GW_OWNER);
                seen.label10 = WindowText(GetDlgItem(dialog, 1210));
                answer(dialog);
                for (int i = 0; i < 500 && IsWindow(dialog); ++i)
                    Sleep(10);
            }
        },
        open);
    return seen;
}

void LeftClick()
{
    PostMessageA(MainWindow, WM_LBUTTONUP, 0, MAKELPARAM(50, 100));
}

void PressQ()
{
    MSG key = {MainWindow, WM_KEYDOWN, 'Q', 0, 0, {}};
    ProcessLoopMessage(key);
}

std::function<void(HWND)> Press(int id)
{
    return [id](HWND dialog) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}

// Esc as the keyboard sends it, to the control that has the focus.
void PressEscape(HWND dialog)
{
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    const HWND target = thread.hwndFocus != nullptr ? thread.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

std::string QuickSetSettings(uint32_t autoStart, uint32_t autoReset)
{
    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1; // down: the loaded time is what is left
    record.TwoClickQuickSet = 1;
    record.AutoStartQuickSet = autoStart;
    record.AutoReset = autoReset;
    return SettingsImage(record);
}

TEST(QuickSetWindow, TenFromALeftClickStartsATenMinuteCountAndQOpensItToo)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", QuickSetSettings(1, 1)).empty());
    const uint32_t selected = Settings.SelectedTime;

    const Seen seen = OpenAndAnswer(LeftClick, Press(1210));
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.label10, "10");
    EXPECT_EQ(seen.owner, MainWindow);
    EXPECT_TRUE(seen.topMost);
    EXPECT_EQ(PromptResult.load(), 1210u);
    EXPECT_EQ(Settings.SetTime, 600000u);
    EXPECT_EQ(Count.TargetTime, 600000u);
    EXPECT_EQ(Count.Running, 1u);
    // The start kept the chosen time: the reset to the preset was skipped once, then re-armed.
    EXPECT_EQ(Settings.AutoReset, 1u);
    EXPECT_EQ(Settings.SelectedTime, selected);
    PumpMessagesFor(300);
    EXPECT_EQ(std::string(DisplayText).substr(0, 4), "09:5") << DisplayText;

    // Q opens it as well; "2" loads two minutes into the running count.
    ASSERT_TRUE(OpenAndAnswer(PressQ, Press(1202)).opened);
    EXPECT_EQ(Settings.SetTime, 120000u);
    EXPECT_EQ(Count.Running, 1u);
    PumpMessagesFor(200);
    EXPECT_EQ(std::string(DisplayText).substr(0, 4), "01:5") << DisplayText;
}

// A time-up window closing on another thread sets the last prompt result. Here it closes just
// after the click on "10", before the QuickSet window has returned.
LRESULT CALLBACK PromptClosesAfterTheChoice(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_COMMAND && LOWORD(sent->wParam) == 1210 &&
        GetDlgItem(sent->hwnd, 2640) != nullptr)
        PromptResult = PromptFirst;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(QuickSetWindow, TheChoiceSurvivesAPromptClosingMeanwhile)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", QuickSetSettings(0, 1)).empty());
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, PromptClosesAfterTheChoice, nullptr,
                                         GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const Seen seen = OpenAndAnswer(LeftClick, Press(1210));
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(PromptResult.load(), uint32_t{PromptFirst}); // the hook did overwrite it
    EXPECT_EQ(Settings.SetTime, 600000u);
    EXPECT_EQ(Count.TargetTime, 600000u);
}

TEST(QuickSetWindow, CancelAndEscChangeNothing)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", QuickSetSettings(1, 1)).empty());
    const uint32_t setTime = Settings.SetTime;
    const std::string shown = DisplayText;

    ASSERT_TRUE(OpenAndAnswer(LeftClick, Press(IDCANCEL)).opened);
    EXPECT_EQ(PromptResult.load(), 2u);
    ASSERT_TRUE(OpenAndAnswer(PressQ, PressEscape).opened);
    EXPECT_EQ(PromptResult.load(), 2u);

    EXPECT_EQ(Settings.SetTime, setTime);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Settings.AutoReset, 1u);
    EXPECT_EQ(DisplayText, shown);
    EXPECT_EQ(WaitForQuickSet(0), nullptr);
}

TEST(QuickSetWindow, OneDayLoadsADayWithoutStartingWhenAutoStartIsOff)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", QuickSetSettings(0, 1)).empty());
    ASSERT_TRUE(OpenAndAnswer(LeftClick, Press(2640)).opened);
    EXPECT_EQ(PromptResult.load(), 2640u);
    EXPECT_EQ(Settings.SetTime, 86400000u);
    EXPECT_EQ(Count.TargetTime, 86400000u);
    EXPECT_EQ(Count.Running, 0u);
    EXPECT_EQ(Settings.AutoReset, 1u);
}

TEST(QuickSetWindow, OpensUnderThePointerAndNoLowerThanTheBottomRule)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", QuickSetSettings(0, 0)).empty());
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case
    {
        POINT pointer;
        POINT corner;
    } const cases[] = {
        {{400, 30}, {350, -20}},                               // top: partly above the screen
        {{300, 300}, {250, 250}},                              // in the middle
        {{420, screenHeight - 10}, {370, screenHeight - 200}}, // bottom: lifted
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(SetCursorPos(c.pointer.x, c.pointer.y));
        POINT at;
        GetCursorPos(&at);
        ASSERT_EQ(at.y, c.pointer.y) << "the pointer could not be moved";
        const Seen seen = OpenAndAnswer(PressQ, [](HWND dialog) {
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            CaptureClient(dialog, "quickset");
            PressEscape(dialog);
        });
        ASSERT_TRUE(seen.opened);
        EXPECT_EQ(seen.frame.left, c.corner.x) << c.pointer.y;
        EXPECT_EQ(seen.frame.top, c.corner.y) << c.pointer.y;
    }
    EXPECT_EQ(Settings.SetTime, Settings.PresetTimes[0]);
}

TEST(QuickSetWindow, ALeftClickOpensNothingWithoutTwoClickQuickSet)
{
    SettingsRecord record = DefaultRecord();
    record.TwoClickQuickSet = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    LeftClick();
    PressQ();
    PumpMessagesFor(300);
    EXPECT_EQ(WaitForQuickSet(0), nullptr);
    EXPECT_EQ(Settings.SetTime, Settings.PresetTimes[0]);
}

} // namespace

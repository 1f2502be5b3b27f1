#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>
#include <shobjidl.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/appstate.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

namespace
{

// Every call Mivo makes on the taskbar object, passed on to the real one.
struct TaskbarCall
{
    bool state; // SetProgressState, else SetProgressValue
    int flags;
    ULONGLONG done, total;
    HRESULT result;
};
std::vector<TaskbarCall> Calls;

HRESULT RecordState(ITaskbarList3* taskbar, HWND window, int flags)
{
    EXPECT_EQ(window, MainWindow);
    const HRESULT result = SystemSetProgressState(taskbar, window, flags);
    Calls.push_back({true, flags, 0, 0, result});
    return result;
}

HRESULT RecordValue(ITaskbarList3* taskbar, HWND window, ULONGLONG done, ULONGLONG total)
{
    const HRESULT result = SystemSetProgressValue(taskbar, window, done, total);
    Calls.push_back({false, 0, done, total, result});
    return result;
}

// The shell's word that the button exists, as Windows sends it after the window shows.
void TaskbarButtonAppears()
{
    SetProgressStateProc = RecordState;
    SetProgressValueProc = RecordValue;
    SendMessageA(MainWindow, RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
}

int LastState()
{
    for (auto call = Calls.rbegin(); call != Calls.rend(); ++call)
        if (call->state) return call->flags;
    return -1;
}

std::vector<int> States()
{
    std::vector<int> states;
    for (const TaskbarCall& call : Calls)
        if (call.state) states.push_back(call.flags);
    return states;
}

TEST(Taskbar, ACountdownShowsItsShareThenPausedThenTheErrorUntilAcknowledged)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=10 b").empty());
    TaskbarButtonAppears();
    EXPECT_TRUE(Calls.empty()) << "a full count shows no bar";

    const uint32_t passesBefore = CountingPasses;
    Command(CmdStartStop);
    PumpMessagesFor(3000);
    Command(CmdStartStop);
    EXPECT_EQ(LastState(), TBPF_PAUSED);
    Command(CmdStartStop);
    ASSERT_TRUE(PumpUntil([] { return Count.TimeIsUp != 0; }, 12000));
    PumpMessagesFor(200);
    EXPECT_EQ(LastState(), TBPF_ERROR);
    const uint32_t passes = CountingPasses - passesBefore;
    Command(CmdAcknowledgeTimeUp);
    EXPECT_EQ(LastState(), TBPF_NOPROGRESS);

    EXPECT_EQ(States(), (std::vector<int>{TBPF_NORMAL, TBPF_PAUSED, TBPF_NORMAL, TBPF_ERROR,
                                          TBPF_NOPROGRESS}));
    // The values rise from 0 to the whole, out of 1000, and each is the real object's.
    ULONGLONG last = 0;
    int values = 0;
    for (const TaskbarCall& call : Calls)
    {
        EXPECT_EQ(call.result, S_OK);
        if (call.state) continue;
        ++values;
        EXPECT_EQ(call.total, 1000u);
        EXPECT_GE(call.done, last);
        last = call.done;
    }
    EXPECT_LE(Calls[1].done, 20u) << "the first value is the start";
    EXPECT_EQ(last, 1000u);
    // At most one value for each of the counting thread's passes, and never one for a pass
    // that left the whole per mille as it was.
    std::printf("%d values over %u passes\n", values, passes);
    EXPECT_LE(values, static_cast<int>(passes) + 2);
    EXPECT_LE(values, 1001);
}

// A long countdown moves its bar every 600 ms: the counting thread's ten passes a second ask
// nothing of the taskbar in between.
TEST(Taskbar, ALongCountdownCostsNoCallPerTick)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=10 b").empty());
    TaskbarButtonAppears();
    const uint32_t passesBefore = CountingPasses;
    Command(CmdStartStop);
    PumpMessagesFor(3000);
    const uint32_t passes = CountingPasses - passesBefore;
    int values = 0;
    for (const TaskbarCall& call : Calls)
        values += call.state ? 0 : 1;
    std::printf("%d values over %u passes\n", values, passes);
    EXPECT_GE(passes, 20u);
    EXPECT_GE(values, 4);
    EXPECT_LE(values, 7);
}

TEST(Taskbar, CountingUpShowsNoBar)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=10 b").empty());
    TaskbarButtonAppears();
    Command(CmdReverse);
    Command(CmdStartStop);
    PumpMessagesFor(1500);
    Command(CmdStartStop);
    EXPECT_TRUE(Calls.empty());
}

// In the tray the window has no taskbar button: nothing is set until the button is back.
TEST(Taskbar, InTheTrayNothingIsSet)
{
    SettingsRecord record = DefaultRecord();
    record.MinimiseToTray = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=10 b", SettingsImage(record)).empty());
    TaskbarButtonAppears();
    ShowWindow(MainWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_EQ(WindowState, static_cast<uint32_t>(WindowInTray));
    Command(CmdStartStop);
    PumpMessagesFor(1500);
    EXPECT_TRUE(Calls.empty());
    // Back from the tray the shell makes a new button and says so: the bar shows at once.
    ShowWindow(MainWindow, SW_RESTORE);
    PumpMessages();
    ASSERT_NE(WindowState, static_cast<uint32_t>(WindowInTray));
    SendMessageA(MainWindow, RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
    EXPECT_EQ(LastState(), TBPF_NORMAL);
}

std::wstring Wide(const char* text)
{
    wchar_t wide[256] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256);
    return wide;
}

std::wstring TakeString(BSTR text)
{
    std::wstring out = text != nullptr ? text : L"";
    SysFreeString(text);
    return out;
}

struct ComThread
{
    ComThread() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComThread() { CoUninitialize(); }
};

IAccessible* ClientObject(HWND window)
{
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
}

TEST(Accessible, TheClientAreaIsAClockNamedMivoWhoseValueIsTheShownText)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=2 b").empty());
    ComThread com;
    IAccessible* clock = ClientObject(MainWindow);
    ASSERT_NE(clock, nullptr);
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    ASSERT_EQ(clock->get_accName(self, &text), S_OK);
    EXPECT_EQ(TakeString(text), L"Mivo");
    VARIANT role;
    VariantInit(&role);
    ASSERT_EQ(clock->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLOCK);
    ASSERT_EQ(clock->get_accValue(self, &text), S_OK);
    EXPECT_EQ(TakeString(text), L"02:00.0");
    EXPECT_EQ(Wide(DisplayText), L"02:00.0");

    // Running, the value is what the display shows at the moment it is asked.
    Command(CmdStartStop);
    PumpMessagesFor(1200);
    ASSERT_EQ(clock->get_accValue(self, &text), S_OK);
    char shown[64];
    {
        CountLockGuard lock;
        CopyCountTitle(shown);
    }
    EXPECT_EQ(TakeString(text), Wide(shown));
    Command(CmdStartStop);

    // The buttons are the system's own push buttons, children of the clock.
    LONG children = 0;
    ASSERT_EQ(clock->get_accChildCount(&children), S_OK);
    EXPECT_GE(children, 6);
    clock->Release();
    // Each answers as the system's standard object for it does (on Windows a push button; this
    // Wine's oleacc gives every control the client role).
    const HWND button = GetDlgItem(MainWindow, CmdStartStop);
    IAccessible* start = ClientObject(button);
    IAccessible* standard = nullptr;
    ASSERT_EQ(CreateStdAccessibleObject(button, OBJID_CLIENT, IID_IAccessible,
                                        reinterpret_cast<void**>(&standard)),
              S_OK);
    ASSERT_NE(start, nullptr);
    VARIANT expected;
    VariantInit(&expected);
    VariantInit(&role);
    ASSERT_EQ(start->get_accRole(self, &role), S_OK);
    ASSERT_EQ(standard->get_accRole(self, &expected), S_OK);
    EXPECT_EQ(role.lVal, expected.lVal);
    EXPECT_NE(role.lVal, ROLE_SYSTEM_CLOCK);
    ASSERT_EQ(start->get_accName(self, &text), S_OK);
    EXPECT_EQ(TakeString(text), L"Start");
    start->Release();
    standard->Release();
}

std::atomic<int> ValueChanges;
void CALLBACK CountValueChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                               DWORD, DWORD)
{
    if (event == EVENT_OBJECT_VALUECHANGE && window == MainWindow && object == OBJID_CLIENT &&
        child == CHILDID_SELF)
        ++ValueChanges;
}

// Ten texts a second, but a screen reader hears of the start, the new minute and the stop.
TEST(Accessible, AValueChangeIsRaisedPerMinuteAndStateNotPerTick)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=2 b").empty());
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                        CountValueChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    PumpMessagesFor(200);
    ValueChanges = 0;
    const uint32_t passesBefore = CountingPasses;
    Command(CmdStartStop);
    PumpMessagesFor(3000);
    Command(CmdStartStop);
    PumpMessagesFor(300);
    const uint32_t passes = CountingPasses - passesBefore;
    UnhookWinEvent(hook);
    std::printf("%d value changes over %u passes\n", ValueChanges.load(), passes);
    EXPECT_GE(passes, 20u);
    // Started (2:00.0), a new minute (1:59.9), stopped.
    EXPECT_EQ(ValueChanges.load(), 3);
}

// The time-up window is a dialog of standard controls: its message is its accessible name.
TEST(Accessible, TheTimeUpWindowsTextIsItsName)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b").empty());
    Command(CmdStartStop);
    std::wstring name, message;
    AsUser([&] {
        const HWND prompt = WaitForWindow("Mivo 1.9", 10000);
        if (prompt == nullptr) return;
        ComThread com;
        const HWND field = GetDlgItem(prompt, 1601);
        message = Wide(WindowText(field).c_str());
        if (IAccessible* object = ClientObject(field))
        {
            VARIANT self;
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR text = nullptr;
            if (object->get_accName(self, &text) == S_OK) name = TakeString(text);
            object->Release();
        }
        PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(name, message);
}

} // namespace

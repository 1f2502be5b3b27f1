#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>
#include <servprov.h>
#include <shobjidl.h>

#include <atomic>
#include <cstring>
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
    uint32_t passes, counted;
    {
        // Read with the calls: only this thread makes them, and it is here.
        CountLockGuard lock;
        passes = CountingPasses - passesBefore;
        counted = ElapsedCount(GetTickCount());
    }
    int values = 0;
    for (const TaskbarCall& call : Calls)
        values += call.state ? 0 : 1;
    std::printf("%d values over %u passes in %u ms\n", values, passes, counted);
    // One value at the start, then one per 600 ms counted at most, however many passes came.
    EXPECT_LE(values, static_cast<int>(counted / 600) + 1);
    EXPECT_GE(values, 2);
    EXPECT_GT(passes, static_cast<uint32_t>(values));
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

// The clock's name, role and value as a screen reader reads them.
void ExpectClockReads(IAccessible* clock, const wchar_t* value)
{
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
    EXPECT_EQ(TakeString(text), value);
}

TEST(Accessible, TheClientAreaIsAClockNamedMivoWhoseValueIsTheShownText)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=2 b").empty());
    ComThread com;
    IAccessible* clock = ClientObject(MainWindow);
    ASSERT_NE(clock, nullptr);
    ExpectClockReads(clock, L"02:00.0");
    EXPECT_EQ(Wide(DisplayText), L"02:00.0");
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    VARIANT role;

    // Running, the value is what the display shows at the moment it is asked: compared with
    // the text before and after the question, when the count did not move on in between.
    Command(CmdStartStop);
    PumpMessagesFor(1200);
    bool compared = false;
    for (int attempt = 0; attempt < 100 && !compared; ++attempt)
    {
        char before[64], after[64];
        {
            CountLockGuard lock;
            CopyCountTitle(before);
        }
        ASSERT_EQ(clock->get_accValue(self, &text), S_OK);
        {
            CountLockGuard lock;
            CopyCountTitle(after);
        }
        const std::wstring value = TakeString(text);
        if (std::strcmp(before, after) != 0) continue;
        EXPECT_EQ(value, Wide(before));
        EXPECT_NE(value, L"02:00.0");
        compared = true;
    }
    EXPECT_TRUE(compared);
    Command(CmdStartStop);

    // The clock is one object: whichever of its interfaces is asked for, IUnknown is the same;
    // it answers for the window it belongs to; the children are reached without an enumerator.
    IUnknown* identity = nullptr;
    ASSERT_EQ(clock->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    for (const IID* face : {&IID_IDispatch, &IID_IAccessible, &IID_IOleWindow, &IID_IEnumVARIANT,
                            &IID_IServiceProvider})
    {
        IUnknown* other = nullptr;
        if (FAILED(clock->QueryInterface(*face, reinterpret_cast<void**>(&other)))) continue;
        IUnknown* otherIdentity = nullptr;
        ASSERT_EQ(other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&otherIdentity)),
                  S_OK);
        EXPECT_EQ(otherIdentity, identity);
        otherIdentity->Release();
        other->Release();
    }
    identity->Release();
    HWND owner = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(clock, &owner), S_OK);
    EXPECT_EQ(owner, MainWindow);
    VARIANT all[16];
    LONG got = 0;
    // S_FALSE: fewer than asked for.
    ASSERT_TRUE(SUCCEEDED(AccessibleChildren(clock, 0, 16, all, &got)));
    EXPECT_GE(got, 6);
    for (LONG i = 0; i < got; ++i)
        VariantClear(&all[i]);

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

// COM on the window's thread: none after a plain start, and a single-threaded apartment from
// the first question for the client object on (a multithreaded one is then refused).
TEST(Accessible, TheFirstQuestionStartsComOnTheWindowsThread)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=2 b").empty());
    const HRESULT before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(before, S_OK) << "a plain start starts no COM";
    if (SUCCEEDED(before)) CoUninitialize();
    const LRESULT answer =
        SendMessageA(MainWindow, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    EXPECT_GT(answer, 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    // The object handed out is taken back, as a client would.
    IAccessible* clock = nullptr;
    EXPECT_EQ(ObjectFromLresult(answer, IID_IAccessible, 0, reinterpret_cast<void**>(&clock)),
              S_OK);
    if (clock != nullptr) clock->Release();
}

// A screen reader is another process: it reaches the real program's clock through COM, which
// the program starts on its window's thread the first time it is asked.
TEST(Accessible, AScreenReaderInAnotherProcessReadsTheClock)
{
    const std::string folder = NewTempFolder();
    ASSERT_TRUE(CopyFileA(ProductExePath().c_str(), (folder + "Mivo.exe").c_str(), FALSE));
    WriteBytes(folder + "dMivo.dat", DefaultSettingsImage());
    DWORD id = 0;
    const HANDLE process = StartProgram(folder + "Mivo.exe", " /m=2 b", folder, "", id);
    ASSERT_NE(process, nullptr);
    const HWND window = MainWindowOf(id, 20000);
    ASSERT_NE(window, nullptr);
    {
        ComThread com;
        IAccessible* clock = ClientObject(window);
        ASSERT_NE(clock, nullptr);
        ExpectClockReads(clock, L"02:00.0");
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        // Running, the value follows the count.
        PostMessageA(window, WM_COMMAND, CmdStartStop, 0);
        std::wstring value = L"02:00.0";
        EXPECT_TRUE(PumpUntil(
            [&] {
                if (clock->get_accValue(self, &text) == S_OK) value = TakeString(text);
                return value != L"02:00.0";
            },
            10000));
        EXPECT_EQ(value.substr(0, 3), L"01:");
        clock->Release();
    }
    // Ended as usual, its COM ended with it.
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 0x00400000u);
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
    // Started (2:00.0), a new minute (1:59.9), stopped: the third is the last there can be.
    EXPECT_TRUE(PumpUntil([] { return ValueChanges.load() >= 3; }));
    PumpMessages();
    const uint32_t passes = CountingPasses - passesBefore;
    UnhookWinEvent(hook);
    std::printf("%d value changes over %u passes\n", ValueChanges.load(), passes);
    EXPECT_EQ(ValueChanges.load(), 3);
    EXPECT_GT(passes, 3u * 3u) << "many texts, few events";
}

// The last stretch is heard: at the crossing a value change, and the clock's description says
// what is left until the stretch ends.
TEST(Accessible, TheLastStretchIsDescribedAsWhatIsLeft)
{
    SettingsRecord record = DefaultRecord();
    record.WarnBefore = 3000;
    record.AlarmAction = 0;
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=5 b", SettingsImage(record)).empty());
    ComThread com;
    IAccessible* clock = ClientObject(MainWindow);
    ASSERT_NE(clock, nullptr);
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto description = [&] {
        BSTR text = nullptr;
        const HRESULT result = clock->get_accDescription(self, &text);
        return result == S_OK ? TakeString(text) : std::wstring();
    };
    EXPECT_EQ(description().find(L"left"), std::wstring::npos);

    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                        CountValueChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Command(CmdStartStop);
    PumpMessages();
    ValueChanges = 0;
    ASSERT_TRUE(PumpUntil(
        [] {
            CountLockGuard lock;
            return Count.InStretch != 0;
        },
        10000));
    EXPECT_TRUE(PumpUntil([] { return ValueChanges.load() >= 1; })) << "heard at the crossing";
    // Between three seconds and none left, rounded up to whole seconds.
    const std::wstring inside = description();
    EXPECT_TRUE(inside == L"0:03 left" || inside == L"0:02 left" || inside == L"0:01 left")
        << std::string(inside.begin(), inside.end());
    Command(CmdStartStop);
    Command(CmdReset);
    EXPECT_EQ(description().find(L"left"), std::wstring::npos) << "the stretch ended";
    UnhookWinEvent(hook);
    clock->Release();
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

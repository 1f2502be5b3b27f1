#include <windows.h>

#include <colordlg.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "alarm/alarm_win.h"
#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "app/counting.h"
#include "app/hotkeys.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/timetext.h"
#include "options/chooser.h"
#include "options/options_win.h"
#include "options/pages.h"
#include "resources/resource.h"
#include "tests/win/harness_win.h"
#include "tests/win/sounds_win.h"
#include "text/text.h"

namespace
{

constexpr DWORD Patience = 5000;

// Polls `done` from the user's thread until it holds or the patience runs out.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = Patience)
{
    const DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(10);
    }
    return true;
}

// The open options window: the "Mivo 1.9" window of this process that holds a tab control.
HWND FindSheet()
{
    return WaitForWindow(
        "Mivo 1.9",
        [](HWND window) {
            return FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr) != nullptr;
        },
        0);
}

// The option sheets this process shows (other tests may show theirs meanwhile).
int CountSheets()
{
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", "Mivo 1.9")) != nullptr)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr))
            ++count;
    }
    return count;
}

// Replaces a field's text by typing, as the keyboard would: select all, then the characters.
void TypeInField(HWND field, const std::string& text)
{
    PostMessageA(field, EM_SETSEL, 0, -1);
    PostMessageA(field, WM_CHAR, VK_BACK, 0x000E0001);
    for (char c : text)
        PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    WaitUntil([&] { return WindowText(field) == text; });
}

// What a user does in the sheet, from a thread of their own while the program's thread runs
// the sheet's modal loop.
struct User
{
    HWND sheet = nullptr;

    HWND Page() const
    {
        return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    HWND Control(int id) const { return GetDlgItem(Page(), id); }
    std::string Text(int id) const { return WindowText(Control(id)); }
    bool Checked(int id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) != 0; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    std::string TabLabel(int index) const
    {
        const HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        char text[64] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    // Clicks the tab `index` with the mouse and waits for its page.
    bool ClickTab(int index, const char* caption)
    {
        const HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        RECT r;
        SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tabs, WM_LBUTTONUP, 0, at);
        return WaitUntil([&] { return WindowText(Page()) == caption; });
    }

    // Clicks a button or check box and waits until the page has handled it.
    void Click(int id)
    {
        const HWND control = Control(id);
        const LRESULT before = SendMessageA(control, BM_GETCHECK, 0, 0);
        PostMessageA(control, BM_CLICK, 0, 0);
        const LONG style = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_AUTOCHECKBOX)
            WaitUntil([&] { return SendMessageA(control, BM_GETCHECK, 0, 0) != before; });
        Settle();
    }

    void Type(int id, const std::string& text) const { TypeInField(Control(id), text); }

    int Selected(int list) const
    {
        return static_cast<int>(SendMessageA(Control(list), CB_GETCURSEL, 0, 0));
    }

    // Picks entry `index` of a drop-down list with the keyboard: Home, then Down.
    void Choose(int list, int index)
    {
        const HWND control = Control(list);
        PostMessageA(control, WM_KEYDOWN, VK_HOME, 1);
        for (int i = 0; i < index; ++i)
            PostMessageA(control, WM_KEYDOWN, VK_DOWN, 1);
        WaitUntil([&] { return Selected(list) == index; });
        Settle();
    }

    // An arrow key in a spinner's field.
    void Arrow(int id, WPARAM key)
    {
        const HWND field = Control(id);
        const std::string before = WindowText(field);
        PostMessageA(field, WM_KEYDOWN, key, 1);
        PostMessageA(field, WM_KEYUP, key, 0xC0000001);
        WaitUntil([&] { return WindowText(field) != before; }, 1000);
    }

    // Lets what was posted be handled: the page answers a sent message only between them.
    void Settle() const
    {
        Sleep(100);
        SendMessageA(Page(), WM_NULL, 0, 0);
    }

    void Press(int sheetButton) // IDOK or IDCANCEL
    {
        PostMessageA(GetDlgItem(sheet, sheetButton), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(sheet); });
    }
};

// The program's tooltip for `control`.
std::string TipOf(HWND control)
{
    TOOLINFOA tool = {};
    char text[128] = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(TooltipRecord->Tooltip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// A visible window of this process titled `title` (any when null), other than the sheet, that
// `fits`.
HWND WaitForDialog(
    const char* title, HWND sheet,
    const std::function<bool(HWND)>& fits = [](HWND) { return true; })
{
    return WaitForWindow(title, [&](HWND window) { return window != sheet && fits(window); });
}

// Presses a chooser's own button and waits until it has closed.
void PressAndWait(HWND dialog, int button)
{
    PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(dialog); });
}

// Opens the options with the command the button sends and runs `act` as the user. Returns when
// the sheet has closed; false when it never opened.
bool WithOptions(const std::function<void(User&)>& act)
{
    std::atomic<bool> opened{false};
    std::thread user([&] {
        User u;
        if (!WaitUntil([&] { return (u.sheet = FindSheet()) != nullptr; })) return;
        opened = true;
        act(u);
        if (IsWindow(u.sheet)) u.Press(IDCANCEL); // a test that stopped early
    });
    SendMessageA(MainWindow, WM_COMMAND, CmdOptions, 0); // modal: returns when it has closed
    user.join();
    PumpMessages();
    return opened;
}

void CaptureSheet(const User& u, const char* name)
{
    RedrawWindow(u.sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300); // the sheet's thread paints in its own time
    CaptureClient(u.sheet, name);
}

std::string FileSettingsImage(const std::string& folder)
{
    return ReadBytes(folder + "dMivo.dat");
}

// The five fields of preset row k as the page shows them.
std::string Row(const User& u, int k)
{
    std::string row;
    for (int i = 0; i < 5; ++i)
        row += (i ? "|" : "") + u.Text(3000 + k + 3 * i);
    return row;
}

void TypeRow(User& u, int k, const char* days, const char* hours, const char* minutes,
             const char* seconds, const char* milliseconds)
{
    const char* parts[5] = {days, hours, minutes, seconds, milliseconds};
    for (int i = 0; i < 5; ++i)
        u.Type(3000 + k + 3 * i, parts[i]);
}

std::string EditedStrings()
{
    // The built-in default, from this program's own copy of the resource.
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DEFAULT_STRINGS),
                                      MAKEINTRESOURCEA(RT_DEFAULT_STRINGS));
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
    const auto replace = [&](const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
    };
    replace("Two Click QuickSet\r\n", "Quick Grid on Click\r\n");
    replace("Enables the left-click-quick-set window", "Opens the grid on a left click");
    replace("Update Freq\r\n", "Refresh\r\n");
    return text;
}

TEST(OptionsSheet, ShowsFivePagesWithTheSettingsAndTheEditedStrings)
{
    SettingsRecord record = DefaultRecord();
    record.AutoMinimise = 1;
    record.OnTopAlarm = 0;
    record.RevRev = 1;
    record.AutoFrequency = 0;
    record.UpdateFrequency = 250;
    const std::string folder = NewTempFolder();
    WriteBytes(folder + "Strings.txt", EditedStrings());
    WriteBytes(folder + "dMivo.dat", SettingsImage(record));
    PinFolders(folder.c_str(), folder.c_str());
    ASSERT_TRUE(StartMivo("Mivo.exe"));
    PumpMessages();

    std::string labels, firstPage, caption, tip, group, rowOne, rowThree, frequency;
    bool boxes = false, frequencyEnabled = false;
    int sheetsWhileOpen = 0;
    RECT pages[5] = {};
    ASSERT_TRUE(WithOptions([&](User& u) {
        for (int i = 0; i < 5; ++i)
            labels += u.TabLabel(i) + " ";
        firstPage = WindowText(u.Page());
        GetWindowRect(u.Page(), &pages[0]);
        CaptureSheet(u, "options-actions");

        // A second Options command while the sheet is open opens nothing.
        PostMessageA(MainWindow, WM_COMMAND, CmdOptions, 0);
        Sleep(300);
        sheetsWhileOpen = CountSheets();

        u.ClickTab(1, "Times");
        GetWindowRect(u.Page(), &pages[1]);
        rowOne = Row(u, 0);
        rowThree = Row(u, 2);
        CaptureSheet(u, "options-times");
        u.ClickTab(2, "View");
        GetWindowRect(u.Page(), &pages[2]);
        CaptureSheet(u, "options-view");
        u.ClickTab(3, "Misc");
        GetWindowRect(u.Page(), &pages[3]);
        caption = u.Text(1001);
        group = u.Text(1050);
        tip = TipOf(u.Control(1001));
        boxes = u.Checked(1001) && u.Checked(1002) && u.Checked(1003) && !u.Checked(1013) &&
                u.Checked(5004) && !u.Checked(5003) && !u.Checked(5002);
        frequency = u.Text(4011);
        frequencyEnabled = u.Enabled(4011);
        CaptureSheet(u, "options-misc");
        u.ClickTab(4, "Keys");
        GetWindowRect(u.Page(), &pages[4]);
        u.Press(IDOK);
    }));
    EXPECT_EQ(labels, "Actions Times View Misc Keys ");
    EXPECT_EQ(firstPage, "Actions");
    EXPECT_EQ(sheetsWhileOpen, 1);
    for (int i = 1; i < 5; ++i)
    {
        EXPECT_EQ(pages[i].right - pages[i].left, pages[0].right - pages[0].left) << i;
        EXPECT_EQ(pages[i].bottom - pages[i].top, pages[0].bottom - pages[0].top) << i;
    }
    EXPECT_EQ(rowOne, "||5||");
    EXPECT_EQ(rowThree, "12|14|43|5|800");
    EXPECT_EQ(caption, "Quick Grid on Click");
    EXPECT_EQ(tip, "Opens the grid on a left click");
    EXPECT_EQ(group, "Refresh");
    EXPECT_TRUE(boxes);
    EXPECT_EQ(frequency, "250");
    EXPECT_TRUE(frequencyEnabled);
    EXPECT_EQ(OptionsOpen, 0u);
    // OK wrote the Misc page back unchanged.
    EXPECT_EQ(Settings.UpdateFrequency, 250u);
    EXPECT_EQ(Settings.AutoMinimise, 1u);
    EXPECT_EQ(Settings.OnTopAlarm, 0u);
}

TEST(OptionsSheet, CancelKeepsWhatWasWrittenAndDropsTheRestOfThePageOnShow)
{
    const std::string folder = StartInTempFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(Settings.FlashDisplay, 1u);
    ASSERT_EQ(Settings.TwoClickQuickSet, 1u);

    // Flash Display and Two Click QuickSet changed, then Cancel on the same page.
    DeleteFileA((folder + "dMivo.dat").c_str());
    ASSERT_TRUE(WithOptions([](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(1005);
        u.Click(1001);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(Settings.FlashDisplay, 1u) << "dropped: written only on leaving";
    EXPECT_EQ(Settings.TwoClickQuickSet, 0u) << "kept: written at once";
    const std::string afterCancel = FileSettingsImage(folder);
    ASSERT_EQ(afterCancel.size(), 3008u) << "Cancel writes the file";
    EXPECT_EQ(afterCancel.substr(8 + offsetof(SettingsRecord, TwoClickQuickSet), 4),
              std::string("\0\0\0\0", 4));

    // The same after leaving the page first: both stay.
    bool shownAfterCancel = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        shownAfterCancel = u.Checked(1005) && !u.Checked(1001);
        u.Click(1005);
        u.Click(1001);
        u.ClickTab(1, "Times");
        u.Press(IDCANCEL);
    }));
    EXPECT_TRUE(shownAfterCancel);
    EXPECT_EQ(Settings.FlashDisplay, 0u);
    EXPECT_EQ(Settings.TwoClickQuickSet, 1u);

    // OK writes the page on show and the file.
    DeleteFileA((folder + "dMivo.dat").c_str());
    ASSERT_TRUE(WithOptions([](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(1006);
        u.Press(IDOK);
    }));
    EXPECT_EQ(Settings.HideButtons, 1u);
    EXPECT_EQ(FileSettingsImage(folder).substr(8 + offsetof(SettingsRecord, HideButtons), 4),
              std::string("\1\0\0\0", 4));
}

TEST(OptionsSheet, MiscEnablesFollowAtOnceAndFrequenciesAreStoredAsTyped)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    RecordShellOpens();
    ASSERT_EQ(Settings.AutoFrequency, 1u);
    bool autoStartDisabled = false, autoStartStillChecked = false, fieldOnWithoutAuto = false;
    bool fieldOffWithAuto = false;
    std::string keptNumber, spun, spunAtTop;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(1001); // Two Click QuickSet off
        autoStartDisabled = !u.Enabled(1002);
        autoStartStillChecked = u.Checked(1002);

        u.Click(5002); // Auto off: the field may be edited
        fieldOnWithoutAuto = u.Enabled(4011);
        u.Type(4011, "5000");
        u.Click(5002); // Auto on again
        fieldOffWithAuto = !u.Enabled(4011);
        keptNumber = u.Text(4011);
        u.ClickTab(1, "Times"); // leaving stores the number Auto keeps
    }));
    EXPECT_TRUE(autoStartDisabled);
    EXPECT_TRUE(autoStartStillChecked);
    EXPECT_EQ(Settings.AutoStartQuickSet, 1u);
    EXPECT_EQ(Settings.TwoClickQuickSet, 0u);
    EXPECT_TRUE(fieldOnWithoutAuto);
    EXPECT_TRUE(fieldOffWithAuto);
    EXPECT_EQ(keptNumber, "5000");
    EXPECT_EQ(Settings.UpdateFrequency, 5000u);
    EXPECT_EQ(Settings.AutoFrequency, 1u);

    // 0 typed by hand is stored as typed; the spinner's arrows stop at its range.
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(5002);
        u.Type(4011, "999");
        u.Arrow(4011, VK_UP);
        spun = u.Text(4011);
        u.Arrow(4011, VK_UP);
        spunAtTop = u.Text(4011);
        u.Type(4011, "0");
        u.Click(9); // Help
        u.Press(IDOK);
    }));
    EXPECT_NE(OpenedFile.find("ReadMe.htm"), std::string::npos) << OpenedFile;
    EXPECT_EQ(spun, "1000");
    EXPECT_EQ(spunAtTop, "1000");
    EXPECT_EQ(Settings.UpdateFrequency, 0u);
    EXPECT_EQ(Settings.AutoFrequency, 0u);
}

// The reset question: the prompt window, found by its message field.
HWND WaitForResetPrompt(HWND sheet)
{
    return WaitForDialog("Mivo 1.9", sheet,
                         [](HWND window) { return GetDlgItem(window, 1601) != nullptr; });
}

uint32_t Locked(const uint32_t& figure)
{
    CountLockGuard lock;
    return figure;
}

std::string ShownNow()
{
    CountLockGuard lock;
    return DisplayText;
}

// The frequency typed on the Misc page, Auto off, stored as the page is left.
void TypeFrequency(const char* frequency)
{
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        if (u.Checked(5002)) u.Click(5002);
        u.Type(4011, frequency);
        u.Press(IDOK);
    }));
}

// The largest frequency there is typed into the options: the display holds still, as chosen,
// and the thread still wakes for the time-up on its due tick. How late the machine let it run
// then is a figure for the benchmarks.
TEST(OptionsSheet, AHugeFrequencyStillEndsTheCountOnTime)
{
    SettingsRecord record = DefaultRecord();
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b", SettingsImage(record)).empty());
    TypeFrequency("4294967295");
    ASSERT_EQ(Settings.UpdateFrequency, 4294967295u);
    const uint32_t passes = Locked(CountingPasses);
    Command(CmdStartStop);
    const uint32_t started = Locked(Count.StartTick);
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 10000));
    CountLockGuard lock;
    std::printf("time-up %u ms after due\n", TimeUpLateness);
    EXPECT_EQ(TimeUpDueTick, started + 3001);
    EXPECT_EQ(TimeUpWakeAsked, TimeUpDueTick);
    // Two passes: the start's, which showed the set time and asked to wake for the time-up,
    // then the time-up's. The display kept to the chosen frequency in between.
    EXPECT_EQ(CountingPasses - passes, 2u);
}

// A new frequency takes effect at once: a count shown at 4294967295 ms moves on as soon as
// 100 ms is stored, not after the old wait.
TEST(OptionsSheet, AChangedFrequencyTakesEffectAtOnce)
{
    SettingsRecord record = DefaultRecord();
    record.ShowTimeUpWindow = 0;
    record.AutoFrequency = 0;
    record.UpdateFrequency = 4294967295u;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 b g", SettingsImage(record)).empty());
    PumpMessagesFor(1000);
    const std::string held = ShownNow();
    TypeFrequency("100");
    const DWORD stored = GetTickCount();
    // The old wait was 49 days long: any move at all is the new frequency's.
    ASSERT_TRUE(PumpUntil([&] { return ShownNow() != held; }, 10000)) << held;
    std::printf("moved on %lu ms after the frequency was stored\n", GetTickCount() - stored);
}

// "Stay awake while counting" on the Misc page shows the word at offset 2052 the other way
// round: an older file (0 there) shows it ticked; unticked it stores 1, in the file too, and
// shows so next time; Reset ticks it again. Its tooltip is the program's own text.
TEST(MiscPage, StayAwakeWhileCounting)
{
    SettingsRecord record = DefaultRecord();
    std::string image = SettingsImage(record);
    ASSERT_EQ(image.substr(8 + 2052, 4), std::string(4, '\0')) << "as an older file has it";
    const std::string folder = StartInTempFolder("Mivo.exe", image);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(Settings.AllowSleep, 0u);
    bool tickedAtFirst = false, shownAgain = true, tickedAfterReset = false;
    std::string caption, tip;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        caption = u.Text(5005);
        tickedAtFirst = u.Checked(5005);
        tip = TipOf(u.Control(5005));
        u.Click(5005);
        u.Press(IDOK);
    }));
    EXPECT_EQ(caption, "Stay awake while counting");
    EXPECT_EQ(tip, "Keep the computer awake while a count can end");
    EXPECT_TRUE(tickedAtFirst);
    EXPECT_EQ(Settings.AllowSleep, 1u);
    EXPECT_EQ(FileSettingsImage(folder).substr(8 + 2052, 4), std::string("\x01\0\0\0", 4));
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        shownAgain = u.Checked(5005);
        u.Click(1057);
        const HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        tickedAfterReset = u.Checked(5005);
        u.Press(IDOK);
    }));
    EXPECT_FALSE(shownAgain);
    EXPECT_TRUE(tickedAfterReset);
    EXPECT_EQ(Settings.AllowSleep, 0u);
}

TEST(OptionsSheet, ResetAsksAndOnYesShowsTheDefaultsOnEveryPage)
{
    SettingsRecord record = DefaultRecord();
    record.TwoClickQuickSet = 0;
    record.AutoFrequency = 0;
    record.UpdateFrequency = 300;
    record.PresetTimes[0] = 93784005; // 1 d 2 h 3 min 4 s 5 ms
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());

    std::string rowBefore, question, rowAfter, frequencyAfter;
    bool unchangedAfterNo = false, unchangedAfterEsc = false, defaultsShown = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(1, "Times");
        rowBefore = Row(u, 0);
        u.ClickTab(3, "Misc");

        u.Click(1057);
        HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        question = WindowText(GetDlgItem(prompt, 1601));
        PostMessageA(GetDlgItem(prompt, IDCANCEL), BM_CLICK, 0, 0); // "No, do not do this"
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        unchangedAfterNo = Settings.TwoClickQuickSet == 0 && Settings.UpdateFrequency == 300 &&
                           !u.Checked(1001) && u.Text(4011) == "300";

        u.Click(1057);
        prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        unchangedAfterEsc = Settings.TwoClickQuickSet == 0 && Settings.PresetTimes[0] == 93784005;

        u.Click(1057);
        prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0); // "Yes, this is what I want"
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        defaultsShown = u.Checked(1001) && u.Checked(5002) && !u.Enabled(4011);
        frequencyAfter = u.Text(4011);
        u.ClickTab(1, "Times");
        rowAfter = Row(u, 0);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(rowBefore, "1|2|3|4|5");
    EXPECT_EQ(question, "Reset to default all settings?");
    EXPECT_TRUE(unchangedAfterNo);
    EXPECT_TRUE(unchangedAfterEsc);
    EXPECT_TRUE(defaultsShown);
    EXPECT_EQ(frequencyAfter, "50");
    EXPECT_EQ(rowAfter, "||5||") << "only the minutes, though the fields held numbers before";
    EXPECT_EQ(Settings.TwoClickQuickSet, 1u);
    EXPECT_EQ(Settings.PresetTimes[0], 300000u);
}

// Reset from a Shutdown alarm and a transparent window. Its question belongs to the options
// window, which waits under it; what it changed shows at once: a page shown again enables
// Test and Repeat for the default Beep, and the window is no longer see-through.
TEST(OptionsSheet, ResetQuestionBelongsToTheSheetAndItsChangesShowAtOnce)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 5; // Shutdown: nothing to test or repeat
    record.Transparent = 1;
    record.Opacity = 128;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    ASSERT_NE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_LAYERED, 0);

    HWND owner = nullptr, sheet = nullptr;
    bool sheetEnabledUnderIt = true, testBefore = true, testAfter = false, repeatAfter = false;
    LONG layeredAfter = -1;
    ASSERT_TRUE(WithOptions([&](User& u) {
        sheet = u.sheet;
        testBefore = u.Enabled(1015);
        u.ClickTab(3, "Misc");
        u.Click(1057);
        const HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        owner = GetWindow(prompt, GW_OWNER);
        sheetEnabledUnderIt = IsWindowEnabled(u.sheet) != FALSE;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0); // "Yes, this is what I want"
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        layeredAfter = GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_LAYERED;
        u.ClickTab(0, "Actions");
        testAfter = u.Enabled(1015);
        repeatAfter = u.Enabled(1012);
        u.Press(IDCANCEL);
    }));
    EXPECT_FALSE(testBefore);
    EXPECT_EQ(owner, sheet);
    EXPECT_FALSE(sheetEnabledUnderIt);
    EXPECT_EQ(Settings.AlarmAction, 1u);
    EXPECT_TRUE(testAfter);
    EXPECT_TRUE(repeatAfter);
    EXPECT_EQ(Settings.Transparent, 0u);
    EXPECT_EQ(layeredAfter, 0);
}

TEST(OptionsSheet, TimesPageStoresEachRowNormalisedWhenItIsLeft)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    std::string one, two, three, spun;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(1, "Times");
        TypeRow(u, 0, "", "", "", "", "");   // empty: 3 s
        TypeRow(u, 1, "", "", "", "90", ""); // 1:30
        TypeRow(u, 2, "60", "", "", "", ""); // 49 days
        u.ClickTab(3, "Misc");
        u.ClickTab(1, "Times");
        one = Row(u, 0);
        two = Row(u, 1);
        three = Row(u, 2);
        u.Arrow(3003, VK_UP); // the hours' spinner of row One, by the arrow keys
        spun = u.Text(3003);
        TypeRow(u, 0, "", "", "", "10", "2000"); // 12 s
        TypeRow(u, 1, "", "", "", "", "500");    // 3.5 s
        u.Press(IDOK);
    }));
    EXPECT_EQ(one, "|||3|");
    EXPECT_EQ(two, "||1|30|");
    EXPECT_EQ(three, "49||||");
    EXPECT_EQ(spun, "1");
    EXPECT_EQ(Settings.PresetTimes[0], 12000u);
    EXPECT_EQ(Settings.PresetTimes[1], 3500u);
    EXPECT_EQ(Settings.PresetTimes[2], 49u * 86400000u);

    // Shown on return; then edits cancelled without leaving are dropped.
    std::string shownOne, shownTwo;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(1, "Times");
        shownOne = Row(u, 0);
        shownTwo = Row(u, 1);
        TypeRow(u, 2, "5", "", "", "", "");
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(shownOne, "|||12|");
    EXPECT_EQ(shownTwo, "|||3|500");
    EXPECT_EQ(Settings.PresetTimes[2], 49u * 86400000u);
}

// The five fields of the Warn (3050..) or Add (3055..) row as the Times page shows them.
std::string RowFrom(const User& u, int firstId)
{
    std::string row;
    for (int i = 0; i < 5; ++i)
        row += (i ? "|" : "") + u.Text(firstId + i);
    return row;
}

// A COLORREF as the captures hold colours, 0xRRGGBB.
uint32_t Captured(COLORREF colour)
{
    return static_cast<uint32_t>(GetRValue(colour)) << 16 |
           static_cast<uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

// Whether the Times page shows `colour` in the middle of the gap between the Sound box and the
// Colour button, where the warning colour's sample is; the last capture is kept as `name`.
bool ShowsSample(const User& u, COLORREF colour, const char* name)
{
    return WaitUntil([&] {
        const HWND page = u.Page();
        RECT sound, button;
        GetWindowRect(GetDlgItem(page, 5012), &sound);
        GetWindowRect(GetDlgItem(page, 5013), &button);
        POINT middle = {(sound.right + button.left) / 2, (sound.top + sound.bottom) / 2};
        ScreenToClient(page, &middle);
        // Paints what waits to be painted, without asking for more: the sample must have been
        // repainted by the page itself.
        RedrawWindow(page, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const Capture shot = CaptureClient(page, name);
        return middle.x < shot.width && middle.y < shot.height &&
               shot.at(middle.x, middle.y) == Captured(colour);
    });
}

std::string FileWord(const std::string& folder, size_t offset)
{
    return FileSettingsImage(folder).substr(8 + offset, 4);
}

std::string Word(uint32_t value)
{
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

// The Warn and Add rows, the Sound box and the warning colour. An older settings file (zeros
// at 2708..2723) shows no warning, a minute's step and the sound on. What is typed is stored
// under the count lock as the page is left with OK, and in the file; a chosen colour is stored
// at once with bit 24 and shows in the sample. An emptied Warn row is no warning, and Reset
// brings back the zeros.
TEST(TimesPage, WarningAddStepSoundAndColour)
{
    const std::string image = SettingsImage(DefaultRecord());
    ASSERT_EQ(image.substr(8 + 2708, 16), std::string(16, '\0')) << "as an older file has it";
    const std::string folder = StartInTempFolder("Mivo.exe", image);
    ASSERT_FALSE(folder.empty());
    // What the user sets: a warning 3 s before the end, a step of 30 s, a green.
    const uint32_t warnSeconds = 3, stepSeconds = 30;
    const BYTE red = 32, green = 160, blue = 64;
    const COLORREF orange = RGB(255, 128, 0);

    std::string warnShown, addShown, captions, tips;
    bool soundTicked = false, orangeShown = false, chooserOpened = false, chosenShown = false;
    uint32_t colourStored = 0, warnWhileHeld = 1, stepWhileHeld = 1;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(1, "Times")) return;
        warnShown = RowFrom(u, 3050);
        addShown = RowFrom(u, 3055);
        soundTicked = u.Checked(5012);
        captions = u.Text(5010) + "|" + u.Text(5011) + "|" + u.Text(5012) + "|" + u.Text(5013);
        tips = TipOf(u.Control(3053)) + "|" + TipOf(u.Control(5012));
        orangeShown = ShowsSample(u, orange, "options-times-warn-orange");

        u.Type(3053, std::to_string(warnSeconds));
        u.Type(3057, ""); // the minute shown
        u.Type(3058, std::to_string(stepSeconds));
        u.Click(5012);
        u.Click(5013);
        const HWND chooser = WaitForDialog("Color", u.sheet);
        if (chooser == nullptr) return;
        chooserOpened = true;
        TypeInField(GetDlgItem(chooser, COLOR_RED), std::to_string(red));
        TypeInField(GetDlgItem(chooser, COLOR_GREEN), std::to_string(green));
        TypeInField(GetDlgItem(chooser, COLOR_BLUE), std::to_string(blue));
        PressAndWait(chooser, IDOK);
        chosenShown = ShowsSample(u, RGB(red, green, blue), "options-times-warn-chosen");
        colourStored = Settings.WarnColour;
        CaptureSheet(u, "options-times-warn");
        {
            // OK leaves the page; the times wait for the lock the counting thread reads them
            // under.
            CountLockGuard lock;
            PostMessageA(u.sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
            Sleep(400);
            warnWhileHeld = Settings.WarnBefore;
            stepWhileHeld = Settings.AddStep;
        }
        WaitUntil([&] { return !IsWindow(u.sheet); });
    }));
    EXPECT_EQ(warnShown, "||||");
    EXPECT_EQ(addShown, "||1||");
    EXPECT_TRUE(soundTicked);
    EXPECT_EQ(captions, "Warn|Add|Sound|Colour...");
    EXPECT_EQ(tips, "How long before the end the warning comes; empty for none|"
                    "Play a short sound when the warning comes");
    EXPECT_TRUE(orangeShown) << "the built-in orange";
    EXPECT_TRUE(chooserOpened);
    EXPECT_TRUE(chosenShown);
    const uint32_t chosen = RGB(red, green, blue) | 1u << 24;
    EXPECT_EQ(colourStored, chosen) << "stored as it was chosen";
    EXPECT_EQ(warnWhileHeld, 0u);
    EXPECT_EQ(stepWhileHeld, 0u);
    EXPECT_EQ(Locked(Settings.WarnBefore), warnSeconds * 1000);
    EXPECT_EQ(Locked(Settings.AddStep), stepSeconds * 1000);
    EXPECT_EQ(Settings.WarnQuiet, 1u);
    EXPECT_EQ(Settings.WarnColour, chosen);
    EXPECT_EQ(FileWord(folder, 2708), Word(warnSeconds * 1000));
    EXPECT_EQ(FileWord(folder, 2712), Word(chosen));
    EXPECT_EQ(FileWord(folder, 2716), Word(1));
    EXPECT_EQ(FileWord(folder, 2720), Word(stepSeconds * 1000));

    // Shown as stored; the Warn row emptied is no warning, and the step stays.
    std::string warnAgain, addAgain;
    bool soundAgain = true;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(1, "Times")) return;
        warnAgain = RowFrom(u, 3050);
        addAgain = RowFrom(u, 3055);
        soundAgain = u.Checked(5012);
        for (int id = 3050; id < 3055; ++id)
            u.Type(id, "");
        u.Press(IDOK);
    }));
    EXPECT_EQ(warnAgain, "|||" + std::to_string(warnSeconds) + "|");
    EXPECT_EQ(addAgain, "|||" + std::to_string(stepSeconds) + "|");
    EXPECT_FALSE(soundAgain);
    EXPECT_EQ(Locked(Settings.WarnBefore), 0u);
    EXPECT_EQ(Locked(Settings.AddStep), stepSeconds * 1000);
    EXPECT_EQ(FileWord(folder, 2708), Word(0));

    // Reset on the Misc page; the Times page then shows the zeros, and Cancel keeps them.
    bool resetDone = false, soundAfterReset = false, orangeAfterReset = false;
    std::string warnAfterReset, addAfterReset;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(1057);
        const HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        resetDone = WaitUntil([&] { return !IsWindow(prompt); });
        u.Settle();
        if (!u.ClickTab(1, "Times")) return;
        warnAfterReset = RowFrom(u, 3050);
        addAfterReset = RowFrom(u, 3055);
        soundAfterReset = u.Checked(5012);
        orangeAfterReset = ShowsSample(u, orange, "options-times-warn-reset");
        u.Press(IDCANCEL);
    }));
    EXPECT_TRUE(resetDone);
    EXPECT_EQ(warnAfterReset, "||||");
    EXPECT_EQ(addAfterReset, "||1||");
    EXPECT_TRUE(soundAfterReset);
    EXPECT_TRUE(orangeAfterReset);
    EXPECT_EQ(FileSettingsImage(folder).substr(8 + 2708, 16), std::string(16, '\0'));
}

TEST(OptionsSheet, TheCountRunsOnWhileTheSheetIsOpenAndTheWindowFollowsAfterOk)
{
    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    const DWORD started = GetTickCount();
    Command(CmdStartStop);
    ASSERT_EQ(Count.Running, 1u);

    std::string early, late;
    ASSERT_TRUE(WithOptions([&](User& u) {
        early = DisplayText;
        u.ClickTab(3, "Misc");
        u.Click(1009); // On Top Timer
        u.Click(1006); // Hide Buttons
        u.Click(5004); // Rev Rev: the direction button names the direction counted
        Sleep(1200);
        late = DisplayText;
        u.Press(IDOK);
    }));
    PumpMessagesFor(200);
    EXPECT_NE(early, late) << "the count went on under the sheet";
    {
        // The count ran all the time the sheet was open: its elapsed time, read with the tick,
        // is at least the 1.2 s the user waited and at most the time since the start.
        CountLockGuard lock;
        const uint32_t tick = GetTickCount();
        const uint32_t counted = ElapsedCount(tick);
        EXPECT_GE(counted, 1200u);
        EXPECT_LE(counted, tick - started);
    }
    EXPECT_EQ(Count.Running, 1u);
    EXPECT_NE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(MainWindow, CmdStartStop)));
    EXPECT_EQ(WindowText(GetDlgItem(MainWindow, CmdReverse)), "Down");
}

} // namespace

namespace
{

// The file chooser: a "Mivo 1.9" dialog that answers the question for its folder.
std::string ChooserFolder(HWND dialog)
{
    char folder[MAX_PATH] = {};
    SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    return folder;
}

bool IsFileChooser(HWND dialog)
{
    return SendMessageA(dialog, CDM_GETFOLDERPATH, 0, 0) > 0;
}

bool HasText(HWND dialog, const char* text)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        if (WindowText(c) == text) return true;
    return false;
}

std::string Lower(std::string text)
{
    CharLowerA(&text[0]);
    while (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

TEST(ActionsPage, ChangeOpensTheFileOrFolderChooserAndCancelKeepsTheField)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 2; // Play Sound File
    record.AlarmPath[0] = '\0';
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    const std::string bell = folder + "bell.wav";
    WriteBytes(bell, "RIFF");
    char documents[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE);

    std::string startFolder, afterCancel, chosen, afterFolderCancel;
    bool fileChooser = false, folderChooser = false, chooserOpenShown = false;
    bool shutdownDisables = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        // An empty field: the file chooser opens at the documents folder.
        u.Click(1016);
        HWND chooser = WaitForDialog("Mivo 1.9", u.sheet, IsFileChooser);
        if (chooser == nullptr) return;
        fileChooser = true;
        chooserOpenShown = ChooserOpen == 1;
        startFolder = ChooserFolder(chooser);
        PressAndWait(chooser, IDCANCEL);
        u.Settle();
        afterCancel = u.Text(4008);

        // A file in the field: the chooser starts at it, and OK takes it.
        u.Type(4008, bell);
        u.Click(1016);
        chooser = WaitForDialog("Mivo 1.9", u.sheet, IsFileChooser);
        if (chooser == nullptr) return;
        PressAndWait(chooser, IDOK);
        WaitUntil([&] { return ChooserOpen == 0; });
        u.Settle();
        chosen = u.Text(4008);

        // Random Sound File: Change chooses a folder.
        u.Choose(4007, 3);
        u.Click(1016);
        chooser =
            WaitForDialog(nullptr, u.sheet, [](HWND d) { return HasText(d, "Choose Directory:"); });
        if (chooser == nullptr) return;
        folderChooser = true;
        PressAndWait(chooser, IDCANCEL);
        u.Settle();
        afterFolderCancel = u.Text(4008);

        u.Choose(4007, 5); // Shutdown Windows
        shutdownDisables = !u.Enabled(1015) && !u.Enabled(4008) && !u.Enabled(1016);
        u.Press(IDCANCEL);
    }));
    EXPECT_TRUE(fileChooser);
    EXPECT_TRUE(chooserOpenShown) << "alarm repetitions hold back under the chooser";
    EXPECT_EQ(ChooserOpen, 0u);
    EXPECT_EQ(Lower(startFolder), Lower(documents));
    EXPECT_EQ(afterCancel, "");
    EXPECT_EQ(Lower(chosen), Lower(bell));
    EXPECT_TRUE(folderChooser);
    EXPECT_EQ(Lower(afterFolderCancel), Lower(bell));
    EXPECT_TRUE(shutdownDisables);
    EXPECT_EQ(Settings.AlarmAction, 5u) << "the list writes at once";
    EXPECT_STREQ(Settings.AlarmPath, "") << "the field is written only on leaving";
}

std::atomic<int> Beeps{0};
BOOL WINAPI RecordBeep(UINT)
{
    ++Beeps;
    return TRUE;
}

TEST(ActionsPage, TestBeepsWithoutAPathAndRunsTheFileInTheField)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 1; // Make Default Beep
    record.AlarmPath[0] = '\0';
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    MessageBeepProc = RecordBeep;
    const std::string exe = MarkerProgram(folder);
    ASSERT_FALSE(exe.empty());
    MarkerMode marker;

    int beeps = 0;
    bool ran = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.Click(1015);
        beeps = Beeps;
        u.Choose(4007, 4); // Run File, named in the field but not saved
        u.Type(4008, exe);
        u.Click(1015);
        ran = WaitUntil([&] { return FileExists(folder + "marker.txt"); }, 20000);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(ran);
    EXPECT_EQ(Settings.AlarmAction, 4u);
    EXPECT_STREQ(Settings.AlarmPath, "");
}

TEST(ActionsPage, IntervalFloorWaitingForTheButtonAndTheSpinner)
{
    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1; // down: "and then" and the waiting list are open
    record.ShowTimeUpWindow = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    bool forcedOn = false, stillOn = false;
    std::string spun, spunAtTop;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.Type(1061, "50");
        u.Choose(4005, 1); // When button pressed
        forcedOn = u.Checked(1017) && !u.Enabled(1017);
        u.ClickTab(1, "Times");
        u.ClickTab(0, "Actions");
        stillOn = u.Checked(1017) && !u.Enabled(1017);
        u.Type(1061, "32766");
        u.Arrow(1061, VK_UP);
        spun = u.Text(1061);
        u.Arrow(1061, VK_UP);
        spunAtTop = u.Text(1061);
        u.ClickTab(1, "Times");
        u.Press(IDOK);
    }));
    EXPECT_TRUE(forcedOn);
    EXPECT_TRUE(stillOn);
    EXPECT_EQ(Settings.WaitMode, 1u);
    EXPECT_EQ(Settings.ShowTimeUpWindow, 1u);
    EXPECT_EQ(spun, "32767");
    EXPECT_EQ(spunAtTop, "32767");
    EXPECT_EQ(Settings.RepeatInterval, 32767u);
}

TEST(ActionsPage, IntervalTypedBelowTheFloorIsStoredAsOneHundred)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    std::string shownAgain;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.Type(1061, "50");
        u.ClickTab(1, "Times");
        u.ClickTab(0, "Actions");
        shownAgain = u.Text(1061);
        u.Type(1061, "");
        u.Press(IDOK);
    }));
    EXPECT_EQ(shownAgain, "100");
    EXPECT_EQ(Settings.RepeatInterval, 100u) << "an empty field";
}

// A time-up flashing every minute: an interval of one second typed on the Actions page takes
// effect as the page is left, with the sheet still open, not after the minute.
TEST(ActionsPage, AShorterIntervalTakesEffectAtOnce)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 1; // Beep, muted: the interval's field is open
    record.Mute = 1;
    record.FlashDisplay = 1;
    record.RepeatInterval = 60000;
    record.ShowTimeUpWindow = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /s=3 b g", SettingsImage(record)).empty());
    ASSERT_TRUE(PumpUntil([] { return Locked(Count.TimeIsUp) != 0; }, 10000));
    ASSERT_EQ(Locked(FlashPhase), 0u);
    bool flashed = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.Type(1061, "1000");
        u.ClickTab(1, "Times");
        // The first flash was a minute away: any flash now is the new interval's. Watched
        // without the lock, whose release would itself wake the thread.
        const volatile uint32_t& phase = FlashPhase;
        flashed = WaitUntil([&] { return phase != 0; }, 10000);
        u.Press(IDOK);
    }));
    EXPECT_TRUE(flashed);
    EXPECT_EQ(Locked(Settings.RepeatInterval), 1000u);
}

TEST(OptionsSheet, ADamagedSettingsFileSavesValuesInsideTheLists)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 9;
    record.ScalingMethod = 7;
    record.ThenAction = 8;
    record.WaitMode = 5;
    record.CountDirection = 1;
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    int shownAction = 0, shownScaling = 0;
    ASSERT_TRUE(WithOptions([&](User& u) {
        shownAction = u.Selected(4007);
        u.ClickTab(2, "View");
        shownScaling = u.Selected(1063);
        u.Press(IDOK);
    }));
    EXPECT_EQ(shownAction, -1);
    EXPECT_EQ(shownScaling, -1);
    EXPECT_EQ(Settings.AlarmAction, 0u) << "No Action, never a shutdown";
    EXPECT_EQ(Settings.ThenAction, 0u);
    EXPECT_EQ(Settings.WaitMode, 0u);
    EXPECT_EQ(Settings.CountDirection, 1u);
    EXPECT_EQ(Settings.ScalingMethod, 0u);
    const std::string saved = ReadBytes(folder + "dMivo.dat");
    ASSERT_EQ(saved.size(), 3008u);
    EXPECT_EQ(saved.substr(8 + offsetof(SettingsRecord, AlarmAction), 4), std::string(4, '\0'));
    EXPECT_EQ(saved.substr(8 + offsetof(SettingsRecord, ScalingMethod), 4), std::string(4, '\0'));
}

// The main window's paints.
std::atomic<int> MainPaints{0};

TEST(ViewPage, TransparencyShowsPerCentAndStoresTheFloor)
{
    SettingsRecord record = DefaultRecord();
    record.Opacity = 255;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    std::string opaque, floor, returned;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        opaque = u.Text(1062);
        u.Type(1062, "100");
        u.ClickTab(3, "Misc");
        u.ClickTab(2, "View");
        returned = u.Text(1062);
        u.Press(IDOK);
    }));
    EXPECT_EQ(opaque, "0");
    EXPECT_EQ(Settings.Opacity, 5u);
    EXPECT_EQ(returned, "99");
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        floor = u.Text(1062);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(floor, "99");
}

TEST(ViewPage, ChoosersChangeAndRepaintOnlyWhenSomethingWasChosen)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    PumpMessagesFor(200);
    CountMainWindowMessages(WM_PAINT, MainPaints);
    const uint32_t text = Settings.TextColour, back = Settings.BackColour;
    int paintsAfterCancels = -1, paintsAfterColour = -1;
    std::string faceShown;
    bool fontChooser = false, colourChooser = false, fontRepainted = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        Sleep(300);
        const int before = MainPaints;
        u.Click(1058);
        HWND chooser = WaitForDialog("Font", u.sheet);
        if (chooser == nullptr) return;
        fontChooser = true;
        PressAndWait(chooser, IDCANCEL);
        u.Click(1059);
        chooser = WaitForDialog("Color", u.sheet);
        if (chooser == nullptr) return;
        colourChooser = true;
        PressAndWait(chooser, IDCANCEL);
        u.Click(1060);
        chooser = WaitForDialog("Color", u.sheet);
        if (chooser == nullptr) return;
        PressAndWait(chooser, IDCANCEL);
        u.Settle();
        Sleep(300);
        paintsAfterCancels = MainPaints - before;

        // OK in the colour chooser keeps its colour and repaints the window.
        u.Click(1060);
        chooser = WaitForDialog("Color", u.sheet);
        if (chooser == nullptr) return;
        PressAndWait(chooser, IDOK);
        WaitUntil([&] { return MainPaints - before > 0; });
        paintsAfterColour = MainPaints - before;

        u.Click(1058);
        chooser = WaitForDialog("Font", u.sheet);
        if (chooser == nullptr) return;
        const int beforeFont = MainPaints;
        PressAndWait(chooser, IDOK);
        fontRepainted = WaitUntil([&] { return MainPaints > beforeFont; });
        faceShown = u.Text(1026);
        u.Press(IDOK);
    }));
    EXPECT_TRUE(fontChooser);
    EXPECT_TRUE(colourChooser);
    EXPECT_EQ(paintsAfterCancels, 0);
    EXPECT_GT(paintsAfterColour, 0);
    EXPECT_EQ(Settings.TextColour, text);
    EXPECT_EQ(Settings.BackColour, back);
    // The chosen face shows on the page; the chooser's negative character height is kept as
    // its complement, a small positive size.
    EXPECT_FALSE(faceShown.empty());
    EXPECT_EQ(faceShown, Settings.FontFace);
    EXPECT_LT(Settings.FontSize, 1000u);
    EXPECT_TRUE(fontRepainted) << "a chosen font repaints the window";
}

// What was typed on the View page and not stored yet stays in its fields when a font or a
// colour is chosen, and is stored when the window closes with OK.
TEST(ViewPage, ChoosingAFontOrAColourKeepsWhatWasTyped)
{
    SettingsRecord record = DefaultRecord();
    record.ShowHeader = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    std::string afterColour, afterFont;
    const auto fields = [](const User& u) {
        return u.Text(4009) + "|" + u.Text(4006) + "|" + u.Text(1062);
    };
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        u.Type(4009, "Tea");
        u.Type(4006, "Brewed");
        u.Type(1062, "40");
        u.Click(1059);
        HWND chooser = WaitForDialog("Color", u.sheet);
        if (chooser == nullptr) return;
        PressAndWait(chooser, IDOK);
        u.Settle();
        afterColour = fields(u);
        u.Click(1058);
        chooser = WaitForDialog("Font", u.sheet);
        if (chooser == nullptr) return;
        PressAndWait(chooser, IDOK);
        u.Settle();
        afterFont = fields(u);
        u.Press(IDOK);
    }));
    EXPECT_EQ(afterColour, "Tea|Brewed|40");
    EXPECT_EQ(afterFont, "Tea|Brewed|40");
    EXPECT_STREQ(Settings.HeaderText, "Tea");
    EXPECT_STREQ(Settings.TimeUpText, "Brewed");
    EXPECT_EQ(Settings.Opacity, OpacityFromPercent(40));
}

// Repaints the page 1,000 times on its own thread (a timer of the sheet's loop), counting the
// process's graphics objects before and after.
std::atomic<int> RepaintCounts[2] = {{-1}, {-1}};
void CALLBACK RepaintBurst(HWND page, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(page, timer);
    RepaintCounts[0] = LiveGdiObjects();
    // Only the samples: each pass runs the page's painting, without repainting its controls.
    const RECT samples = {90, 32, 300, 79};
    for (int i = 0; i < 1000; ++i)
    {
        InvalidateRect(page, &samples, FALSE);
        UpdateWindow(page);
    }
    RepaintCounts[1] = LiveGdiObjects();
}

TEST(ViewPage, TextsAreCutHeaderFollowsAndPaintingLeavesNoObjects)
{
    SettingsRecord record = DefaultRecord();
    record.ShowHeader = 1;
    CopyText("Header Text Here", record.HeaderText);
    record.BackColour = 0;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    Command(CmdSizeMedium);
    PumpMessagesFor(300);
    // The header band: the quarter of the display below the buttons.
    const auto headerInk = [] {
        const Capture shot = CaptureClient(MainWindow, "header");
        int ink = 0;
        for (int y = ButtonStripHeight + 2; y < ButtonStripHeight + (shot.height - 30) / 4; ++y)
            for (int x = 0; x < shot.width; ++x)
                ink += shot.at(x, y) != 0 ? 1 : 0;
        return ink;
    };
    const int inkBefore = headerInk();

    const std::string longText(350, 'x');
    bool fieldDisabled = false;
    int objectsBefore = 0, objectsAfter = 0;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        u.Type(4006, longText);
        u.Click(1008); // Header off
        fieldDisabled = !u.Enabled(4009);
        SetTimer(u.Page(), 1, 10, RepaintBurst);
        WaitUntil([] { return RepaintCounts[1] >= 0; }, 120000);
        objectsBefore = RepaintCounts[0];
        objectsAfter = RepaintCounts[1];
        u.Press(IDOK);
    }));
    PumpMessagesFor(300);
    EXPECT_TRUE(fieldDisabled);
    EXPECT_EQ(objectsAfter, objectsBefore);
    EXPECT_EQ(std::string(Settings.TimeUpText), longText.substr(0, 299));
    EXPECT_EQ(Settings.ShowHeader, 0u);
    EXPECT_GT(inkBefore, 0) << "the header was shown";
    EXPECT_EQ(headerInk(), 0) << "and is hidden after the sheet closed";
}

TEST(ViewPage, TheTimeUpTextStaysLockedAfterTheSwitch)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /a=5").empty());
    bool locked = false, stillLocked = false, lockedAgain = false;
    std::string text;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        locked = !u.Enabled(4006);
        text = u.Text(4006);
        u.Click(1008);
        u.Click(1008);
        stillLocked = !u.Enabled(4006);
        u.Press(IDOK);
    }));
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(2, "View");
        lockedAgain = !u.Enabled(4006);
        u.Press(IDCANCEL);
    }));
    EXPECT_TRUE(locked);
    EXPECT_TRUE(stillLocked);
    EXPECT_TRUE(lockedAgain);
    EXPECT_EQ(text, Settings.TimeUpText) << "the field shows the text it keeps";
}

// A test sound stops when the Actions page is left, and with the options window however it
// closes: Cancel and the caption's close button send no page a leaving notice.
TEST(ActionsPage, ATestSoundStopsWithThePageAndTheWindow)
{
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 2; // Play Sound File
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    const std::string sound = folder + "long.mp3";
    WriteBytes(sound, SilentMp3(20 * OneSecondOfFrames));
    const auto closeButton = [](User& u) {
        PostMessageA(u.sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        WaitUntil([&] { return !IsWindow(u.sheet); });
    };
    const struct
    {
        const char* name;
        bool leavePage; // the sound must have stopped before the window closes
        std::function<void(User&)> close;
    } ways[] = {
        {"another page, then Cancel", true, [](User& u) { u.Press(IDCANCEL); }},
        {"Cancel", false, [](User& u) { u.Press(IDCANCEL); }},
        {"OK", false, [](User& u) { u.Press(IDOK); }},
        {"close button", false, closeButton},
    };
    for (const auto& way : ways)
    {
        SCOPED_TRACE(way.name);
        bool playing = false, stoppedOnLeaving = false;
        ASSERT_TRUE(WithOptions([&](User& u) {
            u.Type(4008, sound);
            u.Click(1015);
            playing = WaitUntil([] { return SoundPlayerWindow != nullptr; });
            if (way.leavePage)
            {
                u.ClickTab(1, "Times");
                stoppedOnLeaving = SoundPlayerWindow == nullptr;
            }
            way.close(u);
        }));
        EXPECT_TRUE(playing);
        EXPECT_EQ(stoppedOnLeaving, way.leavePage);
        EXPECT_EQ(SoundPlayerWindow, nullptr);
        EXPECT_EQ(SoundEndPosition, 0u);
    }
}

// The alarm sound path is shared with the counting thread: Test writes it under the count
// lock, so while another thread holds the lock it stays as it was.
TEST(ActionsPage, TestWritesTheAlarmSoundPathUnderTheCountLock)
{
    const std::string folder = StartInTempFolder();
    ASSERT_FALSE(folder.empty());
    CopyText("before", Settings.AlarmSoundPath);
    std::string whileHeld, afterwards;
    ASSERT_TRUE(WithOptions([&](User& u) {
        u.Type(4008, "C:\\no\\such.wav");
        {
            CountLockGuard lock;
            PostMessageA(u.Control(1015), BM_CLICK, 0, 0);
            Sleep(400);
            whileHeld = Settings.AlarmSoundPath;
        }
        u.Settle();
        afterwards = Settings.AlarmSoundPath;
    }));
    EXPECT_EQ(whileHeld, "before");
    EXPECT_EQ(afterwards, "C:\\no\\such.wav");
}

} // namespace

namespace
{

// The Keys page: a key typed into an action's field on the real keyboard, as the hotkey
// control reads it.
uint32_t FieldKey(const User& u, int id)
{
    return static_cast<uint32_t>(SendMessageA(u.Control(id), HKM_GETHOTKEY, 0, 0) & 0xFFFF);
}

// Clicks an action's field and types `keys` into it; true once it shows `shown` (the key
// stored) and its status line `status`.
bool TypeInto(User& u, int field, const char* keys, uint32_t shown, const char* status)
{
    ClickAt(u.Control(field));
    TypeKeys(keys);
    const bool ok =
        WaitUntil([&] { return FieldKey(u, field) == shown && u.Text(field + 20) == status; });
    if (!ok) std::printf("field %x status '%s'\n", FieldKey(u, field), u.Text(field + 20).c_str());
    return ok;
}

std::vector<UINT> Registered;
BOOL WINAPI RecordRegisterHotKey(HWND window, int id, UINT modifiers, UINT key)
{
    Registered.push_back(key);
    return RegisterHotKey(window, id, modifiers, key);
}

const uint32_t CtrlShiftK = HotKeyWord('K', HotKeyControl | HotKeyShift);
const uint32_t CtrlShiftJ = HotKeyWord('J', HotKeyControl | HotKeyShift);

// An older settings file has no keys, and nothing is registered. Typed on the Keys page, a key
// is refused with its reason (a plain letter, F12 alone, one another action has), or taken;
// OK stores and registers it, and it works while another program has the focus.
TEST(KeysPage, KeysTypedOnThePageAreStoredOnOkAndWorkFromAnotherProgram)
{
    RegisterHotKeyProc = RecordRegisterHotKey;
    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1;
    const std::string folder = StartInTempFolder("Mivo.exe /m=5", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(Registered.empty()) << "no key, nothing registered";

    bool typed = false, plain = false, f12 = false, twice = false, second = false;
    std::string labels;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        for (int id = 6010; id < 6015; ++id)
            labels += u.Text(id) + "|";
        typed = TypeInto(u, 6020, "ctrl+shift+k", CtrlShiftK, "");
        plain = TypeInto(u, 6021, "k", 0, "Needs Ctrl or Alt, or a function key");
        f12 = TypeInto(u, 6021, "F12", 0, "F12 alone is kept for debuggers");
        twice = TypeInto(u, 6021, "ctrl+shift+k", 0, "Already used for Start/Stop");
        second = TypeInto(u, 6021, "ctrl+shift+j", CtrlShiftJ, "");
        CaptureSheet(u, "options-keys");
        u.Press(IDOK);
    }));
    EXPECT_EQ(labels, "Start/Stop|Reset|QuickSet|Show/Hide|Add Time|");
    EXPECT_TRUE(typed);
    EXPECT_TRUE(plain);
    EXPECT_TRUE(f12);
    EXPECT_TRUE(twice);
    EXPECT_TRUE(second);
    EXPECT_EQ(Settings.HotKeys[HotKeyStartStop], CtrlShiftK);
    EXPECT_EQ(Settings.HotKeys[HotKeyReset], CtrlShiftJ);
    EXPECT_EQ(FileSettingsImage(folder).substr(8 + 2076, 8),
              std::string("\x4B\x03\0\0\x4A\x03\0\0", 8));
    EXPECT_TRUE(HotKeyRegistered(HotKeyStartStop));
    EXPECT_TRUE(HotKeyRegistered(HotKeyReset));
    EXPECT_FALSE(HotKeyRegistered(HotKeyQuickSet));

    Notepad notepad;
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(TypeKeys("ctrl+shift+k"));
    EXPECT_TRUE(PumpUntil([] { return Locked(Count.Running) != 0; }, 10000));
}

// While the page shows, the keys are let go (a key pressed goes into its field); leaving the
// page registers them again as stored; Cancel keeps the old keys. Reset clears them all.
TEST(KeysPage, CancelKeepsTheOldKeysAndResetClearsThem)
{
    SettingsRecord record = DefaultRecord();
    record.HotKeys[HotKeyStartStop] = CtrlShiftK;
    record.HotKeys[HotKeyReset] = CtrlShiftJ;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    ASSERT_TRUE(HotKeyRegistered(HotKeyStartStop));
    bool letGo = false, edited = false, cleared = false, again = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        letGo = !HotKeyRegistered(HotKeyStartStop) && !HotKeyRegistered(HotKeyReset);
        edited =
            TypeInto(u, 6020, "ctrl+shift+o", HotKeyWord('O', HotKeyControl | HotKeyShift), "");
        u.Click(6031);
        cleared = FieldKey(u, 6021) == 0;
        u.ClickTab(0, "Actions");
        again = HotKeyRegistered(HotKeyStartStop) && HotKeyRegistered(HotKeyReset);
        u.Press(IDCANCEL);
    }));
    EXPECT_TRUE(letGo);
    EXPECT_TRUE(edited);
    EXPECT_TRUE(cleared);
    EXPECT_TRUE(again);
    EXPECT_EQ(Settings.HotKeys[HotKeyStartStop], CtrlShiftK);
    EXPECT_EQ(Settings.HotKeys[HotKeyReset], CtrlShiftJ);
    EXPECT_TRUE(HotKeyRegistered(HotKeyStartStop));
    EXPECT_TRUE(HotKeyRegistered(HotKeyReset));

    ASSERT_TRUE(WithOptions([&](User& u) {
        u.ClickTab(3, "Misc");
        u.Click(1057);
        const HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(prompt); });
        u.Press(IDOK);
    }));
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        EXPECT_EQ(Settings.HotKeys[action], 0u) << action;
        EXPECT_FALSE(HotKeyRegistered(action)) << action;
    }
}

// A key another program holds: not registered at start-up, shown so on the page; the others
// work as usual. Once the other program has let it go, the page still says that the key did not
// register (it would not work until the program registers it again, when the window closes).
TEST(KeysPage, AKeyAnotherProgramHoldsIsShownTakenAndTheRestWork)
{
    const std::string folder = NewTempFolder();
    const std::string report = folder + "holder.txt";
    const HANDLE holder =
        StartChild(folder, "holder.exe", "hotkey", folder, "MIVO_REPORT=" + report);
    ASSERT_NE(holder, nullptr);
    // The report is written after the file is made: wait for what it says.
    EXPECT_TRUE(PumpUntil([&] { return ReadBytes(report) == "held"; }, 20000));

    SettingsRecord record = DefaultRecord();
    record.CountDirection = 1;
    record.HotKeys[HotKeyStartStop] = CtrlShiftK;
    record.HotKeys[HotKeyReset] = CtrlShiftJ;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe /m=5 g", SettingsImage(record)).empty());
    EXPECT_FALSE(HotKeyRegistered(HotKeyStartStop));
    EXPECT_TRUE(HotKeyRegistered(HotKeyReset));
    std::string taken, free;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        taken = u.Text(6040);
        free = u.Text(6041);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(taken, "Taken by another program");
    EXPECT_EQ(free, "");

    TerminateProcess(holder, 0);
    WaitForSingleObject(holder, 10000);
    CloseHandle(holder);
    std::string stillMarked, afterwards;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        stillMarked = u.Text(6040);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(stillMarked, "Taken by another program") << "the last registration failed";
    EXPECT_TRUE(HotKeyRegistered(HotKeyStartStop)) << "registered once the window closed";
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        afterwards = u.Text(6040);
        u.Press(IDCANCEL);
    }));
    EXPECT_EQ(afterwards, "");

    PumpMessagesFor(1500);
    Notepad notepad;
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(TypeKeys("ctrl+shift+j"));
    EXPECT_TRUE(PumpUntil(
        [] {
            CountLockGuard lock;
            return ShownValue(GetTickCount()) > 299000;
        },
        10000))
        << "reset";
}

// A Reset on the Misc page wins over a key typed on the Keys page before it, although the keys
// stored before (none) are the keys the Reset leaves: OK stores and registers nothing.
TEST(KeysPage, AResetAfterAKeyWasTypedWinsOverIt)
{
    Registered.clear();
    RegisterHotKeyProc = RecordRegisterHotKey;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(DefaultRecord())).empty());
    bool typed = false, reset = false;
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        typed = TypeInto(u, 6020, "ctrl+shift+k", CtrlShiftK, "");
        u.ClickTab(3, "Misc");
        u.Click(1057);
        const HWND prompt = WaitForResetPrompt(u.sheet);
        if (prompt == nullptr) return;
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        reset = WaitUntil([&] { return !IsWindow(prompt); });
        // What is registered from here on: the page tried the typed key under a spare id.
        Registered.clear();
        u.Press(IDOK);
    }));
    EXPECT_TRUE(typed);
    EXPECT_TRUE(reset);
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        EXPECT_EQ(Settings.HotKeys[action], 0u) << action;
        EXPECT_FALSE(HotKeyRegistered(action)) << action;
    }
    EXPECT_TRUE(Registered.empty()) << "registered " << Registered.size();
}

// Stored keys that cannot work, as a damaged or hand-made settings file has them: "A" alone, a
// word with bits above the control's 16, and the keypad's Enter beside the main one (one key to
// Windows). None is registered; the page shows each as none with its reason; OK stores none
// for them and keeps the one that works.
TEST(KeysPage, StoredKeysThatCannotWorkShowAsNoneWithTheirReason)
{
    Registered.clear();
    RegisterHotKeyProc = RecordRegisterHotKey;
    const uint32_t ctrlEnter = HotKeyWord(VK_RETURN, HotKeyControl);
    SettingsRecord record = DefaultRecord();
    record.HotKeys[HotKeyStartStop] = 0x0041;
    record.HotKeys[HotKeyReset] = 0x10000u | CtrlShiftK;
    record.HotKeys[HotKeyQuickSet] = ctrlEnter;
    record.HotKeys[HotKeyShowHide] = ctrlEnter | HotKeyWord(0, HotKeyExtended);
    const std::string folder = StartInTempFolder("Mivo.exe", SettingsImage(record));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(Registered, std::vector<UINT>{VK_RETURN});
    EXPECT_TRUE(HotKeyRegistered(HotKeyQuickSet));

    uint32_t fields[HotKeyCount] = {};
    std::string status[HotKeyCount];
    ASSERT_TRUE(WithOptions([&](User& u) {
        if (!u.ClickTab(4, "Keys")) return;
        for (uint32_t action = 0; action < HotKeyCount; ++action)
        {
            fields[action] = FieldKey(u, 6020 + static_cast<int>(action));
            status[action] = u.Text(6040 + static_cast<int>(action));
        }
        CaptureSheet(u, "options-keys-stored");
        u.Press(IDOK);
    }));
    const uint32_t shown[HotKeyCount] = {0, 0, ctrlEnter, 0};
    const char* const reasons[HotKeyCount] = {"Needs Ctrl or Alt, or a function key", "Not a key",
                                              "", "Already used for QuickSet"};
    for (uint32_t action = 0; action < HotKeyCount; ++action)
    {
        SCOPED_TRACE(action);
        EXPECT_EQ(fields[action], shown[action]);
        EXPECT_EQ(status[action], reasons[action]);
        EXPECT_EQ(Settings.HotKeys[action], shown[action]);
    }
    EXPECT_EQ(FileSettingsImage(folder).substr(8 + 2076, 16),
              std::string("\0\0\0\0\0\0\0\0\x0D\x02\0\0\0\0\0\0", 16));
    EXPECT_TRUE(HotKeyRegistered(HotKeyQuickSet));
    EXPECT_FALSE(HotKeyRegistered(HotKeyShowHide));
}

} // namespace

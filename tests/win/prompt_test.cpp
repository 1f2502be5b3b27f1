#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alarm/prompt_win.h"
#include "resources/resource.h"
#include "tests/win/harness_win.h"

namespace
{

constexpr DWORD Patience = 10000; // ms: the most any wait below may take

// Threads a test starts. However the test ends (also after a failed ASSERT) the prompts
// still open on them are answered with Esc and the threads joined, so no thread outlives
// what it uses.
class TestThreads
{
  public:
    template <typename F> DWORD Start(F& body)
    {
        if (count_ == MaxThreads) return 0;
        DWORD id = 0;
        handles_[count_] = CreateThread(nullptr, 0, Call<F>, &body, 0, &id);
        ids_[count_] = id;
        ++count_;
        return id;
    }

    // Waits for the thread `id` to end, pumping this thread's messages meanwhile (a window of
    // this thread may own a prompt and must answer it). False when it is still running.
    bool Wait(DWORD id, DWORD timeout = Patience)
    {
        for (int i = 0; i < count_; ++i)
            if (ids_[i] == id) return WaitPumping(handles_[i], timeout);
        return false;
    }

    ~TestThreads()
    {
        for (int i = 0; i < count_; ++i)
        {
            if (handles_[i] == nullptr) continue;
            const DWORD start = GetTickCount();
            while (!WaitPumping(handles_[i], 50) && GetTickCount() - start < Patience)
                EnumThreadWindows(ids_[i], CancelPrompt, 0);
            CloseHandle(handles_[i]);
        }
    }

    static bool WaitPumping(HANDLE handle, DWORD timeout)
    {
        const DWORD start = GetTickCount();
        for (;;)
        {
            PumpMessages();
            const DWORD spent = GetTickCount() - start;
            const DWORD left = spent < timeout ? timeout - spent : 0;
            const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
            if (woke == WAIT_OBJECT_0) return true;
            if (woke == WAIT_TIMEOUT) return false;
        }
    }

  private:
    static constexpr int MaxThreads = 4;

    template <typename F> static DWORD WINAPI Call(void* body)
    {
        (*static_cast<F*>(body))();
        return 0;
    }

    static BOOL CALLBACK CancelPrompt(HWND window, LPARAM)
    {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }

    HANDLE handles_[MaxThreads] = {};
    DWORD ids_[MaxThreads] = {};
    int count_ = 0;
};

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM found)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The visible prompt of thread `threadId`, or null.
HWND PromptOf(DWORD threadId)
{
    HWND found = nullptr;
    EnumThreadWindows(threadId, FindDialogWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits until thread `threadId` shows its prompt, pumping this thread's messages.
HWND WaitForPrompt(DWORD threadId)
{
    const DWORD start = GetTickCount();
    HWND found = PromptOf(threadId);
    while (found == nullptr && GetTickCount() - start < Patience)
    {
        if (threadId == GetCurrentThreadId()) return nullptr; // it cannot appear while we wait
        PumpMessagesFor(10);
        found = PromptOf(threadId);
    }
    return found;
}

// Waits until `dialog` is hidden or gone (a closed dialog is hidden at once).
bool WaitUntilClosed(HWND dialog, DWORD timeout = Patience)
{
    const DWORD start = GetTickCount();
    while (IsWindowVisible(dialog))
    {
        if (GetTickCount() - start >= timeout) return false;
        PumpMessagesFor(10);
    }
    return true;
}

HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// Presses and releases `key` as the keyboard would: the messages go to the window that has
// the focus on the prompt's thread and through that thread's dialog loop.
void PressKey(HWND dialog, WPARAM key)
{
    const HWND focus = FocusOf(dialog);
    const HWND target = focus != nullptr ? focus : dialog;
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

// Types `keys` (0 ends early) one after the other. A key goes to the window that has the focus
// when it is pressed, so after Tab the next key waits until the focus has moved.
void TypeKeys(HWND dialog, const WPARAM* keys, int count)
{
    for (int i = 0; i < count && keys[i] != 0; ++i)
    {
        const HWND before = FocusOf(dialog);
        PressKey(dialog, keys[i]);
        if (keys[i] != VK_TAB) continue;
        const DWORD start = GetTickCount();
        while (FocusOf(dialog) == before && GetTickCount() - start < Patience)
            PumpMessagesFor(5);
    }
}

// Presses and releases the left mouse button over the middle of button `id`.
void ClickButton(HWND dialog, int id)
{
    const HWND button = GetDlgItem(dialog, id);
    RECT r;
    GetClientRect(button, &r);
    const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageA(button, WM_LBUTTONUP, 0, middle);
}

BOOL CALLBACK FindIcon(HWND window, LPARAM found)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The icon static has no id of its own.
HWND IconOf(HWND dialog)
{
    HWND found = nullptr;
    EnumChildWindows(dialog, FindIcon, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct Shown
{
    char Caption[64];
    char Message[1024];
    char First[64];
    char Second[64];
};

Shown TextsOf(HWND dialog)
{
    Shown shown = {};
    GetWindowTextA(dialog, shown.Caption, sizeof shown.Caption);
    GetDlgItemTextA(dialog, IDC_PROMPT_MESSAGE, shown.Message, sizeof shown.Message);
    GetDlgItemTextA(dialog, IDOK, shown.First, sizeof shown.First);
    GetDlgItemTextA(dialog, IDCANCEL, shown.Second, sizeof shown.Second);
    return shown;
}

void ExpectShows(HWND dialog, const char* message, const char* first, const char* second)
{
    const Shown shown = TextsOf(dialog);
    EXPECT_STREQ(shown.Caption, "Mivo 1.9");
    EXPECT_STREQ(shown.Message, message);
    EXPECT_STREQ(shown.First, first);
    EXPECT_STREQ(shown.Second, second);
}

HFONT FontOf(HWND dialog, int id)
{
    return reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
}

// The height a font asked for, and the cell height it draws with.
struct FontHeights
{
    LONG Asked;
    LONG Drawn;
};

FontHeights HeightsOf(HFONT font)
{
    FontHeights heights = {};
    LOGFONTA logFont = {};
    if (GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont) return heights;
    heights.Asked = logFont.lfHeight;
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    heights.Drawn = metrics.tmHeight;
    return heights;
}

bool IsTopMost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// A plain top-level window of the test thread, standing in for the main window.
struct OwnerWindow
{
    HWND Window = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ~OwnerWindow() { DestroyWindow(Window); }
};

// A prompt shown on a thread of its own, as the time-up thread shows the time-up window.
// `InLoop`, when given, runs on that thread inside the prompt's dialog loop once it shows.
struct PromptOnThread
{
    PromptRequest Request;
    HWND Owner = nullptr;
    void (*InLoop)(HWND dialog) = nullptr;
    uint32_t Result = 99;
    void operator()();
};

thread_local PromptOnThread* PromptHere;

VOID CALLBACK RunInLoop(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND dialog = PromptOf(GetCurrentThreadId());
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    PromptHere->InLoop(dialog);
}

void PromptOnThread::operator()()
{
    PromptHere = this;
    if (InLoop != nullptr) SetTimer(nullptr, 0, 10, RunInLoop);
    Result = ShowPrompt(Owner, Request);
}

PromptRequest Request(const char* message, const char* first, const char* second,
                      uint32_t mode = PromptQuestion)
{
    PromptRequest request;
    request.Message = message;
    request.FirstCaption = first;
    request.SecondCaption = second;
    request.Mode = mode;
    return request;
}

// The layout of the dialog template, in the dialog's own units.
TEST(Prompt, WindowFollowsItsTemplate)
{
    TestThreads threads;
    PromptOnThread prompt;
    prompt.Request = Request("Message", "First", "Second");
    const DWORD thread = threads.Start(prompt);
    const HWND dialog = WaitForPrompt(thread);
    ASSERT_NE(dialog, nullptr);

    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & DS_MODALFRAME, DS_MODALFRAME);
    EXPECT_EQ(style & WS_SYSMENU, 0); // no close box: only the two buttons and Esc answer
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);

    RECT client;
    GetClientRect(dialog, &client);
    RECT units = {0, 0, 250, 122};
    MapDialogRect(dialog, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    // Centred on the screen's work area.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 2);
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 2);

    struct Control
    {
        int id;
        const char* className;
        RECT place; // left, top, right, bottom in dialog units
        bool tabStop;
    };
    const Control controls[] = {
        {IDOK, "Button", {46, 43, 246, 78}, true},
        {IDCANCEL, "Button", {46, 83, 246, 118}, true},
        {-1, "Static", {4, 4, 24, 24}, false},
        {IDC_PROMPT_MESSAGE, "Edit", {35, 3, 245, 37}, false},
    };
    for (const Control& c : controls)
    {
        SCOPED_TRACE(c.id);
        const HWND item = c.id == -1 ? IconOf(dialog) : GetDlgItem(dialog, c.id);
        ASSERT_NE(item, nullptr);
        char className[16] = {};
        GetClassNameA(item, className, sizeof className);
        EXPECT_STRCASEEQ(className, c.className);
        EXPECT_EQ((GetWindowLongA(item, GWL_STYLE) & WS_TABSTOP) != 0, c.tabStop);
        if (c.id == -1) continue; // an icon static takes the size of its icon
        RECT expected = c.place;
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(item, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);
    }

    const HWND icon = IconOf(dialog);
    EXPECT_EQ(GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK, SS_ICON);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
    RECT iconPlace = {4, 4, 0, 0};
    MapDialogRect(dialog, &iconPlace);
    RECT iconRect;
    GetWindowRect(icon, &iconRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&iconRect), 2);
    EXPECT_EQ(iconRect.left, iconPlace.left);
    EXPECT_EQ(iconRect.top, iconPlace.top);

    const LONG messageStyle = GetWindowLongA(GetDlgItem(dialog, IDC_PROMPT_MESSAGE), GWL_STYLE);
    EXPECT_EQ(messageStyle & (ES_MULTILINE | ES_READONLY), ES_MULTILINE | ES_READONLY);
    EXPECT_EQ(messageStyle & WS_BORDER, 0);

    PressKey(dialog, VK_ESCAPE);
    ASSERT_TRUE(threads.Wait(thread));
}

struct KeyCase
{
    const char* name;
    WPARAM keys[3]; // 0 ends early
    uint32_t result;
};

// Esc is the second button; Enter and Space answer with the button that has the focus, the
// first one when the prompt opens; Tab moves between the two buttons only.
const KeyCase KeyCases[] = {
    {"Esc", {VK_ESCAPE}, PromptSecond},
    {"Enter", {VK_RETURN}, PromptFirst},
    {"Space", {VK_SPACE}, PromptFirst},
    {"Tab Enter", {VK_TAB, VK_RETURN}, PromptSecond},
    {"Tab Space", {VK_TAB, VK_SPACE}, PromptSecond},
    {"Tab Tab Enter", {VK_TAB, VK_TAB, VK_RETURN}, PromptFirst},
    {"Tab Esc", {VK_TAB, VK_ESCAPE}, PromptSecond},
};

TEST(Prompt, KeysAnswerIt)
{
    for (const KeyCase& c : KeyCases)
    {
        SCOPED_TRACE(c.name);
        TestThreads threads;
        PromptOnThread prompt;
        prompt.Request = Request("Keys", "First", "Second");
        const DWORD thread = threads.Start(prompt);
        const HWND dialog = WaitForPrompt(thread);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, IDOK));
        PromptResult = 0;
        TypeKeys(dialog, c.keys, 3);
        ASSERT_TRUE(threads.Wait(thread));
        EXPECT_EQ(prompt.Result, c.result);
        EXPECT_EQ(PromptResult.load(), c.result);
        EXPECT_FALSE(IsWindow(dialog));
    }
}

// Pressing a button with the mouse, and the commands the prompt has no use for.
TEST(Prompt, ButtonsAnswerIt)
{
    for (const int button : {IDOK, IDCANCEL})
    {
        SCOPED_TRACE(button);
        TestThreads threads;
        PromptOnThread prompt;
        prompt.Request = Request("Buttons", "First", "Second");
        const DWORD thread = threads.Start(prompt);
        const HWND dialog = WaitForPrompt(thread);
        ASSERT_NE(dialog, nullptr);

        // Other commands and timers leave it open.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROMPT_MESSAGE, EN_SETFOCUS), 0);
        SendMessageA(dialog, WM_COMMAND, 7, 0);
        SendMessageA(dialog, WM_TIMER, 5, 0);
        EXPECT_TRUE(IsWindowVisible(dialog));

        PromptResult = 0;
        ClickButton(dialog, button);
        ASSERT_TRUE(threads.Wait(thread));
        const uint32_t expected = button == IDOK ? PromptFirst : PromptSecond;
        EXPECT_EQ(prompt.Result, expected);
        EXPECT_EQ(PromptResult.load(), expected);
    }
}

// An answer is final: a second one that reaches the closing prompt (a click as the
// auto-close fires) does not change it. All three arrive before the dialog loop looks again.
TEST(Prompt, FirstAnswerCounts)
{
    TestThreads threads;
    PromptOnThread prompt;
    prompt.Request = Request("Twice", "First", "Second");
    prompt.InLoop = [](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        SendMessageA(dialog, WM_TIMER, PromptAutoCloseTimer, 0);
    };
    const DWORD thread = threads.Start(prompt);
    ASSERT_TRUE(threads.Wait(thread));
    EXPECT_EQ(prompt.Result, PromptSecond);
    EXPECT_EQ(PromptResult.load(), PromptSecond);
}

TEST(Prompt, ClosesItselfAfterItsSeconds)
{
    TestThreads threads;
    PromptOnThread prompt;
    prompt.Request = Request("Closing by itself", "OK", "Stop Repeat");
    prompt.Request.PromptAutoCloseSeconds = 3;
    PromptResult = 0;
    const DWORD start = GetTickCount();
    const DWORD thread = threads.Start(prompt);
    const HWND dialog = WaitForPrompt(thread);
    ASSERT_NE(dialog, nullptr);
    PumpMessagesFor(1000);
    EXPECT_TRUE(IsWindowVisible(dialog));
    ASSERT_TRUE(threads.Wait(thread));
    EXPECT_GE(GetTickCount() - start, 2950u);
    EXPECT_EQ(prompt.Result, PromptFirst);
    EXPECT_EQ(PromptResult.load(), PromptFirst);
}

// Seconds whose milliseconds do not fit 32 bits must not wrap round to a short time
// (4294968 s would become 704 ms).
TEST(Prompt, LongAutoCloseDoesNotWrapRound)
{
    TestThreads threads;
    PromptOnThread prompt;
    prompt.Request = Request("Long wait", "OK", "Stop");
    prompt.Request.PromptAutoCloseSeconds = 4294968;
    const DWORD thread = threads.Start(prompt);
    const HWND dialog = WaitForPrompt(thread);
    ASSERT_NE(dialog, nullptr);
    PumpMessagesFor(1500);
    EXPECT_TRUE(IsWindowVisible(dialog));
    PressKey(dialog, VK_ESCAPE);
    ASSERT_TRUE(threads.Wait(thread));
    EXPECT_EQ(prompt.Result, PromptSecond);
}

const char WelcomeText[] =
    "Welcome to Mivo, the desktop timer. Set a time, press Start and the count runs in large "
    "type; when it ends the time-up action follows. Everything can be changed in the options.";

struct TextCase
{
    const char* name;
    const char* message;
    const char* first;
    const char* second;
    uint32_t mode;
    LONG messageHeight;
};

const TextCase TextCases[] = {
    {"time-up", "Time is up!", "OK", "Repeat Time", PromptQuestion, 20},
    {"reset", "Reset to default all settings?", "Yes, this is what I want", "No, do not do this",
     PromptQuestion, 20},
    {"welcome", WelcomeText, "I'm Ready!", "Show ReadMe", PromptQuestionSmallText, 16},
    {"mode 0", "Mode zero", "Yes", "No", 0, 20},
    {"mode 11", "Mode eleven", "Yes", "No", 11, 16},
    {"no texts", nullptr, nullptr, nullptr, PromptQuestion, 20},
};

// Each prompt shows its request's texts, the message in the font its mode asks for and both
// buttons in the large font; its fonts are gone once it has closed.
TEST(Prompt, ShowsTheRequest)
{
    for (const TextCase& c : TextCases)
    {
        SCOPED_TRACE(c.name);
        TestThreads threads;
        PromptOnThread prompt;
        prompt.Request = Request(c.message, c.first, c.second, c.mode);
        const DWORD thread = threads.Start(prompt);
        const HWND dialog = WaitForPrompt(thread);
        ASSERT_NE(dialog, nullptr);

        ExpectShows(dialog, c.message ? c.message : "", c.first ? c.first : "",
                    c.second ? c.second : "");

        const HFONT messageFont = FontOf(dialog, IDC_PROMPT_MESSAGE);
        const HFONT firstFont = FontOf(dialog, IDOK);
        EXPECT_EQ(FontOf(dialog, IDCANCEL), firstFont);
        const FontHeights message = HeightsOf(messageFont);
        EXPECT_EQ(message.Asked, c.messageHeight);
        EXPECT_EQ(message.Drawn, c.messageHeight);
        const FontHeights buttons = HeightsOf(firstFont);
        EXPECT_EQ(buttons.Asked, PromptLargeFontHeight);
        EXPECT_EQ(buttons.Drawn, PromptLargeFontHeight);
        LOGFONTA logFont = {};
        GetObjectA(firstFont, sizeof logFont, &logFont);
        EXPECT_STREQ(logFont.lfFaceName, "Arial");
        EXPECT_EQ(logFont.lfWeight, 50);
        EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);

        // A message longer than its field wraps inside it; the prompt keeps its size.
        const HWND field = GetDlgItem(dialog, IDC_PROMPT_MESSAGE);
        const LRESULT lines = SendMessageA(field, EM_GETLINECOUNT, 0, 0);
        if (c.message == WelcomeText)
            EXPECT_GT(lines, 1);
        else
            EXPECT_EQ(lines, 1);
        RECT fieldRect;
        GetClientRect(field, &fieldRect);
        RECT fieldUnits = {0, 0, 210, 34};
        MapDialogRect(dialog, &fieldUnits);
        EXPECT_EQ(fieldRect.right, fieldUnits.right);
        EXPECT_EQ(fieldRect.bottom, fieldUnits.bottom);

        PressKey(dialog, VK_RETURN);
        ASSERT_TRUE(threads.Wait(thread));
        EXPECT_EQ(prompt.Result, PromptFirst);
        EXPECT_EQ(GetObjectType(messageFont), 0u);
        EXPECT_EQ(GetObjectType(firstFont), 0u);
    }
}

// Moved to a screen of another scale, the prompt makes its fonts anew at that scale, in both
// sizes, and lets the ones it made before go.
TEST(Prompt, ItsFontsFollowAScaleChange)
{
    for (const uint32_t mode : {PromptQuestion, PromptQuestionSmallText})
    {
        SCOPED_TRACE(mode);
        TestThreads threads;
        PromptOnThread prompt;
        prompt.Request = Request("Time is up!", "OK", "Repeat Time", mode);
        const DWORD thread = threads.Start(prompt);
        const HWND dialog = WaitForPrompt(thread);
        ASSERT_NE(dialog, nullptr);
        const HFONT before = FontOf(dialog, IDOK);
        const HFONT messageBefore = FontOf(dialog, IDC_PROMPT_MESSAGE);
        RECT suggested;
        GetWindowRect(dialog, &suggested);
        suggested.right = suggested.left + 2 * (suggested.right - suggested.left);
        suggested.bottom = suggested.top + 2 * (suggested.bottom - suggested.top);
        SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192),
                     reinterpret_cast<LPARAM>(&suggested));
        const HFONT buttons = FontOf(dialog, IDOK);
        EXPECT_EQ(FontOf(dialog, IDCANCEL), buttons);
        EXPECT_EQ(HeightsOf(buttons).Asked, 2 * PromptLargeFontHeight);
        const int message =
            mode == PromptQuestionSmallText ? PromptSmallFontHeight : PromptLargeFontHeight;
        EXPECT_EQ(HeightsOf(FontOf(dialog, IDC_PROMPT_MESSAGE)).Asked, 2 * message);
        EXPECT_EQ(GetObjectType(before), 0u);
        EXPECT_EQ(GetObjectType(messageBefore), 0u);
        PressKey(dialog, VK_RETURN);
        ASSERT_TRUE(threads.Wait(thread));
        EXPECT_EQ(GetObjectType(buttons), 0u);
    }
}

// Keep-on-top off makes an ordinary window; the request is back in its reset state after the
// prompt, so showing the same request again, or a new one, is top-most.
TEST(Prompt, KeepOnTopHoldsForOnePrompt)
{
    OwnerWindow owner;
    ASSERT_NE(owner.Window, nullptr);
    PromptRequest kept = Request(nullptr, "OK", "Repeat Time"); // one a caller shows again
    kept.PromptKeepOnTop = 0;
    kept.PromptAutoCloseSeconds = 30;
    struct Step
    {
        const char* name;
        bool reuse;
        bool topMost;
    };
    const Step steps[] = {{"keep-on-top off", true, false},
                          {"same request shown again", true, true},
                          {"new request", false, true}};
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.name);
        TestThreads threads;
        PromptOnThread prompt;
        prompt.Owner = owner.Window;
        prompt.Request = step.reuse ? kept : PromptRequest{};
        prompt.Request.Message = step.name; // a caller sets its texts anew each time
        const DWORD thread = threads.Start(prompt);
        const HWND dialog = WaitForPrompt(thread);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextsOf(dialog).Message, std::string(step.name));
        EXPECT_EQ(IsTopMost(dialog), step.topMost);
        EXPECT_FALSE(IsTopMost(owner.Window));
        PressKey(dialog, VK_ESCAPE);
        ASSERT_TRUE(threads.Wait(thread));
        EXPECT_EQ(prompt.Result, PromptSecond);

        // What the caller handed over is back in its reset state, whatever it held.
        EXPECT_EQ(prompt.Request.PromptKeepOnTop, 1u);
        EXPECT_EQ(prompt.Request.PromptAutoCloseSeconds, 0u);
        EXPECT_EQ(prompt.Request.Mode, 0u);
        EXPECT_EQ(prompt.Request.Message, nullptr);
        EXPECT_EQ(prompt.Request.FirstCaption, nullptr);
        EXPECT_EQ(prompt.Request.SecondCaption, nullptr);
        if (step.reuse) kept = prompt.Request;
    }
}

// The time-up window belongs to the main window, which cannot be used while it is open.
TEST(Prompt, OwnerWaitsForIt)
{
    OwnerWindow owner;
    ASSERT_NE(owner.Window, nullptr);
    TestThreads threads;
    PromptOnThread prompt;
    prompt.Owner = owner.Window;
    prompt.Request = Request("Owned", "OK", "Repeat Time");
    const DWORD thread = threads.Start(prompt);
    const HWND dialog = WaitForPrompt(thread);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.Window);
    EXPECT_FALSE(IsWindowEnabled(owner.Window));
    PressKey(dialog, VK_RETURN);
    ASSERT_TRUE(threads.Wait(thread));
    EXPECT_EQ(prompt.Result, PromptFirst);
    EXPECT_TRUE(IsWindowEnabled(owner.Window));
}

// Two time-up windows at once (automatic repeats less than 3 s apart, or a time-up window
// and the welcome): each shows what was asked of it, keeps its fonts while the other closes
// and gives its answer to its own caller.
TEST(Prompt, TwoPromptsOnTwoThreadsKeepApart)
{
    OwnerWindow owner;
    ASSERT_NE(owner.Window, nullptr);
    TestThreads threads;
    PromptOnThread a;
    a.Owner = owner.Window;
    a.Request = Request("Message A", "First A", "Second A");
    a.Request.PromptKeepOnTop = 0;
    PromptOnThread b;
    b.Request = Request(WelcomeText, "First B", "Second B", PromptQuestionSmallText);

    const DWORD threadA = threads.Start(a);
    const HWND dialogA = WaitForPrompt(threadA);
    ASSERT_NE(dialogA, nullptr);
    const DWORD threadB = threads.Start(b);
    const HWND dialogB = WaitForPrompt(threadB);
    ASSERT_NE(dialogB, nullptr);
    ASSERT_NE(dialogA, dialogB);

    ExpectShows(dialogA, "Message A", "First A", "Second A");
    ExpectShows(dialogB, WelcomeText, "First B", "Second B");
    EXPECT_FALSE(IsTopMost(dialogA));
    EXPECT_TRUE(IsTopMost(dialogB));
    const HFONT messageA = FontOf(dialogA, IDC_PROMPT_MESSAGE);
    const HFONT messageB = FontOf(dialogB, IDC_PROMPT_MESSAGE);
    const HFONT buttonsB = FontOf(dialogB, IDOK);
    EXPECT_EQ(HeightsOf(messageA).Asked, PromptLargeFontHeight);
    EXPECT_EQ(HeightsOf(messageB).Asked, PromptSmallFontHeight);
    EXPECT_NE(FontOf(dialogA, IDOK), buttonsB);

    PressKey(dialogA, VK_ESCAPE);
    ASSERT_TRUE(threads.Wait(threadA));
    EXPECT_EQ(a.Result, PromptSecond);
    EXPECT_EQ(PromptResult.load(), PromptSecond);

    ASSERT_TRUE(IsWindowVisible(dialogB));
    ExpectShows(dialogB, WelcomeText, "First B", "Second B");
    EXPECT_EQ(GetObjectType(messageA), 0u);
    EXPECT_EQ(GetObjectType(messageB), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(buttonsB), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(FontOf(dialogB, IDC_PROMPT_MESSAGE), messageB);

    PressKey(dialogB, VK_RETURN);
    ASSERT_TRUE(threads.Wait(threadB));
    EXPECT_EQ(b.Result, PromptFirst);
    EXPECT_EQ(a.Result, PromptSecond);
    EXPECT_EQ(PromptResult.load(), PromptFirst);
}

// A reset confirmation open on the window's own thread when a time-up window opens on
// another and closes by itself: the confirmation still shows its question and its caller
// gets its own answer, not the time-up window's.
TEST(Prompt, TimeUpDuringConfirmationKeepsApart)
{
    OwnerWindow owner;
    ASSERT_NE(owner.Window, nullptr);
    const DWORD guiThread = GetCurrentThreadId();
    PromptOnThread timeUp;
    timeUp.Owner = owner.Window;
    timeUp.Request = Request("Time is up!", "OK", "Stop Repeat");
    timeUp.Request.PromptAutoCloseSeconds = 3;
    TestThreads timeUpThread; // joined after the driver below

    bool drove = false;
    auto driver = [&]() {
        const HWND confirmation = WaitForPrompt(guiThread);
        if (confirmation == nullptr) return;
        const DWORD thread = timeUpThread.Start(timeUp);
        const HWND timeUpWindow = WaitForPrompt(thread);
        EXPECT_NE(timeUpWindow, nullptr);
        EXPECT_NE(timeUpWindow, confirmation);
        if (timeUpWindow != nullptr)
        {
            ExpectShows(timeUpWindow, "Time is up!", "OK", "Stop Repeat");
            ExpectShows(confirmation, "Reset to default all settings?", "Yes, this is what I want",
                        "No, do not do this");
            EXPECT_TRUE(timeUpThread.Wait(thread));
        }
        EXPECT_TRUE(IsWindowVisible(confirmation));
        ExpectShows(confirmation, "Reset to default all settings?", "Yes, this is what I want",
                    "No, do not do this");
        // The keyboard went to the main window with the closing time-up window, so the user
        // clicks the confirmation's button; a click that lands while the activation is still
        // moving is lost, and the user clicks again.
        for (int attempt = 0; attempt < 5 && !drove; ++attempt)
        {
            ClickButton(confirmation, IDCANCEL);
            drove = WaitUntilClosed(confirmation, 2000);
        }
        if (!drove) PostMessageA(confirmation, WM_COMMAND, IDCANCEL, 0); // never leave it open
    };
    TestThreads threads;
    const DWORD driverThread = threads.Start(driver);

    PromptRequest confirm =
        Request("Reset to default all settings?", "Yes, this is what I want", "No, do not do this");
    const uint32_t answer = ShowPrompt(owner.Window, confirm);
    ASSERT_TRUE(threads.Wait(driverThread));
    EXPECT_TRUE(drove);
    EXPECT_EQ(answer, PromptSecond);
    EXPECT_EQ(PromptResult.load(), PromptSecond);
    EXPECT_EQ(timeUp.Result, PromptFirst);
}

} // namespace

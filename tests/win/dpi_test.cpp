#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_win.h"
#include "app/commands.h"
#include "app/count.h"
#include "data/settings.h"
#include "display/display_win.h"
#include "display/layout.h"
#include "display/timetext.h"
#include "tests/win/harness_win.h"

namespace
{

const int ButtonIds[ControlButtonCount] = {CmdStartStop, CmdReset, CmdReverse,
                                           CmdOptions,   CmdHelp,  CmdAbout};

RECT ChildRect(HWND parent, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(parent, id), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Numbers(const std::vector<long>& values)
{
    std::string out;
    for (const long v : values)
        out += (out.empty() ? "" : " ") + std::to_string(v);
    return out;
}

std::string RectText(const RECT& r)
{
    return Numbers({r.left, r.top, r.right, r.bottom});
}

std::string BandText(const Band& b)
{
    return Numbers({b.left, b.top, b.right, b.bottom});
}

SIZE FrameSize(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// What a fresh start at `dpi` lays out, against what the window shows: the buttons, the time
// band, the time font's cell, the icons.
void ExpectLaidOutAt(uint32_t dpi)
{
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    EXPECT_EQ(WindowDpi, dpi);
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
        EXPECT_EQ(RectText(ChildRect(MainWindow, ButtonIds[i])),
                  BandText(ControlButtonBand(i, dpi)))
            << "button " << i;
    RECT client;
    GetClientRect(MainWindow, &client);
    const DisplayLayout fresh =
        ComputeDisplayLayout({client.left, client.top, client.right, client.bottom}, false,
                             Settings.ShowHeader != 0, Settings.ShowTimeUpText != 0, dpi);
    EXPECT_EQ(RectText(TimeBand), BandText(fresh.TimeBand));
    InvalidateRect(MainWindow, nullptr, FALSE);
    UpdateWindow(MainWindow);
    const uint32_t font =
        TimeFontHeight(Settings.ScalingMethod, Settings.FontSize, fresh.TimeArea, WidthClass);
    // The cell the font gives, against the height asked of it: within its own rounding.
    EXPECT_NEAR(TimeCells.LineHeight, static_cast<int32_t>(font), 1);
    EXPECT_EQ(IconWidth(SmallIcon), MetricAtDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(IconWidth(LargeIcon), MetricAtDpi(SM_CXICON, dpi));
    // The caption's icon: the window's own once the scale has changed, else its class's.
    HICON caption = reinterpret_cast<HICON>(SendMessageA(MainWindow, WM_GETICON, ICON_SMALL, 0));
    if (caption == nullptr)
        caption = reinterpret_cast<HICON>(GetClassLongPtrA(MainWindow, GCLP_HICONSM));
    EXPECT_EQ(IconWidth(caption), MetricAtDpi(SM_CXSMICON, dpi));
}

RECT SentDpiChange(uint32_t dpi, RECT suggested)
{
    SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
    RECT now = {};
    GetWindowRect(MainWindow, &now);
    return now;
}

// The window moves to a screen at 150 % and back: it takes the rectangle Windows suggests and
// lays out, draws and sizes itself exactly as a fresh start at each scale would.
TEST(Dpi, AScaleChangeTakesTheSuggestedRectangleAndLaysOutAsAFreshStart)
{
    ASSERT_FALSE(StartInTempFolder("Mivo.exe b").empty());
    ASSERT_EQ(WindowDpi, 96u) << "the tests run at 96 DPI";
    Command(CmdSizeMedium);
    PumpMessages();
    RECT before;
    GetWindowRect(MainWindow, &before);
    ExpectLaidOutAt(96);

    const RECT larger = {before.left + 10, before.top + 20, before.left + 10 + 720,
                         before.top + 20 + 480};
    EXPECT_EQ(RectText(SentDpiChange(144, larger)), RectText(larger));
    ExpectLaidOutAt(144);
    // The sizes of the menu are those of the new scale.
    Command(CmdSizeSmall);
    PumpMessages();
    EXPECT_EQ(FrameSize(MainWindow).cx, 248);
    EXPECT_EQ(FrameSize(MainWindow).cy, 180);

    // Back, with a suggestion of the same size as now: no WM_SIZE, laid out all the same.
    RECT now;
    GetWindowRect(MainWindow, &now);
    EXPECT_EQ(RectText(SentDpiChange(96, now)), RectText(now));
    ExpectLaidOutAt(96);
    EXPECT_EQ(RectText(SentDpiChange(96, before)), RectText(before));
    ExpectLaidOutAt(96);
}

// In the tray there is no window to see, but the icon is the shell's: it is given the icon
// drawn for the new scale.
std::vector<std::pair<DWORD, HICON>> TrayCalls;
BOOL WINAPI RecordTrayIcon(DWORD action, NOTIFYICONDATAA* record)
{
    TrayCalls.push_back({action, record->hIcon});
    return TRUE;
}

TEST(Dpi, InTheTrayTheIconIsRedrawnForTheNewScale)
{
    SettingsRecord record = DefaultRecord();
    record.MinimiseToTray = 1;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", SettingsImage(record)).empty());
    ShellNotifyIconProc = RecordTrayIcon;
    ShowWindow(MainWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_FALSE(TrayCalls.empty());
    EXPECT_EQ(TrayCalls.back().first, static_cast<DWORD>(NIM_ADD));
    const HICON before = TrayCalls.back().second;
    EXPECT_EQ(IconWidth(before), MetricAtDpi(SM_CXSMICON, 96));
    TrayCalls.clear();
    RECT now;
    GetWindowRect(MainWindow, &now);
    SentDpiChange(192, now);
    ASSERT_EQ(TrayCalls.size(), 1u);
    EXPECT_EQ(TrayCalls[0].first, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(TrayCalls[0].second, SmallIcon);
    EXPECT_EQ(IconWidth(SmallIcon), MetricAtDpi(SM_CXSMICON, 192));
    EXPECT_GT(IconWidth(SmallIcon), MetricAtDpi(SM_CXSMICON, 96));
}

// Settings that put the window back at `normal` (workspace coordinates) at start-up.
std::string PlacedAt(RECT normal)
{
    SettingsRecord record = DefaultRecord();
    record.RememberPosition = 1;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = normal;
    static_assert(sizeof placement == sizeof record.WindowPlacement, "placement layout");
    std::memcpy(&record.WindowPlacement, &placement, sizeof placement);
    return SettingsImage(record);
}

// A placement saved on a screen that is no longer there: the window comes back whole on the
// nearest screen, at its saved size.
TEST(Dpi, AWindowSavedOffEveryScreenComesBackOnTheNearest)
{
    ASSERT_FALSE(
        StartInTempFolder("Mivo.exe", PlacedAt({-4000, 300, -4000 + 480, 300 + 320})).empty());
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 480);
    EXPECT_EQ(frame.bottom - frame.top, 320);
    EXPECT_NE(MonitorFromRect(&frame, MONITOR_DEFAULTTONULL), nullptr);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT both;
    EXPECT_TRUE(IntersectRect(&both, &frame, &screen));
    EXPECT_TRUE(EqualRect(&both, &frame)) << RectText(frame);
}

// What Windows does when a per-monitor aware window is put on a screen of another scale: the
// move brings WM_DPICHANGED, whose suggested rectangle is the new rectangle scaled again.
BOOL WINAPI PlaceOnAScreenAt150(HWND window, const WINDOWPLACEMENT* placement)
{
    const BOOL placed = SetWindowPlacement(window, placement);
    RECT now;
    GetWindowRect(window, &now);
    RECT suggested = {now.left, now.top, now.left + (now.right - now.left) * 3 / 2,
                      now.top + (now.bottom - now.top) * 3 / 2};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    return placed;
}

// A window saved on a screen at 150 % (its pixels already that screen's) comes back there at
// its saved size, not half as large again, and at that screen's scale; a later scale change
// takes the suggested rectangle as always.
TEST(Dpi, ASavedPlaceOnAScreenOfAnotherScaleComesBackAtItsSavedSize)
{
    SetWindowPlacementProc = PlaceOnAScreenAt150;
    ASSERT_FALSE(StartInTempFolder("Mivo.exe", PlacedAt({100, 80, 100 + 720, 80 + 480})).empty());
    SetWindowPlacementProc = SetWindowPlacement;
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 720);
    EXPECT_EQ(frame.bottom - frame.top, 480);
    EXPECT_EQ(WindowDpi, 144u);
    ExpectLaidOutAt(144);

    const RECT back = {frame.left, frame.top, frame.left + 480, frame.top + 320};
    EXPECT_EQ(RectText(SentDpiChange(96, back)), RectText(back));
    ExpectLaidOutAt(96);
}

// ---------------------------------------------------------------------------------------------
// Each scale in a process of its own: Wine takes the DPI from the registry when a process
// starts.

// Sets the screen's scale for the processes started while it lives.
struct ScreenScale
{
    explicit ScreenScale(uint32_t dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        DWORD size = sizeof saved;
        had = RegQueryValueExA(key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&saved),
                               &size) == ERROR_SUCCESS;
        const DWORD value = dpi;
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    }
    ~ScreenScale()
    {
        if (had)
            RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&saved),
                           sizeof saved);
        else
            RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
    }
    ScreenScale(const ScreenScale&) = delete;
    ScreenScale& operator=(const ScreenScale&) = delete;
    HKEY key = nullptr;
    DWORD saved = 0;
    bool had = false;
};

// The text of a control as drawn: without the '&' that marks its mnemonic.
std::string DrawnText(HWND control, bool prefixes)
{
    std::string text = WindowText(control), out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (prefixes && text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// Whether the text of a button or static control shows whole: it fits its control, and the
// control lies within its parent's client area. Empty when it does, else why not.
std::string WhyCut(HWND control, uint32_t dpi)
{
    char kind[32] = {};
    GetClassNameA(control, kind, sizeof kind);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0) return "";
    const bool button = lstrcmpiA(kind, "Button") == 0;
    const bool label = lstrcmpiA(kind, "Static") == 0;
    if (!button && !label) return "";
    const LONG type = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
    if (label && type > SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return ""; // icons, frames
    const std::string text = DrawnText(control, !(label && (style & SS_NOPREFIX) != 0));
    if (text.empty()) return "";

    RECT client, frame, parentClient;
    GetClientRect(control, &client);
    GetWindowRect(control, &frame);
    const HWND parent = GetParent(control);
    GetClientRect(parent, &parentClient);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&frame), 2);
    std::ostringstream why;
    why << "\"" << text << "\" (" << GetDlgCtrlID(control) << ") ";
    if (frame.right > parentClient.right || frame.bottom > parentClient.bottom)
        return why.str() + "lies outside its window";

    const HDC dc = GetDC(control);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    int room = client.right;
    int height = client.bottom;
    bool wraps = false;
    if (button)
    {
        if (type == BS_GROUPBOX)
            room -= 2 * metrics.tmAveCharWidth; // the frame's line on either side
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                 type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
            room -= ScaleToDpi(13, dpi) + ScaleToDpi(3, dpi); // the box and its gap
        else
            room -= 2 * GetSystemMetrics(SM_CXEDGE); // the push button's edges
        wraps = (style & BS_MULTILINE) != 0;
    }
    else
        wraps = type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP;
    std::string result;
    if (wraps)
    {
        RECT need = {0, 0, room, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        if (need.right > room)
            why << "needs " << need.right << " px across, has " << room, result = why.str();
        else if (need.bottom > height)
            why << "needs " << need.bottom << " px down, has " << height, result = why.str();
    }
    else if (extent.cx > room)
        why << "needs " << extent.cx << " px, has " << room, result = why.str();
    else if (type != BS_GROUPBOX && metrics.tmHeight > height)
        why << "needs " << metrics.tmHeight << " px down, has " << height, result = why.str();
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return result;
}

// Every cut text among the children of `window`, one line each, led by `where`.
std::string CutTexts(HWND window, const std::string& where, uint32_t dpi)
{
    std::string out;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    {
        const std::string why = WhyCut(c, dpi);
        if (!why.empty()) out += "cut=" + where + ": " + why + "\n";
    }
    return out;
}

// The visible controls of `window` and where they lie in it, group boxes (which hold others)
// aside.
std::vector<std::pair<HWND, RECT>> PlacedControls(HWND window)
{
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    {
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        char kind[32] = {};
        GetClassNameA(c, kind, sizeof kind);
        if ((style & WS_VISIBLE) == 0 ||
            (lstrcmpiA(kind, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX))
            continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        if (!IsRectEmpty(&r)) placed.emplace_back(c, r);
    }
    return placed;
}

// Controls of `page` that overlap one another (a spinner on the border of its own field aside)
// or lie outside it, one line each, led by `where`.
std::string Overlaps(HWND page, const std::string& where)
{
    RECT client;
    GetClientRect(page, &client);
    const auto placed = PlacedControls(page);
    std::string out;
    for (size_t i = 0; i < placed.size(); ++i)
    {
        const HWND c = placed[i].first;
        const RECT& r = placed[i].second;
        const std::string id = std::to_string(GetDlgCtrlID(c));
        if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
            out += "overlap=" + where + ": " + id + " lies outside the page\n";
        for (size_t j = 0; j < i; ++j)
        {
            const HWND other = placed[j].first;
            const auto buddy = [](HWND spinner) {
                return reinterpret_cast<HWND>(SendMessageA(spinner, UDM_GETBUDDY, 0, 0));
            };
            char kind[32] = {};
            GetClassNameA(c, kind, sizeof kind);
            const bool spinnerOf = lstrcmpiA(kind, UPDOWN_CLASSA) == 0 && buddy(c) == other;
            GetClassNameA(other, kind, sizeof kind);
            const bool spinnedBy = lstrcmpiA(kind, UPDOWN_CLASSA) == 0 && buddy(other) == c;
            RECT both;
            if (!spinnerOf && !spinnedBy && IntersectRect(&both, &r, &placed[j].second))
                out += "overlap=" + where + ": " + id + " and " +
                       std::to_string(GetDlgCtrlID(other)) + "\n";
        }
    }
    return out;
}

bool Dark(uint32_t pixel)
{
    return (pixel >> 16 & 0xFF) < 0x50 && (pixel >> 8 & 0xFF) < 0x50 && (pixel & 0xFF) < 0x50;
}

// The warning colour's sample on the Times page, in a capture of its sheet: the built-in orange
// (a fresh start's), one solid box in a dark frame, as high as the Sound box beside it (both
// 10 dialog units, at 97), inside the page and clear of every control. Empty when it is so.
std::string SampleFaults(HWND sheet, HWND page, const Capture& shot)
{
    const LitBox lit = Lit(shot, 0, shot.height, 0xFF8000);
    if (lit.count == 0) return "not painted";
    if (lit.count != (lit.right - lit.left) * (lit.bottom - lit.top)) return "not one box";
    if (lit.left < 1 || lit.top < 1 || lit.right >= shot.width || lit.bottom >= shot.height)
        return "at the edge";
    for (int x = lit.left - 1; x <= lit.right; ++x)
        if (!Dark(shot.at(x, lit.top - 1)) || !Dark(shot.at(x, lit.bottom)))
            return "no frame above or below";
    for (int y = lit.top - 1; y <= lit.bottom; ++y)
        if (!Dark(shot.at(lit.left - 1, y)) || !Dark(shot.at(lit.right, y)))
            return "no frame at the sides";
    POINT origin = {0, 0};
    MapWindowPoints(page, sheet, &origin, 1);
    const RECT box = {lit.left - 1 - origin.x, lit.top - 1 - origin.y, lit.right + 1 - origin.x,
                      lit.bottom + 1 - origin.y};
    RECT client;
    GetClientRect(page, &client);
    if (box.left < 0 || box.top < 0 || box.right > client.right || box.bottom > client.bottom)
        return "outside the page";
    std::string out;
    for (const auto& control : PlacedControls(page))
    {
        RECT both;
        if (IntersectRect(&both, &box, &control.second))
            out += "covers " + std::to_string(GetDlgCtrlID(control.first)) + " ";
        if (GetDlgCtrlID(control.first) == 5012 &&
            (std::abs(box.top - control.second.top) > 1 ||
             std::abs(box.bottom - control.second.bottom) > 1))
            out += "box " + RectText(box) + " beside Sound " + RectText(control.second) + " ";
    }
    return out;
}

// Opens a modal window with `open` on this thread, and meanwhile, from a helper thread as a
// user would, finds it with `find`, runs `look` on it and closes it with `close`.
bool WhileOpen(const std::function<void()>& open, const std::function<HWND()>& find,
               const std::function<void(HWND)>& look, const std::function<void(HWND)>& close)
{
    bool seen = false;
    AsUser(
        [&] {
            const HWND window = find();
            if (window == nullptr) return;
            seen = true;
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Sleep(300); // the window's thread paints in its own time
            look(window);
            close(window);
            for (int i = 0; i < 500 && IsWindow(window) && IsWindowVisible(window); ++i)
                Sleep(10);
        },
        open);
    return seen;
}

std::map<std::string, std::string> ReadReport(const std::string& text)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string& value = values[line.substr(0, equals)];
        value += (value.empty() ? "" : "\n") + line.substr(equals + 1);
    }
    return values;
}

// Where this process keeps its pictures, for a child to keep its own beside them.
std::string Artifacts()
{
    const char* folder = std::getenv("MIVO_ARTIFACTS");
    char full[MAX_PATH] = {};
    GetFullPathNameA(folder != nullptr ? folder : "artifacts", sizeof full, full, nullptr);
    return full;
}

class AtScale : public testing::TestWithParam<uint32_t>
{
};

// The real Mivo.exe started at the scale: its window, its buttons, the Medium size, a picture.
TEST_P(AtScale, TheRealProgramOpensAtTheScale)
{
    const uint32_t dpi = GetParam();
    const std::string folder = NewTempFolder();
    ASSERT_TRUE(CopyFileA(ProductExePath().c_str(), (folder + "Mivo.exe").c_str(), FALSE));
    WriteBytes(folder + "dMivo.dat", DefaultSettingsImage());
    DWORD id = 0;
    HANDLE process;
    HWND window;
    {
        ScreenScale scale(dpi);
        process = StartProgram(folder + "Mivo.exe", " b", folder, "", id);
        ASSERT_NE(process, nullptr);
        window = MainWindowOf(id, 20000);
        // Shown once it is whole, buttons and all.
        EXPECT_TRUE(window != nullptr && PumpUntil([&] { return IsWindowVisible(window) != 0; }));
    }
    ASSERT_NE(window, nullptr);
    const SIZE frame = FrameSize(window);
    EXPECT_EQ(frame.cx, ScaleToDpi(165, dpi));
    EXPECT_EQ(frame.cy, ScaleToDpi(120, dpi));
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
        EXPECT_EQ(RectText(ChildRect(window, ButtonIds[i])), BandText(ControlButtonBand(i, dpi)))
            << "button " << i;
    PostMessageA(window, WM_COMMAND, CmdSizeMedium, 0);
    EXPECT_TRUE(PumpUntil([&] { return FrameSize(window).cx == ScaleToDpi(480, dpi); }));
    EXPECT_EQ(FrameSize(window).cy, ScaleToDpi(320, dpi));
    PumpMessagesFor(500);
    const Capture shot = CaptureClient(window, ("scale-" + std::to_string(dpi) + "-real").c_str());
    // The count, white on black below the strip, in the font its band allows: "05:00.0" is of
    // width class 3.
    const int strip = ScaleToDpi(ButtonStripHeight, dpi);
    const LitBox box = Lit(shot, strip, shot.height, 0xFFFFFF);
    EXPECT_GT(box.count, 100);
    const uint32_t font = TimeFontHeight(0, 100, {0, 0, shot.width, shot.height - strip}, 3);
    EXPECT_NEAR(box.bottom - box.top, DigitHeight(static_cast<int>(font)), 2);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

// A copy of this program at the scale: the count's font, its place, and no cut text in the
// main window, QuickSet, About, each options page and the time-up window; no control of an
// options page over another or outside it, and the Times page's painted sample whole.
TEST_P(AtScale, TheCountFillsItsBandAndNoTextIsCut)
{
    const uint32_t dpi = GetParam();
    const std::string folder = NewTempFolder();
    const std::string report = folder + "report.txt";
    HANDLE child;
    {
        ScreenScale scale(dpi);
        child = StartChild(folder + "child\\", "win_tests.exe", "scale", folder,
                           "MIVO_REPORT=" + report + "\nMIVO_ARTIFACTS=" + Artifacts());
        ASSERT_NE(child, nullptr);
        // Its main window is up: it has taken the scale.
        EXPECT_NE(MainWindowOf(GetProcessId(child), 20000), nullptr);
    }
    ASSERT_EQ(WaitForSingleObject(child, 50000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    EXPECT_EQ(code, 7u);
    std::map<std::string, std::string> seen = ReadReport(ReadBytes(report));

    EXPECT_EQ(seen["dpi"], Numbers({static_cast<long>(dpi), static_cast<long>(dpi)}));
    EXPECT_EQ(seen["window"], Numbers({ScaleToDpi(165, dpi), ScaleToDpi(120, dpi)}));
    EXPECT_EQ(seen["medium"], Numbers({ScaleToDpi(480, dpi), ScaleToDpi(320, dpi)}));
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
        EXPECT_EQ(seen["button" + std::to_string(i)], BandText(ControlButtonBand(i, dpi)));

    // The font is the one the band allows at this scale, and the count is centred in the band.
    std::istringstream font(seen["font"]);
    long expected = 0, cell = 0, digit = 0, widthClass = 0;
    font >> expected >> cell >> digit >> widthClass;
    EXPECT_EQ(cell, expected);
    std::istringstream lit(seen["lit"]), band(seen["band"]);
    RECT box = {}, area = {};
    lit >> box.left >> box.top >> box.right >> box.bottom;
    band >> area.left >> area.top >> area.right >> area.bottom;
    EXPECT_NEAR(box.bottom - box.top, digit, 2);
    EXPECT_NEAR(box.left + box.right, area.left + area.right, ScaleToDpi(6, dpi));
    EXPECT_NEAR(box.top + box.bottom, area.top + area.bottom, ScaleToDpi(6, dpi));
    // It fills its band as at 96: the font of the Medium window at 96, scaled, within what the
    // frame's own rounding moves the client area.
    RECT frame96 = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame96, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const Band area96 = {0, 0, 480 - (frame96.right - frame96.left),
                         320 - (frame96.bottom - frame96.top) - ButtonStripHeight};
    const double font96 = TimeFontHeight(0, 100, area96, static_cast<uint32_t>(widthClass));
    EXPECT_NEAR(expected * 96.0 / dpi, font96, font96 * 0.04 + 1);

    EXPECT_EQ(seen["opened"], "quickset about options time-up");
    EXPECT_EQ(seen["pages"], "5");
    EXPECT_EQ(seen["cut"], "");
    EXPECT_EQ(seen["overlap"], "");
    EXPECT_EQ(seen["sample"], "whole") << "the warning colour's sample on the Times page";
}

INSTANTIATE_TEST_SUITE_P(Dpi, AtScale, testing::Values(96u, 120u, 144u, 192u),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return std::to_string(info.param);
                         });

} // namespace

int RunScaleChild()
{
    std::string out;
    // A time-up soon, for its window.
    if (StartInTempFolder("Mivo.exe /s=3 b").empty()) return 1;
    const uint32_t dpi = WindowDpi;
    const std::string name = "scale-" + std::to_string(dpi);
    out += "dpi=" + Numbers({static_cast<long>(dpi), static_cast<long>(SystemDpi())}) + "\n";
    out += "window=" + Numbers({FrameSize(MainWindow).cx, FrameSize(MainWindow).cy}) + "\n";
    for (uint32_t i = 0; i < ControlButtonCount; ++i)
        out += "button" + std::to_string(i) + "=" + RectText(ChildRect(MainWindow, ButtonIds[i])) +
               "\n";

    Command(CmdSizeMedium);
    PumpMessages();
    UpdateWindow(MainWindow);
    PumpMessagesFor(200);
    out += "medium=" + Numbers({FrameSize(MainWindow).cx, FrameSize(MainWindow).cy}) + "\n";
    const Capture shot = CaptureClient(MainWindow, (name + "-main").c_str());
    const RECT band = TimeBand;
    const LitBox lit = Lit(shot, band.top, band.bottom, 0xFFFFFF);
    const RECT box = {lit.left, lit.top, lit.right, lit.bottom};
    RECT client;
    GetClientRect(MainWindow, &client);
    const uint32_t font = TimeFontHeight(
        Settings.ScalingMethod, Settings.FontSize,
        {0, 0, client.right, client.bottom - ScaleToDpi(ButtonStripHeight, dpi)}, WidthClass);
    out += "font=" +
           Numbers({static_cast<long>(font), static_cast<long>(TimeCells.LineHeight),
                    static_cast<long>(DigitHeight(static_cast<int>(font), Settings.FontFace)),
                    static_cast<long>(WidthClass)}) +
           "\n";
    out += "lit=" + RectText(box) + "\nband=" + RectText(band) + "\n";
    out += CutTexts(MainWindow, "main window", dpi);

    std::string opened;
    const auto closeWith = [](int id) {
        return [id](HWND window) { PostMessageA(window, WM_COMMAND, id, 0); };
    };
    const auto check = [&](const char* where) {
        return [&, where](HWND window) {
            CaptureClient(window, (name + "-" + where).c_str());
            out += CutTexts(window, where, dpi);
        };
    };
    if (WhileOpen(
            [] {
                MSG key = {MainWindow, WM_KEYDOWN, 'Q', 0, 0, {}};
                ProcessLoopMessage(key);
            },
            [] {
                return WaitForWindow(
                    nullptr, [](HWND w) { return GetDlgItem(w, 2640) != nullptr; }, 5000);
            },
            check("quickset"), closeWith(IDCANCEL)))
        opened += "quickset";
    if (WhileOpen([] { SendMessageA(MainWindow, WM_COMMAND, CmdAbout, 0); },
                  [] { return WaitForWindow("About Mivo"); }, check("about"), closeWith(IDCANCEL)))
        opened += " about";
    int pages = 0;
    if (WhileOpen([] { SendMessageA(MainWindow, WM_COMMAND, CmdOptions, 0); },
                  [] {
                      return WaitForWindow("Mivo 1.9", [](HWND w) {
                          return FindWindowExA(w, nullptr, WC_TABCONTROLA, nullptr) != nullptr;
                      });
                  },
                  [&](HWND sheet) {
                      const HWND tabs = PropSheet_GetTabControl(sheet);
                      pages = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
                      for (int i = 0; i < pages; ++i)
                      {
                          SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(i), 0);
                          Sleep(300);
                          const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
                          const std::string where = "options-" + std::to_string(i + 1);
                          const Capture shot = CaptureClient(sheet, (name + "-" + where).c_str());
                          out += CutTexts(page, where, dpi);
                          out += Overlaps(page, where);
                          if (WindowText(page) == "Times")
                          {
                              const std::string faults = SampleFaults(sheet, page, shot);
                              out += "sample=" + (faults.empty() ? "whole" : faults) + "\n";
                          }
                      }
                      out += CutTexts(sheet, "options", dpi);
                  },
                  [](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }))
        opened += " options";
    out += "pages=" + std::to_string(pages) + "\n";

    // The time-up window comes on a thread of its own; this thread keeps the main window going.
    Command(CmdStartStop);
    AsUser([&] {
        const HWND prompt = WaitForWindow(
            "Mivo 1.9",
            [](HWND w) { return FindWindowExA(w, nullptr, WC_TABCONTROLA, nullptr) == nullptr; },
            10000);
        if (prompt == nullptr) return;
        opened += " time-up";
        Sleep(300);
        check("time-up")(prompt);
        PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    });
    PumpMessagesFor(200);
    out += "opened=" + opened + "\n";

    // The context menu, for the eye.
    AsUser(
        [&] {
            const HWND popup = WaitForWindow(
                nullptr,
                [](HWND w) {
                    char kind[16] = {};
                    GetClassNameA(w, kind, sizeof kind);
                    return std::strcmp(kind, "#32768") == 0;
                },
                5000);
            if (popup != nullptr)
            {
                Sleep(300);
                CaptureClient(popup, (name + "-menu").c_str());
            }
            PostMessageA(MainWindow, WM_CANCELMODE, 0, 0);
        },
        [] { PostMessageA(MainWindow, WM_RBUTTONUP, 0, 0); });

    const char* path = std::getenv("MIVO_REPORT");
    if (path != nullptr) WriteBytes(path, out);
    return 7;
}

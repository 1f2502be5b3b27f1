// Libraries planted beside the real Mivo.exe under the names of the system libraries it loads
// late, as anyone who can write into a Downloads folder could leave them: the program never
// loads one, and every feature that needs those libraries still works.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <functional>
#include <string>

#include "app/commands.h"
#include "data/settings.h"
#include "tests/win/harness_win.h"
#include "tests/win/sounds_win.h"
#include "text/text.h"

namespace
{

// The names planted. Wine's own libraries load ole32 (imm32) and uxtheme (user32) by the
// process's first search path, whatever the program asks: planted, those two would be taken
// by Wine itself before and beside the program, so this test leaves them out.
const char* const Planted[] = {"oleacc", "winmm", "msvfw32", "comdlg32", "shell32", "oleaut32"};
const char* const Programs[] = {"Mivo.exe", "plant_probe.exe"};

// Windows' search order brought to Wine for the programs of the test: a library found beside
// the program before the system's own (native, then builtin), as WINEDLLOVERRIDES=...=n,b would
// have it. Kept in the registry while it lives: a Wine process passes its own
// WINEDLLOVERRIDES on to the programs it starts, whatever their environment says.
struct NativeFirst
{
    NativeFirst()
    {
        for (const char* program : Programs)
        {
            HKEY key = nullptr;
            const std::string path = std::string(KeyBase) + program + "\\DllOverrides";
            if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr) != ERROR_SUCCESS)
                continue;
            for (const char* name : Planted)
                RegSetValueExA(key, name, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>("native,builtin"),
                               sizeof "native,builtin");
            RegCloseKey(key);
        }
    }
    ~NativeFirst()
    {
        for (const char* program : Programs)
            RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(KeyBase) + program).c_str());
    }
    NativeFirst(const NativeFirst&) = delete;
    NativeFirst& operator=(const NativeFirst&) = delete;

    static constexpr const char* KeyBase = "Software\\Wine\\AppDefaults\\";
};

std::string Folder(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Opens a chooser with the button `id` of the sheet's current page, and cancels it once it
// shows: whether it showed.
bool ChooserOpens(DWORD process, HWND sheet, HWND main, int id)
{
    const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
    const HWND chooser = WaitForWindowOf(
        process, [&](HWND w) { return w != sheet && w != main && ClassOf(w) == "#32770"; });
    if (chooser == nullptr) return false;
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    WaitForWindowOf(
        process, [&](HWND) { return !IsWindow(chooser); }, true);
    return true;
}

std::wstring ClockRole(HWND window, std::wstring& value)
{
    IAccessible* clock = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&clock))))
        return L"none";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    std::wstring answer = L"none";
    if (clock->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        answer = role.lVal == ROLE_SYSTEM_CLOCK ? L"clock" : L"other";
    BSTR text = nullptr;
    if (clock->get_accValue(self, &text) == S_OK && text != nullptr)
    {
        value = text;
        SysFreeString(text);
    }
    clock->Release();
    return answer;
}

// Whether the count shows `text`, as a screen reader reads it, within ten seconds.
bool Shows(HWND window, const wchar_t* text)
{
    const DWORD start = GetTickCount();
    std::wstring value;
    do
    {
        ClockRole(window, value);
        if (value == text) return true;
        Sleep(50);
    } while (GetTickCount() - start < 10000);
    return false;
}

struct Planting
{
    NativeFirst nativeFirst;
    std::string folder = NewTempFolder();
    std::string log = folder + "planted.log";

    Planting()
    {
        const std::string built = Folder(ProductExePath());
        CopyFileA((built + "Mivo.exe").c_str(), (folder + "Mivo.exe").c_str(), FALSE);
        CopyFileA((built + "plant_probe.exe").c_str(), (folder + "plant_probe.exe").c_str(), FALSE);
        for (const char* name : Planted)
            CopyFileA((built + "plant.dll").c_str(), (folder + name + ".dll").c_str(), FALSE);
    }

    // Runs `exe` of the folder with the overrides until it ends.
    DWORD Run(const char* exe, const std::string& arguments)
    {
        DWORD id = 0;
        const HANDLE process = StartProgram(folder + exe, arguments, folder, "", id);
        if (process == nullptr) return 0xFFFFFFFF;
        WaitForSingleObject(process, 20000);
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        return code;
    }
};

// Every path that loads a library late, in the real program beside the planted ones: the
// screen reader's clock, the taskbar's bar, a sound file and a random sound at the time-up,
// the tray icon, the file, folder, font and colour choosers. None is recorded, and each works.
TEST(PlantedLibraries, MivoLoadsNoneAndEveryFeatureStillWorks)
{
    Planting planting;
    const std::string& folder = planting.folder;
    // The control: a program that loads one by its bare name takes the planted one, so this
    // test can see a planted library loaded.
    for (const char* name : Planted)
    {
        SCOPED_TRACE(name);
        DeleteFileA(planting.log.c_str());
        EXPECT_EQ(planting.Run("plant_probe.exe", std::string(" ") + name + ".dll"), 1u)
            << "the planted library refuses to stay";
        EXPECT_NE(ReadBytes(planting.log).find(planting.folder + name + ".dll"), std::string::npos)
            << ReadBytes(planting.log);
    }
    DeleteFileA(planting.log.c_str());

    CreateDirectoryA((folder + "sounds").c_str(), nullptr);
    WriteBytes(folder + "sounds\\a.wav", SilentWave());
    WriteBytes(folder + "b.mp3", SilentMp3(OneSecondOfFrames));
    SettingsRecord record = DefaultRecord();
    record.AlarmAction = 2; // Sound File: an MP3 plays in the media-control window
    CopyText((folder + "b.mp3").c_str(), record.AlarmPath);
    record.ShowTimeUpWindow = 0;
    record.FlashDisplay = 0;
    record.RepeatSound = 0;
    record.MinimiseToTray = 1;
    WriteBytes(folder + "dMivo.dat", SettingsImage(record));

    DWORD id = 0;
    const HANDLE process = StartProgram(folder + "Mivo.exe", " /s=3 b", folder, "", id);
    ASSERT_NE(process, nullptr);
    const HWND main = MainWindowOf(id, 20000);
    ASSERT_NE(main, nullptr);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    // A screen reader: the clock answers as the clock.
    std::wstring value;
    EXPECT_EQ(ClockRole(main, value), L"clock");
    EXPECT_EQ(value, L"3.0");

    // The taskbar's button, then a count that shows its share on it; at its end, the sound
    // file plays in a player window.
    PostMessageA(main, RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
    PostMessageA(main, WM_COMMAND, CmdStartStop, 0);
    EXPECT_TRUE(Shows(main, L"0")) << "the time-up";
    EXPECT_NE(WaitForWindowOf(
                  id, [](HWND w) { return ClassOf(w) == "MCIWndClass"; }, true),
              nullptr)
        << "the sound file's player";
    PostMessageA(main, WM_COMMAND, CmdStartStop, 0);
    EXPECT_TRUE(Shows(main, L"3.0")) << "acknowledged";

    // The tray: minimised behind its icon, and back by a double click on it.
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_NE(WaitForWindowOf(
                  id, [main](HWND) { return !IsWindowVisible(main); }, true),
              nullptr)
        << "in the tray";
    PostMessageA(main, WM_USER + 5, 0, WM_LBUTTONDBLCLK);
    EXPECT_NE(WaitForWindowOf(id, [main](HWND w) { return w == main; }), nullptr) << "back";

    // The choosers: the sound file's and, for a random sound, the folder's on the Actions
    // page; the font's and the colour's on the View page.
    PostMessageA(main, WM_COMMAND, CmdOptions, 0);
    const HWND sheet = WaitForWindowOf(
        id, [](HWND w) { return FindWindowExA(w, nullptr, WC_TABCONTROLA, nullptr) != nullptr; });
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(ChooserOpens(id, sheet, main, 1016)) << "file";
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    const HWND actions = GetDlgItem(page, 4007);
    SendMessageA(actions, CB_SETCURSEL, 3, 0); // Random Sound File
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(4007, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(actions));
    SendMessageA(GetDlgItem(page, 4008), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>((folder + "sounds").c_str()));
    EXPECT_TRUE(ChooserOpens(id, sheet, main, 1016)) << "folder";
    SendMessageA(sheet, PSM_SETCURSEL, 2, 0);
    EXPECT_TRUE(ChooserOpens(id, sheet, main, 1058)) << "font";
    EXPECT_TRUE(ChooserOpens(id, sheet, main, 1059)) << "colour";
    PostMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    EXPECT_NE(WaitForWindowOf(
                  id, [sheet](HWND) { return !IsWindow(sheet); }, true),
              nullptr);

    // A random sound at the next time-up: a wave, through the system's sound player.
    PostMessageA(main, WM_COMMAND, CmdStartStop, 0);
    EXPECT_TRUE(Shows(main, L"0")) << "the second time-up";

    if (SUCCEEDED(com)) CoUninitialize();
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
    EXPECT_FALSE(FileExists(planting.log)) << ReadBytes(planting.log);
}

} // namespace

#include <windows.h>

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>
#include <vfw.h>

#include <string>
#include <thread>

#include "app/app_win.h"
#include "data/data_win.h"
#include "tests/win/harness_win.h"

namespace
{

// The shell's calls bound on first use answer as the shell itself does.
TEST(LateShell, AnswersAsTheShellDoes)
{
    char late[MAX_PATH] = {};
    char direct[MAX_PATH] = {};
    EXPECT_TRUE(SpecialFolderPathLate(nullptr, late, CSIDL_APPDATA, FALSE));
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, direct, CSIDL_APPDATA, FALSE));
    EXPECT_STREQ(late, direct);

    // A file that is not there: the same error number below 33.
    const std::string missing = NewTempFolder() + "missing.htm";
    const auto lateAnswer = reinterpret_cast<INT_PTR>(
        ShellExecuteLate(nullptr, nullptr, missing.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    const auto directAnswer = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, nullptr, missing.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    EXPECT_LE(lateAnswer, 32);
    EXPECT_EQ(lateAnswer, directAnswer);
}

// The tray icon through the late binding: added, changed and taken away again.
TEST(LateShell, TrayIconComesAndGoes)
{
    ASSERT_FALSE(StartInTempFolder().empty());
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = MainWindow;
    record.uID = 7;
    record.uFlags = NIF_ICON | NIF_TIP;
    record.hIcon = SmallIcon;
    lstrcpyA(record.szTip, "late");
    EXPECT_TRUE(ShellNotifyIconLate(NIM_ADD, &record));
    EXPECT_TRUE(ShellNotifyIconLate(NIM_MODIFY, &record));
    EXPECT_TRUE(ShellNotifyIconLate(NIM_DELETE, &record));
    // Gone: the shell no longer knows it.
    EXPECT_FALSE(ShellNotifyIconLate(NIM_MODIFY, &record));
}

// COM, the players and the sound call, bound on first use, answer as the system's own calls.
TEST(LateCalls, AnswerAsTheSystemDoes)
{
    HRESULT first = E_FAIL, second = E_FAIL, direct = E_FAIL;
    std::thread([&] {
        first = ComInitializeLate(COINIT_APARTMENTTHREADED);
        second = ComInitializeLate(COINIT_APARTMENTTHREADED);
        direct = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (int i = 0; i < 3; ++i)
            ComUninitializeLate();
    }).join();
    EXPECT_EQ(first, S_OK);
    EXPECT_EQ(second, S_FALSE); // already initialised on this thread
    EXPECT_EQ(direct, S_FALSE);

    // A block of COM's allocator goes back through the late call.
    void* block = CoTaskMemAlloc(64);
    ASSERT_NE(block, nullptr);
    ComFreeLate(block);

    const std::string missing = NewTempFolder() + "missing.wav";
    const DWORD flags = SND_FILENAME | SND_NODEFAULT | SND_SYNC;
    EXPECT_EQ(PlaySoundLate(missing.c_str(), nullptr, flags),
              PlaySoundA(missing.c_str(), nullptr, flags));
    EXPECT_TRUE(PlaySoundLate(nullptr, nullptr, 0)); // stops nothing, as PlaySoundA does

    const HWND player =
        SoundPlayerCreateLate(nullptr, GetModuleHandleA(nullptr), MCIWNDF_NOERRORDLG, nullptr);
    ASSERT_NE(player, nullptr);
    char name[64] = {};
    GetClassNameA(player, name, sizeof name);
    EXPECT_STREQ(name, MCIWND_WINDOW_CLASS);
    DestroyWindow(player);
}

} // namespace

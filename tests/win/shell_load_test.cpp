#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

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

} // namespace

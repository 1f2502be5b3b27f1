#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "app/app_win.h"
#include "data/data_win.h"
#include "data/settings.h"
#include "data/uistrings.h"
#include "resources/resource.h"
#include "tests/win/harness_win.h"

namespace
{

std::string DefaultStringsBytes()
{
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DEFAULT_STRINGS),
                                      MAKEINTRESOURCEA(RT_DEFAULT_STRINGS));
    const void* bytes = LockResource(LoadResource(nullptr, found));
    return std::string(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
}

std::string ImageOf(const SettingsRecord& record, const char* magic = "MIVO1210")
{
    uint8_t image[SettingsFileSize];
    BuildSettingsImage(record, image);
    std::memcpy(image, magic, 8);
    return std::string(reinterpret_cast<char*>(image), sizeof image);
}

// A record unlike the defaults in every field, reserved bytes included.
SettingsRecord CustomRecord()
{
    SettingsRecord r;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    std::strcpy(r.AlarmPath, "C:\\Sounds\\bell.wav");
    std::strcpy(r.TimeUpText, "Tea is ready");
    std::strcpy(r.HeaderText, "Kitchen");
    std::strcpy(r.FontFace, "Tahoma");
    r.FontWeight = 700;
    r.FontItalic = 1;
    r.SetTime = 90000;
    r.UpdateFrequency = 100;
    r.RememberPosition = 0;
    r.Transparent = 0;
    r.OnTopTimer = 0;
    return r;
}

SettingsRecord RecordOfFile(const std::string& path)
{
    const std::string bytes = ReadBytes(path);
    SettingsRecord r = {};
    ApplySettingsBody(r, reinterpret_cast<const uint8_t*>(bytes.data()) + 8,
                      static_cast<uint32_t>(bytes.size() - 8));
    return r;
}

// Answers the greeting from another thread, the way a user would, and keeps what it showed.
struct GreetingAnswer
{
    int button;
    std::string message, first, second;
    bool smallFont = false;
    std::thread worker;

    explicit GreetingAnswer(int pressed) : button(pressed)
    {
        worker = std::thread([this] {
            const HWND prompt = WaitForWindow("Mivo 1.9");
            if (prompt == nullptr) return;
            char text[512] = {};
            GetDlgItemTextA(prompt, 1601, text, sizeof text);
            message = text;
            GetDlgItemTextA(prompt, 1, text, sizeof text);
            first = text;
            GetDlgItemTextA(prompt, 2, text, sizeof text);
            second = text;
            LOGFONTA font = {};
            GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(prompt, 1601, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            smallFont = font.lfHeight == 16;
            SendMessageA(GetDlgItem(prompt, button), BM_CLICK, 0, 0);
        });
    }
    ~GreetingAnswer()
    {
        if (worker.joinable()) worker.join();
    }
};

TEST(FirstRun, GreetsWritesStringsAndSavesOnClose)
{
    const std::string folder = NewTempFolder();
    PinFolders(folder.c_str(), folder.c_str());
    RecordShellOpens();
    {
        GreetingAnswer answer(1);
        ASSERT_TRUE(StartMivo("Mivo.exe"));
        answer.worker.join();
        EXPECT_EQ(answer.message, "Thanks for trying Mivo. We hope you like it. To set advanced "
                                  "options right click on the main window, or press 'M'");
        EXPECT_EQ(answer.first, "I'm Ready!");
        EXPECT_EQ(answer.second, "Show ReadMe");
        EXPECT_TRUE(answer.smallFont);
    }
    EXPECT_EQ(OpenedFile, ""); // "I'm Ready!" opens nothing

    // The built-in strings were written into the data folder and loaded; defaults apply.
    EXPECT_EQ(ReadBytes(folder + "Strings.txt"), DefaultStringsBytes());
    EXPECT_STREQ(UiString(0), "Start");
    EXPECT_STREQ(UiString(150), "aaaa");
    EXPECT_STREQ(Settings.TimeUpText, "Mivo Finished");
    EXPECT_EQ(Settings.PresetTimes[2], 1089785800u);
    EXPECT_FALSE(FileExists(folder + "dMivo.dat")); // written by the first save only

    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    const std::string saved = ReadBytes(folder + "dMivo.dat");
    ASSERT_EQ(saved.size(), 3008u);
    EXPECT_EQ(saved.substr(0, 8), "MIVO1210");
    EXPECT_FALSE(FileExists(folder + "dMivo.dat.new"));
    // The placement of the window was captured.
    const SettingsRecord back = RecordOfFile(folder + "dMivo.dat");
    EXPECT_EQ(back.WindowPlacement.length, 44u);
    EXPECT_EQ(back.WindowPlacement.normalRight - back.WindowPlacement.normalLeft, 165);
}

TEST(FirstRun, ShowReadMeOpensTheDocumentBesideTheProgram)
{
    const std::string folder = NewTempFolder();
    PinFolders((folder + "prog\\").c_str(), folder.c_str());
    RecordShellOpens();
    GreetingAnswer answer(2);
    ASSERT_TRUE(PrepareStart("Mivo.exe"));
    answer.worker.join();
    EXPECT_EQ(OpenedFile, folder + "prog\\ReadMe.htm");
    EXPECT_EQ(Settings.SecondsMode, 2u); // defaults apply after the greeting
}

// Load and save give the same bytes but for the placement and the run-time fields.
TEST(SettingsFileOnDisk, LoadThenSaveKeepsTheBytes)
{
    const std::string original = ImageOf(CustomRecord());
    const std::string folder = StartInTempFolder("Mivo.exe", original);
    ASSERT_FALSE(folder.empty());
    EXPECT_STREQ(Settings.TimeUpText, "Tea is ready");
    ASSERT_TRUE(SaveSettings());
    const std::string saved = ReadBytes(folder + "dMivo.dat");
    ASSERT_EQ(saved.size(), original.size());
    for (size_t i = 0; i < saved.size(); ++i)
    {
        const size_t field = i - 8;
        const bool placement = i >= 8 && field >= 1280 && field < 1324;
        const bool runTime = i >= 8 && field >= 2096 && field < 2708;
        if (placement || runTime) continue;
        ASSERT_EQ(saved[i], original[i]) << "file offset " << i;
    }
}

struct VersionCase
{
    const char* magic;
    bool defaults;   // the defaulted fields were reset
    bool bodyRead;   // the kept fields came from the file
    bool textsReset; // weight and italic reset, strings file rewritten
};

TEST(SettingsFileOnDisk, VersionRules)
{
    const VersionCase cases[] = {
        {"MIVO1210", false, true, false}, {"mivo1210", true, false, true},
        {"MIVO1110", false, true, true},  {"MIVO1099", true, true, true},
        {"MIVO1200", false, true, false},
    };
    UiStrings = static_cast<char*>(GlobalAlloc(GPTR, UiStringsSize));
    std::string customStrings;
    for (int i = 0; i < 151; ++i)
        customStrings += "custom " + std::to_string(i) + "\r\n";

    for (const VersionCase& c : cases)
    {
        SCOPED_TRACE(c.magic);
        const std::string folder = NewTempFolder();
        WriteBytes(folder + "Strings.txt", customStrings);
        const std::string image = ImageOf(CustomRecord(), c.magic);
        WriteBytes(folder + "dMivo.dat", image);
        PinFolders(folder.c_str(), folder.c_str());
        std::memset(&Settings, 0, sizeof Settings);
        LoadUiStrings();
        ASSERT_STREQ(UiString(0), "custom 0");
        LoadSettings();

        const SettingsRecord custom = CustomRecord();
        // Defaulted fields.
        EXPECT_EQ(Settings.UpdateFrequency, c.defaults ? 50u : 100u);
        EXPECT_EQ(Settings.SetTime, c.defaults ? 300000u : 90000u);
        EXPECT_STREQ(Settings.FontFace, c.defaults ? "Arial" : "Tahoma");
        // Defaults copy the time-up and header texts from the strings loaded at that moment.
        EXPECT_STREQ(Settings.TimeUpText, c.defaults ? "custom 13" : "Tea is ready");
        EXPECT_STREQ(Settings.HeaderText, c.defaults ? "custom 30" : "Kitchen");
        // Fields the defaults keep: from the file when it was read.
        EXPECT_EQ(std::memcmp(Settings.AlarmPath, custom.AlarmPath, 600) == 0, c.bodyRead);
        EXPECT_EQ(std::memcmp(&Settings.WindowPlacement, &custom.WindowPlacement, 44) == 0,
                  c.bodyRead);
        EXPECT_EQ(std::memcmp(Settings.CustomColours, custom.CustomColours, 64) == 0, c.bodyRead);
        // Text resources.
        EXPECT_EQ(Settings.FontWeight, c.textsReset ? 400u : 700u);
        EXPECT_EQ(Settings.FontItalic, c.textsReset ? 0u : 1u);
        EXPECT_EQ(ReadBytes(folder + "Strings.txt") == DefaultStringsBytes(), c.textsReset);
        EXPECT_STREQ(UiString(0), c.textsReset ? "Start" : "custom 0");
        // The file itself is left alone until the next save.
        EXPECT_EQ(ReadBytes(folder + "dMivo.dat"), image);
    }
}

TEST(SettingsFileOnDisk, ShortFileFillsTheFrontOnly)
{
    const std::string folder = NewTempFolder();
    std::string file = "MIVO1210" + std::string(100, '\x42');
    WriteBytes(folder + "dMivo.dat", file);
    PinFolders(folder.c_str(), folder.c_str());
    UiStrings = static_cast<char*>(GlobalAlloc(GPTR, UiStringsSize));
    LoadUiStrings();
    std::memset(&Settings, 0, sizeof Settings);
    LoadSettings();
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&Settings);
    for (size_t i = 0; i < sizeof Settings; ++i)
        ASSERT_EQ(bytes[i], i < 100 ? 0x42 : 0) << i;
}

BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    WriteFile(file, bytes, size / 2, written, nullptr);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST(SettingsFileOnDisk, FailedSaveLeavesThePreviousFile)
{
    const std::string previous = ImageOf(CustomRecord());
    const std::string folder = StartInTempFolder("Mivo.exe", previous);
    ASSERT_FALSE(folder.empty());
    Settings.SetTime = 42000;

    WriteFileProc = WriteHalfThenFail;
    EXPECT_FALSE(SaveSettings());
    WriteFileProc = WriteFile;
    EXPECT_EQ(ReadBytes(folder + "dMivo.dat"), previous);
    EXPECT_FALSE(FileExists(folder + "dMivo.dat.new"));

    // A settings file held open by someone else cannot be replaced: it stays as it was.
    const HANDLE held = CreateFileA((folder + "dMivo.dat").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveSettings());
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(folder + "dMivo.dat"), previous);
    EXPECT_FALSE(FileExists(folder + "dMivo.dat.new"));

    // Once free, the save goes through with the new value.
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(RecordOfFile(folder + "dMivo.dat").SetTime, 42000u);
}

TEST(UiStringsOnDisk, DataFolderFirstThenProgramFolder)
{
    const std::string program = NewTempFolder();
    const std::string data = NewTempFolder();
    std::string strings;
    for (int i = 0; i < 150; ++i)
        strings += "program " + std::to_string(i) + "\r\n";
    WriteBytes(program + "Strings.txt", strings);
    PinFolders(program.c_str(), data.c_str());
    UiStrings = static_cast<char*>(GlobalAlloc(GPTR, UiStringsSize));

    LoadUiStrings();
    EXPECT_STREQ(UiString(0), "program 0");
    EXPECT_FALSE(FileExists(data + "Strings.txt"));

    // A settings reset writes the default into the data folder, which wins from then on.
    ApplyDefaultSettings();
    EXPECT_STREQ(Settings.TimeUpText, "program 13");
    EXPECT_EQ(ReadBytes(data + "Strings.txt"), DefaultStringsBytes());
    EXPECT_STREQ(UiString(0), "Start");
    LoadUiStrings();
    EXPECT_STREQ(UiString(0), "Start");
}

// The unusable strings files end the process with the message box, never in a loop.
struct FatalCase
{
    const char* name;
    std::string strings; // written beside the program; empty: none
    bool unwritableData;
};

TEST(UiStringsOnDisk, UnusableFileIsFatal)
{
    std::string withoutFillers = DefaultStringsBytes();
    withoutFillers.erase(withoutFillers.find("aaaa\r\naaaa\r\naaaa\r\n"), 18);
    const FatalCase cases[] = {
        {"LF-only file", "one\ntwo\nthree\n", false},
        {"default without its fillers", withoutFillers, false},
        {"no file and a data folder that cannot be written", "", true},
    };
    for (const FatalCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string folder = NewTempFolder() + "prog\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        if (!c.strings.empty()) WriteBytes(folder + "Strings.txt", c.strings);
        const std::string report = folder + "report.txt";
        std::string environment = "MIVO_REPORT=" + report;
        if (c.unwritableData) environment += "\nMIVO_DATA_FOLDER=Q:\\no\\such\\folder\\";
        const HANDLE child = StartChild(folder, "Mivo.exe", "strings", folder, environment);
        ASSERT_NE(child, nullptr);
        DWORD childId = GetProcessId(child);
        const HWND box = WaitForWindow("Mivo.exe", 10000, childId);
        ASSERT_NE(box, nullptr);
        char text[64] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(text, "String File Error!");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(WaitForSingleObject(child, 10000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(child, &code);
        CloseHandle(child);
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(FileExists(report)); // it never got past the strings
    }
}

// Reset rewrites Strings.txt beside the running count. When that fails and the fatal error
// box shows, the count goes on under it: the count lock is held only around the settings.
TEST(UiStringsOnDisk, ResetWhoseStringsFailLeavesTheCountRunningUnderTheErrorBox)
{
    const std::string folder = NewTempFolder() + "prog\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string report = folder + "report.txt";
    const HANDLE child =
        StartChild(folder, "Mivo.exe", "reset-strings", folder, "MIVO_REPORT=" + report);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(WaitForSingleObject(child, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    EXPECT_EQ(code, 0u); // the fatal error's exit
    const std::string text = ReadBytes(report);
    ASSERT_EQ(text.rfind("passes ", 0), 0u) << text;
    EXPECT_GE(std::stoi(text.substr(7)), 3) << "the count froze under the box";
}

std::string RunFolderChild(const std::string& folder, const std::string& exeName,
                           const std::string& currentFolder, const std::string& extra = "")
{
    const std::string report = NewTempFolder() + "report.txt";
    const HANDLE child =
        StartChild(folder, exeName, "folders", currentFolder, "MIVO_REPORT=" + report + extra);
    if (child == nullptr) return "no child";
    WaitForSingleObject(child, 20000);
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    return code == 7 ? ReadBytes(report) : "exit " + std::to_string(code);
}

TEST(Folders, BesideTheProgramOrInstalled)
{
    const std::string beside = NewTempFolder() + "copy\\";
    const std::string elsewhere = NewTempFolder();
    EXPECT_EQ(RunFolderChild(beside, "Mivo.exe", elsewhere),
              "program=" + beside + "\ndata=" + beside + "\n");

    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    const std::string installed = std::string(appData) + "\\Varlow\\Mivo\\";
    const bool existed = FileExists(installed);
    WriteBytes(beside + "DefSet.txt", "");
    EXPECT_EQ(RunFolderChild(beside, "Mivo.exe", elsewhere),
              "program=" + beside + "\ndata=" + installed + "\n");
    EXPECT_TRUE(FileExists(installed));

    // On a removable drive the data stays beside the program even when installed.
    EXPECT_EQ(RunFolderChild(beside, "Mivo.exe", elsewhere, "\nMIVO_REMOVABLE=1"),
              "program=" + beside + "\ndata=" + beside + "\n");

    if (!existed)
    {
        RemoveDirectoryA(installed.c_str());
        RemoveDirectoryA((std::string(appData) + "\\Varlow").c_str());
    }
}

// Under another name the program file is not found: both folders stay empty and the files
// go to the current folder.
TEST(Folders, OtherNameUsesTheCurrentFolder)
{
    const std::string folder = NewTempFolder() + "renamed\\";
    const std::string current = NewTempFolder();
    EXPECT_EQ(RunFolderChild(folder, "Timer.exe", current), "program=\ndata=\n");

    const std::string report = NewTempFolder() + "report.txt";
    const HANDLE child =
        StartChild(folder, "Timer.exe", "strings", current, "MIVO_REPORT=" + report);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(WaitForSingleObject(child, 20000), WAIT_OBJECT_0);
    CloseHandle(child);
    EXPECT_EQ(ReadBytes(report), "loaded Start");
    EXPECT_EQ(ReadBytes(current + "Strings.txt"), DefaultStringsBytes());
    EXPECT_FALSE(FileExists(folder + "Strings.txt"));
}

TEST(WindowsVersion, IdentifiedAtStartUp)
{
    char name[600] = {};
    const uint32_t code = IdentifyWindows(name);
    EXPECT_NE(code, 0u);
    EXPECT_EQ(std::string(name).rfind("Windows ", 0), 0u) << name;
    ASSERT_FALSE(StartInTempFolder().empty());
    EXPECT_EQ(Settings.LayeredAvailable, 1u);
}

} // namespace

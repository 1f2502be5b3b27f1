// Helpers for the in-process Windows tests.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Handles every pending message of this thread the way the program's loop does.
void PumpMessages();

// Pumps messages for about `milliseconds`.
void PumpMessagesFor(DWORD milliseconds);

// Pumps messages until `done` holds or `milliseconds` pass; returns whether it held.
template <typename Condition> bool PumpUntil(Condition done, DWORD milliseconds = 5000)
{
    const DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > milliseconds) return false;
        PumpMessagesFor(10);
    }
    return true;
}

// Sends a command to the main window and handles what it posted.
void Command(uint32_t id);

// A window's text.
std::string WindowText(HWND window);

// From now on, counts each `message` the main window receives (sent or posted, on whatever
// loop) into `seen`. One watch at a time, for the life of the window.
void CountMainWindowMessages(UINT message, std::atomic<int>& seen);

// Replaces the shell's "open this file" with a recorder: OpenedFile is the last file opened.
void RecordShellOpens();
extern std::string OpenedFile;

// Makes GetKeyState(VK_CONTROL) report the key held or released for this thread.
void SetControlHeld(bool held);

// A fresh empty folder under the temporary folder, ending in a backslash. Every folder made
// here is removed when the test process ends.
std::string NewTempFolder();
void RemoveTempFolders();

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

struct SettingsRecord;

// A record holding the defaults (with the default strings' texts), and its settings file.
SettingsRecord DefaultRecord();
std::string SettingsImage(const SettingsRecord& record);
std::string DefaultSettingsImage();

// Pins both folders to a fresh temporary folder that holds `settingsImage` as "dMivo.dat" (none
// when empty: a first run, which greets), then runs the whole start-up. Returns the folder.
std::string StartInTempFolder(const char* commandLine = "Mivo.exe",
                              const std::string& settingsImage = DefaultSettingsImage());

// A visible top-level window of this process whose title is `title` (any title when null) and
// that `fits`, waiting up to `milliseconds` (0: one look). The default is patient: a busy
// machine can take seconds to show a window, and a modal one that nobody finds to answer
// would hold its test until the test's own time runs out.
constexpr DWORD WindowPatience = 30000;
HWND WaitForWindow(const char* title, DWORD milliseconds = WindowPatience, DWORD processId = 0);
HWND WaitForWindow(const char* title, const std::function<bool(HWND)>& fits,
                   DWORD milliseconds = WindowPatience);
// A top-level window of process `processId`, visible or, with `hidden`, any, that `fits`.
HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& fits, bool hidden = false,
                     DWORD milliseconds = WindowPatience);

// Runs a copy of this test program as `exeName` in `folder` (made when missing) in child mode
// `mode` with the current folder `currentFolder`; `environment` holds extra NAME=value lines.
// Returns the child's process handle (the caller waits and closes it).
// `arguments` follow the quoted program path on the child's command line.
HANDLE StartChild(const std::string& folder, const std::string& exeName, const std::string& mode,
                  const std::string& currentFolder, const std::string& environment = "",
                  const std::string& arguments = "");

// Live GDI objects of this process. Wine does not count them for GetGuiResources, but it
// accepts an object's handle by its table index alone, so the table can be walked.
int LiveGdiObjects();

// The window's client area as pixels (0x00RRGGBB, row by row from the top), also written as a
// BMP named `name` into the artifacts folder (MIVO_ARTIFACTS, else "artifacts" here).
struct Capture
{
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureClient(HWND window, const char* name);

// The pixels of `colour` in rows fromY to toY (excluded) of a capture: how many, and their box.
struct LitBox
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
LitBox Lit(const Capture& c, int fromY, int toY, uint32_t colour);

// Runs `user` on a helper thread, as a user would act on the program's windows, and meanwhile
// runs `start` (which may open a modal window) on this thread and keeps its messages going
// until the user is done.
void AsUser(const std::function<void()>& user, const std::function<void()>& start = nullptr);

// The height of the ink of a "0" in the regular font `face` of cell height `fontHeight`.
int DigitHeight(int fontHeight, const char* face = "Arial");

// The main window of process `process`, waiting up to `milliseconds`.
HWND MainWindowOf(DWORD process, DWORD milliseconds);

// Starts `exe` with `arguments` in `folder` (its current folder); `environment` holds extra
// NAME=value lines, which replace this process's values of those names. Returns the process handle
// and id (the caller waits and closes it).
HANDLE StartProgram(const std::string& exe, const std::string& arguments, const std::string& folder,
                    const std::string& environment, DWORD& id);

// Mivo.exe of this build (MIVO_EXE, a Linux path under Wine) as a Windows path.
std::string ProductExePath();

// The program that Run File starts: a copy of this test program as "marker.exe" in `folder`.
// Started while a MarkerMode lives, it writes "marker.txt" beside itself.
std::string MarkerProgram(const std::string& folder);
struct MarkerMode
{
    MarkerMode() { SetEnvironmentVariableA("MIVO_CHILD", "marker"); }
    ~MarkerMode() { SetEnvironmentVariableA("MIVO_CHILD", nullptr); }
    MarkerMode(const MarkerMode&) = delete;
    MarkerMode& operator=(const MarkerMode&) = delete;
};

// A command of the Linux side (xdotool) run by /bin/sh to its end, while this thread's messages
// go on: Wine starts a Linux program without a process to wait on, so the command leaves a
// marker file when it is done, which this side sees on drive Z:. False if it never finished.
bool RunUnixCommand(const std::string& command);
// Keys typed on the real keyboard (xdotool key), into whatever window has the X focus.
bool TypeKeys(const char* keys);
// A click of the real mouse in the middle of `control`.
bool ClickAt(HWND control);

// Wine's Notepad, started for a test and ended with it: another program to give the focus to.
struct Notepad
{
    HANDLE process = nullptr;
    HWND window = nullptr;

    Notepad();
    ~Notepad();
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    // Notepad in front with the X focus, so that keys typed go to it.
    bool Focus() const;
};

// The child-mode entry; returns the child's exit code.
int RunChildMode(const char* mode);
// Child mode "scale": the main window and its other windows at the screen's scale, measured
// into the report file (MIVO_REPORT).
int RunScaleChild();

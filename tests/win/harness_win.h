// Helpers for the in-process Windows tests.
#pragma once

#include <windows.h>

#include <string>

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

// Makes GetKeyState(VK_CONTROL) report the key held or released for this thread.
void SetControlHeld(bool held);

// A fresh empty folder under the temporary folder, ending in a backslash. Every folder made
// here is removed when the test process ends.
std::string NewTempFolder();
void RemoveTempFolders();

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// The settings file of a record holding the defaults (default strings' texts).
std::string DefaultSettingsImage();

// Pins both folders to a fresh temporary folder that holds `settingsImage` as "dMivo.dat" (none
// when empty: a first run, which greets), then runs the whole start-up. Returns the folder.
std::string StartInTempFolder(const char* commandLine = "Mivo.exe",
                              const std::string& settingsImage = DefaultSettingsImage());

// A top-level window of this process whose title is `title`, waiting up to `milliseconds`.
HWND WaitForWindow(const char* title, DWORD milliseconds = 5000, DWORD processId = 0);

// Runs a copy of this test program as `exeName` in `folder` (made when missing) in child mode
// `mode` with the current folder `currentFolder`; `environment` holds extra NAME=value lines.
// Returns the child's process handle (the caller waits and closes it).
// `arguments` follow the quoted program path on the child's command line.
HANDLE StartChild(const std::string& folder, const std::string& exeName, const std::string& mode,
                  const std::string& currentFolder, const std::string& environment = "",
                  const std::string& arguments = "");

// The child-mode entry; returns the child's exit code.
int RunChildMode(const char* mode);

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "data/data_win.h"
#include "text/text.h"

char ProgramFolder[600];
char DataFolder[600];

UINT(WINAPI* DriveTypeProc)(LPCSTR root) = GetDriveTypeA;
HINSTANCE(WINAPI* ShellOpenProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteLate;

namespace
{

uint32_t FoldersPinned;

// Keeps the folder part of a full file name, final backslash included.
void CutAfterLastBackslash(char (&path)[600])
{
    char reversed[600];
    ReverseText(path, reversed);
    const int32_t found = FindText(1, reversed, "\\");
    if (found <= 0) return; // no backslash (or a single character): the text stays whole
    MidText(path, path, 0, TextLength(path) - static_cast<uint32_t>(found) + 1);
}

bool FileExists(const char* folder, const char* name)
{
    char path[600];
    CopyText(folder, path);
    AppendText(path, name);
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

} // namespace

void PinFolders(const char* programFolder, const char* dataFolder)
{
    CopyText(programFolder, ProgramFolder);
    CopyText(dataFolder, DataFolder);
    FoldersPinned = 1;
}

void PrepareFolders(uint32_t full)
{
    if (FoldersPinned != 0) return;
    ProgramFolder[0] = 0;
    if (SearchPathA(nullptr, "Mivo.exe", nullptr, sizeof ProgramFolder, ProgramFolder, nullptr) >=
        sizeof ProgramFolder)
        ProgramFolder[0] = 0; // a path that does not fit is no path
    CutAfterLastBackslash(ProgramFolder);
    CopyText(ProgramFolder, DataFolder);
    if (full == 0) return;

    // A copy on a removable drive keeps its data beside it, installed or not.
    char root[4];
    MidText(ProgramFolder, root, 0, 3);
    if (DriveTypeProc(root) == DRIVE_REMOVABLE) return;
    if (!FileExists(ProgramFolder, "DefSet.txt")) return;

    char folder[600] = {};
    SpecialFolderPathLate(nullptr, folder, CSIDL_APPDATA, FALSE);
    AppendText(folder, "\\Varlow");
    CreateDirectoryA(folder, nullptr);
    AppendText(folder, "\\Mivo");
    CreateDirectoryA(folder, nullptr);
    AppendText(folder, "\\");
    CopyText(folder, DataFolder);
}

void ShowReadMe()
{
    char path[600];
    CopyText(ProgramFolder, path);
    AppendText(path, "ReadMe.htm");
    ShellOpenProc(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
}

// Persistent data: folders and first run, UI strings file, settings file, Windows version.
#pragma once

#include <windows.h>

#include "data/settings.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>

// Folders, each ending in a backslash (or empty: the current folder). Set at start-up.
extern char ProgramFolder[600];
extern char DataFolder[600];

// Finds the program folder and, with `full`, the data folder (beside the program, or the
// application-data folder + "Varlow\Mivo\" for an installed copy on a fixed disk).
void PrepareFolders(uint32_t full);

// Tests pin both folders before start-up; PrepareFolders then keeps them.
void PinFolders(const char* programFolder, const char* dataFolder);

// First-run greeting; opens the ReadMe when asked to.
void ShowWelcome();
// Opens ProgramFolder + "ReadMe.htm" with the shell.
void ShowReadMe();

// Fills the UI strings buffer from "Strings.txt" (data folder, then program folder), writing
// the built-in default once when there is none. Ends the process on an unusable file.
void LoadUiStrings();
// Writes the built-in default over "Strings.txt" in the data folder and loads it.
void WriteDefaultUiStrings();

void LoadSettings();
// Writes "dMivo.dat" whole: a failed save leaves the previous file as it was. SettingsSaves
// counts the saves made.
bool SaveSettings();
extern uint32_t SettingsSaves;
// The kept-count bytes (app/keep.h) of the settings file as it is now; false when there is no
// file of the current version to read them from.
bool ReadSavedKeptBytes(uint8_t (&bytes)[sizeof Settings.KeptBytes]);
void ApplyDefaultSettings();
// The options window's Reset: the defaults while the program runs, beside the counting thread.
// SettingsResets counts them: a page that keeps edits of its own until OK tells by it that a
// Reset came after them, whatever values the Reset left.
void ResetSettings();
extern uint32_t SettingsResets;
void ResetTextResources();

// The Windows version code; the readable name goes into `name` (600 bytes).
uint32_t IdentifyWindows(char* name);

// Replaces the file at `path` with `size` bytes in one step: the bytes are written and flushed
// beside it first, so a failure leaves the old file whole. False on failure.
bool ReplaceFileWhole(const char* path, const void* bytes, uint32_t size);

// Before any library is loaded late: every later search for a library by name looks in the system
// folder alone where Windows can (SetDefaultDllDirectories), and never in the current folder.
// The late libraries themselves always come from the system folder.
void RestrictLibrarySearch();

// System calls bound on first use. The libraries behind them (shell32, comdlg32, ole32, msvfw32,
// winmm, oleacc, oleaut32) are loaded when the program first needs one (a tray icon, a file
// run, opened or played, an installed copy's data folder, a chooser of the options, a progress
// bar on the taskbar, a screen reader), not at every start. Each answers as its system call
// does, or as that call does when out of memory if its library will not load.
BOOL WINAPI ShellNotifyIconLate(DWORD action, NOTIFYICONDATAA* record);
HINSTANCE WINAPI ShellExecuteLate(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR folder, INT show);
BOOL WINAPI SpecialFolderPathLate(HWND window, LPSTR path, int folder, BOOL create);
// The folder chooser and the path of what it returned (an item list, freed by the caller).
ITEMIDLIST* WINAPI BrowseForFolderLate(BROWSEINFOA* browse);
BOOL WINAPI PathFromItemListLate(const ITEMIDLIST* item, LPSTR path);
// The choosers' records by their tags: <commdlg.h> would rename FindText for every includer.
BOOL WINAPI OpenFileNameLate(struct tagOFNA* chooser);
BOOL WINAPI ChooseFontLate(struct tagCHOOSEFONTA* chooser);
BOOL WINAPI ChooseColorLate(struct tagCHOOSECOLORA* chooser);
HRESULT WINAPI ComInitializeLate(DWORD model);
void WINAPI ComUninitializeLate();
void WINAPI ComFreeLate(void* block);
HRESULT WINAPI ComCreateInstanceLate(REFCLSID type, IUnknown* outer, DWORD context, REFIID face,
                                     void** object);
// oleacc's CreateStdAccessibleObject and LresultFromObject, and oleaut32's SysAllocString: for
// a screen reader, loaded only when one asks.
HRESULT WINAPI StandardAccessibleLate(HWND window, LONG object, REFIID face, void** accessible);
LRESULT WINAPI ResultFromObjectLate(REFIID face, WPARAM wParam, IUnknown* object);
BSTR WINAPI StringAllocLate(const OLECHAR* text);
// MCIWndCreateA.
HWND SoundPlayerCreateLate(HWND parent, HINSTANCE instance, DWORD style, LPCSTR file);
BOOL WINAPI PlaySoundLate(LPCSTR sound, HMODULE module, DWORD flags);
// The DPI calls of Windows 10 (user32): 0 where they are missing; the metric falls back to
// GetSystemMetrics.
UINT WINAPI DpiForWindowLate(HWND window);
UINT WINAPI DpiForSystemLate();
int WINAPI SystemMetricForDpiLate(int index, UINT dpi);

// Seams that tests replace.
extern UINT(WINAPI* DriveTypeProc)(LPCSTR root);
extern BOOL(WINAPI* WriteFileProc)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern HINSTANCE(WINAPI* ShellOpenProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

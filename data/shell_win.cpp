#include <windows.h>

#include <shellapi.h>

#include "data/data_win.h"

namespace
{

// Loaded by the first call that needs it and kept for the run; a race of two first calls only
// raises its load count.
HMODULE Shell32;

template <typename Call> Call ShellEntry(const char* name)
{
    if (Shell32 == nullptr) Shell32 = LoadLibraryA("shell32.dll");
    if (Shell32 == nullptr) return nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(Shell32, name)));
}

using NotifyIconCall = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
using ExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using FolderPathCall = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

} // namespace

BOOL WINAPI ShellNotifyIconLate(DWORD action, NOTIFYICONDATAA* record)
{
    static const NotifyIconCall call = ShellEntry<NotifyIconCall>("Shell_NotifyIconA");
    return call != nullptr ? call(action, record) : FALSE;
}

HINSTANCE WINAPI ShellExecuteLate(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR folder, INT show)
{
    static const ExecuteCall call = ShellEntry<ExecuteCall>("ShellExecuteA");
    // What ShellExecuteA itself answers when it runs out of memory.
    if (call == nullptr) return nullptr;
    return call(window, verb, file, parameters, folder, show);
}

BOOL WINAPI SpecialFolderPathLate(HWND window, LPSTR path, int folder, BOOL create)
{
    static const FolderPathCall call = ShellEntry<FolderPathCall>("SHGetSpecialFolderPathA");
    return call != nullptr ? call(window, path, folder, create) : FALSE;
}

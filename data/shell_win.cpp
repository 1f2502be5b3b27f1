#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>

#include "data/data_win.h"

namespace
{

// Loaded by the first call that needs it and kept for the run; a race of two first calls only
// raises its load count.
HMODULE Shell32;

// The entry `name`, looked up once and kept in `slot`. Two first calls at once store the same
// address. (A function-local static would bring the C++ runtime's guard, and with it its
// terminate handler, into the executable: over 100 KB.)
template <typename Call> Call Bound(std::atomic<Call>& slot, const char* name)
{
    Call call = slot.load(std::memory_order_acquire);
    if (call != nullptr) return call;
    if (Shell32 == nullptr) Shell32 = LoadLibraryA("shell32.dll");
    if (Shell32 == nullptr) return nullptr;
    call = reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(Shell32, name)));
    slot.store(call, std::memory_order_release);
    return call;
}

using NotifyIconCall = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
using ExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using FolderPathCall = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using BrowseCall = ITEMIDLIST*(WINAPI*)(BROWSEINFOA*);
using ItemPathCall = BOOL(WINAPI*)(const ITEMIDLIST*, LPSTR);

std::atomic<NotifyIconCall> NotifyIcon;
std::atomic<ExecuteCall> Execute;
std::atomic<FolderPathCall> FolderPath;
std::atomic<BrowseCall> Browse;
std::atomic<ItemPathCall> ItemPath;

} // namespace

BOOL WINAPI ShellNotifyIconLate(DWORD action, NOTIFYICONDATAA* record)
{
    const NotifyIconCall call = Bound(NotifyIcon, "Shell_NotifyIconA");
    return call != nullptr ? call(action, record) : FALSE;
}

HINSTANCE WINAPI ShellExecuteLate(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR folder, INT show)
{
    const ExecuteCall call = Bound(Execute, "ShellExecuteA");
    // What ShellExecuteA itself answers when it runs out of memory.
    if (call == nullptr) return nullptr;
    return call(window, verb, file, parameters, folder, show);
}

BOOL WINAPI SpecialFolderPathLate(HWND window, LPSTR path, int folder, BOOL create)
{
    const FolderPathCall call = Bound(FolderPath, "SHGetSpecialFolderPathA");
    return call != nullptr ? call(window, path, folder, create) : FALSE;
}

ITEMIDLIST* WINAPI BrowseForFolderLate(BROWSEINFOA* browse)
{
    const BrowseCall call = Bound(Browse, "SHBrowseForFolderA");
    return call != nullptr ? call(browse) : nullptr;
}

BOOL WINAPI PathFromItemListLate(const ITEMIDLIST* item, LPSTR path)
{
    const ItemPathCall call = Bound(ItemPath, "SHGetPathFromIDListA");
    return call != nullptr ? call(item, path) : FALSE;
}

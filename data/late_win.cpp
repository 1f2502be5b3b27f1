#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>

#include "data/data_win.h"
#include "data/libraries.h"

namespace
{

using DefaultDirectoriesCall = BOOL(WINAPI*)(DWORD);

// Whether Windows searches the system folder alone for a library when asked to: Windows 8 and
// later, and Vista and 7 with update KB2533623.
bool SystemSearchAvailable;

// The one place that decides where a late library comes from.
HMODULE LoadSystemLibrary(const char* name)
{
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) folder[0] = 0;
    char path[MAX_PATH];
    switch (ChooseLibraryLoad(SystemSearchAvailable, folder, name, path))
    {
    case LoadFromSystemFolder: return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    case LoadByFullPath: return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    default: return nullptr;
    }
}

// A library that the program needs only for some commands, loaded by the first call that needs
// it and kept for the run. A race of two first calls only raises its load count.
struct LateLibrary
{
    const char* name;
    std::atomic<HMODULE> module;
};

LateLibrary Shell32 = {"shell32.dll", {}};
LateLibrary CommonDialogs = {"comdlg32.dll", {}};
LateLibrary Com = {"ole32.dll", {}};
LateLibrary VideoForWindows = {"msvfw32.dll", {}};
LateLibrary Multimedia = {"winmm.dll", {}};
LateLibrary Accessibility = {"oleacc.dll", {}};
LateLibrary Automation = {"oleaut32.dll", {}};
// Always loaded already; only the calls of Windows 10 and later are looked up late.
LateLibrary User32 = {"user32.dll", {}};

// The entry `name` of `library`, looked up once and kept in `slot`. Two first calls at once
// store the same address. (A function-local static would bring the C++ runtime's guard, and
// with it its terminate handler, into the executable: over 100 KB.)
template <typename Call> Call Bound(std::atomic<Call>& slot, LateLibrary& library, const char* name)
{
    Call call = slot.load(std::memory_order_acquire);
    if (call != nullptr) return call;
    HMODULE module = library.module.load(std::memory_order_acquire);
    if (module == nullptr)
    {
        module = LoadSystemLibrary(library.name);
        if (module == nullptr) return nullptr;
        library.module.store(module, std::memory_order_release);
    }
    call = reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    slot.store(call, std::memory_order_release);
    return call;
}

using NotifyIconCall = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
using ExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
using FolderPathCall = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
using BrowseCall = ITEMIDLIST*(WINAPI*)(BROWSEINFOA*);
using ItemPathCall = BOOL(WINAPI*)(const ITEMIDLIST*, LPSTR);
using OpenFileCall = BOOL(WINAPI*)(OPENFILENAMEA*);
using FontCall = BOOL(WINAPI*)(CHOOSEFONTA*);
using ColourCall = BOOL(WINAPI*)(CHOOSECOLORA*);
using ComStartCall = HRESULT(WINAPI*)(void*, DWORD);
using ComEndCall = void(WINAPI*)();
using ComFreeCall = void(WINAPI*)(void*);
using PlayerCall = HWND(WINAPIV*)(HWND, HINSTANCE, DWORD, LPCSTR);
using PlaySoundCall = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
using ComCreateCall = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
using StandardAccessibleCall = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using ResultFromObjectCall = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
using StringAllocCall = BSTR(WINAPI*)(const OLECHAR*);
using WindowDpiCall = UINT(WINAPI*)(HWND);
using SystemDpiCall = UINT(WINAPI*)();
using MetricForDpiCall = int(WINAPI*)(int, UINT);

std::atomic<NotifyIconCall> NotifyIcon;
std::atomic<ExecuteCall> Execute;
std::atomic<FolderPathCall> FolderPath;
std::atomic<BrowseCall> Browse;
std::atomic<ItemPathCall> ItemPath;
std::atomic<OpenFileCall> FileOpener;
std::atomic<FontCall> Font;
std::atomic<ColourCall> Colour;
std::atomic<ComStartCall> ComStart;
std::atomic<ComEndCall> ComEnd;
std::atomic<ComFreeCall> ComFree;
std::atomic<PlayerCall> Player;
std::atomic<PlaySoundCall> Sound;
std::atomic<ComCreateCall> ComCreate;
std::atomic<StandardAccessibleCall> StandardAccessible;
std::atomic<ResultFromObjectCall> ResultFromObject;
std::atomic<StringAllocCall> StringAlloc;
std::atomic<WindowDpiCall> WindowDpiOf;
std::atomic<SystemDpiCall> SystemDpiOf;
std::atomic<MetricForDpiCall> MetricForDpi;

} // namespace

void RestrictLibrarySearch()
{
    // Looked up: older systems lack the call, and importing it would keep them from starting.
    const FARPROC found =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (found != nullptr)
    {
        const auto restrict =
            reinterpret_cast<DefaultDirectoriesCall>(reinterpret_cast<void (*)()>(found));
        SystemSearchAvailable = restrict(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    // The current folder out of the search, on every system.
    SetDllDirectoryA("");
}

BOOL WINAPI ShellNotifyIconLate(DWORD action, NOTIFYICONDATAA* record)
{
    const NotifyIconCall call = Bound(NotifyIcon, Shell32, "Shell_NotifyIconA");
    return call != nullptr ? call(action, record) : FALSE;
}

HINSTANCE WINAPI ShellExecuteLate(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR folder, INT show)
{
    const ExecuteCall call = Bound(Execute, Shell32, "ShellExecuteA");
    // What ShellExecuteA itself answers when it runs out of memory.
    if (call == nullptr) return nullptr;
    return call(window, verb, file, parameters, folder, show);
}

BOOL WINAPI SpecialFolderPathLate(HWND window, LPSTR path, int folder, BOOL create)
{
    const FolderPathCall call = Bound(FolderPath, Shell32, "SHGetSpecialFolderPathA");
    return call != nullptr ? call(window, path, folder, create) : FALSE;
}

ITEMIDLIST* WINAPI BrowseForFolderLate(BROWSEINFOA* browse)
{
    const BrowseCall call = Bound(Browse, Shell32, "SHBrowseForFolderA");
    return call != nullptr ? call(browse) : nullptr;
}

BOOL WINAPI PathFromItemListLate(const ITEMIDLIST* item, LPSTR path)
{
    const ItemPathCall call = Bound(ItemPath, Shell32, "SHGetPathFromIDListA");
    return call != nullptr ? call(item, path) : FALSE;
}

BOOL WINAPI OpenFileNameLate(OPENFILENAMEA* chooser)
{
    const OpenFileCall call = Bound(FileOpener, CommonDialogs, "GetOpenFileNameA");
    return call != nullptr ? call(chooser) : FALSE;
}

BOOL WINAPI ChooseFontLate(CHOOSEFONTA* chooser)
{
    const FontCall call = Bound(Font, CommonDialogs, "ChooseFontA");
    return call != nullptr ? call(chooser) : FALSE;
}

BOOL WINAPI ChooseColorLate(CHOOSECOLORA* chooser)
{
    const ColourCall call = Bound(Colour, CommonDialogs, "ChooseColorA");
    return call != nullptr ? call(chooser) : FALSE;
}

HRESULT WINAPI ComInitializeLate(DWORD model)
{
    const ComStartCall call = Bound(ComStart, Com, "CoInitializeEx");
    return call != nullptr ? call(nullptr, model) : E_FAIL;
}

void WINAPI ComUninitializeLate()
{
    // Only ever after a ComInitializeLate that succeeded, so the library is there.
    const ComEndCall call = Bound(ComEnd, Com, "CoUninitialize");
    if (call != nullptr) call();
}

void WINAPI ComFreeLate(void* block)
{
    const ComFreeCall call = Bound(ComFree, Com, "CoTaskMemFree");
    if (call != nullptr) call(block);
}

HRESULT WINAPI ComCreateInstanceLate(REFCLSID type, IUnknown* outer, DWORD context, REFIID face,
                                     void** object)
{
    // Only ever after a ComInitializeLate that succeeded, so the library is there.
    const ComCreateCall call = Bound(ComCreate, Com, "CoCreateInstance");
    return call != nullptr ? call(type, outer, context, face, object) : E_FAIL;
}

HRESULT WINAPI StandardAccessibleLate(HWND window, LONG object, REFIID face, void** accessible)
{
    const StandardAccessibleCall call =
        Bound(StandardAccessible, Accessibility, "CreateStdAccessibleObject");
    return call != nullptr ? call(window, object, face, accessible) : E_FAIL;
}

LRESULT WINAPI ResultFromObjectLate(REFIID face, WPARAM wParam, IUnknown* object)
{
    const ResultFromObjectCall call = Bound(ResultFromObject, Accessibility, "LresultFromObject");
    return call != nullptr ? call(face, wParam, object) : E_FAIL;
}

BSTR WINAPI StringAllocLate(const OLECHAR* text)
{
    const StringAllocCall call = Bound(StringAlloc, Automation, "SysAllocString");
    return call != nullptr ? call(text) : nullptr;
}

HWND SoundPlayerCreateLate(HWND parent, HINSTANCE instance, DWORD style, LPCSTR file)
{
    const PlayerCall call = Bound(Player, VideoForWindows, "MCIWndCreateA");
    return call != nullptr ? call(parent, instance, style, file) : nullptr;
}

BOOL WINAPI PlaySoundLate(LPCSTR sound, HMODULE module, DWORD flags)
{
    const PlaySoundCall call = Bound(Sound, Multimedia, "PlaySoundA");
    return call != nullptr ? call(sound, module, flags) : FALSE;
}

UINT WINAPI DpiForWindowLate(HWND window)
{
    const WindowDpiCall call = Bound(WindowDpiOf, User32, "GetDpiForWindow");
    return call != nullptr ? call(window) : 0;
}

UINT WINAPI DpiForSystemLate()
{
    const SystemDpiCall call = Bound(SystemDpiOf, User32, "GetDpiForSystem");
    return call != nullptr ? call() : 0;
}

int WINAPI SystemMetricForDpiLate(int index, UINT dpi)
{
    // Without the call the process is at most system aware: the system's metrics are its own.
    const MetricForDpiCall call = Bound(MetricForDpi, User32, "GetSystemMetricsForDpi");
    return call != nullptr ? call(index, dpi) : GetSystemMetrics(index);
}

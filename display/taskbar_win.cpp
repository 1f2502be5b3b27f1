#include <windows.h>

#include <shobjidl.h>

#include "app/app_win.h"
#include "app/appstate.h"
#include "data/data_win.h"
#include "display/display_win.h"
#include "display/outside.h"

UINT TaskbarButtonCreatedMessage;

namespace
{

// CLSID_TaskbarList and IID_ITaskbarList3, spelled out: the program links no GUID library.
const CLSID TaskbarListClass = {
    0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID TaskbarList3Face = {
    0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};

// The button exists once the shell has said so; the object is made the first time a bar must
// show on it, and only once a run: a Windows without it stays without it.
bool ButtonExists;
bool ObjectTried;
ITaskbarList3* Taskbar;
// What the button shows.
TaskbarProgress Applied;

TBPFLAG FlagOf(uint32_t state)
{
    switch (state)
    {
    case ProgressNormal: return TBPF_NORMAL;
    case ProgressPaused: return TBPF_PAUSED;
    case ProgressError: return TBPF_ERROR;
    default: return TBPF_NOPROGRESS;
    }
}

bool MakeTaskbarObject()
{
    if (ObjectTried) return Taskbar != nullptr;
    ObjectTried = true;
    if (!StartWindowCom()) return false;
    void* object = nullptr;
    if (FAILED(ComCreateInstanceLate(TaskbarListClass, nullptr, CLSCTX_INPROC_SERVER,
                                     TaskbarList3Face, &object)))
        return false;
    Taskbar = static_cast<ITaskbarList3*>(object);
    if (FAILED(Taskbar->HrInit()))
    {
        Taskbar->Release();
        Taskbar = nullptr;
    }
    return Taskbar != nullptr;
}

HRESULT CallSetProgressState(ITaskbarList3* taskbar, HWND window, int flags)
{
    return taskbar->SetProgressState(window, static_cast<TBPFLAG>(flags));
}

HRESULT CallSetProgressValue(ITaskbarList3* taskbar, HWND window, ULONGLONG done, ULONGLONG total)
{
    return taskbar->SetProgressValue(window, done, total);
}

} // namespace

ProgressStateCall SetProgressStateProc = CallSetProgressState;
ProgressValueCall SetProgressValueProc = CallSetProgressValue;
const ProgressStateCall SystemSetProgressState = CallSetProgressState;
const ProgressValueCall SystemSetProgressValue = CallSetProgressValue;

void OnTaskbarButtonCreated(HWND window)
{
    // A new button shows no bar, whatever the old one showed.
    ButtonExists = true;
    Applied = {ProgressNone, 0};
    ShowTaskbarProgress(window);
}

void ShowTaskbarProgress(HWND window)
{
    TaskbarProgress wanted;
    bool inTray;
    {
        CountLockGuard lock;
        wanted = ProgressShown;
        inTray = WindowState == WindowInTray;
    }
    // In the tray there is no button to show it on.
    if (!ButtonExists || inTray) return;
    const bool newState = wanted.State != Applied.State;
    const bool newValue = wanted.State != ProgressNone && wanted.PerMille != Applied.PerMille;
    if (!newState && !newValue) return;
    if (!MakeTaskbarObject()) return;
    if (newState) SetProgressStateProc(Taskbar, window, FlagOf(wanted.State));
    if (wanted.State != ProgressNone && (newState || newValue))
        SetProgressValueProc(Taskbar, window, wanted.PerMille, ProgressTotal);
    Applied = wanted;
}

void ReleaseTaskbarObject()
{
    if (Taskbar == nullptr) return;
    Taskbar->Release();
    Taskbar = nullptr;
}

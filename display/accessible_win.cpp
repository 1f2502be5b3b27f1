#include <windows.h>

#include <oleacc.h>
#include <oleidl.h>

#include <cstring>

#include "app/app_win.h"
#include "data/data_win.h"
#include "display/display_win.h"
#include "display/timetext.h"

namespace
{

// Spelled out: the program links no GUID library.
const IID UnknownFace = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID DispatchFace = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID AccessibleFace = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const IID OleWindowFace = {0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool Same(REFIID a, const IID& b)
{
    return std::memcmp(&a, &b, sizeof b) == 0;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The client area as a clock. Its name, role and value are its own; everything else, its
// children (the buttons, the system's own push buttons) included, comes from the standard
// client object. One object lives as long as the program: made on the first request, never
// freed, so its counts only tell COM it is in use.
//
// It answers only for the interfaces it is: one of the standard object's would have that
// object's identity, not the clock's. Without an enumerator of its own, a client reaches the
// children one by one (get_accChild), as AccessibleChildren does.
struct ClockAccessible final : IAccessible, IOleWindow
{
    IAccessible* Standard = nullptr;
    HWND Window = nullptr;
    LONG References = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID face, void** object) override
    {
        if (object == nullptr) return E_POINTER;
        if (Same(face, UnknownFace) || Same(face, DispatchFace) || Same(face, AccessibleFace))
            *object = static_cast<IAccessible*>(this);
        else if (Same(face, OleWindowFace))
            *object = static_cast<IOleWindow*>(this);
        else
        {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&References); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&References); }

    // IOleWindow: the window the clock belongs to (WindowFromAccessibleObject).
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (window == nullptr) return E_POINTER;
        *window = Window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        return Standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        return Standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return Standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child)) return Standard->get_accName(child, name);
        *name = StringAllocLate(L"Mivo");
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (!IsSelf(child)) return Standard->get_accValue(child, value);
        char text[sizeof DisplayText];
        {
            CountLockGuard lock;
            std::memcpy(text, DisplayText, sizeof text);
        }
        text[sizeof text - 1] = '\0';
        WCHAR wide[sizeof text];
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof text) == 0) wide[0] = 0;
        *value = StringAllocLate(wide);
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    // In the last stretch: what is left, "1:00 left".
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        uint32_t inside, left;
        {
            CountLockGuard lock;
            inside = Count.InStretch;
            left = TimeLeft(GetTickCount());
        }
        if (!IsSelf(child) || inside == 0) return Standard->get_accDescription(child, text);
        char time[16];
        FormatShortTime(left, time);
        WCHAR wide[32];
        int length = MultiByteToWideChar(CP_ACP, 0, time, -1, wide, 16);
        if (length == 0) length = 1;
        lstrcpyW(wide + length - 1, L" left");
        *text = StringAllocLate(wide);
        return *text != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child)) return Standard->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_CLOCK;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return Standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return Standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return Standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return Standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override
    {
        return Standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return Standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return Standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return Standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override
    {
        return Standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return Standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return Standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return Standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return Standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return Standard->put_accValue(child, value);
    }
};

ClockAccessible Clock;

} // namespace

LRESULT AccessibleClockObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT))
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    // The object is handed to another process through COM, which this thread must have: the
    // first screen reader's question starts it.
    if (!StartWindowCom()) return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    if (Clock.Standard == nullptr)
    {
        void* standard = nullptr;
        if (FAILED(StandardAccessibleLate(window, OBJID_CLIENT, AccessibleFace, &standard)))
            return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
        Clock.Standard = static_cast<IAccessible*>(standard);
        Clock.Window = window;
    }
    const LRESULT result =
        ResultFromObjectLate(AccessibleFace, wParam, static_cast<IAccessible*>(&Clock));
    // A failure is an HRESULT; the system's own client object is still better than none.
    if (FAILED(static_cast<HRESULT>(result)))
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    return result;
}

void ReleaseAccessibleClock()
{
    if (Clock.Standard == nullptr) return;
    Clock.Standard->Release();
    Clock.Standard = nullptr;
}

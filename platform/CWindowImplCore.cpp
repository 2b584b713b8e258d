#include "platform/CWindowImplCore.h"

#include "platform/CAppModule.h"
#include "platform/CurrentMessageScope.h"
#include "platform/CWndClassInfo.h"
#include "platform/DeferredDeletion.h"
#include "platform/ExceptionBoundary.h"

namespace
{
constexpr int kSlots = 8;

// Property holding the object of a level, and the one holding the previous procedure of a level whose object went
// away while the window lives on (a subclass above it kept the level in the procedure chain).
const wchar_t* const kObjectProp[kSlots] = {L"ScvWnd.0", L"ScvWnd.1", L"ScvWnd.2", L"ScvWnd.3",
                                            L"ScvWnd.4", L"ScvWnd.5", L"ScvWnd.6", L"ScvWnd.7"};
const wchar_t* const kOrphanProp[kSlots] = {L"ScvWndPrev.0", L"ScvWndPrev.1", L"ScvWndPrev.2",
                                            L"ScvWndPrev.3", L"ScvWndPrev.4", L"ScvWndPrev.5",
                                            L"ScvWndPrev.6", L"ScvWndPrev.7"};

// The object whose window is being created on this thread; taken by the window's first message.
thread_local CWindowImplCore* t_creating = nullptr;

// Sets the pending object for one creation; nested creations (a child made in WM_CREATE) restore the outer one.
class PendingWindow
{
public:
    explicit PendingWindow(CWindowImplCore* object) : m_outer(t_creating) { t_creating = object; }
    ~PendingWindow() { t_creating = m_outer; }
    PendingWindow(const PendingWindow&) = delete;
    PendingWindow& operator=(const PendingWindow&) = delete;

private:
    CWindowImplCore* m_outer;
};

WNDPROC CurrentProc(HWND hWnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
}

void SetProc(HWND hWnd, WNDPROC proc)
{
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}
} // namespace

template <int Slot>
LRESULT CALLBACK CWindowImplCore::SlotProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return Route(Slot, hWnd, uMsg, wParam, lParam);
}

namespace
{
using SlotProcTable = WNDPROC[kSlots];
}

// One procedure per level, so that each level finds its own object.
#define SCV_SLOT_PROCS                                                                                       \
    {                                                                                                        \
        &CWindowImplCore::WindowProc, &CWindowImplCore::SlotProc<1>, &CWindowImplCore::SlotProc<2>,          \
            &CWindowImplCore::SlotProc<3>, &CWindowImplCore::SlotProc<4>, &CWindowImplCore::SlotProc<5>,     \
            &CWindowImplCore::SlotProc<6>, &CWindowImplCore::SlotProc<7>                                     \
    }

LRESULT CALLBACK CWindowImplCore::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return Route(0, hWnd, uMsg, wParam, lParam);
}

WNDPROC CWindowImplCore::GetWindowProc() const
{
    static const SlotProcTable procs = SCV_SLOT_PROCS;
    if (m_slot <= 0)
        return &CWindowImplCore::WindowProc;
    return procs[m_slot];
}

CWindowImplCore* CWindowImplCore::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    for (int slot = kSlots - 1; slot >= 0; --slot) {
        if (void* object = ::GetPropW(hWnd, kObjectProp[slot]))
            return static_cast<CWindowImplCore*>(object);
    }
    return nullptr;
}

LRESULT CWindowImplCore::Route(int slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DeferredDeletion::DispatchScope dispatching;
    auto* object = static_cast<CWindowImplCore*>(::GetPropW(hWnd, kObjectProp[slot]));
    // a window of ours whose object went away earlier must not take the pending object
    if (!object && slot == 0 && t_creating && !::GetPropW(hWnd, kOrphanProp[0])) {
        object = t_creating;
        t_creating = nullptr;
        WNDPROC super = object->m_pfnSuperWindowProc;
        object->Attach(hWnd, 0, super);
    }
    if (!object)
        return RouteOrphan(slot, hWnd, uMsg, wParam, lParam);
    return object->Dispatch(hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowImplCore::RouteOrphan(int slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kOrphanProp[slot]));
    if (!previous)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg != WM_NCDESTROY)
        return ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    WNDPROC onEntry = CurrentProc(hWnd);
    LRESULT result = ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    if (previous != ::DefWindowProcW && CurrentProc(hWnd) == onEntry)
        SetProc(hWnd, previous);
    ::RemovePropW(hWnd, kOrphanProp[slot]);
    return result;
}

int CWindowImplCore::FreeSubclassSlot(HWND hWnd)
{
    for (int slot = 1; slot < kSlots; ++slot) {
        if (!::GetPropW(hWnd, kObjectProp[slot]) && !::GetPropW(hWnd, kOrphanProp[slot]))
            return slot;
    }
    return -1;
}

void CWindowImplCore::Attach(HWND hWnd, int slot, WNDPROC super)
{
    m_slot = slot;
    m_pfnSuperWindowProc = super;
    WindowHandle() = hWnd;
    ::SetPropW(hWnd, kObjectProp[slot], this);
}

void CWindowImplCore::Reset()
{
    WindowHandle() = nullptr;
    m_pfnSuperWindowProc = ::DefWindowProcW;
    m_slot = -1;
}

LRESULT CWindowImplCore::Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CurrentMessageScope scope(m_pCurrentMsg, hWnd, uMsg, wParam, lParam);
    // a handler may unsubclass the window: the message still goes where it would have gone on entry
    WNDPROC super = m_pfnSuperWindowProc;
    int slot = m_slot;

    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = OnWndMsg(hWnd, uMsg, wParam, lParam, result);
    } catch (...) {
        ReportCurrentException(L"window procedure");
        handled = uMsg != WM_NCDESTROY;
        result = 0;
    }
    if (uMsg == WM_NCDESTROY) {
        WNDPROC onEntry = CurrentProc(hWnd);
        if (!handled)
            result = ::CallWindowProcW(super, hWnd, uMsg, wParam, lParam);
        if (super != ::DefWindowProcW && CurrentProc(hWnd) == onEntry)
            SetProc(hWnd, super);
        if (slot >= 0)
            ::RemovePropW(hWnd, kObjectProp[slot]);
        m_bDestroyed = true;
    } else if (!handled) {
        result = ::CallWindowProcW(super, hWnd, uMsg, wParam, lParam);
    }
    if (scope.Leave() && m_bDestroyed) {
        m_bDestroyed = false;
        Reset();
        // a window that went away while it was being created leaves its object to the code creating it
        if (!m_bCreating)
            OnFinalMessage(hWnd); // may hand this object over for deletion
    }
    return result;
}

LRESULT CWindowImplCore::DefWindowProc()
{
    if (!m_pCurrentMsg)
        return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWindowImplCore::DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = m_pCurrentMsg ? m_pCurrentMsg->hwnd : WindowHandle();
    return ::CallWindowProcW(m_pfnSuperWindowProc, hWnd, uMsg, wParam, lParam);
}

void CWindowImplCore::OnFinalMessage(HWND) {}

HWND CWindowImplCore::CreateCore(CWndClassInfo& classInfo, HWND hWndParent, const RECT* rect,
                                 LPCWSTR szWindowName, DWORD dwStyle, DWORD dwExStyle, HMENU hMenu,
                                 LPVOID lpCreateParam)
{
    if (WindowHandle())
        return nullptr;
    WNDPROC super = ::DefWindowProcW;
    ATOM atom = classInfo.Register(&CWindowImplCore::WindowProc, &super);
    if (!atom)
        return nullptr;
    m_pfnSuperWindowProc = super;

    RECT r = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (rect)
        r = *rect;
    int width = rect ? r.right - r.left : CW_USEDEFAULT;
    int height = rect ? r.bottom - r.top : CW_USEDEFAULT;

    HWND hWnd = nullptr;
    {
        PendingWindow pending(this);
        m_bCreating = true;
        hWnd = ::CreateWindowExW(dwExStyle, MAKEINTATOM(atom), szWindowName, dwStyle, r.left, r.top, width,
                                 height, hWndParent, hMenu, _Module.GetModuleInstance(), lpCreateParam);
        m_bCreating = false;
    }
    if (!hWnd && WindowHandle() == nullptr)
        m_pfnSuperWindowProc = ::DefWindowProcW;
    return hWnd;
}

BOOL CWindowImplCore::SubclassCore(HWND hWnd)
{
    if (WindowHandle() || !::IsWindow(hWnd))
        return FALSE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    if (process != ::GetCurrentProcessId())
        return FALSE;
    int slot = FreeSubclassSlot(hWnd);
    if (slot < 0)
        return FALSE;

    static const SlotProcTable procs = SCV_SLOT_PROCS;
    // the property first: the first message through the new procedure must find this object
    Attach(hWnd, slot, ::DefWindowProcW);
    LONG_PTR previous = ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs[slot]));
    if (!previous) {
        ::RemovePropW(hWnd, kObjectProp[slot]);
        Reset();
        return FALSE;
    }
    m_pfnSuperWindowProc = reinterpret_cast<WNDPROC>(previous);
    return TRUE;
}

HWND CWindowImplCore::UnsubclassCore(BOOL bForce)
{
    HWND hWnd = WindowHandle();
    if (!hWnd || m_slot < 0)
        return nullptr;
    if (CurrentProc(hWnd) != GetWindowProc() && !bForce)
        return nullptr; // another subclass sits above this one
    SetProc(hWnd, m_pfnSuperWindowProc);
    ::RemovePropW(hWnd, kObjectProp[m_slot]);
    Reset();
    return hWnd;
}

void CWindowImplCore::ReleaseWindow()
{
    HWND hWnd = WindowHandle();
    if (!hWnd || m_slot < 0)
        return;
    if (!::IsWindow(hWnd)) {
        Reset();
        return;
    }
    if (UnsubclassCore(FALSE))
        return;
    // a subclass above still calls this level: leave the previous procedure there for it
    ::SetPropW(hWnd, kOrphanProp[m_slot], reinterpret_cast<HANDLE>(m_pfnSuperWindowProc));
    ::RemovePropW(hWnd, kObjectProp[m_slot]);
    Reset();
}

#pragma once
// The window class of a window object type, registered on first use.
//
// A class is either our own (a class name, or an automatic one when the name is null) or a superclass of an
// existing class (origName set): it then takes over that class's settings and keeps its window procedure as the
// procedure that unhandled messages go to. m_wc may be adjusted (icons, cursor, extra bytes) before the first
// window is created.

#include <windows.h>

class CWndClassInfo
{
public:
    CWndClassInfo(LPCWSTR className, UINT style, HBRUSH background, LPCWSTR origName = nullptr);
    CWndClassInfo(const CWndClassInfo&) = delete;
    CWndClassInfo& operator=(const CWndClassInfo&) = delete;

    // Registers the class once with windowProc; gives the procedure unhandled messages go to. 0 on failure.
    ATOM Register(WNDPROC windowProc, WNDPROC* pSuperProc);
    LPCWSTR GetName() const { return m_wc.lpszClassName; }

    WNDCLASSEXW m_wc{};
    LPCWSTR m_lpszOrigName = nullptr;
    WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;
    ATOM m_atom = 0;

private:
    wchar_t m_szAutoName[48]{};
};

// Inside a window class: the class name, its class style and background (a system colour index, COLOR_WINDOW for
// instance; the brush is that index + 1, or none for -1).
#define DECLARE_WND_CLASS_EX(WndClassName, style, bkgnd)                                                     \
    static CWndClassInfo& GetWndClassInfo()                                                                  \
    {                                                                                                        \
        static CWndClassInfo wc((WndClassName), (style),                                                     \
                                reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((bkgnd) + 1)));                \
        return wc;                                                                                           \
    }

#define DECLARE_WND_CLASS(WndClassName)                                                                      \
    DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

// A superclass of an existing class (a system control, for instance) under a new name (null: automatic).
#define DECLARE_WND_SUPERCLASS(WndClassName, OrigWndClassName)                                               \
    static CWndClassInfo& GetWndClassInfo()                                                                  \
    {                                                                                                        \
        static CWndClassInfo wc((WndClassName), 0, nullptr, (OrigWndClassName));                             \
        return wc;                                                                                           \
    }

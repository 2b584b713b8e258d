#include "platform/CWndClassInfo.h"

#include <cwchar>

#include "platform/CAppModule.h"

namespace
{
// Registration may race between threads creating their first windows of one type.
SRWLOCK g_registerLock = SRWLOCK_INIT;

class RegisterGuard
{
public:
    RegisterGuard() { ::AcquireSRWLockExclusive(&g_registerLock); }
    ~RegisterGuard() { ::ReleaseSRWLockExclusive(&g_registerLock); }
    RegisterGuard(const RegisterGuard&) = delete;
    RegisterGuard& operator=(const RegisterGuard&) = delete;
};
} // namespace

CWndClassInfo::CWndClassInfo(LPCWSTR className, UINT style, HBRUSH background, LPCWSTR origName)
    : m_lpszOrigName(origName)
{
    m_wc.cbSize = sizeof(m_wc);
    m_wc.style = style;
    m_wc.hbrBackground = background;
    m_wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    if (className) {
        m_wc.lpszClassName = className;
    } else {
        swprintf(m_szAutoName, sizeof(m_szAutoName) / sizeof(m_szAutoName[0]), L"ScvWnd:%p",
                 static_cast<void*>(this));
        m_wc.lpszClassName = m_szAutoName;
    }
}

ATOM CWndClassInfo::Register(WNDPROC windowProc, WNDPROC* pSuperProc)
{
    RegisterGuard guard;
    if (m_atom == 0) {
        HINSTANCE instance = _Module.GetModuleInstance();
        WNDCLASSEXW wc = m_wc;
        if (m_lpszOrigName) {
            WNDCLASSEXW original = {};
            original.cbSize = sizeof(original);
            if (!::GetClassInfoExW(nullptr, m_lpszOrigName, &original) &&
                !::GetClassInfoExW(instance, m_lpszOrigName, &original)) {
                return 0;
            }
            m_pfnSuperWindowProc = original.lpfnWndProc;
            wc = original;
            wc.cbSize = sizeof(wc);
            wc.lpszClassName = m_wc.lpszClassName;
            wc.lpszMenuName = nullptr;
        }
        wc.lpfnWndProc = windowProc;
        wc.hInstance = instance;
        m_atom = ::RegisterClassExW(&wc);
        if (m_atom == 0 && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
            WNDCLASSEXW existing = {};
            existing.cbSize = sizeof(existing);
            m_atom = static_cast<ATOM>(::GetClassInfoExW(instance, wc.lpszClassName, &existing));
        }
    }
    if (pSuperProc)
        *pSuperProc = m_pfnSuperWindowProc;
    return m_atom;
}

#include "support/MessageCounter.h"

namespace scvtest
{

namespace
{
constexpr wchar_t kClassName[] = L"ScvTestMessageCounter";
}

MessageCounter::MessageCounter()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &MessageCounter::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);
    m_window = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, this);
}

MessageCounter::~MessageCounter()
{
    if (m_window)
        ::DestroyWindow(m_window);
}

int MessageCounter::Count(UINT message) const
{
    const auto found = m_counts.find(message);
    return found == m_counts.end() ? 0 : found->second;
}

LRESULT CALLBACK MessageCounter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageCounter*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message >= WM_APP && wParam == 0 && lParam == 0)
        ++self->m_counts[message];
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace scvtest

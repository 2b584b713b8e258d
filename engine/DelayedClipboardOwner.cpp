#include "engine/DelayedClipboardOwner.h"

#include <cstring>
#include <exception>

#include "common/SharedLog.h"

namespace
{
constexpr wchar_t kWindowClass[] = L"ScvDelayedClipboardOwner";
constexpr UINT_PTR kBoundTimer = 1;
constexpr UINT_PTR kGraceTimer = 2;

bool RegisterOwnerClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HGLOBAL CopyToGlobal(const std::vector<BYTE>& bytes)
{
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!memory)
        return nullptr;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return nullptr;
    }
    if (!bytes.empty())
        std::memcpy(target, bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    return memory;
}
} // namespace

CDelayedClipboardOwner::~CDelayedClipboardOwner()
{
    m_handler = nullptr;
    Destroy();
}

bool CDelayedClipboardOwner::Create()
{
    if (m_window)
        return true;
    if (!RegisterOwnerClass(&CDelayedClipboardOwner::WindowProc))
        return false;
    m_window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleW(nullptr), this);
    if (!m_window)
        LogError(L"CDelayedClipboardOwner: cannot create the clipboard owner window");
    return m_window != nullptr;
}

void CDelayedClipboardOwner::Destroy()
{
    if (!m_window)
        return;
    // The system asks the owner to render everything (WM_RENDERALLFORMATS) on the way out.
    ::DestroyWindow(m_window);
    m_window = nullptr;
}

bool CDelayedClipboardOwner::Offer(const ClipboardBlockMap& blocks)
{
    FinishWatch();
    if (!m_window || blocks.empty() || !::OpenClipboard(m_window))
        return false;
    CAutoCloseClipboard close(kOwnClipboardChange);
    m_emptyingOwnOffer = true;
    ::EmptyClipboard();
    m_emptyingOwnOffer = false;
    m_blocks.clear();
    m_renderCount = 0;
    for (const auto& [format, block] : blocks) {
        Block copy;
        copy.format = format;
        const auto* bytes = static_cast<const BYTE*>(block.bytes);
        copy.bytes.assign(bytes, bytes + block.size);
        m_blocks.push_back(std::move(copy));
        ::SetClipboardData(format, nullptr);
    }
    return true;
}

bool CDelayedClipboardOwner::IsOfferOnClipboard() const
{
    return m_window && !m_blocks.empty() && ::GetClipboardOwner() == m_window;
}

void CDelayedClipboardOwner::WatchReads(DWORD graceMs, DWORD boundMs, OutcomeHandler handler)
{
    FinishWatch();
    if (!IsOfferOnClipboard()) {
        if (handler)
            handler(Outcome::Replaced);
        return;
    }
    m_handler = std::move(handler);
    m_graceMs = graceMs;
    ::SetTimer(m_window, kBoundTimer, boundMs, nullptr);
    if (m_renderCount > 0)
        ::SetTimer(m_window, kGraceTimer, m_graceMs, nullptr);
}

void CDelayedClipboardOwner::FinishWatch()
{
    if (m_handler)
        Report(m_renderCount > 0 ? Outcome::Read : Outcome::NeverRead);
}

void CDelayedClipboardOwner::Report(Outcome outcome)
{
    if (m_window) {
        ::KillTimer(m_window, kBoundTimer);
        ::KillTimer(m_window, kGraceTimer);
    }
    OutcomeHandler handler = std::move(m_handler);
    m_handler = nullptr;
    if (handler)
        handler(outcome);
}

bool CDelayedClipboardOwner::Render(UINT format)
{
    for (Block& block : m_blocks) {
        if (block.format != format)
            continue;
        HGLOBAL memory = CopyToGlobal(block.bytes);
        if (!memory || !::SetClipboardData(format, memory)) {
            if (memory)
                ::GlobalFree(memory);
            LogError(L"CDelayedClipboardOwner: cannot render a clipboard format");
            return false;
        }
        block.rendered = true;
        return true;
    }
    return false;
}

void CDelayedClipboardOwner::RenderAll()
{
    if (!::OpenClipboard(m_window))
        return;
    CAutoCloseClipboard close;
    if (::GetClipboardOwner() != m_window)
        return;
    for (const Block& block : m_blocks) {
        if (!block.rendered)
            Render(block.format);
    }
}

LRESULT CDelayedClipboardOwner::OnMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_RENDERFORMAT:
        if (Render(static_cast<UINT>(wParam))) {
            ++m_renderCount;
            if (m_handler)
                ::SetTimer(m_window, kGraceTimer, m_graceMs, nullptr);
        }
        return 0;
    case WM_RENDERALLFORMATS:
        RenderAll();
        return 0;
    case WM_DESTROYCLIPBOARD:
        if (!m_emptyingOwnOffer) {
            m_blocks.clear();
            if (m_handler)
                Report(Outcome::Replaced);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kGraceTimer)
            Report(Outcome::Read);
        else if (wParam == kBoundTimer)
            Report(m_renderCount > 0 ? Outcome::Read : Outcome::NeverRead);
        return 0;
    default:
        return 0;
    }
}

LRESULT CALLBACK CDelayedClipboardOwner::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CDelayedClipboardOwner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_RENDERFORMAT:
    case WM_RENDERALLFORMATS:
    case WM_DESTROYCLIPBOARD:
    case WM_TIMER:
        if (!self)
            return 0;
        try {
            return self->OnMessage(message, wParam, lParam);
        } catch (const std::exception& error) {
            LogError(CString(L"CDelayedClipboardOwner: exception: ") + CString(error.what()));
            return 0;
        } catch (...) {
            LogError(L"CDelayedClipboardOwner: unknown exception");
            return 0;
        }
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

#include "common/WindowSubclassRegistry.h"

#include <atomic>

namespace
{
std::atomic<WindowSubclassRegistry*> g_registry{nullptr};
}

WindowSubclassRegistry* WindowSubclassRegistry::Get()
{
    return g_registry.load();
}

WindowSubclassRegistry* WindowSubclassRegistry::GetOrCreate()
{
    WindowSubclassRegistry* registry = g_registry.load();
    if (registry)
        return registry;
    registry = new WindowSubclassRegistry;
    g_registry.exchange(registry);
    return registry;
}

void WindowSubclassRegistry::DeleteIfEmpty()
{
    WindowSubclassRegistry* registry = g_registry.load();
    if (!registry || !registry->IsEmpty())
        return;
    g_registry.exchange(nullptr);
    delete registry;
}

int WindowSubclassRegistry::Subclass(HWND window, SubclassCallback callback, void* userData)
{
    if (!window || !::IsWindow(window) || !callback || FindEntry(window))
        return 0;

    WindowSubclassRegistry* registry = GetOrCreate();
    auto entry = std::make_unique<SubclassEntry>();
    entry->window = window;
    entry->callback = callback;
    entry->userData = userData;
    SubclassEntry* stored = entry.get();
    registry->m_entries[window] = std::move(entry);

    const LONG_PTR previous =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassRegistryWndProc));
    if (!previous) {
        registry->m_entries.erase(window);
        DeleteIfEmpty();
        return 0;
    }
    stored->previousProc = reinterpret_cast<WNDPROC>(previous);
    return 1;
}

int WindowSubclassRegistry::Unsubclass(HWND window)
{
    WindowSubclassRegistry* registry = Get();
    if (!registry || !window)
        return 0;
    auto it = registry->m_entries.find(window);
    if (it == registry->m_entries.end())
        return 0;

    std::unique_ptr<SubclassEntry> entry = std::move(it->second);
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->previousProc));
    registry->m_entries.erase(it);
    DeleteIfEmpty();
    return 1;
}

bool WindowSubclassRegistry::IsSubclassed(HWND window)
{
    if (!window || !::IsWindow(window))
        return false;
    WindowSubclassRegistry* registry = Get();
    return registry && !registry->IsEmpty() && registry->m_entries.count(window) != 0;
}

const SubclassEntry* WindowSubclassRegistry::FindEntry(HWND window)
{
    WindowSubclassRegistry* registry = Get();
    if (!registry || !window)
        return nullptr;
    auto it = registry->m_entries.find(window);
    return it == registry->m_entries.end() ? nullptr : it->second.get();
}

LRESULT CALLBACK WindowSubclassRegistry::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const SubclassEntry* entry = FindEntry(window);
    if (!entry)
        return ::DefWindowProcW(window, message, wParam, lParam);

    // The callback may unsubclass the window (or others), which deletes the
    // entry: work from a copy from here on.
    const SubclassEntry call = *entry;
    entry = nullptr;

    BOOL callPrevious = TRUE;
    const LRESULT result =
        call.callback(window, message, wParam, lParam, call.userData, callPrevious, call.previousProc);

    if (message == WM_DESTROY) {
        Unsubclass(window);
        return ::CallWindowProcW(call.previousProc, window, message, wParam, lParam);
    }
    if (callPrevious)
        return ::CallWindowProcW(call.previousProc, window, message, wParam, lParam);
    return result;
}

int SubclassWindowWithCallback(HWND window, SubclassCallback callback, void* userData)
{
    return WindowSubclassRegistry::Subclass(window, callback, userData);
}

int UnsubclassWindowWithCallback(HWND window)
{
    return WindowSubclassRegistry::Unsubclass(window);
}

bool IsWindowSubclassedWithCallback(HWND window)
{
    return WindowSubclassRegistry::IsSubclassed(window);
}

const SubclassEntry* FindSubclassEntry(HWND window)
{
    return WindowSubclassRegistry::FindEntry(window);
}

LRESULT CALLBACK SubclassRegistryWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowSubclassRegistry::WndProc(window, message, wParam, lParam);
}

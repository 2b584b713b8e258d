#pragma once

// Process-wide registry that lets code which is not a window watch the messages
// of another window: the window's procedure is replaced by one common procedure
// that calls a plain callback with user data, then (unless the callback
// consumed the message) the window's previous procedure.
// User-interface thread only.

#include <windows.h>

#include <map>
#include <memory>

// Called for every message of a subclassed window. `callPrevious` is TRUE on
// entry; set it to FALSE to consume the message and return the callback's
// result. WM_DESTROY always reaches the previous procedure.
using SubclassCallback = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* userData,
                                     BOOL& callPrevious, WNDPROC previousProc);

struct SubclassEntry
{
    HWND window = nullptr;
    SubclassCallback callback = nullptr;
    void* userData = nullptr;
    WNDPROC previousProc = nullptr;
};

class WindowSubclassRegistry
{
public:
    // The registry, or null while no window is subclassed.
    static WindowSubclassRegistry* Get();

    // 1 on success; 0 when the handle is not a window, the window is already
    // registered, the callback is null, or the window procedure cannot be set.
    static int Subclass(HWND window, SubclassCallback callback, void* userData);
    // 1 when the window was registered and its previous procedure is back.
    static int Unsubclass(HWND window);
    static bool IsSubclassed(HWND window);
    static const SubclassEntry* FindEntry(HWND window);

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool IsEmpty() const { return m_entries.empty(); }
    size_t GetCount() const { return m_entries.size(); }

private:
    static WindowSubclassRegistry* GetOrCreate();
    static void DeleteIfEmpty();

    std::map<HWND, std::unique_ptr<SubclassEntry>> m_entries;
};

int SubclassWindowWithCallback(HWND window, SubclassCallback callback, void* userData);
int UnsubclassWindowWithCallback(HWND window);
bool IsWindowSubclassedWithCallback(HWND window);
const SubclassEntry* FindSubclassEntry(HWND window);
LRESULT CALLBACK SubclassRegistryWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

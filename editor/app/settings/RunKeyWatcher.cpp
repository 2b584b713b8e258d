#include "editor/app/settings/RunKeyWatcher.h"

#include <process.h>

#include <memory>

#include "common/KernelHandle.h"

namespace
{

struct ThreadParams
{
    CKernelHandle stopEvent;
    HWND page = nullptr;
    CString keyPath;
};

unsigned __stdcall WatchRunKey(void* raw)
{
    std::unique_ptr<ThreadParams> params(static_cast<ThreadParams*>(raw));
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, params->keyPath, 0, KEY_NOTIFY, &key) != ERROR_SUCCESS)
        return 2;
    unsigned code = 0;
    for (;;) {
        CKernelHandle changed(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!changed) {
            code = 1;
            break;
        }
        ::RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                  changed.Get(), TRUE);
        const HANDLE handles[2] = {params->stopEvent.Get(), changed.Get()};
        const DWORD wait = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (wait != WAIT_OBJECT_0 + 1 || !::IsWindow(params->page))
            break;
        ::PostMessageW(params->page, kRunKeyChangedMessage, 0, 0);
    }
    ::RegCloseKey(key);
    return code;
}

} // namespace

HANDLE StartRunKeyWatcher(const RunKeyWatcherParams& params)
{
    auto thread = std::make_unique<ThreadParams>();
    thread->stopEvent = DuplicateHandleInProcess(params.stopEvent);
    thread->page = params.page;
    thread->keyPath = params.keyPath;
    if (!thread->stopEvent)
        return nullptr;
    const uintptr_t handle = _beginthreadex(nullptr, 0, WatchRunKey, thread.get(), 0, nullptr);
    if (!handle)
        return nullptr;
    thread.release();
    return reinterpret_cast<HANDLE>(handle);
}

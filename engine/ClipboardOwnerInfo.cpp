#include "engine/ClipboardOwnerInfo.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "common/KernelHandle.h"
#include "common/PathFunctions.h"
#include "common/ProcessInfo.h"
#include "common/RuntimeBinding.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "engine/CCHItem.h"

namespace
{
constexpr int kMaxTitleChars = 779;

CString WithExe(LPCWSTR text, const CString& exe)
{
    return CString(text) + L" exe=[" + exe + L"]";
}

std::vector<HWND> OwnerChain(HWND source)
{
    std::vector<HWND> chain;
    for (HWND window = source; window && chain.size() < 64; window = ::GetParent(window))
        chain.push_back(window);
    if (HWND foreground = ::GetForegroundWindow())
        chain.push_back(foreground);
    return chain;
}

using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);

// GetModuleFileNameExW from kernel32, else from psapi (loaded once and kept); null when neither has it.
GetModuleFileNameExFn BindGetModuleFileNameEx()
{
    static const GetModuleFileNameExFn bound = [] {
        if (auto fn = FindFunctionInUse<GetModuleFileNameExFn>(L"kernel32.dll", "GetModuleFileNameExW"))
            return fn;
        return FindFunction<GetModuleFileNameExFn>(::LoadLibraryW(L"psapi.dll"), "GetModuleFileNameExW");
    }();
    return bound;
}

HICON AskWindowIcon(HWND window)
{
    for (WPARAM kind : {static_cast<WPARAM>(ICON_BIG), static_cast<WPARAM>(ICON_SMALL)}) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000,
                                  &result) &&
            result)
            return reinterpret_cast<HICON>(result);
    }
    if (HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON)))
        return icon;
    return reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICONSM));
}
} // namespace

CString GetWindowProcessPath(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == 0)
        return CString();
    const GetModuleFileNameExFn getModuleFileName = BindGetModuleFileNameEx();
    if (!getModuleFileName) {
        LogError(L"PFUNC_GetModuleFileNameEx is NULL");
        return GetFileNameFromPath(GetProcessImagePath(pid));
    }
    CKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) {
        LogError(CString(L"Cannot open process ERROR=") + GetSystemErrorText(::GetLastError()));
        return CString();
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = getModuleFileName(process.Get(), nullptr, path, MAX_PATH);
    CString lengthText;
    lengthText.Format(L"%lu", static_cast<unsigned long>(length));
    const CString line = WithExe(L"PFUNC_GetModuleFileNameEx is dwSize=", lengthText);
    if (length == 0)
        LogError(line);
    else
        WriteLogLine(line);
    return CString(path, static_cast<int>((std::min)(length, static_cast<DWORD>(MAX_PATH))));
}

HICON ExtractWndIconFromExePath(const CString& exePath)
{
    if (exePath.IsEmpty())
        return nullptr;
    HICON large = nullptr;
    HICON small = nullptr;
    ::ExtractIconExW(exePath, 0, &large, &small, 1);
    if (large) {
        if (small)
            ::DestroyIcon(small);
        return large;
    }
    return small;
}

void FillOwnerInfo(CCHOwnerInfo& info, HWND sourceWindow)
{
    if (!sourceWindow)
        return;
    const std::vector<HWND> chain = OwnerChain(sourceWindow);
    for (auto it = chain.rbegin(); it != chain.rend() && info.windowTitle.IsEmpty(); ++it) {
        wchar_t title[kMaxTitleChars + 1] = {};
        if (::GetWindowTextW(*it, title, kMaxTitleChars) > 0)
            info.windowTitle = title;
    }
    for (auto it = chain.rbegin(); it != chain.rend() && info.exePath.IsEmpty(); ++it)
        info.exePath = GetWindowProcessPath(*it);

    CString line;
    line.Format(L"phwndParents size=%d", static_cast<int>(chain.size()));
    WriteLogLine(WithExe(line, info.exePath));
    HICON found = nullptr;
    for (auto it = chain.rbegin(); it != chain.rend() && !found; ++it)
        found = AskWindowIcon(*it);
    if (found) {
        // The window keeps its own icon: the item holds a copy.
        info.icon = ::CopyIcon(found);
        WriteLogLine(WithExe(L"Get icon NO top icon, but get from parents", info.exePath));
    } else {
        LogError(WithExe(L"Also cannot get icon from parents", info.exePath));
        if (!info.exePath.IsEmpty()) {
            info.icon = ExtractWndIconFromExePath(info.exePath);
            if (info.icon)
                WriteLogLine(WithExe(L"Success get icon from Extract_Wnd_Icon_From_ExePath", info.exePath));
            else
                LogError(WithExe(L"Cannot get icon Extract_Wnd_Icon_From_ExePath", info.exePath));
        }
        if (!info.icon)
            LogError(WithExe(L"Cannot get icon for clipboard owner", info.exePath));
    }
    if (info.icon)
        info.iconFetched = 1;
}

HICON GetOwnerIconCopy(CCHOwnerInfo& info)
{
    if (!info.icon && !info.iconFetched) {
        info.icon = ExtractWndIconFromExePath(info.exePath);
        info.iconFetched = 1;
    }
    return info.icon ? ::CopyIcon(info.icon) : nullptr;
}

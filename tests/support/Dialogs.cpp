#include "support/Dialogs.h"

#include "support/MessagePump.h"

#include <dlgs.h>

#include <algorithm>

namespace scvtest
{

namespace
{

constexpr DWORD kNudgeIntervalMs = 200;

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<size_t>(std::max(length, 0)));
}

bool IsVisibleDialogOf(HWND window, DWORD pid)
{
    if (!IsWindowVisible(window) || ClassName(window) != L"#32770")
        return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return pid == kAnyProcess || owner == pid;
}

struct DialogSearch
{
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    if (IsVisibleDialogOf(window, search->pid))
        search->found.push_back(window);
    return TRUE;
}

template <typename Visit>
BOOL CALLBACK VisitChild(HWND child, LPARAM param)
{
    (*reinterpret_cast<Visit*>(param))(child);
    return TRUE;
}

template <typename Visit>
void ForEachChild(HWND parent, Visit visit)
{
    EnumChildWindows(parent, VisitChild<Visit>, reinterpret_cast<LPARAM>(&visit));
}

bool IsPushButton(HWND child)
{
    if (ClassName(child) != L"Button")
        return false;
    LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
    return style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON;
}

// The button to press when IDCANCEL did not help: the least committing one.
int PreferredCloseButton(const std::vector<int>& buttons)
{
    static const int order[] = {IDCANCEL, IDNO, IDABORT, IDCLOSE, IDIGNORE, IDOK, IDCONTINUE, IDYES};
    for (int id : order) {
        if (std::find(buttons.begin(), buttons.end(), id) != buttons.end())
            return id;
    }
    return buttons.empty() ? IDCANCEL : buttons.front();
}

} // namespace

std::vector<HWND> FindDialogs(DWORD pid)
{
    DialogSearch search{pid, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogByCaption(const std::wstring& caption, DWORD pid, bool partial)
{
    for (HWND dialog : FindDialogs(pid)) {
        std::wstring text = WindowCaption(dialog);
        if (partial ? text.find(caption) != std::wstring::npos : text == caption)
            return dialog;
    }
    return nullptr;
}

HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs, DWORD pid, bool partial)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindDialogByCaption(caption, pid, partial)) != nullptr; }, timeoutMs);
    return found;
}

std::wstring WindowCaption(HWND window)
{
    std::wstring buffer(8192, L'\0');
    int length = InternalGetWindowText(window, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<size_t>(std::max(length, 0)));
    return buffer;
}

std::wstring ReadDialogText(HWND dialog)
{
    std::wstring text = WindowCaption(dialog);
    ForEachChild(dialog, [&](HWND child) {
        if (ClassName(child) != L"Static")
            return;
        std::wstring line = WindowCaption(child);
        if (!line.empty())
            text += L"\n" + line;
    });
    return text;
}

std::vector<int> DialogButtons(HWND dialog)
{
    std::vector<int> ids;
    ForEachChild(dialog, [&](HWND child) {
        if (GetParent(child) == dialog && IsPushButton(child) && IsWindowEnabled(child))
            ids.push_back(GetDlgCtrlID(child));
    });
    return ids;
}

namespace
{

constexpr int kFileDialogNameFields[] = {cmb13, edt1};

} // namespace

std::wstring FileDialogName(HWND dialog)
{
    wchar_t name[MAX_PATH] = {};
    for (int id : kFileDialogNameFields) {
        HWND field = GetDlgItem(dialog, id);
        if (field && GetWindowTextW(field, name, MAX_PATH) > 0)
            return name;
    }
    return std::wstring();
}

void SetFileDialogName(HWND dialog, const std::wstring& name)
{
    for (int id : kFileDialogNameFields) {
        if (HWND field = GetDlgItem(dialog, id))
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

bool PressDialogButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) !=
           FALSE;
}

void NudgeDialogClosed(HWND dialog, int attempt)
{
    switch (attempt) {
    case 0:
        PressDialogButton(dialog, IDCANCEL);
        break;
    case 1:
        PressDialogButton(dialog, PreferredCloseButton(DialogButtons(dialog)));
        break;
    case 2:
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    default:
        EndDialog(dialog, IDCANCEL);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    }
}

bool IsDialogGone(HWND dialog)
{
    return !IsWindow(dialog) || !IsWindowVisible(dialog);
}

bool CloseDialog(HWND dialog, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (int attempt = 0;; ++attempt) {
        if (IsDialogGone(dialog))
            return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        NudgeDialogClosed(dialog, attempt);
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kNudgeIntervalMs));
        PumpUntil([dialog] { return IsDialogGone(dialog); }, slice);
    }
}

} // namespace scvtest

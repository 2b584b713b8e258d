// CAppObjects::CloseOwnDialogs: closing the dialogs the tray window has open
// before the program ends or reloads.

#include "app/AppObjects.h"

#include "common/SharedLog.h"
#include "online/UpdateCheckWindow.h"

#include <vector>

namespace
{
struct OwnWindowSearch
{
    HWND owner = nullptr;
    DWORD ownerThread = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnWindowSearch*>(parameter);
    if (::GetWindowThreadProcessId(window, nullptr) == search->ownerThread &&
        ::GetParent(window) == search->owner)
        search->windows.push_back(window);
    return TRUE;
}

CString ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

CString TitleOf(HWND window)
{
    wchar_t title[512] = {};
    ::GetWindowTextW(window, title, 512);
    return title;
}

// A dialog that ended is hidden at once and destroyed when its loop returns.
bool IsClosed(HWND window)
{
    return !::IsWindow(window) || !::IsWindowVisible(window);
}

void CloseDialogStepwise(HWND dialog)
{
    struct Step
    {
        LPCWSTR logText;
        void (*run)(HWND);
    };
    static const Step steps[] = {
        {L"\tClose by WM_CLOSE", [](HWND w) { ::SendMessageW(w, WM_CLOSE, 0, 0); }},
        {L"\tClose by WM_SYSCOMMAND + SC_CLOSE",
         [](HWND w) { ::SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {L"\tClose by WM_COMMAND + IDCANCEL", [](HWND w) { ::SendMessageW(w, WM_COMMAND, IDCANCEL, 0); }},
        {L"\tClose by EndDialog + IDCANCEL", [](HWND w) { ::EndDialog(w, IDCANCEL); }},
        {L"\tClose by EndDialog + IDOK", [](HWND w) { ::EndDialog(w, IDOK); }},
    };
    for (const Step& step : steps) {
        step.run(dialog);
        if (IsClosed(dialog)) {
            WriteLogLine(step.logText);
            return;
        }
    }
    ::CloseWindow(dialog);
    ::DestroyWindow(dialog);
}
} // namespace

int CAppObjects::CloseOwnDialogs()
{
    // The update window has no owner: it is closed by its handle.
    if (HWND update = CUpdateCheckWindow::GetOpenUpdateCheckWindow())
        CloseDialogStepwise(update);
    OwnWindowSearch search;
    search.owner = GetMainWnd();
    if (!search.owner)
        return 0;
    search.ownerThread = ::GetWindowThreadProcessId(search.owner, nullptr);
    ::EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&search));

    int dialogs = 0;
    for (HWND window : search.windows) {
        const CString className = ClassNameOf(window);
        WriteLogLine(L"CloseDlgProc Class name: [" + className + L"]");
        if (className != L"#32770")
            continue;
        ++dialogs;
        WriteLogLine(L"Dialog detected: [" + TitleOf(window) + L"]");
        CloseDialogStepwise(window);
    }
    CString line;
    line.Format(L"EnumWindows: DlgCount%d", dialogs);
    WriteLogLine(line);
    return dialogs;
}

#include "editor/app/text/EditorCommandRunner.h"
#include "editor/app/frame/EditorWindowServices.h"

#include "editor/app/text/EditorMacros.h"
#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"

#include <memory>
#include <process.h>

namespace
{

struct RunCommandRequest
{
    HWND window;
    CString command;
    int mode;
    CString selectedText;
    CString clipboardText;
};

unsigned __stdcall RunCommandThread(void* parameter)
{
    std::unique_ptr<RunCommandRequest> request(static_cast<RunCommandRequest*>(parameter));
    const bool started = RunCommand(request->window, request->command, request->mode, request->selectedText,
                                    request->clipboardText, nullptr);
    return started ? 0 : 1;
}

} // namespace

bool RunCommand(HWND window, const CString& command, int mode, const CString& selectedText,
                const CString& clipboardText, CString* out, const CommandReportBox& box)
{
    const DWORD lastError = GetLastError();
    CString selection = selectedText;
    selection.Replace(L"\r\n", L" ");
    CString expanded = command;
    ExpandEditorPhraseMacros(expanded, selection, clipboardText, nullptr, nullptr,
                             GetKeyboardLocaleOf(window));
    if (out != nullptr) {
        *out = expanded;
        SetLastError(lastError);
        return true;
    }
    CommandRunOptions options;
    options.mode = mode;
    options.caption = kEditorBoxCaption;
    options.sourceSeparator = L"\n";
    options.timeoutMs = kEditorBoxTimeoutMs;
    options.box = box;
    const bool started = RunCommandWithReport(expanded, command, window, options);
    SetLastError(lastError);
    return started;
}

bool RunCommandAsync(HWND window, const CString& command, int mode, const CString& selectedText,
                     const CString& clipboardText)
{
    auto request = std::make_unique<RunCommandRequest>(
        RunCommandRequest{window, command, mode, selectedText, clipboardText});
    const uintptr_t thread = _beginthreadex(nullptr, 0, RunCommandThread, request.get(), 0, nullptr);
    if (thread == 0) {
        return false;
    }
    request.release(); // the thread owns it now
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

bool RunPhraseCommand(HWND window, const CString& command, const CString& selectedText)
{
    return RunCommandAsync(window, command, 2, selectedText, GetMacroEnvironment().ReadClipboardText());
}

CString ExpandCommand(HWND window, const CString& command, const CString& selectedText)
{
    CString expanded;
    RunCommand(window, command, 0, selectedText, kClipboardPlaceholder, &expanded);
    return expanded;
}

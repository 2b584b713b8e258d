#include "app/ProgramLauncher.h"

#include "app/AppObjects.h"
#include "common/KernelHandle.h"
#include "app/entry/CommandLineArgs.h"
#include "app/LastErrorInfo.h"
#include "app/entry/NamedEvents.h"
#include "online/WaitCursorGuard.h"
#include "common/AutoStartValue.h"
#include "common/KernelHandle.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/ShellCommands.h"
#include "common/TextDecoration.h"
#include "common/WellKnownNames.h"
#include "online/ProgramStarts.h"
#include "online/SharedSettingsArea.h"

#include <shellapi.h>

#include <memory>
#include <vector>

namespace
{
constexpr UINT kCommandExit = 57665;
constexpr DWORD kAutoStartDelayMs = 1000;
constexpr wchar_t kAutoStartValueName[] = L"Scrivolanter";
constexpr wchar_t kCaption[] = L"Scrivolanter";

enum EditorNotify : WPARAM
{
    EditorNotStarted = 0,
    EditorStarted = 1,
    EditorEnded = 2,
};

struct EditorStartRequest
{
    CString editorPath;
    HWND notifyWindow = nullptr;
    UINT notifyMessage = 0;
    CKernelHandle stopEvent;
    bool addFromClipboard = false;
    bool firstRun = false;
    CString selectedText;
};

CString SystemMessageOfLastError()
{
    LastErrorInfo info;
    info.FormatSystemMessage();
    return info.text;
}

// The full command line of a child: the quoted program path, then the
// parameters (which begin with a blank when there are any).
CString CommandLineFor(const CString& program, const CString& parameters)
{
    CString line = L"\"" + program + L"\"";
    if (!parameters.IsEmpty() && parameters[0] != L' ')
        line += L" ";
    return line + parameters;
}

// CreateProcessW with a writable copy of the command line; the process
// handle when `keepProcess`, else both handles closed.
bool CreateChildProcess(const CString& program, const CString& commandLine, LPCWSTR folder,
                        CKernelHandle* process)
{
    std::vector<wchar_t> buffer(commandLine.GetString(),
                                commandLine.GetString() + commandLine.GetLength() + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                          &info))
        return false;
    ::CloseHandle(info.hThread);
    if (process)
        process->Reset(info.hProcess);
    else
        ::CloseHandle(info.hProcess);
    return true;
}

bool ShellExecuteEditor(const EditorStartRequest& request, LPCWSTR verb, const CString& parameters,
                        CKernelHandle& process)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = request.editorPath;
    info.lpParameters = parameters.IsEmpty() ? nullptr : parameters.GetString();
    info.nShow = SW_SHOWMAXIMIZED;
    if (!::ShellExecuteExW(&info))
        return false;
    process.Reset(info.hProcess);
    return true;
}

// The three ways of starting the editor, in their order; true when one worked.
bool LaunchEditor(const EditorStartRequest& request, const CString& parameters, CKernelHandle& process)
{
    if (!CheckAdminGroupMembership()) {
        WriteLogLine(L"Start the RedodeZovuva at ShellExellExecute + query admin rights");
        if (ShellExecuteEditor(request, L"runas", parameters, process)) {
            WriteLogLine(L"Succcessfully start RedodeZovuva as admin");
            return true;
        }
        WriteLogLine(L"Cannot start RedodeZovuva as admin by ShellExecute " + SystemMessageOfLastError());
    }

    WriteLogLine(L"Start the RedodeZovuva at CreateProcess");
    if (CreateChildProcess(request.editorPath, CommandLineFor(request.editorPath, parameters), nullptr,
                           &process)) {
        WriteLogLine(L"Succcessfully start RedodeZovuva as CreateProcess");
        return true;
    }
    WriteLogLine(L"Cannot start RedodeZovuva as CreateProcess " + SystemMessageOfLastError());

    WriteLogLine(L"Start the RedodeZovuva at ShellExellExecute + NO query admin rights");
    if (ShellExecuteEditor(request, L"open", parameters, process)) {
        WriteLogLine(L"Succcessfully start RedodeZovuva  as NOT admin by ShellExecute");
        return true;
    }
    WriteLogLine(L"Cannot start RedodeZovuva as NOT admin by ShellExecute " + SystemMessageOfLastError());
    return false;
}

void Notify(const EditorStartRequest& request, WPARAM state)
{
    if (request.notifyWindow)
        ::SendMessageW(request.notifyWindow, request.notifyMessage, state, 0);
}

DWORD WINAPI EditorStartThreadProc(void* parameter)
{
    std::unique_ptr<EditorStartRequest> request(static_cast<EditorStartRequest*>(parameter));
    const CString parameters =
        BuildEditorParameters(request->addFromClipboard, request->firstRun, request->selectedText);
    const CSettings& settings = GetSettings();
    WriteSharedSettingsArea(settings.HotkeyVirtualKey, settings.HotkeyModifiers, settings.Hotkey_Doubled != 0,
                            request->selectedText);

    LastErrorInfo lastError;
    lastError.Reset();
    CKernelHandle process;
    if (!LaunchEditor(*request, parameters, process)) {
        Notify(*request, EditorNotStarted);
        lastError.Restore();
        return 0;
    }
    Notify(*request, EditorStarted);
    if (process) {
        const HANDLE handles[2] = {request->stopEvent.Get(), process.Get()};
        const DWORD result = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0 + 1)
            Notify(*request, EditorEnded);
    }
    lastError.Restore();
    return 0;
}

DWORD WINAPI AutoStartThreadProc(void*)
{
    CKernelHandle instance(::OpenEventW(SYNCHRONIZE, FALSE, GetFirstInstanceEventName()));
    if (!instance || IsRemovableOrNetworkDrive(GetModuleFilePath()))
        return 0;
    if (::WaitForSingleObject(instance.Get(), kAutoStartDelayMs) == WAIT_TIMEOUT)
        SetAutoStart(true);
    return 0;
}

bool StartDetachedThread(LPTHREAD_START_ROUTINE routine, void* parameter)
{
    CKernelHandle thread(::CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    return static_cast<bool>(thread);
}

bool HasUrlPrefix(const CString& text)
{
    static const wchar_t* const prefixes[] = {L"http://", L"https://", L"ftp://",
                                              L"mailto:", L"file:///", L"file://"};
    for (const wchar_t* prefix : prefixes) {
        const int length = static_cast<int>(wcslen(prefix));
        if (text.GetLength() >= length && text.Left(length).CompareNoCase(prefix) == 0)
            return true;
    }
    return false;
}

bool RunAsAdminFor(HWND owner, const CString& programPath);
} // namespace

CString BuildEditorParameters(bool addFromClipboard, bool firstRun, const CString& selectedText)
{
    CString parameters;
    if (addFromClipboard)
        parameters += L" /addfromcb";
    if (firstRun)
        parameters += L" /firstrun";
    if (!selectedText.IsEmpty())
        parameters += L" /addseltext";
    return parameters;
}

CString BuildWaiterCommandLine(DWORD processId, const CString& logPath, bool exitFlag)
{
    CString line;
    if (!logPath.IsEmpty())
        line += L" /logfile\"" + logPath + L"\"";
    CString pid;
    pid.Format(L" /pid%u", static_cast<unsigned>(processId));
    line += pid;
    if (exitFlag)
        line += L" /exit";
    return line;
}

bool StartEditorThread(HANDLE stopEvent, HWND notifyWindow, UINT notifyMessage, bool addFromClipboard,
                       bool firstRun, const CString& selectedText)
{
    return StartEditorThreadFor(GetEditorExePath(), stopEvent, notifyWindow, notifyMessage, addFromClipboard,
                                firstRun, selectedText);
}

bool StartEditorThreadFor(const CString& editorPath, HANDLE stopEvent, HWND notifyWindow, UINT notifyMessage,
                          bool addFromClipboard, bool firstRun, const CString& selectedText)
{
    auto request = std::make_unique<EditorStartRequest>();
    request->editorPath = editorPath;
    request->notifyWindow = notifyWindow;
    request->notifyMessage = notifyMessage;
    request->stopEvent = DuplicateHandleInProcess(stopEvent);
    request->addFromClipboard = addFromClipboard;
    request->firstRun = firstRun;
    request->selectedText = selectedText;
    if (!request->stopEvent)
        return false;
    if (!StartDetachedThread(EditorStartThreadProc, request.get()))
        return false;
    request.release(); // the thread owns it
    return true;
}

bool OpenEditor(bool showErrors, bool addFromClipboard, bool firstRun, const CString& selectedText)
{
    CWaitCursorGuard cursor(nullptr, IDC_APPSTARTING);
    const CString path = GetEditorExePath();
    const HWND owner = CAppObjects::GetMainWnd();
    if (!FileExists(path)) {
        const CString text = L"Cannot find file\n" + path;
        WriteLogLine(text);
        if (showErrors)
            ::MessageBoxW(owner, text, kCaption, MB_ICONWARNING);
        return false;
    }
    const CString parameters = BuildEditorParameters(addFromClipboard, firstRun, selectedText);
    LastErrorInfo lastError;
    lastError.Reset();
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, L"open", path, parameters, nullptr, SW_SHOWMAXIMIZED));
    if (result > 32) {
        lastError.Restore();
        return true;
    }
    const CString text =
        L"Cannot start the file\n" + path + L"Params: " + parameters + L" " + SystemMessageOfLastError();
    WriteLogLine(text);
    if (showErrors)
        ::MessageBoxW(owner, text, kCaption, MB_ICONWARNING);
    lastError.Restore();
    return false;
}

bool StartWaiter()
{
    const CString logPath = GetSettings().WriteLog ? GetLogReportPath() : CString();
    return StartWaiterAt(GetWaiterExePath(), BuildWaiterCommandLine(::GetCurrentProcessId(), logPath, false));
}

bool StartWaiterAt(const CString& waiterPath, const CString& commandLine)
{
    if (!FileExists(waiterPath))
        LogError(L"ScvWaiter Not Found: [" + waiterPath + L"]");
    const CString fileName = GetFileNameFromPath(waiterPath);
    const CString folder = GetFolderFromPath(waiterPath, true);

    const bool created =
        CreateChildProcess(waiterPath, CommandLineFor(waiterPath, commandLine), folder, nullptr);
    CString line;
    line.Format(L"Start by CreateProcess: [%s] Result= %d CmdLine: [%s]", fileName.GetString(),
                created ? 1 : 0, commandLine.GetString());
    if (created) {
        WriteLogLine(line);
        return true;
    }
    LogError(line);

    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(CAppObjects::GetMainWnd(), L"open", waiterPath, commandLine, nullptr, SW_HIDE));
    line.Format(L"Start by ShellExecute: [%s] Result= %d CmdLine: [%s]", fileName.GetString(),
                static_cast<int>(result), commandLine.GetString());
    if (result > 32) {
        WriteLogLine(line);
        return true;
    }
    LogError(line);
    return false;
}

bool SetAutoStart(bool on)
{
    const CString command = GetModuleFilePath() + L" /autoload";
    return SetAutoStartValue(on, kAutoStartValueName, command);
}

bool IsAutoStartEnabled()
{
    return IsAutoStartThisProgram(kAutoStartValueName);
}

bool StartAutoStartThread(HWND, UINT)
{
    return StartDetachedThread(AutoStartThreadProc, nullptr);
}

CString NormalizeUrlText(const CString& text)
{
    const bool hasPrefix = HasUrlPrefix(text);
    CString url = text;
    url.Replace(L"\r\n", L" ");
    url.Replace(L"\r", L" ");
    url.Replace(L"\n", L" ");
    url.Replace(L"\t", L" ");
    url.Replace(L"   ", L" ");
    url.Replace(L"  ", L" ");
    return hasPrefix ? url : L"http://" + url;
}

bool OpenUrl(HWND owner, const CString& text, bool throughRunner)
{
    const CString url = NormalizeUrlText(text);
    if (throughRunner) {
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteWithError(owner, L"open", url, nullptr, nullptr, SW_SHOW, 0, nullptr));
        return result > 32;
    }
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", url, nullptr, nullptr, SW_SHOW));
    return result > 32;
}

// --- CAppObjects::RunAsAdmin ---------------------------------------------------

namespace
{
bool RunAsAdminFor(HWND owner, const CString& programPath)
{
    if (!CreateHandOverEvent()) {
        ::MessageBoxW(owner, L"Cannot create event for admin instance", kCaption, MB_ICONERROR | MB_TOPMOST);
        return false;
    }
    LastErrorInfo lastError;
    lastError.Reset();
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        owner, L"runas", programPath, GetAsAdminSwitchText(), GetFolderFromPath(programPath, true), SW_SHOW));
    if (result > 32) {
        const HWND main = CAppObjects::GetMainWnd();
        if (main) {
            ::SendMessageW(main, WM_COMMAND, kCommandExit, 0);
            ::SendMessageW(main, WM_CLOSE, 0, 0);
            ::DestroyWindow(main);
        }
        lastError.Restore();
        return true;
    }

    const DWORD error = ::GetLastError();
    SignalHandOverEvent();
    CString text;
    text.Format(L"Cannot start second instance of Scrivolanter\n%s\nError Code: [%u]\nWhat is it: [%s]",
                MakeDashes(30).GetString(), static_cast<unsigned>(error),
                GetErrorMessageText(error).GetString());
    CAppObjects::PlayStartSound();
    ::MessageBoxW(owner, text, kCaption, MB_ICONWARNING | MB_TOPMOST);
    CString logText = text;
    logText.Replace(L"\n", L" ");
    LogError(L"CAppObjects::RunAsAdmin, 2453 " + logText);
    lastError.Restore();
    return false;
}
} // namespace

bool CAppObjects::RunAsAdmin(HWND owner)
{
    return RunAsAdminFor(owner, GetModuleFilePath());
}

bool RunAsAdminWithProgram(HWND owner, const CString& programPath)
{
    return RunAsAdminFor(owner, programPath);
}

#include "online/CommandRunners.h"
#include "common/LastErrorKeeper.h"
#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"

#include <shellapi.h>

#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "common/TimedMessageBox.h"
#include "common/SettingsFiles.h"

namespace
{
bool PathExists(const CString& path)
{
    return !path.IsEmpty() && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The file without blanks around it; the parameters as they stand after it (with their blank).
CStringPair Trimmed(CString file, const CString& parameters)
{
    file.Trim();
    return CStringPair(file, parameters);
}

void ShowReport(const CommandReportBox& box, HWND owner, const CString& text, const CString& caption,
                UINT type, DWORD timeoutMs)
{
    if (box) {
        box(owner, text, caption, type);
        return;
    }
    if (timeoutMs > 0) {
        MessageBoxTimeout(owner, caption, text, type, timeoutMs);
        return;
    }
    ::MessageBoxW(owner, text, caption, type);
}
} // namespace

bool IsUrlWithKnownScheme(const CString& text)
{
    if (text.GetLength() <= 3)
        return false;
    static const wchar_t* const kSchemes[] = {L"https://", L"http://",     L"mailto:", L"file://",
                                              L"ftp://",   L"telnet://",   L"news://", L"gopher://",
                                              L"nntp://",  L"prospero://", L"wais://", L"ovl:"};
    for (const wchar_t* scheme : kSchemes) {
        const int length = static_cast<int>(wcslen(scheme));
        if (text.GetLength() > length && text.Left(length).CompareNoCase(scheme) == 0)
            return true;
    }
    return false;
}

CStringPair SplitCommandFileAndParameters(const CString& command)
{
    CString whole = command;
    whole.Trim();
    if (PathExists(whole) || IsUrlWithKnownScheme(whole))
        return CStringPair(whole, CString());
    if (whole.GetLength() > 1 && whole[0] == L'"') {
        const int close = whole.Find(L'"', 1);
        if (close > 0)
            return Trimmed(whole.Mid(1, close - 1), whole.Mid(close + 1));
    }
    // A leading part counts only when a blank follows it and it is a file: a
    // folder on the way ("C:\") would open the folder instead of failing.
    for (int length = whole.GetLength() - 1; length > 0; --length) {
        if (whole[length] != L' ' && whole[length] != L'\t')
            continue;
        const CString head = whole.Left(length);
        if (FileExists(head))
            return Trimmed(head, whole.Mid(length));
    }
    return CStringPair(whole, CString());
}

CString BuildProcessedCommandText(const CStringPair& split)
{
    CString text = L"\n\nProcessed Command:\n";
    for (int i = 0; i < 30; ++i)
        text += L'\u2014';
    text += L"\nPath: [" + split.first + L"]\nCommand Line: [" + split.second + L"]";
    return text;
}

bool ExecuteCommandWithReport(int mode, const CString& command, const CString& sourceCommand, HWND owner,
                              const std::function<void()>& onStarted)
{
    CommandRunOptions options;
    options.mode = mode;
    options.onStarted = onStarted;
    return RunCommandWithReport(command, sourceCommand, owner, options);
}

CString BuildCommandReport(const CString& errorText, const CString& command, const CString& sourceCommand,
                           const CStringPair& split, const wchar_t* sourceSeparator)
{
    return errorText + L"\n\nCommand: " + command + sourceSeparator + L"Source Command: " + sourceCommand +
           BuildProcessedCommandText(split);
}

bool RunCommandWithReport(const CString& command, const CString& sourceCommand, HWND owner,
                          const CommandRunOptions& options, CStringPair* splitOut)
{
    CLastErrorKeeper keeper;
    const CStringPair split = SplitCommandFileAndParameters(command);
    if (splitOut != nullptr)
        *splitOut = split;

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = split.first;
    info.lpParameters = split.second.IsEmpty() ? nullptr : split.second.GetString();
    info.nShow = SW_SHOW;
    ::SetLastError(0);
    const bool started = ::ShellExecuteExW(&info) != FALSE;
    const DWORD error = started ? 0 : ::GetLastError();

    CString line;
    line.Format(L"RunCommandWithReport: started=%d, file=[%s], parameters=[%s]", started ? 1 : 0,
                split.first.GetString(), split.second.GetString());
    WriteLogLine(line);
    if (started && options.onStarted)
        options.onStarted();

    const bool report = options.mode == 2 || (options.mode == 1 && !started);
    if (!report)
        return started;

    const CString text =
        BuildCommandReport(GetSystemErrorText(error), command, sourceCommand, split, options.sourceSeparator);
    if (!started) {
        LogError(text);
        ::MessageBeep(0xFFFFFFFF);
    }
    if (options.mode == 2 && owner) {
        FLASHWINFO flash{sizeof(FLASHWINFO), owner, FLASHW_ALL, 4, 0};
        ::FlashWindowEx(&flash);
    }
    ShowReport(options.box, owner, text, options.caption, started ? MB_ICONINFORMATION : MB_ICONWARNING,
               options.timeoutMs);
    return started;
}

bool OpenCommandWithShell(const CString& command, bool reportErrors, HWND owner, bool maximize,
                          const CommandReportBox& box)
{
    const CStringPair split = SplitCommandFileAndParameters(command);
    ::SetLastError(0);
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        owner, L"open", split.first, split.second.IsEmpty() ? nullptr : split.second.GetString(), nullptr,
        maximize ? SW_MAXIMIZE : SW_SHOW));
    if (result > 32)
        return true;
    const DWORD error = ::GetLastError();
    if (!reportErrors || error == 0)
        return false;
    CString text;
    text.Format(L"%s\nCommand: [%s]\nCommand Lenght: %d", GetSystemErrorText(error).GetString(),
                command.GetString(), command.GetLength());
    text += BuildProcessedCommandText(split);
    LogError(text);
    ShowReport(box, owner, text, kProductName, MB_ICONWARNING, 0);
    return false;
}

bool OpenSettingsFile(HWND owner, const CommandReportBox& box, const ShellFileOpener& opener)
{
    CLastErrorKeeper keeper;
    ::SetLastError(0);
    const CString file = CSettingsFiles().GetSettingsFilePath();
    const INT_PTR result =
        opener ? opener(owner, file)
               : reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", file, nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return true;
    const DWORD error = ::GetLastError();
    ShowReport(box, owner, GetSystemErrorText(error != 0 ? error : static_cast<DWORD>(result)), kProductName,
               MB_ICONERROR, 0);
    return false;
}

#include "online/CommandRunners.h"

#include <shellapi.h>

#include "common/SharedLog.h"
#include "online/SystemErrorText.h"

namespace
{
constexpr wchar_t kProductName[] = L"Scrivolanter";

bool PathExists(const CString& path)
{
    return !path.IsEmpty() && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const CString& path)
{
    if (path.IsEmpty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CStringPair Trimmed(CString file, CString parameters)
{
    file.Trim();
    parameters.Trim();
    return CStringPair(file, parameters);
}

// Keeps the calling thread's last error across the report.
class CLastErrorKeeper
{
public:
    CLastErrorKeeper() : m_error(::GetLastError()) {}
    ~CLastErrorKeeper() { ::SetLastError(m_error); }
    CLastErrorKeeper(const CLastErrorKeeper&) = delete;
    CLastErrorKeeper& operator=(const CLastErrorKeeper&) = delete;

private:
    DWORD m_error;
};
} // namespace

bool IsUrlWithKnownScheme(const CString& text)
{
    if (text.GetLength() <= 3)
        return false;
    static const wchar_t* const kSchemes[] = {L"https://", L"http://",  L"mailto:",    L"file://",
                                              L"ftp://",   L"telnet://", L"news://",   L"gopher://",
                                              L"nntp://",  L"prospero://", L"wais://", L"ovl:"};
    for (const wchar_t* scheme : kSchemes) {
        const int length = static_cast<int>(wcslen(scheme));
        if (text.GetLength() >= length && text.Left(length).CompareNoCase(scheme) == 0)
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
    const int blank = whole.Find(L' ');
    if (blank > 0)
        return Trimmed(whole.Left(blank), whole.Mid(blank + 1));
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

bool ExecuteCommandWithReport(int mode, const CString& command, const CString& sourceCommand, HWND owner)
{
    CLastErrorKeeper keeper;
    const CStringPair split = SplitCommandFileAndParameters(command);

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
    line.Format(L"ExecuteCommandWithReport: started=%d, file=[%s], parameters=[%s]", started ? 1 : 0,
                split.first.GetString(), split.second.GetString());
    WriteLogLine(line);

    if (started && mode != 2)
        return true;
    if (!started && mode != 1 && mode != 2)
        return false;

    CString report = GetSystemErrorText(error);
    report += L"\n\nCommand: " + command + L"\n\nSource Command: " + sourceCommand + BuildProcessedCommandText(split);
    if (!started) {
        LogError(report);
        ::MessageBeep(0xFFFFFFFF);
    }
    if (mode == 2 && owner) {
        FLASHWINFO flash{sizeof(FLASHWINFO), owner, FLASHW_ALL, 4, 0};
        ::FlashWindowEx(&flash);
    }
    ::MessageBoxW(owner, report, kProductName, started ? MB_ICONINFORMATION : MB_ICONWARNING);
    return started;
}

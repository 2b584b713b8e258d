#include "waiter/SCV_WF_CommandLineInfo.h"

#include "common/InvariantCompare.h"
#include "common/ProcessInfo.h"

namespace
{
const wchar_t kPidSwitch[] = L"/pid";
const wchar_t kLogFileSwitch[] = L"/logfile";
const wchar_t kExitSwitch[] = L"/exit";

bool IsDecimalDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}
} // namespace

void CSCV_WF_CommandLineInfo::Parse()
{
    m_flags = m_commandLine.Find(kExitSwitch) >= 0 ? kFlagExit : 0;
    m_logFile = ParseLogFile(m_commandLine);
    m_parentPid = ParsePid(m_commandLine);
    m_parentPath.Empty();
    m_parentPathKnown = false;
}

DWORD CSCV_WF_CommandLineInfo::ParsePid(const CString& commandLine)
{
    const int at = commandLine.Find(kPidSwitch);
    if (at < 0)
        return 0;
    unsigned long long value = 0;
    for (int i = at + static_cast<int>(wcslen(kPidSwitch)); i < commandLine.GetLength(); ++i) {
        const wchar_t c = commandLine[i];
        if (!IsDecimalDigit(c))
            break;
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > MAXDWORD)
            return 0;
    }
    return static_cast<DWORD>(value);
}

CString CSCV_WF_CommandLineInfo::ParseLogFile(const CString& commandLine)
{
    const int at = FindTextCaseOpt(commandLine, kLogFileSwitch, 0);
    if (at < 0)
        return CString();
    const int after = at + static_cast<int>(wcslen(kLogFileSwitch));
    if (after >= commandLine.GetLength())
        return CString();
    if (commandLine[after] != L'"')
        return commandLine.Mid(after);
    const int closing = commandLine.Find(L'"', after + 1);
    if (closing < 0)
        return CString();
    return commandLine.Mid(after + 1, closing - after - 1);
}

const CString& CSCV_WF_CommandLineInfo::GetParentPath() const
{
    if (!m_parentPathKnown) {
        m_parentPath = GetProcessImagePath(m_parentPid);
        m_parentPathKnown = true;
    }
    return m_parentPath;
}

CString CSCV_WF_CommandLineInfo::BuildTraceLine() const
{
    CString line;
    line.Format(
        L"CSCV_WF_CommandLineInfo::Trace: Log Enabled=%sLogFile: [%s], Parent PID\t=%u, Path2Parent=[%s]",
        IsLogEnabled() ? L"1" : L"0", m_logFile.GetString(), m_parentPid, GetParentPath().GetString());
    return line;
}

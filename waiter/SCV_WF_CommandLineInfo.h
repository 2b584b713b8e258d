#pragma once

// The waiter's command line:
//   "/pid" + decimal digits      the process to watch (case counts; the digits
//                                must follow at once; none, or a number too
//                                large for 32 bits: no id)
//   "/logfile" + "\"path\""      the shared log to write (any case); without a
//                                quote right after the switch the whole rest
//                                of the line is the path
//   "/exit"                      ask a running waiter to stop (case counts)

#include <windows.h>

#include "common/CommandLineInfoBase.h"
#include "platform/CString.h"

class CSCV_WF_CommandLineInfo : public CCommandLineInfoBase
{
public:
    static const DWORD kFlagExit = 0x1;

    explicit CSCV_WF_CommandLineInfo(const wchar_t* commandLine) : CCommandLineInfoBase(commandLine) {}

    void Parse() override;

    DWORD GetFlags() const { return m_flags; }
    bool IsExitRequested() const { return (m_flags & kFlagExit) != 0; }
    const CString& GetLogFile() const { return m_logFile; }
    bool IsLogEnabled() const { return !m_logFile.IsEmpty(); }
    DWORD GetParentPid() const { return m_parentPid; }
    // The image path of the parent process, looked up on the first call.
    const CString& GetParentPath() const;

    // "CSCV_WF_CommandLineInfo::Trace: Log Enabled=1LogFile: [..], Parent PID\t=.., Path2Parent=[..]"
    CString BuildTraceLine() const;

    // The parts of the parse, on any text.
    static DWORD ParsePid(const CString& commandLine);
    static CString ParseLogFile(const CString& commandLine);

private:
    DWORD m_flags = 0;
    CString m_logFile;
    DWORD m_parentPid = 0;
    mutable CString m_parentPath;
    mutable bool m_parentPathKnown = false;
};

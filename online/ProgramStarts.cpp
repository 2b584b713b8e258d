#include "online/ProgramStarts.h"

#include "common/SecurityInfo.h"

#include "common/WellKnownNames.h"

#include <shellapi.h>

CString BuildWelcomeParameters(bool autoStart)
{
    return autoStart ? CString(L"/auto") : CString();
}

bool StartWelcomeProgram(HWND owner, bool autoStart)
{
    const CString parameters = BuildWelcomeParameters(autoStart);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, L"open", GetWelcomeExePath(),
                        parameters.IsEmpty() ? nullptr : parameters.GetString(), nullptr, SW_SHOW));
    return result > 32;
}

bool CheckAdminGroupMembership()
{
    bool member = false;
    return IsUserInAdminGroup(member) && member;
}

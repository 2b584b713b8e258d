#include "common/SettingsEnvironment.h"

#include <shlobj.h>

#include "common/LocaleInfo.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"

CString CSettingsEnvironment::GetProgramFolder() const
{
    return ::GetProgramFolder();
}

CString CSettingsEnvironment::GetProfileFolder() const
{
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROFILE, FALSE))
        return CString();
    return CString(buffer);
}

bool CSettingsEnvironment::IsProgramOnRemovableDrive() const
{
    return IsRemovableOrNetworkDrive(GetModuleFilePath());
}

bool CSettingsEnvironment::CanUserWrite(LPCWSTR path) const
{
    return CanCurrentUserWrite(path);
}

CString CSettingsEnvironment::GetDefaultInputLanguageName() const
{
    HKL layout = nullptr;
    if (!::SystemParametersInfoW(SPI_GETDEFAULTINPUTLANG, 0, &layout, 0) || !layout)
        return CString();
    LCID locale = MAKELCID(LOWORD(reinterpret_cast<ULONG_PTR>(layout)), SORT_DEFAULT);
    CString result = GetLocaleString(locale, LOCALE_SISO639LANGNAME);
    if (result.GetLength() > 2)
        result.Truncate(2);
    return result;
}

const CSettingsEnvironment& CSettingsEnvironment::System()
{
    static const CSettingsEnvironment system;
    return system;
}

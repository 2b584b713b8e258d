#include "common/AutoStartValue.h"

#include "common/PathFunctions.h"
#include "common/RegistryValue.h"

LPCWSTR GetAutoStartRunKeyPath()
{
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}

CString GetRunCommandProgramText(const CString& command)
{
    CString text = command;
    text.Trim();
    if (text.IsEmpty() || text[0] != L'"')
        return text;
    const int close = text.Find(L'"', 1);
    CString inside = close < 0 ? text.Mid(1) : text.Mid(1, close - 1);
    inside.Trim();
    return inside;
}

bool RunCommandNamesProgram(const CString& command, const CString& programPath)
{
    if (programPath.IsEmpty())
        return false;
    CString text = command;
    text.Trim();
    if (text.IsEmpty())
        return false;
    if (text[0] == L'"')
        return GetRunCommandProgramText(text).CompareNoCase(programPath) == 0;
    const int length = programPath.GetLength();
    if (text.GetLength() < length || text.Left(length).CompareNoCase(programPath) != 0)
        return false;
    // The path must end where the command's program ends: at the end or a blank.
    return text.GetLength() == length || text[length] == L' ' || text[length] == L'\t';
}

bool IsAutoStartThisProgram(LPCWSTR valueName, LPCWSTR runKeyPath)
{
    const CString programPath = GetModuleFilePath();
    if (programPath.IsEmpty())
        return false;
    CString command;
    if (!ReadRegistryString(HKEY_CURRENT_USER, runKeyPath, valueName, command))
        return false;
    return RunCommandNamesProgram(command, programPath);
}

bool SetAutoStartValue(bool set, LPCWSTR valueName, LPCWSTR text, LPCWSTR runKeyPath)
{
    if (set)
        return WriteRegistryString(HKEY_CURRENT_USER, runKeyPath, valueName, text);
    return DeleteRegistryValue(HKEY_CURRENT_USER, runKeyPath, valueName);
}

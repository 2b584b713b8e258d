#include "common/DefaultBrowser.h"

#include "common/PathFunctions.h"
#include "common/RegistryValue.h"

CString GetExistingProgramOfCommand(const CString& command)
{
    CString text = command;
    text.Remove(L'"');
    while (!text.IsEmpty() && !FileExists(text))
        text.Truncate(text.GetLength() - 1);
    text.Trim(L' ');
    return text;
}

CString GetOpenCommandExeForExtension(LPCWSTR extension, HKEY classesRoot)
{
    CString key(extension);
    if (key.IsEmpty())
        return CString();
    if (key[0] != L'.')
        key.Insert(0, L'.');
    CString fileType;
    if (!ReadRegistryString(classesRoot, key, nullptr, fileType) || fileType.IsEmpty())
        return CString();
    CString command;
    if (!ReadRegistryString(classesRoot, fileType + L"\\shell\\open\\command", nullptr, command))
        return CString();
    return GetExistingProgramOfCommand(command);
}

CString GetBrowserFromHttpCommand(HKEY classesRoot)
{
    CString command;
    if (!ReadRegistryString(classesRoot, L"http\\shell\\open\\command", nullptr, command) ||
        command.IsEmpty())
        return CString();
    command.TrimLeft(L'"');
    const int quote = command.Find(L'"');
    if (quote >= 0)
        command.Truncate(quote);
    return command;
}

CString GetDefaultBrowserPath(HKEY classesRoot)
{
    const CString browser = GetBrowserFromHttpCommand(classesRoot);
    if (!browser.IsEmpty() && FileExists(browser))
        return browser;
    return GetOpenCommandExeForExtension(L".htm", classesRoot);
}

#include "common/SystemInfo.h"

#include "common/RuntimeBinding.h"
#include "common/SharedLog.h"
#include "common/SystemErrorText.h"

#include <vector>

namespace
{
constexpr int kDesktopNameLength = 1023;

struct DesktopName
{
    bool read = false;
    wchar_t name[kDesktopNameLength + 1] = {};
    DWORD needed = 0;
    DWORD error = 0;
};

void ReadDesktopName(HDESK desktop, DesktopName& result)
{
    result.read = ::GetUserObjectInformationW(desktop, UOI_NAME, result.name,
                                              kDesktopNameLength * sizeof(wchar_t), &result.needed) != FALSE;
    result.error = result.read ? 0 : ::GetLastError();
    result.name[kDesktopNameLength] = L'\0';
}

void LogFailedRead(const wchar_t* which, const DesktopName& desktop)
{
    CString line;
    line.Format(L"b1=%d, %s=%s, dwLenNeed=%d, LastError= %d, %s", 0, which, desktop.name,
                static_cast<int>(desktop.needed), static_cast<int>(desktop.error),
                GetSystemErrorTextUnchecked(desktop.error).GetString());
    WriteLogLine(line);
}
} // namespace

CString GetComputerDnsDomain()
{
    using GetComputerNameExWFn = BOOL(WINAPI*)(COMPUTER_NAME_FORMAT, LPWSTR, LPDWORD);
    auto getComputerNameEx = FindFunctionInUse<GetComputerNameExWFn>(L"kernel32.dll", "GetComputerNameExW");
    if (!getComputerNameEx)
        return CString();
    // A DNS name has at most 255 characters; ask for the size when it is longer.
    std::vector<wchar_t> buffer(256, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    if (!getComputerNameEx(ComputerNameDnsDomain, buffer.data(), &size)) {
        if (::GetLastError() != ERROR_MORE_DATA || size == 0)
            return CString();
        buffer.assign(size + 1, L'\0');
        size = static_cast<DWORD>(buffer.size() - 1);
        if (!getComputerNameEx(ComputerNameDnsDomain, buffer.data(), &size))
            return CString();
    }
    buffer.back() = L'\0';
    return buffer.data();
}

bool DesktopCheck(HDESK threadDesktop, HDESK inputDesktop)
{
    if (threadDesktop == inputDesktop)
        return true;
    DesktopName first;
    DesktopName second;
    ReadDesktopName(threadDesktop, first);
    ReadDesktopName(inputDesktop, second);
    if (first.read && second.read)
        return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, first.name, -1, second.name, -1) ==
               CSTR_EQUAL;

    if (!first.read)
        LogFailedRead(L"szName1", first);
    if (!second.read)
        LogFailedRead(L"szName2", second);
    CString line;
    line.Format(L"hDesk1=[%s,%d] hDesk2=[%s,%d]", first.name, first.read ? 1 : 0, second.name,
                second.read ? 1 : 0);
    WriteLogLine(line);
    return false;
}

CString GetBuildStamp()
{
    return CString(__DATE__ " " __TIME__);
}

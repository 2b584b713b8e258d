#include "common/FileVersionInfo.h"

#include <iterator>
#include <vector>

namespace
{
struct StringField
{
    int field;
    const wchar_t* key;
};

constexpr StringField kStringFields[] = {
    {CFileVersionInfo::FieldCompanyName, L"CompanyName"},
    {CFileVersionInfo::FieldLegalCopyright, L"LegalCopyright"},
    {CFileVersionInfo::FieldFileDescription, L"FileDescription"},
    {CFileVersionInfo::FieldFileVersion, L"FileVersion"},
    {CFileVersionInfo::FieldInternalName, L"InternalName"},
    {CFileVersionInfo::FieldOriginalFilename, L"OriginalFilename"},
    {CFileVersionInfo::FieldProductName, L"ProductName"},
    {CFileVersionInfo::FieldProductVersion, L"ProductVersion"},
    {CFileVersionInfo::FieldSpecialBuild, L"SpecialBuild"},
};

CString QueryString(const std::vector<BYTE>& block, WORD language, WORD codePage, const wchar_t* key)
{
    CString subBlock;
    subBlock.Format(L"\\StringFileInfo\\%04x%04x\\%s", language, codePage, key);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), subBlock, &value, &length) || !value || length == 0)
        return CString();
    // The length counts characters and may include the terminator.
    const wchar_t* text = static_cast<const wchar_t*>(value);
    int count = 0;
    while (count < static_cast<int>(length) && text[count])
        ++count;
    return CString(text, count);
}

CString Decimal(int n)
{
    CString text;
    text.Format(L"%d", n);
    return text;
}
} // namespace

CFileVersionInfo::CFileVersionInfo(const wchar_t* path) : m_path(path) {}

CFileVersionInfo CFileVersionInfo::CFileVersionInfoFromModule(HMODULE module)
{
    wchar_t path[1300] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    path[length < std::size(path) ? length : std::size(path) - 1] = L'\0';
    return CFileVersionInfo(path);
}

void CFileVersionInfo::Clear()
{
    for (CString& field : m_fields)
        field.Empty();
    m_fixed = VS_FIXEDFILEINFO{};
    m_language = 0;
    m_codePage = 0;
}

bool CFileVersionInfo::Read()
{
    Clear();
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(m_path, &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size, 0);
    if (!::GetFileVersionInfoW(m_path, 0, size, block.data()))
        return false;

    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    m_fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);

    m_fields[FieldFileVersionMajor] = Decimal(HIWORD(m_fixed.dwFileVersionMS));
    m_fields[FieldFileVersionMinor] = Decimal(LOWORD(m_fixed.dwFileVersionMS));
    m_fields[FieldFileVersionNumbers].Format(L"%d.%d.%d.%d", HIWORD(m_fixed.dwFileVersionMS),
                                             LOWORD(m_fixed.dwFileVersionMS), HIWORD(m_fixed.dwFileVersionLS),
                                             LOWORD(m_fixed.dwFileVersionLS));
    m_fields[FieldOsText] = FileOsText(m_fixed.dwFileOS);
    m_fields[FieldFileTypeText] = FileTypeText(m_fixed.dwFileType, m_fixed.dwFileSubtype);

    value = nullptr;
    length = 0;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && value &&
        length >= 2 * sizeof(WORD)) {
        const WORD* translation = static_cast<const WORD*>(value);
        m_language = translation[0];
        m_codePage = translation[1];
    }

    for (const StringField& entry : kStringFields)
        m_fields[entry.field] = QueryString(block, m_language, m_codePage, entry.key);
    return true;
}

CString CFileVersionInfo::GetField(int field) const
{
    if (field < 1 || field > FieldCount)
        return CString();
    return m_fields[field];
}

CString CFileVersionInfo::GetProductVersion() const
{
    CString version = m_fields[FieldProductVersion];
    version.Replace(L',', L'.');
    version.Remove(L' ');
    return version;
}

CString CFileVersionInfo::GetProductVersionHead() const
{
    const CString version = GetProductVersion();
    const int dot = version.ReverseFind(L'.');
    return dot < 0 ? version : version.Left(dot);
}

CString CFileVersionInfo::GetProductVersionTail() const
{
    const CString version = GetProductVersion();
    const int dot = version.ReverseFind(L'.');
    return dot < 0 ? version : version.Mid(dot + 1);
}

CString CFileVersionInfo::FileTypeText(DWORD fileType, DWORD fileSubtype)
{
    static const wchar_t* const drivers[] = {
        L"Unknown driver", L"Printer driver", L"Keyboard driver", L"Language driver",    L"Display driver",
        L"Mouse driver",   L"Network driver", L"System driver",   L"Installable driver", L"Sound driver"};
    static const wchar_t* const fonts[] = {L"Unknown font", L"Raster font", L"Vector font", L"Truetype font"};
    switch (fileType) {
    case VFT_UNKNOWN:
        return L"Unknown type";
    case VFT_APP:
        return L"Application";
    case VFT_DLL:
        return L"Dynamic link library";
    case VFT_DRV:
        return fileSubtype < std::size(drivers) ? drivers[fileSubtype] : L"";
    case VFT_FONT:
        return fileSubtype < std::size(fonts) ? fonts[fileSubtype] : L"";
    case VFT_VXD:
        return L"Virtual device";
    case VFT_STATIC_LIB:
        return L"Static link library";
    default:
        return CString();
    }
}

CString CFileVersionInfo::FileOsText(DWORD fileOs)
{
    switch (fileOs) {
    case VOS_UNKNOWN:
        return L"Unknown OS";
    case VOS_DOS:
        return L"MS-DOS";
    case VOS_DOS_WINDOWS16:
        return L"16-bit windows running on MS-DOS";
    case VOS_DOS_WINDOWS32:
        return L"Win32 API running on MS-DOS";
    case VOS_OS216:
        return L"16-bit OS/2";
    case VOS_OS216_PM16:
        return L"16-bit Presentation manager running on 16-bit OS/2";
    case VOS_OS232:
        return L"32-bit OS/2";
    case VOS_NT:
        return L"Windows NT";
    case VOS_NT_WINDOWS32:
        return L"Win32 API on Windows NT";
    default:
        return CString();
    }
}

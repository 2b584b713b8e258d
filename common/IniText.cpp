#include "common/IniText.h"

#include "common/FileBytes.h"

#include <cwchar>

namespace
{
// What the profile functions give at most (IniReadString reads into 260 characters).
constexpr size_t kMaxValueChars = 259;

std::wstring DecodeIniBytes(const std::string& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (size - 2) / sizeof(wchar_t));
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        std::wstring text;
        for (size_t i = 2; i + 1 < size; i += 2)
            text += static_cast<wchar_t>((data[i] << 8) | data[i + 1]);
        return text;
    }
    UINT codePage = CP_ACP;
    size_t skip = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        codePage = CP_UTF8;
        skip = 3;
    }
    const int length = static_cast<int>(size - skip);
    if (length <= 0)
        return std::wstring();
    const int chars = ::MultiByteToWideChar(codePage, 0, bytes.data() + skip, length, nullptr, 0);
    std::wstring text(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0)
        ::MultiByteToWideChar(codePage, 0, bytes.data() + skip, length, text.data(), chars);
    return text;
}

bool IsIniBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

std::wstring TrimmedPart(const std::wstring& text, size_t begin, size_t end)
{
    while (begin < end && IsIniBlank(text[begin]))
        ++begin;
    while (end > begin && IsIniBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool EqualNoCase(const std::wstring& a, LPCWSTR b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}
} // namespace

bool CIniText::Load(LPCWSTR path, unsigned long long maxBytes)
{
    m_entries.clear();
    std::string bytes;
    if (!path || !*path || !ReadFileBytesBounded(path, maxBytes, bytes))
        return false;
    Parse(bytes);
    return true;
}

void CIniText::Parse(const std::string& bytes)
{
    m_entries.clear();
    const std::wstring text = DecodeIniBytes(bytes);
    std::wstring section;
    bool inSection = false;
    for (size_t begin = 0; begin < text.size();) {
        size_t end = text.find_first_of(L"\r\n", begin);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = TrimmedPart(text, begin, end);
        begin = end + 1;
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            section = TrimmedPart(line, 1, close == std::wstring::npos ? line.size() : close);
            inSection = true;
            continue;
        }
        if (!inSection)
            continue;
        const size_t equals = line.find(L'=');
        Entry entry;
        entry.section = section;
        entry.key = TrimmedPart(line, 0, equals == std::wstring::npos ? line.size() : equals);
        if (equals != std::wstring::npos)
            entry.value = TrimmedPart(line, equals + 1, line.size());
        if (entry.value.size() >= 2 && (entry.value.front() == L'"' || entry.value.front() == L'\'') &&
            entry.value.back() == entry.value.front())
            entry.value = entry.value.substr(1, entry.value.size() - 2);
        m_entries.push_back(std::move(entry));
    }
}

const CIniText::Entry* CIniText::Find(LPCWSTR section, LPCWSTR key) const
{
    if (!section || !key)
        return nullptr;
    for (const Entry& entry : m_entries) {
        if (EqualNoCase(entry.key, key) && EqualNoCase(entry.section, section))
            return &entry;
    }
    return nullptr;
}

bool CIniText::ReadString(LPCWSTR section, LPCWSTR key, CString& out) const
{
    const Entry* entry = Find(section, key);
    if (!entry || entry->value.empty())
        return false;
    const size_t length = entry->value.size() < kMaxValueChars ? entry->value.size() : kMaxValueChars;
    out = CString(entry->value.c_str(), static_cast<int>(length));
    return true;
}

UINT CIniText::ReadInt(LPCWSTR section, LPCWSTR key, int defaultValue) const
{
    const Entry* entry = Find(section, key);
    if (!entry || entry->value.empty())
        return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(std::wcstol(entry->value.c_str(), nullptr, 10));
}

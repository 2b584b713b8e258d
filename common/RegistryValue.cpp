#include "common/RegistryValue.h"

#include <vector>

namespace
{

// An open registry key, closed when the object goes out of scope.
class COpenRegistryKey
{
public:
    COpenRegistryKey(HKEY root, LPCWSTR subKey, REGSAM access)
    {
        if (::RegOpenKeyExW(root, subKey, 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~COpenRegistryKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    COpenRegistryKey(const COpenRegistryKey&) = delete;
    COpenRegistryKey& operator=(const COpenRegistryKey&) = delete;

    HKEY Get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }

private:
    HKEY m_key = nullptr;
};

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

} // namespace

bool ReadRegistryString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, CString& value)
{
    COpenRegistryKey key(root, subKey, KEY_QUERY_VALUE);
    if (!key)
        return false;
    // The value may change between the size query and the read: try again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            !IsStringType(type))
            return false;
        // One more character than stored, so the text is terminated even when the
        // stored value is not.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD readSize = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        const LONG result = ::RegQueryValueExW(key.Get(), valueName, nullptr, &type,
                                               reinterpret_cast<BYTE*>(buffer.data()), &readSize);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS || !IsStringType(type))
            return false;
        const size_t characters = readSize / sizeof(wchar_t);
        buffer[characters < buffer.size() ? characters : buffer.size() - 1] = L'\0';
        value = buffer.data();
        return true;
    }
    return false;
}

bool WriteRegistryString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR text)
{
    COpenRegistryKey key(root, subKey, KEY_SET_VALUE);
    if (!key)
        return false;
    const CString value(text);
    const DWORD size = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                            size) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName)
{
    COpenRegistryKey key(root, subKey, KEY_SET_VALUE);
    if (!key)
        return false;
    return ::RegDeleteValueW(key.Get(), valueName) == ERROR_SUCCESS;
}

#include "common/LocalizedString.h"

#include <atomic>
#include <exception>
#include <mutex>

#include "common/IniFile.h"
#include "common/LanguageFile.h"
#include "common/WellKnownNames.h"

namespace
{
const wchar_t kMissingStringText[] = L"{25D447B2-EA72-4999-BE79-DB8DF18BDE0B}";
const int kStringValueChars = 20560;
const wchar_t kCommandLineSection[] = L"CommandLineKeys";

// Lookups happen on worker threads too: the active flag is atomic and the
// section name is read under its lock.
std::atomic<bool> g_stringsActive{false};
std::atomic<bool> g_writeMissing{true};

std::mutex& SectionLock()
{
    static std::mutex lock;
    return lock;
}

CString& SectionName()
{
    static CString name(L"Strings");
    return name;
}

// The whole resource text (LoadStringW with a zero length gives a pointer to
// the text in the module, so long texts are never cut).
bool LoadResourceText(HMODULE module, UINT id, CString& out)
{
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) {
        out.Empty();
        return false;
    }
    out = CString(text, length);
    return true;
}

CString IdKey(UINT id)
{
    CString key;
    key.Format(L"%d", static_cast<int>(id));
    return key;
}
} // namespace

CLocalizedString CLocalizedString::CLocalizedStringFromText(const CString& text)
{
    CLocalizedString result;
    result.m_text = text;
    return result;
}

bool CLocalizedString::Load(UINT id)
{
    return LoadLocalizedStringSafe(m_text, nullptr, id);
}

CString EscapeLanguageText(const CString& text)
{
    CString result;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        switch (text[i]) {
        case L'\t':
            result += L"\\t";
            break;
        case L'\n':
            result += L"\\n";
            break;
        case L'\r':
            result += L"\\r";
            break;
        case L'\\':
            result += L"\\\\";
            break;
        default:
            result.AppendChar(text[i]);
        }
    }
    return result;
}

CString UnescapeLanguageText(const CString& text)
{
    CString result;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = text[i];
        if (ch != L'\\' || i + 1 >= length) {
            result.AppendChar(ch);
            continue;
        }
        switch (text[i + 1]) {
        case L't':
            result.AppendChar(L'\t');
            break;
        case L'n':
            result.AppendChar(L'\n');
            break;
        case L'r':
            result.AppendChar(L'\r');
            break;
        case L'\\':
            result.AppendChar(L'\\');
            break;
        default:
            // Any other backslash stands for itself (paths in old files).
            result.AppendChar(ch);
            continue;
        }
        ++i;
    }
    return result;
}

void SetLanguageFileForStrings(LPCWSTR path, LPCWSTR suffix)
{
    SetCurrentLanguageFilePath(path);
    g_writeMissing = true;
    g_stringsActive = true;
    if (!suffix || !*suffix)
        return;
    std::lock_guard<std::mutex> guard(SectionLock());
    CString& name = SectionName();
    const int suffixLength = static_cast<int>(wcslen(suffix));
    if (name.GetLength() < suffixLength || name.Right(suffixLength) != suffix)
        name += suffix;
}

CString GetStringsSectionName()
{
    std::lock_guard<std::mutex> guard(SectionLock());
    return SectionName();
}

bool LoadLocalizedString(CString& out, HMODULE module, UINT id)
{
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    CString english;
    const bool found = LoadResourceText(module, id, english);
    out = english;
    const CString active = g_stringsActive ? GetCurrentLanguageFilePath() : CString();
    if (active.IsEmpty())
        return found;

    const CString section = GetStringsSectionName();
    const CString key = IdKey(id);
    const CString example = GetLocalizeExamplePath(active);
    if (!example.IsEmpty() && StringsDifferNoCase(example, active))
        WriteLanguageText(example, section, key, EscapeLanguageText(english));

    CString value;
    int read = IniReadStringWithDefault(active, section, key, kMissingStringText, kStringValueChars, value);
    if (read > 0 && value != kMissingStringText) {
        out = UnescapeLanguageText(value);
        return true;
    }
    if (found && g_writeMissing)
        WriteLanguageText(active, section, key, EscapeLanguageText(english));
    return found;
}

CString LoadLocalizedString(UINT id)
{
    CString text;
    LoadLocalizedStringSafe(text, nullptr, id);
    return text;
}

bool LoadLocalizedStringSafe(CString& out, HMODULE module, UINT id)
{
    try {
        return LoadLocalizedString(out, module, id);
    } catch (...) {
        return false;
    }
}

CString ReadCommandLineKeyText(LPCWSTR file, LPCWSTR switchName, LPCWSTR englishText)
{
    const CString key = CString(L"Cmd_LineKey_") + switchName;
    CString value;
    // Help texts may be long: read them with the buffer of string texts.
    if (IniReadStringWithDefault(file, kCommandLineSection, key, L"", kStringValueChars, value) > 0)
        return UnescapeLanguageText(value);
    WriteLanguageText(file, kCommandLineSection, key, EscapeLanguageText(CString(englishText)));
    return CString();
}

CString GetCommandLineKeyText(LPCWSTR switchName, LPCWSTR englishText)
{
    return GetCommandLineKeyTextWithExample(GetProgramFolderFile(L"LocalizeExample.lng"), switchName,
                                            englishText);
}

CString GetCommandLineKeyTextWithExample(LPCWSTR examplePath, LPCWSTR switchName, LPCWSTR englishText)
{
    const CString active = g_stringsActive ? GetCurrentLanguageFilePath() : CString();
    CString result;
    if (!active.IsEmpty())
        result = ReadCommandLineKeyText(active, switchName, englishText);
    if (active != examplePath)
        ReadCommandLineKeyText(examplePath, switchName, englishText);
    return result;
}

CString LoadLocalizedTextOr(UINT id, LPCWSTR english)
{
    CString text = LoadLocalizedString(id);
    return text.IsEmpty() ? CString(english) : text;
}

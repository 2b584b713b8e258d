#include "common/LanguageFile.h"

#include <algorithm>
#include <mutex>

#include "common/IniFile.h"
#include "common/InvariantCompare.h"
#include "common/MenuUtils.h"
#include "common/PathFunctions.h"
#include "common/SharedLog.h"

namespace
{
const wchar_t kMainSection[] = L"Main";
const wchar_t kExampleFileName[] = L"LocalizeExample.lng";
const wchar_t kEmbeddedName[] = L"English (Embedded)";
const wchar_t kEmbeddedAuthor[] = L"http://www.scrivolanter.com/home_scv.php";
const wchar_t kEmbeddedPrefix[] = L"En";

// The current language file path is read by worker threads that build texts.
std::mutex& CurrentPathLock()
{
    static std::mutex lock;
    return lock;
}

CString& CurrentPath()
{
    static CString path;
    return path;
}

CString ReadMainValue(LPCWSTR path, LPCWSTR key, int bufferChars)
{
    CString value;
    IniReadStringWithDefault(path, kMainSection, key, L"", bufferChars, value);
    return value;
}

CString FileNameWithoutExtension(const CString& name)
{
    CString title;
    SplitPath(name, nullptr, nullptr, &title, nullptr);
    return title;
}

// The characters a key may hold: what the keys of a keyboard type, with the
// letters in both cases, but without "=" (it would end the key in the file).
bool IsKeyboardCharacter(wchar_t ch)
{
    if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9'))
        return true;
    static const wchar_t punctuation[] = L"<>,./?;:'\"]}[{!@#$%^&*()-_+|\\";
    return wcschr(punctuation, ch) != nullptr;
}
} // namespace

void SetCurrentLanguageFilePath(LPCWSTR path)
{
    std::lock_guard<std::mutex> guard(CurrentPathLock());
    CurrentPath() = path;
}

CString GetCurrentLanguageFilePath()
{
    std::lock_guard<std::mutex> guard(CurrentPathLock());
    return CurrentPath();
}

bool CreateLanguageFileFromTemplate(LPCWSTR path)
{
    if (!path || !*path || FileExists(path))
        return false;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const BYTE mark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    ::WriteFile(file, mark, sizeof(mark), &written, nullptr);
    ::CloseHandle(file);
    IniWriteString(path, kMainSection, L"LangPrefix", L"En");
    IniWriteString(path, kMainSection, L"Author", L"Type Your name and email (optional)");
    IniWriteString(path, kMainSection, L"LangLocalized", L"English (Type localized name of language here)");
    return true;
}

bool WriteLanguageText(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR text)
{
    if (!file || !*file)
        return false;
    CreateLanguageFileFromTemplate(file);
    return IniWriteString(file, section, key, text);
}

CString GetEmbeddedLanguageName()
{
    return kEmbeddedName;
}

CString GetLangLocalizedName(LPCWSTR path)
{
    CString text(path);
    if (!text.IsEmpty() && text[text.GetLength() - 1] == L'\\')
        return kEmbeddedName;
    return ReadMainValue(path, L"LangLocalized", 100);
}

CString GetLangPrefix(LPCWSTR path)
{
    CString prefix = ReadMainValue(path, L"LangPrefix", 10);
    prefix.TrimRight(L' ');
    return prefix;
}

bool GetLangFileInfo(LPCWSTR path, LANG_FILE_INFO& info)
{
    if (!path || !*path) {
        info.LangLocalized = kEmbeddedName;
        info.Author = kEmbeddedAuthor;
        info.LangPrefix = kEmbeddedPrefix;
        return true;
    }
    if (!FileExists(path))
        return false;
    info.Author = ReadMainValue(path, L"Author", 1024);
    info.LangLocalized = ReadMainValue(path, L"LangLocalized", 1024);
    info.LangPrefix = GetLangPrefix(path);
    return true;
}

CString GetLocalizeExamplePath(LPCWSTR path)
{
    CString folder = GetFolderFromPath(path, false);
    if (folder.IsEmpty())
        return CString();
    return folder + kExampleFileName;
}

bool StringsDifferNoCase(LPCWSTR a, LPCWSTR b)
{
    return CompareTextCaseOpt(a, b, false) != 0;
}

bool EnumLanguageFiles(std::vector<CString>& list, LPCWSTR excludedName)
{
    return EnumLanguageFilesIn(GetProgramFolder(), list, excludedName);
}

bool EnumLanguageFilesIn(LPCWSTR folder, std::vector<CString>& list, LPCWSTR excludedName)
{
    list.clear();
    list.push_back(CString());
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(AddTrailingBackslash(CString(folder)) + L"*.lng", &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (excludedName && *excludedName && !StringsDifferNoCase(data.cFileName, excludedName))
            continue;
        list.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(list.begin() + 1, list.end(),
              [](const CString& a, const CString& b) { return CompareTextCaseOpt(a, b, false) < 0; });
    return true;
}

bool BuildLanguageMenu(HMENU menu, UINT firstId, const std::vector<CString>& list, LPCWSTR currentName)
{
    return BuildLanguageMenuIn(GetProgramFolder(), menu, firstId, list, currentName);
}

bool BuildLanguageMenuIn(LPCWSTR folder, HMENU menu, UINT firstId, const std::vector<CString>& list,
                         LPCWSTR currentName)
{
    if (list.empty())
        return false;
    const CString base = AddTrailingBackslash(CString(folder));
    UINT id = firstId;
    for (const CString& entry : list) {
        CString text = GetLangLocalizedName(base + entry);
        if (text.IsEmpty())
            text = FileNameWithoutExtension(entry);
        if (::AppendMenuW(menu, MF_STRING, id, text) &&
            !StringsDifferNoCase(entry, currentName ? currentName : L"")) {
            // The check mark replaces the item's whole state: set it before
            // the default state, or the default would be lost.
            SetMenuItemRadioChecked(true, id, menu);
            ::SetMenuDefaultItem(menu, id, FALSE);
        }
        ++id;
    }
    return true;
}

void FillLanguageCombo(HWND combo, LPCWSTR currentName, LPCWSTR caption, std::vector<CString>& list)
{
    FillLanguageComboIn(GetProgramFolder(), combo, currentName, caption, list);
}

void FillLanguageComboIn(LPCWSTR folder, HWND combo, LPCWSTR currentName, LPCWSTR caption,
                         std::vector<CString>& list)
{
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    if (list.empty())
        EnumLanguageFilesIn(folder, list, nullptr);
    const CString base = AddTrailingBackslash(CString(folder));
    const CString prefix = (caption && *caption) ? CString(caption) + L": " : CString();
    int selected = -1;
    for (size_t index = 0; index < list.size(); ++index) {
        CString name = GetLangLocalizedName(base + list[index]);
        if (name.IsEmpty())
            name = FileNameWithoutExtension(list[index]);
        LRESULT item = ::SendMessageW(combo, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(prefix + name)));
        if (item < 0)
            continue;
        ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(index));
        if (selected < 0 && !StringsDifferNoCase(list[index], currentName ? currentName : L""))
            selected = static_cast<int>(item);
    }
    if (selected >= 0)
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool IsRuLanguagePrefix(LPCWSTR path)
{
    CString prefix = GetLangPrefix(path);
    WriteLogLine(CString(L"Read prefix from ") + path + L" prefix=" + prefix);
    if (prefix.IsEmpty())
        return false;
    static const wchar_t* const russianPagePrefixes[] = {L"ru", L"uk", L"be", L"kz", L"lv", L"lt", L"et"};
    for (const wchar_t* candidate : russianPagePrefixes) {
        if (CompareTextCaseOpt(prefix, candidate, false) == 0)
            return true;
    }
    return false;
}

MenuItemKey MakeMenuItemKey(const CString& itemText)
{
    MenuItemKey parts;
    CString text = itemText;
    int tab = text.Find(L'\t');
    if (tab > 0) {
        parts.Accelerator = text.Mid(tab + 1);
        text = text.Left(tab);
    }
    text.Remove(L'&');
    parts.PlainText = text;
    CString key = text;
    key.Remove(L'\x2026');
    key.Replace(L' ', L'_');
    key.TrimRight(L".\x2026");
    parts.Key = key;
    return parts;
}

bool IsWritableLanguageKey(const CString& key)
{
    if (key.IsEmpty() || key[0] == L'[' || key[0] == L';')
        return false;
    for (int i = 0; i < key.GetLength(); ++i) {
        if (!IsKeyboardCharacter(key[i]))
            return false;
    }
    return true;
}

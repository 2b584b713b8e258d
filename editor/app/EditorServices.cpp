#include "editor/app/EditorServices.h"

#include "common/PathFunctions.h"
#include "common/SystemErrorText.h"
#include "engine/ClipboardAccess.h"
#include "editor/app/text/EditorCommandRunner.h"

#include <shellapi.h>

namespace
{

CString RegistryDefaultValue(const CString& key)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return CString();
    }
    return value;
}

BYTE ApplyFlagMode(BYTE value, int mode)
{
    switch (mode) {
    case 1:
        return TRUE;
    case 2:
        return FALSE;
    case 3:
        return value ? FALSE : TRUE;
    default:
        return value;
    }
}

LONG ApplyWeightMode(LONG weight, int mode)
{
    switch (mode) {
    case 1:
        return FW_BOLD;
    case 2:
        return FW_NORMAL;
    case 3:
        return weight == FW_BOLD ? FW_NORMAL : (weight == FW_NORMAL ? FW_BOLD : weight);
    default:
        return weight;
    }
}

} // namespace

CString FirstLineOf(const CString& text, bool cutAtTab)
{
    CString line = text;
    const int lineBreak = line.Find(L"\r\n");
    if (lineBreak >= 0) {
        line.Truncate(lineBreak);
    }
    const int tab = cutAtTab ? line.Find(L'\t') : -1;
    if (tab > 0) {
        line.Truncate(tab);
    }
    return line;
}

bool ReadClipboardFirstLine(CString& out, bool cutAtTab)
{
    CString text;
    if (!GetClipboardUnicodeText(text) || text.IsEmpty()) {
        return false;
    }
    out = FirstLineOf(text, cutAtTab);
    return true;
}

int ListSoundFiles(const CString& folder, std::vector<CString>& names)
{
    names.clear();
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(AddTrailingBackslash(folder) + L"*.wav", &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.emplace_back(data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return static_cast<int>(names.size());
}

CString GetRegistryClassText(const CString& name)
{
    if (name.IsEmpty()) {
        return CString();
    }
    const CString classId = RegistryDefaultValue(name);
    if (!classId.IsEmpty()) {
        const CString text = RegistryDefaultValue(L"CLSID\\" + classId);
        if (!text.IsEmpty()) {
            return text;
        }
    }
    return classId;
}

bool OpenLogFileWith(HWND owner, const CString& path, const CommandReportBox& box)
{
    const CString parameters = L"shell32.dll,OpenAs_RunDLL " + path;
    SetLastError(0);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", L"Rundll32.exe", parameters, nullptr, SW_SHOW));
    if (result > 32) {
        return true;
    }
    const DWORD error = GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(result);
    CString text;
    text.Format(L"Cannot open log file: %s\n\nError Code: %lu\n%s", path.GetString(), error,
                GetSystemErrorText(error).GetString());
    if (box) {
        box(owner, text, kEditorBoxCaption, MB_ICONWARNING);
    } else {
        MessageBoxW(owner, text, kEditorBoxCaption, MB_ICONWARNING);
    }
    return false;
}

HFONT DeriveFont(HFONT font, const FontDerivation& spec)
{
    LOGFONTW description{};
    if (font == nullptr || GetObjectW(font, sizeof(description), &description) == 0) {
        return nullptr;
    }
    description.lfWeight = ApplyWeightMode(description.lfWeight, spec.weight);
    description.lfItalic = ApplyFlagMode(description.lfItalic, spec.italic);
    description.lfStrikeOut = ApplyFlagMode(description.lfStrikeOut, spec.strikeOut);
    description.lfUnderline = ApplyFlagMode(description.lfUnderline, spec.underline);
    return CreateFontIndirectW(&description);
}

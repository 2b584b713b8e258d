#include "editor/app/text/EditorMacroMenu.h"

#include "common/LocalizedString.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/controls/ToolbarImages.h"
#include "engine/InputMarkers.h"

#include <shellapi.h>

#include <map>

namespace
{

constexpr COLORREF kMacroColor = RGB(255, 104, 32);

struct MacroDescription
{
    const wchar_t* name;
    UINT id;
    const wchar_t* english;
};

const MacroDescription kDescriptions[] = {
    {L"%CLIPBOARD_TEXT%", 133, L"Text from clipboard"},
    {L"%SELECTED_TEXT%", 132, L"Selected text in target application"},
    {L"%CURSOR_POS%", 142, L"The caret will be placed here after insertion of text"},
    {L"%DATETIME%", 147, L"Insert current date and time"},
    {L"%DATE%", 148, L"Insert current date only (exclude time)"},
    {L"%TIME%", 149, L"Insert current time only (exclude date)"},
    {L"%DATE_EX_WD%", 150, L"Insert current date only exclude weekday name and exclude  time"},
    {L"%DATETIME_EX_WD%", 151, L"Insert current date and time exclude weekday name"},
    {L"%WINDOWS_USERNAME%", 152, L"Name of current user in Windows session"},
    {L"%SCV_VERSION%", 153, L"Version of Scrivolanter (agent module)"},
    {L"%SCV_VERSION_DLL%", 155, L"Version of kernel DLL of Scrivolanter"},
    {L"%SCV_VERSION_EDITOR%", 154, L"Version of RedodeZovuva"},
    {L"%DAY%", 157, L"Day of current system date"},
    {L"%DAY2%", 226, L"Day of current system date (always 2 symbols)"},
    {L"%MONTHNUMBER%", 158, L"Number of month of current system date (one based)"},
    {L"%MONTHNUMBER2%", 227, L"Number of month of current system date (one based with leading zero)"},
    {L"%MONTHNAME%", 159, L"Name of month of current system date"},
    {L"%MONTHNAME_ABBR%", 160, L"Abbreviated name of month of current system date"},
    {L"%YEAR%", 156, L"Year of current system date"},
    {L"%YEAR2%", 225, L"Year of current system date (only 2 numbers)"},
    {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%", 228,
     L"Remove all web protocols from left of command (http://, https:// and etc)"},
    {L"%WEEKDAYNAME_ABBR%", 165, L"Name of current week day (abbreviated)"},
    {L"%WEEKDAYNAME%", 164, L"Name of current week day"},
    {L"%KEYPRESS_TAB%", 205, L"Press and release TAB key"},
    {L"%KEYPRESS_ENTER%", 206, L"Press and release ENTER key"},
    {L"%URL_FROM_SELECTED_TEXT%", 61191, L"Extract URL from selected text"},
    {L"%TEXT_AFTER_URL%", 61192, L"Text after URL from selected text"},
    {L"%URL_FROM_CLIPBOARD%", 210, L"Extract URL from text from clipboard"},
    {L"%PROMPT_TEXT={}%", 219, L"Prompt plain text via dialog"},
    {L"%WINDOWS_VERSION%", 195, L"version of Windows"},
    {L"%NUMBERCHARS_SELTEXT%", 232, L"Number as characters from selected text"},
    {L"%NUMBERCHARS_CLIPBOARD%", 233, L"Number as characters from clipboard"},
    {L"%UPPER_SELTEXT%", 234, L"Convert selected text to UPPER case"},
    {L"%LOWER_SELTEXT%", 235, L"Convert selected text to lower case"},
    {L"%WINSYSDIR%", 250, L"System directory of Windows"},
    {L"%MOUSEPOS_ASLARAM%", 251,
     L"Mouse ponter position in screen coordianates as MAKELPARAM (string representation)"},
};

const MacroDescription* FindDescription(const CString& name)
{
    for (const MacroDescription& entry : kDescriptions)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

HICON LoadModuleIcon(UINT id, int size)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

HICON ShellFolderIcon()
{
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                          SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    return info.hIcon;
}

UINT CommandIconResource(UINT commandId)
{
    static const std::map<UINT, UINT> kTable = {
        {32840, 160}, {32845, 163}, {32847, 164}, {32783, 151}, {32819, 151}, {32781, 152},
        {32792, 153}, {32821, 149}, {32827, 156}, {32812, 142}, {32795, 154},
    };
    const auto found = kTable.find(commandId);
    return found == kTable.end() ? 0 : found->second;
}

HICON WelcomeProgramIcon()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString file(path);
    file = file.Left(file.ReverseFind(L'\\') + 1) + L"Scrivolanter_Welcome.exe";
    HICON large = nullptr;
    HICON small = nullptr;
    ::ExtractIconExW(file.GetString(), 0, &large, &small, 1);
    if (large) {
        if (small)
            ::DestroyIcon(small);
        return large;
    }
    return small;
}

} // namespace

int AppendMacroMenuItems(HMENU menu)
{
    int count = 0;
    for (int i = 0; i < GetMacroCount() && kMacroCommandFirst + i <= kMacroCommandLast; ++i) {
        if (::AppendMenuW(menu, MF_STRING, kMacroCommandFirst + i, GetMacroName(i).GetString()))
            ++count;
    }
    return count;
}

CString GetMacroNameForCommand(UINT commandId)
{
    if (commandId < kMacroCommandFirst || commandId > kMacroCommandLast)
        return CString();
    return GetMacroName(static_cast<int>(commandId - kMacroCommandFirst));
}

UINT GetMacroDescriptionId(const CString& name)
{
    const MacroDescription* entry = FindDescription(name);
    return entry ? entry->id : 0;
}

CString GetMacroDescriptionTip(const CString& name)
{
    const CString layout = DescribeLayoutMacro(
        name, LoadLocalizedTextOr(
                  146, L"The macro will be activate this keyboard layout after choosing of command"));
    if (!layout.IsEmpty())
        return layout;
    const MacroDescription* entry = FindDescription(name);
    if (!entry)
        return CString();
    CString tip = LoadLocalizedTextOr(entry->id, entry->english);
    const CString preview = PreviewMacroValue(
        name, ::GetForegroundWindow(), LoadLocalizedTextOr(169, L"Selected text in target application"));
    if (!preview.IsEmpty())
        tip += L"\r\r  [" + preview + L"]";
    return tip;
}

CString GetMacroTip(UINT commandId)
{
    const CString name = GetMacroNameForCommand(commandId);
    return name.IsEmpty() ? CString() : GetMacroDescriptionTip(name);
}

CString CollapseLineBreaksForTip(const CString& text)
{
    CString result = text;
    for (const wchar_t* breakText : {L"\n\n", L"\r\r", L"\n", L"\r"})
        result.Replace(breakText, L" ");
    result.Trim();
    return result;
}

CString GetPhrasePreviewTip(const CString& text, const CString& extra)
{
    return extra.IsEmpty() ? text : text + L"\n\n " + extra;
}

HICON GetEditorMenuIcon(UINT commandId)
{
    if (commandId >= kMacroCommandFirst && commandId <= kMacroCommandLast) {
        static const HICON macroIcon = LoadModuleIcon(142, 16);
        if (macroIcon)
            return macroIcon;
    }
    HICON icon = nullptr;
    if (commandId == 32842) {
        static const HICON welcome = WelcomeProgramIcon();
        icon = welcome;
    } else if (commandId == 32848) {
        static const HICON folder = ShellFolderIcon();
        icon = folder;
    } else if (commandId == 32782) {
        static const HICON mail = LoadShellFileTypeIcon(L".eml");
        icon = mail;
    } else if (const UINT resource = CommandIconResource(commandId)) {
        icon = LoadModuleIcon(resource, 32);
        if (!icon)
            icon = LoadModuleIcon(resource, 16);
    }
    if (icon)
        return icon;
    static const HICON programIcon = LoadModuleIcon(128, 0);
    return programIcon;
}

CString GetMainMenuItemText(UINT commandId, const wchar_t* english)
{
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    wchar_t text[256] = {};
    const bool found = menu && ::GetMenuStringW(menu, commandId, text, 256, MF_BYCOMMAND) > 0;
    if (menu)
        ::DestroyMenu(menu);
    return found ? CString(text) : CString(english);
}

const MacroColoringScheme& GetMacroColoringScheme()
{
    static const MacroColoringScheme scheme = [] {
        MacroColoringScheme built;
        MacroWordGroup words;
        words.color = kMacroColor;
        for (int i = 0; i < GetMacroCount(); ++i) {
            CString name = GetMacroName(i);
            if (name == L"%PROMPT_TEXT={}%")
                name = name.Left(name.GetLength() - 1);
            words.words.push_back(name);
        }
        built.wordGroups.push_back(words);
        MacroPairGroup pairs;
        pairs.color = kMacroColor;
        for (int i = 0; i < GetInputMarkerCount(); ++i) {
            const InputMarker* marker = GetInputMarker(i);
            pairs.pairs.push_back({marker->start, marker->end, true});
        }
        built.pairGroups.push_back(pairs);
        return built;
    }();
    return scheme;
}

#include "engine/MacroEngine.h"

#include "common/FileVersionInfo.h"
#include "common/LocaleInfo.h"
#include "common/NumberTexts.h"
#include "common/OsVersionInfo.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "engine/MacroEnvironment.h"
#include "engine/PhraseItemRecord.h"
#include "engine/RtfMacroExpansion.h"
#include "online/ProgramFilePaths.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace
{
enum class Macro
{
    ClipboardText,
    SelectedText,
    CursorPos,
    UserName,
    Version,
    VersionEditor,
    VersionDll,
    KeyTab,
    KeyEnter,
    UrlFromSelection,
    TextAfterUrl,
    UrlFromClipboard,
    PromptText,
    TrimProtocols,
    WindowsVersion,
    NumberWordsSelection,
    NumberWordsClipboard,
    UpperSelection,
    LowerSelection,
    SystemFolder,
    MousePos,
    // The macros of the clock, from DateTime to WeekdayNameAbbr.
    DateTime,
    Date,
    Time,
    DateNoWeekday,
    DateTimeNoWeekday,
    Day,
    Day2,
    MonthName,
    MonthNumber,
    MonthNumber2,
    MonthNameAbbr,
    Year,
    Year2,
    WeekdayName,
    WeekdayNameAbbr,
};

struct MacroName
{
    const wchar_t* name;
    Macro macro;
};

const MacroName kMacroNames[] = {
    {L"%CLIPBOARD_TEXT%", Macro::ClipboardText},
    {L"%SELECTED_TEXT%", Macro::SelectedText},
    {kMacroCursorPos, Macro::CursorPos},
    {L"%DATETIME%", Macro::DateTime},
    {L"%DATE%", Macro::Date},
    {L"%TIME%", Macro::Time},
    {L"%DATE_EX_WD%", Macro::DateNoWeekday},
    {L"%DATETIME_EX_WD%", Macro::DateTimeNoWeekday},
    {L"%WINDOWS_USERNAME%", Macro::UserName},
    {L"%SCV_VERSION%", Macro::Version},
    {L"%SCV_VERSION_EDITOR%", Macro::VersionEditor},
    {L"%SCV_VERSION_DLL%", Macro::VersionDll},
    {L"%DAY%", Macro::Day},
    {L"%DAY2%", Macro::Day2},
    {L"%MONTHNAME%", Macro::MonthName},
    {L"%MONTHNUMBER%", Macro::MonthNumber},
    {L"%MONTHNUMBER2%", Macro::MonthNumber2},
    {L"%MONTHNAME_ABBR%", Macro::MonthNameAbbr},
    {L"%YEAR%", Macro::Year},
    {L"%YEAR2%", Macro::Year2},
    {L"%WEEKDAYNAME%", Macro::WeekdayName},
    {L"%WEEKDAYNAME_ABBR%", Macro::WeekdayNameAbbr},
    {L"%KEYPRESS_TAB%", Macro::KeyTab},
    {L"%KEYPRESS_ENTER%", Macro::KeyEnter},
    {L"%URL_FROM_SELECTED_TEXT%", Macro::UrlFromSelection},
    {L"%TEXT_AFTER_URL%", Macro::TextAfterUrl},
    {kMacroUrlFromClipboard, Macro::UrlFromClipboard},
    {L"%PROMPT_TEXT={}%", Macro::PromptText},
    {kMacroTrimProtocols, Macro::TrimProtocols},
    {L"%WINDOWS_VERSION%", Macro::WindowsVersion},
    {L"%NUMBERCHARS_SELTEXT%", Macro::NumberWordsSelection},
    {L"%NUMBERCHARS_CLIPBOARD%", Macro::NumberWordsClipboard},
    {L"%UPPER_SELTEXT%", Macro::UpperSelection},
    {L"%LOWER_SELTEXT%", Macro::LowerSelection},
    {L"%WINSYSDIR%", Macro::SystemFolder},
    {L"%MOUSEPOS_ASLARAM%", Macro::MousePos},
};

const wchar_t* const kStaticMacros[] = {kMacroCursorPos, L"%WINDOWS_USERNAME%", L"%SCV_VERSION%",
                                        L"%SCV_VERSION_EDITOR%", L"%SCV_VERSION_DLL%"};
const wchar_t* const kUrlSchemes[] = {L"http://", L"https://", L"ftp://"};
const wchar_t* const kStrippedProtocols[] = {L"http://", L"https://"};
constexpr wchar_t kUrlEnds[] = L" \t\r\n";
constexpr int kUserNameLength = 256;

bool IsClockMacro(Macro macro)
{
    return macro >= Macro::DateTime && macro <= Macro::WeekdayNameAbbr;
}

bool FindMacro(const CString& name, Macro& macro)
{
    for (const MacroName& entry : kMacroNames) {
        if (name.CompareNoCase(entry.name) == 0) {
            macro = entry.macro;
            return true;
        }
    }
    return false;
}

SYSTEMTIME Now()
{
    SYSTEMTIME now = GetMacroEnvironment().GetLocalTime();
    now.wDayOfWeek = static_cast<WORD>(DayOfWeekFromDate(now.wDay, now.wMonth, now.wYear));
    return now;
}

CString Decimal(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

CString TwoDigits(int value)
{
    CString text = Decimal(value);
    return text.GetLength() < 2 ? L"0" + text : text;
}

CString LastTwo(const CString& text)
{
    return text.GetLength() > 2 ? text.Right(2) : text;
}

CString FileVersionText(const CString& path)
{
    CFileVersionInfo info(path);
    if (!info.Read())
        return CString();
    return info.GetField(CFileVersionInfo::FieldFileVersion);
}

CString UserName()
{
    wchar_t name[kUserNameLength + 1] = {};
    DWORD size = kUserNameLength;
    return ::GetUserNameW(name, &size) ? CString(name) : CString();
}

CString SystemFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    if (::GetSystemDirectoryW(folder, MAX_PATH) == 0)
        return L"ERROR on GetSystemDirectory";
    return folder;
}

CString MousePositionAsLParam()
{
    POINT point{};
    if (!::GetCursorPos(&point))
        return L"ERROR on GetCursorPos";
    const auto packed =
        static_cast<unsigned int>(point.y) << 16 | (static_cast<unsigned int>(point.x) & 0xFFFFu);
    return Decimal(static_cast<int>(packed));
}

CString UpperCase(CString text)
{
    if (!text.IsEmpty())
        ::CharUpperW(text.GetBuffer());
    text.ReleaseBuffer();
    return text;
}

CString LowerCase(CString text)
{
    if (!text.IsEmpty())
        ::CharLowerW(text.GetBuffer());
    text.ReleaseBuffer();
    return text;
}

CString DateMacroValue(Macro macro, LCID lcid)
{
    const SYSTEMTIME now = Now();
    switch (macro) {
    case Macro::DateTime:
        return DateTimeTextByMode(DateTimeTextLongDateTime, lcid, now);
    case Macro::Date:
        return DateTimeTextByMode(DateTimeTextLongDate, lcid, now);
    case Macro::Time:
        return DateTimeTextByMode(DateTimeTextTime, lcid, now);
    case Macro::DateTimeNoWeekday:
        return DateTimeTextByMode(DateTimeTextDateTimeNoWeekday, lcid, now);
    case Macro::DateNoWeekday:
        return DateTimeTextByMode(DateTimeTextDateNoWeekday, lcid, now);
    case Macro::Day:
        return Decimal(now.wDay);
    case Macro::Day2:
        return TwoDigits(now.wDay);
    case Macro::MonthNumber:
        return Decimal(now.wMonth);
    case Macro::MonthNumber2:
        return TwoDigits(now.wMonth);
    case Macro::Year:
        return Decimal(now.wYear);
    case Macro::Year2:
        return LastTwo(Decimal(now.wYear));
    case Macro::MonthName:
        return GetLocaleMonthName(now.wMonth, lcid, false);
    case Macro::MonthNameAbbr:
        return GetLocaleMonthName(now.wMonth, lcid, true);
    case Macro::WeekdayName:
        return GetLocaleDayName(now.wDayOfWeek, lcid, false);
    case Macro::WeekdayNameAbbr:
        return GetLocaleDayName(now.wDayOfWeek, lcid, true);
    default:
        return CString();
    }
}

CString SystemMacroValue(Macro macro)
{
    switch (macro) {
    case Macro::UserName:
        return UserName();
    case Macro::WindowsVersion:
        return COsVersionInfo::GetOsDescription();
    case Macro::Version:
        return FileVersionText(OwnExePath());
    case Macro::VersionEditor:
        return FileVersionText(EditorExePath());
    case Macro::VersionDll:
        return FileVersionText(GetCoreDllPath());
    case Macro::SystemFolder:
        return SystemFolder();
    case Macro::MousePos:
        return MousePositionAsLParam();
    default:
        return CString();
    }
}

CString TextMacroValue(Macro macro, const CString& selected, const CString& clipboard, LCID lcid)
{
    switch (macro) {
    case Macro::ClipboardText:
        return clipboard;
    case Macro::SelectedText:
        return selected;
    case Macro::UpperSelection:
        return UpperCase(selected);
    case Macro::LowerSelection:
        return LowerCase(selected);
    case Macro::NumberWordsSelection:
        return SpellNumbersInText(selected);
    case Macro::NumberWordsClipboard:
        return SpellNumbersInText(clipboard);
    case Macro::KeyTab:
        return L"\t";
    case Macro::KeyEnter:
        return L"\r";
    case Macro::UrlFromSelection:
        return UrlFromText(selected, true);
    case Macro::TextAfterUrl:
        return UrlFromText(selected, false);
    case Macro::UrlFromClipboard:
        return UrlFromText(clipboard, true);
    default:
        return IsClockMacro(macro) ? DateMacroValue(macro, lcid) : SystemMacroValue(macro);
    }
}

bool StartsWithNoCase(const CString& text, const wchar_t* prefix)
{
    const int length = static_cast<int>(wcslen(prefix));
    return text.GetLength() >= length && text.Left(length).CompareNoCase(prefix) == 0;
}

// The selected text as the macros of a plain-text phrase see it: leading web protocols stripped
// (stored phrases rely on it), the trim macro removed.
CString PrepareSelectedText(const CString& selected)
{
    CString prepared = selected;
    if (prepared.IsEmpty())
        return prepared;
    for (const wchar_t* protocol : kStrippedProtocols) {
        while (StartsWithNoCase(prepared, protocol))
            prepared.Delete(0, static_cast<int>(wcslen(protocol)));
    }
    prepared.Replace(kMacroTrimProtocols, L"");
    return prepared;
}

// Removes every caret mark; the Left-key steps from the end back to the first mark, a CR LF pair
// being one step; -1 when there is no mark.
int TakeCaretMarks(CString& text)
{
    const int first = text.Find(kMacroCursorPos);
    if (first < 0)
        return -1;
    text.Replace(kMacroCursorPos, L"");
    int steps = text.GetLength() - first;
    for (int at = text.Find(L"\r\n", first); at >= 0; at = text.Find(L"\r\n", at + 2))
        --steps;
    return steps;
}

bool IsExpandedByName(const CString& name)
{
    return name != kMacroCursorPos && name != kMacroTrimProtocols;
}

struct MacroTableCache
{
    std::mutex lock;
    std::vector<CString> table;
    const IMacroEnvironment* builtFor = nullptr;
    bool built = false;
};

MacroTableCache& TableCache()
{
    static MacroTableCache cache;
    return cache;
}
} // namespace

const std::vector<CString>& GetMacroTable()
{
    MacroTableCache& cache = TableCache();
    std::lock_guard<std::mutex> guard(cache.lock);
    const IMacroEnvironment* environment = &GetMacroEnvironment();
    if (cache.built && cache.builtFor == environment)
        return cache.table;
    cache.table.clear();
    for (const MacroName& entry : kMacroNames)
        cache.table.emplace_back(entry.name);
    for (const auto& layout : BuildLayoutMacroMap())
        cache.table.push_back(layout.first);
    std::sort(cache.table.begin(), cache.table.end(), OrdinalTextLess());
    cache.builtFor = environment;
    cache.built = true;
    return cache.table;
}

bool IsStaticMacro(const CString& name, const LayoutMacroMap& layouts)
{
    for (const wchar_t* staticName : kStaticMacros) {
        if (name == staticName)
            return true;
    }
    return layouts.count(name) > 0;
}

CString GetMacroValue(const CString& name, const CString& selected, const CString& clipboard, LCID lcid)
{
    Macro macro{};
    if (!FindMacro(name, macro))
        return CString();
    return TextMacroValue(macro, selected, clipboard, lcid);
}

int ExpandPhraseMacros(CString& text, const CString& selected, const CString& clipboard, int* caretSteps,
                       LANGID* layoutId, LCID lcid, MacroValueSource valueOf)
{
    if (caretSteps != nullptr)
        *caretSteps = 0;
    text.Replace(kMacroTrimProtocols, L"");
    const CString preparedSelection = PrepareSelectedText(selected);

    const LANGID layout = RemoveActivateKlMacros(text);
    if (layoutId != nullptr)
        *layoutId = layout;

    int replacements = 0;
    for (const CString& name : GetMacroTable()) {
        if (!IsExpandedByName(name) || text.Find(name) < 0)
            continue;
        const CString value = valueOf(name, preparedSelection, clipboard, lcid);
        replacements += text.Replace(name, value);
        if (name == kMacroUrlFromClipboard) {
            CString line;
            line.Format(L"PreReplaced MC_URL_FROMCLIPBOARD command=[%s] result=[%s]", text.GetString(),
                        value.GetString());
            WriteLogLine(line);
        }
    }

    const int steps = TakeCaretMarks(text);
    if (caretSteps != nullptr && steps >= 0)
        *caretSteps = steps;
    return replacements;
}

CString ExpandMacrosInText(const CString& text)
{
    CString expanded = text;
    ExpandPhraseMacros(expanded, CString(), CString(), nullptr, nullptr, ::GetUserDefaultLCID());
    return expanded;
}

CString ExpandMacrosForWindow(HWND target, const CString& text, const CString& selected,
                              const CString& clipboard)
{
    CString oneLineSelection = selected;
    oneLineSelection.Replace(L"\r\n", L" ");
    const HKL layout = ::GetKeyboardLayout(::GetWindowThreadProcessId(target, nullptr));
    const LCID lcid = MAKELCID(LOWORD(reinterpret_cast<UINT_PTR>(layout)), SORT_DEFAULT);
    CString expanded = text;
    ExpandPhraseMacros(expanded, oneLineSelection, clipboard, nullptr, nullptr, lcid);
    return expanded;
}

CString UrlFromText(const CString& text, bool wantUrl)
{
    if (text.IsEmpty())
        return CString();
    CString trimmed = text;
    trimmed.TrimLeft(L" \r\n\t");

    int schemeLength = 0;
    for (const wchar_t* scheme : kUrlSchemes) {
        const int length = static_cast<int>(wcslen(scheme));
        if (length < text.GetLength() && StartsWithNoCase(trimmed, scheme)) {
            schemeLength = length;
            break;
        }
    }
    if (schemeLength == 0)
        return wantUrl ? CString() : trimmed;

    int end = -1;
    for (const wchar_t* c = kUrlEnds; *c != L'\0'; ++c) {
        const int at = trimmed.Find(*c, schemeLength);
        if (at >= 0 && (end < 0 || at < end))
            end = at;
    }
    if (end < 0)
        return wantUrl ? trimmed : CString();
    return wantUrl ? trimmed.Left(end) : trimmed.Mid(end);
}

CString GetLocaleLanguageText(LCID lcid, bool iso)
{
    wchar_t text[101] = {};
    if (::GetLocaleInfoW(lcid, iso ? LOCALE_SISO639LANGNAME : LOCALE_SLANGUAGE, text, 100) == 0)
        return CString();
    return text;
}

bool PhraseHasDynamicMacros(const PhraseItemRecord& record)
{
    const LayoutMacroMap layouts = BuildLayoutMacroMap();
    std::vector<CString> dynamicNames;
    for (const CString& name : GetMacroTable()) {
        if (!IsStaticMacro(name, layouts))
            dynamicNames.push_back(name);
    }
    if (record.dataType == MenuItemRecord::kTypeRtf)
        return RtfContainsAnyText(record.body, dynamicNames);
    return std::any_of(dynamicNames.begin(), dynamicNames.end(),
                       [&](const CString& name) { return record.body.Find(name) >= 0; });
}

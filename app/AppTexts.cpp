#include "app/AppTexts.h"

#include "common/NumberTexts.h"

#include "app/AppObjects.h"
#include "common/HotKeyText.h"
#include "common/LocalizedString.h"
#include "common/PathFunctions.h"
#include "common/Settings.h"
#include "common/SharedLog.h"

#include <wchar.h>

#include <vector>

namespace
{
constexpr UINT kStringTurnOn = 130;
constexpr UINT kStringTurnOff = 131;
constexpr UINT kStringOn = 275;
constexpr UINT kStringOff = 276;
constexpr UINT kStringAndMore = 300;
constexpr UINT kStringPressEnterToActivate = 313;

constexpr wchar_t kAndMoreEnglish[] = L"and %d more";
constexpr int kMaxUpperChars = 999;

// The program's own resource text, without the language file.
CString LoadOwnResourceText(UINT id)
{
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? CString(text, length) : CString();
}

LCID FirstKeyboardLayoutLocale()
{
    HKL layouts[40] = {};
    const int count = ::GetKeyboardLayoutList(40, layouts);
    if (count <= 0)
        return 0;
    return MAKELCID(LOWORD(reinterpret_cast<ULONG_PTR>(layouts[0])), SORT_DEFAULT);
}
} // namespace

CString GetTurnOnText(bool shortForm)
{
    return shortForm ? LoadLocalizedTextOr(kStringOn, L"on") : LoadLocalizedTextOr(kStringTurnOn, L"Turn on");
}

CString GetTurnOffText(bool shortForm)
{
    CString text = shortForm ? LoadLocalizedTextOr(kStringOff, L"off")
                             : LoadLocalizedTextOr(kStringTurnOff, L"Turn off");
    return MakeUpperForKeyboardLocale(text);
}

CString GetTurnOnTextDefault()
{
    return GetTurnOnText(false);
}

CString GetTurnOffTextDefault()
{
    return GetTurnOffText(false);
}

CString FormatOnOffLabel(const CString& label, bool on)
{
    CString text;
    if (!label.IsEmpty())
        text = label + L": ";
    text += on ? GetTurnOnText(true) : GetTurnOffText(true);
    return text;
}

CString FormatLocalizedOnOffLabel(UINT stringId, bool on)
{
    return FormatOnOffLabel(LoadLocalizedString(stringId), on);
}

CString MakeUpperForKeyboardLocale(const CString& text)
{
    if (text.IsEmpty())
        return text;
    CString source = text.Left(kMaxUpperChars);
    const LCID locale = FirstKeyboardLayoutLocale();
    if (locale) {
        std::vector<wchar_t> buffer(kMaxUpperChars + 1, L'\0');
        const int mapped = ::LCMapStringW(locale, LCMAP_UPPERCASE, source, source.GetLength(), buffer.data(),
                                          kMaxUpperChars);
        if (mapped > 0)
            return CString(buffer.data(), mapped);
    }
    source.MakeUpper();
    return source;
}

CString LoadLocalizedTextUpper(UINT stringId, bool upper)
{
    CString text = LoadLocalizedString(stringId);
    return upper ? MakeUpperForKeyboardLocale(text) : text;
}

bool IsSingleIntFormat(const CString& format)
{
    int conversions = 0;
    const int length = format.GetLength();
    for (int i = 0; i < length; ++i) {
        if (format[i] != L'%')
            continue;
        if (format[i + 1] == L'%') {
            ++i;
            continue;
        }
        if (format[i + 1] != L'd')
            return false; // any other conversion, flag, width or a lone "%"
        ++conversions;
        ++i;
    }
    return conversions == 1;
}

CString FormatAndMoreText(int count)
{
    CString format = LoadLocalizedString(kStringAndMore);
    if (!IsSingleIntFormat(format)) {
        format = LoadOwnResourceText(kStringAndMore);
        if (!IsSingleIntFormat(format))
            format = kAndMoreEnglish;
    }
    CString text;
    text.Format(format, count);
    return text;
}

CString GetDefaultFolderMacro()
{
    return L"%DEFAULT_FOLDER%";
}

CString GetPhrasesFolderDisplayText()
{
    const CSettings& settings = GetSettings();
    if (settings.IsPhrasesDirectoryEmpty())
        return GetDefaultFolderMacro();
    return settings.GetPhrasesFolderNoSlash();
}

CString GetHotKeyDisplayText()
{
    return GetConfiguredHotKeyText();
}

CString FormatDecimal(int value)
{
    return IntToString(value);
}

CString IntToText(int value)
{
    return IntToString(value);
}

CString GetWindowTitleText(bool elevationMark)
{
    CString title = L"Scrivolanter";
    if (elevationMark && CAppObjects::IsElevated())
        title += L"^";
    const CString hint = LoadLocalizedString(kStringPressEnterToActivate);
    if (!hint.IsEmpty())
        title += L" " + hint;
    return title;
}

bool LogLine(LPCWSTR text)
{
    return WriteLogLine(text);
}

bool LogLineWithTime(LPCWSTR text)
{
    if (!IsLogOpen())
        return false;
    CString line = text;
    line += L" " + GetDateTimeText();
    return WriteLogLine(line);
}

CString GetDateTimeText()
{
    wchar_t date[16] = {};
    wchar_t time[16] = {};
    _wstrdate(date);
    _wstrtime(time);
    return CString(date) + L" " + time;
}

#include "common/LocaleInfo.h"

#include "common/RuntimeBinding.h"

#include <iterator>

namespace
{
constexpr int kMaxLayouts = 100;

struct FirstResource
{
    bool found = false;
    LPWSTR name = nullptr; // an integer id or a copy of the name
    wchar_t nameText[256] = {};
    WORD language = 0;
};

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto* first = reinterpret_cast<FirstResource*>(param);
    first->found = true;
    if (IS_INTRESOURCE(name)) {
        first->name = name;
    } else {
        lstrcpynW(first->nameText, name, static_cast<int>(std::size(first->nameText)));
        first->name = first->nameText;
    }
    return FALSE; // only the first one
}

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    auto* first = reinterpret_cast<FirstResource*>(param);
    first->language = language;
    return FALSE;
}

// The language of the module's first resource of the type; 0 when it has none.
WORD FirstResourceLanguage(HMODULE module, LPCWSTR type)
{
    FirstResource first;
    ::EnumResourceNamesW(module, type, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    if (!first.found)
        return 0;
    ::EnumResourceLanguagesW(module, type, first.name, TakeFirstLanguage, reinterpret_cast<LONG_PTR>(&first));
    return first.language;
}
} // namespace

CString GetLocaleString(LCID locale, LCTYPE type)
{
    wchar_t buffer[260] = {};
    if (::GetLocaleInfoW(locale, type, buffer, static_cast<int>(std::size(buffer))) == 0)
        return CString();
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

CString GetLocaleDayName(int dayOfWeek, LCID locale, bool abbreviated)
{
    if (dayOfWeek < 0 || dayOfWeek > 6)
        return CString();
    // The locale's day names run Monday (1) to Sunday (7).
    LCTYPE type = dayOfWeek == 0 ? LOCALE_SDAYNAME7 : LOCALE_SDAYNAME1 + (dayOfWeek - 1);
    if (abbreviated)
        type += LOCALE_SABBREVDAYNAME1 - LOCALE_SDAYNAME1;
    return GetLocaleString(locale, type);
}

CString GetLocaleMonthName(int month, LCID locale, bool abbreviated)
{
    if (month < 1 || month > 12)
        return CString();
    LCTYPE type = LOCALE_SMONTHNAME1 + (month - 1);
    if (abbreviated)
        type += LOCALE_SABBREVMONTHNAME1 - LOCALE_SMONTHNAME1;
    return GetLocaleString(locale, type);
}

LANGID FindKeyboardLayoutByLangAbbrev(const wchar_t* abbreviation)
{
    if (!abbreviation || !*abbreviation)
        return 0;
    const CString wanted = abbreviation;

    HKL layouts[kMaxLayouts] = {};
    const int count = ::GetKeyboardLayoutList(kMaxLayouts, layouts);
    for (int i = 0; i < count; ++i) {
        const LANGID language = LOWORD(reinterpret_cast<ULONG_PTR>(layouts[i]));
        CString name = GetLocaleString(MAKELCID(language, SORT_DEFAULT), LOCALE_SABBREVLANGNAME);
        if (name.GetLength() > wanted.GetLength())
            name.Truncate(wanted.GetLength());
        if (!name.IsEmpty() && name.CompareNoCase(wanted) == 0)
            return language;
    }
    return 0;
}

CString GetUserGeoInfoText(GEOTYPE type)
{
    using GetUserGeoIDFn = GEOID(WINAPI*)(GEOCLASS);
    using GetGeoInfoWFn = int(WINAPI*)(GEOID, GEOTYPE, LPWSTR, int, LANGID);
    auto getUserGeoId = FindFunctionInUse<GetUserGeoIDFn>(L"kernel32.dll", "GetUserGeoID");
    auto getGeoInfo = FindFunctionInUse<GetGeoInfoWFn>(L"kernel32.dll", "GetGeoInfoW");
    if (!getUserGeoId || !getGeoInfo)
        return CString();
    const GEOID nation = getUserGeoId(GEOCLASS_NATION);
    if (nation == GEOID_NOT_AVAILABLE)
        return CString();
    wchar_t buffer[999] = {};
    if (getGeoInfo(nation, type, buffer, static_cast<int>(std::size(buffer)), ::GetUserDefaultLangID()) == 0)
        return CString();
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

CString GetUserCountryName()
{
    return GetUserGeoInfoText(GEO_FRIENDLYNAME);
}

CString GetUserCountryOfficialName()
{
    return GetUserGeoInfoText(GEO_OFFICIALNAME);
}

CString GetUserCountryIsoCode(bool twoLetters)
{
    return GetUserGeoInfoText(twoLetters ? GEO_ISO2 : GEO_ISO3);
}

LANGID GetOwnResourceLanguage(HMODULE module, CString* englishName, CString* localizedName)
{
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    LANGID language = FirstResourceLanguage(module, RT_STRING);
    if (language == 0)
        language = FirstResourceLanguage(module, RT_DIALOG);
    if (language == 0)
        language = FirstResourceLanguage(module, RT_VERSION);

    const LCID locale = MAKELCID(language, SORT_DEFAULT);
    if (englishName)
        *englishName = language == 0 ? CString(L"Neutral") : GetLocaleString(locale, LOCALE_SENGLANGUAGE);
    if (localizedName)
        *localizedName = language == 0 ? CString(L"Neutral") : GetLocaleString(locale, LOCALE_SLANGUAGE);
    return language;
}

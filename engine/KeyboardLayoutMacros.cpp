#include "engine/KeyboardLayoutMacros.h"

#include "engine/MacroEnvironment.h"

namespace
{
constexpr int kMaxIsoNameLength = 8;
constexpr int kAbbrevBufferLength = 4;

CString IsoLanguageName(LANGID language)
{
    wchar_t name[kMaxIsoNameLength + 1] = {};
    if (::GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME, name, kMaxIsoNameLength) ==
        0)
        return CString();
    ::CharUpperW(name);
    return name;
}
} // namespace

LayoutMacroMap BuildLayoutMacroMap()
{
    LayoutMacroMap map;
    for (HKL layout : GetMacroEnvironment().GetKeyboardLayouts()) {
        const LANGID language = LOWORD(reinterpret_cast<UINT_PTR>(layout));
        const CString name = IsoLanguageName(language);
        if (!name.IsEmpty())
            map[L"%ACTIVATE_KL_" + name + L"%"] = language;
    }
    return map;
}

LANGID RemoveActivateKlMacros(CString& text)
{
    LANGID language = 0;
    for (const auto& [macro, id] : BuildLayoutMacroMap()) {
        if (text.Replace(macro, L"") > 0)
            language = id;
    }
    return language;
}

CString GetActivateKlLangAbbrev(const CString& text)
{
    LANGID language = 0;
    for (const auto& [macro, id] : BuildLayoutMacroMap()) {
        if (text.Find(macro) >= 0)
            language = id;
    }
    if (language == 0)
        return CString();
    wchar_t abbreviation[kAbbrevBufferLength + 1] = {};
    if (::GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbreviation,
                         kAbbrevBufferLength) == 0)
        return CString();
    return CString(abbreviation).Left(2);
}

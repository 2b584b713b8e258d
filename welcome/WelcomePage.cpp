#include "welcome/WelcomePage.h"

#include "common/IniFile.h"
#include "common/PathFunctions.h"

#include "common/LocalizedString.h"
#include "online/HtmlTexts.h"

#include <cwchar>

namespace
{
bool ReplaceFirst(CString& page, const wchar_t* marker, const CString& value)
{
    const int at = page.Find(marker);
    if (at < 0)
        return false;
    page = page.Left(at) + value + page.Mid(at + static_cast<int>(wcslen(marker)));
    return true;
}

bool ReplacePair(CString& page, const wchar_t* start, const wchar_t* end, const CString& value)
{
    const int first = page.Find(start);
    if (first < 0)
        return false;
    const int last = page.Find(end, first);
    if (last < 0)
        return ReplaceFirst(page, start, value);
    page = page.Left(first) + value + page.Mid(last + static_cast<int>(wcslen(end)));
    return true;
}

CString PageIn(const CString& htmlFolder, const CString& language)
{
    if (language.IsEmpty() || language.Find(L'\\') >= 0 || language.Find(L'/') >= 0 ||
        language.Find(L"..") >= 0)
        return CString();
    const CString path = htmlFolder + language + L"\\welcome.html";
    return FileExists(path) ? path : CString();
}
} // namespace

bool ReplaceWelcomeMarkers(CString& page, const WelcomeMarkerValues& values)
{
    bool replaced = ReplacePair(page, L"<!-- HOTKEY_START -->", L"<!-- HOTKEY_END -->", values.hotKeyBlock);
    replaced |= ReplaceFirst(page, L"<!-- RSS_URL -->", values.rssUrl);
    replaced |= ReplaceFirst(page, L"<!-- VERSION_WELCOME_INFO -->", values.versionInfo);
    replaced |= ReplaceFirst(page, L"<!-- LOCALIZE_PATH -->", values.localizePath);
    replaced |= ReplaceFirst(page, L"<!-- SUBSCRIBE_URL -->", values.subscribeUrl);
    return replaced;
}

CString FormatWelcomeVersion(const CString& version, const CString& build, const CString& buildDate)
{
    CString text;
    bool dotKept = false;
    for (int i = 0; i < version.GetLength(); ++i) {
        if (version[i] == L'.') {
            if (dotKept)
                continue;
            dotKept = true;
        }
        text += version[i];
    }
    text = L"v." + text;
    if (!build.IsEmpty())
        text += L" build " + build;
    return text + L" (" + buildDate + L")";
}

CString WelcomeHotKeyBlock(bool readable, const CString& hotKeyText, bool doublePress)
{
    const CString label = LoadLocalizedTextOr(57347, L"Current Hotkey") + L": ";
    if (!readable)
        return label + LoadLocalizedTextOr(57348, L"I unknow") + L"<BR>Cannot get info from MMF";
    CString block = label + EscapeHtmlText(hotKeyText);
    if (doublePress) {
        CString twice = LoadLocalizedTextOr(57352, L"Twice");
        twice.MakeLower();
        block += L" <B>x 2</B> \x2014 " + twice;
    }
    return block;
}

CString WelcomeUsesLine(const CString& pageName, bool fromFile)
{
    const CString name = EscapeHtmlText(pageName);
    CString shown = name;
    if (pageName.Find(L'\\') >= 0)
        shown = L"<A HREF=\"" + name + L"\" TARGET=_blank>" + name + L"</A>";
    return L"<BR><FONT COLOR=" + CString(fromFile ? L"green" : L"red") + L">Uses: " + shown + L"</FONT>";
}

CString WelcomeParentLanguage(const CString& languageFile)
{
    CString parent;
    if (languageFile.IsEmpty() || !IniReadString(languageFile, L"Main", L"ParentLanguage", parent))
        return CString();
    parent.Trim();
    return parent;
}

CString SelectWelcomePage(const CString& htmlFolder, const CString& language, const CString& parentLanguage)
{
    const CString page = PageIn(htmlFolder, language);
    return page.IsEmpty() ? PageIn(htmlFolder, parentLanguage) : page;
}

bool HasAutoFlag(LPCWSTR commandLine)
{
    return commandLine && wcsstr(commandLine, L"/auto") != nullptr;
}

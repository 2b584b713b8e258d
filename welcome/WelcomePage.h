#pragma once
// The welcome page as text: which page file serves the active language, and
// the markers of the page replaced by the current hot key, version, feed and
// subscription addresses and the name of the page in use.

#include "platform/CString.h"

#include <windows.h>

// Replacements of the page's markers; each is replaced at its first
// occurrence, the hot-key start/end pair together with the text between.
struct WelcomeMarkerValues
{
    CString hotKeyBlock;  // "<!-- HOTKEY_START -->" .. "<!-- HOTKEY_END -->"
    CString rssUrl;       // "<!-- RSS_URL -->"
    CString versionInfo;  // "<!-- VERSION_WELCOME_INFO -->"
    CString localizePath; // "<!-- LOCALIZE_PATH -->"
    CString subscribeUrl; // "<!-- SUBSCRIBE_URL -->"
};

// Replaces the markers in `page`; true when any marker was replaced.
bool ReplaceWelcomeMarkers(CString& page, const WelcomeMarkerValues& values);

// "v." + the version with only its first dot kept, " build " + build when
// there is one, " (" + build date + ")".
CString FormatWelcomeVersion(const CString& version, const CString& build, const CString& buildDate);

// The hot-key block: "Current Hotkey: " + the key text (+ " <B>x 2</B> — twice"
// for a double press); the "unknown" form when the shared area could not be read.
CString WelcomeHotKeyBlock(bool readable, const CString& hotKeyText, bool doublePress);

// The "Uses:" line naming the page in use, in green for a page file and red
// for the built-in page; a path becomes a link to itself.
CString WelcomeUsesLine(const CString& pageName, bool fromFile);

// The page file for the language: htmlFolder + language + "\welcome.html",
// else the same for the parent language; empty when neither exists (the
// built-in page serves then).
CString SelectWelcomePage(const CString& htmlFolder, const CString& language, const CString& parentLanguage);

// The parent language a language file names in its section "Main" (key "ParentLanguage", the name of
// another language, as "Russian" for a Ukrainian file): its page serves when the language has none.
// Empty when the file names none or cannot be read.
CString WelcomeParentLanguage(const CString& languageFile);

// "/auto" anywhere in the command line (letter case kept).
bool HasAutoFlag(LPCWSTR commandLine);

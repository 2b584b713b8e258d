#pragma once

// Web searches for a text (the selected text or a history item).

#include <windows.h>

#include <string_view>

#include "platform/CString.h"

// The kinds of search.
enum WebSearchKind : int
{
    WebSearchGoogle = 5,
    WebSearchYandex = 6,
    WebSearchDeveloperDocs = 7,
    WebSearchEncyclopedia = 8,
};

// Percent-encoding of the text's UTF-8 bytes for a query value: letters,
// digits and "-", "_", ".", "~" stay; everything else becomes "%XX".
CString PercentEncodeQueryText(std::wstring_view text);
// The search address for the text: line breaks become blanks, the text is
// encoded and appended to the kind's address. Empty for an unknown kind.
CString BuildWebSearchUrl(const CString& text, int kind);
// Opens BuildWebSearchUrl in the web browser (owner: the main window). False
// for an unknown kind or when it could not be opened.
bool SearchWebForText(const CString& text, int kind);

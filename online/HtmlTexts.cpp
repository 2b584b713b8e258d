#include "online/HtmlTexts.h"

#include <cwctype>

namespace
{
struct CharacterReference
{
    const wchar_t* name;
    wchar_t character;
};

const CharacterReference kReferences[] = {
    {L"&amp;", L'&'},  {L"&lt;", L'<'},   {L"&gt;", L'>'},
    {L"&quot;", L'"'}, {L"&#39;", L'\''}, {L"&nbsp;", L' '},
};

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (std::towlower(*text) != std::towlower(*prefix))
            return false;
    }
    return true;
}

// Length of the character reference at `text`, its character in `decoded`; 0 when none.
int MatchReference(const wchar_t* text, wchar_t& decoded)
{
    for (const CharacterReference& reference : kReferences) {
        if (StartsWithNoCase(text, reference.name)) {
            decoded = reference.character;
            return static_cast<int>(wcslen(reference.name));
        }
    }
    return 0;
}

// Index just after the end of the tag or comment starting at `start`; the text's length when unclosed.
int SkipMarkup(const CString& markup, int start)
{
    if (markup.Mid(start, 4) == L"<!--") {
        const int end = markup.Find(L"-->", start + 4);
        return end < 0 ? markup.GetLength() : end + 3;
    }
    const int end = markup.Find(L'>', start);
    return end < 0 ? markup.GetLength() : end + 1;
}
} // namespace

CString EscapeHtmlText(const CString& text)
{
    CString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        switch (ch) {
        case L'&':
            result += L"&amp;";
            break;
        case L'<':
            result += L"&lt;";
            break;
        case L'>':
            result += L"&gt;";
            break;
        case L'"':
            result += L"&quot;";
            break;
        case L'\'':
            result += L"&#39;";
            break;
        default:
            result += ch;
        }
    }
    return result;
}

CString StripHtmlTags(const CString& markup)
{
    CString result;
    int i = 0;
    while (i < markup.GetLength()) {
        const wchar_t ch = markup[i];
        if (ch == L'<') {
            i = SkipMarkup(markup, i);
            continue;
        }
        wchar_t decoded = 0;
        const int length = ch == L'&' ? MatchReference(static_cast<LPCWSTR>(markup) + i, decoded) : 0;
        if (length > 0) {
            result += decoded;
            i += length;
            continue;
        }
        result += ch;
        ++i;
    }
    return result;
}

bool IsOpenableLink(const CString& address)
{
    CString trimmed = address;
    trimmed.Trim();
    for (int i = 0; i < trimmed.GetLength(); ++i) {
        if (trimmed[i] < L' ' || trimmed[i] == 0x7F)
            return false;
    }
    const wchar_t* text = trimmed;
    if (StartsWithNoCase(text, L"mailto:"))
        return trimmed.GetLength() > 7;
    const int schemeLength = StartsWithNoCase(text, L"http://")    ? 7
                             : StartsWithNoCase(text, L"https://") ? 8
                                                                   : 0;
    return schemeLength > 0 && trimmed.GetLength() > schemeLength;
}

CString CheckedLinkAttribute(const CString& address)
{
    if (!IsOpenableLink(address))
        return CString();
    CString trimmed = address;
    trimmed.Trim();
    return EscapeHtmlText(trimmed);
}

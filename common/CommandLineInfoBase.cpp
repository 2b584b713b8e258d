#include "common/CommandLineInfoBase.h"

#include <windows.h>

namespace
{
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsQuote(wchar_t c)
{
    return c == L'"' || c == L'\'';
}

// The first whole-word occurrence of `word` in `text` outside double quotes; -1 when none.
int FindSwitchWord(const CString& text, const CString& word)
{
    const int length = text.GetLength();
    const int wordLength = word.GetLength();
    bool inQuotes = false;
    for (int i = 0; i + wordLength <= length; ++i) {
        wchar_t c = text[i];
        if (c == L'"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (inQuotes)
            continue;
        if (i > 0 && !IsBlank(text[i - 1]))
            continue;
        if (::wcsncmp(text.GetString() + i, word.GetString(), wordLength) != 0)
            continue;
        wchar_t after = text[i + wordLength]; // 0 at the end of the text
        if (after == 0 || IsBlank(after) || IsQuote(after))
            return i;
    }
    return -1;
}

CString UpperCased(const CString& text)
{
    CString upper = text;
    int length = upper.GetLength();
    if (length > 0) {
        ::CharUpperBuffW(upper.GetBuffer(length), static_cast<DWORD>(length));
        upper.ReleaseBuffer(length);
    }
    return upper;
}

CString SwitchForm(wchar_t lead, const CString& name)
{
    if (name[0] == lead)
        return name;
    return CString(lead, 1) + name;
}
} // namespace

int FindCommandLineSwitch(const wchar_t* commandLine, const wchar_t* switchName)
{
    CString name(switchName);
    if (name.IsEmpty())
        return -1;
    CString text(commandLine);
    CString upperText = UpperCased(text);

    for (wchar_t lead : {L'/', L'-'}) {
        CString form = SwitchForm(lead, name);
        int position = FindSwitchWord(text, form);
        if (position < 0)
            position = FindSwitchWord(upperText, UpperCased(form));
        if (position >= 0)
            return position;
    }
    return -1;
}

bool HasCommandLineSwitch(const wchar_t* commandLine, const wchar_t* switchName)
{
    return FindCommandLineSwitch(commandLine, switchName) >= 0;
}

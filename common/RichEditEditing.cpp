#include "common/RichEditEditing.h"

#include <commdlg.h>

#include <cstring>
#include <cwchar>
#include <vector>

namespace
{
CHARFORMAT2W GetSelectionFormat(HWND richEdit)
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    ::SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

CHARFORMAT2W GetRangeFormat(HWND richEdit, LONG first, LONG last)
{
    SetRichEditSelection(richEdit, first, last);
    return GetSelectionFormat(richEdit);
}

bool SameFormat(const CHARFORMAT2W& a, const CHARFORMAT2W& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

void ReplaceSelection(HWND richEdit, LPCWSTR text)
{
    ::SendMessageW(richEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// Replaces first .. last (all in one character format) by `text` of the same
// length and gives the new characters that format again.
void ReplaceRun(HWND richEdit, LONG first, LONG last, const CString& text, CHARFORMAT2W format)
{
    SetRichEditSelection(richEdit, first, last);
    ReplaceSelection(richEdit, text);
    SetRichEditSelection(richEdit, first, last);
    ::SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Replaces a stretch of changed characters run by run of equal format.
void ReplaceStretch(HWND richEdit, LONG first, LONG last, const CString& converted)
{
    const CHARFORMAT2W whole = GetRangeFormat(richEdit, first, last);
    const CHARFORMAT2W head = GetRangeFormat(richEdit, first, first + 1);
    if (whole.dwMask == head.dwMask && whole.dwEffects == head.dwEffects) {
        ReplaceRun(richEdit, first, last, converted.Mid(first, last - first), head);
        return;
    }
    LONG runStart = first;
    CHARFORMAT2W runFormat = head;
    for (LONG at = first + 1; at <= last; ++at) {
        CHARFORMAT2W next{};
        if (at < last) {
            next = GetRangeFormat(richEdit, at, at + 1);
            if (SameFormat(next, runFormat))
                continue;
        }
        ReplaceRun(richEdit, runStart, at, converted.Mid(runStart, at - runStart), runFormat);
        runStart = at;
        runFormat = next;
    }
}
} // namespace

LONG GetRichEditTextLength(HWND richEdit)
{
    GETTEXTLENGTHEX request{};
    request.flags = GTL_NUMCHARS | GTL_PRECISE;
    request.codepage = 1200;
    const LRESULT length =
        ::SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
    return length > 0 ? static_cast<LONG>(length) : 0;
}

CString GetRichEditTextRange(HWND richEdit, LONG first, LONG last)
{
    const LONG length = GetRichEditTextLength(richEdit);
    if (last < 0 || last > length)
        last = length;
    if (first < 0)
        first = 0;
    if (first >= last)
        return CString();
    std::vector<wchar_t> buffer(static_cast<size_t>(last - first) + 1, L'\0');
    TEXTRANGEW range{};
    range.chrg.cpMin = first;
    range.chrg.cpMax = last;
    range.lpstrText = buffer.data();
    const LRESULT copied = ::SendMessageW(richEdit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    if (copied <= 0)
        return CString();
    return CString(buffer.data(), static_cast<int>(copied < last - first ? copied : last - first));
}

void SetRichEditSelection(HWND richEdit, LONG first, LONG last)
{
    CHARRANGE range{first, last};
    ::SendMessageW(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARRANGE FindRichEditText(HWND richEdit, LPCWSTR text, LONG start, bool matchCase)
{
    const CHARRANGE none{-1, -1};
    if (!text || !*text)
        return none;
    FINDTEXTEXW find{};
    find.chrg.cpMin = start < 0 ? 0 : start;
    find.chrg.cpMax = GetRichEditTextLength(richEdit);
    if (find.chrg.cpMin >= find.chrg.cpMax)
        return none;
    find.lpstrText = text;
    const WPARAM flags = FR_DOWN | (matchCase ? FR_MATCHCASE : 0);
    if (::SendMessageW(richEdit, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find)) < 0)
        return none;
    return find.chrgText;
}

int ReplaceAllRichEditText(HWND richEdit, LPCWSTR find, LPCWSTR replacement, bool matchCase)
{
    if (!find || !*find)
        return 0;
    if (!replacement)
        replacement = L"";
    const LONG replacementLength = static_cast<LONG>(std::wcslen(replacement));
    int count = 0;
    LONG start = 0;
    for (;;) {
        const CHARRANGE found = FindRichEditText(richEdit, find, start, matchCase);
        if (found.cpMin < 0 || found.cpMax <= found.cpMin)
            break;
        const LONG before = GetRichEditTextLength(richEdit);
        SetRichEditSelection(richEdit, found.cpMin, found.cpMax);
        ReplaceSelection(richEdit, replacement);
        // A part the control keeps (its last paragraph mark) is not counted.
        const bool replaced =
            GetRichEditTextLength(richEdit) != before ||
            GetRichEditTextRange(richEdit, found.cpMin, found.cpMin + replacementLength) == replacement;
        if (replaced)
            ++count;
        start = replaced ? found.cpMin + replacementLength : found.cpMax;
    }
    return count;
}

int StripRichEditCharAtEnds(HWND richEdit, wchar_t ch)
{
    const CString wanted(ch);
    int count = 0;
    const auto stripAt = [&](bool atEnd) {
        for (;;) {
            const LONG length = GetRichEditTextLength(richEdit);
            if (length <= 0)
                return;
            const LONG first = atEnd ? length - 1 : 0;
            if (GetRichEditTextRange(richEdit, first, first + 1) != wanted)
                return;
            SetRichEditSelection(richEdit, first, first + 1);
            ReplaceSelection(richEdit, L"");
            if (GetRichEditTextLength(richEdit) >= length)
                return; // the control keeps it
            ++count;
        }
    };
    stripAt(true);
    stripAt(false);
    return count;
}

int ChangeRichEditCase(HWND richEdit, bool upper)
{
    const LONG length = GetRichEditTextLength(richEdit);
    const CString text = GetRichEditTextRange(richEdit, 0, length);
    if (text.GetLength() != length)
        return 0;
    CString converted = text;
    wchar_t* buffer = converted.GetBuffer(length);
    if (upper)
        ::CharUpperBuffW(buffer, static_cast<DWORD>(length));
    else
        ::CharLowerBuffW(buffer, static_cast<DWORD>(length));
    converted.ReleaseBuffer(length);

    CHARRANGE selection{};
    ::SendMessageW(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    int changed = 0;
    for (LONG at = 0; at < length;) {
        if (text[at] == converted[at]) {
            ++at;
            continue;
        }
        LONG end = at + 1;
        while (end < length && text[end] != converted[end])
            ++end;
        ReplaceStretch(richEdit, at, end, converted);
        changed += end - at;
        at = end;
    }
    SetRichEditSelection(richEdit, selection.cpMin, selection.cpMax);
    return changed;
}

#include "common/TextUtilities.h"

#include "common/HotKeyText.h"
#include "common/LocalizedString.h"
#include "common/NumberTexts.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace
{
constexpr wchar_t kEllipsisText[] = L"\x2026";
constexpr wchar_t kMiddleMark[] = L"\x2026   \x2026";
constexpr wchar_t kLinesMark[] = L"\t\x2026\x2026\x2026";
constexpr UINT kLinesStringId = 277;
constexpr int kUrlFallbackHeadLength = 20;

// Head breaks of a menu line: the head may end before any of them.
constexpr wchar_t kHeadBreaks[] = L" \r\n\t,;?!^()+-\\/@|&*\"'";
// Tail breaks of a menu line: the tail may start after any of them.
const wchar_t* const kTailBreaks[] = {L" ", L"\r\n", L"\n", L"\r", L"\t"};
// Word breaks of TruncateAtWordWithEllipsis.
constexpr wchar_t kWordBreaks[] = L" \t\n\r?,.\\/!()";
const wchar_t* const kUrlSchemes[] = {L"http://", L"https://", L"ftp://"};

// Runs of three blanks, then of two, become one (one pass each).
void ShortenBlankRuns(CString& text)
{
    text.Replace(L"   ", L" ");
    text.Replace(L"  ", L" ");
}

void NormaliseFull(CString& text)
{
    text.Trim(L" \t\r\n\v\b");
    text.Replace(L"\r\n", L" ");
    text.Replace(L"\r", L" ");
    text.Replace(L"\n", L" ");
    ShortenBlankRuns(text);
}

void NormaliseForMenu(CString& text)
{
    text.Replace(L"\r\n", L" ");
    text.Replace(L"\n", L" ");
    text.Replace(L"\r", L" ");
    ShortenBlankRuns(text);
    text.Trim(L" \t\r\x00B6");
}

bool IsLongerThan(const CString& text, int maxLength)
{
    return static_cast<unsigned int>(text.GetLength()) > static_cast<unsigned int>(maxLength);
}

// The last position above 0 of any of the characters in the text; -1 for none.
int LastPositionOfAny(const CString& text, const wchar_t* characters)
{
    int last = -1;
    for (const wchar_t* c = characters; *c != L'\0'; ++c)
        last = std::max(last, text.ReverseFind(*c));
    return last > 0 ? last : -1;
}

// Where the tail of a shortened menu line starts: just after the first break
// at or after `from`, or `from` when there is none.
int MenuTailStart(const CString& text, int from)
{
    int start = -1;
    for (const wchar_t* breakText : kTailBreaks) {
        const int at = text.Find(breakText, std::max(from, 0));
        if (at <= 0)
            continue;
        const int after = at + static_cast<int>(wcslen(breakText));
        start = start < 0 ? after : std::min(start, after);
    }
    return start < 0 ? from : start;
}

// The length of the scheme a URL text starts with (letter case ignored); 0 for none.
int UrlSchemeLength(const CString& text)
{
    for (const wchar_t* scheme : kUrlSchemes) {
        const int length = static_cast<int>(wcslen(scheme));
        if (length < text.GetLength() && text.Left(length).CompareNoCase(scheme) == 0)
            return length;
    }
    return 0;
}

// The file-name character map, in key order.
const std::map<wchar_t, wchar_t>& FileNameCharMap()
{
    static const std::map<wchar_t, wchar_t> map = {
        {L'"', L'\''}, {L'*', L'\x2022'}, {L'/', L'_'},  {L':', L'-'}, {L'<', L'['},
        {L'>', L']'},  {L'?', L' '},      {L'\\', L'_'}, {L'|', L'_'}, {L'\x00AB', L'['},
    };
    return map;
}

CString CharForMapText(wchar_t c)
{
    return c == L' ' ? GetKeyNameForVk(VK_SPACE, false) : CString(c);
}

template <typename Char>
int CountLineFeeds(const Char* text, int length)
{
    if (text == nullptr || length <= 1)
        return 0;
    return static_cast<int>(std::count(text, text + length, static_cast<Char>('\n'))) + 1;
}
} // namespace

bool ShortenTextMiddle(CString& text, int maxLength)
{
    const CString original = text;
    NormaliseFull(text);
    if (IsLongerThan(text, maxLength)) {
        const int half = maxLength / 2;
        text = text.Left(half) + kMiddleMark + text.Right(half);
    }
    return text != original;
}

bool ShortenLineForMenu(CString& text, int maxLength)
{
    if (maxLength < 0 || text.GetLength() <= maxLength) {
        CString normalised = text;
        NormaliseForMenu(normalised);
        if (normalised == text)
            return false;
        text = normalised;
        return true;
    }
    NormaliseForMenu(text);
    if (text.GetLength() <= maxLength)
        return false;

    const int half = maxLength / 2;
    const int headBreak = LastPositionOfAny(text.Left(half), kHeadBreaks);
    const int headEnd = headBreak > 0 ? headBreak : half;
    const int tailStart = MenuTailStart(text, text.GetLength() - half);
    text = text.Left(headEnd) + kEllipsisText + text.Mid(tailStart);
    return true;
}

bool ShortenUrlForDisplay(CString& text, int maxLength)
{
    if (text.GetLength() <= maxLength)
        return true;
    const int schemeLength = UrlSchemeLength(text);
    if (schemeLength == 0)
        return false;
    const int separator = LastPositionOfAny(text, L"/&?");
    if (separator < 0)
        return false;

    CString tail = text.Mid(separator + 1);
    const int firstSlash = text.Find(L'/', schemeLength + 1);
    int headEnd = firstSlash + 1;
    if (firstSlash < 0 || firstSlash > separator) {
        headEnd = maxLength - tail.GetLength();
        if (headEnd < 0)
            headEnd = kUrlFallbackHeadLength;
    }
    CString head = text.Left(headEnd);

    int tailKeep = maxLength - head.GetLength();
    if (head.GetLength() > maxLength) {
        head = head.Left(maxLength / 2);
        tailKeep = std::min(maxLength - head.GetLength(), maxLength / 2);
    }
    text = head + L" " + kEllipsisText + L" " + tail.Right(std::max(tailKeep, 0));
    return true;
}

void TrimAndShortenForMenu(CString& text, int maxLength)
{
    text.Trim(L" \t\r\n\v\b");
    if (maxLength < 0 || text.GetLength() <= maxLength)
        return;
    if (!ShortenUrlForDisplay(text, maxLength))
        ShortenLineForMenu(text, maxLength);
}

CString WrapTextAtWidth(const CString& text, int width)
{
    if (width <= 0)
        return text;
    CString result;
    int lineStart = 0;
    for (int i = 0; i <= text.GetLength(); ++i) {
        if (i < text.GetLength() && text[i] != L'\n')
            continue;
        CString line = text.Mid(lineStart, i - lineStart);
        while (line.GetLength() > width) {
            const int blank = line.Left(width + 1).ReverseFind(L' ');
            const int cut = blank > 0 ? blank : width;
            result += line.Left(cut) + L"\n";
            line = line.Mid(blank > 0 ? cut + 1 : cut);
        }
        result += line;
        if (i < text.GetLength())
            result += L"\n";
        lineStart = i + 1;
    }
    return result;
}

bool TruncateAtWordWithEllipsis(CString& text, int maxLength)
{
    if (text.IsEmpty())
        return false;
    const int originalLength = text.GetLength();
    text.Trim(L"\n\r\t ");
    text.Replace(L'\n', L' ');
    text.Replace(L'\r', L' ');
    text.Replace(L'\t', L' ');
    ShortenBlankRuns(text);
    if (text.GetLength() < maxLength)
        return text.GetLength() != originalLength;

    int cut = maxLength;
    const int lastBreak = LastPositionOfAny(text.Left(std::max(maxLength, 0)), kWordBreaks);
    if (lastBreak > 0)
        cut = lastBreak;
    text = text.Left(std::max(cut, 0)) + kEllipsisText;
    return text.GetLength() != originalLength;
}

void TrimRightChar(CString& text, wchar_t ch)
{
    text.TrimRight(ch);
}

int CountLinesA(const char* bytes, int length)
{
    return CountLineFeeds(bytes, length);
}

int CountLinesW(const wchar_t* text, int length)
{
    return CountLineFeeds(text, length);
}

CString MakeLinesCountText(int count)
{
    return LoadLocalizedTextOr(kLinesStringId, L"Lines") + L": " + FormatNumberGrouped(count);
}

CString ShortenToFirstAndLastLines(const CString& text, int lineCount)
{
    if (lineCount <= 4)
        return text;
    int headEnd = -1;
    for (int found = 0, pos = 0; found < 3; ++found, pos = headEnd + 1) {
        headEnd = text.Find(L'\n', pos);
        if (headEnd < 0)
            return text;
    }
    int tailStart = text.GetLength();
    for (int found = 0; found < 3; ++found) {
        tailStart = text.Left(tailStart).ReverseFind(L'\n');
        if (tailStart < 0)
            return text;
    }
    const CString head = text.Left(headEnd + 1);
    const CString tail = text.Mid(tailStart + 1);
    if (tail.IsEmpty())
        return head;
    return head + L"\n" + kLinesMark + L"\n" + tail;
}

int ReplaceFileNameForbiddenChars(CString& text)
{
    int count = 0;
    for (const auto& [character, substitute] : FileNameCharMap())
        count += text.Replace(character, substitute);
    return count;
}

bool HasFileNameForbiddenChars(const CString& text)
{
    for (const auto& pair : FileNameCharMap()) {
        if (text.Find(pair.first) >= 0)
            return true;
    }
    return false;
}

CString GetFileNameCharMapText()
{
    CString result;
    for (const auto& [character, substitute] : FileNameCharMap()) {
        if (!result.IsEmpty())
            result += L"\r\n";
        result +=
            L"   (" + CharForMapText(character) + L")  \x203A\x203A  (" + CharForMapText(substitute) + L")";
    }
    return result;
}

#include "common/DateParsing.h"

#include "common/DateTimeTexts.h"
#include "common/SystemInfo.h"
#include "common/WellKnownNames.h"

#include <cwctype>
#include <iterator>

namespace
{
const wchar_t* const kMonthNames[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                      L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
constexpr int kNoMonth = 0;
constexpr int kMaxMonthNameLength = 15;

void SetWeekday(SYSTEMTIME& time)
{
    time.wDayOfWeek = static_cast<WORD>(DayOfWeekFromDate(time.wDay, time.wMonth, time.wYear));
}

// Reads the decimal digits of a text of at most `width` characters; 0 when it
// starts with none.
WORD ReadDigits(const CString& text, int width)
{
    int value = 0;
    for (int i = 0; i < width && i < text.GetLength() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value * 10 + (text[i] - L'0');
    return static_cast<WORD>(value);
}

// A cursor over a text read the way a scanf format reads it: blanks before a
// number or a word are skipped, numbers have an optional sign.
class FieldReader
{
public:
    explicit FieldReader(const CString& text) : m_text(text) {}

    bool ReadNumber(int maxDigits, WORD& value)
    {
        SkipBlanks();
        int pos = m_pos;
        bool negative = false;
        if (At(pos) == L'+' || At(pos) == L'-')
            negative = At(pos++) == L'-';
        int number = 0;
        int digits = 0;
        for (; digits < maxDigits && At(pos) >= L'0' && At(pos) <= L'9'; ++digits, ++pos)
            number = number * 10 + (At(pos) - L'0');
        if (digits == 0)
            return false;
        m_pos = pos;
        value = static_cast<WORD>(negative ? -number : number);
        return true;
    }

    bool ReadWord(int maxLength, CString& word)
    {
        SkipBlanks();
        const int start = m_pos;
        while (m_pos - start < maxLength && At(m_pos) != L'\0' && !std::iswspace(At(m_pos)))
            ++m_pos;
        word = m_text.Mid(start, m_pos - start);
        return !word.IsEmpty();
    }

    bool Expect(wchar_t c)
    {
        if (At(m_pos) != c)
            return false;
        ++m_pos;
        return true;
    }

private:
    wchar_t At(int pos) const { return m_text.GetAt(pos); }
    void SkipBlanks()
    {
        while (At(m_pos) != L'\0' && std::iswspace(At(m_pos)))
            ++m_pos;
    }

    const CString& m_text;
    int m_pos = 0;
};
} // namespace

int MonthFromName(const wchar_t* name, int fallback)
{
    if (name == nullptr)
        return fallback;
    for (int i = 0; i < static_cast<int>(std::size(kMonthNames)); ++i) {
        if (::lstrcmpiW(name, kMonthNames[i]) == 0)
            return i + 1;
    }
    return fallback;
}

bool ParseBuildDate(const CString& stamp, SYSTEMTIME& result)
{
    CString text = stamp;
    text.Replace(L"  ", L" ");
    if (text.IsEmpty())
        return false;

    result = SYSTEMTIME{};
    int start = 0;
    const CString month = text.Tokenize(L" ", start);
    const CString day = text.Tokenize(L" ", start);
    const CString year = text.Tokenize(L" ", start);
    result.wMonth = static_cast<WORD>(MonthFromName(month, 1));
    result.wDay = ReadDigits(day, 2);
    result.wYear = ReadDigits(year, 4);
    SetWeekday(result);

    const int firstColon = text.Find(L':', 1);
    if (firstColon > 2) {
        result.wHour = ReadDigits(text.Mid(firstColon - 2), 2);
        const int secondColon = text.Find(L':', firstColon + 1);
        if (secondColon >= 0) {
            result.wMinute = ReadDigits(text.Mid(secondColon - 2), 2);
            result.wSecond = ReadDigits(text.Mid(secondColon + 1), 2);
        }
    }
    return true;
}

bool ParseProgramBuildDate(SYSTEMTIME& result)
{
    return ParseBuildDate(GetBuildStamp(), result);
}

CString GetBuildDateText()
{
    SYSTEMTIME date{};
    if (!ParseProgramBuildDate(date))
        return GetBuildStamp();
    return DateTimeToText(date);
}

bool ParseHttpDate(const CString& date, SYSTEMTIME& result)
{
    if (date.IsEmpty())
        return false;
    CString text = date;
    text.Replace(L"GMT", L"");
    text.Trim(L' ');

    SYSTEMTIME parsed{};
    CString month;
    FieldReader reader(text);
    // Like scanf, reading stops at the first field that does not match.
    (void)(reader.ReadNumber(2, parsed.wDay) && reader.ReadWord(kMaxMonthNameLength, month) &&
           reader.ReadNumber(4, parsed.wYear) && reader.ReadNumber(2, parsed.wHour) && reader.Expect(L':') &&
           reader.ReadNumber(2, parsed.wMinute) && reader.Expect(L':') &&
           reader.ReadNumber(2, parsed.wSecond));

    parsed.wMonth = static_cast<WORD>(MonthFromName(month, kNoMonth));
    if (month.IsEmpty() || parsed.wMonth == kNoMonth)
        return false;
    SetWeekday(parsed);
    result = parsed;
    return true;
}

#include "common/NumberTexts.h"

#include "common/LocalizedString.h"

#include <cwctype>

namespace
{
const wchar_t* const kHundreds[] = {L"",    L"сто",  L"двести", L"триста", L"четыреста",
                                    L"пят", L"шест", L"сем",    L"восем",  L"девят"};
const wchar_t* const kTens[] = {L"",     L"",      L" двадцать", L" тридцать", L" сорок",
                                L" пят", L" шест", L" сем",      L" восем",    L" девяносто"};
const wchar_t* const kUnits[] = {L"",       L" один", L" два",    L" три",    L" четыре", L" пять",
                                 L" шесть", L" семь", L" восемь", L" девять", L" десять"};
const wchar_t* const kTeenStems[] = {L"",     L" один", L" две", L" три",   L" четыр",
                                     L" пят", L" шест", L" сем", L" восем", L" девят"};
const wchar_t* const kFeminineUnits[] = {L"", L" одна", L" две"};
const wchar_t* const kGroupNames[] = {L"", L" тысяч", L" миллион", L" миллиард", L" триллион"};
const wchar_t* const kThousandEndings[] = {L"а", L"и", L""};
const wchar_t* const kLargeGroupEndings[] = {L"", L"а", L"ов"};

constexpr int kThousandsGroup = 1;

// 0 for "один", 1 for "два".."четыре", 2 for the rest (and for 11..19).
int PluralClass(unsigned int units)
{
    const unsigned int lastTwo = units % 100;
    if (lastTwo >= 5 && lastTwo <= 19)
        return 2;
    const unsigned int last = units % 10;
    if (last == 1)
        return 0;
    if (last >= 2 && last <= 4)
        return 1;
    return 2;
}

void AppendUnits(CString& words, unsigned int units, int group)
{
    if (group == kThousandsGroup && (units == 1 || units == 2))
        words += kFeminineUnits[units];
    else if (units <= 10)
        words += kUnits[units];
    else {
        words += kTeenStems[units - 10];
        words += L"надцать";
    }
}

void AppendGroupName(CString& words, unsigned int units, int group)
{
    if (group <= 0)
        return;
    words += kGroupNames[group];
    if (group == kThousandsGroup)
        words += kThousandEndings[PluralClass(units)];
    else
        words += kLargeGroupEndings[PluralClass(units)];
}

// Appends the words of `number`, whose lowest three digits form group `group`.
void AppendGroups(CString& words, unsigned int number, int group)
{
    if (number >= 1000)
        AppendGroups(words, number / 1000, group + 1);
    const unsigned int value = number % 1000;
    if (value == 0)
        return;
    const unsigned int hundreds = value / 100;
    if (hundreds > 0) {
        words += L" ";
        words += kHundreds[hundreds];
        if (hundreds >= 5)
            words += L"ьсот";
    }
    unsigned int rest = value % 100;
    if (rest >= 20) {
        const unsigned int tens = rest / 10;
        words += kTens[tens];
        if (tens >= 5 && tens <= 8)
            words += L"ьдесят";
        rest %= 10;
    }
    AppendUnits(words, rest, group);
    AppendGroupName(words, rest, group);
}

// The value of a run of the digits 0-9; false when it holds another digit or
// does not fit in 32 unsigned bits.
bool ReadUnsigned32(const CString& digits, unsigned int& value)
{
    unsigned long long total = 0;
    for (int i = 0; i < digits.GetLength(); ++i) {
        const wchar_t c = digits[i];
        if (c < L'0' || c > L'9')
            return false;
        total = total * 10 + static_cast<unsigned int>(c - L'0');
        if (total > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<unsigned int>(total);
    return true;
}
} // namespace

CString NumberToRussianWords(unsigned int number)
{
    if (number == 0)
        return L"ноль";
    CString words;
    words.Preallocate(500);
    AppendGroups(words, number, 0);
    words.Trim(L' ');
    return words;
}

int SplitDigitRuns(const CString& text, std::vector<TextRun>& runs)
{
    runs.clear();
    const int length = text.GetLength();
    int start = 0;
    while (start < length) {
        const bool digits = std::iswdigit(text[start]) != 0;
        int end = start + 1;
        while (end < length && (std::iswdigit(text[end]) != 0) == digits)
            ++end;
        runs.push_back(TextRun{text.Mid(start, end - start), digits});
        start = end;
    }
    return static_cast<int>(runs.size());
}

CString SpellNumbersInText(const CString& text)
{
    std::vector<TextRun> runs;
    SplitDigitRuns(text, runs);
    CString result;
    for (const TextRun& run : runs) {
        unsigned int value = 0;
        if (run.isDigits && ReadUnsigned32(run.text, value))
            result += NumberToRussianWords(value);
        else
            result += run.text;
    }
    return result;
}

CString FormatNumberGrouped(long long number)
{
    CString digits;
    digits.Format(L"%lld", number);
    const int signLength = number < 0 ? 1 : 0;
    for (int pos = digits.GetLength() - 3; pos > signLength; pos -= 3)
        digits.Insert(pos, L' ');
    return digits;
}

CString FormatCharsCountText(int count)
{
    constexpr UINT kCharsTextId = 259;
    return LoadLocalizedTextOr(kCharsTextId, L"Chars") + L": " + FormatNumberGrouped(count);
}

#include "common/InvariantCompare.h"

namespace
{

LPCWSTR SafeText(LPCWSTR text)
{
    return text ? text : L"";
}

wchar_t UpperInvariant(wchar_t ch)
{
    wchar_t mapped = ch;
    if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &ch, 1, &mapped, 1) != 1)
        return ch;
    return mapped;
}

bool MapInvariant(CString& text, DWORD flags)
{
    const int length = text.GetLength();
    if (length == 0)
        return true;
    CString mapped;
    wchar_t* buffer = mapped.GetBufferSetLength(length);
    const int written = ::LCMapStringW(LOCALE_INVARIANT, flags, text.GetString(), length, buffer, length);
    mapped.ReleaseBuffer(written == length ? length : 0);
    if (written != length)
        return false;
    text = mapped;
    return true;
}

} // namespace

bool IsEqualInvariant(LPCWSTR a, LPCWSTR b)
{
    if (a == b)
        return true;
    return ::CompareStringW(LOCALE_INVARIANT, 0, SafeText(a), -1, SafeText(b), -1) == CSTR_EQUAL;
}

int CompareTextCaseOpt(LPCWSTR a, LPCWSTR b, bool caseSensitive)
{
    if (a == b)
        return 0;
    a = SafeText(a);
    b = SafeText(b);
    for (;; ++a, ++b) {
        if (*a == *b) {
            if (!*a)
                return 0;
            continue;
        }
        if (!*a || !*b || caseSensitive)
            return static_cast<int>(*a) - static_cast<int>(*b);
        const wchar_t upperA = UpperInvariant(*a);
        const wchar_t upperB = UpperInvariant(*b);
        if (upperA != upperB)
            return static_cast<int>(upperA) - static_cast<int>(upperB);
    }
}

int FindTextCaseOpt(LPCWSTR text, LPCWSTR part, int start)
{
    CString upperText(SafeText(text));
    CString upperPart(SafeText(part));
    if (upperText.IsEmpty() || upperPart.IsEmpty() || start < 0 || start >= upperText.GetLength())
        return -1;
    if (!MakeUpperInvariant(upperText) || !MakeUpperInvariant(upperPart))
        return -1;
    return upperText.Find(upperPart, start);
}

bool MakeUpperInvariant(CString& text)
{
    return MapInvariant(text, LCMAP_UPPERCASE);
}

bool MakeLowerInvariant(CString& text)
{
    return MapInvariant(text, LCMAP_LOWERCASE);
}

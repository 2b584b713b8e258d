#include "common/TextDecoration.h"

namespace
{
constexpr wchar_t kGuillemetRight = L'\x00BB';
constexpr wchar_t kGuillemetLeft = L'\x00AB';
constexpr wchar_t kEmDash = L'\x2014';
constexpr wchar_t kBullet = L'\x2022';
constexpr wchar_t kEllipsis = L'\x2026';

int g_indentWidth = 0;

void AppendLine(CString& text, const CString& line, bool newlineAfter)
{
    if (!text.IsEmpty())
        text += L'\n';
    text += line;
    if (newlineAfter)
        text += L'\n';
}
} // namespace

CString RepeatChar(wchar_t c, int n)
{
    if (n <= 0)
        return CString();
    return CString(c, n);
}

CString MakeSpaces(int n)
{
    return RepeatChar(L' ', n);
}

CString MakeOneSpace()
{
    return CString(L' ', 1);
}

CString MakeGuillemetItem(const CString& text, int n)
{
    return RepeatChar(kGuillemetRight, n < 1 ? 1 : n) + L" " + text;
}

CString MakeGuillemetItem(const CString& text)
{
    return MakeGuillemetItem(text, 1);
}

CString EncloseIn(const CString& text, const wchar_t* open, const wchar_t* close)
{
    CString result(open);
    result += text;
    result += close;
    return result;
}

CString EncloseInSquareBrackets(const CString& text)
{
    return EncloseIn(text, L"[", L"]");
}

CString EncloseInBraces(const CString& text)
{
    return EncloseIn(text, L"{", L"}");
}

CString EncloseInGuillemets(const CString& text)
{
    const wchar_t open[] = {kGuillemetLeft, 0};
    const wchar_t close[] = {kGuillemetRight, 0};
    return EncloseIn(text, open, close);
}

CString EncloseInParentheses(const CString& text)
{
    return EncloseIn(text, L"(", L")");
}

CString EncloseByKind(const CString& text, int kind)
{
    switch (kind) {
    case EncloseSquare:
        return EncloseInSquareBrackets(text);
    case EncloseParentheses:
        return EncloseInParentheses(text);
    case EncloseBraces:
        return EncloseInBraces(text);
    default:
        return CString();
    }
}

CString LabelWithValue(const CString& label, const CString& value, const CString& separator, int kind)
{
    return label + separator + EncloseByKind(value, kind);
}

CString LabelWithBracketedValue(const CString& label, const CString& value)
{
    return label + L" " + EncloseInSquareBrackets(value);
}

void AppendRepeatedLine(CString& text, const CString& piece, int n, bool newlineAfter)
{
    CString line;
    for (int i = 0; i < n; ++i)
        line += piece;
    AppendLine(text, line, newlineAfter);
}

int* GetIndentWidthPtr()
{
    return &g_indentWidth;
}

void AppendIndentLine(CString& text, bool newlineAfter)
{
    AppendRepeatedLine(text, L" ", *GetIndentWidthPtr(), newlineAfter);
}

void AppendDashLine(CString& text, int n, bool newlineAfter)
{
    AppendLine(text, MakeDashes(n), newlineAfter);
}

CString MakeDashes(int n)
{
    return RepeatChar(kEmDash, n);
}

CString MakeTitledDashLine(int width, const CString& title, int n)
{
    int right = width - n;
    if (right < 0)
        right = width;
    return MakeDashes(n) + L" " + title + L" " + MakeDashes(right);
}

CString MakeBullet(int n)
{
    return RepeatChar(kBullet, n);
}

CString MakeBullet()
{
    return MakeBullet(1);
}

CString MakeBulletItem(const CString& text)
{
    return MakeBullet() + L" " + text;
}

CString MakeBulletPrefix()
{
    return MakeBullet() + L"  ";
}

CString MakeGuillemet(int n)
{
    return RepeatChar(kGuillemetRight, n);
}

CString MakeGuillemet()
{
    return MakeGuillemet(1);
}

CString MakeEllipsis(int n)
{
    return RepeatChar(kEllipsis, n);
}

CString MakeEllipsis()
{
    return MakeEllipsis(1);
}

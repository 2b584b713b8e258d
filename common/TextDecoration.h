#pragma once

// Typographic decoration of the lines shown in tooltips and reports: repeated
// characters, brackets, guillemets, em dashes, bullets and indentation.

#include "platform/CString.h"

// n copies of c; an empty text for n 0 or less.
CString RepeatChar(wchar_t c, int n);
// n blanks / one blank.
CString MakeSpaces(int n);
CString MakeOneSpace();

// n times "»" (at least one), a blank and the text.
CString MakeGuillemetItem(const CString& text, int n);
CString MakeGuillemetItem(const CString& text);

// open + text + close.
CString EncloseIn(const CString& text, const wchar_t* open, const wchar_t* close);
CString EncloseInSquareBrackets(const CString& text); // [text]
CString EncloseInBraces(const CString& text);         // {text}
CString EncloseInGuillemets(const CString& text);     // «text»
CString EncloseInParentheses(const CString& text);    // (text)

// Bracket kinds of EncloseByKind and LabelWithValue.
enum EncloseKind : int
{
    EncloseSquare = 0,
    EncloseParentheses = 1,
    EncloseBraces = 2,
};
// The text in square brackets (0), parentheses (1) or braces (2); empty for other kinds.
CString EncloseByKind(const CString& text, int kind);

// label + separator + EncloseByKind(value, kind).
CString LabelWithValue(const CString& label, const CString& value, const CString& separator, int kind);
// label + " [" + value + "]".
CString LabelWithBracketedValue(const CString& label, const CString& value);

// Appends a line of n copies of piece: a line break first when the text is not
// empty, then the line, then a line break when newlineAfter is set.
void AppendRepeatedLine(CString& text, const CString& piece, int n, bool newlineAfter);

// The process-wide indent width (initially 0) that AppendIndentLine uses.
int* GetIndentWidthPtr();
// AppendRepeatedLine with a blank repeated indent-width times.
void AppendIndentLine(CString& text, bool newlineAfter);

// Appends a line of n em dashes (U+2014): a line break first when the text is
// not empty, then the dashes, then a line break when newlineAfter is set.
void AppendDashLine(CString& text, int n, bool newlineAfter);
// n em dashes.
CString MakeDashes(int n);
// n dashes, " title ", then width - n dashes (width dashes when width - n is
// negative); a run of 0 or fewer dashes is left out.
CString MakeTitledDashLine(int width, const CString& title, int n);

// n / one bullet (U+2022).
CString MakeBullet(int n);
CString MakeBullet();
// bullet + " " + text.
CString MakeBulletItem(const CString& text);
// bullet and two blanks.
CString MakeBulletPrefix();

// n / one "»".
CString MakeGuillemet(int n);
CString MakeGuillemet();
// n / one "…" (U+2026).
CString MakeEllipsis(int n);
CString MakeEllipsis();

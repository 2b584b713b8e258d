#pragma once

// Numbers as text: written out in Russian words, digits grouped by blanks, and
// the cutting of a text into runs of digits and of other characters.

#include "platform/CString.h"

#include <vector>

// The number in Russian words ("ноль" for 0): "двадцать один", "одна тысяча",
// "два миллиарда"; single blanks between the words, none at the ends.
CString NumberToRussianWords(unsigned int number);

// One maximal run of a text: all digits (iswdigit) or no digit at all.
struct TextRun
{
    CString text;
    bool isDigits = false;
};

// Cuts the text into maximal runs of digits and of other characters, in order;
// returns their number (0 for an empty text).
int SplitDigitRuns(const CString& text, std::vector<TextRun>& runs);

// The text with every run of decimal digits replaced by its Russian words;
// other characters stay. A run whose value does not fit in 32 unsigned bits
// (or that holds digits other than 0-9) stays as it is.
CString SpellNumbersInText(const CString& text);

// The decimal text of n with a blank between groups of three digits counted
// from the right ("1 234 567"); up to three digits unchanged.
CString FormatNumberGrouped(long long number);
// "Chars" (string 259) + ": " + the count grouped by blanks.
CString FormatCharsCountText(int count);

#pragma once

// Dotted version numbers ("5.1.2.345") as lists of numbers, compared part by
// part as numbers (1.10 is newer than 1.9.9.9).

#include <vector>

#include "platform/CString.h"

class CVersionNumbers
{
public:
    // The parts joined by "." (1, 2, 3, 4 give "1.2.3.4"); empty for no parts.
    CString ToText() const;

    std::vector<int> parts;
};

// Appends the parts of a dotted text: the text is cut at each "."; each
// non-empty piece is read as a decimal number (leading blanks and one sign
// allowed, only its leading digits count, a piece without digits gives 0, a
// number beyond the int range is held at its limit). Empty pieces are skipped.
void ParseVersionNumbers(LPCWSTR text, CVersionNumbers& list);

// True when `a` is newer than `b`: at the first of the common positions where
// the two differ, `a`'s part is greater. Equal common parts give false, also
// when `a` has more parts (1.2.1 is not newer than 1.2).
bool CompareVersionNumbers(const CVersionNumbers& a, const CVersionNumbers& b);

// The program's own ProductVersion (version resource of the running program,
// "," as ".", blanks removed), split. False, leaving the list alone, when no
// version resource is readable.
bool ReadOwnVersionNumbers(CVersionNumbers& list);

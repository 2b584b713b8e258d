#include "online/LocalizedStringParts.h"

#include "common/LocalizedString.h"

CString SplitAtFirstLineBreak(const CString& text, bool first)
{
    const int lineBreak = text.Find(L'\n', 1);
    if (lineBreak < 0)
        return text;
    return first ? text.Left(lineBreak) : text.Mid(lineBreak + 1);
}

CString GetLocalizedStringFirstLine(UINT id)
{
    return SplitAtFirstLineBreak(LoadLocalizedString(id), true);
}

CString GetLocalizedStringRest(UINT id)
{
    return SplitAtFirstLineBreak(LoadLocalizedString(id), false);
}

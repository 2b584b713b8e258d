#include "editor/app/document/PhraseFileMerge.h"

namespace
{

// The parts of a date a phrase file keeps.
bool SameStoredDate(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

// One field: the file's value when the editor left it as it was, else the editor's.
template <typename T, typename Same>
T Pick(const T& base, const T& mine, const T& theirs, Same same)
{
    return same(mine, base) ? theirs : mine;
}

template <typename T>
T Pick(const T& base, const T& mine, const T& theirs)
{
    return Pick(base, mine, theirs, [](const T& a, const T& b) { return a == b; });
}

bool SameText(const CString& a, const CString& b)
{
    return a.Compare(b) == 0;
}

} // namespace

PhraseFileFields PhraseFileFields::Of(const PhraseItemRecord& record)
{
    PhraseFileFields fields;
    fields.title = record.title;
    fields.hint = record.hint;
    fields.body = record.body;
    fields.dataType = record.dataType;
    fields.sortId = record.sortId;
    fields.useTitleOnly = record.useTitleOnly;
    fields.dateUsage = record.dateUsage;
    fields.disabledIsNoHasSelection = record.disabledIsNoHasSelection;
    fields.usageCount = record.usageCount;
    fields.included = record.included;
    fields.flagsMenu = record.flagsMenu;
    return fields;
}

void PhraseFileFields::ApplyTo(PhraseItemRecord& record) const
{
    record.SetTitle(title);
    record.SetHint(hint);
    record.body = body;
    record.dataType = dataType;
    record.sortId = sortId;
    record.useTitleOnly = useTitleOnly;
    record.dateUsage = dateUsage;
    record.disabledIsNoHasSelection = disabledIsNoHasSelection;
    record.usageCount = usageCount;
    record.included = included;
    record.flagsMenu = flagsMenu;
}

bool PhraseFileFields::operator==(const PhraseFileFields& other) const
{
    return SameText(title, other.title) && SameText(hint, other.hint) && SameText(body, other.body) &&
           dataType == other.dataType && sortId == other.sortId && useTitleOnly == other.useTitleOnly &&
           SameStoredDate(dateUsage, other.dateUsage) &&
           disabledIsNoHasSelection == other.disabledIsNoHasSelection && usageCount == other.usageCount &&
           included == other.included && flagsMenu == other.flagsMenu;
}

bool BodyChangedOnBothSides(const PhraseFileFields& base, const PhraseFileFields& mine,
                            const PhraseFileFields& theirs)
{
    return !SameText(mine.body, base.body) && !SameText(theirs.body, base.body) &&
           !SameText(mine.body, theirs.body);
}

PhraseFileFields MergePhraseFields(const PhraseFileFields& base, const PhraseFileFields& mine,
                                   const PhraseFileFields& theirs, bool keepMyBody)
{
    PhraseFileFields merged;
    merged.title = Pick(base.title, mine.title, theirs.title, SameText);
    merged.hint = Pick(base.hint, mine.hint, theirs.hint, SameText);
    merged.body = Pick(base.body, mine.body, theirs.body, SameText);
    if (BodyChangedOnBothSides(base, mine, theirs))
        merged.body = keepMyBody ? mine.body : theirs.body;
    merged.dataType = Pick(base.dataType, mine.dataType, theirs.dataType);
    merged.sortId = Pick(base.sortId, mine.sortId, theirs.sortId);
    merged.useTitleOnly = Pick(base.useTitleOnly, mine.useTitleOnly, theirs.useTitleOnly);
    merged.dateUsage = Pick(base.dateUsage, mine.dateUsage, theirs.dateUsage, SameStoredDate);
    merged.disabledIsNoHasSelection =
        Pick(base.disabledIsNoHasSelection, mine.disabledIsNoHasSelection, theirs.disabledIsNoHasSelection);
    merged.usageCount = Pick(base.usageCount, mine.usageCount, theirs.usageCount);
    merged.included = Pick(base.included, mine.included, theirs.included);
    merged.flagsMenu = Pick(base.flagsMenu, mine.flagsMenu, theirs.flagsMenu);
    return merged;
}

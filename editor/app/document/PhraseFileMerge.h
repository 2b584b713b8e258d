#pragma once
// Carrying over what another program wrote into a phrase file while the editor had it open.
//
// A save compares three states of the phrase's fields: the file as the editor last read or wrote it
// (base), the editor's record (mine) and the file as it is now (theirs). A field the editor did not
// change takes the file's value (uses counted by the main program, a body rewritten elsewhere); a field
// only the editor changed keeps the editor's value; a field both changed keeps the editor's, except the
// body, which the caller decides (keep mine or take the file's).

#include <windows.h>

#include "engine/PhraseItemRecord.h"
#include "platform/CString.h"

struct PhraseFileFields
{
    CString title;
    CString hint;
    CString body;
    int dataType = 0;
    int sortId = 0;
    int useTitleOnly = 0;
    SYSTEMTIME dateUsage{};
    int disabledIsNoHasSelection = 0;
    unsigned int usageCount = 0;
    int included = 1;
    int flagsMenu = 0;

    static PhraseFileFields Of(const PhraseItemRecord& record);
    void ApplyTo(PhraseItemRecord& record) const;
    bool operator==(const PhraseFileFields& other) const;
    bool operator!=(const PhraseFileFields& other) const { return !(*this == other); }
};

// True when the body changed both in the editor and in the file since `base`.
bool BodyChangedOnBothSides(const PhraseFileFields& base, const PhraseFileFields& mine,
                            const PhraseFileFields& theirs);

// The fields to write: `keepMyBody` decides a body changed on both sides.
PhraseFileFields MergePhraseFields(const PhraseFileFields& base, const PhraseFileFields& mine,
                                   const PhraseFileFields& theirs, bool keepMyBody);

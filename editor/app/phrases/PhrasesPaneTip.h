#pragma once
// The tooltip of a phrase tree item: markup for the editor's HTML tooltip with the item's name, the
// start of a phrase's text (its macro names highlighted), its data format, its file or folder, usage
// and menu flags. Texts that come from the record have "<" and ">" written as "&lt;" and "&gt;".

#include "platform/CString.h"

#include <vector>

class PhraseItemRecord;

// What the tooltip says about one record, already turned into texts.
struct PhraseTipFacts
{
    bool group = false;
    CString title;
    CString path;
    int kind = 0;        // 0 plain text, 1 formatted text (RTF), 2 start as application
    bool hasData = true; // false: the phrase has no body
    CString bodyText;    // the body as plain text
    unsigned usageCount = 0;
    CString lastUsed; // empty: never used
    bool disabledIsNoSelection = false;
    bool useTitleOnly = false;
};

// The longest tooltip text; longer ones are cut.
constexpr int kPhraseTipMaxLength = 1000000;
// The body preview stops at the last blank before this many characters and ends with an ellipsis.
constexpr int kPhraseTipPreviewLength = 512;

// The markup of the facts; each of the macro names found in the preview is highlighted.
CString BuildPhraseTipText(const PhraseTipFacts& facts, const std::vector<CString>& macroNames);

// The facts of a record: an RTF body as plain text, the last use as a local date and time text.
PhraseTipFacts PhraseTipFactsOf(const PhraseItemRecord& record);

// BuildPhraseTipText of the record's facts with the editor's macro names.
CString PhraseItemTipText(const PhraseItemRecord& record);

#pragma once
// Cutting a phrase text into plain runs and prompt marks ("%PROMPT_TEXT={" + a default text + "}%",
// engine/InputMarkers.h). Marks are found without regard to letter case.

#include <vector>

#include "platform/CString.h"

struct PhrasePart
{
    static constexpr int kPlain = 0;
    static constexpr int kPrompt = 1;

    CString text; // the run as it stands in the phrase, a prompt mark with its marks
    int type = kPlain;
    CString defaultText; // a prompt mark's default text (what stands between "={" and "}%")
    int start = 0;       // where the run begins in the phrase text
};

// Replaces `parts` with the runs of the text, in order; together they give back the whole text.
// A text without marks is one plain part (an empty text too); an open mark without a close mark
// makes the rest of the text, from that mark on, a plain run. Always true.
bool SplitPhraseParts(const CString& text, std::vector<PhrasePart>& parts);

// True when any of the parts is a prompt mark.
bool HasPromptPart(const std::vector<PhrasePart>& parts);

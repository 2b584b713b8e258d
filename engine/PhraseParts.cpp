#include "engine/PhraseParts.h"

#include "common/InvariantCompare.h"
#include "engine/InputMarkers.h"

namespace
{
struct Run
{
    int start = 0;
    int length = 0;
};

bool StartsWithNoCase(const CString& text, const CString& head)
{
    return text.GetLength() >= head.GetLength() &&
           CompareTextCaseOpt(text.Left(head.GetLength()), head, false) == 0;
}

bool EndsWithNoCase(const CString& text, const CString& tail)
{
    return text.GetLength() >= tail.GetLength() &&
           CompareTextCaseOpt(text.Right(tail.GetLength()), tail, false) == 0;
}

void AddRun(std::vector<Run>& runs, int start, int end)
{
    if (end > start)
        runs.push_back(Run{start, end - start});
}

std::vector<Run> FindRuns(const CString& text, const CString& open, const CString& close)
{
    std::vector<Run> runs;
    const int length = text.GetLength();
    int position = 0;
    while (position < length) {
        const int openAt = FindTextCaseOpt(text, open, position);
        if (openAt < 0)
            break;
        AddRun(runs, position, openAt);
        const int closeAt = FindTextCaseOpt(text, close, openAt + open.GetLength());
        if (closeAt < 0) {
            position = openAt;
            break;
        }
        position = closeAt + close.GetLength();
        AddRun(runs, openAt, position);
    }
    AddRun(runs, position, length);
    return runs;
}

PhrasePart ClassifyRun(const CString& text, const Run& run, const CString& open, const CString& close)
{
    PhrasePart part;
    part.text = text.Mid(run.start, run.length);
    part.start = run.start;
    if (!StartsWithNoCase(part.text, open) || !EndsWithNoCase(part.text, close))
        return part;
    part.type = PhrasePart::kPrompt;
    const int equalsAt = part.text.Find(L"={", 1);
    if (equalsAt >= 0) {
        const int first = equalsAt + 2;
        const int last = part.text.GetLength() - close.GetLength();
        if (last > first)
            part.defaultText = part.text.Mid(first, last - first);
    }
    return part;
}
} // namespace

bool SplitPhraseParts(const CString& text, std::vector<PhrasePart>& parts)
{
    parts.clear();
    const InputMarker* marker = GetInputMarker(0);
    const CString open(marker->start);
    const CString close(marker->end);

    const std::vector<Run> runs = FindRuns(text, open, close);
    if (runs.empty()) {
        parts.push_back(PhrasePart{text, PhrasePart::kPlain, CString(), 0});
        return true;
    }
    for (const Run& run : runs)
        parts.push_back(ClassifyRun(text, run, open, close));
    return true;
}

bool HasPromptPart(const std::vector<PhrasePart>& parts)
{
    for (const PhrasePart& part : parts) {
        if (part.type == PhrasePart::kPrompt)
            return true;
    }
    return false;
}

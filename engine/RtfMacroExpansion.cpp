#include "engine/RtfMacroExpansion.h"

#include "common/RichEditConversion.h"
#include "common/RichEditEditing.h"
#include "engine/KeyboardLayoutMacros.h"
#include "engine/MacroEngine.h"

namespace
{
// Replaces every occurrence; the search goes on after each inserted value, so a value holding
// its own macro is inserted once. Returns the number of replacements.
int ReplaceAll(HWND richEdit, const CString& find, const CString& replacement)
{
    int count = 0;
    for (int next = 0; RichEditReplaceText(richEdit, find, replacement, next, &next) >= 0;)
        ++count;
    return count;
}

bool LoadRtf(HWND richEdit, const CString& rtf)
{
    if (richEdit == nullptr)
        return false;
    ::SetWindowTextW(richEdit, L"");
    return SetRichEditTextAuto(richEdit, rtf);
}
} // namespace

int RichEditReplaceText(HWND richEdit, const CString& find, const CString& replacement, int start, int* end)
{
    const CHARRANGE found = FindRichEditText(richEdit, find, start);
    if (found.cpMin < 0)
        return -1;

    CHARFORMATW before{};
    before.cbSize = sizeof(before);
    bool uniformColour = false;
    if (found.cpMin > 0) {
        SetRichEditSelection(richEdit, found.cpMin - 1, found.cpMin);
        before.dwMask = CFM_COLOR;
        ::SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&before));
        uniformColour = (before.dwMask & CFM_COLOR) != 0;
    }
    SetRichEditSelection(richEdit, found.cpMin, found.cpMax);
    if (uniformColour) {
        before.dwMask = CFM_COLOR;
        ::SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&before));
    }
    ::SendMessageW(richEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(replacement.GetString()));
    if (end != nullptr) {
        // The caret stands after the inserted text (line breaks in it may have become one character).
        CHARRANGE caret{};
        ::SendMessageW(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        *end = caret.cpMax;
    }
    return found.cpMin;
}

int ExpandRtfMacros(CString& rtf, const CString& selected, const CString& clipboard, int* caretSteps,
                    LANGID* layoutId, LCID lcid, HWND richEdit)
{
    if (caretSteps != nullptr)
        *caretSteps = 0;
    if (layoutId != nullptr)
        *layoutId = 0;
    if (!LoadRtf(richEdit, rtf))
        return 0;

    int replacements = 0;
    for (const auto& [macro, language] : BuildLayoutMacroMap()) {
        const int count = ReplaceAll(richEdit, macro, CString());
        if (count > 0 && layoutId != nullptr)
            *layoutId = language;
        replacements += count;
    }
    for (const CString& name : GetMacroTable()) {
        if (name == kMacroCursorPos || FindRichEditText(richEdit, name, 0).cpMin < 0)
            continue;
        replacements += ReplaceAll(richEdit, name, GetMacroValue(name, selected, clipboard, lcid));
    }

    const int firstMark = RichEditReplaceText(richEdit, kMacroCursorPos, CString(), 0, nullptr);
    if (firstMark >= 0) {
        replacements += 1 + ReplaceAll(richEdit, kMacroCursorPos, CString());
        if (caretSteps != nullptr)
            *caretSteps = GetRichEditTextLength(richEdit) - firstMark;
    }

    if (replacements > 0)
        rtf = GetRichEditRtf(richEdit);
    return replacements;
}

LANGID GetRtfActivateKlLayout(const CString& rtf)
{
    if (rtf.IsEmpty())
        return 0;
    const HWND converter = GetRichEditConverter();
    if (!LoadRtf(converter, rtf))
        return 0;
    LANGID language = 0;
    for (const auto& [macro, id] : BuildLayoutMacroMap()) {
        if (ReplaceAll(converter, macro, CString()) > 0)
            language = id;
    }
    return language;
}

bool RtfContainsAnyText(const CString& rtf, const std::vector<CString>& texts)
{
    const HWND converter = GetRichEditConverter();
    if (!LoadRtf(converter, rtf))
        return true;
    for (const CString& text : texts) {
        if (FindRichEditText(converter, text, 0).cpMin >= 0)
            return true;
    }
    return false;
}

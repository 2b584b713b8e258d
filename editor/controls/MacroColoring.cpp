#include "editor/controls/MacroColoring.h"

#include "common/RichEditEditing.h"
#include "editor/controls/RichEditObjectModel.h"
#include "editor/controls/RichEditTextAccess.h"

#include <commdlg.h>
#include <oleauto.h>

#undef FindText

namespace
{

bool g_plainTextColoringMode = true;

// A real control: the object model where it works, messages where a call is not implemented.
class RichEditMacroTextModel : public MacroTextModel
{
public:
    RichEditMacroTextModel(HWND window, ITextDocument* document) : m_window(window), m_document(document) {}

    bool Find(const CString& text, int flags, LONG from, LONG& matchStart, LONG& matchEnd) override
    {
        if (m_tomFind && FindWithObjectModel(text, flags, from, matchStart, matchEnd))
            return true;
        if (m_tomFind)
            return false;
        FINDTEXTEXW find = {};
        find.chrg = {from, -1};
        find.lpstrText = text.GetString();
        WPARAM options = FR_DOWN;
        if (flags & kMatchCase)
            options |= FR_MATCHCASE;
        if (flags & kMatchWord)
            options |= FR_WHOLEWORD;
        if (::SendMessageW(m_window, EM_FINDTEXTEXW, options, reinterpret_cast<LPARAM>(&find)) < 0)
            return false;
        matchStart = find.chrgText.cpMin;
        matchEnd = find.chrgText.cpMax;
        return matchEnd > matchStart;
    }

    void SetColor(LONG start, LONG end, COLORREF color) override
    {
        TomPtr<ITextFont> font = RangeFont(start, end);
        if (font && SUCCEEDED(font->SetForeColor(static_cast<LONG>(color))))
            return;
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        if (color == kAutoColor)
            format.dwEffects = CFE_AUTOCOLOR;
        else
            format.crTextColor = color;
        SetRangeFormat(start, end, format);
    }

    void SetBold(LONG start, LONG end, bool bold) override
    {
        TomPtr<ITextFont> font = RangeFont(start, end);
        if (font && SUCCEEDED(font->SetBold(bold ? tomTrue : tomFalse)))
            return;
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_BOLD;
        format.dwEffects = bold ? CFE_BOLD : 0;
        SetRangeFormat(start, end, format);
    }

    COLORREF DefaultColor() override
    {
        CHARFORMATW format = {};
        format.cbSize = sizeof(format); // the 60-byte structure
        format.dwMask = CFM_COLOR;
        ::SendMessageW(m_window, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        return (format.dwEffects & CFE_AUTOCOLOR) ? kAutoColor : format.crTextColor;
    }

    LONG TextLength() override { return GetRichEditTextLength(m_window); }

    LONG LastVisibleChar() override
    {
        LONG first = 0;
        LONG last = 0;
        GetRichEditVisibleRange(m_window, first, last);
        return last;
    }

private:
    bool FindWithObjectModel(const CString& text, int flags, LONG from, LONG& matchStart, LONG& matchEnd)
    {
        TomPtr<ITextRange> range = GetTextRange(m_window, from, -1);
        BSTR search = ::SysAllocString(text.GetString());
        LONG length = 0;
        const HRESULT result = range ? range->FindText(search, tomForward, flags, &length) : E_NOTIMPL;
        ::SysFreeString(search);
        if (result == E_NOTIMPL || !range) {
            m_tomFind = false;
            return false;
        }
        if (result != S_OK || length <= 0)
            return false;
        range->GetStart(&matchStart);
        matchEnd = matchStart + length;
        return true;
    }

    TomPtr<ITextFont> RangeFont(LONG start, LONG end)
    {
        TomPtr<ITextFont> font;
        TomPtr<ITextRange> range;
        if (!m_document || FAILED(m_document->Range(start, end, range.Out())) || !range)
            return font;
        if (FAILED(range->GetFont(font.Out())))
            font.Reset();
        return font;
    }

    void SetRangeFormat(LONG start, LONG end, CHARFORMAT2W& format)
    {
        CHARRANGE saved = {};
        ::SendMessageW(m_window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
        SetRichEditSelection(m_window, start, end);
        ::SendMessageW(m_window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        ::SendMessageW(m_window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    }

    HWND m_window;
    ITextDocument* m_document;
    bool m_tomFind = true;
};

bool AnyBoldPair(const MacroColoringScheme& scheme)
{
    for (const MacroPairGroup& group : scheme.pairGroups)
        for (const MacroPair& pair : group.pairs)
            if (pair.bold)
                return true;
    return false;
}

LONG RangeEnd(MacroTextModel& model, LONG end)
{
    return end < 0 ? model.TextLength() : end;
}

// Undo steps the object model's own suspension does not keep out of the buffer: when the control
// could not undo before the pass, its buffer is emptied again afterwards.
class UndoSuspension
{
public:
    UndoSuspension(HWND window, ITextDocument* document) : m_window(window), m_document(document)
    {
        m_couldUndo = ::SendMessageW(m_window, EM_CANUNDO, 0, 0) != 0;
        if (m_document)
            m_document->Undo(tomSuspend, nullptr);
    }
    ~UndoSuspension()
    {
        if (m_document)
            m_document->Undo(tomResume, nullptr);
        if (!m_couldUndo && ::SendMessageW(m_window, EM_CANUNDO, 0, 0))
            ::SendMessageW(m_window, EM_EMPTYUNDOBUFFER, 0, 0);
    }
    UndoSuspension(const UndoSuspension&) = delete;
    UndoSuspension& operator=(const UndoSuspension&) = delete;

private:
    HWND m_window;
    ITextDocument* m_document;
    bool m_couldUndo = false;
};

} // namespace

int ColorTextMatches(MacroTextModel& model, const CString& text, int flags, COLORREF color, LONG start,
                     LONG end)
{
    return ForEachTextMatch(model, text, flags, start, end, [&](LONG matchStart, LONG matchEnd) {
        model.SetColor(matchStart, matchEnd, color);
        return matchEnd;
    });
}

void ColorPairMatches(MacroTextModel& model, const MacroPair& pair, COLORREF color, int flags, LONG start,
                      LONG end)
{
    const LONG limit = RangeEnd(model, end);
    auto colorSpan = [&](LONG spanStart, LONG spanEnd) {
        model.SetColor(spanStart, spanEnd, color);
        if (pair.bold)
            model.SetBold(spanStart, spanEnd, true);
    };
    ForEachTextMatch(model, pair.openText, flags, start, end, [&](LONG openStart, LONG openEnd) -> LONG {
        LONG closeEnd = -1;
        ForEachTextMatch(model, pair.closeText, flags, openEnd, limit, [&](LONG, LONG matchEnd) -> LONG {
            closeEnd = matchEnd;
            return -1;
        });
        if (closeEnd >= 0) {
            colorSpan(openStart, closeEnd);
            return closeEnd >= limit ? openEnd : closeEnd;
        }
        if (pair.closeText == L"\r") {
            const LONG length = model.TextLength();
            if (length <= model.LastVisibleChar() + 1)
                colorSpan(openStart, length);
        }
        return -1;
    });
}

void ColorMacrosInModel(MacroTextModel& model, const MacroColoringScheme& scheme, LONG start, LONG end)
{
    const LONG resetEnd = RangeEnd(model, end);
    model.SetColor(start, resetEnd, model.DefaultColor());
    if (AnyBoldPair(scheme))
        model.SetBold(start, resetEnd, false);
    const int caseFlag = scheme.matchCase ? kMatchCase : 0;
    for (const MacroWordGroup& group : scheme.wordGroups) {
        const int flags = caseFlag | (group.wholeWord ? kMatchWord : 0);
        for (const CString& word : group.words)
            ColorTextMatches(model, word, flags, group.color, start, end);
    }
    for (const MacroPairGroup& group : scheme.pairGroups) {
        const COLORREF color = group.useAutoColor ? kAutoColor : group.color;
        for (const MacroPair& pair : group.pairs)
            ColorPairMatches(model, pair, color, caseFlag, start, end);
    }
}

void ApplyMacroColoring(HWND richEdit, const MacroColoringScheme& scheme, LONG start, LONG end)
{
    if (!::IsWindow(richEdit) || !IsRichEditSelectionEmpty(richEdit))
        return;
    EventMaskGuard eventMask(richEdit);
    ModifyFlagGuard modified(richEdit);
    ReadOnlyGuard readOnly(richEdit);
    TomPtr<ITextDocument> document = GetTextDocument(richEdit);
    if (!document)
        return;
    UndoSuspension undo(richEdit, document.Get());
    RedrawFreeze freeze(richEdit, document.Get());
    RichEditMacroTextModel model(richEdit, document.Get());
    ColorMacrosInModel(model, scheme, start, end);
}

void ColorWholeText(HWND richEdit, const MacroColoringScheme& scheme)
{
    if (g_plainTextColoringMode) {
        TomPtr<ITextDocument> document = GetTextDocument(richEdit);
        RichEditMacroTextModel model(richEdit, document.Get());
        if (document && IsRichEditSelectionEmpty(richEdit)) {
            EventMaskGuard eventMask(richEdit);
            ModifyFlagGuard modified(richEdit);
            ReadOnlyGuard readOnly(richEdit);
            UndoSuspension undo(richEdit, document.Get());
            model.SetColor(0, model.TextLength() + 1, kAutoColor);
        }
    }
    ApplyMacroColoring(richEdit, scheme, 0, -1);
}

void ColorVisibleText(HWND richEdit, const MacroColoringScheme& scheme)
{
    LONG first = 0;
    LONG last = 0;
    if (!GetRichEditVisibleRange(richEdit, first, last))
        return;
    ApplyMacroColoring(richEdit, scheme, first, last);
}

void SetPlainTextColoringMode(bool on)
{
    g_plainTextColoringMode = on;
}

bool IsPlainTextColoringMode()
{
    return g_plainTextColoringMode;
}

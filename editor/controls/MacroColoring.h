#pragma once
// Colouring of macro names in a rich-edit control: every word of a word group in the group's colour,
// every span from an opening text to the next closing text of a pair in the pair group's colour
// (optionally bold). The pass runs with undo suspended, the display frozen, and the control's
// modified flag, read-only state and event mask kept, so the user sees neither an undo step nor a
// change notification.

#include "platform/CString.h"

#include <windows.h>

#include <vector>

struct MacroPair
{
    CString openText;
    CString closeText; // "\r": the span runs to the line end
    bool bold = false;
};

struct MacroWordGroup
{
    std::vector<CString> words;
    COLORREF color = 0;
    bool wholeWord = false;
};

struct MacroPairGroup
{
    std::vector<MacroPair> pairs;
    bool useAutoColor = false; // the pairs get the automatic text colour instead of `color`
    COLORREF color = 0;
};

struct MacroColoringScheme
{
    bool matchCase = false;
    std::vector<MacroWordGroup> wordGroups;
    std::vector<MacroPairGroup> pairGroups;
};

// Search flags of the object model.
constexpr int kMatchWord = 2;
constexpr int kMatchCase = 4;
// The automatic text colour as a colour value.
constexpr COLORREF kAutoColor = static_cast<COLORREF>(-9999997);

// The text the colouring pass works on. Positions are characters, a paragraph break is one.
class MacroTextModel
{
public:
    virtual ~MacroTextModel() = default;
    // The first match of `text` starting at or after `from`; false when there is none.
    virtual bool Find(const CString& text, int flags, LONG from, LONG& matchStart, LONG& matchEnd) = 0;
    // Colours [start, end) (kAutoColor: the automatic colour).
    virtual void SetColor(LONG start, LONG end, COLORREF color) = 0;
    virtual void SetBold(LONG start, LONG end, bool bold) = 0;
    // The colour of the control's default character format (kAutoColor when automatic).
    virtual COLORREF DefaultColor() = 0;
    virtual LONG TextLength() = 0;
    virtual LONG LastVisibleChar() = 0;
};

// Calls `visit` for each match of `text` in [start, end] (end -1 = to the end of the text); a match
// counts when it starts at or before `end`. The next search starts at the position `visit` returns
// (normally the match end, so matches that touch are all found); a negative return stops. The number
// of matches visited.
template <class Visit>
int ForEachTextMatch(MacroTextModel& model, const CString& text, int flags, LONG start, LONG end, Visit visit)
{
    int count = 0;
    LONG from = start;
    LONG matchStart = 0;
    LONG matchEnd = 0;
    while (!text.IsEmpty() && model.Find(text, flags, from, matchStart, matchEnd)) {
        if (end >= 0 && matchStart > end)
            break;
        ++count;
        const LONG next = visit(matchStart, matchEnd);
        if (next <= from)
            break;
        from = next;
    }
    return count;
}

// Every match of the text in [start, end] gets the colour.
int ColorTextMatches(MacroTextModel& model, const CString& text, int flags, COLORREF color, LONG start,
                     LONG end);
// Every span from an opening match to the next closing match gets the colour (and bold when the pair
// says so). An opening text without a closing text ends the scan of the pair; when the closing text
// is "\r" and the end of the text is visible, that last span runs to the end of the text.
void ColorPairMatches(MacroTextModel& model, const MacroPair& pair, COLORREF color, int flags, LONG start,
                      LONG end);
// The whole pass over [start, end] of the model: reset to the default colour (and not bold when a
// pair is bold), then the word groups, then the pair groups.
void ColorMacrosInModel(MacroTextModel& model, const MacroColoringScheme& scheme, LONG start, LONG end);

// The pass on a real control; nothing unless the control's selection is empty.
void ApplyMacroColoring(HWND richEdit, const MacroColoringScheme& scheme, LONG start, LONG end);
// Resets the whole text to the automatic colour while the plain-text colouring mode is on, then
// colours all of it.
void ColorWholeText(HWND richEdit, const MacroColoringScheme& scheme);
// Colours the visible characters only; nothing when the window is no window.
void ColorVisibleText(HWND richEdit, const MacroColoringScheme& scheme);
void SetPlainTextColoringMode(bool on);
bool IsPlainTextColoringMode();

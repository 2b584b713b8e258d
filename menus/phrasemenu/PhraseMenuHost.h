#pragma once

// What the phrase menu builder (IDataNeededHander_MenuSelf) asks of the program that owns it, the
// tray window: services of the application core that the menu library cannot reach itself (it
// does not link the program's own code). The tray window, or an object it owns, implements this
// and hands it to the builder's constructor; it must outlive the builder.

#include <windows.h>

#include "platform/CString.h"

class SVQuery;

class IPhraseMenuHost
{
public:
    // True when the program runs with administrator rights (the menu then offers no
    // "Run As Administrator").
    virtual bool IsElevated() = 0;
    // Closes the program's own open dialogs before the menu is shown.
    virtual void CloseOwnDialogs() = 0;
    // The title of the query's target window (shown in the tooltip of "Selection into Phrase").
    virtual CString GetTargetWindowTitle(const SVQuery& query) = 0;
    // "Chars: 1 234": the localized word and the count with its digits grouped.
    virtual CString FormatCharsCountText(int count) = 0;
    // The localized string's part before / after its first line break (the whole text when it
    // has none).
    virtual CString LocalizedTextBefore(UINT stringId) = 0;
    virtual CString LocalizedTextAfter(UINT stringId) = 0;

protected:
    IPhraseMenuHost() = default;
    ~IPhraseMenuHost() = default;
    IPhraseMenuHost(const IPhraseMenuHost&) = default;
    IPhraseMenuHost& operator=(const IPhraseMenuHost&) = default;
};

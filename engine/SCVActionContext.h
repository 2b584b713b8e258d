#pragma once
// Turning one phrase into its text actions and running them on the target window.
//
// The phrase text is cut into plain runs and prompt marks (engine/PhraseParts.h). A prompt mark
// becomes a CSCVAction_Prompt; a plain run becomes an action of the phrase's data type with its
// macros expanded: 0 plain text (CSCVAction_Text), 1 RTF (CSCVAction_Rtf), 2 command line
// (CSCVAction_Exec).
//
// RTF phrases are cut on the marks of their text, not of their RTF source: the RTF is loaded into
// the rich-edit converter, the marks are found in the control's text, and each plain range is
// saved as an RTF document of its own, so every rich-text action pastes complete RTF.
//
// User-interface thread only (the rich-edit converter and the quick input dialog live there).

#include <windows.h>

#include <functional>
#include <memory>

#include "engine/SCVAction.h"
#include "platform/CString.h"

class CSCVActionContext
{
public:
    CSCVActionContext(HWND target, int locale, const CString& clipboardText, const CString& selectedText,
                      int dataType);

    // The runner that command actions built afterwards use.
    void SetCommandRunner(CommandRunner runner) { m_commandRunner = std::move(runner); }
    // The request's clipboard that text actions built afterwards paste through (see SCVAction.h).
    void SetPasteClipboard(IPasteClipboard* clipboard) { m_pasteClipboard = clipboard; }

    // Cuts the text and appends one action per part. An empty text appends nothing. False, appending
    // nothing, for a data type other than 0, 1 and 2.
    bool BuildActions(CSCVActionList& list, const CString& text);
    // Runs every action in order on the target window (on a null window once the target is gone);
    // their results are ignored. False for an empty list.
    bool ExecuteActions(CSCVActionList& list);
    // The texts of all actions, joined in order.
    static CString JoinActionTexts(const CSCVActionList& list);

    HWND GetTarget() const { return m_target; }
    int GetDataType() const { return m_dataType; }

private:
    using PlainActionMaker = std::function<std::unique_ptr<CSCVAction>(const CString& run)>;

    // Splits a plain-text or command phrase: prompt marks become prompt actions, plain runs what
    // `makePlain` makes of them.
    void BuildFromParts(CSCVActionList& list, const CString& text, const PlainActionMaker& makePlain);
    void BuildPlainTextActions(CSCVActionList& list, const CString& text);
    void BuildRtfActions(CSCVActionList& list, const CString& rtf);
    void BuildCommandActions(CSCVActionList& list, const CString& text);
    void AddPromptAction(CSCVActionList& list, const CString& defaultText);
    void AddRtfAction(CSCVActionList& list, const CString& rtf);

    HWND m_target = nullptr;
    CString m_clipboardText;
    CString m_selectedText;
    int m_dataType = 0;
    int m_locale = 0;
    CommandRunner m_commandRunner;
    IPasteClipboard* m_pasteClipboard = nullptr;
};

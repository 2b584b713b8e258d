#pragma once
// The text actions a phrase turns into (see SCVActionContext.h): typing or pasting plain text,
// pasting rich text, asking the user for a text and inserting it, and running a command line.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/CString.h"

class IPasteClipboard;

// Starts a command line on behalf of an owner window and reports a failure to the user; true when
// the command started. The tray window hands in its command runner; without one a command action
// only logs that it cannot run.
using CommandRunner = std::function<bool(HWND owner, const CString& command)>;

class CSCVAction
{
public:
    explicit CSCVAction(const CString& text) : m_text(text) {}
    virtual ~CSCVAction() = default;
    CSCVAction(const CSCVAction&) = delete;
    CSCVAction& operator=(const CSCVAction&) = delete;

    // Runs the action on the target window (null when the target is gone); the result is informative.
    virtual int Execute(HWND target) = 0;

    const CString& GetText() const { return m_text; }

protected:
    CString m_text;
};

using CSCVActionList = std::vector<std::unique_ptr<CSCVAction>>;

// Deletes every action and empties the list.
void DeleteActionObjects(CSCVActionList& list);

// Runs its text as a command line.
class CSCVAction_Exec : public CSCVAction
{
public:
    CSCVAction_Exec(const CString& command, CommandRunner runner);
    int Execute(HWND target) override;

private:
    CommandRunner m_runner;
};

// Base of the actions that insert a text: the caret steps to go left after the insertion and the
// input locale put on the clipboard beside a pasted text.
class CSCVAction_TextCommon : public CSCVAction
{
public:
    CSCVAction_TextCommon(const CString& text, int caretSteps, LCID locale)
        : CSCVAction(text), m_caretSteps(caretSteps), m_locale(locale)
    {}

    int GetCaretSteps() const { return m_caretSteps; }
    LCID GetLocale() const { return m_locale; }
    // The request's clipboard: a paste goes through it, and none happens when it says the
    // clipboard may not carry the phrase. Without one the clipboard is written directly.
    void SetPasteClipboard(IPasteClipboard* clipboard) { m_pasteClipboard = clipboard; }

    // Puts the text on the clipboard and, when `paste` is set, pastes it into the foreground window
    // 400 ms later from a worker thread that this call waits for (Ctrl+V, then caretSteps presses
    // of the Left key).
    //  - plainOnly: the text as Unicode text.
    //  - otherwise the text is RTF: "Rich Text Format" (8-bit RTF with its NUL), CF_UNICODETEXT
    //    with the RTF's plain text (when it has any) and CF_LOCALE with the locale (when not 0).
    // False when the clipboard cannot be written (nothing is pasted then) or the worker cannot start.
    static bool MutiCopy_Impl(bool plainOnly, const CString& text, int caretSteps, LCID locale, bool paste);

protected:
    // Pastes m_text as MutiCopy_Impl does, through the request's clipboard when there is one.
    bool PasteOwnText(bool plainOnly);
    // Whether the request's clipboard may carry the phrase (true without one).
    bool MayUseClipboard() const;

    int m_caretSteps = 0;
    LCID m_locale = 0;
    IPasteClipboard* m_pasteClipboard = nullptr;
};

// Inserts its text as plain text: typed or pasted as the settings "TextPasteMethod_v150" and
// "PrintLTChars" choose (ShouldTypeText); typed when the clipboard may not carry it.
class CSCVAction_Text : public CSCVAction_TextCommon
{
public:
    using CSCVAction_TextCommon::CSCVAction_TextCommon;
    int Execute(HWND target) override;
};

// Asks the user for a text in the quick input dialog (its text is the default) and inserts the
// answer as CSCVAction_Text does, without macro expansion. Cancel or an empty answer inserts nothing.
class CSCVAction_Prompt : public CSCVAction_Text
{
public:
    using CSCVAction_Text::CSCVAction_Text;
    int Execute(HWND target) override;
};

// Pastes its text as rich text; inserts nothing (a beep and a log line) when the clipboard may
// not carry it.
class CSCVAction_Rtf : public CSCVAction_TextCommon
{
public:
    using CSCVAction_TextCommon::CSCVAction_TextCommon;
    int Execute(HWND target) override;
};

// Whether a plain text of `length` characters is typed (true) or pasted (false): method 0 types,
// method 1 pastes, method 2 types texts shorter than `printLimit` characters.
bool ShouldTypeText(int length, int pasteMethod, int printLimit);

// MutiCopy_Impl(plainOnly, text, caretSteps, 0, true).
bool PasteTextViaClipboard(bool plainOnly, const CString& text, int caretSteps);

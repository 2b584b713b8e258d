#pragma once

// Translates the controls of a dialog from the current language file, section
// "Dialog" + suffix + "_" + dialog id, one key per control id. A control
// without a translation gets the English text of its dialog template back
// (so switching back to English works), and that English text is written
// under its key into the language file and into "LocalizeExample.lng".
// The English always comes from a hidden copy of the dialog made from the
// template, never from the control itself, which may show a translation.
// Edit, combo box, up-down and rich-edit controls keep their texts.

#include <windows.h>

#include <set>

#include "platform/CString.h"

class CDialogLocalizer
{
public:
    // `dialog` points to the dialog's window handle, read when translating.
    CDialogLocalizer(HWND* dialog, UINT dialogId, LPCWSTR suffix);
    virtual ~CDialogLocalizer() = default;

    virtual void Translate();
    // The module that holds the dialog template (the program's own).
    virtual HMODULE GetTemplateModule() const;
    // The language file (the process's current one).
    virtual CString GetLanguageFilePath() const;

    // "Dialog_Client_101" for suffix "_Client" and id 101; "Dialog_101" without a suffix.
    CString GetSectionName() const;
    void ExcludeControl(int controlId) { m_excluded.insert(controlId); }

private:
    HWND CreateTemplateCopy() const;
    void TranslateControl(HWND control, HWND englishControl, bool haveTemplate, const CString& file,
                          const CString& example, const CString& section) const;

    HWND* m_dialog;
    UINT m_dialogId;
    CString m_suffix;
    std::set<int> m_excluded;
};

// The main program's dialogs: suffix "_Client".
class CDialogLocalizerClient : public CDialogLocalizer
{
public:
    CDialogLocalizerClient(HWND* dialog, UINT dialogId) : CDialogLocalizer(dialog, dialogId, L"_Client") {}
};

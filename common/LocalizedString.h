#pragma once

// User-interface texts of string resources in the active language. A lookup
// reads the id from section "Strings" + the program's suffix of the active
// language file; when the file lacks it, the English resource text is used and
// written into the file. Every looked-up text is also written in English into
// "LocalizeExample.lng" beside the active file. Texts are stored with control
// characters escaped ("\t", "\n", "\r", and "\\" for a backslash).

#include <windows.h>

#include "platform/CString.h"

class CLocalizedStringBase
{
public:
    CLocalizedStringBase() = default;
    explicit CLocalizedStringBase(const CString& text) : m_text(text) {}
    virtual ~CLocalizedStringBase() = default;

    const CString& GetText() const { return m_text; }
    operator LPCWSTR() const { return m_text; }
    // This text becomes the other's (an empty text for null); returns this object.
    CLocalizedStringBase& AssignText(const CLocalizedStringBase* other)
    {
        m_text = other ? other->m_text : CString();
        return *this;
    }

protected:
    CString m_text;
};

class CLocalizedString : public CLocalizedStringBase
{
public:
    CLocalizedString() = default;
    static CLocalizedString CLocalizedStringFromText(const CString& text);

    // Fills the text from the id; false (empty text) when there is none.
    bool Load(UINT id);
};

// The text of a string id in the active language into `out`; `module` null
// means the program's own. True when a text was found.
bool LoadLocalizedString(CString& out, HMODULE module, UINT id);
// The same for the program's module; empty when the id has no text.
CString LoadLocalizedString(UINT id);
// The same, with the given English text when the id has no text at all.
CString LoadLocalizedTextOr(UINT id, LPCWSTR english);
// LoadLocalizedString that turns any exception into false.
bool LoadLocalizedStringSafe(CString& out, HMODULE module, UINT id);

// Makes the file the current language file and the active one for lookups,
// and appends the suffix to the "Strings" section name once.
void SetLanguageFileForStrings(LPCWSTR path, LPCWSTR suffix);
// "Strings" + suffix.
CString GetStringsSectionName();

// The help text of a command-line switch in the active language; empty when
// not translated (the caller then uses its English text).
CString GetCommandLineKeyText(LPCWSTR switchName, LPCWSTR englishText);
// The same with the example file named (program folder + "LocalizeExample.lng"
// for the function above).
CString GetCommandLineKeyTextWithExample(LPCWSTR examplePath, LPCWSTR switchName, LPCWSTR englishText);
// One file's text for the switch (section "CommandLineKeys", key
// "Cmd_LineKey_" + switch); when it has none, the English text is written
// there and the result is empty.
CString ReadCommandLineKeyText(LPCWSTR file, LPCWSTR switchName, LPCWSTR englishText);

// Control characters to their two-character forms and back.
CString EscapeLanguageText(const CString& text);
CString UnescapeLanguageText(const CString& text);

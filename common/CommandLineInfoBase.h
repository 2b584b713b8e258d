#pragma once

// Command-line switches: the search for one switch and the base of the
// programs' switch parsers.

#include "platform/CString.h"

// The position of a switch in a command line, or -1. The switch is looked for
// as "/" + name, then as "-" + name (a name that already starts with that
// character is taken as it is); for each form first as written, then with
// both texts upper-cased. An occurrence counts only as a whole word: at the
// start of the text or after a blank, outside double quotes, and followed by
// the end of the text, a blank or a quote. So a switch never matches inside a
// program path or a quoted path. -1 for an empty name.
int FindCommandLineSwitch(const wchar_t* commandLine, const wchar_t* switchName);
// FindCommandLineSwitch(...) >= 0.
bool HasCommandLineSwitch(const wchar_t* commandLine, const wchar_t* switchName);

// Base of the switch parsers: keeps a copy of the command line; a derived
// parser reads it in Parse.
class CCommandLineInfoBase
{
public:
    explicit CCommandLineInfoBase(const wchar_t* commandLine) : m_commandLine(commandLine) {}
    virtual ~CCommandLineInfoBase() = default;

    virtual void Parse() = 0;

    const CString& GetCommandLineText() const { return m_commandLine; }
    bool HasSwitch(const wchar_t* switchName) const
    {
        return HasCommandLineSwitch(m_commandLine, switchName);
    }

protected:
    CString m_commandLine;
};

#pragma once

// Small texts of the main program: on/off labels, counts and numbers, the
// hot key and phrases folder as shown to the user, the tray window's title,
// and the log helpers with date and time.

#include <windows.h>

#include "common/LocalizedString.h"
#include "common/NumberTexts.h"
#include "platform/CString.h"

// "on" (string 275) or "Turn on" (130) for the long form.
CString GetTurnOnText(bool shortForm);
// "off" (276) or "Turn off" (131), upper-cased.
CString GetTurnOffText(bool shortForm);
CString GetTurnOnTextDefault();
CString GetTurnOffTextDefault();
// label + ": " (only for a label that is not empty) + the on or off text.
CString FormatOnOffLabel(const CString& label, bool on);
CString FormatLocalizedOnOffLabel(UINT stringId, bool on);

// The localised string; with `upper` upper-cased (at most 999 characters) in
// the locale of the first keyboard layout, else by CharUpperW.
CString LoadLocalizedTextUpper(UINT stringId, bool upper);
// Upper-cases in the locale of the first keyboard layout.
CString MakeUpperForKeyboardLocale(const CString& text);

// "and %d more" (300) with the count. A language text is used only when it
// holds exactly one conversion and that is "%d" ("%%" allowed); otherwise the
// program's own English text.
CString FormatAndMoreText(int count);
// True when `format` is safe for one int: exactly one conversion, "%d".
bool IsSingleIntFormat(const CString& format);

// "%DEFAULT_FOLDER%".
CString GetDefaultFolderMacro();
// "%DEFAULT_FOLDER%" when the settings use the default phrases folder, else
// the configured folder.
CString GetPhrasesFolderDisplayText();
// The configured hot key as text, upper-cased, + " [x2]" with double press.
CString GetHotKeyDisplayText();

CString FormatDecimal(int value);
CString IntToText(int value);

// "Scrivolanter", + "^" when `elevationMark` and elevated, + " " + "Press enter
// to activate" (313) when that text is not empty.
CString GetWindowTitleText(bool elevationMark);

// WriteLogLine(text).
bool LogLine(LPCWSTR text);
// When the log is open: WriteLogLine(text + " " + GetDateTimeText()).
bool LogLineWithTime(LPCWSTR text);
// The run-time library's date (MM/DD/YY) + " " + time (HH:MM:SS).
CString GetDateTimeText();

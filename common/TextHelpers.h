#pragma once

// Texts made from other texts: environment variables between percent signs,
// file names made from titles, and new GUID texts.

#include "platform/CString.h"

// Expands the tokens that run from one "%" to the next one ("%APPDATA%\x"):
// every occurrence of each token is replaced by its ExpandEnvironmentStringsW
// result; a token whose expansion fails stays as it is.
CString ExpandPercentVars(const CString& text);

// A file name (without folder) made from a title: the first line of the
// trimmed title, cut to maxLength characters when maxLength is above 0, with
// every character that a file name cannot hold (and "{", "}", "'", "%", and
// blanks when replaceBlanks is set) made "_", runs of "_" shortened and "_"
// trimmed at both ends.
CString MakeSafeFileNameFromTitle(const CString& title, bool replaceBlanks, int maxLength);

// A new GUID as 36 lower-case characters with hyphens and without braces;
// plain: the 32 hexadecimal digits only. Empty when no GUID can be made.
CString CreateGuidString(bool plain);

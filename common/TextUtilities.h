#pragma once

// Shaping texts for menus, tooltips, lists and file names: cutting a long line
// in its middle, shortening URLs, truncating at a word, counting lines,
// keeping the first and last lines of a long text, and the map that turns the
// characters a file name cannot hold into harmless ones. No state is kept.

#include "platform/CString.h"

// Normalises the text (trimmed; line breaks made blanks; runs of blanks
// shortened) and, when it is then longer than `maxLength` (compared as
// unsigned, so -1 never cuts), keeps its first and last maxLength / 2
// characters around "…   …". True when the text changed.
bool ShortenTextMiddle(CString& text, int maxLength);

// Makes the text one menu line (line breaks made blanks, runs of blanks
// shortened, blanks, tabs, CR and "¶" trimmed) and, when that is still longer
// than `maxLength`, cuts its middle at word breaks: head + "…" + tail. True
// when the text changed (false when normalising alone made it fit).
bool ShortenLineForMenu(CString& text, int maxLength);

// An http, https or ftp URL longer than `maxLength` becomes its host part +
// " … " + the end after its last "/", "&" or "?". True when the text already
// fits or was shortened; false when it is no such URL.
bool ShortenUrlForDisplay(CString& text, int maxLength);

// Trims " \t\r\n\v\b" at both ends and shortens a text still longer than
// `maxLength` as a URL, or else as a menu line.
void TrimAndShortenForMenu(CString& text, int maxLength);

// Trims, makes line breaks and tabs blanks, shortens runs of blanks and, when
// the text is `maxLength` or longer, cuts it at the last word break before
// maxLength and appends "…". True when the length changed.
bool TruncateAtWordWithEllipsis(CString& text, int maxLength);

// Breaks every line longer than `width` characters into lines of at most that
// many: at the last blank within the width (the blank becomes the line break),
// else after `width` characters. Existing line breaks stay.
CString WrapTextAtWidth(const CString& text, int width);

// Removes the run of `ch` at the end of the text.
void TrimRightChar(CString& text, wchar_t ch);

// 0 for a length of 1 or less; otherwise the number of line feeds + 1.
int CountLinesA(const char* bytes, int length);
int CountLinesW(const wchar_t* text, int length);

// The localized word "Lines" + ": " + n grouped by thousands.
CString MakeLinesCountText(int count);

// With more than 4 lines: the first three lines (up to and including the 3rd
// line feed), an empty line, a line of a tab and "………", and the text after the
// 3rd line feed from the end. Otherwise the text unchanged.
CString ShortenToFirstAndLastLines(const CString& text, int lineCount);

// Replaces every character a file name cannot hold by its harmless substitute
// (":" by "-", "*" by "•", "?" by a blank ...); returns how many were replaced.
int ReplaceFileNameForbiddenChars(CString& text);
// True when the text holds a character of that map.
bool HasFileNameForbiddenChars(const CString& text);
// The map as CR LF separated lines "   (c)  ››  (s)"; a blank is shown by the
// keyboard's name of the space key.
CString GetFileNameCharMapText();

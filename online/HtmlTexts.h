#pragma once
// Safe pieces of generated HTML pages: text escaped for element content and
// attribute values, tags stripped from foreign markup, and the check that
// decides whether a link may be opened at all.

#include "platform/CString.h"

// "&", "<", ">", '"' and "'" as character references.
CString EscapeHtmlText(const CString& text);

// Foreign markup as plain text: tags and comments removed, the common
// character references ("&amp;", "&lt;", "&gt;", "&quot;", "&#39;", "&nbsp;")
// decoded. The result is not escaped.
CString StripHtmlTags(const CString& markup);

// True for "http://", "https://" and "mailto:" addresses (letter case ignored,
// leading and trailing blanks allowed), with no control character inside.
bool IsOpenableLink(const CString& address);

// The address trimmed and escaped for a double-quoted attribute when it is
// openable; an empty text otherwise.
CString CheckedLinkAttribute(const CString& address);

#pragma once

// The length of an RTF document's plain text, counted by reading the RTF
// once, without converting it: for a length shown beside a preview of a text
// that may be many megabytes long.
//
// Counted: every text character, each "\'hh" and "\uN" (whose "\ucN"
// fall-back characters are skipped), the escaped "\\", "\{", "\}", "\~", "\_",
// "\tab" and the other one-character control words (bullets, dashes, quotes),
// and one character for each "\par", "\line" and "\sect". Not counted: groups
// that hold no text ("\*" destinations, font, colour and style tables, the
// document information, pictures, objects, headers and footers, fields'
// instructions), other control words, and line breaks in the RTF source.

#include <cstddef>

size_t GetRtfPlainTextLength(const char* rtf, size_t size);

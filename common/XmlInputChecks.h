#pragma once

// Checks of an XML text written by others before it reaches the parser: an element nesting far
// deeper than any document of ours has would overflow the parsing thread's stack, and a lead byte
// of a three-byte UTF-8 sequence (0xEF) just before the end makes the parser's position counter
// loop for good.

#include <cstddef>
#include <string>

// Whether no element in the NUL-terminated text (at most `length` bytes are looked at) nests
// deeper than maxDepth. Comments and CDATA sections are skipped to their terminators, processing
// instructions and declarations to their first '>'; quoted attribute values may hold '>' and '/'. A text cut
// in the middle of a tag counts what it opened.
bool IsXmlNestingWithin(const char* text, size_t length, int maxDepth);
// The same, and the text makes at most maxNodes parser nodes (each element counts 2, for itself
// and its text, and 1 per attribute): the parser's memory grows with the nodes far more than with
// the bytes, so a damaged file of many tiny tags would take many times its size.
bool IsXmlShapeWithin(const char* text, size_t length, int maxDepth, size_t maxNodes);

// The text to hand to the parser: the text itself, or, when a 0xEF byte stands among its last two
// bytes, a copy in `storage` with two blanks after it (blanks after the root change nothing).
const char* GuardParserTail(const char* text, std::string& storage);

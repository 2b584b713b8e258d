#pragma once

// A guard for XML read from the network: the XML library parses nested
// elements recursively, so a document nested deeply enough would overflow
// the reading thread's stack. Documents are measured before they are parsed.

#include <cstddef>

// The deepest element nesting of the text, scanned as XML: start tags count
// one level in, end tags and empty-element tags one level out; comments,
// CDATA sections, declarations and processing instructions are skipped;
// quoted attribute values are skipped. Stops counting (and returns a value
// above `limit`) as soon as `limit` is passed.
int MeasureXmlNestingDepth(const char* text, size_t length, int limit);

// The nesting the readers of answers and feeds accept.
inline constexpr int kMaxXmlNestingDepth = 64;

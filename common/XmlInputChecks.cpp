#include "common/XmlInputChecks.h"

#include <cstdint>
#include <cstring>

namespace
{
// The position after the first `terminator` at or after `from`, or `end`.
const char* SkipPast(const char* from, const char* end, const char* terminator)
{
    const size_t length = std::strlen(terminator);
    for (const char* p = from; p + length <= end; ++p) {
        if (std::memcmp(p, terminator, length) == 0)
            return p + length;
    }
    return end;
}

bool StartsWith(const char* p, const char* end, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return static_cast<size_t>(end - p) >= length && std::memcmp(p, prefix, length) == 0;
}

// The position after the '>' of a tag starting at `p` ('<'), quotes respected; tells whether
// the tag closes itself ("/>") and adds the number of its attributes (its '=' signs) to `attributes`.
const char* SkipTag(const char* p, const char* end, bool& selfClosing, size_t& attributes)
{
    char quote = 0;
    const char* last = nullptr;
    for (++p; p < end; ++p) {
        if (quote) {
            if (*p == quote)
                quote = 0;
            continue;
        }
        if (*p == '=')
            ++attributes;
        if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            selfClosing = last && *last == '/';
            return p + 1;
        } else if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            last = p;
        }
    }
    selfClosing = false;
    return end;
}
} // namespace

bool IsXmlShapeWithin(const char* text, size_t length, int maxDepth, size_t maxNodes)
{
    if (!text)
        return true;
    const char* const end = text + strnlen(text, length);
    int depth = 0;
    size_t nodes = 0;
    for (const char* p = text; p < end;) {
        if (*p != '<') {
            ++p;
            continue;
        }
        if (StartsWith(p, end, "<!--")) {
            p = SkipPast(p + 4, end, "-->");
        } else if (StartsWith(p, end, "<![CDATA[")) {
            p = SkipPast(p + 9, end, "]]>");
        } else if (StartsWith(p, end, "<?") || StartsWith(p, end, "<!")) {
            // The parser ends a declaration at its first '>': so does the count, so that nothing
            // it parses as elements is skipped here.
            p = SkipPast(p + 2, end, ">");
        } else if (StartsWith(p, end, "</")) {
            p = SkipPast(p + 2, end, ">");
            if (depth > 0)
                --depth;
        } else {
            bool selfClosing = false;
            size_t attributes = 0;
            p = SkipTag(p, end, selfClosing, attributes);
            // The element, its text and its attributes.
            nodes += 2 + attributes;
            if ((!selfClosing && ++depth > maxDepth) || nodes > maxNodes)
                return false;
        }
    }
    return true;
}

bool IsXmlNestingWithin(const char* text, size_t length, int maxDepth)
{
    return IsXmlShapeWithin(text, length, maxDepth, SIZE_MAX);
}

const char* GuardParserTail(const char* text, std::string& storage)
{
    if (!text)
        return text;
    const size_t length = std::strlen(text);
    const auto lead = static_cast<char>(0xEF);
    const bool risky = (length >= 1 && text[length - 1] == lead) || (length >= 2 && text[length - 2] == lead);
    if (!risky)
        return text;
    storage.assign(text, length);
    storage += "  ";
    return storage.c_str();
}

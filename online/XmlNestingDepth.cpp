#include "online/XmlNestingDepth.h"

#include <cstring>
#include <string_view>

namespace
{
// The position just after `terminator` at or after `from`; the end when it is missing.
size_t SkipPast(std::string_view text, size_t from, std::string_view terminator)
{
    const size_t at = text.find(terminator, from);
    return at == std::string_view::npos ? text.size() : at + terminator.size();
}

// The position after the '>' that ends the tag begun before `from`, with
// quoted values skipped; `selfClosing` tells whether it ended with "/>".
size_t SkipTag(std::string_view text, size_t from, bool& selfClosing)
{
    char quote = 0;
    char last = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char ch = text[i];
        if (quote) {
            if (ch == quote)
                quote = 0;
            continue;
        }
        if (ch == '"' || ch == '\'') {
            quote = ch;
        } else if (ch == '>') {
            selfClosing = last == '/';
            return i + 1;
        }
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n')
            last = ch;
    }
    selfClosing = false;
    return text.size();
}
} // namespace

int MeasureXmlNestingDepth(const char* text, size_t length, int limit)
{
    if (!text)
        return 0;
    const std::string_view xml(text, length);
    int depth = 0;
    int deepest = 0;
    size_t i = 0;
    while (i < xml.size()) {
        if (xml[i] != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = xml.substr(i);
        if (rest.starts_with("<!--")) {
            i = SkipPast(xml, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = SkipPast(xml, i + 9, "]]>");
        } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
            i = SkipPast(xml, i + 2, ">");
        } else if (rest.starts_with("</")) {
            depth = depth > 0 ? depth - 1 : 0;
            i = SkipPast(xml, i + 2, ">");
        } else {
            bool selfClosing = false;
            i = SkipTag(xml, i + 1, selfClosing);
            if (!selfClosing && ++depth > deepest) {
                deepest = depth;
                if (deepest > limit)
                    return deepest;
            }
        }
    }
    return deepest;
}

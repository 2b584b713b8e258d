#include "common/RtfPlainTextLength.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace
{
// Destinations whose group holds no text of the document.
const char* const kSkippedDestinations[] = {
    "fonttbl",      "colortbl",  "stylesheet",        "info",    "pict",      "object",    "header",
    "headerl",      "headerr",   "headerf",           "footer",  "footerl",   "footerr",   "footerf",
    "fldinst",      "listtable", "listoverridetable", "rsidtbl", "generator", "themedata", "xmlnstbl",
    "latentstyles",
};

// Control words that stand for one character of the text.
const char* const kCharacterWords[] = {
    "par",     "line",   "sect",   "tab",       "bullet",    "emdash", "endash", "emspace", "enspace",
    "qmspace", "lquote", "rquote", "ldblquote", "rdblquote", "zwj",    "zwnj",   "row",     "cell",
};

bool IsIn(const char* const* list, size_t count, const std::string& word)
{
    for (size_t i = 0; i < count; ++i) {
        if (word == list[i])
            return true;
    }
    return false;
}

struct GroupState
{
    bool skipped = false;
    int fallbackChars = 1; // \ucN in force
};

class CRtfCounter
{
public:
    CRtfCounter(const char* rtf, size_t size) : m_rtf(rtf), m_size(size) { m_groups.push_back(GroupState()); }

    size_t Count()
    {
        while (m_at < m_size && m_rtf[m_at] != '\0') {
            const char c = m_rtf[m_at];
            if (c == '{') {
                m_groups.push_back(m_groups.back());
                m_groupStart = true;
                ++m_at;
                continue;
            }
            if (c == '}') {
                if (m_groups.size() > 1)
                    m_groups.pop_back();
                m_groupStart = false;
                ++m_at;
                continue;
            }
            if (c == '\\') {
                ReadControl();
                continue;
            }
            m_groupStart = false;
            ++m_at;
            if (c != '\r' && c != '\n')
                AddText(1);
        }
        return m_length;
    }

private:
    GroupState& Group() { return m_groups.back(); }

    void AddText(size_t chars)
    {
        if (!Group().skipped)
            m_length += chars;
    }

    // Skips the fall-back characters after "\uN": text characters, "\'hh" or a control word each.
    void SkipFallback(int count)
    {
        for (int skipped = 0; skipped < count && m_at < m_size; ++skipped) {
            const char c = m_rtf[m_at];
            if (c == '{' || c == '}' || c == '\0')
                return;
            if (c != '\\') {
                ++m_at;
                continue;
            }
            if (m_at + 1 < m_size && m_rtf[m_at + 1] == '\'') {
                m_at = (std::min)(m_size, m_at + 4);
                continue;
            }
            ++m_at;
            ReadWord();
        }
    }

    // Reads the letters and the optional number of a control word at m_at (after the backslash);
    // eats the one blank that ends it.
    std::string ReadWord(bool* hasNumber = nullptr, long* number = nullptr)
    {
        std::string word;
        while (m_at < m_size && std::isalpha(static_cast<unsigned char>(m_rtf[m_at])))
            word += m_rtf[m_at++];
        const size_t digits = m_at;
        if (m_at < m_size && m_rtf[m_at] == '-')
            ++m_at;
        while (m_at < m_size && std::isdigit(static_cast<unsigned char>(m_rtf[m_at])))
            ++m_at;
        if (hasNumber)
            *hasNumber = m_at > digits;
        if (number && m_at > digits)
            *number = std::strtol(std::string(m_rtf + digits, m_at - digits).c_str(), nullptr, 10);
        if (m_at < m_size && m_rtf[m_at] == ' ')
            ++m_at;
        return word;
    }

    void ReadControl()
    {
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        ++m_at;
        if (m_at >= m_size)
            return;
        const char c = m_rtf[m_at];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ReadSymbol(c, groupStart);
            return;
        }
        bool hasNumber = false;
        long number = 0;
        const std::string word = ReadWord(&hasNumber, &number);
        if (groupStart && IsIn(kSkippedDestinations, std::size(kSkippedDestinations), word)) {
            Group().skipped = true;
            return;
        }
        if (word == "uc" && hasNumber) {
            Group().fallbackChars = static_cast<int>(number < 0 ? 0 : number);
            return;
        }
        if (word == "u" && hasNumber) {
            AddText(1);
            SkipFallback(Group().fallbackChars);
            return;
        }
        if (IsIn(kCharacterWords, std::size(kCharacterWords), word))
            AddText(1);
    }

    void ReadSymbol(char c, bool groupStart)
    {
        ++m_at;
        switch (c) {
        case '*':
            if (groupStart)
                Group().skipped = true;
            return;
        case '\'':
            m_at = (std::min)(m_size, m_at + 2);
            AddText(1);
            return;
        case '\\':
        case '{':
        case '}':
        case '~':
        case '_':
            AddText(1);
            return;
        case '\r':
        case '\n':
            AddText(1); // "\" before a line break is \par
            return;
        default:
            return; // "\-" (optional hyphen), "\:" and the like
        }
    }

    const char* m_rtf;
    size_t m_size;
    size_t m_at = 0;
    size_t m_length = 0;
    bool m_groupStart = false;
    std::vector<GroupState> m_groups;
};
} // namespace

size_t GetRtfPlainTextLength(const char* rtf, size_t size)
{
    if (!rtf)
        return 0;
    return CRtfCounter(rtf, size).Count();
}

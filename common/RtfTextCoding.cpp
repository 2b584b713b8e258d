#include "common/RtfTextCoding.h"

#include <cstring>
#include <vector>

#include "common/TextConversion.h"

namespace
{
bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

wchar_t ToUnit(char ch)
{
    return static_cast<wchar_t>(static_cast<unsigned char>(ch));
}

wchar_t ToUnit(wchar_t ch)
{
    return ch;
}

wchar_t ToLowerAscii(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

// Whether text[at...] starts with the ASCII word, case-insensitive.
template <typename Char>
bool StartsWithNoCase(const Char* text, size_t size, size_t at, const char* word)
{
    const size_t length = std::strlen(word);
    if (size - at < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (ToLowerAscii(ToUnit(text[at + i])) != word[i])
            return false;
    }
    return true;
}

template <typename Char>
bool LooksLikeRtfImpl(const Char* text, size_t size)
{
    if (!text)
        return false;
    size_t at = 0;
    while (at < size && IsBlank(ToUnit(text[at])))
        ++at;
    return StartsWithNoCase(text, size, at, "{\\rtf") || StartsWithNoCase(text, size, at, "{\\urtf");
}

size_t WideLength(LPCWSTR text, int length)
{
    if (!text)
        return 0;
    return length < 0 ? std::wcslen(text) : static_cast<size_t>(length);
}

// Turns UTF-16 RTF into 8-bit RTF, keeping track of the "\ucN" in force in
// each group so that every escape has the right number of fall-back characters.
class RtfNarrower
{
public:
    RtfNarrower(LPCWSTR text, size_t size) : m_text(text), m_size(size)
    {
        m_out.reserve(size + size / 4 + 16);
    }

    std::string Run()
    {
        SkipLeadingUnicodeRtfWord();
        while (m_at < m_size) {
            const wchar_t ch = m_text[m_at];
            if (ch == L'{') {
                m_ucStack.push_back(m_uc);
                Put(ch);
            } else if (ch == L'}') {
                if (!m_ucStack.empty()) {
                    m_uc = m_ucStack.back();
                    m_ucStack.pop_back();
                }
                Put(ch);
            } else if (ch == L'\\') {
                ControlWord();
                continue;
            } else {
                Put(ch);
            }
            ++m_at;
        }
        return std::move(m_out);
    }

private:
    // "{\urtf1" opens a document that a rich edit control reads as "{\rtf1".
    void SkipLeadingUnicodeRtfWord()
    {
        size_t at = 0;
        while (at < m_size && IsBlank(m_text[at]))
            ++at;
        if (!StartsWithNoCase(m_text, m_size, at, "{\\urtf"))
            return;
        for (size_t i = 0; i < at; ++i)
            m_out.push_back(static_cast<char>(m_text[i]));
        m_out += "{\\rtf";
        m_ucStack.push_back(m_uc);
        m_at = at + 6;
        // "{\urtf8" names the encoding of the old Unicode RTF; the version of "{\rtf" is 1.
        if (m_at < m_size && IsDigit(m_text[m_at])) {
            while (m_at < m_size && IsDigit(m_text[m_at]))
                ++m_at;
            m_out.push_back('1');
        }
    }

    // A control word, a control symbol or "\binN" with its data, from the backslash.
    void ControlWord()
    {
        m_out.push_back('\\');
        ++m_at;
        if (m_at >= m_size)
            return;
        if (!IsAsciiLetter(m_text[m_at])) {
            Put(m_text[m_at]);
            ++m_at;
            return;
        }
        const size_t wordStart = m_at;
        while (m_at < m_size && IsAsciiLetter(m_text[m_at]))
            m_out.push_back(static_cast<char>(m_text[m_at++]));
        const size_t wordLength = m_at - wordStart;

        bool hasNumber = false;
        long number = 0;
        bool negative = false;
        if (m_at < m_size && m_text[m_at] == L'-' && m_at + 1 < m_size && IsDigit(m_text[m_at + 1])) {
            negative = true;
            m_out.push_back('-');
            ++m_at;
        }
        while (m_at < m_size && IsDigit(m_text[m_at])) {
            hasNumber = true;
            if (number < 100000000)
                number = number * 10 + (m_text[m_at] - L'0');
            m_out.push_back(static_cast<char>(m_text[m_at++]));
        }
        if (negative)
            number = -number;
        if (m_at < m_size && m_text[m_at] == L' ') {
            m_out.push_back(' ');
            ++m_at;
        }

        const auto isWord = [&](const char* word) {
            return wordLength == std::strlen(word) && StartsWithNoCase(m_text, m_size, wordStart, word);
        };
        if (hasNumber && isWord("uc"))
            m_uc = number < 0 ? 0 : (number > 16 ? 16 : static_cast<int>(number));
        else if (hasNumber && isWord("bin") && number > 0)
            BinaryData(static_cast<size_t>(number));
    }

    // The bytes after "\binN" stand one per character.
    void BinaryData(size_t count)
    {
        for (size_t i = 0; i < count && m_at < m_size; ++i, ++m_at)
            m_out.push_back(static_cast<char>(m_text[m_at] & 0xFF));
    }

    void Put(wchar_t ch)
    {
        if (ch < 0x80) {
            m_out.push_back(static_cast<char>(ch));
            return;
        }
        // "\uN" takes a signed 16-bit value; the blank ends the number and is
        // not part of the text; then the fall-back characters readers skip.
        m_out += "\\u";
        m_out += std::to_string(static_cast<int>(static_cast<short>(ch)));
        m_out.push_back(' ');
        m_out.append(static_cast<size_t>(m_uc), '?');
    }

    LPCWSTR m_text;
    size_t m_size;
    size_t m_at = 0;
    int m_uc = 1;
    std::vector<int> m_ucStack;
    std::string m_out;
};
} // namespace

bool LooksLikeRtf(LPCWSTR text, int length)
{
    return LooksLikeRtfImpl(text, WideLength(text, length));
}

bool LooksLikeRtf(const char* bytes, size_t size)
{
    return LooksLikeRtfImpl(bytes, bytes ? size : 0);
}

std::string NarrowRtfText(LPCWSTR rtf, int length)
{
    const size_t size = WideLength(rtf, length);
    if (size == 0)
        return std::string();
    return RtfNarrower(rtf, size).Run();
}

UINT FindRtfAnsiCodePage(const char* bytes, size_t size)
{
    if (!bytes)
        return 0;
    static constexpr char kWord[] = "\\ansicpg";
    const size_t wordLength = sizeof(kWord) - 1;
    for (size_t at = 0; at + wordLength < size; ++at) {
        if (bytes[at] != '\\' || !StartsWithNoCase(bytes, size, at, kWord))
            continue;
        UINT codePage = 0;
        for (size_t i = at + wordLength; i < size && bytes[i] >= '0' && bytes[i] <= '9' && codePage < 100000;
             ++i)
            codePage = codePage * 10 + static_cast<UINT>(bytes[i] - '0');
        return codePage;
    }
    return 0;
}

CString WidenRtfText(const char* bytes, size_t size)
{
    if (!bytes || size == 0)
        return CString();
    // The text ends at a NUL, as a stream of RTF does.
    const std::string text(bytes, ::strnlen(bytes, size));
    if (text.empty())
        return CString();

    bool ascii = true;
    for (const char ch : text)
        ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    if (ascii)
        return MultiByteToWideString(text.c_str(), CP_ACP);

    const UINT codePage = FindRtfAnsiCodePage(bytes, size);
    if (codePage != 0 && ::IsValidCodePage(codePage)) {
        CString wide = MultiByteToWideString(text.c_str(), codePage);
        if (!wide.IsEmpty())
            return wide;
    }
    return MultiByteToWideString(text.c_str(), CP_ACP);
}

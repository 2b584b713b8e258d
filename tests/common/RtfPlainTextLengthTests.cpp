#include "common/RtfPlainTextLength.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
size_t LengthOf(const std::string& rtf)
{
    return GetRtfPlainTextLength(rtf.c_str(), rtf.size());
}
} // namespace

// The plain text's length as the rich edit control's plain text has it, counted without it.
TEST(RtfPlainTextLength, CountsTheTextAndNothingOfTheMarkup)
{
    struct Case
    {
        const char* name;
        std::string rtf;
        size_t length;
    };
    const Case cases[] = {
        {"plain words", "{\\rtf1\\ansi Hello world}", 11},
        {"formatting words and their blank", "{\\rtf1 {\\b bold} and \\i0 plain}", 14},
        {"tables of fonts and colours", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}abc}", 3},
        {"a starred destination", "{\\rtf1{\\*\\generator Some writer 1.0;}xy}", 2},
        {"paragraphs and tabs", "{\\rtf1 one\\par two\\tab three\\line}", 14},
        {"source line breaks are no text", "{\\rtf1 ab\r\ncd\r\n}", 4},
        {"hex and unicode escapes", "{\\rtf1 \\'e9t\\'e9 \\u1046?x}", 6},
        {"unicode with two fall-back bytes", "{\\rtf1\\uc2 \\u1046\\'3f\\'3fz}", 2},
        {"escaped braces and backslash", "{\\rtf1 \\{a\\}\\\\}", 4},
        {"a picture", "{\\rtf1 a{\\pict\\wmetafile8 0123456789abcdef}b}", 2},
        {"stops at the terminator", std::string("{\\rtf1 abc}\0 more text", 22), 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LengthOf(c.rtf), c.length) << c.name;
    EXPECT_EQ(GetRtfPlainTextLength(nullptr, 10), 0u);
}

// A document of many megabytes is counted whole.
TEST(RtfPlainTextLength, ALargeDocumentIsCountedWhole)
{
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    const std::string paragraph = "{\\b word} text \\'e9\\par\r\n";
    const size_t paragraphs = 400000;
    rtf.reserve(paragraph.size() * paragraphs + 64);
    for (size_t i = 0; i < paragraphs; ++i)
        rtf += paragraph;
    rtf += "}";
    EXPECT_EQ(LengthOf(rtf), paragraphs * std::strlen("word text e\n"));
}

// test-locks: desktop
#include "common/html/HtmlDocument.h"
#include "common/html/HtmlVocabulary.h"

#include <gtest/gtest.h>

#include <string>

using namespace html;

namespace
{

// The document's content as a compact string: text runs in quotes, elements
// as name(children).
std::wstring Dump(const HtmlNode& node)
{
    std::wstring out;
    for (const auto& child : node.children) {
        if (child->isText) {
            out += L"'" + child->text + L"'";
            continue;
        }
        out += child->tag + L"(" + Dump(*child) + L")";
    }
    return out;
}

// A text and what it should give.
struct TextCase
{
    const wchar_t* text;
    const wchar_t* expected;
};

std::wstring Parsed(const std::wstring& text)
{
    HtmlDocument document;
    document.Parse(PrepareMarkup(text));
    return Dump(document.Root());
}

} // namespace

TEST(HtmlMarkup, EntitiesAreReplacedInOnePass)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"a &amp; b", L"a & b"},
        {L"&amp;lt;", L"&lt;"},
        {L"&lt;b&gt;", L"<<b>"},
        {L"&bull;&copy;&euro;&iquest;&para;&pound;&reg;&trade;",
         L"\x2022\x00A9\x20AC\x00BF\x00B6\x00A3\x00AE\x2122"},
        {L"&nbsp;&quot;", L" \""},
        {L"&unknown; &amp", L"&unknown; &amp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceEntities(c.text), c.expected) << c.text;
    EXPECT_EQ(PrepareMarkup(L"a\r\nb\tc"), L"a<br>b<t>c");
}

TEST(HtmlMarkup, PreparingReplacesEntitiesAfterTheLineEnds)
{
    const TextCase cases[] = {
        {L"&am\rp;&\r\nlt;", L"&&<br>lt;"},
        {L"&lt;\t&gt;\n", L"<<<t>><br>"},
        {L"x&\r", L"x&"},
        {L"&amp;amp;\r", L"&amp;"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(PrepareMarkup(c.text), c.expected) << c.text;
    std::wstring kept = L"room of an earlier text";
    PrepareMarkup(L"a&amp;b", kept);
    EXPECT_EQ(kept, L"a&b");
}

TEST(HtmlMarkup, DocumentTreeFollowsTheTagRules)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        // escaped tag shows as text and opens nothing
        {L"&lt;b&gt;x", L"'<b>x'"},
        {L"a<b>bold</b>c", L"'a'b('bold')'c'"},
        // a closing tag without its opening tag changes nothing
        {L"a</i>b", L"'a''b'"},
        {L"<b>x</i>y</b>z", L"b('x''y')'z'"},
        // "em" and "i" share one canonical name
        {L"<em>x</i>y", L"em('x')'y'"},
        // unknown tags are dropped with everything inside the brackets
        {L"a<blink speed=3>b</blink>c", L"'a''b''c'"},
        {L"a<p>b", L"'a''b'"},
        {L"x<br>y<hr>z", L"'x'br()'y'hr()'z'"},
        {L"a<", L"'a<'"},
        {L"a<<b", L"'a<b'"},
        {L"<table><tr><td>1<b>2</td><td>3</td></tr></table>x", L"table(tr(td('1'b('2'))td('3')))'x'"},
        {L"<table><tr><td><table><tr><td>in</td></tr></table>out</td></tr></table>",
         L"table(tr(td(table(tr(td('in')))'out')))"},
        {L"line\nnext", L"'line'br()'next'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parsed(c.text), c.expected) << c.text;
}

TEST(HtmlMarkup, BodyIsParsedAsItsOwnText)
{
    const TextCase cases[] = {
        {L"a<b>x</b>y", L"body('a'b('x')'y')"},
        {L"a</body>b", L"body('a')'b'"},
        // what is left open at the end does not take in the body's closing tag
        {L"a<", L"body('a<')"},
        {L"a<br", L"body('a'br())"},
        {L"<font color=red", L"body(font())"},
        {L"", L"body()"},
    };
    HtmlDocument document;
    for (const TextCase& c : cases) {
        document.ParseBody(c.text);
        EXPECT_EQ(Dump(document.Root()), c.expected) << c.text;
    }
    document.ParseBody(L"<font color=red");
    EXPECT_EQ(document.Root().children[0]->children[0]->Attribute(L"color"), L"red");
}

TEST(HtmlMarkup, AttributesAndCounts)
{
    ParsedTag tag = ParseTagText(L"font face='Arial Black' size=3 color=\"#ff0000\" style=bi");
    EXPECT_EQ(tag.name, L"font");
    ASSERT_EQ(tag.attributes.size(), 4u);
    EXPECT_EQ(tag.attributes[0].second, L"Arial Black");
    EXPECT_EQ(tag.attributes[1].second, L"3");
    EXPECT_EQ(tag.attributes[2].second, L"#ff0000");
    EXPECT_EQ(tag.attributes[3].second, L"bi");
    ParsedTag closing = ParseTagText(L"/b");
    EXPECT_TRUE(closing.closing);
    EXPECT_EQ(closing.name, L"b");
    EXPECT_EQ(ParseTagText(L"br=3").rest, L"=3");

    HtmlDocument document;
    document.Parse(L"<a href=x id=first>y</a><b id=second>z</b>");
    ASSERT_NE(document.FindById(L"second"), nullptr);
    EXPECT_EQ(document.FindById(L"second")->tag, L"b");
    EXPECT_EQ(document.FindById(L"first")->Attribute(L"href"), L"x");
    EXPECT_EQ(document.FindById(L"none"), nullptr);
}

TEST(HtmlMarkup, Lengths)
{
    LengthContext context{7, 16, 96};
    struct Case
    {
        const wchar_t* value;
        int previous;
        bool fontSize;
        int expected;
    } cases[] = {
        {L"3", 0, true, 12},    {L"12", 0, true, 12},   {L"+1", 0, true, 8},     {L"7", 0, true, 36},
        {L"3", 0, false, 3},    {L"3px", 0, true, 3},   {L"10pt", 0, false, 13}, {L"1in", 0, false, 96},
        {L"2em", 0, false, 32}, {L"2ex", 0, false, 14}, {L"6pc", 0, false, 96},  {L"50%", 20, false, 10},
        {L"", 7, false, 7},     {L"-5", 0, false, 5},   {L"abc", 9, false, 9},   {L"1cm", 0, false, 37},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLength(c.value, c.previous, context, c.fontSize), c.expected) << c.value;
}

TEST(HtmlMarkup, Colours)
{
    const COLORREF previous = RGB(1, 2, 3);
    struct Case
    {
        const wchar_t* value;
        COLORREF expected;
    } cases[] = {
        {L"#ff9900", RGB(255, 153, 0)},
        {L"#FF9900", RGB(255, 153, 0)},
        {L"#f90", previous},
        {L"#ff99001", previous},
        {L"orange", RGB(255, 165, 0)},
        {L"lightgrey", RGB(211, 211, 211)},
        {L"lightgray", previous},
        {L"yellowgreen", RGB(154, 205, 50)},
        {L"0x0000ff", RGB(255, 0, 0)},
        {L"255", RGB(255, 0, 0)},
        {L"010", RGB(8, 0, 0)},
        {L"", previous},
        {L"nosuchcolour", previous},
        {L"infotext", ::GetSysColor(COLOR_INFOTEXT)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColor(c.value, previous), c.expected) << c.value;
    EXPECT_EQ(NamedColorCount(), 168u);
}

TEST(HtmlMarkup, StyleDeclarations)
{
    LengthContext context;
    HtmlStyle style;
    ApplyDeclarations(style,
                      L"Font-Weight: BOLD; font-style:italic; text-decoration: underline, overline; "
                      L"color:#00ff00; text-align:right; vertical-align:middle; text-transform:capitalize",
                      context);
    EXPECT_EQ(style.weight, 700);
    EXPECT_TRUE(style.italic);
    EXPECT_TRUE(style.underline);
    EXPECT_TRUE(style.overline);
    EXPECT_FALSE(style.strikeOut);
    EXPECT_EQ(style.color, RGB(0, 255, 0));
    EXPECT_EQ(style.hAlign, kAlignRight);
    EXPECT_EQ(style.vAlign, kVAlignMiddle);
    EXPECT_EQ(style.textTransform, 3);

    ApplyDeclarations(style, L"text-decoration:; font-weight:bolder; text-align:nonsense", context);
    EXPECT_FALSE(style.underline);
    EXPECT_FALSE(style.overline);
    EXPECT_EQ(style.weight, 900);
    EXPECT_EQ(style.hAlign, kAlignRight);

    HtmlStyle border;
    ApplyDeclarations(border, L"border-style: dashed", context);
    EXPECT_EQ(border.borderWidth, 1);
    ApplyDeclarations(border, L"border-width: 4px", context);
    EXPECT_EQ(border.borderWidth, 4);
    EXPECT_EQ(border.borderStyle, kBorderDashed);
    ApplyDeclarations(border, L"border-width: thick", context);
    EXPECT_EQ(border.borderWidth, 5);
    ApplyDeclarations(border, L"border-width: 0", context);
    EXPECT_EQ(border.borderStyle, kBorderNone);
    ApplyDeclarations(border, L"background-color: navy", context);
    EXPECT_TRUE(border.opaqueBack);
    EXPECT_EQ(border.backColor, RGB(0, 0, 128));
    ApplyDeclarations(border, L"background-color: transparent", context);
    EXPECT_FALSE(border.opaqueBack);
}

TEST(HtmlMarkup, DefaultStyleSheetAndEffects)
{
    StyleSheet sheet = ParseStyleSheet(DefaultStyleSheetText());
    EXPECT_EQ(sheet.size(), 17u);
    ASSERT_TRUE(sheet.count(L"h2"));
    HtmlStyle h2;
    ApplyDeclarations(h2, sheet[L"h2"], LengthContext());
    EXPECT_EQ(h2.color, RGB(255, 153, 0));
    EXPECT_EQ(h2.weight, 700);
    EXPECT_EQ(h2.fontSize, 17);
    HtmlStyle pre;
    ApplyDeclarations(pre, sheet[L"pre"], LengthContext());
    EXPECT_EQ(pre.face, L"courier");
    EXPECT_TRUE(pre.opaqueBack);
    EXPECT_TRUE(sheet.count(L".cpp-comment"));

    struct Case
    {
        const wchar_t* name;
        int expected;
    } effects[] = {{L"transparent", -1}, {L"solid", 0}, {L"3vgradient", 6}, {L"metal", 15},
                   {L"12", 12},          {L"", 99},     {L"VSHADE", 10}};
    for (const Case& c : effects)
        EXPECT_EQ(ParseEffect(c.name, 99), c.expected) << c.name;
    const TagInfo* bottom = FindTag(L"bottom");
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->code, kTagBottom);
    EXPECT_EQ(FindTag(L"B"), nullptr);
}

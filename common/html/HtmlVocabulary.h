#pragma once

// The vocabulary of the tooltip markup: tags, character entities, colour
// names, lengths, style properties, background effect names and the default
// style sheet. Tag and attribute names are matched as written (lower case).

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace html
{

// Tag codes.
enum TagCode
{
    kTagNone = 0,
    kTagBold = 1,
    kTagItalic = 2,
    kTagUnderline = 3,
    kTagStrike = 4,
    kTagFont = 5,
    kTagRule = 6,
    kTagBreak = 7,
    kTagTab = 8,
    kTagLeft = 9,
    kTagCenter = 10,
    kTagRight = 11,
    kTagJustify = 12,
    kTagBaseline = 13,
    kTagTop = 14,
    kTagVCenter = 15,
    kTagBottom = 16,
    kTagBitmap = 17,
    kTagIcon = 18,
    kTagImageList = 19,
    kTagString = 20,
    kTagSheet = 21,
    kTagSpan = 22,
    kTagLink = 23,
    kTagTable = 24,
    kTagRow = 25,
    kTagCell = 26,
};

struct TagInfo
{
    int code = kTagNone;
    std::wstring canonical;
};

// The tag of that name (without a leading "/"), or null for an unknown name.
const TagInfo* FindTag(std::wstring_view name);
// The same for `length` characters at `name` (in registers on every target).
const TagInfo* FindTag(const wchar_t* name, size_t length);
// Tags that take no closing tag (rule, break, tab, images, string).
bool IsVoidTag(int code);
// Tags that change the style record (pushed on opening, popped on closing).
bool IsStyleTag(int code);

// Replaces the character entities in one left-to-right pass ("&amp;lt;"
// gives "&lt;"); "&lt;" becomes "<<", which the tag reader reads as one "<".
std::wstring ReplaceEntities(const std::wstring& text);
// Removes carriage returns, turns line feeds into "<br>" and tabs into "<t>",
// then replaces the entities.
std::wstring PrepareMarkup(std::wstring_view text);
// The same into `prepared`, whose room serves again (`text` must not be in it).
void PrepareMarkup(std::wstring_view text, std::wstring& prepared);

// Horizontal alignment codes.
enum HorizontalAlign
{
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
    kAlignJustify = 3,
};

// Vertical alignment codes.
enum VerticalAlign
{
    kVAlignTop = 0,
    kVAlignMiddle = 1,
    kVAlignBottom = 2,
    kVAlignBaseline = 3,
};

// Border style codes.
enum BorderStyle
{
    kBorderNone = 0,
    kBorderSolid = 1,
    kBorderDashed = 2,
    kBorderDotted = 3,
    kBorderDouble = 6,
};

// The state text is drawn with.
struct HtmlStyle
{
    std::wstring tagName;
    int fontSize = 16;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool overline = false;
    std::wstring face = L"Verdana";
    COLORREF color = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
    bool opaqueBack = false;
    int textTransform = 0; // 0 none, 1 upper, 2 lower, 3 capitalize
    int hAlign = kAlignLeft;
    int vAlign = kVAlignBaseline;
    COLORREF borderColorLight = RGB(0, 0, 0);
    COLORREF borderColorDark = RGB(0, 0, 0);
    int borderWidth = 0;
    int borderStyle = kBorderNone;
    int margin = 0;
    int padding = 0;
    int linkKind = 0; // 0 none, 1 href, 2 message
    std::wstring linkText;
    int linkIndex = -1;
};

// What lengths in "ex", "em" and the physical units are measured against.
struct LengthContext
{
    int xHeight = 8;
    int fontHeight = 16;
    int dpiY = 96;
};

// A length value (see the unit table); `previous` is kept for an empty value
// and is the base of a percentage. With `fontSize`, a plain number 1..7 is an
// HTML font size (8, 10, 12, 14, 18, 24, 36 pixels).
int ParseLength(const std::wstring& value, int previous, const LengthContext& context, bool fontSize = false);

// A colour value: "#RRGGBB", a number (0x hex, leading 0 octal, else decimal;
// a Windows colour value) or a colour name; anything else keeps `previous`.
COLORREF ParseColor(const std::wstring& value, COLORREF previous);
// The named colour, false when the name is not in the table.
bool FindNamedColor(const std::wstring& name, COLORREF& color);
// How many names the colour table holds (named and system colours).
size_t NamedColorCount();

// A background effect name (or number); empty keeps `previous`.
int ParseEffect(const std::wstring& value, int previous);

// Applies "name: value; name: value" declarations to the style.
void ApplyDeclarations(HtmlStyle& style, const std::wstring& declarations, const LengthContext& context);
// The same declarations read once into (name, value) pairs, lower case and
// trimmed, to be applied one by one with ApplyDeclaration.
using Declarations = std::vector<std::pair<std::wstring, std::wstring>>;
Declarations SplitDeclarations(const std::wstring& declarations);
void ApplyDeclaration(HtmlStyle& style, const std::wstring& name, const std::wstring& value,
                      const LengthContext& context);

// Sets the border width as the style properties do (0 clears the style, a
// width without a style makes it solid).
void SetBorderWidth(HtmlStyle& style, int width);
// Sets the border style as the style properties do (a style with width 0 gets
// width 1).
void SetBorderStyle(HtmlStyle& style, int borderStyle);
// The border style of a name; `previous` for an unknown one.
int ParseBorderStyle(const std::wstring& value, int previous);

// A style sheet: selector (lower case) to its declarations.
using StyleSheet = std::map<std::wstring, std::wstring>;

// Reads "selector {declarations}" entries.
StyleSheet ParseStyleSheet(const std::wstring& text);
// The renderer's default sheet as text.
const std::wstring& DefaultStyleSheetText();

// Lower-cases ASCII letters.
std::wstring ToLowerAscii(std::wstring text);
// Removes blanks, tabs and line ends from both ends.
std::wstring TrimBlanks(const std::wstring& text);

} // namespace html

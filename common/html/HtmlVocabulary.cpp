#include "common/html/HtmlVocabulary.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace html
{
namespace
{

struct NamedRgb
{
    const wchar_t* name;
    unsigned rgb; // 0xRRGGBB
};

const NamedRgb kCssColors[] = {
    {L"aliceblue", 0xF0F8FF},
    {L"antiquewhite", 0xFAEBD7},
    {L"aqua", 0x00FFFF},
    {L"aquamarine", 0x7FFFD4},
    {L"azure", 0xF0FFFF},
    {L"beige", 0xF5F5DC},
    {L"bisque", 0xFFE4C4},
    {L"black", 0x000000},
    {L"blanchedalmond", 0xFFEBCD},
    {L"blue", 0x0000FF},
    {L"blueviolet", 0x8A2BE2},
    {L"brown", 0xA52A2A},
    {L"burlywood", 0xDEB887},
    {L"cadetblue", 0x5F9EA0},
    {L"chartreuse", 0x7FFF00},
    {L"chocolate", 0xD2691E},
    {L"coral", 0xFF7F50},
    {L"cornflowerblue", 0x6495ED},
    {L"cornsilk", 0xFFF8DC},
    {L"crimson", 0xDC143C},
    {L"cyan", 0x00FFFF},
    {L"darkblue", 0x00008B},
    {L"darkcyan", 0x008B8B},
    {L"darkgoldenrod", 0xB8860B},
    {L"darkgray", 0xA9A9A9},
    {L"darkgreen", 0x006400},
    {L"darkkhaki", 0xBDB76B},
    {L"darkmagenta", 0x8B008B},
    {L"darkolivegreen", 0x556B2F},
    {L"darkorange", 0xFF8C00},
    {L"darkorchid", 0x9932CC},
    {L"darkred", 0x8B0000},
    {L"darksalmon", 0xE9967A},
    {L"darkseagreen", 0x8FBC8F},
    {L"darkslateblue", 0x483D8B},
    {L"darkslategray", 0x2F4F4F},
    {L"darkturquoise", 0x00CED1},
    {L"darkviolet", 0x9400D3},
    {L"deeppink", 0xFF1493},
    {L"deepskyblue", 0x00BFFF},
    {L"dimgray", 0x696969},
    {L"dodgerblue", 0x1E90FF},
    {L"firebrick", 0xB22222},
    {L"floralwhite", 0xFFFAF0},
    {L"forestgreen", 0x228B22},
    {L"fuchsia", 0xFF00FF},
    {L"gainsboro", 0xDCDCDC},
    {L"ghostwhite", 0xF8F8FF},
    {L"gold", 0xFFD700},
    {L"goldenrod", 0xDAA520},
    {L"gray", 0x808080},
    {L"green", 0x008000},
    {L"greenyellow", 0xADFF2F},
    {L"honeydew", 0xF0FFF0},
    {L"hotpink", 0xFF69B4},
    {L"indianred", 0xCD5C5C},
    {L"indigo", 0x4B0082},
    {L"ivory", 0xFFFFF0},
    {L"khaki", 0xF0E68C},
    {L"lavender", 0xE6E6FA},
    {L"lavenderblush", 0xFFF0F5},
    {L"lawngreen", 0x7CFC00},
    {L"lemonchiffon", 0xFFFACD},
    {L"lightblue", 0xADD8E6},
    {L"lightcoral", 0xF08080},
    {L"lightcyan", 0xE0FFFF},
    {L"lightgoldenrodyellow", 0xFAFAD2},
    {L"lightgreen", 0x90EE90},
    {L"lightgrey", 0xD3D3D3},
    {L"lightpink", 0xFFB6C1},
    {L"lightsalmon", 0xFFA07A},
    {L"lightseagreen", 0x20B2AA},
    {L"lightskyblue", 0x87CEFA},
    {L"lightslategray", 0x778899},
    {L"lightsteelblue", 0xB0C4DE},
    {L"lightyellow", 0xFFFFE0},
    {L"lime", 0x00FF00},
    {L"limegreen", 0x32CD32},
    {L"linen", 0xFAF0E6},
    {L"magenta", 0xFF00FF},
    {L"maroon", 0x800000},
    {L"mediumaquamarine", 0x66CDAA},
    {L"mediumblue", 0x0000CD},
    {L"mediumorchid", 0xBA55D3},
    {L"mediumpurple", 0x9370DB},
    {L"mediumseagreen", 0x3CB371},
    {L"mediumslateblue", 0x7B68EE},
    {L"mediumspringgreen", 0x00FA9A},
    {L"mediumturquoise", 0x48D1CC},
    {L"mediumvioletred", 0xC71585},
    {L"midnightblue", 0x191970},
    {L"mintcream", 0xF5FFFA},
    {L"mistyrose", 0xFFE4E1},
    {L"moccasin", 0xFFE4B5},
    {L"navajowhite", 0xFFDEAD},
    {L"navy", 0x000080},
    {L"oldlace", 0xFDF5E6},
    {L"olive", 0x808000},
    {L"olivedrab", 0x6B8E23},
    {L"orange", 0xFFA500},
    {L"orangered", 0xFF4500},
    {L"orchid", 0xDA70D6},
    {L"palegoldenrod", 0xEEE8AA},
    {L"palegreen", 0x98FB98},
    {L"paleturquoise", 0xAFEEEE},
    {L"palevioletred", 0xDB7093},
    {L"papayawhip", 0xFFEFD5},
    {L"peachpuff", 0xFFDAB9},
    {L"peru", 0xCD853F},
    {L"pink", 0xFFC0CB},
    {L"plum", 0xDDA0DD},
    {L"powderblue", 0xB0E0E6},
    {L"purple", 0x800080},
    {L"red", 0xFF0000},
    {L"rosybrown", 0xBC8F8F},
    {L"royalblue", 0x4169E1},
    {L"saddlebrown", 0x8B4513},
    {L"salmon", 0xFA8072},
    {L"sandybrown", 0xF4A460},
    {L"seagreen", 0x2E8B57},
    {L"seashell", 0xFFF5EE},
    {L"sienna", 0xA0522D},
    {L"silver", 0xC0C0C0},
    {L"skyblue", 0x87CEEB},
    {L"slateblue", 0x6A5ACD},
    {L"slategray", 0x708090},
    {L"snow", 0xFFFAFA},
    {L"springgreen", 0x00FF7F},
    {L"steelblue", 0x4682B4},
    {L"tan", 0xD2B48C},
    {L"teal", 0x008080},
    {L"thistle", 0xD8BFD8},
    {L"tomato", 0xFF6347},
    {L"turquoise", 0x40E0D0},
    {L"violet", 0xEE82EE},
    {L"wheat", 0xF5DEB3},
    {L"white", 0xFFFFFF},
    {L"whitesmoke", 0xF5F5F5},
    {L"yellow", 0xFFFF00},
    {L"yellowgreen", 0x9ACD32},
};

struct NamedSystemColor
{
    const wchar_t* name;
    int index;
};

const NamedSystemColor kSystemColors[] = {
    {L"activeborder", COLOR_ACTIVEBORDER},
    {L"activecaption", COLOR_ACTIVECAPTION},
    {L"appworkspace", COLOR_APPWORKSPACE},
    {L"background", COLOR_BACKGROUND},
    {L"buttonface", COLOR_BTNFACE},
    {L"buttonhighlight", COLOR_BTNHIGHLIGHT},
    {L"buttonshadow", COLOR_BTNSHADOW},
    {L"buttontext", COLOR_BTNTEXT},
    {L"captiontext", COLOR_CAPTIONTEXT},
    {L"graytext", COLOR_GRAYTEXT},
    {L"highlight", COLOR_HIGHLIGHT},
    {L"highlighttext", COLOR_HIGHLIGHTTEXT},
    {L"inactiveborder", COLOR_INACTIVEBORDER},
    {L"inactivecaption", COLOR_INACTIVECAPTION},
    {L"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT},
    {L"infobackground", COLOR_INFOBK},
    {L"infotext", COLOR_INFOTEXT},
    {L"menu", COLOR_MENU},
    {L"menutext", COLOR_MENUTEXT},
    {L"scrollbar", COLOR_SCROLLBAR},
    {L"threeddarkshadow", COLOR_3DDKSHADOW},
    {L"threedface", COLOR_3DFACE},
    {L"threedhighlight", COLOR_3DHIGHLIGHT},
    {L"threedlightshadow", COLOR_3DLIGHT},
    {L"threedshadow", COLOR_3DSHADOW},
    {L"window", COLOR_WINDOW},
    {L"windowframe", COLOR_WINDOWFRAME},
    {L"windowtext", COLOR_WINDOWTEXT},
};

const std::map<std::wstring, COLORREF>& ColorTable()
{
    static const std::map<std::wstring, COLORREF> table = [] {
        std::map<std::wstring, COLORREF> built;
        for (const NamedRgb& entry : kCssColors)
            built[entry.name] = RGB((entry.rgb >> 16) & 0xFF, (entry.rgb >> 8) & 0xFF, entry.rgb & 0xFF);
        for (const NamedSystemColor& entry : kSystemColors)
            built[entry.name] = ::GetSysColor(entry.index);
        return built;
    }();
    return table;
}

struct TagEntry
{
    std::wstring_view name;
    TagInfo info;
};

// The tags by the first character of their names: a look-up compares a few
// names of one length at most, and makes no string.
class TagTable
{
public:
    TagTable()
    {
        const TagEntry tags[] = {
            {L"b", {kTagBold, L"bold"}},
            {L"i", {kTagItalic, L"italic"}},
            {L"em", {kTagItalic, L"italic"}},
            {L"u", {kTagUnderline, L"underline"}},
            {L"s", {kTagStrike, L"strikeout"}},
            {L"strike", {kTagStrike, L"strikeout"}},
            {L"font", {kTagFont, L"font"}},
            {L"hr", {kTagRule, L""}},
            {L"br", {kTagBreak, L""}},
            {L"\n", {kTagBreak, L""}},
            {L"t", {kTagTab, L""}},
            {L"\t", {kTagTab, L""}},
            {L"left", {kTagLeft, L"left"}},
            {L"center", {kTagCenter, L"center"}},
            {L"right", {kTagRight, L"right"}},
            {L"justify", {kTagJustify, L"justify"}},
            {L"baseline", {kTagBaseline, L"baseline"}},
            {L"top", {kTagTop, L"top"}},
            {L"vcenter", {kTagVCenter, L"vcenter"}},
            {L"middle", {kTagVCenter, L"vcenter"}},
            {L"bottom", {kTagBottom, L"vcenter"}},
            {L"bmp", {kTagBitmap, L""}},
            {L"icon", {kTagIcon, L""}},
            {L"ilst", {kTagImageList, L""}},
            {L"string", {kTagString, L""}},
            {L"span", {kTagSpan, L"span"}},
            {L"a", {kTagLink, L"link"}},
            {L"table", {kTagTable, L"table"}},
            {L"tr", {kTagRow, L"tr"}},
            {L"td", {kTagCell, L"td"}},
        };
        for (const TagEntry& tag : tags)
            Add(tag);
        for (const wchar_t* name : {L"body", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"code", L"pre",
                                    L"big", L"small", L"sub", L"sup"})
            Add(TagEntry{name, {kTagSheet, name}});
    }

    const TagInfo* Find(const wchar_t* name, size_t length) const
    {
        if (length == 0 || static_cast<size_t>(name[0]) >= kFirstCharacters)
            return nullptr;
        for (const TagEntry& entry : m_byFirst[static_cast<size_t>(name[0])]) {
            if (entry.name.size() == length && std::equal(name + 1, name + length, entry.name.data() + 1))
                return &entry.info;
        }
        return nullptr;
    }

private:
    static constexpr size_t kFirstCharacters = 128; // every name starts with an ASCII character

    void Add(const TagEntry& entry) { m_byFirst[static_cast<size_t>(entry.name[0])].push_back(entry); }

    std::vector<TagEntry> m_byFirst[kFirstCharacters];
};

struct Entity
{
    const wchar_t* name;
    const wchar_t* text;
};

const Entity kEntities[] = {
    {L"&amp;", L"&"},        {L"&bull;", L"\x2022"},   {L"&copy;", L"\x00A9"}, {L"&euro;", L"\x20AC"},
    {L"&gt;", L">"},         {L"&iquest;", L"\x00BF"}, {L"&lt;", L"<<"},       {L"&nbsp;", L" "},
    {L"&para;", L"\x00B6"},  {L"&pound;", L"\x00A3"},  {L"&quot;", L"\""},     {L"&reg;", L"\x00AE"},
    {L"&trade;", L"\x2122"},
};

bool IsDeclarationSeparator(wchar_t ch)
{
    return ch == L' ' || ch == L',' || ch == L'\t';
}

int ParseFontWeight(const std::wstring& value, int previous)
{
    if (value.empty() || value == L"normal")
        return 400;
    if (value == L"bold")
        return 700;
    if (value == L"bolder")
        return 900;
    if (value == L"lighter")
        return 100;
    if (!iswdigit(value[0]))
        return previous;
    return std::clamp(static_cast<int>(wcstol(value.c_str(), nullptr, 10)), 0, 1000);
}

void ApplyDecorationWord(HtmlStyle& style, std::wstring_view word)
{
    if (word == L"none") {
        style.underline = style.strikeOut = style.overline = false;
    } else if (word == L"underline") {
        style.underline = true;
    } else if (word == L"line-through") {
        style.strikeOut = true;
    } else if (word == L"overline") {
        style.overline = true;
    }
}

// Each word of the value in turn (no value: "none"); read in place, as
// links apply theirs again and again.
void ApplyTextDecoration(HtmlStyle& style, const std::wstring& value)
{
    bool any = false;
    size_t start = 0;
    for (size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && !IsDeclarationSeparator(value[i]))
            continue;
        if (i > start) {
            ApplyDecorationWord(style, std::wstring_view(value).substr(start, i - start));
            any = true;
        }
        start = i + 1;
    }
    if (!any)
        ApplyDecorationWord(style, L"none");
}

void ApplyBorderWidthValue(HtmlStyle& style, const std::wstring& value, const LengthContext& context)
{
    int width = style.borderWidth;
    if (value == L"thin")
        width = MulDiv(width, 75, 100);
    else if (value == L"medium")
        width = MulDiv(width, 100, 100);
    else if (value == L"thick")
        width = MulDiv(width, 125, 100);
    else
        width = ParseLength(value, width, context);
    SetBorderWidth(style, width);
}

} // namespace

void ApplyDeclaration(HtmlStyle& style, const std::wstring& name, const std::wstring& value,
                      const LengthContext& context)
{
    if (name == L"font-size") {
        style.fontSize = ParseLength(value, style.fontSize, context, true);
    } else if (name == L"font-family") {
        std::wstring face = value;
        face.erase(std::remove(face.begin(), face.end(), L'"'), face.end());
        face.erase(std::remove(face.begin(), face.end(), L'\\'), face.end());
        if (!face.empty())
            style.face = face;
    } else if (name == L"font-style") {
        if (value.empty() || value == L"normal")
            style.italic = false;
        else if (value == L"italic" || value == L"oblique")
            style.italic = true;
    } else if (name == L"font-weight") {
        style.weight = ParseFontWeight(value, style.weight);
    } else if (name == L"text-align") {
        if (value.empty() || value == L"left")
            style.hAlign = kAlignLeft;
        else if (value == L"center")
            style.hAlign = kAlignCenter;
        else if (value == L"right")
            style.hAlign = kAlignRight;
    } else if (name == L"text-transform") {
        const wchar_t* names[] = {L"none", L"uppercase", L"lowercase", L"capitalize"};
        for (int i = 0; i < 4; ++i) {
            if (value == names[i])
                style.textTransform = i;
        }
    } else if (name == L"color") {
        style.color = ParseColor(value, style.color);
    } else if (name == L"background-color") {
        if (value.empty() || value == L"transparent") {
            style.opaqueBack = false;
        } else {
            style.opaqueBack = true;
            style.backColor = ParseColor(value, style.backColor);
        }
    } else if (name == L"text-decoration") {
        ApplyTextDecoration(style, value);
    } else if (name == L"vertical-align") {
        if (value.empty() || value == L"baseline")
            style.vAlign = kVAlignBaseline;
        else if (value == L"middle" || value == L"vcenter")
            style.vAlign = kVAlignMiddle;
        else if (value == L"top")
            style.vAlign = kVAlignTop;
        else if (value == L"bottom")
            style.vAlign = kVAlignBottom;
    } else if (name == L"border-color") {
        style.borderColorLight = ParseColor(value, style.borderColorLight);
        style.borderColorDark = ParseColor(value, style.borderColorDark);
    } else if (name == L"border-width" || name == L"size") {
        ApplyBorderWidthValue(style, value, context);
    } else if (name == L"border-style") {
        SetBorderStyle(style, ParseBorderStyle(value, style.borderStyle));
    } else if (name == L"margin") {
        style.margin = ParseLength(value, style.margin, context);
    } else if (name == L"padding") {
        style.padding = ParseLength(value, style.padding, context);
    }
}

std::wstring ToLowerAscii(std::wstring text)
{
    for (wchar_t& ch : text) {
        if (ch >= L'A' && ch <= L'Z')
            ch = static_cast<wchar_t>(ch - L'A' + L'a');
    }
    return text;
}

std::wstring TrimBlanks(const std::wstring& text)
{
    const wchar_t* blanks = L" \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

const TagInfo* FindTag(const wchar_t* name, size_t length)
{
    static const TagTable table;
    return table.Find(name, length);
}

const TagInfo* FindTag(std::wstring_view name)
{
    return FindTag(name.data(), name.size());
}

bool IsVoidTag(int code)
{
    return code == kTagRule || code == kTagBreak || code == kTagTab ||
           (code >= kTagBitmap && code <= kTagString);
}

bool IsStyleTag(int code)
{
    return (code >= kTagBold && code <= kTagFont) || (code >= kTagLeft && code <= kTagBottom) ||
           (code >= kTagSheet && code <= kTagLink);
}

namespace
{
// The entity that starts at `at` (a "&"), or null; `length` is how many
// characters it takes there. With `skipReturns`, carriage returns inside it
// are skipped, as if they had been removed first.
const Entity* EntityAt(const wchar_t* at, const wchar_t* end, bool skipReturns, size_t& length)
{
    for (const Entity& entity : kEntities) {
        const wchar_t* pos = at;
        const wchar_t* name = entity.name;
        while (*name && pos < end) {
            if (skipReturns && *pos == L'\r' && pos != at) {
                ++pos;
                continue;
            }
            if (*pos != *name)
                break;
            ++pos;
            ++name;
        }
        if (!*name) {
            length = static_cast<size_t>(pos - at);
            return &entity;
        }
    }
    return nullptr;
}

// Replaces the entities in place: every entity is longer than what replaces it.
void ReplaceEntitiesInPlace(std::wstring& text)
{
    size_t to = 0;
    size_t pos = 0;
    const wchar_t* const end = text.data() + text.size();
    while (pos < text.size()) {
        const wchar_t ch = text[pos];
        size_t length = 0;
        const Entity* match = ch == L'&' ? EntityAt(text.data() + pos, end, false, length) : nullptr;
        if (!match) {
            text[to++] = ch;
            ++pos;
            continue;
        }
        for (const wchar_t* replacement = match->text; *replacement; ++replacement)
            text[to++] = *replacement;
        pos += length;
    }
    text.resize(to);
}

// Carriage return, line feed, tab and "&": what preparing the markup changes.
bool IsPreparedAway(wchar_t ch)
{
    return ch <= L'&' && (ch == L'&' || ch == L'\r' || ch == L'\n' || ch == L'\t');
}
} // namespace

std::wstring ReplaceEntities(const std::wstring& text)
{
    std::wstring result = text;
    ReplaceEntitiesInPlace(result);
    return result;
}

void PrepareMarkup(std::wstring_view text, std::wstring& prepared)
{
    // One pass: the entities are matched as if the carriage returns were gone,
    // and no entity name holds a character of "<br>" or "<t>".
    prepared.clear();
    prepared.reserve(text.size());
    const wchar_t* pos = text.data();
    const wchar_t* const end = pos + text.size();
    while (pos < end) {
        const wchar_t* plain = pos;
        while (pos < end && !IsPreparedAway(*pos))
            ++pos;
        prepared.append(plain, static_cast<size_t>(pos - plain));
        if (pos == end)
            break;
        const wchar_t ch = *pos;
        size_t length = 1;
        if (ch == L'\n') {
            prepared += L"<br>";
        } else if (ch == L'\t') {
            prepared += L"<t>";
        } else if (ch == L'&') {
            const Entity* match = EntityAt(pos, end, true, length);
            if (match)
                prepared += match->text;
            else
                prepared += ch;
        }
        pos += length;
    }
}

std::wstring PrepareMarkup(std::wstring_view text)
{
    std::wstring prepared;
    PrepareMarkup(text, prepared);
    return prepared;
}

int ParseLength(const std::wstring& rawValue, int previous, const LengthContext& context, bool fontSize)
{
    std::wstring value = TrimBlanks(rawValue);
    if (value.empty())
        return previous;
    if (value.back() == L'%') {
        long percent = wcstol(value.c_str(), nullptr, 10);
        return MulDiv(previous, static_cast<int>(std::clamp(percent, -100000L, 100000L)), 100);
    }
    if (value[0] == L'+' || value[0] == L'-')
        value.erase(0, 1);
    wchar_t* end = nullptr;
    double number = wcstod(value.c_str(), &end);
    if (end == value.c_str())
        return previous;
    number = std::clamp(number, 0.0, 100000.0);
    std::wstring unit = value.size() >= 2 ? value.substr(value.size() - 2) : std::wstring();
    double pixels = number;
    if (unit == L"ex")
        pixels = number * context.xHeight;
    else if (unit == L"em")
        pixels = number * context.fontHeight;
    else if (unit == L"in")
        pixels = number * context.dpiY;
    else if (unit == L"cm")
        pixels = number * context.dpiY * 0.3937;
    else if (unit == L"mm")
        pixels = number * context.dpiY * 0.03937;
    else if (unit == L"pt")
        pixels = number * context.dpiY / 72;
    else if (unit == L"pc")
        pixels = number * context.dpiY / 6;
    else if (fontSize && unit != L"px") {
        static const int kHtmlSizes[] = {8, 10, 12, 14, 18, 24, 36};
        int whole = static_cast<int>(number);
        if (whole == number && whole >= 1 && whole <= 7)
            return kHtmlSizes[whole - 1];
    }
    return static_cast<int>(std::min(pixels, 1000000.0));
}

bool FindNamedColor(const std::wstring& name, COLORREF& color)
{
    const auto& table = ColorTable();
    auto found = table.find(name);
    if (found == table.end())
        return false;
    color = found->second;
    return true;
}

size_t NamedColorCount()
{
    return ColorTable().size();
}

COLORREF ParseColor(const std::wstring& rawValue, COLORREF previous)
{
    std::wstring value = TrimBlanks(rawValue);
    if (value.empty())
        return previous;
    if (value[0] == L'#') {
        if (value.size() != 7 || !std::all_of(value.begin() + 1, value.end(), iswxdigit))
            return previous;
        unsigned long rgb = wcstoul(value.c_str() + 1, nullptr, 16);
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    if (iswdigit(value[0]))
        return static_cast<COLORREF>(wcstoul(value.c_str(), nullptr, 0) & 0xFFFFFFFF);
    COLORREF named = previous;
    FindNamedColor(value, named);
    return named;
}

int ParseEffect(const std::wstring& rawValue, int previous)
{
    static const wchar_t* kNames[] = {L"solid",      L"hgradient",  L"vgradient",  L"hcgradient",
                                      L"vcgradient", L"3hgradient", L"3vgradient", L"noise",
                                      L"diagshade",  L"hshade",     L"vshade",     L"hbump",
                                      L"vbump",      L"softbump",   L"hardbump",   L"metal"};
    std::wstring value = ToLowerAscii(TrimBlanks(rawValue));
    if (value.empty())
        return previous;
    if (value == L"transparent")
        return -1;
    for (int i = 0; i < 16; ++i) {
        if (value == kNames[i])
            return i;
    }
    return static_cast<int>(wcstol(value.c_str(), nullptr, 0));
}

int ParseBorderStyle(const std::wstring& value, int previous)
{
    if (value.empty() || value == L"none")
        return kBorderNone;
    if (value == L"solid")
        return kBorderSolid;
    if (value == L"dashed")
        return kBorderDashed;
    if (value == L"dotted")
        return kBorderDotted;
    if (value == L"double")
        return kBorderDouble;
    return previous;
}

void SetBorderWidth(HtmlStyle& style, int width)
{
    style.borderWidth = std::max(0, width);
    if (style.borderWidth == 0)
        style.borderStyle = kBorderNone;
    else if (style.borderStyle == kBorderNone)
        style.borderStyle = kBorderSolid;
}

void SetBorderStyle(HtmlStyle& style, int borderStyle)
{
    style.borderStyle = borderStyle;
    if (borderStyle == kBorderNone)
        style.borderWidth = 0;
    else if (style.borderWidth == 0)
        style.borderWidth = 1;
}

Declarations SplitDeclarations(const std::wstring& declarations)
{
    Declarations split;
    std::wstring lowered = ToLowerAscii(declarations);
    size_t pos = 0;
    while (pos <= lowered.size()) {
        size_t end = lowered.find(L';', pos);
        if (end == std::wstring::npos)
            end = lowered.size();
        std::wstring declaration = lowered.substr(pos, end - pos);
        size_t colon = declaration.find(L':');
        if (colon != std::wstring::npos)
            split.emplace_back(TrimBlanks(declaration.substr(0, colon)),
                               TrimBlanks(declaration.substr(colon + 1)));
        pos = end + 1;
    }
    return split;
}

void ApplyDeclarations(HtmlStyle& style, const std::wstring& declarations, const LengthContext& context)
{
    for (const auto& declaration : SplitDeclarations(declarations))
        ApplyDeclaration(style, declaration.first, declaration.second, context);
}

StyleSheet ParseStyleSheet(const std::wstring& text)
{
    StyleSheet sheet;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(L" {", pos);
        if (open == std::wstring::npos)
            break;
        size_t close = text.find(L'}', open);
        if (close == std::wstring::npos)
            close = text.size();
        std::wstring selector = ToLowerAscii(TrimBlanks(text.substr(pos, open - pos)));
        sheet[selector] = text.substr(open + 2, close - open - 2);
        pos = close + 1;
    }
    return sheet;
}

const std::wstring& DefaultStyleSheetText()
{
    static const std::wstring text =
        L"body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
        L"p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
        L"h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
        L"h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
        L"h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
        L"h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
        L"h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
        L"h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
        L"pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
        L"code {color:#990000; font-family:Arial}\r\n"
        L"a:link {text-decoration:none; color:blue}\r\n"
        L"a:hover {text-decoration:underline; color:blue}\r\n"
        L"sub {font-size:65%; vertical-align:bottom}\r\n"
        L"sup {font-size:65%; vertical-align:top}\r\n"
        L"big {font-size:125%}\r\n"
        L"small {font-size:75%}\r\n"
        L".cpp-comment {color:green; font-style:italic}\r\n";
    return text;
}

} // namespace html

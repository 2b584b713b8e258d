#include "common/html/HtmlPage.h"

#include "common/html/HtmlVocabulary.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <cwchar>
#include <cwctype>

using namespace std::string_view_literals;

namespace html
{
namespace
{

const size_t kMaxPageDepth = 200;

// What a tag is, looked up once when the element is made.
enum TagTrait : unsigned
{
    kTraitVoid = 1,     // takes no closing tag
    kTraitRawText = 2,  // its content is text up to its closing tag
    kTraitBlock = 4,    // starts and ends a line
    kTraitSpaced = 8,   // a block followed by an empty line
    kTraitHidden = 16,  // never drawn
    kTraitStyling = 32, // gives its content a style of its own (see ApplyTagDefaults)
    // What the parse needs to know of a tag: the implied closes, the style
    // blocks and sheet links.
    kTraitRow = 64,              // tr
    kTraitCell = 128,            // td, th
    kTraitTable = 256,           // table
    kTraitListItem = 512,        // li
    kTraitList = 1024,           // ul, ol: an open LI ends at neither
    kTraitParagraph = 2048,      // p
    kTraitParagraphFence = 4096, // an open P ends at none of these (div, td, table, body)
    kTraitStyleBlock = 8192,     // style
    kTraitSheetLink = 16384,     // link
    // A known tag that the walk draws as plain content: neither a break, rule,
    // picture, table, link nor control (unknown tags may be controls).
    kTraitPlain = 32768,
};

// A tag name as elements hold it, and what the tag is.
struct TagName
{
    std::wstring_view name;
    unsigned traits = 0;
    // The open element the tag ends (by its traits), unless one with a trait
    // of `fences` comes first; 0 when it ends none.
    unsigned ends = 0;
    unsigned fences = 0;
};

// Sets what the tag ends: a row the row before, a cell the cell before, a
// list item the item before, a block or table an open paragraph.
void SetImpliedClose(TagName& tag)
{
    if (tag.traits & kTraitRow) {
        tag.ends = kTraitRow;
        tag.fences = kTraitTable;
    } else if (tag.traits & kTraitCell) {
        tag.ends = kTraitCell;
        tag.fences = kTraitRow | kTraitTable;
    } else if (tag.traits & kTraitListItem) {
        tag.ends = kTraitListItem;
        tag.fences = kTraitList;
    } else if (tag.traits & (kTraitBlock | kTraitTable)) {
        tag.ends = kTraitParagraph;
        tag.fences = kTraitParagraphFence;
    }
}

// The tag's entry in the table of the tags with traits: its name there, or an
// empty name when it has none.
TagName KnownTag(std::wstring_view name)
{
    static const std::unordered_map<std::wstring_view, unsigned> kTraits = [] {
        std::unordered_map<std::wstring_view, unsigned> traits;
        auto mark = [&traits](std::initializer_list<std::wstring_view> names, unsigned trait) {
            for (std::wstring_view tag : names)
                traits[tag] |= trait;
        };
        mark({L"br", L"hr", L"img", L"input", L"meta", L"base", L"link", L"col", L"area", L"param", L"wbr",
              L"basefont"},
             kTraitVoid);
        mark({L"style", L"script", L"title", L"textarea"}, kTraitRawText);
        mark({L"html", L"body",       L"div", L"p",  L"h1", L"h2", L"h3",
              L"h4",   L"h5",         L"h6",  L"ul", L"ol", L"li", L"center",
              L"form", L"blockquote", L"pre", L"dl", L"dt", L"dd", L"address"},
             kTraitBlock);
        mark({L"p", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"ul", L"ol"}, kTraitSpaced);
        mark({L"head", L"title", L"style", L"script", L"meta", L"base", L"link", L"textarea"}, kTraitHidden);
        mark({L"b",      L"strong", L"th",     L"i",  L"em",   L"cite", L"u",  L"s",
              L"strike", L"del",    L"h1",     L"h2", L"h3",   L"h4",   L"h5", L"h6",
              L"small",  L"big",    L"center", L"a",  L"font", L"body"},
             kTraitStyling);
        mark({L"tr"}, kTraitRow);
        mark({L"td", L"th"}, kTraitCell);
        mark({L"table"}, kTraitTable);
        mark({L"li"}, kTraitListItem);
        mark({L"ul", L"ol"}, kTraitList);
        mark({L"p"}, kTraitParagraph);
        mark({L"div", L"td", L"table", L"body"}, kTraitParagraphFence);
        mark({L"style"}, kTraitStyleBlock);
        mark({L"link"}, kTraitSheetLink);
        mark({L"span", L"tbody", L"thead", L"tfoot", L"code", L"sub", L"sup", L"tt", L"label"}, 0);
        for (auto& [tag, trait] : traits) {
            static constexpr std::wstring_view kApart[] = {L"br", L"hr",    L"img",   L"table",
                                                           L"a",  L"input", L"widget"};
            if (std::find(std::begin(kApart), std::end(kApart), tag) == std::end(kApart))
                trait |= kTraitPlain;
        }
        return traits;
    }();
    const auto found = kTraits.find(name);
    return found == kTraits.end() ? TagName{} : TagName{found->first, found->second};
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == L'\f';
}

void LowerInPlace(std::wstring& text)
{
    for (wchar_t& ch : text) {
        if (ch >= L'A' && ch <= L'Z')
            ch = static_cast<wchar_t>(ch + (L'a' - L'A'));
        else if (ch >= 0x80)
            ch = static_cast<wchar_t>(std::towlower(ch));
    }
}

std::wstring Lower(std::wstring text)
{
    LowerInPlace(text);
    return text;
}

// Whether the character ends a tag's name.
bool EndsName(wchar_t ch)
{
    return ch <= L'>' && (IsBlank(ch) || ch == L'>' || ch == L'/');
}

// Whether two names are the same: they are short, a loop costs less than a call.
bool SameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Whether a tag may start with the character (letters; others through the C runtime).
bool IsTagStart(wchar_t ch)
{
    if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'))
        return true;
    return ch >= 0x80 && std::iswalpha(ch);
}

std::wstring Trim(const std::wstring& text)
{
    size_t from = 0;
    size_t to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.substr(from, to - from);
}

std::wstring ColorText(COLORREF color)
{
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

COLORREF ParseCssColor(const std::wstring& raw, COLORREF previous)
{
    std::wstring value = Lower(Trim(raw));
    if (value.size() == 4 && value[0] == L'#') {
        std::wstring longer = L"#";
        for (size_t i = 1; i < 4; ++i)
            longer += std::wstring(2, value[i]);
        value = longer;
    }
    if (value.size() == 6 && std::all_of(value.begin(), value.end(), iswxdigit))
        value = L"#" + value; // BGCOLOR=FFFFFF
    return ParseColor(value, previous);
}

int HtmlFontSizePixels(const std::wstring& raw, int current)
{
    static const int kSizes[] = {10, 13, 16, 18, 24, 32, 48};
    std::wstring value = Trim(raw);
    if (value.empty())
        return current;
    int base = 3;
    wchar_t* end = nullptr;
    long number = std::wcstol(value.c_str(), &end, 10);
    if (end == value.c_str())
        return current;
    int size =
        (value[0] == L'+' || value[0] == L'-') ? base + static_cast<int>(number) : static_cast<int>(number);
    size = std::clamp(size, 1, 7);
    return kSizes[size - 1];
}

int CssLengthPixels(const std::wstring& raw, int parentPixels)
{
    std::wstring value = Lower(Trim(raw));
    static const std::pair<const wchar_t*, int> kKeywords[] = {
        {L"xx-small", 9}, {L"x-small", 10}, {L"small", 13},    {L"medium", 16},
        {L"large", 18},   {L"x-large", 24}, {L"xx-large", 32},
    };
    for (const auto& keyword : kKeywords) {
        if (value == keyword.first)
            return keyword.second;
    }
    wchar_t* end = nullptr;
    double number = std::wcstod(value.c_str(), &end);
    if (end == value.c_str() || number <= 0)
        return parentPixels;
    std::wstring unit(end);
    double pixels = number;
    if (unit == L"pt"sv)
        pixels = number * 96.0 / 72.0;
    else if (unit == L"em"sv)
        pixels = number * parentPixels;
    else if (unit == L"%")
        pixels = number * parentPixels / 100.0;
    return std::clamp(static_cast<int>(pixels + 0.5), 4, 200);
}

int AlignOfText(const std::wstring& raw, int previous)
{
    std::wstring value = Lower(Trim(raw));
    if (value == L"left"sv)
        return 0;
    if (value == L"center"sv || value == L"middle"sv)
        return 1;
    if (value == L"right"sv)
        return 2;
    return previous;
}

void ApplyDeclaration(ComputedStyle& style, const std::wstring& name, const std::wstring& rawValue,
                      int parentPixels)
{
    std::wstring value = Trim(rawValue);
    std::wstring lower = Lower(value);
    if (name == L"color"sv) {
        style.color = ParseCssColor(value, style.color);
    } else if (name == L"background-color"sv || name == L"background"sv) {
        if (lower == L"transparent"sv || lower == L"none"sv) {
            style.hasBackground = false;
            return;
        }
        COLORREF none = RGB(1, 2, 3);
        COLORREF color = ParseCssColor(value, none);
        if (color != none) {
            style.hasBackground = true;
            style.background = color;
        }
    } else if (name == L"font-size"sv) {
        style.fontPixels = CssLengthPixels(value, parentPixels);
    } else if (name == L"font-family"sv) {
        std::wstring first = value.substr(0, value.find(L','));
        first.erase(
            std::remove_if(first.begin(), first.end(), [](wchar_t ch) { return ch == L'"' || ch == L'\''; }),
            first.end());
        first = Trim(first);
        if (!first.empty())
            style.face = first;
    } else if (name == L"font-weight"sv) {
        long weight = std::wcstol(lower.c_str(), nullptr, 10);
        style.bold = lower == L"bold"sv || lower == L"bolder"sv || weight >= 600;
    } else if (name == L"font-style"sv) {
        style.italic = lower == L"italic"sv || lower == L"oblique"sv;
    } else if (name == L"text-decoration"sv) {
        if (lower.find(L"none") != std::wstring::npos) {
            style.underline = false;
            style.strike = false;
        }
        if (lower.find(L"underline") != std::wstring::npos)
            style.underline = true;
        if (lower.find(L"line-through") != std::wstring::npos)
            style.strike = true;
    } else if (name == L"text-align"sv) {
        style.align = AlignOfText(value, style.align);
    } else if (name == L"display"sv) {
        style.hidden = lower == L"none"sv;
    }
}

// The style the tag itself gives (bold, heading sizes, link colour, ...).
void ApplyStylingTag(const PageElement& element, ComputedStyle& style, int parentPixels)
{
    const std::wstring_view tag = element.tag;
    if (tag == L"b"sv || tag == L"strong"sv || tag == L"th"sv) {
        style.bold = true;
    } else if (tag == L"i"sv || tag == L"em"sv || tag == L"cite"sv) {
        style.italic = true;
    } else if (tag == L"u"sv) {
        style.underline = true;
    } else if (tag == L"s"sv || tag == L"strike"sv || tag == L"del"sv) {
        style.strike = true;
    } else if (tag.size() == 2 && tag[0] == L'h' && tag[1] >= L'1' && tag[1] <= L'6') {
        static const int kHeadings[] = {26, 20, 16, 13, 11, 10};
        style.fontPixels = kHeadings[tag[1] - L'1'];
        style.bold = true;
    } else if (tag == L"small"sv) {
        style.fontPixels = std::max(6, parentPixels * 4 / 5);
    } else if (tag == L"big"sv) {
        style.fontPixels = parentPixels * 6 / 5;
    } else if (tag == L"center"sv) {
        style.align = 1;
    } else if (tag == L"a"sv && element.FindAttribute(L"href")) {
        style.color = RGB(0, 0, 0xEE);
        style.underline = true;
    } else if (tag == L"font"sv) {
        if (const std::wstring* face = element.FindAttribute(L"face"))
            ApplyDeclaration(style, L"font-family", *face, parentPixels);
        if (const std::wstring* color = element.FindAttribute(L"color"))
            style.color = ParseCssColor(*color, style.color);
        if (const std::wstring* size = element.FindAttribute(L"size"))
            style.fontPixels = HtmlFontSizePixels(*size, style.fontPixels);
    } else if (tag == L"body"sv) {
        if (const std::wstring* color = element.FindAttribute(L"text"))
            style.color = ParseCssColor(*color, style.color);
    }
}

void ApplyTagDefaults(const PageElement& element, ComputedStyle& style, int parentPixels)
{
    const std::wstring_view tag = element.tag;
    if (element.traits & kTraitStyling)
        ApplyStylingTag(element, style, parentPixels);
    if ((element.traits & kTraitBlock) || tag == L"td"sv || tag == L"th"sv || tag == L"table"sv) {
        if (const std::wstring* align = element.FindAttribute(L"align"))
            style.align = AlignOfText(*align, style.align);
    }
    if (element.traits & kTraitHidden)
        style.hidden = true;
}

using AttributeList = std::vector<std::pair<std::wstring, std::wstring>>;

void AddAttribute(AttributeList& attributes, std::wstring_view name, const wchar_t* value,
                  const wchar_t* valueEnd)
{
    std::wstring lowerName(name);
    LowerInPlace(lowerName);
    std::wstring text(value, valueEnd);
    if (text.find(L'&') != std::wstring::npos)
        text = DecodeEntities(text);
    attributes.emplace_back(std::move(lowerName), std::move(text));
}

// Reads a tag's attributes from just after its name up to its '>' (quoted
// values may hold one); returns where that '>' is, or `end`.
const wchar_t* ReadAttributes(const wchar_t* at, const wchar_t* end, AttributeList& attributes)
{
    while (at < end && *at != L'>') {
        if (IsBlank(*at) || *at == L'/') {
            ++at;
            continue;
        }
        const wchar_t* nameStart = at;
        while (at < end && !IsBlank(*at) && *at != L'=' && *at != L'>')
            ++at;
        const std::wstring_view name(nameStart, static_cast<size_t>(at - nameStart));
        while (at < end && IsBlank(*at))
            ++at;
        const wchar_t* value = at;
        const wchar_t* valueEnd = at;
        if (at < end && *at == L'=') {
            ++at;
            while (at < end && IsBlank(*at))
                ++at;
            if (at < end && (*at == L'"' || *at == L'\'')) {
                const wchar_t quote = *at++;
                value = at;
                valueEnd = std::find(at, end, quote);
                at = valueEnd == end ? end : valueEnd + 1;
            } else {
                value = at;
                while (at < end && !IsBlank(*at) && *at != L'>')
                    ++at;
                valueEnd = at;
            }
        }
        if (!name.empty())
            AddAttribute(attributes, name, value, valueEnd);
    }
    return at;
}

// Whether "</" + `name` starts at `at`, in any case.
bool StartsClosingTag(const wchar_t* at, const wchar_t* end, std::wstring_view name)
{
    if (static_cast<size_t>(end - at) < name.size() + 2 || at[0] != L'<' || at[1] != L'/')
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towlower(at[2 + i]) != std::towlower(name[i]))
            return false;
    }
    return true;
}

// Reads a page into its element tree in place: tag names are looked at in
// the page's text (copied only when they hold capitals), attributes are read
// into a list the element then takes, text goes straight into its node.
class PageReader
{
public:
    PageReader(NodePool<PageElement>& pool, PageElement& root, std::unordered_set<std::wstring>& otherNames,
               std::vector<PageElement*>& styleBlocks, std::vector<PageElement*>& sheetLinks)
        : m_pool(pool), m_otherNames(otherNames), m_styleBlocks(styleBlocks), m_sheetLinks(sheetLinks)
    {
        m_open.reserve(kMaxPageDepth);
        m_open.push_back(&root);
    }

    void Read(const wchar_t* pos, const wchar_t* end)
    {
        m_end = end;
        while (pos < end) {
            if (*pos != L'<') {
                const wchar_t* next = pos;
                bool entity = false;
                while (next < end && *next != L'<') {
                    entity |= *next == L'&';
                    ++next;
                }
                AddText(pos, next);
                m_runHasEntity |= entity;
                pos = next;
                continue;
            }
            pos = ReadMarkup(pos);
        }
        EndText();
    }

private:
    // Reads what starts with the '<' at `pos`: a comment, a declaration, a
    // tag or a plain '<'; returns where the text goes on.
    const wchar_t* ReadMarkup(const wchar_t* pos)
    {
        const wchar_t next = pos + 1 < m_end ? pos[1] : 0;
        if (next == L'!' && m_end - pos >= 4 && pos[2] == L'-' && pos[3] == L'-') {
            EndText();
            const std::wstring_view rest(pos + 4, static_cast<size_t>(m_end - pos - 4));
            const size_t close = rest.find(L"-->");
            return close == std::wstring_view::npos ? m_end : pos + 4 + close + 3;
        }
        if (next == L'!' || next == L'?') {
            EndText();
            return After(std::find(pos, m_end, L'>'));
        }
        if (!IsTagStart(next) && next != L'/') {
            AddText(pos, pos + 1);
            return pos + 1;
        }
        EndText();
        return ReadTag(pos);
    }

    // The position after the '>' at `close`, or the end when there is none.
    const wchar_t* After(const wchar_t* close) const { return close == m_end ? m_end : close + 1; }

    const wchar_t* ReadTag(const wchar_t* pos)
    {
        const wchar_t* at = pos + 1;
        const bool closing = at < m_end && *at == L'/';
        if (closing)
            ++at;
        const wchar_t* nameStart = at;
        bool capitals = false;
        while (at < m_end && !EndsName(*at)) {
            capitals |= (*at >= L'A' && *at <= L'Z') || *at >= 0x80;
            ++at;
        }
        const wchar_t* nameEnd = at;
        m_attributes.clear();
        const wchar_t* after = After(ReadAttributes(at, m_end, m_attributes));
        if (nameStart == nameEnd)
            return after;
        const std::wstring_view name =
            capitals ? Lowered(nameStart, nameEnd)
                     : std::wstring_view(nameStart, static_cast<size_t>(nameEnd - nameStart));
        if (closing) {
            Close(name);
            return after;
        }
        const TagName tag = Tag(name);
        PageElement& element = Open(tag);
        return (tag.traits & kTraitRawText) ? ReadRawText(element, tag.name, after) : after;
    }

    // A name read with capitals, in lower case.
    std::wstring_view Lowered(const wchar_t* begin, const wchar_t* end)
    {
        m_lowered.assign(begin, end);
        LowerInPlace(m_lowered);
        return m_lowered;
    }

    // The name as elements hold it (the table's, or the page's own copy of
    // a name the table lacks) and its traits. Pages repeat their tags: the
    // last name's serve again.
    TagName Tag(std::wstring_view name)
    {
        if (SameName(name, m_traced.name))
            return m_traced;
        m_traced = KnownTag(name);
        if (m_traced.name.empty())
            m_traced.name = *m_otherNames.emplace(name).first;
        SetImpliedClose(m_traced);
        return m_traced;
    }

    // Ends the innermost open element of that name; one of a table's rows or
    // cells never ends outside its table.
    void Close(std::wstring_view name)
    {
        const bool cell =
            name.size() == 2 && name[0] == L't' && (name[1] == L'd' || name[1] == L'h' || name[1] == L'r');
        for (size_t i = m_open.size(); i-- > 1;) {
            if (SameName(m_open[i]->tag, name)) {
                m_open.resize(i);
                return;
            }
            if (cell && (m_open[i]->traits & kTraitTable))
                return;
        }
    }

    // Ends the innermost open element with one of the traits `ended`, unless
    // one with a trait of `limits` comes first.
    void CloseImplied(unsigned ended, unsigned limits)
    {
        for (size_t i = m_open.size(); i-- > 1;) {
            if (m_open[i]->traits & limits)
                return;
            if (m_open[i]->traits & ended) {
                m_open.resize(i);
                return;
            }
        }
    }

    PageElement& Open(const TagName& tag)
    {
        const unsigned traits = tag.traits;
        if (tag.ends)
            CloseImplied(tag.ends, tag.fences);
        PoolPtr<PageElement> made = m_pool.Make();
        PageElement& element = *made;
        element.tag = tag.name;
        element.traits = traits;
        PageElement* parent = m_open.back();
        element.parent = parent;
        if (!m_attributes.empty())
            TakeAttributes(element);
        parent->children.push_back(std::move(made));
        if (traits & kTraitStyleBlock)
            m_styleBlocks.push_back(&element);
        else if (traits & kTraitSheetLink)
            m_sheetLinks.push_back(&element);
        // Deeper elements are kept as empty elements; their content joins the parent.
        if (!(traits & (kTraitVoid | kTraitRawText)) && m_open.size() < kMaxPageDepth)
            m_open.push_back(&element);
        return element;
    }

    // The element takes the attributes read; the list read into next takes
    // the room of the element's old one.
    void TakeAttributes(PageElement& element)
    {
        element.Extras().attributes.swap(m_attributes);
        m_attributes.clear();
        if (element.FindAttribute(L"checked"))
            element.state |= kStateChecked;
        if (element.FindAttribute(L"disabled"))
            element.state |= kStateDisabled;
    }

    // The content of a raw-text element, up to its closing tag, as one text
    // node; returns where the text goes on after that tag.
    const wchar_t* ReadRawText(PageElement& element, std::wstring_view name, const wchar_t* pos)
    {
        const wchar_t* close = std::find(pos, m_end, L'<');
        while (close != m_end && !StartsClosingTag(close, m_end, name))
            close = std::find(close + 1, m_end, L'<');
        if (close != pos) {
            PoolPtr<PageElement> node = m_pool.Make();
            node->isText = true;
            node->text.assign(pos, close);
            node->parent = &element;
            element.children.push_back(std::move(node));
        }
        return After(std::find(close, m_end, L'>'));
    }

    void AddText(const wchar_t* begin, const wchar_t* end)
    {
        if (begin == end)
            return;
        if (!m_run) {
            m_run = m_pool.Make();
            m_run->isText = true;
        }
        // Runs between tags are often a few characters: added one at a time
        // they take the inline path.
        if (end - begin <= 4) {
            for (const wchar_t* ch = begin; ch != end; ++ch)
                m_run->text.push_back(*ch);
            return;
        }
        m_run->text.append(begin, end);
    }

    // Puts the text read since the last tag into the open element.
    void EndText()
    {
        if (!m_run)
            return;
        if (m_runHasEntity)
            DecodeRun();
        PageElement* parent = m_open.back();
        m_run->parent = parent;
        parent->children.push_back(std::move(m_run));
    }

    // Out of line, as the pool's new nodes: few runs hold entities.
    __attribute__((noinline)) void DecodeRun()
    {
        m_run->text = DecodeEntities(m_run->text);
        m_runHasEntity = false;
    }

    NodePool<PageElement>& m_pool;
    std::unordered_set<std::wstring>& m_otherNames;
    std::vector<PageElement*>& m_styleBlocks;
    std::vector<PageElement*>& m_sheetLinks;
    const wchar_t* m_end = nullptr;
    std::vector<PageElement*> m_open; // the root, then the open elements
    PoolPtr<PageElement> m_run;       // the text being read; null when none
    bool m_runHasEntity = false;      // whether that text holds a '&'
    AttributeList m_attributes;       // those of the tag being read
    std::wstring m_lowered;           // a name read with capitals, in lower case
    TagName m_traced;
};

// Whether a blank-separated class list holds the class.
bool HasClass(const std::wstring& classes, const std::wstring& name)
{
    for (size_t at = classes.find(name); at != std::wstring::npos; at = classes.find(name, at + 1)) {
        const size_t end = at + name.size();
        if ((at == 0 || classes[at - 1] == L' ') && (end == classes.size() || classes[end] == L' '))
            return true;
    }
    return false;
}

void VisitTree(PageElement& element, const std::function<bool(PageElement&)>& visitor, bool& stop)
{
    if (stop)
        return;
    if (!element.isText && !element.tag.empty() && visitor(element)) {
        stop = true;
        return;
    }
    for (auto& child : element.children)
        VisitTree(*child, visitor, stop);
}

} // namespace

// Out of line: most elements have no extras, and emptying one, inlined,
// would make every element's Reset save registers it does not need.
__attribute__((noinline)) void PageElementExtras::Reset()
{
    attributes.clear();
    if (!runtimeStyle.empty())
        runtimeStyle.clear();
    control = nullptr;
    buddy = nullptr;
    controlSize = SIZE{};
}

void PageElement::Reset()
{
    // Every field back to its default; the strings and lists keep their room.
    tag = {};
    text.clear();
    children.clear();
    parent = nullptr;
    if (extras)
        extras->Reset();
    box = RECT{};
    boxStamp = 0;
    traits = 0;
    state = 0;
    marker = -1;
    isText = false;
}

PageElementExtras& PageElement::Extras()
{
    if (!extras)
        extras = std::make_unique<PageElementExtras>();
    return *extras;
}

const std::wstring* PageElement::FindAttribute(std::wstring_view name) const
{
    if (!extras)
        return nullptr;
    for (const auto& attribute : extras->attributes) {
        if (attribute.first == name)
            return &attribute.second;
    }
    return nullptr;
}

std::wstring PageElement::Attribute(std::wstring_view name) const
{
    const std::wstring* value = FindAttribute(name);
    return value ? *value : std::wstring();
}

void PageElement::SetAttribute(const std::wstring& name, const std::wstring* value)
{
    if (!extras && !value)
        return;
    auto& attributes = Extras().attributes;
    for (auto it = attributes.begin(); it != attributes.end(); ++it) {
        if (it->first != name)
            continue;
        if (value)
            it->second = *value;
        else
            attributes.erase(it);
        return;
    }
    if (value)
        attributes.emplace_back(name, *value);
}

ControlKind PageElement::Control() const
{
    if (tag == L"a"sv)
        return FindAttribute(L"href") ? ControlKind::Hyperlink : ControlKind::None;
    if (tag != L"input"sv && tag != L"widget"sv)
        return ControlKind::None;
    const std::wstring type = Lower(Attribute(L"type"));
    if ((tag == L"input"sv || tag == L"widget"sv) && type == L"checkbox"sv)
        return ControlKind::CheckBox;
    if (tag == L"input"sv && (type == L"number"sv || type == L"numeric"sv))
        return ControlKind::Number;
    return ControlKind::None;
}

std::wstring PageElement::InnerText() const
{
    std::wstring text;
    std::function<void(const PageElement&)> collect = [&](const PageElement& element) {
        if (element.isText)
            text += element.text;
        for (const auto& child : element.children)
            collect(*child);
    };
    collect(*this);
    std::wstring collapsed;
    for (wchar_t ch : text) {
        if (IsBlank(ch)) {
            if (!collapsed.empty() && collapsed.back() != L' ')
                collapsed += L' ';
            continue;
        }
        collapsed += ch;
    }
    return Trim(collapsed);
}

int StyleRule::Specificity() const
{
    return (id.empty() ? 0 : 100) + (cls.empty() ? 0 : 10) + (tag.empty() ? 0 : 1);
}

std::wstring DecodeEntities(const std::wstring& text)
{
    static const std::pair<const wchar_t*, const wchar_t*> kNamed[] = {
        {L"amp", L"&"},         {L"lt", L"<"},         {L"gt", L">"},         {L"quot", L"\""},
        {L"apos", L"'"},        {L"nbsp", L"\xA0"},    {L"bull", L"\x2022"},  {L"copy", L"\xA9"},
        {L"reg", L"\xAE"},      {L"trade", L"\x2122"}, {L"mdash", L"\x2014"}, {L"ndash", L"\x2013"},
        {L"hellip", L"\x2026"}, {L"laquo", L"\xAB"},   {L"raquo", L"\xBB"},   {L"euro", L"\x20AC"},
        {L"middot", L"\xB7"},
    };
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            const size_t amp = std::min(text.find(L'&', i), text.size());
            out.append(text, i, amp - i);
            i = amp - 1;
            continue;
        }
        size_t semi = text.find(L';', i + 1);
        if (semi == std::wstring::npos || semi - i > 10) {
            out += text[i];
            continue;
        }
        std::wstring name = text.substr(i + 1, semi - i - 1);
        bool done = false;
        if (!name.empty() && name[0] == L'#') {
            bool hex = name.size() > 1 && (name[1] == L'x' || name[1] == L'X');
            wchar_t* end = nullptr;
            unsigned long code = std::wcstoul(name.c_str() + (hex ? 2 : 1), &end, hex ? 16 : 10);
            if (end && *end == 0 && code > 0 && code < 0xFFFF && (code < 0xD800 || code > 0xDFFF)) {
                out += static_cast<wchar_t>(code);
                done = true;
            }
        } else {
            for (const auto& entity : kNamed) {
                if (name == entity.first) {
                    out += entity.second;
                    done = true;
                    break;
                }
            }
        }
        if (!done) {
            out += text[i];
            continue;
        }
        i = semi;
    }
    return out;
}

std::vector<std::pair<std::wstring, std::wstring>> ParseCssDeclarations(const std::wstring& text)
{
    std::vector<std::pair<std::wstring, std::wstring>> declarations;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L';', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring item = text.substr(pos, end - pos);
        size_t colon = item.find(L':');
        if (colon != std::wstring::npos) {
            std::wstring name = Lower(Trim(item.substr(0, colon)));
            std::wstring value = Trim(item.substr(colon + 1));
            if (!name.empty())
                declarations.emplace_back(name, value);
        }
        pos = end + 1;
    }
    return declarations;
}

std::vector<StyleRule> ParseCssRules(const std::wstring& source)
{
    std::wstring text;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, L"/*") == 0) {
            size_t end = source.find(L"*/", i + 2);
            if (end == std::wstring::npos)
                break;
            i = end + 1;
            continue;
        }
        text += source[i];
    }
    std::vector<StyleRule> rules;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(L'{', pos);
        if (open == std::wstring::npos)
            break;
        size_t close = text.find(L'}', open);
        if (close == std::wstring::npos)
            close = text.size();
        std::wstring selectors = text.substr(pos, open - pos);
        auto declarations = ParseCssDeclarations(text.substr(open + 1, close - open - 1));
        size_t start = 0;
        while (start <= selectors.size()) {
            size_t comma = selectors.find(L',', start);
            if (comma == std::wstring::npos)
                comma = selectors.size();
            std::wstring selector = Trim(selectors.substr(start, comma - start));
            start = comma + 1;
            size_t colon = selector.find(L':');
            if (colon != std::wstring::npos) {
                if (selector.compare(colon, std::wstring::npos, L":link") != 0)
                    continue; // states other than the plain link are not drawn
                selector.erase(colon);
            }
            bool simple = !selector.empty() && std::none_of(selector.begin(), selector.end(), [](wchar_t ch) {
                return IsBlank(ch) || ch == L'>' || ch == L'+' || ch == L'~' || ch == L'[' || ch == L'*';
            });
            if (!simple)
                continue;
            StyleRule rule;
            size_t mark = selector.find_first_of(L"#.");
            rule.tag = Lower(selector.substr(0, mark));
            if (mark != std::wstring::npos) {
                std::wstring name = selector.substr(mark + 1);
                if (name.find_first_of(L"#.") != std::wstring::npos)
                    continue;
                (selector[mark] == L'#' ? rule.id : rule.cls) = name;
            }
            rule.declarations = declarations;
            rules.push_back(std::move(rule));
        }
        pos = close + 1;
    }
    std::stable_sort(rules.begin(), rules.end(), [](const StyleRule& a, const StyleRule& b) {
        return a.Specificity() < b.Specificity();
    });
    return rules;
}

void HtmlPage::Parse(const std::wstring& text)
{
    m_root.children.clear();
    m_pool.Clear();
    m_otherNames.clear();
    if (m_root.extras)
        m_root.extras->attributes.clear();
    m_rules.clear();
    m_markers.clear();
    m_links.clear();
    m_styleBlocks.clear();
    m_sheetLinks.clear();
    PageReader reader(m_pool, m_root, m_otherNames, m_styleBlocks, m_sheetLinks);
    reader.Read(text.data(), text.data() + text.size());
    for (PageElement* block : m_styleBlocks)
        AddStyleSheet(block->InnerText());
}

void HtmlPage::AddStyleSheet(const std::wstring& text)
{
    std::vector<StyleRule> added = ParseCssRules(text);
    m_rules.insert(m_rules.end(), added.begin(), added.end());
    std::stable_sort(m_rules.begin(), m_rules.end(), [](const StyleRule& a, const StyleRule& b) {
        return a.Specificity() < b.Specificity();
    });
}

std::vector<std::wstring> HtmlPage::LinkedStyleSheets() const
{
    std::vector<std::wstring> sheets;
    for (const PageElement* element : m_sheetLinks) {
        if (Lower(element->Attribute(L"rel")) == L"stylesheet"sv && !element->Attribute(L"href").empty())
            sheets.push_back(element->Attribute(L"href"));
    }
    return sheets;
}

void HtmlPage::Visit(const std::function<bool(PageElement&)>& visitor)
{
    bool stop = false;
    VisitTree(m_root, visitor, stop);
}

PageElement* HtmlPage::FindById(const std::wstring& id)
{
    PageElement* found = nullptr;
    Visit([&](PageElement& element) {
        const std::wstring* value = element.FindAttribute(L"id");
        if (value && *value == id)
            found = &element;
        return found != nullptr;
    });
    return found;
}

PageElement* HtmlPage::FindAnchor(const std::wstring& name)
{
    if (name.empty())
        return nullptr;
    if (PageElement* byId = FindById(name))
        return byId;
    PageElement* found = nullptr;
    Visit([&](PageElement& element) {
        const std::wstring* value = element.FindAttribute(L"name");
        if (element.tag == L"a"sv && value && *value == name)
            found = &element;
        return found != nullptr;
    });
    return found;
}

void HtmlPage::ApplyRules(const PageElement& element, ComputedStyle& style) const
{
    int parentPixels = style.fontPixels;
    const std::wstring* id = m_rules.empty() ? nullptr : element.FindAttribute(L"id");
    const std::wstring* cls = m_rules.empty() ? nullptr : element.FindAttribute(L"class");
    for (const StyleRule& rule : m_rules) {
        if (!rule.tag.empty() && rule.tag != element.tag)
            continue;
        if (!rule.id.empty() && (!id || rule.id != *id))
            continue;
        if (!rule.cls.empty() && (!cls || !HasClass(*cls, rule.cls)))
            continue;
        for (const auto& declaration : rule.declarations)
            ApplyDeclaration(style, declaration.first, declaration.second, parentPixels);
    }
    if (const std::wstring* inline_ = element.FindAttribute(L"style")) {
        for (const auto& declaration : ParseCssDeclarations(*inline_))
            ApplyDeclaration(style, declaration.first, declaration.second, parentPixels);
    }
    if (element.extras) {
        for (const auto& declaration : element.extras->runtimeStyle)
            ApplyDeclaration(style, declaration.first, declaration.second, parentPixels);
    }
}

bool HtmlPage::InheritsUnchanged(const PageElement& element, const ComputedStyle& parentStyle) const
{
    if (parentStyle.hasBackground || (element.traits & (kTraitStyling | kTraitHidden)))
        return false;
    if (element.extras && (!element.extras->attributes.empty() || !element.extras->runtimeStyle.empty()))
        return false;
    // Without attributes only a rule naming the tag alone can apply.
    for (const StyleRule& rule : m_rules) {
        if (rule.tag == element.tag && rule.id.empty() && rule.cls.empty())
            return false;
    }
    return true;
}

ComputedStyle HtmlPage::DeriveStyle(const PageElement& element, const ComputedStyle& parentStyle) const
{
    ComputedStyle style = parentStyle;
    if (element.isText || element.tag.empty())
        return style;
    style.hasBackground = false;
    int parentPixels = style.fontPixels;
    ApplyTagDefaults(element, style, parentPixels);
    ApplyRules(element, style);
    return style;
}

ComputedStyle HtmlPage::StyleBelow(const PageElement& element, const PageElement* top,
                                   const ComputedStyle& topStyle) const
{
    std::vector<const PageElement*> chain;
    for (const PageElement* node = &element; node && node != top; node = node->parent)
        chain.push_back(node);
    ComputedStyle style = topStyle;
    for (auto node = chain.rbegin(); node != chain.rend(); ++node)
        style = DeriveStyle(**node, style);
    return style;
}

ComputedStyle HtmlPage::StyleOf(const PageElement& element) const
{
    return StyleBelow(element, nullptr, ComputedStyle());
}

COLORREF HtmlPage::Background() const
{
    COLORREF color = RGB(255, 255, 255);
    const_cast<HtmlPage*>(this)->Visit([&](PageElement& element) {
        if (element.tag != L"body")
            return false;
        if (const std::wstring* bg = element.FindAttribute(L"bgcolor"))
            color = ParseCssColor(*bg, color);
        ComputedStyle style = StyleOf(element);
        if (style.hasBackground)
            color = style.background;
        return true;
    });
    return color;
}

int HtmlPage::Margin() const
{
    int margin = 8;
    const_cast<HtmlPage*>(this)->Visit([&](PageElement& element) {
        if (element.tag != L"body")
            return false;
        if (const std::wstring* left = element.FindAttribute(L"leftmargin"))
            margin = std::clamp(static_cast<int>(std::wcstol(left->c_str(), nullptr, 10)), 0, 200);
        return true;
    });
    return margin;
}

PageElement* HtmlPage::ElementOfMarker(int marker) const
{
    if (marker < 0 || static_cast<size_t>(marker) >= m_markers.size())
        return nullptr;
    return m_markers[static_cast<size_t>(marker)];
}

PageElement* HtmlPage::LinkOfNumber(int number) const
{
    if (number < 0 || static_cast<size_t>(number) >= m_links.size())
        return nullptr;
    return m_links[static_cast<size_t>(number)];
}

namespace
{

std::wstring HandleText(HBITMAP bitmap)
{
    wchar_t handle[32] = {};
    std::swprintf(handle, 32, L"0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(bitmap)));
    return handle;
}

// Writes the walk out in the renderer's markup.
class MarkupSink : public PageSink
{
public:
    std::wstring markup;

    void Break() override { markup += L"<br>"; }
    void Rule(PageElement&) override { markup += L"<hr>"; }
    void OpenAlign(int align) override
    {
        m_aligns.push_back(align == 1 ? L"center" : align == 2 ? L"right" : L"left");
        markup += L"<" + m_aligns.back() + L">";
    }
    void CloseAlign() override
    {
        markup += L"</" + m_aligns.back() + L">";
        m_aligns.pop_back();
    }
    void OpenMarker(int marker) override { markup += L"<span id=\"e" + std::to_wstring(marker) + L"\">"; }
    void CloseMarker() override { markup += L"</span>"; }
    void OpenLink(int number) override { markup += L"<a href=\"" + std::to_wstring(number) + L"\">"; }
    void CloseLink() override { markup += L"</a>"; }
    void Text(const std::wstring& text, const ComputedStyle* style, PageElement&) override
    {
        std::wstring escaped;
        for (wchar_t ch : text) {
            if (ch == L'&')
                escaped += L"&amp;";
            else if (ch == L'<')
                escaped += L"&lt;";
            else
                escaped += ch;
        }
        if (!style) {
            markup += escaped;
            return;
        }
        std::wstring flags;
        if (style->bold)
            flags += L"+b";
        if (style->italic)
            flags += L"+i";
        if (style->underline)
            flags += L"+u";
        if (style->strike)
            flags += L"+s";
        std::wstring face = style->face;
        face.erase(std::remove(face.begin(), face.end(), L'"'), face.end());
        markup += L"<font face=\"" + face + L"\" size=\"" + std::to_wstring(style->fontPixels) +
                  L"px\" color=\"" + ColorText(style->color) + L"\"";
        if (style->hasBackground)
            markup += L" bkgnd=\"" + ColorText(style->background) + L"\"";
        if (!flags.empty())
            markup += L" style=\"" + flags + L"\"";
        markup += L">" + escaped + L"</font>";
    }
    void Picture(HBITMAP bitmap, PageElement&) override
    {
        markup += L"<bmp handle=\"" + HandleText(bitmap) + L"\">";
    }
    void OpenTable(PageElement& table) override
    {
        markup += L"<table cellspacing=\"" + table.Attribute(L"cellspacing") + L"\" cellpadding=\"" +
                  table.Attribute(L"cellpadding") + L"\" border=\"" + table.Attribute(L"border") +
                  L"\" align=\"" + Lower(table.Attribute(L"align")) + L"\">";
    }
    void OpenRow() override
    {
        if (m_rowOpen)
            markup += L"</tr>";
        markup += L"<tr>";
        m_rowOpen = true;
    }
    void OpenCell(PageElement& cell) override
    {
        markup += L"<td align=\"" + Lower(cell.Attribute(L"align")) + L"\" valign=\"" +
                  Lower(cell.Attribute(L"valign")) + L"\">";
    }
    void CloseCell() override { markup += L"</td>"; }
    void CloseTable() override
    {
        if (m_rowOpen)
            markup += L"</tr>";
        m_rowOpen = false;
        markup += L"</table>";
    }

private:
    std::vector<std::wstring> m_aligns;
    bool m_rowOpen = false;
};

} // namespace

std::wstring HtmlPage::ToRendererMarkup(const PagePlaceholder& placeholder)
{
    MarkupSink sink;
    Walk(sink, placeholder);
    return sink.markup;
}

void HtmlPage::Walk(PageSink& sink, const PagePlaceholder& placeholder)
{
    // Only the elements of the last walk's markers carry a number.
    for (PageElement* element : m_markers)
        element->marker = -1;
    m_markers.clear();
    m_links.clear();
    m_sink = &sink;
    m_placeholder = &placeholder;
    m_handedOn = 0;
    m_lineStart = true;
    m_lastBlank = true;
    EmitChildren(m_root, DeriveStyle(m_root, ComputedStyle()));
    m_sink = nullptr;
    m_placeholder = nullptr;
}

PageSink& HtmlPage::Out()
{
    ++m_handedOn;
    return *m_sink;
}

void HtmlPage::BreakLine(int count)
{
    for (int i = 0; i < count; ++i)
        Out().Break();
    m_lineStart = true;
    m_lastBlank = true;
}

void HtmlPage::OpenMarker(PageElement& element)
{
    element.marker = static_cast<int>(m_markers.size());
    m_markers.push_back(&element);
    Out().OpenMarker(element.marker);
}

HBITMAP HtmlPage::PlaceholderOf(PageElement& element)
{
    return m_placeholder && *m_placeholder ? (*m_placeholder)(element) : nullptr;
}

void HtmlPage::EmitText(PageElement& owner, const std::wstring& source, const ComputedStyle& style)
{
    if (source.empty() || style.hidden) {
        // Hidden text still ends a row of blanks, as drawn text would.
        if (!source.empty())
            CollapseBlanks(source);
        return;
    }
    // Text without a blank or no-break space goes on as it is.
    const bool plain =
        std::none_of(source.begin(), source.end(), [](wchar_t ch) { return IsBlank(ch) || ch == 0xA0; });
    if (plain)
        m_lastBlank = false;
    const std::wstring& text = plain ? source : CollapseBlanks(source);
    if (text.empty())
        return;
    Out().Text(text, &style, owner);
    m_lineStart = false;
}

const std::wstring& HtmlPage::CollapseBlanks(const std::wstring& source)
{
    std::wstring& text = m_runText;
    text.clear();
    // Blanks in a row become one; the characters between them are copied a
    // word at a time (a no-break space stays, as a blank that is not collapsed).
    const size_t size = source.size();
    size_t i = 0;
    while (i < size) {
        if (IsBlank(source[i])) {
            if (!m_lastBlank)
                text += L' ';
            m_lastBlank = true;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < size && !IsBlank(source[end]) && source[end] != 0xA0)
            ++end;
        text.append(source, i, end - i);
        if (end < size && source[end] == 0xA0) {
            text += L' ';
            ++end;
        }
        m_lastBlank = false;
        i = end;
    }
    return text;
}

void HtmlPage::EmitChildren(PageElement& element, const ComputedStyle& style)
{
    for (auto& child : element.children)
        Emit(*child, style);
}

void HtmlPage::EmitTable(PageElement& element, const ComputedStyle& style)
{
    std::vector<PageElement*> rows;
    std::function<void(PageElement&)> collectRows = [&](PageElement& parent) {
        for (auto& child : parent.children) {
            if (child->tag == L"tr"sv)
                rows.push_back(child.get());
            else if (child->tag == L"tbody"sv || child->tag == L"thead"sv || child->tag == L"tfoot"sv)
                collectRows(*child);
        }
    };
    collectRows(element);
    auto cellsOf = [](PageElement& row) {
        std::vector<PageElement*> cells;
        for (auto& child : row.children) {
            if (child->tag == L"td"sv || child->tag == L"th"sv)
                cells.push_back(child.get());
        }
        return cells;
    };
    if (!m_lineStart)
        BreakLine();
    bool marked = element.FindAttribute(L"id") != nullptr;
    if (rows.size() == 1 && cellsOf(*rows[0]).size() == 1) {
        // One cell: its content flows in the page's width.
        PageElement* cell = cellsOf(*rows[0])[0];
        if (marked)
            OpenMarker(element);
        if (cell->FindAttribute(L"id"))
            OpenMarker(*cell);
        EmitChildren(*cell, StyleBelow(*cell, &element, style));
        if (cell->marker >= 0)
            Out().CloseMarker();
        if (marked)
            Out().CloseMarker();
        if (!m_lineStart)
            BreakLine();
        return;
    }
    if (marked)
        OpenMarker(element);
    Out().OpenTable(element);
    for (PageElement* row : rows) {
        Out().OpenRow();
        for (PageElement* cell : cellsOf(*row)) {
            Out().OpenCell(*cell);
            m_lineStart = true;
            m_lastBlank = true;
            EmitChildren(*cell, StyleBelow(*cell, &element, style));
            Out().CloseCell();
        }
    }
    Out().CloseTable();
    if (marked)
        Out().CloseMarker();
    m_lineStart = true;
    m_lastBlank = true;
}

bool HtmlPage::EmitApart(PageElement& element, const ComputedStyle& style, ControlKind control)
{
    const std::wstring_view tag = element.tag;
    if (tag == L"br"sv) {
        BreakLine();
        return true;
    }
    if (tag == L"hr"sv) {
        if (!m_lineStart)
            BreakLine();
        Out().Rule(element);
        BreakLine();
        return true;
    }
    if (control == ControlKind::CheckBox || control == ControlKind::Number) {
        HBITMAP bitmap = PlaceholderOf(element);
        OpenMarker(element);
        if (bitmap)
            Out().Picture(bitmap, element);
        Out().CloseMarker();
        m_lineStart = false;
        m_lastBlank = false;
        return true;
    }
    if (tag == L"img"sv) {
        // A picture on this machine comes as a bitmap from the host; one on a web server is never fetched.
        HBITMAP bitmap = PlaceholderOf(element);
        if (!bitmap)
            return true;
        const bool marked = element.FindAttribute(L"id") != nullptr;
        if (marked)
            OpenMarker(element);
        Out().Picture(bitmap, element);
        if (marked)
            Out().CloseMarker();
        m_lineStart = false;
        m_lastBlank = false;
        return true;
    }
    if (tag == L"table"sv) {
        EmitTable(element, style);
        return true;
    }
    return false;
}

void HtmlPage::Emit(PageElement& element, const ComputedStyle& parentStyle)
{
    if (element.isText) {
        EmitText(element, element.text, parentStyle);
        return;
    }
    const std::wstring_view tag = element.tag;
    if (element.traits & kTraitHidden)
        return;
    // Most elements of a long page take their parent's style as it is: no
    // copy of it is made for them.
    std::optional<ComputedStyle> own;
    if (!InheritsUnchanged(element, parentStyle))
        own = DeriveStyle(element, parentStyle);
    const ComputedStyle& style = own ? *own : parentStyle;
    if (style.hidden)
        return;
    // Breaks, rules, controls, pictures and tables go their own way; tags
    // known to be none of them skip the checks.
    const bool plain = (element.traits & kTraitPlain) != 0;
    const ControlKind control = plain ? ControlKind::None : element.Control();
    if (!plain && EmitApart(element, style, control))
        return;
    const bool block = (element.traits & kTraitBlock) != 0;
    bool marked = control == ControlKind::Hyperlink || element.FindAttribute(L"id") ||
                  (tag == L"a"sv && element.FindAttribute(L"name"));
    if (block && !m_lineStart)
        BreakLine();
    const bool aligned = block && style.align != parentStyle.align;
    if (aligned)
        Out().OpenAlign(style.align);
    if (marked)
        OpenMarker(element);
    if (control == ControlKind::Hyperlink) {
        Out().OpenLink(static_cast<int>(m_links.size()));
        m_links.push_back(&element);
    }
    if (tag == L"li"sv)
        EmitText(element, L"\x2022 ", style);
    const size_t before = m_handedOn;
    EmitChildren(element, style);
    if (marked && m_handedOn == before)
        Out().Text(L"\x200B", nullptr, element); // an empty anchor still gets a place
    if (control == ControlKind::Hyperlink)
        Out().CloseLink();
    if (marked)
        Out().CloseMarker();
    if (block && !m_lineStart)
        BreakLine();
    if (element.traits & kTraitSpaced)
        BreakLine();
    if (aligned)
        Out().CloseAlign();
}

} // namespace html

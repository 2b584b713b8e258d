#include "common/html/HtmlLayout.h"

#include "common/GdiObjectGuards.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace html
{
namespace
{

const int kMaxCount = 1000;
const int kMaxSpan = 64;
const int kMaxImageSize = 4096;
// Characters below this one (Latin, with no combining marks) and those of
// the punctuation block (bullets, dashes, the zero-width space) are measured
// from each font's table of advance widths, read once per font; the table
// holds the punctuation after the Latin characters.
const UINT kCachedWidthChars = 0x300;
const UINT kFirstPunctuation = 0x2000;
const UINT kPunctuationChars = 0x70;

// The advance width of a character from a font's table; false when the table
// does not hold it.
bool TableWidth(const std::vector<int>& widths, wchar_t ch, int& width)
{
    size_t index = ch;
    if (index >= kCachedWidthChars) {
        if (index < kFirstPunctuation || index >= kFirstPunctuation + kPunctuationChars)
            return false;
        index = kCachedWidthChars + (index - kFirstPunctuation);
    }
    if (index >= widths.size())
        return false;
    width = widths[index];
    return true;
}

bool IsBreakCharacter(wchar_t ch)
{
    return wcschr(L" -.,!:;)}]?", ch) != nullptr && ch != 0;
}

int CountBlanks(std::wstring_view text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), L' '));
}

// The count after a "br" or "t" tag name: the rest less its first character.
int TagCount(const HtmlNode& node)
{
    if (node.text.size() < 2)
        return 1;
    long count = wcstol(node.text.c_str() + 1, nullptr, 10);
    return static_cast<int>(std::clamp(count, 1L, static_cast<long>(kMaxCount)));
}

std::wstring Transform(std::wstring text, int transform)
{
    if (transform == 1 || transform == 2 || transform == 3) {
        for (wchar_t& ch : text)
            ch = transform == 1 ? static_cast<wchar_t>(towupper(ch)) : static_cast<wchar_t>(towlower(ch));
    }
    if (transform == 3) {
        for (size_t i = 0; i < text.size(); ++i) {
            if ((i == 0 || text[i - 1] == L' ') && text[i] >= L'a' && text[i] <= L'z')
                text[i] = static_cast<wchar_t>(text[i] - L'a' + L'A');
        }
    }
    return text;
}

int ParseInt(const std::wstring& value, int fallback)
{
    if (value.empty())
        return fallback;
    wchar_t* end = nullptr;
    long number = wcstol(value.c_str(), &end, 10);
    if (end == value.c_str())
        return fallback;
    return static_cast<int>(std::clamp(number, -100000L, 100000L));
}

int Span(const HtmlNode& node, const wchar_t* name)
{
    int span = ParseInt(node.Attribute(name), 1);
    return std::clamp(span, 1, kMaxSpan); // 0 counts as 1
}

int AlignOf(const std::wstring& value, int fallback)
{
    std::wstring lowered = ToLowerAscii(value);
    if (lowered == L"left")
        return kAlignLeft;
    if (lowered == L"center" || lowered == L"middle")
        return kAlignCenter;
    if (lowered == L"right")
        return kAlignRight;
    return fallback;
}

int VAlignOf(const std::wstring& value, int fallback)
{
    std::wstring lowered = ToLowerAscii(value);
    if (lowered == L"top")
        return kVAlignTop;
    if (lowered == L"middle" || lowered == L"vcenter" || lowered == L"center")
        return kVAlignMiddle;
    if (lowered == L"bottom")
        return kVAlignBottom;
    return fallback;
}

UINT StyleLetters(const std::wstring& letters, bool shadowBlur)
{
    UINT flags = 0;
    for (wchar_t ch : letters) {
        if (ch == L'g')
            flags |= DrawEffects::kFilterGrey;
        else if (ch == L'd')
            flags |= DrawEffects::kFilterDarken;
        else if (ch == L'l')
            flags |= DrawEffects::kFilterLighten;
        else if (ch == L's')
            flags |= DrawEffects::kImageShadow |
                     (shadowBlur ? static_cast<UINT>(DrawEffects::kImageShadowBlur) : 0u);
    }
    return flags;
}

HANDLE LoadImageFrom(HMODULE module, const std::wstring& name, UINT type, UINT flags)
{
    return ::LoadImageW(module, name.c_str(), type, 0, 0, flags);
}

UINT_PTR ParseHandle(const std::wstring& value)
{
    return static_cast<UINT_PTR>(wcstoull(value.c_str(), nullptr, 0));
}

void FillWithColor(HDC dc, const RECT& rect, COLORREF color)
{
    GdiObject<HBRUSH> brush(::CreateSolidBrush(color));
    if (brush)
        ::FillRect(dc, &rect, brush.get());
}

} // namespace

bool IsDeviceFileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring base = ToLowerAscii(slash == std::wstring::npos ? path : path.substr(slash + 1));
    base = base.substr(0, base.find(L'.'));
    base = TrimBlanks(base);
    for (const wchar_t* name : {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"}) {
        if (base == name)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, L"com") == 0 || base.compare(0, 3, L"lpt") == 0) &&
           iswdigit(base[3]);
}

namespace
{

// Keeps a device context for the layouter while it measures or paints, and
// gives the context back as it was.
class DcScope
{
public:
    DcScope(HDC& slot, HDC dc) : m_slot(slot), m_saved(::SaveDC(dc)) { m_slot = dc; }
    ~DcScope()
    {
        ::RestoreDC(m_slot, m_saved);
        m_slot = nullptr;
    }
    DcScope(const DcScope&) = delete;
    DcScope& operator=(const DcScope&) = delete;

private:
    HDC& m_slot;
    int m_saved;
};

// Keeps a device context for the layouter while it measures. Measuring
// selects fonts and nothing else, so only the font found there is put back:
// saving and restoring the whole context costs more than laying out a small
// page (the system realizes the font again).
class MeasureScope
{
public:
    MeasureScope(HDC& slot, HDC dc, HFONT& selected)
        : m_slot(slot), m_selected(selected), m_font(::GetCurrentObject(dc, OBJ_FONT))
    {
        m_slot = dc;
        m_selected = nullptr;
    }
    ~MeasureScope()
    {
        if (m_selected && m_font)
            ::SelectObject(m_slot, m_font);
        m_selected = nullptr;
        m_slot = nullptr;
    }
    MeasureScope(const MeasureScope&) = delete;
    MeasureScope& operator=(const MeasureScope&) = delete;

private:
    HDC& m_slot;
    HFONT& m_selected;
    HGDIOBJ m_font;
};

bool SameStyle(const HtmlStyle& a, const HtmlStyle& b)
{
    return a.fontSize == b.fontSize && a.weight == b.weight && a.italic == b.italic &&
           a.underline == b.underline && a.strikeOut == b.strikeOut && a.overline == b.overline &&
           a.color == b.color && a.backColor == b.backColor && a.opaqueBack == b.opaqueBack &&
           a.textTransform == b.textTransform && a.hAlign == b.hAlign && a.vAlign == b.vAlign &&
           a.borderColorLight == b.borderColorLight && a.borderColorDark == b.borderColorDark &&
           a.borderWidth == b.borderWidth && a.borderStyle == b.borderStyle && a.margin == b.margin &&
           a.padding == b.padding && a.face == b.face && a.tagName == b.tagName;
}

// A hash of the fields that tell most styles apart; equal styles (SameStyle)
// have equal hashes. Neither looks at the link a style belongs to: items
// keep their link apart (LayoutItem::link), so the runs of a page's many
// links share their stored style.
size_t StyleHash(const HtmlStyle& style)
{
    size_t hash = std::hash<std::wstring>()(style.face);
    for (size_t value : {static_cast<size_t>(style.fontSize), static_cast<size_t>(style.weight),
                         static_cast<size_t>(style.color), static_cast<size_t>(style.backColor),
                         static_cast<size_t>(style.hAlign), static_cast<size_t>(style.tagName.size())})
        hash = hash * 31 + value;
    return hash;
}

} // namespace

Layouter::Layouter(LayoutSettings& settings) : m_settings(settings) {}

Layouter::~Layouter()
{
    for (HBITMAP bitmap : m_ownedBitmaps)
        ::DeleteObject(bitmap);
    for (HICON icon : m_ownedIcons)
        ::DestroyIcon(icon);
}

bool LayoutFontKey::operator<(const LayoutFontKey& other) const
{
    return std::tie(size, weight, italic, underline, strikeOut, face) <
           std::tie(other.size, other.weight, other.italic, other.underline, other.strikeOut, other.face);
}

bool LayoutFontKey::Matches(const HtmlStyle& style) const
{
    return size == style.fontSize && weight == style.weight && italic == style.italic &&
           underline == style.underline && strikeOut == style.strikeOut && face == style.face;
}

LayoutFonts::~LayoutFonts()
{
    for (auto& font : m_fonts)
        ::DeleteObject(font.second.first);
}

const std::pair<const LayoutFontKey, LayoutFonts::Entry>& LayoutFonts::Get(HDC dc, const HtmlStyle& style)
{
    LayoutFontKey key{style.face,   style.fontSize,  style.weight,
                      style.italic, style.underline, style.strikeOut};
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return *found;
    LOGFONTW logFont = {};
    logFont.lfHeight = style.fontSize;
    logFont.lfWeight = std::clamp(style.weight, 0, 1000);
    logFont.lfItalic = style.italic;
    logFont.lfUnderline = style.underline;
    logFont.lfStrikeOut = style.strikeOut;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, style.face.c_str(), LF_FACESIZE);
    HFONT font = ::CreateFontIndirectW(&logFont);
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LayoutFontMetrics metrics;
    HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    metrics.ascent = tm.tmAscent;
    metrics.descent = tm.tmDescent;
    metrics.height = tm.tmHeight;
    SIZE x = {};
    ::GetTextExtentPoint32W(dc, L"x", 1, &x);
    metrics.xHeight = x.cy;
    auto widths = std::make_shared<std::vector<int>>(kCachedWidthChars + kPunctuationChars, 0);
    if (::GetCharWidth32W(dc, 0, kCachedWidthChars - 1, widths->data())) {
        if (!::GetCharWidth32W(dc, kFirstPunctuation, kFirstPunctuation + kPunctuationChars - 1,
                               widths->data() + kCachedWidthChars))
            widths->resize(kCachedWidthChars);
        metrics.widths = std::move(widths);
    }
    ::SelectObject(dc, previous);
    return *m_fonts.emplace(std::move(key), Entry(font, metrics)).first;
}

LengthContext Layouter::Context() const
{
    return LengthContext{m_metrics->xHeight, m_metrics->height, m_dpiY};
}

void Layouter::SelectStyle()
{
    ++m_styleGeneration;
    m_styleStored = false;
    m_style.fontSize = std::clamp(m_style.fontSize, 1, 500);
    if (m_fontKey && m_fontKey->Matches(m_style))
        return;
    LayoutFonts& fonts = m_settings.fonts ? *m_settings.fonts : m_ownFonts;
    const auto& found = fonts.Get(m_dc, m_style);
    // The font goes into the device context only when GDI measures with it
    // (see MeasureText): selecting a font costs more than most runs.
    m_font = found.second.first;
    m_metrics = &found.second.second;
    m_fontKey = &found.first;
}

int Layouter::LinkIndex()
{
    if (m_style.linkKind == 0)
        return -1;
    if (m_linkTargets.empty() || m_linkTargets.back().index != m_style.linkIndex)
        m_linkTargets.push_back(LinkTarget{m_style.linkKind, m_style.linkIndex, m_style.linkText});
    return static_cast<int>(m_linkTargets.size()) - 1;
}

int Layouter::StyleIndex()
{
    // Each style is stored once: runs in a row mostly share their style, and
    // runs apart (text between links) come back to one stored earlier.
    if (!m_styleStored) {
        m_styleIndex = StoredStyle(m_style);
        m_styleStored = true;
    }
    return m_styleIndex;
}

int Layouter::StoredStyle(const HtmlStyle& style)
{
    if (!m_styles.empty() && SameStyle(m_styles.back(), style))
        return static_cast<int>(m_styles.size()) - 1;
    const size_t hash = StyleHash(style);
    const auto candidates = m_styleLookup.equal_range(hash);
    for (auto candidate = candidates.first; candidate != candidates.second; ++candidate) {
        if (SameStyle(m_styles[static_cast<size_t>(candidate->second)], style))
            return candidate->second;
    }
    m_styles.push_back(style);
    HtmlStyle& stored = m_styles.back();
    stored.linkKind = 0;
    stored.linkIndex = -1;
    stored.linkText.clear();
    const int index = static_cast<int>(m_styles.size()) - 1;
    m_styleLookup.emplace(hash, index);
    return index;
}

void Layouter::PushStyle()
{
    m_stack.push_back(m_style);
}

void Layouter::PopStyle()
{
    m_style = std::move(m_stack.back());
    m_stack.pop_back();
    SelectStyle();
}

void Layouter::StartLayout()
{
    m_selectedFont = nullptr;
    m_dpiY = std::max(1, ::GetDeviceCaps(m_dc, LOGPIXELSY));
    if (m_settings.animations)
        m_settings.animations->clear();
    m_style = HtmlStyle();
    SelectStyle();
}

void Layouter::LayoutRoot(HDC dc, HtmlNode& root, LayoutFlow& flow)
{
    MeasureScope scope(m_dc, dc, m_selectedFont);
    StartLayout();
    LayoutChildren(root, m_settings.maxWidth, flow);
}

void Layouter::LayoutPage(HDC dc, HtmlPage& page, const PagePlaceholder& placeholder, LayoutFlow& flow)
{
    MeasureScope scope(m_dc, dc, m_selectedFont);
    StartLayout();
    // The page stands where the renderer's markup stands: inside its body.
    m_style.tagName = L"body";
    ApplySheet(L"body", m_style);
    SelectStyle();
    FlowState outer;
    BeginFlow(flow, m_settings.maxWidth, outer);
    page.Walk(*this, placeholder);
    EndFlow(outer);
}

void Layouter::BeginFlow(LayoutFlow& flow, int maxWidth, FlowState& outer)
{
    flow.Clear();
    outer = FlowState{m_flow, m_maxWidth, m_x};
    m_flow = &flow;
    m_maxWidth = maxWidth;
    m_x = 0;
    flow.lines.emplace_back();
}

void Layouter::EndFlow(const FlowState& outer)
{
    LayoutFlow& flow = *m_flow;
    if (!(Line().itemCount == 0) || m_x > 0)
        EndLine(false);
    flow.lines.pop_back();
    m_flow = outer.flow;
    m_maxWidth = outer.maxWidth;
    m_x = outer.x;
}

void Layouter::LayoutChildren(HtmlNode& parent, int maxWidth, LayoutFlow& flow)
{
    FlowState outer;
    BeginFlow(flow, maxWidth, outer);
    WalkChildren(parent);
    EndFlow(outer);
}

void Layouter::WalkChildren(HtmlNode& node)
{
    for (auto& child : node.children)
        Walk(*child);
}

void Layouter::Walk(HtmlNode& node)
{
    if (node.isText) {
        m_textNode = &node;
        AddText(node.text);
        return;
    }
    switch (node.code) {
    case kTagRule:
        AddRule(node);
        return;
    case kTagBreak:
        EndLine(false, TagCount(node));
        return;
    case kTagTab:
        Tab(TagCount(node));
        return;
    case kTagBitmap:
    case kTagIcon:
    case kTagImageList:
        AddImage(node);
        return;
    case kTagString:
        AddString(node);
        return;
    case kTagTable:
        AddTable(node);
        return;
    default:
        break;
    }
    // An empty element draws nothing in the style it sets; a link still takes its number.
    if (node.children.empty() && node.code != kTagLink)
        return;
    if (!IsStyleTag(node.code)) {
        WalkChildren(node); // rows and cells outside a table
        return;
    }
    PushStyle();
    m_style.tagName = node.Canonical();
    ApplyTag(node, m_style);
    SelectStyle();
    WalkChildren(node);
    PopStyle();
}

void Layouter::ApplySheet(const std::wstring& selector, HtmlStyle& style)
{
    const StyleSheet* sheet = m_settings.sheet;
    if (!sheet)
        return;
    auto found = sheet->find(selector);
    if (found == sheet->end())
        return;
    // Each entry is read once per layout: links and markers apply theirs
    // again and again.
    auto parsed = m_parsedSheet.find(&found->second);
    if (parsed == m_parsedSheet.end())
        parsed = m_parsedSheet.emplace(&found->second, SplitDeclarations(found->second)).first;
    const LengthContext context = Context();
    for (const auto& declaration : parsed->second)
        ApplyDeclaration(style, declaration.first, declaration.second, context);
}

void Layouter::OpenLinkStyle(int kind, const std::wstring& target)
{
    m_style.linkKind = kind;
    m_style.linkText = target;
    m_style.linkIndex = m_linkCounter++;
    ApplySheet(m_style.linkIndex == m_settings.hoveredLink ? L"a:hover" : L"a:link", m_style);
}

void Layouter::ApplyTag(HtmlNode& node, HtmlStyle& style)
{
    auto applySheet = [&](const std::wstring& selector) { ApplySheet(selector, style); };
    switch (node.code) {
    case kTagBold:
        style.weight = std::min(900, style.weight * 2);
        break;
    case kTagItalic:
        style.italic = !style.italic;
        break;
    case kTagUnderline:
        style.underline = !style.underline;
        break;
    case kTagStrike:
        style.strikeOut = !style.strikeOut;
        break;
    case kTagFont:
        ApplyFontTag(node, style);
        break;
    case kTagLeft:
    case kTagCenter:
    case kTagRight:
    case kTagJustify:
        style.hAlign = node.code - kTagLeft;
        break;
    case kTagBaseline:
        style.vAlign = kVAlignBaseline;
        break;
    case kTagTop:
        style.vAlign = kVAlignTop;
        break;
    case kTagVCenter:
        style.vAlign = kVAlignMiddle;
        break;
    case kTagBottom:
        style.vAlign = kVAlignBottom;
        break;
    case kTagSheet:
        applySheet(node.tag);
        break;
    case kTagSpan:
        applySheet(L"." + ToLowerAscii(node.Attribute(L"class")));
        break;
    case kTagLink: {
        std::wstring target;
        int kind = 1;
        if (!node.GetAttribute(L"href", target) && node.GetAttribute(L"msg", target))
            kind = 2;
        OpenLinkStyle(kind, target); // the style is m_style
        break;
    }
    default:
        break;
    }
}

void Layouter::ApplyFontTag(const HtmlNode& node, HtmlStyle& style)
{
    std::wstring value;
    if (node.GetAttribute(L"face", value) && !value.empty())
        style.face = value;
    if (node.GetAttribute(L"size", value))
        style.fontSize = ParseLength(value, style.fontSize, Context(), true);
    if (node.GetAttribute(L"color", value))
        style.color = ParseColor(value, style.color);
    if (node.GetAttribute(L"weight", value))
        ApplyDeclarations(style, L"font-weight:" + value, Context());
    if (node.GetAttribute(L"style", value)) {
        bool on = true;
        for (wchar_t ch : value) {
            if (ch == L'-') {
                on = false;
                continue;
            }
            if (ch == L'+') {
                on = true;
                continue;
            }
            if (ch == L'b')
                style.weight = on ? 700 : 400;
            else if (ch == L'i')
                style.italic = on;
            else if (ch == L'u')
                style.underline = on;
            else if (ch == L's')
                style.strikeOut = on;
            else if (ch == L'o')
                style.overline = on;
            on = true;
        }
    }
    if (node.GetAttribute(L"bkgnd", value)) {
        if (value.empty() || value == L"transparent") {
            style.opaqueBack = false;
        } else {
            style.opaqueBack = true;
            style.backColor = ParseColor(value, style.backColor);
        }
    }
}

int Layouter::Room() const
{
    return m_maxWidth - m_x;
}

void Layouter::AddText(std::wstring_view run)
{
    std::wstring_view text = run;
    if (m_style.textTransform != 0) {
        m_transformed = Transform(std::wstring(run), m_style.textTransform);
        text = m_transformed;
    }
    if (text.empty())
        return;
    if (m_maxWidth <= 0) {
        PlaceText(text);
        return;
    }
    // The run is measured once: extents[i] is the width of its first i + 1
    // characters, so any piece's width is a difference of two extents.
    const size_t length = text.size();
    if (m_extents.size() < length)
        m_extents.resize(length);
    int* const extents = m_extents.data();
    const SIZE size = MeasureText(text.data(), length, extents);
    if (size.cx <= Room()) {
        PlaceMeasuredText(text, size);
        return;
    }
    size_t start = 0;
    while (start < length) {
        const int before = start == 0 ? 0 : extents[start - 1];
        const int room = Room();
        if (extents[length - 1] - before <= room) {
            PlaceText(std::wstring_view(text).substr(start));
            return;
        }
        // The characters that fit: extents are non-decreasing.
        const int* fitEnd = std::upper_bound(extents + start, extents + length, before + room);
        const size_t fit = static_cast<size_t>(fitEnd - extents) - start;
        size_t cut = std::wstring::npos;
        size_t pieceEnd = 0;
        // The last break character whose piece (trailing blanks dropped) fits;
        // one in a row of blanks reaching past the room counts as well.
        size_t scanEnd = start + fit;
        while (scanEnd < length && text[scanEnd] == L' ')
            ++scanEnd;
        for (size_t i = std::min(scanEnd + 1, length); i-- > start;) {
            if (!IsBreakCharacter(text[i]))
                continue;
            size_t end = i + 1;
            while (end > start && text[end - 1] == L' ')
                --end;
            if (end > start && extents[end - 1] - before <= room) {
                cut = i + 1;
                pieceEnd = end;
                break;
            }
        }
        if (cut == std::wstring::npos && (Line().itemCount == 0))
            cut = pieceEnd = start + std::max<size_t>(fit, 1);
        if (cut != std::wstring::npos) {
            PlaceText(std::wstring_view(text).substr(start, pieceEnd - start));
            start = cut;
            while (start < length && text[start] == L' ')
                ++start;
        }
        EndLine(true);
    }
}

bool Layouter::MeasureFromWidths(const wchar_t* text, size_t length, int* extents, SIZE& size) const
{
    return MeasureWithTable(*m_metrics, text, length, extents, size);
}

bool MeasureWithTable(const LayoutFontMetrics& metrics, const wchar_t* text, size_t length, int* extents,
                      SIZE& size)
{
    if (!metrics.widths)
        return false;
    const std::vector<int>& widths = *metrics.widths;
    int total = 0;
    for (size_t i = 0; i < length; ++i) {
        int width = 0;
        if (!TableWidth(widths, text[i], width))
            return false;
        total += width;
        if (extents)
            extents[i] = total;
    }
    size = SIZE{total, metrics.height};
    return true;
}

SIZE Layouter::MeasureText(const wchar_t* text, size_t length, int* extents)
{
    SIZE size = {};
    if (MeasureFromWidths(text, length, extents, size))
        return size;
    if (m_selectedFont != m_font) {
        ::SelectObject(m_dc, m_font);
        m_selectedFont = m_font;
    }
    ::GetTextExtentExPointW(m_dc, text, static_cast<int>(length), 0, nullptr, extents, &size);
    return size;
}

void Layouter::PlaceText(std::wstring_view piece)
{
    if (piece.empty())
        return;
    PlaceMeasuredText(piece, MeasureText(piece.data(), piece.size(), nullptr));
}

void Layouter::PlaceMeasuredText(std::wstring_view piece, SIZE size)
{
    if (piece.empty())
        return;
    LayoutItem& item = m_flow->items.AddText();
    item.node = m_textNode;
    item.owner = m_textOwner;
    item.textStart = m_flow->text.size();
    item.textLength = piece.size();
    m_flow->text.append(piece);
    item.width = size.cx;
    item.height = size.cy;
    item.font = m_font;
    item.metrics = m_metrics;
    item.fontAscent = m_metrics->ascent;
    item.fontHeight = m_metrics->height;
    item.blanks = CountBlanks(piece);
    item.styleIndex = StyleIndex();
    item.link = LinkIndex();
    item.offset = m_x;
    LayoutLine& line = Line();
    if (!line.alignSet) {
        line.align = m_style.hAlign;
        line.alignSet = true;
    }
    line.ascent = std::max(line.ascent, m_metrics->ascent);
    line.descent = std::max<int>(line.descent, size.cy - m_metrics->ascent);
    line.blanks += item.blanks;
    line.holdsText = true;
    m_x += size.cx;
    ++line.itemCount;
}

void Layouter::AddBox(LayoutItem item)
{
    item.styleIndex = StyleIndex();
    item.link = LinkIndex();
    item.offset = m_x;
    LayoutLine& line = Line();
    if (!line.alignSet) {
        line.align = m_style.hAlign;
        line.alignSet = true;
    }
    line.ascent = std::max(line.ascent, item.height);
    m_x += item.width;
    m_flow->items.push_back(std::move(item));
    ++line.itemCount;
}

void Layouter::EndLine(bool wrapped, int count)
{
    LayoutLine& line = Line();
    if (line.itemCount > 0 && m_flow->items.back().kind == LayoutItem::Kind::Text) {
        LayoutItem& last = m_flow->items.back();
        const std::wstring_view text = m_flow->TextOf(last);
        size_t end = text.find_last_not_of(L' ');
        size_t trimmed = end == std::wstring_view::npos ? 0 : end + 1;
        if (trimmed < text.size()) {
            SIZE size = {};
            if (!last.metrics || !MeasureWithTable(*last.metrics, text.data(), trimmed, nullptr, size)) {
                HGDIOBJ previous = ::SelectObject(m_dc, last.font);
                ::GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(trimmed), &size);
                ::SelectObject(m_dc, previous);
            }
            int removedBlanks = static_cast<int>(text.size() - trimmed);
            m_x -= last.width - size.cx;
            last.width = size.cx;
            last.textLength = trimmed;
            m_flow->text.resize(last.textStart + trimmed); // the last item's text ends the flow's
            last.blanks -= removedBlanks;
            line.blanks -= removedBlanks;
        }
    }
    if (!line.alignSet)
        line.align = m_style.hAlign;
    line.wrapped = wrapped;
    line.width = m_x;
    if (line.ascent == 0)
        line.ascent = m_metrics->height;
    line.height = line.ascent + line.descent;
    line.breaks = std::clamp(count, 1, kMaxCount);
    // The flow's extent grows with each line ended (its last, empty line never ends).
    m_flow->width = std::max(m_flow->width, line.width);
    m_flow->height += line.height * line.breaks;
    m_flow->lines.emplace_back();
    m_flow->lines.back().firstItem = m_flow->items.size();
    m_x = 0;
}

void Layouter::Tab(int count)
{
    int tab = std::max(1, m_settings.tabWidth);
    m_x = (m_x / tab + 1) * tab + (std::clamp(count, 1, kMaxCount) - 1) * tab;
}

void Layouter::AddRule(HtmlNode& node)
{
    LayoutItem item;
    item.kind = LayoutItem::Kind::Rule;
    item.node = &node;
    std::wstring width = TrimBlanks(node.Attribute(L"width", L"100%"));
    if (!width.empty() && width.back() == L'%')
        item.rulePercent = std::clamp(ParseInt(width, 100), 0, 100);
    else
        item.width = std::clamp(ParseLength(width, 0, Context()), 0, 100000);
    item.ruleThickness = std::clamp(ParseInt(node.Attribute(L"size"), 1), 0, 1000);
    item.ruleColor = ParseColor(node.Attribute(L"color"), m_style.color);
    AddRuleItem(std::move(item));
}

void Layouter::AddRuleItem(LayoutItem item)
{
    if (!(Line().itemCount == 0) || m_x > 0)
        EndLine(false);
    item.height = item.ruleThickness + 8;
    AddBox(std::move(item));
    EndLine(false);
}

void Layouter::AddString(HtmlNode& node)
{
    wchar_t buffer[1024] = {};
    std::wstring value;
    if (node.GetAttribute(L"idres", value)) {
        int id = ParseLength(value, 0, Context());
        ::LoadStringW(m_settings.module, static_cast<UINT>(id), buffer, 1024);
    } else if (node.GetAttribute(L"iddll", value)) {
        std::wstring library = node.Attribute(L"srcdll");
        if (library.empty() || IsDeviceFileName(library))
            return;
        HMODULE module = ::LoadLibraryExW(library.c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (!module)
            return;
        ::LoadStringW(module, static_cast<UINT>(ParseInt(value, 0)), buffer, 1024);
        ::FreeLibrary(module);
    }
    m_textNode = &node;
    m_textOwner = nullptr;
    AddText(buffer);
}

void Layouter::AddImage(HtmlNode& node)
{
    UINT type = node.code == kTagIcon ? IMAGE_ICON : IMAGE_BITMAP;
    UINT baseFlags = type == IMAGE_ICON ? LR_DEFAULTSIZE : (LR_CREATEDIBSECTION | LR_DEFAULTSIZE);
    HANDLE image = nullptr;
    bool owned = true;
    std::wstring value;
    if (node.GetAttribute(L"idres", value)) {
        int id = ParseLength(value, 0, Context());
        image = ::LoadImageW(m_settings.module, MAKEINTRESOURCEW(id), type, 0, 0, baseFlags);
    } else if (node.GetAttribute(L"file", value)) {
        if (!value.empty() && !IsDeviceFileName(value))
            image = LoadImageFrom(nullptr, value, type, baseFlags | LR_LOADFROMFILE);
    } else if (node.GetAttribute(L"iddll", value)) {
        std::wstring library = node.Attribute(L"srcdll");
        HMODULE module = library.empty() || IsDeviceFileName(library)
                             ? nullptr
                             : ::LoadLibraryExW(library.c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module) {
            image = ::LoadImageW(module, MAKEINTRESOURCEW(ParseInt(value, 0)), type, 0, 0, baseFlags);
            ::FreeLibrary(module);
        }
    } else if (node.GetAttribute(L"handle", value)) {
        image = reinterpret_cast<HANDLE>(ParseHandle(value));
        owned = false;
    }
    LayoutItem item;
    item.node = &node;
    LayoutImage picture;
    SIZE own = {};
    if (type == IMAGE_ICON) {
        picture.icon = static_cast<HICON>(image);
        own = DrawEffects::IconSize(picture.icon);
        if (owned && picture.icon)
            m_ownedIcons.push_back(picture.icon);
    } else {
        picture.bitmap = static_cast<HBITMAP>(image);
        own = DrawEffects::BitmapSize(picture.bitmap);
        if (owned && picture.bitmap)
            m_ownedBitmaps.push_back(picture.bitmap);
    }
    if (own.cx <= 0 || own.cy <= 0)
        return; // nothing could be loaded
    int index = std::max(0, ParseInt(node.Attribute(L"index"), 0));
    if (node.code == kTagImageList) {
        std::wstring cx = node.Attribute(L"cx");
        std::wstring cy = node.Attribute(L"cy");
        int fw = ParseInt(cx, 0);
        int fh = ParseInt(cy, 0);
        if (fw <= 0 && fh <= 0)
            fw = fh = std::min(own.cx, own.cy);
        else if (fw <= 0)
            fw = fh;
        else if (fh <= 0)
            fh = fw;
        picture.frameWidth = fw;
        picture.frameHeight = fh;
        picture.frame = index;
        int speed = ParseInt(node.Attribute(L"speed"), 0);
        if (speed != 0 && m_settings.animations) {
            int frames = (own.cx / fw) * (own.cy / fh);
            picture.animation = static_cast<int>(m_settings.animations->size());
            m_settings.animations->push_back(AnimationEntry{index, frames, 0, speed});
        }
        own = SIZE{fw, fh};
    }
    if (node.HasAttribute(L"mask")) {
        picture.masked = true;
        picture.maskColor = ParseColor(node.Attribute(L"mask"), RGB(255, 0, 255));
    }
    picture.drawWidth =
        std::clamp(ParseLength(node.Attribute(L"width"), own.cx, Context()), 0, kMaxImageSize);
    picture.drawHeight =
        std::clamp(ParseLength(node.Attribute(L"height"), own.cy, Context()), 0, kMaxImageSize);
    bool blur = m_settings.imageShadow.blurWidth > 0;
    std::wstring normal = node.Attribute(L"style");
    std::wstring hot = node.Attribute(L"hotstyle", normal);
    bool hovered = m_style.linkKind != 0 && m_style.linkIndex == m_settings.hoveredLink;
    picture.imageFlags = StyleLetters(hovered ? hot : normal, blur);
    picture.imageShadow = (normal + hot).find(L's') != std::wstring::npos;
    AddImageItem(std::move(item), picture);
}

void Layouter::AddImageItem(LayoutItem item, const LayoutImage& image)
{
    item.kind = LayoutItem::Kind::Image;
    item.width = image.drawWidth + (image.imageShadow ? m_settings.imageShadow.dx : 0);
    item.height = image.drawHeight + (image.imageShadow ? m_settings.imageShadow.dy : 0);
    if (m_maxWidth > 0 && item.width > Room() && !(Line().itemCount == 0))
        EndLine(true);
    item.image = static_cast<int>(m_flow->images.size());
    m_flow->images.push_back(image);
    AddBox(std::move(item));
}

void Layouter::AddTable(HtmlNode& node)
{
    if (!(Line().itemCount == 0) || m_x > 0)
        EndLine(false);
    auto table = std::make_shared<LayoutTable>();
    table->node = &node;
    ReadTable(node, *table);
    AddTableItem(table, AlignOf(node.Attribute(L"align"), kAlignLeft));
}

void Layouter::AddTableItem(const std::shared_ptr<LayoutTable>& table, int align)
{
    SizeTable(*table);
    LayoutItem item;
    item.kind = LayoutItem::Kind::Table;
    item.node = table->node;
    item.owner = table->owner;
    item.width = table->width;
    item.height = table->height;
    item.table = table;
    AddBox(std::move(item));
    Line().align = align;
    EndLine(false);
}

namespace
{

struct BoxStyle
{
    int border = 0;
    int borderStyle = 0;
    COLORREF light = 0;
    COLORREF dark = 0;
    int effect = -1;
    COLORREF colors[3] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
};

BoxStyle ReadBoxStyle(const HtmlNode& node, const LengthContext& context)
{
    HtmlStyle border;
    std::wstring value;
    if (node.GetAttribute(L"border", value))
        SetBorderWidth(border, ParseLength(value, 0, context));
    if (node.GetAttribute(L"borderstyle", value))
        SetBorderStyle(border, ParseBorderStyle(ToLowerAscii(value), border.borderStyle));
    if (border.borderStyle != kBorderNone && border.borderStyle != kBorderSolid)
        border.borderWidth = 1;
    BoxStyle box;
    box.border = std::min(border.borderWidth, 1000);
    box.borderStyle = border.borderStyle;
    box.light = box.dark = ParseColor(node.Attribute(L"bordercolor"), RGB(128, 128, 128));
    box.light = ParseColor(node.Attribute(L"bordercolorlight"), box.light);
    box.dark = ParseColor(node.Attribute(L"bordercolordark"), box.dark);
    if (node.GetAttribute(L"bgcolor", value)) {
        box.colors[0] = box.colors[1] = box.colors[2] = ParseColor(value, box.colors[0]);
        box.effect = 0;
    }
    box.colors[1] = ParseColor(node.Attribute(L"bgmidcolor"), box.colors[1]);
    box.colors[2] = ParseColor(node.Attribute(L"bgendcolor"), box.colors[2]);
    box.effect = ParseEffect(node.Attribute(L"bgeffect"), box.effect);
    return box;
}

int BorderRoom(int width, int style)
{
    return style == kBorderDouble ? 3 * width : width;
}

// Gives a table or a cell its border and background.
template <typename Box>
void ApplyBoxStyle(const BoxStyle& box, Box& target)
{
    target.border = box.border;
    target.borderStyle = box.borderStyle;
    target.light = box.light;
    target.dark = box.dark;
    target.effect = box.effect;
    std::copy(std::begin(box.colors), std::end(box.colors), target.colors);
}

// Puts a cell at the first free column of its row and marks the grid places
// it spans as taken.
void TakeGridPlace(std::vector<std::vector<bool>>& taken, LayoutCell& cell, int row, int& column)
{
    while (row < static_cast<int>(taken.size()) && column < static_cast<int>(taken[row].size()) &&
           taken[row][column])
        ++column;
    cell.row = row;
    cell.column = column;
    for (int r = row; r < row + cell.rowSpan; ++r) {
        if (static_cast<int>(taken.size()) <= r)
            taken.resize(r + 1);
        if (static_cast<int>(taken[r].size()) < column + cell.columnSpan)
            taken[r].resize(column + cell.columnSpan, false);
        for (int c = column; c < column + cell.columnSpan; ++c)
            taken[r][c] = true;
    }
}

} // namespace

void Layouter::ReadTable(HtmlNode& node, LayoutTable& table)
{
    LengthContext context = Context();
    ApplyBoxStyle(ReadBoxStyle(node, context), table);
    table.background = node.Attribute(L"background");
    table.spacing = std::clamp(ParseLength(node.Attribute(L"cellspacing"), 0, context), 0, 1000);
    int padding = std::clamp(ParseLength(node.Attribute(L"cellpadding"), 2, context), 0, 1000);
    std::vector<std::vector<bool>> taken;
    int row = 0;
    for (auto& rowNode : node.children) {
        if (rowNode->isText || rowNode->code != kTagRow)
            continue;
        int column = 0;
        for (auto& cellNode : rowNode->children) {
            if (cellNode->isText || cellNode->code != kTagCell)
                continue;
            LayoutCell cell;
            cell.node = cellNode.get();
            cell.rowSpan = Span(*cellNode, L"rowspan");
            cell.columnSpan = Span(*cellNode, L"colspan");
            TakeGridPlace(taken, cell, row, column);
            BoxStyle cellBox = ReadBoxStyle(*cellNode, context);
            ApplyBoxStyle(cellBox, cell);
            cell.border = std::min(cellBox.border, 1);
            cell.padding = padding;
            cell.align = AlignOf(cellNode->Attribute(L"align"), kAlignLeft);
            cell.valign = VAlignOf(cellNode->Attribute(L"valign"), kVAlignTop);
            LayoutChildren(*cellNode, m_maxWidth, cell.content);
            int frame = 2 * (cell.padding + BorderRoom(cell.border, cell.borderStyle));
            cell.width =
                std::max(cell.content.width,
                         std::clamp(ParseLength(cellNode->Attribute(L"width"), 0, context), 0, 10000)) +
                frame;
            cell.height =
                std::max(cell.content.height,
                         std::clamp(ParseLength(cellNode->Attribute(L"height"), 0, context), 0, 10000)) +
                frame;
            table.cells.push_back(std::move(cell));
            column += table.cells.back().columnSpan;
        }
        ++row;
    }
    table.width = std::clamp(ParseLength(node.Attribute(L"width"), 0, context), 0, 10000);
    table.height = std::clamp(ParseLength(node.Attribute(L"height"), 0, context), 0, 10000);
}

namespace
{

// Sizes of columns (or rows) from the cells: single cells first, then spanning
// cells widen their columns evenly (rounded up) until they fit.
std::vector<int> TrackSizes(const std::vector<LayoutCell>& cells, bool columns, int spacing)
{
    int count = 0;
    for (const LayoutCell& cell : cells)
        count = std::max(count, columns ? cell.column + cell.columnSpan : cell.row + cell.rowSpan);
    std::vector<int> sizes(static_cast<size_t>(count), 0);
    for (const LayoutCell& cell : cells) {
        int span = columns ? cell.columnSpan : cell.rowSpan;
        if (span == 1)
            sizes[columns ? cell.column : cell.row] =
                std::max(sizes[columns ? cell.column : cell.row], columns ? cell.width : cell.height);
    }
    for (const LayoutCell& cell : cells) {
        int span = columns ? cell.columnSpan : cell.rowSpan;
        int first = columns ? cell.column : cell.row;
        if (span == 1)
            continue;
        int sum = (spacing + 1) * (span - 1);
        for (int k = first; k < first + span; ++k)
            sum += sizes[k];
        int need = columns ? cell.width : cell.height;
        if (need <= sum)
            continue;
        int add = (need - sum + span - 1) / span;
        for (int k = first; k < first + span; ++k)
            sizes[k] += add;
    }
    return sizes;
}

int TrackStart(const std::vector<int>& sizes, int index, int spacing)
{
    int start = spacing;
    for (int k = 0; k < index; ++k)
        start += sizes[k] + spacing + 1;
    return start;
}

int TrackLength(const std::vector<int>& sizes, int first, int span, int spacing)
{
    int length = (spacing + 1) * (span - 1);
    for (int k = first; k < first + span; ++k)
        length += sizes[k];
    return length;
}

} // namespace

void Layouter::SizeTable(LayoutTable& table)
{
    table.columnWidths = TrackSizes(table.cells, true, table.spacing);
    table.rowHeights = TrackSizes(table.cells, false, table.spacing);
    int frame = 2 * BorderRoom(table.border, table.borderStyle);
    int innerWidth =
        TrackStart(table.columnWidths, static_cast<int>(table.columnWidths.size()), table.spacing);
    int innerHeight = TrackStart(table.rowHeights, static_cast<int>(table.rowHeights.size()), table.spacing);
    table.width = std::max(table.width, innerWidth + frame);
    table.height = std::max(table.height, innerHeight + frame);
}

void Layouter::Place(LayoutFlow& flow, int x, int y, int areaWidth)
{
    for (LayoutLine& line : flow.lines) {
        int lineX = x;
        int free = std::max(0, areaWidth - line.width);
        if (line.align == kAlignCenter)
            lineX += free / 2;
        else if (line.align == kAlignRight)
            lineX += free;
        int extraLeft = (line.align == kAlignJustify && line.wrapped && line.blanks > 0) ? free : 0;
        int blanksLeft = line.blanks;
        int extraSoFar = 0;
        for (LayoutItem& item : flow.ItemsOf(line)) {
            const HtmlStyle& style = StyleAt(item.styleIndex);
            int width = item.width;
            item.extra = 0;
            if (item.kind == LayoutItem::Kind::Text && extraLeft > 0 && item.blanks > 0 && blanksLeft > 0) {
                item.extra = extraLeft * item.blanks / blanksLeft;
                extraLeft -= item.extra;
                blanksLeft -= item.blanks;
                width += item.extra;
            }
            if (item.kind == LayoutItem::Kind::Rule && item.rulePercent >= 0)
                width = areaWidth * item.rulePercent / 100;
            int top = y;
            if (item.kind == LayoutItem::Kind::Text) {
                if (style.vAlign == kVAlignMiddle)
                    top = y + (line.height - item.fontHeight) / 2;
                else if (style.vAlign == kVAlignBottom)
                    top = y + line.height - item.fontHeight;
                else if (style.vAlign == kVAlignBaseline)
                    top = y + line.height - line.descent - item.fontAscent;
            } else if (item.kind == LayoutItem::Kind::Rule) {
                top = y + (line.height - item.ruleThickness) / 2;
            } else if (item.kind == LayoutItem::Kind::Image) {
                if (style.vAlign == kVAlignMiddle)
                    top = y + (line.height - item.height) / 2;
                else if (style.vAlign == kVAlignBottom)
                    top = y + line.height - item.height;
                else if (style.vAlign == kVAlignBaseline)
                    top = y + line.height - line.descent - item.height;
            }
            int height = item.kind == LayoutItem::Kind::Rule ? item.ruleThickness : item.height;
            int left = lineX + item.offset + extraSoFar;
            extraSoFar += item.extra;
            item.rect = RECT{left, top, left + width, top + height};
            if (item.kind == LayoutItem::Kind::Table)
                PlaceTable(*item.table, left, top);
            if (item.node || item.owner || item.link >= 0) // most items of a long page record nothing
                RecordBox(item);
        }
        y += line.height * line.breaks;
    }
}

void Layouter::RecordOwnerBox(PageElement* owner, const RECT& rect) const
{
    if (!owner)
        return;
    if (owner->boxStamp != m_settings.placeStamp) {
        owner->box = rect;
        owner->boxStamp = m_settings.placeStamp;
        return;
    }
    ::UnionRect(&owner->box, &owner->box, &rect);
}

void Layouter::RecordBox(const LayoutItem& item)
{
    if (item.node)
        item.node->boxes.push_back(item.rect);
    RecordOwnerBox(item.owner, item.rect);
    if (item.link < 0 || !m_settings.links)
        return;
    if (item.kind != LayoutItem::Kind::Text && item.kind != LayoutItem::Kind::Image)
        return;
    const LinkTarget& link = m_linkTargets[static_cast<size_t>(item.link)];
    m_settings.links->push_back(HyperlinkPiece{item.rect, link.kind, link.index, link.text});
}

void Layouter::PlaceTable(LayoutTable& table, int x, int y)
{
    table.rect = RECT{x, y, x + table.width, y + table.height};
    int frame = BorderRoom(table.border, table.borderStyle);
    int innerX = x + frame;
    int innerY = y + frame;
    for (LayoutCell& cell : table.cells) {
        int left = innerX + TrackStart(table.columnWidths, cell.column, table.spacing);
        int top = innerY + TrackStart(table.rowHeights, cell.row, table.spacing);
        int width = TrackLength(table.columnWidths, cell.column, cell.columnSpan, table.spacing);
        int height = TrackLength(table.rowHeights, cell.row, cell.rowSpan, table.spacing);
        cell.rect = RECT{left, top, left + width, top + height};
        if (cell.node)
            cell.node->boxes.push_back(cell.rect);
        RecordOwnerBox(cell.owner, cell.rect);
        int inset = cell.padding + BorderRoom(cell.border, cell.borderStyle);
        int innerWidth = width - 2 * inset;
        int innerHeight = height - 2 * inset;
        int contentX = left + inset;
        int contentY = top + inset;
        int freeX = std::max(0, innerWidth - cell.content.width);
        int freeY = std::max(0, innerHeight - cell.content.height);
        if (cell.align == kAlignCenter)
            contentX += freeX / 2;
        else if (cell.align == kAlignRight)
            contentX += freeX;
        if (cell.valign == kVAlignMiddle)
            contentY += freeY / 2;
        else if (cell.valign == kVAlignBottom)
            contentY += freeY;
        Place(cell.content, contentX, contentY, cell.content.width);
    }
}

void Layouter::Paint(HDC dc, const LayoutFlow& flow)
{
    DcScope scope(m_dc, dc);
    m_selectedFont = nullptr;
    PaintFlow(flow);
}

void Layouter::PaintFlow(const LayoutFlow& flow)
{
    // Only what the device context can show is drawn: a long page costs
    // drawing calls for its visible part alone.
    RECT clip = {};
    const bool clipped = ::GetClipBox(m_dc, &clip) != ERROR;
    for (const LayoutLine& line : flow.lines) {
        for (const LayoutItem& item : flow.ItemsOf(line)) {
            RECT overlap = {};
            if (clipped && !::IntersectRect(&overlap, &item.rect, &clip))
                continue;
            PaintItem(flow, item);
        }
    }
}

void Layouter::PaintItem(const LayoutFlow& flow, const LayoutItem& item)
{
    const HtmlStyle& style = StyleAt(item.styleIndex);
    const RECT& r = item.rect;
    switch (item.kind) {
    case LayoutItem::Kind::Text: {
        ::SelectObject(m_dc, item.font);
        m_selectedFont = item.font;
        ::SetTextColor(m_dc, style.color);
        ::SetBkColor(m_dc, style.backColor);
        ::SetBkMode(m_dc, style.opaqueBack ? OPAQUE : TRANSPARENT);
        ::SetTextJustification(m_dc, item.extra, item.extra > 0 ? item.blanks : 0);
        const std::wstring_view text = flow.TextOf(item);
        ::TextOutW(m_dc, r.left, r.top, text.data(), static_cast<int>(text.size()));
        ::SetTextJustification(m_dc, 0, 0);
        if (style.overline)
            DrawEffects::DrawLine(m_dc, r.left, r.top, r.right - 1, r.top, style.color, kBorderSolid,
                                  style.weight >= 700 ? 2 : 1);
        return;
    }
    case LayoutItem::Kind::Rule:
        if (item.ruleThickness > 0)
            FillWithColor(m_dc, r, item.ruleColor);
        return;
    case LayoutItem::Kind::Image:
        if (item.image >= 0 && static_cast<size_t>(item.image) < flow.images.size())
            PaintImage(flow.images[static_cast<size_t>(item.image)], r);
        return;
    case LayoutItem::Kind::Table:
        PaintTable(*item.table);
        return;
    }
}

void Layouter::PaintTable(const LayoutTable& table)
{
    const RECT& r = table.rect;
    HBITMAP tile = nullptr;
    if (!table.background.empty() && !IsDeviceFileName(table.background))
        tile = static_cast<HBITMAP>(::LoadImageW(nullptr, table.background.c_str(), IMAGE_BITMAP, 0, 0,
                                                 LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (tile) {
        SIZE size = DrawEffects::BitmapSize(tile);
        MemoryDC source(m_dc);
        {
            SelectedObject selected(source.get(), tile);
            DrawEffects::Tile(m_dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0,
                              size.cx, size.cy);
        }
        ::DeleteObject(tile);
    } else if (table.effect >= 0) {
        DrawEffects::Fill(m_dc, table.effect, r, table.colors[0], table.colors[1], table.colors[2], 5, 0);
    }
    DrawEffects::DrawBorder(m_dc, r, table.light, table.dark, table.borderStyle, table.border);
    for (const LayoutCell& cell : table.cells) {
        if (cell.effect >= 0)
            DrawEffects::Fill(m_dc, cell.effect, cell.rect, cell.colors[0], cell.colors[1], cell.colors[2], 5,
                              0);
        DrawEffects::DrawBorder(m_dc, cell.rect, cell.light, cell.dark, cell.borderStyle, cell.border);
        PaintFlow(cell.content);
    }
}

void Layouter::PaintImage(const LayoutImage& image, const RECT& r)
{
    DrawEffects::ImageShadow shadow = m_settings.imageShadow;
    shadow.enabled = (image.imageFlags & (DrawEffects::kImageShadow | DrawEffects::kImageShadowBlur)) != 0;
    if (image.icon)
        DrawEffects::DrawIcon(m_dc, r.left, r.top, image.drawWidth, image.drawHeight, image.icon,
                              image.imageFlags, shadow);
    else if (image.frame >= 0)
        DrawEffects::DrawImageListFrame(m_dc, r.left, r.top, image.drawWidth, image.drawHeight, image.bitmap,
                                        FrameOf(image), image.frameWidth, image.frameHeight, image.masked,
                                        image.maskColor, image.imageFlags, shadow);
    else
        DrawEffects::DrawBitmap(m_dc, r.left, r.top, image.drawWidth, image.drawHeight, image.bitmap,
                                image.masked, image.maskColor, image.imageFlags, shadow);
}

int Layouter::FrameOf(const LayoutImage& item) const
{
    const std::vector<AnimationEntry>* animations = m_settings.animations;
    if (item.animation < 0 || !animations || static_cast<size_t>(item.animation) >= animations->size())
        return item.frame;
    return (*animations)[static_cast<size_t>(item.animation)].frame;
}

// The page's flow. Each call does what the renderer's markup of it (see
// HtmlPage::ToRendererMarkup) does when the tooltip markup is laid out.

void Layouter::Break()
{
    EndLine(false);
}

void Layouter::Rule(PageElement& owner)
{
    LayoutItem item;
    item.kind = LayoutItem::Kind::Rule;
    item.owner = BoxOwner(owner);
    item.rulePercent = 100;
    item.ruleThickness = 1;
    item.ruleColor = m_style.color;
    AddRuleItem(std::move(item));
}

void Layouter::OpenAlign(int align)
{
    PushStyle();
    m_style.tagName = align == 1 ? L"center" : align == 2 ? L"right" : L"left";
    m_style.hAlign = align == 1 ? kAlignCenter : align == 2 ? kAlignRight : kAlignLeft;
    SelectStyle();
}

void Layouter::CloseAlign()
{
    PopStyle();
}

PageElement* Layouter::BoxOwner(PageElement& owner) const
{
    return m_markerDepth > 0 ? &owner : nullptr;
}

void Layouter::OpenMarker(int)
{
    ++m_markerDepth;
    PushStyle();
    m_style.tagName = L"span";
    ApplySheet(L".", m_style);
    SelectStyle();
}

void Layouter::CloseMarker()
{
    m_markerDepth = std::max(0, m_markerDepth - 1);
    PopStyle();
}

void Layouter::OpenLink(int number)
{
    PushStyle();
    m_style.tagName = L"a";
    OpenLinkStyle(1, std::to_wstring(number));
    SelectStyle();
}

void Layouter::CloseLink()
{
    PopStyle();
}

bool Layouter::RunStyle::Holds(const ComputedStyle& other) const
{
    return fontPixels == other.fontPixels && color == other.color && bold == other.bold &&
           italic == other.italic && underline == other.underline && strike == other.strike &&
           hasBackground == other.hasBackground && (!hasBackground || background == other.background) &&
           face == other.face;
}

void Layouter::ApplyRunStyle(const ComputedStyle& style)
{
    m_style.tagName = L"font";
    if (style.face.find(L'"') == std::wstring::npos) {
        if (!style.face.empty())
            m_style.face = style.face;
    } else {
        std::wstring face = style.face;
        face.erase(std::remove(face.begin(), face.end(), L'"'), face.end());
        if (!face.empty())
            m_style.face = face;
    }
    m_style.fontSize = std::max(0, style.fontPixels);
    m_style.color = style.color;
    if (style.hasBackground) {
        m_style.opaqueBack = true;
        m_style.backColor = style.background;
    }
    if (style.bold)
        m_style.weight = 700;
    if (style.italic)
        m_style.italic = true;
    if (style.underline)
        m_style.underline = true;
    if (style.strike)
        m_style.strikeOut = true;
}

void Layouter::Text(const std::wstring& text, const ComputedStyle* style, PageElement& owner)
{
    m_textNode = nullptr;
    m_textOwner = BoxOwner(owner);
    if (!style) {
        AddText(text);
        return;
    }
    // Runs in a row mostly share their style and the style around them: the
    // font and stored style of the last run serve again without making the
    // run's style anew. Text, tabs and line ends read no more of the style
    // than the font, its stored index and what the run leaves as it is.
    const unsigned outerGeneration = m_styleGeneration;
    if (m_run.generation == outerGeneration && m_run.Holds(*style)) {
        const FontState outer = SaveFont();
        RestoreFont(m_run.font);
        AddText(text);
        RestoreFont(outer);
        return;
    }
    PushStyle();
    ApplyRunStyle(*style);
    SelectStyle();
    m_run.generation = outerGeneration;
    static_cast<ComputedStyle&>(m_run) = *style;
    StyleIndex();
    m_run.font = SaveFont();
    AddText(text);
    PopStyle();
    m_styleGeneration = outerGeneration; // the style is the one before the run again
}

Layouter::FontState Layouter::SaveFont() const
{
    return FontState{m_font, m_metrics, m_fontKey, m_styleStored, m_styleIndex};
}

void Layouter::RestoreFont(const FontState& state)
{
    m_font = state.font;
    m_metrics = state.metrics;
    m_fontKey = state.key;
    m_styleStored = state.stored;
    m_styleIndex = state.index;
}

void Layouter::Picture(HBITMAP bitmap, PageElement& owner)
{
    LayoutItem item;
    item.owner = BoxOwner(owner);
    LayoutImage picture;
    picture.bitmap = bitmap;
    const SIZE own = DrawEffects::BitmapSize(bitmap);
    if (own.cx <= 0 || own.cy <= 0)
        return;
    picture.drawWidth = std::min<int>(own.cx, kMaxImageSize);
    picture.drawHeight = std::min<int>(own.cy, kMaxImageSize);
    AddImageItem(std::move(item), picture);
}

void Layouter::OpenTable(PageElement& element)
{
    if (!(Line().itemCount == 0) || m_x > 0)
        EndLine(false);
    // The attributes as the renderer's table tag gives them (present, maybe empty).
    HtmlNode node;
    for (const wchar_t* name : {L"cellspacing", L"cellpadding", L"border"})
        node.attributes.emplace_back(name, element.Attribute(name));
    PendingTable open;
    open.table = std::make_shared<LayoutTable>();
    open.table->owner = BoxOwner(element);
    open.context = Context();
    const BoxStyle box = ReadBoxStyle(node, open.context);
    ApplyBoxStyle(box, *open.table);
    open.table->spacing = std::clamp(ParseLength(node.Attribute(L"cellspacing"), 0, open.context), 0, 1000);
    open.padding = std::clamp(ParseLength(node.Attribute(L"cellpadding"), 2, open.context), 0, 1000);
    open.align = AlignOf(element.Attribute(L"align"), kAlignLeft);
    m_openTables.push_back(std::move(open));
}

void Layouter::OpenRow()
{
    PendingTable& open = m_openTables.back();
    ++open.row;
    open.column = 0;
}

void Layouter::OpenCell(PageElement& element)
{
    PendingTable& open = m_openTables.back();
    if (open.row < 0)
        OpenRow();
    LayoutCell cell;
    cell.owner = BoxOwner(element);
    TakeGridPlace(open.taken, cell, open.row, open.column);
    const BoxStyle box = ReadBoxStyle(HtmlNode(), open.context);
    ApplyBoxStyle(box, cell);
    cell.border = std::min(box.border, 1);
    cell.padding = open.padding;
    cell.align = AlignOf(element.Attribute(L"align"), kAlignLeft);
    cell.valign = VAlignOf(element.Attribute(L"valign"), kVAlignTop);
    open.table->cells.push_back(std::move(cell));
    BeginFlow(open.table->cells.back().content, m_maxWidth, open.outer);
}

void Layouter::CloseCell()
{
    PendingTable& open = m_openTables.back();
    EndFlow(open.outer);
    LayoutCell& cell = open.table->cells.back();
    const int frame = 2 * (cell.padding + BorderRoom(cell.border, cell.borderStyle));
    cell.width = cell.content.width + frame;
    cell.height = cell.content.height + frame;
    open.column += cell.columnSpan;
}

void Layouter::CloseTable()
{
    PendingTable open = std::move(m_openTables.back());
    m_openTables.pop_back();
    AddTableItem(open.table, open.align);
}

} // namespace html

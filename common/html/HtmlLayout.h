#pragma once

// Lays out a parsed tooltip text, or a web page straight from its own element
// tree, and draws it. Layout builds lines of boxes (text pieces, rules,
// images, tables) for an area once; Place gives every box its position and
// Paint draws them, as often as the host likes. Places are written back into
// the document's nodes (HtmlNode::boxes) or the page's elements
// (PageElement::box), device coordinates of the last placing, and the
// hyperlink pieces into `links`.

#include <windows.h>

#include "common/html/DrawEffects.h"
#include "common/html/HtmlDocument.h"
#include "common/html/HtmlPage.h"
#include "common/html/HtmlVocabulary.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace html
{

struct HyperlinkPiece
{
    RECT rect = {};
    int kind = 0; // 1 href, 2 message
    int index = -1;
    std::wstring text;
};

struct AnimationEntry
{
    int frame = 0;
    int frameCount = 0;
    int tick = 0;
    int ticksPerFrame = 0;
};

// The fonts layouts were made with, kept by their renderer from one layout
// to the next (a page laid out again makes no fonts anew); freed with it.
struct LayoutFontMetrics
{
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int xHeight = 0;
    // Advance widths of the Latin characters, then of the punctuation block;
    // null when they could not be read.
    std::shared_ptr<const std::vector<int>> widths;
};
struct LayoutFontKey
{
    std::wstring face;
    int size = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator<(const LayoutFontKey& other) const;
    bool Matches(const HtmlStyle& style) const;
};
class LayoutFonts
{
public:
    using Entry = std::pair<HFONT, LayoutFontMetrics>;
    LayoutFonts() = default;
    ~LayoutFonts();
    LayoutFonts(const LayoutFonts&) = delete;
    LayoutFonts& operator=(const LayoutFonts&) = delete;

    // The font of the style, made (with the device context) when it is new.
    const std::pair<const LayoutFontKey, Entry>& Get(HDC dc, const HtmlStyle& style);

private:
    std::map<LayoutFontKey, Entry> m_fonts;
};

// What the layout reads from and writes to its renderer.
struct LayoutSettings
{
    int maxWidth = 0; // 0: lines are not wrapped
    int tabWidth = 32;
    int hoveredLink = -2;
    HMODULE module = nullptr; // images and strings named by resource id
    DrawEffects::ImageShadow imageShadow;
    const StyleSheet* sheet = nullptr;
    std::vector<AnimationEntry>* animations = nullptr;
    std::vector<HyperlinkPiece>* links = nullptr;
    LayoutFonts* fonts = nullptr; // null: the layouter keeps its own
    // Page elements hold the box of the placing with this stamp (see PageElement::box).
    unsigned placeStamp = 1;
};

struct LayoutFlow;
struct LayoutTable;

// What an image item draws; kept beside the items (LayoutFlow::images), as
// most items are text.
struct LayoutImage
{
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    bool masked = false;
    COLORREF maskColor = RGB(255, 0, 255);
    UINT imageFlags = 0;
    bool imageShadow = false;
    int frame = -1;     // image lists: the frame drawn
    int animation = -1; // animated image lists: the entry whose frame is drawn
    int frameWidth = 0;
    int frameHeight = 0;
    int drawWidth = 0;
    int drawHeight = 0;
};

struct LayoutItem
{
    enum class Kind
    {
        Text,
        Rule,
        Image,
        Table,
    };
    Kind kind = Kind::Text;
    HtmlNode* node = nullptr;     // tooltip markup: the node drawn
    PageElement* owner = nullptr; // web pages: the element drawn, when its place is kept (BoxOwner)
    int styleIndex = 0;
    int link = -1; // the link the item belongs to (Layouter's link targets), -1 for none
    HFONT font = nullptr;
    // Text: the font's metrics, valid while the layout is made (its fonts live on).
    const LayoutFontMetrics* metrics = nullptr;
    int fontAscent = 0; // text: the font's ascent and height
    int fontHeight = 0;
    // Text: where its characters stand in the flow's text (LayoutFlow::TextOf).
    size_t textStart = 0;
    size_t textLength = 0;
    int width = 0;
    int height = 0;
    int blanks = 0;
    int rulePercent = -1; // rules: a width given in percent of the area
    int ruleThickness = 1;
    COLORREF ruleColor = 0;
    int image = -1; // images: its entry in the flow's images
    std::shared_ptr<LayoutTable> table;
    int offset = 0; // from the line's start
    RECT rect = {}; // after Place
    int extra = 0;  // justification: extra pixels spread over the blanks
};

struct LayoutLine
{
    size_t firstItem = 0; // the line's items in the flow's list
    size_t itemCount = 0;
    int width = 0;
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int blanks = 0;
    int align = kAlignLeft;
    bool alignSet = false;
    bool wrapped = false;
    int breaks = 1;
    bool holdsText = false;
};

// Items kept in blocks: a long page grows its list without moving what it
// holds, at one allocation for many items.
class ItemList
{
public:
    static constexpr size_t kBlockSize = 128;

    size_t size() const { return m_size; }
    LayoutItem& operator[](size_t index) { return m_blocks[index / kBlockSize][index % kBlockSize]; }
    const LayoutItem& operator[](size_t index) const
    {
        return m_blocks[index / kBlockSize][index % kBlockSize];
    }
    LayoutItem& back() { return (*this)[m_size - 1]; }
    // A new text item at the end, with no owner, unplaced; what only rules,
    // images and tables read is left as an item of an earlier layout left
    // it (it holds no table).
    LayoutItem& AddText()
    {
        LayoutItem& item = Grow();
        item.kind = LayoutItem::Kind::Text;
        item.node = nullptr;
        item.owner = nullptr;
        item.rect = RECT{};
        item.extra = 0;
        return item;
    }
    void push_back(LayoutItem item)
    {
        if (item.table)
            ++m_tables;
        Grow() = std::move(item);
    }
    // Empties the list, keeping its blocks for the next layout.
    void Clear()
    {
        for (size_t i = 0; i < m_size && m_tables > 0; ++i) {
            if ((*this)[i].table) {
                (*this)[i].table.reset();
                --m_tables;
            }
        }
        m_tables = 0;
        m_size = 0;
    }

private:
    LayoutItem& Grow()
    {
        if (m_size == m_blocks.size() * kBlockSize)
            m_blocks.push_back(std::make_unique<LayoutItem[]>(kBlockSize));
        return (*this)[m_size++];
    }

    std::vector<std::unique_ptr<LayoutItem[]>> m_blocks;
    size_t m_size = 0;
    size_t m_tables = 0; // items holding a table
};

// A line's items, for range-for.
template <typename List, typename Item>
class ItemRange
{
public:
    class Iterator
    {
    public:
        Iterator(List& list, size_t index) : m_list(&list), m_index(index) {}
        Item& operator*() const { return (*m_list)[m_index]; }
        Iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_index != other.m_index; }

    private:
        List* m_list;
        size_t m_index;
    };
    ItemRange(List& list, size_t first, size_t count) : m_list(list), m_first(first), m_count(count) {}
    Iterator begin() const { return Iterator(m_list, m_first); }
    Iterator end() const { return Iterator(m_list, m_first + m_count); }

private:
    List& m_list;
    size_t m_first;
    size_t m_count;
};

struct LayoutFlow
{
    std::vector<LayoutLine> lines;
    ItemList items;                  // of all lines, in order
    std::wstring text;               // the characters of the text items, in order
    std::vector<LayoutImage> images; // what the image items draw

    std::wstring_view TextOf(const LayoutItem& item) const
    {
        return std::wstring_view(text).substr(item.textStart, item.textLength);
    }

    ItemRange<ItemList, LayoutItem> ItemsOf(const LayoutLine& line)
    {
        return ItemRange<ItemList, LayoutItem>(items, line.firstItem, line.itemCount);
    }
    ItemRange<const ItemList, const LayoutItem> ItemsOf(const LayoutLine& line) const
    {
        return ItemRange<const ItemList, const LayoutItem>(items, line.firstItem, line.itemCount);
    }
    int width = 0;
    int height = 0;

    // Empties the flow for the next layout, keeping the room of its lists.
    void Clear()
    {
        lines.clear();
        items.Clear();
        text.clear();
        images.clear();
        width = 0;
        height = 0;
    }
};

struct LayoutCell
{
    HtmlNode* node = nullptr;
    PageElement* owner = nullptr;
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    int width = 0; // with padding and border
    int height = 0;
    int padding = 2;
    int border = 0;
    int borderStyle = 0;
    COLORREF light = 0;
    COLORREF dark = 0;
    int effect = -1;
    COLORREF colors[3] = {};
    int align = kAlignLeft;
    int valign = kVAlignTop;
    LayoutFlow content;
    RECT rect = {};
};

struct LayoutTable
{
    HtmlNode* node = nullptr;
    PageElement* owner = nullptr;
    std::vector<LayoutCell> cells;
    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    int spacing = 0;
    int border = 0;
    int borderStyle = 0;
    COLORREF light = 0;
    COLORREF dark = 0;
    int effect = -1;
    COLORREF colors[3] = {};
    std::wstring background;
    int width = 0;
    int height = 0;
    RECT rect = {};
};

class Layouter : private PageSink
{
    static inline const LayoutFontMetrics kNoMetrics{};

public:
    explicit Layouter(LayoutSettings& settings);
    ~Layouter() override;
    Layouter(const Layouter&) = delete;
    Layouter& operator=(const Layouter&) = delete;

    // Lays out the root's children (the body) for the area width (0: no limit),
    // measuring with the device context, into `flow` (emptied first; its room
    // is used again).
    void LayoutRoot(HDC dc, HtmlNode& root, LayoutFlow& flow);
    // Lays out a web page from its element tree, the same way; `placeholder`
    // gives the bitmap that holds the room of a picture or control element.
    void LayoutPage(HDC dc, HtmlPage& page, const PagePlaceholder& placeholder, LayoutFlow& flow);
    // Gives every box its place: the flow's top-left corner at (x, y), lines
    // aligned within areaWidth. Writes node boxes and hyperlink pieces.
    void Place(LayoutFlow& flow, int x, int y, int areaWidth);
    void Paint(HDC dc, const LayoutFlow& flow);

    const HtmlStyle& StyleAt(int index) const { return m_styles[static_cast<size_t>(index)]; }

private:
    struct FlowState
    {
        LayoutFlow* flow = nullptr;
        int maxWidth = 0;
        int x = 0;
    };
    // A table of a page while its cells are laid out.
    struct PendingTable
    {
        std::shared_ptr<LayoutTable> table;
        std::vector<std::vector<bool>> taken;
        int row = -1;
        int column = 0;
        int align = kAlignLeft;
        int padding = 2;
        LengthContext context;
        FlowState outer;
    };

    // With the device context in place: the first style and font, no animations yet.
    void StartLayout();
    void BeginFlow(LayoutFlow& flow, int maxWidth, FlowState& outer);
    void EndFlow(const FlowState& outer);
    void LayoutChildren(HtmlNode& parent, int maxWidth, LayoutFlow& flow);
    void Walk(HtmlNode& node);
    void WalkChildren(HtmlNode& node);
    void ApplyTag(HtmlNode& node, HtmlStyle& style);
    void ApplyFontTag(const HtmlNode& node, HtmlStyle& style);
    void ApplySheet(const std::wstring& selector, HtmlStyle& style);
    void OpenLinkStyle(int kind, const std::wstring& target);
    void PushStyle();
    void PopStyle();
    void SelectStyle();
    int StyleIndex();
    // The link of the current style among the layout's link targets, -1 for none.
    int LinkIndex();
    // The index of the style among those stored, storing it when it is new.
    int StoredStyle(const HtmlStyle& style);
    LengthContext Context() const;

    // Lays out a run in the current style (`run` is read before it returns).
    void AddText(std::wstring_view run);
    // The extent of a text in the current font (and, when `extents` is given,
    // the width of every prefix), from the font's width table when it covers
    // the characters, else from GDI.
    SIZE MeasureText(const wchar_t* text, size_t length, int* extents);
    bool MeasureFromWidths(const wchar_t* text, size_t length, int* extents, SIZE& size) const;
    void PlaceText(std::wstring_view piece);
    // The same for a piece whose extent is known already.
    void PlaceMeasuredText(std::wstring_view piece, SIZE size);
    void AddBox(LayoutItem item);
    void AddRule(HtmlNode& node);
    void AddRuleItem(LayoutItem item);
    void AddImage(HtmlNode& node);
    // An image item: `item` holds its owner, `image` what it draws.
    void AddImageItem(LayoutItem item, const LayoutImage& image);
    void AddString(HtmlNode& node);
    void AddTable(HtmlNode& node);
    void AddTableItem(const std::shared_ptr<LayoutTable>& table, int align);
    void Tab(int count);
    void EndLine(bool wrapped, int count = 1);
    LayoutLine& Line() { return m_flow->lines.back(); }
    int Room() const;

    void ReadTable(HtmlNode& node, LayoutTable& table);
    void SizeTable(LayoutTable& table);
    void PlaceTable(LayoutTable& table, int x, int y);
    void PaintFlow(const LayoutFlow& flow);
    void PaintImage(const LayoutImage& image, const RECT& r);
    void PaintTable(const LayoutTable& table);
    void PaintItem(const LayoutFlow& flow, const LayoutItem& item);
    // The frame an image list shows now (animated ones step on).
    int FrameOf(const LayoutImage& image) const;
    void RecordBox(const LayoutItem& item);
    void RecordOwnerBox(PageElement* owner, const RECT& rect) const;
    // Where a page element's box is recorded: only what a marker holds is
    // asked for its place (the view's controls, anchors and elements with
    // an id); null elsewhere.
    PageElement* BoxOwner(PageElement& owner) const;

    // The page's flow, as PageSink.
    void Break() override;
    void Rule(PageElement& owner) override;
    void OpenAlign(int align) override;
    void CloseAlign() override;
    void OpenMarker(int marker) override;
    void CloseMarker() override;
    void OpenLink(int number) override;
    void CloseLink() override;
    void Text(const std::wstring& text, const ComputedStyle* style, PageElement& owner) override;
    // The current style, a run's style on top (as the renderer's FONT tag gives it).
    void ApplyRunStyle(const ComputedStyle& style);
    void Picture(HBITMAP bitmap, PageElement& owner) override;
    void OpenTable(PageElement& table) override;
    void OpenRow() override;
    void OpenCell(PageElement& cell) override;
    void CloseCell() override;
    void CloseTable() override;

    HDC m_dc = nullptr; // while laying out or painting
    LayoutSettings& m_settings;
    int m_dpiY = 96;
    std::vector<HtmlStyle> m_styles; // every style used (without its link), items point into it
    struct LinkTarget
    {
        int kind = 0;
        int index = -1;
        std::wstring text;
    };
    std::vector<LinkTarget> m_linkTargets; // the links items belong to
    HtmlStyle m_style;
    std::unordered_multimap<size_t, int> m_styleLookup; // m_styles by StyleHash
    bool m_styleStored = false;                         // m_style is stored, at m_styleIndex
    int m_styleIndex = 0;
    unsigned m_styleGeneration = 0; // changes with every change of m_style (see SelectStyle)
    // The font and stored style that follow from m_style; saved around a page's run.
    struct FontState
    {
        HFONT font = nullptr;
        const LayoutFontMetrics* metrics = nullptr;
        const LayoutFontKey* key = nullptr;
        bool stored = false;
        int index = 0;
    };
    FontState SaveFont() const;
    void RestoreFont(const FontState& state);
    // The last page run's style, the style around it (by generation) and what it made.
    struct RunStyle : ComputedStyle
    {
        unsigned generation = ~0u;
        FontState font;
        bool Holds(const ComputedStyle& other) const;
    };
    RunStyle m_run;
    std::vector<HtmlStyle> m_stack;
    HFONT m_font = nullptr;         // the font of the current style
    HFONT m_selectedFont = nullptr; // the font last selected into the device context
    const LayoutFontMetrics* m_metrics = &kNoMetrics;
    const LayoutFontKey* m_fontKey = nullptr; // the current font's key
    LayoutFonts m_ownFonts;
    std::vector<HBITMAP> m_ownedBitmaps;
    std::vector<HICON> m_ownedIcons;
    std::vector<int> m_extents; // scratch: the prefix widths of a run
    std::wstring m_transformed; // scratch: a run in upper or lower case
    // The entries of the style sheet read into declarations, by entry.
    std::unordered_map<const std::wstring*, Declarations> m_parsedSheet;
    LayoutFlow* m_flow = nullptr;
    int m_maxWidth = 0;
    int m_x = 0;
    int m_linkCounter = 0;
    size_t m_animationIndex = 0;
    HtmlNode* m_textNode = nullptr;         // the run being laid out (tooltip markup)
    PageElement* m_textOwner = nullptr;     // the element whose text is laid out (web pages)
    int m_markerDepth = 0;                  // web pages: markers open around what is laid out
    std::vector<PendingTable> m_openTables; // web pages: tables whose cells are being laid out
};

// The extent of a text (and the width of each prefix, when `extents` is
// given) from the font's width table; false when the table does not cover
// every character.
bool MeasureWithTable(const LayoutFontMetrics& metrics, const wchar_t* text, size_t length, int* extents,
                      SIZE& size);

// True when a file name names a DOS device (CON, AUX, COM1, ...), which would
// block when read.
bool IsDeviceFileName(const std::wstring& path);

} // namespace html

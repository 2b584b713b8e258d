#pragma once

// Lays out a parsed tooltip text and draws it. One routine serves measuring
// and drawing: Layout builds lines of boxes (text pieces, rules, images,
// tables) for an area, Place gives every box its position, Paint draws them.
// Places are written back into the document's nodes (HtmlNode::boxes, device
// coordinates of the last draw) and the hyperlink pieces into `links`.

#include <windows.h>

#include "common/html/DrawEffects.h"
#include "common/html/HtmlDocument.h"
#include "common/html/HtmlVocabulary.h"

#include <map>
#include <memory>
#include <string>
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
};

struct LayoutFlow;
struct LayoutTable;

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
    HtmlNode* node = nullptr;
    int styleIndex = 0;
    HFONT font = nullptr;
    std::wstring text;
    int width = 0;
    int height = 0;
    int blanks = 0;
    int rulePercent = -1; // rules: a width given in percent of the area
    int ruleThickness = 1;
    COLORREF ruleColor = 0;
    // images
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    bool masked = false;
    COLORREF maskColor = RGB(255, 0, 255);
    UINT imageFlags = 0;
    bool imageShadow = false;
    int frame = -1; // image lists: the frame drawn
    int frameWidth = 0;
    int frameHeight = 0;
    int drawWidth = 0;
    int drawHeight = 0;
    std::shared_ptr<LayoutTable> table;
    int offset = 0; // from the line's start
    RECT rect = {}; // after Place
    int extra = 0;  // justification: extra pixels spread over the blanks
};

struct LayoutLine
{
    std::vector<LayoutItem> items;
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

struct LayoutFlow
{
    std::vector<LayoutLine> lines;
    int width = 0;
    int height = 0;
};

struct LayoutCell
{
    HtmlNode* node = nullptr;
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

class Layouter
{
public:
    Layouter(HDC dc, LayoutSettings& settings, bool measure);
    ~Layouter();
    Layouter(const Layouter&) = delete;
    Layouter& operator=(const Layouter&) = delete;

    // Lays out the root's children (the body) for the area width (0: no limit).
    LayoutFlow LayoutRoot(HtmlNode& root);
    // Gives every box its place: the flow's top-left corner at (x, y), lines
    // aligned within areaWidth. Writes node boxes and hyperlink pieces.
    void Place(LayoutFlow& flow, int x, int y, int areaWidth);
    void Paint(const LayoutFlow& flow);

    const HtmlStyle& StyleAt(int index) const { return m_styles[static_cast<size_t>(index)]; }

private:
    struct FontMetrics
    {
        int ascent = 0;
        int descent = 0;
        int height = 0;
        int xHeight = 0;
        // Advance widths of the first characters; null when they could not be read.
        std::shared_ptr<const std::vector<int>> widths;
    };

    LayoutFlow LayoutChildren(HtmlNode& parent, int maxWidth);
    void Walk(HtmlNode& node);
    void WalkChildren(HtmlNode& node);
    void ApplyTag(HtmlNode& node, HtmlStyle& style);
    void ApplyFontTag(const HtmlNode& node, HtmlStyle& style);
    void SelectStyle();
    LengthContext Context() const;

    void AddText(std::wstring text);
    // The extent of a text in the current font (and, when `extents` is given,
    // the width of every prefix), from the font's width table when it covers
    // the characters, else from GDI.
    SIZE MeasureText(const wchar_t* text, size_t length, int* extents);
    bool MeasureFromWidths(const wchar_t* text, size_t length, int* extents, SIZE& size) const;
    void PlaceText(const std::wstring& piece);
    // The same for a piece whose extent is known already.
    void PlaceMeasuredText(const std::wstring& piece, SIZE size);
    void AddBox(LayoutItem item);
    void AddRule(HtmlNode& node);
    void AddImage(HtmlNode& node);
    void AddString(HtmlNode& node);
    void AddTable(HtmlNode& node);
    void Tab(int count);
    void EndLine(bool wrapped, int count = 1);
    LayoutLine& Line() { return m_flow->lines.back(); }
    int Room() const;

    void ReadTable(HtmlNode& node, LayoutTable& table);
    void SizeTable(LayoutTable& table);
    void PlaceTable(LayoutTable& table, int x, int y);
    void PaintTable(const LayoutTable& table);
    void PaintItem(const LayoutItem& item);
    void RecordBox(const LayoutItem& item);

    HDC m_dc;
    LayoutSettings& m_settings;
    bool m_measure;
    int m_dpiY = 96;
    std::vector<HtmlStyle> m_styles; // every style used, items point into it
    HtmlStyle m_style;
    std::vector<HtmlStyle> m_stack;
    HFONT m_font = nullptr;         // the font of the current style
    HFONT m_selectedFont = nullptr; // the font last selected into the device context
    FontMetrics m_metrics;
    std::map<std::wstring, std::pair<HFONT, FontMetrics>> m_fonts;
    std::vector<HBITMAP> m_ownedBitmaps;
    std::vector<HICON> m_ownedIcons;
    LayoutFlow* m_flow = nullptr;
    int m_maxWidth = 0;
    int m_x = 0;
    int m_linkCounter = 0;
    size_t m_animationIndex = 0;
    HtmlNode* m_textNode = nullptr; // the run being laid out
};

// True when a file name names a DOS device (CON, AUX, COM1, ...), which would
// block when read.
bool IsDeviceFileName(const std::wstring& path);

} // namespace html

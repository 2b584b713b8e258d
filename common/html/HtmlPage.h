#pragma once

// A web page as the HTML view holds it: the element tree of ordinary HTML
// (tag names in any case, comments, style blocks, entities), the style rules
// of its style blocks and style sheets, the run-time styles and states set on
// elements, and the walk that turns the tree into what the tooltip renderer
// draws: breaks, rules, alignment, link and marker spans, styled text runs,
// pictures and tables, handed to a PageSink (the renderer's layout, or the
// renderer's markup of HtmlVocabulary.h for a look at it). Controls (check
// boxes and number inputs) are left as placeholders of a given size, which
// the view covers with real windows.

#include <windows.h>

#include "common/html/NodePool.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace html
{

// Element state bits.
inline constexpr UINT kStateChecked = 0x40;
inline constexpr UINT kStateDisabled = 0x80;

enum class ControlKind
{
    None,
    Hyperlink,
    CheckBox,
    Number,
};

// What few elements carry: attributes, run-time styles and the windows of a
// control. Kept apart so the many plain elements of a long page stay small.
struct PageElementExtras
{
    std::vector<std::pair<std::wstring, std::wstring>> attributes; // names in lower case
    std::map<std::wstring, std::wstring> runtimeStyle;
    HWND control = nullptr; // the window standing for a control element (the root: the view)
    HWND buddy = nullptr;   // number inputs: the up-down control
    SIZE controlSize = {};

    // Empties the extras for the next tree, keeping the room of the attribute list.
    void Reset();
};

struct PageElement
{
    // Lower case; empty for the root and for text. The characters are the
    // page's (see HtmlPage::m_otherNames) or a table's, kept while the page
    // holds the tree.
    std::wstring_view tag;
    std::wstring text; // text nodes: the decoded characters
    std::vector<PoolPtr<PageElement>> children;
    PageElement* parent = nullptr;
    // Made when the element first needs one; kept (emptied) when the pool
    // hands the element out again.
    std::unique_ptr<PageElementExtras> extras;
    // Where the renderer last placed what the element drew itself (its text,
    // picture, rule or table), valid when boxStamp is the renderer's stamp.
    // Kept for what markers hold: elements outside every marker are never
    // asked for their place.
    RECT box = {};
    unsigned boxStamp = 0;
    unsigned traits = 0; // what the tag is (block, hidden, ...), set with the tag by Parse
    UINT state = 0;
    // Set by the walk: the number of the element's marker (an anchor, link,
    // control or element with an id; "e" + number in the renderer's markup),
    // -1 when it has none.
    int marker = -1;
    bool isText = false;

    // Empties the element for the next tree, keeping the room of its lists.
    void Reset();
    // The extras, made when missing.
    PageElementExtras& Extras();
    const std::wstring* FindAttribute(std::wstring_view name) const;
    std::wstring Attribute(std::wstring_view name) const;
    void SetAttribute(const std::wstring& name, const std::wstring* value);
    // The control's windows; null when the element has none.
    HWND ControlWindow() const { return extras ? extras->control : nullptr; }
    HWND BuddyWindow() const { return extras ? extras->buddy : nullptr; }
    ControlKind Control() const;
    // The text of the element's descendants, blanks collapsed.
    std::wstring InnerText() const;
};

// One rule of a style sheet: a simple selector (tag, "#id", ".class" or a tag
// with one of them) and its declarations.
struct StyleRule
{
    std::wstring tag;
    std::wstring id;
    std::wstring cls;
    std::vector<std::pair<std::wstring, std::wstring>> declarations;
    int Specificity() const;
};

// Reads "selector, selector { name: value; ... }" rules (comments skipped).
std::vector<StyleRule> ParseCssRules(const std::wstring& text);
// Reads "name: value; name: value" into pairs (names in lower case).
std::vector<std::pair<std::wstring, std::wstring>> ParseCssDeclarations(const std::wstring& text);
// Replaces character references ("&amp;", "&#65;", "&#x41;", "&nbsp;" ...).
std::wstring DecodeEntities(const std::wstring& text);

// The style a piece of text is drawn with.
struct ComputedStyle
{
    std::wstring face = L"Verdana";
    int fontPixels = 13;
    COLORREF color = RGB(0, 0, 0);
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hasBackground = false;
    COLORREF background = RGB(255, 255, 255);
    int align = 0; // 0 left, 1 centre, 2 right
    bool hidden = false;
};

using PagePlaceholder = std::function<HBITMAP(PageElement&)>;

// What the walk of a page produces, in the page's order. Alignments are
// 0 left, 1 centre, 2 right; markers and links carry their numbers.
class PageSink
{
public:
    virtual ~PageSink() = default;
    virtual void Break() = 0;
    virtual void Rule(PageElement& owner) = 0;
    virtual void OpenAlign(int align) = 0;
    virtual void CloseAlign() = 0;
    virtual void OpenMarker(int marker) = 0;
    virtual void CloseMarker() = 0;
    virtual void OpenLink(int number) = 0;
    virtual void CloseLink() = 0;
    // A run with its blanks collapsed, in the style (null: the renderer's own).
    virtual void Text(const std::wstring& text, const ComputedStyle* style, PageElement& owner) = 0;
    virtual void Picture(HBITMAP bitmap, PageElement& owner) = 0;
    virtual void OpenTable(PageElement& table) = 0;
    virtual void OpenRow() = 0;
    virtual void OpenCell(PageElement& cell) = 0;
    virtual void CloseCell() = 0;
    virtual void CloseTable() = 0;
};

class HtmlPage
{
public:
    // Parses a page (wide text); the previous page is dropped.
    void Parse(const std::wstring& text);

    PageElement& Root() { return m_root; }
    const PageElement& Root() const { return m_root; }

    // Style rules: the page's own style blocks are added by Parse; sheets
    // loaded later are appended.
    void AddStyleSheet(const std::wstring& text);

    // Elements in document order.
    void Visit(const std::function<bool(PageElement&)>& visitor);
    PageElement* FindById(const std::wstring& id);
    // The anchor of an in-page link: the element with that "id" or the A
    // element with that "name".
    PageElement* FindAnchor(const std::wstring& name);

    // The style of an element (its own and what it inherits).
    ComputedStyle StyleOf(const PageElement& element) const;
    // The page's background colour and margin (BODY attributes and rules).
    COLORREF Background() const;
    int Margin() const;

    // Walks the page for the renderer, numbering markers and links anew.
    // `placeholder` gives the bitmap that holds the room of a picture or a
    // control element (sized to controlSize).
    void Walk(PageSink& sink, const PagePlaceholder& placeholder);
    // The renderer's markup of the page (the same walk written out).
    std::wstring ToRendererMarkup(const PagePlaceholder& placeholder);
    // The element whose marker is that number, or null.
    PageElement* ElementOfMarker(int marker) const;
    // Link elements by the number the markup gives their "href".
    PageElement* LinkOfNumber(int number) const;

    // Hrefs of the style sheets the page links ("<link rel=stylesheet>").
    std::vector<std::wstring> LinkedStyleSheets() const;

private:
    void ApplyRules(const PageElement& element, ComputedStyle& style) const;
    // The element's style from its parent's: each element's style is made
    // once per translation, from the style its parent already has.
    ComputedStyle DeriveStyle(const PageElement& element, const ComputedStyle& parentStyle) const;
    // True when the element's style is its parent's as it is (DeriveStyle would copy it unchanged).
    bool InheritsUnchanged(const PageElement& element, const ComputedStyle& parentStyle) const;
    // The element's style from `topStyle`, the style of its ancestor `top`
    // (null: from the root down).
    ComputedStyle StyleBelow(const PageElement& element, const PageElement* top,
                             const ComputedStyle& topStyle) const;
    void Emit(PageElement& element, const ComputedStyle& parentStyle);
    // `style`: the text's style (its parent's).
    void EmitText(PageElement& element, const std::wstring& text, const ComputedStyle& style);
    // The run with its blanks collapsed (in m_runText), following m_lastBlank.
    const std::wstring& CollapseBlanks(const std::wstring& source);
    // `style`: the element's own style, which its children inherit.
    void EmitChildren(PageElement& element, const ComputedStyle& style);
    void EmitTable(PageElement& element, const ComputedStyle& style);
    // Breaks, rules, controls, pictures and tables; false for other elements.
    bool EmitApart(PageElement& element, const ComputedStyle& style, ControlKind control);
    void BreakLine(int count = 1);
    void OpenMarker(PageElement& element);
    HBITMAP PlaceholderOf(PageElement& element);
    // The sink, counting what is handed on.
    PageSink& Out();

    // The pool before the root: the root's children point into it.
    NodePool<PageElement> m_pool;
    // The tag names of the page that no table of tags holds, which its
    // elements point at.
    std::unordered_set<std::wstring> m_otherNames;
    PageElement m_root;
    std::vector<StyleRule> m_rules;
    std::vector<PageElement*> m_markers;
    std::vector<PageElement*> m_links;
    // Made by Parse: the style blocks and LINK elements, in document order.
    std::vector<PageElement*> m_styleBlocks;
    std::vector<PageElement*> m_sheetLinks;
    // While walking: where the walk goes, what gives placeholders, how many
    // things it has handed on, and the line state.
    PageSink* m_sink = nullptr;
    const PagePlaceholder* m_placeholder = nullptr;
    size_t m_handedOn = 0;
    std::wstring m_runText; // the run being handed on, blanks collapsed
    bool m_lineStart = true;
    bool m_lastBlank = true;
};

} // namespace html

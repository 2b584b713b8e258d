#pragma once

// A web page as the HTML view holds it: the element tree of ordinary HTML
// (tag names in any case, comments, style blocks, entities), the style rules
// of its style blocks and style sheets, the run-time styles and states set on
// elements, and the translation of the tree into the markup of the tooltip
// renderer (HtmlVocabulary.h), which lays out and draws it. Controls (check
// boxes and number inputs) are left as placeholders of a given size, which
// the view covers with real windows.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
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

struct PageElement
{
    bool isText = false;
    std::wstring tag;  // lower case; empty for the root and for text
    std::wstring text; // text nodes: the decoded characters
    std::vector<std::pair<std::wstring, std::wstring>> attributes; // names in lower case
    std::map<std::wstring, std::wstring> runtimeStyle;
    UINT state = 0;
    std::vector<std::unique_ptr<PageElement>> children;
    PageElement* parent = nullptr;
    // Set by the markup translation: the number of the element's marker in
    // the renderer's markup ("e" + number), -1 when it has none.
    int marker = -1;
    HWND control = nullptr; // the window standing for a control element (the root: the view)
    HWND buddy = nullptr;   // number inputs: the up-down control
    SIZE controlSize = {};

    const std::wstring* FindAttribute(const std::wstring& name) const;
    std::wstring Attribute(const std::wstring& name) const;
    void SetAttribute(const std::wstring& name, const std::wstring* value);
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

    // The renderer's markup of the page. `placeholder` gives the bitmap that
    // holds the room of a control element (sized to controlSize).
    std::wstring ToRendererMarkup(const std::function<HBITMAP(PageElement&)>& placeholder);
    // The element whose marker is that number, or null.
    PageElement* ElementOfMarker(int marker) const;
    // Link elements by the number the markup gives their "href".
    PageElement* LinkOfNumber(int number) const;

    // Hrefs of the style sheets the page links ("<link rel=stylesheet>").
    std::vector<std::wstring> LinkedStyleSheets() const;

private:
    void CollectStyles(PageElement& element);
    void ApplyRules(const PageElement& element, ComputedStyle& style) const;
    // The element's style from its parent's: each element's style is made
    // once per translation, from the style its parent already has.
    ComputedStyle DeriveStyle(const PageElement& element, const ComputedStyle& parentStyle) const;
    // The element's style from `topStyle`, the style of its ancestor `top`
    // (null: from the root down).
    ComputedStyle StyleBelow(const PageElement& element, const PageElement* top,
                             const ComputedStyle& topStyle) const;
    void Emit(PageElement& element, const std::function<HBITMAP(PageElement&)>& placeholder,
              const ComputedStyle& parentStyle);
    // `style`: the text's style (its parent's).
    void EmitText(const PageElement& element, const ComputedStyle& style);
    // `style`: the element's own style, which its children inherit.
    void EmitChildren(PageElement& element, const std::function<HBITMAP(PageElement&)>& placeholder,
                      const ComputedStyle& style);
    void BreakLine(int count = 1);
    void OpenMarker(PageElement& element);

    PageElement m_root;
    std::vector<StyleRule> m_rules;
    std::vector<PageElement*> m_markers;
    std::vector<PageElement*> m_links;
    std::wstring m_markup;
    bool m_lineStart = true;
    bool m_lastBlank = true;
};

} // namespace html

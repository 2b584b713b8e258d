#pragma once

// The HTML-subset renderer of the tooltips and of the HTML views: measures
// and draws a text written in the markup of HtmlVocabulary.h, or a web page
// from its own element tree, keeps the parsed document, the layout made when
// measuring (laid out again only for another width or hovered link) and the
// rectangles of the hyperlinks it drew, answers hit tests on them, opens them
// and advances animated image lists. It knows no window except the one it
// reports hover changes to.

#include <windows.h>

#include "common/html/HtmlDocument.h"
#include "common/html/HtmlLayout.h"
#include "common/html/HtmlPage.h"
#include "common/html/HtmlVocabulary.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class HtmlRenderer
{
public:
    HtmlRenderer();
    ~HtmlRenderer();
    HtmlRenderer(const HtmlRenderer&) = delete;
    HtmlRenderer& operator=(const HtmlRenderer&) = delete;

    // Stores and parses the text and measures it; 0 x 0 for an empty text or
    // one that lays out to nothing (the stored text is then emptied). The
    // width is cut to the maximum width; both sides get 1 more.
    SIZE Measure(HDC dc, const std::wstring& text);
    // Lays out a web page from its tree and measures it, as Measure does; the
    // page (and what `placeholder` gives) must stay until the next Measure,
    // MeasurePage or Forget.
    SIZE MeasurePage(HDC dc, html::HtmlPage& page, const html::PagePlaceholder& placeholder);
    // Drops the layout and the page (before the page changes under it).
    void Forget();
    // Places the layout in the rectangle: boxes and hyperlink pieces.
    void Place(const RECT& rect);
    // Draws the stored text or page into the rectangle; nothing for an empty one.
    void Draw(HDC dc, const RECT& rect);

    // Where hover changes go (window 0 clears message and lParam).
    void SetNotify(HWND window, UINT message, LPARAM lParam);
    // Hit test of the hyperlinks (edges included); reports a changed hovered
    // link; true (and the hand cursor set) when a link with text is hit.
    bool SetCursorAt(POINT point);
    // Opens an "href" link under the point.
    void ClickAt(POINT point);
    // Steps every animated image list; true when a frame changed.
    bool AdvanceAnimations();

    int maxWidth = 0; // 0: none
    int tabWidth = 32;

    // The document and layout results, for views built on the renderer.
    const std::wstring& Text() const { return m_text; }
    html::HtmlDocument& Document() { return m_document; }
    const std::vector<html::HyperlinkPiece>& Links() const { return m_links; }
    const std::vector<html::AnimationEntry>& Animations() const { return m_animations; }
    int HoveredLink() const { return m_hoveredLink; }
    void SetModule(HMODULE module) { m_module = module; }
    HCURSOR HandCursor() const { return m_handCursor; }
    // A page element's box is the last placing's when it carries this stamp.
    unsigned PlaceStamp() const { return m_settings.placeStamp; }

    // Opens a link: the shell first, else the ".htm" browser command with the
    // quoted address. `run` starts a command line (tests replace it).
    static bool OpenLink(const std::wstring& link, HKEY classesRoot = HKEY_CLASSES_ROOT,
                         const std::function<bool(const std::wstring&)>& run = nullptr,
                         const std::function<bool(const std::wstring&)>& shellOpen = nullptr);
    // The browser command for a link: the command cut at "%1" (with its
    // quotes), then a blank and the quoted link; empty when the link holds a
    // double quote or the command is empty.
    static std::wstring BrowserCommandFor(const std::wstring& command, const std::wstring& link);

private:
    void UpdateSettings();
    // Lays out the text or page again (with the device context, or the screen's).
    SIZE Layout(HDC dc);
    bool NeedsLayout() const;
    const html::HyperlinkPiece* HitTest(POINT point) const;

    html::StyleSheet m_sheet;
    std::wstring m_text;
    html::HtmlDocument m_document;
    html::HtmlPage* m_page = nullptr;
    html::PagePlaceholder m_placeholder;
    html::LayoutFonts m_fonts;
    html::LayoutSettings m_settings;
    std::unique_ptr<html::Layouter> m_layouter;
    html::LayoutFlow m_flow;
    int m_laidOutWidth = 0;  // the maximum width of the layout
    int m_laidOutHover = -2; // the hovered link of the layout
    RECT m_placedAt = {};
    bool m_placed = false;
    std::vector<html::HyperlinkPiece> m_links;
    std::vector<html::AnimationEntry> m_animations;
    int m_hoveredLink = -2;
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
    LPARAM m_notifyParam = 0;
    HCURSOR m_handCursor = nullptr;
    bool m_ownsCursor = false;
    HMODULE m_module = nullptr;
};

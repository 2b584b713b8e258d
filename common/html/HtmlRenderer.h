#pragma once

// The HTML-subset renderer of the tooltips (and, later, of the HTML views):
// measures and draws a text written in the markup of HtmlVocabulary.h, keeps
// the parsed document and the rectangles of the hyperlinks it drew, answers
// hit tests on them, opens them and advances animated image lists. It knows
// no window except the one it reports hover changes to.

#include <windows.h>

#include "common/html/HtmlDocument.h"
#include "common/html/HtmlLayout.h"
#include "common/html/HtmlVocabulary.h"

#include <functional>
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
    // Draws the stored text into the rectangle; nothing for an empty text.
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
    html::LayoutSettings Settings();
    const html::HyperlinkPiece* HitTest(POINT point) const;

    html::StyleSheet m_sheet;
    std::wstring m_text;
    html::HtmlDocument m_document;
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

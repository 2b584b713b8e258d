// test-locks: desktop
#include "common/html/HtmlRenderer.h"

#include "common/GdiObjectGuards.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

// A memory DC with a 32-bit bitmap to draw into.
struct Surface
{
    WindowDC screen;
    MemoryDC dc{screen.get()};
    GdiObject<HBITMAP> bitmap{::CreateCompatibleBitmap(screen.get(), 1200, 900)};
    SelectedObject selected{dc.get(), bitmap.get()};
};

void CollectBoxes(const html::HtmlNode& node, std::vector<std::pair<const html::HtmlNode*, RECT>>& out)
{
    for (const RECT& box : node.boxes)
        out.emplace_back(&node, box);
    for (const auto& child : node.children)
        CollectBoxes(*child, out);
}

std::vector<std::pair<const html::HtmlNode*, RECT>> Boxes(HtmlRenderer& renderer)
{
    std::vector<std::pair<const html::HtmlNode*, RECT>> boxes;
    CollectBoxes(renderer.Document().Root(), boxes);
    return boxes;
}

// The boxes of the text runs whose text is `text`.
std::vector<RECT> TextBoxes(HtmlRenderer& renderer, const std::wstring& text)
{
    std::vector<RECT> found;
    for (auto& [node, box] : Boxes(renderer)) {
        if (node->isText && node->text == text)
            found.push_back(box);
    }
    return found;
}

SIZE MeasureAndDraw(HtmlRenderer& renderer, HDC dc, const std::wstring& text)
{
    SIZE size = renderer.Measure(dc, text);
    RECT rect = {0, 0, size.cx, size.cy};
    renderer.Draw(dc, rect);
    return size;
}

int TextWidth(HDC dc, const std::wstring& text, int height, int weight = FW_NORMAL)
{
    LOGFONTW logFont = {};
    logFont.lfHeight = height;
    logFont.lfWeight = weight;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(logFont.lfFaceName, L"verdana");
    GdiObject<HFONT> font(::CreateFontIndirectW(&logFont));
    SelectedObject selected(dc, font.get());
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Records the hover messages the renderer sends.
struct HoverWindow
{
    static inline std::vector<WPARAM> received;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_USER + 101)
            received.push_back(wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window = nullptr;
    HoverWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HtmlLayoutTestsHover";
        ::RegisterClassW(&wc);
        window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
        received.clear();
    }
    ~HoverWindow() { ::DestroyWindow(window); }
};

const wchar_t* const kFixtures[] = {
    L"Plain text",
    L"<b>Bold</b> and <i>italic</i> and <u>under</u> <s>strike</s>",
    L"<h1>Title</h1>\n<hr>\nBody text with <font size=5 color=red face=Arial>big red</font> words",
    L"<center>centred line</center>\n<right>right</right>\n<justify>justified text that wraps "
    L"around</justify>",
    L"<table border=1 cellpadding=3 cellspacing=2><tr><td colspan=2>wide cell here</td></tr>"
    L"<tr><td>a</td><td rowspan=2>tall<br>cell<br>x</td></tr><tr><td>b</td></tr></table>after",
    L"<table><tr><td><table border=2 borderstyle=double><tr><td>nested</td></tr></table></td><td>x</td></tr>"
    L"</table>",
    L"<sub>low</sub><sup>high</sup><big>big</big><small>small</small><code>code</code><pre>pre</pre>",
    L"<a href=\"http://127.0.0.1/x\">a link that is long enough to wrap</a> tail",
    L"tab<t>stop<t 3>far\nnext<br 2>after",
    L"<span class=cpp-comment>comment</span> <font style=bo>overline</font> <vcenter>mid</vcenter>",
    L"<table bgeffect=hgradient bgcolor=yellow bgendcolor=red width=200 height=50><tr>"
    L"<td align=center valign=bottom bgcolor=white>c</td></tr></table>",
};

} // namespace

TEST(HtmlLayout, EmptyTextMeasuresNothing)
{
    Surface surface;
    HtmlRenderer renderer;
    for (const wchar_t* text : {L"", L"<b></b>", L"<blink>"}) {
        SIZE size = renderer.Measure(surface.dc.get(), text);
        EXPECT_EQ(size.cx, 0) << text;
        EXPECT_EQ(size.cy, 0) << text;
        EXPECT_TRUE(renderer.Text().empty()) << text;
    }
}

TEST(HtmlLayout, PlainTextMeasuresItsExtentPlusOne)
{
    Surface surface;
    HtmlRenderer renderer;
    int height = MulDiv(10, ::GetDeviceCaps(surface.dc.get(), LOGPIXELSY), 72);
    // Latin text and punctuation (bullet, dashes, ellipsis, zero-width space)
    // are measured from the font's width table, others by GDI: all as GDI does.
    for (const wchar_t* text :
         {L"Hello", L"\x2022 one \x2013 two \x2014 three\x2026 \x200B\x2022", L"\x4E2D\x6587 x"}) {
        SIZE size = renderer.Measure(surface.dc.get(), text);
        EXPECT_EQ(size.cx, TextWidth(surface.dc.get(), text, height) + 1) << text;
    }
    SIZE bold = renderer.Measure(surface.dc.get(), L"<b>Hello</b>");
    EXPECT_EQ(bold.cx, TextWidth(surface.dc.get(), L"Hello", height, 800) + 1);
}

TEST(HtmlLayout, EveryDrawnBoxLiesInsideTheMeasuredSize)
{
    Surface surface;
    for (int maxWidth : {0, 400}) {
        for (const wchar_t* text : kFixtures) {
            HtmlRenderer renderer;
            renderer.maxWidth = maxWidth;
            SIZE size = MeasureAndDraw(renderer, surface.dc.get(), text);
            ASSERT_GT(size.cx, 1) << text;
            auto boxes = Boxes(renderer);
            EXPECT_FALSE(boxes.empty()) << text;
            for (auto& [node, box] : boxes) {
                EXPECT_GE(box.left, 0) << text;
                EXPECT_GE(box.top, 0) << text;
                EXPECT_LE(box.right, size.cx) << text << " node " << node->tag << node->text;
                EXPECT_LE(box.bottom, size.cy) << text << " node " << node->tag << node->text;
            }
        }
    }
}

TEST(HtmlLayout, LongWordsAreCutOnlyOnAnEmptyLine)
{
    Surface surface;
    HtmlRenderer renderer;
    renderer.maxWidth = 60;
    MeasureAndDraw(renderer, surface.dc.get(), L"Supercalifragilistic");
    std::vector<RECT> pieces = TextBoxes(renderer, L"Supercalifragilistic");
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].top, 0);
    EXPECT_GT(pieces[1].top, pieces[0].top);
    for (const RECT& piece : pieces)
        EXPECT_LE(piece.right, 60);

    MeasureAndDraw(renderer, surface.dc.get(), L"ab <b>Supercalifragilistic</b>");
    std::vector<RECT> first = TextBoxes(renderer, L"ab ");
    std::vector<RECT> word = TextBoxes(renderer, L"Supercalifragilistic");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_GE(word.size(), 1u);
    EXPECT_EQ(word[0].left, 0) << "the word moves to the next line instead of being cut behind 'ab'";
    EXPECT_GT(word[0].top, first[0].top);
}

TEST(HtmlLayout, WordsWrapAtBreakCharacters)
{
    Surface surface;
    HtmlRenderer renderer;
    int height = MulDiv(10, ::GetDeviceCaps(surface.dc.get(), LOGPIXELSY), 72);
    renderer.maxWidth = TextWidth(surface.dc.get(), L"one two", height) + 2;
    MeasureAndDraw(renderer, surface.dc.get(), L"one two three");
    std::vector<RECT> pieces = TextBoxes(renderer, L"one two three");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].right - pieces[0].left, TextWidth(surface.dc.get(), L"one two", height));
    EXPECT_EQ(pieces[1].left, 0);
}

TEST(HtmlLayout, BreaksAndTabs)
{
    Surface surface;
    HtmlRenderer renderer;
    SIZE one = renderer.Measure(surface.dc.get(), L"a<br>b");
    SIZE three = renderer.Measure(surface.dc.get(), L"a<br 3>b");
    SIZE threeEq = renderer.Measure(surface.dc.get(), L"a<br=3>b");
    int line = (one.cy - 1) / 2;
    EXPECT_EQ(three.cy - one.cy, 2 * line);
    EXPECT_EQ(threeEq.cy, three.cy);

    int height = MulDiv(10, ::GetDeviceCaps(surface.dc.get(), LOGPIXELSY), 72);
    struct Case
    {
        const wchar_t* text;
        const wchar_t* last;
        int expectedLeft;
    } cases[] = {
        {L"<t>x", L"x", 32},
        {L"<t><t>x", L"x", 64},
        {L"<t 3>x", L"x", 96},
        {L"iiiiiii<t>x", L"x", (TextWidth(surface.dc.get(), L"iiiiiii", height) / 32 + 1) * 32},
    };
    for (const Case& c : cases) {
        MeasureAndDraw(renderer, surface.dc.get(), c.text);
        std::vector<RECT> boxes = TextBoxes(renderer, c.last);
        ASSERT_EQ(boxes.size(), 1u) << c.text;
        EXPECT_EQ(boxes[0].left, c.expectedLeft) << c.text;
    }
}

TEST(HtmlLayout, LinkAcrossLinesGivesOneIndexAndOneHover)
{
    Surface surface;
    HoverWindow hover;
    HtmlRenderer renderer;
    renderer.SetNotify(hover.window, WM_USER + 101, 0);
    renderer.maxWidth = 90;
    MeasureAndDraw(renderer, surface.dc.get(),
                   L"<a href=\"http://127.0.0.1/\">first second third</a> <a msg=2>x</a>");
    const auto& links = renderer.Links();
    ASSERT_GE(links.size(), 3u);
    EXPECT_EQ(links[0].index, 0);
    EXPECT_EQ(links[1].index, 0);
    EXPECT_NE(links[0].rect.top, links[1].rect.top);
    EXPECT_EQ(links.back().index, 1);
    EXPECT_EQ(links.back().kind, 2);

    auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    EXPECT_TRUE(renderer.SetCursorAt(centre(links[0].rect)));
    EXPECT_TRUE(renderer.SetCursorAt(centre(links[1].rect)));
    EXPECT_TRUE(renderer.SetCursorAt(POINT{links[0].rect.left, links[0].rect.top})) << "edges count";
    EXPECT_FALSE(renderer.SetCursorAt(POINT{1000, 1000}));
    EXPECT_FALSE(renderer.SetCursorAt(POINT{1001, 1000}));
    EXPECT_EQ(HoverWindow::received, (std::vector<WPARAM>{0, static_cast<WPARAM>(-2)}));
    EXPECT_EQ(renderer.HoveredLink(), -2);
}

TEST(HtmlLayout, EmptyElementsDrawNothingButAnEmptyLinkKeepsItsNumber)
{
    Surface surface;
    HtmlRenderer renderer;
    const SIZE plain = MeasureAndDraw(renderer, surface.dc.get(), L"<a href=second>x</a>");
    const SIZE size = MeasureAndDraw(renderer, surface.dc.get(),
                                     L"<b></b><font size=40></font><a href=first></a><a href=second>x</a>");
    EXPECT_EQ(size.cx, plain.cx);
    EXPECT_EQ(size.cy, plain.cy);
    const auto& links = renderer.Links();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].index, 1);
    EXPECT_EQ(links[0].text, L"second");
}

TEST(HtmlLayout, TableCellsSpanAndStayInsideTheTable)
{
    Surface surface;
    HtmlRenderer renderer;
    MeasureAndDraw(renderer, surface.dc.get(),
                   L"<table cellspacing=2><tr><td colspan=0>a</td><td>b</td></tr>"
                   L"<tr><td colspan=2 id=wide>a much wider cell</td></tr></table>");
    const html::HtmlNode* wide = renderer.Document().FindById(L"wide");
    ASSERT_NE(wide, nullptr);
    ASSERT_EQ(wide->boxes.size(), 1u);
    std::vector<RECT> a = TextBoxes(renderer, L"a");
    std::vector<RECT> b = TextBoxes(renderer, L"b");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_LT(a[0].right, b[0].left) << "colspan 0 counts as 1: b is in the second column";
    RECT cell = wide->boxes[0];
    for (const RECT& text : TextBoxes(renderer, L"a much wider cell")) {
        EXPECT_GE(text.left, cell.left);
        EXPECT_LE(text.right, cell.right);
    }
}

TEST(HtmlLayout, AnimatedImageListsAdvance)
{
    HtmlRenderer renderer;
    EXPECT_FALSE(renderer.AdvanceAnimations());
    Surface surface;
    // A 2 x 1 frame strip from a file the test writes.
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"scv_html_strip.bmp";
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 32;
        info.bmiHeader.biHeight = 16;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<DWORD> pixels(32 * 16, 0x00FF0000);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
        HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(handle, &file, sizeof(file), &written, nullptr);
        ::WriteFile(handle, &info.bmiHeader, sizeof(BITMAPINFOHEADER), &written, nullptr);
        ::WriteFile(handle, pixels.data(), static_cast<DWORD>(pixels.size() * 4), &written, nullptr);
        ::CloseHandle(handle);
    }
    SIZE size = MeasureAndDraw(renderer, surface.dc.get(), L"<ilst file=\"" + path + L"\" speed=2 index=1>");
    EXPECT_EQ(size.cx, 17);
    EXPECT_EQ(size.cy, 17);
    ASSERT_EQ(renderer.Animations().size(), 1u);
    EXPECT_EQ(renderer.Animations()[0].frameCount, 2);
    EXPECT_EQ(renderer.Animations()[0].frame, 1);
    EXPECT_FALSE(renderer.AdvanceAnimations());
    EXPECT_TRUE(renderer.AdvanceAnimations());
    EXPECT_EQ(renderer.Animations()[0].frame, 0);
    ::DeleteFileW(path.c_str());
}

TEST(HtmlLayout, BrowserFallbackQuotesTheAddress)
{
    struct Case
    {
        const wchar_t* command;
        const wchar_t* link;
        const wchar_t* expected;
    } cases[] = {
        {L"\"C:\\b\\browser.exe\" \"%1\"", L"http://x/?a b", L"\"C:\\b\\browser.exe\" \"http://x/?a b\""},
        {L"C:\\b\\browser.exe %1 -new", L"http://x", L"C:\\b\\browser.exe \"http://x\""},
        {L"C:\\b\\browser.exe", L"http://x", L"C:\\b\\browser.exe \"http://x\""},
        {L"C:\\b\\browser.exe %1", L"http://x\" & calc", L""},
        {L"", L"http://x", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlRenderer::BrowserCommandFor(c.command, c.link), c.expected) << c.command;

    // The fallback reads the ".htm" type from a test key laid out like HKEY_CLASSES_ROOT.
    const wchar_t* root = L"Software\\ScrivolanterTests\\HtmlClasses";
    HKEY classes = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_CURRENT_USER, root, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes, nullptr),
        ERROR_SUCCESS);
    auto setDefault = [&](const wchar_t* subKey, const wchar_t* value) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(classes, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    };
    setDefault(L".htm", L"testfile");
    setDefault(L"testfile\\shell\\open\\command", L"\"C:\\b\\br.exe\" \"%1\"");
    std::wstring ran;
    auto failShell = [](const std::wstring&) { return false; };
    auto record = [&](const std::wstring& command) {
        ran = command;
        return true;
    };
    EXPECT_TRUE(HtmlRenderer::OpenLink(L"http://127.0.0.1/", classes, record, failShell));
    EXPECT_EQ(ran, L"\"C:\\b\\br.exe\" \"http://127.0.0.1/\"");
    ran.clear();
    EXPECT_FALSE(HtmlRenderer::OpenLink(L"x\"y", classes, record, failShell));
    EXPECT_TRUE(ran.empty());
    ::RegCloseKey(classes);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, root);
}

TEST(HtmlLayout, LongUnbrokenRunWrapsAtTheRightPlaces)
{
    Surface surface;
    HDC dc = surface.dc.get();
    const int height = MulDiv(10, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    std::wstring run;
    for (int i = 0; i < 1500; ++i)
        run += static_cast<wchar_t>(L'a' + (i * 7) % 26); // letters only: no break character
    for (int maxWidth : {1, 37, 200, 555}) {
        HtmlRenderer renderer;
        renderer.maxWidth = maxWidth;
        MeasureAndDraw(renderer, dc, L"<b>" + run + L"</b>");
        std::vector<RECT> pieces = TextBoxes(renderer, run);

        // What should come out: from each start, as many characters as fit
        // (one at least), each piece on a line of its own.
        LOGFONTW logFont = {};
        logFont.lfHeight = height;
        logFont.lfWeight = 800;
        logFont.lfCharSet = DEFAULT_CHARSET;
        lstrcpyW(logFont.lfFaceName, L"verdana");
        GdiObject<HFONT> font(::CreateFontIndirectW(&logFont));
        SelectedObject selected(dc, font.get());
        std::vector<int> expectedWidths;
        for (size_t start = 0; start < run.size();) {
            int fit = 0;
            SIZE size = {};
            const int rest = static_cast<int>(run.size() - start);
            ::GetTextExtentExPointW(dc, run.c_str() + start, rest, maxWidth, &fit, nullptr, &size);
            fit = std::max(fit, 1);
            ::GetTextExtentPoint32W(dc, run.c_str() + start, fit, &size);
            expectedWidths.push_back(size.cx);
            start += static_cast<size_t>(fit);
        }
        ASSERT_EQ(pieces.size(), expectedWidths.size()) << maxWidth;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].left, 0) << maxWidth << " piece " << i;
            EXPECT_EQ(pieces[i].right - pieces[i].left, expectedWidths[i]) << maxWidth << " piece " << i;
            if (i > 0)
                EXPECT_GT(pieces[i].top, pieces[i - 1].top) << maxWidth << " piece " << i;
        }
    }
}

TEST(HtmlLayout, RunAfterTextWrapsAtItsLastFittingBreak)
{
    Surface surface;
    HDC dc = surface.dc.get();
    const int height = MulDiv(10, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    // A long run whose only break characters are far apart: each line ends
    // at the last one that fits, the blanks after it are dropped.
    std::wstring word(40, L'x');
    std::wstring run = L"start " + word + L"-" + word + L"   " + word + L" end";
    HtmlRenderer renderer;
    renderer.maxWidth = TextWidth(dc, L"start " + word + L"-", height) + 3;
    MeasureAndDraw(renderer, dc, run);
    std::vector<RECT> pieces = TextBoxes(renderer, run);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].right - pieces[0].left, TextWidth(dc, L"start " + word + L"-", height));
    EXPECT_EQ(pieces[1].right - pieces[1].left, TextWidth(dc, word, height));
    EXPECT_EQ(pieces[1].left, 0);
    EXPECT_EQ(pieces[2].right - pieces[2].left, TextWidth(dc, word + L" end", height));
}

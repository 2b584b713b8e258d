// test-locks: desktop
// The HTML view as a real window with pages loaded from memory: the page
// model (tags in any case, style rules, entities), in-page anchors that
// scroll, element lookup, attributes and styles, the real check box and
// number controls, link clicks reported to the handlers, the style-sheet
// request of the load-data callback, pictures from files on this machine,
// and pictures on web servers that are not fetched; and the page laid out
// from its own tree, drawn pixel for pixel as its renderer markup.
#include "common/GdiObjectGuards.h"
#include "common/html/HtmlPage.h"
#include "common/html/HtmlRenderer.h"
#include "common/html/HtmlView.h"
#include "common/html/PagePicture.h"

#include "support/LocalHttpServer.h"
#include "support/MessagePump.h"
#include "support/PngImage.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct Event
{
    UINT group;
    UINT cmd;
    std::wstring href;
};

BOOL CALLBACK Record(LPVOID tag, HELEMENT, UINT group, LPVOID params)
{
    auto* events = static_cast<std::vector<Event>*>(tag);
    Event event{group, 0, std::wstring()};
    HELEMENT target = nullptr;
    if (group == HANDLE_MOUSE) {
        event.cmd = static_cast<MOUSE_PARAMS*>(params)->cmd;
        target = static_cast<MOUSE_PARAMS*>(params)->target;
    } else {
        event.cmd = static_cast<BEHAVIOR_EVENT_PARAMS*>(params)->cmd;
        target = static_cast<BEHAVIOR_EVENT_PARAMS*>(params)->heTarget;
    }
    LPCWSTR href = nullptr;
    if (HTMLayoutGetAttributeByName(target, "href", &href) == HLDOM_OK && href)
        event.href = href;
    events->push_back(event);
    return FALSE;
}

class View
{
public:
    View()
    {
        window = ::CreateWindowExW(WS_EX_TOPMOST, HTMLayoutClassNameW(), L"", WS_POPUP | WS_VISIBLE, 10, 10,
                                   500, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        HTMLayoutWindowAttachEventHandler(window, Record, &events, HANDLE_ALL);
    }
    ~View() { ::DestroyWindow(window); }

    bool Load(const std::string& page, LPCWSTR base = nullptr)
    {
        BOOL loaded = base ? HTMLayoutLoadHtmlEx(window, reinterpret_cast<const BYTE*>(page.data()),
                                                 static_cast<UINT>(page.size()), base)
                           : HTMLayoutLoadHtml(window, reinterpret_cast<const BYTE*>(page.data()),
                                               static_cast<UINT>(page.size()));
        scvtest::PumpFor(50);
        return loaded != FALSE;
    }
    HELEMENT Find(LPCWSTR id) const
    {
        HELEMENT root = nullptr;
        HELEMENT found = nullptr;
        HTMLayoutGetRootElement(window, &root);
        HTMLayoutGetElementById(root, id, &found);
        return found;
    }
    RECT Where(LPCWSTR id) const
    {
        RECT rect{};
        HTMLayoutGetElementLocation(Find(id), &rect);
        return rect;
    }
    int ScrollPos() const
    {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        ::GetScrollInfo(window, SB_VERT, &info);
        return info.nPos;
    }
    void Click(POINT point)
    {
        LPARAM where = MAKELPARAM(point.x, point.y);
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
        ::SendMessageW(window, WM_LBUTTONUP, 0, where);
        scvtest::PumpFor(30);
    }
    void ClickElement(LPCWSTR id)
    {
        RECT rect = Where(id);
        Click(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }

    HWND window = nullptr;
    std::vector<Event> events;
};

std::string LongPage()
{
    std::string page = "<HTML><BODY><A ID=up HREF=\"#far_down\">to the end</A> <A ID=web "
                       "HREF=\"http://example.test/\">web</A>";
    for (int i = 0; i < 60; ++i)
        page += "<P>Paragraph " + std::to_string(i) + "</P>";
    page += "<A NAME=\"far_down\"></A><H1 ID=last>Near the end</H1>";
    for (int i = 0; i < 30; ++i)
        page += "<P>More " + std::to_string(i) + "</P>";
    page += "</BODY></HTML>";
    return page;
}

int CountColor(const scvtest::RgbImage& image, COLORREF color)
{
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) == color)
                ++count;
        }
    }
    return count;
}

} // namespace

TEST(HtmlPageModel, ReadsOrdinaryHtml)
{
    html::HtmlPage page;
    page.Parse(
        L"<!DOCTYPE html><HTML><HEAD><STYLE>h1 { color: green; } #x { color: #FF0000; } .c { font-size: "
        L"20px }</STYLE><TITLE>a < b</TITLE></HEAD><BODY BGCOLOR=#102030><!-- <b>not</b> --><H1 ID=x "
        L"CLASS=c>A &amp; B&nbsp;&#65;&#x42;</H1><h1 id=y style=\"color: blue\">t</h1><p>one<p id=two>two"
        L"<table><tr><td id=a>1<td id=b>2</table></BODY></HTML>");
    html::PageElement* x = page.FindById(L"x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->tag, L"h1");
    EXPECT_EQ(x->InnerText(), L"A & B\xA0"
                              L"AB");
    html::ComputedStyle style = page.StyleOf(*x);
    EXPECT_EQ(style.color, RGB(255, 0, 0)) << "an id rule outweighs a tag rule";
    EXPECT_EQ(style.fontPixels, 20);
    EXPECT_TRUE(style.bold);
    EXPECT_EQ(page.StyleOf(*page.FindById(L"y")).color, RGB(0, 0, 255)) << "inline style last";
    x->Extras().runtimeStyle[L"color"] = L"gray";
    EXPECT_EQ(page.StyleOf(*x).color, RGB(128, 128, 128)) << "run-time style above all";
    EXPECT_EQ(page.Background(), RGB(0x10, 0x20, 0x30));
    // An open P ends at the next block; cells close each other.
    EXPECT_EQ(page.FindById(L"two")->parent->tag, L"body");
    EXPECT_EQ(page.FindById(L"b")->parent, page.FindById(L"a")->parent);
    // Neither the title, the style block nor the comment reach the renderer.
    std::wstring markup = page.ToRendererMarkup(nullptr);
    EXPECT_EQ(markup.find(L"color: green"), std::wstring::npos);
    EXPECT_EQ(markup.find(L"not"), std::wstring::npos);
    EXPECT_EQ(markup.find(L"a < b"), std::wstring::npos);
    EXPECT_NE(markup.find(L"A &amp; B"), std::wstring::npos);
}

namespace
{

// The tree as text: elements as tag[attribute=value]!state(children), text in quotes.
std::wstring DumpTree(const html::PageElement& element)
{
    std::wstring out;
    for (const auto& child : element.children) {
        if (child->isText) {
            out += L"'" + child->text + L"'";
            continue;
        }
        out += child->tag;
        if (child->extras) {
            for (const auto& attribute : child->extras->attributes)
                out += L"[" + attribute.first + L"=" + attribute.second + L"]";
        }
        if (child->state)
            out += L"!" + std::to_wstring(child->state);
        out += L"(" + DumpTree(*child) + L")";
    }
    return out;
}

} // namespace

TEST(HtmlPageModel, ReadsTagsAttributesAndTextAtTheirEdges)
{
    struct Case
    {
        const wchar_t* page;
        const wchar_t* tree;
    };
    const Case cases[] = {
        // Attribute names in lower case; quotes of either kind, none, or no value at all.
        {L"<P CLASS='a b' data-x=1/2 checked>t</p>", L"p[class=a b][data-x=1/2][checked=]!64('t')"},
        // A quoted '>' stays in the value; entities are replaced in values without quotes too.
        {L"<a title=\"x > y\" href=&quot;q&amp;r>link</A>", L"a[title=x > y][href=\"q&r]('link')"},
        {L"<input type=checkbox disabled=disabled CHECKED><br/>",
         L"input[type=checkbox][disabled=disabled][checked=]!192()br()"},
        // A '<' starting no tag is text; declarations and empty tags end a text run.
        {L"a < b <? pi ?> c <!x> d </> e </ f> g", L"'a < b '' c '' d '' e '' g'"},
        {L"x<!-- never closed <b>", L"'x'"},
        // Raw text runs to its own closing tag, in any case, or to the end.
        {L"<STYLE>p { color: red } </b> <</Style >after", L"style('p { color: red } </b> <')'after'"},
        {L"<textarea>a<b>c", L"textarea('a<b>c')"},
        {L"&lt;&#x41;&#66;&bogus;&amp <i>&copy</i>", L"'<AB&bogus;&amp 'i('&copy')"},
        // Implied closes: list items, rows and cells, paragraphs; a cell's close never leaves its table.
        {L"<ul><li>a<li>b<ol><li>c</ol></ul>", L"ul(li('a')li('b'ol(li('c'))))"},
        {L"<table><tr><td>1<td>2<tr><th>3</table>", L"table(tr(td('1')td('2'))tr(th('3')))"},
        {L"<table><tr><td><b>x</td>y</tr></table>", L"table(tr(td(b('x'))'y'))"},
        {L"<td>x<table></td>y</table>", L"td('x'table('y'))"},
        {L"<p>a<div>b</div><p>c<span>d<p>e", L"p('a')div('b')p('c'span('d'))p('e')"},
        // Tags the page names in any case, a tag left open at the end.
        {L"<SPAN>a</span><span>b</SPAN><Span", L"span('a')span('b')span()"},
    };
    html::HtmlPage reused;
    for (const Case& c : cases) {
        html::HtmlPage page;
        page.Parse(c.page);
        EXPECT_EQ(DumpTree(page.Root()), c.tree) << c.page;
        reused.Parse(c.page);
        EXPECT_EQ(DumpTree(reused.Root()), c.tree) << "parsed again: " << c.page;
    }
}

TEST(HtmlPageModel, ElementsPastTheDepthLimitStayEmpty)
{
    std::wstring text;
    for (int i = 0; i < 205; ++i)
        text += L"<div>";
    text += L"x<i>y</i>z";
    html::HtmlPage page;
    page.Parse(text);
    const html::PageElement* deepest = &page.Root();
    int depth = 0;
    while (!deepest->children.empty() && !deepest->children[0]->isText &&
           !deepest->children[0]->children.empty()) {
        deepest = deepest->children[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, 199);
    EXPECT_EQ(DumpTree(*deepest), L"div()div()div()div()div()div()'x'i()'y''z'");
}

TEST(HtmlView, InPageLinkScrollsToItsAnchorAndReportsTheClick)
{
    View view;
    ASSERT_TRUE(view.Load(LongPage()));
    EXPECT_EQ(view.ScrollPos(), 0);
    RECT before = view.Where(L"last");
    ASSERT_GT(before.top, 300) << "the end is below the window";

    view.ClickElement(L"up");
    EXPECT_GT(view.ScrollPos(), 0);
    RECT after = view.Where(L"last");
    EXPECT_GT(after.top, -20);
    EXPECT_LT(after.top, 80) << "the anchor comes to the top";
    // Mouse down and both passes of the link click reached the handler.
    std::vector<UINT> clicks;
    for (const Event& event : view.events) {
        if (event.group == HANDLE_BEHAVIOR_EVENT)
            clicks.push_back(event.cmd);
    }
    EXPECT_EQ(clicks, (std::vector<UINT>{HYPERLINK_CLICK | SINKING, HYPERLINK_CLICK}));
    ASSERT_FALSE(view.events.empty());
    EXPECT_EQ(view.events.front().group, HANDLE_MOUSE);
    EXPECT_EQ(view.events.front().href, L"#far_down");

    // Keys and the scroll bar scroll the page too.
    ::SendMessageW(view.window, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(view.ScrollPos(), 0);
    ::SendMessageW(view.window, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(view.ScrollPos(), 100);
}

TEST(HtmlView, OtherLinksAreLeftToTheHandlers)
{
    View view;
    ASSERT_TRUE(view.Load(LongPage()));
    view.ClickElement(L"web");
    EXPECT_EQ(view.ScrollPos(), 0);
    ASSERT_FALSE(view.events.empty());
    EXPECT_EQ(view.events.back().cmd, HYPERLINK_CLICK);
    EXPECT_EQ(view.events.back().href, L"http://example.test/");
    // A press outside any link goes to the body, which is no control.
    view.events.clear();
    view.Click(POINT{480, 290});
    ASSERT_EQ(view.events.size(), 2u);
    EXPECT_EQ(view.events[0].cmd, MOUSE_DOWN | SINKING);
    EXPECT_EQ(view.events[1].cmd, MOUSE_DOWN);
}

TEST(HtmlView, AttributesStylesAndStatesChangeThePage)
{
    View view;
    ASSERT_TRUE(view.Load("<html><body bgcolor=white><span id=word>Sample words</span><br><a id=link "
                          "href=\"http://a.test/\">link</a></body></html>"));
    HELEMENT word = view.Find(L"word");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(view.Find(L"missing"), nullptr);

    LPCWSTR value = nullptr;
    EXPECT_EQ(HTMLayoutGetAttributeByName(view.Find(L"link"), "HREF", &value), HLDOM_OK);
    EXPECT_STREQ(value, L"http://a.test/");
    EXPECT_EQ(HTMLayoutSetAttributeByName(word, "title", L"tip"), HLDOM_OK);
    EXPECT_EQ(HTMLayoutGetAttributeByName(word, "title", &value), HLDOM_OK);
    EXPECT_STREQ(value, L"tip");
    EXPECT_EQ(HTMLayoutSetAttributeByName(word, "title", nullptr), HLDOM_OK);
    EXPECT_EQ(HTMLayoutGetAttributeByName(word, "title", &value), HLDOM_OK_NOT_HANDLED);

    UINT type = 99;
    HTMLayoutControlGetType(word, &type);
    EXPECT_EQ(type, CTL_NO);
    HTMLayoutControlGetType(view.Find(L"link"), &type);
    EXPECT_EQ(type, CTL_HYPERLINK);

    // A run-time colour is drawn.
    RECT rect = view.Where(L"word");
    ASSERT_GT(rect.right, rect.left);
    ::MapWindowPoints(view.window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    auto shot = scvtest::CaptureScreenRect(rect);
    ASSERT_TRUE(shot);
    EXPECT_EQ(CountColor(*shot, RGB(255, 0, 0)), 0);
    EXPECT_EQ(HTMLayoutSetStyleAttribute(word, "color", L"red"), HLDOM_OK);
    ::UpdateWindow(view.window);
    shot = scvtest::CaptureScreenRect(rect);
    ASSERT_TRUE(shot);
    EXPECT_GT(CountColor(*shot, RGB(255, 0, 0)), 10);
    EXPECT_EQ(HTMLayoutGetStyleAttribute(word, "color", &value), HLDOM_OK);
    EXPECT_STREQ(value, L"red");

    // display: none takes the element out; clearing every run-time style brings it back.
    HTMLayoutSetStyleAttribute(word, "display", L"none");
    EXPECT_EQ(view.Where(L"word").right, 0);
    HTMLayoutSetStyleAttribute(word, nullptr, nullptr);
    EXPECT_GT(view.Where(L"word").right, 0);
}

TEST(HtmlView, CheckBoxesAndNumbersAreRealControls)
{
    View view;
    ASSERT_TRUE(view.Load("<html><body><widget type=checkbox id=auto checked>Check often</widget><br>"
                          "<input type=checkbox id=plain> <input type=number id=days minvalue=1 maxvalue=30 "
                          "size=3 value=7></body></html>"));
    HELEMENT autoCheck = view.Find(L"auto");
    HWND box = HTMLayoutGetControlWindow(autoCheck);
    ASSERT_NE(box, nullptr);
    wchar_t name[32] = {};
    ::GetClassNameW(box, name, 32);
    EXPECT_EQ(_wcsicmp(name, L"Button"), 0);
    wchar_t text[64] = {};
    ::GetWindowTextW(box, text, 64);
    EXPECT_STREQ(text, L"Check often");
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);

    VALUE value;
    ValueInit(&value);
    ASSERT_EQ(HTMLayoutControlGetValue(autoCheck, &value), HLDOM_OK);
    EXPECT_EQ(value.t, T_INT);
    EXPECT_EQ(value.i, 1);

    // A click unticks it: the state follows and the handler hears of it.
    ::SendMessageW(box, BM_CLICK, 0, 0);
    UINT state = 0;
    HTMLayoutGetElementState(autoCheck, &state);
    EXPECT_EQ(state & STATE_CHECKED, 0u);
    HTMLayoutControlGetValue(autoCheck, &value);
    EXPECT_EQ(value.i, 0);
    ASSERT_FALSE(view.events.empty());
    EXPECT_EQ(view.events.back().cmd, BUTTON_STATE_CHANGED);
    HTMLayoutSetElementState(autoCheck, STATE_CHECKED, 0, TRUE);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);

    // The number: its edit holds the value; empty or foreign text has none.
    HELEMENT days = view.Find(L"days");
    HWND edit = HTMLayoutGetControlWindow(days);
    ASSERT_NE(edit, nullptr);
    HTMLayoutControlGetValue(days, &value);
    EXPECT_EQ(value.t, T_INT);
    EXPECT_EQ(value.i, 7);
    struct Case
    {
        const wchar_t* text;
        UINT type;
        int number;
    } cases[] = {{L"12", T_INT, 12}, {L"", T_UNDEFINED, 0}, {L"1x", T_UNDEFINED, 0}};
    for (const Case& c : cases) {
        ::SetWindowTextW(edit, c.text);
        HTMLayoutControlGetValue(days, &value);
        EXPECT_EQ(value.t, c.type) << c.text;
        EXPECT_EQ(value.i, c.number) << c.text;
    }
    HTMLayoutSetElementState(days, STATE_DISABLED, 0, TRUE);
    EXPECT_FALSE(::IsWindowEnabled(edit));
    HTMLayoutSetElementState(days, 0, STATE_DISABLED, TRUE);
    EXPECT_TRUE(::IsWindowEnabled(edit));

    VALUE copy;
    ValueInit(&copy);
    HTMLayoutControlGetValue(view.Find(L"plain"), &value);
    ValueCopy(&copy, &value);
    EXPECT_EQ(copy.t, T_INT);
    EXPECT_EQ(copy.i, 0);
    ValueClear(&copy);
    ValueClear(&value);
}

TEST(HtmlView, ControlsMoveWithTheScrolledPage)
{
    View view;
    std::string page = "<html><body>";
    for (int i = 0; i < 40; ++i)
        page += "line " + std::to_string(i) + "<br>";
    page += "<input type=checkbox id=box>Box</body></html>";
    ASSERT_TRUE(view.Load(page));
    HWND box = HTMLayoutGetControlWindow(view.Find(L"box"));
    ASSERT_NE(box, nullptr);
    RECT before{};
    ::GetWindowRect(box, &before);
    HTMLayoutScrollToView(view.Find(L"box"));
    RECT after{};
    ::GetWindowRect(box, &after);
    EXPECT_LT(after.top, before.top);
    RECT location = view.Where(L"box");
    ::MapWindowPoints(view.window, nullptr, reinterpret_cast<POINT*>(&location), 2);
    EXPECT_EQ(after.top, location.top);
}

namespace
{
struct LoadRequests
{
    std::vector<std::pair<std::wstring, UINT>> seen;
    std::string sheet;
};

LRESULT CALLBACK AnswerStyle(UINT code, LPVOID notification, LPVOID param)
{
    auto* requests = static_cast<LoadRequests*>(param);
    auto* request = static_cast<NMHL_LOAD_DATA*>(notification);
    requests->seen.emplace_back(request->uri, request->dataType);
    if (code == HLN_LOAD_DATA && request->dataType == HLRT_DATA_STYLE)
        HTMLayoutDataReady(request->hdr.hwndFrom, request->uri,
                           reinterpret_cast<const BYTE*>(requests->sheet.data()),
                           static_cast<DWORD>(requests->sheet.size()));
    return 0;
}
} // namespace

TEST(HtmlView, StyleSheetsComeFromTheCallbackAndPicturesAreNotFetched)
{
    scvtest::LocalHttpServer server;
    View view;
    LoadRequests requests;
    requests.sheet = "#gone { display: none }";
    HTMLayoutSetCallback(view.window, AnswerStyle, &requests);
    std::string image = std::string("http://127.0.0.1:") + std::to_string(server.Port()) + "/picture.png";
    ASSERT_TRUE(view.Load("<html><head><link rel=stylesheet href=\"ext_style.css\"></head><body><span "
                          "id=gone>hidden</span><span id=kept>kept</span><img src=\"" +
                              image + "\" width=24 height=24></body></html>",
                          L"C:\\pages"));
    ASSERT_EQ(requests.seen.size(), 1u);
    EXPECT_EQ(requests.seen[0].first, L"C:\\pages\\ext_style.css");
    EXPECT_EQ(requests.seen[0].second, HLRT_DATA_STYLE);
    EXPECT_EQ(view.Where(L"gone").right, 0);
    EXPECT_GT(view.Where(L"kept").right, 0);
    scvtest::PumpFor(100);
    EXPECT_EQ(server.CountRequests("/picture.png"), 0);
}

TEST(HtmlView, PicturesOnThisMachineAreDrawnAtTheirSizeOrTheAskedOne)
{
    scvtest::TempFolder temp;
    scvtest::RgbImage red(10, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            red.Set(x, y, RGB(255, 0, 0));
    temp.CreateSubfolder(L"img");
    ASSERT_TRUE(scvtest::WritePng(temp.PathOf(L"img\\red.png"), red));
    const std::wstring base = temp.Path();
    std::string url = "file:///";
    for (wchar_t ch : temp.PathOf(L"img\\red.png"))
        url += ch == L'\\' ? '/' : static_cast<char>(ch);

    View view;
    ASSERT_TRUE(view.Load("<html><body><img id=own src=\"img/red.png\"> <img id=wide src=\"img\\red.png\" "
                          "width=20> <img id=url src=\"" +
                              url + "\"> <img id=gone src=\"img/none.png\"></body></html>",
                          base.c_str()));
    auto sizeOf = [&](LPCWSTR id) {
        const RECT r = view.Where(id);
        return std::make_pair(r.right - r.left, r.bottom - r.top);
    };
    EXPECT_EQ(sizeOf(L"own"), std::make_pair(10L, 6L));
    EXPECT_EQ(sizeOf(L"wide"), std::make_pair(20L, 12L)) << "the height keeps the proportion";
    EXPECT_EQ(sizeOf(L"url"), std::make_pair(10L, 6L));
    EXPECT_EQ(view.Where(L"gone").right, 0) << "a missing file leaves no room";
    ::RedrawWindow(view.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::optional<scvtest::RgbImage> shot = scvtest::CaptureWindow(view.window);
    ASSERT_TRUE(shot.has_value());
    EXPECT_GE(CountColor(*shot, RGB(255, 0, 0)), 60 + 240 + 60);

    EXPECT_EQ(html::LocalPicturePath(L"file://server/share/a.png"), L"\\\\server\\share\\a.png");
    EXPECT_EQ(html::LocalPicturePath(L"https://example.test/a.png"), L"");
    EXPECT_EQ(html::LocalPicturePath(L"res:201"), L"");
}

TEST(HtmlView, BadInputIsRefused)
{
    View view;
    EXPECT_FALSE(view.Load(""));
    EXPECT_FALSE(HTMLayoutLoadHtml(nullptr, reinterpret_cast<const BYTE*>("<b>x</b>"), 8));
    HELEMENT root = nullptr;
    EXPECT_EQ(HTMLayoutGetRootElement(::GetDesktopWindow(), &root), HLDOM_INVALID_HWND);
    EXPECT_EQ(HTMLayoutSetStyleAttribute(nullptr, "color", L"red"), HLDOM_INVALID_HANDLE);
    // Unclosed tags, stray brackets and deep nesting still load.
    std::string deep(5000, '<');
    deep += "<div><div><b>x & y < z";
    for (int i = 0; i < 500; ++i)
        deep += "<span>";
    EXPECT_TRUE(view.Load(deep));
}

// Blanks in a row reach the renderer as one (none at a line's start); a
// no-break space is a blank of its own.
TEST(HtmlPageModel, BlanksCollapseWhileNoBreakSpacesStay)
{
    const struct
    {
        const wchar_t* body;
        const wchar_t* drawn;
    } cases[] = {
        {L"a  \t\r\n b", L">a b<"},
        {L"  lead", L">lead<"},
        {L"a&nbsp;&nbsp;b", L">a  b<"},
        {L"a&nbsp; \n b", L">a  b<"},
        {L"a \n&nbsp;b", L">a  b<"},
        {L"one<b> two </b> three", L"> two <"},
        {L"one<b> two </b> three", L">three<"},
    };
    for (const auto& c : cases) {
        html::HtmlPage page;
        page.Parse(std::wstring(L"<html><body><p>") + c.body + L"</p></body></html>");
        const std::wstring markup = page.ToRendererMarkup(nullptr);
        EXPECT_NE(markup.find(c.drawn), std::wstring::npos) << c.body << " gave " << markup;
    }
}

// The page's characters are those the system's UTF-8 decoding gives, wherever
// the first byte outside ASCII stands (and with a byte order mark before it).
TEST(HtmlView, PagesAreDecodedAsTheSystemDecodesUtf8)
{
    const std::string cases[] = {
        "plain ascii",
        "caf\xC3\xA9 \xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80 end",
        "\xC3\xA9 first",
        "bad \xFF byte and a cut \xE2\x82",
    };
    for (const std::string& value : cases) {
        for (const char* bom : {"", "\xEF\xBB\xBF"}) {
            View view;
            ASSERT_TRUE(view.Load(std::string(bom) + "<p id=t title=\"" + value + "\">x</p>"));
            const int size =
                ::MultiByteToWideChar(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), nullptr, 0);
            std::wstring expected(static_cast<size_t>(size), L'\0');
            ::MultiByteToWideChar(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), expected.data(),
                                  size);
            LPCWSTR title = nullptr;
            ASSERT_EQ(HTMLayoutGetAttributeByName(view.Find(L"t"), "title", &title), HLDOM_OK) << value;
            EXPECT_EQ(std::wstring(title ? title : L""), expected) << value << (*bom ? " (with BOM)" : "");
        }
    }
}

TEST(HtmlPageModel, TranslatedTextCarriesTheInheritedStyle)
{
    // Each text run's font in the renderer's markup: the style its element
    // inherits through blocks, inline elements, table row groups and past the
    // deepest nesting the page keeps.
    std::wstring deep;
    for (int i = 0; i < 300; ++i)
        deep += L"<div>";
    deep += L"deep";
    for (int i = 0; i < 300; ++i)
        deep += L"</div>";
    html::HtmlPage page;
    page.Parse(L"<html><head><style>.c { font-size: 20px } td { color: #00FF00 } #g { color: #0000FF }"
               L"</style></head><body><div style=\"color: #FF0000\"><p>plain<b>bold<span class=c>big</span>"
               L"</b></p><table><tbody id=g><tr><td>cell</td><td><i>x</i></td></tr><tr><td>two</td></tr>"
               L"</tbody></table><center><u>" +
               deep + L"</u></center></div><p>after</p></body></html>");
    const std::wstring markup = page.ToRendererMarkup(nullptr);
    auto fontBefore = [&](const std::wstring& text) {
        const size_t at = markup.find(L">" + text + L"</font>");
        if (at == std::wstring::npos)
            return std::wstring(L"missing");
        const size_t open = markup.rfind(L"<font ", at);
        return markup.substr(open, at - open);
    };
    EXPECT_EQ(fontBefore(L"plain"), L"<font face=\"Verdana\" size=\"13px\" color=\"#FF0000\"");
    EXPECT_EQ(fontBefore(L"bold"), L"<font face=\"Verdana\" size=\"13px\" color=\"#FF0000\" style=\"+b\"");
    EXPECT_EQ(fontBefore(L"big"), L"<font face=\"Verdana\" size=\"20px\" color=\"#FF0000\" style=\"+b\"");
    EXPECT_EQ(fontBefore(L"cell"), L"<font face=\"Verdana\" size=\"13px\" color=\"#00FF00\"");
    EXPECT_EQ(fontBefore(L"x"), L"<font face=\"Verdana\" size=\"13px\" color=\"#00FF00\" style=\"+i\"");
    EXPECT_EQ(fontBefore(L"two"), L"<font face=\"Verdana\" size=\"13px\" color=\"#00FF00\"");
    EXPECT_EQ(fontBefore(L"deep"), L"<font face=\"Verdana\" size=\"13px\" color=\"#FF0000\" style=\"+u\"");
    EXPECT_EQ(fontBefore(L"after"), L"<font face=\"Verdana\" size=\"13px\" color=\"#000000\"");
    // The centred block opens its alignment once, not at every nested block.
    EXPECT_EQ(markup.find(L"<center>"), markup.rfind(L"<center>"));
    // The same styles as the element-by-element answer.
    EXPECT_EQ(page.StyleOf(*page.FindById(L"g")).color, RGB(0, 0, 255));
}

namespace
{

// The pixels a renderer draws into a white 32-bit surface.
class Drawing
{
public:
    Drawing(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(m_screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const DWORD*>(bits);
    }
    std::vector<DWORD> Draw(HtmlRenderer& renderer, SIZE size)
    {
        MemoryDC dc(m_screen.get());
        SelectedObject selected(dc.get(), m_bitmap.get());
        RECT all{0, 0, m_width, m_height};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        renderer.Draw(dc.get(), RECT{4, 4, 4 + size.cx, 4 + size.cy});
        ::GdiFlush();
        return std::vector<DWORD>(m_bits, m_bits + static_cast<size_t>(m_width) * m_height);
    }

private:
    int m_width;
    int m_height;
    WindowDC m_screen{nullptr};
    GdiObject<HBITMAP> m_bitmap;
    const DWORD* m_bits = nullptr;
};

// Pages of many kinds: style rules, headings, links and anchors, lists,
// alignments, rules, entities, tables (single cell, nested), long runs,
// preformatted text and inline styles.
const std::vector<std::wstring>& SamplePages()
{
    static const std::vector<std::wstring> pages = {
        L"<html><head><style>h2 { color: #FF9900 } .note { background-color: #FFFF00; font-style: italic }"
        L"</style></head><body><h1>Welcome to the &amp; page!</h1><p>Some text that runs long enough to be "
        L"wrapped over several lines of the narrow area, with <b>bold</b>, <i>italic</i>, <u>underlined</u> "
        L"and <s>struck</s> words, a <a href=\"x.htm\">link</a> and an <a name=here></a>anchor.</p>"
        L"<h2 id=h>Start here</h2><ul><li><a href=\"%CMD%\">First</a> item</li><li class=note>Second &lt;"
        L"item&gt;</li></ul><center>centred <big>big</big> and <small>small</small></center>"
        L"<div align=right>right</div><hr><p>after the rule&nbsp;&nbsp;two blanks</p></body></html>",
        L"<body><table border=1 cellpadding=3 cellspacing=2 align=center><tr><td>one</td><td align=right "
        L"valign=bottom>two<br>lines</td></tr><tr><td colspan=2><font color=red size=5>wide</font></td></tr>"
        L"</table><table id=t><tr><td id=c><b>single cell</b> flows in the page</td></tr></table>"
        L"<table><tr><td><table border=2><tr><td>nested</td><td>table</td></tr></table></td><td>x</td></tr>"
        L"</table>tail</body>",
        L"<body>" + std::wstring(3000, L'a') + L" " + std::wstring(200, L'b') +
            L"<pre>  kept\tnot</pre>"
            L"<p style=\"font-family: Arial; font-size: 20px; text-decoration: "
            L"line-through\">style</p></body>",
    };
    return pages;
}

} // namespace

TEST(HtmlPageModel, PageLaidOutFromItsTreeDrawsAsItsMarkup)
{
    // The view lays a page out straight from its elements; the renderer's
    // markup of the same page, measured and drawn as a tooltip text, must
    // give the same size and the same pixels.
    const std::vector<std::wstring>& pages = SamplePages();
    GdiObject<HBITMAP> picture(::CreateBitmap(24, 12, 1, 32, nullptr));
    const html::PagePlaceholder placeholder = [&](html::PageElement&) { return picture.get(); };
    Drawing drawing(420, 900);
    for (const std::wstring& text : pages) {
        html::HtmlPage page;
        page.Parse(text + L"<img src=x.png><input type=checkbox>");
        WindowDC screen(nullptr);
        HtmlRenderer direct;
        direct.maxWidth = 400;
        const SIZE directSize = direct.MeasurePage(screen.get(), page, placeholder);
        HtmlRenderer markup;
        markup.maxWidth = 400;
        const SIZE markupSize = markup.Measure(screen.get(), page.ToRendererMarkup(placeholder));
        ASSERT_EQ(directSize.cx, markupSize.cx) << text;
        ASSERT_EQ(directSize.cy, markupSize.cy) << text;
        EXPECT_GT(directSize.cy, 20) << text;
        EXPECT_TRUE(drawing.Draw(direct, directSize) == drawing.Draw(markup, markupSize)) << text;
        EXPECT_EQ(direct.Links().size(), markup.Links().size()) << text;
    }
}

TEST(HtmlPageModel, PageLoadedAgainDrawsAsAFreshOne)
{
    // A reload parses into the nodes of the page before and lays out into the
    // room of the layout before, as the view does; the tooltip renderer does
    // the same with its markup. Nothing of the page before may show: each
    // page, after a larger and after a smaller one, gives the tree, size,
    // pixels and links of the same page parsed and laid out anew.
    const std::vector<std::wstring>& pages = SamplePages();
    GdiObject<HBITMAP> picture(::CreateBitmap(24, 12, 1, 32, nullptr));
    const html::PagePlaceholder placeholder = [&](html::PageElement&) { return picture.get(); };
    Drawing drawing(420, 900);
    WindowDC screen(nullptr);
    html::HtmlPage reused;
    HtmlRenderer reusedView;
    HtmlRenderer reusedTip;
    reusedView.maxWidth = reusedTip.maxWidth = 400;
    for (size_t index : {0, 1, 2, 0, 2, 1, 0}) {
        const std::wstring text = pages[index] + L"<img src=x.png><input type=checkbox>";
        html::HtmlPage fresh;
        fresh.Parse(text);
        HtmlRenderer freshView;
        freshView.maxWidth = 400;
        const SIZE freshSize = freshView.MeasurePage(screen.get(), fresh, placeholder);
        const std::wstring freshMarkup = fresh.ToRendererMarkup(placeholder);

        reusedView.Forget();
        reused.Parse(text);
        const SIZE size = reusedView.MeasurePage(screen.get(), reused, placeholder);
        ASSERT_EQ(reused.ToRendererMarkup(placeholder), freshMarkup) << index;
        ASSERT_EQ(size.cx, freshSize.cx) << index;
        ASSERT_EQ(size.cy, freshSize.cy) << index;
        EXPECT_TRUE(drawing.Draw(reusedView, size) == drawing.Draw(freshView, freshSize)) << index;
        EXPECT_EQ(reusedView.Links().size(), freshView.Links().size()) << index;

        HtmlRenderer freshTip;
        freshTip.maxWidth = 400;
        const SIZE freshTipSize = freshTip.Measure(screen.get(), freshMarkup);
        const SIZE tipSize = reusedTip.Measure(screen.get(), freshMarkup);
        ASSERT_EQ(tipSize.cx, freshTipSize.cx) << index;
        ASSERT_EQ(tipSize.cy, freshTipSize.cy) << index;
        EXPECT_TRUE(drawing.Draw(reusedTip, tipSize) == drawing.Draw(freshTip, freshTipSize)) << index;
    }
}

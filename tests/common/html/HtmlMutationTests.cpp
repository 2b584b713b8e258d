// test-locks: desktop
#include "common/html/HtmlRenderer.h"

#include "common/GdiObjectGuards.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{

const wchar_t* const kFixtures[] = {
    L"<b>Bold</b> <i>italic</i> &lt;b&gt; &amp;lt; <u>u</u> <s>s</s> <font size=3 color=#ff9900 "
    L"style=-bo>f</font>",
    L"<h2>Title</h2>\n<hr width=50% size=2 color=red>\ntext<br 2>more<t 2>tab\tafter",
    L"<table border=1 cellpadding=2 cellspacing=1 bgeffect=vgradient bgcolor=#ffffff bgendcolor=navy>"
    L"<tr><td colspan=2 rowspan=0 align=right valign=bottom>cell &copy;</td><td>x</td></tr>"
    L"<tr><td bgcolor=yellow border=1>y</td><td><table><tr><td>nested</td></tr></table></td></tr></table>",
    L"<a href=\"http://127.0.0.1/\">link <b>bold</b> words</a> <a msg=3>msg</a> <span "
    L"class=cpp-comment>c</span>",
    L"<center>centre</center><right>right</right><justify>justified text that wraps around the "
    L"line</justify>",
    L"<sub>sub</sub><sup>sup</sup><big>big</big><small>small</small><pre>pre</pre><code>code</"
    L"code><bottom>b</bottom>",
    L"<icon idres=32512 width=50% style=gs> <bmp idres=999 mask=#ff00ff> <ilst idres=1 cx=16 speed=2> "
    L"<string idres=1>",
};

// Bytes that make tags, attributes, entities and numbers.
const wchar_t kNoise[] = L"<>/=\"' &;#%0123456789abtdrhnx\n\t-+";

std::wstring Mutate(std::wstring text, std::mt19937& random)
{
    int steps = 1 + static_cast<int>(random() % 4);
    for (int step = 0; step < steps && !text.empty(); ++step) {
        size_t at = random() % text.size();
        switch (random() % 4) {
        case 0: // flip one character
            text[at] = kNoise[random() % (std::size(kNoise) - 1)];
            break;
        case 1: { // cut a range
            size_t length = random() % (text.size() - at + 1);
            text.erase(at, length);
            break;
        }
        case 2: { // repeat a range
            size_t length = 1 + random() % std::min<size_t>(40, text.size() - at);
            std::wstring piece = text.substr(at, length);
            int times = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < times; ++i)
                text.insert(at, piece);
            break;
        }
        default: // insert a character
            text.insert(at, 1, kNoise[random() % (std::size(kNoise) - 1)]);
            break;
        }
    }
    return text;
}

} // namespace

// Mutated fixtures never crash or hang the parser and the layout; without a
// maximum width every drawn box stays inside the measured size.
TEST(HtmlMutation, MutatedMarkupLaysOutSafely)
{
    WindowDC screen;
    MemoryDC dc(screen.get());
    GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), 64, 64));
    SelectedObject selected(dc.get(), bitmap.get());
    std::mt19937 random(20261210);
    HtmlRenderer renderer;
    const int kCases = 2500;
    for (int i = 0; i < kCases; ++i) {
        std::wstring text = Mutate(kFixtures[i % std::size(kFixtures)], random);
        renderer.maxWidth = (i % 3 == 0) ? 0 : 40 + static_cast<int>(random() % 300);
        SIZE size = renderer.Measure(dc.get(), text);
        ASSERT_GE(size.cx, 0);
        ASSERT_GE(size.cy, 0);
        RECT rect = {0, 0, size.cx, size.cy};
        renderer.Draw(dc.get(), rect);
        renderer.SetCursorAt(POINT{static_cast<LONG>(random() % 200), static_cast<LONG>(random() % 200)});
        renderer.AdvanceAnimations();
        if (renderer.maxWidth != 0)
            continue;
        std::vector<const html::HtmlNode*> pending = {&renderer.Document().Root()};
        while (!pending.empty()) {
            const html::HtmlNode* node = pending.back();
            pending.pop_back();
            for (const RECT& box : node->boxes) {
                ASSERT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= size.cx && box.bottom <= size.cy)
                    << "case " << i << ": box (" << box.left << "," << box.top << "," << box.right << ","
                    << box.bottom << ") outside " << size.cx << "x" << size.cy;
            }
            for (const auto& child : node->children)
                pending.push_back(child.get());
        }
    }
}

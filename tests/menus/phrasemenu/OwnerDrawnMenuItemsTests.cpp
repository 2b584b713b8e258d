// test-locks: desktop
// test-sources: ../../../menus/phrasemenu/PopupMenu.rc
// Measuring and drawing the owner-drawn items of the phrase menu: the sizes of
// each kind of item, and the drawing of every kind (plain, numbered, history,
// program commands, separators, caret mark, icons) in its normal, selected and
// grayed states, read back from the pixels of a memory bitmap. Faults inside
// measure and draw are caught and reported.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuTrackerOwner.h"
#include "menus/phrasemenu/OwnerDrawnMenuItems.h"
#include "support/DialogWatchdog.h"
#include "support/MessagePump.h"

namespace
{

constexpr int kWidth = 320;
constexpr int kHeight = 24;
constexpr COLORREF kUntouched = RGB(1, 2, 3);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// Left edge of the caption of an item with an icon column and no side band.
constexpr int kCaptionLeft = 18 + 8;

COLORREF SysColor(int index)
{
    return ::GetSysColor(index) & 0xFFFFFF;
}

// A 32-bit memory bitmap filled with kUntouched, drawn into as a menu item.
class ItemCanvas
{
public:
    ItemCanvas() : m_dc(nullptr)
    {
        const BITMAPINFO info = MakeTopDown32BitInfo(kWidth, kHeight);
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_selected = ::SelectObject(m_dc.get(), m_bitmap.get());
        Clear();
    }
    ~ItemCanvas() { ::SelectObject(m_dc.get(), m_selected); }

    void Clear()
    {
        ::GdiFlush();
        for (int i = 0; i < kWidth * kHeight; ++i)
            m_bits[i] = 0x010203; // kUntouched as 0x00RRGGBB
    }

    // Draws the record as an item of `menu` in the given state.
    BOOL Draw(const MenuItemDrawInfo& info, UINT state, HMENU menu = nullptr)
    {
        DRAWITEMSTRUCT draw = MakeDraw(info, state, menu);
        const BOOL result = DrawMenuItem(&draw);
        ::GdiFlush();
        return result;
    }

    DRAWITEMSTRUCT MakeDraw(const MenuItemDrawInfo& info, UINT state, HMENU menu)
    {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(info.commandId);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = reinterpret_cast<HWND>(menu);
        draw.hDC = m_dc.get();
        draw.rcItem = {0, 0, kWidth, kHeight};
        draw.itemData = reinterpret_cast<ULONG_PTR>(&info);
        return draw;
    }

    COLORREF At(int x, int y) const
    {
        const uint32_t p = m_bits[y * kWidth + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

    // Pixels of exactly that colour in the rectangle [left, right) x [top, bottom).
    int Count(COLORREF colour, int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += At(x, y) == (colour & 0xFFFFFF) ? 1 : 0;
        return count;
    }
    int CountInText(COLORREF colour) const { return Count(colour, kCaptionLeft, 0, kWidth, kHeight); }

    // Pixels that are clearly blue (antialiased text keeps few exactly blue ones).
    int CountBluish(int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const COLORREF c = At(x, y);
                count += GetBValue(c) - std::max(GetRValue(c), GetGValue(c)) > 100 ? 1 : 0;
            }
        return count;
    }

    // Pixels of any other colour in the rectangle.
    int CountOther(COLORREF colour, int left, int top, int right, int bottom) const
    {
        return (right - left) * (bottom - top) - Count(colour, left, top, right, bottom);
    }

    // Pixels whose channels differ by more than `spread`, a sign of a coloured icon.
    int CountColourful(int left, int top, int right, int bottom, int spread) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const COLORREF c = At(x, y);
                const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
                const int high = std::max(r, std::max(g, b)), low = std::min(r, std::min(g, b));
                count += high - low > spread ? 1 : 0;
            }
        return count;
    }

    HDC dc() const { return m_dc.get(); }

private:
    MemoryDC m_dc;
    GdiObject<HBITMAP> m_bitmap;
    uint32_t* m_bits = nullptr;
    HGDIOBJ m_selected = nullptr;
};

int TextWidth(HDC dc, const wchar_t* text, HFONT chosen = nullptr)
{
    SelectedObject font(dc, chosen ? chosen : GetPlainMenuFont());
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size.cx;
}

MenuItemDrawInfo MakePhrase(const wchar_t* text, int commandId = 1001, int dataType = kMenuItemDataText)
{
    return MenuItemDrawInfo(text, dataType, commandId);
}

class OwnerDrawnMenuItems : public testing::Test
{
protected:
    void SetUp() override
    {
        SetMenuBeingShown(nullptr, nullptr);
        ClearSideBandDrawn();
    }
    ItemCanvas m_canvas;
};

// --- Measure -------------------------------------------------------------------

TEST_F(OwnerDrawnMenuItems, MeasuresEveryKindOfItem)
{
    RefreshMenuItemHeight();
    const int h = GetMenuItemHeight();
    ASSERT_GT(h, 3);
    HDC dc = m_canvas.dc();
    const HFONT plain = GetPlainMenuFont();
    const HFONT bold = GetMenuFont(false, false, true);
    const HFONT italic = GetMenuFont(false, true, false);
    const int band = 24;
    const int icon = 18;

    struct Case
    {
        const char* label;
        const wchar_t* text;
        const wchar_t* right;
        int flags;
        int dataType;
        int commandId;
        int number;
        int history;
        int width;
        int height;
    };
    const Case cases[] = {
        {"phrase", L"Hello world", L"", 0, 0, 1001, -1, 0,
         TextWidth(dc, L"Hello world", plain) + 29 + band + icon, h + 4},
        {"with badge", L"Hi", L"+RU", 0, 0, 1001, -1, 0, TextWidth(dc, L"Hi+RU", plain) + 29 + band + icon,
         h + 4},
        {"rtf in italics", L"Formatted", L"", 0, 1, 1001, -1, 0,
         TextWidth(dc, L"Formatted", italic) + 29 + band + icon, h + 4},
        {"empty", L"", L"", 0, 0, 1001, -1, 0, 100 + 29 + band + icon, h + 4},
        {"last used", L"Phrase", L"", 0, 0, 1001, 1, 0,
         TextWidth(dc, L"Phrase", plain) + TextWidth(dc, L"2.", plain) + TextWidth(dc, L"2.  ", plain) + 29 +
             band + icon,
         h + 4},
        {"history", L"Clip", L"", 0, 0, 2011, -1, 1,
         TextWidth(dc, L"Clip", plain) + TextWidth(dc, L"12.", plain) + TextWidth(dc, L"12.  ", plain) + 29 +
             band + icon,
         h + 4},
        {"program command in bold", L"Run As Administrator", L"", 0, 0, 32829, -1, 0,
         TextWidth(dc, L"Run As Administrator", bold) + 29 + band, h + 4},
        {"separator", L"", L"", kMenuItemFlagSeparator, 0, 0, -1, 0, 100 + 29 + band, (h / 3) * 2},
        {"captioned separator", L"", L"Clipboard [3/3]", kMenuItemFlagSeparator, 0, 0, -1, 0,
         TextWidth(dc, L"Clipboard [3/3]", plain) + 29 + band, h + 4},
        {"folder", L"Folder", L"", kMenuItemFlagSubMenu, 0, 0, -1, 0,
         TextWidth(dc, L"Folder", plain) + 29 + band, h + 8},
        {"history sub-menu", L"More", L"", kMenuItemFlagSubMenu, 0, 0, -1, 1,
         TextWidth(dc, L"More", plain) + TextWidth(dc, L"  ", plain) + 29 + band, h + 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MenuItemDrawInfo info(c.text, c.dataType, c.commandId);
        info.SetRightText(c.right);
        info.flags = c.flags;
        info.number = c.number;
        info.historyStyle = c.history;
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(&info);
        EXPECT_TRUE(MeasureMenuItem(&measure));
        EXPECT_EQ(static_cast<int>(measure.itemWidth), c.width);
        EXPECT_EQ(static_cast<int>(measure.itemHeight), c.height);
    }
}

TEST_F(OwnerDrawnMenuItems, TheWidestCaptionIsDrawnWhole)
{
    // An item drawn in the width it measured (the menu adds nothing) shows its
    // whole caption: it looks the same as when drawn in plenty of room.
    MenuItemDrawInfo info(L"Wide caption ending in WWW", kMenuItemDataText, 1001);
    info.number = 3;
    MEASUREITEMSTRUCT measure = {};
    measure.itemData = reinterpret_cast<ULONG_PTR>(&info);
    MeasureMenuItem(&measure);
    const int width = static_cast<int>(measure.itemWidth);
    ASSERT_LT(width, kWidth);
    HDC dc = m_canvas.dc();
    const int captionEnd =
        24 + 18 + 8 + TextWidth(dc, L"4.") + TextWidth(dc, L"4.  ") + TextWidth(dc, info.text);
    ASSERT_LE(captionEnd, width);
    HMENU top = ::CreatePopupMenu();
    SetMenuBeingShown(top, nullptr);

    m_canvas.Draw(info, 0, top);
    std::vector<COLORREF> roomy;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < captionEnd; ++x)
            roomy.push_back(m_canvas.At(x, y));

    m_canvas.Clear();
    DRAWITEMSTRUCT draw = m_canvas.MakeDraw(info, 0, top);
    draw.rcItem.right = width;
    DrawMenuItem(&draw);
    ::GdiFlush();
    int differing = 0;
    for (int y = 0, i = 0; y < kHeight; ++y)
        for (int x = 0; x < captionEnd; ++x, ++i)
            differing += m_canvas.At(x, y) != roomy[i] ? 1 : 0;
    EXPECT_EQ(differing, 0) << "the caption is not cut";

    SetMenuBeingShown(nullptr, nullptr);
    ClearSideBandDrawn();
    ::DestroyMenu(top);
}

TEST_F(OwnerDrawnMenuItems, AnItemWithoutRecordIsReportedAndLeftAlone)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    MEASUREITEMSTRUCT measure = {};
    measure.itemWidth = 11;
    measure.itemHeight = 12;
    EXPECT_TRUE(MeasureMenuItem(&measure));
    EXPECT_EQ(measure.itemWidth, 11u);
    EXPECT_EQ(measure.itemHeight, 12u);
    const auto text = scvtest::DialogWatchdog::TakeLastClosedText();
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find(L"Scrivolanter"), std::wstring::npos);
    EXPECT_NE(text->find(L"M_INFO is NULL on MeasureImpl"), std::wstring::npos);
}

// --- Draw: background and text colours ---------------------------------------

TEST_F(OwnerDrawnMenuItems, BackgroundAndTextColoursByState)
{
    const COLORREF menu = SysColor(COLOR_MENU);
    const COLORREF shaded = RGB(std::max(GetRValue(menu) - 4, 0), std::max(GetGValue(menu) - 4, 0),
                                std::max(GetBValue(menu) - 4, 0));
    struct Case
    {
        const char* label;
        int row;
        int history;
        int defaultMark;
        UINT state;
        COLORREF background;
        COLORREF text;
    };
    const Case cases[] = {
        {"plain", 0, 0, 0, 0, menu, SysColor(COLOR_MENUTEXT)},
        {"odd row", 1, 0, 0, 0, shaded, SysColor(COLOR_MENUTEXT)},
        {"default mark", 0, 0, 1, 0, menu, kRed},
        {"grayed", 0, 0, 1, ODS_GRAYED, menu, SysColor(COLOR_GRAYTEXT)},
        {"selected", 1, 0, 1, ODS_SELECTED, SysColor(COLOR_HIGHLIGHT), SysColor(COLOR_HIGHLIGHTTEXT)},
        {"selected grayed", 0, 0, 0, ODS_SELECTED | ODS_GRAYED, SysColor(COLOR_HIGHLIGHT),
         SysColor(COLOR_GRAYTEXT)},
        {"history", 0, 1, 0, 0, SysColor(COLOR_INFOBK), SysColor(COLOR_INFOTEXT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        m_canvas.Clear();
        MenuItemDrawInfo info = MakePhrase(L"HHHH Menu item text", c.history ? 2003 : 1001);
        info.row = c.row;
        info.historyStyle = c.history;
        info.defaultMark = c.defaultMark;
        EXPECT_TRUE(m_canvas.Draw(info, c.state));
        EXPECT_EQ(m_canvas.At(kWidth - 4, kHeight / 2), c.background);
        EXPECT_EQ(m_canvas.At(kCaptionLeft - 4, 2), c.background) << "fill right of the icon column";
        EXPECT_GT(m_canvas.CountInText(c.text), 5) << "caption pixels in the text colour";
    }
}

TEST_F(OwnerDrawnMenuItems, NumbersFramesAndProgramCommands)
{
    const int numberRight = kCaptionLeft + TextWidth(m_canvas.dc(), L"3.");
    // A last-used item with number 2 shows "3." in blue; no frame.
    MenuItemDrawInfo lastUsed = MakePhrase(L"Phrase");
    lastUsed.number = 2;
    m_canvas.Draw(lastUsed, 0);
    EXPECT_GT(m_canvas.CountBluish(kCaptionLeft, 0, numberRight + 1, kHeight), 5);
    EXPECT_EQ(m_canvas.CountBluish(numberRight + 1, 0, kWidth, kHeight), 0) << "the caption is not blue";
    EXPECT_NE(m_canvas.At(18, kHeight / 2), kRed);

    // The first last-used item (number 0) is framed in red.
    m_canvas.Clear();
    lastUsed.number = 0;
    m_canvas.Draw(lastUsed, 0);
    EXPECT_EQ(m_canvas.At(18, kHeight / 2), kRed);
    EXPECT_EQ(m_canvas.At(kWidth - 2, kHeight / 2), kRed);
    EXPECT_EQ(m_canvas.At(kWidth / 2, 0), kRed);

    // History item 2000 shows "1." in blue.
    m_canvas.Clear();
    MenuItemDrawInfo history = MakePhrase(L"Clip", 2000);
    history.historyStyle = 1;
    m_canvas.Draw(history, 0);
    EXPECT_GT(
        m_canvas.CountBluish(kCaptionLeft, 0, kCaptionLeft + TextWidth(m_canvas.dc(), L"1.") + 1, kHeight),
        5);

    // Without a number nothing is blue.
    m_canvas.Clear();
    m_canvas.Draw(MakePhrase(L"Plain phrase"), 0);
    EXPECT_EQ(m_canvas.CountBluish(kCaptionLeft, 0, kWidth, kHeight), 0);

    // Program commands: no icon column, bold, red for "run as administrator", green otherwise.
    struct Command
    {
        int id;
        COLORREF colour;
    };
    for (const Command& command : {Command{32829, kRed}, Command{32772, kGreen}, Command{32784, kGreen}}) {
        SCOPED_TRACE(command.id);
        m_canvas.Clear();
        MenuItemDrawInfo item = MakePhrase(L"Run the command", command.id);
        m_canvas.Draw(item, 0);
        EXPECT_GT(m_canvas.Count(command.colour, 8, 0, kWidth, kHeight), 5);
        EXPECT_EQ(m_canvas.At(2, kHeight / 2), SysColor(COLOR_MENU)) << "no icon column";
        m_canvas.Clear();
        m_canvas.Draw(item, ODS_SELECTED);
        EXPECT_EQ(m_canvas.Count(command.colour, 8, 0, kWidth, kHeight), 0) << "selected: highlight text";
    }
}

TEST_F(OwnerDrawnMenuItems, SeparatorsAndTheirCaptions)
{
    const int mid = kHeight / 2;
    MenuItemDrawInfo bare;
    bare.flags = kMenuItemFlagSeparator;
    m_canvas.Draw(bare, 0);
    EXPECT_EQ(m_canvas.At(11 + 8, mid), kBlack);
    EXPECT_EQ(m_canvas.At(kWidth - 2, mid), kBlack);
    EXPECT_EQ(m_canvas.At(5, mid), SysColor(COLOR_MENU)) << "the line starts 11 pixels in";

    m_canvas.Clear();
    MenuItemDrawInfo captioned;
    captioned.flags = kMenuItemFlagSeparator;
    captioned.SetRightText(L"Clipboard [3/3]");
    m_canvas.Draw(captioned, 0);
    const int boxWidth = TextWidth(m_canvas.dc(), L" Clipboard [3/3] ");
    const int boxLeft = kWidth - 3 + 2 - boxWidth;
    EXPECT_GT(m_canvas.Count(kBlue, boxLeft, 0, kWidth, kHeight), 5) << "caption in blue";
    EXPECT_EQ(m_canvas.At(boxLeft + 1, mid), SysColor(COLOR_MENU)) << "opaque caption box hides the line";
    EXPECT_EQ(m_canvas.At(boxLeft - 20, mid), kBlack) << "line left of the caption";
}

TEST_F(OwnerDrawnMenuItems, CaretMarkUnderTheCaption)
{
    MenuItemDrawInfo info = MakePhrase(L"ab cd");
    info.caretOffset = 2;
    const int x = kCaptionLeft + TextWidth(m_canvas.dc(), L"ab");
    m_canvas.Draw(info, 0);
    EXPECT_GT(m_canvas.Count(kBlue, x - 1, kHeight - 9, x + 2, kHeight - 6), 0) << "tip of the blue mark";
    EXPECT_GT(m_canvas.Count(kBlue, x - 4, kHeight - 6, x - 1, kHeight - 3), 0) << "left foot";

    m_canvas.Clear();
    m_canvas.Draw(info, ODS_SELECTED);
    EXPECT_GT(m_canvas.Count(kRed, x - 1, kHeight - 9, x + 2, kHeight - 6), 0) << "red when selected";

    m_canvas.Clear();
    info.caretOffset = -1;
    m_canvas.Draw(info, 0);
    EXPECT_EQ(m_canvas.Count(kBlue, 0, 0, kWidth, kHeight), 0);
}

// --- Icons -------------------------------------------------------------------

TEST_F(OwnerDrawnMenuItems, IconKinds)
{
    struct Case
    {
        const char* label;
        int dataType;
        const wchar_t* text;
        const wchar_t* command;
        int document;
        int kind;
    };
    const Case cases[] = {
        {"text", kMenuItemDataText, L"hello", L"", 0, 0},
        {"rtf", kMenuItemDataRtf, L"hello", L"", 0, 1},
        {"exec", kMenuItemDataExec, L"Run notepad", L"notepad.exe", 0, 2},
        {"document", kMenuItemDataText, L"clip", L"", 1, 3},
        {"first engine", kMenuItemDataExec, L"Find it on google", L"x", 0, 4},
        {"second engine", kMenuItemDataExec, L"YANDEX search", L"x", 0, 5},
        {"www", kMenuItemDataExec, L"Site", L"www.example.org", 0, 6},
        {"https", kMenuItemDataExec, L"Site", L"https://example.org", 0, 6},
        {"http inside", kMenuItemDataExec, L"Site", L"open http://example.org", 0, 2},
        {"other type", 7, L"x", L"", 0, 0},
    };
    for (const Case& c : cases) {
        MenuItemDrawInfo info(c.text, c.dataType, 1);
        info.SetCommandText(c.command);
        info.documentFlag = c.document;
        EXPECT_EQ(GetItemIconKind(info), c.kind) << c.label;
    }
    for (int kind : {1, 2, 4, 5, 6})
        EXPECT_NE(GetItemIcon(kind), nullptr) << kind;
    EXPECT_EQ(GetItemIcon(2), GetItemIcon(2)) << "cached";
    EXPECT_EQ(GetItemIcon(99), nullptr);
}

TEST_F(OwnerDrawnMenuItems, IconsAreGreyWhenGrayedAndLargerWhenSelected)
{
    // The first search engine's icon is a blue magnifying glass.
    MenuItemDrawInfo info(L"Search on Google", kMenuItemDataExec, 1001);
    const COLORREF menu = SysColor(COLOR_MENU);

    const COLORREF highlight = SysColor(COLOR_HIGHLIGHT);

    m_canvas.Draw(info, 0);
    EXPECT_GT(m_canvas.CountColourful(1, 0, 17, 16, 80), 10) << "coloured icon";
    EXPECT_EQ(m_canvas.CountOther(menu, 1, 16, 20, kHeight), 0) << "16 x 16 at the top";

    m_canvas.Clear();
    m_canvas.Draw(info, ODS_GRAYED);
    EXPECT_EQ(m_canvas.CountColourful(1, 0, 20, kHeight, 80), 0) << "grey copy";
    EXPECT_GT(m_canvas.CountOther(menu, 1, 0, 17, 16), 10) << "but an icon is drawn";

    m_canvas.Clear();
    m_canvas.Draw(info, ODS_SELECTED);
    EXPECT_GT(m_canvas.CountOther(highlight, 1, 16, 20, 20), 0) << "the 20 x 20 icon reaches lower";

    m_canvas.Clear();
    m_canvas.Draw(info, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(m_canvas.CountOther(highlight, 1, 16, 20, 20), 0) << "never enlarged when grayed";
}

TEST_F(OwnerDrawnMenuItems, TheSideBandIsDrawnOnceAndOnlyBesideTopLevelItems)
{
    HMENU top = ::CreatePopupMenu();
    HMENU sub = ::CreatePopupMenu();
    MenuItemDrawInfo info = MakePhrase(L"Phrase");

    SetMenuBeingShown(top, nullptr);
    EXPECT_EQ(GetMenuBeingShown(), top);
    m_canvas.Draw(info, 0, sub);
    EXPECT_FALSE(IsSideBandDrawn());
    EXPECT_EQ(m_canvas.At(30, 2), SysColor(COLOR_MENU)) << "no band beside a sub-menu item";

    m_canvas.Clear();
    m_canvas.Draw(info, 0, top);
    EXPECT_TRUE(IsSideBandDrawn());
    EXPECT_EQ(m_canvas.At(23, kHeight / 2), kUntouched) << "items of the top-level menu start 24 pixels in";
    EXPECT_EQ(m_canvas.At(24 + 20, 2), SysColor(COLOR_MENU));

    ClearSideBandDrawn();
    EXPECT_FALSE(IsSideBandDrawn());
    SetMenuBeingShown(nullptr, nullptr);
    ::DestroyMenu(top);
    ::DestroyMenu(sub);
}

TEST_F(OwnerDrawnMenuItems, FontsAndColourHelpers)
{
    HFONT plain = GetPlainMenuFont();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(GetMenuFont(false, false, false), plain);
    LOGFONTW font = {};
    ASSERT_TRUE(::GetObjectW(GetMenuFont(true, true, true), sizeof(font), &font));
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    ASSERT_TRUE(::GetObjectW(GetMenuFont(false, true, false), sizeof(font), &font));
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    ClearMenuFonts();
    EXPECT_NE(GetPlainMenuFont(), nullptr) << "made again after clearing";

    EXPECT_EQ(ShadeMenuColor(RGB(200, 100, 50), 4), RGB(196, 96, 46));
    EXPECT_EQ(ShadeMenuColor(RGB(0, 0, 0), 4), RGB(4, 4, 4));
    EXPECT_EQ(ShadeMenuColor(RGB(2, 255, 0), 4), RGB(0, 251, 0)) << "channels stop at 0";

    EXPECT_EQ(std::wstring(GetSideBandText()).find(L"Phrases menu"), 0u);
}

// --- Guards ------------------------------------------------------------------

class GuardOnlyOwner : public MenuTrackerOwner
{
public:
    HWND GetMainWindow() const override { return nullptr; }
};

TEST_F(OwnerDrawnMenuItems, FaultsInMeasureAndDrawAreCaughtAndReported)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    GuardOnlyOwner owner;
    const ULONG_PTR garbage = 0x10; // not a record: reading it faults

    DRAWITEMSTRUCT draw = m_canvas.MakeDraw(MenuItemDrawInfo(), 0, nullptr);
    draw.itemData = garbage;
    EXPECT_EQ(owner.OnMenuDRAWITEMSTRUCT(nullptr, &draw), 0);
    auto text = scvtest::DialogWatchdog::TakeLastClosedText();
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find(L"ERROR: Exception in IDataNeededHander_MenuSelf::OnMenuDRAWITEMSTRUCT "
                         L"GetExceptionCode=3221225477 status=[EXCEPTION_ACCESS_VIOLATION]"),
              std::wstring::npos)
        << testing::PrintToString(*text);

    MEASUREITEMSTRUCT measure = {};
    measure.itemData = garbage;
    EXPECT_EQ(owner.OnMenuMEASUREITEM(nullptr, &measure), 0);
    text = scvtest::DialogWatchdog::TakeLastClosedText();
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find(L"IDataNeededHander_MenuSelf::OnMenuMEASUREITEM GetExceptionCode=3221225477"),
              std::wstring::npos);

    // The same routines go on working afterwards.
    MenuItemDrawInfo info = MakePhrase(L"After the fault");
    draw = m_canvas.MakeDraw(info, 0, nullptr);
    EXPECT_EQ(owner.OnMenuDRAWITEMSTRUCT(nullptr, &draw), TRUE);
    measure.itemData = reinterpret_cast<ULONG_PTR>(&info);
    EXPECT_EQ(owner.OnMenuMEASUREITEM(nullptr, &measure), TRUE);
    EXPECT_GT(measure.itemWidth, 29u);
}

} // namespace

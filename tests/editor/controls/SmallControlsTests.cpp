// test-locks: desktop
#include "editor/controls/ColorLabel.h"
#include "editor/controls/DcStateGuards.h"
#include "editor/controls/FlatSpinButton.h"
#include "editor/controls/SeparatorLabel.h"

#include "common/GdiObjectGuards.h"
#include "platform/CWindowImpl.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// A parent that records the spin notifications it gets and reflects
// control notifications back to the controls.
class ReflectingParent : public CWindowImpl<ReflectingParent, CWindow, CWinTraits<WS_POPUP, 0>>
{
public:
    DECLARE_WND_CLASS_EX(L"SmallControlsTestsParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(ReflectingParent)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == UDN_DELTAPOS) {
            auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            notified.push_back({change->iPos, change->iDelta});
        }
        handled = FALSE;
        return 0;
    }
    std::vector<std::pair<int, int>> notified;
};

struct Controls
{
    ReflectingParent parent;
    Controls() { parent.Create(nullptr, RECT{0, 0, 300, 200}); }
    ~Controls() { parent.DestroyWindow(); }

    HWND Spin(DWORD style, int lower, int upper, int position, HWND* buddy = nullptr)
    {
        HWND edit = ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 10, 10, 60, 20, parent, nullptr,
                                      nullptr, nullptr);
        HWND spin = ::CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 70, 10, 16, 20,
                                      parent, reinterpret_cast<HMENU>(77), nullptr, nullptr);
        ::SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        ::SendMessageW(spin, UDM_SETRANGE32, lower, upper);
        ::SendMessageW(spin, UDM_SETPOS32, 0, position);
        if (buddy)
            *buddy = edit;
        return spin;
    }
};

LRESULT Delta(HWND spin, int delta)
{
    NMUPDOWN change = {};
    change.hdr.hwndFrom = spin;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    return ::SendMessageW(spin, SCV_REFLECTED_BASE + WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&change));
}

// A 32-bit memory canvas filled with one colour.
struct Canvas
{
    WindowDC screen;
    MemoryDC dc{screen.get()};
    GdiObject<HBITMAP> bitmap;
    SelectedObject* selected = nullptr;
    Canvas(int w, int h, COLORREF fill) : bitmap(::CreateCompatibleBitmap(screen.get(), w, h))
    {
        selected = new SelectedObject(dc.get(), bitmap.get());
        RECT all = {0, 0, w, h};
        GdiObject<HBRUSH> brush(::CreateSolidBrush(fill));
        ::FillRect(dc.get(), &all, brush.get());
    }
    ~Canvas() { delete selected; }
    COLORREF At(int x, int y) const { return ::GetPixel(dc.get(), x, y); }
};

} // namespace

TEST(FlatSpinButton, EndsRefuseFurtherStepsAndDisableTheirArrow)
{
    Controls controls;
    CFlatSpinButton spin;
    HWND window = controls.Spin(UDS_ALIGNRIGHT, 0, 10, 10);
    ASSERT_TRUE(spin.Attach(window));
    EXPECT_TRUE(spin.OwnPainting());
    EXPECT_EQ(spin.ArrowState(), CFlatSpinButton::kAtUpper);
    EXPECT_EQ(Delta(window, 1), 1) << "up at the upper end is refused";
    EXPECT_EQ(Delta(window, -1), 0);
    EXPECT_EQ(spin.Position(), 9);
    EXPECT_EQ(spin.ArrowState(), CFlatSpinButton::kInside);
    EXPECT_EQ(Delta(window, -100), 0);
    EXPECT_EQ(spin.Position(), 0);
    EXPECT_EQ(spin.ArrowState(), CFlatSpinButton::kAtLower);

    spin.SetSwapArrows(true);
    spin.SetArrowState(CFlatSpinButton::kAtUpper);
    EXPECT_EQ(spin.ArrowState(), CFlatSpinButton::kAtLower);

    ::SendMessageW(window, UDM_SETRANGE32, 20, 5); // reversed range
    EXPECT_TRUE(spin.Reversed());
    EXPECT_EQ(spin.Lower(), 5);
    EXPECT_EQ(spin.Upper(), 20);
    Canvas canvas(16, 20, RGB(1, 2, 3));
    spin.Paint(canvas.dc.get());
    EXPECT_EQ(canvas.At(8, 1), ::GetSysColor(COLOR_BTNFACE)) << "flat painting covers the control";

    CFlatSpinButton wrapping;
    ASSERT_TRUE(wrapping.Attach(controls.Spin(UDS_WRAP, 0, 10, 3)));
    EXPECT_FALSE(wrapping.OwnPainting());
}

TEST(FlatSpinButton, TypedNumbersReachTheParentAndTheHookIsShared)
{
    Controls controls;
    HWND firstEdit = nullptr;
    HWND secondEdit = nullptr;
    HWND first = controls.Spin(UDS_ALIGNRIGHT, 0, 100000, 5, &firstEdit);
    HWND second = controls.Spin(UDS_ALIGNRIGHT, 0, 100000, 5, &secondEdit);
    {
        CFlatSpinButton a;
        CFlatSpinButton b;
        ASSERT_TRUE(a.Attach(first));
        ASSERT_TRUE(b.Attach(second));
        EXPECT_TRUE(CFlatSpinButton::HookInstalled());
        controls.parent.notified.clear();
        ::SetWindowTextW(firstEdit, L"1\x00A0"
                                    L"000");
        ASSERT_FALSE(controls.parent.notified.empty());
        EXPECT_EQ(controls.parent.notified.back(), std::make_pair(1000, 0));
        EXPECT_EQ(a.Position(), 1000) << "the spin follows a typed value";
        EXPECT_EQ(a.ArrowState(), CFlatSpinButton::kInside);
        ::SetWindowTextW(firstEdit, L"250000");
        EXPECT_EQ(a.Position(), 100000) << "a typed value beyond the range stands at its end";
        EXPECT_EQ(a.ArrowState(), CFlatSpinButton::kAtUpper) << "so the up arrow shows disabled";
        controls.parent.notified.clear();
        ::SetWindowTextW(secondEdit, L"abc");
        ASSERT_FALSE(controls.parent.notified.empty());
        EXPECT_EQ(controls.parent.notified.back(), std::make_pair(0, 0));
        ::DestroyWindow(first);
        EXPECT_TRUE(CFlatSpinButton::HookInstalled());
        ::DestroyWindow(second);
        EXPECT_FALSE(CFlatSpinButton::HookInstalled());
    }
}

TEST(SeparatorLabel, DrawsAnEtchedLineAfterItsCaption)
{
    Controls controls;
    HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 50, 100, 10, controls.parent,
                                   nullptr, nullptr, nullptr);
    CSeparatorLabel line;
    ASSERT_TRUE(line.SubclassWindow(plain));
    Canvas canvas(100, 10, RGB(255, 0, 0));
    line.Paint(canvas.dc.get());
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(canvas.At(x, 4), RGB(64, 64, 64)) << x;
        EXPECT_EQ(canvas.At(x, 5), RGB(255, 255, 255)) << x;
        EXPECT_EQ(canvas.At(x, 2), RGB(255, 0, 0)) << x;
    }

    HWND titled = ::CreateWindowExW(0, L"STATIC", L"Title", WS_CHILD | WS_VISIBLE, 0, 70, 200, 20,
                                    controls.parent, nullptr, nullptr, nullptr);
    CSeparatorLabel label;
    ASSERT_TRUE(label.SubclassWindow(titled));
    Canvas titledCanvas(200, 20, RGB(255, 0, 0));
    label.Paint(titledCanvas.dc.get());
    int darkRow = -1;
    for (int y = 0; y < 20 && darkRow < 0; ++y) {
        if (titledCanvas.At(199, y) == RGB(64, 64, 64))
            darkRow = y;
    }
    ASSERT_GE(darkRow, 0);
    EXPECT_EQ(titledCanvas.At(199, darkRow + 1), RGB(255, 255, 255));
    EXPECT_EQ(titledCanvas.At(0, darkRow), RGB(255, 0, 0)) << "the line starts after the caption";

    CSeparatorLabel vertical(true);
    HWND bar = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 100, 10, 30, controls.parent,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(vertical.SubclassWindow(bar));
    Canvas barCanvas(10, 30, RGB(255, 0, 0));
    vertical.Paint(barCanvas.dc.get());
    EXPECT_EQ(barCanvas.At(2, 15), RGB(255, 255, 255));
    EXPECT_EQ(barCanvas.At(7, 15), RGB(64, 64, 64));
}

TEST(ColorLabel, ColoursAndFont)
{
    Controls controls;
    HWND staticWindow = ::CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                          controls.parent, nullptr, nullptr, nullptr);
    ColorLabel label;
    ASSERT_TRUE(label.SubclassWindow(staticWindow));
    EXPECT_EQ(label.BackColor(), ::GetSysColor(COLOR_BTNFACE));
    label.SetBackColor(RGB(255, 0, 0), false);
    label.SetBackColor(RGB(0, 0, 255), true);
    LOGFONTW logFont = {};
    logFont.lfHeight = -20;
    lstrcpyW(logFont.lfFaceName, L"Tahoma");
    label.SetFontAndTextColor(logFont, RGB(0, 255, 0), true);
    LOGFONTW read = {};
    ASSERT_TRUE(ColorLabel::GetWndLogFont(staticWindow, read));
    EXPECT_EQ(read.lfHeight, -20);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(staticWindow, WM_GETFONT, 0, 0)), label.LabelFont());

    Canvas canvas(50, 20, RGB(9, 9, 9));
    LRESULT brush =
        ::SendMessageW(staticWindow, SCV_REFLECTED_BASE + WM_CTLCOLORSTATIC,
                       reinterpret_cast<WPARAM>(canvas.dc.get()), reinterpret_cast<LPARAM>(staticWindow));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(canvas.At(25, 10), RGB(0, 0, 255));
    EXPECT_EQ(::GetBkColor(canvas.dc.get()), RGB(0, 0, 255));
    EXPECT_EQ(::GetTextColor(canvas.dc.get()), RGB(0, 255, 0));
    LRESULT other = ::SendMessageW(staticWindow, SCV_REFLECTED_BASE + WM_CTLCOLOREDIT,
                                   reinterpret_cast<WPARAM>(canvas.dc.get()), 0);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(other), ::GetStockObject(NULL_BRUSH));
}

TEST(DcStateGuards, RestoreTheDeviceContext)
{
    Canvas canvas(2, 2, 0);
    HDC dc = canvas.dc.get();
    ::SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, RGB(1, 1, 1));
    ::SetBkColor(dc, RGB(2, 2, 2));
    {
        BkModeGuard mode(dc, TRANSPARENT);
        TextColorGuard text(dc, RGB(3, 3, 3));
        BkColorGuard back(dc, RGB(4, 4, 4));
        BkModeGuard empty;
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(::GetTextColor(dc), RGB(3, 3, 3));
    }
    EXPECT_EQ(::GetBkMode(dc), OPAQUE);
    EXPECT_EQ(::GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(::GetBkColor(dc), RGB(2, 2, 2));
}

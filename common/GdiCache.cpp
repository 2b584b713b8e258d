#include "common/GdiCache.h"

#include "common/GdiHelpers.h"

#include <commctrl.h>

#include <atomic>

namespace
{
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x008000;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kOrange = 0x3C7BFF;
constexpr int kPenWidth = 2;

// The cached object, made by `make` when there is none yet. Two threads racing
// on the first call keep one object; the loser deletes its own.
template <typename Handle, typename Make>
Handle CacheOnce(std::atomic<Handle>& slot, Make make)
{
    Handle current = slot.load();
    if (current)
        return current;
    Handle made = make();
    if (!made)
        return nullptr;
    Handle expected = nullptr;
    if (slot.compare_exchange_strong(expected, made))
        return made;
    ::DeleteObject(made);
    return expected;
}

enum class MetricsFont
{
    Caption,
    SmallCaption,
    Status
};

HFONT MakeMetricsFont(MetricsFont which, LONG weight, bool italic)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return nullptr;
    LOGFONTW font = metrics.lfStatusFont;
    if (which == MetricsFont::Caption)
        font = metrics.lfCaptionFont;
    else if (which == MetricsFont::SmallCaption)
        font = metrics.lfSmCaptionFont;
    font.lfWeight = weight;
    font.lfItalic = italic ? TRUE : FALSE;
    ::lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

HFONT WindowFont(HWND window)
{
    if (!::IsWindow(window))
        return nullptr;
    auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (font)
        return font;
    auto tooltip = reinterpret_cast<HWND>(::SendMessageW(window, LVM_GETTOOLTIPS, 0, 0));
    if (!::IsWindow(tooltip))
        return nullptr;
    return reinterpret_cast<HFONT>(::SendMessageW(tooltip, WM_GETFONT, 0, 0));
}
} // namespace

HFONT GetBoldCaptionFont()
{
    static std::atomic<HFONT> font{nullptr};
    return CacheOnce(font, [] { return MakeMetricsFont(MetricsFont::Caption, FW_BOLD, false); });
}

HFONT GetBoldSmallCaptionFont()
{
    static std::atomic<HFONT> font{nullptr};
    return CacheOnce(font, [] { return MakeMetricsFont(MetricsFont::SmallCaption, FW_BOLD, false); });
}

HFONT GetStatusFont()
{
    static std::atomic<HFONT> font{nullptr};
    return CacheOnce(font, [] { return MakeMetricsFont(MetricsFont::Status, FW_NORMAL, false); });
}

HFONT GetItalicSmallCaptionFont()
{
    static std::atomic<HFONT> font{nullptr};
    return CacheOnce(font, [] { return MakeMetricsFont(MetricsFont::SmallCaption, FW_NORMAL, true); });
}

HFONT GetCachedWindowFont(HWND window)
{
    static std::atomic<HFONT> font{nullptr};
    return CacheOnce(font, [window]() -> HFONT {
        HFONT source = WindowFont(window);
        return source ? CreateAdjustedFont(source, 2) : nullptr;
    });
}

HPEN GetBluePen()
{
    static std::atomic<HPEN> pen{nullptr};
    return CacheOnce(pen, [] { return ::CreatePen(PS_SOLID, kPenWidth, kBlue); });
}

HPEN GetRedPen()
{
    static std::atomic<HPEN> pen{nullptr};
    return CacheOnce(pen, [] { return ::CreatePen(PS_SOLID, kPenWidth, kRed); });
}

HBRUSH GetRedBrush()
{
    static std::atomic<HBRUSH> brush{nullptr};
    return CacheOnce(brush, [] { return ::CreateSolidBrush(kRed); });
}

COLORREF GetRedColor()
{
    return kRed;
}
COLORREF GetRedColor2()
{
    return kRed;
}
COLORREF GetGreenColor()
{
    return kGreen;
}
COLORREF GetGreenColor2()
{
    return kGreen;
}
COLORREF GetBlueColor()
{
    return kBlue;
}
COLORREF GetOrangeColor()
{
    return kOrange;
}
COLORREF GetStateColor(bool flag)
{
    return flag ? kOrange : kRed;
}

#include "menus/phrasemenu/OwnerDrawnMenuItems.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "common/GdiCache.h"
#include "common/GdiObjectGuards.h"
#include "common/IconHelpers.h"
#include "common/LocalizedString.h"
#include "common/Settings.h"
#include "menus/phrasemenu/MenuCommandKeys.h"
#include "menus/phrasemenu/MenuErrorReport.h"
#include "menus/phrasemenu/MenuHost.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"

namespace
{
constexpr UINT kSideBandTextId = 304;
constexpr int kSideBandWidth = 22;
constexpr int kSideBandIndent = 24;
constexpr int kIconColumnWidth = 18;
constexpr int kTextIndent = 8;
constexpr int kWidthExtra = 29;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kSideBandColour = RGB(227, 227, 227);

// The process-wide objects of the owner-drawn items.
struct MenuDrawCaches
{
    GdiObject<HFONT> fonts[8];
    std::map<int, IconHandle> icons;
    GdiObject<HBRUSH> bandBrush;
    GdiObject<HFONT> bandFont;
    CString bandText;
    bool bandTextBuilt = false;
    IconHandle appIcon;
    bool appIconLoaded = false;
    int itemHeight = 0;
    HMENU menuShown = nullptr;
    HWND menuOwner = nullptr;
    bool bandDrawn = false;
    // A screen-compatible memory DC the items are measured in: one for all items of every menu
    // (making and freeing a DC per item cost a millisecond each under some systems).
    std::unique_ptr<MemoryDC> measureDC;
    // Widths measured, by font and text: the items of a menu are measured again on every opening,
    // mostly with the same captions. Emptied with the fonts.
    std::map<std::pair<HFONT, std::wstring>, int> textWidths;
};

MenuDrawCaches& Caches()
{
    static MenuDrawCaches caches;
    return caches;
}

HDC MeasuringDC()
{
    MenuDrawCaches& caches = Caches();
    if (!caches.measureDC || !caches.measureDC->get())
        caches.measureDC = std::make_unique<MemoryDC>(nullptr);
    return caches.measureDC->get();
}

SIZE MeasureLine(HDC dc, LPCWSTR text, int length)
{
    SIZE size = {0, 0};
    if (length > 0)
        ::GetTextExtentPoint32W(dc, text, length, &size);
    return size;
}

// The width of `text` in `font`, measured in the measuring DC the first time and kept.
int CachedTextWidth(HFONT font, const CString& text)
{
    if (text.IsEmpty())
        return 0;
    constexpr size_t kMaxKeptWidths = 20000;
    auto& widths = Caches().textWidths;
    std::pair<HFONT, std::wstring> key(font, text.GetString());
    const auto found = widths.find(key);
    if (found != widths.end())
        return found->second;
    HDC dc = MeasuringDC();
    SelectedObject selected(dc, font);
    const int width = MeasureLine(dc, text, text.GetLength()).cx;
    if (widths.size() >= kMaxKeptWidths)
        widths.clear();
    widths.emplace(std::move(key), width);
    return width;
}

HBRUSH GetSideBandBrush()
{
    MenuDrawCaches& caches = Caches();
    if (!caches.bandBrush)
        caches.bandBrush.Reset(::CreateSolidBrush(kSideBandColour));
    return caches.bandBrush.get();
}

HFONT GetSideBandFont()
{
    MenuDrawCaches& caches = Caches();
    if (!caches.bandFont) {
        LOGFONTW font = {};
        font.lfHeight = -18;
        font.lfWeight = 500;
        font.lfEscapement = 900;
        font.lfOrientation = 900;
        font.lfQuality = CLEARTYPE_QUALITY;
        font.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(font.lfFaceName, L"Arial", LF_FACESIZE);
        caches.bandFont.Reset(::CreateFontIndirectW(&font));
    }
    return caches.bandFont.get();
}

HICON GetAppSmallIcon()
{
    MenuDrawCaches& caches = Caches();
    if (!caches.appIconLoaded) {
        caches.appIconLoaded = true;
        caches.appIcon.Reset(LoadIconSmall(::GetModuleHandleW(nullptr), GetMenuHost().appIconId));
    }
    return caches.appIcon.get();
}

// The height of the top-level menu being shown, from its items' rectangles.
int GetShownMenuHeight()
{
    const MenuDrawCaches& caches = Caches();
    int height = 0;
    const int count = ::GetMenuItemCount(caches.menuShown);
    for (int i = 0; i < count; ++i) {
        RECT item = {};
        if (::GetMenuItemRect(caches.menuOwner, caches.menuShown, static_cast<UINT>(i), &item))
            height += item.bottom - item.top;
    }
    return height;
}

// The strip with the program icon and the upward text along the top-level items.
void DrawSideBand(HDC dc)
{
    const int height = GetShownMenuHeight();
    const RECT band = {0, 0, kSideBandWidth, height};
    ::FillRect(dc, &band, GetSideBandBrush());
    if (HICON icon = GetAppSmallIcon())
        ::DrawIconEx(dc, 4, height - 18, icon, 16, 16, 0, nullptr, DI_NORMAL);
    const COLORREF oldColour = ::SetTextColor(dc, kGreen);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    {
        SelectedObject font(dc, GetSideBandFont());
        const CString& text = GetSideBandText();
        ::TextOutW(dc, 0, height - 24, text, text.GetLength());
    }
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
}

HBRUSH ChooseBackground(const MenuItemDrawInfo& info, bool selected, GdiObject<HBRUSH>& shaded)
{
    if (selected)
        return ::GetSysColorBrush(COLOR_HIGHLIGHT);
    const int colourIndex = info.historyStyle ? COLOR_INFOBK : COLOR_MENU;
    if (info.row % 2 == 0)
        return ::GetSysColorBrush(colourIndex);
    shaded.Reset(::CreateSolidBrush(ShadeMenuColor(::GetSysColor(colourIndex), 4)));
    return shaded ? shaded.get() : ::GetSysColorBrush(colourIndex);
}

COLORREF ChooseTextColour(const MenuItemDrawInfo& info, bool selected, bool grayed)
{
    if (selected)
        return ::GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_HIGHLIGHTTEXT);
    if (grayed)
        return ::GetSysColor(COLOR_GRAYTEXT);
    if (info.historyStyle)
        return ::GetSysColor(COLOR_INFOTEXT);
    if (info.defaultMark)
        return kRed;
    return ::GetSysColor(COLOR_MENUTEXT);
}

HFONT ChooseFont(const MenuItemDrawInfo& info, bool special)
{
    if (special)
        return GetMenuFont(false, false, true);
    if (info.dataType == kMenuItemDataExec)
        return GetMenuFont(true, false, false);
    if (info.dataType == kMenuItemDataRtf)
        return GetMenuFont(false, true, false);
    return GetPlainMenuFont();
}

// The icon column: the kind's icon (grey when grayed, larger when selected).
void DrawIconColumn(HDC dc, const MenuItemDrawInfo& info, const RECT& r, const RECT& item, HBRUSH background,
                    bool selected, bool grayed)
{
    HICON icon = GetItemIcon(GetItemIconKind(info));
    IconHandle grey;
    if (icon && grayed) {
        grey.Reset(CreateGrayscaleIcon(icon));
        icon = grey.get();
    }
    const int shift = selected ? 1 : 0;
    const RECT back = {r.left + shift, r.top - 1 + shift, r.left + 20, item.bottom};
    ::FillRect(dc, &back, background);
    if (!icon)
        return;
    const int big = selected && !grayed ? 1 : 0;
    const int size = big ? 20 : 16;
    ::DrawIconEx(dc, r.left + 1 - big, r.top - big, icon, size, size, 0, nullptr, DI_NORMAL);
}

bool HasIconColumn(const MenuItemDrawInfo& info, bool special)
{
    return !info.IsSubMenu() && !info.IsSeparator() && !special;
}

// "n." of a numbered item: the history position or the last-used number + 1.
CString NumberText(const MenuItemDrawInfo& info)
{
    CString number;
    number.Format(L"%d.", info.historyStyle ? info.commandId - 1999 : info.number + 1);
    return number;
}

// How far the number prefix moves the caption to the right, with `width` measuring a text in the
// item's font.
template <typename Width>
int NumberPrefixWidthBy(const MenuItemDrawInfo& info, Width width)
{
    if (!info.historyStyle && info.number < 0)
        return 0;
    if (info.IsSubMenu())
        return info.historyStyle ? width(CString(L"  ")) : 0;
    const CString number = NumberText(info);
    return width(number) + width(number + L"  ");
}

// The same in the font selected into `dc`.
int NumberPrefixWidth(HDC dc, const MenuItemDrawInfo& info)
{
    return NumberPrefixWidthBy(info, [dc](const CString& text) { return MeasureLine(dc, text, text.GetLength()).cx; });
}

// "n." in blue before a numbered item; moves the text's left edge past it.
void DrawNumberPrefix(HDC dc, const MenuItemDrawInfo& info, RECT& t, COLORREF textColour)
{
    if (!info.IsSubMenu() && (info.historyStyle || info.number >= 0)) {
        const CString number = NumberText(info);
        ::SetTextColor(dc, kBlue);
        ::DrawTextW(dc, number, number.GetLength(), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        ::SetTextColor(dc, textColour);
    }
    t.left += NumberPrefixWidth(dc, info);
}

// The small caret "^" under the caption where %CURSOR_POS% lands.
void DrawCaretMark(HDC dc, const MenuItemDrawInfo& info, const RECT& t, bool selected)
{
    const int length = ::lstrlenW(info.text);
    const int chars = info.caretOffset < length ? info.caretOffset : length;
    const int x = t.left + MeasureLine(dc, info.text, chars).cx;
    SelectedObject pen(dc, selected ? GetRedPen() : GetBluePen());
    ::MoveToEx(dc, x - 3, t.bottom - 5, nullptr);
    ::LineTo(dc, x, t.bottom - 8);
    ::LineTo(dc, x + 3, t.bottom - 5);
}

void DrawRightText(HDC dc, const MenuItemDrawInfo& info, RECT t, HBRUSH background, bool selected)
{
    ::SetTextColor(dc, selected ? kRed : kBlue);
    t.right -= 3;
    CString text = info.rightText;
    int mode = TRANSPARENT;
    COLORREF oldBack = CLR_INVALID;
    if (info.IsSeparator()) {
        mode = OPAQUE;
        LOGBRUSH brush = {};
        if (::GetObjectW(background, sizeof(brush), &brush) == sizeof(brush))
            oldBack = ::SetBkColor(dc, brush.lbColor);
        t.left -= 2;
        t.right += 2;
        text = L" " + text + L" ";
    }
    const int oldMode = ::SetBkMode(dc, mode);
    ::DrawTextW(dc, text, text.GetLength(), &t, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetBkMode(dc, oldMode);
    if (oldBack != CLR_INVALID)
        ::SetBkColor(dc, oldBack);
}

void DrawRedFrame(HDC dc, const RECT& r)
{
    SelectedObject pen(dc, ::GetStockObject(DC_PEN));
    SelectedObject brush(dc, ::GetStockObject(NULL_BRUSH));
    const COLORREF oldPen = ::SetDCPenColor(dc, kRed);
    ::Rectangle(dc, r.left, r.top, r.right - 1, r.bottom - 1);
    ::SetDCPenColor(dc, oldPen);
}
} // namespace

// --- Measure and draw ----------------------------------------------------------

BOOL MeasureMenuItem(MEASUREITEMSTRUCT* measure)
{
    const auto* info = measure ? reinterpret_cast<const MenuItemDrawInfo*>(measure->itemData) : nullptr;
    if (!info) {
        ShowMenuErrorMessage(L"M_INFO is NULL on MeasureImpl");
        return TRUE;
    }
    // The caption is measured in the font it is drawn in, and the width holds
    // what the drawing puts before it: side band, icon column, number.
    const bool special = IsMenuCommandMapped(info->commandId);
    const CString line = CString(info->text) + info->rightText;
    const HFONT font = ChooseFont(*info, special);
    const int width = line.IsEmpty() ? 100 : CachedTextWidth(font, line);
    const int prefix = kSideBandIndent + (HasIconColumn(*info, special) ? kIconColumnWidth : 0) +
                       NumberPrefixWidthBy(*info, [font](const CString& text) { return CachedTextWidth(font, text); });
    int height = GetMenuItemHeight();
    const bool bareSeparator = info->IsSeparator() && info->rightText[0] == L'\0';
    if (bareSeparator)
        height = height / 3 != 0 ? (height / 3) * 2 : height / 2;
    if (info->IsSubMenu())
        height += 4;
    if (!bareSeparator)
        height += 4;
    measure->itemHeight = static_cast<UINT>(height);
    measure->itemWidth = static_cast<UINT>(width + kWidthExtra + prefix);
    return TRUE;
}

BOOL DrawMenuItem(DRAWITEMSTRUCT* draw)
{
    const auto* info = draw ? reinterpret_cast<const MenuItemDrawInfo*>(draw->itemData) : nullptr;
    if (!info)
        return TRUE;
    HDC dc = draw->hDC;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool grayed = (draw->itemState & ODS_GRAYED) != 0;
    const bool special = IsMenuCommandMapped(info->commandId);

    GdiObject<HBRUSH> shaded;
    HBRUSH background = ChooseBackground(*info, selected, shaded);
    const COLORREF textColour = ChooseTextColour(*info, selected, grayed);

    RECT r = draw->rcItem;
    MenuDrawCaches& caches = Caches();
    if (caches.menuShown && reinterpret_cast<HMENU>(draw->hwndItem) == caches.menuShown) {
        if (!caches.bandDrawn) {
            caches.bandDrawn = true;
            DrawSideBand(dc);
        }
        r.left += kSideBandIndent;
    }

    if (HasIconColumn(*info, special)) {
        DrawIconColumn(dc, *info, r, draw->rcItem, background, selected, grayed);
        r.left += kIconColumnWidth;
    }

    ::FillRect(dc, &r, background);
    const COLORREF oldColour = ::SetTextColor(dc, textColour);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    {
        SelectedObject font(dc, ChooseFont(*info, special));
        COLORREF captionColour = textColour;
        if (special && !selected && !grayed) {
            captionColour = info->commandId == ID_MENU_RUN_AS_ADMIN ? kRed : kGreen;
            ::SetTextColor(dc, captionColour);
        }

        RECT t = r;
        t.left += kTextIndent;
        if (info->IsSeparator()) {
            SelectedObject pen(dc, ::GetStockObject(BLACK_PEN));
            const int mid = (r.top + r.bottom) / 2;
            ::MoveToEx(dc, r.left + 11, mid, nullptr);
            ::LineTo(dc, r.right - 1, mid);
        } else {
            DrawNumberPrefix(dc, *info, t, captionColour);
            ::DrawTextW(dc, info->text, -1, &t, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
            if (info->caretOffset >= 0 && !info->IsSubMenu())
                DrawCaretMark(dc, *info, t, selected);
        }
        if (info->rightText[0] != L'\0')
            DrawRightText(dc, *info, t, background, selected);
    }
    if (info->number == 0 || info->defaultMark)
        DrawRedFrame(dc, r);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
    return TRUE;
}

// --- Fonts ---------------------------------------------------------------------

HFONT GetMenuFont(bool underline, bool italic, bool bold)
{
    GdiObject<HFONT>& font = Caches().fonts[(underline ? 4 : 0) + (italic ? 2 : 0) + (bold ? 1 : 0)];
    if (!font) {
        LOGFONTW logFont = GetSettings().FontForMenu;
        logFont.lfUnderline = underline ? TRUE : FALSE;
        logFont.lfItalic = italic ? TRUE : FALSE;
        logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        font.Reset(::CreateFontIndirectW(&logFont));
    }
    return font.get();
}

void ClearMenuFonts()
{
    Caches().textWidths.clear(); // keyed by the fonts' handles
    for (GdiObject<HFONT>& font : Caches().fonts)
        font.Reset();
}

// --- Icons ---------------------------------------------------------------------

LPCWSTR GetFirstSearchEngineName()
{
    return L"Google";
}

LPCWSTR GetSecondSearchEngineName()
{
    return L"Yandex";
}

int GetItemIconKind(const MenuItemDrawInfo& info)
{
    if (info.documentFlag)
        return 3;
    switch (info.dataType) {
    case kMenuItemDataText:
        return 0;
    case kMenuItemDataRtf:
        return 1;
    case kMenuItemDataExec:
        break;
    default:
        return 0;
    }
    CString caption(info.text);
    caption.MakeUpper();
    CString engine(GetFirstSearchEngineName());
    if (caption.Find(engine.MakeUpper()) >= 0)
        return 4;
    engine = GetSecondSearchEngineName();
    if (caption.Find(engine.MakeUpper()) >= 0)
        return 5;
    CString command(info.commandText);
    command.MakeUpper();
    if (command.Find(L"HTTP://") == 0 || command.Find(L"HTTPS://") == 0 || command.Find(L"WWW.") == 0)
        return 6;
    return 2;
}

HICON GetItemIcon(int kind)
{
    std::map<int, IconHandle>& icons = Caches().icons;
    const auto found = icons.find(kind);
    if (found != icons.end())
        return found->second.get();
    HMODULE module = ::GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    switch (kind) {
    case 0:
        icon = LoadFileTypeIcon(L".txt", false);
        break;
    case 1:
        icon = LoadIconSmall(module, 223);
        break;
    case 2:
        icon = LoadIconSmall(module, 204);
        break;
    case 3:
        icon = LoadFileTypeIcon(L".ovl", false);
        break;
    case 4:
        icon = LoadIconSmall(module, 230);
        break;
    case 5:
        icon = LoadIconSmall(module, 231);
        break;
    case 6:
        icon = LoadIconSmall(module, 234);
        break;
    default:
        break;
    }
    if (!icon)
        return nullptr;
    icons.emplace(kind, IconHandle(icon));
    return icon;
}

void DestroyMenuItemIcons()
{
    Caches().icons.clear();
}

// --- Side band and the menu being shown ---------------------------------------

const CString& GetSideBandText()
{
    MenuDrawCaches& caches = Caches();
    if (!caches.bandTextBuilt) {
        caches.bandTextBuilt = true;
        caches.bandText = LoadLocalizedString(kSideBandTextId);
        if (caches.bandText.IsEmpty())
            caches.bandText = L"Phrases menu";
        const CString& version = GetMenuHost().productVersionText;
        if (!version.IsEmpty())
            caches.bandText += CString(L"  \u2014  ") + version;
    }
    return caches.bandText;
}

void RefreshMenuItemHeight()
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    int height = 0;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        height = metrics.iMenuHeight;
    if (height <= 0)
        height = ::GetSystemMetrics(SM_CYMENU);
    Caches().itemHeight = height;
}

int GetMenuItemHeight()
{
    if (Caches().itemHeight <= 0)
        RefreshMenuItemHeight();
    return Caches().itemHeight;
}

void SetMenuBeingShown(HMENU menu, HWND owner)
{
    Caches().menuShown = menu;
    Caches().menuOwner = owner;
}

HMENU GetMenuBeingShown()
{
    return Caches().menuShown;
}

void ClearSideBandDrawn()
{
    Caches().bandDrawn = false;
}

bool IsSideBandDrawn()
{
    return Caches().bandDrawn;
}

// --- Colours -----------------------------------------------------------------

COLORREF ShadeMenuColor(COLORREF colour, int amount)
{
    if ((colour & 0xFFFFFF) == 0)
        return RGB(amount, amount, amount);
    auto channel = [amount](int value) { return value > amount ? value - amount : 0; };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

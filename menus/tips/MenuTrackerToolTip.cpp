#include "menus/tips/MenuTrackerToolTip.h"

#include <commctrl.h>

#include "common/LocalizedString.h"
#include "common/TextUtilities.h"
#include "menus/phrasemenu/MenuCommandKeys.h"
#include "menus/phrasemenu/MenuHost.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"

namespace
{

constexpr UINT kRightClickHintId = 293;
constexpr UINT kCharMapTitleId = 302;
constexpr UINT kCharMapTextId = 303;

CString Dashes()
{
    return CString(L'\x2014', 20);
}

bool IsSearchId(UINT id)
{
    return id >= ID_RIGHT_MENU_SEARCH_FIRST && id <= ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA;
}

} // namespace

CMenuTrackerToolTip::CMenuTrackerToolTip() : CMenuToolTip(false) {}

CMenuTrackerToolTip::~CMenuTrackerToolTip()
{
    DestroyTip();
    if (m_programIcon)
        ::DestroyIcon(m_programIcon);
}

HWND CMenuTrackerToolTip::Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style,
                                 LPCWSTR title)
{
    return CMenuToolTip::Create(owner, defaultText, instance, style, title);
}

void CMenuTrackerToolTip::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    CMenuToolTip::OnMenuSelect(item, flags, menu);
}

void CMenuTrackerToolTip::OnEnterIdle(HWND window, WPARAM wParam, LPARAM lParam)
{
    CMenuToolTip::OnEnterIdle(window, wParam, reinterpret_cast<HWND>(lParam));
}

void CMenuTrackerToolTip::PopByClick()
{
    CMenuToolTip::PopByClick();
}

CString CMenuTrackerToolTip::BuildTipText(UINT id, HMENU menu, CString& title)
{
    if (id == ID_RIGHT_MENU_COPY_EXCLUDE_SYMBOLS) {
        return LoadLocalizedTextOr(kCharMapTitleId, L"Copy Exclude Symbols") + L"\n\t" +
               LoadLocalizedTextOr(kCharMapTextId, L"Characters not allowed in file names are removed") +
               L"\x2026" + L"\n" + Dashes() + L"\n" + GetFileNameCharMapText();
    }
    CString text = LoadLocalizedString(id);
    const MenuItemDrawInfo* record = menu ? GetMenuItemDrawInfo(menu, id) : nullptr;
    if (IsSearchId(id)) {
        if (record)
            text += L" [" + GetSingleLinePreview(*record) + L"]";
    } else if (record) {
        title = record->text;
        text = record->GetToolTipText();
    }
    if (!MenuTrackerWindow::IsTrackerContextMenuOpen() && !IsMenuCommandMapped(static_cast<int>(id)))
        text += L"\n" + Dashes() + L"\n\x2026 " +
                LoadLocalizedTextOr(kRightClickHintId, L"Right click here for menu");
    return text;
}

void CMenuTrackerToolTip::GetTipText(CString& text, UINT id, HMENU menu, CString& title)
{
    if (id == 0) {
        HideTip();
        return;
    }
    if (::SendMessageW(GetTipWindow(), TTM_GETMAXTIPWIDTH, 0, 0) == -1)
        ::SendMessageW(GetTipWindow(), TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    text = BuildTipText(id, menu, title);
}

HICON CMenuTrackerToolTip::ProgramIcon()
{
    if (!m_programIcon)
        m_programIcon = static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(GetMenuHost().appIconId), IMAGE_ICON, 16, 16, 0));
    return m_programIcon;
}

INT_PTR CMenuTrackerToolTip::GetIconForId(UINT id)
{
    const TipIconSource source = TrackerTipIconFor(id).first;
    const auto loader = GetMenuHost().loadTipIcon;
    if (source.kind != TipIconKind::ProgramIcon && loader) {
        if (HICON icon = m_icons.Get(source, loader))
            return reinterpret_cast<INT_PTR>(icon);
    }
    HICON program = ProgramIcon();
    return program ? reinterpret_cast<INT_PTR>(program) : TTI_INFO;
}

std::unique_ptr<IMenuTrackerToolTip> CreateMenuTrackerToolTip()
{
    return std::make_unique<CMenuTrackerToolTip>();
}

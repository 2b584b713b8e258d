#include "menus/tips/MenuTrackerWindow.h"

#include <commctrl.h>

#include "common/LocalizedString.h"
#include "common/Settings.h"
#include "menus/phrasemenu/MenuCommandKeys.h"
#include "menus/phrasemenu/MenuHost.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuTrackerOwner.h"
#include "menus/phrasemenu/OwnerDrawnMenuItems.h"
#include "platform/CAppModule.h"

namespace
{
constexpr UINT kHideTrayBalloonMessage = WM_APP + 31;
constexpr int kMenuTextChars = 300;
constexpr int kEnterIdleTipWidth = 300;

constexpr UINT kCopyTextId = 160;
constexpr UINT kCopyExcludeSymbolsTextId = 301;
constexpr UINT kEditTextId = 283;

bool g_contextMenuOpen = false;
MenuTrackerToolTipFactory g_toolTipFactory = nullptr;
std::unique_ptr<IMenuTrackerToolTip> g_trackerToolTip;

struct RightClickCommand
{
    UINT command;
    int action;
};

constexpr RightClickCommand kRightClickCommands[] = {
    {ID_RIGHT_MENU_COPY, kRightMenuCopy},
    {ID_RIGHT_MENU_COPY_EXCLUDE_SYMBOLS, kRightMenuCopyExcludeSymbols},
    {ID_RIGHT_MENU_OPEN_AS_URL, kRightMenuOpenAsUrl},
    {ID_RIGHT_MENU_EDIT, kRightMenuEdit},
    {ID_RIGHT_MENU_OPEN_WITH, kRightMenuOpenWith},
    {ID_RIGHT_MENU_SEARCH_FIRST, kRightMenuSearchFirst},
    {ID_RIGHT_MENU_SEARCH_SECOND, kRightMenuSearchSecond},
    {ID_RIGHT_MENU_SEARCH_DEVELOPER_DOCS, kRightMenuSearchDeveloperDocs},
    {ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA, kRightMenuSearchEncyclopedia},
};

CString LoadTextOr(UINT id, LPCWSTR english)
{
    const CString text = LoadLocalizedString(id);
    return text.IsEmpty() ? CString(english) : text;
}

CString DefaultSearchText(LPCWSTR engine)
{
    return CString(L"Search with ") + engine;
}

// The two texts the pop-up takes from menu resource 205, translated when the
// program has a language object.
class RightMenuResourceTexts
{
public:
    RightMenuResourceTexts()
    {
        CMenuLocalizer* localizer = GetMenuHost().localizer;
        CMenuHolder resource = localizer ? localizer->LoadMenu(MAKEINTRESOURCEW(kRightMenuResourceId))
                                         : CMenuHolder(::LoadMenuW(_Module.GetModuleInstance(),
                                                                   MAKEINTRESOURCEW(kRightMenuResourceId)));
        HMENU items = resource ? ::GetSubMenu(resource, 0) : nullptr;
        if (items && localizer)
            localizer->LocalizeMenu(items);
        m_openAsUrl = ReadItemText(items, ID_RIGHT_MENU_OPEN_AS_URL, L"Open As URL");
        m_openWith = ReadItemText(items, ID_RIGHT_MENU_OPEN_WITH, L"Open With...");
    }

    const CString& OpenAsUrl() const { return m_openAsUrl; }
    const CString& OpenWith() const { return m_openWith; }

private:
    static CString ReadItemText(HMENU menu, UINT command, LPCWSTR english)
    {
        wchar_t text[kMenuTextChars] = {};
        if (!menu || ::GetMenuStringW(menu, command, text, kMenuTextChars - 1, MF_BYCOMMAND) <= 0)
            return CString(english);
        return CString(text);
    }

    CString m_openAsUrl;
    CString m_openWith;
};

void AppendCommand(HMENU menu, UINT command, const CString& text, bool grayed)
{
    ::AppendMenuW(menu, MF_STRING | (grayed ? MF_GRAYED : 0), command, text);
}

bool IsSearchCommand(UINT command)
{
    return command >= ID_RIGHT_MENU_SEARCH_FIRST && command <= ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA;
}

// Sets the process-wide open flag for the lifetime of the pop-up.
class ContextMenuOpenScope
{
public:
    ContextMenuOpenScope() { g_contextMenuOpen = true; }
    ~ContextMenuOpenScope() { g_contextMenuOpen = false; }
    ContextMenuOpenScope(const ContextMenuOpenScope&) = delete;
    ContextMenuOpenScope& operator=(const ContextMenuOpenScope&) = delete;
};
} // namespace

void SetMenuTrackerToolTipFactory(MenuTrackerToolTipFactory factory)
{
    g_toolTipFactory = factory;
}

IMenuTrackerToolTip* GetMenuTrackerToolTip()
{
    return g_trackerToolTip.get();
}

CWndClassInfo& MenuTrackerWindow::GetWndClassInfo()
{
    static CWndClassInfo info(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr);
    info.m_wc.cbWndExtra = 4;
    return info;
}

MenuTrackerWindow::MenuTrackerWindow(MenuTrackerOwner* owner) : m_owner(owner) {}

MenuTrackerWindow::~MenuTrackerWindow()
{
    if (g_trackerToolTip) {
        std::unique_ptr<IMenuTrackerToolTip> tip = std::move(g_trackerToolTip);
        tip->PopByClick();
    }
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
}

HWND MenuTrackerWindow::Create()
{
    const RECT empty = {0, 0, 0, 0};
    return CWindowImpl::Create(HWND_MESSAGE, empty, nullptr, WS_CHILD, 0, MenuOrId(), this);
}

bool MenuTrackerWindow::IsTrackerContextMenuOpen()
{
    return g_contextMenuOpen;
}

CMenuHolder MenuTrackerWindow::BuildRightClickMenu(const MenuItemDrawInfo& info)
{
    CMenuHolder menu(::CreatePopupMenu());
    if (!menu)
        return menu;
    const bool history = info.historyStyle != 0;
    const bool bitmap = info.bitmapFlag != 0;
    const bool bitmapOrDocument = bitmap || info.documentFlag != 0;
    const RightMenuResourceTexts resourceTexts;
    const CString preview = CString(L" [") + GetSingleLinePreview(info) + L"]";

    AppendCommand(menu, ID_RIGHT_MENU_COPY, LoadTextOr(kCopyTextId, L"Copy"), false);
    AppendCommand(menu, ID_RIGHT_MENU_COPY_EXCLUDE_SYMBOLS,
                  LoadTextOr(kCopyExcludeSymbolsTextId, L"Copy Exclude Symbols"),
                  history && bitmapOrDocument);
    AppendCommand(menu, ID_RIGHT_MENU_OPEN_AS_URL, resourceTexts.OpenAsUrl(), bitmapOrDocument);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendCommand(menu, ID_RIGHT_MENU_EDIT, LoadTextOr(kEditTextId, L"Edit"), !history);
    AppendCommand(menu, ID_RIGHT_MENU_OPEN_WITH, resourceTexts.OpenWith(), !history);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendCommand(menu, ID_RIGHT_MENU_SEARCH_FIRST,
                  LoadTextOr(ID_RIGHT_MENU_SEARCH_FIRST, DefaultSearchText(GetFirstSearchEngineName())) +
                      preview,
                  bitmap);
    AppendCommand(menu, ID_RIGHT_MENU_SEARCH_SECOND,
                  LoadTextOr(ID_RIGHT_MENU_SEARCH_SECOND, DefaultSearchText(GetSecondSearchEngineName())) +
                      preview,
                  bitmap);
    AppendCommand(menu, ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA,
                  LoadTextOr(ID_RIGHT_MENU_SEARCH_ENCYCLOPEDIA, L"Search in the encyclopedia") + preview,
                  bitmap);
    AppendCommand(menu, ID_RIGHT_MENU_SEARCH_DEVELOPER_DOCS,
                  LoadTextOr(ID_RIGHT_MENU_SEARCH_DEVELOPER_DOCS, L"Search in the developer documentation") +
                      preview,
                  bitmap);
    return menu;
}

int MenuTrackerWindow::GetRightClickAction(UINT command)
{
    for (const RightClickCommand& entry : kRightClickCommands) {
        if (entry.command == command)
            return entry.action;
    }
    return kRightMenuNoAction;
}

LRESULT MenuTrackerWindow::OnMenuRButtonUp(UINT position, HMENU menu)
{
    const UINT id = ::GetMenuItemID(menu, static_cast<int>(position));
    const bool opensSubMenu =
        id == static_cast<UINT>(-1) || ::GetSubMenu(menu, static_cast<int>(position)) != nullptr;
    const MenuItemDrawInfo* record = id == 0 || opensSubMenu ? nullptr : GetMenuItemDrawInfo(menu, id);
    if (g_contextMenuOpen || id == 0 || opensSubMenu || IsMenuCommandMapped(static_cast<int>(id)) ||
        !record) {
        ::MessageBeep(0xFFFFFFFF);
        return 1;
    }

    CMenuHolder popup = BuildRightClickMenu(*record);
    if (!popup)
        return 1;
    UINT choice = 0;
    {
        ContextMenuOpenScope open;
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        choice = static_cast<UINT>(
            ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RECURSE, cursor.x, cursor.y, 0, m_hWnd, nullptr));
        if (IsSearchCommand(choice))
            ::EndMenu();
        const int action = GetRightClickAction(choice);
        if (action != kRightMenuNoAction && m_owner)
            m_owner->OnRightMenuCommand(static_cast<int>(id), action);
    }
    return 1;
}

bool MenuTrackerWindow::FitRectOnScreen(RECT& rect, int screenWidth, int screenHeight)
{
    bool changed = false;
    if (rect.right > screenWidth) {
        const LONG shift = rect.right - screenWidth;
        rect.left = rect.left - shift > 0 ? rect.left - shift : 0;
        rect.right = screenWidth;
        changed = true;
    }
    if (rect.bottom > screenHeight) {
        const LONG shift = rect.bottom - screenHeight;
        rect.top = rect.top - shift > 0 ? rect.top - shift : 0;
        rect.bottom = screenHeight;
        changed = true;
    }
    return changed;
}

LRESULT MenuTrackerWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    if (result == -1)
        return result;
    CreateToolTip();
    return result;
}

void MenuTrackerWindow::CreateToolTip()
{
    if (!GetSettings().MenuToolTips_V0_94_A22 || !g_toolTipFactory)
        return;
    g_trackerToolTip = g_toolTipFactory();
    if (!g_trackerToolTip)
        return;
    HWND tip = g_trackerToolTip->Create(m_hWnd, L"Ooops! Tip text not found", _Module.GetModuleInstance(),
                                        TTS_NOPREFIX | TTS_NOANIMATE | TTS_CLOSE, GetSideBandText());
    if (!tip)
        return;
    if (m_tipWindow && m_tipWindow != tip)
        ::DestroyWindow(m_tipWindow);
    m_tipWindow = tip;
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(GetPlainMenuFont()), FALSE);
}

void MenuTrackerWindow::DestroyToolTipWindow()
{
    if (!m_tipWindow)
        return;
    if (g_trackerToolTip)
        g_trackerToolTip->PopByClick();
    ::SendMessageW(m_tipWindow, TTM_POP, 0, 0);
    ::ShowWindow(m_tipWindow, SW_HIDE);
    ::DestroyWindow(m_tipWindow);
    m_tipWindow = nullptr;
}

LRESULT MenuTrackerWindow::OnDestroyOrExitMenuLoop(UINT, WPARAM, LPARAM, BOOL& handled)
{
    DestroyToolTipWindow();
    handled = FALSE;
    return 0;
}

LRESULT MenuTrackerWindow::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_owner) {
        handled = FALSE;
        return 0;
    }
    return m_owner->OnMenuMEASUREITEM(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
}

LRESULT MenuTrackerWindow::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_owner) {
        handled = FALSE;
        return 0;
    }
    return m_owner->OnMenuDRAWITEMSTRUCT(m_hWnd, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
}

LRESULT MenuTrackerWindow::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != TTN_SHOW)
        return 0;
    RECT rect = {};
    if (!::GetWindowRect(header->hwndFrom, &rect))
        return FALSE;
    if (!FitRectOnScreen(rect, ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         ::GetSystemMetrics(SM_CYVIRTUALSCREEN)))
        return FALSE;
    ::SetWindowPos(header->hwndFrom, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

LRESULT MenuTrackerWindow::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (m_owner)
        m_owner->OnMenuInitPopup(reinterpret_cast<HMENU>(wParam));
    if (m_balloonPending) {
        m_balloonPending = 0;
        if (HWND main = m_owner ? m_owner->GetMainWindow() : nullptr)
            ::SendMessageW(main, kHideTrayBalloonMessage, 0, 0);
    }
    return 0;
}

LRESULT MenuTrackerWindow::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc();
    if (g_trackerToolTip)
        g_trackerToolTip->OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    return result;
}

LRESULT MenuTrackerWindow::OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    DefWindowProc();
    if (g_trackerToolTip) {
        if (m_tipWindow)
            ::SendMessageW(m_tipWindow, TTM_SETMAXTIPWIDTH, 0, kEnterIdleTipWidth);
        g_trackerToolTip->OnEnterIdle(m_hWnd, wParam, lParam);
    }
    return DefWindowProc();
}

LRESULT MenuTrackerWindow::OnMenuRButtonUpMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return OnMenuRButtonUp(static_cast<UINT>(wParam), reinterpret_cast<HMENU>(lParam));
}

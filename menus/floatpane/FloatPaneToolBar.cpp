#include "menus/floatpane/FloatPaneToolBar.h"

#include "common/HotKeyText.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "menus/floatpane/FloatPaneRes.h"
#include "menus/phrasemenu/MenuHost.h"

#include "platform/WindowsX.h"
#undef SubclassWindow

#include <iterator>

namespace
{
constexpr int kImageSize = 14;

struct ButtonRow
{
    int image;
    int command;
    BYTE style;
};

const ButtonRow kButtons[] = {
    {0, 0, BTNS_SEP},
    {5, kPaneCmdPin, BTNS_BUTTON},
    {1, kPaneCmdMinimizeToCaption, BTNS_BUTTON},
    {-1, 0, BTNS_SEP},
    {3, kPaneCmdCopy, BTNS_BUTTON},
    {2, kPaneCmdEditPhrases, BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN},
    {-1, 0, BTNS_SEP},
    {0, kPaneCmdClose, BTNS_BUTTON},
};

const UINT kImageIcons[] = {IDI_PANE_CLOSE, IDI_PANE_MINIMIZE, IDI_PANE_EDIT,
                            IDI_PANE_COPY,  IDI_PANE_RESTORE,  IDI_PANE_PIN};

// The program commands of the context menu; 0 is a separator.
const UINT kPaneMenuCommands[] = {kPaneCmdPhraseMenu,
                                  kPaneCmdShowAll,
                                  0,
                                  kPaneCmdPin,
                                  0,
                                  kPaneCmdClear,
                                  kPaneCmdReKeep,
                                  0,
                                  kPaneCmdTrayMenu,
                                  kPaneCmdWelcome,
                                  kPaneCmdSounds,
                                  kPaneCmdMuteMode,
                                  kPaneCmdEditPhrases,
                                  0,
                                  kPaneCmdRunAsAdmin,
                                  kPaneCmdCheckUpdates,
                                  kPaneCmdCommandLineKeys,
                                  kPaneCmdHelp,
                                  0,
                                  kPaneCmdClose};

struct CommandText
{
    UINT command;
    const wchar_t* english;
};

const CommandText kCommandTexts[] = {
    {kPaneCmdPhraseMenu, L"Show Phrases Menu"},
    {kPaneCmdShowAll, L"Show All Items"},
    {kPaneCmdPin, L"Pin"},
    {kPaneCmdClear, L"Clear Clipboard History"},
    {kPaneCmdReKeep, L"Keep Clipboard History Again"},
    {kPaneCmdTrayMenu, L"Show Tray Menu"},
    {kPaneCmdWelcome, L"Welcome To Scrivolanter"},
    {kPaneCmdCommandLineKeys, L"Command Line Keys\x2026"},
    {kPaneCmdSounds, L"Sounds"},
    {kPaneCmdMuteMode, L"Mute Mode"},
    {kPaneCmdEditPhrases, L"Edit Phrases and Settings..."},
    {kPaneCmdRunAsAdmin, L"Run As Administrator"},
    {kPaneCmdCheckUpdates, L"Check for Updates..."},
    {kPaneCmdHelp, L"Help"},
    {kPaneCmdHowToLocalize, L"How to Localize..."},
    {kPaneCmdClose, L"Close"},
};

// The tray menu whose (translated) captions the context menu shows.
constexpr UINT kTrayMenuResourceId = 128;

// The command's caption in the tray menu, without its accelerator part; else
// its string's part after the line break, or the English text.
CString CommandCaption(UINT command)
{
    if (CMenuLocalizer* localizer = GetMenuHost().localizer) {
        CString caption = localizer->GetItemText(kTrayMenuResourceId, command);
        const int tab = caption.Find(L'\t');
        if (tab >= 0)
            caption = caption.Left(tab);
        caption.Trim();
        if (!caption.IsEmpty())
            return caption;
    }
    for (const CommandText& row : kCommandTexts) {
        if (row.command != command)
            continue;
        CString text = LoadLocalizedTextOr(command, row.english);
        const int lineBreak = text.Find(L'\n');
        return lineBreak >= 0 ? text.Mid(lineBreak + 1) : text;
    }
    return CString();
}

// The prefix of the current language file ("en" when none is chosen).
CString CurrentLanguagePrefix()
{
    CSettings& settings = GetSettings();
    const CString prefix =
        settings.GetLanguageFileName().IsEmpty() ? CString() : GetLangPrefix(settings.GetLanguageFilePath());
    return prefix.IsEmpty() ? CString(L"en") : prefix;
}

bool IsProgramElevated()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const bool elevated =
        ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
        elevation.TokenIsElevated != 0;
    ::CloseHandle(token);
    return elevated;
}
} // namespace

bool SetWindowTopMost(HWND window, bool on)
{
    if (!::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE))
        return false;
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, on ? (style | WS_EX_TOPMOST) : (style & ~WS_EX_TOPMOST));
    return true;
}

CFloatPaneToolBar::~CFloatPaneToolBar()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    if (m_images)
        ImageList_Destroy(m_images);
}

HWND CFloatPaneToolBar::CreateBar(HWND parent)
{
    HWND bar =
        ::CreateWindowExW(8, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!bar)
        return nullptr;
    if (!SubclassWindow(bar)) {
        ::DestroyWindow(bar);
        return nullptr;
    }
    m_images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 8, 1);
    for (UINT id : kImageIcons) {
        HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                     IMAGE_ICON, kImageSize, kImageSize, 0));
        if (!icon)
            icon = ::LoadIconW(nullptr, IDI_APPLICATION);
        ImageList_AddIcon(m_images, icon);
        ::DestroyIcon(icon);
    }
    ::SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    TBBUTTON buttons[std::size(kButtons)] = {};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        buttons[i].iBitmap = kButtons[i].image;
        buttons[i].idCommand = kButtons[i].command;
        buttons[i].fsStyle = kButtons[i].style;
        buttons[i].fsState = (i == 3 || i == 6) ? 0 : TBSTATE_ENABLED;
    }
    ::SendMessageW(bar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    if (HWND tip = reinterpret_cast<HWND>(::SendMessageW(bar, TB_GETTOOLTIPS, 0, 0)))
        ::SetWindowLongPtrW(tip, GWL_STYLE, ::GetWindowLongPtrW(tip, GWL_STYLE) | TTS_ALWAYSTIP);
    return bar;
}

void CFloatPaneToolBar::SetWatching(bool watching)
{
    const int index = watching ? COLOR_WINDOW : COLOR_GRAYTEXT;
    if (index == m_backgroundIndex)
        return;
    m_backgroundIndex = index;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFloatPaneToolBar::SetHighlight(bool highlight)
{
    if (highlight == m_highlight)
        return;
    m_highlight = highlight;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFloatPaneToolBar::ShowPinned(bool pinned)
{
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TB_PRESSBUTTON, kPaneCmdPin, MAKELPARAM(pinned ? TRUE : FALSE, 0));
}

void CFloatPaneToolBar::ShowCaptionOnly(bool captionOnly)
{
    if (!m_hWnd)
        return;
    ::SendMessageW(m_hWnd, TB_CHANGEBITMAP, kPaneCmdMinimizeToCaption, MAKELPARAM(captionOnly ? 4 : 1, 0));
    ::SendMessageW(m_hWnd, TB_CHECKBUTTON, kPaneCmdMinimizeToCaption,
                   MAKELPARAM(captionOnly ? TRUE : FALSE, 0));
}

CString CFloatPaneToolBar::MakeCounterText(bool captionOnly, int selected, int rows)
{
    CString text;
    if (!captionOnly && selected > 0)
        text.Format(L"%d/%d", selected, rows);
    else
        text.Format(L"%d", rows);
    return text;
}

CString CFloatPaneToolBar::GetTrayMenuCaption(UINT command)
{
    return CommandCaption(command);
}

void CFloatPaneToolBar::SetToolTipTitle(HWND tip, LPCWSTR title, HICON icon)
{
    CString text = title ? title : L"";
    if (text.GetLength() > 97)
        text = text.Left(97) + L"\x2026";
    ::SendMessageW(tip, TTM_SETTITLEW, reinterpret_cast<WPARAM>(icon),
                   reinterpret_cast<LPARAM>(text.GetString()));
}

HMENU CFloatPaneToolBar::BuildContextMenu(bool& created, int& addedFrom, HMENU& languageMenu)
{
    HWND parent = ::GetParent(m_hWnd);
    HMENU menu = ::GetSystemMenu(parent, FALSE);
    created = menu == nullptr;
    if (created)
        menu = ::CreatePopupMenu();
    addedFrom = ::GetMenuItemCount(menu);
    if (addedFrom > 0)
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const bool elevated = IsProgramElevated();
    for (UINT command : kPaneMenuCommands) {
        if (command == 0) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const CString caption = CommandCaption(command);
        if (caption.IsEmpty())
            continue; // a command without a text of its own is left out
        ::AppendMenuW(menu, MF_STRING, command, caption.GetString());
    }
    if (elevated)
        ::EnableMenuItem(menu, kPaneCmdRunAsAdmin, MF_BYCOMMAND | MF_GRAYED);
    const CString hotKey = GetConfiguredHotKeyText();
    if (!hotKey.IsEmpty())
        ::ModifyMenuW(menu, kPaneCmdPhraseMenu, MF_BYCOMMAND | MF_STRING, kPaneCmdPhraseMenu,
                      (CommandCaption(kPaneCmdPhraseMenu) + L"\t" + hotKey).GetString());
    // The tray sets the checks of its switches (Sounds, Mute Mode grey while sounds are off).
    if (m_tray)
        ::SendMessageW(m_tray, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    if (::SendMessageW(parent, m_countMessage, 0, 0) == 0)
        ::EnableMenuItem(menu, kPaneCmdClear, MF_BYCOMMAND | MF_GRAYED);
    if (SendToParent(kPaneTbnIsListEmpty) == 1)
        ::EnableMenuItem(menu, kPaneCmdShowAll, MF_BYCOMMAND | MF_GRAYED);
    const bool captionOnly = SendToParent(kPaneTbnIsCaptionOnly) != 0;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    info.fType = MFT_STRING;
    info.wID = captionOnly ? kPaneCmdExpand : kPaneCmdCollapse;
    CString text =
        captionOnly ? LoadLocalizedTextOr(295, L"Expand Pane") : LoadLocalizedTextOr(296, L"Collapse Pane");
    info.dwTypeData = text.GetBuffer();
    ::InsertMenuItemW(menu, kPaneCmdPin, FALSE, &info);
    text.ReleaseBuffer();
    ::SetMenuDefaultItem(menu, elevated ? kPaneCmdPhraseMenu : kPaneCmdRunAsAdmin, FALSE);
    languageMenu = nullptr;
    if (m_tray) {
        HMENU languages = ::CreatePopupMenu();
        const LRESULT count = ::SendMessageW(m_tray, WM_APP + 33, reinterpret_cast<WPARAM>(languages), 0);
        if (count > 0 && ::GetMenuItemCount(languages) > 0) {
            const CString help = CommandCaption(kPaneCmdHowToLocalize);
            if (!help.IsEmpty()) {
                ::AppendMenuW(languages, MF_SEPARATOR, 0, nullptr);
                ::AppendMenuW(languages, MF_STRING, kPaneCmdHowToLocalize, help.GetString());
            }
            const CString caption =
                LoadLocalizedTextOr(133, L"Language") + L"\t[" + CurrentLanguagePrefix() + L"]";
            ::InsertMenuW(menu, kPaneCmdEditPhrases, MF_BYCOMMAND | MF_POPUP,
                          reinterpret_cast<UINT_PTR>(languages), caption.GetString());
            languageMenu = languages;
        } else
            ::DestroyMenu(languages);
    }
    return menu;
}

void CFloatPaneToolBar::ReleaseContextMenu(HMENU menu, bool created, int addedFrom)
{
    if (created) {
        ::DestroyMenu(menu);
        return;
    }
    while (::GetMenuItemCount(menu) > addedFrom)
        ::DeleteMenu(menu, addedFrom, MF_BYPOSITION);
}

void CFloatPaneToolBar::ShowContextMenu(POINT clientPoint)
{
    const int hit =
        static_cast<int>(::SendMessageW(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&clientPoint)));
    if (hit >= 0) {
        RECT button = {};
        ::SendMessageW(m_hWnd, TB_GETITEMRECT, hit, reinterpret_cast<LPARAM>(&button));
        clientPoint.y = button.bottom;
    }
    POINT screen = clientPoint;
    ::ClientToScreen(m_hWnd, &screen);
    for (;;) {
        bool created = false;
        int addedFrom = 0;
        HMENU languages = nullptr;
        HMENU menu = BuildContextMenu(created, addedFrom, languages);
        m_menuOpen = true;
        const UINT command = static_cast<UINT>(
            ::TrackPopupMenuEx(menu, TPM_RETURNCMD, screen.x, screen.y, ::GetParent(m_hWnd), nullptr));
        ReleaseContextMenu(menu, created, addedFrom);
        m_menuOpen = false;
        const bool language = languages && command >= 33000 && command <= 33049;
        CarryOut(command, screen, language);
        if (!language)
            return;
    }
}

void CFloatPaneToolBar::CarryOut(UINT command, POINT, bool languageMenu)
{
    HWND parent = ::GetParent(m_hWnd);
    if (command == 0)
        return;
    if (languageMenu) {
        ::SendMessageW(m_tray, WM_COMMAND, command, 0);
        return;
    }
    switch (command) {
    case kPaneCmdHelp:
    case kPaneCmdSounds:
    case kPaneCmdMuteMode:
    case kPaneCmdHowToLocalize:
    case kPaneCmdWelcome:
    case kPaneCmdTrayMenu:
    case kPaneCmdCommandLineKeys:
        if (m_tray)
            ::SendMessageW(m_tray, WM_COMMAND, command, 0);
        return;
    case kPaneCmdExpand:
    case kPaneCmdCollapse:
        ::PostMessageW(parent, WM_COMMAND, kPaneCmdMinimizeToCaption, 0);
        return;
    case kPaneCmdPhraseMenu:
        PostToParent(kPaneTbnShowPhraseMenu);
        return;
    case kPaneCmdShowAll:
        SendToParent(kPaneTbnShowAllItemsPinned);
        return;
    default:
        ::SendMessageW(parent, WM_SYSCOMMAND, command, 0);
        return;
    }
}

bool CFloatPaneToolBar::IsOverButton(LPARAM point) const
{
    POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return ::SendMessageW(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)) > 0;
}

void CFloatPaneToolBar::StartHoverTimer()
{
    if (m_hoverTimer)
        return;
    m_hoverTimer = true;
    ::SetTimer(m_hWnd, kHoverTimerId, kHoverDelayMs, nullptr);
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
}

LRESULT CFloatPaneToolBar::SendToParent(int code) const
{
    NMHDR header = {m_hWnd, static_cast<UINT_PTR>(kControlId), static_cast<UINT>(code)};
    return ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header));
}

void CFloatPaneToolBar::PostToParent(int code)
{
    m_posted = {m_hWnd, static_cast<UINT_PTR>(kControlId), static_cast<UINT>(code)};
    ::PostMessageW(::GetParent(m_hWnd), WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&m_posted));
}

LRESULT CFloatPaneToolBar::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT first = {}, last = {};
    const int count = static_cast<int>(::SendMessageW(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    if (count < 2)
        return 0;
    ::SendMessageW(m_hWnd, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&first));
    ::SendMessageW(m_hWnd, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
    const int others = last.right - first.left;
    int width = client.right - others - ::GetSystemMetrics(SM_CXDLGFRAME);
    if (width < 1)
        width = 1;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    info.cx = static_cast<WORD>(width);
    ::SendMessageW(m_hWnd, TB_SETBUTTONINFOW, 0, reinterpret_cast<LPARAM>(&info));
    (void)lParam;
    return 0;
}

LRESULT CFloatPaneToolBar::OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(m_backgroundIndex));
    return 1;
}

LRESULT CFloatPaneToolBar::OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    POINT p = {};
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    if (LOWORD(lParam) != HTCLIENT ||
        ::SendMessageW(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)) > 0) {
        handled = FALSE;
        return 0;
    }
    static HCURSOR sizeAll = ::LoadCursorW(nullptr, IDC_SIZEALL);
    ::SetCursor(sizeAll);
    return TRUE;
}

LRESULT CFloatPaneToolBar::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    StartHoverTimer();
    return result;
}

LRESULT CFloatPaneToolBar::OnMouseLeave(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    m_trackingLeave = false;
    m_hoverTimer = false;
    return result;
}

LRESULT CFloatPaneToolBar::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kHoverTimerId) {
        handled = FALSE;
        return 0;
    }
    if (m_menuOpen)
        return 0;
    ::KillTimer(m_hWnd, kHoverTimerId);
    m_hoverTimer = false;
    const DWORD position = ::GetMessagePos();
    POINT p = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    if (::PtInRect(&window, p))
        SendToParent(kPaneTbnHoverRest);
    return 0;
}

LRESULT CFloatPaneToolBar::OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (wParam & MK_CONTROL) {
        ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    if (IsOverButton(lParam)) {
        handled = FALSE;
        return 0;
    }
    ::KillTimer(m_hWnd, kHoverTimerId);
    m_hoverTimer = false;
    ::PostMessageW(::GetParent(m_hWnd), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    (void)message;
    return 0;
}

LRESULT CFloatPaneToolBar::OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    ::ReleaseCapture();
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (!IsOverButton(lParam))
        StartHoverTimer();
    return result;
}

LRESULT CFloatPaneToolBar::OnLButtonDblClk(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (IsOverButton(lParam)) {
        handled = FALSE;
        return 0;
    }
    ::ReleaseCapture();
    HWND parent = ::GetParent(m_hWnd);
    RECT window = {};
    ::GetWindowRect(parent, &window);
    const int x = (window.left + window.right) / 2;
    const int y = window.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2;
    ::PostMessageW(parent, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(x, y));
    return 0;
}

LRESULT CFloatPaneToolBar::OnRButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

LRESULT CFloatPaneToolBar::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    // The notification's second 32-bit field after the header holds the point: x low, y high word.
    struct ContextMenuRequest
    {
        NMHDR header;
        DWORD first;
        DWORD point;
    };
    const auto* request = reinterpret_cast<const ContextMenuRequest*>(lParam);
    if (!request || request->header.idFrom != 0 || request->header.code != 1) {
        handled = FALSE;
        return 0;
    }
    ShowContextMenu({static_cast<short>(LOWORD(request->point)), static_cast<short>(HIWORD(request->point))});
    return 1;
}

LRESULT CFloatPaneToolBar::OnRButtonDblClk(UINT, WPARAM, LPARAM, BOOL&)
{
    ::ReleaseCapture();
    ::EndMenu();
    SendToParent(kPaneTbnShowPhraseMenu);
    return 0;
}

LRESULT CFloatPaneToolBar::OnMButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    ::ReleaseCapture();
    PostToParent(kPaneTbnShowPhraseMenu);
    return 0;
}

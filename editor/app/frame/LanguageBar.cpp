#include "editor/app/frame/LanguageBar.h"

#include "common/BlinkEffects.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/PathFunctions.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/controls/EditorLook.h"
#include "online/CSCVUrl.h"

#include "platform/WindowsX.h"

#include <algorithm>

namespace LanguageBarCombo
{

void Fill(HWND combo, const CString& folder, const CString& current, const CString& caption,
          const CString& howToText, std::vector<CString>& list)
{
    FillLanguageComboIn(folder, combo, current, caption, list);
    const int item = ComboBox_AddString(combo, howToText);
    if (item >= 0)
        ComboBox_SetItemData(combo, item, static_cast<LPARAM>(-1));
}

UINT SelectedCommand(HWND combo)
{
    const int selected = ComboBox_GetCurSel(combo);
    if (selected < 0)
        return 0;
    const LRESULT data = ComboBox_GetItemData(combo, selected);
    if (data == -1)
        return kHowToLocalizeCommand;
    if (data < 0 || data == CB_ERR)
        return 0;
    return kFirstLanguageCommand + static_cast<UINT>(data);
}

bool Dispatch(HWND combo, HWND mainWindow)
{
    const UINT command = SelectedCommand(combo);
    if (command == 0 || !IsWindow(mainWindow))
        return false;
    if (command == kHowToLocalizeCommand)
        return PostMessageW(mainWindow, WM_COMMAND, command, 0) != FALSE;
    SendMessageW(mainWindow, WM_COMMAND, command, 0);
    return true;
}

CString HowToText(const CString& resourceText)
{
    const int lineBreak = resourceText.Find(L'\n');
    return lineBreak >= 0 ? resourceText.Mid(lineBreak + 1) : resourceText;
}

} // namespace LanguageBarCombo

LanguageBar::LanguageBar(std::vector<CString>* languages) : m_languages(languages) {}

LanguageBar::~LanguageBar()
{
    if (m_attentionFont)
        DeleteObject(m_attentionFont);
}

HWND LanguageBar::GetCombo() const
{
    return m_hWnd ? ::GetDlgItem(m_hWnd, LanguageBarCombo::kComboId) : nullptr;
}

HWND LanguageBar::MainWindow() const
{
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    return root ? root : ::GetParent(m_hWnd);
}

void LanguageBar::StartAttentionTimer()
{
    if (m_hWnd)
        ::SetTimer(m_hWnd, kAttentionTimer, 1500, nullptr);
}

CString LanguageBar::LanguageFolder() const
{
    return m_folder.IsEmpty() ? GetProgramFolder() : AddTrailingBackslash(m_folder);
}

bool LanguageBar::UsesRegionalPages(const CString& language) const
{
    return !language.IsEmpty() && IsRuUrlsLanguageFile(LanguageFolder() + language);
}

void LanguageBar::FillCombo(const CString& current)
{
    HWND combo = GetCombo();
    if (!combo || !m_languages)
        return;
    ComboBox_ResetContent(combo);
    LanguageBarCombo::Fill(
        combo, LanguageFolder(), current, LoadLocalizedTextOr(61214, L"Language"),
        LanguageBarCombo::HowToText(LoadLocalizedTextOr(32776, L"\nHow To Localize Scrivolanter")),
        *m_languages);
}

void LanguageBar::Relocalize(const CString& current)
{
    m_currentLanguage = current;
    FillCombo(current);
    if (m_links.IsWindow()) {
        m_links.UpdateRegionalButtons(UsesRegionalPages(current));
        LayoutLinks();
    }
}

void LanguageBar::LayoutLinks()
{
    HWND combo = GetCombo();
    if (!m_hWnd || !combo)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT comboRect = {};
    ::GetWindowRect(combo, &comboRect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&comboRect), 2);
    const RECT place = {comboRect.right + 10, client.top, client.right, client.bottom};
    if (!m_links.IsWindow()) {
        if (!m_links.CreateBar(m_hWnd, place, kLinksToolBarId, 0x50009951 | CCS_NOPARENTALIGN | CCS_NORESIZE,
                               UsesRegionalPages(m_currentLanguage)))
            return;
        m_links.SetUrlSource([](UINT command) -> CString {
            switch (command) {
            case 32781:
                return CSCVUrl::HomePageUrl();
            case 32795:
                return CSCVUrl::SupportPageUrl();
            case kForumCommand:
                return CSCVUrl::ForumPageUrl();
            case LinksToolBar::kGroupCommand:
                return CSCVUrl::FacebookPageUrl();
            case LinksToolBar::kRegionalGroupCommand:
                return CSCVUrl::VkPageUrl();
            case 32827:
                return CSCVUrl::VideoPageUrl();
            default:
                return CString();
            }
        });
    }
    ::SetWindowPos(m_links.m_hWnd, nullptr, place.left, place.top, std::max(0L, place.right - place.left),
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT LanguageBar::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || !m_links.IsWindow() || header->hwndFrom != m_links.m_hWnd) {
        handled = FALSE;
        return 0;
    }
    return m_links.SendMessage(SCV_REFLECTED_BASE + WM_NOTIFY, wParam, lParam);
}

LRESULT LanguageBar::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    LayoutLinks(); // the bar may be sized before it is ever shown
    return 0;
}

LRESULT LanguageBar::OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = FALSE;
    HWND combo = GetCombo();
    if (wParam && combo && ComboBox_GetCount(combo) == 0)
        FillCombo(m_currentLanguage);
    if (wParam)
        LayoutLinks();
    return 0;
}

LRESULT LanguageBar::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kAttentionTimer) {
        handled = FALSE;
        return 0;
    }
    ::KillTimer(m_hWnd, kAttentionTimer);
    // The combo pulses between the large bold dialog font and its copy of the other weight.
    HFONT fontA = GetBoldLargeDialogFont();
    LOGFONTW description{};
    if (!fontA || !GetObjectW(fontA, sizeof(description), &description)) {
        fontA = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        GetObjectW(fontA, sizeof(description), &description);
    }
    description.lfWeight = description.lfWeight == FW_BOLD ? FW_NORMAL : FW_BOLD;
    if (m_attentionFont)
        DeleteObject(m_attentionFont);
    m_attentionFont = CreateFontIndirectW(&description);
    ::InvalidateRect(GetCombo(), nullptr, TRUE);
    if (!BlinkControlFont(GetCombo(), fontA, m_attentionFont, m_hWnd, kBlinkEndedMessage))
        ::PostMessageW(m_hWnd, kBlinkEndedMessage, 0, 0);
    return 0;
}

LRESULT LanguageBar::OnBlinkEnded(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != 0)
        return 0; // the blink starts
    HWND combo = GetCombo();
    // The blink ends on the attention font: the combo takes the dialog font before that font goes.
    if (combo)
        ::SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetDialogFont()), FALSE);
    if (m_attentionFont) {
        DeleteObject(m_attentionFont);
        m_attentionFont = nullptr;
    }
    ::InvalidateRect(combo, nullptr, TRUE);
    ::SetFocus(combo);
    ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    return 0;
}

LRESULT LanguageBar::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    HWND combo = GetCombo();
    if (!m_attentionFont || !combo || (control != combo && ::GetParent(control) != combo)) {
        handled = FALSE;
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, GetSysColor(message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT LanguageBar::OnCommandMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (LOWORD(wParam) == kForumCommand && HIWORD(wParam) == BN_CLICKED) {
        CSCVUrl::OpenUrl(m_hWnd, CSCVUrl::ForumPageUrl());
        return 0;
    }
    if (LOWORD(wParam) != LanguageBarCombo::kComboId) {
        handled = FALSE;
        return 0;
    }
    HWND combo = reinterpret_cast<HWND>(lParam);
    switch (HIWORD(wParam)) {
    case CBN_CLOSEUP:
        ::SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetDialogFont()), TRUE);
        break;
    case CBN_SELCHANGE:
        LanguageBarCombo::Dispatch(combo, MainWindow());
        break;
    case CBN_DROPDOWN: {
        RECT rect{};
        ::GetWindowRect(combo, &rect);
        ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(2 * (rect.right - rect.left)), 0);
        break;
    }
    default:
        handled = FALSE;
    }
    return 0;
}

#include "editor/controls/PhraseTextToolBar.h"

#include "common/EventSounds.h"
#include "common/LocalizedString.h"

#include <memory>

namespace
{

struct BlinkRecord
{
    HWND toolbar;
    UINT command;
};

DWORD WINAPI ToolBarBlinkThread(LPVOID parameter)
{
    std::unique_ptr<BlinkRecord> record(static_cast<BlinkRecord*>(parameter));
    for (int i = 0; i < 2; ++i) {
        ::SendMessageW(record->toolbar, TB_HIDEBUTTON, record->command, TRUE);
        ::Sleep(400);
        ::SendMessageW(record->toolbar, TB_HIDEBUTTON, record->command, FALSE);
        ::Sleep(100);
    }
    ::PostMessageW(record->toolbar, PhraseTextToolBar::kBlinkEnded, 0, 0);
    return 0;
}

CString TextBeforeNewLine(const CString& text)
{
    const int at = text.Find(L'\n');
    return at >= 0 ? text.Left(at) : text;
}

} // namespace

PhraseTextToolBar::~PhraseTextToolBar()
{
    if (IsWindow())
        DestroyWindow();
}

HWND PhraseTextToolBar::CreateBar(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    if (!Create(parent, rect, nullptr, style, 0, id))
        return nullptr;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    AddButtons();
    SizeTextButtons();
    return m_hWnd;
}

void PhraseTextToolBar::AddButtons()
{
    using namespace PhraseTextCommand;
    m_images.Create(11, COLOR_WINDOW);
    for (UINT icon : {139u, 140u, 137u, 136u, 138u, 141u})
        m_images.AddResourceIcon(icon);
    HICON document = LoadShellFileTypeIcon(L".doc");
    if (m_images.AddIcon(document) < 0)
        m_images.AddResourceIcon(158);
    if (document)
        ::DestroyIcon(document);
    m_images.AddResourceIcon(142);
    m_images.AddResourceIcon(159);
    m_formatImages[1] = m_images.AddResourceIcon(158);
    HICON text = LoadShellFileTypeIcon(L".txt");
    m_formatImages[0] = m_images.AddIcon(text);
    if (text)
        ::DestroyIcon(text);
    m_formatImages[2] = m_images.AddResourceIcon(144);
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Get()));

    const TBBUTTON buttons[] = {
        {0, static_cast<int>(kUndo), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, static_cast<int>(kRedo), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {2, static_cast<int>(kCut), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {3, static_cast<int>(kCopy), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, static_cast<int>(kPaste), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {5, static_cast<int>(kIntoMenuName), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        // With mixed buttons only these three show their captions beside the icon.
        {6, static_cast<int>(kDataFormat), TBSTATE_ENABLED, BTNS_DROPDOWN | BTNS_SHOWTEXT, {}, 0, 0},
        {7, static_cast<int>(kInsertMacro), TBSTATE_ENABLED, BTNS_DROPDOWN | BTNS_SHOWTEXT, {}, 0, 0},
        {8, static_cast<int>(kReadOnly), TBSTATE_ENABLED, BTNS_CHECK | BTNS_SHOWTEXT, {}, 0, 0},
    };
    SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(std::size(buttons)), reinterpret_cast<LPARAM>(buttons));
}

void PhraseTextToolBar::SetButtonTextAndWidth(UINT command, const CString& text, int width)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT | TBIF_SIZE;
    info.pszText = const_cast<wchar_t*>(text.GetString());
    info.cx = static_cast<WORD>(width);
    SendMessage(TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
}

void PhraseTextToolBar::SizeTextButtons()
{
    using namespace PhraseTextCommand;
    const CString macro = LoadLocalizedTextOr(130, L"Macro");
    HDC dc = GetDC();
    const HGDIOBJ oldFont = ::SelectObject(dc, GetFont());
    RECT measured = {};
    ::DrawTextW(dc, macro.GetString(), macro.GetLength(), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    ::SelectObject(dc, oldFont);
    ReleaseDC(dc);

    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_SIZE | TBIF_LPARAM;
    SendMessage(TB_GETBUTTONINFOW, kInsertMacro, reinterpret_cast<LPARAM>(&info));
    int width = measured.right - measured.left;
    if (width == 0) {
        width = 100;
    } else if (info.lParam != 1) {
        width += info.cx + 8;
        info.dwMask = TBIF_LPARAM;
        info.lParam = 1;
        SendMessage(TB_SETBUTTONINFOW, kInsertMacro, reinterpret_cast<LPARAM>(&info));
    }
    SetButtonTextAndWidth(kInsertMacro, macro, width);
    SetButtonTextAndWidth(kReadOnly, LoadLocalizedTextOr(223, L"Read Only"), 160);
}

void PhraseTextToolBar::SetReadOnlyButton(bool checked, bool enabled)
{
    using PhraseTextCommand::kReadOnly;
    if ((SendMessage(TB_ISBUTTONENABLED, kReadOnly, 0) != 0) != enabled)
        SendMessage(TB_ENABLEBUTTON, kReadOnly, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    if ((SendMessage(TB_ISBUTTONCHECKED, kReadOnly, 0) != 0) != checked)
        SendMessage(TB_CHECKBUTTON, kReadOnly, MAKELPARAM(checked ? TRUE : FALSE, 0));
}

bool PhraseTextToolBar::StartReadOnlyBlink(bool withSound)
{
    if (m_isBlinking) {
        if (withSound)
            PlayExclamationSound(true);
        return false;
    }
    auto* record = new BlinkRecord{m_hWnd, PhraseTextCommand::kReadOnly};
    HANDLE thread = ::CreateThread(nullptr, 0, &ToolBarBlinkThread, record, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        delete record;
        return false;
    }
    m_isBlinking = true;
    ::ResumeThread(thread);
    if (withSound)
        PlayExclamationSound(true);
    ::CloseHandle(thread);
    return true;
}

int PhraseTextToolBar::GetDataFormatImage(int format) const
{
    return format >= 0 && format < 3 ? m_formatImages[format] : -1;
}

CString PhraseTextToolBar::GetInfoTip(UINT command) const
{
    CString tip = TextBeforeNewLine(LoadLocalizedString(command));
    if (command == PhraseTextCommand::kDataFormat) {
        static const UINT kModeStrings[] = {32786, 32787, 32803};
        if (m_dataFormatMode >= 0 && m_dataFormatMode < 3) {
            const CString mode = TextBeforeNewLine(LoadLocalizedString(kModeStrings[m_dataFormatMode]));
            tip = tip.IsEmpty() ? mode : tip + L"\n\n" + mode;
        }
    } else if (command == PhraseTextCommand::kInsertMacro) {
        tip += L"   [Ctrl+Alt+K]";
    }
    return tip;
}

LRESULT PhraseTextToolBar::OnBlinkEnded(UINT, WPARAM, LPARAM, BOOL&)
{
    m_isBlinking = false;
    RECT button = {};
    if (SendMessage(TB_GETRECT, PhraseTextCommand::kReadOnly, reinterpret_cast<LPARAM>(&button)))
        InvalidateRect(&button);
    return 0;
}

LRESULT PhraseTextToolBar::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != TBN_GETINFOTIPW) {
        handled = FALSE;
        return 0;
    }
    auto* request = reinterpret_cast<NMTBGETINFOTIPW*>(lParam);
    const CString tip = GetInfoTip(static_cast<UINT>(request->iItem));
    if (request->pszText && request->cchTextMax > 0)
        lstrcpynW(request->pszText, tip.GetString(), request->cchTextMax);
    return 0;
}

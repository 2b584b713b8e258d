#include "editor/app/text/SCVView.h"

#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/RichEditEditing.h"
#include "common/TimedMessageBox.h"
#include "editor/app/text/EditorMacroMenu.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/controls/EditorDialogFonts.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"
#include "editor/controls/MacroColoring.h"
#include "editor/controls/RichEditTextAccess.h"

#include "common/WindowSubclassRegistry.h"
#include "online/CSCVUrl.h"
#include "platform/WindowsX.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include <shellapi.h>

namespace
{

constexpr DWORD kToolbarStyle = 0x50001901;
constexpr DWORD kEditStyle = 0x50201044;
constexpr DWORD kPreviewStyle = 0x50205844;
constexpr wchar_t kPromptMacro[] = L"%PROMPT_TEXT={}%";
constexpr wchar_t kCaption[] = L"Scrivolanter : RedodeZovuva";

constexpr UINT kPreviewCommand = 32841;

// The preview pane tells its view of a right click; the pane itself goes on as usual.
LRESULT PreviewPaneCallback(HWND, UINT message, WPARAM wParam, LPARAM lParam, void* userData, BOOL&, WNDPROC)
{
    if (message == WM_RBUTTONUP)
        PostOwnMessage(static_cast<HWND>(userData), CSCVView::PreviewMenuMessage(), wParam, lParam);
    return 0;
}

// Plain text as a formatted (RTF) text in a plain font: special characters escaped, line breaks as
// paragraphs, characters beyond ASCII as Unicode escapes.
CString PlainTextAsRtf(const CString& text)
{
    CString rtf = L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\plain\\f0\\fs20 ";
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch == L'\r' && i + 1 < text.GetLength() && text[i + 1] == L'\n')
            continue; // the break is written once, for its \n
        if (ch == L'\r' || ch == L'\n') {
            rtf += L"\\par\n";
        } else if (ch == L'\\' || ch == L'{' || ch == L'}') {
            rtf += L'\\';
            rtf += ch;
        } else if (ch == L'\t') {
            rtf += L"\\tab ";
        } else if (ch > 127) {
            CString escaped;
            escaped.Format(L"\\u%d?", static_cast<int>(static_cast<short>(ch)));
            rtf += escaped;
        } else {
            rtf += ch;
        }
    }
    return rtf + L"}";
}

int ToolbarHeight(HWND toolbar)
{
    RECT rect = {};
    ::GetWindowRect(toolbar, &rect);
    return rect.bottom - rect.top;
}

} // namespace

IMPLEMENT_DYNCREATE(CSCVView, CView)

EditEventMaskGuard::EditEventMaskGuard(HWND richEdit) : m_window(richEdit)
{
    const auto mask = static_cast<DWORD>(::SendMessageW(m_window, EM_GETEVENTMASK, 0, 0));
    for (DWORD bit : {static_cast<DWORD>(ENM_CHANGE), static_cast<DWORD>(ENM_SELCHANGE)})
        if (mask & bit)
            m_removed.push_back(bit);
    if (!m_removed.empty())
        ::SendMessageW(m_window, EM_SETEVENTMASK, 0, mask & ~(ENM_CHANGE | ENM_SELCHANGE));
}

EditEventMaskGuard::~EditEventMaskGuard()
{
    if (m_removed.empty())
        return;
    auto mask = static_cast<DWORD>(::SendMessageW(m_window, EM_GETEVENTMASK, 0, 0));
    for (DWORD bit : m_removed)
        mask |= bit;
    ::SendMessageW(m_window, EM_SETEVENTMASK, 0, mask);
}

CSCVView::CSCVView() : m_edit(std::make_unique<PhraseTextEdit>())
{
    m_confirm = [](HWND owner, const CString& text, UINT type) {
        return ShowTimedConfirm(owner, kCaption, text.GetString(), type, 5000, IDCANCEL, false);
    };
}

CSCVView::~CSCVView() = default;

UINT CSCVView::PreviewMenuMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{502D3F05-A15B-42ce-A83F-0A39073EBF36}");
    return message;
}

CDoc* CSCVView::GetEditorDocument() const
{
    return dynamic_cast<CDoc*>(GetDocument());
}

void CSCVView::UseDocumentServices()
{
    CDoc* doc = GetEditorDocument();
    if (!doc)
        return;
    if (!m_store)
        m_store = &doc->GetStore();
    if (!m_previewSource)
        m_previewSource = [doc](int) { return doc->BuildPhrasePreview(false); };
    if (!m_saved)
        m_saved = [](int) { NotePhrasesChanged(); };
    m_previewEnabled = WantsPreview();
}

bool CSCVView::WantsPreview() const
{
    CDoc* doc = GetEditorDocument();
    return doc ? doc->GetSettings().Preview != 0 : m_previewEnabled;
}

bool CSCVView::HasUnsavedText() const
{
    return m_phraseId >= 0 && m_edit->IsWindow() && m_edit->SendMessage(EM_GETMODIFY, 0, 0) != 0;
}

int CSCVView::OnCreate(CREATESTRUCTW* cs)
{
    ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    UseDocumentServices();
    const int width = cs ? cs->cx : 0;
    if (!m_toolbar.CreateBar(m_hWnd, RECT{2, 2, width - 2, 34}, kToolbarId, kToolbarStyle))
        return -1;
    m_toolbar.SendMessage(TB_SETINDENT, 10, 0);
    m_toolbar.SendMessage(TB_SETPADDING, 0, 0x20004);
    m_toolbar.SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd), 0);
    const int top = ToolbarHeight(m_toolbar) + 2;
    if (!m_edit->CreateEdit(m_hWnd, RECT{2, top, width - 2, top + 100}, kEditId, kEditStyle))
        return -1;
    const auto mask = static_cast<DWORD>(m_edit->SendMessage(EM_GETEVENTMASK, 0, 0));
    m_edit->SendMessage(EM_SETEVENTMASK, 0, mask | ENM_LINK | ENM_CHANGE);
    m_edit->SendMessage(EM_AUTOURLDETECT, 1, 0);
    if (m_previewEnabled)
        CreatePreview();
    UpdateToolbarStates();
    return 0;
}

void CSCVView::OnUpdate(CView*, LPARAM hint, CObject* object)
{
    const int id = static_cast<int>(reinterpret_cast<INT_PTR>(object));
    switch (hint) {
    case kHintShowPhrase:
        ShowPhrase(id);
        Invalidate();
        UpdateDataFormatButton();
        UpdateCueText();
        RefreshPreviewNow();
        break;
    case kHintSaveIfModified:
        if (m_edit->SendMessage(EM_GETMODIFY, 0, 0))
            SavePhrase();
        break;
    case kHintSaveAndRefresh:
        if (m_shownFormat != MenuItemRecord::kTypeRtf && CurrentFormat() == MenuItemRecord::kTypeRtf)
            ConvertShownTextToRtf();
        else
            SavePhrase();
        UpdateDataFormatButton();
        UpdateCueText();
        RefreshPreviewNow();
        break;
    case kHintRepaint:
        m_edit->Invalidate();
        m_toolbar.SizeTextButtons(); // the button texts are in the new language
        UpdateDataFormatButton();
        m_toolbar.Invalidate();
        break;
    case kHintFocusEdit:
        m_edit->SetFocus();
        break;
    case kHintFocusAndMacroMenu:
        m_edit->SetFocus();
        ShowInsertMacroMenu();
        break;
    case kHintReadOnlyFromIncluded: {
        const PhraseItemRecord* item = m_store ? m_store->FindItemById(m_phraseId) : nullptr;
        if (item)
            SetReadOnly(!CEditorPhraseStore::IsIncluded(*item));
        break;
    }
    case kHintClear:
        ClearText();
        break;
    case kHintWritable:
        if (id == m_phraseId && m_phraseId >= 0)
            SetReadOnly(false);
        break;
    case kHintPreviewSwitched: {
        m_previewEnabled = WantsPreview();
        if (m_previewEnabled) {
            CreatePreview();
            RefreshPreviewNow();
        } else {
            DestroyPreview();
        }
        RECT client = {};
        GetClientRect(&client);
        Layout(client.right, client.bottom);
        break;
    }
    default:
        break;
    }
}

int CSCVView::CurrentFormat() const
{
    const PhraseItemRecord* item = m_store ? m_store->FindItemById(m_phraseId) : nullptr;
    return item ? item->dataType : -1;
}

void CSCVView::ShowPhrase(int id)
{
    PhraseItemRecord* item = m_store ? m_store->FindItemById(id) : nullptr;
    HWND edit = *m_edit;
    if (!item || item->IsFolder()) {
        m_phraseId = -1;
        m_shownFormat = -1;
        ClearText();
        m_edit->SendMessage(EM_EMPTYUNDOBUFFER, 0, 0);
        m_edit->SendMessage(EM_SETMODIFY, FALSE, 0);
        UpdateToolbarStates();
        return;
    }
    m_phraseId = id;
    m_shownFormat = item->dataType;
    {
        EditEventMaskGuard guard(edit);
        SetReadOnly(false);
        const int format = item->dataType;
        if (format != MenuItemRecord::kTypeRtf || item->body.IsEmpty())
            m_edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetEditorLargeDialogFont()), TRUE);
        if (item->body.IsEmpty())
            ::SetWindowTextW(edit, L"");
        else if (format == MenuItemRecord::kTypeRtf)
            SetRichEditText(edit, item->body);
        else
            StreamIn(edit, item->body.GetString(),
                     static_cast<size_t>(item->body.GetLength()) * sizeof(wchar_t), true, false);
        ColorIfPlain(true);
    }
    m_edit->SendMessage(EM_EMPTYUNDOBUFFER, 0, 0);
    m_edit->SendMessage(EM_SETMODIFY, FALSE, 0);
    SetReadOnly(true);
    m_toolbar.StartReadOnlyBlink(false);
}

void CSCVView::ConvertShownTextToRtf()
{
    PhraseItemRecord* item = m_store ? m_store->FindItemById(m_phraseId) : nullptr;
    if (!item)
        return;
    // The edit shows plain text in the editor's own font and macro colours: the phrase takes the text
    // only, in a plain font, never the look of the editor.
    const bool readOnly = m_edit->IsReadOnly();
    item->body = PlainTextAsRtf(GetRichEditPlainTextAll(*m_edit));
    ShowPhrase(m_phraseId);
    SetReadOnly(readOnly);
    m_edit->SendMessage(EM_SETMODIFY, TRUE, 0);
    SavePhrase();
}

bool CSCVView::SavePhrase()
{
    PhraseItemRecord* item = m_store ? m_store->FindItemById(m_phraseId) : nullptr;
    if (!item)
        return false;
    const bool rtf = item->dataType == MenuItemRecord::kTypeRtf;
    item->body = rtf ? GetRichEditRtfText(*m_edit) : GetRichEditPlainTextAll(*m_edit);
    if (!m_store->SaveItemAndWait(m_phraseId, &m_failedError)) {
        m_failedPath = item->GetPath();
        return false;
    }
    m_edit->SendMessage(EM_SETMODIFY, FALSE, 0);
    if (m_saved)
        m_saved(m_phraseId);
    return true;
}

void CSCVView::ClearText()
{
    EditEventMaskGuard guard(*m_edit);
    ::SetWindowTextW(*m_edit, L"");
    SetReadOnly(true);
}

void CSCVView::SetReadOnly(bool on)
{
    m_edit->SetReadOnly(on);
    m_edit->Invalidate();
    UpdateToolbarStates();
}

void CSCVView::ColorIfPlain(bool wholeText)
{
    if (CurrentFormat() == MenuItemRecord::kTypeRtf)
        return;
    SetPlainTextColoringMode(true);
    if (wholeText)
        ColorWholeText(*m_edit, GetMacroColoringScheme());
    else
        ColorVisibleText(*m_edit, GetMacroColoringScheme());
}

void CSCVView::UpdateDataFormatButton()
{
    const int format = CurrentFormat();
    static const UINT kLabels[] = {61212, 61213, 134};
    static const wchar_t* const kEnglish[] = {L"Plain text", L"Formatted text (RTF)", L"Start application"};
    if (format < 0 || format > 2)
        return;
    m_toolbar.SetDataFormatMode(format);
    const CString label = LoadLocalizedTextOr(kLabels[format], kEnglish[format]);
    wchar_t current[101] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = current;
    info.cchText = 100;
    m_toolbar.SendMessage(TB_GETBUTTONINFOW, PhraseTextCommand::kDataFormat, reinterpret_cast<LPARAM>(&info));
    if (label == current)
        return;
    info.dwMask = TBIF_TEXT | TBIF_IMAGE | TBIF_SIZE;
    info.pszText = const_cast<wchar_t*>(label.GetString());
    info.iImage = m_toolbar.GetDataFormatImage(format);
    info.cx = 180;
    m_toolbar.SendMessage(TB_SETBUTTONINFOW, PhraseTextCommand::kDataFormat, reinterpret_cast<LPARAM>(&info));
}

void CSCVView::UpdateCueText()
{
    const int format = CurrentFormat();
    if (format == MenuItemRecord::kTypeText || format == MenuItemRecord::kTypeRtf)
        m_edit->SetTextId(kCueTextTypeHere);
    else if (format == MenuItemRecord::kTypeExec)
        m_edit->SetTextId(kCueTextApplication);
}

void CSCVView::UpdateToolbarStates()
{
    if (!m_toolbar.IsWindow())
        return;
    using namespace PhraseTextCommand;
    const bool readOnly = m_edit->IsReadOnly();
    const bool selection = m_edit->IsWindow() && m_edit->HasSelection();
    auto enable = [&](UINT command, bool on) {
        if ((m_toolbar.SendMessage(TB_ISBUTTONENABLED, command, 0) != 0) != on)
            m_toolbar.SendMessage(TB_ENABLEBUTTON, command, MAKELPARAM(on ? TRUE : FALSE, 0));
    };
    enable(kUndo, m_edit->SendMessage(EM_CANUNDO, 0, 0) != 0);
    enable(kRedo, m_edit->SendMessage(EM_CANREDO, 0, 0) != 0);
    enable(kCut, selection && !readOnly);
    enable(kCopy, selection);
    enable(kPaste, !readOnly && m_edit->SendMessage(EM_CANPASTE, 0, 0) != 0);
    enable(kIntoMenuName, selection);
    m_toolbar.SetReadOnlyButton(readOnly, m_phraseId >= 0);
}

void CSCVView::ReplaceSelection(const CString& text)
{
    m_edit->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.GetString()));
}

void CSCVView::InsertMacro(int index)
{
    const CString name = GetMacroName(index);
    if (name.IsEmpty())
        return;
    ReplaceSelection(name);
    if (name == kPromptMacro) {
        CHARRANGE range = {};
        m_edit->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        const LONG inside = range.cpMax - 2;
        const CString defaultText = LoadLocalizedTextOr(220, L"Text As Default");
        SetRichEditSelection(*m_edit, inside, inside);
        m_edit->SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(defaultText.GetString()));
        SetRichEditSelection(*m_edit, inside, inside + defaultText.GetLength());
    }
    m_edit->SendMessage(EM_SETMODIFY, TRUE, 0);
}

void CSCVView::RefreshPreviewNow()
{
    if (!m_preview)
        return;
    m_clock->StopTimer(m_hWnd, kLayoutTimer);
    m_clock->StopTimer(m_hWnd, kPreviewTimer);
    ++m_previewRefreshes;
    const CString text = m_previewSource ? m_previewSource(m_phraseId) : CString();
    if (text.IsEmpty()) {
        ::SetWindowTextW(m_preview, L"");
        return;
    }
    if (CurrentFormat() == MenuItemRecord::kTypeRtf)
        SetRichEditText(m_preview, text);
    else
        StreamIn(m_preview, text.GetString(), static_cast<size_t>(text.GetLength()) * sizeof(wchar_t), true,
                 false);
    m_layout = m_clock->KeyboardLayout();
    m_clock->StartTimer(m_hWnd, kLayoutTimer, kLayoutCheck);
}

void CSCVView::OnTimerStep(UINT_PTR id)
{
    if (id == kPreviewTimer) {
        if (m_clock->Now() - m_lastChange > kPreviewDelay) {
            m_clock->StopTimer(m_hWnd, kPreviewTimer);
            RefreshPreviewNow();
        }
        return;
    }
    if (id == kLayoutTimer) {
        const HKL layout = m_clock->KeyboardLayout();
        if (layout != m_layout) {
            m_layout = layout;
            RefreshPreviewNow();
        }
    }
}

void CSCVView::CreatePreview()
{
    if (m_preview)
        return;
    m_preview =
        ::CreateWindowExW(0, L"RichEdit20W", L"", kPreviewStyle, 2, 0, 10, 10, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreviewId)), nullptr, nullptr);
    if (!m_preview)
        return;
    ::SendMessageW(m_preview, EM_SETEVENTMASK, 0, 0);
    SetupRichEditMargins(m_preview);
    ::SendMessageW(m_preview, WM_SETFONT, reinterpret_cast<WPARAM>(GetEditorLargeDialogFont()), FALSE);
    ::SendMessageW(m_preview, EM_SETBKGNDCOLOR, 0, ::GetSysColor(COLOR_INFOBK));
    SubclassWindowWithCallback(m_preview, PreviewPaneCallback, m_hWnd);
    ::ShowWindow(m_preview, SW_SHOW);
}

void CSCVView::DestroyPreview()
{
    if (m_preview) {
        UnsubclassWindowWithCallback(m_preview);
        ::DestroyWindow(m_preview);
    }
    m_preview = nullptr;
    m_clock->StopTimer(m_hWnd, kPreviewTimer);
    m_clock->StopTimer(m_hWnd, kLayoutTimer);
}

void CSCVView::Layout(int width, int height)
{
    const int toolbarHeight = ToolbarHeight(m_toolbar);
    m_toolbar.SetWindowPos(nullptr, 0, 0, width - 2, toolbarHeight,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    const int top = toolbarHeight + 2;
    int editHeight = height - toolbarHeight;
    if (m_preview)
        editHeight /= 2;
    m_edit->SetWindowPos(nullptr, 0, top, width - 4, editHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_preview)
        return;
    const int previewTop = top + editHeight + 2;
    ::SetWindowPos(m_preview, nullptr, 0, previewTop, width - 4, height - previewTop,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CSCVView::TrackUnderButton(HMENU menu, UINT command)
{
    RECT button = {};
    m_toolbar.SendMessage(TB_GETRECT, command, reinterpret_cast<LPARAM>(&button));
    POINT corner = {button.left, button.bottom};
    m_toolbar.ClientToScreen(&corner);
    m_toolbar.SendMessage(TB_PRESSBUTTON, command, TRUE);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y, 0, m_hWnd, nullptr);
    m_toolbar.SendMessage(TB_PRESSBUTTON, command, FALSE);
}

void CSCVView::ShowInsertMacroMenu()
{
    HMENU menu = ::CreatePopupMenu();
    AppendMacroMenuItems(menu);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, 32812, GetMainMenuItemText(32812, L"Documentation On Macro").GetString());
    LocalizeMenu(menu);
    TrackUnderButton(menu, PhraseTextCommand::kInsertMacro);
    ::DestroyMenu(menu);
}

void CSCVView::ShowDataFormatMenu()
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 32786, GetMainMenuItemText(32786, L"Paste As Plain Text").GetString());
    ::AppendMenuW(menu, MF_STRING, 32787,
                  GetMainMenuItemText(32787, L"Paste Formatted Text (RTF)").GetString());
    ::AppendMenuW(menu, MF_STRING, 32803, GetMainMenuItemText(32803, L"Start As Application").GetString());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, 32804, GetMainMenuItemText(32804, L"Test Run\tF5").GetString());
    LocalizeMenu(menu);
    TrackUnderButton(menu, PhraseTextCommand::kDataFormat);
    ::DestroyMenu(menu);
}

LRESULT CSCVView::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (m_toolbar.IsWindow() && m_edit->IsWindow())
        Layout(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT CSCVView::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kPreviewTimer && wParam != kLayoutTimer) {
        handled = FALSE;
        return 0;
    }
    OnTimerStep(wParam);
    return 0;
}

LRESULT CSCVView::OnEditChange(WORD, WORD, HWND, BOOL&)
{
    ColorIfPlain(false);
    if (m_preview) {
        m_lastChange = m_clock->Now();
        m_clock->StartTimer(m_hWnd, kPreviewTimer, kPreviewDelay);
    }
    UpdateToolbarStates();
    return 0;
}

LRESULT CSCVView::OnTypingIntoReadOnly(int, NMHDR*, BOOL&)
{
    m_toolbar.StartReadOnlyBlink(true);
    UINT type = MB_OKCANCEL | MB_ICONQUESTION;
    if (m_previousAnswer == IDCANCEL)
        type |= MB_DEFBUTTON2;
    const int answer =
        m_confirm(m_hWnd, LoadLocalizedTextOr(252, L"Turn off read-only mode in text editor?"), type);
    m_previousAnswer = answer;
    if (answer == IDOK)
        SetReadOnly(!m_edit->IsReadOnly());
    return 0;
}

LRESULT CSCVView::OnLink(int, NMHDR* header, BOOL& handled)
{
    auto* link = reinterpret_cast<ENLINK*>(header);
    if (link->msg != WM_LBUTTONDOWN || m_edit->HasSelection()) {
        handled = FALSE;
        return 0;
    }
    const CString target = GetRichEditTextRange(*m_edit, link->chrg.cpMin, link->chrg.cpMax);
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(m_hWnd, L"open", target.GetString(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    if (result <= 32)
        ::MessageBeep(static_cast<UINT>(-1));
    return 1;
}

LRESULT CSCVView::OnToolbarDropDown(int, NMHDR* header, BOOL& handled)
{
    const auto* dropDown = reinterpret_cast<NMTOOLBARW*>(header);
    if (dropDown->iItem == static_cast<int>(PhraseTextCommand::kInsertMacro)) {
        ShowInsertMacroMenu();
        return TBDDRET_DEFAULT;
    }
    if (dropDown->iItem == static_cast<int>(PhraseTextCommand::kDataFormat)) {
        ShowDataFormatMenu();
        return TBDDRET_DEFAULT;
    }
    handled = FALSE;
    return 0;
}

LRESULT CSCVView::OnToolbarCustomDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        RECT client = {};
        m_toolbar.GetClientRect(&client);
        ::FillRect(draw->nmcd.hdc, &client, ::GetSysColorBrush(m_edit->GetBackgroundColorIndex()));
        return CDRF_NOTIFYITEMDRAW;
    }
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        draw->nmcd.dwItemSpec == PhraseTextCommand::kReadOnly && m_toolbar.IsBlinking()) {
        draw->clrText = draw->clrTextHighlight = draw->clrHighlightHotTrack = RGB(255, 0, 0);
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

LRESULT CSCVView::OnInsertMacro(WORD, WORD id, HWND, BOOL&)
{
    InsertMacro(id - 30100);
    return 0;
}

LRESULT CSCVView::OnUndo(WORD, WORD, HWND, BOOL&)
{
    m_edit->SendMessage(EM_UNDO, 0, 0);
    return 0;
}

LRESULT CSCVView::OnRedo(WORD, WORD, HWND, BOOL&)
{
    m_edit->SendMessage(EM_REDO, 0, 0);
    return 0;
}

LRESULT CSCVView::OnClear(WORD, WORD, HWND, BOOL&)
{
    m_edit->Clear();
    return 0;
}

LRESULT CSCVView::OnCut(WORD, WORD, HWND, BOOL&)
{
    if (!m_edit->IsReadOnly())
        m_edit->SendMessage(WM_CUT, 0, 0);
    return 0;
}

LRESULT CSCVView::OnCopy(WORD, WORD, HWND, BOOL&)
{
    m_edit->SendMessage(WM_COPY, 0, 0);
    return 0;
}

LRESULT CSCVView::OnPaste(WORD, WORD, HWND, BOOL&)
{
    if (!m_edit->IsReadOnly())
        m_edit->SendMessage(WM_PASTE, 0, 0);
    return 0;
}

LRESULT CSCVView::OnSelectAll(WORD, WORD, HWND, BOOL&)
{
    SetRichEditSelection(*m_edit, 0, -1);
    return 0;
}

LRESULT CSCVView::OnBold(WORD, WORD, HWND, BOOL&)
{
    if (CurrentFormat() == MenuItemRecord::kTypeRtf)
        m_edit->SetBold(!m_edit->IsBold());
    return 0;
}

LRESULT CSCVView::OnItalic(WORD, WORD, HWND, BOOL&)
{
    if (CurrentFormat() == MenuItemRecord::kTypeRtf)
        m_edit->SetItalic(!m_edit->IsItalic());
    return 0;
}

LRESULT CSCVView::OnUnderline(WORD, WORD, HWND, BOOL&)
{
    if (CurrentFormat() == MenuItemRecord::kTypeRtf)
        m_edit->SetUnderline(!m_edit->IsUnderline());
    return 0;
}

LRESULT CSCVView::OnIntoMenuName(WORD, WORD, HWND, BOOL&)
{
    CString name = GetRichEditSelectionText(*m_edit);
    name.Trim(L"\r\n\t ");
    if (name.IsEmpty())
        return 0;
    m_menuName = name;
    // The object of the hint is the new name; the phrases pane gives it to the selected phrase.
    CObject* text = reinterpret_cast<CObject*>(&m_menuName);
    if (CDoc* doc = GetEditorDocument())
        doc->UpdateViewsForItem(this, kHintMenuName, text);
    else if (CDocument* document = GetDocument())
        document->UpdateAllViews(nullptr, kHintMenuName, text);
    return 0;
}

LRESULT CSCVView::OnInsertTab(WORD, WORD, HWND, BOOL&)
{
    ReplaceSelection(L"\t");
    m_edit->SendMessage(EM_SETMODIFY, TRUE, 0);
    return 0;
}

LRESULT CSCVView::OnInsertMacroMenu(WORD, WORD, HWND, BOOL&)
{
    ShowInsertMacroMenu();
    return 0;
}

LRESULT CSCVView::OnDataFormatMenu(WORD, WORD, HWND, BOOL&)
{
    ShowDataFormatMenu();
    return 0;
}

LRESULT CSCVView::OnToggleReadOnly(WORD, WORD, HWND, BOOL&)
{
    if (m_phraseId >= 0)
        SetReadOnly(!m_edit->IsReadOnly());
    m_toolbar.Invalidate();
    return 0;
}

BOOL CSCVView::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && m_edit->IsWindow() && msg->hwnd == *m_edit) {
        CWinApp* app = CWinApp::GetApp();
        auto* doc = dynamic_cast<CDoc*>(app ? app->GetActiveDocument() : nullptr);
        if (!doc)
            doc = GetEditorDocument();
        if (doc)
            doc->UpdateViewsForItem(this, kHintFocusTree, nullptr);
        return TRUE;
    }
    UpdateToolbarStates();
    return CView::PreTranslateMessage(msg);
}

BOOL CSCVView::OnCmdMsg(UINT id, int code, void* extra)
{
    if (CView::OnCmdMsg(id, code, extra))
        return TRUE;
    CDocument* doc = GetDocument();
    return doc && doc->OnCmdMsg(id, code, extra);
}

LRESULT CSCVView::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (HIWORD(lParam) == 0)
        UpdateMenuCmdUI(reinterpret_cast<HMENU>(wParam), this, TRUE);
    return 0;
}

LRESULT CSCVView::OnPreviewMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (!m_preview)
        return 0;
    CWinApp* app = CWinApp::GetApp();
    CWnd* main = app ? app->GetMainWnd() : nullptr;
    HWND owner = main && main->m_hWnd ? main->m_hWnd : ::GetAncestor(m_hWnd, GA_ROOT);
    HMENU frameMenu = ::GetMenu(owner);
    CString text = GetMainMenuItemText(kPreviewCommand, L"Preview\tF3");
    UINT state = 0;
    if (frameMenu) {
        wchar_t buffer[256] = {};
        if (::GetMenuStringW(frameMenu, kPreviewCommand, buffer, 255, MF_BYCOMMAND) > 0)
            text = buffer;
        const UINT frameState = ::GetMenuState(frameMenu, kPreviewCommand, MF_BYCOMMAND);
        if (frameState != static_cast<UINT>(-1))
            state = frameState & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
    }
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuW(popup, MF_STRING | state, kPreviewCommand, text.GetString());
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_preview, &point);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, point.x, point.y, 0, owner, nullptr);
    ::DestroyMenu(popup);
    return 0;
}

LRESULT CSCVView::OnMacroDocumentation(WORD, WORD, HWND, BOOL&)
{
    CSCVUrl::OpenUrl(m_hWnd, CSCVUrl::FaqPageUrl().GetString());
    return 0;
}

void CSCVView::OnUpdateEditCommand(CCmdUI* ui)
{
    const bool readOnly = m_edit->IsReadOnly();
    const bool selection = m_edit->IsWindow() && m_edit->HasSelection();
    switch (ui->m_nID) {
    case 57643:
        ui->Enable(m_edit->SendMessage(EM_CANUNDO, 0, 0) != 0);
        break;
    case 57644:
        ui->Enable(m_edit->SendMessage(EM_CANREDO, 0, 0) != 0);
        break;
    case 57632:
    case 57635:
        ui->Enable(selection && !readOnly);
        break;
    case 57637:
        ui->Enable(!readOnly && m_edit->SendMessage(EM_CANPASTE, 0, 0) != 0);
        break;
    case 57642: {
        GETTEXTLENGTHEX length = {GTL_NUMCHARS, 1200};
        const auto count =
            static_cast<LONG>(m_edit->SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
        CHARRANGE range = {};
        m_edit->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        ui->Enable(count > 0 && !(range.cpMin == 0 && range.cpMax >= count));
        break;
    }
    default: // copy, into menu name
        ui->Enable(selection);
        break;
    }
}

void CSCVView::OnUpdateEffect(CCmdUI* ui)
{
    const int format = CurrentFormat();
    ui->Enable(m_phraseId < 0 || format == MenuItemRecord::kTypeRtf);
    bool on = false;
    if (m_edit->IsWindow()) {
        if (ui->m_nID == 32788)
            on = m_edit->IsBold();
        else if (ui->m_nID == 32789)
            on = m_edit->IsItalic();
        else
            on = m_edit->IsUnderline();
    }
    ui->SetCheck(on ? 1 : 0);
}

void CSCVView::OnUpdateReadOnly(CCmdUI* ui)
{
    ui->Enable(m_phraseId >= 0);
    ui->SetCheck(m_edit->IsReadOnly() ? 1 : 0);
}

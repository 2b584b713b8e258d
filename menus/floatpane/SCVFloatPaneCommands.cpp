// The floating pane's commands and its item menu.

#include "menus/floatpane/SCVFloatPane.h"
#include "common/CodePageDetection.h"
#include "common/WellKnownNames.h"

#include "common/HandedOutAddresses.h"
#include "common/LocalizedString.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "common/TextUtilities.h"
#include "common/TimedMessageBox.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardHistoryTexts.h"
#include "menus/floatpane/FloatPaneSaveDialogHook.h"
#include "menus/floatpane/FloatPaneTexts.h"
#include "menus/phrasemenu/PopupMenuRes.h"
#include "platform/CAppModule.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

namespace
{
constexpr int kPaneMenuTextChars = 260;

bool IsTextLike(int type)
{
    return type == CHT_ANSI_TEXT || type == CHT_UNICODE_TEXT || type == CHT_RTF || type == CHT_HTML;
}

CString MenuText(HMENU menu, UINT command)
{
    wchar_t text[kPaneMenuTextChars] = {};
    ::GetMenuStringW(menu, command, text, kPaneMenuTextChars - 1, MF_BYCOMMAND);
    return text;
}

void SetMenuText(HMENU menu, UINT command, const CString& text)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    CString copy = text;
    info.dwTypeData = copy.GetBuffer();
    ::SetMenuItemInfoW(menu, command, FALSE, &info);
    copy.ReleaseBuffer();
}

void Enable(HMENU menu, UINT command, bool enabled)
{
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// Inserts the text before the accelerator part of the item's text.
void InsertBeforeAccelerator(HMENU menu, UINT command, const CString& insert)
{
    CString text = MenuText(menu, command);
    if (text.IsEmpty())
        return;
    const int tab = text.Find(L'\t');
    if (tab > 1)
        text = text.Left(tab) + L" " + insert + text.Mid(tab);
    else
        text += L" " + insert;
    SetMenuText(menu, command, text);
}

CString PlainItemText(const CCHItem& item)
{
    if (item.GetType() == CHT_ANSI_TEXT)
        return CString(item.GetByteText().c_str());
    if (item.GetType() == CHT_UNICODE_TEXT)
        return item.GetWideText();
    return CString();
}
} // namespace

LRESULT CSCVFloatPane::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!RunCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        handled = FALSE;
    return 0;
}

bool CSCVFloatPane::RunCommand(UINT command, UINT code, HWND source)
{
    HWND tray = m_host ? m_host->GetTrayWindow() : nullptr;
    const int mark = GetSelectionMark();
    CCHItem* item = ItemAt(mark);
    switch (command) {
    case kPaneCmdEditPhrases:
        if (tray)
            ::PostMessageW(tray, WM_COMMAND, command, 0);
        SetCaptionOnly(1, 1);
        return true;
    case kPaneCmdKeepHistory:
        if (tray)
            ::PostMessageW(tray, WM_COMMAND, command, 0);
        return true;
    case kPaneCmdClear:
        CommandClear();
        return true;
    case kPaneCmdCopy:
        if (source && source == m_toolBar.m_hWnd)
            ::SetTimer(m_hWnd, kTimerCopyToTarget, 100, nullptr);
        else if (!CopyRowToClipboard(mark, false))
            ::MessageBeep(0xFFFFFFFF);
        return true;
    case kPaneCmdProtect:
        CommandProtect();
        return true;
    case kPaneCmdSave:
        CommandSave();
        return true;
    case kPaneCmdDelete:
        CommandDelete(code == 1);
        return true;
    case kPaneCmdCopyPlain:
        if (mark < 0)
            return true;
        if (!item || !m_history || !m_history->PutItemAsPlainText(mark))
            ::MessageBeep(0xFFFFFFFF);
        ArmReselect(item);
        return true;
    case kPaneCmdMinimizeToCaption:
        SetCaptionOnly(!m_captionOnly, 1);
        return true;
    case kPaneCmdUpper:
    case kPaneCmdLower:
    case kPaneCmdTrim:
    case kPaneCmdJoin:
        CommandTransform(command);
        return true;
    case kPaneCmdOpenAsUrl:
        if (m_host && item)
            m_host->OpenUrl(GetRowText(mark));
        return true;
    case kPaneCmdEmptyClipboard:
        if (!::OpenClipboard(m_hWnd)) {
            ::MessageBeep(0xFFFFFFFF);
            return true;
        }
        ::EmptyClipboard();
        ::CloseClipboard();
        return true;
    case kPaneCmdPin:
        SetPinned(!m_pinned);
        return true;
    case kPaneCmdRun:
        if (m_host && item)
            m_host->RunCommand(GetRowText(mark));
        return true;
    case kPaneCmdEdit:
    case kPaneCmdOpenWith:
        if (m_host && item && Queue() &&
            !m_host->OpenItemInTempFile(*Queue(), mark, m_hWnd, command == kPaneCmdEdit)) {
            ::MessageBeep(0xFFFFFFFF);
            MessageBoxTimeout(m_hWnd, kProductName,
                              L"This item cannot be opened: it has no file type to open with.",
                              MB_ICONEXCLAMATION, 3000);
        }
        return true;
    case kPaneCmdUndo:
        CommandUndo();
        return true;
    case kPaneCmdSearchFirst:
    case kPaneCmdSearchSecond:
    case kPaneCmdSearchEncyclopedia:
    case kPaneCmdSearchDeveloper: {
        static const int kinds[] = {5, 6, 8, 7};
        if (m_host && item)
            m_host->SearchWeb(GetRowText(mark), kinds[command - kPaneCmdSearchFirst]);
        return true;
    }
    case kPaneCmdPhraseMenu:
        CommandShowPhraseMenu();
        return true;
    case kPaneCmdCopySourceUrl:
        if (!item || !item->HasUrl() || !PutClipboardUnicodeText(item->GetUrl().GetString()))
            ::MessageBeep(0xFFFFFFFF);
        return true;
    case kPaneCmdOpenSourceUrl:
        if (item && item->HasUrl())
            ::ShellExecuteW(m_hWnd, L"open", item->GetUrl().GetString(), nullptr, nullptr, SW_SHOW);
        return true;
    case kPaneCmdCopyAsRtf:
    case kPaneCmdCopyAsHtml:
        CommandCopyPart(command);
        return true;
    case kPaneCmdClearUndo:
        if (CCHQueue* queue = Queue())
            queue->ClearUndo();
        return true;
    case kPaneCmdShowAll:
        ShowAllItems(0, false);
        return true;
    case kPaneCmdSaveAsPhrase:
        CommandSaveAsPhrase();
        return true;
    case kPaneCmdCopyHtmlCode:
        CommandCopyHtmlCode();
        return true;
    case kPaneCmdSelectAll:
        if (!m_list.m_hWnd || m_list.SelectAllItems() == 0)
            ::MessageBeep(0xFFFFFFFF);
        return true;
    case kPaneCmdCopyExcludeSymbols: {
        CString text = item && IsTextLike(item->GetType()) ? PlainItemText(*item) : CString();
        const int replaced = text.IsEmpty() ? 0 : ReplaceFileNameForbiddenChars(text);
        if (replaced <= 0 || text.IsEmpty() || !PutClipboardUnicodeText(text.GetString()))
            ::MessageBeep(0xFFFFFFFF);
        return true;
    }
    case kPaneCmdCollapse:
        if (!m_captionOnly && FocusIsInsidePane())
            SetCaptionOnly(1, 1);
        return true;
    case kPaneCmdClose:
        m_closedByButton = true;
        PostMessageW(WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    default:
        return false;
    }
}

void CSCVFloatPane::CommandClear()
{
    if (!m_history)
        return;
    m_history->ClearHistory();
    m_history->ScheduleSave();
    RefreshIfOpen();
}

void CSCVFloatPane::CommandProtect()
{
    const int mark = GetSelectionMark();
    CCHItem* markItem = ItemAt(mark);
    if (!markItem)
        return;
    const bool state = !markItem->IsProtected();
    bool save = false;
    for (int row : SelectedRows())
        if (CCHItem* item = ItemAt(row))
            save = item->SetProtected(state) == 2 || save;
    RefreshIfOpen();
    ListView_RedrawItems(m_list.m_hWnd, 0, GetRowCount() - 1);
    if (save && m_history)
        m_history->ScheduleSave();
}

void CSCVFloatPane::CommandTransform(UINT command)
{
    if (!m_history)
        return;
    const int pinned = m_pinned;
    m_pinned = 1; // the result box must not collapse the pane
    int total = 0;
    bool changed = false;
    for (int row : SelectedRows()) {
        int result = 0;
        if (command == kPaneCmdUpper || command == kPaneCmdLower)
            result = m_history->ChangeItemCase(command == kPaneCmdUpper, row) ? 1 : 0;
        else if (command == kPaneCmdTrim)
            result = m_history->TrimItemText(row);
        else
            result = m_history->JoinItemLines(row);
        if (result <= 0)
            continue;
        total += result;
        changed = true;
        ListView_Update(m_list.m_hWnd, row);
        if (CCHItem* item = ItemAt(row))
            m_list.SetItemInfoTip(MakeItemTipText(*item, 1024).GetString(), row);
    }
    if (changed) {
        RefreshIfOpen();
        ::RedrawWindow(m_list.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    if (command == kPaneCmdTrim || command == kPaneCmdJoin) {
        CString text;
        text.Format(L"%s: %d",
                    (command == kPaneCmdTrim ? LoadLocalizedTextOr(IDS_MENU_REMOVED_CHARS, L"Removed chars")
                                             : LoadLocalizedTextOr(IDS_MENU_JOINED_LINES, L"Joined lines"))
                        .GetString(),
                    total);
        MessageBoxTimeout(m_hWnd, kProductName, text.GetString(),
                          total ? MB_ICONINFORMATION : MB_ICONEXCLAMATION, 3000);
    }
    m_pinned = pinned;
}

void CSCVFloatPane::CommandUndo()
{
    CCHQueue* queue = Queue();
    if (queue && queue->DoUndo()) {
        m_list.SetVirtualItemCount(queue->GetCount(), -1);
        ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
        if (m_history)
            m_history->ScheduleSave();
    }
    RefreshIfOpen();
}

void CSCVFloatPane::CommandDelete(bool fromAccelerator)
{
    if (GetRowCount() == 0 || !m_history)
        return;
    std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    // The boxes below let captures in: the items are followed by their keys, not their rows.
    const std::vector<CString> keys = KeysOfRows(rows);
    const CString firstText = GetRowText(rows.front()).Left(260);
    if (fromAccelerator) {
        CString text;
        text.Format(L"%s [%d]\n\n[%s]", LoadLocalizedTextOr(kPaneCmdDelete, L"Delete").GetString(),
                    static_cast<int>(rows.size()), firstText.GetString());
        if (rows.size() > 1)
            text += L"\n\t\x2026 \x2026 \x2026 " +
                    (m_host ? m_host->FormatAndMoreText(static_cast<int>(rows.size()) - 1) : CString()) +
                    L"\n ";
        const CString caption = CString(L"Scrivolanter : ") + L"Delete";
        if (ShowTimedConfirm(m_hWnd, caption.GetString(), text.GetString(), MB_OKCANCEL | MB_ICONQUESTION,
                             7000, IDCANCEL, true) != IDOK)
            return;
    }
    m_collapseSuppressed = 1;
    int protectedCount = 0;
    for (int row : rows)
        if (const CCHItem* item = ItemAt(row); item && item->IsProtected())
            ++protectedCount;
    static bool deleteProtected = false;
    if (protectedCount > 0) {
        CString text;
        text.Format(
            L"%s [%d]\n\n[%s]",
            LoadLocalizedTextOr(298, L"Some of the selected items are protected. Delete?").GetString(),
            static_cast<int>(rows.size()), firstText.GetString());
        if (rows.size() > 1)
            text += L"\n\x2026 \x2026 \x2026";
        CString check;
        check.Format(L"%s [%d]", LoadLocalizedTextOr(299, L"Delete protected items too").GetString(),
                     protectedCount);
        if (ShowTimedCheckBoxMessage(m_hWnd, MB_OKCANCEL | MB_ICONQUESTION, text.GetString(), kProductName,
                                     check.GetString(), &deleteProtected) == IDCANCEL) {
            m_collapseSuppressed = 0;
            return;
        }
    }
    std::set<int> rowSet;
    for (const CString& key : keys)
        if (const int row = RowOfKey(key); row >= 0)
            rowSet.insert(row);
    if (rowSet.empty()) {
        ::MessageBeep(0xFFFFFFFF);
        m_collapseSuppressed = 0;
        return;
    }
    const int rowAbove = *rowSet.begin() - 1;
    const CString note =
        CString(L"From command: \"Delete\", ") + (fromAccelerator ? L"(by accelerator)" : L"(by menu)");
    if (m_history->RemoveItems(rowSet, true, protectedCount > 0 && deleteProtected, note))
        AfterRemoval(rowAbove);
    else
        ::MessageBeep(0xFFFFFFFF);
    m_collapseSuppressed = 0;
}

void CSCVFloatPane::AfterRemoval(int rowAbove)
{
    CCHQueue* queue = Queue();
    m_list.SetVirtualItemCount(queue ? queue->GetCount() : 0, -1);
    ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
    if (m_history)
        m_history->ScheduleSave();
    RefreshIfOpen();
    ListView_SetItemState(m_list.m_hWnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(m_list.m_hWnd, -1);
    if (rowAbove >= 0)
        PostMessageW(WM_PANE_SELECT, rowAbove, 0);
}

void CSCVFloatPane::CommandCopyPart(UINT command)
{
    CCHItem* item = ItemAt(GetSelectionMark());
    CCHItem* part = item ? item->FindPart(command == kPaneCmdCopyAsRtf ? CHT_RTF : CHT_HTML) : nullptr;
    if (!part) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    const UINT format = command == kPaneCmdCopyAsRtf ? GetRtfClipboardFormat() : GetHtmlClipboardFormat();
    const SIZE_T length = part->GetSize() > 0 ? part->GetSize() : 0;
    const char* bytes = static_cast<const char*>(part->GetData());
    const SIZE_T size = length ? length : (bytes ? strlen(bytes) : 0);
    if (!size || !PutClipboardData(format, bytes, size))
        ::MessageBeep(0xFFFFFFFF);
}

void CSCVFloatPane::CommandCopyHtmlCode()
{
    CCHItem* item = ItemAt(GetSelectionMark());
    CCHItem* html = item ? item->FindHtmlPart() : nullptr;
    if (!html || !html->GetData()) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    if (!m_comInitialised)
        m_comInitialised = SUCCEEDED(::CoInitialize(nullptr));
    const std::string bytes = html->GetByteText();
    // The code page the bytes read as; "HTML Format" is UTF-8 when nothing says otherwise.
    int codePage = DetectTextCodePage(bytes.data(), static_cast<int>(bytes.size()));
    if (codePage <= 0 || !::IsValidCodePage(static_cast<UINT>(codePage)))
        codePage = CP_UTF8;
    CString text = MultiByteToWideString(bytes.c_str(), static_cast<UINT>(codePage));
    const int start = text.Find(L"<html>");
    if (start > 0)
        text = text.Mid(start);
    if (!PutClipboardUnicodeText(text.GetString()))
        ::MessageBeep(0xFFFFFFFF);
}

void CSCVFloatPane::CommandSaveAsPhrase()
{
    const CString text = GetSelectedItemData(0);
    HWND tray = m_host ? m_host->GetTrayWindow() : nullptr;
    if (text.IsEmpty() || !tray) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    const CTextHandOverScope handOver(text.GetString());
    if (::SendMessageW(tray, WM_APP + 26, 0, reinterpret_cast<LPARAM>(text.GetString())) == 0)
        ::MessageBeep(0xFFFFFFFF);
}

void CSCVFloatPane::CommandShowPhraseMenu()
{
    if (!SendMessageW(WM_PANE_SELECT, 1, 0)) {
        MessageBoxTimeout(m_hWnd, kProductName, L"Error on sending to pane", MB_ICONEXCLAMATION, 5000);
        LogError(L"Error on sending to pane");
    }
    ShowWindow(SW_HIDE);
    HWND tray = m_host ? m_host->GetTrayWindow() : nullptr;
    if (!tray || !::SendMessageW(tray, WM_COMMAND, kPaneCmdPhraseMenu, 0)) {
        MessageBoxTimeout(m_hWnd, kProductName, L"Error on sending to app", MB_TOPMOST | MB_ICONEXCLAMATION,
                          5000);
        LogError(L"Error on sending to app");
    }
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CSCVFloatPane::CommandSave()
{
    for (int row : SelectedRows())
        if (!SaveRowToFile(row))
            return;
}

int CSCVFloatPane::SaveRowToFile(int row)
{
    CCHItem* item = ItemAt(row);
    if (!item || !m_host)
        return 0;
    const PaneSaveDialogSpec spec = MakeSaveDialogSpec(*item);
    const std::wstring filter = MakeNulSeparatedFilter(spec.filter);
    CString title = LoadLocalizedTextOr(kPaneCmdSave, L"Save");
    if (!title.IsEmpty())
        title = L"Scrivolanter : " + title;
    CString folder;
    {
        wchar_t buffer[MAX_PATH] = {};
        const CString ini = GetSettings().GetFiles().GetSettingsFilePath();
        ::GetPrivateProfileStringW(L"Settings", L"DirectoryForSave", L"", buffer, MAX_PATH, ini.GetString());
        folder = buffer;
    }
    if (!folder.IsEmpty() && folder.Right(1) != L"\\")
        folder += L"\\";
    std::wstring file(2601, L'\0');
    ::lstrcpynW(&file[0], spec.suggestedName.GetString(), 2600);
    ::LoadLibraryW(L"comdlg32.dll");
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_hWnd;
    dialog.hInstance = ::GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = &file[0];
    dialog.nMaxFile = 2600;
    dialog.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    dialog.lpstrTitle = title.IsEmpty() ? nullptr : title.GetString();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
    dialog.lpfnHook = FloatPaneSaveDialogHook;
    dialog.lCustData = m_host->IsElevated() ? kPaneIconElevated : kPaneIconNormal;
    const DWORD lastError = ::GetLastError();
    const BOOL chosen = ::GetSaveFileNameW(&dialog);
    ::SetLastError(lastError);
    if (!chosen)
        return 0;
    const CString path = file.c_str();
    const bool html = spec.htmlFilter && dialog.nFilterIndex == 1;
    const int slash = path.ReverseFind(L'\\');
    if (slash > 0)
        GetSettings().WriteString(path.Left(slash + 1).GetString(), L"DirectoryForSave");
    CCHItem* written = html ? item->FindHtmlPart() : item;
    return written && m_host->SaveItemToFile(*written, path) ? 1 : 0;
}

HMENU CSCVFloatPane::BuildItemMenu(POINT screenPoint, bool onIcon, UINT& defaultCommand)
{
    defaultCommand = 0;
    HMENU root = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDR_MENU_RIGHT_CLICK));
    if (!root)
        return nullptr;
    HMENU menu = ::GetSubMenu(root, 0);
    ::RemoveMenu(root, 0, MF_BYPOSITION);
    ::DestroyMenu(root);
    if (!menu)
        return nullptr;
    HMENU copyPlus = nullptr;
    int copyPlusPosition = -1;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub && ::GetMenuItemID(sub, 0) == kPaneCmdCopyPlain) {
            copyPlus = sub;
            copyPlusPosition = i;
            break;
        }
    }
    if (onIcon && copyPlus) {
        const UINT appended[] = {kPaneCmdOpenAsUrl, 0, kPaneCmdProtect, kPaneCmdDelete, 0, kPaneCmdUndo};
        for (UINT command : appended) {
            if (!command)
                ::AppendMenuW(copyPlus, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuW(copyPlus, MF_STRING, command, MenuText(menu, command).GetString());
        }
        ::RemoveMenu(menu, copyPlusPosition, MF_BYPOSITION);
        ::DestroyMenu(menu);
        menu = copyPlus;
        m_hoverTracker.Reset();
    }
    if (m_host)
        m_host->LocalizeMenu(menu);

    CCHQueue* queue = Queue();
    const int rows = GetRowCount();
    const int mark = GetSelectionMark();
    CCHItem* item = ItemAt(mark);
    const bool hasSelection = rows > 0 && mark >= 0 && item;
    bool allOvelline = queue && queue->GetCount() > 0;
    bool someUnprotected = false;
    for (int i = 0; queue && i < queue->GetCount(); ++i) {
        const CCHItem* entry = queue->GetItem(i);
        allOvelline = allOvelline && entry->GetType() == CHT_OVELLINE;
        someUnprotected = someUnprotected || !entry->IsProtected();
    }
    if (!onIcon && hasSelection && copyPlus) {
        wchar_t caption[kPaneMenuTextChars] = {};
        ::GetMenuStringW(menu, copyPlusPosition, caption, kPaneMenuTextChars - 1, MF_BYPOSITION);
        CString text = CString(caption) + L"\t[" + item->GetFormatListText() + L"]";
        ::ModifyMenuW(menu, copyPlusPosition, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(copyPlus),
                      text.GetString());
    }
    const std::vector<int> selected = SelectedRows();
    int protectedSelected = 0;
    bool someCaseable = false;
    for (int row : selected)
        if (const CCHItem* entry = ItemAt(row)) {
            protectedSelected += entry->IsProtected() ? 1 : 0;
            const int type = entry->GetType();
            someCaseable =
                someCaseable || type == CHT_ANSI_TEXT || type == CHT_UNICODE_TEXT || type == CHT_RTF;
        }

    Enable(menu, kPaneCmdEdit, hasSelection && !allOvelline);
    for (UINT command :
         {kPaneCmdOpenWith, kPaneCmdCopy, kPaneCmdRun, kPaneCmdTrim, kPaneCmdProtect, kPaneCmdSave})
        Enable(menu, command, hasSelection);
    bool textLikePart = false;
    if (item)
        for (int type : {CHT_ANSI_TEXT, CHT_UNICODE_TEXT, CHT_RTF, CHT_HTML})
            textLikePart = textLikePart || item->HasType(type, false);
    Enable(menu, kPaneCmdCopyPlain, textLikePart);
    const CString wide = item && IsTextLike(item->GetType()) ? PlainItemText(*item) : CString();
    Enable(menu, kPaneCmdCopyExcludeSymbols, !wide.IsEmpty() && HasFileNameForbiddenChars(wide));
    Enable(menu, kPaneCmdCopyAsRtf, item && item->HasType(CHT_RTF, false));
    Enable(menu, kPaneCmdCopyAsHtml, item && item->HasHtmlPart(false));
    Enable(menu, kPaneCmdCopyHtmlCode, item && item->HasHtmlPart(false));
    Enable(menu, kPaneCmdClear, someUnprotected);
    if (!onIcon) {
        CString count;
        count.Format(L" [%d]", rows);
        SetMenuText(menu, kPaneCmdClear, MenuText(menu, kPaneCmdClear) + count);
    }
    const bool hasUndo = queue && queue->HasUndo();
    Enable(menu, kPaneCmdUndo, hasUndo);
    if (queue && !MenuText(menu, kPaneCmdUndo).IsEmpty()) {
        CString count;
        count.Format(L" [%d]", queue->GetUndoCount());
        InsertBeforeAccelerator(menu, kPaneCmdUndo, count.Mid(1));
    }
    Enable(menu, kPaneCmdDelete, hasSelection);
    {
        CString count = L"[";
        if (protectedSelected > 0)
            count.AppendFormat(L"%d\\", protectedSelected);
        count.AppendFormat(L"%d]", static_cast<int>(selected.size()));
        if (!selected.empty() && protectedSelected == static_cast<int>(selected.size()))
            count += L"\x2026";
        InsertBeforeAccelerator(menu, kPaneCmdDelete, count);
    }
    for (UINT command : {kPaneCmdUpper, kPaneCmdLower, kPaneCmdTrim, kPaneCmdJoin})
        Enable(menu, command, someCaseable);
    Enable(menu, kPaneCmdOpenAsUrl,
           item && IsTextLike(item->GetType()) && !GetRowText(mark).IsEmpty() &&
               GetRowText(mark) != L"ERROR");
    Enable(menu, kPaneCmdCopySourceUrl, hasSelection && item->HasUrl());
    Enable(menu, kPaneCmdOpenSourceUrl, hasSelection && item->HasUrl());
    Enable(menu, kPaneCmdShowAll, rows > 0);
    Enable(menu, kPaneCmdSaveAsPhrase, rows > 0 && mark >= 0);
    ::CheckMenuItem(menu, kPaneCmdMinimizeToCaption,
                    MF_BYCOMMAND | (m_captionOnly ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(menu, kPaneCmdProtect,
                    MF_BYCOMMAND | (item && item->IsProtected() ? MF_CHECKED : MF_UNCHECKED));

    FillTextHolder();
    const CString& holderText = GetTextHolder().menuText;
    for (UINT command :
         {kPaneCmdSearchFirst, kPaneCmdSearchSecond, kPaneCmdSearchEncyclopedia, kPaneCmdSearchDeveloper}) {
        Enable(menu, command, !holderText.IsEmpty());
        if (!holderText.IsEmpty() && !MenuText(menu, command).IsEmpty())
            SetMenuText(menu, command, MenuText(menu, command) + holderText);
    }
    if (!holderText.IsEmpty())
        for (UINT command :
             {kPaneCmdCopy, kPaneCmdOpenAsUrl, kPaneCmdProtect, kPaneCmdLower, kPaneCmdUpper, kPaneCmdTrim,
              kPaneCmdJoin, kPaneCmdSave, kPaneCmdSaveAsPhrase, kPaneCmdEdit, kPaneCmdDelete})
            InsertBeforeAccelerator(menu, command, holderText);

    if (hasSelection)
        defaultCommand = kPaneCmdCopy;
    else if (m_list.IsPointInEmptyArea(screenPoint))
        defaultCommand = kPaneCmdShowAll;
    if (defaultCommand)
        ::SetMenuDefaultItem(menu, defaultCommand, FALSE);
    return menu;
}

void CSCVFloatPane::DestroyItemMenu(HMENU menu)
{
    if (m_textHolder)
        m_textHolder->Clear();
    if (menu)
        ::DestroyMenu(menu);
}

void CSCVFloatPane::FillTextHolder()
{
    FloatPaneTextHolder& holder = GetTextHolder();
    holder.Clear();
    const CCHItem* item = ItemAt(GetSelectionMark());
    if (!item)
        return;
    CString preview = GetItemPreviewForPane(*item, 2600);
    preview.Replace(L"\r\n", L" ");
    preview.Replace(L'\n', L' ');
    if (preview.Left(1) == L"?")
        preview = preview.Mid(1);
    holder.preview = preview;
    holder.menuText =
        MakeSelectionMenuText(CleanSelectionShortText(preview), GetSelectedCount(),
                              m_host ? m_host->FormatAndMoreText(GetSelectedCount() - 1) : CString());
}

void CSCVFloatPane::ShowItemMenu(bool fromKeyboard)
{
    const DWORD position = ::GetMessagePos();
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    POINT client = point;
    ::ScreenToClient(m_list.m_hWnd, &client);
    LVHITTESTINFO hit = {};
    hit.pt = client;
    ListView_HitTest(m_list.m_hWnd, &hit);
    const bool onIcon = !fromKeyboard && (hit.flags & LVHT_ONITEMICON) && hit.iItem >= 0;
    POINT at = point;
    const int mark = GetSelectionMark();
    RECT row = {};
    if (mark >= 0 && ListView_GetItemRect(m_list.m_hWnd, mark, &row, LVIR_BOUNDS) && fromKeyboard) {
        at = {row.left, row.top};
        ::ClientToScreen(m_list.m_hWnd, &at);
    }
    UINT defaultCommand = 0;
    HMENU menu = BuildItemMenu(point, onIcon, defaultCommand);
    if (!menu) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    ::TrackPopupMenu(menu, TPM_RIGHTALIGN, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyItemMenu(menu);
}

LRESULT CSCVFloatPane::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (HIWORD(lParam)) {
        WriteLogLine(L"CSCVFloatPane::OnInitMenuPopup\n");
        if (::GetMenuState(menu, kPaneCmdMinimizeToCaption, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, kPaneCmdMinimizeToCaption,
                          LoadLocalizedTextOr(kPaneCmdMinimizeToCaption, L"Minimize To Caption").GetString());
        }
        ::CheckMenuItem(menu, kPaneCmdMinimizeToCaption,
                        MF_BYCOMMAND | (m_captionOnly ? MF_CHECKED : MF_UNCHECKED));
    }
    ::CheckMenuItem(menu, kPaneCmdPin, MF_BYCOMMAND | (m_pinned ? MF_CHECKED : MF_UNCHECKED));
    m_accelTable.AppendKeysToMenu(menu);
    return result;
}

LRESULT CSCVFloatPane::OnMenuRButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (::GetMenuItemID(menu, static_cast<int>(wParam)) != kPaneCmdUndo)
        return 0;
    CCHQueue* queue = Queue();
    const int undoCount = queue ? queue->GetUndoCount() : 0;
    HMENU popup = ::CreatePopupMenu();
    CString text = LoadLocalizedTextOr(kPaneCmdClearUndo, L"Clear Undo Pool");
    if (undoCount > 0)
        text.AppendFormat(L" [%d]", undoCount);
    ::AppendMenuW(popup, MF_STRING | (undoCount ? 0 : MF_GRAYED), kPaneCmdClearUndo, text.GetString());
    const DWORD position = ::GetMessagePos();
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RECURSE, static_cast<short>(LOWORD(position)),
                         static_cast<short>(HIWORD(position)), 0, m_hWnd, nullptr));
    ::DestroyMenu(popup);
    if (chosen == kPaneCmdClearUndo && queue && queue->ClearUndo()) {
        CString undo = MenuText(menu, kPaneCmdUndo);
        const int bracket = undo.Find(L'[');
        if (bracket >= 0)
            undo = undo.Left(bracket);
        undo.TrimRight();
        undo.AppendFormat(L" [%d]", queue->GetUndoCount());
        SetMenuText(menu, kPaneCmdUndo, undo);
        ::EnableMenuItem(menu, kPaneCmdUndo, MF_BYCOMMAND | MF_GRAYED);
    }
    return 0;
}

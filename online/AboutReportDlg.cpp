#include "online/AboutReportDlg.h"
#include "common/ListViewHelpers.h"

#include "common/GdiCache.h"
#include "common/LocalizedString.h"
#include "common/SharedLog.h"
#include "online/CSCVUrl.h"
#include "common/SystemInfo.h"
#include "online/LogZipArchive.h"
#include "online/ProgramWindowIcons.h"
#include "online/WaitCursorGuard.h"

#include <commdlg.h>
#include "platform/WindowsX.h"

#include <utility>

namespace
{
HWND g_openAboutDialog = nullptr;

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;
constexpr DWORD kZipDialogFlags = 0x881806;
constexpr int kMaxZipPathLength = 519;

void InsertRow(HWND list, int index, const ReportRow& row)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(row.name));
    item.lParam = row.kind;
    const int inserted = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, inserted, kValueColumn, const_cast<LPWSTR>(static_cast<LPCWSTR>(row.value)));
}

void DrawHeaderRow(HWND list, HDC dc, int index, const ReportRow& row)
{
    RECT rect{};
    ListView_GetItemRect(list, index, &rect, LVIR_BOUNDS);
    RECT client{};
    ::GetClientRect(list, &client);
    rect.right = client.right;
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, row.name, row.name.GetLength(), &size);
    const int middle = (rect.top + rect.bottom) / 2;
    const int textLeft = rect.left + 16;
    HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, rect.left + 2, middle, nullptr);
    ::LineTo(dc, textLeft - 2, middle);
    ::MoveToEx(dc, textLeft + size.cx + 2, middle, nullptr);
    ::LineTo(dc, rect.right - 2, middle);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::TextOutW(dc, textLeft, middle - size.cy / 2, row.name, row.name.GetLength());
}
} // namespace

CAboutReportDlg::CAboutReportDlg(CAboutDialogServices services) : m_services(std::move(services)) {}

HWND CAboutReportDlg::GetOpenAboutDialog()
{
    return g_openAboutDialog && ::IsWindow(g_openAboutDialog) ? g_openAboutDialog : nullptr;
}

CString MakeAboutTitle(const CString& menuText)
{
    CString title = menuText;
    const int tab = title.Find(L'\t');
    if (tab >= 0)
        title = title.Left(tab);
    title.Trim(L"& ");
    return title;
}

CString MakeAboutVersionLine(const CString& versionText, const CString& releasedLabel,
                             const CString& releaseDate)
{
    return versionText + L"\r\n" + releasedLabel + L": " + releaseDate;
}

LRESULT CAboutReportDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    g_openAboutDialog = m_hWnd;
    SetWindowText(MakeAboutTitle(m_services.aboutMenuText));
    SetProgramWindowIcons(m_hWnd);
    SetDlgItemText(IDC_ABOUT_VERSION,
                   MakeAboutVersionLine(m_services.versionText,
                                        LoadLocalizedTextOr(IDS_ABOUT_RELEASED, L"Released"),
                                        GetBuildStamp()));
    m_copyButton.SubclassWindow(GetDlgItem(IDC_ABOUT_COPY));
    SetDlgItemText(IDC_ABOUT_COPY, LoadLocalizedTextOr(IDS_ABOUT_COPY, L"Copy"));
    SetDlgItemText(IDC_ABOUT_CHECK_UPDATES, m_services.checkForUpdatesText);
    SetUpLinks();
    HWND list = List();
    m_listRedraw.SubclassWindow(list);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    ListView_SetBkColor(list, ::GetSysColor(COLOR_BTNFACE));
    ListView_SetTextBkColor(list, ::GetSysColor(COLOR_BTNFACE));
    ListView_SetTextColor(list, ::GetSysColor(COLOR_BTNTEXT));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list, kNameColumn, &column);
    ListView_InsertColumn(list, kValueColumn, &column);
    SetTimer(kBuildTimer, kBuildDelayMs);
    return TRUE;
}

void CAboutReportDlg::SetUpLinks()
{
    // The links keep their resource texts; they are shown bold, in the link
    // colour, with a hand over them and a tip naming where they lead.
    LOGFONTW logFont{};
    if (HFONT dialogFont = GetFont())
        ::GetObjectW(dialogFont, sizeof(logFont), &logFont);
    else
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfWeight = FW_BOLD;
    m_linkFont.Reset(::CreateFontIndirectW(&logFont));
    m_linkTips =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    const std::pair<int, CString> links[] = {
        {IDC_ABOUT_HOME_PAGE, LoadLocalizedTextOr(IDS_ABOUT_OFFICIAL_SITE, L"Official Web Site")},
        {IDC_ABOUT_BUG_REPORT_FAQ, LoadLocalizedTextOr(IDS_ABOUT_HOW_TO_REPORT, L"How to bug report")},
    };
    for (const auto& [id, tip] : links) {
        HWND link = GetDlgItem(id);
        if (m_linkFont)
            ::SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont.get()), FALSE);
        if (!m_linkTips)
            continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(link);
        tool.lpszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(tip));
        ::SendMessageW(m_linkTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

CString CAboutReportDlg::LinkTip(int id) const
{
    HWND link = GetDlgItem(id);
    if (!m_linkTips || !link)
        return CString();
    wchar_t text[256] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(link);
    tool.lpszText = text;
    ::SendMessageW(m_linkTips, TTM_GETTEXTW, _countof(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

LRESULT CAboutReportDlg::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!IsLinkId(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) {
        handled = FALSE;
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ::GetSysColor(COLOR_HOTLIGHT));
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CAboutReportDlg::OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (!IsLinkId(::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CAboutReportDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kBuildTimer) {
        handled = FALSE;
        return 0;
    }
    KillTimer(kBuildTimer);
    BuildReport();
    return 0;
}

void CAboutReportDlg::BuildReport()
{
    KillTimer(kBuildTimer);
    const SystemReportInputs inputs =
        m_services.collectInputs ? m_services.collectInputs() : SystemReportInputs();
    m_report = BuildSystemReport(inputs);
    m_built = true;
    FillList();
}

void CAboutReportDlg::FillList()
{
    HWND list = List();
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    const auto& rows = m_report.Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        InsertRow(list, static_cast<int>(i), rows[i]);
    SizeColumns();
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void CAboutReportDlg::SizeColumns()
{
    HWND list = List();
    ListView_SetColumnWidth(list, kNameColumn, LVSCW_AUTOSIZE);
    ListView_SetColumnWidth(list, kValueColumn, LVSCW_AUTOSIZE);
    RECT client{};
    ::GetClientRect(list, &client);
    const int rest = client.right - ListView_GetColumnWidth(list, kNameColumn);
    if (rest > ListView_GetColumnWidth(list, kValueColumn))
        ListView_SetColumnWidth(list, kValueColumn, rest);
}

LRESULT CAboutReportDlg::OnClose(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}

LRESULT CAboutReportDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (g_openAboutDialog == m_hWnd)
        g_openAboutDialog = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CAboutReportDlg::OnCopy(WORD, WORD, HWND, BOOL&)
{
    if (m_copyButton.m_hWnd && m_copyButton.IsArrowPressed())
        ShowCopyMenu();
    else
        CopyReport();
    return 0;
}

void CAboutReportDlg::CopyReport()
{
    if (m_services.copyText && !m_services.copyText(GetReportText()))
        WriteLogLine(L"About: the report could not be copied");
}

LRESULT CAboutReportDlg::OnCheckForUpdates(WORD, WORD, HWND, BOOL&)
{
    CWaitCursorGuard cursor(nullptr, IDC_APPSTARTING);
    if (m_services.mainWindow)
        ::PostMessageW(m_services.mainWindow, WM_COMMAND, kCheckForUpdatesCommand, 0);
    return 0;
}

LRESULT CAboutReportDlg::OnLink(WORD, WORD id, HWND, BOOL&)
{
    CSCVUrl::OpenUrl(m_hWnd,
                     id == IDC_ABOUT_HOME_PAGE ? CSCVUrl::HomePageUrl() : CSCVUrl::ProblemReportFaqUrl());
    return 0;
}

CString CAboutReportDlg::ButtonText(int id) const
{
    CString text;
    GetDlgItemText(id, text);
    return text;
}

void CAboutReportDlg::ShowCopyMenu()
{
    RECT button{};
    ::GetWindowRect(GetDlgItem(IDC_ABOUT_COPY), &button);
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, IDC_ABOUT_COPY, ButtonText(IDC_ABOUT_COPY));
    ::SetMenuDefaultItem(menu, IDC_ABOUT_COPY, FALSE);
    ::AppendMenuW(menu, MF_STRING, kZipMenuItem,
                  LoadLocalizedTextOr(IDS_ABOUT_ZIP_LOG, L"ZIP The Log File and settings file..."));
    ::AppendMenuW(menu, MF_STRING, kOpenSettingsMenuItem,
                  LoadLocalizedTextOr(IDS_ABOUT_OPEN_SETTINGS,
                                      L"Open settings file of Scrivolanter in external editor"));
    const UINT chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTALIGN, button.right, button.top, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    if (chosen)
        RunMenuCommand(chosen);
}

void CAboutReportDlg::RunMenuCommand(UINT id)
{
    if (id == IDC_ABOUT_COPY) {
        CopyReport();
    } else if (id == kZipMenuItem) {
        AskAndSaveLogZip(m_hWnd, m_services.mainWindow, m_services.logPath, GetReportText(),
                         m_services.expandMacros);
    } else if (id == kOpenSettingsMenuItem) {
        if (m_services.openSettingsFile)
            m_services.openSettingsFile(m_hWnd);
    } else if (id >= kFirstSectionItem) {
        const int row = static_cast<int>(id - kFirstSectionItem);
        if (!ListViewScrollItemToTop(List(), row))
            ::MessageBeep(static_cast<UINT>(-1));
    }
}

bool AskAndSaveLogZip(HWND owner, HWND mainWindow, const CString& logPath, const CString& reportText,
                      const LogZipMacroExpander& expand)
{
    CString title = LoadLocalizedTextOr(IDS_ABOUT_ZIP_LOG, L"ZIP The Log File and settings file...");
    title.TrimRight(L'.');
    title = L"Scrivolanter : " + title;
    wchar_t path[kMaxZipPathLength + 1] = {};
    if (expand)
        wcsncpy_s(path, MakeDefaultLogZipName(logPath, expand), _TRUNCATE);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Zip archives (*.zip)\0*.zip\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = kMaxZipPathLength;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = L"zip";
    dialog.Flags = kZipDialogFlags;
    if (!::GetSaveFileNameW(&dialog))
        return false;
    LogZipRequest request;
    request.logPath = logPath;
    request.zipPath = path;
    request.owner = mainWindow ? mainWindow : owner;
    request.reportText = reportText;
    const bool made = CreateLogZipArchive(request);
    if (!made)
        ::MessageBeep(static_cast<UINT>(-1));
    return made;
}

LRESULT CAboutReportDlg::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    DragDialog();
    return 0;
}

void CAboutReportDlg::DragDialog()
{
    POINT point{};
    ::GetCursorPos(&point);
    ::SetCursorPos(point.x, point.y);
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, 0xF012, 0);
}

LRESULT CAboutReportDlg::OnListBeginDrag(int, LPNMHDR, BOOL&)
{
    DragDialog();
    return 0;
}

LRESULT CAboutReportDlg::OnListRightClick(int, LPNMHDR, BOOL&)
{
    const DWORD position = ::GetMessagePos();
    PostMessage(kSectionMenuMessage, 0, static_cast<LPARAM>(position));
    return 0;
}

LRESULT CAboutReportDlg::OnSectionMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, IDC_ABOUT_COPY, ButtonText(IDC_ABOUT_COPY));
    const std::vector<int> headers = m_report.HeaderRows();
    if (!headers.empty())
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (int row : headers)
        ::AppendMenuW(menu, MF_STRING, kFirstSectionItem + row, m_report.Rows()[row].name);
    const UINT chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    if (chosen == IDC_ABOUT_COPY)
        PostMessage(WM_COMMAND, IDC_ABOUT_COPY, 0);
    else if (chosen)
        RunMenuCommand(chosen);
    return 0;
}

LRESULT CAboutReportDlg::OnListInfoTip(int, LPNMHDR header, BOOL&)
{
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    if (tip->iItem < 0 || tip->iItem >= static_cast<int>(m_report.Rows().size()) || !tip->pszText)
        return 0;
    const ReportRow& row = m_report.Rows()[tip->iItem];
    wcsncpy_s(tip->pszText, tip->cchTextMax, row.name + L" " + row.value, _TRUNCATE);
    return 0;
}

LRESULT CAboutReportDlg::OnListCustomDraw(int, LPNMHDR header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    const int index = static_cast<int>(draw->nmcd.dwItemSpec);
    if (index < 0 || index >= static_cast<int>(m_report.Rows().size()))
        return CDRF_DODEFAULT;
    const ReportRow& row = m_report.Rows()[index];
    if (row.kind == ReportRowHeader) {
        DrawHeaderRow(List(), draw->nmcd.hdc, index, row);
        return CDRF_SKIPDEFAULT;
    }
    if (row.kind == ReportRowFailure || row.kind == ReportRowSuccess)
        draw->clrText = GetStateColor(row.kind == ReportRowSuccess);
    return CDRF_DODEFAULT;
}

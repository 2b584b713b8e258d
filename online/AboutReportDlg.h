#pragma once
// The About dialog (resource 100): version line, the system report as a
// two-column list, "Copy" with its drop-down (copy, zip the log, open the
// settings file), "Check For Updates" and the two web links. The report is
// built 300 ms after the dialog opens. What the dialog needs of the main
// program comes in through CAboutDialogServices.

#include "common/ArrowButton.h"
#include "common/GdiObjectGuards.h"
#include "common/RedrawOnScrollWindow.h"
#include "online/LogZipArchive.h"
#include "online/SystemReport.h"
#include "online/SystemReportBuilder.h"
#include "platform/CDialogImpl.h"
#include "online/AboutDialogRes.h"

#include <commctrl.h>

#include <functional>
#include <map>

struct CAboutDialogServices
{
    HWND mainWindow = nullptr; // receives WM_COMMAND 32791 for "Check For Updates"
    // The localised menu text of the About command (cleaned by MakeAboutTitle).
    CString aboutMenuText = L"&About Scrivolanter";
    // The program's short version text: it holds the program's name already.
    CString versionText;
    // The localised menu text of the "Check For Updates" command.
    CString checkForUpdatesText = L"Check For Updates";
    CString logPath;
    std::function<SystemReportInputs()> collectInputs;
    std::function<bool(const CString& text)> copyText;        // puts the text on the clipboard
    std::function<CString(const CString& text)> expandMacros; // for the default zip name
    std::function<void(HWND owner)> openSettingsFile;
    std::function<void(HWND owner, int linkId)> openLink; // 1003 home page, 1005 bug-report FAQ
};

// The dialog's title from the About command's menu text: the accelerator part
// after a tab removed, "&" and blanks trimmed at both ends.
CString MakeAboutTitle(const CString& menuText);
// The version line above the report: the version text (name and version),
// then on a second line the "Released" label and the release date.
CString MakeAboutVersionLine(const CString& versionText, const CString& releasedLabel,
                             const CString& releaseDate);

// Asks for the archive's path (save dialog with the default name) and writes
// the support archive there, selected in Explorer; a failure beeps. False
// when cancelled or failed.
bool AskAndSaveLogZip(HWND owner, HWND mainWindow, const CString& logPath, const CString& reportText,
                      const LogZipMacroExpander& expand);

class CAboutReportDlg : public CDialogImpl<CAboutReportDlg>
{
public:
    enum
    {
        IDD = IDD_SCV_ABOUT
    };
    static constexpr UINT kBuildTimer = 1000;
    static constexpr UINT kBuildDelayMs = 300;
    static constexpr UINT kSectionMenuMessage = WM_APP + 1;
    static constexpr UINT kCheckForUpdatesCommand = 32791;
    static constexpr UINT kFirstSectionItem = 36000;
    static constexpr UINT kZipMenuItem = 259;
    static constexpr UINT kOpenSettingsMenuItem = 32830;

    explicit CAboutReportDlg(CAboutDialogServices services);

    // The open dialog's window while it exists, else null.
    static HWND GetOpenAboutDialog();

    const CSystemReport& Report() const { return m_report; }
    bool ReportBuilt() const { return m_built; }
    // Builds the report now and fills the list (the timer's work).
    void BuildReport();
    CString GetReportText() const { return m_report.GetText(); }
    // Runs a menu command as the section or copy menu would.
    void RunMenuCommand(UINT id);
    // The tip of a link control (1003, 1005); empty when it has none.
    CString LinkTip(int id) const;

    BEGIN_MSG_MAP(CAboutReportDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(kSectionMenuMessage, OnSectionMenu)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_ID_HANDLER(IDOK, OnClose)
    COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    COMMAND_ID_HANDLER(IDC_ABOUT_COPY, OnCopy)
    COMMAND_ID_HANDLER(IDC_ABOUT_CHECK_UPDATES, OnCheckForUpdates)
    COMMAND_ID_HANDLER(IDC_ABOUT_HOME_PAGE, OnLink)
    COMMAND_ID_HANDLER(IDC_ABOUT_BUG_REPORT_FAQ, OnLink)
    NOTIFY_HANDLER(IDC_ABOUT_REPORT, NM_CUSTOMDRAW, OnListCustomDraw)
    NOTIFY_HANDLER(IDC_ABOUT_REPORT, LVN_ITEMCHANGING, OnListItemChanging)
    NOTIFY_HANDLER(IDC_ABOUT_REPORT, LVN_GETINFOTIPW, OnListInfoTip)
    NOTIFY_HANDLER(IDC_ABOUT_REPORT, LVN_BEGINDRAG, OnListBeginDrag)
    NOTIFY_HANDLER(IDC_ABOUT_REPORT, NM_RCLICK, OnListRightClick)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnSectionMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);
    LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
    LRESULT OnCheckForUpdates(WORD, WORD, HWND, BOOL&);
    LRESULT OnLink(WORD, WORD id, HWND, BOOL&);
    // The Copy button's menu (copy, zip the log, open the settings file) under the button.
    void ShowCopyMenu();
    void CopyReport();
    LRESULT OnListCustomDraw(int, LPNMHDR header, BOOL&);
    LRESULT OnListItemChanging(int, LPNMHDR, BOOL&) { return TRUE; }
    LRESULT OnListInfoTip(int, LPNMHDR header, BOOL&);
    LRESULT OnListBeginDrag(int, LPNMHDR, BOOL&);
    LRESULT OnListRightClick(int, LPNMHDR, BOOL&);

    void SetUpLinks();
    static bool IsLinkId(int id) { return id == IDC_ABOUT_HOME_PAGE || id == IDC_ABOUT_BUG_REPORT_FAQ; }
    void FillList();
    void SizeColumns();
    void DragDialog();
    CString ButtonText(int id) const;
    HWND List() const { return GetDlgItem(IDC_ABOUT_REPORT); }

    CAboutDialogServices m_services;
    CSystemReport m_report;
    bool m_built = false;
    GdiObject<HFONT> m_linkFont; // the dialog's font in bold
    HWND m_linkTips = nullptr;   // owned by the dialog, destroyed with it
    CRedrawOnScrollWindow m_listRedraw; // the list repaints itself whole after a horizontal scroll
    CArrowButton m_copyButton;          // a press on its arrow opens the Copy menu
};

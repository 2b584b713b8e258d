#pragma once
// The update window (dialog 219): the page of an update check's result and
// the latest news in the HTML view, "Close" and "Visit to us". The page's
// settings block (automatic checks and their days) is restyled when the
// check box changes and written to the settings when the window goes away.
// Only web and mail links of the page are opened; in-page links scroll.

#include "online/UpdateInfo.h"
#include "online/UpdatePage.h"
#include "platform/CDialogImpl.h"
#include "online/UpdateWindowRes.h"

#include <functional>

struct CUpdateWindowServices
{
    // Opens an address the page's link names (default: the shell).
    std::function<void(HWND owner, const CString& address)> openLink;
    // The page's context (default: CurrentUpdatePageContext()).
    std::function<UpdatePageContext()> pageContext;
};

class CUpdateCheckWindow : public CDialogImpl<CUpdateCheckWindow>
{
public:
    enum
    {
        IDD = IDD_SCV_UPDATE_WINDOW
    };
    static constexpr UINT kBringForwardMessage = WM_APP + 1;

    explicit CUpdateCheckWindow(const CUpdateInfo& info, CUpdateWindowServices services = {});

    // The open window while it exists, else null.
    static HWND GetOpenUpdateCheckWindow();

    HWND HtmlView() const { return m_view; }
    bool PageLoaded() const { return m_loaded; }

    BEGIN_MSG_MAP(CUpdateCheckWindow)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(kBringForwardMessage, OnBringForward)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    COMMAND_ID_HANDLER(IDC_UPDATE_VISIT, OnVisit)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBringForward(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnClose(WORD, WORD, HWND, BOOL&);
    LRESULT OnVisit(WORD, WORD, HWND, BOOL&);

    static BOOL CALLBACK OnPageEvent(LPVOID tag, struct HtmlViewElement* he, UINT group, LPVOID params);
    void CreateView();
    void RestyleSettings();
    void SaveSettings();
    void DragWindow();

    const CUpdateInfo& m_info;
    CUpdateWindowServices m_services;
    HWND m_view = nullptr;
    bool m_loaded = false;
};

// The update window's home: shows the window for the result (modal, no
// owner), or brings the open one forward.
INT_PTR ShowUpdateCheckWindow(const CUpdateInfo& info);

#include "editor/app/MainFrame.h"

#include "common/SharedLog.h"
#include "editor/app/EditorMessages.h"
#include "editor/app/EditorTitles.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

UINT CMainFrame::GetInstanceMessage()
{
    return GetEditorInstanceMessage();
}

UINT CMainFrame::GetStatusTextMessage()
{
    return GetEditorStatusTextMessage();
}

int CMainFrame::OnCreate(CREATESTRUCTW* pcs)
{
    if (CFrameWnd::OnCreate(pcs) == -1)
        return -1;
    if (!m_statusBar.Create(m_hWnd)) {
        WriteLogLine(L"CMainFrame::OnCreate: the status bar could not be created");
        return -1;
    }
    static const UINT indicators[] = {0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    m_statusBar.SetIndicators(indicators, 4);
    return 0;
}

void CMainFrame::OnUpdateFrameTitle(BOOL)
{
    ::SetWindowTextW(m_hWnd, BuildFrameCaption());
}

void CMainFrame::SetStartFlags(int flags)
{
    m_startFlags = flags;
    CString line;
    line.Format(L"CMainFrame::SetStartFlags: %d", flags);
    WriteLogLine(line);
}

LRESULT CMainFrame::OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    SetMessageText(reinterpret_cast<LPCWSTR>(lParam));
    return 1;
}

// The tray window's side of the update check (see TrayUpdateCheck.h).

#include "app/SCVTrayWnd.h"
#include "app/TrayUpdateCheck.h"
#include "common/SharedLog.h"

LRESULT CSCVTrayWnd::OnCommandCheckForUpdates(WORD, WORD, HWND, BOOL&)
{
    StartTrayAnimation();
    if (!StartManualUpdateCheck(m_hWnd, m_stopEvent)) {
        LogError(L"Check For Updates: the update check thread cannot start");
        StopTrayAnimation();
    }
    return 0;
}

LRESULT CSCVTrayWnd::OnUpdateCheckResult(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ShowTrayBalloon(nullptr, 0);
    StopTrayAnimation();
    // The record lives on the check's thread, which waits until this returns.
    if (lParam)
        ReportUpdateCheckResult(m_hWnd, *reinterpret_cast<const CUpdateInfo*>(lParam));
    return 0;
}

LRESULT CSCVTrayWnd::OnUpdateCheckDone(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    StopTrayAnimation(); // the check is over, also when it gave no result
    CompleteUpdateCheck(m_hWnd, m_stopEvent, static_cast<int>(wParam));
    return 0;
}

bool CSCVTrayWnd::StartCheckForUpdatesCommandWatcher()
{
    return ::StartCheckForUpdatesCommandWatcher(m_hWnd, ID_SCV_CHECK_FOR_UPDATES, m_stopEvent);
}

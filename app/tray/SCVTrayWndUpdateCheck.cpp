// The tray window's side of the update check (see TrayUpdateCheck.h).

#include "app/tray/SCVTrayWnd.h"
#include "app/tray/TrayUpdateCheck.h"
#include "common/HandedOutAddresses.h"
#include "common/LocalizedString.h"
#include "common/RuntimeBinding.h"
#include "common/SharedLog.h"
#include "common/TextUtilities.h"
#include "online/CSCVUrl.h"
#include "resources/ScrivolanterRes.h"

namespace
{
using InternetGoOnlineFn = BOOL(WINAPI*)(LPCWSTR, HWND, DWORD);
constexpr UINT kUpdateBalloonMs = 30000;
} // namespace

LRESULT CSCVTrayWnd::OnCommandCheckForUpdates(WORD, WORD, HWND, BOOL&)
{
    // The system may offer to dial up or leave offline mode first.
    const auto goOnline = FindFunctionInUse<InternetGoOnlineFn>(L"wininet.dll", "InternetGoOnlineW");
    if (!goOnline || !goOnline(const_cast<LPWSTR>(CSCVUrl::HomePageUrl().GetString()), m_hWnd, 0)) {
        WriteLogLine(L"Check For Updates: the system did not go online");
        return 0;
    }
    if (!(m_connectionProbe ? m_connectionProbe() : IsInternetConnected())) {
        const CString text =
            CString(L"Scrivolanter : ") +
            WrapTextAtWidth(LoadLocalizedTextOr(IDS_SCV_CHECK_FOR_UPDATES, L"Check For Updates"), 20) +
            L"\n\n" + LoadLocalizedTextOr(IDS_SCV_NO_CONNECTION, L"No has connection to Intenet. Continue?");
        if (ShowOwnMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION, true) != IDOK)
            return 0;
    }
    if (!m_trayAnimation.IsRunning())
        StartTrayAnimation();
    // The balloon goes up before the check starts: a quick result takes it down again, never
    // the other way round.
    ShowTrayBalloon(LoadLocalizedTextOr(IDS_SCV_CHECK_FOR_UPDATES, L"Check For Updates"), kUpdateBalloonMs);
    if (!StartManualUpdateCheck(m_hWnd, m_stopEvent)) {
        LogError(L"Check For Updates: the update check thread cannot start");
        ShowTrayBalloon(nullptr, 0);
        StopTrayAnimation();
    }
    return 0;
}

LRESULT CSCVTrayWnd::OnUpdateCheckResult(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ShowTrayBalloon(nullptr, 0);
    StopTrayAnimation();
    // The record lives on the check's thread, which hands it out and waits until this returns:
    // the window shows a copy once the thread has gone on to complete the check. An address
    // that no check of this process handed out (another program's message) is not touched.
    const auto* info = reinterpret_cast<const CUpdateInfo*>(lParam);
    std::unique_ptr<CUpdateInfo> copy;
    if (!UseHandedOut(HandOverKind::UpdateResult, info, sizeof(CUpdateInfo),
                      [&] { copy = std::make_unique<CUpdateInfo>(*info); })) {
        if (info)
            WriteLogLine(
                L"CSCVTrayWnd::OnUpdateCheckResult: a result this process did not hand out, ignored");
        return 0;
    }
    m_pendingUpdateResults.push_back(std::move(copy));
    PostMessage(GetUpdateResultShowMessage(), 0, 0);
    return 0;
}

LRESULT CSCVTrayWnd::OnShowUpdateResult(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_pendingUpdateResults.empty())
        return 0;
    const std::unique_ptr<CUpdateInfo> info = std::move(m_pendingUpdateResults.front());
    m_pendingUpdateResults.erase(m_pendingUpdateResults.begin());
    ReportUpdateCheckResult(m_hWnd, *info);
    return 0;
}

UINT CSCVTrayWnd::GetUpdateResultShowMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Scrivolanter_ShowUpdateResult");
    return message;
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

#pragma once

// The core hook DLL service of the tray window: loads "Scrivolanter.dll" from
// the program folder, installs and uninstalls its global hook through the
// exports named in platform/interchange/SVInstallParams.h, finds the target window and asks it
// for a query (posted target-request message; the DLL's code in the target
// answers through the interchange area).
//
// User-interface thread only.

#include <windows.h>

#include "platform/interchange/SVInstallParams.h"
#include "engine/SVQuery.h"
#include "common/KernelHandle.h"
#include "common/WinEventHookDispatcher.h"
#include "platform/CString.h"

class CSCVDLLService : public IWinEventSubscriber
{
public:
    // Results of SendMessageToTargetWindow.
    enum : int
    {
        kTargetRequestPosted = 0,
        kNoTarget = 1,
        kQueryFilledLocally = 2,
    };

    // `coreDllPath` empty: the DLL of the program folder (GetCoreDllPath).
    explicit CSCVDLLService(UINT targetRequestMessage, const CString& coreDllPath = CString());
    // Unsubscribes from the WinEvent dispatcher and uninstalls the hook when installed.
    virtual ~CSCVDLLService();
    CSCVDLLService(const CSCVDLLService&) = delete;
    CSCVDLLService& operator=(const CSCVDLLService&) = delete;

    // Installs the hook: a forced clean-up of a hook left over, then the DLL
    // is loaded and SV_Install2 (else SV_Install) is called. Returns the
    // install result (non-zero on success); `resultCode` gets the SVInstallResultCode.
    // The notes of the attempt are logged as one line (an error line on failure).
    // Installing while installed fails with code 2 and leaves the hook alone.
    int InstallDLLService(HWND window, UINT messageId, LPCWSTR dataNeededName, LPCWSTR dataCompletedName,
                          LPCWSTR mappingName, bool logFlag, int& resultCode, int answerWaitingAllowed);
    // SV_Uninstall; false (the library stays loaded) when not installed or the
    // DLL refuses. On success WM_NULL is broadcast so every process lets go of
    // the hook, the service event is set and closed and the library freed.
    bool Uninstall();
    bool IsInstalled() const { return m_installResult != 0; }
    // Whether the service is subscribed to the WinEvent dispatcher (logged).
    int WE_IsIntalled() const;

    // Asks the target window for a query: 0 the request was posted, 1 there is
    // no target or the post failed, 2 the query was filled here (when the hook
    // cannot reach the target, see FillsQueryLocally).
    int SendMessageToTargetWindow(int fromMenu, SVQuery& query);
    // SV_GetTargetWindowOther; null when not installed or the export is missing.
    HWND GetTargetWindowOther() const;

    CString GetCoreDllPath() const;
    HMODULE GetModule() const { return m_module; }
    HANDLE GetServiceEvent() const { return m_serviceEvent.Get(); }

    // True when the process does not run under WOW64: the hook DLL has the
    // bitness of the processes it reaches.
    static bool IsX32Implementation();
    static CString GetImplementationText();
    // "<name>, Error code: <code>" for an install result code.
    static CString InstallResultText(int code);

    // WinEvent subscriber: remembers the window of foreground and focus events.
    void OnWinEvent(const WinEventRecord& record, DWORD userValue) override;

protected:
    // Whether SendMessageToTargetWindow fills the query itself instead of
    // posting the target-request message: when the hook cannot run in the
    // target's processes (a 32-bit program on 64-bit Windows).
    virtual bool FillsQueryLocally() const { return !IsX32Implementation(); }

private:
    int ForcedCleanUp();
    void FillQueryLocally(HWND target, SVQuery& query) const;
    void LogTargetDescription(HWND target);
    HWND FindTargetWindow() const;

    DWORD m_lastLoggedProcessId = 0;
    int m_winEventSubscribed = 0;
    HWND m_lastTargetWindow = nullptr;
    UINT m_targetRequestMessage;
    HMODULE m_module = nullptr;
    CKernelHandle m_serviceEvent;
    int m_installResult = 0;
    CString m_coreDllPath;
};

#include "app/target/CSCVDLLService.h"

#include "app/target/CopySelectionByCtrlC.h"
#include "platform/interchange/InterchangeArea.h"
#include "common/OsVersionInfo.h"
#include "common/ProcessInfo.h"
#include "common/RuntimeBinding.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"
#include "online/ProgramFilePaths.h"

namespace
{
constexpr int kClassNameLength = 1024;

// The notes of one install attempt, joined by blanks.
class CInstallNotes
{
public:
    void Add(const CString& note)
    {
        if (!m_text.IsEmpty())
            m_text += L' ';
        m_text += note;
    }
    const CString& Text() const { return m_text; }

private:
    CString m_text;
};

CString ModulePath(HMODULE module)
{
    CString path;
    const DWORD length = ::GetModuleFileNameW(module, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer(length < MAX_PATH ? static_cast<int>(length) : 0);
    return path;
}

CString ClassNameOf(HWND window)
{
    CString name;
    const int length = ::GetClassNameW(window, name.GetBuffer(kClassNameLength), kClassNameLength);
    name.ReleaseBuffer(length > 0 ? length : 0);
    return name;
}

void LogLine(bool success, const CString& text)
{
    if (success)
        WriteLogLine(text);
    else
        LogError(text);
}
} // namespace

CSCVDLLService::CSCVDLLService(UINT targetRequestMessage, const CString& coreDllPath)
    : m_targetRequestMessage(targetRequestMessage), m_coreDllPath(coreDllPath)
{}

CSCVDLLService::~CSCVDLLService()
{
    if (m_winEventSubscribed)
        CWinEventHookDispatcher::GetInstance().Unsubscribe(this);
    m_winEventSubscribed = 0;
    if (IsInstalled())
        Uninstall();
}

CString CSCVDLLService::GetCoreDllPath() const
{
    return m_coreDllPath.IsEmpty() ? ::GetCoreDllPath() : m_coreDllPath;
}

bool CSCVDLLService::IsX32Implementation()
{
    return !COsVersionInfo::IsWow64();
}

CString CSCVDLLService::GetImplementationText()
{
    return IsX32Implementation() ? L"Use x32 implementation XP like" : L"Use x64 implementation Win7 like";
}

CString CSCVDLLService::InstallResultText(int code)
{
    LPCWSTR name = L"Unknow error";
    switch (code) {
    case kSVInstallSuccess:
        name = L"Success";
        break;
    case kSVInstallInvalidNames:
        name = L"Invalid names of sync objects";
        break;
    case kSVInstallAlreadyInstalled:
        name = L"DLL service is already installed";
        break;
    case kSVInstallCannotHook:
        name = L"Cant install hook";
        break;
    case kSVInstallCannotLoadDll:
        name = L"Cant load DLL";
        break;
    case kSVInstallNoInstallFunction:
        name = L"Cant GetProcAddress to install function of DLL";
        break;
    case kSVInstallCannotCreateServiceEvent:
        name = L"Cant create service event";
        break;
    default:
        break;
    }
    CString text;
    text.Format(L"%s, Error code: %d", name, code);
    return text;
}

int CSCVDLLService::WE_IsIntalled() const
{
    CString line;
    line.Format(L"CSCVDLLService::WE_IsIntalled result: %d", m_winEventSubscribed);
    WriteLogLine(line);
    return m_winEventSubscribed;
}

void CSCVDLLService::OnWinEvent(const WinEventRecord& record, DWORD)
{
    if (record.eventId == EVENT_SYSTEM_FOREGROUND || record.eventId == EVENT_OBJECT_FOCUS)
        m_lastTargetWindow = record.window;
}

int CSCVDLLService::ForcedCleanUp()
{
    // The DLL is looked for and loaded by its full path only: a bare name
    // would let a file of that name in the search path be loaded instead.
    const CString path = GetCoreDllPath();
    HMODULE module = ::GetModuleHandleW(path);
    const bool loadedHere = module == nullptr;
    if (module) {
        WriteLogLine(L"DLL (" + ModulePath(module) + L") found by GetModuleHandle");
    } else {
        module = ::LoadLibraryW(path);
        CString line =
            module ? L"DLL load LoadLibrary: 1: (" + ModulePath(module) + L")" : L"DLL load LoadLibrary: 0";
        LogLine(module != nullptr, line);
        if (!module)
            return 0;
    }

    int result = 0;
    if (auto uninstall2 = FindFunction<SVUninstall2Function>(module, kSVUninstall2Export)) {
        SVUninstallParams params;
        result = uninstall2(&params, 0);
        CString line;
        line.Format(L"DLL Function: SV_Uninstall2, result=%d", result);
        WriteLogLine(line);
    } else {
        LogError(L"Pointer to func not found: SV_Uninstall2");
        if (auto uninstall = FindFunction<SVUninstallFunction>(module, kSVUninstallExport)) {
            WriteLogLine(L"Call func1: SV_Uninstall");
            result = uninstall();
            CString line;
            line.Format(L"Result of SV_Uninstall: %d", result);
            LogLine(result != 0, line);
        } else {
            LogError(L"Pointer to func not found: SV_Uninstall");
        }
    }
    if (loadedHere)
        ::FreeLibrary(module);
    return result;
}

int CSCVDLLService::InstallDLLService(HWND window, UINT messageId, LPCWSTR dataNeededName,
                                      LPCWSTR dataCompletedName, LPCWSTR mappingName, bool logFlag,
                                      int& resultCode, int answerWaitingAllowed)
{
    CInstallNotes notes;
    resultCode = kSVInstallSuccess;
    const auto finish = [&](int result) {
        LogLine(result != 0, notes.Text());
        return result;
    };

    // Checked before the clean-up, which would otherwise remove the running hook.
    if (IsInstalled()) {
        resultCode = kSVInstallAlreadyInstalled;
        LogError(L"InstallDLLService_IML_32::DLL service already installed");
        notes.Add(L"InstallDLLService_IML_32 -> IsInstalledDLLService");
        return finish(0);
    }
    if (ForcedCleanUp() != 0) {
        notes.Add(L"InstallDLLService_IML_32 -> Un_Install_No_Control_Errors()");
        m_winEventSubscribed = 0;
    }
    if (m_winEventSubscribed) {
        resultCode = kSVInstallAlreadyInstalled;
        notes.Add(L"InstallDLLService_IML_32 -> WE_Installed");
        return finish(0);
    }

    const CString path = GetCoreDllPath();
    HMODULE module = ::LoadLibraryW(path);
    const auto fail = [&](int code, const CString& error, const CString& note) {
        resultCode = code;
        LogError(error);
        notes.Add(note + error);
        if (module)
            ::FreeLibrary(module);
        return finish(0);
    };
    if (!module)
        return fail(kSVInstallCannotLoadDll, L"Cannot load DLL by " + path, L"NULL == hDLL");
    auto install = FindFunction<SVInstallFunction>(module, kSVInstallExport);
    if (!install)
        return fail(kSVInstallNoInstallFunction, L"SV_Install not found", L"NULL == check_pfn");
    CKernelHandle serviceEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!serviceEvent)
        return fail(kSVInstallCannotCreateServiceEvent, L"Cannot create service event",
                    L"NULL == m_hServiceEvent");

    wchar_t logPath[MAX_PATH + 1] = {};
    if (logFlag)
        GetLogPath(logPath, MAX_PATH + 1);
    SVInstallParams params = {};
    params.trayWindow = window;
    params.targetRequestMessage = messageId;
    params.dataNeededEventName = dataNeededName;
    params.dataCompletedEventName = dataCompletedName;
    params.mappingName = mappingName;
    params.logFilePath = logPath[0] ? logPath : nullptr;
    params.logAtom = IsLogOpen() ? GetLogAtom() : 0;
    params.answerWaitingAllowed = answerWaitingAllowed ? 1 : 0;

    auto install2 = FindFunction<SVInstallFunction>(module, kSVInstall2Export);
    int result = 0;
    if (install2) {
        WriteLogLine(L"Use v.2 SV_Install2 ");
        notes.Add(L"pfn_V2 not NULL. Use v.2 SV_Install2 ");
        result = install2(&params);
    } else {
        WriteLogLine(L"Use v.1 SV_Install");
        notes.Add(L"NULL == pfn_V2. Use v.1 SV_Install");
        result = install(&params);
    }
    resultCode = params.resultCode;
    m_installResult = result;
    CString note;
    note.Format(L"EXIT InstallDLLService_Impl32: bSuccess= [%d]", result);
    notes.Add(note);
    note.Format(L"pfn_V2 not a NULL. Result address: (%d)", install2 ? 1 : 0);
    notes.Add(note);

    if (result == 0) {
        ::FreeLibrary(module);
        return finish(0);
    }
    m_module = module;
    m_serviceEvent = std::move(serviceEvent);
    return finish(result);
}

bool CSCVDLLService::Uninstall()
{
    if (m_winEventSubscribed) {
        CWinEventHookDispatcher::GetInstance().Unsubscribe(this);
        m_winEventSubscribed = 0;
    }
    if (!IsInstalled())
        return false;
    auto uninstall = FindFunction<SVUninstallFunction>(m_module, kSVUninstallExport);
    if (!uninstall || !uninstall())
        return false;
    // Every process lets go of the hook at its next message.
    BroadcastPostSystemMessage(WM_NULL, 0, 0);
    m_installResult = 0;
    if (m_serviceEvent)
        ::SetEvent(m_serviceEvent.Get());
    m_serviceEvent.Reset();
    ::FreeLibrary(m_module);
    m_module = nullptr;
    return true;
}

HWND CSCVDLLService::GetTargetWindowOther() const
{
    if (!IsInstalled())
        return nullptr;
    auto other = FindFunction<SVGetTargetWindowFunction>(m_module, kSVGetTargetWindowOtherExport);
    return other ? other() : nullptr;
}

HWND CSCVDLLService::FindTargetWindow() const
{
    HWND target = nullptr;
    if (IsInstalled()) {
        if (auto find = FindFunction<SVGetTargetWindowFunction>(m_module, kSVGetTargetWindowExport))
            target = find();
    }
    return target ? target : m_lastTargetWindow;
}

void CSCVDLLService::LogTargetDescription(HWND target)
{
    CString line;
    line.Format(L"SendMessageToTargetWindow: HWND =%d IsWindow(hwnd)=%d classname=[%s]",
                static_cast<int>(reinterpret_cast<LONG_PTR>(target)), ::IsWindow(target) ? 1 : 0,
                ClassNameOf(target).GetString());
    DWORD processId = 0;
    if (target)
        ::GetWindowThreadProcessId(target, &processId);
    if (processId != m_lastLoggedProcessId) {
        m_lastLoggedProcessId = processId;
        const CString exe = GetProcessImagePath(processId);
        DWORD type = 0;
        const BOOL known = ::GetBinaryTypeW(exe, &type);
        const int is64 = (type & 6) == 6 ? 1 : 0;
        line.AppendFormat(L" PID=%u exe=[%s] GetBinaryType=[%d], dwType=[%u] b64=[%d], b32=[%d]", processId,
                          exe.GetString(), known ? 1 : 0, type, is64, 1);
    }
    WriteLogLine(line);
}

void CSCVDLLService::FillQueryLocally(HWND target, SVQuery& query) const
{
    query.Hwnd = target;
    query.StateSelText = kSelTextStateFailed;
    CString selection;
    if (CopySelectionByCtrlC(target, selection)) {
        query.SelText = selection;
        query.StateSelText = kSelTextStateExtracted;
    }
    DWORD processId = 0;
    const DWORD threadId = ::GetWindowThreadProcessId(target, &processId);
    query.AppPath = GetProcessImagePath(processId);
    query.Hkl = ::GetKeyboardLayout(threadId);
    query.WindowClassName = ClassNameOf(target);
}

int CSCVDLLService::SendMessageToTargetWindow(int fromMenu, SVQuery& query)
{
    LogTargetDescription(m_lastTargetWindow);
    HWND target = FindTargetWindow();
    if (!target) {
        LogError(L"Cannot sendmessage to target window CSCVDLLService::SendMessageToTargetWindow");
        return kNoTarget;
    }
    if (FillsQueryLocally()) {
        FillQueryLocally(target, query);
        return kQueryFilledLocally;
    }
    const BOOL posted = ::PostMessageW(target, m_targetRequestMessage, static_cast<WPARAM>(fromMenu), 0);
    CString line;
    line.Format(L"Sending message by PostMessage bRet=%d", posted ? 1 : 0);
    WriteLogLine(line);
    return posted ? kTargetRequestPosted : kNoTarget;
}

#include "app/AppObjects.h"

#include "common/HandedOutAddresses.h"

#include "common/DefaultBrowser.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "online/CSCVUrl.h"

#include <shlwapi.h>

#include <atomic>
#include <map>
#include <mutex>

namespace
{
constexpr UINT kMessageQueryAllowWaitAnswer = WM_APP + 11;
constexpr UINT kMessageGetClipboardWatcher = WM_APP + 15;
constexpr UINT kMessageHideMenuToolTip = WM_APP + 17;
constexpr UINT kMessageGetCurrentItemSource = WM_APP + 25;
constexpr UINT kMessageHideTrayBalloon = WM_APP + 31;
constexpr UINT kMessageShowFloatPane = WM_APP + 32;
constexpr UINT kMessageFillLanguageMenu = WM_APP + 33;

constexpr int kItemSourceChars = 2048;
constexpr UINT kFirstLanguageCommand = 33000;

std::atomic<HWND> g_mainWindow{nullptr};

LRESULT SendToMainWnd(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = g_mainWindow.load();
    return window ? ::SendMessageW(window, message, wParam, lParam) : 0;
}

std::vector<CIdleHandler*>& IdleHandlers()
{
    static std::vector<CIdleHandler*> handlers;
    return handlers;
}

// Programs that open items, looked up once each.
class COpenWithProgramCache
{
public:
    CString ForSource(const CString& source)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (::PathIsURLW(source)) {
            if (!m_browserKnown) {
                m_browser = GetDefaultBrowserPath();
                m_browserKnown = true;
            }
            return m_browser;
        }
        CString extension = GetFileExtension(source);
        extension.MakeLower();
        auto found = m_byExtension.find(extension);
        if (found != m_byExtension.end())
            return found->second;
        const CString program = GetOpenCommandExeForExtension(extension);
        m_byExtension[extension] = program;
        return program;
    }

private:
    std::mutex m_lock;
    bool m_browserKnown = false;
    CString m_browser;
    std::map<CString, CString> m_byExtension;
};
} // namespace

HWND CAppObjects::GetMainWnd()
{
    return g_mainWindow.load();
}

void CAppObjects::SetMainWnd(HWND window)
{
    g_mainWindow.store(window);
}

LRESULT CAppObjects::QueryAllowWaitAnswerFromExeAgent()
{
    return SendToMainWnd(kMessageQueryAllowWaitAnswer, 0, 0);
}

LRESULT CAppObjects::HideMenuToolTipViaMainWnd()
{
    return SendToMainWnd(kMessageHideMenuToolTip, 0, 0);
}

bool CAppObjects::BlockClipboardCaptureViaMainWnd()
{
    // The request names a token this process hands out: another program's message blocks nothing.
    const BYTE token = 0;
    const CHandOverScope handOver(HandOverKind::Request, &token, sizeof(token));
    return SendToMainWnd(kMessageGetClipboardWatcher, kBlockOwnCopy, reinterpret_cast<LPARAM>(&token)) != 0;
}

LRESULT CAppObjects::HideTrayBalloonViaMainWnd()
{
    return SendToMainWnd(kMessageHideTrayBalloon, 0, 0);
}

BOOL CAppObjects::PostShowFloatPane()
{
    const HWND window = g_mainWindow.load();
    return window ? ::PostMessageW(window, kMessageShowFloatPane, 0, 0) : FALSE;
}

int CAppObjects::FillLanguageMenu(HMENU menu)
{
    SendToMainWnd(kMessageFillLanguageMenu, reinterpret_cast<WPARAM>(menu), 0);
    return ::GetMenuItemCount(menu);
}

UINT CAppObjects::GetMainWndListMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{C4629BDD-5FE3-47de-863B-E8D10BB7E2EB}");
    return message;
}

LRESULT CAppObjects::SendTextToMainWndList(LPCWSTR text)
{
    const CTextHandOverScope handOver(text);
    return SendToMainWnd(GetMainWndListMessage(), 0, reinterpret_cast<LPARAM>(text));
}

LPCWSTR GetLocalizerClientSuffix()
{
    return L"_Client";
}

CMenuLocalizer& CAppObjects::GetLocalizer()
{
    static CMenuLocalizer* const localizer = [] {
        const CString path = BuildLanguageFilePath(GetSettings().GetLanguageFileName());
        auto* made = new CMenuLocalizer(path, GetLocalizerClientSuffix());
        SetLanguageFileForStrings(path, GetLocalizerClientSuffix());
        return made;
    }();
    return *localizer;
}

CString GetLanguagePrefix()
{
    const CString name = GetSettings().GetLanguageFileName();
    if (name.IsEmpty())
        return CString();
    const CString path = name.Find(L'\\') >= 0 ? name : GetProgramFolderFile(name);
    return GetLangPrefix(path);
}

CString GetLanguagePrefixOrEn()
{
    const CString prefix = GetLanguagePrefix();
    return prefix.IsEmpty() ? CString(L"En") : prefix;
}

int FillLanguageSubmenu(HMENU menu, const std::vector<CString>& languages)
{
    if (languages.empty())
        return 0;
    while (::GetMenuItemCount(menu) > 1)
        ::DeleteMenu(menu, 1, MF_BYPOSITION);
    if (::GetMenuItemCount(menu) > 0)
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    BuildLanguageMenu(menu, kFirstLanguageCommand, languages, GetSettings().GetLanguageFileName());
    return ::GetMenuItemCount(menu);
}

bool CAppObjects::SetUseRuUrls()
{
    const CString name = GetSettings().GetLanguageFileName();
    const bool russian = !name.IsEmpty() && IsRuLanguagePrefix(BuildLanguageFilePath(name));
    CString line;
    line.Format(L"CAppObjects::SetUseRuUrls, lng=[%s], bRu=%d", name.GetString(), russian ? 1 : 0);
    WriteLogLine(line);
    CSCVUrl::_Set_Use_RU_Urls(russian ? 1 : 0);
    return russian;
}

bool CAppObjects::IsElevated()
{
    return IsProcessElevated();
}

UINT CAppObjects::GetAppIconId()
{
    return IsElevated() ? 249 : 128;
}

bool CAppObjects::HasNewMarkerFile()
{
    return FileExists(GetProgramFolderFile(L"hasnew.hasnew"));
}

void AddIdleHandlerToList(CIdleHandler* handler)
{
    if (handler)
        IdleHandlers().push_back(handler);
}

const std::vector<CIdleHandler*>& GetIdleHandlerList()
{
    return IdleHandlers();
}

CString GetOpenWithProgramForCurrentItem()
{
    const HWND window = CAppObjects::GetMainWnd();
    if (!window)
        return CString();
    CString source;
    wchar_t* buffer = source.GetBufferSetLength(kItemSourceChars);
    buffer[0] = L'\0';
    {
        const CHandOverScope handOver(HandOverKind::Buffer, buffer, kItemSourceChars * sizeof(wchar_t));
        ::SendMessageW(window, kMessageGetCurrentItemSource, kItemSourceChars,
                       reinterpret_cast<LPARAM>(buffer));
    }
    buffer[kItemSourceChars - 1] = L'\0';
    source.ReleaseBuffer();
    if (source.IsEmpty())
        return CString();
    static COpenWithProgramCache cache;
    return cache.ForSource(source);
}

int GetMfc42Path(CString& path)
{
    path = L"Not found";
    HMODULE module = ::LoadLibraryW(L"Mfc42.DLL");
    if (!module)
        return 1;
    wchar_t buffer[MAX_PATH] = {};
    if (::GetModuleFileNameW(module, buffer, MAX_PATH) > 0)
        path = buffer;
    ::FreeLibrary(module);
    return 1;
}

int ShowAppMessageBox(HWND owner, UINT flags, LPCWSTR text)
{
    return ::MessageBoxW(owner, text, L"Scrivolanter", flags | MB_TOPMOST);
}

int NotifyStateListeners(IClipboardSpyStateListener* sender, int code, LPARAM value)
{
    return NotifyClipboardSpyListeners(sender, code, value);
}

void BroadcastAppEvent(int code, LPARAM value)
{
    NotifyAppEventListeners(nullptr, code, value);
}

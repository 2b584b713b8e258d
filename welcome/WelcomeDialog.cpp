#include "welcome/WelcomeDialog.h"

#include "common/FileBytes.h"
#include "common/FileVersionInfo.h"
#include "common/DateParsing.h"
#include "common/HotKeyText.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "common/WellKnownNames.h"
#include "common/BlinkEffects.h"
#include "common/html/HtmlView.h"
#include "online/CSCVUrl.h"
#include "online/HtmlTexts.h"
#include "online/SharedSettingsArea.h"
#include "welcome/WelcomePage.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace
{

// The welcome page and its style sheet.
constexpr unsigned long long kLargestPageFile = 8 * 1024 * 1024;
const UINT kHtmlResourceType = 23;

// The single-instance event's watcher: each signal brings the dialog to the front.
struct InstanceWatch
{
    HWND dialog;
    HANDLE event;
};

DWORD WINAPI WatchInstanceEvent(LPVOID parameter)
{
    auto* own = static_cast<InstanceWatch*>(parameter);
    while (::WaitForSingleObject(own->event, INFINITE) == WAIT_OBJECT_0)
        ::PostMessageW(own->dialog, CWelcomeDialog::kBringToFrontMessage, 0, 0);
    ::CloseHandle(own->event);
    delete own;
    return 0;
}

INT_PTR ShellStart(HWND owner, const CString& file, const CString& parameters)
{
    HINSTANCE result = ::ShellExecuteW(
        owner, L"open", file, parameters.IsEmpty() ? nullptr : (LPCWSTR)parameters, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result);
}

std::string ResourceBytes(UINT id)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kHtmlResourceType));
    if (!found)
        return std::string();
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return std::string();
    return std::string(static_cast<const char*>(data), ::SizeofResource(module, found));
}

bool IsExistingFile(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file of the program's HTML folder (no way out of it through "..").
bool IsPageFolderFile(const CString& path)
{
    const CString folder = GetWelcomeHtmlFolder();
    return path.GetLength() > folder.GetLength() && _wcsnicmp(path, folder, folder.GetLength()) == 0 &&
           path.Find(L"..") < 0 && IsExistingFile(path);
}

CString LanguageName(const CString& languageFile)
{
    CString name = ::PathFindFileNameW(languageFile);
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString HotKeyBlock()
{
    WORD key = 0;
    WORD modifiers = 0;
    int doublePress = 0;
    SharedSettingsValues values;
    values.virtualKey = &key;
    values.modifiers = &modifiers;
    values.doublePress = &doublePress;
    const bool readable = ReadSharedSettingsArea(values);
    return WelcomeHotKeyBlock(readable, readable ? HotKeyToText(key, modifiers) : CString(),
                              doublePress != 0);
}

CString VersionInfoText()
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    if (!info.Read())
        return FormatWelcomeVersion(L"?", CString(), GetBuildDateText());
    const CString numbers = info.GetField(CFileVersionInfo::FieldFileVersionNumbers);
    const int last = numbers.ReverseFind(L'.');
    const CString version = last > 0 ? numbers.Left(last) : numbers;
    const CString build = last > 0 ? numbers.Mid(last + 1) : CString();
    return FormatWelcomeVersion(version, build == L"0" ? CString() : build, GetBuildDateText());
}
} // namespace

CString GetWelcomeHtmlFolder()
{
    return GetProgramFolderFile(L"HTML\\");
}

CWelcomeDialog::CWelcomeDialog(bool autoFlag, HANDLE instanceEvent, WelcomeLauncher launcher)
    : m_auto(autoFlag), m_instanceEvent(instanceEvent), m_launch(std::move(launcher))
{
    if (!m_launch)
        m_launch = ShellStart;
}

CString CWelcomeDialog::LanguageFilePath() const
{
    const CString name = ReadLanguageSetting(GetSettingsFilePath());
    return name.IsEmpty() ? CString() : BuildLanguageFilePath(name);
}

LRESULT CWelcomeDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    StartEventWatcher();
    CreateView();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(m_hWnd, nullptr, 50, 50, (work.right - work.left) - 100, (work.bottom - work.top) - 100,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    FillLanguages();
    Translate();
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (HICON big =
            static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_WELCOME_APP), IMAGE_ICON,
                                            ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_WELCOME_APP), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), 0)))
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    LoadPage();
    SetTimer(kAutoTimer, kAutoDelayMs);
    m_highlight = true;
    BlinkControlFont(GetDlgItem(IDC_WELCOME_NOTE), kBlinkMessage, m_hWnd);
    ::WritePrivateProfileStringW(GetSettingsSectionName(), L"Welcome_Already_Started_V2_60", L"1",
                                 GetSettingsFilePath());
    return TRUE;
}

void CWelcomeDialog::StartEventWatcher()
{
    if (!m_instanceEvent)
        return;
    HANDLE event = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), m_instanceEvent, ::GetCurrentProcess(), &event, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        return;
    auto* watch = new InstanceWatch{m_hWnd, event};
    HANDLE thread = ::CreateThread(nullptr, 0, WatchInstanceEvent, watch, 0, nullptr);
    if (!thread) {
        ::CloseHandle(event);
        delete watch;
        return;
    }
    ::CloseHandle(thread);
}

void CWelcomeDialog::CreateView()
{
    HWND placeholder = GetDlgItem(IDC_WELCOME_HTML);
    RECT rect{};
    if (placeholder) {
        ::GetWindowRect(placeholder, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        ::DestroyWindow(placeholder);
    }
    m_view =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, HTMLayoutClassNameW(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WELCOME_HTML)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!m_view) {
        LogError(L"Welcome: the HTML view could not be created");
        return;
    }
    HTMLayoutSetCallback(m_view, &CWelcomeDialog::OnViewNotify, this);
    HTMLayoutWindowAttachEventHandler(m_view, &CWelcomeDialog::OnPageEvent, this, HANDLE_ALL);
}

LRESULT CALLBACK CWelcomeDialog::OnViewNotify(UINT code, LPVOID notification, LPVOID)
{
    if (code != HLN_LOAD_DATA || !notification)
        return 0;
    const auto* request = static_cast<const NMHL_LOAD_DATA*>(notification);
    if (request->dataType != HLRT_DATA_STYLE)
        return 0; // pictures come from the base address
    std::string sheet = ResourceBytes(IDR_WELCOME_STYLE);
    if (sheet.empty() &&
        !ReadFileBytesBounded(GetWelcomeHtmlFolder() + L"ext_style.css", kLargestPageFile, sheet))
        return 0;
    HTMLayoutDataReady(request->hdr.hwndFrom, request->uri, reinterpret_cast<const BYTE*>(sheet.data()),
                       static_cast<DWORD>(sheet.size()));
    return 0;
}

void CWelcomeDialog::FillLanguages()
{
    HWND combo = GetDlgItem(IDC_WELCOME_LANGUAGE);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    m_languages.clear();
    FillLanguageCombo(combo, ReadLanguageSetting(GetSettingsFilePath()), L"", m_languages);
}

void CWelcomeDialog::Translate()
{
    const CString path = LanguageFilePath();
    CString caption = LoadLocalizedTextOr(IDS_WELCOME_CAPTION, L"Welcome to Scrivolanter");
    bool admin = false;
    if (IsUserInAdminGroup(admin) && admin)
        caption += L"^";
    SetWindowText(caption);
    SetDlgItemText(IDC_WELCOME_HOME, LoadLocalizedTextOr(IDS_WELCOME_HOME_PAGE, L"Home Page"));
    SetDlgItemText(
        IDC_WELCOME_TRANSLATE,
        LoadLocalizedTextOr(IDS_WELCOME_TRANSLATE, L"How to translate Scrivolanter to other language"));
    SetDlgItemText(IDC_WELCOME_FACEBOOK, LoadLocalizedTextOr(IDS_WELCOME_FACEBOOK, L"Facebook Group"));
    SetDlgItemText(IDC_WELCOME_VKONTAKTE, LoadLocalizedTextOr(IDS_WELCOME_VKONTAKTE, L"VKontakte Group"));
    CSCVUrl::_Set_Use_RU_Urls(!path.IsEmpty() && IsRuLanguagePrefix(path) ? 1 : 0);
    if (!path.IsEmpty() && IsExistingFile(path)) {
        CMenuLocalizer localizer(path, L"_Welcome");
        localizer.SetWriteMissing(false);
        localizer.LocalizeDialog(m_hWnd, IDD);
    }
}

void CWelcomeDialog::LoadPage()
{
    if (!m_view)
        return;
    const CString htmlFolder = GetWelcomeHtmlFolder();
    const CString language = LanguageFilePath();
    m_pageFile = language.IsEmpty() ? CString()
                                    : SelectWelcomePage(htmlFolder, LanguageName(language),
                                                        WelcomeParentLanguage(language));
    std::string bytes;
    CString base;
    if (!m_pageFile.IsEmpty() && ReadFileBytesBounded(m_pageFile, kLargestPageFile, bytes)) {
        base = m_pageFile.Left(m_pageFile.ReverseFind(L'\\') + 1);
    } else {
        m_pageFile.Empty();
        bytes = ResourceBytes(IDR_WELCOME_PAGE);
        base = GetProgramFolderFile(L"HTML\\img");
    }
    CString page = Utf8ToWide(bytes.c_str());
    WelcomeMarkerValues values;
    values.hotKeyBlock = HotKeyBlock();
    values.rssUrl = EscapeHtmlText(CSCVUrl::NewsFeedUrl());
    values.versionInfo = EscapeHtmlText(VersionInfoText());
    values.localizePath =
        WelcomeUsesLine(m_pageFile.IsEmpty() ? CString(L"Embedded (en)") : m_pageFile, !m_pageFile.IsEmpty());
    values.subscribeUrl = EscapeHtmlText(CSCVUrl::SubscribePageUrl());
    if (ReplaceWelcomeMarkers(page, values))
        bytes = WideToUtf8(page);
    HTMLayoutLoadHtmlEx(m_view, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()),
                        base);
}

BOOL CALLBACK CWelcomeDialog::OnPageEvent(LPVOID tag, HELEMENT, UINT group, LPVOID params)
{
    auto* self = static_cast<CWelcomeDialog*>(tag);
    if (group == HANDLE_MOUSE) {
        const auto* mouse = static_cast<const MOUSE_PARAMS*>(params);
        UINT type = CTL_NO;
        HTMLayoutControlGetType(mouse->target, &type);
        if (mouse->cmd == MOUSE_DOWN && type == CTL_NO) {
            self->DragWindow();
            return TRUE;
        }
        return FALSE;
    }
    if (group != HANDLE_BEHAVIOR_EVENT)
        return FALSE;
    const auto* behavior = static_cast<const BEHAVIOR_EVENT_PARAMS*>(params);
    if (behavior->cmd != (HYPERLINK_CLICK | SINKING))
        return FALSE;
    LPCWSTR href = nullptr;
    HTMLayoutGetAttributeByName(behavior->heTarget, "href", &href);
    if (!href || !*href || href[0] == L'#')
        return FALSE;
    LPCWSTR floatPane = nullptr;
    const bool namesFloatPane =
        HTMLayoutGetAttributeByName(behavior->heTarget, kFloatPaneLinkAttribute, &floatPane) == HLDOM_OK &&
        floatPane != nullptr;
    // A link the window does not run is left to the view's own handling.
    return self->OnLinkClicked(href, namesFloatPane) ? TRUE : FALSE;
}

bool CWelcomeDialog::OnLinkClicked(const CString& href, bool namesFloatPane)
{
    // The first click on a link about the floating pane makes the main program's pane blink.
    if (namesFloatPane && !m_floatPaneBlinked) {
        m_floatPaneBlinked = true;
        PulseNamedEvent(GetFloatPaneBlinkEventName());
    }
    return RunLink(href);
}

bool CWelcomeDialog::RunLink(const CString& href)
{
    struct Command
    {
        const wchar_t* marker;
        bool editor;
        const wchar_t* parameters;
    };
    static const Command commands[] = {
        {L"%CMD_START_EDITOR%", true, L""},
        {L"%CMD_SHOW_TRAY_MENU%", false, L"/showmenu"},
        {L"%CMD_SHOW_CMD_LINE%", false, L"/?"},
        {L"%CMD_CHECK_FOR_UPDATES%", false, L"/cfu"},
    };
    CString file;
    CString parameters;
    for (const Command& command : commands) {
        if (href.CompareNoCase(command.marker) == 0) {
            file = command.editor ? GetEditorExePath() : GetProgramFolderFile(L"Scrivolanter.exe");
            parameters = command.parameters;
        }
    }
    if (file.IsEmpty() && IsPageFolderFile(href))
        file = href;
    if (!file.IsEmpty()) {
        const INT_PTR result = m_launch(m_hWnd, file, parameters);
        ::MessageBeep(result <= 32 ? MB_ICONHAND : MB_ICONASTERISK);
        return result > 32;
    }
    if (IsOpenableLink(href))
        return m_launch(m_hWnd, href, CString()) > 32;
    WriteLogLine(L"Welcome: a link that is no command, page file, web or mail address was not opened");
    return false;
}

LRESULT CWelcomeDialog::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client{};
    GetClientRect(&client);
    HWND ok = GetDlgItem(IDOK);
    RECT okRect{};
    ::GetWindowRect(ok, &okRect);
    const int okWidth = okRect.right - okRect.left;
    const int okHeight = okRect.bottom - okRect.top;
    const int okTop = client.bottom - 20 - okHeight;
    ::MoveWindow(ok, client.right - 20 - okWidth, okTop, okWidth, okHeight, TRUE);
    if (m_view) {
        RECT view{};
        ::GetWindowRect(m_view, &view);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&view), 2);
        ::MoveWindow(m_view, view.left, view.top, std::max<int>(0, client.right - 2 * view.left),
                     std::max<int>(0, okTop - 20 - view.top), TRUE);
    }
    int x = 20;
    for (int id : {IDC_WELCOME_HOME, IDC_WELCOME_FACEBOOK, IDC_WELCOME_VKONTAKTE}) {
        HWND link = GetDlgItem(id);
        RECT rect{};
        ::GetWindowRect(link, &rect);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        ::MoveWindow(link, x, okTop + (okHeight - height) / 2, width, height, TRUE);
        x += width + 20;
    }
    return 0;
}

LRESULT CWelcomeDialog::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kAutoTimer) {
        handled = FALSE;
        return 0;
    }
    KillTimer(kAutoTimer);
    if (m_auto)
        ::SendMessageW(GetDlgItem(IDC_WELCOME_LANGUAGE), CB_SHOWDROPDOWN, TRUE, 0);
    return 0;
}

LRESULT CWelcomeDialog::OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    const int id = ::GetDlgCtrlID(control);
    if (id == IDC_WELCOME_NOTE && m_highlight) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 0, 0));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    if (id >= IDC_WELCOME_HOME && id <= IDC_WELCOME_VKONTAKTE) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0xEE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    handled = FALSE;
    return 0;
}

void CWelcomeDialog::DragWindow()
{
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, 0xF012, 0);
}

LRESULT CWelcomeDialog::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    DragWindow();
    return 0;
}

LRESULT CWelcomeDialog::OnBringToFront(UINT, WPARAM, LPARAM, BOOL&)
{
    if (::IsIconic(m_hWnd))
        ::FlashWindow(m_hWnd, TRUE);
    const DWORD own = ::GetCurrentThreadId();
    HWND foreground = ::GetForegroundWindow();
    const DWORD other = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = other && other != own && ::AttachThreadInput(own, other, TRUE);
    ShowWindow(SW_RESTORE);
    ::SetActiveWindow(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    if (attached)
        ::AttachThreadInput(own, other, FALSE);
    return 0;
}

LRESULT CWelcomeDialog::OnBlink(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == 0) {
        m_highlight = false;
        ::RedrawWindow(GetDlgItem(IDC_WELCOME_NOTE), nullptr, nullptr,
                       RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    }
    return 0;
}

LRESULT CWelcomeDialog::OnClose(WORD, WORD id, HWND, BOOL&)
{
    DestroyWindow();
    ::PostQuitMessage(id);
    return 0;
}

LRESULT CWelcomeDialog::OnLanguageChosen(WORD, WORD, HWND, BOOL&)
{
    HWND combo = GetDlgItem(IDC_WELCOME_LANGUAGE);
    const LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return 0;
    const LRESULT index = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
    if (index < 0 || static_cast<size_t>(index) >= m_languages.size())
        return 0;
    const CString chosen = m_languages[static_cast<size_t>(index)];
    const CString settingsFile = GetSettingsFilePath();
    if (chosen.CompareNoCase(ReadLanguageSetting(settingsFile)) == 0)
        return 0;
    WriteLanguageSetting(chosen, settingsFile);
    PulseNamedEvent(GetLangUIChangedEventName());
    const CString path = LanguageFilePath();
    SetLanguageFileForStrings(path, L"_Welcome");
    Translate();
    LoadPage();
    return 0;
}

LRESULT CWelcomeDialog::OnWebLink(WORD code, WORD id, HWND, BOOL&)
{
    if (code != STN_CLICKED)
        return 0;
    CString address;
    switch (id) {
    case IDC_WELCOME_HOME:
        address = CSCVUrl::HomePageUrl();
        break;
    case IDC_WELCOME_TRANSLATE:
        address = CSCVUrl::TranslationHowToUrl();
        break;
    case IDC_WELCOME_FACEBOOK:
        address = CSCVUrl::FacebookPageUrl();
        break;
    default:
        address = CSCVUrl::VkPageUrl();
        break;
    }
    if (IsOpenableLink(address))
        m_launch(m_hWnd, address, CString());
    return 0;
}

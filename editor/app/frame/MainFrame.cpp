#include "editor/app/frame/MainFrame.h"
#include "common/HandedOutAddresses.h"

#include "common/LocalizedString.h"
#include "common/SharedLog.h"
#include "editor/app/frame/EditorInstance.h"
#include "editor/app/phrases/PhraseKindImages.h"
#include "editor/controls/MenuIcons.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/EditorTitles.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"
#include "platform/docview/DockBar.h"

#include <shellapi.h>

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

namespace
{

CMainFrame::SettingsPaneFactory g_settingsPaneFactory = nullptr;
bool g_loadLibrary = true;
bool g_hideSettings = false;

// The small shell icon of a file type, or null.
HICON LoadFileTypeIcon(LPCWSTR extension)
{
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(extension, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                          SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON))
        return nullptr;
    return info.hIcon;
}

HICON LoadModuleIcon(int id)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}

// The icon on the menu background; the icon is destroyed. Null for a null icon.
HBITMAP TakeIconAsMenuBitmap(HICON icon)
{
    if (!icon)
        return nullptr;
    HBITMAP bitmap = IconToMenuBackgroundBitmap(icon);
    ::DestroyIcon(icon);
    return bitmap;
}

const UINT kMenuBitmapCommands[] = {32772, 32811, 32822, 32773};

} // namespace

void CMainFrame::SetSettingsPaneFactory(SettingsPaneFactory factory)
{
    g_settingsPaneFactory = factory;
}

void CMainFrame::SetLoadLibraryOnCreate(bool load)
{
    g_loadLibrary = load;
}

void CMainFrame::SetHideSettingsOnCreate(bool hide)
{
    g_hideSettings = hide;
}

SettingsPane* CMainFrame::CreateEditorSettingsPane(CMainFrame& frame)
{
    return new SettingsPane(frame.GetPhrasesPane().GetSettings());
}

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame()
{
    m_menuTip.reset();
    m_settingsPane.reset();
    for (HBITMAP bitmap : m_menuBitmaps)
        if (bitmap)
            ::DeleteObject(bitmap);
}

void CMainFrame::BuildMenuBitmaps()
{
    HICON folder = nullptr;
    if (HIMAGELIST images = GetPhraseKindImageList())
        folder = ImageList_GetIcon(images, 1, ILD_NORMAL);
    m_menuBitmaps = {TakeIconAsMenuBitmap(LoadFileTypeIcon(L".txt")),
                     TakeIconAsMenuBitmap(LoadModuleIcon(158)), TakeIconAsMenuBitmap(folder),
                     TakeIconAsMenuBitmap(LoadModuleIcon(134))};
}

void CMainFrame::SetMenuBitmaps(HMENU popup)
{
    for (size_t i = 0; i < m_menuBitmaps.size(); ++i)
        if (m_menuBitmaps[i])
            SetMenuCommandBitmap(popup, kMenuBitmapCommands[i], m_menuBitmaps[i]);
}

bool CMainFrame::CreateSettingsPane()
{
    if (!g_settingsPaneFactory)
        return true;
    m_settingsPane.reset(g_settingsPaneFactory(*this));
    if (!m_settingsPane ||
        !m_settingsPane->CreatePane(LoadLocalizedTextOr(61215, L"Settings"), m_hWnd, !g_hideSettings)) {
        WriteLogLine(L"CMainFrame::OnCreate: the settings pane could not be created");
        return false;
    }
    return true;
}

void CMainFrame::CreateMenuToolTip()
{
    m_menuTip = std::make_unique<CMenuToolTipEditorClient>(m_phrasesPane.GetSettings(), &m_languages);
    if (!m_menuTip->Create(m_hWnd))
        WriteLogLine(L"CMainFrame::OnCreate: the menu tooltip could not be created");
}

UINT CMainFrame::GetInstanceMessage()
{
    return GetEditorInstanceMessage();
}

UINT CMainFrame::GetStatusTextMessage()
{
    return GetEditorStatusTextMessage();
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, HWND hParent, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle & ~FWS_ADDTOTITLE, hParent, pContext))
        return FALSE;
    if (HMENU menu = ::GetMenu(m_hWnd)) {
        LocalizeMenu(menu);
        ::DrawMenuBar(m_hWnd);
    }
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCTW* pcs)
{
    if (g_loadLibrary)
        GetEditorPhraseStore().Load(GetEditorSettings().GetPhrasesFolderWithoutSlash());
    if (CFrameWnd::OnCreate(pcs) == -1)
        return -1;
    BuildMenuBitmaps();
    // The document names the settings object the bars and both panes work on: attach it first.
    auto* context = pcs ? static_cast<CCreateContext*>(pcs->lpCreateParams) : nullptr;
    if (context)
        m_phrasesPane.AttachDocument(dynamic_cast<CDoc*>(context->m_pCurrentDoc));
    if (!CreateLanguageBars())
        return -1;
    if (!m_statusBar.Create(m_hWnd)) {
        WriteLogLine(L"CMainFrame::OnCreate: the status bar could not be created");
        return -1;
    }
    static const UINT indicators[] = {0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    m_statusBar.SetIndicators(indicators, 4);
    RecalcLayout();
    if (!CreateSettingsPane())
        return -1;
    const SIZE phrasesSize = {::GetSystemMetrics(SM_CXSCREEN) / 3, 300};
    if (!m_phrasesPane.Create(LoadLocalizedTextOr(61207, L"Phrases"), m_hWnd, phrasesSize, TRUE, 0,
                              WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT)) {
        WriteLogLine(L"CMainFrame::OnCreate: the phrases pane could not be created");
        return -1;
    }
    m_phrasesPane.UpdateCaptionCounter();
    DockPanes();
    if (auto* doc = context ? dynamic_cast<CDoc*>(context->m_pCurrentDoc) : nullptr) {
        doc->AddUpdateListener(this);
        if (m_settingsPane)
            doc->AddUpdateListener(m_settingsPane.get());
    }
    RecalcLayout();
    CreateMenuToolTip();
    StartCoopWatchers();
    AddSystemMenuItems();
    WatchSaveFailures(true);
    return 0;
}

void CMainFrame::DockPanes()
{
    // Settings below, phrases at the left; each may float and comes back only to its own side.
    EnableDocking(CBRS_ALIGN_ANY);
    if (m_settingsPane) {
        m_settingsPane->EnableDocking(CBRS_ALIGN_BOTTOM);
        DockControlBar(m_settingsPane.get(), AFX_IDW_DOCKBAR_BOTTOM);
    }
    m_phrasesPane.EnableDocking(CBRS_ALIGN_LEFT);
    DockControlBar(&m_phrasesPane, AFX_IDW_DOCKBAR_LEFT);
}

void CMainFrame::StartCoopWatchers()
{
    // Without the instance event (an editor that does not own the instance) nothing could stop them.
    HANDLE stop = GetEditorInstanceEvent();
    if (!stop)
        return;
    if (!StartOptionsChangedWatcher(m_hWnd, GetEditorOptionsChangedMessage(), stop))
        WriteLogLine(L"CMainFrame::OnCreate: the options watcher could not start");
    if (!StartAddPhraseFromClipboardWatcher(m_hWnd, GetEditorAddFromClipboardMessage(), stop))
        WriteLogLine(L"CMainFrame::OnCreate: the add-from-clipboard watcher could not start");
}

void CMainFrame::ShowPhrasesPane()
{
    if (!m_phrasesPane.m_hWnd)
        return;
    if (!m_phrasesPane.IsVisible())
        ShowControlBar(&m_phrasesPane, TRUE, FALSE);
    ::SetFocus(m_phrasesPane.m_hWnd);
}

LRESULT CMainFrame::OnOptionsChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // A burst of these (the main program saving several times, or anyone posting them) is one change:
    // the first queues one reload behind the others, which find it queued. The queued reload is this
    // frame's own post; a change heard while a reload runs (a box of it open) queues one more after it.
    if (TakeOwnMessage(m_hWnd, message, wParam, lParam)) {
        m_optionsReloadQueued = false;
        m_optionsReloading = true;
        m_optionsChangedAgain = false;
        ReloadOptions();
        m_optionsReloading = false;
        if (m_optionsChangedAgain)
            m_optionsReloadQueued = PostOwnMessage(m_hWnd, message, kReloadOptionsNow, 0);
        return 1;
    }
    if (m_optionsReloading)
        m_optionsChangedAgain = true;
    else if (!m_optionsReloadQueued)
        m_optionsReloadQueued = PostOwnMessage(m_hWnd, message, kReloadOptionsNow, 0);
    return 1;
}

void CMainFrame::ReloadOptions()
{
    WriteLogLine(L"CMainFrame::OnOptionsChanged: reloading the settings");
    // The main program's values come in; what was changed here and not saved yet stays for the next save.
    m_phrasesPane.GetSettings().ReloadEditor();
    if (m_settingsPane && m_settingsPane->m_hWnd)
        m_settingsPane->ReloadCurrentPage();
}

LRESULT CMainFrame::OnAddFromClipboardRequest(UINT message, WPARAM, LPARAM, BOOL&)
{
    WriteLogLine(L"CMainFrame: add a phrase from the clipboard (request of another program)");
    ShowPhrasesPane();
    PostOwnMessage(m_phrasesPane.m_hWnd, message, 0, 0);
    return 0;
}

void CMainFrame::OnDocUpdate(CView*, LPARAM hint, CObject* object)
{
    if (hint == kHintFileRenamed) {
        OnUpdateFrameTitle(TRUE); // the caption shows the new name
        return;
    }
    if (hint != kHintSelect)
        return;
    const INT_PTR id = IdFromHintObject(object);
    if (id == m_captionItem)
        return;
    m_captionItem = id;
    OnUpdateFrameTitle(TRUE);
}

void CMainFrame::OnUpdateFrameTitle(BOOL)
{
    CString caption =
        BuildFrameCaption(GetEditorTitleFacts(), m_phrasesPane.GetSettings().GetPhrasesFolderWithoutSlash());
    if (m_captionItem >= 0) {
        if (PhraseItemRecord* record =
                m_phrasesPane.GetStore().FindItemById(static_cast<int>(m_captionItem))) {
            const CString name = record->GetTitle();
            if (!name.IsEmpty())
                caption += L"  :  [" + name + L"]";
        }
    }
    ::SetWindowTextW(m_hWnd, caption);
}

void CMainFrame::SetStartFlags(int flags)
{
    m_startFlags = flags;
    CString line;
    line.Format(L"CMainFrame::SetStartFlags: %d", flags);
    WriteLogLine(line);
    if ((flags & 1) != 0) {
        ShowPhrasesPane();
        PostOwnMessage(m_phrasesPane.m_hWnd, GetEditorNewPhraseFromClipboardMessage(), 0, 0);
    }
    if ((flags & kAttentionStartFlag) != 0 && m_languageBar)
        m_languageBar->StartAttentionTimer();
    if ((flags & kSelectedTextStartFlag) != 0)
        PostOwnMessage(m_hWnd, GetEditorAddSelectedTextMessage(), 0, 0);
}

LRESULT CMainFrame::OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // Only a text this editor hands over (SendEditorStatusText) is read.
    const auto* text = reinterpret_cast<LPCWSTR>(lParam);
    if (!IsHandedOut(HandOverKind::OwnWindowData, text, sizeof(wchar_t)))
        return 0;
    SetMessageText(text);
    return 1;
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != PhraseChangeDebounce::kTimerId) {
        bHandled = FALSE;
        return 0;
    }
    m_debounce.OnTimer(m_hWnd);
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (m_menuTip)
        m_menuTip->DestroyTipWindow();
    WatchSaveFailures(false);
    if (CDoc* doc = GetDoc()) {
        doc->RemoveUpdateListener(this);
        if (m_settingsPane)
            doc->RemoveUpdateListener(m_settingsPane.get());
    }
    // Every close tells the main program once, with or without a pending change: the settings pane
    // always has settings to announce.
    if (m_settingsPane)
        m_settingsPane->HasUnsentChanges();
    m_debounce.Flush(m_hWnd);
    bHandled = FALSE; // the framework ends the program's loop
    return 0;
}

LRESULT CMainFrame::OnTogglePhrases(WORD, WORD, HWND, BOOL&)
{
    ShowControlBar(&m_phrasesPane, !m_phrasesPane.IsVisible(), FALSE);
    return 0;
}

void CMainFrame::OnUpdatePhrases(CCmdUI* ui)
{
    ui->SetCheck(m_phrasesPane.IsVisible() ? 1 : 0);
}

LRESULT CMainFrame::OnExit(WORD, WORD, HWND, BOOL&)
{
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

bool ShowViewMenuAtCursor()
{
    CWinApp* app = CWinApp::GetApp();
    auto* frame = app ? dynamic_cast<CMainFrame*>(app->GetMainWnd()) : nullptr;
    if (!frame || !frame->m_hWnd)
        return false;
    return PostOwnMessage(frame->m_hWnd, CMainFrame::kViewMenuMessage, 0,
                          static_cast<LPARAM>(::GetMessagePos()));
}

namespace
{

CMainFrame* GetThisThreadsMainFrame()
{
    CWinApp* app = CWinApp::GetApp();
    auto* frame = app ? dynamic_cast<CMainFrame*>(app->GetMainWnd()) : nullptr;
    return frame && frame->m_hWnd ? frame : nullptr;
}

} // namespace

bool NotePhrasesChanged()
{
    CMainFrame* frame = GetThisThreadsMainFrame();
    if (!frame)
        return false;
    frame->NoteChange();
    return true;
}

bool SetMenuTipPasteText(const CString& text)
{
    CMainFrame* frame = GetThisThreadsMainFrame();
    CMenuToolTipEditorClient* tip = frame ? frame->GetMenuToolTip() : nullptr;
    if (!tip)
        return false;
    tip->SetPasteText(text);
    return true;
}

CDoc* CMainFrame::GetDoc()
{
    return dynamic_cast<CDoc*>(GetActiveDocument());
}

bool CMainFrame::FolderHasPhraseFiles(const CString& folder)
{
    auto holds = [](const CString& dir) {
        WIN32_FIND_DATAW data = {};
        HANDLE find = ::FindFirstFileW(dir + L"\\*.scrivolanter", &data);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(find);
        return true;
    };
    if (holds(folder))
        return true;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(folder + L"\\*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        const bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isDir && wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
            found = holds(folder + L"\\" + data.cFileName);
    } while (!found && ::FindNextFileW(find, &data));
    ::FindClose(find);
    return found;
}

bool CMainFrame::OpenPhrasesFolder(const CString& path, bool ask)
{
    // A folder that no longer exists holds no phrase files: the question comes first, so a "not found"
    // folder may still be chosen. The store, the settings and the caption then stay on one folder: a
    // missing one is made (the user's OK to the question is the consent) or refused.
    if (ask && !FolderHasPhraseFiles(path)) {
        const CString question =
            path + L"\r\r" +
            LoadLocalizedTextOr(
                221, L"It seems, the folder contains no files of the Scrivolanter. You want to choose "
                     L"this folder?");
        if (::MessageBoxW(m_hWnd, question, nullptr, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            return false;
        if (!FolderExists(path) && !CreatePhrasesFolder(path))
            return false;
    }
    if (!EnsurePhrasesFolder(path))
        return false;
    CDoc* doc = GetDoc();
    // The pending edit of the current phrase belongs to the old library: save it before anything moves.
    if (doc && doc->GetCurrentItem() != -1 && !doc->SavePendingEdit())
        return false;
    if (doc) {
        doc->ForgetCurrentItem();
        doc->SwapMainView(false, false);
    }
    m_captionItem = -1;
    CEditorSettings& settings = m_phrasesPane.GetSettings();
    settings.AddRecentFolder(settings.GetPhrasesFolderWithoutSlash());
    settings.SetPhrasesDirectory(path);
    CEditorPhraseStore& store = m_phrasesPane.GetStore();
    store.FlushSaves();
    store.Load(path);
    if (doc)
        doc->UpdateViewsForItem(nullptr, kHintFolderReopened, nullptr);
    OnUpdateFrameTitle(TRUE);
    settings.SaveEditor();
    return true;
}

#include "editor/app/frame/EditorApp.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>

#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "online/CSCVUrl.h"
#include "editor/app/document/Doc.h"
#include "editor/app/frame/EditorAboutDlg.h"
#include "editor/app/frame/EditorCommandLineInfo.h"
#include "editor/app/frame/EditorDocTemplate.h"
#include "editor/app/frame/EditorInstance.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/app/phrases/FolderView.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"
#include "editor/controls/ThemeBinder.h"

namespace
{

EditorApp* g_editorApp = nullptr;
constexpr UINT kEditorResourceSet = 128;

// The visual-styles binding the editor's windows share, for the life of the process.
void BindThemes()
{
    static CThemeBinder binder;
}

} // namespace

HMODULE LoadRichEditLibrary()
{
    if (HMODULE module = ::LoadLibraryW(L"RichEd20.DLL"))
        return module;
    WriteLogLine(L"EditorApp::InitInstance: RichEd20.DLL could not be loaded; trying Msftedit.dll");
    // The newer library registers the same "RichEdit20W" class the editor's text windows use.
    HMODULE module = ::LoadLibraryW(L"Msftedit.dll");
    if (!module)
        WriteLogLine(L"EditorApp::InitInstance: no rich edit library could be loaded");
    return module;
}

EditorApp* GetEditorApp()
{
    return g_editorApp;
}

void EditorApp::HandOverToRunningEditor()
{
    WriteLogLine(L"EditorApp::InitInstance: another editor runs; handing over");
    EditorCommandLineInfo info;
    ParseCommandLine(info);
    // The running editor acts on the start flags as if it had been started with them; "addfromcb"
    // goes through its own event below.
    const int flags = info.GetStartFlags() & ~1;
    FindAndActivateWindowByMessage(GetEditorInstanceMessage(), true, static_cast<WPARAM>(flags));
    if (IsAddFromClipboardInCommandLine(::GetCommandLineW()))
        SignalAddPhraseFromClipboard();
}

void EditorApp::StartLog()
{
    SetLogProgramTag(kLogTagEditor);
    if (GetSettings().WriteLog != 0)
        LogOpen(GetLogReportPath());
}

void EditorApp::StartLocalization()
{
    const CString language = GetSettings().GetLanguageFilePath();
    if (!language.IsEmpty())
        StartEditorMenuLocalizer(language);
}

BOOL EditorApp::InitInstance()
{
    InstallEditorSettings();
    StartLog();
    // One step decides: of two editors started at the same moment only one makes the event.
    if (!ClaimEditorInstance()) {
        HandOverToRunningEditor();
        return FALSE;
    }
    m_ownsInstance = true;

    // OLE first: drag and drop inside the phrase text and the rich edit object model need it.
    m_oleStarted = SUCCEEDED(::OleInitialize(nullptr));
    if (!m_oleStarted)
        WriteLogLine(L"EditorApp::InitInstance: OLE could not be initialised");
    g_editorApp = this;
    m_shell32 = ::LoadLibraryW(L"shell32.dll");
    m_comStarted = SUCCEEDED(::CoInitialize(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    BindThemes();
    m_richEdit = LoadRichEditLibrary();

    StartLocalization();
    // Web links follow the language in use from the start, not only after a change of language.
    CSCVUrl::_Set_Use_RU_Urls(IsRuUrlsLanguage() ? 1 : 0);
    SetRegistryKey(L"Scrivolanter");
    LoadStdProfileSettings(4);

    AddDocTemplate(new EditorDocTemplate(kEditorResourceSet, RUNTIME_CLASS(CDoc), RUNTIME_CLASS(CMainFrame),
                                         RUNTIME_CLASS(CFolderView)));

    EditorCommandLineInfo info;
    ParseCommandLine(info);
    m_hideSettings = info.m_hideSettings;
    CMainFrame::SetHideSettingsOnCreate(m_hideSettings != 0);
    CMainFrame::SetSettingsPaneFactory(&CMainFrame::CreateEditorSettingsPane);

    m_nCmdShow = SW_SHOWMAXIMIZED;
    if (!ProcessShellCommand(info)) {
        WriteLogLine(L"EditorApp::InitInstance: the main window could not be created");
        return FALSE;
    }
    HWND main = GetMainWnd() ? GetMainWnd()->m_hWnd : nullptr;
    ::ShowWindow(main, SW_SHOWMAXIMIZED);
    ::UpdateWindow(main);

    const int flags = info.GetStartFlags();
    auto* frame = dynamic_cast<CMainFrame*>(GetMainWnd());
    // Before the start flags add anything: the library must be on a folder that exists.
    if (frame)
        frame->CheckPhrasesFolderOnStart();
    if (flags != 0 && frame)
        frame->SetStartFlags(flags);
    WriteLogLine(L"EditorApp::InitInstance: started");
    return TRUE;
}

LRESULT EditorApp::OnAppAbout(WORD, WORD, HWND, BOOL&)
{
    CEditorAboutDlg about;
    about.DoModal(GetMainWnd() ? GetMainWnd()->m_hWnd : nullptr);
    return 0;
}

int EditorApp::ExitInstance()
{
    if (m_ownsInstance)
        CloseEditorInstanceEvent();
    const int code = CWinApp::ExitInstance();
    SignalEditorEnded();
    WriteLogLine(L"EditorApp::ExitInstance: ended");
    if (m_richEdit)
        ::FreeLibrary(m_richEdit);
    if (m_comStarted)
        ::CoUninitialize();
    if (m_oleStarted)
        ::OleUninitialize();
    if (m_shell32)
        ::FreeLibrary(m_shell32);
    g_editorApp = nullptr;
    return code;
}

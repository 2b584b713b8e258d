#include "platform/docview/App.h"

#include <shellapi.h>

#include "platform/CAppModule.h"
#include "platform/docview/DocView.h"
#include "platform/docview/FrameWnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace
{

CWinApp* g_app = nullptr;

} // namespace

void CCommandLineInfo::ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag || !pszParam || !*pszParam || !m_strFileName.IsEmpty())
        return;
    m_strFileName = pszParam;
    m_nShellCommand = FileOpen;
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    m_templates.clear();
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::GetApp()
{
    return g_app;
}

int CWinApp::WinMain(HINSTANCE hInstance, LPCWSTR lpCmdLine, int nCmdShow)
{
    m_hInstance = hInstance;
    m_strCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;
    _Module.Init(hInstance);
    _Module.AddMessageLoop(this);
    int code = 0;
    if (InitInstance()) {
        m_nExitCode = Run();
        code = ExitInstance();
    }
    _Module.RemoveMessageLoop();
    _Module.Term();
    return code;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

void CWinApp::ParseCommandLineText(LPCWSTR commandLine, CCommandLineInfo& info)
{
    if (!commandLine || !*commandLine)
        return;
    // CommandLineToArgvW takes its first word as the program name: give it a dummy one.
    CString line = CString(L"x ") + commandLine;
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(line, &count);
    if (!args)
        return;
    for (int i = 1; i < count; ++i) {
        LPCWSTR word = args[i];
        const bool flag = word[0] == L'/' || word[0] == L'-';
        info.ParseParam(flag ? word + 1 : word, flag, i == count - 1);
    }
    ::LocalFree(args);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const
{
    ParseCommandLineText(m_strCmdLine, info);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    CDocTemplate* docTemplate = GetFirstDocTemplate();
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        return docTemplate && docTemplate->OpenDocumentFile(nullptr) != nullptr;
    case CCommandLineInfo::FileOpen:
        return docTemplate && docTemplate->OpenDocumentFile(info.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate)
        m_templates.emplace_back(pTemplate);
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const
{
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

CDocument* CWinApp::GetActiveDocument() const
{
    auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
    return frame ? frame->GetActiveDocument() : nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    HWND mainWnd = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(mainWnd, pMsg))
        return TRUE;
    // a message of another top-level window (a floating pane) still passes the main frame
    if (mainWnd && pMsg->hwnd != mainWnd && !::IsChild(mainWnd, pMsg->hwnd) &&
        m_pMainWnd->PreTranslateMessage(pMsg))
        return TRUE;
    return CMessageLoop::PreTranslateMessage(pMsg);
}

BOOL CWinApp::OnIdle(int nIdleCount)
{
    if (nIdleCount == 0) {
        auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
        if (frame && frame->m_hWnd)
            frame->OnIdleUpdateCmdUI();
    }
    CMessageLoop::OnIdle(nIdleCount);
    return FALSE;
}

BOOL CWinApp::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    return DispatchCmdMsg(nID, nCode, pExtra);
}

BOOL TranslateMainAccelerators(MSG* pMsg)
{
    if (!pMsg || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    CWinApp* app = CWinApp::GetApp();
    auto* frame = app ? dynamic_cast<CFrameWnd*>(app->GetMainWnd()) : nullptr;
    if (!frame || !frame->m_hWnd || !frame->m_hAccelTable)
        return FALSE;
    return ::TranslateAcceleratorW(frame->m_hWnd, frame->m_hAccelTable, pMsg) != 0;
}

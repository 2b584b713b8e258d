#pragma once
// The application object of a document/view program: start (InitInstance), the message loop with the
// pre-translate walk and idle-time command-user-interface updates, the end (ExitInstance), the command line
// and the document templates. One per process.
//
//   class CMyApp : public CWinApp { BOOL InitInstance() override; };
//   int WINAPI wWinMain(HINSTANCE h, HINSTANCE, LPWSTR cmd, int show) { CMyApp app; return app.WinMain(h,
//   cmd, show); }

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/CMessageLoop.h"
#include "platform/CString.h"
#include "platform/docview/CmdTarget.h"

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CWnd;

// The command line as the application understands it: a plain word names a file to open, no word means a new
// document. Derived classes look at further words in ParseParam.
class CCommandLineInfo
{
public:
    enum ShellCommand
    {
        FileNew,
        FileOpen,
        FileNothing,
    };

    virtual ~CCommandLineInfo() = default;
    // One word of the command line; bFlag when it began with "/" or "-" (the text is without that character).
    virtual void ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL bLast);

    ShellCommand m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget, public CMessageMap, public CMessageLoop
{
    DECLARE_DYNAMIC(CWinApp)

public:
    CWinApp();
    ~CWinApp() override;

    BEGIN_MSG_MAP(CWinApp)
    END_MSG_MAP()

    // Runs the program: InitInstance, then (when it returned TRUE) the message loop and ExitInstance. A
    // failed InitInstance ends the program at once with exit code 0. Returns the exit code.
    int WinMain(HINSTANCE hInstance, LPCWSTR lpCmdLine, int nCmdShow);

    virtual BOOL InitInstance();
    // The exit code: the WM_QUIT wParam unless overridden.
    virtual int ExitInstance();

    // Splits the command line (without the program name) into words and gives each to ParseParam.
    void ParseCommandLine(CCommandLineInfo& info) const;
    static void ParseCommandLineText(LPCWSTR commandLine, CCommandLineInfo& info);
    // FileNew and FileOpen go to the first template's OpenDocumentFile (null or the file name). FALSE when
    // there is no template or it gives no document.
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    void AddDocTemplate(CDocTemplate* pTemplate); // takes ownership
    CDocTemplate* GetFirstDocTemplate() const;

    void SetRegistryKey(LPCWSTR key) { m_strRegistryKey = key; }
    const CString& GetRegistryKey() const { return m_strRegistryKey; }
    // The recent-file list is kept at its size only; nothing fills or shows it.
    void LoadStdProfileSettings(UINT nMaxMRU = 4) { m_nMaxMRU = nMaxMRU; }

    CWnd* GetMainWnd() const { return m_pMainWnd; }
    void SetMainWnd(CWnd* pWnd) { m_pMainWnd = pWnd; }
    CDocument* GetActiveDocument() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle(int nIdleCount) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

    // The application object of the process, or null.
    static CWinApp* GetApp();

    HINSTANCE m_hInstance = nullptr;
    CString m_strCmdLine;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_strRegistryKey;
    UINT m_nMaxMRU = 0;
    int m_nExitCode = 0;

protected:
    CMessageMap* GetCommandMap() override { return this; }

private:
    CWnd* m_pMainWnd = nullptr;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

// Keyboard messages only: translated through the accelerator table of the application's main frame (for
// bars and pages whose own pre-translation would eat the keys first). FALSE for other messages, without a
// main frame or table, or when no accelerator matched.
BOOL TranslateMainAccelerators(MSG* pMsg);

#pragma once

// The editor's application object: hands a second start over to the running
// editor, starts the libraries, the log, the settings and the localisation,
// builds the document template and the main frame, and tells the main program
// when the editor ends.

#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

class EditorApp : public CWinApp
{
public:
    BEGIN_MSG_MAP(EditorApp)
    COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAppAbout)
    CHAIN_MSG_MAP(CWinApp)
    END_MSG_MAP()

    BOOL InitInstance() override;
    int ExitInstance() override;

    int GetHideSettings() const { return m_hideSettings; }

private:
    LRESULT OnAppAbout(WORD, WORD, HWND, BOOL&);
    // The second-start road: activate the running editor, pass "addfromcb" on.
    void HandOverToRunningEditor();
    void StartLog();
    void StartLocalization();

    int m_hideSettings = 0;
    bool m_ownsInstance = false;
    HMODULE m_shell32 = nullptr;
    HMODULE m_richEdit = nullptr;
    bool m_comStarted = false;
    bool m_oleStarted = false;
};

// The application object, or null before InitInstance.
EditorApp* GetEditorApp();

// Loads the rich edit library of the editor's text windows ("RichEd20.DLL", else the newer library
// that registers the same window class); null when neither loads (logged).
HMODULE LoadRichEditLibrary();

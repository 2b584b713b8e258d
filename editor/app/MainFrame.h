#pragma once

// The editor's main frame: menu, accelerators and icon of resource set 128, the status bar, the phrases
// pane docked at the left (and the settings pane at the bottom when one is provided), the caption with the
// current phrase, the answers to the editor's registered messages, and the debounce of saved phrase
// changes towards the main program.

#include "editor/app/EditorMessages.h"
#include "editor/app/PhraseChangeDebounce.h"
#include "editor/app/PhrasesPane.h"
#include "platform/docview/ControlBars.h"
#include "platform/docview/FrameWnd.h"

#include <memory>

class CMainFrame : public CFrameWnd, public IDocUpdateListener
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    // Makes the settings pane (docked at the bottom); null leaves the frame without one.
    using SettingsPaneFactory = CControlBar* (*)(CMainFrame& frame);
    static void SetSettingsPaneFactory(SettingsPaneFactory factory);
    // Whether creation loads the phrase library from the settings' phrases folder (on by default).
    static void SetLoadLibraryOnCreate(bool load);

    static constexpr UINT kPhrasesCommand = 32771;
    static constexpr UINT kExitCommand = 32834;

    BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(GetInstanceMessage(), OnInstanceQuestion)
    MESSAGE_HANDLER(GetStatusTextMessage(), OnStatusText)
    MESSAGE_HANDLER(GetEditorOptionsChangedMessage(), OnOptionsChanged)
    MESSAGE_HANDLER(GetEditorAddFromClipboardMessage(), OnAddFromClipboardRequest)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    COMMAND_ID_HANDLER(kPhrasesCommand, OnTogglePhrases)
    COMMAND_ID_HANDLER(kExitCommand, OnExit)
    UPDATE_COMMAND_UI_HANDLER(kPhrasesCommand, OnUpdatePhrases)
    CHAIN_MSG_MAP(CFrameWnd)
    END_MSG_MAP()

    CMainFrame();
    ~CMainFrame() override;

    int OnCreate(CREATESTRUCTW* pcs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    // Start flags of the command line (bit 0 addfromcb, 1 firstrun, 2 addseltext); bit 0 shows the
    // phrases pane and has it add a phrase from the clipboard.
    void SetStartFlags(int flags);
    int GetStartFlags() const { return m_startFlags; }

    PhrasesPane& GetPhrasesPane() { return m_phrasesPane; }
    CControlBar* GetSettingsPane() { return m_settingsPane.get(); }
    PhraseChangeDebounce& GetChangeDebounce() { return m_debounce; }
    // A saved change: restart the wait of the debounce.
    void NoteChange() { m_debounce.NoteChange(m_hWnd); }

    // Makes `path` the phrases folder: the current phrase's pending edit is saved first (hint 2), the
    // document forgets its item, the library is loaded from the folder and hint 17 goes out. A folder
    // without phrase files is taken only when the user agrees (`ask`). False when not taken.
    bool OpenPhrasesFolder(const CString& path, bool ask = true);
    // True when the folder or one of its direct subfolders holds a phrase file.
    static bool FolderHasPhraseFiles(const CString& folder);

    HWND GetListenerWindow() override { return m_hWnd; }
    void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) override;

private:
    static UINT GetInstanceMessage();
    static UINT GetStatusTextMessage();
    LRESULT OnInstanceQuestion(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnOptionsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddFromClipboardRequest(UINT, WPARAM, LPARAM, BOOL&);
    void StartCoopWatchers();
    void ShowPhrasesPane();
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnTogglePhrases(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    void OnUpdatePhrases(CCmdUI* ui);

    CDoc* GetDoc();

    CStatusBar m_statusBar;
    PhrasesPane m_phrasesPane;
    std::unique_ptr<CControlBar> m_settingsPane;
    PhraseChangeDebounce m_debounce;
    INT_PTR m_captionItem = -1;
    int m_startFlags = 0;
};

// Called after every saved change of a phrase: the main frame of this thread restarts its debounce.
// False when there is no main frame.
bool NotePhrasesChanged();

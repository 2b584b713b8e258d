#pragma once

// The editor's main frame: menu, accelerators and icon of resource set 128,
// the status bar, the caption with the phrases folder, and the answers to the
// editor's registered messages (the instance question, status texts).

#include "platform/docview/ControlBars.h"
#include "platform/docview/FrameWnd.h"

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(GetInstanceMessage(), OnInstanceQuestion)
    MESSAGE_HANDLER(GetStatusTextMessage(), OnStatusText)
    CHAIN_MSG_MAP(CFrameWnd)
    END_MSG_MAP()

    int OnCreate(CREATESTRUCTW* pcs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    // Start flags of the command line (bit 0 addfromcb, 1 firstrun, 2 addseltext).
    void SetStartFlags(int flags);
    int GetStartFlags() const { return m_startFlags; }

private:
    static UINT GetInstanceMessage();
    static UINT GetStatusTextMessage();
    LRESULT OnInstanceQuestion(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&);

    CStatusBar m_statusBar;
    int m_startFlags = 0;
};

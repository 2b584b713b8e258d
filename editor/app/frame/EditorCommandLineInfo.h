#pragma once

// The editor's command line: the framework's words plus four switches, each
// written after "/" or "-" in any letter case: addfromcb, firstrun,
// addseltext, hidesettings.

#include "platform/docview/App.h"

class EditorCommandLineInfo : public CCommandLineInfo
{
public:
    void ParseParam(LPCWSTR pszParam, BOOL bFlag, BOOL bLast) override;

    // Bit 0 addfromcb, bit 1 firstrun, bit 2 addseltext ("hidesettings" is
    // no start flag).
    int GetStartFlags() const { return m_addFromCb | (m_firstRun << 1) | (m_addSelText << 2); }

    int m_addFromCb = 0;
    int m_firstRun = 0;
    int m_addSelText = 0;
    int m_hideSettings = 0;
};

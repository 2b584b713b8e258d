#pragma once

// The application services the floating history pane asks for, served from
// the tray program: the tray window, the hook DLL's target window, sounds,
// the start-up notes, the copy events, web addresses and searches, and
// history items written to files.

#include "menus/floatpane/FloatPaneServices.h"

class CSCVDLLService;

class CFloatPaneAppHost : public IFloatPaneHost
{
public:
    // The service is not owned and may be null (no target window then).
    explicit CFloatPaneAppHost(const CSCVDLLService* dllService) : m_dllService(dllService) {}
    virtual ~CFloatPaneAppHost() = default;

    HWND GetTrayWindow() override;
    HWND GetTargetWindow() override;
    void PlayPaneSound(int sound) override;
    void ReportText(LPCWSTR text) override;
    void SignalCopy(bool start) override;
    bool IsElevated() override;
    CString FormatAndMoreText(int count) override;
    bool OpenUrl(const CString& text) override;
    bool SearchWeb(const CString& text, int kind) override;
    bool RunCommand(const CString& command) override;
    // Replaces the file (the save dialog asked before overwriting).
    bool SaveItemToFile(const CCHItem& item, const CString& path) override;
    bool OpenItemInTempFile(const CCHQueue& queue, int row, HWND owner, bool withProgram) override;
    void LocalizeMenu(HMENU menu) override;
    CMenuToolTip* GetMenuToolTip() override { return m_menuToolTip; }
    // The tray menu's tooltip, which the pane's menus use too (not owned; null: none).
    void SetMenuToolTip(CMenuToolTip* toolTip) { m_menuToolTip = toolTip; }

private:
    const CSCVDLLService* m_dllService;
    CMenuToolTip* m_menuToolTip = nullptr;
};

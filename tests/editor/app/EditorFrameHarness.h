#pragma once
// The editor's real main frame as tests host it, over the document harness: no language library is
// loaded, the co-operation event is held as the main program holds it, and the frame's test
// settings (settings pane, hidden start, report box, file browser opener) are put back when the
// harness goes. It destroys the frame without asking, so nothing a test left unsaved is written.

#include "EditorDocHarness.h"
#include "common/KernelHandle.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/app/settings/SettingsPane.h"

namespace scvtest
{

// A settings pane whose start-with-Windows value goes under HKCU\`RunKey`, not to the user's own.
template <const wchar_t* RunKey>
SettingsPane* CreateSettingsPaneOnTestKey(CMainFrame& frame)
{
    return new SettingsPane(frame.GetPhrasesPane().GetSettings(), RunKey, L"C:\\none\\Scrivolanter.exe");
}

class EditorFrameHarness : public BasicEditorDocHarness<CMainFrame>
{
public:
    EditorFrameHarness() { CMainFrame::SetLoadLibraryOnCreate(false); }
    ~EditorFrameHarness()
    {
        Destroy();
        CMainFrame::SetLoadLibraryOnCreate(true);
        CMainFrame::SetSettingsPaneFactory(nullptr);
        CMainFrame::SetHideSettingsOnCreate(false);
        CMainFrame::SetReportBox(nullptr);
        CMainFrame::SetExplorerOpener(nullptr);
        if (m_runKey)
            ::RegDeleteTreeW(HKEY_CURRENT_USER, m_runKey);
    }

    // Loads the settings and points them at the temp phrases folder.
    void LoadSettings()
    {
        settings.LoadEditor();
        settings.SetPhrasesDirectory(temp.PathOf(L"phrases").c_str());
    }
    // Opens the main frame over the settings as they stand, from resource set `resourceId` (0: none).
    bool OpenFrame(UINT resourceId, const CRuntimeClass* textViewClass)
    {
        return OpenWithSettings(RUNTIME_CLASS(CMainFrame), textViewClass, resourceId);
    }
    // The frame will dock a settings pane on the test key HKCU\`RunKey` (made now, removed with the
    // harness). False when the key cannot be made.
    template <const wchar_t* RunKey>
    bool UseSettingsPaneOnKey()
    {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        m_runKey = RunKey;
        CMainFrame::SetSettingsPaneFactory(&CreateSettingsPaneOnTestKey<RunKey>);
        return true;
    }
    // "Local\Scrivolanter_CoopClientEditor", which the frame sets on phrase changes and on closing.
    HANDLE CoopEvent() const { return m_coopEvent.Get(); }

private:
    CKernelHandle m_coopEvent{::CreateEventW(nullptr, FALSE, FALSE, L"Local\\Scrivolanter_CoopClientEditor")};
    const wchar_t* m_runKey = nullptr;
};

} // namespace scvtest

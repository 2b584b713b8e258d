#pragma once

// The abstract settings page the settings pane drives: a modeless child
// dialog made from a template id, with a tooltip control for its control tips
// and four operations (save into the settings object, load from it, localise,
// reload). Pages write values into the settings object only.

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "editor/controls/EditorSettings.h"
#include "platform/CDialogImpl.h"

class SettingsPage : public CDialogImpl<SettingsPage>
{
public:
    enum
    {
        IDD = 0
    };

    SettingsPage(int templateId, CEditorSettings& settings) : m_templateId(templateId), m_settings(settings)
    {}
    ~SettingsPage() override;

    int GetTemplateId() const { return m_templateId; }
    // Creates the page window from its template; null on failure.
    HWND CreatePage(HWND parent);
    // The page's tooltip control, made when missing and the page exists.
    HWND GetToolTip();
    // Adds or replaces the tip of one control of the page.
    void SetControlTip(int controlId, LPCWSTR text);
    // The same for any window inside the page (a child of one of its controls).
    void SetWindowTip(HWND window, LPCWSTR text);
    CEditorSettings& Settings() { return m_settings; }

    virtual int SaveToSettings() = 0;
    virtual void LoadFromSettings() = 0;
    virtual void Localize() = 0;
    // The settings object was reloaded: the page shows its values again, except where the user has
    // changed the page since its last load and not applied it yet: those controls keep what the user
    // typed or chose (and still count as changed).
    virtual void Reload();

    BEGIN_MSG_MAP(SettingsPage)
    MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
    END_MSG_MAP()

protected:
    // The page's controls written into a settings object, nothing else.
    virtual void ReadControls(CEditorSettings&) {}
    // Called at the end of a load: what the controls show now counts as unchanged by the user.
    void RememberShownValues();
    // Only the values the user changed on the page since its last load go into the settings object:
    // the other controls may still show values the main program has changed since.
    void TakeEditedValues();

    bool IsChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked)
    {
        ::CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    // The whole text as a decimal number; empty reads 0.
    int ReadNumber(int id) const;
    void WriteNumber(int id, int value) { ::SetDlgItemInt(m_hWnd, id, static_cast<UINT>(value), TRUE); }
    void EnableItem(int id, bool enable) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE); }

private:
    LRESULT OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& handled);

    int m_templateId;
    CEditorSettings& m_settings;
    HWND m_tip = nullptr;
    // The page's edit boxes whose text differs from what the last load showed.
    std::vector<HWND> TypedEditBoxes() const;

    std::unique_ptr<CEditorSettings> m_shown; // the controls' values after the last load
    std::vector<std::pair<HWND, CString>> m_shownTexts; // the edit boxes' texts after the last load
};

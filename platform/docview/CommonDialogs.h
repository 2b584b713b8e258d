#pragma once
// The framework's file dialog: an explorer-style open or save dialog on an OPENFILENAMEW record, with
// the "Text|*.txt|All|*.*||" filter form, the owner disabled while it runs (and the focus given back
// afterwards), the dialog's initialisation and folder changes as virtual functions, and the chosen
// file names (also of a multiple selection).

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog
{
public:
    // `filter` is "Text|*.txt|All|*.*|" (null for none).
    CFileDialog(BOOL open, LPCWSTR defaultExtension = nullptr, LPCWSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                HWND parent = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user confirmed, IDCANCEL otherwise (GetLastDialogError tells why).
    virtual INT_PTR DoModal();
    // CommDlgExtendedError of the last DoModal (0 after a confirm or a plain cancel).
    DWORD GetLastDialogError() const { return m_lastError; }

    // The chosen file (the first one of a multiple selection).
    std::wstring GetPathName() const;
    // Every chosen file of a multiple selection (or the one chosen file).
    std::vector<std::wstring> GetPathNames() const;
    bool IsOpenDialog() const { return m_open; }

    OPENFILENAMEW m_ofn = {};

protected:
    // The explorer dialog finished its initialisation / the user changed folders. `frame` is the
    // dialog's visible frame window (CDM_ messages go there).
    virtual void OnInitDone(HWND frame) { (void)frame; }
    virtual void OnFolderChange(HWND frame) { (void)frame; }
    // The folder the frame shows (CDM_GETFOLDERPATH); empty when it gives none.
    static std::wstring GetFolderPath(HWND frame);

private:
    static UINT_PTR CALLBACK HookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_open;
    DWORD m_lastError = 0;
    std::wstring m_filter;
    std::wstring m_defaultExtension;
    wchar_t m_singleBuffer[MAX_PATH] = {};
};

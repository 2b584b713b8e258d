#pragma once

// The editor's file dialog: an open or save dialog (explorer style) with a
// caption of the caller's choice, an initial folder, a large shared buffer
// for multiple selection, the proposed name cleaned of characters a file name
// cannot hold, and the folder the user ended in.

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/docview/CommonDialogs.h"

class CFileDialogEx : public CFileDialog
{
public:
    // The size given to the system for a multiple selection, in characters,
    // and the bytes of the shared buffer behind it.
    static constexpr DWORD kMultiSelectChars = 3250;
    static constexpr size_t kMultiSelectBytes = 13000;
    // DoModal's result when the selection did not fit the buffer.
    static constexpr INT_PTR kResultBufferTooSmall = IDABORT;

    // `filter` is "Text|*.txt|All|*.*|" as the framework takes it; `title`
    // may be null (or unreadable: then the system's caption stays).
    CFileDialogEx(BOOL open, LPCWSTR defaultExtension = nullptr, LPCWSTR fileName = nullptr,
                  DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                  HWND parent = nullptr, LPCWSTR title = nullptr, LPCWSTR initialFolder = nullptr);

    // IDOK when the user confirmed, IDCANCEL otherwise, kResultBufferTooSmall
    // when a multiple selection was too large for the buffer.
    INT_PTR DoModal() override;
    // The folder the user was last in (else the initial folder) with a
    // trailing backslash; empty when both are empty.
    std::wstring GetSelectedFolder() const;
    const std::wstring& Title() const { return m_title; }

    // Replaces ':', '\', '/', '?', '"', '>', '<' and '|' by '_'.
    static void CleanFileName(wchar_t* name, size_t capacity);

protected:
    void OnInitDone(HWND frame) override;
    void OnFolderChange(HWND frame) override;

private:
    std::wstring m_title;
    std::wstring m_folder;
    std::wstring m_initialFolder;
};

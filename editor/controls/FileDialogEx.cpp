#include "editor/controls/FileDialogEx.h"

#include "common/SharedLog.h"

#include <algorithm>
#include <cwchar>

namespace
{

// The buffer every multiple-selection dialog shares.
wchar_t g_multiSelectBuffer[CFileDialogEx::kMultiSelectBytes / sizeof(wchar_t)];

// The text behind a caller's pointer, or empty when the memory cannot be read.
std::wstring ReadableText(LPCWSTR text)
{
    if (!text)
        return std::wstring();
    std::wstring result;
    const wchar_t* cursor = text;
    for (;;) {
        MEMORY_BASIC_INFORMATION info = {};
        if (!::VirtualQuery(cursor, &info, sizeof(info)) || info.State != MEM_COMMIT ||
            (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) || info.Protect == 0)
            return std::wstring();
        const auto* end =
            reinterpret_cast<const wchar_t*>(static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize);
        while (cursor < end) {
            if (*cursor == 0)
                return result;
            result += *cursor++;
        }
    }
}

} // namespace

CFileDialogEx::CFileDialogEx(BOOL open, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags,
                             LPCWSTR filter, HWND parent, LPCWSTR title, LPCWSTR initialFolder)
    : CFileDialog(open, defaultExtension, fileName, flags, filter, parent), m_title(ReadableText(title))
{
    if (initialFolder) {
        m_initialFolder = initialFolder;
        m_ofn.lpstrInitialDir = m_initialFolder.c_str();
    }
    if (flags & OFN_ALLOWMULTISELECT) {
        std::fill(std::begin(g_multiSelectBuffer), std::end(g_multiSelectBuffer), L'\0');
        m_ofn.lpstrFile = g_multiSelectBuffer;
        m_ofn.nMaxFile = kMultiSelectChars;
        if (fileName)
            lstrcpynW(m_ofn.lpstrFile, fileName, static_cast<int>(m_ofn.nMaxFile));
    }
}

void CFileDialogEx::CleanFileName(wchar_t* name, size_t capacity)
{
    for (size_t i = 0; i < capacity && name[i]; ++i) {
        if (wcschr(L":\\/?\"><|", name[i]))
            name[i] = L'_';
    }
}

INT_PTR CFileDialogEx::DoModal()
{
    size_t length = wcsnlen(m_ofn.lpstrFile, m_ofn.nMaxFile);
    std::fill(m_ofn.lpstrFile + std::min<size_t>(length, m_ofn.nMaxFile), m_ofn.lpstrFile + m_ofn.nMaxFile,
              L'\0');
    ::LoadLibraryW(L"Comdlg32.dll");
    CleanFileName(m_ofn.lpstrFile, m_ofn.nMaxFile);
    if (CFileDialog::DoModal() == IDOK)
        return IDOK;
    if (GetLastDialogError() == FNERR_BUFFERTOOSMALL) {
        LogError(L"File dialog: the selected files do not fit the name buffer");
        return kResultBufferTooSmall;
    }
    return IDCANCEL;
}

void CFileDialogEx::OnInitDone(HWND frame)
{
    if (!m_title.empty())
        ::SetWindowTextW(frame, m_title.c_str());
}

void CFileDialogEx::OnFolderChange(HWND frame)
{
    const std::wstring folder = GetFolderPath(frame);
    if (!folder.empty())
        m_folder = folder;
}

std::wstring CFileDialogEx::GetSelectedFolder() const
{
    std::wstring folder = m_folder.empty() ? m_initialFolder : m_folder;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

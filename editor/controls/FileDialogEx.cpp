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
    : m_open(open != FALSE), m_title(ReadableText(title))
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    m_ofn.lpfnHook = HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    if (defaultExtension) {
        m_defaultExtension = defaultExtension;
        m_ofn.lpstrDefExt = m_defaultExtension.c_str();
    }
    if (filter) {
        m_filter = filter;
        std::replace(m_filter.begin(), m_filter.end(), L'|', L'\0');
        m_filter.push_back(L'\0');
        m_ofn.lpstrFilter = m_filter.c_str();
    }
    if (initialFolder) {
        m_initialFolder = initialFolder;
        m_ofn.lpstrInitialDir = m_initialFolder.c_str();
    }
    m_ofn.lpstrFile = m_singleBuffer;
    m_ofn.nMaxFile = MAX_PATH;
    if (flags & OFN_ALLOWMULTISELECT) {
        std::fill(std::begin(g_multiSelectBuffer), std::end(g_multiSelectBuffer), L'\0');
        m_ofn.lpstrFile = g_multiSelectBuffer;
        m_ofn.nMaxFile = kMultiSelectChars;
    }
    if (fileName)
        lstrcpynW(m_ofn.lpstrFile, fileName, static_cast<int>(m_ofn.nMaxFile));
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
    HWND focus = ::GetFocus();
    HWND owner = m_ofn.hwndOwner;
    bool disabledHere = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledHere = true;
    }
    CleanFileName(m_ofn.lpstrFile, m_ofn.nMaxFile);
    BOOL confirmed = m_open ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    DWORD error = confirmed ? 0 : ::CommDlgExtendedError();
    if (disabledHere)
        ::EnableWindow(owner, TRUE);
    if (focus && ::IsWindow(focus))
        ::SetFocus(focus);
    if (confirmed)
        return IDOK;
    if (error == FNERR_BUFFERTOOSMALL) {
        LogError(L"File dialog: the selected files do not fit the name buffer");
        return kResultBufferTooSmall;
    }
    return IDCANCEL;
}

UINT_PTR CALLBACK CFileDialogEx::HookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, ofn->lCustData);
        return 0;
    }
    auto* self = reinterpret_cast<CFileDialogEx*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_NOTIFY)
        return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notify->hdr.code == CDN_INITDONE)
        self->OnInitDone(::GetParent(dialog));
    else if (notify->hdr.code == CDN_FOLDERCHANGE)
        self->OnFolderChange(::GetParent(dialog));
    return 0;
}

void CFileDialogEx::OnInitDone(HWND frame)
{
    if (!m_title.empty())
        ::SetWindowTextW(frame, m_title.c_str());
}

void CFileDialogEx::OnFolderChange(HWND frame)
{
    wchar_t folder[MAX_PATH + 1] = {};
    if (::SendMessageW(frame, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) > 0)
        m_folder = folder;
}

std::wstring CFileDialogEx::GetSelectedFolder() const
{
    std::wstring folder = m_folder.empty() ? m_initialFolder : m_folder;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::vector<std::wstring> CFileDialogEx::GetPathNames() const
{
    std::vector<std::wstring> names;
    const wchar_t* buffer = m_ofn.lpstrFile;
    std::wstring first(buffer, wcsnlen(buffer, m_ofn.nMaxFile));
    if (first.empty())
        return names;
    size_t offset = first.size() + 1;
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || offset >= m_ofn.nMaxFile || buffer[offset] == 0) {
        names.push_back(first);
        return names;
    }
    while (offset < m_ofn.nMaxFile && buffer[offset]) {
        std::wstring name(buffer + offset, wcsnlen(buffer + offset, m_ofn.nMaxFile - offset));
        names.push_back(first + (first.back() == L'\\' ? L"" : L"\\") + name);
        offset += name.size() + 1;
    }
    return names;
}

std::wstring CFileDialogEx::GetPathName() const
{
    std::vector<std::wstring> names = GetPathNames();
    return names.empty() ? std::wstring() : names.front();
}

#include "platform/docview/CommonDialogs.h"

#include <algorithm>
#include <cwchar>

namespace
{
// Disables the owner while the dialog runs and gives the focus back afterwards.
class ModalScope
{
public:
    explicit ModalScope(HWND owner) : m_owner(owner), m_focus(::GetFocus())
    {
        if (m_owner && ::IsWindowEnabled(m_owner)) {
            ::EnableWindow(m_owner, FALSE);
            m_disabled = true;
        }
    }
    ~ModalScope()
    {
        if (m_disabled)
            ::EnableWindow(m_owner, TRUE);
        if (m_focus && ::IsWindow(m_focus))
            ::SetFocus(m_focus);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    HWND m_owner;
    HWND m_focus;
    bool m_disabled = false;
};
} // namespace

CFileDialog::CFileDialog(BOOL open, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
                         HWND parent)
    : m_open(open != FALSE)
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
    m_ofn.lpstrFile = m_singleBuffer;
    m_ofn.nMaxFile = MAX_PATH;
    if (fileName)
        lstrcpynW(m_singleBuffer, fileName, MAX_PATH);
}

INT_PTR CFileDialog::DoModal()
{
    BOOL confirmed = FALSE;
    {
        ModalScope scope(m_ofn.hwndOwner);
        confirmed = m_open ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
        m_lastError = confirmed ? 0 : ::CommDlgExtendedError();
    }
    return confirmed ? IDOK : IDCANCEL;
}

std::wstring CFileDialog::GetFolderPath(HWND frame)
{
    wchar_t folder[MAX_PATH + 1] = {};
    if (::SendMessageW(frame, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) <= 0)
        return std::wstring();
    return folder;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, ofn->lCustData);
        return 0;
    }
    auto* self = reinterpret_cast<CFileDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_NOTIFY)
        return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notify->hdr.code == CDN_INITDONE)
        self->OnInitDone(::GetParent(dialog));
    else if (notify->hdr.code == CDN_FOLDERCHANGE)
        self->OnFolderChange(::GetParent(dialog));
    return 0;
}

std::vector<std::wstring> CFileDialog::GetPathNames() const
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

std::wstring CFileDialog::GetPathName() const
{
    std::vector<std::wstring> names = GetPathNames();
    return names.empty() ? std::wstring() : names.front();
}

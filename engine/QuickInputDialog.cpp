#include "engine/QuickInputDialog.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "common/LocalizedString.h"
#include "common/SecurityInfo.h"
#include "resources/ScrivolanterRes.h"

namespace
{
constexpr UINT kCancelTextId = 230;
constexpr int kMaxTitleChars = 100;
const wchar_t kProductCaption[] = L"Scrivolanter";

// A dialog template (DLGTEMPLATE with DS_SETFONT and its DLGITEMTEMPLATE items) written into
// memory word by word.
class CDialogTemplateWriter
{
public:
    CDialogTemplateWriter(DWORD style, short cx, short cy, const wchar_t* caption, WORD pointSize,
                          const wchar_t* face)
    {
        DLGTEMPLATE header{};
        header.style = style | DS_SETFONT;
        header.cx = cx;
        header.cy = cy;
        AppendRecord(header);
        m_countIndex = offsetof(DLGTEMPLATE, cdit) / sizeof(WORD);
        m_words.push_back(0); // no menu
        m_words.push_back(0); // the dialog class
        AppendText(caption);
        m_words.push_back(pointSize);
        AppendText(face);
    }

    // An item of a predefined class (0x0080 button, 0x0081 edit ...).
    void AddItem(WORD classAtom, WORD id, DWORD style, short x, short y, short cx, short cy,
                 const wchar_t* text)
    {
        AlignToDword();
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        AppendRecord(item);
        m_words.push_back(0xFFFF);
        m_words.push_back(classAtom);
        AppendText(text);
        m_words.push_back(0); // no creation data
        ++m_words[m_countIndex];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    template <typename Record>
    void AppendRecord(const Record& record)
    {
        static_assert(sizeof(Record) % sizeof(WORD) == 0);
        const size_t at = m_words.size();
        m_words.resize(at + sizeof(Record) / sizeof(WORD));
        std::memcpy(&m_words[at], &record, sizeof(Record));
    }
    void AppendText(const wchar_t* text)
    {
        for (const wchar_t* p = text; *p != L'\0'; ++p)
            m_words.push_back(static_cast<WORD>(*p));
        m_words.push_back(0);
    }
    // Items start on DWORD boundaries (the vector's storage itself is suitably aligned).
    void AlignToDword()
    {
        if (m_words.size() % 2 != 0)
            m_words.push_back(0);
    }

    std::vector<WORD> m_words;
    size_t m_countIndex = 0;
};

CDialogTemplateWriter BuildQuickInputTemplate()
{
    CDialogTemplateWriter writer(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 186, 50, kProductCaption,
                                 8, L"MS Shell Dlg");
    writer.AddItem(0x0081, CQuickInputDialog::IDC_QUICK_INPUT_EDIT,
                   WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_NOHIDESEL, 7, 7, 172, 14, L"");
    writer.AddItem(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 63, 29, 50, 14, L"OK");
    writer.AddItem(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 129, 29, 50, 14, L"Cancel");
    return writer;
}

UINT ProgramIconId()
{
    return IsProcessElevated() ? IDI_SCV_APP_ELEVATED : IDI_SCV_APP;
}

HICON LoadProgramIcon(int size)
{
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ProgramIconId()),
                                           IMAGE_ICON, size, size, 0));
}

// Runs `action` while this thread's input is attached to the window's thread; the window's own
// thread needs no attach. False when the window has no thread or the attach fails.
template <typename Action>
bool WithInputAttachedTo(HWND window, Action action)
{
    const DWORD targetThread = window != nullptr ? ::GetWindowThreadProcessId(window, nullptr) : 0;
    if (targetThread == 0)
        return false;
    const DWORD ownThread = ::GetCurrentThreadId();
    if (targetThread == ownThread) {
        action();
        return true;
    }
    if (!::AttachThreadInput(ownThread, targetThread, TRUE))
        return false;
    action();
    ::AttachThreadInput(ownThread, targetThread, FALSE);
    return true;
}
} // namespace

CQuickInputDialog::CQuickInputDialog(const CString& defaultText, HWND target)
    : m_defaultText(defaultText), m_target(target)
{}

CQuickInputDialog::~CQuickInputDialog()
{
    if (m_bigIcon)
        ::DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        ::DestroyIcon(m_smallIcon);
}

INT_PTR CQuickInputDialog::Run()
{
    // The caret is read before the dialog exists: once it does, its own edit line may own the
    // caret of this thread.
    ReadTargetCaret();
    const CDialogTemplateWriter dialogTemplate = BuildQuickInputTemplate();
    return DoModalIndirect(dialogTemplate.Get(), ::GetDesktopWindow());
}

CString CQuickInputDialog::BuildCaption(HWND target)
{
    CString caption(kProductCaption);
    if (target == nullptr || !::IsWindow(target))
        return caption;
    wchar_t title[kMaxTitleChars + 1] = {};
    if (::GetWindowTextW(target, title, kMaxTitleChars + 1) > 0)
        caption += CString(L" - [") + title + L"]";
    return caption;
}

LRESULT CQuickInputDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowText(BuildCaption(m_target));
    SetIcons();
    const HWND edit = GetDlgItem(IDC_QUICK_INPUT_EDIT);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    bool focusSet = false;
    if (!m_defaultText.IsEmpty()) {
        ::SetWindowTextW(edit, m_defaultText);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        focusSet = true;
    }
    const CString cancelText = LoadLocalizedString(kCancelTextId);
    if (!cancelText.IsEmpty())
        SetDlgItemText(IDCANCEL, cancelText);

    PlaceAtTargetCaret();
    TakeForeground();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_TOPMOST);
    // TRUE lets the dialog manager focus the edit line (the first tab stop).
    return (focusSet || ::GetFocus() == edit) ? FALSE : TRUE;
}

void CQuickInputDialog::SetIcons()
{
    m_bigIcon = LoadProgramIcon(32);
    m_smallIcon = LoadProgramIcon(16);
    if (m_bigIcon)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    if (m_smallIcon)
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

bool CQuickInputDialog::ReadTargetCaret()
{
    m_hasCaretPoint = false;
    const DWORD thread =
        (m_target != nullptr && ::IsWindow(m_target)) ? ::GetWindowThreadProcessId(m_target, nullptr) : 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (thread == 0 || !::GetGUIThreadInfo(thread, &info) || info.hwndCaret == nullptr)
        return false;
    // The caret rectangle is in client coordinates of the caret's window.
    m_caretPoint = POINT{info.rcCaret.left, info.rcCaret.bottom};
    ::MapWindowPoints(info.hwndCaret, nullptr, &m_caretPoint, 1);
    m_hasCaretPoint = true;
    return true;
}

void CQuickInputDialog::PlaceAtTargetCaret()
{
    if (m_hasCaretPoint)
        SetWindowPos(nullptr, m_caretPoint.x, m_caretPoint.y, 0, 0,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
    else
        CenterWindow(m_target);
}

void CQuickInputDialog::TakeForeground()
{
    const HWND dialog = m_hWnd;
    if (m_target == nullptr || ::GetWindowThreadProcessId(m_target, nullptr) == ::GetCurrentThreadId())
        return;
    WithInputAttachedTo(m_target, [dialog] {
        ::SetActiveWindow(dialog);
        ::SetForegroundWindow(dialog);
        // The dialog's focus belongs to its edit line.
        ::SetFocus(::GetDlgItem(dialog, IDC_QUICK_INPUT_EDIT));
    });
}

LRESULT CQuickInputDialog::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    ::ReleaseCapture();
    SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
}

LRESULT CQuickInputDialog::OnOK(WORD, WORD, HWND, BOOL&)
{
    CString text;
    GetDlgItemText(IDC_QUICK_INPUT_EDIT, text);
    m_answer = text.IsEmpty() ? m_defaultText : text;
    EndDialog(IDOK);
    return 0;
}

LRESULT CQuickInputDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

bool ShowQuickInputDialog(const CString& defaultText, HWND target, CString& answer)
{
    answer.Empty();
    CQuickInputDialog dialog(defaultText, target);
    const INT_PTR result = dialog.Run();
    SetFocusToWindow(target);
    if (result != IDOK)
        return false;
    answer = dialog.GetAnswer();
    return true;
}

bool SetFocusToWindow(HWND window)
{
    return WithInputAttachedTo(window, [window] { ::SetFocus(window); });
}

#include "editor/app/phrases/PhrasesPaneLabelEdit.h"

#include "common/WindowSubclassRegistry.h"

#include <commctrl.h>

#include <algorithm>

namespace
{

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t found[32] = {};
    return ::GetClassNameW(window, found, 32) > 0 && ::lstrcmpiW(found, name) == 0;
}

// Multi-line and wrapping; the edit reads its kind from the creation data, the window keeps the style.
void MakeMultiLine(HWND edit, CREATESTRUCTW* create)
{
    const auto wanted = [](LONG_PTR style) {
        return (style | ES_MULTILINE | ES_AUTOVSCROLL) & ~(ES_AUTOHSCROLL | ES_WANTRETURN);
    };
    if (create)
        create->style = static_cast<LONG>(wanted(create->style));
    ::SetWindowLongPtrW(edit, GWL_STYLE, wanted(::GetWindowLongPtrW(edit, GWL_STYLE)));
}

void KeepSize(HWND edit, HWND tree, WINDOWPOS* pos)
{
    if ((pos->flags & SWP_NOSIZE) != 0)
        return;
    RECT client = {};
    ::GetClientRect(tree, &client);
    int left = pos->x;
    if ((pos->flags & SWP_NOMOVE) != 0) {
        RECT current = {};
        ::GetWindowRect(edit, &current);
        ::MapWindowPoints(nullptr, tree, reinterpret_cast<POINT*>(&current), 1);
        left = current.left;
    }
    pos->cx = std::max(pos->cx, static_cast<int>(client.right) - left);
    pos->cy = std::max(pos->cy, 2 * static_cast<int>(TreeView_GetItemHeight(tree)));
}

LRESULT LabelEditSizeCallback(HWND edit, UINT message, WPARAM, LPARAM lParam, void* tree, BOOL&, WNDPROC)
{
    if (message == WM_WINDOWPOSCHANGING)
        KeepSize(edit, static_cast<HWND>(tree), reinterpret_cast<WINDOWPOS*>(lParam));
    return 0;
}

constexpr wchar_t kBornProcProperty[] = L"ScvLabelEditBornProc";

// The edit's procedure from its creation to its WM_NCCREATE: makes it multi-line, then steps aside
// before anybody else (the tree) subclasses it.
LRESULT CALLBACK BornMultiLineProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto original = reinterpret_cast<WNDPROC>(::GetPropW(edit, kBornProcProperty));
    if (!original)
        return ::DefWindowProcW(edit, message, wParam, lParam);
    if (message == WM_NCCREATE) {
        ::RemovePropW(edit, kBornProcProperty);
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        MakeMultiLine(edit, reinterpret_cast<CREATESTRUCTW*>(lParam));
    }
    return ::CallWindowProcW(original, edit, message, wParam, lParam);
}

} // namespace

PhrasesPaneLabelEdit::PhrasesPaneLabelEdit()
{
    m_hook =
        ::SetWindowsHookExW(WH_CBT, &PhrasesPaneLabelEdit::OnCreateHook, nullptr, ::GetCurrentThreadId());
}

PhrasesPaneLabelEdit::~PhrasesPaneLabelEdit()
{
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK PhrasesPaneLabelEdit::OnCreateHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        HWND window = reinterpret_cast<HWND>(wParam);
        HWND parent = create->lpcs->hwndParent;
        // While the hook lives only the tree makes an edit: its label edit, over one of its items.
        if (parent && HasClass(window, WC_EDITW) && ::SendMessageW(parent, TVM_GETCOUNT, 0, 0) > 0) {
            const LONG_PTR original = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
            if (original && ::SetPropW(window, kBornProcProperty, reinterpret_cast<HANDLE>(original))) {
                ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BornMultiLineProc));
                MakeMultiLine(window, nullptr);
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void PhrasesPaneLabelEdit::Fit(HWND tree, HWND edit)
{
    if (!IsWindowSubclassedWithCallback(edit))
        SubclassWindowWithCallback(edit, LabelEditSizeCallback, tree);
    RECT rect = {};
    ::GetWindowRect(edit, &rect);
    ::SetWindowPos(edit, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CString PhrasesPaneLabelEdit::OneLine(const CString& text)
{
    CString line = text;
    line.Replace(L"\r\n", L" ");
    line.Replace(L'\r', L' ');
    line.Replace(L'\n', L' ');
    return line;
}

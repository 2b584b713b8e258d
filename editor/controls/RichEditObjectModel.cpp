#include "editor/controls/RichEditObjectModel.h"

#include "common/RichEditEditing.h"

#include <oleauto.h>

namespace
{

const IID kIidTextDocument = {0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
constexpr wchar_t kOvertypeProperty[] = L"ScvOvertype";

bool IsOvertypeTracked(HWND richEdit)
{
    return ::GetPropW(richEdit, kOvertypeProperty) != nullptr;
}

void SetOvertypeTracked(HWND richEdit, bool on)
{
    if (on)
        ::SetPropW(richEdit, kOvertypeProperty, reinterpret_cast<HANDLE>(1));
    else
        ::RemovePropW(richEdit, kOvertypeProperty);
}

// The selection's flags; false when the object model does not give them.
bool GetSelectionFlags(HWND richEdit, TomPtr<ITextSelection>& selection, LONG& flags)
{
    TomPtr<ITextDocument> document = GetTextDocument(richEdit);
    if (!document || FAILED(document->GetSelection(selection.Out())) || !selection)
        return false;
    return SUCCEEDED(selection->GetFlags(&flags));
}

} // namespace

TomPtr<ITextDocument> GetTextDocument(HWND richEdit)
{
    TomPtr<ITextDocument> document;
    if (!::IsWindow(richEdit))
        return document;
    IUnknown* ole = nullptr;
    if (!::SendMessageW(richEdit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole)
        return document;
    ole->QueryInterface(kIidTextDocument, reinterpret_cast<void**>(document.Out()));
    ole->Release();
    return document;
}

TomPtr<ITextRange> GetTextRange(HWND richEdit, LONG start, LONG end)
{
    TomPtr<ITextRange> range;
    TomPtr<ITextDocument> document = GetTextDocument(richEdit);
    if (!document)
        return range;
    if (end < 0)
        end = GetRichEditTextLength(richEdit) + 1; // past the final paragraph mark
    if (FAILED(document->Range(start, end, range.Out())))
        range.Reset();
    return range;
}

CString GetRangeText(HWND richEdit, LONG start, LONG end)
{
    if (!::IsWindow(richEdit))
        return CString();
    TomPtr<ITextRange> range = GetTextRange(richEdit, start, end);
    if (!range)
        return GetRichEditTextRange(richEdit, start, end);
    BSTR text = nullptr;
    if (FAILED(range->GetText(&text)) || !text)
        return CString();
    CString result(text);
    ::SysFreeString(text);
    return result;
}

bool IsOvertypeMode(HWND richEdit)
{
    TomPtr<ITextSelection> selection;
    LONG flags = 0;
    if (GetSelectionFlags(richEdit, selection, flags))
        return (flags & tomSelOvertype) != 0;
    if (!selection)
        return true;
    return IsOvertypeTracked(richEdit);
}

bool SetOvertypeMode(HWND richEdit, bool on)
{
    TomPtr<ITextSelection> selection;
    LONG flags = 0;
    if (GetSelectionFlags(richEdit, selection, flags)) {
        flags = on ? (flags | tomSelOvertype) : (flags & ~tomSelOvertype);
        selection->SetFlags(flags);
        return IsOvertypeMode(richEdit);
    }
    if (selection && IsOvertypeTracked(richEdit) != on) {
        // The control toggles overtype on its own Insert key.
        ::SendMessageW(richEdit, WM_KEYDOWN, VK_INSERT, 0x00520001);
        ::SendMessageW(richEdit, WM_KEYUP, VK_INSERT, static_cast<LPARAM>(0xC0520001));
        SetOvertypeTracked(richEdit, on);
    }
    return IsOvertypeMode(richEdit);
}

void NoteInsertKey(HWND richEdit)
{
    SetOvertypeTracked(richEdit, !IsOvertypeTracked(richEdit));
}

ModifyFlagGuard::ModifyFlagGuard(HWND richEdit) : m_window(richEdit)
{
    if (m_window)
        m_modified = static_cast<BOOL>(::SendMessageW(m_window, EM_GETMODIFY, 0, 0));
}

ModifyFlagGuard::~ModifyFlagGuard()
{
    if (m_window)
        ::SendMessageW(m_window, EM_SETMODIFY, m_modified, 0);
}

ReadOnlyGuard::ReadOnlyGuard(HWND richEdit) : m_window(richEdit)
{
    if (!m_window)
        return;
    const auto options = static_cast<DWORD>(::SendMessageW(m_window, EM_GETOPTIONS, 0, 0));
    if (options & ECO_READONLY) {
        m_cleared = true;
        ::SendMessageW(m_window, EM_SETREADONLY, FALSE, 0);
    }
}

ReadOnlyGuard::~ReadOnlyGuard()
{
    if (m_window && m_cleared)
        ::SendMessageW(m_window, EM_SETREADONLY, TRUE, 0);
}

EventMaskGuard::EventMaskGuard(HWND richEdit) : m_window(richEdit)
{
    if (!m_window)
        return;
    const auto mask = static_cast<DWORD>(::SendMessageW(m_window, EM_GETEVENTMASK, 0, 0));
    m_removed = mask & (ENM_CHANGE | ENM_PROTECTED);
    if (m_removed)
        ::SendMessageW(m_window, EM_SETEVENTMASK, 0, mask & ~m_removed);
}

EventMaskGuard::~EventMaskGuard()
{
    if (!m_window)
        return;
    const auto mask = static_cast<DWORD>(::SendMessageW(m_window, EM_GETEVENTMASK, 0, 0));
    ::SendMessageW(m_window, EM_SETEVENTMASK, 0, mask | m_removed);
}

RedrawFreeze::RedrawFreeze(HWND richEdit, ITextDocument* document) : m_window(richEdit), m_document(document)
{
    LONG count = 0;
    if (m_document && SUCCEEDED(m_document->Freeze(&count))) {
        m_frozen = true;
        return;
    }
    if (::IsWindowVisible(m_window)) {
        ::SendMessageW(m_window, WM_SETREDRAW, FALSE, 0);
        m_redrawOff = true;
    }
}

RedrawFreeze::~RedrawFreeze()
{
    LONG count = 0;
    if (m_frozen)
        m_document->Unfreeze(&count);
    if (!m_redrawOff)
        return;
    ::SendMessageW(m_window, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_window, nullptr, FALSE);
}

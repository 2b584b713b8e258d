#include "platform/hookdll/TargetSelection.h"

#include "platform/interchange/InterchangeArea.h"

#include <richedit.h>

#include <cstring>
#include <cwchar>

namespace
{
std::wstring ClassNameOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

bool ContainsNoCase(std::wstring text, const wchar_t* part)
{
    if (!text.empty())
        ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text.find(part) != std::wstring::npos;
}

TargetSelection Result(int state, std::wstring text = {})
{
    TargetSelection selection;
    selection.state = state;
    selection.text = std::move(text);
    return selection;
}

// Rich edit ends paragraphs with a lone CR; a copy gives CR LF.
std::wstring WithCrLf(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n'))
            result += L'\n';
    }
    return result;
}

TargetSelection ReadEditSelection(HWND edit, bool plainEdit, int maxChars)
{
    if (plainEdit && (::GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD))
        return Result(kSelTextStateNone);
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start >= end)
        return Result(kSelTextStateNone);
    if (end - start > static_cast<DWORD>(maxChars))
        return Result(kSelTextStateFailed);
    const LRESULT length = ::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return Result(kSelTextStateFailed);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    if (start >= text.size())
        return Result(kSelTextStateFailed);
    return Result(kSelTextStateExtracted, text.substr(start, end - start));
}

TargetSelection ReadRichEditSelection(HWND edit, int maxChars)
{
    CHARRANGE range = {};
    ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin == range.cpMax)
        return Result(kSelTextStateNone);
    if (range.cpMin < 0 || range.cpMax < range.cpMin || range.cpMax - range.cpMin > maxChars)
        return Result(kSelTextStateFailed);
    const size_t count = static_cast<size_t>(range.cpMax - range.cpMin);
    std::wstring text;
    if (::IsWindowUnicode(edit)) {
        text.assign(count + 1, L'\0');
        const LRESULT copied = ::SendMessageW(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcsnlen(text.c_str(), copied > 0 ? static_cast<size_t>(copied) : 0));
    } else {
        std::string ansi(count * 2 + 1, '\0');
        ::SendMessageA(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(ansi.data()));
        ansi.resize(strnlen(ansi.c_str(), ansi.size()));
        const int wide =
            ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        text.assign(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
        if (wide > 0)
            ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(), wide);
    }
    if (text.empty())
        return Result(kSelTextStateFailed);
    return Result(kSelTextStateExtracted, WithCrLf(text));
}
} // namespace

TargetSelection ReadFocusedSelection(HWND focus, int maxChars)
{
    if (!focus)
        return Result(kSelTextStateNone);
    const std::wstring className = ClassNameOf(focus);
    if (ContainsNoCase(className, L"richedit"))
        return ReadRichEditSelection(focus, maxChars);
    const bool plainEdit = ::lstrcmpiW(className.c_str(), L"Edit") == 0;
    if (plainEdit || (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        return ReadEditSelection(focus, plainEdit, maxChars);
    return Result(kSelTextStateFailed);
}

#include "app/CopySelectionByCtrlC.h"

#include "app/AppObjects.h"
#include "common/TextConversion.h"

#include <cwchar>
#include <string>

namespace
{
constexpr DWORD kCopyWaitMs = 400;
constexpr UINT kCopyMessageTimeoutMs = 1000;

class CClipboardOpen
{
public:
    CClipboardOpen() : m_open(::OpenClipboard(nullptr) != FALSE) {}
    ~CClipboardOpen()
    {
        if (m_open)
            ::CloseClipboard();
    }
    CClipboardOpen(const CClipboardOpen&) = delete;
    CClipboardOpen& operator=(const CClipboardOpen&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

// The clipboard memory of `format` locked for reading, bounded by its real size.
class CLockedClipboardData
{
public:
    explicit CLockedClipboardData(UINT format)
        : m_memory(::GetClipboardData(format)), m_data(m_memory ? ::GlobalLock(m_memory) : nullptr),
          m_size(m_data ? ::GlobalSize(m_memory) : 0)
    {
    }
    ~CLockedClipboardData()
    {
        if (m_data)
            ::GlobalUnlock(m_memory);
    }
    CLockedClipboardData(const CLockedClipboardData&) = delete;
    CLockedClipboardData& operator=(const CLockedClipboardData&) = delete;

    const void* Data() const { return m_data; }
    SIZE_T Size() const { return m_size; }

private:
    HANDLE m_memory;
    void* m_data;
    SIZE_T m_size;
};

void PressCtrlC()
{
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
    for (int i = 0; i < 4; ++i)
    {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}
} // namespace

CString ReadClipboardTextForQuery()
{
    const bool unicode = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    if (!unicode && !::IsClipboardFormatAvailable(CF_TEXT))
        return CString();
    CClipboardOpen clipboard;
    if (!clipboard.IsOpen())
        return CString();
    CLockedClipboardData data(unicode ? CF_UNICODETEXT : CF_TEXT);
    if (!data.Data())
        return CString();
    if (unicode)
    {
        const auto* text = static_cast<const wchar_t*>(data.Data());
        return CString(text, static_cast<int>(wcsnlen(text, data.Size() / sizeof(wchar_t))));
    }
    const auto* text = static_cast<const char*>(data.Data());
    const std::string ansi(text, strnlen(text, data.Size()));
    return AnsiToWide(ansi.c_str());
}

bool CopySelectionByCtrlC(HWND target, CString& text)
{
    text.Empty();
    CAppObjects::BlockClipboardCaptureViaMainWnd();
    {
        CClipboardOpen clipboard;
        if (clipboard.IsOpen())
            ::EmptyClipboard();
    }
    PressCtrlC();
    if (target)
    {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, kCopyMessageTimeoutMs, &ignored);
    }
    ::Sleep(kCopyWaitMs);
    text = ReadClipboardTextForQuery();
    return !text.IsEmpty();
}

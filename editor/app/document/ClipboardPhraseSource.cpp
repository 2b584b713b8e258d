#include "editor/app/document/ClipboardPhraseSource.h"

#include "common/RichEditConversion.h"
#include "common/TextConversion.h"
#include "engine/ClipboardAccess.h"

namespace
{

// The clipboard, opened for a moment and closed again.
class ClipboardSession
{
public:
    explicit ClipboardSession(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession()
    {
        if (m_open)
            ::CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool IsOpen() const { return m_open; }

    // The bytes of a format up to their first NUL (the block's size at most); empty when absent.
    std::string Bytes(UINT format) const
    {
        HANDLE data = ::GetClipboardData(format);
        const char* bytes = data ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
        if (!bytes)
            return std::string();
        const SIZE_T size = ::GlobalSize(data);
        SIZE_T length = 0;
        while (length < size && bytes[length] != '\0')
            ++length;
        std::string copy(bytes, length);
        ::GlobalUnlock(data);
        return copy;
    }

private:
    bool m_open;
};

bool IsLineBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

} // namespace

CString MenuNameFromPlainText(const CString& text)
{
    CString name = text;
    name.Trim(L" \t\r\n");
    for (int i = 1; i < name.GetLength(); ++i) {
        if (IsLineBreak(name[i]))
            return name.Left(i);
    }
    return name;
}

CString RtfBodyFromClipboardBytes(const std::string& bytes)
{
    if (bytes.rfind("{\\urtf", 0) == 0)
        return Utf8ToWide(bytes.c_str());
    CString body;
    for (unsigned char c : bytes)
        body += static_cast<wchar_t>(c);
    return body;
}

bool ReadClipboardPhrase(HWND owner, ClipboardPhrase& out)
{
    std::string rtf;
    {
        ClipboardSession clipboard(owner);
        if (!clipboard.IsOpen())
            return false;
        rtf = clipboard.Bytes(GetRtfClipboardFormat());
    }
    if (!rtf.empty()) {
        out.body = RtfBodyFromClipboardBytes(rtf);
        out.kind = 1;
        out.menuName = MenuNameFromPlainText(RtfToPlainText(out.body));
        return true;
    }
    CString text;
    if (!GetClipboardTextAnyForm(text) || text.IsEmpty())
        return false;
    out.body = text;
    out.kind = 0;
    out.menuName = MenuNameFromPlainText(text);
    return true;
}

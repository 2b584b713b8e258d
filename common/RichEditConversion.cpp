#include "common/RichEditConversion.h"

#include <objbase.h>
#include <richedit.h>

#include <algorithm>
#include <initializer_list>
#include <cstring>
#include <vector>

#include "common/RichEditEditing.h"
#include "common/RtfTextCoding.h"

namespace
{
// Output buffers are reserved ahead from the text length, up to this much.
constexpr size_t kMaxReserve = 1u << 20;

// The converter window and its parent (one each per process, UI thread).
HWND g_converter = nullptr;
HWND g_converterParent = nullptr;

struct StreamInSource
{
    const BYTE* data;
    size_t size;
    size_t delivered;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* done)
{
    auto* source = reinterpret_cast<StreamInSource*>(cookie);
    const size_t left = source->size - source->delivered;
    const size_t count = std::min(left, static_cast<size_t>(requested > 0 ? requested : 0));
    if (count > 0)
        std::memcpy(buffer, source->data + source->delivered, count);
    source->delivered += count;
    *done = static_cast<LONG>(count);
    return 0;
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done)
{
    auto* sink = reinterpret_cast<std::vector<BYTE>*>(cookie);
    if (count > 0)
        sink->insert(sink->end(), buffer, buffer + count);
    *done = count;
    return 0;
}

bool StreamBytesIn(HWND richEdit, const void* data, size_t size, WPARAM format)
{
    if (!richEdit || !data || size == 0)
        return false;
    StreamInSource source{static_cast<const BYTE*>(data), size, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = StreamInCallback;
    return ::SendMessageW(richEdit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream)) > 0;
}

// The number of characters that a stream of the content or the selection covers.
LONG StreamedLength(HWND richEdit, bool selectionOnly)
{
    if (!selectionOnly)
        return GetRichEditTextLength(richEdit);
    CHARRANGE selection{};
    ::SendMessageW(richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LONG length = selection.cpMax - selection.cpMin;
    return length < 0 ? -length : length;
}

std::vector<BYTE> StreamBytesOut(HWND richEdit, WPARAM format, size_t reserve)
{
    std::vector<BYTE> bytes;
    bytes.reserve(std::min(reserve, kMaxReserve));
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&bytes);
    stream.pfnCallback = StreamOutCallback;
    ::SendMessageW(richEdit, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    return bytes;
}

void InitializeComOnce()
{
    static const HRESULT result = ::CoInitialize(nullptr);
    (void)result;
}

bool LoadRichEditLibraryOnce()
{
    static const HMODULE module = ::LoadLibraryW(L"RichEd20.DLL");
    return module != nullptr;
}

HWND CreateConverterWindow()
{
    InitializeComOnce();
    if (!LoadRichEditLibraryOnce())
        return nullptr;
    const HWND parent =
        (g_converterParent && ::IsWindow(g_converterParent)) ? g_converterParent : HWND_MESSAGE;
    const HWND window =
        ::CreateWindowExW(WS_EX_LEFT, L"RICHEDIT20W", L"", WS_CHILD | ES_WANTRETURN | ES_MULTILINE, 1, 1, 10,
                          10, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    // Without a limit of its own the control cuts texts at its default size.
    ::SendMessageW(window, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    ::SendMessageW(window, EM_SETUNDOLIMIT, 0, 0);
    // No word wrap: laying out long texts in a tiny window is slow.
    ::SendMessageW(window, EM_SETTARGETDEVICE, 0, 1);
    // Plain text loaded later takes the ordinary font, not a bold default.
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return window;
}

HWND LoadedConverter(const CString& text, bool textIsRtf)
{
    const HWND converter = GetRichEditConverter();
    if (!converter)
        return nullptr;
    if (textIsRtf && !text.IsEmpty()) {
        if (!SetRichEditTextAuto(converter, text))
            return nullptr;
    } else {
        ::SetWindowTextW(converter, text);
    }
    return converter;
}

HWND ConverterWithAnsiRtf(const char* bytes, size_t size)
{
    const HWND converter = GetRichEditConverter();
    if (!converter || !StreamInAnsiRtf(converter, bytes, size))
        return nullptr;
    return converter;
}

// Copies the converter's RTF into the caller's buffer when it fits.
bool WriteBackRtf(HWND converter, char* buffer, size_t bufferSize)
{
    const std::string rtf = StreamOutAnsiRtf(converter);
    if (rtf.empty() || rtf.size() >= bufferSize)
        return false;
    std::memset(buffer, 0, bufferSize);
    std::memcpy(buffer, rtf.data(), rtf.size());
    return true;
}
} // namespace

// --- Streaming helpers --------------------------------------------------------

bool StreamIn(HWND richEdit, const void* data, size_t bytes, bool unicode, bool rtf, bool selectionOnly,
              size_t limitBytes)
{
    if (limitBytes > 0 && limitBytes < bytes)
        bytes = limitBytes;
    if (unicode)
        bytes &= ~static_cast<size_t>(1);
    const WPARAM selection = selectionOnly ? SFF_SELECTION : 0;
    if (rtf && unicode) {
        const std::string narrow =
            NarrowRtfText(static_cast<LPCWSTR>(data), data ? static_cast<int>(bytes / sizeof(wchar_t)) : 0);
        return StreamBytesIn(richEdit, narrow.data(), narrow.size(), SF_RTF | selection);
    }
    const WPARAM format = (rtf ? SF_RTF : SF_TEXT) | (unicode ? SF_UNICODE : 0) | selection;
    return StreamBytesIn(richEdit, data, bytes, format);
}

bool StreamInAnsiRtf(HWND richEdit, const char* bytes)
{
    return bytes && StreamInAnsiRtf(richEdit, bytes, std::strlen(bytes));
}

bool StreamInAnsiRtf(HWND richEdit, const char* bytes, size_t size)
{
    return StreamIn(richEdit, bytes, size, false, true);
}

bool SetRichEditTextAuto(HWND richEdit, const CString& text)
{
    const size_t bytes = static_cast<size_t>(text.GetLength()) * sizeof(wchar_t);
    return StreamIn(richEdit, text.GetString(), bytes, true,
                    LooksLikeRtf(text.GetString(), text.GetLength()));
}

bool SetRichEditRtf(HWND richEdit, const CString& rtf)
{
    return StreamInWide(richEdit, rtf, 0);
}

bool StreamInWide(HWND richEdit, const CString& rtf, int limitChars)
{
    const size_t bytes = static_cast<size_t>(rtf.GetLength()) * sizeof(wchar_t);
    const size_t limit = limitChars > 0 ? static_cast<size_t>(limitChars) * sizeof(wchar_t) : 0;
    return StreamIn(richEdit, rtf.GetString(), bytes, true, true, false, limit);
}

CString StreamOutWide(HWND richEdit, bool plain, bool selectionOnly)
{
    if (!plain) {
        const std::string rtf = StreamOutAnsiRtf(richEdit, selectionOnly);
        return WidenRtfText(rtf.data(), rtf.size());
    }
    const LONG length = richEdit ? StreamedLength(richEdit, selectionOnly) : 0;
    if (length <= 0)
        return CString();
    const WPARAM format = SF_TEXT | SF_UNICODE | (selectionOnly ? SFF_SELECTION : 0);
    const std::vector<BYTE> bytes =
        StreamBytesOut(richEdit, format, (static_cast<size_t>(length) + 10) * sizeof(wchar_t));
    const auto* chars = reinterpret_cast<const wchar_t*>(bytes.data());
    size_t count = bytes.size() / sizeof(wchar_t);
    count = std::find(chars, chars + count, L'\0') - chars;
    return CString(chars, static_cast<int>(count));
}

CString GetRichEditRtf(HWND richEdit)
{
    return StreamOutWide(richEdit, false, false);
}

CString GetRichEditPlainText(HWND richEdit)
{
    return StreamOutWide(richEdit, true, false);
}

CString GetRichEditSelectedText(HWND richEdit)
{
    return StreamOutWide(richEdit, true, true);
}

std::string StreamOutAnsiRtf(HWND richEdit, bool selectionOnly)
{
    const LONG length = richEdit ? StreamedLength(richEdit, selectionOnly) : 0;
    if (length <= 0)
        return std::string();
    const WPARAM format = SF_RTF | (selectionOnly ? SFF_SELECTION : 0);
    const std::vector<BYTE> bytes = StreamBytesOut(richEdit, format, static_cast<size_t>(length) * 100);
    const auto* chars = reinterpret_cast<const char*>(bytes.data());
    return std::string(chars, ::strnlen(chars, bytes.size()));
}

// --- The hidden converter -------------------------------------------------------

void SetRichEditConverterParent(HWND parent)
{
    g_converterParent = parent;
}

HWND GetRichEditConverter()
{
    if (g_converter && ::IsWindow(g_converter))
        return g_converter;
    g_converter = CreateConverterWindow();
    return g_converter;
}

CString RtfToPlainText(const CString& rtf)
{
    const HWND converter = LoadedConverter(rtf, true);
    return converter ? GetRichEditPlainText(converter) : CString();
}

CString RtfBytesToPlainText(const char* bytes)
{
    const HWND converter = bytes ? ConverterWithAnsiRtf(bytes, std::strlen(bytes)) : nullptr;
    return converter ? GetRichEditPlainText(converter) : CString();
}

CString RtfToPlainTextPrefix(const CString& rtf, int chars)
{
    const HWND converter = GetRichEditConverter();
    if (!converter)
        return CString();
    const bool isRtf = LooksLikeRtf(rtf.GetString(), rtf.GetLength());
    // First only the head of a long RTF text; when that does not give the
    // characters wanted (a long font table, hidden text), the whole of it.
    const int limit = chars > 0 && chars < 0x7FFFFFFF / 10 ? chars * 10 : 0;
    if (isRtf && limit > 0 && limit < rtf.GetLength() && StreamInWide(converter, rtf, limit)) {
        SetRichEditSelection(converter, 0, chars);
        CString prefix = GetRichEditSelectedText(converter);
        if (prefix.GetLength() >= chars)
            return prefix;
    }
    if (!SetRichEditTextAuto(converter, rtf))
        return CString();
    if (chars > 0) {
        SetRichEditSelection(converter, 0, chars);
        CString prefix = GetRichEditSelectedText(converter);
        if (!prefix.IsEmpty())
            return prefix;
    }
    return GetRichEditPlainText(converter);
}

CString RtfToPlainTextAll(const CString& rtf)
{
    return RtfToPlainTextPrefix(rtf, 0);
}

CString ReplaceRichTextSelection(const CString& text, bool textIsRtf, const CString& insert, bool resultAsRtf)
{
    const HWND converter = LoadedConverter(text, textIsRtf);
    if (!converter)
        return CString();
    SetRichEditSelection(converter, -1, -1);
    ::SendMessageW(converter, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(insert.GetString()));
    return resultAsRtf ? GetRichEditRtf(converter) : GetRichEditPlainText(converter);
}

int ReplaceAllInConverter(LPCWSTR find, LPCWSTR replacement)
{
    const HWND converter = GetRichEditConverter();
    return converter ? ReplaceAllRichEditText(converter, find, replacement) : 0;
}

int JoinRtfLines(char* buffer, size_t bufferSize)
{
    if (!buffer || bufferSize == 0)
        return 0;
    const HWND converter = ConverterWithAnsiRtf(buffer, ::strnlen(buffer, bufferSize));
    if (!converter)
        return 0;
    int count = 0;
    for (LPCWSTR lineBreak : {L"\r\n", L"\n", L"\r", L"\v"})
        count += ReplaceAllRichEditText(converter, lineBreak, L" ");
    if (count == 0 || !WriteBackRtf(converter, buffer, bufferSize))
        return 0;
    return count;
}

int RemoveCharsFromRtf(char* buffer, size_t bufferSize, LPCWSTR chars)
{
    if (!buffer || bufferSize == 0 || !chars || !*chars)
        return 0;
    const HWND converter = ConverterWithAnsiRtf(buffer, ::strnlen(buffer, bufferSize));
    if (!converter)
        return 0;
    // Passes over the set until none removes anything, so that mixed runs
    // such as " \r " at an end go as a whole.
    int count = 0;
    for (int removed = 1; removed > 0; count += removed) {
        removed = 0;
        for (LPCWSTR ch = chars; *ch; ++ch)
            removed += StripRichEditCharAtEnds(converter, *ch);
    }
    if (count == 0 || !WriteBackRtf(converter, buffer, bufferSize))
        return 0;
    return count;
}

std::string ChangeRtfCase(const char* bytes, bool upper)
{
    const HWND converter = bytes ? ConverterWithAnsiRtf(bytes, std::strlen(bytes)) : nullptr;
    if (!converter)
        return std::string();
    ChangeRichEditCase(converter, upper);
    return StreamOutAnsiRtf(converter);
}

CString ChangeRtfCase(const CString& rtf, bool upper)
{
    const std::string narrow = NarrowRtfText(rtf.GetString(), rtf.GetLength());
    const std::string changed = ChangeRtfCase(narrow.c_str(), upper);
    return WidenRtfText(changed.data(), changed.size());
}

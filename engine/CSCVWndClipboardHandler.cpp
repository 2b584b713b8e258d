#include "engine/CSCVWndClipboardHandler.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <exception>
#include <functional>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "common/HandedOutAddresses.h"
#include "common/RichEditConversion.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/ShellCommands.h"
#include "common/TextConversion.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryFiles.h"
#include "engine/ClipboardHistoryTexts.h"
#include "engine/ClipboardHistoryWorkers.h"
#include "engine/ForeignClipboardFormats.h"
#include "engine/OwnClipboardChange.h"

namespace
{
constexpr wchar_t kWatcherClassName[] = L"ScvClipboardHistoryWatcher";
constexpr UINT_PTR kSaveTimer = 2343;
constexpr DWORD kSaveDelay = 1000;

volatile LONG g_myCopyCounter = 0;

void LogMyCopy(LONG value)
{
    CString line;
    line.Format(L"%sPULSEMY_COPY=%d", value < 0 ? L"ERROR: " : L"", static_cast<int>(value));
    WriteLogLine(line);
}

HANDLE DuplicateOwnHandle(HANDLE handle)
{
    HANDLE copy = nullptr;
    if (!handle || !::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                                      DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

// Waits on {stop, event} and sets the counter to `value` on each signal of the event.
void CopyEventWaiter(HANDLE stopEvent, HANDLE copyEvent, LONG value)
{
    CKernelHandle stop(stopEvent);
    CKernelHandle event(copyEvent);
    const HANDLE handles[] = {stop.Get(), event.Get()};
    while (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        ::InterlockedExchange(&g_myCopyCounter, value);
        LogMyCopy(value);
    }
}

void LogRefusedCopy(SIZE_T bytes)
{
    CString line;
    line.Format(L"Clipboard history: a copy of %llu bytes is over the bound of %lu bytes, not kept",
                static_cast<unsigned long long>(bytes), static_cast<unsigned long>(kMaxHistoryItemBytes));
    WriteLogLine(line);
}

// Locks a global block for its scope; the size is GlobalSize, 0 without data.
class CGlobalBlockLock
{
public:
    explicit CGlobalBlockLock(HANDLE block)
        : m_block(block), m_size(block ? ::GlobalSize(block) : 0),
          m_data(m_size ? static_cast<const BYTE*>(::GlobalLock(block)) : nullptr)
    {}
    ~CGlobalBlockLock()
    {
        if (m_data)
            ::GlobalUnlock(m_block);
    }
    CGlobalBlockLock(const CGlobalBlockLock&) = delete;
    CGlobalBlockLock& operator=(const CGlobalBlockLock&) = delete;
    const BYTE* Data() const { return m_data; }
    SIZE_T Size() const { return m_data ? m_size : 0; }

private:
    HANDLE m_block;
    SIZE_T m_size;
    const BYTE* m_data;
};

// What reading one clipboard format gave.
enum class CaptureRead
{
    Captured,
    Missing, // no data, empty or unreadable
    Refused, // over the history's bound (logged): the whole copy is dropped
};

enum class BlockShape
{
    Wide,   // UTF-16 text up to its first NUL character
    Narrow, // 8-bit text up to its first NUL byte
    Raw,    // every byte
};

// Copies a clipboard block of another program into the item's data, once, never
// reading past GlobalSize; text keeps its NUL.
CaptureRead ReadBlockInto(CCHItem& item, UINT format, BlockShape shape)
{
    const CGlobalBlockLock block(::GetClipboardData(format));
    const SIZE_T size = block.Size();
    if (!size)
        return CaptureRead::Missing;
    SIZE_T length = size;
    SIZE_T terminator = 0;
    if (shape == BlockShape::Wide) {
        length =
            wcsnlen(reinterpret_cast<const wchar_t*>(block.Data()), size / sizeof(wchar_t)) * sizeof(wchar_t);
        terminator = sizeof(wchar_t);
    } else if (shape == BlockShape::Narrow) {
        length = strnlen(reinterpret_cast<const char*>(block.Data()), size);
        terminator = 1;
    }
    if (length == 0)
        return CaptureRead::Missing;
    if (length + terminator > kMaxHistoryItemBytes) {
        LogRefusedCopy(length + terminator);
        return CaptureRead::Refused;
    }
    // The block is zeroed, so the terminator is there without being copied.
    void* data = AllocItemData(length + terminator, true);
    if (!data)
        return CaptureRead::Missing;
    std::memcpy(data, block.Data(), length);
    item.SetData(data, static_cast<unsigned>(length + terminator));
    return CaptureRead::Captured;
}

// CF_TEXT converted from the ANSI code page straight into the item's Unicode data.
CaptureRead ReadAnsiBlockAsUnicode(CCHItem& item)
{
    const CGlobalBlockLock block(::GetClipboardData(CF_TEXT));
    const char* text = reinterpret_cast<const char*>(block.Data());
    const SIZE_T length = text ? strnlen(text, block.Size()) : 0;
    if (length == 0)
        return CaptureRead::Missing;
    if ((length + 1) * sizeof(wchar_t) > kMaxHistoryItemBytes) {
        LogRefusedCopy((length + 1) * sizeof(wchar_t));
        return CaptureRead::Refused;
    }
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (chars <= 0)
        return CaptureRead::Missing;
    const size_t bytes = (static_cast<size_t>(chars) + 1) * sizeof(wchar_t);
    void* data = AllocItemData(bytes, true);
    if (!data)
        return CaptureRead::Missing;
    ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), static_cast<wchar_t*>(data), chars);
    item.SetData(data, static_cast<unsigned>(bytes));
    return CaptureRead::Captured;
}

LCID GetClipboardLocale()
{
    std::string bytes;
    if (!::IsClipboardFormatAvailable(CF_LOCALE) ||
        !ReadGlobalBlockBytes(::GetClipboardData(CF_LOCALE), bytes) || bytes.size() < sizeof(LCID))
        return 0;
    LCID locale = 0;
    std::memcpy(&locale, bytes.data(), sizeof(locale));
    return locale;
}

// The URL of a text read from the clipboard: the HTML source, else the text itself.
CString UrlForText(const CString& text)
{
    const CString url = GetHtmlSourceUrl();
    return url.IsEmpty() ? GetUrlFromText(text) : url;
}

CaptureRead ReadBitmapInto(CCHItem& item)
{
    HANDLE bitmap = ::GetClipboardData(CF_BITMAP);
    BITMAP object = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(object), &object))
        return CaptureRead::Missing;
    // Counted as 32-bit pixels, the most a history file holds per pixel.
    const unsigned long long pixelBytes = 4ull * static_cast<unsigned long long>(std::abs(object.bmWidth)) *
                                          static_cast<unsigned long long>(std::abs(object.bmHeight));
    if (pixelBytes > kMaxHistoryItemBytes) {
        LogRefusedCopy(
            static_cast<SIZE_T>((std::min)(pixelBytes, static_cast<unsigned long long>(SIZE_MAX))));
        return CaptureRead::Refused;
    }
    HANDLE copy = ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!copy)
        return CaptureRead::Missing;
    item.SetType(CHT_BITMAP);
    item.SetBitmap(static_cast<HBITMAP>(copy));
    item.SetUrl(GetHtmlSourceUrl());
    return CaptureRead::Captured;
}

CaptureRead ReadNarrowInto(CCHItem& item, UINT format, int type)
{
    const CaptureRead read = ReadBlockInto(item, format, BlockShape::Narrow);
    if (read != CaptureRead::Captured)
        return read;
    item.SetType(type);
    if (type == CHT_RTF)
        item.SetUrl(GetHtmlSourceUrl());
    return read;
}

CaptureRead ReadUnicodeInto(CCHItem& item)
{
    const CaptureRead read = ReadBlockInto(item, CF_UNICODETEXT, BlockShape::Wide);
    if (read != CaptureRead::Captured)
        return read;
    item.SetType(CHT_UNICODE_TEXT);
    item.SetUrl(UrlForText(item.GetWideText()));
    return read;
}

CaptureRead ReadAnsiInto(CCHItem& item)
{
    const CaptureRead read = ReadAnsiBlockAsUnicode(item);
    if (read != CaptureRead::Captured)
        return read;
    item.SetType(CHT_UNICODE_TEXT);
    item.SetTextLocale(GetClipboardLocale());
    item.SetUrl(UrlForText(item.GetWideText()));
    return read;
}

CaptureRead ReadOvellineInto(CCHItem& item)
{
    const CaptureRead read = ReadBlockInto(item, GetOvellineClipboardFormat(), BlockShape::Raw);
    if (read != CaptureRead::Captured)
        return read;
    item.SetType(CHT_OVELLINE);
    const bool hasMeta = IsOvlMetaInfoAvailable();
    WriteLogLine(hasMeta ? L"Ovelline Meta Info=1" : L"Ovelline Meta Info=0");
    std::string xml;
    if (hasMeta && ReadOvlMetaInfo(false, xml))
        item.SetOvlMetaInfoText(xml);
    return read;
}

// Opens the clipboard for the window; closes it when the guard ends.
class CClipboardOpen
{
public:
    explicit CClipboardOpen(HWND window) : m_open(::OpenClipboard(window) != FALSE) {}
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

// What trimming removes at both ends of a text.
constexpr wchar_t kTrimmedChars[] = L" \t\r\n";

// The text operations change the text in place and return how much they
// changed (0: nothing).
int JoinLines(CString& text)
{
    const int replaced = text.Replace(L"\r\n", L" ") + text.Replace(L"\n\r", L" ");
    if (replaced)
        text.Trim(kTrimmedChars);
    return replaced;
}

int TrimText(CString& text)
{
    const int before = text.GetLength();
    text.Trim(kTrimmedChars);
    return before - text.GetLength();
}

int UpperText(CString& text)
{
    const CString before = text;
    text.MakeUpper();
    return text != before ? 1 : 0;
}

int LowerText(CString& text)
{
    const CString before = text;
    text.MakeLower();
    return text != before ? 1 : 0;
}

// Runs an in-place operation of the RTF converter on a copy of the item's RTF;
// its count when it changed the text (the item then holds the result), else 0.
int ApplyRtfInPlace(CCHItem& item, int (*operation)(char*, size_t, LPCWSTR), LPCWSTR chars)
{
    std::string text = item.GetByteText();
    // Room for the converter to grow the text: the rich edit control writes
    // its own header and tables, which alone outgrow a short text.
    std::vector<char> buffer(text.size() * 2 + 64 * 1024, '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    const int count = operation(buffer.data(), buffer.size(), chars);
    if (count <= 0 || !item.SetDataCopy(buffer.data(), static_cast<unsigned>(std::strlen(buffer.data()) + 1)))
        return 0;
    return count;
}

int JoinRtf(char* buffer, size_t size, LPCWSTR)
{
    return JoinRtfLines(buffer, size);
}

// A text operation on a type-0 or type-1 item: its count when the text changed
// (the item then holds the result), else 0.
int ApplyToText(CCHItem& item, int (*operation)(CString&))
{
    const bool unicode = item.GetType() == CHT_UNICODE_TEXT;
    CString text = unicode ? item.GetWideText() : AnsiToWide(item.GetByteText().c_str());
    const int count = operation(text);
    if (count <= 0)
        return 0;
    if (unicode)
        return item.SetUnicodeText(text) ? count : 0;
    const std::string bytes = WideToThreadAnsi(text);
    return item.SetDataCopy(bytes.c_str(), static_cast<unsigned>(bytes.size() + 1)) ? count : 0;
}

CString PlainTextOf(const CCHItem& item)
{
    switch (item.GetType()) {
    case CHT_ANSI_TEXT:
        return AnsiToWide(item.GetByteText().c_str());
    case CHT_UNICODE_TEXT:
        return item.GetWideText();
    case CHT_RTF:
        return RtfToPlainTextAll(CString(item.GetByteText().c_str()));
    case CHT_HTML:
        return Utf8ToWide(item.GetByteText().c_str());
    default:
        return CString();
    }
}
// Whether an item still holds what its saved copy was made from (a bitmap is
// never changed in place).
bool HoldsSameData(const CCHItem& item, const CCHItem& copy)
{
    if (item.GetType() != copy.GetType() || item.GetSize() != copy.GetSize())
        return false;
    return item.GetType() == CHT_BITMAP || !item.GetSize() ||
           std::memcmp(item.GetData(), copy.GetData(), item.GetSize()) == 0;
}

bool FilesStillThere(const CCHItem& copy)
{
    for (const CString& path : copy.GetFileList()) {
        if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
            return false;
    }
    return true;
}

bool HasItemsNotOnDisk(const CCHQueue& queue)
{
    for (int position = 0; position < queue.GetCount(); ++position) {
        if (queue.GetItemAt(position)->GetFileState() == 0)
            return true;
    }
    return false;
}
} // namespace

LONG GetMyCopyCounter()
{
    return ::InterlockedCompareExchange(&g_myCopyCounter, 0, 0);
}

void SetMyCopyCounter(LONG value)
{
    ::InterlockedExchange(&g_myCopyCounter, value);
}

CAutoPulseMyCopy::CAutoPulseMyCopy()
{
    LogMyCopy(::InterlockedIncrement(&g_myCopyCounter));
}

CAutoPulseMyCopy::~CAutoPulseMyCopy()
{
    LogMyCopy(::InterlockedDecrement(&g_myCopyCounter));
}

bool IsClipboardItemTypeKept(int type)
{
    const CSettings& settings = GetSettings();
    switch (type) {
    case CHT_ANSI_TEXT:
    case CHT_UNICODE_TEXT:
        return settings.ClipboardFormats[0] != 0;
    case CHT_RTF:
        return settings.ClipboardFormats[1] != 0;
    case CHT_BITMAP:
        return settings.ClipboardFormats[2] != 0;
    case CHT_OVELLINE:
        return settings.ClipboardFormats[3] != 0;
    case CHT_HTML:
        return settings.ClipboardFormats[4] != 0;
    default:
        return true;
    }
}

// --- Construction and the window ---

CSCVWndClipboardHandler::CSCVWndClipboardHandler()
{
    AddAppEventListener(this);
}

CSCVWndClipboardHandler::~CSCVWndClipboardHandler()
{
    RemoveAppEventListener(this);
    if (IsWatcherWindow())
        ::DestroyWindow(m_window);
}

void CSCVWndClipboardHandler::SetCopyEvents(HANDLE startCopy, HANDLE endCopy)
{
    m_startCopyEvent.Reset(DuplicateOwnHandle(startCopy));
    m_endCopyEvent.Reset(DuplicateOwnHandle(endCopy));
}

int CSCVWndClipboardHandler::EnsureWindow(HWND parent, bool loadHistory, int controlId)
{
    const bool exists = IsWatcherWindow();
    if ((parent && exists) || (!parent && !exists))
        return 1;
    if (parent)
        return CreateWatcher(parent, loadHistory, controlId) ? 1 : 0;
    ::DestroyWindow(m_window);
    return IsWatcherWindow() ? 0 : 1;
}

bool CSCVWndClipboardHandler::CreateWatcher(HWND parent, bool loadHistory, int controlId)
{
    m_loadOnCreate = loadHistory;
    m_lastError = 0;
    m_parent = parent;
    m_controlId = controlId;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExW(instance, kWatcherClassName, &existing)) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &CSCVWndClipboardHandler::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWatcherClassName;
        ::RegisterClassExW(&windowClass);
    }
    HWND window = ::CreateWindowExW(WS_EX_LEFT, kWatcherClassName, L"", WS_CHILD, 0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, this);
    if (window) {
        SetMyCopyCounter(0);
        return true;
    }
    if (!m_lastError)
        m_lastError = ::GetLastError();
    LogError(GetLastErrorText());
    return false;
}

CString CSCVWndClipboardHandler::GetLastErrorText() const
{
    CString text;
    text.Format(L"Clipboad History Error code: %lu\r\n", m_lastError);
    return text + GetErrorMessageText(m_lastError);
}

LRESULT CALLBACK CSCVWndClipboardHandler::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<CSCVWndClipboardHandler*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto* self = reinterpret_cast<CSCVWndClipboardHandler*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    // No C++ exception leaves a window procedure: a huge copy that cannot be
    // had is dropped, the program goes on.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        LogError(CString(L"Clipboard history watcher: ") + AnsiToWide(error.what()) +
                 L", the message dropped");
    } catch (...) {
        LogError(L"Clipboard history watcher: an unknown failure, the message dropped");
    }
    return 0;
}

LRESULT CSCVWndClipboardHandler::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_TIMER:
        if (wParam != kSaveTimer)
            break;
        if (::GetTickCount() - m_lastChangeTick > kSaveDelay) {
            ::KillTimer(m_window, kSaveTimer);
            ::PostMessageW(m_window, WM_CBH_SAVE, 0, 0);
        }
        return 0;
    case WM_CBH_SAVE:
        // One save at a time: a save started while another runs would write
        // the items that one is writing a second time.
        if (m_saveRunning) {
            m_savePending = true;
            return 1;
        }
        if (!HasItemsNotOnDisk(m_queue))
            return 1;
        m_saveDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        m_saveRunning = m_saveDone && SaveHistory(m_queue, m_window, m_saveDone.Get()) == 1;
        return 1;
    case WM_CBH_DELAY_UNLOCK:
        // Own changes are kept out by their clipboard sequence number; no delayed
        // unblock is scheduled any more, so the message is only logged. Any program
        // can post it: taken as an unblock, it would release the block of a copy
        // the program is making, and the counter would go below 0 when that copy
        // ends, which stops every capture.
        WriteLogLine(GetMyCopyCounter() != 0 ? L"WM_DELAY_UNLOCK received bIsMyCopy=1"
                                             : L"WM_DELAY_UNLOCK received bIsMyCopy=0");
        return 0;
    default:
        break;
    }
    if (message == GetHistoryLoadedMessage()) {
        // Only the queue the load thread of this process hands over now: any
        // program can send this message with a made-up address.
        auto* loaded = reinterpret_cast<CCHQueue*>(lParam);
        if (!IsHandedOut(HandOverKind::HistoryQueue, loaded, sizeof(*loaded))) {
            WriteLogLine(L"Clipboard history: a loaded history this process did not hand out, ignored");
            return 0;
        }
        OnHistoryLoaded(*loaded);
        return 1;
    }
    if (message == GetHistoryItemSavedMessage()) {
        const auto* copy = reinterpret_cast<const CCHItem*>(lParam);
        if (wParam == 1 && !copy) {
            // Only the end of the save running now, as its worker reports it:
            // any program can post this message.
            if (!IsRunningSaveDone()) {
                WriteLogLine(L"Clipboard history: the end of a save that is not running, ignored");
                return 0;
            }
            OnSaveEnded();
            return 1;
        }
        if (!IsHandedOut(HandOverKind::HistoryItem, copy, sizeof(*copy))) {
            WriteLogLine(L"Clipboard history: a saved item this process did not hand out, ignored");
            return 0;
        }
        OnItemSaved(*copy);
        return 1;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

bool CSCVWndClipboardHandler::OnCreate()
{
    // A save of a window destroyed before it ended reports to that window only.
    ResetSaveState();
    m_stopEvent.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent) {
        m_lastError = ::GetLastError();
        LogError(GetLastErrorText());
        return false;
    }
    StartCopyWaiters();
    if (!InstallSpy()) {
        m_lastError = ::GetLastError() ? ::GetLastError() : ERROR_NOT_SUPPORTED;
        ::SetEvent(m_stopEvent.Get());
        return false;
    }
    m_clearedWhileLoading = false;
    m_removedWhileLoading.clear();
    m_loadPending =
        m_loadOnCreate && LoadHistoryIfEnabled(EnsureClipboardHistoryFolder(m_queue.GetHistoryFolder()), m_window);
    OnClipboardChanged(CHR_FIRST_CAPTURE, nullptr);
    return true;
}

void CSCVWndClipboardHandler::OnDestroy()
{
    CClipboardSpy& spy = CClipboardSpy::GetInstance();
    spy.RemoveClipboardObserver(this);
    if (spy.GetSpyWindow() && ::GetParent(spy.GetSpyWindow()) == m_window)
        spy.UninstallClipboardSpy();
    m_spyState = 0;
    ::KillTimer(m_window, kSaveTimer);
    ResetSaveState();
    if (m_stopEvent)
        ::SetEvent(m_stopEvent.Get());
    m_stopEvent.Reset();
}

bool CSCVWndClipboardHandler::InstallSpy()
{
    const int method = GetSettings().GetClipboardSpyMethod();
    int useListener = method;
    if (method == -1)
        useListener = GetSettings().GetEffectiveClipboardSpyMethod();
    if (useListener != 0 && useListener != 1) {
        LogError(L"Unknown clipboard spy method");
        return false;
    }
    CClipboardSpy& spy = CClipboardSpy::GetInstance();
    spy.ClearClipboardObservers();
    spy.AddClipboardObserver(this, 0);
    if (spy.IsClipboardSpyInstalled())
        spy.UninstallClipboardSpy();
    if (!spy.InstallClipboardSpy(useListener, ::GetModuleHandleW(nullptr), m_window))
        return false;
    m_spyState = spy.GetClipboardSpyMethodState() == 1 ? 2 : 3;
    return true;
}

void CSCVWndClipboardHandler::StartCopyWaiters()
{
    const std::pair<HANDLE, LONG> waiters[] = {{m_startCopyEvent.Get(), 1}, {m_endCopyEvent.Get(), 0}};
    for (const auto& [event, value] : waiters) {
        if (!event)
            continue;
        HANDLE stop = DuplicateOwnHandle(m_stopEvent.Get());
        HANDLE copy = DuplicateOwnHandle(event);
        try {
            std::thread(CopyEventWaiter, stop, copy, value).detach();
        } catch (const std::system_error&) {
            ::CloseHandle(stop);
            ::CloseHandle(copy);
            LogError(L"Cannot start the clipboard copy event waiter");
        }
    }
}

void CSCVWndClipboardHandler::NotifyParent(UINT code, int reason)
{
    if (!m_parent)
        return;
    ClipboardHistoryNotify record = {};
    record.header.hwndFrom = m_window;
    record.header.idFrom = static_cast<UINT_PTR>(m_controlId);
    record.header.code = code;
    record.reason = reason;
    // Handed out for the send: the parent reads only a record this process gave it.
    const CHandOverScope handOver(HandOverKind::Request, &record, sizeof(record));
    ::SendMessageW(m_parent, WM_NOTIFY, static_cast<WPARAM>(m_controlId), reinterpret_cast<LPARAM>(&record));
}

// --- Capture ---

void CSCVWndClipboardHandler::OnClipboardChanged(HWND& window, int)
{
    try {
        OnClipboardChanged(CHR_CAPTURE, window);
    } catch (const std::exception& error) {
        LogError(CString(L"Clipboard history: a copy dropped: ") + AnsiToWide(error.what()));
    }
}

void CSCVWndClipboardHandler::OnSpyStateChanged(int)
{
    // The spy was lost (or came back): the listeners learn whether capture still runs.
    CString line;
    line.Format(L"CSCVWndClipboardHandler::_OnClipboardSpyStateChanged spy installed=%d",
                CClipboardSpy::GetInstance().IsClipboardSpyInstalled() ? 1 : 0);
    WriteLogLine(line);
    NotifyClipboardSpyListeners(nullptr, 0, IsWatcherWindow() ? 1 : 0);
}

void CSCVWndClipboardHandler::OnAppEvent(int code, LPARAM)
{
    if (code == AppEventSettingsReloaded)
        m_queue.ClearTipTexts();
}

void CSCVWndClipboardHandler::OnClipboardChanged(int reason, HWND owner)
{
    // The counter, or the clipboard still as this window's own put-back left it.
    if (GetMyCopyCounter() != 0 ||
        (m_ownCopySequence && ::GetClipboardSequenceNumber() == m_ownCopySequence) ||
        COwnClipboardChange::GetInstance().IsExpectedCopy()) {
        WriteLogLine(L"My copy process detected");
        return;
    }
    // A window of this program (the ALT+TAB window in front while a menu is
    // open, say) is never the source of what the user copied.
    DWORD ownerProcess = 0;
    if (owner && ::GetWindowThreadProcessId(owner, &ownerProcess) && ownerProcess == ::GetCurrentProcessId())
        owner = nullptr;
    const DWORD sequence = ::GetClipboardSequenceNumber();
    if (sequence && sequence == m_capturedSequence)
        return;
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, owner);
    if (!ReadCurrentClipboard(*item) || !IsClipboardItemTypeKept(item->GetType()))
        return;
    if (!m_queue.Add(item, static_cast<unsigned>(GetSettings().GetClipboardHistoryMax())))
        return;
    m_capturedSequence = sequence;
    NotifyParent(kClipboardHistoryChanged, reason);
    ::PostMessageW(m_window, WM_CBH_SAVE, 0, 0);
}

bool CSCVWndClipboardHandler::ReadCurrentClipboard(CCHItem& item)
{
    CClipboardOpen clipboard(m_window);
    if (!clipboard.IsOpen())
        return false;
    const UINT ovelline = GetOvellineClipboardFormat();
    const UINT rtf = GetRtfClipboardFormat();
    const bool hasBitmap = ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
    struct MainFormat
    {
        bool available;
        bool last; // when it cannot be read, no other format is tried
        std::function<CaptureRead()> read;
    };
    // The main format, in this order: a bitmap when there is one, else the first text read.
    const MainFormat formats[] = {
        {ovelline && ::IsClipboardFormatAvailable(ovelline), false, [&] { return ReadOvellineInto(item); }},
        {hasBitmap, true, [&] { return ReadBitmapInto(item); }},
        {::IsClipboardFormatAvailable(rtf) != FALSE, false,
         [&] { return ReadNarrowInto(item, rtf, CHT_RTF); }},
        {::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE, false, [&] { return ReadUnicodeInto(item); }},
        {::IsClipboardFormatAvailable(CF_TEXT) != FALSE, false, [&] { return ReadAnsiInto(item); }},
    };
    for (const MainFormat& format : formats) {
        if (!format.available)
            continue;
        const CaptureRead result = format.read();
        if (result == CaptureRead::Captured) {
            AddPartsFromClipboard(item, item.GetType());
            return true;
        }
        // A copy over the bound is dropped whole (not kept in a smaller format).
        if (result == CaptureRead::Refused || format.last)
            return false;
    }
    return false;
}

int CSCVWndClipboardHandler::AddPartsFromClipboard(CCHItem& item, int mainType)
{
    int added = 0;
    auto addPart = [&](std::unique_ptr<CCHItem> part) {
        part->GetOwnerInfo() = item.GetOwnerInfo();
        item.AddPart(part.release());
        ++added;
    };
    const UINT rtf = GetRtfClipboardFormat();
    if (mainType != CHT_RTF && ::IsClipboardFormatAvailable(rtf)) {
        auto part = std::make_unique<CCHItem>(CHT_RTF, nullptr);
        if (ReadNarrowInto(*part, rtf, CHT_RTF) == CaptureRead::Captured)
            addPart(std::move(part));
    }
    const bool extras = GetSettings().ClipboardFormats[4] != 0;
    if (extras && mainType != CHT_BITMAP && ::IsClipboardFormatAvailable(CF_BITMAP)) {
        auto part = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
        if (ReadBitmapInto(*part) == CaptureRead::Captured)
            addPart(std::move(part));
    }
    const UINT html = GetHtmlClipboardFormat();
    if (extras && mainType != CHT_HTML && ::IsClipboardFormatAvailable(html)) {
        auto part = std::make_unique<CCHItem>(CHT_HTML, nullptr);
        if (ReadNarrowInto(*part, html, CHT_HTML) == CaptureRead::Captured)
            addPart(std::move(part));
    }
    return added;
}

// --- Saving ---

void CSCVWndClipboardHandler::ScheduleSave()
{
    if (!IsWatcherWindow())
        return;
    m_lastChangeTick = ::GetTickCount();
    ::SetTimer(m_window, kSaveTimer, kSaveDelay, nullptr);
}

void CSCVWndClipboardHandler::OnItemSaved(const CCHItem& copy)
{
    CCHItem* item = m_queue.FindByKey(copy.GetKey());
    if (!item) {
        // Replaced meanwhile by an item that names the same descriptor (the
        // saved copy loaded again while a capture of the same content was
        // written over it): these files are that item's, never deleted here.
        item = m_queue.FindByDescriptor(copy.GetDescriptorPath());
    }
    if (!item) {
        // Deleted or cleared while the worker wrote it: its files would bring
        // it back at the next start.
        WriteLogLine(L"Clipboard history: a saved item is no longer in the history, its files deleted");
        DeleteDescriptorAndFiles(copy.GetDescriptorPath());
        return;
    }
    item->SetDescriptorPath(copy.GetDescriptorPath());
    if (!FilesStillThere(copy)) {
        // A clear emptied the folder while the worker wrote: written again.
        WriteLogLine(L"Clipboard history: the files of a saved item were deleted meanwhile, saved again");
        ScheduleSave();
        return;
    }
    if (!HoldsSameData(*item, copy)) {
        // Changed while the worker wrote it: the next save replaces these files.
        ScheduleSave();
        return;
    }
    item->SetFileInfo(2, copy.GetDataFilePath());
    if (item->IsProtected() != copy.IsProtected()) {
        // Protected or released while the worker wrote it: the files follow the item.
        const bool value = item->IsProtected();
        item->SetProtectedFlag(!value);
        item->SetProtected(value);
    }
}

void CSCVWndClipboardHandler::ResetSaveState()
{
    m_saveRunning = false;
    m_savePending = false;
    m_saveDone.Reset();
}

bool CSCVWndClipboardHandler::IsRunningSaveDone() const
{
    return m_saveRunning && m_saveDone && ::WaitForSingleObject(m_saveDone.Get(), 0) == WAIT_OBJECT_0;
}

void CSCVWndClipboardHandler::OnSaveEnded()
{
    m_saveRunning = false;
    m_saveDone.Reset();
    if (m_savePending) {
        m_savePending = false;
        ::PostMessageW(m_window, WM_CBH_SAVE, 0, 0);
    }
}

void CSCVWndClipboardHandler::OnHistoryLoaded(CCHQueue& loaded)
{
    m_loadPending = false;
    // A load that brings nothing ends here too (a Clear can empty the folder
    // before the load reads it): what was cleared or deleted meanwhile is
    // forgotten, and the parent learns that the load has ended.
    const bool resave = DropWhatWasRemovedMeanwhile(loaded);
    if (!loaded.IsEmpty()) {
        CString line;
        line.Format(L"Clipboard history: %d saved items loaded", loaded.GetCount());
        WriteLogLine(line);
        m_queue.MergeLoaded(loaded, static_cast<unsigned>(GetSettings().GetClipboardHistoryMax()));
    }
    NotifyParent(kClipboardHistoryLoaded, 0);
    if (resave)
        ScheduleSave();
}

bool CSCVWndClipboardHandler::DropWhatWasRemovedMeanwhile(CCHQueue& loaded)
{
    const bool cleared = m_clearedWhileLoading;
    const std::vector<std::unique_ptr<CCHItem>> removed = std::move(m_removedWhileLoading);
    m_clearedWhileLoading = false;
    m_removedWhileLoading.clear();
    if (!cleared && removed.empty())
        return false;
    bool resave = false;
    for (std::unique_ptr<CCHItem>& item : loaded.TakeItems()) {
        const bool wasRemoved = std::any_of(removed.begin(), removed.end(), [&](const auto& gone) {
            return ItemsEqual(*gone, *item);
        });
        if (wasRemoved || (cleared && !item->IsProtected())) {
            DeleteDescriptorAndFiles(item->GetDescriptorPath());
            continue;
        }
        // A protected item survives the clear, but the clear emptied the folder under it.
        if (cleared) {
            item->SetFileInfo(0, item->GetDataFilePath());
            resave = true;
        }
        loaded.Append(std::move(item));
    }
    WriteLogLine(L"Clipboard history: the saved items cleared or deleted before they arrived are dropped");
    return resave;
}

void CSCVWndClipboardHandler::MarkForSaving(CCHItem& item)
{
    // The item's files stay named until its next save replaces them: a clear
    // meanwhile keeps a protected item's files, and an exit before that save
    // leaves the earlier text on disk rather than nothing.
    item.SetFileInfo(0, item.GetDataFilePath());
    ScheduleSave();
}

void CSCVWndClipboardHandler::BlockCaptureForAWhile()
{
    // Only the clipboard as the program's own change left it is kept out: a
    // copy another program makes right afterwards is captured.
    if (COwnClipboardChange::GetInstance().IsLatest())
        NoteOwnCopy();
}

// --- Menus ---

int CSCVWndClipboardHandler::AppendHistoryToMenu(HMENU menu, int firstId, int max)
{
    if (m_queue.IsEmpty() || !menu || max <= 0)
        return 0;
    const int existing = ::GetMenuItemCount(menu);
    if (existing <= 0 || ::GetMenuItemID(menu, existing - 1) != 0)
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    CString clipboardText;
    const bool hasClipboardText = GetClipboardUnicodeText(clipboardText);
    int appended = 0;
    for (int index = 0; index < m_queue.GetCount() && index < max; ++index) {
        const CCHItem* item = m_queue.GetItem(index);
        bool current = false;
        if (hasClipboardText && item->GetType() == CHT_UNICODE_TEXT)
            current = item->GetWideText() == clipboardText;
        else if (hasClipboardText && item->GetType() == CHT_ANSI_TEXT)
            current = AnsiToWide(item->GetByteText().c_str()) == clipboardText;
        CString caption = GetItemMenuCaption(*item);
        if (caption.IsEmpty() || caption[0] != L' ')
            caption = L" " + caption;
        const UINT id = static_cast<UINT>(firstId + index);
        if (!::AppendMenuW(menu, MF_STRING | (current ? MF_CHECKED : MF_UNCHECKED), id, caption))
            continue;
        if (current)
            ::SetMenuDefaultItem(menu, id, FALSE);
        ++appended;
    }
    return appended;
}

void CSCVWndClipboardHandler::RemoveHistoryFromMenu(HMENU menu, int firstId, int lastId)
{
    if (!menu)
        return;
    for (int id = firstId; id <= lastId; ++id)
        ::DeleteMenu(menu, static_cast<UINT>(id), MF_BYCOMMAND);
    const int count = ::GetMenuItemCount(menu);
    if (count < 5)
        return;
    for (int position = count - 1; position >= 0; --position) {
        if (::GetMenuItemID(menu, position) == 0)
            ::DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
}

// --- Item operations ---

bool CSCVWndClipboardHandler::PutItemOnClipboard(int index)
{
    const bool put = PutItemData(index);
    if (put)
        NoteOwnCopy();
    return put;
}

void CSCVWndClipboardHandler::NoteOwnCopy()
{
    m_ownCopySequence = ::GetClipboardSequenceNumber();
}

bool CSCVWndClipboardHandler::PutItemData(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return false;
    switch (item->GetType()) {
    case CHT_ANSI_TEXT: {
        const std::string text = item->GetByteText();
        return PutClipboardData(CF_TEXT, text.c_str(), text.empty() ? 0 : text.size() + 1);
    }
    case CHT_UNICODE_TEXT: {
        const CString text = item->GetWideText();
        return PutClipboardData(
            CF_UNICODETEXT, text.GetString(),
            text.IsEmpty() ? 0 : (static_cast<SIZE_T>(text.GetLength()) + 1) * sizeof(wchar_t));
    }
    case CHT_RTF:
    case CHT_HTML: {
        const std::string text = item->GetByteText();
        const UINT format = item->GetType() == CHT_RTF ? GetRtfClipboardFormat() : GetHtmlClipboardFormat();
        return !text.empty() && PutClipboardData(format, text.c_str(), text.size() + 1);
    }
    case CHT_OVELLINE:
        return item->GetSize() != 0 &&
               PutClipboardData(GetOvellineClipboardFormat(), item->GetData(), item->GetSize());
    case CHT_BITMAP:
        return PutBitmapToClipboard(item->GetBitmap());
    default:
        return false;
    }
}

bool CSCVWndClipboardHandler::PutItemAsPlainText(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return false;
    std::vector<const CCHItem*> candidates{item};
    for (int type : {CHT_UNICODE_TEXT, CHT_ANSI_TEXT}) {
        if (const CCHItem* part = item->FindPart(type))
            candidates.push_back(part);
    }
    for (const CCHItemPtr& part : item->GetParts())
        candidates.push_back(part.Get());
    for (const CCHItem* candidate : candidates) {
        const CString text = candidate ? PlainTextOf(*candidate) : CString();
        if (!text.IsEmpty() && PutClipboardUnicodeText(text)) {
            NoteOwnCopy();
            return true;
        }
    }
    return false;
}

int CSCVWndClipboardHandler::ChangeItemCase(bool upper, int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    int changed = 0;
    if (item->GetType() == CHT_RTF) {
        const std::string text = item->GetByteText();
        const std::string result = ChangeRtfCase(text.c_str(), upper);
        changed = !result.empty() && result != text &&
                          item->SetDataCopy(result.c_str(), static_cast<unsigned>(result.size() + 1))
                      ? 1
                      : 0;
    } else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT) {
        changed = ApplyToText(*item, upper ? &UpperText : &LowerText);
    }
    return FinishTextChange(*item, changed);
}

int CSCVWndClipboardHandler::JoinItemLines(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    int joined = 0;
    if (item->GetType() == CHT_RTF)
        joined = ApplyRtfInPlace(*item, &JoinRtf, nullptr);
    else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT)
        joined = ApplyToText(*item, &JoinLines);
    return FinishTextChange(*item, joined);
}

int CSCVWndClipboardHandler::TrimItem(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    int removed = 0;
    if (item->GetType() == CHT_RTF)
        removed = ApplyRtfInPlace(*item, &RemoveCharsFromRtf, kTrimmedChars);
    else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT)
        removed = ApplyToText(*item, &TrimText);
    return FinishTextChange(*item, removed);
}

int CSCVWndClipboardHandler::FinishTextChange(CCHItem& item, int count)
{
    if (count <= 0)
        return 0;
    item.ClearCachedTexts();
    // Every changed item is written again, whatever its type, so that the
    // file on disk never disagrees with the history.
    MarkForSaving(item);
    return count;
}

bool CSCVWndClipboardHandler::RemoveItems(const std::set<int>& indexes, bool makeUndo, bool force,
                                          const CString& text)
{
    // The saved history has not arrived yet: its copies of these items must not bring them back.
    if (m_loadPending) {
        for (int index : indexes) {
            const CCHItem* item = m_queue.GetItem(index);
            if (item && (force || !item->IsProtected()))
                m_removedWhileLoading.emplace_back(item->Clone());
        }
    }
    if (!m_queue.RemoveItems(indexes, makeUndo, force, text))
        return false;
    NotifyParent(kClipboardHistoryChanged, CHR_REMOVAL);
    return true;
}

bool CSCVWndClipboardHandler::ClearHistory()
{
    // Also an empty history's clear empties the folder the saved history is read from.
    if (m_loadPending)
        m_clearedWhileLoading = true;
    if (!m_queue.Clear(CString()))
        return false;
    NotifyParent(kClipboardHistoryChanged, CHR_REMOVAL);
    return true;
}

bool CSCVWndClipboardHandler::DoUndo()
{
    if (!m_queue.DoUndo())
        return false;
    NotifyParent(kClipboardHistoryChanged, CHR_REMOVAL);
    ScheduleSave();
    return true;
}

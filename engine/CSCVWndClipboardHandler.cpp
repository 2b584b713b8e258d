#include "engine/CSCVWndClipboardHandler.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

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

namespace
{
constexpr wchar_t kWatcherClassName[] = L"ScvClipboardHistoryWatcher";
constexpr UINT_PTR kSaveTimer = 2343;
constexpr DWORD kSaveDelay = 1000;
constexpr DWORD kBlockMilliseconds = 3000;

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

// The text of a clipboard block, bounded by the block: wide text up to its
// first NUL character, narrow text up to its first NUL byte.
bool ReadClipboardWide(UINT format, std::wstring& text)
{
    std::string bytes;
    if (!ReadGlobalBlockBytes(::GetClipboardData(format), bytes))
        return false;
    const size_t chars = bytes.size() / sizeof(wchar_t);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), chars);
    text.resize(std::min(text.find(L'\0'), chars));
    return !text.empty();
}

bool ReadClipboardNarrow(UINT format, std::string& text)
{
    return ReadGlobalBlockText(::GetClipboardData(format), text) && !text.empty();
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

bool ReadBitmapInto(CCHItem& item)
{
    HANDLE bitmap = ::GetClipboardData(CF_BITMAP);
    if (!bitmap)
        return false;
    HANDLE copy = ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!copy)
        return false;
    item.SetType(CHT_BITMAP);
    item.SetBitmap(static_cast<HBITMAP>(copy));
    item.SetUrl(GetHtmlSourceUrl());
    return true;
}

bool ReadNarrowInto(CCHItem& item, UINT format, int type)
{
    std::string text;
    if (!ReadClipboardNarrow(format, text) ||
        !item.SetDataCopy(text.c_str(), static_cast<unsigned>(text.size() + 1)))
        return false;
    item.SetType(type);
    if (type == CHT_RTF)
        item.SetUrl(GetHtmlSourceUrl());
    return true;
}

bool ReadUnicodeInto(CCHItem& item)
{
    std::wstring text;
    if (!ReadClipboardWide(CF_UNICODETEXT, text) || !item.SetUnicodeText(text.c_str()))
        return false;
    item.SetType(CHT_UNICODE_TEXT);
    item.SetUrl(UrlForText(text.c_str()));
    return true;
}

bool ReadAnsiInto(CCHItem& item)
{
    std::string text;
    if (!ReadClipboardNarrow(CF_TEXT, text))
        return false;
    const CString wide = AnsiToWide(text.c_str());
    if (wide.IsEmpty() || !item.SetUnicodeText(wide))
        return false;
    item.SetType(CHT_UNICODE_TEXT);
    item.SetTextLocale(GetClipboardLocale());
    item.SetUrl(UrlForText(wide));
    return true;
}

bool ReadOvellineInto(CCHItem& item)
{
    std::string bytes;
    if (!ReadGlobalBlockBytes(::GetClipboardData(GetOvellineClipboardFormat()), bytes) ||
        !item.SetDataCopy(bytes.data(), static_cast<unsigned>(bytes.size())))
        return false;
    item.SetType(CHT_OVELLINE);
    const bool hasMeta = IsOvlMetaInfoAvailable();
    WriteLogLine(hasMeta ? L"Ovelline Meta Info=1" : L"Ovelline Meta Info=0");
    std::string xml;
    if (hasMeta && ReadOvlMetaInfo(false, xml))
        item.SetOvlMetaInfoText(xml);
    return true;
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

CString JoinLines(const CString& text)
{
    CString joined = text;
    const int replaced = joined.Replace(L"\r\n", L" ") + joined.Replace(L"\n\r", L" ");
    if (replaced)
        joined.Trim(L" \t\n");
    return joined;
}

CString TrimText(const CString& text)
{
    CString trimmed = text;
    trimmed.Trim(L" \t\n");
    return trimmed;
}

// Runs an in-place operation of the RTF converter on a copy of the item's RTF;
// true when it changed the text (the item then holds the result).
bool ApplyRtfInPlace(CCHItem& item, int (*operation)(char*, size_t, LPCWSTR), LPCWSTR chars)
{
    std::string text = item.GetByteText();
    // Room for the converter to grow the text.
    std::vector<char> buffer(text.size() * 2 + 64, '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    if (operation(buffer.data(), buffer.size(), chars) == 0)
        return false;
    return item.SetDataCopy(buffer.data(), static_cast<unsigned>(std::strlen(buffer.data()) + 1));
}

int JoinRtf(char* buffer, size_t size, LPCWSTR)
{
    return JoinRtfLines(buffer, size);
}

// A text operation on a type-0 or type-1 item: true when the text changed
// (the item then holds the result).
bool ApplyToText(CCHItem& item, CString (*operation)(const CString&))
{
    if (item.GetType() == CHT_UNICODE_TEXT) {
        const CString text = item.GetWideText();
        const CString changed = operation(text);
        return changed != text && item.SetUnicodeText(changed);
    }
    const CString text = AnsiToWide(item.GetByteText().c_str());
    const CString changed = operation(text);
    if (changed == text)
        return false;
    const std::string bytes = WideToThreadAnsi(changed);
    return item.SetDataCopy(bytes.c_str(), static_cast<unsigned>(bytes.size() + 1));
}

CString UpperText(const CString& text)
{
    CString changed = text;
    changed.MakeUpper();
    return changed;
}

CString LowerText(const CString& text)
{
    CString changed = text;
    changed.MakeLower();
    return changed;
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

UINT CSCVWndClipboardHandler::GetAddItemMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{540F133E-3D6B-49e4-87A5-C19CA88FC341}");
    return message;
}

UINT CSCVWndClipboardHandler::GetItemFileStateMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{30462FA5-8E5D-4702-A0CD-6C06742AD9BC}");
    return message;
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
    return self->HandleMessage(message, wParam, lParam);
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
        m_saveRunning = HasItemsNotOnDisk(m_queue) && SaveHistory(m_queue, m_window) == 1;
        return 1;
    case WM_CBH_DELAY_UNLOCK: {
        const bool wasBlocked = GetMyCopyCounter() != 0;
        if (wasBlocked)
            ::InterlockedDecrement(&g_myCopyCounter);
        WriteLogLine(wasBlocked ? L"WM_DELAY_UNLOCK received bIsMyCopy=1"
                                : L"WM_DELAY_UNLOCK received bIsMyCopy=0");
        return 0;
    }
    default:
        break;
    }
    if (message == GetHistoryLoadedMessage() && lParam) {
        OnHistoryLoaded(*reinterpret_cast<CCHQueue*>(lParam));
        return 1;
    }
    if (message == GetHistoryItemSavedMessage()) {
        if (lParam)
            OnItemSaved(*reinterpret_cast<const CCHItem*>(lParam));
        if (wParam == 1)
            OnSaveEnded();
        return 1;
    }
    if (message == GetAddItemMessage() && lParam) {
        std::unique_ptr<CCHItem> item(reinterpret_cast<CCHItem*>(lParam));
        if (!m_queue.Add(item, static_cast<unsigned>(GetSettings().GetClipboardHistoryMax())))
            item.release(); // refused: the sender keeps it
        return 1;
    }
    if (message == GetItemFileStateMessage() && lParam) {
        const auto* saved = reinterpret_cast<const CCHItem*>(lParam);
        if (CCHItem* item = m_queue.GetItemAt(m_queue.IndexOfId(saved->GetId())))
            item->SetFileInfo(2, saved->GetDataFilePath());
        return 1;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

bool CSCVWndClipboardHandler::OnCreate()
{
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
    if (m_loadOnCreate)
        LoadHistoryIfEnabled(EnsureClipboardHistoryFolder(m_queue.GetHistoryFolder()), m_window);
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
    ::SendMessageW(m_parent, WM_NOTIFY, static_cast<WPARAM>(m_controlId), reinterpret_cast<LPARAM>(&record));
}

// --- Capture ---

void CSCVWndClipboardHandler::OnClipboardChanged(HWND& window, int)
{
    OnClipboardChanged(CHR_CAPTURE, window);
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
    if (GetMyCopyCounter() != 0) {
        WriteLogLine(L"My copy process detected");
        return;
    }
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, owner);
    if (!ReadCurrentClipboard(*item) || !IsClipboardItemTypeKept(item->GetType()))
        return;
    if (!m_queue.Add(item, static_cast<unsigned>(GetSettings().GetClipboardHistoryMax())))
        return;
    NotifyParent(kClipboardHistoryChanged, reason);
    ::PostMessageW(m_window, WM_CBH_SAVE, 0, 0);
}

bool CSCVWndClipboardHandler::ReadCurrentClipboard(CCHItem& item)
{
    CClipboardOpen clipboard(m_window);
    if (!clipboard.IsOpen())
        return false;
    const UINT ovelline = GetOvellineClipboardFormat();
    if (ovelline && ::IsClipboardFormatAvailable(ovelline) && ReadOvellineInto(item)) {
        AddPartsFromClipboard(item, CHT_OVELLINE);
        return true;
    }
    if (::IsClipboardFormatAvailable(CF_BITMAP)) {
        if (!ReadBitmapInto(item))
            return false;
        AddPartsFromClipboard(item, CHT_BITMAP);
        return true;
    }
    const UINT rtf = GetRtfClipboardFormat();
    if (::IsClipboardFormatAvailable(rtf) && ReadNarrowInto(item, rtf, CHT_RTF)) {
        AddPartsFromClipboard(item, CHT_RTF);
        return true;
    }
    if (::IsClipboardFormatAvailable(CF_UNICODETEXT) && ReadUnicodeInto(item)) {
        AddPartsFromClipboard(item, CHT_UNICODE_TEXT);
        return true;
    }
    if (::IsClipboardFormatAvailable(CF_TEXT) && ReadAnsiInto(item)) {
        AddPartsFromClipboard(item, CHT_ANSI_TEXT);
        return true;
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
        if (ReadNarrowInto(*part, rtf, CHT_RTF))
            addPart(std::move(part));
    }
    const bool extras = GetSettings().ClipboardFormats[4] != 0;
    if (extras && mainType != CHT_BITMAP && ::IsClipboardFormatAvailable(CF_BITMAP)) {
        auto part = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
        if (ReadBitmapInto(*part))
            addPart(std::move(part));
    }
    const UINT html = GetHtmlClipboardFormat();
    if (extras && mainType != CHT_HTML && ::IsClipboardFormatAvailable(html)) {
        auto part = std::make_unique<CCHItem>(CHT_HTML, nullptr);
        if (ReadNarrowInto(*part, html, CHT_HTML))
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
    if (!item)
        return;
    item->SetFileInfo(2, copy.GetDataFilePath());
    item->SetDescriptorPath(copy.GetDescriptorPath());
}

void CSCVWndClipboardHandler::OnSaveEnded()
{
    m_saveRunning = false;
    if (m_savePending) {
        m_savePending = false;
        ::PostMessageW(m_window, WM_CBH_SAVE, 0, 0);
    }
}

void CSCVWndClipboardHandler::OnHistoryLoaded(CCHQueue& loaded)
{
    m_queue.MergeLoaded(loaded, static_cast<unsigned>(GetSettings().GetClipboardHistoryMax()));
    NotifyParent(kClipboardHistoryLoaded, 0);
}

void CSCVWndClipboardHandler::MarkForSaving(CCHItem& item)
{
    item.SetFileInfo(0, CString());
    ScheduleSave();
}

void CSCVWndClipboardHandler::BlockCaptureForAWhile()
{
    HANDLE stop = DuplicateOwnHandle(m_stopEvent.Get());
    const HWND window = m_window;
    ::InterlockedIncrement(&g_myCopyCounter);
    try {
        std::thread([stop, window] {
            CKernelHandle stopEvent(stop);
            const DWORD start = ::GetTickCount();
            const DWORD result = stopEvent ? ::WaitForSingleObject(stopEvent.Get(), kBlockMilliseconds)
                                           : (::Sleep(kBlockMilliseconds), WAIT_TIMEOUT);
            if (result != WAIT_TIMEOUT)
                return;
            ::PostMessageW(window, WM_CBH_DELAY_UNLOCK, 0, 0);
            CString line;
            line.Format(L"__AsynBlockClipboardHandler_Proc wait complete: timeout=%lu",
                        ::GetTickCount() - start);
            WriteLogLine(line);
        }).detach();
    } catch (const std::system_error&) {
        ::InterlockedDecrement(&g_myCopyCounter);
        if (stop)
            ::CloseHandle(stop);
        LogError(L"Cannot start AsynBlockClipboardHandler");
    }
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
        if (!text.IsEmpty() && PutClipboardUnicodeText(text))
            return true;
    }
    return false;
}

int CSCVWndClipboardHandler::ChangeItemCase(bool upper, int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    bool changed = false;
    if (item->GetType() == CHT_RTF) {
        const std::string text = item->GetByteText();
        const std::string result = ChangeRtfCase(text.c_str(), upper);
        changed = !result.empty() && result != text &&
                  item->SetDataCopy(result.c_str(), static_cast<unsigned>(result.size() + 1));
    } else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT) {
        changed = ApplyToText(*item, upper ? &UpperText : &LowerText);
    }
    if (!changed)
        return 0;
    item->ClearCachedTexts();
    // Written again whatever its type, so the file never disagrees with the history.
    MarkForSaving(*item);
    return 1;
}

int CSCVWndClipboardHandler::JoinItemLines(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    bool changed = false;
    if (item->GetType() == CHT_RTF)
        changed = ApplyRtfInPlace(*item, &JoinRtf, nullptr);
    else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT)
        changed = ApplyToText(*item, &JoinLines);
    if (!changed)
        return 0;
    item->ClearCachedTexts();
    MarkForSaving(*item);
    return 1;
}

int CSCVWndClipboardHandler::TrimItem(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return 0;
    bool changed = false;
    if (item->GetType() == CHT_RTF)
        changed = ApplyRtfInPlace(*item, &RemoveCharsFromRtf, L" \r\n");
    else if (item->GetType() == CHT_UNICODE_TEXT || item->GetType() == CHT_ANSI_TEXT)
        changed = ApplyToText(*item, &TrimText);
    if (!changed)
        return 0;
    item->ClearCachedTexts();
    // Every changed item is written again (a changed RTF or ANSI text too, so
    // that the file on disk never disagrees with the history).
    MarkForSaving(*item);
    return 1;
}

bool CSCVWndClipboardHandler::RemoveItems(const std::set<int>& indexes, bool makeUndo, bool force,
                                          const CString& text)
{
    if (!m_queue.RemoveItems(indexes, makeUndo, force, text))
        return false;
    NotifyParent(kClipboardHistoryChanged, CHR_REMOVAL);
    return true;
}

bool CSCVWndClipboardHandler::ClearHistory()
{
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

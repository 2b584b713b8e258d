// test-locks: clipboard appevents desktop sharedlog
// test-run-serial
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/CSCVWndClipboardHandler.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryWorkers.h"
#include "engine/ClipboardSpy.h"
#include "engine/OwnClipboardChange.h"

#include "common/KernelHandle.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "engine/ClipboardHistoryFiles.h"
#include "HistoryTestBitmaps.h"
#include "support/ChildMain.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr char kHtml[] =
    "Version:0.9\r\nStartHTML:00000000\r\nSourceURL:https://example.org/page\r\n<p>x</p>";
constexpr char kRtf[] = "{\\rtf1\\ansi {\\b bold} text}";

std::wstring Str(const CString& text)
{
    return text.GetString();
}

// Puts blocks (format, bytes) on the clipboard in one go, optionally owned by a window.
bool PutBlocks(const std::vector<std::pair<UINT, std::string>>& blocks, HWND owner = nullptr)
{
    if (!::OpenClipboard(owner))
        return false;
    ::EmptyClipboard();
    bool all = true;
    for (const auto& [format, bytes] : blocks)
        all = PutClipboardBlock(format, bytes.data(), bytes.size()) && all;
    ::CloseClipboard();
    return all;
}

std::string Wide(const wchar_t* text)
{
    return std::string(reinterpret_cast<const char*>(text), (wcslen(text) + 1) * sizeof(wchar_t));
}

std::string Narrow(const char* text)
{
    return std::string(text, std::strlen(text) + 1);
}

bool EmptyTheClipboard()
{
    if (!::OpenClipboard(nullptr))
        return false;
    ::EmptyClipboard();
    ::CloseClipboard();
    return true;
}

// Keeps the settings the watcher reads and puts them back.
class SettingsScope
{
public:
    SettingsScope()
    {
        const CSettings& settings = GetSettings();
        std::memcpy(m_formats, settings.ClipboardFormats, sizeof(m_formats));
        m_max = settings.ClipboardHistoryMax;
        m_save = settings.GetSaveClipboardHistory();
    }
    ~SettingsScope()
    {
        CSettings& settings = GetSettings();
        std::memcpy(settings.ClipboardFormats, m_formats, sizeof(m_formats));
        settings.ClipboardHistoryMax = m_max;
        settings.SetSaveClipboardHistory(m_save);
    }

private:
    int m_formats[CSettings::ClipboardFormatCount] = {};
    int m_max = 0;
    int m_save = 0;
};

// Counts the spy's change notifications: once the count moves, every observer
// (the watcher too) has handled the change.
struct CountingObserver : IClipboardSpyObserver
{
    int changes = 0;
    void OnClipboardChanged(HWND&, int) override { ++changes; }
    void OnSpyStateChanged(int) override {}
};

// A hidden top-level window that parents the watcher and records its notifications.
struct ParentWindow
{
    HWND window = nullptr;
    std::vector<std::pair<UINT, int>> notifications; // code, reason

    ParentWindow()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestWatcherParent";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(0, windowClass.lpszClassName, L"watcher parent", WS_OVERLAPPED, 0, 0, 10,
                                   10, nullptr, nullptr, windowClass.hInstance, this);
    }
    ~ParentWindow() { ::DestroyWindow(window); }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(
                window, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ParentWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_NOTIFY) {
            const auto* record = reinterpret_cast<const ClipboardHistoryNotify*>(lParam);
            self->notifications.emplace_back(record->header.code, record->reason);
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

class ClipboardWatcher : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GetSettings().SetSaveClipboardHistory(0);
        GetSettings().ClipboardHistoryMax = 30;
        const int formats[] = {1, 1, 1, 1, 1};
        std::memcpy(GetSettings().ClipboardFormats, formats, sizeof(formats));
        ASSERT_TRUE(parent.window);
        ASSERT_TRUE(EmptyTheClipboard());
        watcher.SetHistoryFolder(folder.PathOf(L"History").c_str());
    }

    void Start(bool loadHistory = false) { StartWatcher(watcher, loadHistory); }

    void StartWatcher(CSCVWndClipboardHandler& which, bool loadHistory)
    {
        ASSERT_EQ(which.EnsureWindow(parent.window, loadHistory), 1);
        ASSERT_TRUE(which.IsWatcherWindow());
        CClipboardSpy::GetInstance().AddClipboardObserver(&observer, 1);
    }

    // Puts the blocks and waits until the watcher has handled the change.
    void Copy(const std::vector<std::pair<UINT, std::string>>& blocks, HWND owner = nullptr)
    {
        const int before = observer.changes;
        ASSERT_TRUE(PutBlocks(blocks, owner));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return observer.changes > before; }, 10000));
    }

    // Waits until the clipboard changed and the watcher has handled it.
    void WaitForChange(int before)
    {
        ASSERT_TRUE(scvtest::PumpUntil([&] { return observer.changes > before; }, 10000));
    }

    void TearDown() override
    {
        CClipboardSpy::GetInstance().RemoveClipboardObserver(&observer);
        watcher.DestroyWatcher();
        SetMyCopyCounter(0);
    }

    SettingsScope settings;
    scvtest::TempFolder folder;
    ParentWindow parent;
    CountingObserver observer;
    CSCVWndClipboardHandler watcher;
};

SCV_CHILD_MAIN(copy_text_from_window)
{
    // args: the text, the event that ends the child
    // The copying window is in the foreground, as a window the user copies from is.
    HWND window = ::CreateWindowExW(0, L"STATIC", L"ScvCopySource", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    100, 100, nullptr, nullptr, nullptr, nullptr);
    if (window)
        ::SetForegroundWindow(window);
    CKernelHandle done(::OpenEventW(SYNCHRONIZE, FALSE, args.at(1).c_str()));
    if (!window || !done || !PutBlocks({{CF_UNICODETEXT, Wide(args.at(0).c_str())}}, window))
        return 2;
    const DWORD result = ::WaitForSingleObject(done.Get(), 30000);
    ::DestroyWindow(window);
    return result == WAIT_OBJECT_0 ? 0 : 3;
}
} // namespace

TEST_F(ClipboardWatcher, ACopyOfAnotherProcessArrivesWithItsOwner)
{
    Start();
    const std::wstring doneName = L"Local\\ScvTestWatcherDone" + std::to_wstring(::GetCurrentProcessId());
    CKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
    scvtest::ChildProcess child =
        scvtest::LaunchSelf(L"copy_text_from_window", {L"from the child", doneName});
    ASSERT_TRUE(child.Started());
    const bool arrived = scvtest::PumpUntil(
        [&] { return watcher.GetCount() > 0 && Str(watcher.GetItem(0)->GetWideText()) == L"from the child"; },
        20000);
    ::SetEvent(done.Get());
    EXPECT_EQ(child.Wait(20000), 0u);
    ASSERT_TRUE(arrived);
    const CCHItem& item = *watcher.GetItem(0);
    EXPECT_EQ(item.GetType(), CHT_UNICODE_TEXT);
    // The owner's program is this test executable (the child runs it too).
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring exe = Str(item.GetOwnerInfo().exePath);
    const std::wstring selfName = std::wstring(self).substr(std::wstring(self).find_last_of(L'\\') + 1);
    EXPECT_NE(exe.find(selfName), std::wstring::npos) << exe;
    EXPECT_EQ(Str(item.GetOwnerInfo().windowTitle), L"ScvCopySource");
    ASSERT_FALSE(parent.notifications.empty());
    EXPECT_EQ(parent.notifications.back(), (std::pair<UINT, int>{kClipboardHistoryChanged, CHR_CAPTURE}));
}

TEST_F(ClipboardWatcher, OwnCopiesBetweenStartAndEndCopyAreNotCaptured)
{
    CKernelHandle startCopy(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    CKernelHandle endCopy(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    watcher.SetCopyEvents(startCopy.Get(), endCopy.Get());
    Start();

    ::SetEvent(startCopy.Get());
    ASSERT_TRUE(scvtest::PumpUntil([] { return GetMyCopyCounter() == 1; }, 10000));
    Copy({{CF_UNICODETEXT, Wide(L"own copy")}});
    ::SetEvent(endCopy.Get());
    ASSERT_TRUE(scvtest::PumpUntil([] { return GetMyCopyCounter() == 0; }, 10000));
    {
        // A delayed unblock posted by another program neither releases the
        // block of a copy in progress nor takes the counter below 0 after it.
        const CAutoPulseMyCopy guard;
        ::SendMessageW(watcher.GetWindow(), WM_CBH_DELAY_UNLOCK, 0, 0);
        EXPECT_EQ(GetMyCopyCounter(), 1);
        Copy({{CF_UNICODETEXT, Wide(L"guarded copy")}});
    }
    EXPECT_EQ(GetMyCopyCounter(), 0);
    ::SendMessageW(watcher.GetWindow(), WM_CBH_DELAY_UNLOCK, 0, 0);
    EXPECT_EQ(GetMyCopyCounter(), 0);
    Copy({{CF_UNICODETEXT, Wide(L"user copy")}});

    ASSERT_EQ(watcher.GetCount(), 1);
    EXPECT_EQ(Str(watcher.GetItem(0)->GetWideText()), L"user copy");
}

// The block after the program's own change keeps exactly that change out: the next copy, made at
// once, is captured; a copy the program asked a window for is kept out whenever it lands.
TEST_F(ClipboardWatcher, TheOwnChangeBlockHoldsOnlyTheOwnChange)
{
    Start();
    const int count = watcher.GetCount();
    const int before = observer.changes;
    ASSERT_TRUE(PutClipboardUnicodeText(L"the program's own paste"));
    watcher.BlockCaptureForAWhile();
    WaitForChange(before);
    EXPECT_EQ(watcher.GetCount(), count) << "the program's own change was captured";
    EXPECT_EQ(GetMyCopyCounter(), 0) << "no time window is opened";

    Copy({{CF_UNICODETEXT, Wide(L"copied right after the paste")}});
    ASSERT_EQ(watcher.GetCount(), count + 1);
    EXPECT_EQ(Str(watcher.GetItem(0)->GetWideText()), L"copied right after the paste");

    // A copy asked of a window: kept out while expected, captured once the request has ended.
    ParentWindow target;
    COwnClipboardChange::GetInstance().ExpectCopyBy(target.window);
    Copy({{CF_UNICODETEXT, Wide(L"the selection copied on request")}}, target.window);
    EXPECT_EQ(watcher.GetCount(), count + 1);
    COwnClipboardChange::GetInstance().EndExpectedCopy();
    Copy({{CF_UNICODETEXT, Wide(L"the user's copy from that window")}}, target.window);
    ASSERT_EQ(watcher.GetCount(), count + 2);
    EXPECT_EQ(Str(watcher.GetItem(0)->GetWideText()), L"the user's copy from that window");
}

TEST_F(ClipboardWatcher, CaptureTakesTheMainFormatAndPartsTheSettingsAllow)
{
    struct Case
    {
        const char* name;
        std::vector<int> formats; // ClipboardFormats0..4
        std::vector<std::pair<UINT, std::string>> blocks;
        int type; // -1: nothing kept
        std::wstring formatList;
    };
    HBITMAP dib = MakeTestDib(8, 8, 0x00FF0000, 0x0000FF00);
    ASSERT_TRUE(dib);
    const std::vector<Case> cases = {
        {"rtf with html",
         {1, 1, 1, 1, 1},
         {{GetRtfClipboardFormat(), Narrow(kRtf)},
          {CF_UNICODETEXT, Wide(L"bold text")},
          {GetHtmlClipboardFormat(), Narrow(kHtml)}},
         CHT_RTF,
         L"rtf, html"},
        {"rtf without extras",
         {1, 1, 1, 1, 0},
         {{GetRtfClipboardFormat(), Narrow(kRtf)}, {GetHtmlClipboardFormat(), Narrow(kHtml)}},
         CHT_RTF,
         L"rtf"},
        {"rtf dropped",
         {1, 0, 1, 1, 1},
         {{GetRtfClipboardFormat(), Narrow("{\\rtf1 dropped}")}, {CF_UNICODETEXT, Wide(L"dropped")}},
         -1,
         L""},
        {"unicode", {1, 1, 1, 1, 1}, {{CF_UNICODETEXT, Wide(L"plain \u00E9")}}, CHT_UNICODE_TEXT, L"txt"},
        {"text off", {0, 1, 1, 1, 1}, {{CF_UNICODETEXT, Wide(L"not kept")}}, -1, L""},
    };
    Start();
    for (const Case& c : cases) {
        std::memcpy(GetSettings().ClipboardFormats, c.formats.data(), sizeof(int) * c.formats.size());
        const int before = watcher.GetCount();
        Copy(c.blocks);
        if (c.type < 0) {
            EXPECT_EQ(watcher.GetCount(), before) << c.name;
            continue;
        }
        ASSERT_GT(watcher.GetCount(), 0) << c.name;
        EXPECT_EQ(watcher.GetItem(0)->GetType(), c.type) << c.name;
        EXPECT_EQ(Str(watcher.GetItem(0)->GetFormatListText()), c.formatList) << c.name;
    }
    EXPECT_EQ(Str(watcher.GetItem(1)->GetUrl()), L"https://example.org/page");

    // CF_TEXT alone becomes Unicode text (the system offers it as Unicode text too).
    const int all[] = {1, 1, 1, 1, 1};
    std::memcpy(GetSettings().ClipboardFormats, all, sizeof(all));
    Copy({{CF_TEXT, Narrow("ansi only")}});
    EXPECT_EQ(watcher.GetItem(0)->GetType(), CHT_UNICODE_TEXT);
    EXPECT_EQ(Str(watcher.GetItem(0)->GetWideText()), L"ansi only");

    // A bitmap with text is a bitmap item; the text is not kept.
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_BITMAP, ::CopyImage(dib, IMAGE_BITMAP, 0, 0, 0));
    PutClipboardBlock(CF_UNICODETEXT, Wide(L"caption").data(), Wide(L"caption").size());
    const int before = observer.changes;
    ::CloseClipboard();
    ASSERT_TRUE(scvtest::PumpUntil([&] { return observer.changes > before; }, 10000));
    EXPECT_EQ(watcher.GetItem(0)->GetType(), CHT_BITMAP);
    BITMAP captured = {};
    ASSERT_TRUE(::GetObjectW(watcher.GetItem(0)->GetBitmap(), sizeof(captured), &captured));
    EXPECT_EQ(captured.bmWidth, 8);
    EXPECT_TRUE(watcher.GetItem(0)->GetParts().empty());
    ::DeleteObject(dib);
}

TEST_F(ClipboardWatcher, HistoryGoesIntoARealMenuAndItemsBackOnTheClipboard)
{
    Start();
    HMENU none = ::CreatePopupMenu();
    EXPECT_EQ(watcher.AppendHistoryToMenu(none, 34000, 30), 0);
    EXPECT_EQ(::GetMenuItemCount(none), 0);
    ::DestroyMenu(none);

    Copy({{GetRtfClipboardFormat(), Narrow(kRtf)}, {GetHtmlClipboardFormat(), Narrow(kHtml)}});
    for (const wchar_t* text : {L"first", L"second", L"third"})
        Copy({{CF_UNICODETEXT, Wide(text)}});

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"Existing");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    EXPECT_EQ(watcher.AppendHistoryToMenu(menu, 34000, 2), 2);
    ASSERT_EQ(::GetMenuItemCount(menu), 4); // no second separator, at most 2 items
    wchar_t caption[64] = {};
    ::GetMenuStringW(menu, 34000, caption, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(caption), L" third");
    EXPECT_EQ(::GetMenuState(menu, 34000, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(::GetMenuState(menu, 34001, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), 34000u);
    ::DestroyMenu(menu);

    // Without Unicode text on the clipboard nothing is checked.
    ASSERT_TRUE(PutBitmapToClipboard(MakeTestDib(2, 2, 1, 2)));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return watcher.GetItem(0)->GetType() == CHT_BITMAP; }, 10000));
    HMENU plain = ::CreatePopupMenu();
    EXPECT_EQ(watcher.AppendHistoryToMenu(plain, 34000, 30), 5);
    EXPECT_EQ(::GetMenuItemCount(plain), 6);
    for (UINT id = 34000; id < 34005; ++id)
        EXPECT_EQ(::GetMenuState(plain, id, MF_BYCOMMAND) & MF_CHECKED, 0u);
    watcher.RemoveHistoryFromMenu(plain, 34000, 34099);
    EXPECT_EQ(::GetMenuItemCount(plain), 1);
    ::DestroyMenu(plain);

    // A bitmap and an HTML item go back on the clipboard as what they are.
    CCHItem* rtfItem = watcher.GetItem(4);
    ASSERT_EQ(rtfItem->GetType(), CHT_RTF);
    {
        const CAutoPulseMyCopy guard;
        ASSERT_TRUE(watcher.PutItemOnClipboard(0));
        EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
        EXPECT_TRUE(watcher.PutItemAsPlainText(4));
        CString text;
        ASSERT_TRUE(GetClipboardUnicodeText(text));
        EXPECT_EQ(Str(text).find(L"bold text"), 0u);
    }
    std::unique_ptr<CCHItem> html(rtfItem->FindHtmlPart()->Clone());
    ASSERT_TRUE(watcher.GetQueue().Add(html, 30));
    ASSERT_EQ(watcher.GetItem(0)->GetType(), CHT_HTML);
    const CAutoPulseMyCopy guard;
    ASSERT_TRUE(watcher.PutItemOnClipboard(0));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    std::string onClipboard;
    if (HANDLE block = ::GetClipboardData(GetHtmlClipboardFormat()))
        onClipboard = static_cast<const char*>(::GlobalLock(block));
    ::CloseClipboard();
    EXPECT_EQ(onClipboard, kHtml);
    EXPECT_FALSE(watcher.PutItemOnClipboard(99));
}

TEST_F(ClipboardWatcher, SavedHistoryComesBackAfterARestart)
{
    GetSettings().SetSaveClipboardHistory(1);
    Start();
    HBITMAP dib = MakeTestDib(16, 16, 0x00112233, 0x00445566);
    Copy({{GetRtfClipboardFormat(), Narrow(kRtf)}, {GetHtmlClipboardFormat(), Narrow(kHtml)}});
    Copy({{CF_UNICODETEXT, Wide(L"unicode \u0416")}});
    ASSERT_TRUE(PutBitmapToClipboard(dib));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return watcher.GetCount() == 3; }, 10000));
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] {
            for (int i = 0; i < watcher.GetCount(); ++i) {
                if (watcher.GetItem(i)->GetFileState() != 2)
                    return false;
            }
            return !IsHistorySaveLoadBusy();
        },
        20000));
    EXPECT_EQ(watcher.GetItem(1)->SetProtected(true), 1);
    std::vector<std::wstring> before;
    for (int i = 0; i < watcher.GetCount(); ++i)
        before.push_back(Str(watcher.GetItem(i)->GetFormatListText()));
    const std::string rtfBytes = watcher.GetItem(2)->GetByteText();
    const CString unicode = watcher.GetItem(1)->GetWideText();
    HBITMAP captured = static_cast<HBITMAP>(
        ::CopyImage(watcher.GetItem(0)->GetBitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // Every item was written once: one descriptor each.
    int descriptors = 0;
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW(folder.PathOf(L"History\\*.info").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found))
        ++descriptors;
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    EXPECT_EQ(descriptors, 3);
    watcher.DestroyWatcher();
    ASSERT_TRUE(EmptyTheClipboard());

    CSCVWndClipboardHandler restarted;
    restarted.SetHistoryFolder(folder.PathOf(L"History").c_str());
    ASSERT_EQ(restarted.EnsureWindow(parent.window, true), 1);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return restarted.GetCount() == 3; }, 20000));
    std::vector<std::wstring> after;
    for (int i = 0; i < restarted.GetCount(); ++i)
        after.push_back(Str(restarted.GetItem(i)->GetFormatListText()));
    EXPECT_EQ(after, before);
    EXPECT_TRUE(BitmapsEqual(restarted.GetItem(0)->GetBitmap(), captured));
    ::DeleteObject(captured);
    EXPECT_EQ(restarted.GetItem(1)->GetWideText(), unicode);
    EXPECT_TRUE(restarted.GetItem(1)->IsProtected());
    EXPECT_EQ(restarted.GetItem(2)->GetByteText(), rtfBytes);
    EXPECT_EQ(Str(restarted.GetItem(2)->GetUrl()), L"https://example.org/page");
    EXPECT_EQ(restarted.GetItem(2)->FindHtmlPart()->GetByteText(), std::string(kHtml));
    EXPECT_FALSE(parent.notifications.empty());
    EXPECT_EQ(parent.notifications.back().first, kClipboardHistoryLoaded);
    restarted.DestroyWatcher();
    ::DeleteObject(dib);
}

namespace
{
// Holds the history's save/load lock on the test thread: a save started
// meanwhile waits for it on its worker thread.
class HeldSave
{
public:
    HeldSave() : m_mutex(GetHistorySaveLoadMutex())
    {
        const DWORD result = m_mutex ? ::WaitForSingleObject(m_mutex, 10000) : WAIT_FAILED;
        m_held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~HeldSave() { Release(); }
    HeldSave(const HeldSave&) = delete;
    HeldSave& operator=(const HeldSave&) = delete;
    bool IsHeld() const { return m_held; }
    void Release()
    {
        if (m_held)
            ::ReleaseMutex(m_mutex);
        m_held = false;
    }

private:
    HANDLE m_mutex;
    bool m_held = false;
};

// Every item on disk and no save or load running.
bool AllSaved(const CSCVWndClipboardHandler& watcher)
{
    for (int i = 0; i < watcher.GetCount(); ++i) {
        if (watcher.GetItem(i)->GetFileState() == 0)
            return false;
    }
    return !IsHistorySaveLoadBusy();
}

std::vector<std::wstring> Texts(const CSCVWndClipboardHandler& watcher)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < watcher.GetCount(); ++i)
        texts.push_back(Str(watcher.GetItem(i)->GetWideText()));
    return texts;
}

// Opens a log in its own folder for the scope and gives its text once closed.
class LogScope
{
public:
    LogScope() : m_path(m_folder.PathOf(L"Log.txt")) { m_open = LogOpen(m_path.c_str()); }
    ~LogScope() { Close(); }
    bool IsOpen() const { return m_open; }
    std::wstring CloseAndRead()
    {
        Close();
        return scvtest::ReadFileText(m_path).value_or(L"");
    }

private:
    void Close()
    {
        if (!m_open)
            return;
        WaitForPendingLogEntries(5000);
        LogClose();
        m_open = false;
    }

    scvtest::TempFolder m_folder;
    std::wstring m_path;
    bool m_open = false;
};
} // namespace

TEST_F(ClipboardWatcher, ItemsDeletedOrClearedDuringASaveStayGoneAfterARestart)
{
    GetSettings().SetSaveClipboardHistory(1);
    for (const bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "cleared" : "deleted");
        const std::wstring history = folder.PathOf(clear ? L"Cleared" : L"Deleted");
        ASSERT_TRUE(EmptyTheClipboard());
        {
            CSCVWndClipboardHandler running;
            running.SetHistoryFolder(history.c_str());
            StartWatcher(running, false);
            HeldSave held;
            ASSERT_TRUE(held.IsHeld());
            Copy({{CF_UNICODETEXT, Wide(L"gone")}});
            // Its save has started and waits for the lock.
            ::SendMessageW(running.GetWindow(), WM_CBH_SAVE, 0, 0);
            if (clear)
                ASSERT_TRUE(running.ClearHistory());
            else
                ASSERT_TRUE(running.RemoveItems({0}, true, false, CString()));
            Copy({{CF_UNICODETEXT, Wide(L"kept")}});
            held.Release();
            ASSERT_TRUE(
                scvtest::PumpUntil([&] { return running.GetCount() == 1 && AllSaved(running); }, 20000));
            EXPECT_EQ(scvtest::CountFiles(history + L"\\*.info"), 1);
            EXPECT_EQ(scvtest::CountFiles(history + L"\\*.txt"), 1);
            running.DestroyWatcher();
        }
        // The clipboard still holds "kept": the first capture and the saved item are one.
        CSCVWndClipboardHandler restarted;
        restarted.SetHistoryFolder(history.c_str());
        const size_t notified = parent.notifications.size();
        StartWatcher(restarted, true);
        ASSERT_TRUE(scvtest::PumpUntil(
            [&] {
                for (size_t i = notified; i < parent.notifications.size(); ++i) {
                    if (parent.notifications[i].first == kClipboardHistoryLoaded)
                        return AllSaved(restarted);
                }
                return false;
            },
            20000));
        EXPECT_EQ(Texts(restarted), std::vector<std::wstring>{L"kept"});
        ASSERT_TRUE(
            scvtest::PumpUntil([&] { return scvtest::CountFiles(history + L"\\*.info") == 1; }, 10000));
        EXPECT_EQ(scvtest::CountFiles(history + L"\\*.txt"), 1);
        restarted.DestroyWatcher();
    }
}

// Waits without handling any message until another thread sends this thread one (the loaded
// history, say); false when none comes within the bound.
bool WaitForASentMessage(DWORD boundMs)
{
    const DWORD start = ::GetTickCount();
    while ((LOWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0) {
        if (::GetTickCount() - start > boundMs)
            return false;
        ::Sleep(10);
    }
    return true;
}

// Whether a loaded history has been merged since `notified` notifications.
bool LoadedSince(const ParentWindow& parent, size_t notified)
{
    for (size_t i = notified; i < parent.notifications.size(); ++i) {
        if (parent.notifications[i].first == kClipboardHistoryLoaded)
            return true;
    }
    return false;
}

// Clear or Delete at start-up, after the saved history was read but before it has arrived: the
// loaded copies bring nothing back, in the history or on disk.
TEST_F(ClipboardWatcher, ItemsClearedOrDeletedBeforeTheSavedHistoryArrivesStayGone)
{
    GetSettings().SetSaveClipboardHistory(1);
    for (const bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "cleared" : "deleted");
        const std::wstring history = folder.PathOf(clear ? L"ClearedAtStart" : L"DeletedAtStart");
        ASSERT_TRUE(EmptyTheClipboard());
        {
            CSCVWndClipboardHandler first;
            first.SetHistoryFolder(history.c_str());
            StartWatcher(first, false);
            Copy({{CF_UNICODETEXT, Wide(L"older")}});
            Copy({{CF_UNICODETEXT, Wide(L"newest")}});
            ASSERT_TRUE(scvtest::PumpUntil([&] { return first.GetCount() == 2 && AllSaved(first); }, 20000));
            first.DestroyWatcher();
        }
        // "newest" is still on the clipboard: the start captures it before the saved history arrives.
        CSCVWndClipboardHandler restarted;
        restarted.SetHistoryFolder(history.c_str());
        const size_t notified = parent.notifications.size();
        StartWatcher(restarted, true);
        ASSERT_TRUE(WaitForASentMessage(20000)) << "the saved history was not read";
        ASSERT_EQ(Texts(restarted), std::vector<std::wstring>{L"newest"});
        if (clear)
            ASSERT_TRUE(restarted.ClearHistory());
        else
            ASSERT_TRUE(restarted.RemoveItems({0}, true, false, CString()));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return LoadedSince(parent, notified) && AllSaved(restarted); },
                                       20000));
        const std::vector<std::wstring> expected =
            clear ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"older"};
        EXPECT_EQ(Texts(restarted), expected);
        EXPECT_EQ(scvtest::CountFiles(history + L"\\*.info"), static_cast<int>(expected.size()));
        restarted.DestroyWatcher();
    }
}

// Upper case of a protected item, then Clear within the save delay, then an exit before the save:
// the item's files stay, and the next start has the item with its earlier text.
TEST_F(ClipboardWatcher, AProtectedItemChangedAndClearedBeforeItsSaveSurvivesARestart)
{
    GetSettings().SetSaveClipboardHistory(1);
    const std::wstring history = folder.PathOf(L"Protected");
    ASSERT_TRUE(EmptyTheClipboard());
    {
        CSCVWndClipboardHandler running;
        running.SetHistoryFolder(history.c_str());
        StartWatcher(running, false);
        Copy({{CF_UNICODETEXT, Wide(L"protected text")}});
        ASSERT_TRUE(scvtest::PumpUntil([&] { return running.GetCount() == 1 && AllSaved(running); }, 20000));
        ASSERT_EQ(running.GetItem(0)->SetProtected(true), 1);
        ASSERT_EQ(running.ChangeItemCase(true, 0), 1);
        EXPECT_FALSE(running.GetItem(0)->GetDataFilePath().IsEmpty()) << "the change forgot the item's file";
        ASSERT_TRUE(running.ClearHistory());
        ASSERT_EQ(running.GetCount(), 1);
        running.DestroyWatcher();
    }
    ASSERT_TRUE(EmptyTheClipboard());
    CSCVWndClipboardHandler restarted;
    restarted.SetHistoryFolder(history.c_str());
    const size_t notified = parent.notifications.size();
    StartWatcher(restarted, true);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return LoadedSince(parent, notified); }, 20000))
        << "the protected item was lost";
    ASSERT_EQ(Texts(restarted), std::vector<std::wstring>{L"protected text"});
    EXPECT_TRUE(restarted.GetItem(0)->IsProtected());
    restarted.DestroyWatcher();
}

// The watcher goes away while its save waits (the session locked) and comes back: every item is on
// disk once, and an item the user deletes afterwards stays gone after a restart.
TEST_F(ClipboardWatcher, AWatcherStoppedAndStartedDuringASaveKeepsOneFileSetPerItem)
{
    GetSettings().SetSaveClipboardHistory(1);
    const std::wstring history = folder.PathOf(L"History");
    Start();
    {
        HeldSave held;
        ASSERT_TRUE(held.IsHeld());
        Copy({{CF_UNICODETEXT, Wide(L"first")}});
        ::SendMessageW(watcher.GetWindow(), WM_CBH_SAVE, 0, 0);
        // Stopped while the save waits: no history would learn of what it writes.
        watcher.DestroyWatcher();
        Start();
    }
    Copy({{CF_UNICODETEXT, Wide(L"second")}});
    ASSERT_TRUE(scvtest::PumpUntil([&] { return AllSaved(watcher); }, 20000)) << "the next copy reaches disk";
    EXPECT_EQ(Texts(watcher), (std::vector<std::wstring>{L"second", L"first"}));
    EXPECT_EQ(scvtest::CountFiles(history + L"\\*.info"), 2) << "an item was written twice";
    EXPECT_EQ(scvtest::CountFiles(history + L"\\*.txt"), 2);

    ASSERT_TRUE(watcher.RemoveItems({1}, true, false, CString()));
    watcher.DestroyWatcher();
    CSCVWndClipboardHandler restarted;
    restarted.SetHistoryFolder(history.c_str());
    const size_t notified = parent.notifications.size();
    StartWatcher(restarted, true);
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] {
            for (size_t i = notified; i < parent.notifications.size(); ++i) {
                if (parent.notifications[i].first == kClipboardHistoryLoaded)
                    return AllSaved(restarted);
            }
            return false;
        },
        20000));
    EXPECT_EQ(Texts(restarted), std::vector<std::wstring>{L"second"}) << "the deleted item came back";
    restarted.DestroyWatcher();
}

namespace
{
// Sends a registered message (by name) with the given parameters to a window, as any program can.
SCV_CHILD_MAIN(send_registered_message)
{
    // args: the window (decimal), the message name, wParam, lParam
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(args.at(0))));
    const UINT message = ::RegisterWindowMessageW(args.at(1).c_str());
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, static_cast<WPARAM>(std::stoull(args.at(2))),
                          static_cast<LPARAM>(std::stoll(args.at(3))), SMTO_ABORTIFHUNG, 10000, &result);
    return 0;
}
} // namespace

// Another program tells the watcher that its save has ended while it still runs: the watcher does
// not believe it, so no second save writes the same items again.
TEST_F(ClipboardWatcher, AForgedEndOfSaveFromAnotherProgramStartsNoSecondSave)
{
    GetSettings().SetSaveClipboardHistory(1);
    const std::wstring history = folder.PathOf(L"History");
    Start();
    {
        HeldSave held;
        ASSERT_TRUE(held.IsHeld());
        Copy({{CF_UNICODETEXT, Wide(L"one")}});
        Copy({{CF_UNICODETEXT, Wide(L"two")}});
        ::SendMessageW(watcher.GetWindow(), WM_CBH_SAVE, 0, 0);
        scvtest::ChildProcess forger = scvtest::LaunchSelf(
            L"send_registered_message",
            {std::to_wstring(reinterpret_cast<INT_PTR>(watcher.GetWindow())),
             L"{F762C94C-9D69-4a96-B8FD-7F53F4157D13}", L"1", L"0"});
        ASSERT_TRUE(forger.Started());
        ASSERT_TRUE(scvtest::PumpUntil([&] { return !forger.IsRunning(); }, 20000));
        ::SendMessageW(watcher.GetWindow(), WM_CBH_SAVE, 0, 0);
    }
    ASSERT_TRUE(scvtest::PumpUntil([&] { return AllSaved(watcher); }, 20000));
    // A second save, had it started, would be writing now.
    scvtest::PumpFor(500);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return AllSaved(watcher); }, 20000));
    EXPECT_EQ(scvtest::CountFiles(history + L"\\*.info"), watcher.GetCount()) << "the items were saved twice";
    watcher.DestroyWatcher();
}

TEST_F(ClipboardWatcher, ACopyOverTheBoundIsRefusedWithALogLine)
{
    LogScope log;
    ASSERT_TRUE(log.IsOpen());
    Start();
    Copy({{CF_UNICODETEXT, Wide(L"small")}});
    // One character over the bound, with its NUL.
    std::string huge(kMaxHistoryItemBytes + sizeof(wchar_t), 'a');
    huge[huge.size() - 1] = '\0';
    huge[huge.size() - 2] = '\0';
    Copy({{CF_UNICODETEXT, huge}});
    huge = std::string();
    // A bitmap over the bound, counted as 32-bit pixels.
    HBITMAP big = MakeTestDib(4200, 4000, 0x00FFFFFF, 0);
    ASSERT_TRUE(big);
    const int before = observer.changes;
    ASSERT_TRUE(PutBitmapToClipboard(big));
    WaitForChange(before);
    ::DeleteObject(big);
    // The watcher still captures what fits.
    Copy({{CF_UNICODETEXT, Wide(L"after")}});

    EXPECT_EQ(Texts(watcher), (std::vector<std::wstring>{L"after", L"small"}));
    const std::wstring text = log.CloseAndRead();
    size_t refused = 0;
    for (size_t at = text.find(L"over the bound"); at != std::wstring::npos;
         at = text.find(L"over the bound", at + 1))
        ++refused;
    EXPECT_EQ(refused, 2u) << scvtest::WideToUtf8(text);
}

TEST_F(ClipboardWatcher, MessagesWithAddressesItDidNotHandOutAreIgnored)
{
    LogScope log;
    ASSERT_TRUE(log.IsOpen());
    GetSettings().SetSaveClipboardHistory(1);
    Start();
    Copy({{CF_UNICODETEXT, Wide(L"held")}});
    ASSERT_TRUE(scvtest::PumpUntil([&] { return AllSaved(watcher); }, 20000));

    // A queue and an item of this process that no worker handed over, and made-up numbers.
    CCHQueue notHandedOut;
    std::unique_ptr<CCHItem> item(watcher.GetItem(0)->Clone());
    std::unique_ptr<CCHItem> loadedItem(watcher.GetItem(0)->Clone());
    notHandedOut.Append(std::move(loadedItem));
    for (LPARAM forged : {static_cast<LPARAM>(0x10), static_cast<LPARAM>(0x7FFF0000),
                          reinterpret_cast<LPARAM>(&notHandedOut)})
        EXPECT_EQ(::SendMessageW(watcher.GetWindow(), GetHistoryLoadedMessage(), 0, forged), 0);
    for (LPARAM forged : {static_cast<LPARAM>(0x10), reinterpret_cast<LPARAM>(item.get())})
        EXPECT_EQ(::SendMessageW(watcher.GetWindow(), GetHistoryItemSavedMessage(), 0, forged), 0);
    // The messages nothing sends any more are not handled at all.
    for (const wchar_t* name :
         {L"{540F133E-3D6B-49e4-87A5-C19CA88FC341}", L"{30462FA5-8E5D-4702-A0CD-6C06742AD9BC}"})
        EXPECT_EQ(::SendMessageW(watcher.GetWindow(), ::RegisterWindowMessageW(name), 0, 0x10), 0);

    EXPECT_EQ(Texts(watcher), std::vector<std::wstring>{L"held"});
    EXPECT_EQ(notHandedOut.GetCount(), 1);
    Copy({{CF_UNICODETEXT, Wide(L"still captured")}});
    EXPECT_EQ(watcher.GetCount(), 2);
    const std::wstring text = log.CloseAndRead();
    EXPECT_NE(text.find(L"a loaded history this process did not hand out, ignored"), std::wstring::npos);
    EXPECT_NE(text.find(L"a saved item this process did not hand out, ignored"), std::wstring::npos);
}

TEST_F(ClipboardWatcher, ItemsPutBackStayInPlaceAndOwnWindowsAreNoSource)
{
    Start();
    // A copy whose owner is a window of this process names no source.
    Copy({{CF_UNICODETEXT, Wide(L"first")}}, parent.window);
    EXPECT_TRUE(watcher.GetItem(0)->GetOwnerInfo().exePath.IsEmpty());
    EXPECT_TRUE(watcher.GetItem(0)->GetOwnerInfo().windowTitle.IsEmpty());
    Copy({{CF_UNICODETEXT, Wide(L"second")}});

    // Put back as it is and as plain text: not captured again, the order stays.
    for (const bool plain : {false, true}) {
        const int before = observer.changes;
        ASSERT_TRUE(plain ? watcher.PutItemAsPlainText(1) : watcher.PutItemOnClipboard(1));
        WaitForChange(before);
        EXPECT_EQ(Texts(watcher), (std::vector<std::wstring>{L"second", L"first"})) << plain;
    }
    // A copy of the same text by the user afterwards is a new copy again.
    Copy({{CF_UNICODETEXT, Wide(L"first")}});
    EXPECT_EQ(Texts(watcher), (std::vector<std::wstring>{L"first", L"second"}));
}

TEST_F(ClipboardWatcher, TextOperationsReportWhatTheyChanged)
{
    Start();
    struct Case
    {
        const wchar_t* text;
        int (*operation)(CSCVWndClipboardHandler&);
        int count;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"abc\r\n", [](CSCVWndClipboardHandler& w) { return w.TrimItem(0); }, 2, L"abc"},
        {L" \t abc \r\n\n", [](CSCVWndClipboardHandler& w) { return w.TrimItem(0); }, 7, L"abc"},
        {L"abc", [](CSCVWndClipboardHandler& w) { return w.TrimItem(0); }, 0, L"abc"},
        {L"one\r\ntwo\r\nthree\r\n", [](CSCVWndClipboardHandler& w) { return w.JoinItemLines(0); }, 3,
         L"one two three"},
        {L"one line", [](CSCVWndClipboardHandler& w) { return w.JoinItemLines(0); }, 0, L"one line"},
        {L"Mixed", [](CSCVWndClipboardHandler& w) { return w.ChangeItemCase(true, 0); }, 1, L"MIXED"},
        {L"lower", [](CSCVWndClipboardHandler& w) { return w.ChangeItemCase(false, 0); }, 0, L"lower"},
    };
    for (const Case& c : cases) {
        Copy({{CF_UNICODETEXT, Wide(c.text)}});
        ASSERT_EQ(Str(watcher.GetItem(0)->GetWideText()), c.text);
        EXPECT_EQ(c.operation(watcher), c.count) << scvtest::WideToUtf8(c.text);
        EXPECT_EQ(Str(watcher.GetItem(0)->GetWideText()), c.result) << scvtest::WideToUtf8(c.text);
    }
    // RTF: the paragraph breaks joined are counted.
    Copy({{GetRtfClipboardFormat(), Narrow("{\\rtf1\\ansi one\\par two\\par three}")}});
    ASSERT_EQ(watcher.GetItem(0)->GetType(), CHT_RTF);
    EXPECT_EQ(watcher.JoinItemLines(0), 2);
    EXPECT_EQ(watcher.JoinItemLines(0), 0);
}

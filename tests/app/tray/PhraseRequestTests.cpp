// test-locks: appevents desktop clipboard
// test-sources: ../../../app/Scrivolanter.rc
// test-depends: ScrivolanterHookDll
// The tray window's phrase menu service in this process: the core start-up
// with the hook DLL and its tear-down, the double-press rule of the hot key,
// and the commands the menu sends back: what they run, when the user's
// clipboard is put back and when it is not.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/entry/CommandLineArgs.h"
#include "app/target/HotKeyPressGate.h"
#include "platform/interchange/InterchangeArea.h"
#include "app/tray/SCVTrayWnd.h"
#include "tests/app/FolderSettings.h"
#include "common/Settings.h"
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "tests/engine/HistoryTestBitmaps.h"
#include "engine/PhraseFile.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"
#include "online/SharedSettingsArea.h"
#include "support/ChildProcess.h"
#include "support/DialogWatchdog.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 10000;

using scvtest::SettingsFolder;

void WritePhrase(const std::wstring& relativePath, const wchar_t* title, const wchar_t* body, int sortId)
{
    PhraseItemRecord record;
    record.SetTitle(title);
    record.body = body;
    record.sortId = sortId;
    ASSERT_TRUE(SavePhraseFile(record, SettingsFolder().PathOf(relativePath).c_str()));
}

// Phrases: "Typed" (body "typed one"), "Symbols" (body "a:b"), and a folder
// holding "Inner".
class PhraseRequestEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        CSettings& settings = scvtest::UseQuietSettingsFolder();
        SettingsFolder().CreateSubfolder(L"Phrases\\Folder");
        WritePhrase(L"Phrases\\Typed.scrivolanter", L"Typed", L"typed one", 1);
        WritePhrase(L"Phrases\\Symbols.scrivolanter", L"Symbols", L"a:b", 2);
        WritePhrase(L"Phrases\\Folder\\Inner.scrivolanter", L"Inner", L"inner", 1);
        settings.ShowTrayBallonOnHotkey = 0;
        settings.TextPasteMethod_v150 = 0;
    }
};

const testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new PhraseRequestEnvironment);

std::wstring ClipboardText()
{
    CString text;
    scvtest::WaitUntil([&] { return ::OpenClipboard(nullptr) != FALSE && (::CloseClipboard(), true); }, 5000);
    GetClipboardUnicodeText(text);
    return text.GetString();
}

void PutClipboardText(const wchar_t* text)
{
    ASSERT_TRUE(scvtest::WaitUntil([&] { return PutClipboardUnicodeText(text); }, 5000));
}

bool IsHotKeyFree(UINT modifiers, UINT key)
{
    if (!::RegisterHotKey(nullptr, 0x7001, modifiers, key))
        return false;
    ::UnregisterHotKey(nullptr, 0x7001);
    return true;
}

// A top-level window of this thread with a focused EDIT, in the foreground:
// the target of the typed phrases (and no window of another process is one).
class TargetWindow
{
public:
    TargetWindow()
    {
        m_top = ::CreateWindowExW(0, L"STATIC", L"phrase request target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  50, 50, 400, 150, nullptr, nullptr, nullptr, nullptr);
        m_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 380, 25,
                                   m_top, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(m_top);
        ::SetFocus(m_edit);
    }
    ~TargetWindow()
    {
        if (m_top)
            ::DestroyWindow(m_top);
    }
    HWND Top() const { return m_top; }
    HWND Edit() const { return m_edit; }
    std::wstring Text() const
    {
        wchar_t buffer[256] = {};
        ::GetWindowTextW(m_edit, buffer, ARRAYSIZE(buffer));
        return buffer;
    }

private:
    HWND m_top = nullptr;
    HWND m_edit = nullptr;
};

class PhraseRequestTest : public testing::Test
{
protected:
    void TearDown() override
    {
        m_window.reset();
        GetSettings().Hotkey_Doubled = 0;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // The tray window; with the core hook DLL of the build unless `withoutCore`.
    CSCVTrayWnd& Create(bool withoutCore)
    {
        m_args = std::make_unique<CCommandLineArgs>(L"");
        m_args->Parse();
        m_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); // left open: worker threads may hold it
        TrayWindowStartRecord start{m_stopEvent, m_args.get(), withoutCore};
        start.coreDllPath = scvtest::ProgramPath(L"Scrivolanter.dll").c_str();
        m_window = std::make_unique<CSCVTrayWnd>(start);
        EXPECT_TRUE(m_window->Create(nullptr));
        return *m_window;
    }

    HWND Window() const { return m_window->m_hWnd; }

    int PhraseId(const wchar_t* title)
    {
        for (const PhraseItemRecord& record : m_window->GetPhraseStore().GetItems()) {
            if (std::wstring(record.GetTitle()) == title)
                return record.id;
        }
        ADD_FAILURE() << "no phrase " << testing::PrintToString(std::wstring(title));
        return -100;
    }

    // What the phrase menu's choice runs (WM_APP+12 runs only choices its menu posted).
    void SendCommand(int commandId, HWND target = nullptr)
    {
        m_window->ExecuteCommandFromSelf(static_cast<WPARAM>(static_cast<INT_PTR>(commandId)),
                                         reinterpret_cast<LPARAM>(target));
    }

    std::unique_ptr<CCommandLineArgs> m_args;
    std::unique_ptr<CSCVTrayWnd> m_window;
    HANDLE m_stopEvent = nullptr;
};

// --- Double press ------------------------------------------------------------------------------------

TEST(HotKeyPressGate, CountsOnlyTheSecondOfTwoQuickPresses)
{
    struct Press
    {
        DWORD tick;
        bool opens;
    };
    const std::vector<Press> presses = {
        {10000, false},                            // first of a pair
        {10300, true},                             // 300 ms later: counted
        {10400, false},                            // after a counted pair a new pair begins
        {11000, false},                            // 600 ms later: too late, it begins a pair itself
        {11500, true},                             // exactly 500 ms still counts
        {0xFFFFFF00u, false}, {0x00000050u, true}, // across the wrap of the tick count: 336 ms
    };
    CHotKeyPressGate gate;
    for (const Press& press : presses)
        EXPECT_EQ(gate.OnPress(true, press.tick), press.opens) << "tick " << press.tick;

    CHotKeyPressGate single;
    for (const Press& press : presses)
        EXPECT_TRUE(single.OnPress(false, press.tick));
    EXPECT_EQ(single.GetLastTick(), 0u);
}

// --- Core start-up and tear-down -------------------------------------------------------------------------

TEST_F(PhraseRequestTest, CoreStartInstallsEverythingAndTheCommandTakesItDownAndUp)
{
    TargetWindow target;
    // No hot key configured: Ctrl+Alt+Enter, written back into the settings.
    GetSettings().HotkeyVirtualKey = 0;
    GetSettings().HotkeyModifiers = 0;
    CSCVTrayWnd& window = Create(false);
    EXPECT_EQ(GetSettings().HotkeyVirtualKey, VK_RETURN);
    EXPECT_EQ(GetSettings().HotkeyModifiers, MOD_ALT | MOD_CONTROL);

    const auto expectRunning = [&](bool running) {
        EXPECT_EQ(window.IsCoreInstalled(), running);
        EXPECT_EQ(window.IsHotKeyRegistered(), running);
        EXPECT_EQ(window.IsQueryThreadAlive(), running);
        EXPECT_EQ(window.GetWaitObjects().IsCreated(), running);
        EXPECT_EQ(IsHotKeyFree(MOD_ALT | MOD_CONTROL, VK_RETURN), !running);
    };
    expectRunning(true);
    WORD key = 0;
    WORD modifiers = 0;
    int doublePress = -1;
    ASSERT_TRUE(ReadSharedSettingsArea({&key, &modifiers, &doublePress, nullptr}));
    EXPECT_EQ(key, VK_RETURN);
    EXPECT_EQ(modifiers, MOD_ALT | MOD_CONTROL);
    EXPECT_EQ(doublePress, 0);

    // A failed query thread is restarted only while the service runs.
    EXPECT_EQ(::SendMessageW(Window(), WM_WAIT_QUERY_COMPLETE_ERROR, 0, 0), 1);
    EXPECT_TRUE(window.IsQueryThreadAlive());

    ::SendMessageW(Window(), WM_COMMAND, ID_SCV_ENABLE_PHRASE_MENU, 0);
    expectRunning(false);
    EXPECT_EQ(::SendMessageW(Window(), WM_WAIT_QUERY_COMPLETE_ERROR, 0, 0), 1);
    EXPECT_FALSE(window.IsQueryThreadAlive());

    ::SendMessageW(Window(), WM_COMMAND, ID_SCV_ENABLE_PHRASE_MENU, 0);
    expectRunning(true);

    // Destroying the window frees the hot key and the interchange area.
    m_window.reset();
    EXPECT_TRUE(IsHotKeyFree(MOD_ALT | MOD_CONTROL, VK_RETURN));
    HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, InterchangeArea::kDataNeededEventName);
    EXPECT_EQ(event, nullptr);
    if (event)
        ::CloseHandle(event);
}

TEST_F(PhraseRequestTest, DoublePressAsksForTheTargetOnlyOnTheQuickSecondPress)
{
    // The request is seen in the menu builder's clipboard text, which each
    // request takes from the clipboard (no window of another process is the
    // target here, so no menu follows).
    TargetWindow target;
    GetSettings().Hotkey_Doubled = 1;
    CSCVTrayWnd& window = Create(false);
    ASSERT_TRUE(window.IsCoreInstalled());
    const auto press = [&] { ::SendMessageW(Window(), WM_HOTKEY, kPhraseHotKeyId, 0); };
    const auto requested = [&] {
        return std::wstring(window.GetMenuBuilder()->GetClipboardText().GetString());
    };

    PutClipboardText(L"first");
    press();
    EXPECT_EQ(requested(), L"") << "a single press asks for nothing";
    press();
    EXPECT_EQ(requested(), L"first") << "the quick second press counts";

    PutClipboardText(L"second");
    press();
    EXPECT_EQ(requested(), L"first") << "after a counted pair a new pair begins";
    ::Sleep(CHotKeyPressGate::kDoublePressMs + 100); // the time between the presses is what is tested
    press();
    EXPECT_EQ(requested(), L"first") << "a second press after more than 500 ms begins a pair itself";
    press();
    EXPECT_EQ(requested(), L"second");
    EXPECT_FALSE(window.GetClipboardSaver().IsSaved()) << "without a target no clipboard is kept";
}

// --- The commands the menu sends back -------------------------------------------------------------------

TEST_F(PhraseRequestTest, ClosingTheMenuPutsTheClipboardBackButAnInsertionKeepsWhatFollows)
{
    CSCVTrayWnd& window = Create(true);
    TargetWindow target;

    // Closed without a choice (-1): the kept clipboard comes back.
    PutClipboardText(L"before");
    window.GetClipboardSaver().Save();
    PutClipboardText(L"scratch");
    // The message without a choice the menu posted (another program's) does nothing.
    EXPECT_EQ(::SendMessageW(Window(), WM_COMMAND_FROM_SELF, static_cast<WPARAM>(-1), 0), 0);
    EXPECT_EQ(::SendMessageW(Window(), WM_COMMAND_FROM_SELF, PhraseId(L"Typed"),
                             reinterpret_cast<LPARAM>(target.Top())),
              0);
    EXPECT_EQ(ClipboardText(), L"scratch");
    EXPECT_TRUE(window.GetClipboardSaver().IsSaved());
    SendCommand(-1);
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_FALSE(window.GetClipboardSaver().IsSaved());

    // A typed phrase: inserted, counted, made the last used one; the kept
    // clipboard is let go, so a later clean-up never puts it back over what
    // the user has copied since.
    const int typed = PhraseId(L"Typed");
    window.GetClipboardSaver().Save();
    SendCommand(typed, target.Top());
    EXPECT_TRUE(scvtest::PumpUntil([&] { return target.Text() == L"typed one"; }, kTimeoutMs))
        << testing::PrintToString(target.Text());
    EXPECT_FALSE(window.GetClipboardSaver().IsSaved());
    EXPECT_EQ(window.GetMenuBuilder()->GetLastUsedId(), typed);
    const PhraseItemRecord* record = window.GetPhraseStore().FindItemById(typed);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetUsageCount(), 1u);
    window.GetPhraseStore().FlushSaves();
    PhraseItemRecord saved;
    ASSERT_TRUE(ReadPhraseFile(saved, SettingsFolder().PathOf(L"Phrases\\Typed.scrivolanter").c_str()));
    EXPECT_EQ(saved.GetUsageCount(), 1u);
    EXPECT_TRUE(saved.HasUsageDate());

    PutClipboardText(L"copied by the user");
    SendCommand(-1);
    EXPECT_EQ(ClipboardText(), L"copied by the user");
}

TEST_F(PhraseRequestTest, SpecialIdsAndIdsThatNameNothingPutTheClipboardBack)
{
    CSCVTrayWnd& window = Create(true);
    int folderId = 0;
    for (const PhraseItemRecord& record : window.GetPhraseStore().GetItems()) {
        if (record.IsFolder())
            folderId = record.id;
    }
    ASSERT_NE(folderId, 0);
    struct Case
    {
        int id;
        int expected; // RunPhraseCommand's answer
    };
    const Case cases[] = {
        {-6, 0},                   // support page
        {-3, 0},                   // floating pane
        {2000, 3},                 // no clipboard history: no history id names an item
        {2005, 3},  {folderId, 3}, // a folder is not run
        {99999, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        PutClipboardText(L"before");
        window.GetClipboardSaver().Save();
        PutClipboardText(L"scratch");
        EXPECT_EQ(window.RunPhraseCommand(c.id, nullptr), c.expected);
        EXPECT_EQ(ClipboardText(), L"before");
        EXPECT_FALSE(window.GetClipboardSaver().IsSaved());
    }
    EXPECT_EQ(window.GetMenuBuilder()->GetLastUsedId(), -1) << "nothing was run";
}

TEST_F(PhraseRequestTest, RightClickCopyLeavesItsTextOnTheClipboard)
{
    CSCVTrayWnd& window = Create(true);
    const int symbols = PhraseId(L"Symbols");

    PutClipboardText(L"before");
    window.GetClipboardSaver().Save();
    // No phrase menu is open: the message (as another program can post it) does nothing.
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_PHRASE_MENU_RIGHT_CLICK, 0, symbols), 0);
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_TRUE(window.GetClipboardSaver().IsSaved());

    window.RunRightMenuCommand(0, symbols);
    EXPECT_EQ(ClipboardText(), L"a:b");
    EXPECT_FALSE(window.GetClipboardSaver().IsSaved());
    SendCommand(-1); // the menu closes without a choice
    EXPECT_EQ(ClipboardText(), L"a:b") << "the copy stays";
    EXPECT_EQ(window.GetMenuBuilder()->GetLastUsedId(), symbols);

    // Without the characters a file name cannot hold.
    window.RunRightMenuCommand(1, symbols);
    const std::wstring safe = ClipboardText();
    EXPECT_EQ(safe.size(), 3u);
    EXPECT_EQ(safe.find(L':'), std::wstring::npos) << testing::PrintToString(safe);

    // A text without such characters is not copied.
    PutClipboardText(L"unchanged");
    window.RunRightMenuCommand(1, PhraseId(L"Typed"));
    EXPECT_EQ(ClipboardText(), L"unchanged");
}

// --- History items in the right-click menu ---------------------------------------------------------------

std::unique_ptr<CCHItem> HistoryItem(int type, const void* bytes, unsigned size)
{
    auto item = std::make_unique<CCHItem>(type, nullptr);
    item->SetDataCopy(bytes, size);
    return item;
}

bool IsOnClipboard(UINT format)
{
    return ::IsClipboardFormatAvailable(format) != FALSE;
}

TEST_F(PhraseRequestTest, RightClickCopyPutsEveryKindOfHistoryItemOnTheClipboard)
{
    CSCVTrayWnd& window = Create(true);
    CCHQueue& queue = window.GetClipboardHistory().GetQueue();
    queue.Clear(CString());
    auto picture = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    picture->SetBitmap(MakeTestDib(4, 3, 0x00FF0000, 0x0000FF00));
    auto clip = HistoryItem(CHT_OVELLINE, "clip", 4);
    auto page = HistoryItem(CHT_HTML, "<p>page</p>", 12);
    auto text = HistoryItem(CHT_UNICODE_TEXT, L"history text", sizeof(L"history text"));
    // Newest first: row 0 the text, 1 the page, 2 the clip, 3 the picture.
    ASSERT_TRUE(queue.Add(picture, 10));
    ASSERT_TRUE(queue.Add(clip, 10));
    ASSERT_TRUE(queue.Add(page, 10));
    ASSERT_TRUE(queue.Add(text, 10));

    const struct
    {
        int row;
        UINT format;
        const char* what;
    } cases[] = {
        {0, CF_UNICODETEXT, "text"},
        {1, ::RegisterClipboardFormatW(L"HTML Format"), "page"},
        {2, ::RegisterClipboardFormatW(L"Ovelline Format"), "clip"},
        {3, CF_BITMAP, "picture"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutClipboardText(L"before");
        window.GetClipboardSaver().Save();
        window.RunRightMenuCommand(0, 2000 + c.row);
        EXPECT_TRUE(scvtest::WaitUntil([&] { return IsOnClipboard(c.format); }, 5000));
        EXPECT_FALSE(window.GetClipboardSaver().IsSaved()) << "the copy stays when the menu closes";
    }
    EXPECT_EQ(ClipboardText(), L"") << "the picture replaced the text";
    queue.Clear(CString());
}

// ".txt" files open with Notepad for the test's life: the Wine prefix here has the "txtfile"
// class but no ".txt" key. A key that existed before is left alone.
class TxtAssociationForTest
{
public:
    TxtAssociationForTest()
    {
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              &disposition) != ERROR_SUCCESS)
            return;
        m_created = disposition == REG_CREATED_NEW_KEY;
        if (m_created)
            ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"txtfile"),
                             sizeof(L"txtfile"));
        ::RegCloseKey(key);
    }
    ~TxtAssociationForTest()
    {
        if (m_created)
            ::RegDeleteKeyW(HKEY_CLASSES_ROOT, kKey);
    }

private:
    static constexpr const wchar_t* kKey = L".txt";
    bool m_created = false;
};

TEST_F(PhraseRequestTest, RightClickEditOpensTheHistoryItemInItsProgram)
{
    TxtAssociationForTest association;
    CSCVTrayWnd& window = Create(true);
    CCHQueue& queue = window.GetClipboardHistory().GetQueue();
    queue.Clear(CString());
    auto text = HistoryItem(CHT_UNICODE_TEXT, L"edit me", sizeof(L"edit me"));
    ASSERT_TRUE(queue.Add(text, 10));

    // A phrase id names no history item: the user is told.
    {
        scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
        scvtest::DialogWatchdog::ScopedLimit quick(300);
        window.RunRightMenuCommand(3, PhraseId(L"Typed"));
        const std::optional<std::wstring> said = scvtest::DialogWatchdog::TakeLastClosedText();
        ASSERT_TRUE(said.has_value());
        EXPECT_NE(said->find(L"nIndex < 0"), std::wstring::npos) << scvtest::WideToUtf8(*said);
    }

    window.RunRightMenuCommand(3, 2000);
    // The temporary file opens in the program of ".txt" (Notepad) with the item's text.
    HWND editor = nullptr;
    const bool shown = scvtest::WaitUntil(
        [&] {
            editor = nullptr;
            while ((editor = ::FindWindowExW(nullptr, editor, L"Notepad", nullptr)) != nullptr) {
                if (scvtest::ControlText(::FindWindowExW(editor, nullptr, L"Edit", nullptr)) == L"edit me")
                    return true;
            }
            return false;
        },
        20000);
    if (!shown) {
        std::wstring titles;
        for (HWND top = ::GetTopWindow(nullptr); top; top = ::GetWindow(top, GW_HWNDNEXT)) {
            wchar_t title[300] = {};
            if (::IsWindowVisible(top) && ::GetWindowTextW(top, title, 300) > 0)
                titles += std::wstring(L"[") + title + L"] ";
        }
        FAIL() << "no Notepad shows the item; windows: " << scvtest::WideToUtf8(titles);
    }
    wchar_t title[300] = {};
    ::GetWindowTextW(editor, title, 300);
    EXPECT_NE(std::wstring(title).find(L"==Scrivolanter=="), std::wstring::npos)
        << "the file's name marks it as the program's: " << scvtest::WideToUtf8(title);
    scvtest::CloseWindowAndItsProcess(editor, kTimeoutMs);
    queue.Clear(CString());
}

} // namespace

// test-locks: desktop clipboard coopevent appevents
// test-sources: ../../../../editor/app/settings/EditorSettings.rc
// test-timeout: 120
// The user's typed text and settings survive the editor's ordinary paths, driven through the real main
// frame, the real phrase text view and the phrases pane over a temp phrases folder: moving the phrase
// being edited, a phrase file that cannot be written, commands of the tree's context menu, Export,
// Backup, Import, Reread, names made from long clipboard lines, a start while the phrases folder is
// missing and the end of the session. Each case looks at the files on disk and at what the frame shows.

#include "tests/editor/app/EditorFrameHarness.h"
#include "common/HandedOutAddresses.h"
#include "common/OwnWindowMessages.h"
#include "common/PathFunctions.h"
#include "common/RichEditConversion.h"
#include "common/RichEditEditing.h"
#include "common/SystemErrorText.h"
#include "editor/app/document/EditorFileCommands.h"
#include "editor/app/frame/MainFrame.h"
#include "editor/controls/RichEditTextAccess.h"
#include "editor/app/document/PhraseClipSet.h"
#include "editor/app/phrases/PhraseTreeCtrl.h"
#include "editor/app/text/SCVView.h"
#include "editor/app/settings/SettingsPane.h"
#include "editor/app/settings/SettingsPaneContent.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseStore.h"
#include "editor/app/settings/EditorSettingsRes.h"

#include "support/ClipboardFill.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TestFiles.h"
#include "support/ZipEntries.h"

#include <gtest/gtest.h>

#include <dlgs.h>
#include <tlhelp32.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace
{

// Answers the message boxes of this thread from a thread timer (they are modal loops on the test's
// own thread): each box found is read, then gets the next answer of the list (IDCANCEL when the list
// is used up).
class BoxAnswers
{
public:
    explicit BoxAnswers(std::vector<int> answers) : m_answers(std::move(answers))
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 50, &BoxAnswers::OnTimer);
    }
    ~BoxAnswers()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    BoxAnswers(const BoxAnswers&) = delete;
    BoxAnswers& operator=(const BoxAnswers&) = delete;

    std::vector<std::wstring> texts;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        BoxAnswers* self = s_current;
        if (!self)
            return;
        for (HWND box : scvtest::FindDialogs()) {
            if (std::find(self->m_answered.begin(), self->m_answered.end(), box) != self->m_answered.end() &&
                ::IsWindow(box))
                continue;
            self->m_answered.push_back(box);
            self->texts.push_back(scvtest::ReadDialogText(box));
            const size_t index = self->texts.size() - 1;
            scvtest::PressDialogButton(box,
                                       index < self->m_answers.size() ? self->m_answers[index] : IDCANCEL);
        }
    }

    static inline BoxAnswers* s_current = nullptr;
    std::vector<int> m_answers;
    std::vector<HWND> m_answered;
    UINT_PTR m_timer = 0;
};

// A file held open without sharing, as another program may hold it.
class FileLock
{
public:
    explicit FileLock(const std::wstring& path)
        : m_handle(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {}
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Held())
            ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

// Answers the next file dialog (open or save) from another thread: the file's full path typed into
// its name box, then OK. Join the thread after the command that shows the dialog has returned.
std::thread AnswerFileDialog(std::wstring path)
{
    return std::thread([path] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            const std::vector<HWND> dialogs = scvtest::FindDialogs();
            if (dialogs.empty())
                ::Sleep(50);
            else
                dialog = dialogs.front();
        }
        if (!dialog)
            return;
        ::Sleep(200); // the dialog finishes its initialisation
        for (int id : {cmb13, edt1})
            if (HWND item = ::GetDlgItem(dialog, id))
                ::SendMessageW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
}

// The running processes of the shell's file browser ("explorer.exe").
std::set<DWORD> ExplorerProcesses()
{
    std::set<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, L"explorer.exe") == 0)
            found.insert(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return found;
}

BOOL CALLBACK CloseWindowOfProcess(HWND window, LPARAM pid)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(pid) && ::IsWindowVisible(window))
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// A command that shows its result in the file browser opened a window there: it is closed again, so
// that nothing the test caused stays on the desktop.
void CloseNewExplorerWindows(const std::set<DWORD>& before)
{
    std::set<DWORD> started;
    scvtest::PumpUntil(
        [&] {
            for (DWORD pid : ExplorerProcesses())
                if (!before.count(pid))
                    started.insert(pid);
            return !started.empty();
        },
        3000);
    for (DWORD pid : started) {
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
        scvtest::PumpUntil(
            [&] {
                ::EnumWindows(&CloseWindowOfProcess, static_cast<LPARAM>(pid));
                return !process || ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
            },
            5000);
        if (process)
            ::CloseHandle(process);
    }
}

class EditorWorkKeptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Top level: phrases A and B, group G holding phrase C, group H holding phrase D.
        a = store.AddPhrase(L"A", L"alpha", 0, -1);
        b = store.AddPhrase(L"B", L"beta", 0, -1);
        g = store.AddFolder(temp.PathOf(L"phrases\\G").c_str());
        c = store.AddPhrase(L"C", L"gamma", 0, g);
        h = store.AddFolder(temp.PathOf(L"phrases\\H").c_str());
        d = store.AddPhrase(L"D", L"delta", 0, h);
        store.FlushSaves();
        ASSERT_GE(d, 0);
        CMainFrame::SetLoadLibraryOnCreate(false);
        PhrasesPane::SetConfirmDeletes(false);
        PhraseClipSet::Get().Clear();
        ASSERT_TRUE(harness.Open(RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CSCVView)));
        settings.SetPhrasesDirectory(temp.PathOf(L"phrases").c_str());
        frame = dynamic_cast<CMainFrame*>(harness.frame);
        ASSERT_NE(nullptr, frame);
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 900, 600,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        frame->RecalcLayout();
        scvtest::PumpFor(20);
        // An earlier test's frame ended the message loop: that quit must not end this test's waits.
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void TearDown() override
    {
        BoxAnswers closing({IDYES, IDYES});
        harness.Close();
        CMainFrame::SetLoadLibraryOnCreate(true);
        PhrasesPane::SetConfirmDeletes(true);
        PhraseClipSet::Get().Clear();
    }

    PhrasesPane& Pane() { return frame->GetPhrasesPane(); }
    HWND Tree() { return Pane().GetTree().m_hWnd; }
    // A click on the item in the tree (the selection reaches the document at once).
    void Click(int id)
    {
        HTREEITEM item = Pane().GetTree().FindItemById(id);
        ASSERT_NE(nullptr, item);
        TreeView_SelectItem(Tree(), item);
    }
    CSCVView* TextView() { return dynamic_cast<CSCVView*>(frame->GetActiveView()); }
    // Types the text at the end of the shown phrase, as keys would (read-only mode switched off first).
    void Type(const std::wstring& text)
    {
        CSCVView* view = TextView();
        ASSERT_NE(nullptr, view);
        view->SetReadOnly(false);
        HWND edit = view->Edit();
        SetRichEditSelection(edit, -1, -1);
        for (wchar_t ch : text)
            ::SendMessageW(edit, WM_CHAR, ch, 1);
        ASSERT_TRUE(view->HasUnsavedText());
    }
    std::wstring Shown()
    {
        CSCVView* view = TextView();
        return view ? std::wstring(GetRichEditPlainTextAll(view->Edit()).GetString()) : L"<no text view>";
    }
    std::wstring PathOf(int id)
    {
        PhraseItemRecord* record = store.FindItemById(id);
        return record ? std::wstring(record->GetPath().GetString()) : L"<no record>";
    }
    // The record of the file as a fresh load of the folder reads it.
    PhraseItemRecord OnDisk(const std::wstring& path)
    {
        CEditorPhraseStore reader;
        reader.Load(temp.PathOf(L"phrases").c_str());
        PhraseItemRecord* record = reader.FindItemByPath(path.c_str());
        if (record)
            return *record;
        PhraseItemRecord missing;
        missing.body = L"<missing>";
        return missing;
    }
    std::wstring BodyOnDisk(const std::wstring& path) { return OnDisk(path).body.GetString(); }
    void Command(UINT id) { ::SendMessageW(frame->m_hWnd, WM_COMMAND, id, 0); }
    // A command of the tree's context menu or the pane's toolbar.
    void PaneCommand(UINT id) { ::SendMessageW(Pane().m_hWnd, WM_COMMAND, id, 0); }

    scvtest::EditorDocHarness harness;
    scvtest::TempFolder& temp = harness.temp;
    CEditorSettings& settings = harness.settings;
    CEditorPhraseStore& store = harness.store;
    CDoc*& doc = harness.doc;
    CMainFrame* frame = nullptr;
    int a = -1, b = -1, c = -1, d = -1, g = -1, h = -1;
};

// The state of Separator Before in the open pop-up menu, read by ReadAndCloseMenu (0xFFFF: not seen).
UINT g_separatorState = 0xFFFF;

void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
    if (!menuWindow)
        return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    g_separatorState = ::GetMenuState(menu, CDoc::kCmdSeparatorBefore, MF_BYCOMMAND);
    ::EndMenu();
}

enum class MoveWay
{
    ToRoot,
    CutAndPaste,
    Drop,
};

class MovingTheEditedPhrase : public EditorWorkKeptTest, public ::testing::WithParamInterface<MoveWay>
{};

} // namespace

TEST_P(MovingTheEditedPhrase, KeepsTheTypedTextOnDiskAndOnScreen)
{
    Click(c);
    Type(L" typed");
    const std::wstring oldPath = PathOf(c);
    switch (GetParam()) {
    case MoveWay::ToRoot:
        PaneCommand(PhrasesPane::kCmdMoveToRoot);
        break;
    case MoveWay::CutAndPaste:
        PaneCommand(PhrasesPane::kCmdCut);
        Click(h); // the group takes the phrase: leaving C saves it too, which must not matter
        PaneCommand(PhrasesPane::kCmdPaste);
        break;
    case MoveWay::Drop: {
        PhraseTreeCtrl::DropPair pair{Pane().GetTree().FindItemById(c), Pane().GetTree().FindItemById(h)};
        CHandOverScope handed(HandOverKind::OwnWindowData, &pair, sizeof(pair)); // as the tree hands it
        ASSERT_EQ(
            1, ::SendMessageW(Pane().m_hWnd, PhrasesPane::DropMessage(), 1, reinterpret_cast<LPARAM>(&pair)));
        break;
    }
    }
    const std::wstring newPath = PathOf(c);
    ASSERT_NE(oldPath, newPath) << "the phrase moved and kept its id";
    EXPECT_FALSE(temp.Exists(oldPath.substr(temp.Path().size() + 1)));
    EXPECT_EQ(L"gamma typed", BodyOnDisk(newPath));
    // Back on the phrase (after a Paste the group was selected): the view shows the typed text.
    Click(c);
    EXPECT_EQ(c, doc->GetCurrentItem());
    EXPECT_EQ(L"gamma typed", Shown());
    EXPECT_EQ(newPath, std::wstring(settings.LastFile.GetString())) << "the remembered phrase follows it";
}

INSTANTIATE_TEST_SUITE_P(Ways, MovingTheEditedPhrase,
                         ::testing::Values(MoveWay::ToRoot, MoveWay::CutAndPaste, MoveWay::Drop));

TEST_F(EditorWorkKeptTest, AFileThatCannotBeWrittenIsReportedAndTheTextStaysSelectedUntilItIs)
{
    Click(a);
    Type(L" one");
    {
        FileLock lock(PathOf(a));
        ASSERT_TRUE(lock.Held());
        {
            BoxAnswers answers({IDRETRY, IDCANCEL});
            Click(b);
            ASSERT_EQ(2u, answers.texts.size()) << "retried once while the file was still held";
            EXPECT_NE(std::wstring::npos, answers.texts[0].find(PathOf(a))) << answers.texts[0];
        }
        EXPECT_EQ(a, doc->GetCurrentItem()) << "the phrase stays selected";
        EXPECT_EQ(a, Pane().GetTree().GetSelectedId()) << "and the tree shows it so";
        EXPECT_EQ(L"alpha one", Shown());
        EXPECT_TRUE(TextView()->HasUnsavedText());

        // Reread and Delete would load the folder again: they wait for the text instead.
        {
            BoxAnswers answers({IDCANCEL, IDCANCEL});
            Command(CDoc::kCmdReread);
            PaneCommand(PhrasesPane::kCmdDelete);
            EXPECT_EQ(2u, answers.texts.size());
        }
        EXPECT_EQ(a, doc->GetCurrentItem());
        EXPECT_EQ(L"alpha one", Shown());
        EXPECT_TRUE(temp.Exists(L"phrases\\A.scrivolanter")) << "nothing was deleted";

        // The second answer comes after the other program let go of the file.
        BoxAnswers answers({IDRETRY});
        lock.Release();
        Click(b);
        EXPECT_EQ(0u, answers.texts.size()) << "written at the first try now";
    }
    EXPECT_EQ(b, doc->GetCurrentItem());
    EXPECT_EQ(L"alpha one", BodyOnDisk(PathOf(a)));
    EXPECT_EQ(L"beta", Shown());
}

TEST_F(EditorWorkKeptTest, ClosingWithTextThatCannotBeWrittenAsksFirst)
{
    Click(a);
    Type(L" unsaved");
    FileLock lock(PathOf(a));
    ASSERT_TRUE(lock.Held());
    {
        BoxAnswers answers({IDCANCEL, IDNO});
        ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(2u, answers.texts.size());
        EXPECT_NE(std::wstring::npos, answers.texts[1].find(L"Close anyway")) << answers.texts[1];
    }
    ASSERT_TRUE(::IsWindow(frame->m_hWnd)) << "the editor stays open with the text";
    EXPECT_EQ(L"alpha unsaved", Shown());
    lock.Release();
    BoxAnswers none({});
    ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(none.texts.empty());
    EXPECT_EQ(L"alpha unsaved", BodyOnDisk(temp.PathOf(L"phrases\\A.scrivolanter")));
}

TEST_F(EditorWorkKeptTest, AFailedBackgroundWriteIsReportedWithItsFileAndWrittenOnRetry)
{
    Click(a);
    {
        FileLock lock(PathOf(a));
        ASSERT_TRUE(lock.Held());
        BoxAnswers answers({IDRETRY, IDCANCEL});
        Command(CDoc::kCmdSeparatorBefore); // saved by the store's worker
        ASSERT_TRUE(scvtest::PumpUntil([&] { return answers.texts.size() >= 2; }, 5000));
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(PathOf(a))) << answers.texts[0];
        const CString reason = GetSystemErrorText(ERROR_SHARING_VIOLATION).Trim();
        EXPECT_TRUE(answers.texts[0].find(reason.GetString()) != std::wstring::npos ||
                    answers.texts[0].find(GetSystemErrorText(ERROR_ACCESS_DENIED).Trim().GetString()) !=
                        std::wstring::npos)
            << answers.texts[0];
    }
    EXPECT_FALSE(OnDisk(PathOf(a)).HasSeparatorBefore());
    BoxAnswers answers({IDRETRY});
    Command(CDoc::kCmdSeparatorBefore);
    Command(CDoc::kCmdSeparatorBefore); // on, as the user wanted it the first time
    store.FlushSaves();
    EXPECT_TRUE(store.TakeSaveFailures().empty()) << "the writes after the lock succeeded";
    // A failure's notice is posted before the flush returns: once the queue is empty none is coming.
    EXPECT_TRUE(scvtest::PumpUntil([] { return HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) == 0; }, 5000));
    EXPECT_TRUE(answers.texts.empty());
    EXPECT_TRUE(OnDisk(PathOf(a)).HasSeparatorBefore());
}

// The id of the phrase with that file in a store of the main program.
static int IdOfPath(CPhraseStore& main, const std::wstring& path)
{
    struct Search
    {
        const std::wstring* path;
        int id;
    } search = {&path, -1};
    main.Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            auto* s = static_cast<Search*>(context);
            if (_wcsicmp(record.GetPath().GetString(), s->path->c_str()) == 0)
                s->id = record.id;
            return true;
        },
        &search);
    return search.id;
}

TEST_F(EditorWorkKeptTest, WhatAnotherProgramWroteSurvivesTheEditorsSaves)
{
    // Uses counted by the main program's own usage save, then the user types in the editor.
    CPhraseStore mainProgram(temp.PathOf(L"phrases").c_str());
    mainProgram.Load();
    const int used = IdOfPath(mainProgram, PathOf(a));
    ASSERT_TRUE(mainProgram.RecordUsageById(used));
    ASSERT_TRUE(mainProgram.RecordUsageById(used));
    mainProgram.FlushSaves();
    ASSERT_EQ(2u, OnDisk(PathOf(a)).usageCount);
    Click(a);
    Type(L" typed");
    Click(b); // leaving A saves its text
    store.FlushSaves();
    EXPECT_EQ(L"alpha typed", BodyOnDisk(PathOf(a)));
    EXPECT_EQ(2u, OnDisk(PathOf(a)).usageCount) << "the main program's uses stay";
    EXPECT_EQ(2u, store.FindItemById(a)->usageCount) << "the editor's record follows the file";

    // A text rewritten by another program: commands that change only a flag keep it.
    PhraseItemRecord rewritten = OnDisk(PathOf(b));
    rewritten.body = L"beta from elsewhere";
    ASSERT_TRUE(SavePhraseFile(rewritten, PathOf(b).c_str()));
    Command(CDoc::kCmdSeparatorBefore);
    store.SetIncluded(b, false); // the include check: the flag, then the record's save
    store.SaveItem(b);
    store.FlushSaves();
    const PhraseItemRecord onDisk = OnDisk(PathOf(b));
    EXPECT_EQ(L"beta from elsewhere", std::wstring(onDisk.body.GetString()));
    EXPECT_TRUE(onDisk.HasSeparatorBefore());
    EXPECT_EQ(0, onDisk.included);
}

TEST_F(EditorWorkKeptTest, ATextChangedHereAndInItsFileIsLeftToTheUser)
{
    const struct
    {
        int* phrase;
        int answer;
        const wchar_t* kept;
    } cases[] = {{&a, IDYES, L"alpha typed"}, {&c, IDNO, L"gamma from elsewhere"}};
    for (const auto& k : cases) {
        const int id = *k.phrase;
        Click(id);
        Type(L" typed");
        PhraseItemRecord rewritten = OnDisk(PathOf(id));
        rewritten.body += L" from elsewhere";
        ASSERT_TRUE(SavePhraseFile(rewritten, PathOf(id).c_str()));
        BoxAnswers answers({k.answer});
        Click(b); // leaving the phrase saves its text
        store.FlushSaves();
        ASSERT_EQ(1u, answers.texts.size()) << "asked once";
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(PathOf(id))) << answers.texts[0];
        EXPECT_EQ(k.kept, BodyOnDisk(PathOf(id)));
    }
}

TEST_F(EditorWorkKeptTest, AWriteTheUserKeptOnlyInTheEditorIsWrittenByTheNextSaveAndClosingAsks)
{
    Click(a);
    {
        FileLock lock(PathOf(a));
        ASSERT_TRUE(lock.Held());
        BoxAnswers answers({IDCANCEL});
        Command(CDoc::kCmdSeparatorBefore); // saved by the store's worker: the failure notice comes later
        ASSERT_TRUE(scvtest::PumpUntil([&] { return answers.texts.size() >= 1; }, 5000));
    }
    EXPECT_FALSE(OnDisk(PathOf(a)).HasSeparatorBefore());
    EXPECT_TRUE(doc->IsModified()) << "the change is still to be written";
    {
        FileLock lock(PathOf(a));
        BoxAnswers answers({IDCANCEL, IDNO}); // the failure notice, then "close anyway?"
        ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(2u, answers.texts.size()) << "closing asked";
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(PathOf(a))) << answers.texts[0];
        EXPECT_TRUE(::IsWindow(frame->m_hWnd)) << "the user kept the editor open";
    }
    Command(CDoc::kCmdSave);
    EXPECT_TRUE(OnDisk(PathOf(a)).HasSeparatorBefore()) << "the next save wrote it";
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(EditorWorkKeptTest, ContextMenuCommandsActOnTheRightClickedPhrase)
{
    Click(a);
    Type(L" kept");
    // The menu is read while it is open, then closed; its command comes to the pane as the menu sends it.
    g_separatorState = 0xFFFF;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ReadAndCloseMenu);
    store.SetSeparatorBefore(b, true);
    store.SaveItem(b);
    RECT row = {};
    HTREEITEM itemB = Pane().GetTree().FindItemById(b);
    TreeView_GetItemRect(Tree(), itemB, &row, TRUE);
    POINT at = {row.left + 2, row.top + 2};
    ::ClientToScreen(Tree(), &at);
    SendOwnMessage(Pane().m_hWnd, PhrasesPane::ContextMenuMessage(), MAKEWPARAM(at.x, at.y),
                   reinterpret_cast<LPARAM>(itemB));
    ::KillTimer(nullptr, timer);
    ASSERT_NE(0xFFFFu, g_separatorState) << "the menu was shown";
    EXPECT_TRUE(g_separatorState & MF_CHECKED) << "the menu shows B's flag";
    EXPECT_EQ(b, doc->GetCurrentItem());
    EXPECT_EQ(L"alpha kept", BodyOnDisk(PathOf(a))) << "leaving A saved its text";

    ::SendMessageW(Pane().m_hWnd, WM_COMMAND, CDoc::kCmdStartApplication, 0);
    ::SendMessageW(Pane().m_hWnd, WM_COMMAND, CDoc::kCmdUseTitleOnly, 0);
    store.FlushSaves();
    EXPECT_EQ(MenuItemRecord::kTypeExec, OnDisk(PathOf(b)).dataType);
    EXPECT_EQ(1, OnDisk(PathOf(b)).GetUseTitleOnly());
    EXPECT_EQ(MenuItemRecord::kTypeText, OnDisk(PathOf(a)).dataType) << "A is left as it was";
    EXPECT_EQ(0, OnDisk(PathOf(a)).GetUseTitleOnly());
}

TEST_F(EditorWorkKeptTest, TheEndOfTheSessionSavesTheTypedText)
{
    Click(a);
    Type(L" before log-off");
    EXPECT_EQ(TRUE, ::SendMessageW(frame->m_hWnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_EQ(L"alpha before log-off", BodyOnDisk(PathOf(a)));
    EXPECT_FALSE(TextView()->HasUnsavedText());

    Type(L", then ended");
    ::SendMessageW(frame->m_hWnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(L"alpha before log-off, then ended", BodyOnDisk(PathOf(a)));

    // A text that cannot be written holds the session up only when the user says so.
    Type(L"!");
    FileLock lock(PathOf(a));
    BoxAnswers answers({IDCANCEL, IDNO});
    EXPECT_EQ(FALSE, ::SendMessageW(frame->m_hWnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_EQ(2u, answers.texts.size());
    EXPECT_EQ(L"alpha before log-off, then ended!", Shown());
}

namespace
{

constexpr wchar_t kWorkKeptRunKey[] = L"Software\\ScrivolanterTests\\WorkKeptRun";

} // namespace

TEST(EditorSettingsKept, ValuesTheMainProgramChangedStayAndAFloatPaneBoxIsSavedOnClose)
{
    CMainFrame::SetLoadLibraryOnCreate(false);
    CMainFrame::SetSettingsPaneFactory(&scvtest::CreateSettingsPaneOnTestKey<kWorkKeptRunKey>);
    {
        scvtest::EditorDocHarness harness;
        const int a = harness.store.AddPhrase(L"A", L"alpha", 0, -1);
        const int b = harness.store.AddPhrase(L"B", L"beta", 0, -1);
        ASSERT_TRUE(harness.Open(RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CSCVView)));
        auto* frame = dynamic_cast<CMainFrame*>(harness.frame);
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, frame->GetSettingsPane());

        // The main program's tray menu toggles three values while the editor is open.
        CSettings tray(harness.environment);
        tray.Load();
        const int sounds = tray.SoundOnEventsV094 ? 0 : 1;
        const int log = tray.WriteLog ? 0 : 1;
        const int history = tray.SaveClipboardHistory_v198 ? 0 : 1;
        tray.SoundOnEventsV094 = sounds;
        tray.WriteLog = log;
        tray.SaveClipboardHistory_v198 = history;
        tray.Save();

        // Phrase clicks remember the phrase; a Float Pane box is clicked; the editor is closed with X.
        harness.Select(a);
        harness.Select(b);
        SettingsPaneContent& content = frame->GetSettingsPane()->GetContent();
        ASSERT_TRUE(content.SelectPage(1));
        SettingsPage* floatPage = content.GetPage(1);
        ASSERT_NE(nullptr, floatPage);
        HWND box = ::GetDlgItem(floatPage->m_hWnd, IDC_FP_ALT_TAB_ICON);
        const bool wasOn = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::SendMessageW(box, BM_CLICK, 0, 0);
        const CString lastFile = harness.store.FindItemById(b)->GetPath();
        harness.Close();

        CEditorSettings after(harness.environment);
        after.LoadEditor();
        EXPECT_EQ(sounds, after.SoundOnEventsV094);
        EXPECT_EQ(log, after.WriteLog);
        EXPECT_EQ(history, after.SaveClipboardHistory_v198);
        EXPECT_EQ(wasOn ? 0 : 1, after.ShowIconInAltTab_ForFP) << "the box clicked before the close";
        EXPECT_EQ(std::wstring(lastFile.GetString()), after.LastFile.GetString());
    }
    CMainFrame::SetSettingsPaneFactory(nullptr);
    CMainFrame::SetLoadLibraryOnCreate(true);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ScrivolanterTests\\WorkKeptRun");
}

TEST(EditorStartWithAHiddenLastPhrase, SelectsTheFirstShownPhrase)
{
    CMainFrame::SetLoadLibraryOnCreate(false);
    {
        scvtest::EditorDocHarness harness;
        const int hidden = harness.store.AddPhrase(L"Hidden", L"unchecked", 0, -1);
        const int shown = harness.store.AddPhrase(L"Shown", L"checked", 0, -1);
        harness.store.SetIncluded(hidden, false);
        harness.store.SaveItem(hidden);
        harness.store.FlushSaves();
        harness.settings.ShowUncheckedPhrases = 0;
        harness.settings.LastFile = harness.store.FindItemById(hidden)->GetPath();
        harness.settings.SaveEditor();
        ASSERT_TRUE(harness.Open(RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CSCVView)));
        auto* frame = dynamic_cast<CMainFrame*>(harness.frame);
        ASSERT_NE(nullptr, frame);
        EXPECT_EQ(shown, harness.doc->GetCurrentItem());
        EXPECT_EQ(shown, frame->GetPhrasesPane().GetTree().GetSelectedId());
        auto* view = dynamic_cast<CSCVView*>(frame->GetActiveView());
        ASSERT_NE(nullptr, view);
        EXPECT_STREQ(L"checked", GetRichEditPlainTextAll(view->Edit()));
    }
    CMainFrame::SetLoadLibraryOnCreate(true);
}

TEST_F(EditorWorkKeptTest, ExportRightAfterTypingWritesTheTextOnScreen)
{
    Click(a);
    Type(L" typed");
    const std::wstring target = temp.PathOf(L"exported.txt");
    // The save dialog is answered from another thread: the exported file's name typed, then OK.
    std::thread answer = AnswerFileDialog(target);
    Command(EditorFileCommands::kCmdExport);
    answer.join();
    const std::optional<std::string> bytes = temp.ReadBytes(L"exported.txt");
    ASSERT_TRUE(bytes.has_value());
    const std::wstring expected = L"alpha typed";
    // The exporter's own mark (four bytes), then the text.
    EXPECT_EQ(std::string("\xFF\xFE\0\0", 4) + std::string(reinterpret_cast<const char*>(expected.c_str()),
                                                           expected.size() * sizeof(wchar_t)),
              *bytes);
    EXPECT_EQ(L"alpha typed", BodyOnDisk(PathOf(a))) << "the phrase itself was saved first";
    EXPECT_EQ(L"alpha typed", Shown());
}

TEST_F(EditorWorkKeptTest, AMissingFolderIsMadeOrRefusedAndNothingIsWrittenElsewhere)
{
    const std::wstring phrasesFolder = temp.PathOf(L"phrases");
    const std::wstring missing = temp.PathOf(L"removable\\phrases");
    // Chosen by the user (a "not found" recent folder): the no-phrase-files question, refused.
    {
        BoxAnswers answers({IDCANCEL});
        EXPECT_FALSE(frame->OpenPhrasesFolder(missing.c_str(), true));
        ASSERT_EQ(1u, answers.texts.size());
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(missing)) << answers.texts[0];
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(L"contains no files")) << answers.texts[0];
    }
    EXPECT_FALSE(temp.Exists(L"removable"));
    // A start on a missing folder asks to make it: refused.
    {
        BoxAnswers answers({IDNO});
        EXPECT_FALSE(frame->OpenPhrasesFolder(missing.c_str(), false));
        ASSERT_EQ(1u, answers.texts.size());
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(missing)) << answers.texts[0];
    }
    EXPECT_EQ(phrasesFolder, std::wstring(settings.GetPhrasesFolderWithoutSlash().GetString()));
    EXPECT_NE(nullptr, Pane().GetTree().FindItemById(a)) << "the tree still shows the old folder";

    // A library loaded while its folder is offline writes nothing into another folder.
    store.Load(missing.c_str());
    EXPECT_EQ(-1, store.AddPhrase(L"Lost", L"text", 0, -1));
    const std::wstring outside = temp.WriteBytes(L"import.scrivolanter", "<x/>");
    EXPECT_EQ(-1, EditorFileCommands::ImportFile(store, outside.c_str()));
    EXPECT_FALSE(temp.Exists(L"phrases\\Lost.scrivolanter"));
    EXPECT_FALSE(temp.Exists(L"phrases\\import.scrivolanter"));
    store.Load(phrasesFolder.c_str());

    // Agreed to: the folder is made, and a new phrase lands in it.
    {
        BoxAnswers answers({IDYES});
        EXPECT_TRUE(frame->OpenPhrasesFolder(missing.c_str(), false));
        EXPECT_EQ(1u, answers.texts.size());
    }
    EXPECT_TRUE(temp.Exists(L"removable\\phrases"));
    EXPECT_EQ(missing, std::wstring(settings.GetPhrasesFolderWithoutSlash().GetString()));
    EXPECT_NE(std::wstring::npos, std::wstring(scvtest::WindowCaption(frame->m_hWnd)).find(missing));
    const int added = store.AddPhrase(L"Fresh", L"text", 0, -1);
    ASSERT_GE(added, 0);
    store.FlushSaves();
    EXPECT_EQ(0, PathOf(added).rfind(missing, 0)) << "written into the folder the tree shows";
    EXPECT_TRUE(temp.Exists(L"removable\\phrases\\Fresh.scrivolanter"));
}

TEST_F(EditorWorkKeptTest, ANotFoundFolderChosenWithOkIsTakenAfterTheOneQuestion)
{
    const std::wstring missing = temp.PathOf(L"gone\\phrases");
    {
        BoxAnswers answers({IDOK});
        EXPECT_TRUE(frame->OpenPhrasesFolder(missing.c_str(), true));
        ASSERT_EQ(1u, answers.texts.size()) << "only the no-phrase-files question";
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(L"contains no files")) << answers.texts[0];
    }
    EXPECT_TRUE(temp.Exists(L"gone\\phrases"));
    EXPECT_EQ(missing, std::wstring(settings.GetPhrasesFolderWithoutSlash().GetString()));
    EXPECT_EQ(nullptr, Pane().GetTree().FindItemById(a)) << "the tree shows the new, empty folder";
}

TEST_F(EditorWorkKeptTest, AddGroupNamedFromALongClipboardLineTakesAShortenedUniqueName)
{
    ASSERT_TRUE(scvtest::SetClipboardText(std::wstring(400, L'x')));

    std::vector<std::wstring> made;
    for (int i = 0; i < 2; ++i) {
        Click(a); // a top-level phrase: the group goes to the root
        PaneCommand(PhrasesPane::kCmdAddGroup);
        TreeView_EndEditLabelNow(Tree(), TRUE);
        const PhraseItemRecord* group = store.FindItemById(Pane().GetTree().GetSelectedId());
        ASSERT_NE(nullptr, group);
        ASSERT_TRUE(group->IsFolder()) << "no beep: the group was made";
        made.push_back(group->GetPath().GetString());
        EXPECT_TRUE(::GetFileAttributesW(made.back().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_LT(made.back().size() + 1 + CEditorPhraseStore::GetFolderSelfFileName().GetLength(),
                  static_cast<size_t>(MAX_PATH));
    }
    EXPECT_NE(made[0], made[1]) << "each name unique";
    scvtest::ClearClipboard();
}

TEST_F(EditorWorkKeptTest, SwitchingToFormattedTextKeepsTheTextButNotTheEditorsColoursAndFont)
{
    Click(a);
    CSCVView* view = TextView();
    ASSERT_NE(nullptr, view);
    view->SetReadOnly(false);
    SetRichEditSelection(view->Edit(), 0, 0);
    view->InsertMacro(0); // a macro at the start, coloured in the plain-text edit
    Type(L" end");
    const std::wstring shown = Shown();
    Command(CDoc::kCmdFormattedText);
    store.FlushSaves();
    const PhraseItemRecord onDisk = OnDisk(PathOf(a));
    EXPECT_EQ(MenuItemRecord::kTypeRtf, onDisk.dataType);
    const std::wstring body = onDisk.body.GetString();
    EXPECT_EQ(0u, body.find(L"{\\rtf")) << "formatted text";
    EXPECT_EQ(std::wstring::npos, body.find(L"\\cf")) << "no colour of the editor's macro marking";
    EXPECT_EQ(std::wstring::npos, body.find(L"\\b")) << "no bold";
    EXPECT_STREQ(shown.c_str(), RtfToPlainText(onDisk.body)) << "the text itself is kept";
    EXPECT_EQ(shown, Shown());
}

TEST_F(EditorWorkKeptTest, ANewPhraseNamedFromALongClipboardLineTakesAShortenedUniqueName)
{
    // A group whose folder leaves too little room for a file named after the whole line.
    const std::wstring phrasesFolder = temp.PathOf(L"phrases\\");
    const size_t groupLength = MAX_PATH - 1 - phrasesFolder.size() - 40;
    ASSERT_GT(groupLength, 20u) << phrasesFolder;
    const std::wstring deep = phrasesFolder + std::wstring(groupLength, L'g');
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    Command(CDoc::kCmdReread);
    const PhraseItemRecord* groupRecord = store.FindItemByPath(deep.c_str());
    ASSERT_NE(nullptr, groupRecord);
    const int group = groupRecord->id;
    const std::wstring line(400, L'x');
    ASSERT_TRUE(scvtest::SetClipboardText(line));

    BoxAnswers failures({});
    std::vector<std::wstring> made;
    for (int i = 0; i < 2; ++i) {
        Click(group);
        PaneCommand(PhrasesPane::kCmdNewFromClipboard);
        TreeView_EndEditLabelNow(Tree(), TRUE);
        const int id = Pane().GetTree().GetSelectedId();
        const PhraseItemRecord* phrase = store.FindItemById(id);
        ASSERT_NE(nullptr, phrase);
        ASSERT_FALSE(phrase->IsFolder()) << "no beep: the phrase was made";
        EXPECT_EQ(group, store.GetParentId(id));
        EXPECT_EQ(0u, line.find(phrase->title.GetString())) << "the title is the line's start";
        made.push_back(phrase->GetPath().GetString());
    }
    store.FlushSaves();
    scvtest::PumpFor(50);
    EXPECT_TRUE(failures.texts.empty()) << "no write failed: " << scvtest::WideToUtf8(failures.texts.front());
    EXPECT_NE(made[0], made[1]) << "each name unique";
    for (const std::wstring& path : made) {
        EXPECT_LT(path.size(), static_cast<size_t>(MAX_PATH));
        EXPECT_EQ(0u, path.rfind(deep + L"\\", 0)) << scvtest::WideToUtf8(path);
        EXPECT_EQ(line, BodyOnDisk(path)) << scvtest::WideToUtf8(path);
    }
    scvtest::ClearClipboard();
}

TEST_F(EditorWorkKeptTest, BackupRightAfterTypingPacksTheTextOnScreen)
{
    Click(c);
    Type(L" typed");
    const std::wstring target = temp.PathOf(L"backup.zip");
    const std::set<DWORD> explorers = ExplorerProcesses();
    std::thread answer = AnswerFileDialog(target);
    Command(EditorFileCommands::kCmdBackup);
    answer.join();
    CloseNewExplorerWindows(explorers);

    std::optional<std::string> packed;
    std::string names;
    for (const scvtest::ZipEntry& entry : scvtest::ReadZipEntries(target)) {
        names += entry.name + " ";
        if (entry.name == "phrases/G/C.scrivolanter")
            packed = entry.bytes;
    }
    ASSERT_TRUE(packed.has_value()) << "the phrase is in the archive: " << names;
    PhraseItemRecord record;
    ASSERT_TRUE(ParsePhraseDocument(record, packed->c_str()));
    EXPECT_STREQ(L"gamma typed", record.body);
    EXPECT_EQ(L"gamma typed", BodyOnDisk(PathOf(c)));
    EXPECT_EQ(L"gamma typed", Shown());
}

TEST_F(EditorWorkKeptTest, ImportOfUtf8TextFilesThroughTheCommandKeepsTheirCharacters)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC 5";
    const struct
    {
        const wchar_t* file;
        std::string bytes;
    } cases[] = {
        {L"marked.txt", "\xEF\xBB\xBF" + text},
        {L"unmarked.txt", text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(scvtest::WideToUtf8(c.file));
        const std::wstring source = temp.WriteBytes(c.file, c.bytes);
        std::thread answer = AnswerFileDialog(source);
        Command(EditorFileCommands::kCmdImport);
        answer.join();
        const int id = doc->GetCurrentItem();
        const PhraseItemRecord* imported = store.FindItemById(id);
        ASSERT_NE(nullptr, imported);
        ASSERT_NE(a, id);
        EXPECT_EQ(L"Gr\u00FC\u00DFe \u20AC 5", std::wstring(imported->body.GetString()));
        store.FlushSaves();
        EXPECT_EQ(L"Gr\u00FC\u00DFe \u20AC 5", BodyOnDisk(PathOf(id)));
        EXPECT_EQ(L"Gr\u00FC\u00DFe \u20AC 5", Shown());
    }
}

namespace
{

// Starts the editor as on a day its phrases folder is missing; the user answers the question about it.
struct MissingFolderStart
{
    const char* name;
    int answer;
    bool rememberedFolderExists;
    bool expectCreated;
    bool expectRemembered;
};

void StartWithAMissingFolder(const MissingFolderStart& c)
{
    SCOPED_TRACE(c.name);
    scvtest::EditorDocHarness harness;
    const std::wstring remembered = harness.temp.PathOf(L"phrases");
    const int kept = harness.store.AddPhrase(L"Kept", L"kept text", 0, -1);
    ASSERT_GE(kept, 0);
    harness.store.FlushSaves();
    const std::wstring keptPath = harness.store.FindItemById(kept)->GetPath().GetString();
    const std::wstring missing = harness.temp.PathOf(L"removable\\phrases");
    harness.settings.SetPhrasesDirectory(missing.c_str());
    harness.settings.AddRecentFolder(c.rememberedFolderExists ? remembered.c_str()
                                                              : harness.temp.PathOf(L"gone").c_str());
    harness.settings.SaveEditor();
    harness.store.Load(missing.c_str()); // as the start loads the configured folder
    ASSERT_TRUE(harness.Open(RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CSCVView)));
    auto* frame = dynamic_cast<CMainFrame*>(harness.frame);
    ASSERT_NE(nullptr, frame);
    MSG quit; // an earlier frame ended the message loop: that must not end the question's box
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    {
        BoxAnswers answers({c.answer});
        frame->CheckPhrasesFolderOnStart();
        ASSERT_EQ(1u, answers.texts.size());
        EXPECT_NE(std::wstring::npos, answers.texts[0].find(missing))
            << scvtest::WideToUtf8(answers.texts[0]);
    }
    const std::wstring shown = c.expectRemembered ? remembered : missing;
    EXPECT_EQ(c.expectCreated, FolderExists(missing.c_str()));
    EXPECT_EQ(shown, std::wstring(harness.settings.GetPhrasesFolderWithoutSlash().GetString()));
    EXPECT_EQ(shown, std::wstring(harness.store.GetRootFolder().GetString()));
    const std::wstring caption = scvtest::WindowCaption(frame->m_hWnd);
    EXPECT_NE(std::wstring::npos, caption.find(shown)) << scvtest::WideToUtf8(caption);
    EXPECT_EQ(!FolderExists(shown.c_str()), caption.find(L"NOT EXISTS") != std::wstring::npos)
        << scvtest::WideToUtf8(caption);
    HWND tree = frame->GetPhrasesPane().GetTree().m_hWnd;
    EXPECT_EQ(c.expectRemembered ? 1u : 0u, TreeView_GetCount(tree)) << "the tree shows that folder";

    // A new phrase goes into the folder shown, or nowhere while it is missing.
    ::SendMessageW(frame->GetPhrasesPane().m_hWnd, WM_COMMAND, PhrasesPane::kCmdNewPlain, 0);
    TreeView_EndEditLabelNow(tree, FALSE);
    harness.store.FlushSaves();
    const size_t expectedFiles = FolderExists(shown.c_str()) ? 1u : 0u;
    auto phraseFiles = [](const std::wstring& folder) {
        size_t count = 0;
        WIN32_FIND_DATAW data = {};
        HANDLE find = ::FindFirstFileW((folder + L"\\*.scrivolanter").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return count;
        do
            ++count;
        while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return count;
    };
    EXPECT_EQ(expectedFiles + (c.expectRemembered ? 1u : 0u), phraseFiles(shown));
    if (!c.expectRemembered) {
        EXPECT_EQ(1u, phraseFiles(remembered)) << "nothing written into the folder not shown";
        EXPECT_TRUE(FileExists(keptPath.c_str()));
    }
    EXPECT_FALSE(FolderExists(harness.temp.PathOf(L"gone").c_str()));

    CEditorSettings stored(harness.environment);
    stored.LoadEditor();
    EXPECT_EQ(shown, std::wstring(stored.GetPhrasesFolderWithoutSlash().GetString()))
        << "the settings file agrees";
    BoxAnswers closing({IDYES, IDYES});
    harness.Close();
}

} // namespace

TEST(EditorStartWithAMissingFolder, MakesItOrTurnsToAnExistingOneAndWritesNothingElsewhere)
{
    CMainFrame::SetLoadLibraryOnCreate(false);
    PhrasesPane::SetConfirmDeletes(false);
    const MissingFolderStart cases[] = {
        {"agreed: the folder is made", IDYES, true, true, false},
        {"refused: a remembered folder that exists is opened", IDNO, true, false, true},
        {"refused with no other folder: it stays missing", IDNO, false, false, false},
    };
    for (const MissingFolderStart& c : cases)
        StartWithAMissingFolder(c);
    PhrasesPane::SetConfirmDeletes(true);
    CMainFrame::SetLoadLibraryOnCreate(true);
}

// test-locks: desktop editor_instance appevents
// test-depends: ScrivolanterEditor
// The editor as a program: it starts with its frame, a second start hands over
// to the first and ends, and closing the first tells the main program; closing
// from the settings pane's Save And Close or while a pop-up menu of the phrases
// pane is open ends it cleanly. The editors run with freed memory overwritten
// (WINEDEBUG=warn+heap), so that an object used after it was freed crashes.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include <commctrl.h>

#include "editor/app/frame/EditorCoopWatchers.h"
#include "editor/app/frame/EditorInstance.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/settings/SettingsPaneContent.h"
#include "online/EditorCoopEvents.h"
#include "support/ChildProcess.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

using scvtest::ChildProcess;

struct Answers
{
    UINT message;
    int count;
    HWND last;
};

BOOL CALLBACK CountAnswers(HWND window, LPARAM data)
{
    auto* answers = reinterpret_cast<Answers*>(data);
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, answers->message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) &&
        result == 1) {
        ++answers->count;
        answers->last = window;
    }
    return TRUE;
}

Answers RunningEditors()
{
    Answers answers = {GetEditorInstanceMessage(), 0, nullptr};
    ::EnumWindows(&CountAnswers, reinterpret_cast<LPARAM>(&answers));
    return answers;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

class EditorProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::wstring exe = temp.PathOf(L"ScrivolanterEditor.exe");
        ASSERT_TRUE(::CopyFileW(scvtest::ProgramPath(L"ScrivolanterEditor.exe").c_str(), exe.c_str(), FALSE));
        temp.WriteUtf16(L"Settings.ini", L"[Settings]\r\nWriteLog=1\r\n");
        editorPath = exe;
    }

    ChildProcess Start(const std::vector<std::wstring>& args)
    {
        scvtest::ChildOptions options;
        options.workingDirectory = temp.Path();
        options.environment.push_back({L"WINEDEBUG", L"warn+heap"});
        options.outputFile = temp.PathOf(L"EditorOutput" + std::to_wstring(++starts) + L".txt");
        return ChildProcess::Run(editorPath, args, options);
    }

    // Starts the editor on an existing phrases folder (no question at the start) and waits for its frame.
    HWND StartOnAFolder(ChildProcess& editor)
    {
        EXPECT_TRUE(::CreateDirectoryW(temp.PathOf(L"UserPhrases").c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        ::DeleteFileW(temp.PathOf(L"LogReport.txt").c_str());
        editor = Start({});
        if (!editor.Started())
            return nullptr;
        if (!scvtest::WaitUntil([] { return RunningEditors().count == 1; }, 20000))
            return nullptr;
        return RunningEditors().last;
    }

    // What the editor wrote on its way out: its exit code, the end event, its log's last line.
    void ExpectACleanEnd(ChildProcess& editor, HANDLE ended, const char* what)
    {
        EXPECT_EQ(::WaitForSingleObject(ended, 20000), WAIT_OBJECT_0)
            << what << ": the main program hears of the end";
        EXPECT_EQ(editor.Wait(20000), std::optional<DWORD>(0u)) << what;
        const std::wstring log = scvtest::ReadFileText(temp.PathOf(L"LogReport.txt")).value_or(L"<no log>");
        EXPECT_NE(log.find(L"EditorApp::ExitInstance: ended"), std::wstring::npos) << what;
        const std::string output =
            scvtest::ReadFileBytes(temp.PathOf(L"EditorOutput" + std::to_wstring(starts) + L".txt"))
                .value_or("");
        EXPECT_EQ(output.find("pure virtual function call"), std::string::npos) << what << "\n" << output;
    }

    int starts = 0;

    scvtest::TempFolder temp;
    std::wstring editorPath;
};

TEST_F(EditorProgramTest, SecondStartHandsOverAndClosingSignalsTheEnd)
{
    ASSERT_FALSE(IsEditorInstanceRunning());
    HANDLE ended = ::CreateEventW(nullptr, FALSE, FALSE, GetEditorCoopEndedEventName());
    HANDLE addFromClipboard = ::CreateEventW(nullptr, FALSE, FALSE, GetAddPhraseFromClipboardEventName());
    ASSERT_TRUE(ended && addFromClipboard);

    ChildProcess first = Start({L"/hidesettings"});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(scvtest::WaitUntil([] { return RunningEditors().count == 1; }, 20000));
    // Its phrases folder does not exist here: the start offers to make it and is told no.
    HWND question = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] {
            const std::vector<HWND> dialogs = scvtest::FindDialogs(first.Pid());
            question = dialogs.empty() ? nullptr : dialogs.front();
            return question != nullptr;
        },
        20000));
    EXPECT_NE(scvtest::ReadDialogText(question).find(L"UserPhrases"), std::wstring::npos);
    ASSERT_TRUE(scvtest::PressDialogButton(question, IDNO));
    ASSERT_TRUE(scvtest::WaitUntil([&] { return scvtest::IsDialogGone(question); }, 20000));
    EXPECT_TRUE(IsEditorInstanceRunning());
    const HWND frame = RunningEditors().last;
    const std::wstring caption = WindowText(frame);
    EXPECT_EQ(caption.rfind(L"Scrivolanter : RedodeZovuva", 0), 0u) << scvtest::WideToUtf8(caption);
    EXPECT_NE(caption.find(L"UserPhrases  !!!!NOT EXISTS !!!!"), std::wstring::npos)
        << scvtest::WideToUtf8(caption);
    EXPECT_TRUE(::IsZoomed(frame));
    EXPECT_NE(::GetMenu(frame), nullptr);

    ChildProcess second = Start({L"/addfromcb"});
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(20000), std::optional<DWORD>(0u));
    // The second start passes the request on; the first editor's watcher takes it.
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] {
            return scvtest::ReadFileText(temp.PathOf(L"LogReport.txt"))
                       .value_or(L"")
                       .find(L"add a phrase from the clipboard (request of another program)") !=
                   std::wstring::npos;
        },
        20000))
        << "the running editor did not hear the request";
    EXPECT_EQ(RunningEditors().count, 1);
    EXPECT_TRUE(first.IsRunning());

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(ended, 20000), WAIT_OBJECT_0) << "the main program hears of the end";
    EXPECT_EQ(first.Wait(20000), std::optional<DWORD>(0u));
    EXPECT_FALSE(IsEditorInstanceRunning());

    const std::wstring log = scvtest::ReadFileText(temp.PathOf(L"LogReport.txt")).value_or(L"<no log>");
    EXPECT_NE(log.find(L"EXE_Editor"), std::wstring::npos) << scvtest::WideToUtf8(log);
    EXPECT_NE(log.find(L"EditorApp::ExitInstance: ended"), std::wstring::npos) << scvtest::WideToUtf8(log);
    ::CloseHandle(ended);
    ::CloseHandle(addFromClipboard);
}

// The first window of that class below the parent, depth first (windows of another process too).
HWND FindDescendantOfClass(HWND parent, const wchar_t* className)
{
    for (HWND child = ::FindWindowExW(parent, nullptr, nullptr, nullptr); child;
         child = ::FindWindowExW(parent, child, nullptr, nullptr)) {
        wchar_t name[64] = {};
        ::GetClassNameW(child, name, 64);
        if (::lstrcmpW(name, className) == 0)
            return child;
        if (HWND found = FindDescendantOfClass(child, className))
            return found;
    }
    return nullptr;
}

// Clicks a button of a toolbar of another process as the mouse does: the toolbar's own button-down and
// button-up handling, at a point the toolbar itself finds over the button (its hot item under the pointer).
bool ClickToolbarButton(HWND toolbar, UINT command)
{
    const LRESULT index = ::SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0);
    RECT client = {};
    if (index < 0 || !::GetClientRect(toolbar, &client))
        return false;
    const int y = client.bottom / 2;
    for (int x = client.right - 1; x >= 0; x -= 2) {
        ::SendMessageW(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        if (::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0) != index)
            continue;
        ::PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        return true;
    }
    return false;
}

TEST_F(EditorProgramTest, AStartOnAMissingPhrasesFolderMakesItWhenTheUserAgrees)
{
    ASSERT_FALSE(IsEditorInstanceRunning());
    HANDLE ended = ::CreateEventW(nullptr, FALSE, FALSE, GetEditorCoopEndedEventName());
    ASSERT_NE(ended, nullptr);
    const std::wstring folder = temp.PathOf(L"UserPhrases");
    ChildProcess editor = Start({});
    ASSERT_TRUE(editor.Started());
    HWND question = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] {
            const std::vector<HWND> dialogs = scvtest::FindDialogs(editor.Pid());
            question = dialogs.empty() ? nullptr : dialogs.front();
            return question != nullptr;
        },
        20000));
    EXPECT_NE(scvtest::ReadDialogText(question).find(folder), std::wstring::npos)
        << scvtest::WideToUtf8(scvtest::ReadDialogText(question));
    EXPECT_FALSE(temp.Exists(L"UserPhrases"));
    ASSERT_TRUE(scvtest::PressDialogButton(question, IDYES));
    ASSERT_TRUE(scvtest::WaitUntil([&] { return RunningEditors().count == 1; }, 20000));
    const HWND frame = RunningEditors().last;
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] { return WindowText(frame).find(L"NOT EXISTS") == std::wstring::npos; }, 20000))
        << scvtest::WideToUtf8(WindowText(frame));
    EXPECT_TRUE(temp.Exists(L"UserPhrases")) << "the start made the folder";
    EXPECT_NE(WindowText(frame).find(L"UserPhrases"), std::wstring::npos) << "and shows it";
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ExpectACleanEnd(editor, ended, "started on a folder it made");
    ::CloseHandle(ended);
}

TEST_F(EditorProgramTest, SaveAndCloseEndsTheProgramCleanly)
{
    ASSERT_FALSE(IsEditorInstanceRunning());
    HANDLE ended = ::CreateEventW(nullptr, FALSE, FALSE, GetEditorCoopEndedEventName());
    ASSERT_NE(ended, nullptr);
    const struct
    {
        const char* name;
        bool click;
    } cases[] = {{"command posted to the pane", false}, {"click on the button", true}};
    for (const auto& c : cases) {
        ::ResetEvent(ended);
        ChildProcess editor;
        const HWND frame = StartOnAFolder(editor);
        ASSERT_NE(frame, nullptr) << c.name;
        HWND content = nullptr;
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] { return (content = FindDescendantOfClass(frame, L"ScvSettingsPaneContent")) != nullptr; },
            20000))
            << c.name;
        if (c.click)
            ASSERT_TRUE(ClickToolbarButton(::GetDlgItem(content, kSettingsToolbarId), kSaveAndCloseCommand))
                << c.name;
        else
            ::PostMessageW(content, WM_COMMAND, kSaveAndCloseCommand, 0);
        ExpectACleanEnd(editor, ended, c.name);
    }
    ::CloseHandle(ended);
}

TEST_F(EditorProgramTest, ClosingWhileTheAddPopUpIsOpenEndsTheProgramCleanly)
{
    ASSERT_FALSE(IsEditorInstanceRunning());
    HANDLE ended = ::CreateEventW(nullptr, FALSE, FALSE, GetEditorCoopEndedEventName());
    ASSERT_NE(ended, nullptr);
    ChildProcess editor;
    const HWND frame = StartOnAFolder(editor);
    ASSERT_NE(frame, nullptr);

    // An add-from-clipboard request (the main program sets the named event) opens the phrases pane's
    // Add pop-up for a moment.
    HANDLE add = ::CreateEventW(nullptr, FALSE, FALSE, GetAddPhraseFromClipboardEventName());
    ASSERT_NE(add, nullptr);
    ::SetEvent(add);
    ASSERT_TRUE(
        scvtest::WaitUntil([&] { return scvtest::FindTopWindowOf(editor.Pid(), L"#32768", true); }, 20000))
        << "the pop-up did not open";
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ExpectACleanEnd(editor, ended, "closed with the pop-up open");
    ::CloseHandle(add);
    ::CloseHandle(ended);
}

TEST(EditorInstanceEventTest, OnlyTheFirstOfTwoClaimsGetsTheInstance)
{
    // Another editor made the event a moment earlier: this one must not run beside it.
    HANDLE other = ::CreateEventW(nullptr, TRUE, FALSE, GetEditorInstanceEventName());
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(ClaimEditorInstance());
    EXPECT_EQ(GetEditorInstanceEvent(), nullptr);
    ::CloseHandle(other);
    ASSERT_TRUE(ClaimEditorInstance());
    EXPECT_NE(GetEditorInstanceEvent(), nullptr);
    EXPECT_TRUE(ClaimEditorInstance()) << "the owner asking again keeps it";
    CloseEditorInstanceEvent();
    EXPECT_FALSE(IsEditorInstanceRunning());
}

TEST(EditorInstanceEventTest, ClosingSetsTheEventAndJoinsTheWatchers)
{
    ASSERT_NE(CreateEditorInstanceEvent(), nullptr);
    EXPECT_EQ(CreateEditorInstanceEvent(), GetEditorInstanceEvent()) << "created once";
    EXPECT_TRUE(IsEditorInstanceRunning());
    static LONG ended = 0;
    ended = 0;
    auto watcher = [](void* stop) -> DWORD {
        ::WaitForSingleObject(static_cast<HANDLE>(stop), 20000);
        ::Sleep(50); // some work after the wake-up that closing must wait for
        ::InterlockedExchange(&ended, 1);
        return 0;
    };
    HANDLE thread = ::CreateThread(nullptr, 0, watcher, GetEditorInstanceEvent(), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    RegisterEditorWatcherThread(thread);
    CloseEditorInstanceEvent(10000);
    EXPECT_EQ(::InterlockedCompareExchange(&ended, 0, 0), 1);
    EXPECT_EQ(GetEditorInstanceEvent(), nullptr);
    EXPECT_FALSE(IsEditorInstanceRunning());
    CloseEditorInstanceEvent(); // nothing left to close
}

} // namespace

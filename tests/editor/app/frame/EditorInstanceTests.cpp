// test-locks: desktop editor_instance appevents
// test-depends: ScrivolanterEditor
// The editor as a program: it starts with its frame, a second start hands over
// to the first and ends, and closing the first tells the main program.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "editor/app/frame/EditorInstance.h"
#include "editor/app/frame/EditorMessages.h"
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
        return ChildProcess::Run(editorPath, args, options);
    }

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

// test-locks: desktop editor_instance appevents clipboard
// test-timeout: 300
// test-depends: ScrivolanterEditor
// The real editor on a temporary program folder hears, from this process, every private message
// number (WM_USER+0..64, WM_APP+0..64) and every message it registers, with hostile parameters, in
// every one of its windows: it lives, opens no box or menu, leaves the phrase files alone and closes
// cleanly.
//
// Not sent: WM_USER+0..64 to windows of the system control classes below, whose own messages live in
// that range (toolbar TB_*, tooltip TTM_*, status bar SB_*, rebar RB_*, rich edit EM_*): many of them
// read a pointer, and a bad one breaks the control itself, whoever owns it.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "online/EditorCoopEvents.h"
#include "support/ChildProcess.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

using scvtest::ChildProcess;

constexpr DWORD kStepTimeoutMs = 60000;
constexpr wchar_t kInstanceQuestion[] = L"SCV_1A80D5B9-1905-4d8c-BDFB-F37358C6F3F2";

// Every message the editor registers (its frame, panes, views, controls and menu tips).
const wchar_t* const kRegisteredNames[] = {
    L"{D383DD91-44A7-40cb-9EDB-185DCAAD6F50}", L"{064CEBAB-27E2-48dd-B075-A67B247EA057}",
    L"{4C3D8821-E732-401d-9FE0-AF310D1030FA}", L"{08AC3E0E-2319-4770-BC8A-5B7981E0800F",
    L"{3875692C-ED88-4395-98D9-42698D67B08A}", L"{71534116-A032-477b-A496-3C114DD9F35D}",
    L"Scrivolanter_EditorSaveFailed",          L"{EA9BDCD7-15E6-4540-A64D-9D1B9EB2DEBF}",
    L"{00A5F70A-BF23-4c41-8D4B-21E143F1D9D0}", L"{F75381CA-7728-43ce-BB66-828BA9BBD286}",
    L"{5D6045BE-334C-4613-8D34-22650BC71F1D}", L"{D4496398-1D3E-42b5-AD7E-DD07DA1F1F5F}",
    L"{502D3F05-A15B-42ce-A83F-0A39073EBF36}", L"{BA72D1B8-C720-4c39-A0DA-80FC932F1F5E}",
    L"Scrivolanter.MenuToolTip.DelayPassed",   L"9176C785-52C0-432a-AB51-C8439932297C",
    L"{F64B4579-F447-4598-993D-8DBB97BEF4A9}",
};

// System control classes whose own messages are WM_USER+n.
const wchar_t* const kControlsWithUserMessages[] = {
    L"ToolbarWindow32", L"tooltips_class32", L"msctls_statusbar32", L"ReBarWindow32",
    L"RichEdit20W",     L"RichEdit20A",      L"RICHEDIT50W",
};

struct Pair
{
    WPARAM wParam;
    LPARAM lParam;
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The system class under a window (a superclass's base), as the system tells it.
std::wstring RealClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::RealGetWindowClassW(window, name, 64);
    return name;
}

// Whether the window is one of those controls, or a class built on one (the frame's rebar and
// toolbars are): told by its name or by a harmless question only such a control answers.
bool TakesUserMessagesOfItsOwn(HWND window)
{
    const std::wstring name = RealClassOf(window);
    for (const wchar_t* control : kControlsWithUserMessages)
        if (::lstrcmpiW(name.c_str(), control) == 0)
            return true;
    const std::pair<UINT, WPARAM> questions[] = {{TB_GETBUTTONSIZE, 0}, {RB_GETBKCOLOR, 0},
                                                 {TTM_GETDELAYTIME, TTDT_AUTOPOP}, {SB_GETPARTS, 0},
                                                 {EM_GETTEXTMODE, 0}};
    for (const auto& [message, wParam] : questions) {
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer != 0)
            return true;
    }
    return false;
}

struct ProcessWindows
{
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data)
{
    reinterpret_cast<ProcessWindows*>(data)->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<ProcessWindows*>(data);
    if (scvtest::ProcessOfWindow(window) != found->pid)
        return TRUE;
    found->windows.push_back(window);
    ::EnumChildWindows(window, &CollectChild, data);
    return TRUE;
}

// Every window of the process: its top-level windows and all their descendants.
std::vector<HWND> WindowsOf(DWORD pid)
{
    ProcessWindows found{pid, {}};
    ::EnumWindows(&CollectTop, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// The visible pop-up menus of a process.
std::vector<HWND> OpenMenusOf(DWORD pid)
{
    std::vector<HWND> menus;
    for (HWND window : WindowsOf(pid))
        if (ClassOf(window) == L"#32768" && ::IsWindowVisible(window))
            menus.push_back(window);
    return menus;
}

HWND FrameOf(DWORD pid)
{
    const UINT question = ::RegisterWindowMessageW(kInstanceQuestion);
    for (HWND window : WindowsOf(pid)) {
        DWORD_PTR answer = 0;
        if (::GetParent(window) == nullptr &&
            ::SendMessageTimeoutW(window, question, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) && answer == 1)
            return window;
    }
    return nullptr;
}

std::map<std::wstring, std::string> PhraseFiles(const std::wstring& folder)
{
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*.scrivolanter").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        files[data.cFileName] = scvtest::ReadFileBytes(folder + L"\\" + data.cFileName).value_or("<unreadable>");
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return files;
}

std::wstring PhraseDocument(const wchar_t* name, const wchar_t* text)
{
    return std::wstring(L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
                        L"<SCVCommand UsageCount=\"2\" SortID=\"1\">\r\n    <MenuName>") +
           name + L"</MenuName>\r\n    <DataType>TEXT</DataType>\r\n    <Cmd>" + text +
           L"</Cmd>\r\n</SCVCommand>\r\n";
}

class EditorOutsideMessagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editorPath = temp.PathOf(L"ScrivolanterEditor.exe");
        ASSERT_TRUE(::CopyFileW(scvtest::ProgramPath(L"ScrivolanterEditor.exe").c_str(), editorPath.c_str(), FALSE));
        temp.WriteUtf16(L"Settings.ini", L"[Settings]\r\nWriteLog=1\r\n");
        temp.WriteUtf8(L"UserPhrases\\Greeting.scrivolanter", PhraseDocument(L"Greeting", L"Hello there"));
        temp.WriteUtf8(L"UserPhrases\\Signature.scrivolanter", PhraseDocument(L"Signature", L"Kind regards"));
        phrases = temp.PathOf(L"UserPhrases");
        ended = ::CreateEventW(nullptr, FALSE, FALSE, GetEditorCoopEndedEventName());
        ASSERT_NE(ended, nullptr);
    }

    void TearDown() override
    {
        if (ended)
            ::CloseHandle(ended);
    }

    // Posts a marker behind everything posted so far and waits until the editor has handled it: the
    // frame is minimised by a posted system command, which comes after every earlier post of the queue.
    // False when the editor ended or stopped answering (a crash under Wine leaves it hung) instead.
    bool EditorHandledEverything(const ChildProcess& editor, HWND frame)
    {
        auto gone = [&] { return !editor.IsRunning() || ::IsHungAppWindow(frame); };
        ::PostMessageW(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        scvtest::WaitUntil([&] { return ::IsIconic(frame) || gone(); }, kStepTimeoutMs);
        if (!::IsIconic(frame) || gone())
            return false;
        ::PostMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
        scvtest::WaitUntil([&] { return !::IsIconic(frame) || gone(); }, kStepTimeoutMs);
        return !::IsIconic(frame) && !gone();
    }

    void ExpectNothingLeftOpen(const ChildProcess& editor, const char* when)
    {
        SCOPED_TRACE(when);
        ASSERT_TRUE(editor.IsRunning()) << "the editor died";
        for (HWND dialog : scvtest::FindDialogs(editor.Pid())) {
            ADD_FAILURE() << "a box is open: " << scvtest::WideToUtf8(scvtest::ReadDialogText(dialog));
            scvtest::CloseDialog(dialog);
        }
        EXPECT_TRUE(OpenMenusOf(editor.Pid()).empty()) << "a menu is open";
    }

    scvtest::TempFolder temp;
    std::wstring editorPath;
    std::wstring phrases;
    HANDLE ended = nullptr;
};

TEST_F(EditorOutsideMessagesTest, HostileMessagesToEveryWindowChangeNothing)
{
    scvtest::ChildOptions options;
    options.workingDirectory = temp.Path();
    ChildProcess editor = ChildProcess::Run(editorPath, {}, options);
    ASSERT_TRUE(editor.Started());
    HWND frame = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil([&] { return (frame = FrameOf(editor.Pid())) != nullptr; }, kStepTimeoutMs));
    ASSERT_TRUE(EditorHandledEverything(editor, frame));
    ExpectNothingLeftOpen(editor, "after the start");
    const std::map<std::wstring, std::string> before = PhraseFiles(phrases);
    ASSERT_EQ(before.size(), 2u);

    const unsigned seed = ::GetTickCount();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::vector<UINT> numbers;
    for (UINT n = 0; n <= 64; ++n) {
        numbers.push_back(WM_USER + n);
        numbers.push_back(WM_APP + n);
    }
    for (const wchar_t* name : kRegisteredNames)
        numbers.push_back(::RegisterWindowMessageW(name));
    auto pairs = [&] {
        return std::vector<Pair>{{0, 0},
                                 {1, 0x10},
                                 {0xFFFFFFFF, static_cast<LPARAM>(0xDEADBEEF)},
                                 {random(), static_cast<LPARAM>(random())}};
    };

    const std::vector<HWND> windows = WindowsOf(editor.Pid());
    ASSERT_GT(windows.size(), 20u) << "frame, bars, panes, views, toolbars and pages";
    std::set<std::wstring> classes;
    // Whether the editor got through its queue is asked after every few windows (a minimised and
    // restored frame costs a second or more under Wine); a failure names the windows since the last.
    constexpr size_t kWindowsPerCheck = 8;
    std::string sinceCheck;
    for (size_t index = 0; index < windows.size(); ++index) {
        const HWND window = windows[index];
        classes.insert(ClassOf(window));
        sinceCheck += " " + scvtest::WideToUtf8(ClassOf(window)) + " (" + scvtest::WideToUtf8(RealClassOf(window)) + ")";
        const bool skipUser = TakesUserMessagesOfItsOwn(window);
        for (UINT message : numbers) {
            if (skipUser && message >= WM_USER && message <= WM_USER + 64)
                continue;
            for (const Pair& pair : pairs()) {
                ASSERT_TRUE(::PostMessageW(window, message, pair.wParam, pair.lParam) || !::IsWindow(window))
                    << "post " << message << " to " << scvtest::WideToUtf8(ClassOf(window)) << " failed";
                // Sent as well, where the editor's own handlers answer (not the private numbers of the
                // system controls).
                if (message < WM_APP || message > WM_APP + 64 || skipUser)
                    continue;
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(window, message, pair.wParam, pair.lParam, SMTO_ABORTIFHUNG, 1000, &result);
            }
        }
        if ((index + 1) % kWindowsPerCheck != 0 && index + 1 != windows.size())
            continue;
        ASSERT_TRUE(EditorHandledEverything(editor, frame)) << "the editor died on the messages to:" << sinceCheck;
        sinceCheck.clear();
    }
    for (const wchar_t* name : kRegisteredNames) {
        const UINT message = ::RegisterWindowMessageW(name);
        for (HWND window : windows)
            for (const Pair& pair : pairs()) {
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(window, message, pair.wParam, pair.lParam, SMTO_ABORTIFHUNG, 1000, &result);
            }
    }
    ASSERT_TRUE(EditorHandledEverything(editor, frame)) << "the editor died on the registered messages sent";
    ExpectNothingLeftOpen(editor, "after the hostile messages");
    EXPECT_EQ(PhraseFiles(phrases), before) << "no phrase file may change";
    EXPECT_GT(classes.size(), 10u);

    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(ended, kStepTimeoutMs), WAIT_OBJECT_0) << "the editor did not end";
    EXPECT_EQ(editor.Wait(kStepTimeoutMs), std::optional<DWORD>(0u)) << "the editor did not close cleanly";
}

} // namespace

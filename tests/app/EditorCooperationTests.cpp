// test-depends: Scrivolanter ScrivolanterEditor ScrivolanterHookDll
// test-locks: desktop clipboard appevents sharedlog editor_instance
// test-run-serial
// The main program and the editor together, both the built programs on one
// temporary program folder: the tray command starts the editor, the tray's
// "Save Phrase From Clipboard" hands the clipboard's text to the running
// editor, which adds it as a phrase; closing the editor makes the main
// program reload, and the hot key then inserts the new phrase into a target
// window of another process. The editor's phrase file is the one the main
// program's writer makes of the same record.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "MainProgramWindows.h"
#include "app/TrayMessages.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseItemRecord.h"
#include "online/SharedSettingsArea.h"
#include "app/tray/TrayMenuRes.h"
#include "support/BuiltPrograms.h"
#include "support/ClipboardFill.h"
#include "support/ChildMain.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr wchar_t kTargetClass[] = L"ScvEditorCoopTarget";
constexpr UINT kTargetActivate = WM_APP + 100;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kStepTimeoutMs = 20000;
constexpr UINT kEditorExitCommand = 32834; // the editor's File > Exit
constexpr wchar_t kPhraseText[] = L"Added from the clipboard by the editor";

HWND s_targetEdit = nullptr;
LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (s_targetEdit)
            ::SetFocus(s_targetEdit);
        return 0;
    case kTargetActivate:
        ::SetForegroundWindow(window);
        ::SetFocus(s_targetEdit);
        return 0;
    case WM_TIMER:
        ::DestroyWindow(window); // ends a target the test forgot
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

// Child: the target application, a top-level window with an EDIT. Argument: the window title.
SCV_CHILD_MAIN(editor_coop_target)
{
    if (args.empty())
        return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTargetClass;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&windowClass);
    HWND top = ::CreateWindowExW(0, kTargetClass, args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80,
                                 600, 220, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!top)
        return 3;
    s_targetEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10,
                                     10, 560, 30, top, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!s_targetEdit)
        return 4;
    ::SetTimer(top, 1, 240000, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

namespace
{

// The running editor's main frame: the window that answers the editor's instance question.
struct EditorSearch
{
    UINT message;
    HWND frame;
};

BOOL CALLBACK AskWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<EditorSearch*>(data);
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, search->message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) &&
        result == 1) {
        search->frame = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindEditorFrame()
{
    EditorSearch search{::RegisterWindowMessageW(L"SCV_1A80D5B9-1905-4d8c-BDFB-F37358C6F3F2"), nullptr};
    ::EnumWindows(&AskWindow, reinterpret_cast<LPARAM>(&search));
    return search.frame;
}

// The phrase files of the folder (names only).
std::vector<std::wstring> PhraseFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*.scrivolanter").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

class EditorCooperationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindEditorFrame(), nullptr) << "an editor runs already";
        ASSERT_TRUE(scvtest::CopyBuiltPrograms(m_folder, {L"*.exe", L"*.dll"}));
        WriteSettings();
        m_folder.CreateSubfolder(L"Phrases");

        const std::wstring title = L"Scrivolanter editor target " + std::to_wstring(::GetCurrentProcessId());
        m_target.emplace(scvtest::LaunchSelf(L"editor_coop_target", {title}));
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                m_targetTop = ::FindWindowW(kTargetClass, title.c_str());
                m_edit = m_targetTop ? ::FindWindowExW(m_targetTop, nullptr, L"EDIT", nullptr) : nullptr;
                return m_edit != nullptr;
            },
            kStartTimeoutMs))
            << "the target window did not show";

        scvtest::ChildOptions options;
        options.workingDirectory = m_folder.Path();
        m_program.emplace(scvtest::ChildProcess::Run(m_folder.PathOf(L"Scrivolanter.exe"), {}, options));
        ASSERT_TRUE(m_program->Started());
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] { return (m_tray = scvtest::FindTrayWindow(m_program->Pid())) != nullptr; }, kStartTimeoutMs))
            << "the program shows no tray window";
        WORD key = 0;
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                return ReadSharedSettingsArea({&key, nullptr, nullptr, nullptr}) && key == VK_RETURN;
            },
            kStartTimeoutMs))
            << "the hot key was not published\n"
            << scvtest::WideToUtf8(Log());
    }

    void TearDown() override
    {
        if (HWND frame = FindEditorFrame())
            ::PostMessageW(frame, WM_CLOSE, 0, 0);
        scvtest::WaitUntil([] { return FindEditorFrame() == nullptr; }, kStepTimeoutMs);
        if (m_program && m_program->IsRunning()) {
            scvtest::ExitMainProgram(m_folder, *m_program, kStartTimeoutMs);
        }
        if (m_targetTop)
            ::PostMessageW(m_targetTop, WM_CLOSE, 0, 0);
        if (m_target && !m_target->Wait(10000))
            m_target->Terminate();
    }

    // Sounds, balloons, tooltips, update checks, the welcome program and the
    // history off; the web site is a dead local port.
    void WriteSettings()
    {
        const wchar_t* const keys[] = {
            L"SCVVersion=SCV_150",
            L"WriteLog=1",
            L"SoundOnEventsV094=0",
            L"ShowTrayBallonOnHotkey=0",
            L"MenuToolTips_V0_94_A22=0",
            L"AutoCheckForUpdates=0",
            L"ShowHistoryPaneOnStart=0",
            L"ShowIconInAltTab_ForFP=0",
            L"ClipboardHistory=0",
            L"Welcome_Already_Started_V2_60=1",
            L"DelayAutoLoadSeconds_NextRelease=0",
            L"PhrasesDirectory=Phrases",
            L"AddLastUsedMenuToBegin=0",
            L"SiteRoot=http://127.0.0.1:9",
        };
        std::wstring text = L"[Settings]\r\n";
        for (const wchar_t* key : keys)
            text += std::wstring(key) + L"\r\n";
        ASSERT_FALSE(m_folder.WriteUtf16(L"Settings.ini", text).empty());
    }

    std::wstring Log() const { return m_folder.ReadText(L"LogReport.txt").value_or(L""); }
    std::wstring PhrasesFolder() const { return m_folder.PathOf(L"Phrases"); }

    void TrayCommand(UINT id) { ::PostMessageW(m_tray, WM_COMMAND, id, 0); }

    bool BringTargetForward()
    {
        ::PostMessageW(m_targetTop, kTargetActivate, 0, 0);
        return scvtest::WaitUntil(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof(info);
                return ::GetForegroundWindow() == m_targetTop &&
                       ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_targetTop, nullptr), &info) &&
                       info.hwndFocus == m_edit;
            },
            kStepTimeoutMs);
    }

    // Presses the hot key until the phrase menu shows (the hook reaches the
    // target with its first message, so a first press may go unanswered).
    HWND OpenMenu()
    {
        HWND menu = nullptr;
        scvtest::WaitUntil(
            [&] {
                scvtest::PressHotKey();
                scvtest::WaitUntil(
                    [&] { return (menu = scvtest::FindMenuWindow(m_program->Pid())) != nullptr; }, 5000);
                return menu != nullptr;
            },
            kStartTimeoutMs);
        return menu;
    }

    scvtest::TempFolder m_folder;
    std::optional<scvtest::ChildProcess> m_program;
    std::optional<scvtest::ChildProcess> m_target;
    HWND m_tray = nullptr;
    HWND m_targetTop = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(EditorCooperationTest, PhraseAddedInTheEditorIsInsertedByTheMainProgram)
{
    // The tray's editor command starts the editor on the same program folder.
    TrayCommand(ID_TRAY_EDIT_PHRASES);
    HWND frame = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil([&] { return (frame = FindEditorFrame()) != nullptr; }, kStartTimeoutMs))
        << "the editor did not start\n"
        << scvtest::WideToUtf8(Log());
    const DWORD editorPid = scvtest::ProcessOfWindow(frame);
    HANDLE editor = ::OpenProcess(SYNCHRONIZE, FALSE, editorPid);
    ASSERT_NE(editor, nullptr);

    // "Save Phrase From Clipboard": a second editor hands the request to the running one.
    const std::wstring clipboardText = std::wstring(L" \t") + kPhraseText + L"\r\nsecond line";
    ASSERT_TRUE(scvtest::SetClipboardText(clipboardText));
    TrayCommand(ID_TRAY_SAVE_FROM_CLIPBOARD);
    std::vector<std::wstring> files;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] {
            files = PhraseFiles(PhrasesFolder());
            return files.size() == 1;
        },
        kStepTimeoutMs))
        << "the editor added no phrase\n"
        << scvtest::WideToUtf8(Log());
    const std::wstring phrasePath = PhrasesFolder() + L"\\" + files[0];
    PhraseItemRecord added;
    ASSERT_TRUE(
        scvtest::WaitUntil([&] { return ReadPhraseFile(added, phrasePath.c_str()); }, kStepTimeoutMs));
    EXPECT_STREQ(added.GetTitle(), kPhraseText); // trimmed and cut before the line break
    EXPECT_EQ(std::wstring(added.body.GetString()), clipboardText);

    // The main program's writer makes the same bytes of the same record.
    const std::optional<std::string> editorBytes = scvtest::ReadFileBytes(phrasePath);
    ASSERT_TRUE(editorBytes.has_value());
    const std::wstring rewritten = m_folder.PathOf(L"rewritten.scrivolanter");
    ASSERT_TRUE(SavePhraseFile(added, rewritten.c_str()));
    EXPECT_EQ(scvtest::ReadFileBytes(rewritten), editorBytes) << "the two programs write different files";

    // Closing the editor (File > Exit) makes the main program reload.
    const size_t reloadsBefore = scvtest::CountOf(Log(), L"Detected event: RedodeZovuva closed");
    ::PostMessageW(frame, WM_COMMAND, kEditorExitCommand, 0);
    EXPECT_EQ(::WaitForSingleObject(editor, kStepTimeoutMs), WAIT_OBJECT_0) << "the editor did not end";
    ::CloseHandle(editor);
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] { return scvtest::CountOf(Log(), L"Detected event: RedodeZovuva closed") > reloadsBefore; },
        kStepTimeoutMs))
        << "the main program did not hear the editor's end\n"
        << scvtest::WideToUtf8(Log());

    // The hot key's menu now holds the phrase (its only one) and inserts it into the target.
    ASSERT_TRUE(BringTargetForward()) << "the target did not come to the foreground";
    ASSERT_TRUE(OpenMenu()) << scvtest::WideToUtf8(Log());
    scvtest::TapKey(VK_DOWN);
    scvtest::TapKey(VK_RETURN);
    EXPECT_TRUE(scvtest::WaitUntil(
        // The single-line EDIT keeps the first line's text at least.
        [&] { return scvtest::ControlText(m_edit).find(kPhraseText) != std::wstring::npos; }, kStepTimeoutMs))
        << "EDIT: " << scvtest::WideToUtf8(scvtest::ControlText(m_edit)) << "\n"
        << scvtest::WideToUtf8(Log());
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] {
            PhraseItemRecord used;
            return ReadPhraseFile(used, phrasePath.c_str()) && used.GetUsageCount() == 1;
        },
        kStepTimeoutMs))
        << "the main program did not count the use";
}

} // namespace

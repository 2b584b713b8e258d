// test-depends: Scrivolanter ScvWaitingFor
// test-locks: appevents clipboard desktop sharedlog
// test-run-serial
// test-timeout: 150
// The built program with the clipboard history, the floating pane and its ALT+TAB entry on, seen
// from this second process: messages forged by another program reach every window of the program
// and neither end it, change the clipboard or the history on disk, nor stop the capture; a tray
// command that switches a setting writes only its own key, next to what another program (the
// editor) wrote into the settings file.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/AppObjects.h"
#include "app/TrayMessages.h"
#include "app/tray/TrayMenuRes.h"
#include "support/BuiltPrograms.h"
#include "support/ChildProcess.h"
#include "support/ClipboardFill.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 30000;
// The longest a forged message may keep this process waiting for the program's answer.
constexpr UINT kSendBoundMs = 2000;

// The window classes the program registers and fills with its own code; the system's controls
// inside them (list view, toolbar, rich edit, the system tooltips of the pane) are left out:
// their own messages of the WM_USER range take pointers on every system.
const wchar_t* const kOwnClasses[] = {
    kTrayWindowClassName,        L"ScvClipboardHistoryWatcher",        L"ClipboardSpyWndHidden",
    L"Scrivolanter_FloatPane",   L"Scrivolanter_Menu_Tracker",         L"MenuToolTip",
    L"ScvDelayedClipboardOwner", L"Scrivolanter ALT+TAB Window Class",
};

// Every message the program registers, by name. Left out: the instance signal
// "SCV_7B11E8E0-A712-4caa-A06B-01BEA4F7DFC4", whose documented purpose (wParam 1) is to end
// the program; it is what "Scrivolanter.exe /exit" and the exit event send.
const wchar_t* const kRegisteredNames[] = {
    L"TaskbarCreated",
    L"{FC970502-EECA-4c50-AF80-CF39EA345E99",  // target request
    L"{C4629BDD-5FE3-47de-863B-E8D10BB7E2EB}", // start-up note
    L"Scrivolanter_UpdateCheckDone",
    L"Scrivolanter_ShowUpdateResult",
    L"{CC278AD4-3207-4aeb-B6BC-0342A5E6815D}", // clipboard spy
    L"{278BB95C-BECC-4945-9CDF-98E5CDC69FEF}", // loaded history
    L"{F762C94C-9D69-4a96-B8FD-7F53F4157D13}", // item saved
    L"{540F133E-3D6B-49e4-87A5-C19CA88FC341}", // add an item
    L"{30462FA5-8E5D-4702-A0CD-6C06742AD9BC}", // item file state
    L"9176C785-52C0-432a-AB51-C8439932297C",   // menu tooltip
    L"Scrivolanter.MenuToolTip.DelayPassed",
    L"{F64B4579-F447-4598-993D-8DBB97BEF4A9}", // arrow button
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

bool IsOwnClass(const std::wstring& name)
{
    for (const wchar_t* own : kOwnClasses) {
        if (name.rfind(own, 0) == 0)
            return true;
    }
    return false;
}

struct WindowSearch
{
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK AddChild(HWND child, LPARAM search)
{
    reinterpret_cast<WindowSearch*>(search)->found.push_back(child);
    return TRUE;
}

BOOL CALLBACK AddWithChildren(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (scvtest::ProcessOfWindow(window) != search->pid)
        return TRUE;
    search->found.push_back(window);
    ::EnumChildWindows(window, AddChild, data);
    return TRUE;
}

// The windows of the process with one of the program's own classes: top-level ones, their
// children at every depth, and message-only ones.
std::vector<HWND> OwnWindowsOf(DWORD pid)
{
    WindowSearch search{pid, {}};
    ::EnumWindows(AddWithChildren, reinterpret_cast<LPARAM>(&search));
    for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
        AddWithChildren(window, reinterpret_cast<LPARAM>(&search));
    std::vector<HWND> own;
    for (HWND window : search.found) {
        if (IsOwnClass(ClassOf(window)))
            own.push_back(window);
    }
    return own;
}

// Name and content of every file of the history folder.
std::map<std::wstring, std::string> FilesIn(const std::wstring& folder)
{
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = scvtest::ReadFileBytes(folder + L"\\" + found.cFileName).value_or("");
    }
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    return files;
}

// Closes what a forged message may have opened in the program and may stay open by design (the
// tray menu of WM_APP+20, a dialog): Esc to its menus, WM_CLOSE to its dialog boxes.
void CloseMenusAndDialogsOf(DWORD pid)
{
    for (int round = 0; round < 20; ++round) {
        HWND menu = scvtest::FindTopWindowOf(pid, L"#32768", true);
        HWND dialog = scvtest::FindTopWindowOf(pid, L"#32770", true);
        if (!menu && !dialog)
            return;
        if (menu) {
            ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
            ::PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        }
        if (dialog)
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        scvtest::WaitUntil(
            [&] {
                return scvtest::FindTopWindowOf(pid, L"#32768", true) != menu ||
                       scvtest::FindTopWindowOf(pid, L"#32770", true) != dialog;
            },
            2000);
    }
}

class OutsideMessagesProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(CAppObjects::IsInstanceRunning()) << "another Scrivolanter runs in this session";
        ASSERT_TRUE(scvtest::CopyBuiltPrograms(m_folder, {L"Scrivolanter.exe", L"ScvWaitingFor.exe"}));
        m_folder.CreateSubfolder(L"Phrases");
        m_folder.WriteUtf16(
            L"Settings.ini",
            L"[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=1\r\nSoundOnEventsV094=0\r\n"
            L"AutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=1\r\nShowIconInAltTab_ForFP=1\r\n"
            L"ClipboardHistory=1\r\nSaveClipboardHistory_v198=1\r\nClipboardHistoryMax=30\r\n"
            L"Hotkey_Doubled=0\r\nShowTrayBallonOnHotkey=0\r\n"
            L"Welcome_Already_Started_V2_60=1\r\nDelayAutoLoadSeconds_NextRelease=0\r\n"
            L"PhrasesDirectory=Phrases\r\nSiteRoot=http://127.0.0.1:9\r\n");
        ASSERT_TRUE(scvtest::ClearClipboard());
        m_owner = ::CreateWindowExW(0, L"STATIC", L"ScvOutsideMessages", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
    }

    void TearDown() override
    {
        if (m_program.Started() && m_program.IsRunning())
            scvtest::ExitMainProgram(m_folder, m_program, kTimeoutMs);
        if (m_owner)
            ::DestroyWindow(m_owner);
    }

    void StartProgram()
    {
        scvtest::ChildOptions options;
        options.workingDirectory = m_folder.Path();
        m_program =
            scvtest::ChildProcess::Run(m_folder.PathOf(L"Scrivolanter.exe"), {L"/noinstall"}, options);
        ASSERT_TRUE(m_program.Started());
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                return (m_tray = scvtest::FindTopWindowOf(m_program.Pid(), kTrayWindowClassName)) != nullptr;
            },
            kTimeoutMs));
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                return ::FindWindowExW(m_tray, nullptr, L"ScvClipboardHistoryWatcher", nullptr) != nullptr;
            },
            kTimeoutMs))
            << "the history runs";
    }

    std::wstring HistoryFolder() const { return m_folder.PathOf(L"ClipboardHistory"); }
    int SavedTexts() const { return scvtest::CountFiles(HistoryFolder() + L"\\*.txt"); }
    int SavedDescriptors() const { return scvtest::CountFiles(HistoryFolder() + L"\\*.info"); }
    std::wstring Log() const { return m_folder.ReadText(L"LogReport.txt").value_or(L""); }

    // Whether the program still answers a message of its tray window.
    bool Answers() const
    {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(m_tray, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendBoundMs, &result) != 0;
    }

    std::wstring SettingsValue(const wchar_t* key) const
    {
        wchar_t value[64] = {};
        ::GetPrivateProfileStringW(L"Settings", key, L"(missing)", value, ARRAYSIZE(value),
                                   m_folder.PathOf(L"Settings.ini").c_str());
        return value;
    }

    scvtest::TempFolder m_folder;
    scvtest::ChildProcess m_program;
    HWND m_tray = nullptr;
    HWND m_owner = nullptr;
};

TEST_F(OutsideMessagesProgramTest, ForgedMessagesToEveryWindowNeitherEndNorSteerTheProgram)
{
    StartProgram();
    // One item captured and saved: the clipboard holds it.
    ASSERT_TRUE(scvtest::SetClipboardText(L"the user's text", m_owner));
    // Saved whole: the data file is written first, its descriptor last.
    ASSERT_TRUE(scvtest::WaitUntil([&] { return SavedTexts() == 1 && SavedDescriptors() == 1; }, kTimeoutMs))
        << scvtest::WideToUtf8(Log());
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] { return scvtest::FindTopWindowOf(m_program.Pid(), L"Scrivolanter_FloatPane") != nullptr; },
        kTimeoutMs));
    const std::map<std::wstring, std::string> historyBefore = FilesIn(HistoryFolder());
    const DWORD sequenceBefore = ::GetClipboardSequenceNumber();

    const std::vector<HWND> windows = OwnWindowsOf(m_program.Pid());
    std::map<std::wstring, int> reached;
    for (HWND window : windows)
        ++reached[ClassOf(window)];
    for (const wchar_t* expected : {kTrayWindowClassName, L"ScvClipboardHistoryWatcher",
                                    L"ClipboardSpyWndHidden", L"Scrivolanter_FloatPane", L"MenuToolTip"})
        EXPECT_GT(reached[expected], 0) << "no window " << scvtest::WideToUtf8(expected);
    bool altTab = false;
    for (const auto& entry : reached)
        altTab = altTab || entry.first.rfind(L"Scrivolanter ALT+TAB Window Class", 0) == 0;
    EXPECT_TRUE(altTab) << "no ALT+TAB proxy";

    std::vector<UINT> messages;
    for (UINT n = 0; n <= 64; ++n) {
        messages.push_back(WM_USER + n);
        messages.push_back(WM_APP + n);
    }
    for (const wchar_t* name : kRegisteredNames)
        messages.push_back(::RegisterWindowMessageW(name));

    // Besides the usual hostile pairs: a history id (2000, the newest item) as the phrase menu's
    // choice (wParam) and as the item of a right-click copy (kind 0, lParam).
    std::vector<std::pair<WPARAM, LPARAM>> pairs = {
        {0, 0},
        {1, 0x10},
        {static_cast<WPARAM>(0xFFFFFFFFu), static_cast<LPARAM>(0xDEADBEEFu)},
        {2000, 0},
        {0, 2000}};
    const unsigned seed = ::GetTickCount();
    std::mt19937 random(seed);
    for (int i = 0; i < 3; ++i)
        pairs.emplace_back(static_cast<WPARAM>(random()), static_cast<LPARAM>(random()) | 1);
    SCOPED_TRACE("random pairs from seed " + std::to_string(seed));

    // A message may open what stays open by design (WM_APP+20, the show-menu relay's message,
    // opens the tray menu): its send is not answered within the bound, and the program must
    // answer again once that is closed.
    for (HWND window : windows) {
        for (UINT message : messages) {
            for (const auto& pair : pairs) {
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(window, message, pair.first, pair.second, SMTO_ABORTIFHUNG,
                                      kSendBoundMs, &result);
                ASSERT_TRUE(m_program.IsRunning())
                    << "ended by " << std::hex << message << " (" << pair.first << ", " << pair.second
                    << ") at " << scvtest::WideToUtf8(ClassOf(window)) << "\n"
                    << scvtest::WideToUtf8(Log());
            }
        }
    }
    // Posted as well: the program reads posted messages in its own loop. A last posted message
    // that leaves a log line tells when the tray window has taken all of them.
    for (HWND window : windows) {
        for (UINT message : messages)
            ::PostMessageW(window, message, 1, 0x10);
    }
    ::PostMessageW(m_tray, WM_ENDSESSION, 0, 4711);
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] { return Log().find(L"WM_ENDSESSION wParam=0 lParam=4711") != std::wstring::npos; }, kTimeoutMs));
    CloseMenusAndDialogsOf(m_program.Pid());
    ASSERT_TRUE(Answers()) << "the program still answers";
    CloseMenusAndDialogsOf(m_program.Pid());
    ASSERT_TRUE(m_program.IsRunning());

    EXPECT_EQ(::GetClipboardSequenceNumber(), sequenceBefore) << "the clipboard is the user's";
    EXPECT_EQ(scvtest::ClipboardUnicodeText(), L"the user's text");
    EXPECT_EQ(FilesIn(HistoryFolder()), historyBefore) << "the history on disk is as it was\n"
                                                       << scvtest::WideToUtf8(Log());

    // Still capturing: a copy made now is saved.
    ASSERT_TRUE(scvtest::SetClipboardText(L"copied after the forgeries", m_owner));
    EXPECT_TRUE(scvtest::WaitUntil([&] { return SavedTexts() == 2; }, kTimeoutMs))
        << scvtest::WideToUtf8(Log());
}

TEST_F(OutsideMessagesProgramTest, ATrayToggleKeepsWhatTheEditorWroteIntoTheSettingsFile)
{
    StartProgram();
    const std::wstring settings = m_folder.PathOf(L"Settings.ini");
    const struct
    {
        UINT command;
        const wchar_t* key;
        const wchar_t* after;
    } toggles[] = {
        {ID_TRAY_HISTORY_KEEP, L"ClipboardHistory", L"0"},
        {ID_TRAY_SOUNDS, L"SoundOnEventsV094", L"1"},
        {ID_TRAY_FLOAT_PANE_ON_START, L"ShowHistoryPaneOnStart", L"0"},
        {ID_TRAY_HISTORY_SAVE_ON_EXIT, L"SaveClipboardHistory_v198", L"0"},
    };
    int round = 0;
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(scvtest::WideToUtf8(toggle.key));
        // What the editor does with a setting: one key written into the file.
        const std::wstring max = std::to_wstring(70 + ++round);
        ASSERT_TRUE(
            ::WritePrivateProfileStringW(L"Settings", L"ClipboardHistoryMax", max.c_str(), settings.c_str()));
        ASSERT_TRUE(::WritePrivateProfileStringW(L"Settings", L"Hotkey_Doubled", L"1", settings.c_str()));

        DWORD_PTR result = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(m_tray, WM_COMMAND, toggle.command, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                                          &result));
        EXPECT_EQ(SettingsValue(toggle.key), toggle.after) << "the command's own key is written";
        EXPECT_EQ(SettingsValue(L"ClipboardHistoryMax"), max) << "the editor's value stays";
        EXPECT_EQ(SettingsValue(L"Hotkey_Doubled"), L"1");
        ASSERT_TRUE(::WritePrivateProfileStringW(L"Settings", L"Hotkey_Doubled", L"0", settings.c_str()));
    }
}

} // namespace

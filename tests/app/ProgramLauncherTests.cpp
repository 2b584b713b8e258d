// test-locks: appevents

#include "app/ProgramLauncher.h"

#include "common/KernelHandle.h"
#include "online/SharedSettingsArea.h"

#include "support/ChildMain.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr UINT kEditorNotify = WM_APP + 4;

// A hidden window that records the editor-start notifications.
class NotifyWindow
{
public:
    NotifyWindow()
    {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvTestEditorNotify";
            return ::RegisterClassW(&wc);
        }();
        m_window = ::CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~NotifyWindow() { ::DestroyWindow(m_window); }
    HWND Get() const { return m_window; }
    std::vector<WPARAM> states;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<NotifyWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kEditorNotify) {
            self->states.push_back(wParam);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND m_window = nullptr;
};

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}
} // namespace

SCV_CHILD_MAIN(record_command_line)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return scvtest::WriteFileUtf8(args.at(0), std::wstring(::GetCommandLineW()) + L"\n" + folder) ? 0 : 1;
}

TEST(ProgramLauncher, EditorThreadReportsAStartThatFailedEverywhere)
{
    scvtest::TempFolder folder;
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    NotifyWindow window;
    ASSERT_TRUE(StartEditorThreadFor(folder.PathOf(L"NoEditor.exe").c_str(), stop.Get(), window.Get(),
                                     kEditorNotify, true, false, L""));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !window.states.empty(); }, 10000));
    scvtest::PumpFor(50);
    EXPECT_EQ(window.states, std::vector<WPARAM>{0});
    ::SetEvent(stop.Get());
}

TEST(ProgramLauncher, EditorThreadFollowsTheEditorToItsEnd)
{
    const std::wstring program = SystemProgram(L"hostname.exe");
    ASSERT_TRUE(scvtest::FileExists(program));
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    NotifyWindow window;
    ASSERT_TRUE(StartEditorThreadFor(program.c_str(), stop.Get(), window.Get(), kEditorNotify, false, true,
                                     L"selected <text>"));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return window.states.size() >= 2; }, 10000));
    EXPECT_EQ(window.states, (std::vector<WPARAM>{1, 2}));
    ::SetEvent(stop.Get());
    // The editor found the selected text in the shared settings area.
    EXPECT_EQ(std::wstring(GetSelectedTextFromMainProgram()), L"selected <text>");
    CloseSharedSettingsArea();
}

TEST(ProgramLauncher, TheEditorFindsTheStartOfASelectionTooLongForTheSharedArea)
{
    const std::wstring program = SystemProgram(L"hostname.exe");
    ASSERT_TRUE(WriteSharedSettingsArea(VK_RETURN, MOD_CONTROL | MOD_ALT, false, L"an older selection"));
    const std::wstring selected = L"the new selection " + std::wstring(3000, L'<');
    CKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    NotifyWindow window;
    ASSERT_TRUE(StartEditorThreadFor(program.c_str(), stop.Get(), window.Get(), kEditorNotify, false, false,
                                     selected.c_str()));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !window.states.empty(); }, 10000));
    ::SetEvent(stop.Get());
    const std::wstring found(GetSelectedTextFromMainProgram());
    ASSERT_FALSE(found.empty()) << "the editor is started to add the selection";
    EXPECT_EQ(found.back(), kSelectionCutMark);
    EXPECT_EQ(selected.compare(0, found.size() - 1, found, 0, found.size() - 1), 0)
        << testing::PrintToString(found);
    CloseSharedSettingsArea();
}

TEST(ProgramLauncher, WaiterGetsItsSwitchesAfterTheQuotedProgramPath)
{
    scvtest::TempFolder folder;
    const std::wstring record = folder.PathOf(L"record.txt");
    const std::wstring self = scvtest::SelfPath();
    const CString switches = L" --scv-child=record_command_line \"" + CString(record.c_str()) + L"\"" +
                             BuildWaiterCommandLine(4242, L"", false);
    ASSERT_TRUE(StartWaiterAt(self.c_str(), switches));
    ASSERT_TRUE(scvtest::WaitUntil([&] { return scvtest::FileExists(record); }, 20000));
    std::wstring text;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] {
            text = scvtest::ReadFileText(record).value_or(L"");
            return text.find(L'\n') != std::wstring::npos;
        },
        5000));
    const std::wstring commandLine = text.substr(0, text.find(L'\n'));
    const std::wstring currentFolder = text.substr(text.find(L'\n') + 1);
    EXPECT_EQ(commandLine, L"\"" + self + L"\"" + std::wstring(switches));
    EXPECT_EQ(commandLine.substr(commandLine.size() - 9), L" /pid4242");
    EXPECT_EQ(currentFolder, scvtest::ParentFolder(self));
}

// The About dialog as a real modeless dialog from its resource: the report
// comes after the timer, rows cannot be selected, Copy hands over the report
// text, "Check For Updates" posts its command to the main window.
// test-sources: ../../resources/AboutDialog.rc
// test-locks: desktop
#include "online/AboutReportDlg.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

struct DialogFixture
{
    HWND main =
        ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CString copied;
    int copies = 0;
    CAboutReportDlg dialog{Services()};

    CAboutDialogServices Services()
    {
        CAboutDialogServices services;
        services.mainWindow = main;
        services.title = L"About Scrivolanter";
        services.versionLine = L"Scrivolanter 6.0";
        services.collectInputs = [] {
            SystemReportInputs inputs;
            inputs.versionText = L"6.0";
            inputs.logMessages = {L"Started", L"ERROR: [x]"};
            return inputs;
        };
        services.copyText = [this](const CString& text) {
            copied = text;
            ++copies;
            return true;
        };
        return services;
    }
    ~DialogFixture()
    {
        if (dialog.m_hWnd)
            ::DestroyWindow(dialog.m_hWnd);
        ::DestroyWindow(main);
    }
};
} // namespace

TEST(AboutReportDlgTests, ReportArrivesAfterTheTimerAndRowsAreNeverSelected)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    EXPECT_EQ(CAboutReportDlg::GetOpenAboutDialog(), f.dialog.m_hWnd);
    HWND list = ::GetDlgItem(f.dialog.m_hWnd, IDC_ABOUT_REPORT);
    EXPECT_FALSE(f.dialog.ReportBuilt());
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return f.dialog.ReportBuilt(); }, 5000));
    EXPECT_EQ(ListView_GetItemCount(list), static_cast<int>(f.dialog.Report().Rows().size()));
    wchar_t caption[64] = {};
    ::GetWindowTextW(f.dialog.m_hWnd, caption, 64);
    EXPECT_STREQ(caption, L"About Scrivolanter");

    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(ListView_GetSelectedCount(list), 0u);

    wchar_t name[64] = {};
    ListView_GetItemText(list, 0, 0, name, 64);
    EXPECT_STREQ(name, L"Version:");

    ::DestroyWindow(f.dialog.m_hWnd);
    EXPECT_EQ(CAboutReportDlg::GetOpenAboutDialog(), nullptr);
}

TEST(AboutReportDlgTests, CopyAndCheckForUpdatesCommands)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    f.dialog.BuildReport();
    ::SendMessageW(f.dialog.m_hWnd, WM_COMMAND, IDC_ABOUT_COPY, 0);
    EXPECT_EQ(f.copies, 1);
    EXPECT_EQ(Text(f.copied), Text(f.dialog.GetReportText()));
    EXPECT_EQ(Text(f.copied).rfind(L"Message #2: ERROR: [x]"), Text(f.copied).size() - 22);
    f.dialog.RunMenuCommand(IDC_ABOUT_COPY);
    EXPECT_EQ(f.copies, 2);

    ::SendMessageW(f.dialog.m_hWnd, WM_COMMAND, IDC_ABOUT_CHECK_UPDATES, 0);
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, f.main, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(message.wParam, 32791u);
}

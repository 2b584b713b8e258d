// The About dialog as a real modeless dialog from its resource: the report
// comes after the timer, rows cannot be selected, Copy hands over the report
// text, "Check For Updates" posts its command to the main window; the title,
// version line, links and the value column as the user sees them.
// test-sources: ../../app/Scrivolanter.rc
// test-locks: desktop
#include "online/AboutReportDlg.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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
        services.aboutMenuText = L"&About Scrivolanter\tCtrl+Alt+F1";
        services.versionText = L"Scrivolanter 6.00 b1";
        services.checkForUpdatesText = L"Look For Updates";
        services.collectInputs = [] {
            SystemReportInputs inputs;
            inputs.versionText = L"Scrivolanter 6.00 b1";
            inputs.programFolder = L"C:\\Users\\someone\\AppData\\Local\\Programs\\Scrivolanter\\program\\"
                                   L"Scrivolanter with a long folder name";
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

TEST(AboutReportDlgTests, InitialisationShowsTitleVersionLineAndLinks)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    auto textOf = [&](int id) {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(f.dialog.m_hWnd, id, text, 256);
        return std::wstring(text);
    };
    wchar_t caption[64] = {};
    ::GetWindowTextW(f.dialog.m_hWnd, caption, 64);
    EXPECT_STREQ(caption, L"About Scrivolanter") << "accelerator and '&' dropped";
    EXPECT_NE(::SendMessageW(f.dialog.m_hWnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(f.dialog.m_hWnd, WM_GETICON, ICON_SMALL, 0), 0);

    // The name stands once: the short version text holds it.
    const std::wstring version = textOf(IDC_ABOUT_VERSION);
    EXPECT_EQ(version.rfind(L"Scrivolanter 6.00 b1\r\nReleased: ", 0), 0u) << version;
    EXPECT_EQ(version.find(L"Scrivolanter Scrivolanter"), std::wstring::npos) << version;
    EXPECT_EQ(textOf(IDC_ABOUT_CHECK_UPDATES), L"Look For Updates");
    EXPECT_EQ(textOf(IDC_ABOUT_COPY), L"Copy");

    for (const auto& [id, tip] : {std::pair<int, const wchar_t*>{IDC_ABOUT_HOME_PAGE, L"Official Web Site"},
                                  {IDC_ABOUT_BUG_REPORT_FAQ, L"How to bug report"}}) {
        HWND link = ::GetDlgItem(f.dialog.m_hWnd, id);
        LOGFONTW font{};
        ASSERT_NE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)), sizeof(font),
                               &font),
                  0);
        EXPECT_GE(font.lfWeight, FW_BOLD) << id;
        EXPECT_EQ(Text(f.dialog.LinkTip(id)), tip) << id;
        // A hand over the link.
        EXPECT_EQ(::SendMessageW(f.dialog.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    }
}

TEST(AboutReportDlgTests, ValueColumnFillsTheClientWidthAndHoldsTheLongestValue)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    f.dialog.BuildReport();
    HWND list = ::GetDlgItem(f.dialog.m_hWnd, IDC_ABOUT_REPORT);
    RECT client{};
    ::GetClientRect(list, &client);
    const int nameWidth = ListView_GetColumnWidth(list, 0);
    const int valueWidth = ListView_GetColumnWidth(list, 1);
    EXPECT_GE(nameWidth + valueWidth, client.right);
    int widest = 0;
    for (const ReportRow& row : f.dialog.Report().Rows()) {
        if (row.kind != ReportRowHeader)
            widest = (std::max)(widest, ListView_GetStringWidth(list, row.value));
    }
    EXPECT_GT(valueWidth, widest) << "the longest value (the program folder) is not cut";
}

TEST(AboutReportDlgTests, TheListRepaintsItselfWholeAfterAHorizontalScroll)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    f.dialog.BuildReport();
    HWND list = ::GetDlgItem(f.dialog.m_hWnd, IDC_ABOUT_REPORT);
    ::ShowWindow(f.dialog.m_hWnd, SW_SHOWNA);
    ::UpdateWindow(list);
    ::ValidateRect(list, nullptr);
    ::SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    RECT client{};
    ::GetClientRect(list, &client);
    RECT invalid{};
    ASSERT_TRUE(::GetUpdateRect(list, &invalid, FALSE)) << "the scroll left the list to repaint";
    EXPECT_TRUE(::EqualRect(&invalid, &client)) << invalid.left << "," << invalid.top << " " << invalid.right
                                                << "," << invalid.bottom;
}

TEST(AboutReportDlgTests, ChoosingASectionBringsItsHeaderToTheTopOfTheList)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    f.dialog.BuildReport();
    HWND list = ::GetDlgItem(f.dialog.m_hWnd, IDC_ABOUT_REPORT);
    const std::vector<int> headers = f.dialog.Report().HeaderRows();
    ASSERT_GE(headers.size(), 2u);
    const int perPage = ListView_GetCountPerPage(list);
    const int rows = ListView_GetItemCount(list);
    // A header with a page of rows below it comes to the top, not just into view at the bottom.
    int header = -1;
    for (int row : headers)
        if (row > perPage && row + perPage <= rows)
            header = row;
    ASSERT_GE(header, 0) << "the report is long enough";
    f.dialog.RunMenuCommand(CAboutReportDlg::kFirstSectionItem + header);
    EXPECT_EQ(ListView_GetTopIndex(list), header);
}

namespace
{
bool g_copyMenuSeen = false;

// Closes a pop-up menu that is open on this thread.
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (menu && ::IsWindowVisible(menu)) {
        g_copyMenuSeen = true;
        ::EndMenu();
    }
}

void ClickAt(HWND button, POINT point)
{
    POINT screen = point;
    ::ClientToScreen(button, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}
} // namespace

TEST(AboutReportDlgTests, TheCopyButtonsArrowOpensItsMenuAndTheRestCopies)
{
    DialogFixture f;
    ASSERT_NE(f.dialog.Create(nullptr), nullptr);
    f.dialog.BuildReport();
    // On screen, so that the cursor can be put on the button.
    ::SetWindowPos(f.dialog.m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(f.dialog.m_hWnd, SW_SHOWNA);
    HWND button = ::GetDlgItem(f.dialog.m_hWnd, IDC_ABOUT_COPY);
    ::UpdateWindow(f.dialog.m_hWnd); // the button has drawn its arrow, as before any user's click
    scvtest::PumpFor(100);
    RECT client{};
    ::GetClientRect(button, &client);
    g_copyMenuSeen = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseOpenMenu);
    ClickAt(button, POINT{client.right - 6, client.bottom / 2});
    scvtest::PumpFor(200);
    EXPECT_TRUE(g_copyMenuSeen) << "the arrow opens the menu";
    EXPECT_EQ(f.copies, 0);
    g_copyMenuSeen = false;
    ClickAt(button, POINT{8, client.bottom / 2});
    scvtest::PumpFor(200);
    EXPECT_FALSE(g_copyMenuSeen);
    EXPECT_EQ(f.copies, 1) << "the button's text part copies the report";
    ::KillTimer(nullptr, timer);
}

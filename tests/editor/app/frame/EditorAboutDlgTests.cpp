// test-locks: desktop
// test-sources: ../../../../editor/app/frame/ScrivolanterEditor.rc
// The editor's About box, shown modally from its resource as the Help menu shows it, with a user on
// another thread: the Home Page label is a link, and a click on its text opens the home page.

#include "editor/app/frame/EditorAboutDlg.h"
#include "online/CSCVUrl.h"

#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(EditorAboutDlgTest, HomePageLabelIsALinkThatOpensTheHomePage)
{
    std::vector<std::wstring> opened;
    CEditorAboutDlg::SetLinkOpener([&opened](HWND, const CString& target) {
        opened.push_back(target.GetString());
        return true;
    });
    std::wstring label;
    LRESULT hitOverText = HTNOWHERE;
    LRESULT hitBesideText = HTNOWHERE;
    std::thread user([&] {
        HWND dialog = scvtest::WaitForDialog(L"About Scrivolanter Editor", 10000);
        if (!dialog)
            return;
        HWND link = ::GetDlgItem(dialog, IDC_EDITOR_ABOUT_LINK);
        label = scvtest::WindowCaption(link);
        RECT client = {};
        ::GetClientRect(link, &client);
        POINT overText = {2, client.bottom / 2};
        POINT besideText = {client.right - 2, client.bottom / 2};
        ::ClientToScreen(link, &overText);
        ::ClientToScreen(link, &besideText);
        hitOverText = ::SendMessageW(link, WM_NCHITTEST, 0, MAKELPARAM(overText.x, overText.y));
        hitBesideText = ::SendMessageW(link, WM_NCHITTEST, 0, MAKELPARAM(besideText.x, besideText.y));
        ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, client.bottom / 2));
        scvtest::PressDialogButton(dialog, IDOK);
    });
    CEditorAboutDlg about;
    const INT_PTR result = about.DoModal(nullptr);
    user.join();
    CEditorAboutDlg::SetLinkOpener(nullptr);

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"Home Page", label);
    EXPECT_EQ(HTCLIENT, hitOverText) << "the text takes the click";
    EXPECT_EQ(HTTRANSPARENT, hitBesideText) << "the empty rest of the label does not";
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(std::wstring(CSCVUrl::HomePageUrl().GetString()), opened[0]);
}

// test-sources: ../../../app/Scrivolanter.rc
// The save dialog's hook: at WM_INITDIALOG the dialog (the parent of the
// hook's window) gets its own task-bar entry and the program icon the
// dialog record names.

#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include "menus/floatpane/FloatPaneSaveDialogHook.h"

TEST(FloatPaneSaveDialogHook, InitDialogGivesTheDialogATaskBarEntryAndTheProgramIcon)
{
    HWND dialog = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"save", WS_POPUP, 0, 0, 50, 50, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    HWND hookWindow = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, dialog, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hookWindow, nullptr);
    EXPECT_EQ(FloatPaneSaveDialogHook(hookWindow, WM_SIZE, 0, 0), 0u);
    EXPECT_EQ(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "only WM_INITDIALOG acts";

    for (UINT iconId : {kPaneIconNormal, kPaneIconElevated}) {
        ::SendMessageW(dialog, WM_SETICON, ICON_BIG, 0);
        ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
        OPENFILENAMEW record = {};
        record.lStructSize = sizeof(record);
        record.lCustData = iconId;
        EXPECT_EQ(FloatPaneSaveDialogHook(hookWindow, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&record)),
                  0u);
        EXPECT_NE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
        EXPECT_NE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << "the rest stays";
        const auto big = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
        const auto smallIcon = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(big, ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                    ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CXICON), LR_SHARED))
            << iconId;
        EXPECT_NE(smallIcon, nullptr) << iconId;
    }
    ::DestroyWindow(dialog);
}

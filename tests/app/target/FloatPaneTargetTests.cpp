// test-locks: desktop clipboard appevents
// test-run-serial
// test-sources: QueryTestOwner.cpp
// test-depends: ScrivolanterHookDll
// Copying a history item into the window the user worked in, end to end: the
// core hook DLL names the other process's window, the pane puts the item on
// the clipboard, activates that window and pastes with Ctrl+V.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/menus/floatpane/PaneTestRig.h"
#include "tests/app/FolderSettings.h"
#include "tests/app/target/QueryTestOwner.h"
#include "app/target/CSCVDLLService.h"
#include "app/history/FloatPaneAppHost.h"
#include "platform/interchange/InterchangeArea.h"
#include "menus/floatpane/SCVFloatPane.h"
#include "support/ChildMain.h"
#include "support/MessagePump.h"

namespace
{
constexpr wchar_t kTargetClass[] = L"ScvTestPaneTarget";

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    if (message == WM_SETFOCUS) {
        // as an editor does: the focus goes on to its text field
        if (HWND edit = FindWindowExW(window, nullptr, L"Edit", nullptr)) {
            SetFocus(edit);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring EditText(HWND top)
{
    HWND edit = FindWindowExW(top, nullptr, L"Edit", nullptr);
    wchar_t text[256] = {};
    if (edit)
        SendMessageTimeoutW(edit, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
    return text;
}
} // namespace

// Child: a top-level window with an empty, focused edit control. Argument: the title.
SCV_CHILD_MAIN(pane_target)
{
    if (args.empty())
        return 2;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTargetClass;
    RegisterClassW(&windowClass);
    HWND top = CreateWindowExW(0, kTargetClass, args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                               400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 380, 150, top,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!top || !edit)
        return 3;
    SetForegroundWindow(top);
    SetFocus(edit);
    SetTimer(top, 1, 60000, nullptr); // ends a child the test forgot
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == top)
            DestroyWindow(top);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

TEST(FloatPaneTarget, CopiesTheItemIntoTheOtherProgramsWindow)
{
    scvtest::UseFolderSettings();
    GetSettings().SoundOnEventsV094 = 0;
    // The interchange objects under their real names, as the DLL is told.
    scvtest::QueryThreadRig rig(InterchangeArea::kDataNeededEventName,
                                InterchangeArea::kDataCompletedEventName, InterchangeArea::kMappingName);
    ASSERT_TRUE(rig.Start());
    const UINT request = RegisterWindowMessageW(L"ScvTest pane target request");
    CSCVDLLService service(request, scvtest::ProgramPath(L"Scrivolanter.dll").c_str());
    int code = -1;
    ASSERT_NE(service.InstallDLLService(rig.owner.Handle(), request, rig.objects.GetDataNeededName(),
                                        rig.objects.GetDataCompletedName(), rig.objects.GetMappingName(),
                                        false, code, 0),
              0)
        << CSCVDLLService::InstallResultText(code).GetString();

    const std::wstring title = L"Pane target " + std::to_wstring(GetCurrentProcessId());
    scvtest::ChildProcess child = scvtest::LaunchSelf(L"pane_target", {title});
    ASSERT_TRUE(child.Started());
    HWND top = nullptr;
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] {
            top = FindWindowW(kTargetClass, title.c_str());
            return top && GetForegroundWindow() == top;
        },
        15000));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return service.GetTargetWindowOther() == top; }, 5000));

    scvtest::TestPaneHistory history;
    history.AddText(L"older item");
    history.AddText(L"pasted from the pane");
    CFloatPaneAppHost host(&service);
    CSCVFloatPane pane(&host);
    ASSERT_TRUE(pane.Create(&history, TRUE, FALSE));
    scvtest::PumpFor(100);
    SetForegroundWindow(pane.m_hWnd);
    scvtest::PumpFor(100);

    ASSERT_TRUE(pane.CopyRowToTarget(0));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return GetForegroundWindow() == top; }, 5000));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return EditText(top) == L"pasted from the pane"; }, 10000))
        << "the edit holds: " << testing::PrintToString(EditText(top));

    pane.DestroyWindow();
    PostMessageW(top, WM_CLOSE, 0, 0);
    child.Wait(5000);
    service.Uninstall();
}

// test-locks: desktop appevents
// test-sources: QueryTestOwner.cpp
// test-depends: ScrivolanterHookDll
// The whole road with the core hook DLL: the service installs it, a second
// process holds the target window, the DLL's code there describes it into the
// interchange area and the query thread hands the query to its owner.
#include "tests/app/target/QueryTestOwner.h"

#include "app/target/CSCVDLLService.h"
#include "platform/interchange/InterchangeArea.h"
#include "support/ChildMain.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <string>

namespace
{
constexpr wchar_t kTargetClass[] = L"ScvTestHookTarget";
constexpr wchar_t kTargetRequestName[] = L"{FC970502-EECA-4c50-AF80-CF39EA345E99";

struct TargetCase
{
    const wchar_t* kind; // "edit", "password" or "richedit"
    const wchar_t* text; // the control's text
    int selectionStart;
    int selectionEnd;        // -1: to the end
    const wchar_t* expected; // the query's SelText
    int expectedState;
};

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

// Child: a top-level window whose focused control holds a selection.
// Arguments: kind, window title, text, selection start, selection end.
SCV_CHILD_MAIN(hook_target)
{
    if (args.size() < 5)
        return 2;
    const std::wstring& kind = args[0];
    LoadLibraryW(L"riched20.dll");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTargetClass;
    RegisterClassW(&windowClass);
    HWND top = CreateWindowExW(0, kTargetClass, args[1].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60,
                               400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE;
    if (kind == L"password")
        style = WS_CHILD | WS_VISIBLE | ES_PASSWORD;
    HWND control = CreateWindowExW(0, kind == L"richedit" ? L"RichEdit20W" : L"EDIT", L"", style, 0, 0, 380,
                                   150, top, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!top || !control)
        return 3;
    SetWindowTextW(control, args[2].c_str());
    SetForegroundWindow(top);
    SetFocus(control);
    CHARRANGE range = {std::stoi(args[3]), std::stoi(args[4])};
    SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(control, EM_SETSEL, range.cpMin, range.cpMax);
    SetTimer(top, 1, 60000, nullptr); // ends a child the test forgot
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER)
            DestroyWindow(top);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

class CoreHookDll : public ::testing::Test
{
protected:
    // Runs one target process and checks the query its hook wrote.
    void RunTarget(const TargetCase& c)
    {
        // The interchange objects under their real names, as the DLL is told.
        scvtest::QueryThreadRig rig(InterchangeArea::kDataNeededEventName,
                                    InterchangeArea::kDataCompletedEventName, InterchangeArea::kMappingName);
        ASSERT_TRUE(rig.Start());
        const CSCV_Wait_Objs& objects = rig.objects;
        const scvtest::QueryOwnerWindow& owner = rig.owner;

        const UINT request = RegisterWindowMessageW(kTargetRequestName);
        CSCVDLLService service(request, scvtest::ProgramPath(L"Scrivolanter.dll").c_str());
        int code = -1;
        ASSERT_NE(service.InstallDLLService(owner.Handle(), request, objects.GetDataNeededName(),
                                            objects.GetDataCompletedName(), objects.GetMappingName(), false,
                                            code, 0),
                  0)
            << CSCVDLLService::InstallResultText(code).GetString();
        EXPECT_EQ(code, kSVInstallSuccess);

        const std::wstring title = scvtest::UniqueObjectName(L"Target").GetString();
        scvtest::ChildProcess child =
            scvtest::LaunchSelf(L"hook_target", {c.kind, title, c.text, std::to_wstring(c.selectionStart),
                                                 std::to_wstring(c.selectionEnd)});
        ASSERT_TRUE(child.Started());
        HWND top = nullptr;
        ASSERT_TRUE(scvtest::PumpUntil(
            [&] {
                top = FindWindowW(kTargetClass, title.c_str());
                return top && GetForegroundWindow() == top;
            },
            15000));

        EXPECT_TRUE(scvtest::PumpUntil([&] { return service.GetTargetWindowOther() == top; }, 5000));

        // Posted until the child's hook has been loaded and answers.
        SVQuery query;
        ASSERT_TRUE(scvtest::PumpUntil(
            [&] {
                if (!owner.received.empty())
                    return true;
                EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kTargetRequestPosted);
                scvtest::PumpFor(300);
                return !owner.received.empty();
            },
            15000));
        const SVQuery& received = owner.received[0];
        HWND control = GetWindow(top, GW_CHILD);
        EXPECT_EQ(received.Hwnd, top);
        EXPECT_EQ(received.WindowClassName, CString(kTargetClass));
        EXPECT_EQ(received.AppPath.CompareNoCase(scvtest::SelfPath().c_str()), 0)
            << received.AppPath.GetString();
        EXPECT_EQ(received.ThreadInfo.hwndFocus, control);
        EXPECT_EQ(received.ThreadInfo.hwndActive, top);
        EXPECT_EQ(received.GetLanguageId(), LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0))));
        EXPECT_NE(received.POINT_X, -1);
        EXPECT_EQ(received.SelText, CString(c.expected));
        EXPECT_EQ(received.StateSelText, c.expectedState);

        EXPECT_TRUE(service.Uninstall());
        PostMessageW(top, WM_CLOSE, 0, 0);
        EXPECT_EQ(child.Wait(10000), std::optional<DWORD>(0));
        EXPECT_TRUE(rig.thread.StopWaitThread());
    }
};

TEST_F(CoreHookDll, DescribesAnEditSelectionInAnotherProcess)
{
    RunTarget({L"edit", L"alpha beta gamma", 6, 10, L"beta", kSelTextStateExtracted});
    RunTarget({L"edit", L"say \"<b>&amp;</b>\" \u00FCber \u20AC\r\nnext line", 0, -1,
               L"say \"<b>&amp;</b>\" \u00FCber \u20AC\r\nnext line", kSelTextStateExtracted});
}

TEST_F(CoreHookDll, DescribesARichEditSelectionAndKeepsPasswordsOut)
{
    RunTarget({L"richedit", L"one\rtwo <&> \u00FC", 0, -1, L"one\r\ntwo <&> \u00FC", kSelTextStateExtracted});
    RunTarget({L"password", L"secret", 0, -1, L"", kSelTextStateNone});
}

TEST_F(CoreHookDll, RefusesNamesOfObjectsThatDoNotExist)
{
    scvtest::QueryOwnerWindow owner;
    const UINT request = RegisterWindowMessageW(kTargetRequestName);
    const CString path = scvtest::ProgramPath(L"Scrivolanter.dll").c_str();
    CSCVDLLService service(request, path);
    int code = -1;
    EXPECT_EQ(service.InstallDLLService(owner.Handle(), request, scvtest::UniqueObjectName(L"Needed"),
                                        scvtest::UniqueObjectName(L"Completed"),
                                        scvtest::UniqueObjectName(L"Area"), false, code, 0),
              0);
    EXPECT_EQ(code, kSVInstallInvalidNames);
    EXPECT_FALSE(service.IsInstalled());
    EXPECT_EQ(GetModuleHandleW(path), nullptr);
}

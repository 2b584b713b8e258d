// test-locks: clipboard desktop
// test-sources: QueryTestOwner.cpp
// test-depends: fake_core_v2
#include "tests/app/target/QueryTestOwner.h"

#include "app/target/CSCVDLLService.h"
#include "app/target/CopySelectionByCtrlC.h"
#include "platform/interchange/InterchangeArea.h"
#include "support/ClipboardFill.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

using scvtest::PumpFor;
using scvtest::PumpUntil;

namespace
{
// A top-level edit control in the foreground with "beta" selected.
class SelectedEdit
{
public:
    SelectedEdit()
    {
        window = CreateWindowExW(0, L"EDIT", L"alpha beta gamma", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 300, 80, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
        SendMessageW(window, EM_SETSEL, 6, 10);
        scvtest::PumpFor(100);
    }
    ~SelectedEdit() { DestroyWindow(window); }
    HWND window = nullptr;
};

std::string QueryFor(HWND window, int state)
{
    return "<SVQuery><HWND>" + std::to_string(DocumentValueOfHandle(window)) +
           "</HWND><SelText StateSelText=\"" + std::to_string(state) + "\"></SelText></SVQuery>";
}

class LocalFillService : public CSCVDLLService
{
public:
    using CSCVDLLService::CSCVDLLService;

protected:
    bool FillsQueryLocally() const override { return true; }
};
} // namespace

TEST(SelectionCopy, TheQueryThreadCopiesWhatTheDllCouldNotRead)
{
    SelectedEdit edit;
    ASSERT_NE(edit.window, nullptr);
    scvtest::QueryThreadRig rig;
    ASSERT_TRUE(rig.Start());

    // State 0: nothing to copy, the clipboard is left alone.
    ASSERT_TRUE(scvtest::SetClipboardText(L"user's clipboard"));
    ASSERT_TRUE(rig.PostQuery(QueryFor(edit.window, kSelTextStateNone)));
    ASSERT_TRUE(PumpUntil([&] { return rig.owner.received.size() == 1; }, 10000));
    EXPECT_TRUE(rig.owner.received[0].SelText.IsEmpty());
    EXPECT_STREQ(ReadClipboardTextForQuery(), L"user's clipboard");

    // State 1 with no text: the program's own copy.
    ASSERT_TRUE(rig.PostQuery(QueryFor(edit.window, kSelTextStateFailed)));
    ASSERT_TRUE(PumpUntil([&] { return rig.owner.received.size() == 2; }, 10000));
    EXPECT_STREQ(rig.owner.received[1].SelText, L"beta");
    EXPECT_EQ(rig.owner.received[1].StateSelText, kSelTextStateExtracted);
}

TEST(SelectionCopy, TheLocalRoadFillsTheQueryWithoutAHook)
{
    SelectedEdit edit;
    ASSERT_NE(edit.window, nullptr);
    ASSERT_TRUE(scvtest::SetClipboardText(L"stale"));
    std::wstring dll = scvtest::SelfPath();
    dll.resize(dll.find_last_of(L'\\') + 1);
    LocalFillService service(RegisterWindowMessageW(L"ScvTest target request"),
                             (dll + L"fake_core_v2.dll").c_str());
    int code = -1;
    ASSERT_NE(service.InstallDLLService(nullptr, RegisterWindowMessageW(L"ScvTest target request"), L"a",
                                        L"b", L"c", false, code, 0),
              0);
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_TARGET",
                            std::to_wstring(reinterpret_cast<UINT_PTR>(edit.window)).c_str());

    SVQuery query;
    EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kQueryFilledLocally);
    EXPECT_EQ(query.Hwnd, edit.window);
    EXPECT_STREQ(query.SelText, L"beta");
    EXPECT_EQ(query.StateSelText, kSelTextStateExtracted);
    EXPECT_EQ(query.AppPath.CompareNoCase(scvtest::SelfPath().c_str()), 0);
    EXPECT_EQ(query.WindowClassName.CompareNoCase(L"Edit"), 0);
    EXPECT_EQ(query.Hkl, GetKeyboardLayout(0));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, edit.window, RegisterWindowMessageW(L"ScvTest target request"),
                              RegisterWindowMessageW(L"ScvTest target request"), PM_REMOVE))
        << "nothing is posted on the local road";
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_TARGET", nullptr);
}

namespace
{
// What the EDIT saw when the copy's C key arrived.
struct KeyStateAtC
{
    bool seen = false;
    bool control = false;
    bool alt = false;
};
KeyStateAtC s_stateAtC;
WNDPROC s_editProc = nullptr;

LRESULT CALLBACK RecordingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam == 'C' && !s_stateAtC.seen) {
        s_stateAtC.seen = true;
        s_stateAtC.control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        s_stateAtC.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    }
    return CallWindowProcW(s_editProc, window, message, wParam, lParam);
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys)
{
    for (const auto& [key, up] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &input, sizeof(INPUT));
    }
}

bool IsHeld(int key)
{
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}
} // namespace

// The copy runs while the user still holds the hot key's Ctrl and Alt: they are released first, so
// the target sees a plain Ctrl+C and nothing is typed over the selection.
TEST(SelectionCopy, HeldHotKeyModifiersAreReleasedBeforeTheCopy)
{
    SelectedEdit edit;
    ASSERT_NE(edit.window, nullptr);
    s_stateAtC = {};
    s_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));
    ASSERT_TRUE(scvtest::SetClipboardText(L"user's clipboard"));
    // Ctrl+Alt+Enter pressed, Enter let go, Ctrl and Alt still held (Enter keeps Alt from
    // opening the window's menu when it goes up).
    SendKeys({{VK_CONTROL, false}, {VK_MENU, false}, {VK_RETURN, false}, {VK_RETURN, true}});
    const bool held = PumpUntil([] { return IsHeld(VK_CONTROL) && IsHeld(VK_MENU); }, 3000);
    if (held) {
        CString copied;
        EXPECT_TRUE(CopySelectionByCtrlC(edit.window, copied));
        EXPECT_STREQ(copied, L"beta");
        PumpUntil([] { return s_stateAtC.seen; }, 5000);
        EXPECT_TRUE(s_stateAtC.seen) << "the Ctrl+C did not reach the EDIT";
        EXPECT_TRUE(s_stateAtC.control);
        EXPECT_FALSE(s_stateAtC.alt) << "the EDIT saw Ctrl+Alt+C";
        EXPECT_FALSE(IsHeld(VK_MENU));
        EXPECT_FALSE(IsHeld(VK_CONTROL));
        PumpFor(100);
        wchar_t text[64] = {};
        GetWindowTextW(edit.window, text, ARRAYSIZE(text));
        EXPECT_STREQ(text, L"alpha beta gamma") << "something was typed over the selection";
    }
    // Whatever happened, no key stays down for the next test.
    SendKeys({{VK_MENU, true}, {VK_CONTROL, true}});
    PumpFor(50);
    SetWindowLongPtrW(edit.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_editProc));
    ASSERT_TRUE(held) << "the held keys did not register";
}

// An ANSI-only clipboard is read too.
TEST(SelectionCopy, AnAnsiOnlyClipboardIsRead)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL ansi = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(ansi), "ansi!", 6);
    GlobalUnlock(ansi);
    SetClipboardData(CF_TEXT, ansi);
    CloseClipboard();
    EXPECT_STREQ(ReadClipboardTextForQuery(), L"ansi!");
}

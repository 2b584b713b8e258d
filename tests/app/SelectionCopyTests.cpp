// test-locks: clipboard desktop
// test-sources: QueryTestOwner.cpp
// test-depends: fake_core_v2
#include "QueryTestOwner.h"

#include "app/CSCVDLLService.h"
#include "app/CopySelectionByCtrlC.h"
#include "app/InterchangeArea.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using scvtest::PumpUntil;

namespace
{
bool PutTextOnClipboard(const wchar_t* text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return set;
}

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
    ASSERT_TRUE(PutTextOnClipboard(L"user's clipboard"));
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
    ASSERT_TRUE(PutTextOnClipboard(L"stale"));
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

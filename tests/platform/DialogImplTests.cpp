// test-locks: desktop
// test-sources: PlatformTests.rc
#include "platform/CAppModule.h"
#include "platform/CDialogImpl.h"
#include "platform/CMessageLoop.h"
#include "FailSafeTimer.h"
#include "PlatformTestsResource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

constexpr UINT kStep = WM_APP + 1;
constexpr UINT kAsk = WM_APP + 7;

class TestDialog : public CDialogImpl<TestDialog>
{
public:
    enum
    {
        IDD = IDD_TEST_DIALOG
    };

    Log log;
    LPARAM initParam = 0;
    LRESULT answerSeenInInit = 0;
    bool quitAtEnd = false;
    int finals = 0;

    BEGIN_MSG_MAP(TestDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(kStep, OnStep)
    MESSAGE_HANDLER(kAsk, OnAsk)
    COMMAND_HANDLER(IDC_TEST_BUTTON, BN_CLICKED, OnButton)
    COMMAND_ID_HANDLER(IDOK, OnOK)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        log.push_back("init");
        initParam = lParam;
        answerSeenInInit = SendMessage(kAsk); // a handled message answers through DWLP_MSGRESULT
        if (IsModal())
            PostMessage(kStep, 1);
        return TRUE;
    }
    LRESULT OnStep(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        log.push_back("step" + std::to_string(wParam));
        // as a click on the button would
        PostMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(IDC_TEST_BUTTON).m_hWnd));
        return 0;
    }
    LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
    LRESULT OnButton(WORD, WORD, HWND hWndCtl, BOOL&)
    {
        log.push_back(hWndCtl == GetDlgItem(IDC_TEST_BUTTON).m_hWnd ? "button" : "button from elsewhere");
        EndDialog(42);
        return 0;
    }
    LRESULT OnOK(WORD, WORD, HWND, BOOL&)
    {
        log.push_back("ok");
        EndDialog(IDOK);
        return 0;
    }
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&)
    {
        log.push_back("cancel");
        EndDialog(IDCANCEL);
        return 0;
    }
    void OnFinalMessage(HWND) override
    {
        ++finals;
        if (quitAtEnd)
            ::PostQuitMessage(3);
    }
};

// Ends whatever dialog the object shows when a test would otherwise hang.
FailSafeTimer EndDialogAfter(TestDialog& dialog, UINT ms)
{
    return FailSafeTimer(ms, [&dialog] {
        if (dialog.m_hWnd)
            dialog.EndDialog(-2);
        else
            ::PostQuitMessage(-2);
    });
}

TEST(ModalDialog, RunsItsMapAndEndsWithTheCodeGivenByAPostedCommand)
{
    TestDialog dialog;
    FailSafeTimer guard = EndDialogAfter(dialog, 10000);
    INT_PTR result = dialog.DoModal(nullptr, 1234);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(result, 42);
    EXPECT_EQ(dialog.initParam, 1234);
    EXPECT_EQ(dialog.answerSeenInInit, 77);
    EXPECT_EQ(dialog.log, (Log{"init", "step1", "button"}));
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(dialog.IsModal());
}

TEST(ModalDialog, MissingTemplateFails)
{
    struct NoTemplate : CDialogImpl<NoTemplate>
    {
        enum
        {
            IDD = 4321
        };
        BEGIN_MSG_MAP(NoTemplate)
        END_MSG_MAP()
    } dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

// A dialog template built in memory: a caption and one push button.
class MemoryTemplate
{
public:
    MemoryTemplate()
    {
        auto* dlg = reinterpret_cast<DLGTEMPLATE*>(m_words);
        dlg->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        dlg->cdit = 1;
        dlg->cx = 100;
        dlg->cy = 40;
        WORD* p = reinterpret_cast<WORD*>(dlg + 1);
        *p++ = 0; // no menu
        *p++ = 0; // default class
        p = Text(p, L"In memory");
        p = Align(p);
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
        item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
        item->x = 5;
        item->y = 5;
        item->cx = 40;
        item->cy = 14;
        item->id = IDC_TEST_BUTTON;
        p = reinterpret_cast<WORD*>(item + 1);
        *p++ = 0xFFFF;
        *p++ = 0x0080; // button class
        p = Text(p, L"Press");
        *p++ = 0; // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words); }

private:
    static WORD* Text(WORD* p, const wchar_t* text)
    {
        size_t n = wcslen(text) + 1;
        std::memcpy(p, text, n * sizeof(wchar_t));
        return p + n;
    }
    static WORD* Align(WORD* p)
    {
        return reinterpret_cast<WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
    }
    alignas(4) WORD m_words[256] = {};
};

TEST(ModalDialog, RunsATemplateBuiltInMemory)
{
    MemoryTemplate tmpl;
    TestDialog dialog;
    FailSafeTimer guard = EndDialogAfter(dialog, 10000);
    EXPECT_EQ(dialog.DoModalIndirect(tmpl.Get(), nullptr, 9), 42);
    EXPECT_EQ(dialog.initParam, 9);
    EXPECT_EQ(dialog.log, (Log{"init", "step1", "button"}));
}

// A message loop registered for this thread for the life of the object.
struct RegisteredLoop
{
    CMessageLoop loop;
    RegisteredLoop() { _Module.AddMessageLoop(&loop); }
    ~RegisteredLoop() { _Module.RemoveMessageLoop(); }
};

TEST(ModelessDialog, KeyboardGoesThroughTheDialogManagerInsideTheLoop)
{
    RegisteredLoop registered;
    TestDialog dialog;
    dialog.quitAtEnd = true;
    ASSERT_NE(dialog.Create(nullptr, 5), nullptr);
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_EQ(dialog.initParam, 5);
    EXPECT_EQ(dialog.answerSeenInInit, 77);

    // Return in the edit control: the dialog manager turns it into the default button's command
    HWND edit = dialog.GetDlgItem(IDC_TEST_EDIT);
    ASSERT_NE(edit, nullptr);
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);

    FailSafeTimer guard = EndDialogAfter(dialog, 10000);
    EXPECT_EQ(registered.loop.Run(), 3); // OnFinalMessage posted the quit code
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(dialog.log, (Log{"init", "ok"}));
    EXPECT_EQ(dialog.finals, 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModelessDialog, WithoutARegisteredLoopKeysReachTheControl)
{
    CMessageLoop unregistered; // not known to the module: the dialog cannot add its filter
    TestDialog dialog;
    ASSERT_NE(dialog.Create(nullptr, 0), nullptr);
    HWND edit = dialog.GetDlgItem(IDC_TEST_EDIT);
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(edit, WM_CHAR, L'z', 1);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); // ends the dialog...
    dialog.quitAtEnd = true;                         // ...and with it the loop
    FailSafeTimer guard = EndDialogAfter(dialog, 10000);
    unregistered.Run();
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(dialog.log, (Log{"init", "cancel"}));
}

TEST(ModelessDialog, ObjectDestroyedFirstLeavesTheDialogInert)
{
    HWND hWnd = nullptr;
    {
        TestDialog dialog;
        hWnd = dialog.Create(nullptr, 0);
        ASSERT_NE(hWnd, nullptr);
        EXPECT_EQ(CDialogImplCore::FromHandle(hWnd), &dialog);
    }
    EXPECT_EQ(CDialogImplCore::FromHandle(hWnd), nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, kAsk, 0, 0), 0); // no map answers any more
    EXPECT_TRUE(::DestroyWindow(hWnd));
}
} // namespace

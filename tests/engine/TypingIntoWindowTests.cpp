// test-locks: desktop clipboard
// Real input into an edit control of the test's own foreground window: typing, the type-or-paste
// choice of the text action, and prompts answered in the quick input dialog, which the test finds
// and closes from a second thread.
#include "common/Settings.h"
#include "engine/ClipboardAccess.h"
#include "engine/QuickInputDialog.h"
#include "engine/SCVAction.h"
#include "engine/SCVActionContext.h"
#include "engine/TypingKeystrokes.h"

#include "support/Dialogs.h"
#include "support/MessagePump.h"

#include "PasteSettingsScope.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <functional>
#include <string>
#include <thread>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

const wchar_t kTargetTitle[] = L"ScvTest typing target";

// A visible top-level frame holding a multi-line edit that has the keyboard focus, run by a user-
// interface thread of its own, as a target in another application would be.
class TargetWindow
{
public:
    explicit TargetWindow(const wchar_t* editClass = L"EDIT") : m_editClass(editClass)
    {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, ready] { Run(ready); });
        WaitForSingleObject(ready, 10000);
        CloseHandle(ready);
        scvtest::PumpFor(30);
    }
    ~TargetWindow()
    {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    HWND Frame() const { return m_frame; }
    HWND Edit() const { return m_edit; }
    DWORD ThreadId() const { return m_threadId; }
    std::wstring Text() const
    {
        wchar_t text[2048] = {};
        GetWindowTextW(m_edit, text, 2048);
        return text;
    }
    // Pumps this thread's messages until the edit holds the text.
    bool WaitForText(const std::wstring& expected, DWORD timeoutMs = 5000) const
    {
        return scvtest::PumpUntil([&] { return Text() == expected; }, timeoutMs);
    }
    DWORD CaretPosition() const
    {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }
    // Another test's window may have taken the foreground since the target was made: take it back.
    bool BringToFront() const
    {
        return scvtest::PumpUntil(
            [&] {
                if (GetForegroundWindow() == m_frame)
                    return true;
                SetForegroundWindow(m_frame);
                return false;
            },
            5000);
    }
    HWND FocusOfItsThread() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(m_threadId, &info) ? info.hwndFocus : nullptr;
    }

private:
    void Run(HANDLE ready)
    {
        m_threadId = GetCurrentThreadId();
        m_frame = CreateWindowExW(0, L"STATIC", kTargetTitle, WS_POPUP | WS_VISIBLE, 40, 40, 400, 200,
                                  nullptr, nullptr, nullptr, nullptr);
        m_edit = CreateWindowExW(0, m_editClass, L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0,
                                 0, 400, 200, m_frame, nullptr, nullptr, nullptr);
        SetForegroundWindow(m_frame);
        SetFocus(m_edit);
        SetEvent(ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DestroyWindow(m_frame);
    }

    const wchar_t* m_editClass;
    std::thread m_thread;
    DWORD m_threadId = 0;
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

// What the closing thread saw of the quick input dialog.
struct DialogSeen
{
    HWND dialog = nullptr;
    std::wstring caption;
    std::wstring editText;
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    RECT rect{};
    bool topmost = false;
};

// Waits on a second thread for the quick input dialog, records it, then runs `answer` on it.
class DialogCloser
{
public:
    explicit DialogCloser(std::function<void(HWND dialog)> answer)
        : m_thread([this, answer] {
              scvtest::WaitUntil(
                  [this] {
                      seen.dialog =
                          scvtest::FindDialogByCaption(L"Scrivolanter", GetCurrentProcessId(), true);
                      return seen.dialog != nullptr;
                  },
                  10000);
              if (seen.dialog == nullptr)
                  return;
              const HWND edit = GetDlgItem(seen.dialog, CQuickInputDialog::IDC_QUICK_INPUT_EDIT);
              seen.caption = scvtest::WindowCaption(seen.dialog);
              wchar_t text[256] = {};
              GetWindowTextW(edit, text, 256);
              seen.editText = text;
              SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selectionStart),
                           reinterpret_cast<LPARAM>(&seen.selectionEnd));
              GetWindowRect(seen.dialog, &seen.rect);
              seen.topmost = (GetWindowLongPtrW(seen.dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
              answer(seen.dialog);
          })
    {}
    ~DialogCloser() { Join(); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

    DialogSeen seen;

private:
    std::thread m_thread;
};

void AnswerWith(HWND dialog, const wchar_t* text)
{
    SendMessageW(GetDlgItem(dialog, CQuickInputDialog::IDC_QUICK_INPUT_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text));
    scvtest::PressDialogButton(dialog, IDOK);
}

class TypingIntoWindowTest : public testing::Test
{
protected:
    PasteSettingsScope pasteSettings;
    TargetWindow target;
};
} // namespace

TEST_F(TypingIntoWindowTest, TypedTextAndCaretStepsReachTheEdit)
{
    const std::wstring text = L"Hello, \x0416orld!\tend";
    ASSERT_TRUE(TypeTextAndMoveCaret(text.c_str(), 3));
    ASSERT_TRUE(target.WaitForText(text)) << target.Text();
    EXPECT_TRUE(scvtest::PumpUntil([&] { return target.CaretPosition() == text.size() - 3; }, 2000))
        << target.CaretPosition();
}

TEST_F(TypingIntoWindowTest, LineBreaksAreTypedOnce)
{
    ASSERT_TRUE(TypeTextAndMoveCaret(L"one\r\ntwo\nthree", 0));
    EXPECT_TRUE(target.WaitForText(L"one\r\ntwo\r\nthree")) << testing::PrintToString(target.Text());
}

TEST_F(TypingIntoWindowTest, NinetyNineCharactersAreTypedAHundredPasted)
{
    GetSettings().TextPasteMethod_v150 = 2;
    GetSettings().PrintLTChars = 100;
    ASSERT_TRUE(PutClipboardUnicodeText(L"users clipboard"));

    const std::wstring typed(99, L't');
    CSCVAction_Text typing(typed.c_str(), 0, 0x0409);
    EXPECT_EQ(typing.Execute(target.Edit()), 1);
    ASSERT_TRUE(target.WaitForText(typed));
    CString clipboard;
    ASSERT_TRUE(GetClipboardUnicodeText(clipboard));
    EXPECT_EQ(W(clipboard), L"users clipboard") << "typing does not use the clipboard";

    const std::wstring pasted(100, L'p');
    CSCVAction_Text pasting(pasted.c_str(), 0, 0x0409);
    EXPECT_EQ(pasting.Execute(target.Edit()), 1);
    EXPECT_TRUE(target.WaitForText(typed + pasted)) << target.Text().size();
    ASSERT_TRUE(GetClipboardUnicodeText(clipboard));
    EXPECT_EQ(W(clipboard), pasted);
}

TEST_F(TypingIntoWindowTest, QuickInputDialogOkGivesTheTypedAnswerAtTheCaret)
{
    ASSERT_TRUE(TypeTextAndMoveCaret(L"caret here", 0));
    ASSERT_TRUE(target.WaitForText(L"caret here"));
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetGUIThreadInfo(target.ThreadId(), &info));
    ASSERT_EQ(info.hwndCaret, target.Edit());
    POINT caret{info.rcCaret.left, info.rcCaret.bottom};
    MapWindowPoints(info.hwndCaret, nullptr, &caret, 1);

    DialogCloser closer([](HWND dialog) { AnswerWith(dialog, L"Alice"); });
    CString answer;
    EXPECT_TRUE(ShowQuickInputDialog(L"name", target.Frame(), answer));
    closer.Join();

    EXPECT_EQ(W(answer), L"Alice");
    ASSERT_NE(closer.seen.dialog, nullptr);
    EXPECT_EQ(closer.seen.caption, std::wstring(L"Scrivolanter - [") + kTargetTitle + L"]");
    EXPECT_EQ(closer.seen.editText, L"name");
    EXPECT_EQ(closer.seen.selectionStart, 0u);
    EXPECT_EQ(closer.seen.selectionEnd, 4u) << "the default text is selected";
    EXPECT_EQ(closer.seen.rect.left, caret.x);
    EXPECT_EQ(closer.seen.rect.top, caret.y);
    EXPECT_TRUE(closer.seen.topmost);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return target.FocusOfItsThread() == target.Frame(); }, 2000))
        << "the focus goes back to the target";
}

TEST_F(TypingIntoWindowTest, QuickInputDialogCancelAndEmptiedLine)
{
    {
        DialogCloser closer([](HWND dialog) { scvtest::PressDialogButton(dialog, IDCANCEL); });
        CString answer = L"stale";
        EXPECT_FALSE(ShowQuickInputDialog(L"name", nullptr, answer));
        closer.Join();
        EXPECT_EQ(W(answer), L"");
        EXPECT_EQ(closer.seen.caption, L"Scrivolanter") << "no target, no title";
    }
    {
        // OK on an emptied line keeps the default text.
        DialogCloser closer([](HWND dialog) { AnswerWith(dialog, L""); });
        CString answer;
        EXPECT_TRUE(ShowQuickInputDialog(L"kept", nullptr, answer));
        closer.Join();
        EXPECT_EQ(W(answer), L"kept");
    }
}

TEST_F(TypingIntoWindowTest, PromptAnswerIsInsertedBetweenThePlainRuns)
{
    GetSettings().TextPasteMethod_v150 = 0;
    CSCVActionContext context(target.Edit(), 0x0409, L"", L"", 0);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"Dear %PROMPT_TEXT={name}%, hi %USER%"));
    ASSERT_EQ(actions.size(), 3u);

    DialogCloser closer([](HWND dialog) { AnswerWith(dialog, L"Bob %CLIPBOARD_TEXT%"); });
    EXPECT_TRUE(context.ExecuteActions(actions));
    closer.Join();
    // The answer is inserted as typed, macros and all.
    EXPECT_TRUE(target.WaitForText(L"Dear Bob %CLIPBOARD_TEXT%, hi %USER%")) << target.Text();
}

TEST_F(TypingIntoWindowTest, CancelledPromptInsertsNothingAndTheRestStillRuns)
{
    GetSettings().TextPasteMethod_v150 = 0;
    CSCVActionContext context(target.Edit(), 0x0409, L"", L"", 0);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"A %PROMPT_TEXT={x}% B"));

    DialogCloser closer([](HWND dialog) { scvtest::PressDialogButton(dialog, IDCANCEL); });
    EXPECT_TRUE(context.ExecuteActions(actions));
    closer.Join();
    EXPECT_TRUE(target.WaitForText(L"A  B")) << target.Text();
}

TEST(PastingRichText, FormattedTextArrivesInARichEditTarget)
{
    LoadLibraryW(L"riched20.dll");
    TargetWindow target(RICHEDIT_CLASSW);
    ASSERT_NE(target.Edit(), nullptr);
    const CString rtf = L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\\plain Hello {\\b bold}}";
    CSCVAction_Rtf action(rtf, 0, 0x0409);
    ASSERT_TRUE(target.BringToFront());
    EXPECT_EQ(action.Execute(target.Edit()), 1);
    // Ctrl+V travels through the input queue: on a busy machine it can take a while.
    ASSERT_TRUE(target.WaitForText(L"Hello bold", 20000)) << testing::PrintToString(target.Text());

    CHARRANGE word{6, 10};
    SendMessageW(target.Edit(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&word));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(target.Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE((format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD)) << "the paste kept the formats";
}

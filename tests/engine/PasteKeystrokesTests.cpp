// test-locks: clipboard desktop
#include "engine/AutoForegroundWindow.h"
#include "engine/ClipboardAccess.h"
#include "engine/PasteKeystrokes.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

namespace
{
// A visible top-level window with a multi-line edit that has the focus.
class TargetWindow
{
public:
    TargetWindow()
    {
        m_frame = ::CreateWindowExW(0, L"STATIC", L"ScvTest paste target", WS_POPUP | WS_VISIBLE, 10, 10, 300,
                                    200, nullptr, nullptr, nullptr, nullptr);
        m_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0,
                                   0, 300, 200, m_frame, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(m_frame);
        ::SetFocus(m_edit);
        scvtest::PumpFor(50);
    }
    ~TargetWindow() { ::DestroyWindow(m_frame); }

    HWND Frame() const { return m_frame; }
    HWND Edit() const { return m_edit; }
    CString Text() const
    {
        wchar_t buffer[256] = {};
        ::GetWindowTextW(m_edit, buffer, 256);
        return CString(buffer);
    }
    DWORD Caret() const
    {
        DWORD start = 0;
        ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    }

private:
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

TEST(PasteKeystrokes, PastesAndStepsBackOverALineBreakAsOneStroke)
{
    TargetWindow target;
    ASSERT_TRUE(target.Edit());
    ASSERT_EQ(::GetForegroundWindow(), target.Frame());
    ASSERT_EQ(::GetFocus(), target.Edit());

    struct Case
    {
        const wchar_t* text;
        unsigned steps;
        DWORD caret;
    };
    for (const Case c : {Case{L"abc", 0, 3}, Case{L"ab\r\ncd", 3, 2}, Case{L"0123456789ab", 11, 1}}) {
        ::SetWindowTextW(target.Edit(), L"");
        ASSERT_TRUE(PutClipboardUnicodeText(c.text));
        PasteAndMoveCaretLeft(c.steps);
        EXPECT_TRUE(
            scvtest::PumpUntil([&] { return target.Text() == c.text && target.Caret() == c.caret; }, 5000))
            << "steps " << c.steps << ", caret " << target.Caret();
    }

    ::SetWindowTextW(target.Edit(), L"");
    ASSERT_TRUE(PutClipboardUnicodeText(L"xyz"));
    EXPECT_TRUE(SendCtrlV(false));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return target.Text() == CString(L"xyz"); }, 5000));
}

TEST(PasteKeystrokes, ForegroundGuardLeavesTheOwnProcessAlone)
{
    TargetWindow own;
    ASSERT_EQ(::GetForegroundWindow(), own.Frame());
    TargetWindow other;
    ::SetForegroundWindow(own.Frame());
    scvtest::PumpFor(20);
    {
        CAutoForegroundWindow guard(other.Frame());
        EXPECT_EQ(::GetForegroundWindow(), own.Frame());
        EXPECT_FALSE(guard.Restore());
    }
    EXPECT_EQ(::GetForegroundWindow(), own.Frame());
}
} // namespace

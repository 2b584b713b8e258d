// test-locks: desktop
#include "common/TimedMessageBox.h"

#include "support/Dialogs.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Drives a box from a second thread while the test's thread runs it.
class BoxDriver
{
public:
    BoxDriver(const std::wstring& caption, std::function<void(HWND)> steps)
        : m_thread([caption, steps] {
              HWND dialog = scvtest::WaitForDialog(caption, 10000, GetCurrentProcessId(), true);
              if (!dialog) {
                  ADD_FAILURE() << "the box did not show up";
                  return;
              }
              steps(dialog);
          })
    {}
    ~BoxDriver() { m_thread.join(); }

private:
    std::thread m_thread;
};

// A box that pops up under the cursor gets mouse moves, which stop its count.
// The display moves the real pointer only for a process that has the focus,
// so a window of ours takes it while the cursor is moved.
void KeepCursorAway()
{
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"cursor", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                                    nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(window);
    scvtest::PumpUntil(
        [] {
            ::SetCursorPos(1, 1);
            scvtest::PumpFor(50);
            POINT p = {};
            ::GetCursorPos(&p);
            return p.x == 1 && p.y == 1;
        },
        3000);
    ::DestroyWindow(window);
    scvtest::PumpFor(50);
}

std::vector<HWND> Children(HWND dialog, const wchar_t* className)
{
    std::vector<HWND> found;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(c, name, 64);
        if (::lstrcmpiW(name, className) == 0)
            found.push_back(c);
    }
    return found;
}

bool IsCheckBox(HWND button)
{
    return (::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

std::vector<HWND> CheckBoxes(HWND dialog)
{
    std::vector<HWND> boxes;
    for (HWND b : Children(dialog, L"Button")) {
        if (IsCheckBox(b))
            boxes.push_back(b);
    }
    return boxes;
}

std::vector<HWND> PushButtons(HWND dialog)
{
    std::vector<HWND> buttons;
    for (HWND b : Children(dialog, L"Button")) {
        if (!IsCheckBox(b) && (::GetWindowLongPtrW(b, GWL_STYLE) & WS_VISIBLE))
            buttons.push_back(b);
    }
    return buttons;
}

HWND TextStatic(HWND dialog)
{
    for (HWND s : Children(dialog, L"Static")) {
        if ((::GetWindowLongPtrW(s, GWL_STYLE) & SS_TYPEMASK) != SS_ICON && ::GetWindowTextLengthW(s) > 0)
            return s;
    }
    return nullptr;
}

HWND IconStatic(HWND dialog)
{
    for (HWND s : Children(dialog, L"Static")) {
        if ((::GetWindowLongPtrW(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return s;
    }
    return nullptr;
}

LONG FontWeight(HWND window)
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW lf = {};
    if (!font || !::GetObjectW(font, sizeof(lf), &lf))
        return 0;
    return lf.lfWeight;
}

RECT RectIn(HWND dialog, HWND child)
{
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring Caption(HWND window)
{
    return scvtest::WindowCaption(window);
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms)
{
    return scvtest::WaitUntil(cond, ms);
}
} // namespace

TEST(TimedMessageBox, RunsOutWithTheCallersResult)
{
    KeepCursorAway();
    std::wstring firstCaption;
    std::atomic<bool> sawCountdown{false};
    DWORD start = 0;
    int result = 0;
    {
        BoxDriver driver(L"Confirm probe", [&](HWND dialog) {
            firstCaption = Caption(dialog);
            sawCountdown = WaitFor([&] { return Caption(dialog) == L"[1] - Confirm probe"; }, 3000);
        });
        start = ::GetTickCount();
        result = ShowTimedConfirm(nullptr, L"Confirm probe", L"Shall we?", MB_OKCANCEL | MB_ICONQUESTION,
                                  2000, 77, true);
    }
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_EQ(result, 77);
    EXPECT_GE(elapsed, 1900u);
    EXPECT_EQ(firstCaption, L"[2] - Confirm probe");
    EXPECT_TRUE(sawCountdown);
}

TEST(TimedMessageBox, PlainTimedBoxesRunOut)
{
    KeepCursorAway();
    EXPECT_EQ(MessageBoxTimeout(nullptr, L"Plain probe", L"Closing by itself", MB_OK, 700),
              kMessageBoxTimedOut);
    EXPECT_EQ(MessageBoxTimeoutOr(nullptr, L"Plain probe", L"Closing by itself", MB_YESNO, 700, IDNO), IDNO);

    int result = 0;
    {
        BoxDriver driver(L"Plain pressed", [](HWND dialog) { scvtest::PressDialogButton(dialog, IDYES); });
        result = MessageBoxTimeout(nullptr, L"Plain pressed", L"Press yes", MB_YESNO, 8000);
    }
    EXPECT_EQ(result, IDYES);
}

TEST(TimedMessageBox, StoppedByTheMouseStaysUntilAButtonIsPressed)
{
    KeepCursorAway();
    bool stopped = false;
    bool iconBlinked = false;
    bool stillOpenAfterTimeout = false;
    int result = 0;
    {
        BoxDriver driver(L"Stop probe", [&](HWND dialog) {
            HWND icon = IconStatic(dialog);
            ::PostMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            stopped = WaitFor([&] { return Caption(dialog).rfind(L"Stopped [", 0) == 0; }, 3000);
            iconBlinked = icon && WaitFor([&] { return !::IsWindowVisible(icon); }, 2000);
            ::Sleep(2000); // well past the time-out
            stillOpenAfterTimeout = ::IsWindow(dialog) && ::IsWindowVisible(dialog);
            scvtest::PressDialogButton(dialog, IDOK);
        });
        result = ShowTimedConfirm(nullptr, L"Stop probe", L"Move over me", MB_OKCANCEL | MB_ICONWARNING, 1500,
                                  77, true);
    }
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(iconBlinked);
    EXPECT_TRUE(stillOpenAfterTimeout);
    EXPECT_EQ(result, IDOK);
}

TEST(TimedMessageBox, WithoutStopOnInteractionTheMouseDoesNotStopIt)
{
    KeepCursorAway();
    std::wstring caption;
    int result = 0;
    {
        BoxDriver driver(L"Nonstop probe", [&](HWND dialog) {
            ::PostMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::Sleep(300);
            caption = Caption(dialog);
        });
        result = ShowTimedConfirm(nullptr, L"Nonstop probe", L"Text", MB_OKCANCEL, 1200, IDCANCEL, false);
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(caption.find(L"Stopped"), std::wstring::npos);
}

TEST(TimedMessageBox, KeyPressStopsTheCount)
{
    KeepCursorAway();
    bool stopped = false;
    bool foregroundOurs = false;
    int result = 0;
    {
        BoxDriver driver(L"Key probe", [&](HWND dialog) {
            HWND foreground = ::GetForegroundWindow();
            foregroundOurs = foreground && ::GetWindowThreadProcessId(foreground, nullptr) ==
                                               ::GetWindowThreadProcessId(dialog, nullptr);
            ::PostMessageW(dialog, WM_KEYDOWN, VK_SHIFT, 0);
            stopped = WaitFor([&] { return Caption(dialog).rfind(L"Stopped [", 0) == 0; }, 1500);
            scvtest::PressDialogButton(dialog, IDCANCEL);
        });
        result = ShowTimedConfirm(nullptr, L"Key probe", L"Press a key", MB_OKCANCEL, 3000, 77, true);
    }
    if (!foregroundOurs)
        GTEST_SKIP() << "the box is not the foreground window here";
    EXPECT_TRUE(stopped);
    EXPECT_EQ(result, IDCANCEL);
}

TEST(TimedMessageBox, CheckBoxesAreLaidOutAndReturnedAfterEsc)
{
    KeepCursorAway();
    std::set<int> checked = {1};
    const std::set<int> disabled = {2};
    int result = 0;
    {
        BoxDriver driver(L"Extras probe", [&](HWND dialog) {
            const std::vector<HWND> boxes = CheckBoxes(dialog);
            ASSERT_EQ(boxes.size(), 3u);
            EXPECT_EQ(scvtest::WindowCaption(boxes[0]), L"First");
            EXPECT_EQ(scvtest::WindowCaption(boxes[1]), L"Second");
            EXPECT_EQ(scvtest::WindowCaption(boxes[2]), L"Third");
            EXPECT_EQ(::SendMessageW(boxes[1], BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(::SendMessageW(boxes[0], BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_FALSE(::IsWindowEnabled(boxes[2]));
            EXPECT_EQ(FontWeight(boxes[1]), FW_BOLD);
            EXPECT_LT(FontWeight(boxes[0]), FW_BOLD);

            // Laid out under the text, above the buttons, inside the box.
            HWND text = TextStatic(dialog);
            ASSERT_NE(text, nullptr);
            const std::vector<HWND> buttons = PushButtons(dialog);
            ASSERT_EQ(buttons.size(), 2u);
            RECT client = {};
            ::GetClientRect(dialog, &client);
            LONG previousBottom = RectIn(dialog, text).bottom;
            for (HWND b : boxes) {
                const RECT r = RectIn(dialog, b);
                EXPECT_GE(r.top, previousBottom);
                EXPECT_LE(r.right, client.right);
                previousBottom = r.bottom;
            }
            for (HWND b : buttons) {
                const RECT r = RectIn(dialog, b);
                EXPECT_GE(r.top, previousBottom);
                EXPECT_LE(r.bottom, client.bottom);
            }
            // The buttons are centred.
            const RECT left = RectIn(dialog, buttons[0]);
            const RECT right = RectIn(dialog, buttons[1]);
            const LONG leftGap = std::min(left.left, right.left);
            const LONG rightGap = client.right - std::max(left.right, right.right);
            EXPECT_LE(std::abs(leftGap - rightGap), 6);

            ::SendMessageW(boxes[0], BM_CLICK, 0, 0);
            EXPECT_EQ(::SendMessageW(boxes[0], BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(FontWeight(boxes[0]), FW_BOLD);
            ::SendMessageW(boxes[1], BM_SETCHECK, BST_UNCHECKED, 0);
            EXPECT_LT(FontWeight(boxes[1]), FW_BOLD);
            ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        result = RunExtendedMessageBox(nullptr, MB_OKCANCEL | MB_ICONINFORMATION, L"Pick some",
                                       L"Extras probe", L"First\nSecond\n\nThird", &checked, &disabled);
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(checked, (std::set<int>{0}));
}

TEST(TimedMessageBox, SingleCheckBoxStateAfterEsc)
{
    KeepCursorAway();
    bool checked = false;
    int result = 0;
    {
        BoxDriver driver(L"Single probe", [](HWND dialog) {
            const std::vector<HWND> boxes = CheckBoxes(dialog);
            ASSERT_EQ(boxes.size(), 1u);
            ::SendMessageW(boxes[0], BM_CLICK, 0, 0);
            ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        result = ShowTimedCheckBoxMessage(nullptr, MB_OKCANCEL, L"Delete them?", L"Single probe",
                                          L"Also protected", &checked);
    }
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(checked);
}

TEST(TimedMessageBox, CheckBoxesComeAfterTheLastButtonInTabOrder)
{
    KeepCursorAway();
    HWND afterLastButton = nullptr;
    HWND firstCheckBox = nullptr;
    {
        BoxDriver driver(L"Tab probe", [&](HWND dialog) {
            std::vector<HWND> buttons;
            for (HWND b : Children(dialog, L"Button")) {
                if (!IsCheckBox(b))
                    buttons.push_back(b);
            }
            const std::vector<HWND> boxes = CheckBoxes(dialog);
            if (!buttons.empty() && !boxes.empty()) {
                afterLastButton = ::GetWindow(buttons.back(), GW_HWNDNEXT);
                firstCheckBox = boxes.front();
            }
            scvtest::PressDialogButton(dialog, IDIGNORE);
        });
        std::set<int> checked;
        EXPECT_EQ(RunExtendedMessageBox(nullptr, MB_ABORTRETRYIGNORE, L"Again?", L"Tab probe", L"Remember",
                                        &checked),
                  IDIGNORE);
    }
    ASSERT_NE(firstCheckBox, nullptr);
    EXPECT_EQ(afterLastButton, firstCheckBox);
}

TEST(TimedMessageBox, ShortTextIsBoldLongerTextIsNot)
{
    KeepCursorAway();
    const std::wstring sixty(60, L'x');
    const std::wstring sixtyOne(61, L'x');
    for (const std::wstring& text : {sixty, sixtyOne}) {
        SCOPED_TRACE(text.size());
        LONG weight = 0;
        {
            BoxDriver driver(L"Weight probe", [&](HWND dialog) {
                HWND textStatic = TextStatic(dialog);
                weight = textStatic ? FontWeight(textStatic) : -1;
                scvtest::PressDialogButton(dialog, IDOK);
            });
            RunExtendedMessageBox(nullptr, MB_OK, text.c_str(), L"Weight probe", nullptr, nullptr);
        }
        if (text.size() == 60)
            EXPECT_EQ(weight, FW_BOLD);
        else
            EXPECT_LT(weight, FW_BOLD);
    }
}

TEST(TimedMessageBox, ButtonTextsAndPosition)
{
    KeepCursorAway();
    const MessageBoxButtonTexts texts = {{IDOK, L"Go on"}, {IDCANCEL, L""}};
    std::wstring okText;
    std::wstring cancelText;
    RECT placed = {};
    {
        BoxDriver driver(L"Place probe", [&](HWND dialog) {
            okText = scvtest::WindowCaption(::GetDlgItem(dialog, IDOK));
            cancelText = scvtest::WindowCaption(::GetDlgItem(dialog, IDCANCEL));
            ::GetWindowRect(dialog, &placed);
            scvtest::PressDialogButton(dialog, IDOK);
        });
        std::set<int> checked;
        EXPECT_EQ(RunExtendedMessageBox(nullptr, MB_OKCANCEL, L"Where am I?", L"Place probe", L"Check",
                                        &checked, nullptr, 30, 40, nullptr, nullptr, &texts),
                  IDOK);
    }
    EXPECT_EQ(okText, L"Go on");
    EXPECT_FALSE(cancelText.empty());
    EXPECT_EQ(placed.left, 30);
    EXPECT_EQ(placed.top, 40);

    {
        BoxDriver driver(L"Clamp probe", [&](HWND dialog) {
            ::GetWindowRect(dialog, &placed);
            scvtest::PressDialogButton(dialog, IDOK);
        });
        RunExtendedMessageBox(nullptr, MB_OK, L"Far away", L"Clamp probe", L"Check", nullptr, nullptr, 50000,
                              50000);
    }
    EXPECT_EQ(placed.right, ::GetSystemMetrics(SM_CXFULLSCREEN));
    EXPECT_EQ(placed.bottom, ::GetSystemMetrics(SM_CYFULLSCREEN));
}

namespace
{
int g_nestedResult = -1;
void CALLBACK AskAgain(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_nestedResult = ShowTimedConfirm(nullptr, L"Nested probe", L"Inner", MB_OK, 1000, 5, false);
}

HICON TestIcon(void* userData)
{
    *static_cast<int*>(userData) += 1;
    return ::LoadIconW(nullptr, IDI_WARNING);
}
} // namespace

TEST(TimedMessageBox, SecondBoxOnTheSameThreadReturnsZeroAndLeavesTheFirstWorking)
{
    KeepCursorAway();
    g_nestedResult = -1;
    std::set<int> checked;
    int iconCalls = 0;
    int result = 0;
    {
        BoxDriver driver(L"Outer probe", [&](HWND dialog) {
            WaitFor([] { return g_nestedResult != -1; }, 3000);
            const std::vector<HWND> boxes = CheckBoxes(dialog);
            if (!boxes.empty())
                ::SendMessageW(boxes[0], BM_CLICK, 0, 0);
            scvtest::PressDialogButton(dialog, IDOK);
        });
        ::SetTimer(nullptr, 0, 200, &AskAgain);
        result = RunExtendedMessageBox(nullptr, MB_OKCANCEL | MB_ICONINFORMATION, L"Outer", L"Outer probe",
                                       L"Keep", &checked, nullptr, -1, -1, &TestIcon, &iconCalls);
    }
    EXPECT_EQ(g_nestedResult, 0);
    EXPECT_EQ(scvtest::FindDialogByCaption(L"Nested probe", GetCurrentProcessId(), true), nullptr);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(checked, (std::set<int>{0}));
    EXPECT_EQ(iconCalls, 1);
}

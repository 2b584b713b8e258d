// test-locks: desktop
// Menu tooltips: where a tip goes beside an item near the screen's edges, the
// half-second delay after which only the newest selection shows, the items
// that show no tip, the notify window's answer, and a tooltip destroyed while
// its delay still runs. Real tooltip windows and real menus; the delay is
// awaited by pumping messages.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/MenuToolTip.h"
#include "support/ImportPatch.h"
#include "support/MessagePump.h"
#include "support/ToolTipWindow.h"

namespace
{

constexpr DWORD kWaitMs = 5000;

// Records which ids the tip asked a text for.
struct TipLog
{
    std::vector<UINT> asked;
};

class RecordingToolTip : public CMenuToolTip
{
public:
    explicit RecordingToolTip(TipLog& log) : CMenuToolTip(false), m_log(log) {}

protected:
    void GetTipText(CString& text, UINT id, HMENU, CString& title) override
    {
        m_log.asked.push_back(id);
        text.Format(L"tip %u", id);
        title = L"title";
    }

private:
    TipLog& m_log;
};

// The title last asked of a tip window (TTM_SETTITLEW: Wine's tooltip gives no title back).
std::mutex g_titleMutex;
std::wstring g_askedTitle;
decltype(&::SendMessageW) g_realSendMessage = nullptr;

LRESULT WINAPI RecordingSendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_SETTITLEW && lParam) {
        std::lock_guard lock(g_titleMutex);
        g_askedTitle = reinterpret_cast<LPCWSTR>(lParam);
    }
    return g_realSendMessage(window, message, wParam, lParam);
}

class MenuToolTipTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sendPatch.Applied());
        g_realSendMessage = m_sendPatch.Original<decltype(&::SendMessageW)>();
        {
            std::lock_guard lock(g_titleMutex);
            g_askedTitle.clear();
        }
        m_owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                    nullptr);
        ASSERT_NE(m_owner, nullptr);
        m_menu = ::CreatePopupMenu();
        for (UINT id : {101u, 102u, 103u})
            ::AppendMenuW(m_menu, MF_STRING, id, L"&Item\tCtrl+I");
        m_tip = std::make_unique<RecordingToolTip>(m_log);
        ASSERT_NE(m_tip->Create(m_owner, L"default", ::GetModuleHandleW(nullptr), TTS_NOPREFIX, nullptr),
                  nullptr);
    }

    void TearDown() override
    {
        m_tip.reset();
        ::DestroyMenu(m_menu);
        ::DestroyWindow(m_owner);
    }

    bool Shows() const { return scvtest::ToolTipShows(m_tip->GetTipWindow()); }
    std::wstring Text() const { return scvtest::ToolTipText(m_tip->GetTipWindow()); }
    std::wstring Title() const
    {
        std::lock_guard lock(g_titleMutex);
        return g_askedTitle;
    }

    bool WaitForDelayThreads() const
    {
        return scvtest::PumpUntil([&] { return m_tip->GetPendingCount() == 0; }, kWaitMs);
    }

    scvtest::ImportPatch m_sendPatch{::GetModuleHandleW(nullptr), "user32.dll", "SendMessageW",
                                     reinterpret_cast<void*>(&RecordingSendMessageW)};
    TipLog m_log;
    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
    std::unique_ptr<RecordingToolTip> m_tip;
};

TEST(MenuTipPlacement, GoesBesideTheItemAndStaysOnTheScreen)
{
    struct Case
    {
        const char* name;
        RECT item;
        SIZE tip;
        bool balloon;
        POINT expected;
    };
    // Screen 1000 x 800; defaults 200 wide, 150 high; border 1.
    const Case cases[] = {
        {"room on the right", {100, 100, 300, 120}, {250, 60}, false, {300, 100}},
        {"right edge: left of the item", {700, 100, 900, 120}, {250, 60}, false, {450, 100}},
        {"no width yet: the default width decides", {650, 100, 850, 120}, {0, 0}, false, {450, 100}},
        {"low on the screen: bottoms aligned", {100, 700, 300, 720}, {250, 60}, false, {300, 660}},
        {"tall tip reaching below the screen", {100, 600, 300, 620}, {250, 300}, false, {300, 319}},
        {"balloon: half the item's height lower", {100, 100, 300, 120}, {250, 60}, true, {300, 110}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuTipPlacementInput input;
        input.item = c.item;
        input.tip = c.tip;
        input.balloon = c.balloon;
        input.screenWidth = 1000;
        input.screenHeight = 800;
        input.borderHeight = 1;
        const POINT point = ComputeMenuTipPosition(input);
        EXPECT_EQ(point.x, c.expected.x);
        EXPECT_EQ(point.y, c.expected.y);
    }
}

TEST_F(MenuToolTipTest, OnlyTheLastOfQuickSelectionsShowsAfterTheDelay)
{
    m_tip->OnMenuSelect(101, MF_STRING, m_menu);
    m_tip->OnMenuSelect(102, MF_STRING, m_menu);
    m_tip->OnMenuSelect(103, MF_STRING, m_menu);
    EXPECT_FALSE(Shows()) << "nothing shows before the delay";
    ASSERT_TRUE(scvtest::PumpUntil([&] { return Shows(); }, kWaitMs));
    ASSERT_TRUE(WaitForDelayThreads());
    scvtest::PumpFor(100);
    EXPECT_EQ(m_log.asked, std::vector<UINT>{103});
    EXPECT_EQ(Text(), L"tip 103");
    // The item's text with its key in brackets is the title until the text provider sets its own.
    EXPECT_EQ(m_tip->GetCurrentId(), 103u);
}

TEST_F(MenuToolTipTest, SubMenusSeparatorsClosedMenusAndSystemCommandsShowNothing)
{
    struct Case
    {
        const char* name;
        UINT item;
        UINT flags;
        bool withMenu;
    };
    const Case cases[] = {
        {"sub-menu", 1, MF_POPUP, true},           {"separator", 101, MF_SEPARATOR, true},
        {"menu closed", 101, 0xFFFF, false},       {"system Close", SC_CLOSE, MF_STRING, true},
        {"system Move", SC_MOVE, MF_STRING, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_tip->OnMenuSelect(102, MF_STRING, m_menu);
        m_tip->OnMenuSelect(c.item, c.flags, c.withMenu ? m_menu : nullptr);
        EXPECT_EQ(m_tip->GetCurrentId(), 0u);
        ASSERT_TRUE(WaitForDelayThreads());
        scvtest::PumpFor(50);
        EXPECT_FALSE(Shows());
    }
    EXPECT_TRUE(m_log.asked.empty());
}

TEST_F(MenuToolTipTest, TitleTakesTheItemTextWithItsKeyInBracketsAndNoTab)
{
    m_tip->OnMenuSelect(101, MF_STRING, m_menu);
    EXPECT_EQ(Title(), L"Item    [Ctrl+I]");
    m_tip->HideTip();
}

TEST_F(MenuToolTipTest, NotifyWindowAnswersBeforeTheTextProvider)
{
    // A window of this thread that fills every request.
    struct Answerer
    {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        {
            if (message == GetMenuTipRequestMessage()) {
                auto* request = reinterpret_cast<MenuTipRequest*>(lParam);
                request->text.Format(L"answer %u", request->commandId);
                request->icon = TTI_WARNING;
                return 1;
            }
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
    };
    HWND notify =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(notify, nullptr);
    ::SetWindowLongPtrW(notify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Answerer::Proc));
    m_tip->SetNotifyWindow(notify);

    m_tip->OnMenuSelect(102, MF_STRING, m_menu);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return Shows(); }, kWaitMs));
    EXPECT_EQ(Text(), L"answer 102");
    EXPECT_TRUE(m_log.asked.empty());
    // The title falls back to the item's own text.
    EXPECT_EQ(Title(), L"Item    [Ctrl+I]");
    m_tip->SetNotifyWindow(nullptr);
    ::DestroyWindow(notify);
}

TEST_F(MenuToolTipTest, TooltipDestroyedDuringTheDelayIsNeverTouchedAgain)
{
    for (UINT id : {101u, 102u, 103u})
        m_tip->OnMenuSelect(id, MF_STRING, m_menu);
    const long pending = m_tip->GetPendingCount();
    EXPECT_GE(pending, 1);
    m_tip.reset();
    // The delay threads end on their own; nothing reaches the destroyed object.
    scvtest::PumpFor(CMenuToolTip::kShowDelayMs + 300);
    EXPECT_TRUE(m_log.asked.empty());
    m_tip = std::make_unique<RecordingToolTip>(m_log);
}

TEST_F(MenuToolTipTest, LongTextsAreCut)
{
    m_tip->SetTitle(CString(L'T', 300), 101, TTI_INFO);
    const std::wstring title = Title();
    EXPECT_EQ(title.size(), 262u);
    EXPECT_EQ(title.back(), L'\x2026');
}

} // namespace

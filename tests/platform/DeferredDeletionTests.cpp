// Deleting objects that may still be handling a message, and what a call through a pure virtual slot does.

#include "platform/DeferredDeletion.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/CWindowImpl.h"
#include "support/ChildMain.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

std::vector<std::string> g_log;

struct Logged
{
    explicit Logged(std::string name) : m_name(std::move(name)) {}
    ~Logged() { g_log.push_back(m_name + " deleted"); }
    std::string m_name;
};

// A window whose handler hands objects over for deletion, also from a message it sends to itself.
class HandingOverWindow : public CWindowImpl<HandingOverWindow>
{
public:
    static constexpr UINT kHandOver = WM_APP + 1;

    BEGIN_MSG_MAP(HandingOverWindow)
    MESSAGE_HANDLER(kHandOver, OnHandOver)
    END_MSG_MAP()

    LRESULT OnHandOver(UINT, WPARAM nested, LPARAM object, BOOL&)
    {
        auto* logged = reinterpret_cast<Logged*>(object);
        DeferredDeletion::DeleteAfterDispatch(logged);
        DeferredDeletion::DeleteAfterDispatch(logged); // twice: still deleted once
        if (nested)
            ::SendMessageW(m_hWnd, kHandOver, 0, reinterpret_cast<LPARAM>(new Logged("inner")));
        g_log.push_back("handler of " + std::to_string(nested) + " ends");
        return 0;
    }
};

TEST(DeferredDeletionTest, ObjectsHandedOverDuringMessagesAreDeletedOnceWhenTheOutermostEnds)
{
    g_log.clear();
    EXPECT_FALSE(DeferredDeletion::InDispatch());
    DeferredDeletion::DeleteAfterDispatch(new Logged("outside"));
    EXPECT_EQ(g_log, std::vector<std::string>{"outside deleted"}) << "no message in progress: at once";

    g_log.clear();
    HandingOverWindow window;
    ASSERT_NE(window.Create(nullptr, RECT{0, 0, 10, 10}, nullptr, WS_POPUP), nullptr);
    ::SendMessageW(window.m_hWnd, HandingOverWindow::kHandOver, 1,
                   reinterpret_cast<LPARAM>(new Logged("outer")));
    EXPECT_EQ(g_log, (std::vector<std::string>{"handler of 0 ends", "handler of 1 ends", "outer deleted",
                                               "inner deleted"}));
    window.DestroyWindow();
}

// A base whose destructor reaches a pure function through its table, as a freed or half-destroyed object does.
struct Shape
{
    virtual ~Shape();
    virtual const char* Name() const = 0;
};

__attribute__((noinline)) const char* NameOf(const Shape* shape)
{
    return shape->Name();
}

Shape::~Shape()
{
    const Shape* volatile self = this; // the compiler cannot know what the table holds
    std::fputs(NameOf(self), stdout);
}

struct Circle : Shape
{
    const char* Name() const override { return "circle"; }
};

SCV_CHILD_MAIN(pure_call_in_destructor)
{
    Shape* volatile shape = new Circle;
    delete shape;
    return 0;
}

TEST(PureVirtualCallTest, EndsTheProgramWithAReportInsteadOfJumpingThroughTheSlot)
{
    scvtest::TempFolder temp;
    scvtest::ChildOptions options;
    options.outputFile = temp.PathOf(L"output.txt");
    scvtest::ChildProcess child = scvtest::LaunchSelf(L"pure_call_in_destructor", {}, options);
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.Wait(20000), std::optional<DWORD>(3u)) << "abort's code, not an access violation";
    const std::string output = scvtest::ReadFileBytes(options.outputFile).value_or("");
    EXPECT_NE(output.find("pure virtual function call"), std::string::npos) << output;
}

} // namespace

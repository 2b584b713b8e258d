// test-sources: QueryTestOwner.cpp
#include "tests/app/target/QueryTestOwner.h"

#include "platform/interchange/InterchangeArea.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>

using scvtest::PumpFor;
using scvtest::PumpUntil;

namespace
{
const char kQuery[] = "<SVQuery POINT_X=\"10\" POINT_Y=\"20\"><AppPath>target.exe</AppPath>"
                      "<WindowClassName>Edit</WindowClassName><HWND>77</HWND>"
                      "<SelText StateSelText=\"2\">chosen words</SelText></SVQuery>";

MenuItemRecord Item(const wchar_t* title, int id)
{
    MenuItemRecord item;
    item.SetTitle(title);
    item.id = id;
    return item;
}
} // namespace

TEST(WaitQuery, HandsTheQueryToTheOwnerAndWritesItsAnswer)
{
    scvtest::QueryThreadRig rig;
    rig.owner.answerItems.push_back(Item(L"answered item", 12));
    ASSERT_TRUE(rig.Start());
    EXPECT_TRUE(rig.thread.IsThreadAlive());

    ASSERT_TRUE(rig.PostQuery(kQuery));
    ASSERT_TRUE(PumpUntil([&] { return rig.IsSet(rig.objects.GetDataCompletedEvent()); }, 10000));
    ASSERT_EQ(rig.owner.received.size(), 1u);
    const SVQuery& query = rig.owner.received[0];
    EXPECT_STREQ(query.AppPath, L"target.exe");
    EXPECT_STREQ(query.SelText, L"chosen words");
    EXPECT_EQ(query.StateSelText, kSelTextStateExtracted);
    EXPECT_EQ(query.POINT_X, 10);
    EXPECT_FALSE(rig.IsSet(rig.objects.GetDataNeededEvent()));
    const std::string answer = rig.AreaText();
    EXPECT_EQ(answer.find("<SVAnswer"), answer.find('<', 1)) << answer;
    EXPECT_NE(answer.find("answered item"), std::string::npos);

    // Result 0, or an answer without items: nothing is written, DataCompleted stays reset.
    for (LRESULT result : {0, 1}) {
        SCOPED_TRACE(result);
        rig.owner.result = result;
        rig.owner.answerItems.clear();
        ResetEvent(rig.objects.GetDataCompletedEvent());
        const size_t before = rig.owner.received.size();
        ASSERT_TRUE(rig.PostQuery(kQuery));
        ASSERT_TRUE(PumpUntil([&] { return rig.owner.received.size() == before + 1; }, 10000));
        PumpFor(200);
        EXPECT_FALSE(rig.IsSet(rig.objects.GetDataCompletedEvent()));
        EXPECT_EQ(rig.AreaText(), kQuery);
    }
}

TEST(WaitQuery, AnUnreadableQueryReleasesTheDllAndReachesNobody)
{
    scvtest::QueryThreadRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string unterminated(InterchangeArea::kMappingSize, 'x');
    const std::string cases[] = {
        "<Other/>", "<SVQuery POINT_X=", std::string(InterchangeArea::kMaxTextBytes, 'x'), unterminated};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        ResetEvent(rig.objects.GetDataCompletedEvent());
        if (text.size() == InterchangeArea::kMappingSize) {
            void* view = MapViewOfFile(rig.objects.GetMapping(), FILE_MAP_WRITE, 0, 0, 0);
            ASSERT_NE(view, nullptr);
            std::memcpy(view, text.data(), text.size());
            UnmapViewOfFile(view);
            SetEvent(rig.objects.GetDataNeededEvent());
        } else {
            ASSERT_TRUE(rig.PostQuery(text));
        }
        ASSERT_TRUE(PumpUntil([&] { return rig.IsSet(rig.objects.GetDataCompletedEvent()); }, 10000));
        EXPECT_FALSE(rig.IsSet(rig.objects.GetDataNeededEvent()));
    }
    PumpFor(100);
    EXPECT_TRUE(rig.owner.received.empty());
    EXPECT_TRUE(rig.thread.IsThreadAlive());
}

TEST(WaitQuery, AnOwnerThatAnswersLateWorksOnItsCopyAndGetsNothingWritten)
{
    scvtest::QueryThreadRig rig;
    rig.owner.busyMs = CWaitQuery::kSendTimeoutMs + 600; // a menu kept open past the send time-out
    rig.owner.answerItems.push_back(Item(L"too late", 5));
    ASSERT_TRUE(rig.Start());

    ASSERT_TRUE(rig.PostQuery(kQuery));
    ASSERT_TRUE(PumpUntil([&] { return rig.owner.stillValidAfterBusy.size() == 1; }, 15000));
    EXPECT_TRUE(rig.owner.stillValidAfterBusy[0]);
    EXPECT_STREQ(rig.owner.received[0].SelText, L"chosen words");
    PumpFor(200);
    EXPECT_FALSE(rig.IsSet(rig.objects.GetDataCompletedEvent()));
    EXPECT_EQ(rig.AreaText(), kQuery);

    // The thread went on: the next query is answered in time.
    rig.owner.busyMs = 0;
    rig.owner.answerItems = {Item(L"in time", 6)};
    ASSERT_TRUE(rig.PostQuery(kQuery));
    ASSERT_TRUE(PumpUntil([&] { return rig.IsSet(rig.objects.GetDataCompletedEvent()); }, 10000));
    EXPECT_NE(rig.AreaText().find("in time"), std::string::npos);
}

TEST(WaitQuery, OneThreadAtATimeStoppedByEitherStopEvent)
{
    scvtest::QueryThreadRig rig;
    ASSERT_TRUE(rig.Start());
    EXPECT_FALSE(rig.Start()) << "a second thread while one runs";

    ASSERT_TRUE(rig.thread.StopWaitThread(10000));
    EXPECT_FALSE(rig.thread.IsThreadAlive());
    ASSERT_TRUE(rig.Start());
    rig.owner.answerItems.push_back(Item(L"after restart", 9));
    ASSERT_TRUE(rig.PostQuery(kQuery));
    ASSERT_TRUE(PumpUntil([&] { return rig.IsSet(rig.objects.GetDataCompletedEvent()); }, 10000));

    // Closing the interchange objects under a running thread leaves it waiting on its own handles.
    rig.objects.CloseWaitObjects();
    PumpFor(200);
    EXPECT_TRUE(rig.thread.IsThreadAlive());

    SetEvent(rig.stopEvent.Get());
    ASSERT_TRUE(PumpUntil([&] { return !rig.thread.IsThreadAlive(); }, 10000));
    PumpFor(100);
    EXPECT_EQ(rig.owner.errorMessages, 0) << "a stop is no error";

    WaitQueryParams incomplete;
    incomplete.owner = rig.owner.Handle();
    EXPECT_FALSE(rig.thread.StartWaitThread(incomplete));
}

TEST(WaitQuery, StoppingAnswersTheThreadsSendMeanwhile)
{
    scvtest::QueryThreadRig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.PostQuery(kQuery));
    // No pumping here: the stop itself must let the thread's send through.
    ASSERT_TRUE(scvtest::WaitUntil([&] { return !rig.IsSet(rig.objects.GetDataNeededEvent()); }, 10000));
    EXPECT_TRUE(rig.thread.StopWaitThread(10000));
    EXPECT_EQ(rig.owner.received.size(), 1u);
}

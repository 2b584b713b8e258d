// The arithmetic of the docking bars: how a dock row shares its length and how edge drags move pixels.

#include "editor/controls/ResizableBarLayout.h"

#include <gtest/gtest.h>

namespace
{

DockRowBar Sizing(int length, int width = 200, bool keep = false)
{
    DockRowBar bar;
    bar.length = length;
    bar.width = width;
    bar.minLength = 33;
    bar.minWidth = 32;
    bar.keepSize = keep;
    return bar;
}

DockRowBar Fixed(int length)
{
    DockRowBar bar;
    bar.sizing = false;
    bar.length = length;
    return bar;
}

int SumLengths(const std::vector<DockRowBar>& row)
{
    int sum = 0;
    for (const DockRowBar& bar : row)
        sum += bar.length;
    return sum;
}

} // namespace

TEST(ResizableBarLayout, ALoneBarFollowsTheRowLengthInOneStep)
{
    for (int total : {100, 402, 1000}) {
        std::vector<DockRowBar> row{Sizing(200, 200, true)};
        const DockRowResult r = NegotiateDockRow(row, 0, total);
        EXPECT_TRUE(r.fits);
        EXPECT_EQ(total + 2, row[0].length) << total;
        EXPECT_FALSE(row[0].keepSize);
    }
}

TEST(ResizableBarLayout, SeveralBarsShareTheDifferenceAndTakeTheWidestWidth)
{
    std::vector<DockRowBar> row{Sizing(100, 150), Fixed(50), Sizing(100, 220)};
    // Available 500 - 48 = 452, actual 196: 256 more, 128 each.
    const DockRowResult r = NegotiateDockRow(row, 0, 500);
    ASSERT_TRUE(r.fits);
    EXPECT_EQ(228, row[0].length);
    EXPECT_EQ(228, row[2].length);
    EXPECT_EQ(220, row[0].width);
    EXPECT_EQ(220, row[2].width);
    EXPECT_EQ(50, row[1].length);
}

TEST(ResizableBarLayout, KeepSizeBarIsLeftAloneWhileOthersCanTake)
{
    std::vector<DockRowBar> row{Sizing(100, 200, true), Sizing(100)};
    NegotiateDockRow(row, 0, 300);
    EXPECT_EQ(100, row[0].length);
    EXPECT_EQ(100 + 104, row[1].length);
    EXPECT_FALSE(row[0].keepSize);
}

TEST(ResizableBarLayout, ShrinkingStopsAtMinimumAndNeverHangs)
{
    std::vector<DockRowBar> row{Sizing(40), Sizing(300)};
    NegotiateDockRow(row, 0, 80);
    EXPECT_EQ(33, row[0].length);
    EXPECT_GE(row[1].length, 33);
    EXPECT_EQ(51, row[1].length); // the row keeps its length: 31 + 49 = 80
}

TEST(ResizableBarLayout, RowBreaksWhenMinimumsDoNotFit)
{
    struct Case
    {
        int self;
        int total;
        bool fits;
        int breakAfter;
        int breakBefore;
        size_t rowLeft;
    };
    // Minimum totals: 2 + 31 = 33, + 31 = 64, + 31 = 95.
    const Case cases[] = {
        {0, 70, true, -1, 2, 2},   // the third bar wraps to a new row
        {2, 50, false, 1, -1, 3},  // a bar before this one does not fit: break after it, fail
        {0, 20, true, -1, -1, 3},  // this bar alone too long: set to its minimum
        {0, 200, true, -1, -1, 3}, // everything fits
    };
    for (const Case& c : cases) {
        std::vector<DockRowBar> row{Sizing(100), Sizing(100), Sizing(100)};
        const DockRowResult r = NegotiateDockRow(row, c.self, c.total);
        EXPECT_EQ(c.fits, r.fits) << c.self << "/" << c.total;
        EXPECT_EQ(c.breakAfter, r.breakAfter) << c.self << "/" << c.total;
        EXPECT_EQ(c.breakBefore, r.breakBefore) << c.self << "/" << c.total;
        EXPECT_EQ(c.rowLeft, row.size()) << c.self << "/" << c.total;
        if (c.total == 20)
            EXPECT_EQ(33, row[0].length);
    }
}

TEST(ResizableBarLayout, TrackLimitsFollowSpareLengthAndFreeSpace)
{
    const std::vector<DockRowBar> row{Sizing(100, 120), Sizing(50, 120), Sizing(60, 120)};
    struct Case
    {
        bool side;
        int self;
        BarEdge edge;
        int min;
        int max;
    };
    const Case cases[] = {
        // Side: bars before the edge give spare 67 (+17), bars after 17 + 27.
        {true, 1, BarEdge::Left, 1000 - 67, 1000 + 17 + 27},
        {true, 1, BarEdge::Right, 1000 - 67 - 17, 1000 + 27},
        {true, 0, BarEdge::Bottom, 1000 - 67, 1000 + 17 + 27},
        // Thickness: room 120 - 32 = 88, far limit 300 - 2.
        {false, 0, BarEdge::Top, 1000 - 298, 1000 + 88},
        {false, 0, BarEdge::Right, 1000 - 88, 1000 + 298},
    };
    for (const Case& c : cases) {
        const TrackLimits l = c.side ? SideTrackLimits(row, c.self, c.edge, 1000)
                                     : ThicknessTrackLimits(row, c.self, c.edge, 1000, 300);
        EXPECT_EQ(c.min, l.min) << static_cast<int>(c.edge);
        EXPECT_EQ(c.max, l.max) << static_cast<int>(c.edge);
    }
}

TEST(ResizableBarLayout, SideDragMovesPixelsBetweenNeighboursDownToTheMinimum)
{
    struct Case
    {
        int self;
        BarEdge edge;
        int delta;
        int a;
        int b;
        int c;
    };
    const Case cases[] = {
        {1, BarEdge::Left, 20, 120, 80, 100},   // edge moved right: the bar before grows
        {1, BarEdge::Left, -20, 80, 120, 100},  // edge moved left: this bar grows
        {1, BarEdge::Right, 20, 100, 120, 80},  // this bar grows, the one after gives
        {1, BarEdge::Right, -20, 100, 80, 120}, // the bar after grows
        {1, BarEdge::Left, 90, 190, 33, 77},    // giving runs on past the minimum of the neighbour
        {0, BarEdge::Right, 500, 234, 33, 33},  // nothing below the minimums
    };
    for (const Case& c : cases) {
        std::vector<DockRowBar> row{Sizing(100), Sizing(100), Sizing(100)};
        ApplySideDrag(row, c.self, c.edge, c.delta);
        EXPECT_EQ(c.a, row[0].length) << c.delta;
        EXPECT_EQ(c.b, row[1].length) << c.delta;
        EXPECT_EQ(c.c, row[2].length) << c.delta;
        EXPECT_EQ(300, SumLengths(row));
    }
}

TEST(ResizableBarLayout, ThicknessDragGivesTheWholeRowTheNewWidth)
{
    std::vector<DockRowBar> row{Sizing(100, 150), Fixed(40), Sizing(100, 150)};
    ApplyThicknessDrag(row, 0, BarEdge::Right, 25);
    EXPECT_EQ(175, row[0].width);
    EXPECT_EQ(175, row[2].width);
    ApplyThicknessDrag(row, 2, BarEdge::Top, 25);
    EXPECT_EQ(150, row[0].width);
}

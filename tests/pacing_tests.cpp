// When frames are drawn and how they reach the screen, on a clock the test moves.
#include "app/Pacing_un.h"

#include <gtest/gtest.h>

namespace {

constexpr double Refresh = 1000.0 / 60;
// Draws the frame owed now, as the form does, and says how it reached the screen.
FramePlan Draw(FramePacing& p, double now, bool presentsPart = true, bool keysMoved = false) {
    const FramePlan plan = StartFrame(p, now, presentsPart, false);
    EndFrame(p, plan, true, keysMoved, presentsPart, false);
    return plan;
}

} // namespace

TEST(Pacing, FramesComeOneARefreshButAPressOrAClickAtOnce) {
    FramePacing p;
    EXPECT_EQ(FrameDelay(p, 0), 0); // the first frame
    StartFrame(p, 1000, true, false);
    EXPECT_NEAR(FrameDelay(p, 1005), Refresh - 5, 1e-9);
    EXPECT_EQ(FrameDelay(p, 1000 + Refresh), 0);
    EXPECT_EQ(FrameDelay(p, 1200), 0); // a slow frame owes no wait
    Owe(p, Pace::AtOnce);
    EXPECT_EQ(FrameDelay(p, 1001), 0);
    StartFrame(p, 1001, true, false);
    EXPECT_FALSE(p.urgent);
    EXPECT_GT(FrameDelay(p, 1002), 0);

    struct {
        double hz, tick, interval;
    } rates[] = {{144, 1, 1000.0 / 144}, {0, 1, Refresh}, {2000, 1, 1}, {60, 40, 40}};
    for (const auto& r : rates) {
        PaceTo(p, r.hz, r.tick);
        EXPECT_NEAR(p.interval, r.interval, 1e-9) << r.hz << " Hz, tick " << r.tick;
    }
}

TEST(Pacing, AResizeOrAnExposeSwapsTwoFramesWholeThenOnlyTheDamageIsPresented) {
    FramePacing p;
    // A start owes two whole frames, and one more presented whole as a part, so that the
    // back buffer holds the whole picture.
    struct Step {
        bool swapped, whole;
        int due;
    } start[] = {{true, true, 1}, {true, true, 1}, {false, true, 0}};
    double now = 0;
    for (const Step& s : start) {
        const FramePlan plan = Draw(p, now += Refresh);
        EXPECT_EQ(plan.swapped, s.swapped);
        EXPECT_EQ(plan.whole, s.whole);
        EXPECT_EQ(p.framesDue, s.due);
    }
    Owe(p, Pace::Paced);
    EXPECT_FALSE(Draw(p, now += Refresh).whole); // the damage alone
    EXPECT_EQ(p.framesDue, 0);

    OweWholeFrames(p);
    EXPECT_EQ(p.framesDue, 2);
    EXPECT_TRUE(Draw(p, now += Refresh).swapped);
    // A window that cannot show a part swaps every frame whole.
    EXPECT_TRUE(Draw(p, now += Refresh, false).whole);
    EXPECT_EQ(p.framesDue, 0);
    // A frame that moved a key owes the next.
    Owe(p, Pace::Paced);
    Draw(p, now += Refresh, false, true);
    EXPECT_EQ(p.framesDue, 1);
}

// Where the screen reader's view finds the keys, and how its presses reach the model: posted
// from another thread, run on the event loop's.
#include "AppFixture.h"

#include "app/Accessplace_un.h"

#include <thread>

namespace {

AccessRect Centre(const AccessRect& r) {
    return {r.x + r.width / 2, r.y + r.height / 2, 0, 0};
}

} // namespace

TEST(AccessPlace, DrawableRectanglesBecomeWindowRectanglesFromTheTopLeft) {
    const struct {
        WindowRect drawn;
        int drawableWidth, drawableHeight;
        WindowPlace window;
        AccessRect expected;
    } cases[] = {
        {{10, 20, 30, 60}, 100, 100, {0, 0, 100, 100}, {10, 40, 20, 40}},
        {{10, 20, 30, 60}, 200, 100, {5, 7, 100, 50}, {5, 20, 10, 20}},  // scale 2: halved
        {{11, 21, 31, 61}, 200, 200, {0, 0, 100, 100}, {5, 69, 11, 21}}, // widened to whole units
        {{0, 0, 0, 0}, 100, 100, {0, 0, 100, 100}, {}},
        {{10, 20, 30, 60}, 0, 0, {0, 0, 100, 100}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AccessRectOf(c.drawn, c.drawableWidth, c.drawableHeight, c.window), c.expected)
            << c.drawn.x0 << "," << c.drawn.y0;
}

TEST_F(AppTest, EachKeysPlaceHoldsThatKeyInEveryViewAndTheDisplayLiesInTheWindow) {
    T_Tessel_Frm& f = Start();
    const ViewState views[] = {f.Model.View, {.DisplayTilt = 1, .SpinAngle = 30, .TiltAngle = 20}};
    for (const ViewState& view : views) {
        f.Model.View.SpinAngle = view.SpinAngle;
        f.Model.View.TiltAngle = view.TiltAngle;
        f.Model.View.DisplayTilt = view.DisplayTilt;
        const AccessPlaces at = PlacesOf(f, {0, 0, W, H});
        for (int k = 0; k < KeyCount; ++k) {
            const AccessRect c = Centre(at.keys[k]);
            EXPECT_EQ(f.PickKey(c.x, c.y), KeyNameBase + k) << k << " at " << view.SpinAngle;
            EXPECT_LT(at.keys[k].width, W / 5);
        }
        EXPECT_GT(at.display.width, 0);
        EXPECT_LE(at.display.x + at.display.width, W);
        EXPECT_LE(at.display.y + at.display.height, H);
    }
}

TEST_F(AppTest, WorkPostedFromAnotherThreadRunsOnTheEventLoopInOrder) {
    T_Tessel_Frm& f = Start();
    std::thread([this, &f] {
        for (int key : {4, int{BtnMult}, 2})
            platform->Post([&f, key] { f.Model.Do({Action::PressKey, key}); });
    }).join();
    EXPECT_EQ(f.Model.Text(), "0"); // nothing runs before the loop does
    platform->Queue.push_back({WindowEvent::Tick});
    application->Run();
    EXPECT_EQ(f.Model.Text(), "2");
    EXPECT_TRUE(f.Model.KeyDown(2));
}

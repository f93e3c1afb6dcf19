// Frames that clear, draw and present only what changed, against whole frames; and the pace
// of the frames: one a refresh of the screen for a drag, at once for a key press.
#include "AppFixture.h"

#include <algorithm>

namespace {

int Area(const OffscreenPlatform::Rect& r) {
    return r.width * r.height;
}

} // namespace

class DamageTest : public AppTest {
protected:
    // A session with every kind of change, the screen as it shows after each step: hovers,
    // clicks and typed keys frame by frame, turns, zooms, the display frame up and down, a
    // hover on the turned calculator, a resize and an expose after the window was covered.
    std::vector<std::vector<std::uint8_t>> Run(bool partial) {
        platform->PartialPresentation = partial;
        platform->RecordScreen = true;
        Start(false);
        std::vector<std::vector<std::uint8_t>> screens;
        auto step = [&] {
            Frame();
            screens.push_back(platform->Screen);
        };
        // As many ticks in both runs, whether or not they draw.
        auto settle = [&] {
            for (int i = 0; i < 12; ++i) step();
        };
        auto at = [&](int id) {
            auto c = KeyCentre(id);
            return std::pair{static_cast<int>(c[0]), static_cast<int>(c[1])};
        };
        settle();
        for (int id : {7, 8, int{BtnEqual}}) {
            auto [x, y] = at(id);
            MoveMouse(x, y);
            settle();
        }
        auto [x5, y5] = at(5);
        MoveMouse(x5, y5);
        Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x5, y5});
        for (int i = 0; i < 3; ++i) step();
        Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x5, y5});
        settle();
        for (std::uint16_t key :
             {std::uint16_t{VK_ADD}, std::uint16_t{'9'}, std::uint16_t{VK_RETURN}}) {
            Send(UsKeyDown(key));
            step();
            step();
            Send({WindowEvent::KeyUp, key});
            settle();
        }
        Send(UsKeyDown('P', ssCtrl)); // M+: a memory change shows on the display only
        settle();
        // The focus mark comes, moves and goes with a click on the background.
        for (std::uint16_t key : {std::uint16_t{VK_TAB}, std::uint16_t{VK_TAB}}) {
            Send(UsKeyDown(key));
            step();
        }
        Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, 2, 2});
        Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, 2, 2});
        settle();
        MoveMouse(200, 150);
        for (int x = 204; x < 260; x += 4) {
            MoveMouse(x, 150 + (x - 200) / 3, ssRight);
            step();
        }
        for (int y = 150; y < 190; y += 5) {
            MoveMouse(260, y, ssLeft | ssRight); // both buttons: zoom
            step();
        }
        MoveMouse(260, 190);
        for (double notches : {2.0, -5.0, 1.0}) {
            Send({WindowEvent::Wheel, 0, 0, TMouseButton::mbLeft, 260, 190, notches});
            step();
        }
        for (int i = 0; i < 40; ++i) {
            Send(UsKeyDown(VK_PRIOR));
            if (i % 4 == 0) step();
        }
        Send(UsKeyDown(VK_F1));
        settle();
        Send(UsKeyDown(VK_F1));
        settle();
        auto [x2, y2] = at(2);
        MoveMouse(x2, y2);
        settle();
        platform->Resize(360, 330);
        Send({WindowEvent::Resize});
        settle();
        step();
        platform->CoverWindow();
        Send({WindowEvent::Expose});
        settle();
        return screens;
    }
};

TEST_F(DamageTest, FramesDrawnInPartShowWhatWholeFramesShow) {
    const auto whole = Run(false);
    EXPECT_EQ(platform->PartsPresented, 0);
    TearDown();
    SetUp();
    const auto part = Run(true);
    EXPECT_GT(platform->PartsPresented, 50);
    ASSERT_EQ(part.size(), whole.size());
    for (std::size_t i = 0; i < part.size(); ++i) {
        ASSERT_FALSE(part[i].empty());
        EXPECT_TRUE(part[i] == whole[i]) << "after step " << i;
    }
}

TEST_F(DamageTest, AKeyPressRedrawsTheDisplayAndTheKeyAndATurnTheCalculator) {
    T_Tessel_Frm& f = Start(false);
    for (int i = 0; i < 10 && f.WantsTick(); ++i) Frame();
    const int whole = W * H;

    Send(UsKeyDown('4'));
    Frame(); // the new digit
    EXPECT_LT(Area(platform->LastPresented), whole / 10);
    auto d = DisplayRect();
    const auto& r = platform->LastPresented;
    EXPECT_LE(r.x, d[0]);
    EXPECT_GE(r.x + r.width, d[2]);
    EXPECT_LE(H - r.y - r.height, d[1]); // window rows from the top
    EXPECT_GE(H - r.y, d[3]);
    Frame(); // the key going down
    EXPECT_LT(Area(platform->LastPresented), whole / 20);

    MoveMouse(200, 150);
    MoveMouse(220, 150, ssRight);
    Frame();
    EXPECT_LT(Area(platform->LastPresented), whole * 3 / 4);
    EXPECT_GT(Area(platform->LastPresented), whole / 10);

    // What may have spoiled the window is drawn and presented whole.
    Send({WindowEvent::Expose});
    Frame();
    EXPECT_EQ(Area(platform->LastPresented), whole);
    platform->Resize(300, 200);
    Send({WindowEvent::Resize});
    Frame();
    EXPECT_EQ(Area(platform->LastPresented), 300 * 200);
}

TEST_F(DamageTest, MouseMovesBetweenTwoFramesShowInOneFrameAsTheirSum) {
    platform->RecordScreen = true;
    T_Tessel_Frm& f = Start(false);
    for (int i = 0; i < 10 && f.WantsTick(); ++i) Frame();
    MoveMouse(200, 150);
    const int swaps = platform->Swaps;
    for (int x = 203; x <= 230; x += 3) MoveMouse(x, 150 + (x - 200) / 3, ssRight);
    Frame();
    EXPECT_EQ(platform->Swaps, swaps + 1);
    const double spin = f.Model.View.SpinAngle, tilt = f.Model.View.TiltAngle;
    const auto screen = platform->Screen;

    // No second frame before the screen's next refresh, however many ticks come.
    const double drawn = platform->Clock;
    MoveMouse(233, 161, ssRight);
    Send({WindowEvent::Tick});
    platform->Clock = drawn + RefreshInterval / 2;
    Send({WindowEvent::Tick});
    EXPECT_EQ(platform->Swaps, swaps + 1);
    EXPECT_GT(f.TickDelay(), 0);
    platform->Clock = drawn + RefreshInterval;
    Send({WindowEvent::Tick});
    EXPECT_EQ(platform->Swaps, swaps + 2);
    // A key press is shown at once, whenever the last frame was.
    Send(UsKeyDown('7'));
    EXPECT_EQ(f.TickDelay(), 0);
    Send({WindowEvent::Tick});
    EXPECT_EQ(platform->Swaps, swaps + 3);
    EXPECT_STREQ(DisplayText, "7");

    // The same turn made in one move shows the same picture.
    TearDown();
    SetUp();
    platform->RecordScreen = true;
    T_Tessel_Frm& g = Start(false);
    for (int i = 0; i < 10 && g.WantsTick(); ++i) Frame();
    MoveMouse(200, 150);
    MoveMouse(230, 160, ssRight);
    Frame();
    EXPECT_DOUBLE_EQ(g.Model.View.SpinAngle, spin);
    EXPECT_DOUBLE_EQ(g.Model.View.TiltAngle, tilt);
    EXPECT_TRUE(platform->Screen == screen);
}

TEST_F(DamageTest, APartDrawnOverTheBackgroundTakesItsColourExactly) {
    // A turn uncovers background inside the part redrawn, which the frame fills itself.
    struct Colour {
        int r, g, b;
    } colours[] = {{0, 0, 0}, {37, 141, 200}, {254, 1, 128}, {255, 255, 255}};
    for (const Colour& c : colours) {
        std::vector<std::uint8_t> screens[2];
        for (bool partial : {false, true}) {
            TearDown();
            SetUp();
            WriteFile(ConfigFileName, "BACKGROUNDCOLOR_R=" + std::to_string(c.r) +
                                          "\nBACKGROUNDCOLOR_G=" + std::to_string(c.g) +
                                          "\nBACKGROUNDCOLOR_B=" + std::to_string(c.b) + "\n");
            platform->PartialPresentation = partial;
            platform->RecordScreen = true;
            Start(false);
            for (int i = 0; i < 4; ++i) Frame();
            MoveMouse(200, 150);
            for (int x = 204; x < 240; x += 6) {
                MoveMouse(x, 150 + (x - 200) / 3, ssRight);
                Frame();
            }
            screens[partial] = platform->Screen;
        }
        EXPECT_GT(platform->PartsPresented, 3);
        EXPECT_TRUE(screens[0] == screens[1]) << c.r << ", " << c.g << ", " << c.b;
    }
}

#include "AppFixture.h"

#include <cmath>

namespace {

struct SessionResult {
    std::vector<std::int32_t> picks;
    std::vector<std::uint8_t> pixels;
    int swaps;
    std::string display;
};

} // namespace

class IdleTest : public AppTest {
protected:
    // A scripted session: moves over keys, clicks, typing, a drag, the display raised.
    SessionResult Run(bool drawEveryTick) {
        T_Tessel_Frm& f = Start(drawEveryTick);
        SessionResult r;
        auto ticks = [&](int n) {
            for (int i = 0; i < n; ++i) {
                Frame();
                r.picks.push_back(f.PickedName);
            }
        };
        ticks(5);
        for (int id : std::initializer_list<int>{7, 8, BtnPlus, 2, BtnEqual}) {
            auto c = KeyCentre(id);
            const int x = static_cast<int>(c[0]), y = static_cast<int>(c[1]);
            MoveMouse(x, y);
            ticks(3);
            Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
            ticks(4);
            Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
            ticks(8);
        }
        Send(UsKeyDown('5'));
        ticks(6);
        Send({WindowEvent::KeyUp, '5'});
        ticks(10);
        MoveMouse(200, 150);
        for (int x = 205; x < 260; x += 5) {
            MoveMouse(x, 150 + (x - 200) / 5, ssRight);
            ticks(1);
        }
        MoveMouse(260, 160);
        ticks(3);
        for (int i = 0; i < 80; ++i) Send(UsKeyDown(VK_PRIOR));
        ticks(4);
        Send({WindowEvent::Expose});
        ticks(30);
        // A key pressed and released last: its final rise must be drawn too.
        Send(UsKeyDown(VK_ESCAPE));
        ticks(6);
        Send({WindowEvent::KeyUp, VK_ESCAPE});
        ticks(30);
        r.pixels = Region(0, 0, W, H);
        r.swaps = platform->Swaps;
        r.display = DisplayText;
        return r;
    }
};

TEST_F(IdleTest, SkippingUnchangedFramesChangesNothingThatIsSeen) {
    SessionResult always = Run(true);
    TearDown();
    SetUp();
    SessionResult skipping = Run(false);
    EXPECT_EQ(skipping.picks, always.picks);
    EXPECT_EQ(skipping.display, always.display);
    EXPECT_EQ(skipping.display, "0");
    EXPECT_TRUE(skipping.pixels == always.pixels);
    EXPECT_LT(skipping.swaps, always.swaps);
    EXPECT_NE(std::count(always.picks.begin(), always.picks.end(), KeyNameBase + 8), 0);
}

TEST_F(IdleTest, NothingIsDrawnWhileNothingChanges) {
    T_Tessel_Frm& f = Start(false);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_FALSE(f.WantsTick());
    const int swaps = platform->Swaps;
    for (int i = 0; i < 100; ++i) Frame();
    EXPECT_EQ(platform->Swaps, swaps);
    // Anything that can change the picture asks for frames again.
    Send(UsKeyDown('3'));
    EXPECT_TRUE(f.WantsTick());
    int frames = 0;
    for (; frames < 20 && f.WantsTick(); ++frames) Frame();
    // Four or five steps down, two a frame; then the held key stands still at the bottom.
    EXPECT_LE(frames, 3);
    EXPECT_LT(f.Keys[3].Y, f.Shape.keyRestHeight - 0.0035f);
    Send({WindowEvent::KeyUp, '3'});
    frames = 0;
    while (f.WantsTick() && frames < 50) {
        Frame();
        ++frames;
    }
    EXPECT_FALSE(f.WantsTick());
    EXPECT_LT(frames, 10);
    // A change of the engine's state from elsewhere shows too: the memory as kept.
    f.Model.Do({.kind = Action::RestoreMemory, .value = 2});
    EXPECT_TRUE(f.WantsTick());
    Frame();
    EXPECT_FALSE(f.WantsTick());
    Send({WindowEvent::Resize});
    EXPECT_TRUE(f.WantsTick());
    f.Repaint_Tm.Enabled = false;
    EXPECT_FALSE(f.WantsTick());
}

// However the case is configured, a pressed key reaches its end and the calculator goes idle:
// with a case ten billion units thick a step of the animation is lost to the rounding of the
// key's height, and the key would otherwise never arrive.
TEST_F(IdleTest, EveryAnimationEndsWhateverTheConfiguration) {
    for (const char* thickness : {"0.03", "10000000000000", "0"}) {
        WriteFile(ConfigFileName, std::string("THICKNESS=") + thickness + "\n");
        T_Tessel_Frm& f = Start(false);
        Send(UsKeyDown('5'));
        int frames = 0;
        for (; frames < 100 && f.WantsTick(); ++frames) Frame();
        EXPECT_FALSE(f.WantsTick()) << "THICKNESS=" << thickness;
        Send({WindowEvent::KeyUp, '5'});
        for (frames = 0; frames < 100 && f.WantsTick(); ++frames) Frame();
        EXPECT_FALSE(f.WantsTick()) << "THICKNESS=" << thickness;
        TearDown();
        SetUp();
    }
}

// Moving the mouse over one key, or over the background, draws nothing; onto another key it
// draws the frame that shows that key darker.
TEST_F(IdleTest, AHoverDrawsAFrameOnlyWhenTheKeyUnderTheMouseChanges) {
    T_Tessel_Frm& f = Start(false);
    auto drawnAfter = [&](int x, int y) {
        const int before = platform->Swaps;
        MoveMouse(x, y);
        for (int i = 0; i < 10 && f.WantsTick(); ++i) Frame();
        return platform->Swaps - before;
    };
    for (int i = 0; i < 10 && f.WantsTick(); ++i) Frame();
    const auto c5 = KeyCentre(5), c6 = KeyCentre(6);
    const int x5 = static_cast<int>(c5[0]), y5 = static_cast<int>(c5[1]);
    EXPECT_GT(drawnAfter(x5, y5), 0); // onto a key
    EXPECT_EQ(f.PickedName, KeyNameBase + 5);
    EXPECT_EQ(drawnAfter(x5 + 1, y5), 0); // within it
    EXPECT_EQ(drawnAfter(x5, y5 + 1), 0);
    EXPECT_GT(drawnAfter(static_cast<int>(c6[0]), static_cast<int>(c6[1])), 0); // onto another
    EXPECT_EQ(f.PickedName, KeyNameBase + 6);
    EXPECT_GT(drawnAfter(2, 2), 0); // off the keys
    EXPECT_EQ(f.PickedName, 0);
    EXPECT_EQ(drawnAfter(3, 3), 0); // over the background
    // A drag that turns the calculator draws, even where no key is.
    const int before = platform->Swaps;
    MoveMouse(10, 3, ssRight);
    for (int i = 0; i < 10 && f.WantsTick(); ++i) Frame();
    EXPECT_GT(platform->Swaps, before);
}

// The rules of input on a plain view state, without GL or a window: Page Up and Down, F1,
// the drags, the wheel, which presses click a key, and what each key press does.
#include "model/Controller_un.h"

#include "scene/Keypad_un.h"

#include "UsLayout.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

ViewState Started() {
    ViewState v;
    StartView(v);
    return v;
}

// A drag from (x0, y0) by (dx, dy) in single-pixel moves with the buttons held.
void Drag(ViewState& v, TShiftState buttons, int x0, int y0, int dx, int dy) {
    MoveMouse(v, 0, x0, y0, DefaultConfig);
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 1; i <= steps; ++i)
        MoveMouse(v, buttons, x0 + dx * i / steps, y0 + dy * i / steps, DefaultConfig);
}

KeyAction Us(std::uint16_t key, TShiftState shift = 0) {
    return ActionOfKey(key, UsCharacterOf(key, shift), shift);
}

} // namespace

TEST(Controller, PageUpRaisesTheFrameUpToUprightAndPageDownLowersItToFlat) {
    ViewState v = Started();
    for (int i = 0; i < 157; ++i) RaiseDisplay(v);
    EXPECT_NEAR(v.DisplayTilt, 1.57, 1e-9);
    RaiseDisplay(v);
    EXPECT_EQ(v.DisplayTilt, std::numbers::pi / 2);
    RaiseDisplay(v);
    EXPECT_EQ(v.DisplayTilt, std::numbers::pi / 2);
    for (int i = 0; i < 200; ++i) LowerDisplay(v);
    EXPECT_EQ(v.DisplayTilt, 0);
    // F1: upright at once from anywhere below it, flat again from upright.
    RaiseDisplay(v);
    ToggleCard(v);
    EXPECT_EQ(v.DisplayTilt, std::numbers::pi / 2);
    ToggleCard(v);
    EXPECT_EQ(v.DisplayTilt, 0);
}

TEST(Controller, RightDragTurnsAndWrapsTheAngles) {
    ViewState v = Started();
    Drag(v, ssRight, 100, 100, 450, 0);
    EXPECT_NEAR(v.SpinAngle, 90, 1e-9);
    EXPECT_EQ(v.TiltAngle, 0);
    v.SpinAngle = 179.9;
    MoveMouse(v, ssRight, 551, 100, DefaultConfig);
    EXPECT_NEAR(v.SpinAngle, -179.9, 1e-9);
    Drag(v, ssRight, 0, 0, 0, -100);
    EXPECT_NEAR(v.TiltAngle, -20, 1e-9);
    // Without the right button the mouse moves change nothing but the mouse fields.
    const ViewState before = v;
    Drag(v, ssLeft, 0, 0, 300, 300);
    EXPECT_EQ(v.SpinAngle, before.SpinAngle);
    EXPECT_EQ(v.TiltAngle, before.TiltAngle);
    EXPECT_EQ(v.MouseX, 300);
    EXPECT_EQ(v.LastMouseY, 300);
}

TEST(Controller, BothButtonsZoomWithTheBoundTestedBeforeEachStep) {
    ViewState v = Started();
    Drag(v, ssLeft | ssRight, 0, 0, 0, 100);
    EXPECT_NEAR(v.ViewDistance, 7.4, 1e-9);
    v.ViewDistance = 9.9;
    MoveMouse(v, ssLeft | ssRight, 0, 110, DefaultConfig);
    EXPECT_NEAR(v.ViewDistance, 10.5, 1e-9);
    Drag(v, ssLeft | ssRight, 0, 110, 0, 50);
    EXPECT_NEAR(v.ViewDistance, 10.5, 1e-9);
    // Nearer: a step may carry it below the limit, and the frame sees it at the limit.
    v.ViewDistance = 0.75;
    Drag(v, ssLeft | ssRight, 0, 100, 0, -2);
    EXPECT_LT(v.ViewDistance, DefaultConfig.NEAR_LIMIT);
    KeepNearLimit(v, DefaultConfig);
    EXPECT_EQ(v.ViewDistance, DefaultConfig.NEAR_LIMIT);
}

TEST(Controller, TheWheelZoomsByATenthANotchWithinTheLimits) {
    ViewState v = Started();
    TurnWheel(v, 1, DefaultConfig);
    EXPECT_NEAR(v.ViewDistance, 1.26, 1e-9);
    TurnWheel(v, -2, DefaultConfig);
    EXPECT_NEAR(v.ViewDistance, 1.26 * 1.21, 1e-9);
    TurnWheel(v, 1000000, DefaultConfig);
    EXPECT_EQ(v.ViewDistance, DefaultConfig.NEAR_LIMIT);
    TurnWheel(v, -1000000, DefaultConfig);
    EXPECT_EQ(v.ViewDistance, DefaultConfig.FAR_LIMIT);
}

TEST(Controller, AClickCountsWithTheLeftButtonAloneAndTheFaceTowardTheViewer) {
    ViewState v = Started();
    auto clicks = [&](TShiftState buttons, double tilt, double spin = 0) {
        v.TiltAngle = tilt, v.SpinAngle = spin;
        TakeButtons(v, buttons);
        return ClickCounts(v);
    };
    EXPECT_TRUE(clicks(ssLeft, 0));
    EXPECT_TRUE(clicks(ssLeft | ssMiddle, 0)); // any press while the left is held
    EXPECT_TRUE(clicks(ssLeft, 89.9));
    EXPECT_TRUE(clicks(ssLeft, 0, 170)); // the spin never turns the face away
    EXPECT_FALSE(clicks(ssLeft, 90));
    EXPECT_FALSE(clicks(ssLeft, -90));
    EXPECT_FALSE(clicks(ssLeft | ssRight, 0));
    EXPECT_FALSE(clicks(ssRight, 0));
    EXPECT_FALSE(clicks(ssMiddle, 0));
}

TEST(Controller, KeyPressesStandForTheirActions) {
    EXPECT_EQ(Us('C', ssCtrl).kind, KeyAction::Copy);
    EXPECT_EQ(Us('V', ssCtrl).kind, KeyAction::Paste);
    EXPECT_EQ(Us(VK_BACK).kind, KeyAction::TakeBack);
    EXPECT_EQ(Us(VK_F1).kind, KeyAction::ToggleCard);
    EXPECT_EQ(Us(VK_PRIOR).kind, KeyAction::RaiseDisplay);
    EXPECT_EQ(Us(VK_NEXT).kind, KeyAction::LowerDisplay);
    for (auto [key, shift] : {std::pair<std::uint16_t, TShiftState>{'C', ssCtrl | ssShift},
                              {'V', ssCtrl | ssAlt},
                              {VK_PRIOR, ssShift},
                              {VK_F1, ssCtrl},
                              {VK_BACK, ssAlt},
                              {'C', 0}}) // typing "c" is no shortcut
        EXPECT_EQ(Us(key, shift).kind, KeyAction::None) << key << " " << shift;
    const KeyAction seven = Us('7');
    EXPECT_EQ(seven.kind, KeyAction::Press);
    EXPECT_EQ(seven.button, 7);
    EXPECT_EQ(Us('R', ssCtrl).button, BtnMR);
    EXPECT_EQ(ActionOfKey(VK_OEM_PLUS, U'*', ssShift).button, BtnMult); // German Shift+"+"
}

TEST(Controller, SteeringKeysTurnZoomAndGoHomeWithinTheMouseLimits) {
    struct Case {
        std::uint16_t key;
        TShiftState shift;
        KeyAction::Kind kind;
        int spin, tilt;
    } cases[] = {
        {VK_LEFT, 0, KeyAction::Steer, -1, 0},
        {VK_RIGHT, 0, KeyAction::Steer, 1, 0},
        {VK_UP, 0, KeyAction::Steer, 0, -1},
        {VK_DOWN, 0, KeyAction::Steer, 0, 1},
        {VK_HOME, 0, KeyAction::HomeView, 0, 0},
        {VK_OEM_PLUS, ssCtrl | ssShift, KeyAction::ZoomIn, 0, 0}, // Ctrl with "+" on US
        {VK_OEM_PLUS, ssCtrl, KeyAction::ZoomIn, 0, 0},           // Ctrl+=
        {VK_ADD, ssCtrl, KeyAction::ZoomIn, 0, 0},
        {VK_OEM_MINUS, ssCtrl, KeyAction::ZoomOut, 0, 0},
        {VK_SUBTRACT, ssCtrl, KeyAction::ZoomOut, 0, 0},
        {'0', ssCtrl, KeyAction::ZoomReset, 0, 0},
        {VK_TAB, 0, KeyAction::FocusNext, 0, 0},
        {VK_TAB, ssShift, KeyAction::FocusPrevious, 0, 0},
        {VK_SPACE, 0, KeyAction::PressFocused, 0, 0},
        {VK_LEFT, ssCtrl, KeyAction::None, 0, 0},
        {VK_ADD, 0, KeyAction::Press, 0, 0}, // without Ctrl, still the calculator's +
    };
    for (const Case& c : cases) {
        const KeyAction a = Us(c.key, c.shift);
        EXPECT_EQ(a.kind, c.kind) << c.key << " " << c.shift;
        EXPECT_EQ(a.spin, c.spin) << c.key;
        EXPECT_EQ(a.tilt, c.tilt) << c.key;
    }

    ViewState v = Started();
    for (int i = 0; i < 50; ++i) Steer(v, 1, -1); // 200 degrees each way, wrapped
    EXPECT_DOUBLE_EQ(v.SpinAngle, -160);
    EXPECT_DOUBLE_EQ(v.TiltAngle, 160);
    ConfigRecord near = DefaultConfig;
    near.NEAR_LIMIT = 2;
    ResetZoom(v, near);
    EXPECT_EQ(v.ViewDistance, 2);
    v.DisplayTilt = 1;
    v.MouseX = 30;
    HomeView(v);
    const ViewState start = Started();
    EXPECT_EQ(std::tie(v.SpinAngle, v.TiltAngle, v.ViewDistance, v.DisplayTilt),
              std::tie(start.SpinAngle, start.TiltAngle, start.ViewDistance, start.DisplayTilt));
    EXPECT_EQ(v.MouseX, 30);
    // A touchpad's half notch zooms half a step.
    TurnWheel(v, 0.5, DefaultConfig);
    EXPECT_NEAR(v.ViewDistance, 1.4 * 0.95, 1e-9);
}

#include "AppFixture.h"

#include <cmath>
#include <numbers>

namespace {

const int AllKeys[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                       11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};

} // namespace

TEST_F(AppTest, PickingFindsEveryKeyUnderTheMouseFromSeveralViews) {
    T_Tessel_Frm& f = Start();
    struct View {
        double spin, tilt, distance;
    } views[] = {{0, 0, 1.4}, {25, 0, 1.4},  {0, -35, 1.4}, {-40, 30, 1.4},
                 {0, 0, 0.8}, {10, 10, 3.0}, {150, 0, 1.4}, {-100, 60, 1.2}};
    for (const View& v : views) {
        f.Model.View.SpinAngle = v.spin;
        f.Model.View.TiltAngle = v.tilt;
        f.Model.View.ViewDistance = v.distance;
        for (int id : AllKeys) {
            auto c = KeyCentre(id);
            MoveMouse(static_cast<int>(std::lround(c[0])), static_cast<int>(std::lround(c[1])));
            Frame();
            EXPECT_EQ(f.PickedName, KeyNameBase + id)
                << "key " << id << " spin " << v.spin << " tilt " << v.tilt << " at " << v.distance;
        }
    }
}

TEST_F(AppTest, SeenFromBehindTheCaseHidesEveryKey) {
    T_Tessel_Frm& f = Start();
    for (double tilt : {120.0, 180.0, -150.0}) {
        f.Model.View.TiltAngle = tilt;
        for (int id : AllKeys) {
            auto c = KeyCentre(id);
            EXPECT_EQ(f.PickKey(static_cast<int>(c[0]), static_cast<int>(c[1])), 0)
                << "key " << id << " tilt " << tilt;
        }
    }
}

TEST_F(AppTest, PickingFindsNoKeyOnTheCaseOrOutsideIt) {
    T_Tessel_Frm& f = Start();
    Frame();
    EXPECT_EQ(f.PickedName, 0); // before any mouse move the pick is at (0, 0)
    auto keyField = KeyCentre(5);
    MoveMouse(static_cast<int>(keyField[0]), static_cast<int>(keyField[1]));
    Frame();
    ASSERT_EQ(f.PickedName, KeyNameBase + 5);
    for (auto p : {Project(0.3, Config.THICKNESS, 0), Project(0.02, Config.THICKNESS, 0.15),
                   Project(0, 0, 0.5)}) {
        MoveMouse(static_cast<int>(p[0]), static_cast<int>(p[1]));
        Frame();
        EXPECT_EQ(f.PickedName, 0);
    }
    MoveMouse(-50, H + 40);
    Frame();
    EXPECT_EQ(f.PickedName, 0);
}

TEST_F(AppTest, NearerKeyWinsAndTiesGoToTheLowerId) {
    T_Tessel_Frm& f = Start();
    // Key 12 moved onto key 2, a little nearer to the viewer.
    f.Keys[12].X = f.Keys[2].X;
    f.Keys[12].Z = f.Keys[2].Z;
    f.Keys[12].Y = f.Keys[2].Y + 0.004f;
    auto c = KeyCentre(2);
    const int x = static_cast<int>(c[0]), y = static_cast<int>(c[1]);
    EXPECT_EQ(f.PickKey(x, y), KeyNameBase + 12);
    f.Keys[12].Y = f.Keys[2].Y;
    EXPECT_EQ(f.PickKey(x, y), KeyNameBase + 2);
}

TEST_F(AppTest, EveryKeyIsFoundEvenWhenAllFallInThePickRegion) {
    T_Tessel_Frm& f = Start();
    f.Model.View.ViewDistance = 95; // the whole calculator within a couple of pixels
    auto c = Project(-0.16, Config.THICKNESS, 0);
    MoveMouse(static_cast<int>(c[0]), static_cast<int>(c[1]));
    Frame();
    EXPECT_GE(f.PickedName, KeyNameBase);
    EXPECT_LT(f.PickedName, KeyNameBase + KeyCount);
}

TEST_F(AppTest, ClickingAKeyWorksLikeItsKeyboardKey) {
    T_Tessel_Frm& f = Start();
    auto click = [&](int id) {
        auto c = KeyCentre(id);
        Click(static_cast<int>(c[0]), static_cast<int>(c[1]));
    };
    for (int id : std::initializer_list<int>{1, 2, BtnPlus, 3, BtnEqual}) click(id);
    EXPECT_STREQ(DisplayText, "15");
    for (int id : std::initializer_list<int>{BtnMPlus, BtnC, BtnMR, BtnMult, 2, BtnEqual})
        click(id);
    EXPECT_STREQ(DisplayText, "30");
    EXPECT_EQ(Memory, 15);
    for (int id : std::initializer_list<int>{BtnMC, BtnCE, 7, BtnPoint, 5, BtnPlusMinus,
                                             BtnDivision, 5, BtnMinus, 0, BtnEqual})
        click(id);
    EXPECT_STREQ(DisplayText, "-1,5");
    EXPECT_EQ(Memory, 0);
    for (const KeyRecord& k : f.Keys) EXPECT_EQ(k.Pressed, 0);
}

TEST_F(AppTest, ClicksCountWhileTheFaceIsTowardTheViewerWhateverTheSpin) {
    T_Tessel_Frm& f = Start();
    auto press = [&](double spin, double tilt) {
        ClearAll();
        f.Model.View.SpinAngle = spin, f.Model.View.TiltAngle = tilt;
        auto c = KeyCentre(7);
        const int x = static_cast<int>(std::lround(c[0])), y = static_cast<int>(std::lround(c[1]));
        Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
        Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
        return std::string(DisplayText);
    };
    EXPECT_EQ(press(0, 0), "7");
    EXPECT_EQ(press(100, 0), "7"); // turned about its face's normal: still facing the viewer
    EXPECT_EQ(press(-170, 0), "7");
    EXPECT_EQ(press(30, 75), "7");
    EXPECT_EQ(press(0, -75), "7");
    EXPECT_EQ(press(0, 90), "0");
    EXPECT_EQ(press(0, -90), "0");
    EXPECT_EQ(press(100, 120), "0");
}

TEST_F(AppTest, ClickPressesTheKeyUnderItsOwnPositionWithNoFrameBetween) {
    T_Tessel_Frm& f = Start();
    auto seven = KeyCentre(7), three = KeyCentre(3);
    MoveMouse(static_cast<int>(seven[0]), static_cast<int>(seven[1]));
    Frame();
    ASSERT_EQ(f.PickedName, KeyNameBase + 7);
    const int x = static_cast<int>(three[0]), y = static_cast<int>(three[1]);
    MoveMouse(x, y); // no frame drawn since
    Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
    EXPECT_STREQ(DisplayText, "3");
    EXPECT_EQ(f.Keys[3].Pressed, 1);
    EXPECT_EQ(f.Keys[7].Pressed, 0);
}

TEST_F(AppTest, ClickNeedsTheLeftButtonAloneAndAKeyUnderTheMouse) {
    T_Tessel_Frm& f = Start();
    auto c = KeyCentre(7);
    const int x = static_cast<int>(c[0]), y = static_cast<int>(c[1]);
    MoveMouse(x, y);
    Send({WindowEvent::MouseDown, 0, ssLeft | ssRight, TMouseButton::mbRight, x, y});
    EXPECT_STREQ(DisplayText, "0");
    Send({WindowEvent::MouseDown, 0, ssRight, TMouseButton::mbRight, x, y});
    EXPECT_STREQ(DisplayText, "0");
    // Any button pressed while the left is held (and the right is not) clicks.
    Send({WindowEvent::MouseDown, 0, ssLeft | ssMiddle, TMouseButton::mbMiddle, x, y});
    EXPECT_STREQ(DisplayText, "7");
    EXPECT_EQ(f.Keys[7].Pressed, 1);
    // Releasing the right button while the left is held releases nothing.
    Send({WindowEvent::MouseUp, 0, ssLeft, TMouseButton::mbRight, x, y});
    EXPECT_EQ(f.Keys[7].Pressed, 1);
    Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
    EXPECT_EQ(f.Keys[7].Pressed, 0);
    MoveMouse(1, 1);
    Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, 1, 1});
    EXPECT_STREQ(DisplayText, "7");
}

TEST_F(AppTest, KeyboardGroupsDriveTheEngine) {
    T_Tessel_Frm& f = Start();
    Key('1');
    Key(VK_NUMPAD0 + 2);
    Key(VK_OEM_COMMA);
    Key('5');
    EXPECT_STREQ(DisplayText, "12,5");
    Key(VK_RETURN);
    EXPECT_STREQ(DisplayText, "12,5");
    Key(VK_ESCAPE);
    Key('3');
    Key('8', ssShift);
    Key('4');
    Key(VK_OEM_PLUS);
    EXPECT_STREQ(DisplayText, "12");
    Key(VK_MULTIPLY);
    Key('2');
    Key(VK_OEM_PLUS, ssShift);
    EXPECT_STREQ(DisplayText, "24");
    Key('1');
    Key(VK_OEM_MINUS);
    Key('6');
    Key(VK_OEM_2);
    Key('2');
    Key(VK_RETURN);
    EXPECT_STREQ(DisplayText, "9,5");
    Key(VK_F9);
    EXPECT_STREQ(DisplayText, "-9,5");
    Key('P', ssCtrl);
    EXPECT_EQ(Memory, -9.5);
    Key(VK_DELETE);
    EXPECT_STREQ(DisplayText, "0");
    Key('R', ssCtrl);
    EXPECT_STREQ(DisplayText, "-9,5");
    for (auto [key, shift] : {std::pair{std::uint16_t('L'), ssCtrl | ssShift},
                              {std::uint16_t('5'), ssAlt},
                              {std::uint16_t('5'), ssCtrl},
                              {std::uint16_t('L'), 0u},
                              {std::uint16_t('8'), ssShift | ssAlt}}) {
        Key(key, shift);
        EXPECT_STREQ(DisplayText, "-9,5") << key << " " << shift;
    }
    Key('L', ssCtrl);
    EXPECT_EQ(Memory, 0);
    (void)f;
}

TEST_F(AppTest, KeyStaysMarkedUntilAnyKeyIsReleased) {
    T_Tessel_Frm& f = Start();
    Send(UsKeyDown('4'));
    Send(UsKeyDown('4')); // auto-repeat repeats the action
    EXPECT_STREQ(DisplayText, "44");
    Send(UsKeyDown(VK_ADD));
    EXPECT_EQ(f.Keys[4].Pressed, 1);
    EXPECT_EQ(f.Keys[BtnPlus].Pressed, 1);
    Send({WindowEvent::KeyUp, VK_SHIFT});
    for (const KeyRecord& k : f.Keys) EXPECT_EQ(k.Pressed, 0);
    Send(UsKeyDown(VK_PRIOR));
    for (const KeyRecord& k : f.Keys) EXPECT_EQ(k.Pressed, 0);
}

TEST_F(AppTest, ConversionFailureIsShownOnceAndTheKeyStaysMarked) {
    T_Tessel_Frm& f = Start();
    Key('5');
    Key(VK_DIVIDE);
    Key('0');
    Key(VK_RETURN);
    ASSERT_STREQ(DisplayText, "DIVIDE BY 0");
    Send(UsKeyDown(VK_ADD));
    ASSERT_EQ(platform->Messages.size(), 1u);
    EXPECT_EQ(platform->Messages[0].text, "'DIVIDE BY 0' is not a valid floating point value.");
    EXPECT_EQ(platform->Messages[0].caption, ApplicationTitle);
    EXPECT_EQ(f.Keys[BtnPlus].Pressed, 1);
    EXPECT_STREQ(DisplayText, "DIVIDE BY 0");
    Frame(); // the program goes on
    Send({WindowEvent::KeyUp, VK_ADD});
    EXPECT_EQ(f.Keys[BtnPlus].Pressed, 0);
    Key('7');
    EXPECT_STREQ(DisplayText, "7");
    EXPECT_EQ(platform->Messages.size(), 1u);
}

TEST_F(AppTest, PageUpAndDownRaiseAndLowerTheDisplayWithinBounds) {
    T_Tessel_Frm& f = Start();
    Key(VK_NEXT);
    EXPECT_EQ(f.Model.View.DisplayTilt, 0);
    for (int i = 0; i < 157; ++i) Key(VK_PRIOR);
    EXPECT_NEAR(f.Model.View.DisplayTilt, 1.57, 1e-9);
    EXPECT_LT(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    Key(VK_PRIOR);
    EXPECT_EQ(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    Key(VK_PRIOR);
    EXPECT_EQ(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    Key(VK_PRIOR, ssShift);
    Key(VK_NEXT, ssCtrl);
    EXPECT_EQ(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    for (int i = 0; i < 200; ++i) Key(VK_NEXT);
    EXPECT_EQ(f.Model.View.DisplayTilt, 0);
}

TEST_F(AppTest, RightDragTurnsAndWrapsAround) {
    T_Tessel_Frm& f = Start();
    MoveMouse(100, 100);
    for (int x = 110; x <= 550; x += 10) MoveMouse(x, 100, ssRight);
    EXPECT_NEAR(f.Model.View.SpinAngle, 90, 1e-9);
    EXPECT_EQ(f.Model.View.TiltAngle, 0);
    MoveMouse(550, 60, ssRight);
    EXPECT_NEAR(f.Model.View.TiltAngle, -8, 1e-9);
    f.Model.View.SpinAngle = 179.9;
    MoveMouse(551, 60, ssRight);
    EXPECT_NEAR(f.Model.View.SpinAngle, -179.9, 1e-9);
    // Moves with the left button alone or none change nothing but the position.
    MoveMouse(700, 300, ssLeft);
    MoveMouse(10, 10);
    EXPECT_NEAR(f.Model.View.SpinAngle, -179.9, 1e-9);
    EXPECT_NEAR(f.Model.View.TiltAngle, -8, 1e-9);
    EXPECT_EQ(f.Model.View.MouseX, 10);
    EXPECT_EQ(f.Model.View.LastMouseY, 10);
}

TEST_F(AppTest, DragWithBothButtonsZoomsWithinTheLimits) {
    T_Tessel_Frm& f = Start();
    MoveMouse(50, 0);
    for (int y = 7; y <= 100; y += 31) MoveMouse(50, y, ssLeft | ssRight);
    MoveMouse(50, 100, ssLeft | ssRight);
    EXPECT_NEAR(f.Model.View.ViewDistance, 7.4, 1e-9); // 100 pixels down, in whatever steps
    MoveMouse(50, 100);
    f.Model.View.ViewDistance = 9.9;
    MoveMouse(50, 110, ssLeft | ssRight);
    EXPECT_NEAR(f.Model.View.ViewDistance, 10.5, 1e-9);
    MoveMouse(50, 150, ssLeft | ssRight);
    EXPECT_NEAR(f.Model.View.ViewDistance, 10.5, 1e-9);
    MoveMouse(80, 20, ssLeft | ssRight); // only vertical motion counts
    EXPECT_NEAR(f.Model.View.ViewDistance, 10.5 - 130 * 0.06, 1e-9);
    EXPECT_EQ(f.Model.View.SpinAngle, 0);
    f.Model.View.ViewDistance = 0.75;
    MoveMouse(80, 0, ssLeft | ssRight);
    EXPECT_NEAR(f.Model.View.ViewDistance, 0.75 - 20 * 0.06, 1e-9);
    MoveMouse(80, -30, ssLeft | ssRight);
    EXPECT_NEAR(f.Model.View.ViewDistance, 0.75 - 20 * 0.06, 1e-9);
    Frame();
    EXPECT_EQ(f.Model.View.ViewDistance, Config.NEAR_LIMIT);
}

TEST_F(AppTest, CtrlCCopiesTheNumberAsItStandsButNoErrorText) {
    Start();
    for (char c : std::string("12")) Key(static_cast<std::uint16_t>(c));
    Key(VK_OEM_COMMA);
    Key('5');
    Key('C', ssCtrl);
    EXPECT_EQ(platform->Clipboard, "12,5");
    Key(VK_DIVIDE);
    Key('0');
    Key(VK_RETURN);
    ASSERT_STREQ(DisplayText, "DIVIDE BY 0");
    Key('C', ssCtrl);
    EXPECT_EQ(platform->Clipboard, "12,5");
    Key(VK_F9);
    Key('C', ssCtrl);
    EXPECT_EQ(platform->Clipboard, "12,5");
    Key('C'); // C alone is no shortcut
    Key('C', ssCtrl | ssShift);
    EXPECT_EQ(platform->Clipboard, "12,5");
}

TEST_F(AppTest, CtrlVEntersANumberFromTheClipboardAsIfTyped) {
    T_Tessel_Frm& f = Start();
    auto paste = [&](const std::string& text) {
        platform->Clipboard = text;
        Key('V', ssCtrl);
        return std::string(DisplayText);
    };
    EXPECT_EQ(paste("12,5"), "12,5");
    EXPECT_EQ(paste(" -3.25 "), "-3,25");
    EXPECT_EQ(paste("1234567890"), "1234567890");
    // More digits than the entry holds, and no number at all, change nothing.
    EXPECT_EQ(paste("12345678901"), "1234567890");
    EXPECT_EQ(paste("abc"), "1234567890");
    EXPECT_EQ(paste("1,2,3"), "1234567890");
    EXPECT_EQ(paste(""), "1234567890");
    for (const KeyRecord& k : f.Keys) EXPECT_EQ(k.Pressed, 0); // no key is animated
    // A pasted number takes part in a calculation like a typed one.
    Key(VK_ADD);
    paste("0.5\n");
    Key(VK_RETURN);
    EXPECT_STREQ(DisplayText, "1234567890,5");
}

TEST_F(AppTest, BackspaceRemovesTheLastCharacterOfAnEntry) {
    Start();
    auto keys = [&](const std::string& typed) {
        for (char c : typed) {
            if (c == '<')
                Key(VK_BACK);
            else if (c == ',')
                Key(VK_OEM_COMMA);
            else if (c == '~')
                Key(VK_F9);
            else if (c == '+')
                Key(VK_ADD);
            else if (c == '=')
                Key(VK_RETURN);
            else
                Key(static_cast<std::uint16_t>(c));
        }
        return std::string(DisplayText);
    };
    EXPECT_EQ(keys("123<"), "12");
    EXPECT_EQ(keys("<<"), "0");
    EXPECT_EQ(keys("7"), "7"); // a new entry replaces the 0
    EXPECT_EQ(keys("<~5"), "5");
    EXPECT_EQ(keys("~<"), "0");
    EXPECT_EQ(keys("1,5<<"), "1");
    EXPECT_EQ(keys("+2=<"), "3"); // a result stays
    Key('9');
    Key(VK_DIVIDE);
    Key('0');
    Key(VK_RETURN);
    EXPECT_EQ(keys("<"), "DIVIDE BY 0");
}

TEST_F(AppTest, WheelZoomsByATenthWithinTheLimits) {
    T_Tessel_Frm& f = Start();
    auto wheel = [&](double notches) {
        Send({WindowEvent::Wheel, 0, 0, TMouseButton::mbLeft, 10, 10, notches});
        return f.Model.View.ViewDistance;
    };
    EXPECT_NEAR(wheel(1), 1.26, 1e-12);
    EXPECT_NEAR(wheel(-1), 1.386, 1e-12);
    for (int i = 0; i < 20; ++i) wheel(1);
    EXPECT_EQ(f.Model.View.ViewDistance, Config.NEAR_LIMIT);
    EXPECT_NEAR(wheel(-2), Config.NEAR_LIMIT * 1.21, 1e-6);
    for (int i = 0; i < 40; ++i) wheel(-1);
    EXPECT_EQ(f.Model.View.ViewDistance, Config.FAR_LIMIT);
    EXPECT_EQ(wheel(-1000000), Config.FAR_LIMIT);
    EXPECT_EQ(wheel(1000000), Config.NEAR_LIMIT);
}

TEST_F(AppTest, F1RaisesTheDisplayFullyAndLowersItAgain) {
    T_Tessel_Frm& f = Start();
    Key(VK_F1);
    EXPECT_EQ(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    Key(VK_F1);
    EXPECT_EQ(f.Model.View.DisplayTilt, 0);
    Key(VK_PRIOR);
    Key(VK_F1);
    EXPECT_EQ(f.Model.View.DisplayTilt, std::numbers::pi / 2);
    for (const KeyRecord& k : f.Keys) EXPECT_EQ(k.Pressed, 0);
}

TEST_F(AppTest, EverythingByKeyboardAndTouchpad) {
    T_Tessel_Frm& f = Start();
    Frame();
    const auto start = Region(0, 0, W, H);
    // The arrow keys and the zoom keys change the picture; Home brings back the first one.
    for (auto [key, shift] : {std::pair<std::uint16_t, TShiftState>{VK_LEFT, 0},
                              {VK_UP, 0},
                              {VK_OEM_PLUS, ssCtrl | ssShift},
                              {VK_PRIOR, 0}}) {
        Key(key, shift);
        Frame();
        EXPECT_NE(Region(0, 0, W, H), start) << key;
    }
    Key(VK_HOME);
    Frame();
    EXPECT_EQ(Region(0, 0, W, H), start);
    EXPECT_STREQ(DisplayText, "0");

    // A left drag from the background turns, pressing nothing; from key 5 it presses 5 only.
    Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, 3, 3});
    MoveMouse(40, 3, ssLeft);
    Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, 40, 3});
    EXPECT_NE(f.Model.View.SpinAngle, 0);
    EXPECT_STREQ(DisplayText, "0");
    Key(VK_HOME);
    auto five = KeyCentre(5);
    const int x = static_cast<int>(five[0]), y = static_cast<int>(five[1]);
    Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
    MoveMouse(x + 40, y, ssLeft);
    Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x + 40, y});
    EXPECT_EQ(f.Model.View.SpinAngle, 0);
    EXPECT_STREQ(DisplayText, "5");

    // The first Tab shows the focus mark; the third reaches 7, which Space presses.
    MoveMouse(3, 3);
    Frame();
    const auto unmarked = Region(0, 0, W, H);
    Key(VK_TAB);
    Frame();
    EXPECT_NE(Region(0, 0, W, H), unmarked);
    Key(VK_TAB);
    Key(VK_TAB);
    Key(VK_SPACE);
    EXPECT_STREQ(DisplayText, "57");
}

// The calculator model with a recording view: what each action changes, told in order,
// without GL or a window.
#include "model/Calcmodel_un.h"

#include "engine/Matheng_un.h"

#include "UsLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct RecordingView : CalculatorView {
    std::vector<std::string> told;
    void DisplayChanged(const std::string& text, bool memoryShown) override {
        told.push_back("display " + text + (memoryShown ? " M" : ""));
    }
    void KeyChanged(int key, bool down) override {
        told.push_back("key " + std::to_string(key) + (down ? " down" : " up"));
    }
    void PointedKeyChanged(int key) override { told.push_back("point " + std::to_string(key)); }
    void FocusChanged(int key, bool shown) override {
        told.push_back("focus " + std::to_string(key) + (shown ? " shown" : " hidden"));
    }
    void ViewChanged(const ViewState& v) override {
        told.push_back("view " + std::to_string(static_cast<int>(v.SpinAngle)) + " " +
                       std::to_string(static_cast<int>(v.TiltAngle)) + " " +
                       std::to_string(static_cast<int>(v.DisplayTilt * 100)));
    }
};

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.AddView(view);
        model.Start();
        view.told.clear();
    }
    // A key pressed and released on a US layout.
    void Key(std::uint16_t key, TShiftState shift = 0) {
        Action a{Action::PressKey};
        if (ModelActionOfKey(ActionOfKey(key, UsCharacterOf(key, shift), shift), a)) model.Do(a);
        model.Do({Action::ReleaseKeys});
    }
    void Type(const std::string& keys) {
        for (char c : keys)
            Key(c == '+'   ? std::uint16_t{VK_ADD}
                : c == '/' ? std::uint16_t{VK_DIVIDE}
                : c == '=' ? std::uint16_t{VK_RETURN}
                : c == 'C' ? std::uint16_t{VK_ESCAPE}
                           : std::uint16_t(c));
    }
    std::vector<std::string> Heard() { return std::exchange(view.told, {}); }

    ConfigRecord config = DefaultConfig;
    CalculatorModel model{config};
    RecordingView view;
};

using Told = std::vector<std::string>;

} // namespace

TEST_F(ModelTest, AViewIsToldWhatKeysAClickADragAndPageUpChangeInOrder) {
    Type("12+");
    EXPECT_EQ(Heard(), (Told{"key 1 down", "display 1", "key 1 up", "key 2 down", "display 12",
                             "key 2 up", "key 11 down", "key 11 up"}));
    // A click on = : the left button, the key it hit, the release.
    model.Do({.kind = Action::Buttons, .shift = ssLeft});
    model.Do({Action::PressKey, BtnEqual});
    model.Do({.kind = Action::Buttons});
    model.Do({Action::ReleaseKeys});
    EXPECT_EQ(Heard(), (Told{"key 18 down", "display 24", "key 18 up"}));
    // A right drag turns; the pointer moving onto a key is told once.
    model.Do({.kind = Action::MoveMouse, .x = 100, .y = 100});
    model.Do({.kind = Action::MoveMouse, .shift = ssRight, .x = 150, .y = 120});
    model.Do({Action::PointAt, 5});
    model.Do({Action::PointAt, 5});
    Key(VK_PRIOR);
    EXPECT_EQ(Heard(), (Told{"view 10 4 0", "point 5", "view 10 4 1"}));
}

TEST_F(ModelTest, OnlyWhatChangesIsTold) {
    struct Case {
        const char* typed;
        Told displays; // the display changes the keys cause, in order
    } cases[] = {
        {"0", {}},               // a 0 on a 0 shows nothing new
        {"C2+2", {"display 2"}}, // nor does the second 2 replacing the first
        {"=", {"display 4"}},
        {"==", {"display 6", "display 8"}}, // repeated equals
        {"1/0=", {"display 1", "display 0", "display DIVIDE BY 0"}},
    };
    for (const Case& c : cases) {
        Type(c.typed);
        Told displays;
        for (const std::string& t : Heard())
            if (t.starts_with("display")) displays.push_back(t);
        EXPECT_EQ(displays, c.displays) << c.typed;
    }
}

TEST_F(ModelTest, TheKeptMemoryShowsItsMarkAndAFailedCommandLeavesItsKeyDown) {
    model.Do({.kind = Action::RestoreMemory, .value = 5});
    model.Do({.kind = Action::RestoreMemory, .value = 5});
    EXPECT_EQ(Heard(), (Told{"display 0 M"}));
    Type("1/0=");
    Heard();
    // An operator on an error text cannot convert it: the key stays down, the failure goes on
    // to the caller, and the views still hear of the key.
    EXPECT_THROW(model.Do({Action::PressKey, BtnMult}), EConvertError);
    EXPECT_TRUE(model.KeyDown(BtnMult));
    EXPECT_EQ(Heard(), (Told{"key 13 down"}));
    model.Do({Action::ReleaseKeys});
    EXPECT_EQ(Heard(), (Told{"key 13 up"}));
}

TEST_F(ModelTest, AViewRemovedHearsNothingMore) {
    model.RemoveView(view);
    Type("7");
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(model.Text(), "7");
}

TEST_F(ModelTest, TabMovesTheFocusInReadingOrderAndSpacePressesTheFocusedKey) {
    const int order[] = {
        BtnCE,    BtnC,         7,       8,       9, BtnDivision, BtnMC,    4,        5,
        6,        BtnMult,      BtnMR,   1,       2, 3,           BtnMinus, BtnMPlus, 0,
        BtnPoint, BtnPlusMinus, BtnPlus, BtnEqual};
    EXPECT_TRUE(std::equal(std::begin(order), std::end(order), FocusOrder.begin()));
    Key(VK_SPACE); // no focus before the first Tab
    EXPECT_EQ(model.Text(), "0");
    struct Step {
        std::uint16_t key;
        TShiftState shift;
        int focused;
        bool shown;
    } steps[] = {
        {VK_TAB, ssShift, BtnEqual, true}, // Shift+Tab first: the last key
        {VK_TAB, 0, BtnCE, true},          // and round again
        {VK_TAB, 0, BtnC, true},
        {VK_TAB, 0, 7, true},
    };
    for (const Step& s : steps) {
        Key(s.key, s.shift);
        EXPECT_EQ(model.FocusedKey(), s.focused);
        EXPECT_EQ(model.FocusShown(), s.shown);
    }
    Heard();
    Key(VK_SPACE);
    EXPECT_EQ(Heard(), (Told{"key 7 down", "display 7", "key 7 up"}));
    // A click hides the mark and leaves the focus where it is; Space then presses nothing.
    model.Do({.kind = Action::Buttons, .shift = ssLeft});
    model.Do({.kind = Action::Buttons});
    EXPECT_EQ(Heard(), (Told{"focus 7 hidden"}));
    Key(VK_SPACE);
    EXPECT_EQ(model.Text(), "7");
    Key(VK_TAB);
    EXPECT_EQ(Heard(), (Told{"focus 8 shown"}));
}

TEST_F(ModelTest, ALeftDragTurnsOnlyWhenItStartsOffTheKeys) {
    struct Case {
        bool offTheKeys;
        bool turns;
    } cases[] = {{true, true}, {false, false}};
    for (const Case& c : cases) {
        model.Do({Action::HomeView});
        model.Do({.kind = Action::MoveMouse, .x = 100, .y = 100});
        model.Do({.kind = Action::Buttons, .shift = ssLeft});
        if (c.offTheKeys) model.Do({Action::GrabCase});
        model.Do({.kind = Action::MoveMouse, .shift = ssLeft, .x = 150, .y = 100});
        model.Do({.kind = Action::Buttons});
        EXPECT_EQ(model.View.SpinAngle != 0, c.turns) << c.offTheKeys;
        // Released, the next left drag is no turn of its own.
        model.Do({.kind = Action::MoveMouse, .shift = ssLeft, .x = 200, .y = 100});
        EXPECT_EQ(model.View.SpinAngle, c.turns ? 10 : 0);
    }
}

TEST_F(ModelTest, AViewHearsAKeysCommandRanAfterWhatItChangedButNotWhenItFailed) {
    struct RanView : CalculatorView {
        std::string* log;
        void DisplayChanged(const std::string& text, bool) override {
            *log += "display " + text + ";";
        }
        void CommandRan(int key) override { *log += "ran " + std::to_string(key) + ";"; }
    } ran;
    std::string log;
    ran.log = &log;
    model.AddView(ran);
    Type("7=");
    model.Do({Action::FocusKey, BtnMR});
    EXPECT_EQ(log, "display 7;ran 7;ran 18;");
    EXPECT_EQ(model.FocusedKey(), BtnMR);
    EXPECT_TRUE(model.FocusShown());
    Type("1/0=");
    log.clear();
    EXPECT_THROW(model.Do({Action::PressKey, BtnMult}), EConvertError);
    EXPECT_EQ(log, "");
    model.Do({Action::FocusKey, KeyCount}); // no such key: the focus stays
    EXPECT_EQ(model.FocusedKey(), BtnMR);
    model.RemoveView(ran);
}

// The calculator as a user changes it: the engine's state, the keys held down, the key under
// the pointer and the view (turn, tilt, distance, the display frame and the card under it).
// Every action goes in through Do, whatever it came from (the keyboard, a click, a drag, the
// wheel, a paste, a screen reader); every change comes out, in the order it happened, to the
// views added with AddView. The GL frame is one such view. Knows neither GL nor SDL.
#pragma once

#include "Controller_un.h"

#include "scene/Keypad_un.h"

#include <array>
#include <string>
#include <vector>

// What a view of the calculator is told; each call comes with the model already changed.
class CalculatorView {
public:
    virtual ~CalculatorView() = default;
    // The display's text or its memory mark.
    virtual void DisplayChanged(const std::string& /*text*/, bool /*memoryShown*/) {}
    // The memory register's value.
    virtual void MemoryChanged(double /*memory*/) {}
    // A calculator key went down or came up.
    virtual void KeyChanged(int /*key*/, bool /*down*/) {}
    // The key under the pointer; -1 for none.
    virtual void PointedKeyChanged(int /*key*/) {}
    // The turn, the tilt, the distance or the display frame.
    virtual void ViewChanged(const ViewState& /*view*/) {}
    // The keyboard focus: the focused key, and whether its mark is shown (from the first Tab
    // on, until a click).
    virtual void FocusChanged(int /*key*/, bool /*shown*/) {}
    // A key's command ran, and what it changed on the display and in the memory is told.
    virtual void CommandRan(int /*key*/) {}
};

struct Action {
    enum Kind {
        PressKey,      // key: a calculator key goes down and runs its command
        ReleaseKeys,   // every key held comes up
        TakeBack,      // the last digit typed (Backspace)
        Paste,         // text: a number entered from the clipboard
        ToggleCard,    // the display frame up at once, or down again
        RaiseDisplay,  // by a step
        LowerDisplay,  // by a step
        Buttons,       // shift: the mouse buttons held now
        MoveMouse,     // x, y, shift: held buttons turn or zoom
        Wheel,         // value: notches, positive nearer; a touchpad gives parts
        GrabCase,      // the left button went down off the keys: a drag turns
        Steer,         // x, y: steps of turn and tilt (the arrow keys)
        ResetZoom,     // the starting distance
        HomeView,      // the whole starting view
        FocusNext,     // the focus to the next key in reading order, its mark shown
        FocusPrevious, // and back
        PressFocused,  // the focused key pressed, as a click presses it
        FocusKey,      // key: the focus to this key, its mark shown
        PointAt,       // key: the key under the pointer, -1 for none
        ShowFrame,     // a frame is about to show the view: the near limit holds
        RestoreMemory, // value: the memory register as kept
    } kind;
    int key = -1;
    TShiftState shift = 0;
    int x = 0, y = 0;
    double value = 0;
    std::string text = {};
};

// The keys in reading order, row by row from the top as a user sees them: the order the
// focus moves in.
extern const std::array<int, KeyCount> FocusOrder;

// The action a key press stands for in the model, or false where it stands for none there
// (Copy, which only reads the display, and keys that do nothing).
bool ModelActionOfKey(const KeyAction& key, Action& action);

class CalculatorModel {
public:
    explicit CalculatorModel(const ConfigRecord& config) : config_(config) {}

    // A new calculator: the engine cleared, the starting view, no key held. Told to the views.
    void Start();
    // Carries out one action and tells the views what it changed. An engine command that
    // fails leaves its key down until the next release; the failure propagates.
    void Do(const Action& action);

    void AddView(CalculatorView& view);
    void RemoveView(CalculatorView& view);

    bool KeyDown(int key) const { return down_[key]; }
    int PointedKey() const { return pointed_; }
    int FocusedKey() const { return focused_; }
    bool FocusShown() const { return focusShown_; }
    const std::string& Text() const { return text_; }
    bool MemoryShown() const { return memoryShown_; }

    // The view the frames are drawn from. Changed by Do; a test may place it directly.
    ViewState View{};

private:
    void Apply(const Action& action);
    void SetKey(int key, bool down);
    void TellDisplay();
    void SetFocus(int key, bool shown);
    void MoveFocus(int by);

    const ConfigRecord& config_;
    std::vector<CalculatorView*> views_;
    std::array<bool, KeyCount> down_{};
    int pointed_ = -1;
    int focused_ = -1; // none before the first Tab
    bool focusShown_ = false;
    std::string text_;
    bool memoryShown_ = false;
    double memory_ = 0;
    int ran_ = -1; // the key whose command the action ran
};

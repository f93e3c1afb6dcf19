#include "Calcmodel_un.h"

#include "engine/Matheng_un.h"

#include <algorithm>

namespace {

std::array<int, KeyCount> ReadingOrder() {
    std::array<int, KeyCount> order{};
    for (int i = 0; i < KeyCount; ++i) order[i] = i;
    // The rows from the one farthest from the display, each from the left.
    std::sort(order.begin(), order.end(), [](int a, int b) {
        const KeypadKey &ka = Keypad[a], &kb = Keypad[b];
        return ka.row != kb.row ? ka.row > kb.row : ka.column < kb.column;
    });
    return order;
}

} // namespace

const std::array<int, KeyCount> FocusOrder = ReadingOrder();

bool ModelActionOfKey(const KeyAction& key, Action& action) {
    switch (key.kind) {
    case KeyAction::Steer:
        action = {.kind = Action::Steer, .x = key.spin, .y = key.tilt};
        return true;
    case KeyAction::ZoomIn:
    case KeyAction::ZoomOut:
        action = {.kind = Action::Wheel, .value = key.kind == KeyAction::ZoomIn ? 1.0 : -1.0};
        return true;
    case KeyAction::ZoomReset:
        action = {Action::ResetZoom};
        return true;
    case KeyAction::HomeView:
        action = {Action::HomeView};
        return true;
    case KeyAction::FocusNext:
        action = {Action::FocusNext};
        return true;
    case KeyAction::FocusPrevious:
        action = {Action::FocusPrevious};
        return true;
    case KeyAction::PressFocused:
        action = {Action::PressFocused};
        return true;
    case KeyAction::Press:
        action = {Action::PressKey, key.button};
        return true;
    case KeyAction::TakeBack:
        action = {Action::TakeBack};
        return true;
    case KeyAction::ToggleCard:
        action = {Action::ToggleCard};
        return true;
    case KeyAction::RaiseDisplay:
        action = {Action::RaiseDisplay};
        return true;
    case KeyAction::LowerDisplay:
        action = {Action::LowerDisplay};
        return true;
    case KeyAction::Paste:
        action = {Action::Paste};
        return true;
    case KeyAction::Copy:
    case KeyAction::None:
        break;
    }
    return false;
}

void CalculatorModel::AddView(CalculatorView& view) {
    views_.push_back(&view);
}

void CalculatorModel::RemoveView(CalculatorView& view) {
    std::erase(views_, &view);
}

void CalculatorModel::Start() {
    InitEngine();
    StartView(View);
    for (int key = 0; key < KeyCount; ++key) SetKey(key, false);
    pointed_ = -1;
    for (CalculatorView* v : views_) v->ViewChanged(View);
    TellDisplay();
}

void CalculatorModel::Do(const Action& action) {
    const ViewState before = View;
    ran_ = -1;
    try {
        Apply(action);
    } catch (...) {
        // What the command changed before it failed is shown all the same.
        TellDisplay();
        throw;
    }
    // The mouse's own position is no part of what is seen.
    if (View.DisplayTilt != before.DisplayTilt || View.SpinAngle != before.SpinAngle ||
        View.TiltAngle != before.TiltAngle || View.ViewDistance != before.ViewDistance)
        for (CalculatorView* v : views_) v->ViewChanged(View);
    TellDisplay();
    if (ran_ >= 0)
        for (CalculatorView* v : views_) v->CommandRan(ran_);
}

void CalculatorModel::Apply(const Action& a) {
    switch (a.kind) {
    case Action::PressKey:
        if (a.key < 0 || a.key >= KeyCount) return;
        // Down first, so a key whose command fails stays down until the next release.
        SetKey(a.key, true);
        RunKeyCommand(a.key);
        ran_ = a.key;
        return;
    case Action::ReleaseKeys:
        for (int key = 0; key < KeyCount; ++key) SetKey(key, false);
        return;
    case Action::TakeBack:
        DeleteLastCharacter();
        return;
    case Action::Paste:
        EnterNumberText(a.text);
        return;
    case Action::ToggleCard:
        ToggleCard(View);
        return;
    case Action::RaiseDisplay:
        RaiseDisplay(View);
        return;
    case Action::LowerDisplay:
        LowerDisplay(View);
        return;
    case Action::Buttons:
        // A click hides the focus mark where it is.
        if ((a.shift & ssLeft) && !View.LeftButtonDown) SetFocus(focused_, false);
        TakeButtons(View, a.shift);
        return;
    case Action::GrabCase:
        View.LeftDragTurns = View.LeftButtonDown;
        return;
    case Action::Steer:
        Steer(View, a.x, a.y);
        return;
    case Action::ResetZoom:
        ResetZoom(View, config_);
        return;
    case Action::HomeView:
        HomeView(View);
        return;
    case Action::FocusNext:
        MoveFocus(1);
        return;
    case Action::FocusPrevious:
        MoveFocus(-1);
        return;
    case Action::PressFocused:
        if (focusShown_) Apply({Action::PressKey, focused_});
        return;
    case Action::FocusKey:
        if (a.key >= 0 && a.key < KeyCount) SetFocus(a.key, true);
        return;
    case Action::MoveMouse:
        MoveMouse(View, a.shift, a.x, a.y, config_);
        return;
    case Action::Wheel:
        TurnWheel(View, a.value, config_);
        return;
    case Action::PointAt: {
        const int key = a.key >= 0 && a.key < KeyCount ? a.key : -1;
        if (key == pointed_) return;
        pointed_ = key;
        for (CalculatorView* v : views_) v->PointedKeyChanged(key);
        return;
    }
    case Action::ShowFrame:
        KeepNearLimit(View, config_);
        return;
    case Action::RestoreMemory:
        Memory = a.value;
        return;
    }
}

void CalculatorModel::SetKey(int key, bool down) {
    if (down_[key] == down) return;
    down_[key] = down;
    for (CalculatorView* v : views_) v->KeyChanged(key, down);
}

void CalculatorModel::MoveFocus(int by) {
    // The first Tab shows the mark on the first key, Shift+Tab on the last.
    int at = by > 0 ? -1 : 0;
    for (int i = 0; i < KeyCount; ++i)
        if (FocusOrder[i] == focused_) at = i;
    SetFocus(FocusOrder[(at + by + KeyCount) % KeyCount], true);
}

void CalculatorModel::SetFocus(int key, bool shown) {
    shown = shown && key >= 0;
    if (key == focused_ && shown == focusShown_) return;
    focused_ = key;
    focusShown_ = shown;
    for (CalculatorView* v : views_) v->FocusChanged(key, shown);
}

void CalculatorModel::TellDisplay() {
    if (Memory != memory_) {
        memory_ = Memory;
        for (CalculatorView* v : views_) v->MemoryChanged(memory_);
    }
    const bool memoryShown = Memory != 0;
    if (text_ == DisplayText && memoryShown_ == memoryShown) return;
    text_ = DisplayText;
    memoryShown_ = memoryShown;
    for (CalculatorView* v : views_) v->DisplayChanged(text_, memoryShown_);
}

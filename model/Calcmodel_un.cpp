#include "Calcmodel_un.h"

#include "engine/Matheng_un.h"

#include <algorithm>

bool ModelActionOfKey(const KeyAction& key, Action& action) {
    switch (key.kind) {
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
}

void CalculatorModel::Apply(const Action& a) {
    switch (a.kind) {
    case Action::PressKey:
        if (a.key < 0 || a.key >= KeyCount) return;
        // Down first, so a key whose command fails stays down until the next release.
        SetKey(a.key, true);
        RunKeyCommand(a.key);
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
        TakeButtons(View, a.shift);
        return;
    case Action::MoveMouse:
        MoveMouse(View, a.shift, a.x, a.y, config_);
        return;
    case Action::Wheel:
        TurnWheel(View, a.notches, config_);
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

void CalculatorModel::TellDisplay() {
    const bool memoryShown = Memory != 0;
    if (text_ == DisplayText && memoryShown_ == memoryShown) return;
    text_ = DisplayText;
    memoryShown_ = memoryShown;
    for (CalculatorView* v : views_) v->DisplayChanged(text_, memoryShown_);
}

// What the user's input does, as rules on plain records, knowing neither GL nor SDL: the view
// state and its limits, what a key press or a click stands for, and the drags and the wheel.
// The calculator model holds a ViewState and applies these rules to it.
#pragma once

#include "config/Cfgread_un.h"
#include "platform/Keycodes_un.h"

#include <cstdint>

struct ViewState {
    double DisplayTilt = 0; // radians, 0 .. pi/2
    double SpinAngle = 0;   // degrees
    double TiltAngle = 0;   // degrees
    double LastMouseX = 0, LastMouseY = 0;
    double MouseX = 0, MouseY = 0;
    double ViewDistance = 0;
    double TiltSpeed = 0, SpinSpeed = 0, ZoomSpeed = 0;
    bool LeftButtonDown = false, RightButtonDown = false;
    // The left button went down off the keys: dragged, it turns as the right one does.
    bool LeftDragTurns = false;
};

// The view of a new calculator: face on, at its first distance, the display frame lowered.
void StartView(ViewState& view);

// What a key press does.
struct KeyAction {
    enum Kind {
        None,
        Press,         // the calculator key `button`
        Copy,          // the display's number to the clipboard
        Paste,         // a number from the clipboard
        TakeBack,      // the last digit typed (Backspace)
        ToggleCard,    // the display frame up at once, or down again (F1)
        RaiseDisplay,  // by a step (Page Up)
        LowerDisplay,  // by a step (Page Down)
        Steer,         // turned by `spin` and tilted by `tilt` steps (the arrow keys)
        ZoomIn,        // a step nearer (Ctrl with plus)
        ZoomOut,       // a step farther (Ctrl with minus)
        ZoomReset,     // the starting distance (Ctrl+0)
        HomeView,      // the whole starting view (Home)
        FocusNext,     // the focus mark to the next key in reading order (Tab)
        FocusPrevious, // and back (Shift+Tab)
        PressFocused,  // the focused key, as a click presses it (Space)
    } kind = None;
    int button = -1;
    int spin = 0, tilt = 0;
};
// key, typed and shift as the windowing layer reports a key press (see ButtonOfKey).
KeyAction ActionOfKey(std::uint16_t key, char32_t typed, TShiftState shift);

// Page Up and Page Down: the display frame a step up or down, within 0 .. pi/2.
void RaiseDisplay(ViewState& view);
void LowerDisplay(ViewState& view);
// F1: fully raised at once, or lowered when it already is.
void ToggleCard(ViewState& view);

// The arrow keys: the calculator turned about its vertical axis or tilted by a few degrees a
// step, wrapped as a drag wraps the angles.
void Steer(ViewState& view, int spinSteps, int tiltSteps);
// Ctrl+0: the starting distance, within the configured limits.
void ResetZoom(ViewState& view, const ConfigRecord& config);
// Home: the starting view (turn, tilt, distance, the display frame lowered); the mouse's
// state stays.
void HomeView(ViewState& view);

// The button state of a mouse event.
void TakeButtons(ViewState& view, TShiftState shift);
// A mouse move: with both buttons held it zooms, with the right one it turns, and so with the
// left one when it went down off the keys (LeftDragTurns).
void MoveMouse(ViewState& view, TShiftState shift, int x, int y, const ConfigRecord& config);
// True when a press of the mouse buttons in this state clicks the key under the mouse: the
// left button held, the right one not, and the face toward the viewer.
bool ClickCounts(const ViewState& view);
// The wheel: each notch away from the user brings the calculator a tenth of its distance
// nearer, within the configured limits; a touchpad's fraction of a notch brings it that
// fraction of a tenth.
void TurnWheel(ViewState& view, double notches, const ConfigRecord& config);
// A frame sees the calculator no nearer than NEAR_LIMIT: a zoom step may have carried it past.
void KeepNearLimit(ViewState& view, const ConfigRecord& config);

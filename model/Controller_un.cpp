#include "Controller_un.h"

#include "scene/Keypad_un.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double InitialViewDistance = 1.4;
constexpr double InitialTurnSpeed = 0.2;  // degrees per pixel
constexpr double InitialZoomSpeed = 0.06; // scene units per pixel
constexpr double DisplayTiltStep = 0.01;
constexpr double SteerStep = 4; // degrees a press of an arrow key
constexpr double MaxDisplayTilt = std::numbers::pi / 2;
constexpr double WheelStep = 0.1;    // of ViewDistance per notch
constexpr int MaxWheelNotches = 100; // in one event; more would only pin the distance anyway

// Keeps an angle within -180 .. 180 degrees.
double Wrapped(double angle) {
    if (angle > 180) angle -= 360;
    if (angle < -180) angle += 360;
    return angle;
}

} // namespace

void StartView(ViewState& v) {
    v.DisplayTilt = v.SpinAngle = v.TiltAngle = 0;
    v.ViewDistance = InitialViewDistance;
    v.TiltSpeed = v.SpinSpeed = InitialTurnSpeed;
    v.ZoomSpeed = InitialZoomSpeed;
}

KeyAction ActionOfKey(std::uint16_t key, char32_t typed, TShiftState shift) {
    const TShiftState modifiers = shift & ModifierKeys;
    if (modifiers == ssCtrl && key == 'C') return {KeyAction::Copy};
    if (modifiers == ssCtrl && key == 'V') return {KeyAction::Paste};
    // Zoom by the key's identity: on most layouts plus needs Shift, and Ctrl types nothing.
    if (modifiers == ssCtrl || modifiers == (ssCtrl | ssShift)) {
        switch (key) {
        case VK_OEM_PLUS:
        case VK_ADD:
            return {KeyAction::ZoomIn};
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            return {KeyAction::ZoomOut};
        case '0':
        case VK_NUMPAD0:
            // With Shift too: some layouts (French) type the digits shifted.
            return {KeyAction::ZoomReset};
        default:
            break;
        }
    }
    if (modifiers == ssShift && key == VK_TAB) return {KeyAction::FocusPrevious};
    if (modifiers == 0) {
        switch (key) {
        case VK_LEFT:
            return {.kind = KeyAction::Steer, .spin = -1};
        case VK_RIGHT:
            return {.kind = KeyAction::Steer, .spin = 1};
        case VK_UP:
            return {.kind = KeyAction::Steer, .tilt = -1};
        case VK_DOWN:
            return {.kind = KeyAction::Steer, .tilt = 1};
        case VK_HOME:
            return {KeyAction::HomeView};
        case VK_TAB:
            return {KeyAction::FocusNext};
        case VK_SPACE:
            return {KeyAction::PressFocused};
        case VK_BACK:
            return {KeyAction::TakeBack};
        case VK_F1:
            return {KeyAction::ToggleCard};
        case VK_PRIOR:
            return {KeyAction::RaiseDisplay};
        case VK_NEXT:
            return {KeyAction::LowerDisplay};
        default:
            break;
        }
    }
    const int button = ButtonOfKey(key, typed, shift);
    if (button < 0) return {};
    return {KeyAction::Press, button};
}

void RaiseDisplay(ViewState& v) {
    v.DisplayTilt += DisplayTiltStep;
    if (v.DisplayTilt > MaxDisplayTilt) v.DisplayTilt = MaxDisplayTilt;
}

void LowerDisplay(ViewState& v) {
    v.DisplayTilt -= DisplayTiltStep;
    if (v.DisplayTilt < 0) v.DisplayTilt = 0;
}

void ToggleCard(ViewState& v) {
    v.DisplayTilt = v.DisplayTilt < MaxDisplayTilt ? MaxDisplayTilt : 0;
}

void Steer(ViewState& v, int spinSteps, int tiltSteps) {
    v.SpinAngle = Wrapped(v.SpinAngle + spinSteps * SteerStep);
    v.TiltAngle = Wrapped(v.TiltAngle + tiltSteps * SteerStep);
}

void ResetZoom(ViewState& v, const ConfigRecord& c) {
    v.ViewDistance =
        std::max<double>(std::min<double>(InitialViewDistance, c.FAR_LIMIT), c.NEAR_LIMIT);
}

void HomeView(ViewState& v) {
    v.DisplayTilt = v.SpinAngle = v.TiltAngle = 0;
    v.ViewDistance = InitialViewDistance;
}

void TakeButtons(ViewState& v, TShiftState shift) {
    v.LeftButtonDown = shift & ssLeft;
    v.RightButtonDown = shift & ssRight;
    if (!v.LeftButtonDown) v.LeftDragTurns = false;
}

void MoveMouse(ViewState& v, TShiftState shift, int x, int y, const ConfigRecord& c) {
    TakeButtons(v, shift);
    v.MouseX = x;
    v.MouseY = y;
    if (v.LeftButtonDown && v.RightButtonDown) {
        // Zoom: dragging down moves the calculator away, dragging up brings it nearer. The
        // bound is tested before the step, so a step may carry the distance past it.
        if (v.MouseY > v.LastMouseY && v.ViewDistance < c.FAR_LIMIT)
            v.ViewDistance += (v.MouseY - v.LastMouseY) * v.ZoomSpeed;
        if (v.MouseY < v.LastMouseY && v.ViewDistance > c.NEAR_LIMIT)
            v.ViewDistance -= (v.LastMouseY - v.MouseY) * v.ZoomSpeed;
    } else if (v.RightButtonDown || (v.LeftButtonDown && v.LeftDragTurns)) {
        v.SpinAngle = Wrapped(v.SpinAngle + (v.MouseX - v.LastMouseX) * v.SpinSpeed);
        v.TiltAngle = Wrapped(v.TiltAngle + (v.MouseY - v.LastMouseY) * v.TiltSpeed);
    }
    v.LastMouseX = v.MouseX;
    v.LastMouseY = v.MouseY;
}

bool ClickCounts(const ViewState& v) {
    if (!v.LeftButtonDown || v.RightButtonDown) return false;
    // The spin turns the calculator about the normal of its face, so it never turns the face
    // away; the tilt does beyond a quarter turn.
    return v.TiltAngle < 90 && v.TiltAngle > -90;
}

void TurnWheel(ViewState& v, double notches, const ConfigRecord& c) {
    if (!std::isfinite(notches)) return;
    notches = std::clamp<double>(notches, -MaxWheelNotches, MaxWheelNotches);
    const double step = notches > 0 ? -WheelStep : WheelStep;
    const int whole = static_cast<int>(std::abs(notches));
    for (int i = 0; i < whole; ++i) v.ViewDistance += step * v.ViewDistance;
    v.ViewDistance += step * (std::abs(notches) - whole) * v.ViewDistance;
    v.ViewDistance = std::max<double>(std::min<double>(v.ViewDistance, c.FAR_LIMIT), c.NEAR_LIMIT);
}

void KeepNearLimit(ViewState& v, const ConfigRecord& c) {
    if (v.ViewDistance < c.NEAR_LIMIT) v.ViewDistance = c.NEAR_LIMIT;
}

#include "Controller_un.h"

#include "scene/Keypad_un.h"

#include <algorithm>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double InitialViewDistance = 1.4;
constexpr double InitialTurnSpeed = 0.2;  // degrees per pixel
constexpr double InitialZoomSpeed = 0.06; // scene units per pixel
constexpr double DisplayTiltStep = 0.01;
constexpr double MaxDisplayTilt = std::numbers::pi / 2;
constexpr double WheelStep = 0.1;    // of ViewDistance per notch
constexpr int MaxWheelNotches = 100; // in one event; more would only pin the distance anyway

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
    if (modifiers == 0) {
        switch (key) {
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

void TakeButtons(ViewState& v, TShiftState shift) {
    v.LeftButtonDown = shift & ssLeft;
    v.RightButtonDown = shift & ssRight;
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
    } else if (v.RightButtonDown) {
        v.SpinAngle += (v.MouseX - v.LastMouseX) * v.SpinSpeed;
        v.TiltAngle += (v.MouseY - v.LastMouseY) * v.TiltSpeed;
        for (double* angle : {&v.SpinAngle, &v.TiltAngle}) {
            if (*angle > 180) *angle -= 360;
            if (*angle < -180) *angle += 360;
        }
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

void TurnWheel(ViewState& v, int notches, const ConfigRecord& c) {
    notches = std::clamp(notches, -MaxWheelNotches, MaxWheelNotches);
    for (int i = 0; i < std::abs(notches); ++i)
        v.ViewDistance += (notches > 0 ? -WheelStep : WheelStep) * v.ViewDistance;
    v.ViewDistance = std::max<double>(std::min<double>(v.ViewDistance, c.FAR_LIMIT), c.NEAR_LIMIT);
}

void KeepNearLimit(ViewState& v, const ConfigRecord& c) {
    if (v.ViewDistance < c.NEAR_LIMIT) v.ViewDistance = c.NEAR_LIMIT;
}

#include "Sdlevents_un.h"

#include "Keymap_un.h"

namespace {

TMouseButton ButtonOf(Uint8 button) {
    return button == SDL_BUTTON_RIGHT    ? TMouseButton::mbRight
           : button == SDL_BUTTON_MIDDLE ? TMouseButton::mbMiddle
                                         : TMouseButton::mbLeft;
}

// The character a key press typed: SDL reports it as a text event of its own, queued right
// after the key's; a key that typed nothing (a dead key, a key held with Ctrl, a key that
// types no character) has none.
char32_t TypedCharacter(const SDL_Event* next) {
    return next != nullptr && next->type == SDL_TEXTINPUT ? SingleCharacterOf(next->text.text) : 0;
}

} // namespace

Translated TranslateEvent(EventState& state, const SDL_Event& e, const EventContext& context,
                          WindowEvent& out) {
    auto scaled = [&](int x, int y) {
        out.x = state.width > 0 ? x * state.drawableWidth / state.width : x;
        out.y = state.height > 0 ? y * state.drawableHeight / state.height : y;
    };
    auto event = [](bool delivered) { return delivered ? Translated::Event : Translated::Nothing; };
    // The mouse acts on the calculator's window alone: a click on the loading window aimed at
    // nothing. Keys go to the calculator whichever window took them (type-ahead).
    const bool otherWindow = [&] {
        switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return e.button.windowID != state.window;
        case SDL_MOUSEMOTION:
            return e.motion.windowID != state.window;
        case SDL_MOUSEWHEEL:
            return e.wheel.windowID != state.window;
        default:
            return false;
        }
    }();
    if (otherWindow) return Translated::Nothing;
    switch (e.type) {
    case SDL_QUIT:
        out.kind = WindowEvent::Close;
        return Translated::Event;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != state.window) return Translated::Nothing;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = WindowEvent::Close;
            return Translated::Event;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.kind = WindowEvent::Resize;
            return Translated::Event;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.kind = WindowEvent::FocusIn;
            return Translated::Event;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.kind = WindowEvent::FocusOut;
            return Translated::Event;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            out.kind = WindowEvent::Expose;
            return Translated::Event;
        default:
            return Translated::Nothing;
        }
    case SDL_KEYDOWN: {
        const SDL_Keysym& k = e.key.keysym;
        out.kind = WindowEvent::KeyDown;
        out.character = TypedCharacter(context.next);
        // Whether Num Lock is on shows in what a keypad key typed: SDL's own Num Lock flag
        // is not kept in step with the X server's until the lock key is pressed in the window.
        out.key = VirtualKeyOf(k.sym, k.scancode, out.character != 0);
        out.shift = KeyShiftStateOf(k.mod, state.buttons, k.sym, out.character);
        if (out.key == 0 && out.character == 0) return Translated::Nothing;
        return out.character != 0 ? Translated::EventAndNext : Translated::Event;
    }
    case SDL_KEYUP:
        out.kind = WindowEvent::KeyUp;
        out.key = VirtualKeyOf(e.key.keysym.sym, e.key.keysym.scancode);
        out.shift = ShiftStateOf(e.key.keysym.mod, state.buttons);
        return Translated::Event;
    case SDL_TEXTINPUT:
        out.kind = WindowEvent::KeyDown;
        out.character = SingleCharacterOf(e.text.text);
        return event(out.character != 0);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const Uint32 mask = SDL_BUTTON(e.button.button);
        if (e.type == SDL_MOUSEBUTTONDOWN)
            state.buttons |= mask;
        else
            state.buttons &= ~mask;
        out.kind = e.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::MouseDown : WindowEvent::MouseUp;
        out.button = ButtonOf(e.button.button);
        out.shift = ShiftStateOf(context.modifiers, state.buttons);
        scaled(e.button.x, e.button.y);
        return Translated::Event;
    }
    case SDL_MOUSEWHEEL:
        out.kind = WindowEvent::Wheel;
        // In parts of a notch: a touchpad's two-finger scroll moves by little steps, a mouse
        // wheel's notch by a whole one.
        out.notches =
            e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.preciseY : e.wheel.preciseY;
        out.shift = ShiftStateOf(context.modifiers, state.buttons);
        scaled(context.pointerX, context.pointerY);
        return event(out.notches != 0);
    case SDL_MOUSEMOTION:
        state.buttons = e.motion.state;
        out.kind = WindowEvent::MouseMove;
        out.shift = ShiftStateOf(context.modifiers, state.buttons);
        scaled(e.motion.x, e.motion.y);
        return Translated::Event;
    default:
        return Translated::Nothing;
    }
}

#include "platform/Sdlevents_un.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr std::uint32_t MainWindow = 7;

SDL_Event KeyDown(SDL_Keycode sym, SDL_Scancode place, std::uint16_t mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = MainWindow;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = place;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = MainWindow;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event WindowChange(std::uint32_t window, Uint8 change) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window;
    e.window.event = change;
    return e;
}

SDL_Event Button(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = MainWindow;
    e.button.button = button;
    e.button.x = x, e.button.y = y;
    return e;
}

// A window of 100 by 50 units whose drawable has twice as many pixels each way.
EventState HighDensity() {
    EventState state;
    state.window = MainWindow;
    state.width = 100, state.height = 50;
    state.drawableWidth = 200, state.drawableHeight = 100;
    return state;
}

} // namespace

TEST(EventTranslation, PairsAKeyPressWithTheCharacterItTyped) {
    const SDL_Event euro = Text("\u20AC"), digits = Text("12"), none{};
    struct {
        const char* what;
        SDL_Event key;
        const SDL_Event* next;
        Translated result;
        std::uint16_t vk;
        char32_t character;
        TShiftState shift;
    } table[] = {
        {"a digit with its text", KeyDown(SDLK_5, SDL_SCANCODE_5), &digits, Translated::Event, '5',
         0, 0},
        {"AltGr+E typing the euro sign", KeyDown(SDLK_e, SDL_SCANCODE_E, KMOD_RALT), &euro,
         Translated::EventAndNext, 'E', U'\u20AC', ssAltGr},
        {"Ctrl+C, which types nothing", KeyDown(SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL), nullptr,
         Translated::Event, 'C', 0, ssCtrl},
        {"a key press followed by another event", KeyDown(SDLK_RETURN, SDL_SCANCODE_RETURN), &none,
         Translated::Event, VK_RETURN, 0, 0},
        {"a key of no code that types nothing", KeyDown(SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK),
         nullptr, Translated::Nothing, 0, 0, 0},
        {"keypad 5 with Num Lock off types nothing", KeyDown(SDLK_KP_5, SDL_SCANCODE_KP_5), nullptr,
         Translated::Nothing, 0, 0, 0},
    };
    for (const auto& t : table) {
        EventState state = HighDensity();
        EventContext context;
        context.next = t.next;
        WindowEvent out{};
        EXPECT_EQ(TranslateEvent(state, t.key, context, out), t.result) << t.what;
        if (t.result == Translated::Nothing) continue;
        EXPECT_EQ(out.kind, WindowEvent::KeyDown) << t.what;
        EXPECT_EQ(out.key, t.vk) << t.what;
        EXPECT_EQ(out.character, t.character) << t.what;
        EXPECT_EQ(out.shift, t.shift) << t.what;
    }
}

TEST(EventTranslation, TextThatNoKeyTookIsAKeyPressWithoutAKey) {
    EventState state = HighDensity();
    WindowEvent out{};
    ASSERT_EQ(TranslateEvent(state, Text("\u00F7"), {}, out), Translated::Event);
    EXPECT_EQ(out.kind, WindowEvent::KeyDown);
    EXPECT_EQ(out.key, 0);
    EXPECT_EQ(out.character, U'\u00F7');
    EXPECT_EQ(TranslateEvent(state, Text("ab"), {}, out), Translated::Nothing);
}

TEST(EventTranslation, GivesMousePositionsInDrawablePixelsAndKeepsTheButtonsHeld) {
    EventState state = HighDensity();
    WindowEvent out{};
    EventContext shift;
    shift.modifiers = KMOD_LSHIFT;
    ASSERT_EQ(
        TranslateEvent(state, Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 30, 20), shift, out),
        Translated::Event);
    EXPECT_EQ(out.kind, WindowEvent::MouseDown);
    EXPECT_EQ(out.button, TMouseButton::mbRight);
    EXPECT_EQ(out.x, 60);
    EXPECT_EQ(out.y, 40);
    EXPECT_EQ(out.shift, ssShift | ssRight);
    // A key released while the button is still held says so.
    SDL_Event up = KeyDown(SDLK_a, SDL_SCANCODE_A);
    up.type = SDL_KEYUP;
    TranslateEvent(state, up, {}, out);
    EXPECT_EQ(out.shift, ssRight);
    TranslateEvent(state, Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 31, 21), {}, out);
    EXPECT_EQ(out.kind, WindowEvent::MouseUp);
    EXPECT_EQ(out.shift, 0u);
    EXPECT_EQ(state.buttons, 0u);
    // A click on another window (the loading window) is no click on the calculator.
    SDL_Event elsewhere = Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 20);
    elsewhere.button.windowID = MainWindow + 1;
    EXPECT_EQ(TranslateEvent(state, elsewhere, {}, out), Translated::Nothing);
    EXPECT_EQ(state.buttons, 0u);
}

TEST(EventTranslation, TurnsTheWheelAtThePointerAwayFromTheUser) {
    struct {
        Sint32 y;
        float preciseY;
        Uint32 direction;
        Translated result;
        double notches;
    } table[] = {
        {2, 2, SDL_MOUSEWHEEL_NORMAL, Translated::Event, 2},
        {2, 2, SDL_MOUSEWHEEL_FLIPPED, Translated::Event, -2},
        {0, 0.25f, SDL_MOUSEWHEEL_NORMAL, Translated::Event, 0.25}, // a touchpad's little step
        {0, 0, SDL_MOUSEWHEEL_NORMAL, Translated::Nothing, 0},      // a sideways turn
    };
    for (const auto& t : table) {
        EventState state = HighDensity();
        SDL_Event wheel{};
        wheel.type = SDL_MOUSEWHEEL;
        wheel.wheel.windowID = MainWindow;
        wheel.wheel.y = t.y;
        wheel.wheel.preciseY = t.preciseY;
        wheel.wheel.direction = t.direction;
        EventContext context;
        context.pointerX = 10, context.pointerY = 5;
        WindowEvent out{};
        EXPECT_EQ(TranslateEvent(state, wheel, context, out), t.result) << t.y;
        EXPECT_EQ(out.notches, t.notches);
        if (t.result == Translated::Event) {
            EXPECT_EQ(out.x, 20);
            EXPECT_EQ(out.y, 10);
        }
    }
}

TEST(EventTranslation, TakesOnlyTheMainWindowsOwnWindowEvents) {
    struct {
        std::uint32_t window;
        Uint8 change;
        Translated result;
        WindowEvent::Kind kind;
    } table[] = {
        {MainWindow, SDL_WINDOWEVENT_SIZE_CHANGED, Translated::Event, WindowEvent::Resize},
        {MainWindow, SDL_WINDOWEVENT_EXPOSED, Translated::Event, WindowEvent::Expose},
        {MainWindow, SDL_WINDOWEVENT_RESTORED, Translated::Event, WindowEvent::Expose},
        {MainWindow, SDL_WINDOWEVENT_CLOSE, Translated::Event, WindowEvent::Close},
        {MainWindow, SDL_WINDOWEVENT_MOVED, Translated::Nothing, WindowEvent::Close},
        {MainWindow + 1, SDL_WINDOWEVENT_CLOSE, Translated::Nothing, WindowEvent::Close},
    };
    for (const auto& t : table) {
        EventState state = HighDensity();
        WindowEvent out{};
        EXPECT_EQ(TranslateEvent(state, WindowChange(t.window, t.change), {}, out), t.result)
            << int(t.change) << " of window " << t.window;
        if (t.result == Translated::Event) {
            EXPECT_EQ(out.kind, t.kind) << int(t.change);
        }
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    WindowEvent out{};
    EventState state = HighDensity();
    EXPECT_EQ(TranslateEvent(state, quit, {}, out), Translated::Event);
    EXPECT_EQ(out.kind, WindowEvent::Close);
}

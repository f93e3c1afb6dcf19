// SDL events translated to what the form is told, in the shape of one state record and one
// function an event; nothing here asks SDL anything, so the rules are tested with made-up
// events.
#pragma once

#include "Winlayer_un.h"

#include <SDL_events.h>

#include <cstdint>

// What translating the events so far has learnt, and what the window tells of itself.
struct EventState {
    std::uint32_t window = 0;  // SDL's id of the main window: other windows' events are not its
    int width = 0, height = 0; // the window's size in SDL's units, which mouse positions use
    int drawableWidth = 0, drawableHeight = 0; // its size in pixels, which the form uses
    std::uint32_t buttons = 0; // mouse buttons held, as the events delivered so far told
};

// What SDL tells beside the event, at the moment it is handled.
struct EventContext {
    const SDL_Event* next = nullptr; // the event queued after it, or null
    std::uint16_t modifiers = 0;     // the modifier keys held
    int pointerX = 0, pointerY = 0;  // where the mouse is over the window, in SDL's units
};

enum class Translated {
    Nothing,     // no event for the form
    Event,       // out holds an event for the form
    EventAndNext // one for the form, which also took the next event: it is to be dropped
};

// Translates one event. A key press takes the character it typed from the text event SDL
// queues right after it; a text event that no key press took (the end of a compose sequence,
// an input method's) is a key press of its own, without a key.
Translated TranslateEvent(EventState& state, const SDL_Event& event, const EventContext& context,
                          WindowEvent& out);

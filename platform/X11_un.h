// What the SDL back end needs to know or set on an X11 display beyond what SDL offers. Kept
// apart because the X headers' macros clash with ordinary names.
#pragma once

struct SDL_Window;

// Whether a window manager looks after the window; on systems other than X11 one always does.
bool HasWindowManager(SDL_Window* window);

// Keeps a late wake-up message, which SDL sends to its own window from a second connection,
// from ending the process when it reaches the server after the window is gone. Called before
// SDL_Init, so that SDL chains to it and restores it when it closes its displays.
void IgnoreStaleWindowErrors();

// Marks a window that is not mapped yet as a dialog; with a parent also as transient for it
// and modal, so that a window manager keeps it above the parent and gives it the keyboard
// when the parent is clicked.
void MarkAsDialog(SDL_Window* dialog, SDL_Window* parent);

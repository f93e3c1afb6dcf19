// Whether a window manager looks after a window: on X11 one may be missing (a bare X server),
// elsewhere there always is one. Kept apart because the X headers' macros clash with
// ordinary names.
#pragma once

struct SDL_Window;
bool HasWindowManager(SDL_Window* window);

// What the SDL back end needs to know of a Wayland compositor beyond what SDL tells. Each
// function answers as for a healthy connection for a window SDL shows on another system.
#pragma once

#include <string>

struct SDL_Window;

// Why the connection to the Wayland compositor showing the window broke, or empty while it
// holds. SDL ends its event loop with a quit event when the compositor ends the connection,
// as it does after a protocol error, so that a lost window would otherwise look closed.
std::string WaylandConnectionError(SDL_Window* window);

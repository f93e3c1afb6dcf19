// The desktop's scale as the server and SDL tell it (the rules are in Scale_un).
#pragma once

#include "Displayserver_un.h"

struct SDL_Window;

// The scale for the loading window and the message boxes: the resolution the desktop asks
// for, else the display's as SDL reports it, over the 96 dots per inch of their design.
double DesktopScaleOf(DisplayServer& server);

// The pixels a window has for each unit of its size: the density of its screen where the
// server scales windows by it (Wayland, made with SDL_WINDOW_ALLOW_HIGHDPI), else 1.
double PixelDensityOf(SDL_Window* window);

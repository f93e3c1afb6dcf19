// The program's icon on its windows: the picture of the installed icons, drawn at build time by
// tools/make_pictures and compiled in, so that no file has to be found for it at run time.
#pragma once

#include <cstdint>
#include <span>

struct SDL_Window;
class DisplayServer;

// The sizes the icon is drawn in, smallest first.
std::span<const int> WindowIconSizesDrawn();
// The pixels of the icon in a size it is drawn in (a square, top row first, 0xAARRGGBB);
// null for any other size.
const std::uint32_t* WindowIconPixelsOf(int size);

// Gives a window the program's icon: through SDL in the size every video driver takes (48
// pixels), and through the server in all the sizes drawn where it takes them.
void SetProgramIcon(DisplayServer& server, SDL_Window* window);

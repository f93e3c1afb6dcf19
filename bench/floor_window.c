/* The window floor of the start-up benchmark: an SDL2 program that opens a plain window
 * (no OpenGL) as large as the screen allows, fills it once, and waits until it is ended. */
#include <SDL.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Rect usable;
    SDL_GetDisplayUsableBounds(0, &usable);
    SDL_Window* window = SDL_CreateWindow("floor", usable.x, usable.y, usable.w, usable.h, 0);
    if (window == NULL) return 1;
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 40, 90, 160));
    SDL_UpdateWindowSurface(window);
    for (SDL_Event e; SDL_WaitEvent(&e) && e.type != SDL_QUIT;) {
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED)
            SDL_UpdateWindowSurface(window);
    }
    SDL_Quit();
    return 0;
}

/* The GL floor of the start-up benchmark: an SDL2 program that opens an OpenGL window as large
 * as the screen allows, clears it once, and waits until it is ended. */
#include <SDL.h>
#include <SDL_opengl.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Rect usable;
    SDL_GetDisplayUsableBounds(0, &usable);
    SDL_Window* window =
        SDL_CreateWindow("floor", usable.x, usable.y, usable.w, usable.h, SDL_WINDOW_OPENGL);
    if (window == NULL) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == NULL) return 1;
    glClearColor(0.16f, 0.35f, 0.63f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    for (SDL_Event e; SDL_WaitEvent(&e) && e.type != SDL_QUIT;) {
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            SDL_GL_SwapWindow(window);
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_Quit();
    return 0;
}

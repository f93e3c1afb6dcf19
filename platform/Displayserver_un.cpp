#include "Displayserver_un.h"

#include <SDL.h>

void PlainServer::MakeDialog(SDL_Window* dialog, SDL_Window* parent) {
    if (dialog != nullptr && parent != nullptr) SDL_SetWindowModalFor(dialog, parent);
}

void PlainServer::TakeKeyboard(SDL_Window* window) {
    SDL_RaiseWindow(window);
}

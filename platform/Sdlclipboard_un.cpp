#include "Sdlclipboard_un.h"

#include <SDL.h>

void PutClipboardText(DisplayServer& server, SDL_Window* window, const std::string& text) {
    if (SDL_SetClipboardText(text.c_str()) == 0) server.NoteClipboardOwner(window);
}

std::string ClipboardText(DisplayServer& server, SDL_Window* window) {
    std::string bytes;
    if (server.ReadClipboard(window, ClipboardLimit, bytes)) return bytes;
    char* text = SDL_GetClipboardText(); // an empty string, not null, when there is none
    std::string result = text != nullptr ? text : "";
    SDL_free(text);
    return result;
}

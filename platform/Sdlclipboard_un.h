// The desktop's clipboard through SDL, read whole where the server allows.
#pragma once

#include "Displayserver_un.h"

#include <string>

// Bytes of clipboard text read at most, beyond which no number is taken from it anyway.
constexpr std::size_t ClipboardLimit = 1 << 20;

void PutClipboardText(DisplayServer& server, SDL_Window* window, const std::string& text);
// Every byte of the clipboard's text where the server hands it over so (a NUL too), cut a byte
// after ClipboardLimit; else SDL's text; empty when the clipboard holds none.
std::string ClipboardText(DisplayServer& server, SDL_Window* window);

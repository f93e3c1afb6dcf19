// Plain drawing on SDL surfaces, shared by the SDL back end's own windows.
#pragma once

#include <SDL.h>

inline void Fill(SDL_Surface* surface, const SDL_Rect& rect, SDL_Colour c) {
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, c.r, c.g, c.b));
}

// A frame of the given thickness just inside rect.
inline void Frame(SDL_Surface* surface, const SDL_Rect& rect, SDL_Colour c, int thickness = 1) {
    Fill(surface, {rect.x, rect.y, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y + rect.h - thickness, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y, thickness, rect.h}, c);
    Fill(surface, {rect.x + rect.w - thickness, rect.y, thickness, rect.h}, c);
}

// Plain drawing on SDL surfaces, shared by the SDL back end's own windows.
#pragma once

#include <SDL.h>

inline void Fill(SDL_Surface* surface, const SDL_Rect& rect, SDL_Colour c) {
    SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, c.r, c.g, c.b));
}

// Where the server gives SDL no framebuffer for a window (see SoftwareWindowFlags), SDL makes
// one with a renderer, whose GL context is left current after each update: while one lives,
// the context that was current before (the main window's) is made current again when it ends.
class KeptGlContext {
public:
    KeptGlContext() : window_(SDL_GL_GetCurrentWindow()), context_(SDL_GL_GetCurrentContext()) {}
    ~KeptGlContext() {
        if (context_ != nullptr && SDL_GL_GetCurrentContext() != context_)
            SDL_GL_MakeCurrent(window_, context_);
    }
    KeptGlContext(const KeptGlContext&) = delete;
    KeptGlContext& operator=(const KeptGlContext&) = delete;

private:
    SDL_Window* window_;
    SDL_GLContext context_;
};

// A frame of the given thickness just inside rect.
inline void Frame(SDL_Surface* surface, const SDL_Rect& rect, SDL_Colour c, int thickness = 1) {
    Fill(surface, {rect.x, rect.y, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y + rect.h - thickness, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y, thickness, rect.h}, c);
    Fill(surface, {rect.x + rect.w - thickness, rect.y, thickness, rect.h}, c);
}

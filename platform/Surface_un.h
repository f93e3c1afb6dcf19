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

// A window's surface in pixels, to draw on and show. A window with more pixels than units of
// size (made with SDL_WINDOW_ALLOW_HIGHDPI on a scaled Wayland output) has a buffer of its size
// in pixels, while SDL 2.26 describes it by a surface of its size in units, over the first rows
// of that buffer (each as long as a row of pixels); the whole buffer is then drawn on through
// a surface of its own and shown whole. Where SDL's surface has no such room, it is drawn on as
// it is, at its own size.
class WindowCanvas {
public:
    explicit WindowCanvas(SDL_Window* window) : window_(window) {
        SDL_Surface* own = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
        if (own == nullptr) return;
        int w = 0, h = 0;
        SDL_GetWindowSizeInPixels(window, &w, &h);
        surface_ = own;
        if ((w > own->w || h > own->h) && own->pitch >= w * own->format->BytesPerPixel)
            view_ = SDL_CreateRGBSurfaceWithFormatFrom(own->pixels, w, h, own->format->BitsPerPixel,
                                                       own->pitch, own->format->format);
        if (view_ != nullptr) surface_ = view_;
    }
    ~WindowCanvas() { SDL_FreeSurface(view_); }
    WindowCanvas(const WindowCanvas&) = delete;
    WindowCanvas& operator=(const WindowCanvas&) = delete;

    // Null when the window has none.
    SDL_Surface* Surface() const { return surface_; }
    // Shows what was drawn.
    void Show() const {
        if (surface_ == nullptr) return;
        const SDL_Rect whole{0, 0, surface_->w, surface_->h};
        SDL_UpdateWindowSurfaceRects(window_, &whole, 1);
    }

private:
    SDL_Window* window_;
    SDL_Surface* surface_ = nullptr;
    SDL_Surface* view_ = nullptr;
};

// A frame of the given thickness just inside rect.
inline void Frame(SDL_Surface* surface, const SDL_Rect& rect, SDL_Colour c, int thickness = 1) {
    Fill(surface, {rect.x, rect.y, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y + rect.h - thickness, rect.w, thickness}, c);
    Fill(surface, {rect.x, rect.y, thickness, rect.h}, c);
    Fill(surface, {rect.x + rect.w - thickness, rect.y, thickness, rect.h}, c);
}

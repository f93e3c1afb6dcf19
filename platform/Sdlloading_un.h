// The loading window of the SDL back end: borderless, white, the welcome picture, a progress
// bar drawn over it and a one-pixel black outline, drawn in software on the window's surface.
// It comes on the screen complete, with its first progress position, and each later position
// redraws only the bar. At a desktop scale above 1 the window is made that much larger, and
// the positions, the picture and the outline it is given grow with it.
#pragma once

#include "Displayserver_un.h"
#include "Winlayer_un.h"

#include <SDL.h>

#include <functional>

class SdlLoadingWindow final : public LoadingWindow {
public:
    // keep is called when this object goes, with the window when it is on the screen (the back
    // end leaves it there until the main window has replaced it, so that no moment shows
    // neither), with null when it never got there.
    // place is on the screen, in pixels; what the window is then given is in units of the
    // design, scale pixels each.
    SdlLoadingWindow(DisplayServer& server, const SDL_Rect& place, double scale,
                     std::function<void(SDL_Window*)> keep);
    ~SdlLoadingWindow() override;

    void AddProgressBar(int left, int top, int width, int height) override;
    void ShowPicture(const std::uint8_t* rgb, int width, int height) override;
    void DrawOutline() override;
    void SetProgress(int position) override;

    bool Owns(const SDL_Event& event) const;
    SDL_Window* Window() const { return window_; }
    // Draws everything again, after the window was uncovered.
    void Redraw();

private:
    void Draw(SDL_Surface* surface) const;
    void DrawBar(SDL_Surface* surface) const;
    // The picture grown by the scale; takes it over and gives back the one to keep.
    SDL_Surface* Enlarged(SDL_Surface* picture) const;

    DisplayServer& server_;
    SDL_Window* window_ = nullptr;
    double scale_;
    std::function<void(SDL_Window*)> keep_;
    SDL_Surface* picture_ = nullptr;
    SDL_Rect bar_{};
    bool hasBar_ = false, outline_ = false, mapped_ = false;
    int position_ = 0;
};

// The loading window of the SDL back end: borderless, white, the welcome picture, a progress
// bar drawn over it and a one-pixel black outline, drawn in software on the window's surface.
// It comes on the screen complete, with its first progress position, and each later position
// redraws only the bar. At a desktop scale above 1 the window is made that much larger, and
// the positions, the picture and the outline it is given grow with it; where the server gives
// the window more pixels than its size (Wayland on a screen of twice the density), it is
// drawn at those too. A picture drawn for the scale is shown as it is; another is resized.
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
    // place is on the screen, in the server's units; what the window is then given is in
    // units of the design, scale of the server's units each.
    SdlLoadingWindow(DisplayServer& server, const SDL_Rect& place, double scale,
                     std::function<void(SDL_Window*)> keep);
    ~SdlLoadingWindow() override;

    void AddProgressBar(int left, int top, int width, int height) override;
    double Scale() const override { return scale_; }
    void ShowPicture(const std::uint8_t* rgba, int width, int height, int density) override;
    void DrawOutline() override;
    void SetProgress(int position) override;

    bool Owns(const SDL_Event& event) const;
    SDL_Window* Window() const { return window_; }
    // Draws everything again, after the window was uncovered.
    void Redraw();

private:
    void Draw(SDL_Surface* surface) const;
    void DrawBar(SDL_Surface* surface) const;
    // Takes the scale the window has now, in pixels for one of the design, from the surface
    // it is drawn on (from what SDL tells before there is one); true when it changed (the bar
    // and the picture are then made for it).
    bool Rescale(const SDL_Surface* canvas = nullptr);
    // A copy of the picture resized by factor; null when it cannot be resized.
    static SDL_Surface* Resized(SDL_Surface* picture, double factor);

    DisplayServer& server_;
    SDL_Window* window_ = nullptr;
    double designScale_; // the server's units for one of the design
    double scale_;       // pixels for one of the design
    std::function<void(SDL_Window*)> keep_;
    SDL_Surface* source_ = nullptr;  // the picture as given
    int density_ = 1;                // its pixels for one of the design
    SDL_Surface* picture_ = nullptr; // the picture at the scale
    SDL_Rect barDesign_{}, bar_{};
    bool hasBar_ = false, outline_ = false, mapped_ = false;
    bool started_ = false; // given its first position: complete
    int position_ = 0;
};

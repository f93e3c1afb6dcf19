// The display server of SDL's Wayland driver: windows drawn in software get a framebuffer made
// with GL, a window is maximised only once shown, and a broken connection is told apart from
// a closed window.
#pragma once

#include "Displayserver_un.h"

class WaylandServer final : public PlainServer {
public:
    void BeforeVideo() override;
    void AfterVideo() override;
    // The compositor scales each window by its output's density (see PixelDensityOf): sizes
    // are in its units, which stand for the design's 96 dots per inch whatever the screen's.
    double DesktopDpi() override { return 96; }
    std::uint32_t SoftwareWindowFlags() const override;
    // A surface shows nothing before its first picture, and SDL gives it the scale of its
    // output only once it is shown.
    bool ShowsBeforeDrawing() const override { return true; }
    // With client-side decorations SDL 2.26 leaves a part of a window it has hidden with the
    // compositor, which later tells it of a change of focus: had the window been destroyed,
    // that would reach freed memory.
    bool KeepsBoxWindows() const override { return true; }
    bool MaximisedWhenMade() const override { return false; }
    bool SizeMaximised(SDL_Window* window, const SDL_Rect& screen) override;
    void GiveFocusBack(SDL_Window* window) override;
    // A swap that waits for the screen waits for the compositor's word that the last frame
    // was shown, which a window it does not draw never gets (SDL gives up only after a
    // timeout, at every frame): the program paces its frames itself and never waits in a swap.
    int SwapInterval() const override { return 0; }
    void TakeKeyboard(SDL_Window* window) override { GiveFocusBack(window); }
    std::string LostConnection(SDL_Window* window) override;
};

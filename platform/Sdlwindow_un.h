// The main window of the SDL back end with its GL surface: made hidden with the first format
// the server can give, sized before its first frame, shown with that frame in it, and
// presenting all or part of each frame after.
#pragma once

#include "Displayserver_un.h"
#include "Sdlevents_un.h"
#include "Winlayer_un.h"

#include <SDL.h>

#include <string>

class SdlWindow {
public:
    // design: where the window goes when not maximised; screen: the usable area.
    SdlWindow(DisplayServer& server, const SDL_Rect& design, const SDL_Rect& screen);
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    void SetCaption(const std::string& caption);
    void SetMaximized();
    // The size of the window's drawable, in pixels.
    int DrawableWidth() const { return drawableWidth_; }
    int DrawableHeight() const { return drawableHeight_; }
    // Tells the event translation the window's id and sizes.
    void Describe(EventState& state) const;
    // Takes the sizes the window has now (after SDL told of a change); true when they changed.
    bool UpdateSizes();
    SDL_Window* Handle() const { return window_; }
    bool Shown() const { return shown_; }
    void Hide();

    // Makes the window with the first of formats that the server can give; asker is a window
    // that exists already, to ask the server about the desktop with, or null.
    bool Make(const SurfaceFormat& wanted, SDL_Window* asker);
    GlContext CreateContext();
    bool MakeCurrent(GlContext context);
    void DeleteContext(GlContext context);
    // Makes the main window's context current again where SDL left one of its own current.
    void RestoreContext();
    void SetFrameReader(FrameReader reader) { frameReader_ = std::move(reader); }
    // Each true when a frame reached the screen.
    bool Present();
    bool PresentsPart() const;
    bool PresentPart(int x, int y, int width, int height);
    double RefreshRate() const;

    // Before the first frame: the hidden window is given the size it will have on the screen.
    void PrepareFirstFrame();
    // Shows the window as it is, should no frame have shown it.
    void Show();

private:
    // Shows the window with the frame in its back buffer already in it.
    bool ShowWithFirstFrame();
    void AfterPresenting();

    DisplayServer& server_;
    SDL_Window* window_ = nullptr;
    std::string caption_;
    SDL_Rect design_;    // the window's place when it is not maximised
    SDL_Rect screen_;    // the usable area of the screen
    int width_, height_; // the window's size in SDL's units, for mouse positions
    int drawableWidth_, drawableHeight_;
    bool maximized_ = false;
    bool shown_ = false;                       // the window is on the screen
    bool picture_ = false;                     // it has its first frame as background picture
    SDL_GLContext context_ = nullptr;          // the one made current last
    FrameReader frameReader_;                  // of the drawing side
    bool partial_ = false;                     // the server can show part of the back buffer
    int swappedWidth_ = 0, swappedHeight_ = 0; // the drawable's size at the last swap
};

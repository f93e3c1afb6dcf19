// The SDL2 back end of the windowing layer: the real window of the program. It puts together
// the video driver's display server (Videodriver_un), the main window (Sdlwindow_un), event
// translation (Sdlevents_un), message boxes (Msgbox_un), the loading window (Sdlloading_un)
// and the clipboard (Sdlclipboard_un), and runs the event loop, behind a box too.
#pragma once

#include "Msgbox_un.h"
#include "Sdlevents_un.h"
#include "Sdlloading_un.h"
#include "Sdlwindow_un.h"
#include "Videodriver_un.h"
#include "Winlayer_un.h"

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>

class SdlPlatform final : public Platform {
public:
    // Design placement of the main window when it is not maximised.
    SdlPlatform(int left, int top, int width, int height);
    ~SdlPlatform() override;

    void SetCaption(const std::string& caption) override { window_.SetCaption(caption); }
    void SetMaximized() override { window_.SetMaximized(); }
    int DrawableWidth() const override { return window_.DrawableWidth(); }
    int DrawableHeight() const override { return window_.DrawableHeight(); }
    void CloseWindow() override;
    bool Closed() const override { return closed_; }

    bool ChooseSurfaceFormat(const SurfaceFormat& wanted) override;
    GlSurface CreateSurface() override;
    void ReleaseSurface(GlSurface) override {} // the surface goes with the window
    GlContext CreateContext() override { return window_.CreateContext(); }
    bool MakeCurrent(GlContext context) override { return window_.MakeCurrent(context); }
    void DeleteContext(GlContext context) override { window_.DeleteContext(context); }
    void Present() override;
    void SetFrameReader(FrameReader reader) override { window_.SetFrameReader(std::move(reader)); }
    bool PresentsPart() const override { return window_.PresentsPart(); }
    void PresentPart(int x, int y, int width, int height) override;
    double RefreshRate() const override { return window_.RefreshRate(); }
    double Milliseconds() const override;

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetClipboardText(const std::string& text) override;
    std::string GetClipboardText() override;
    std::unique_ptr<LoadingWindow> CreateLoadingWindow(int left, int top, int width,
                                                       int height) override;
    void RunEventLoop(TApplication& application, TForm& form) override;
    std::string LostWindow() const override { return lost_; }
    WindowPlace Place() const override;
    void Post(std::function<void()> work) override;

private:
    // Translates an event for the main window, taking the character a key press typed off the
    // queue with it; false when the form is told nothing.
    bool Translate(const SDL_Event& event, WindowEvent& out);
    void DropLoadingWindow();
    // Runs work posted from another thread, or drops it; false for any other event.
    bool TakePosted(const SDL_Event& event, bool run);
    // Waits for the next event, while the form wants ticks no longer than until one is due.
    bool NextEvent(SDL_Event& event);
    // Delivers a tick when the form wants one now.
    void TickIfDue();
    // Hands an event to the form with the main window's GL context current.
    void Deliver(const WindowEvent& event);
    // While a message box is up: the main window is redrawn as exposed or resized and releases
    // still reach it, but nothing else; a click on it hands the keyboard back to the box.
    void DeliverBehindBox(const SDL_Event& event, SdlMessageBox& box, bool& closeRequested);
    // The desktop's scale for the loading window and the message boxes, asked once.
    double Scale();

    SdlVideo video_; // first made, last gone: SDL closes after everything else
    DisplayServer& server_;
    SDL_Rect screen_; // the usable area of the screen
    SdlWindow window_;
    EventState events_;
    std::uint32_t posted_; // the type of the events that carry posted work
    SdlLoadingWindow* loading_ = nullptr;
    SDL_Window* lingering_ = nullptr; // the loading window, left until the main one is shown
    bool formatChosen_ = false;
    bool closed_ = false;
    std::string lost_; // why the display was lost, if it was
    double scale_ = 0; // not asked yet
    MessageFont font_;
    // The application and form of the running event loop, to redraw behind a message box.
    TApplication* application_ = nullptr;
    TForm* form_ = nullptr;
};

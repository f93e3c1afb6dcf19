// The SDL2 back end of the windowing layer: the real window of the program.
#pragma once

#include "Winlayer_un.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

class SdlMessageBox;
class SdlLoadingWindow;

class SdlPlatform final : public Platform {
public:
    // Design placement of the main window when it is not maximised.
    SdlPlatform(int left, int top, int width, int height);
    ~SdlPlatform() override;

    void SetCaption(const std::string& caption) override;
    void SetMaximized() override;
    int DrawableWidth() const override;
    int DrawableHeight() const override;
    void CloseWindow() override;
    bool Closed() const override { return closed_; }

    HDC GetDC() override;
    void ReleaseDC(HDC dc) override;
    int ChoosePixelFormat(HDC dc, const PixelFormatRequest& request) override;
    bool SetPixelFormat(HDC dc, int format, const PixelFormatRequest& request) override;
    HGLRC CreateContext(HDC dc) override;
    bool MakeCurrent(HDC dc, HGLRC context) override;
    void DeleteContext(HGLRC context) override;
    void SwapBuffers(HDC dc) override;
    void SetFrameReader(FrameReader reader) override { frameReader_ = std::move(reader); }
    bool PresentsPart() const override;
    void PresentPart(HDC dc, int x, int y, int width, int height) override;
    double RefreshRate() const override;
    double Milliseconds() const override;

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetClipboardText(const std::string& text) override;
    std::string GetClipboardText() override;
    std::unique_ptr<LoadingWindow> CreateLoadingWindow(int left, int top, int width,
                                                       int height) override;
    void RunEventLoop(TApplication& application, TForm& form) override;
    std::string LostWindow() const override { return lost_; }

private:
    // Before the first frame: the hidden window is given the size it will have on the screen.
    void PrepareFirstFrame();
    // Shows the main window with the frame in its back buffer already in it.
    void ShowWithFirstFrame();
    // On Wayland: shows the window, still without a picture, and maximises it.
    void MaximizeBeforeFirstFrame();
    void ShowMainWindow();
    bool Translate(const SDL_Event& event, WindowEvent& out);
    // Takes from the queue the character the key press just translated typed, or gives 0.
    char32_t TakeTypedCharacter();
    void UpdateSizes();
    // Whether a window manager looks after the windows, asked once a window exists to ask with.
    bool WindowManager(SDL_Window* window);
    void DropLoadingWindow();
    // Waits for the next event, or until the next tick is due while the form wants ticks.
    bool NextEvent(SDL_Event& event, Uint64& nextTick);
    // Draws a frame when one is due and the form wants it.
    void TickIfDue(Uint64& nextTick);
    // Hands an event to the form with the main window's GL context current.
    void Deliver(TApplication& application, TForm& form, const WindowEvent& event);
    // What the first frame shown replaces: the window's background picture, the loading window.
    void AfterPresenting();
    // While a message box is up: the main window is redrawn as exposed or resized and releases
    // still reach it, but nothing else; a click on it hands the keyboard back to the box.
    void DeliverBehindBox(const SDL_Event& event, SdlMessageBox& box, bool& closeRequested);
    TTF_Font* MessageFont();
    // The desktop's scale for the loading window and the message boxes, asked once.
    double Scale();

    SDL_Window* window_ = nullptr;
    std::string caption_;
    SDL_Rect design_;    // the main window's place when it is not maximised
    SDL_Rect screen_{};  // the usable area of the screen
    int width_, height_; // the window's size in SDL's units, for mouse positions
    int drawableWidth_, drawableHeight_;
    bool maximized_ = false;
    bool wayland_ = false;   // SDL shows the windows through a Wayland compositor
    int windowManager_ = -1; // unknown until a window exists
    bool picture_ = false;   // the main window has its first frame as background picture
    SdlLoadingWindow* loading_ = nullptr;
    SDL_Window* lingering_ = nullptr; // the loading window, left until the main one is shown
    bool closed_ = false;
    std::string lost_; // why the display was lost, if it was
    int chosenFormat_ = 0;
    SDL_GLContext mainContext_ = nullptr;
    FrameReader frameReader_;                  // of the drawing side
    bool copySubBuffer_ = false;               // the drawable can show part of its back buffer
    int swappedWidth_ = 0, swappedHeight_ = 0; // the drawable's size at the last swap
    std::uint32_t buttons_ = 0; // mouse buttons held, as seen in the events delivered so far
    bool shown_ = false;        // the main window is on the screen
    double scale_ = 0;          // not asked yet
    bool fontTried_ = false;
    TTF_Font* font_ = nullptr;
    // The application and form of the running event loop, to redraw behind a message box.
    TApplication* application_ = nullptr;
    TForm* form_ = nullptr;
};

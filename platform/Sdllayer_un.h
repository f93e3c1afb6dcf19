// The SDL2 back end of the windowing layer: the real window of the program.
#pragma once

#include "Winlayer_un.h"

#include <SDL.h>

#include <string>

class SdlPlatform final : public Platform {
public:
    // Design placement of the main window when it is not maximised.
    SdlPlatform(int left, int top, int width, int height);
    ~SdlPlatform() override;

    void SetCaption(const std::string& caption) override;
    void SetMaximized() override;
    int Width() const override;
    int Height() const override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void CloseWindow() override;
    bool Closed() const override { return closed_; }

    HDC GetDC() override;
    void ReleaseDC(HDC dc) override;
    int ChoosePixelFormat(HDC dc, const PixelFormatDescriptor& request) override;
    bool SetPixelFormat(HDC dc, int format, const PixelFormatDescriptor& request) override;
    HGLRC CreateContext(HDC dc) override;
    bool MakeCurrent(HDC dc, HGLRC context) override;
    void DeleteContext(HGLRC context) override;
    void SwapBuffers(HDC dc) override;

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::unique_ptr<LoadingWindow> CreateLoadingWindow(int left, int top, int width,
                                                       int height) override;
    void RunEventLoop(TApplication& application, TForm& form) override;

private:
    void ShowMainWindow();
    bool Translate(const SDL_Event& event, WindowEvent& out);
    void UpdateSizes();

    SDL_Window* window_ = nullptr;
    std::string caption_;
    int left_, top_, width_, height_;
    int drawableWidth_, drawableHeight_;
    bool maximized_ = false;
    bool closed_ = false;
    int chosenFormat_ = 0;
    std::uint32_t buttons_ = 0; // mouse buttons held, as seen in the events delivered so far
};

// The offscreen back end of the windowing layer, for tests and benchmarks: an EGL pbuffer
// on Mesa's surfaceless platform with a desktop OpenGL compatibility context. Events are
// injected by the caller, message boxes and the loading window are recorded, not shown.
#pragma once

#include "Winlayer_un.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class OffscreenPlatform final : public Platform {
public:
    OffscreenPlatform(int width, int height);
    ~OffscreenPlatform() override;

    void SetCaption(const std::string& caption) override { Caption = caption; }
    void SetMaximized() override { Maximized = true; }
    int DrawableWidth() const override { return width_; }
    int DrawableHeight() const override { return height_; }
    void CloseWindow() override { closed_ = true; }
    bool Closed() const override { return closed_; }

    bool ChooseSurfaceFormat(const SurfaceFormat& wanted) override;
    GlSurface CreateSurface() override;
    void ReleaseSurface(GlSurface surface) override;
    GlContext CreateContext() override;
    bool MakeCurrent(GlContext context) override;
    void DeleteContext(GlContext context) override;
    void Present() override;
    // Partial presentation is emulated: the pbuffer keeps its contents between frames, and
    // what is presented is copied into Screen when RecordScreen is set.
    bool PresentsPart() const override { return PartialPresentation; }
    void PresentPart(int x, int y, int width, int height) override;
    double RefreshRate() const override { return RefreshHz; }
    double Milliseconds() const override { return Clock; }

    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void SetClipboardText(const std::string& text) override { Clipboard = text; }
    std::string GetClipboardText() override { return Clipboard; }
    std::unique_ptr<LoadingWindow> CreateLoadingWindow(int left, int top, int width,
                                                       int height) override;
    // Delivers the queued events in order until the queue is empty or the window closes,
    // and runs the work posted before each of them.
    void RunEventLoop(TApplication& application, TForm& form) override;
    void Post(std::function<void()> work) override;

    // Changes the drawable's size; the caller delivers the Resize event.
    void Resize(int width, int height);
    // What another window leaves on the screen where it covered this one: Screen is spoiled;
    // the caller delivers the Expose event.
    void CoverWindow();

    struct Message {
        std::string text, caption;
        MessageIcon icon;
    };
    struct Loading {
        int left, top, width, height;
        int barLeft = 0, barTop = 0, barWidth = 0, barHeight = 0;
        int pictureWidth = 0, pictureHeight = 0, pictureDensity = 0;
        bool outline = false, destroyed = false;
        std::vector<int> positions;
    };

    std::string Caption;
    bool Maximized = false;
    bool FailChooseSurfaceFormat = false; // makes ChooseSurfaceFormat find nothing
    bool FailCreateSurface = false;
    int DepthBits = 0; // of the format chosen
    int Swaps = 0;     // frames handed to the screen, whole or in part
    bool PartialPresentation = true;
    int PartsPresented = 0;
    struct Rect {
        int x, y, width, height;
    } LastPresented{}; // x and y from the bottom left
    // The window as the screen shows it, RGBA rows from the bottom, while RecordScreen is set.
    bool RecordScreen = false;
    std::vector<std::uint8_t> Screen;
    double RefreshHz = 0;
    double LoadingScale = 1; // of the loading windows it makes
    double Clock = 0;        // milliseconds, moved on by the caller
    std::vector<Message> Messages;
    // Work posted and not run yet.
    std::mutex PostedLock;
    std::deque<std::function<void()>> Posted;
    std::string Clipboard;
    std::vector<Loading> LoadingWindows;
    // ChooseSurfaceFormat, CreateSurface, ReleaseSurface, CreateContext, MakeCurrent, ...
    std::vector<std::string> Calls;
    std::deque<WindowEvent> Queue;

private:
    void CopyToScreen(int x, int y, int width, int height);

    void* display_ = nullptr; // EGLDisplay
    void* config_ = nullptr;  // EGLConfig
    void* surface_ = nullptr; // EGLSurface
    void* context_ = nullptr; // EGLContext made current
    int width_, height_;
    bool closed_ = false;
};

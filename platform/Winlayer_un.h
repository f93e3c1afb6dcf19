// The windowing services the calculator relies on, independent of any windowing library: a
// main window with a double-buffered GL surface that presents all or part of a frame; its
// events (keys as the key's identity, a Windows virtual-key code, and the character the
// user's layout types with it; the mouse with shift states; ticks when the form asks for
// them); the clipboard; message boxes; the loading window. Two back ends implement it: SDL2
// for the real program, EGL offscreen for tests and benchmarks.
#pragma once

#include "Glformat_un.h"
#include "Keycodes_un.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Opaque handles of the window's GL surface and of a GL context made for it.
using GlSurface = struct GlSurfaceTag*;
using GlContext = struct GlContextTag*;

enum class MessageIcon { None, Error };

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

struct WindowEvent {
    enum Kind {
        KeyDown,
        KeyUp,
        MouseDown,
        MouseMove,
        MouseUp,
        Wheel,
        Resize,
        Expose,
        Close,
        Tick,
        FocusIn,  // the window has the keyboard
        FocusOut, // and lost it
    };
    Kind kind;
    std::uint16_t key = 0;
    TShiftState shift = 0;
    TMouseButton button = TMouseButton::mbLeft;
    int x = 0, y = 0;
    double notches = 0; // of a Wheel event: positive away from the user; parts of a notch too
    // Of a KeyDown event: the character the user's keyboard layout types with the modifiers
    // held (Shift and AltGr included), or 0 when the key types none (a dead key, Enter, a
    // key held with Ctrl). A character that comes without a key (the end of a compose
    // sequence, an input method) has key 0.
    char32_t character = 0;
};

struct WindowPlace {
    int x, y, width, height;
    bool operator==(const WindowPlace&) const = default;
};

// The borderless window shown while the textures load: a picture, a progress bar (0..100)
// drawn over it, and a one-pixel black outline. Destroying it removes it from the screen.
class LoadingWindow {
public:
    virtual ~LoadingWindow() = default;
    // The pixels it draws for one of its design (the positions it is given are in those): 1 on
    // a plain screen, 2 on one of twice the density.
    virtual double Scale() const { return 1; }
    virtual void AddProgressBar(int left, int top, int width, int height) = 0;
    // Shows an RGBA picture (4 bytes a pixel, alpha 255, top row first) at (0, 0) and repaints
    // at once.
    // density: the picture's pixels for one of the design (2 for one drawn at twice the size).
    virtual void ShowPicture(const std::uint8_t* rgba, int width, int height, int density) = 0;
    virtual void DrawOutline() = 0;
    // Moves the bar and redraws it at once.
    virtual void SetProgress(int position) = 0;
};

// Reads rows first .. first + count - 1 of the frame in the back buffer of a drawable of this
// size, top row first, as 0xAARRGGBB pixels.
using FrameReader =
    std::function<void(int width, int height, int first, int count, std::uint32_t* pixels)>;

class TApplication;
class TForm;

class Platform {
public:
    virtual ~Platform() = default;

    // Main window.
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetMaximized() = 0;
    // The size of the window's drawable, in pixels: what is drawn on and what mouse
    // positions are given in.
    virtual int DrawableWidth() const = 0;
    virtual int DrawableHeight() const = 0;
    virtual void CloseWindow() = 0;
    virtual bool Closed() const = 0;

    // The window's GL surface, made in two steps: a format the platform has nothing near
    // to is told apart from one that the window cannot take.
    // Picks the first of FormatsToTry(wanted) that the platform offers; false for none.
    virtual bool ChooseSurfaceFormat(const SurfaceFormat& wanted) = 0;
    // Gives the window a surface of the chosen format; null when it cannot have one.
    virtual GlSurface CreateSurface() = 0;
    // Lets the surface go once no context draws on it.
    virtual void ReleaseSurface(GlSurface surface) = 0;
    virtual GlContext CreateContext() = 0;
    // Makes the context draw on the window's surface; null makes none current.
    virtual bool MakeCurrent(GlContext context) = 0;
    virtual void DeleteContext(GlContext context) = 0;
    // Shows the whole frame in the back buffer; what the back buffer then holds is undefined.
    virtual void Present() = 0;
    // How the drawing side reads its frame back, for a back end that gives the first frame to
    // the window as its own picture before it maps the window.
    virtual void SetFrameReader(FrameReader /*reader*/) {}
    // Whether the surface can show a part of its back buffer (PresentPart) and keep that
    // buffer as it was, so that the next frame needs to redraw only what changes in it.
    virtual bool PresentsPart() const { return false; }
    // Shows the rectangle of the back buffer (x and y from the bottom left, in pixels) on the
    // screen; the rest of the window keeps what it shows. Only while PresentsPart().
    virtual void PresentPart(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
    // The refresh rate of the screen the window is on, in Hz; 0 when the platform tells none.
    virtual double RefreshRate() const { return 0; }
    // A steady clock, in milliseconds.
    virtual double Milliseconds() const = 0;

    // A modal box with an OK button; an empty caption shows the application title.
    virtual void MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) = 0;
    // The desktop's clipboard, as text; empty when it holds none. What is read holds every
    // byte of the text where the platform allows (a NUL too), and is cut a byte after 1 MiB.
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::string GetClipboardText() = 0;
    virtual std::unique_ptr<LoadingWindow> CreateLoadingWindow(int left, int top, int width,
                                                               int height) = 0;

    // Where the window is on the screen and how large, in the desktop's units (not pixels of
    // the drawable); x and y are 0 where the server tells no position (Wayland).
    virtual WindowPlace Place() const { return {0, 0, DrawableWidth(), DrawableHeight()}; }

    // Runs work on the event loop's thread soon, in the order posted. Callable from any
    // thread; never waits for the loop. Work still waiting when the window closes is dropped.
    virtual void Post(std::function<void()> work) = 0;

    // Why the window was lost without being closed (the display's connection broke, say);
    // empty while it was not.
    virtual std::string LostWindow() const { return {}; }

    // Delivers events and ticks to the form, one at a time, until the main window closes.
    virtual void RunEventLoop(TApplication& application, TForm& form) = 0;
};

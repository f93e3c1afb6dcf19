// What the SDL back end does differently on each display server SDL shows its windows on:
// one implementation a server (X11, Wayland), and a plain one where SDL alone is all there
// is. The video driver picks one once, at start (see Videodriver_un); no other unit asks
// which server it is on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct SDL_Window;
struct SDL_Rect;

// Rows first .. first + count - 1 of a picture, top row first, as 0xAARRGGBB pixels.
using PictureRows = std::function<void(int first, int count, std::uint32_t* pixels)>;

// A rectangle of a window in a colour (0xRRGGBB).
struct ColouredRect {
    int x, y, w, h;
    std::uint32_t rgb;
};

class DisplayServer {
public:
    virtual ~DisplayServer() = default;

    // What the server's client library reads from the environment when SDL opens the
    // display, set before it does; and what SDL is told once its video runs.
    virtual void BeforeVideo() = 0;
    virtual void AfterVideo() = 0;
    // The resolution the desktop asks programs to draw at, in dots per inch; 0 for none.
    virtual double DesktopDpi() = 0;

    // The flags a window drawn in software (loading window, message box) is made with.
    virtual std::uint32_t SoftwareWindowFlags() const = 0;
    // Whether a window drawn in software is shown before it is drawn, rather than given its
    // first picture while hidden: where nothing shows until the first picture and a window
    // takes its screen's density only once shown.
    virtual bool ShowsBeforeDrawing() const = 0;
    // Whether a message box's window is hidden and kept for the next box rather than
    // destroyed.
    virtual bool KeepsBoxWindows() const = 0;
    // Gives a window the icon in every size drawn beside the one SDL sets: count squares of
    // the sizes given, their pixels one after the other.
    virtual void SetIcons(SDL_Window* window, const int* sizes, int count,
                          const std::uint32_t* pixels) = 0;
    // Makes a window that is not mapped yet a dialog; with a parent also modal for it.
    virtual void MakeDialog(SDL_Window* dialog, SDL_Window* parent) = 0;
    // Whether a window manager looks after the windows, asked once a window exists to ask
    // with (null before); the answer is kept.
    virtual bool HasWindowManager(SDL_Window* window) = 0;
    // Fills rectangles of a window straight away, with nothing to wait for; false, doing
    // nothing, where that is not possible (the caller then updates the window's surface).
    virtual bool FillRects(SDL_Window* window, const ColouredRect* rects, int count) = 0;

    // The main window's first frame. Whether a window to be maximised is made maximised;
    // else it is maximised once shown (see SizeMaximised).
    virtual bool MaximisedWhenMade() const = 0;
    // Before the first frame of a main window to be maximised, with the usable screen: gives
    // the hidden window the size it will have on the screen. True when that took showing it.
    virtual bool SizeMaximised(SDL_Window* window, const SDL_Rect& screen) = 0;
    // Moves and sizes a window that is not mapped and waits until it is so.
    virtual void PlaceHidden(SDL_Window* window, const SDL_Rect& place) = 0;
    // Gives the window a background picture, which the server paints the moment the window is
    // mapped, before the program draws anything; and takes it away again.
    virtual void SetPicture(SDL_Window* window, int width, int height, const PictureRows& rows) = 0;
    virtual void ClearPicture(SDL_Window* window) = 0;
    // After a message box: gives the main window, on the screen, the keyboard back.
    virtual void GiveFocusBack(SDL_Window* window) = 0;
    // A window just put on the screen asks for the keyboard, so that keys typed from then on
    // reach the program: the loading window's are kept for the calculator (type-ahead).
    virtual void TakeKeyboard(SDL_Window* window) = 0;

    // The swap interval of the GL window: 1 where a swap may wait for the screen, 0 where a
    // window the server does not draw (minimised, covered, on another workspace) could make
    // it wait for ever.
    virtual int SwapInterval() const = 0;
    // Whether a GL window, with its context current, can show a rectangle of its back buffer
    // (x and y from its bottom left) and leave the buffer as it was; and doing so.
    virtual bool PresentsPart(SDL_Window* window) = 0;
    virtual void PresentPart(SDL_Window* window, int x, int y, int width, int height) = 0;

    // The clipboard's text with every byte (SDL's ends at the first NUL), cut to limit + 1
    // bytes; false when it cannot be read so, and SDL is to be asked.
    virtual bool ReadClipboard(SDL_Window* window, std::size_t limit, std::string& bytes) = 0;
    // Called after this program put text on the clipboard.
    virtual void NoteClipboardOwner(SDL_Window* window) = 0;

    // Why the connection to the server broke, or empty while it holds: SDL ends its loop with
    // a quit event then, and a lost window would otherwise look closed.
    virtual std::string LostConnection(SDL_Window* window) = 0;
};

// SDL alone: nothing more than it does on any video driver.
class PlainServer : public DisplayServer {
public:
    void BeforeVideo() override {}
    void AfterVideo() override {}
    double DesktopDpi() override { return 0; }
    std::uint32_t SoftwareWindowFlags() const override { return 0; }
    bool ShowsBeforeDrawing() const override { return false; }
    bool KeepsBoxWindows() const override { return false; }
    void SetIcons(SDL_Window*, const int*, int, const std::uint32_t*) override {}
    void MakeDialog(SDL_Window* dialog, SDL_Window* parent) override;
    bool HasWindowManager(SDL_Window*) override { return true; }
    bool FillRects(SDL_Window*, const ColouredRect*, int) override { return false; }
    bool MaximisedWhenMade() const override { return true; }
    bool SizeMaximised(SDL_Window*, const SDL_Rect&) override { return false; }
    void PlaceHidden(SDL_Window*, const SDL_Rect&) override {}
    void SetPicture(SDL_Window*, int, int, const PictureRows&) override {}
    void ClearPicture(SDL_Window*) override {}
    void GiveFocusBack(SDL_Window*) override {}
    void TakeKeyboard(SDL_Window* window) override;
    int SwapInterval() const override { return 1; }
    bool PresentsPart(SDL_Window*) override { return false; }
    void PresentPart(SDL_Window*, int, int, int, int) override {}
    bool ReadClipboard(SDL_Window*, std::size_t, std::string&) override { return false; }
    void NoteClipboardOwner(SDL_Window*) override {}
    std::string LostConnection(SDL_Window*) override { return {}; }
};

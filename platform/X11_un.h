// What the SDL back end needs to know or set on an X11 display beyond what SDL offers. Kept
// apart because the X headers' macros clash with ordinary names. Each function does nothing
// (or answers as for a system with a window manager) for a window SDL shows with another
// video driver, and in a build without X11.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct SDL_Window;
struct SDL_Rect;

// Whether a window manager looks after the window; on systems other than X11 one always does.
bool HasWindowManager(SDL_Window* window);

// Keeps a late wake-up message, which SDL sends to its own window from a second connection,
// from ending the process when it reaches the server after the window is gone. Called before
// SDL_Init, so that SDL chains to it and restores it when it closes its displays.
void IgnoreStaleWindowErrors();

// Marks a window that is not mapped yet as a dialog; with a parent also as transient for it
// and modal, so that a window manager keeps it above the parent and gives it the keyboard
// when the parent is clicked.
// False, doing nothing, where the window is not on X11.
bool MarkAsDialog(SDL_Window* dialog, SDL_Window* parent);

// The space a window manager's frame takes around a window that is not mapped yet, asked of
// the window manager for the window's present state; false when none answers.
bool FrameExtents(SDL_Window* window, int& left, int& right, int& top, int& bottom);

// Moves and sizes a window that is not mapped and waits until the server has done so.
void PlaceHidden(SDL_Window* window, const SDL_Rect& place);

// Gives the window a background picture, which the X server paints the moment the window is
// mapped or uncovered, before the program draws anything. rows fills count rows of the
// picture from row first on, top row first, as 0xAARRGGBB pixels.
using PictureRows = std::function<void(int first, int count, std::uint32_t* pixels)>;
void SetWindowPicture(SDL_Window* window, int width, int height, const PictureRows& rows);
// Takes the background picture away again: the program draws the window itself from now on.
void ClearWindowPicture(SDL_Window* window);

// Fills rectangles of a window with colours (0xRRGGBB) straight away, with no image to send
// and nothing to wait for: the loading window's bar moves fifty times in a start.
struct ColouredRect {
    int x, y, w, h;
    std::uint32_t rgb;
};
// False, doing nothing, where the window is not on X11.
bool FillWindowRects(SDL_Window* window, const ColouredRect* rects, int count);

// Shows a rectangle of a GL window's back buffer (x and y from its bottom left) and leaves the
// buffer as it was, through GLX_MESA_copy_sub_buffer. CanCopySubBuffer tells, for the window
// with its GL context current, whether the server and driver offer it.
bool CanCopySubBuffer(SDL_Window* window);
void CopySubBuffer(SDL_Window* window, int x, int y, int width, int height);

// The desktop's clipboard as the program that holds it hands it over, every byte of it, NULs
// included (SDL's text ends at the first NUL, which would make "12<NUL>34" read as 12). False
// when it cannot be read this way: not on X11, the clipboard is this program's own (see
// NoteClipboardOwner), the holder did not answer in time, or the text came in increments;
// the caller then asks SDL. Text of more than limit bytes is cut to limit + 1 bytes.
bool ReadClipboard(SDL_Window* window, std::size_t limit, std::string& bytes);
// Called after this program put text on the clipboard: it holds it until another takes it.
void NoteClipboardOwner(SDL_Window* window);

// The value of the X resource Xft.dpi, the resolution the desktop asks programs to draw at, as
// set on the server (xrdb); empty when none is set or SDL shows its windows on another system.
// Asked through a connection of its own, as it is wanted before the first window is made.
std::string XftDpiResource();

// Gives a window its icon in several sizes (_NET_WM_ICON), for a task bar or window switcher to
// take the one that suits it: count squares of the sizes given, their pixels one after the
// other, each top row first, as 0xAARRGGBB.
void SetWindowIcons(SDL_Window* window, const int* sizes, int count, const std::uint32_t* pixels);

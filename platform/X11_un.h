// The display server of SDL's X11 driver: what SDL does not offer there. Its code is spread
// by job over X11_un (set-up, presenting part of a frame, focus), X11window_un (window
// manager, placement, dialog hints, icons), X11picture_un (window pictures, filled
// rectangles) and X11clipboard_un; X11util_un.h holds what they share. Only they include
// the X headers, whose macros clash with ordinary names.
#pragma once

#include "Displayserver_un.h"

class X11Server final : public PlainServer {
public:
    void BeforeVideo() override;
    // What an X11 client of this program needs before SDL opens the display, but the compose
    // table: also done where Wayland is tried first, as SDL may fall back to X11.
    static void PrepareClient();
    double DesktopDpi() override;
    void SetIcons(SDL_Window* window, const int* sizes, int count,
                  const std::uint32_t* pixels) override;
    void MakeDialog(SDL_Window* dialog, SDL_Window* parent) override;
    bool HasWindowManager(SDL_Window* window) override;
    bool FillRects(SDL_Window* window, const ColouredRect* rects, int count) override;
    bool SizeMaximised(SDL_Window* window, const SDL_Rect& screen) override;
    void PlaceHidden(SDL_Window* window, const SDL_Rect& place) override;
    void SetPicture(SDL_Window* window, int width, int height, const PictureRows& rows) override;
    void ClearPicture(SDL_Window* window) override;
    void GiveFocusBack(SDL_Window* window) override;
    void TakeKeyboard(SDL_Window* window) override;
    bool PresentsPart(SDL_Window* window) override;
    void PresentPart(SDL_Window* window, int x, int y, int width, int height) override;
    bool ReadClipboard(SDL_Window* window, std::size_t limit, std::string& bytes) override;
    void NoteClipboardOwner(SDL_Window* window) override;

private:
    int windowManager_ = -1;         // unknown until a window exists to ask with
    unsigned long ownClipboard_ = 0; // the X window holding the text this program put there
};

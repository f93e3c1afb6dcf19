// The message box of the SDL back end: a small dialog window of our own, its text drawn with
// the system's DejaVu Sans font (no X core fonts, no helper program), an error icon, and an
// OK button taken by Return, keypad Enter, Escape, Space or a click. The modal loop around it
// belongs to the platform, which also redraws the main window meanwhile.
#pragma once

#include "Displayserver_un.h"
#include "Winlayer_un.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <functional>
#include <string>
#include <vector>

// Splits text into lines no wider than maxWidth (as measure reports widths), breaking at
// blanks and line feeds. A word wider than maxWidth stands alone on a line of its own, so a
// path is never cut; only a word wider than hardWidth is broken, between characters. No
// character but the blanks at the breaks is lost.
std::vector<std::string> WrapText(const std::string& text, int maxWidth, int hardWidth,
                                  const std::function<int(const std::string&)>& measure);

// What the boxes use of SDL_ttf, taken from the library when the first box needs it: a start
// without a box loads neither it nor FreeType and HarfBuzz behind it, which took a tenth of
// the time to the loading window.
struct TtfFunctions {
    int (*Init)();
    int (*WasInit)();
    void (*Quit)();
    TTF_Font* (*OpenFont)(const char* file, int size);
    void (*CloseFont)(TTF_Font* font);
    int (*SizeUTF8)(TTF_Font* font, const char* text, int* w, int* h);
    SDL_Surface* (*RenderUTF8_Blended)(TTF_Font* font, const char* text, SDL_Color colour);
    int (*FontLineSkip)(const TTF_Font* font);
};
// The library's functions, loaded once; null, with the reason in `why`, when it cannot be.
const TtfFunctions* Ttf(std::string& why);

// The font of the message boxes: DejaVu Sans at the scale of the box, opened for the first box
// (starting SDL_ttf), opened again for a box of another scale, and closed with this object.
// Null, said once on stderr, when it cannot be loaded.
class MessageFont {
public:
    MessageFont() = default;
    ~MessageFont();
    MessageFont(const MessageFont&) = delete;
    MessageFont& operator=(const MessageFont&) = delete;
    TTF_Font* At(double scale);
    // Measures and draws with the font At gave; only once it has given one.
    const TtfFunctions& Functions() const { return *ttf_; }

private:
    bool tried_ = false;
    const TtfFunctions* ttf_ = nullptr;
    TTF_Font* font_ = nullptr;
    int size_ = 0;
};

class SdlMessageBox {
public:
    // A hidden box; parent is the main window when it is shown (the box is then transient and
    // modal for it, and centred over it), null otherwise (centred on the screen). Its margins,
    // icon, button and font grow with the desktop's scale, and are drawn at the density of the
    // screen where the server scales windows by it (Wayland): density is the one it is
    // expected to have, pixels for each of the server's units; the one it has is taken once
    // it is drawn.
    SdlMessageBox(DisplayServer& server, MessageFont& fonts, const std::string& text,
                  const std::string& caption, MessageIcon icon, SDL_Window* parent, double scale,
                  double density);
    ~SdlMessageBox();
    SdlMessageBox(const SdlMessageBox&) = delete;
    SdlMessageBox& operator=(const SdlMessageBox&) = delete;

    // False when the window could not be made: nothing can be shown.
    bool Usable() const { return window_ != nullptr; }
    // Maps the box, draws it and gives it the keyboard.
    void Show();
    void TakeFocus();
    bool Owns(const SDL_Event& event) const;
    // Handles one of the box's own events; true once the box is dismissed.
    bool Handle(const SDL_Event& event);

private:
    // Lays the box out in pixels, density of them for each unit of the server's.
    void Layout(double density);
    // Where its window goes, in the server's units.
    SDL_Point Place() const;
    void FreeDrawing();
    void Draw();
    bool OnButton(int x, int y) const;

    DisplayServer& server_;
    MessageFont& fonts_;
    std::string text_;
    MessageIcon icon_;
    SDL_Window* parent_;
    SDL_Window* window_ = nullptr;
    std::vector<SDL_Surface*> lines_; // the text, one rendered line each
    SDL_Surface* iconPicture_ = nullptr;
    SDL_Surface* label_ = nullptr;
    SDL_Rect textArea_{}, iconArea_{}, button_{}; // in pixels
    int width_ = 0, height_ = 0, lineSkip_ = 0;   // in pixels
    int unitsWide_ = 1, unitsHigh_ = 1;           // the window's size, in the server's units
    double designScale_;                          // the server's units for one of the design
    double density_ = 1;                          // pixels for one of the server's units
    double scale_ = 1;                            // pixels for one of the design
    bool hover_ = false, pressed_ = false;
};

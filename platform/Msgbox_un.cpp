#include "Msgbox_un.h"

#include "Scale_un.h"
#include "Sdlscale_un.h"
#include "Surface_un.h"
#include "Utf8_un.h"
#include "Winicon_un.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <dlfcn.h>
#include <type_traits>
#include <utility>

namespace {

constexpr const char* MessageFontFile = TESSEL_FONT_FILE;
constexpr const char* TtfLibrary = "libSDL2_ttf-2.0.so.0";
constexpr int MessageFontSize = 15;
// The lengths at a scale of 1 (96 dpi).
constexpr int Margin = 18;
constexpr int IconSize = 36;
constexpr int IconGap = 14;
constexpr int TextWidth = 420;    // wrapping width of the text
constexpr int MinTextWidth = 200; // a short message still gets a box of a sensible width
constexpr int ButtonWidth = 88, ButtonHeight = 30;
constexpr int ButtonFrameWidth = 2;
constexpr int ScreenMargin = 40; // a long unbreakable word widens the box up to the screen
constexpr SDL_Colour Background{242, 242, 242, 255};
constexpr SDL_Colour Ink{20, 20, 20, 255};
constexpr SDL_Colour ButtonFace{252, 252, 252, 255};
constexpr SDL_Colour ButtonHover{228, 236, 248, 255};
constexpr SDL_Colour ButtonDown{200, 214, 236, 255};
constexpr SDL_Colour ButtonFrame{60, 110, 190, 255}; // the default button's frame
constexpr SDL_Colour IconRed{204, 38, 38, 255};

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The error icon: a red disc with a white cross, edges smoothed by coverage.
SDL_Surface* ErrorIcon(int size) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) return nullptr;
    const double c = size / 2.0, r = c - 1, arm = r * 0.42, half = r * 0.11;
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + y * icon->pitch);
        for (int x = 0; x < size; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double disc = std::clamp(r + 0.5 - std::hypot(px - c, py - c), 0.0, 1.0);
            const double cross = std::clamp(
                half + 0.5 -
                    std::min(SegmentDistance(px, py, c - arm, c - arm, c + arm, c + arm),
                             SegmentDistance(px, py, c - arm, c + arm, c + arm, c - arm)),
                0.0, 1.0);
            auto mix = [&](Uint8 base) {
                return static_cast<Uint32>(std::lround(base + (255 - base) * cross));
            };
            row[x] = static_cast<Uint32>(std::lround(disc * 255)) << 24 | mix(IconRed.r) << 16 |
                     mix(IconRed.g) << 8 | mix(IconRed.b);
        }
    }
    SDL_SetSurfaceBlendMode(icon, SDL_BLENDMODE_BLEND);
    return icon;
}

} // namespace

std::vector<std::string> WrapText(const std::string& text, int maxWidth, int hardWidth,
                                  const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        std::string line;
        std::size_t i = 0;
        while (i < paragraph.size()) {
            std::size_t wordEnd = paragraph.find(' ', i);
            if (wordEnd == std::string::npos) wordEnd = paragraph.size();
            std::string word = paragraph.substr(i, wordEnd - i);
            i = wordEnd + 1;
            const std::string joined = line.empty() ? word : line + " " + word;
            if (measure(joined) <= maxWidth || line.empty()) {
                line = joined;
            } else {
                lines.push_back(line);
                line = word;
            }
            // Only a word wider than the screen allows is broken, between characters.
            while (measure(line) > hardWidth && line.size() > 1) {
                std::size_t cut = line.size() - 1;
                while (cut > 1 && measure(line.substr(0, cut)) > hardWidth) --cut;
                while (cut > 1 && IsUtf8Continuation(line[cut])) --cut;
                lines.push_back(line.substr(0, cut));
                line.erase(0, cut);
            }
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

const TtfFunctions* Ttf(std::string& why) {
    static TtfFunctions functions{};
    static std::string failure;
    static const bool loaded = [] {
        // Kept for the rest of the run: fonts opened with it may live as long.
        void* library = dlopen(TtfLibrary, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            failure = dlerror();
            return false;
        }
        auto take = [&](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            if (function == nullptr && failure.empty()) failure = std::string(name) + " is missing";
        };
        take(functions.Init, "TTF_Init");
        take(functions.WasInit, "TTF_WasInit");
        take(functions.Quit, "TTF_Quit");
        take(functions.OpenFont, "TTF_OpenFont");
        take(functions.CloseFont, "TTF_CloseFont");
        take(functions.SizeUTF8, "TTF_SizeUTF8");
        take(functions.RenderUTF8_Blended, "TTF_RenderUTF8_Blended");
        take(functions.FontLineSkip, "TTF_FontLineSkip");
        return failure.empty();
    }();
    why = failure;
    return loaded ? &functions : nullptr;
}

MessageFont::~MessageFont() {
    if (ttf_ == nullptr) return;
    if (font_ != nullptr) ttf_->CloseFont(font_);
    if (ttf_->WasInit()) ttf_->Quit();
}

TTF_Font* MessageFont::At(double scale) {
    const int size = Scaled(MessageFontSize, scale);
    if (font_ != nullptr && size != size_) {
        // A box on a screen of another density.
        ttf_->CloseFont(font_);
        font_ = ttf_->OpenFont(MessageFontFile, size);
        size_ = size;
        return font_;
    }
    if (!tried_) {
        tried_ = true;
        std::string why;
        ttf_ = Ttf(why);
        if (ttf_ != nullptr) {
            if (ttf_->Init() == 0) font_ = ttf_->OpenFont(MessageFontFile, size);
            if (font_ == nullptr) why = SDL_GetError(); // SDL_ttf says why through SDL
        }
        size_ = size;
        if (font_ == nullptr)
            std::fprintf(stderr, "tessel: can't load the font of the message boxes '%s': %s\n",
                         MessageFontFile, why.c_str());
    }
    return font_;
}

namespace {

SDL_Window* SpareBox = nullptr; // a box's window kept for the next (see KeepsBoxWindows)

} // namespace

SdlMessageBox::SdlMessageBox(DisplayServer& server, MessageFont& fonts, const std::string& text,
                             const std::string& caption, MessageIcon icon, SDL_Window* parent,
                             double scale, double density)
    : server_(server), fonts_(fonts), text_(text), icon_(icon), parent_(parent),
      designScale_(scale) {
    Layout(density);
    const SDL_Point at = Place();
    if (SpareBox != nullptr) {
        // The window of the last box, kept hidden (see the destructor).
        window_ = std::exchange(SpareBox, nullptr);
        SDL_SetWindowTitle(window_, caption.c_str());
        SDL_SetWindowSize(window_, unitsWide_, unitsHigh_);
        SDL_SetWindowPosition(window_, at.x, at.y);
    } else {
        window_ = SDL_CreateWindow(caption.c_str(), at.x, at.y, unitsWide_, unitsHigh_,
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI |
                                       server_.SoftwareWindowFlags());
    }
    if (window_ == nullptr) return;
    SetProgramIcon(server_, window_);
    server_.MakeDialog(window_, parent);
}

SdlMessageBox::~SdlMessageBox() {
    FreeDrawing();
    if (window_ == nullptr) return;
    if (server_.KeepsBoxWindows()) {
        // Kept, hidden, for the next box; it goes when SDL closes.
        SDL_HideWindow(window_);
        SpareBox = window_;
        return;
    }
    SDL_DestroyWindow(window_);
}

void SdlMessageBox::FreeDrawing() {
    for (SDL_Surface* s : lines_) SDL_FreeSurface(s);
    lines_.clear();
    SDL_FreeSurface(iconPicture_);
    SDL_FreeSurface(label_);
    iconPicture_ = label_ = nullptr;
}

void SdlMessageBox::Layout(double density) {
    FreeDrawing();
    density_ = density;
    scale_ = designScale_ * density;
    TTF_Font* font = fonts_.At(scale_);
    // What the display tells is in the server's units, density pixels each.
    SDL_Rect usable{0, 0, 1024, 768};
    SDL_GetDisplayUsableBounds(parent_ != nullptr ? SDL_GetWindowDisplayIndex(parent_) : 0,
                               &usable);
    const int margin = Scaled(Margin, scale_), iconSize = Scaled(IconSize, scale_);
    const int minTextWidth = Scaled(MinTextWidth, scale_);
    const int buttonWidth = Scaled(ButtonWidth, scale_),
              buttonHeight = Scaled(ButtonHeight, scale_);
    const int iconWidth = icon_ == MessageIcon::Error ? iconSize + Scaled(IconGap, scale_) : 0;
    const int hardWidth =
        std::max(minTextWidth, Scaled(usable.w, density) - 2 * Scaled(ScreenMargin, scale_) -
                                   2 * margin - iconWidth);
    auto measure = [this, font](const std::string& s) {
        int w = 0, h = 0;
        if (font != nullptr) fonts_.Functions().SizeUTF8(font, s.c_str(), &w, &h);
        return w;
    };
    int widest = minTextWidth;
    for (const std::string& line :
         WrapText(ValidUtf8(text_), Scaled(TextWidth, scale_), hardWidth, measure)) {
        // An empty line still takes its height: render a blank.
        SDL_Surface* s = font != nullptr ? fonts_.Functions().RenderUTF8_Blended(
                                               font, line.empty() ? " " : line.c_str(), Ink)
                                         : nullptr;
        if (s == nullptr) continue;
        widest = std::max(widest, s->w);
        lines_.push_back(s);
    }
    lineSkip_ = font != nullptr ? fonts_.Functions().FontLineSkip(font) : 0;
    const int textHeight = lineSkip_ * static_cast<int>(lines_.size());
    if (icon_ == MessageIcon::Error) iconPicture_ = ErrorIcon(iconSize);
    label_ = font != nullptr ? fonts_.Functions().RenderUTF8_Blended(font, "OK", Ink) : nullptr;

    // In whole units of the server's, so that the window has exactly the pixels laid out.
    const int bodyHeight = std::max(textHeight, iconPicture_ != nullptr ? iconSize : 0);
    const int unitsWide =
        static_cast<int>(std::ceil((margin + iconWidth + widest + margin) / density));
    const int unitsHigh = static_cast<int>(
        std::ceil((margin + bodyHeight + margin + buttonHeight + margin) / density));
    unitsWide_ = unitsWide, unitsHigh_ = unitsHigh;
    width_ = Scaled(unitsWide, density);
    height_ = Scaled(unitsHigh, density);
    iconArea_ = {margin, margin, iconSize, iconSize};
    textArea_ = {margin + iconWidth, margin + (bodyHeight - textHeight) / 2, widest, textHeight};
    button_ = {width_ - margin - buttonWidth, height_ - margin - buttonHeight, buttonWidth,
               buttonHeight};
}

SDL_Point SdlMessageBox::Place() const {
    if (parent_ == nullptr) return {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED};
    int px, py, pw, ph;
    SDL_GetWindowPosition(parent_, &px, &py);
    SDL_GetWindowSize(parent_, &pw, &ph);
    return {px + (pw - unitsWide_) / 2, py + (ph - unitsHigh_) / 2};
}

void SdlMessageBox::Show() {
    SDL_ShowWindow(window_);
    Draw();
    TakeFocus();
}

void SdlMessageBox::TakeFocus() {
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
}

bool SdlMessageBox::Owns(const SDL_Event& e) const {
    const Uint32 id = SDL_GetWindowID(window_);
    switch (e.type) {
    case SDL_WINDOWEVENT:
        return e.window.windowID == id;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return e.key.windowID == id;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return e.button.windowID == id;
    case SDL_MOUSEMOTION:
        return e.motion.windowID == id;
    default:
        return false;
    }
}

bool SdlMessageBox::OnButton(int x, int y) const {
    // Events tell positions in the server's units.
    const SDL_Point p{Scaled(x, density_), Scaled(y, density_)};
    return SDL_PointInRect(&p, &button_);
}

bool SdlMessageBox::Handle(const SDL_Event& e) {
    switch (e.type) {
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) return true;
        // Under Wayland a box drawn the moment it is shown can come on the screen black (weston,
        // SDL 2.26); once it has the keyboard it is on the screen, and is drawn again.
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
            e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            Draw();
        return false;
    case SDL_KEYDOWN:
        if (e.key.repeat) return false; // one press dismisses one box
        switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER:
        case SDLK_ESCAPE:
        case SDLK_SPACE:
            return true;
        default:
            return false;
        }
    case SDL_MOUSEMOTION:
        if (OnButton(e.motion.x, e.motion.y) != hover_) {
            hover_ = !hover_;
            Draw();
        }
        return false;
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT && OnButton(e.button.x, e.button.y)) {
            pressed_ = true;
            Draw();
        }
        return false;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT || !pressed_) return false;
        pressed_ = false;
        if (OnButton(e.button.x, e.button.y)) return true;
        Draw();
        return false;
    default:
        return false;
    }
}

void SdlMessageBox::Draw() {
    KeptGlContext kept;
    const double density = [&] {
        const WindowCanvas canvas(window_);
        return canvas.Surface() != nullptr ? PixelDensity(canvas.Surface()->w, unitsWide_)
                                           : density_;
    }();
    if (density != density_) {
        // A box on a screen of another density than it was laid out for is laid out again.
        Layout(density);
        SDL_SetWindowSize(window_, unitsWide_, unitsHigh_);
    }
    const WindowCanvas canvas(window_);
    SDL_Surface* surface = canvas.Surface();
    if (surface == nullptr) return;
    Fill(surface, {0, 0, surface->w, surface->h}, Background);
    if (iconPicture_ != nullptr) {
        SDL_Rect at = iconArea_;
        SDL_BlitSurface(iconPicture_, nullptr, surface, &at);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        SDL_Rect at{textArea_.x, textArea_.y + static_cast<int>(i) * lineSkip_, 0, 0};
        SDL_BlitSurface(lines_[i], nullptr, surface, &at);
    }
    Fill(surface, button_, pressed_ ? ButtonDown : hover_ ? ButtonHover : ButtonFace);
    Frame(surface, button_, ButtonFrame, Scaled(ButtonFrameWidth, scale_));
    if (label_ != nullptr) {
        SDL_Rect at{button_.x + (button_.w - label_->w) / 2,
                    button_.y + (button_.h - label_->h) / 2, 0, 0};
        SDL_BlitSurface(label_, nullptr, surface, &at);
    }
    canvas.Show();
}

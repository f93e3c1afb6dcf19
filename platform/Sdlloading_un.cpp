#include "Sdlloading_un.h"

#include "Scale_un.h"
#include "Sdlscale_un.h"
#include "Surface_un.h"
#include "Winicon_un.h"

#include <algorithm>

namespace {

constexpr SDL_Colour Paper{255, 255, 255, 255};
constexpr SDL_Colour Outline{0, 0, 0, 255};
constexpr SDL_Colour BarTrack{230, 230, 230, 255};
constexpr SDL_Colour BarDone{38, 160, 72, 255};
constexpr SDL_Colour BarFrame{140, 140, 140, 255};

} // namespace

SdlLoadingWindow::SdlLoadingWindow(DisplayServer& server, const SDL_Rect& place, double scale,
                                   std::function<void(SDL_Window*)> keep)
    : server_(server), designScale_(scale), scale_(scale), keep_(std::move(keep)) {
    window_ = SDL_CreateWindow("", place.x, place.y, place.w, place.h,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN |
                                   SDL_WINDOW_ALLOW_HIGHDPI | server_.SoftwareWindowFlags());
    if (window_ != nullptr && server_.ShowsBeforeDrawing()) {
        // Nothing is on the screen until the first picture; the window takes its screen's
        // density now, and the picture for it can be chosen.
        SDL_ShowWindow(window_);
        mapped_ = true;
        server_.TakeKeyboard(window_);
    }
    Rescale();
    SetProgramIcon(server_, window_);
}

SdlLoadingWindow::~SdlLoadingWindow() {
    SDL_FreeSurface(source_);
    SDL_FreeSurface(picture_);
    // A window on the screen is handed over, to stay until the main window covers it; one that
    // never got there goes now. Either way the platform hears that this object is gone.
    const bool handOver = keep_ && window_ != nullptr && mapped_;
    if (window_ != nullptr && !handOver) SDL_DestroyWindow(window_);
    if (keep_) keep_(handOver ? window_ : nullptr);
}

bool SdlLoadingWindow::Rescale(const SDL_Surface* canvas) {
    // Where the server scales windows by their screen's density (Wayland), the window has that
    // many pixels for each of its size, and is drawn at them: as many as its canvas has.
    double density = 1;
    if (canvas != nullptr) {
        int units = 0;
        SDL_GetWindowSize(window_, &units, nullptr);
        density = PixelDensity(canvas->w, units);
    } else if (window_ != nullptr) {
        density = PixelDensityOf(window_);
    }
    const double scale = designScale_ * density;
    if (scale == scale_ && (picture_ != nullptr || source_ == nullptr)) return false;
    scale_ = scale;
    bar_ = {Scaled(barDesign_.x, scale_), Scaled(barDesign_.y, scale_),
            Scaled(barDesign_.w, scale_), Scaled(barDesign_.h, scale_)};
    SDL_FreeSurface(picture_);
    picture_ = nullptr;
    if (source_ != nullptr) {
        // A picture drawn for this scale is shown pixel for pixel; another is resized to it.
        const double factor = scale_ / density_;
        picture_ = factor != 1 ? Resized(source_, factor) : nullptr;
        if (picture_ == nullptr) {
            // The picture as given, shared rather than copied.
            picture_ = source_;
            ++source_->refcount;
        }
    }
    return true;
}

void SdlLoadingWindow::AddProgressBar(int left, int top, int width, int height) {
    barDesign_ = {left, top, width, height};
    bar_ = {Scaled(left, scale_), Scaled(top, scale_), Scaled(width, scale_),
            Scaled(height, scale_)};
    hasBar_ = true;
    Redraw();
}

void SdlLoadingWindow::ShowPicture(const std::uint8_t* rgba, int width, int height, int density) {
    SDL_FreeSurface(source_);
    source_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    if (source_ != nullptr) {
        // Opaque: copied onto the window, not blended.
        SDL_SetSurfaceBlendMode(source_, SDL_BLENDMODE_NONE);
        for (int y = 0; y < height; ++y)
            std::copy(rgba + static_cast<std::size_t>(y) * width * 4,
                      rgba + static_cast<std::size_t>(y + 1) * width * 4,
                      static_cast<std::uint8_t*>(source_->pixels) + y * source_->pitch);
    }
    density_ = std::max(density, 1);
    SDL_FreeSurface(picture_);
    picture_ = nullptr;
    Rescale();
    Redraw();
}

SDL_Surface* SdlLoadingWindow::Resized(SDL_Surface* picture, double factor) {
    // Stretched with linear filtering, which SDL does on 32-bit pixels only; null when it
    // cannot be (the picture is then shown at its own size).
    SDL_Surface* source = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_Surface* resized = source == nullptr
                               ? nullptr
                               : SDL_CreateRGBSurfaceWithFormat(0, Scaled(picture->w, factor),
                                                                Scaled(picture->h, factor), 32,
                                                                SDL_PIXELFORMAT_ARGB8888);
    const bool stretched =
        resized != nullptr && SDL_SoftStretchLinear(source, nullptr, resized, nullptr) == 0;
    SDL_FreeSurface(source);
    if (!stretched) {
        SDL_FreeSurface(resized);
        return nullptr;
    }
    return resized;
}

void SdlLoadingWindow::DrawOutline() {
    outline_ = true;
    Redraw();
}

void SdlLoadingWindow::SetProgress(int position) {
    position_ = std::clamp(position, 0, 100);
    KeptGlContext kept;
    if (!started_) {
        // The first position completes the window: it goes on the screen whole.
        started_ = true;
        Redraw();
        return;
    }
    const WindowCanvas canvas(window_);
    if (canvas.Surface() == nullptr) return;
    // Only the bar changes: it is drawn on the window directly, with nothing to wait for (the
    // surface keeps it too, for a redraw).
    DrawBar(canvas.Surface());
    if (!hasBar_) return;
    auto rgb = [](SDL_Colour c) { return std::uint32_t(c.r) << 16 | c.g << 8 | c.b; };
    const int t = Scaled(1, scale_); // the frame's thickness
    const int done = (bar_.w - 2 * t) * position_ / 100;
    const ColouredRect bar[] = {
        {bar_.x, bar_.y, bar_.w, bar_.h, rgb(BarTrack)},
        {bar_.x + t, bar_.y + t, done, bar_.h - 2 * t, rgb(BarDone)},
        {bar_.x, bar_.y, bar_.w, t, rgb(BarFrame)},
        {bar_.x, bar_.y + bar_.h - t, bar_.w, t, rgb(BarFrame)},
        {bar_.x, bar_.y, t, bar_.h, rgb(BarFrame)},
        {bar_.x + bar_.w - t, bar_.y, t, bar_.h, rgb(BarFrame)},
    };
    // Where the server cannot fill them, the window's surface is handed over again, bar and all.
    if (!server_.FillRects(window_, bar, static_cast<int>(std::size(bar)))) canvas.Show();
}

bool SdlLoadingWindow::Owns(const SDL_Event& e) const {
    return window_ != nullptr && e.type == SDL_WINDOWEVENT &&
           e.window.windowID == SDL_GetWindowID(window_);
}

void SdlLoadingWindow::Redraw() {
    // Until the first position there is nothing to show; nor is the window's surface asked
    // for, which would keep the size in pixels the window had before it was shown.
    if (!started_) return;
    KeptGlContext kept;
    const WindowCanvas canvas(window_);
    SDL_Surface* surface = canvas.Surface();
    if (surface == nullptr) return;
    // A window that has come to a screen of another density has another size in pixels.
    Rescale(surface);
    Draw(surface);
    if (!mapped_) {
        // Its picture is painted by the server the moment it is mapped; a surface in the
        // server's own layout (the usual 24-bit colour in 32-bit pixels) is handed over as it is.
        const Uint32 layout = surface->format->format;
        const bool direct = layout == SDL_PIXELFORMAT_ARGB8888 || layout == SDL_PIXELFORMAT_RGB888;
        SDL_Surface* argb =
            direct ? surface : SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
        if (argb != nullptr) {
            server_.SetPicture(window_, argb->w, argb->h, [&](int first, int count, Uint32* out) {
                for (int y = first; y < first + count; ++y, out += argb->w) {
                    const auto* row = static_cast<const Uint8*>(argb->pixels) + y * argb->pitch;
                    std::copy_n(reinterpret_cast<const Uint32*>(row), argb->w, out);
                }
            });
            if (!direct) SDL_FreeSurface(argb);
        }
        SDL_ShowWindow(window_);
        mapped_ = true;
        server_.TakeKeyboard(window_);
    }
    canvas.Show();
}

void SdlLoadingWindow::Draw(SDL_Surface* surface) const {
    Fill(surface, {0, 0, surface->w, surface->h}, Paper);
    if (picture_ != nullptr) {
        SDL_Rect at{0, 0, picture_->w, picture_->h};
        SDL_BlitSurface(picture_, nullptr, surface, &at);
    }
    if (outline_) Frame(surface, {0, 0, surface->w, surface->h}, Outline, Scaled(1, scale_));
    DrawBar(surface);
}

void SdlLoadingWindow::DrawBar(SDL_Surface* surface) const {
    if (!hasBar_) return;
    const int t = Scaled(1, scale_);
    Fill(surface, bar_, BarTrack);
    Fill(surface, {bar_.x + t, bar_.y + t, (bar_.w - 2 * t) * position_ / 100, bar_.h - 2 * t},
         BarDone);
    Frame(surface, bar_, BarFrame, t);
}

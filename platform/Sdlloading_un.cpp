#include "Sdlloading_un.h"

#include "Scale_un.h"
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
    : server_(server), scale_(scale), keep_(std::move(keep)) {
    window_ = SDL_CreateWindow("", place.x, place.y, place.w, place.h,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN |
                                   server_.SoftwareWindowFlags());
    SetProgramIcon(server_, window_);
}

SdlLoadingWindow::~SdlLoadingWindow() {
    SDL_FreeSurface(picture_);
    // A window on the screen is handed over, to stay until the main window covers it; one that
    // never got there goes now. Either way the platform hears that this object is gone.
    const bool handOver = keep_ && window_ != nullptr && mapped_;
    if (window_ != nullptr && !handOver) SDL_DestroyWindow(window_);
    if (keep_) keep_(handOver ? window_ : nullptr);
}

void SdlLoadingWindow::AddProgressBar(int left, int top, int width, int height) {
    bar_ = {Scaled(left, scale_), Scaled(top, scale_), Scaled(width, scale_),
            Scaled(height, scale_)};
    hasBar_ = true;
    Redraw();
}

void SdlLoadingWindow::ShowPicture(const std::uint8_t* rgb, int width, int height) {
    SDL_FreeSurface(picture_);
    picture_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    if (picture_ != nullptr)
        for (int y = 0; y < height; ++y)
            std::copy(rgb + static_cast<std::size_t>(y) * width * 3,
                      rgb + static_cast<std::size_t>(y + 1) * width * 3,
                      static_cast<std::uint8_t*>(picture_->pixels) + y * picture_->pitch);
    if (picture_ != nullptr && scale_ != 1) picture_ = Enlarged(picture_);
    Redraw();
}

SDL_Surface* SdlLoadingWindow::Enlarged(SDL_Surface* picture) const {
    // Stretched with linear filtering, which SDL does on 32-bit pixels only; a picture that
    // cannot be stretched is shown at its own size.
    SDL_Surface* source = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_Surface* large = source == nullptr
                             ? nullptr
                             : SDL_CreateRGBSurfaceWithFormat(0, Scaled(picture->w, scale_),
                                                              Scaled(picture->h, scale_), 32,
                                                              SDL_PIXELFORMAT_ARGB8888);
    const bool stretched =
        large != nullptr && SDL_SoftStretchLinear(source, nullptr, large, nullptr) == 0;
    SDL_FreeSurface(source);
    if (!stretched) {
        SDL_FreeSurface(large);
        return picture;
    }
    SDL_FreeSurface(picture);
    return large;
}

void SdlLoadingWindow::DrawOutline() {
    outline_ = true;
    Redraw();
}

void SdlLoadingWindow::SetProgress(int position) {
    position_ = std::clamp(position, 0, 100);
    KeptGlContext kept;
    SDL_Surface* surface = window_ != nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    if (surface == nullptr) return;
    if (!mapped_) {
        // The first position completes the window: it goes on the screen whole, its picture
        // painted by the server the moment it is mapped.
        Draw(surface);
        if (SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0)) {
            server_.SetPicture(window_, argb->w, argb->h, [&](int first, int count, Uint32* out) {
                for (int y = first; y < first + count; ++y, out += argb->w) {
                    const auto* row = static_cast<const Uint8*>(argb->pixels) + y * argb->pitch;
                    std::copy_n(reinterpret_cast<const Uint32*>(row), argb->w, out);
                }
            });
            SDL_FreeSurface(argb);
        }
        SDL_ShowWindow(window_);
        mapped_ = true;
        server_.TakeKeyboard(window_);
        SDL_UpdateWindowSurface(window_);
        return;
    }
    // Only the bar changes: it is drawn on the window directly, with nothing to wait for (the
    // surface keeps it too, for a redraw).
    DrawBar(surface);
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
    if (!server_.FillRects(window_, bar, static_cast<int>(std::size(bar))))
        SDL_UpdateWindowSurface(window_);
}

bool SdlLoadingWindow::Owns(const SDL_Event& e) const {
    return window_ != nullptr && e.type == SDL_WINDOWEVENT &&
           e.window.windowID == SDL_GetWindowID(window_);
}

void SdlLoadingWindow::Redraw() {
    KeptGlContext kept;
    SDL_Surface* surface = window_ != nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    if (surface == nullptr) return;
    Draw(surface);
    if (mapped_) SDL_UpdateWindowSurface(window_);
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

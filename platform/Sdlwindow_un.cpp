#include "Sdlwindow_un.h"

#include "Winicon_un.h"

#include <algorithm>
#include <iterator>
#include <malloc.h>

SdlWindow::SdlWindow(DisplayServer& server, const SDL_Rect& design, const SDL_Rect& screen)
    : server_(server), design_(design), screen_(screen), width_(design.w), height_(design.h),
      drawableWidth_(design.w), drawableHeight_(design.h) {}

SdlWindow::~SdlWindow() {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

void SdlWindow::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_ != nullptr) SDL_SetWindowTitle(window_, caption.c_str());
}

void SdlWindow::SetMaximized() {
    maximized_ = true;
    if (window_ != nullptr) {
        if (shown_) SDL_MaximizeWindow(window_);
        return;
    }
    // Until the window is made, its size is the one it will have: the usable screen.
    drawableWidth_ = width_ = screen_.w;
    drawableHeight_ = height_ = screen_.h;
}

bool SdlWindow::UpdateSizes() {
    if (window_ == nullptr) return false;
    const int before[] = {width_, height_, drawableWidth_, drawableHeight_};
    SDL_GetWindowSize(window_, &width_, &height_);
    SDL_GL_GetDrawableSize(window_, &drawableWidth_, &drawableHeight_);
    const int after[] = {width_, height_, drawableWidth_, drawableHeight_};
    return !std::equal(std::begin(before), std::end(before), std::begin(after));
}

void SdlWindow::Describe(EventState& state) const {
    state.window = window_ != nullptr ? SDL_GetWindowID(window_) : 0;
    state.width = width_, state.height = height_;
    state.drawableWidth = drawableWidth_, state.drawableHeight = drawableHeight_;
}

void SdlWindow::Hide() {
    if (window_ != nullptr) SDL_HideWindow(window_);
}

// The visual of a GL window is fixed when the window is made (on X11), so the format is chosen
// by making the (still hidden) window with it. Without a window manager nobody maximises it,
// so it is made at the size of the usable screen; a window manager is given the design
// placement, to restore it to, and maximises it.
bool SdlWindow::Make(const SurfaceFormat& wanted, SDL_Window* asker) {
    if (window_ != nullptr) return true;
    // Loaded once for all the tries: a failed try would otherwise unload the driver again.
    const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
    const SDL_Rect place = maximized_ && !server_.HasWindowManager(asker) ? screen_ : design_;
    for (const SurfaceFormat& f : FormatsToTry(wanted)) {
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffered ? 1 : 0);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, f.redBits);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, f.greenBits);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, f.blueBits);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alphaBits);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depthBits);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencilBits);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        Uint32 flags =
            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        if (maximized_ && server_.MaximisedWhenMade()) flags |= SDL_WINDOW_MAXIMIZED;
        window_ = SDL_CreateWindow(caption_.c_str(), place.x, place.y, place.w, place.h, flags);
        if (window_ != nullptr) break;
    }
    if (loaded) SDL_GL_UnloadLibrary(); // the window holds it now
    if (window_ == nullptr) return false;
    SetProgramIcon(server_, window_);
    server_.HasWindowManager(window_);
    UpdateSizes();
    return true;
}

GlContext SdlWindow::CreateContext() {
    if (window_ == nullptr) return nullptr;
    SDL_GLContext context = SDL_GL_CreateContext(window_);
    if (context != nullptr) {
        // Frames in step with the screen where the server lets a swap wait for it safely; the
        // program paces its frames itself in any case.
        SDL_GL_SetSwapInterval(server_.SwapInterval());
        partial_ = server_.PresentsPart(window_);
    }
    return reinterpret_cast<GlContext>(context);
}

bool SdlWindow::MakeCurrent(GlContext context) {
    if (window_ == nullptr) return false;
    context_ = reinterpret_cast<SDL_GLContext>(context);
    return SDL_GL_MakeCurrent(window_, context_) == 0;
}

void SdlWindow::DeleteContext(GlContext context) {
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
}

void SdlWindow::RestoreContext() {
    // SDL may have left a context of its own current, drawing a software window's framebuffer
    // with a renderer (see SoftwareWindowFlags).
    if (context_ != nullptr && SDL_GL_GetCurrentContext() != context_)
        SDL_GL_MakeCurrent(window_, context_);
}

bool SdlWindow::Present() {
    if (window_ == nullptr) return false;
    if (!shown_) return ShowWithFirstFrame();
    SDL_GL_SwapWindow(window_);
    swappedWidth_ = drawableWidth_, swappedHeight_ = drawableHeight_;
    AfterPresenting();
    return true;
}

void SdlWindow::AfterPresenting() {
    // Drawn by the program itself from now on.
    if (picture_) {
        server_.ClearPicture(window_);
        picture_ = false;
    }
}

bool SdlWindow::PresentsPart() const {
    // The first frame comes with the window itself (see ShowWithFirstFrame).
    return partial_ && shown_;
}

bool SdlWindow::PresentPart(int x, int y, int width, int height) {
    if (window_ == nullptr || !PresentsPart()) return false;
    // The back buffer keeps the size it had at the last swap; a part of a window that has
    // changed size since could lie outside it, and the server refuses such a copy.
    if (drawableWidth_ != swappedWidth_ || drawableHeight_ != swappedHeight_) return Present();
    server_.PresentPart(window_, x, y, width, height);
    AfterPresenting();
    return true;
}

double SdlWindow::RefreshRate() const {
    SDL_DisplayMode mode{};
    if (window_ == nullptr || SDL_GetWindowDisplayMode(window_, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void SdlWindow::PrepareFirstFrame() {
    // What loading allocated and has given back is returned before drawing takes its share.
    malloc_trim(0);
    if (window_ == nullptr || !maximized_) return;
    if (server_.SizeMaximised(window_, screen_)) shown_ = true;
}

bool SdlWindow::ShowWithFirstFrame() {
    // The frame is read back and given to the window as its background picture, so that the
    // server shows the complete picture the moment it maps the window: no moment shows it
    // empty, black or at another size.
    const int w = drawableWidth_, h = drawableHeight_;
    if (frameReader_) {
        server_.SetPicture(window_, w, h, [&](int first, int count, std::uint32_t* pixels) {
            frameReader_(w, h, first, count, pixels);
        });
        picture_ = true;
    }
    const bool managed = server_.HasWindowManager(window_);
    // A window manager restores a maximised window to where it was when it was mapped.
    if (managed && maximized_) server_.PlaceHidden(window_, design_);
    Show();
    // Without a window manager the size stays, and so does the frame in the back buffer; with
    // one the maximised size comes with the next events, and the next frame is drawn at it.
    return !managed && Present();
}

void SdlWindow::Show() {
    if (window_ == nullptr) return;
    SDL_ShowWindow(window_);
    shown_ = true;
    server_.TakeKeyboard(window_);
}

#include "Sdllayer_un.h"

#include "Forms_un.h"
#include "Keymap_un.h"
#include "Msgbox_un.h"
#include "Scale_un.h"
#include "Sdlloading_un.h"
#include "Winicon_un.h"

#include "Wayland_un.h"
#include "X11_un.h"

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

// The one drawable of the main window; the handle only has to be distinct and non-null.
DeviceContextTag* const MainWindowDC = reinterpret_cast<DeviceContextTag*>(1);

constexpr const char* MessageFontFile = TESSEL_FONT_FILE;
constexpr int MessageFontSize = 15;
constexpr Uint64 TimerInterval = 1;  // ms
constexpr Uint64 MaximiseWait = 500; // ms, for a Wayland compositor to size the window
// Bytes of clipboard text read at most, beyond which no number is taken from it anyway.
constexpr std::size_t ClipboardLimit = 1 << 20;

struct GlAttributes {
    int depth, stencil, accumRed, accumGreen, accumBlue, accumAlpha;
};

// The request first; then the nearest formats that keep what is drawn with: double
// buffering, RGBA colour and a depth buffer of at least 16 bits.
std::vector<GlAttributes> Candidates(const PixelFormatRequest& r) {
    return {{r.depthBits, r.stencilBits, r.accumRedBits, r.accumGreenBits, r.accumBlueBits,
             r.accumAlphaBits},
            {r.depthBits, r.stencilBits, 0, 0, 0, 0},
            {24, r.stencilBits, 0, 0, 0, 0},
            {24, 0, 0, 0, 0, 0},
            {16, 0, 0, 0, 0, 0}};
}

} // namespace

SdlPlatform::SdlPlatform(int left, int top, int width, int height)
    : design_{left, top, width, height}, width_(width), height_(height), drawableWidth_(width),
      drawableHeight_(height) {
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The program entry decides what SIGINT and SIGTERM do.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Windows drawn in software (the loading window, message boxes) keep to X11 images: an
    // accelerated framebuffer would take the GL context from the main window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The window class a desktop matches the windows to the desktop entry by (its
    // StartupWMClass), whatever the program file is called; a class the user set stays.
    setenv("SDL_VIDEO_X11_WMCLASS", "tessel", 0);
    // Installed before SDL's own handler, which hands on to it and puts it back when SDL
    // closes its displays: an error that arrives only then is filtered too.
    IgnoreStaleWindowErrors();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(std::string("Can't initialise the display: ") + SDL_GetError());
    }
    // Without a display SDL falls back to drivers that show nothing; unless one was asked for,
    // that is no display at all.
    const std::string driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && std::getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_Quit();
        throw std::runtime_error("Can't open a display to show the window on");
    }
    wayland_ = driver == "wayland";
    // Wayland offers no framebuffer for windows drawn in software: SDL makes them one with a
    // renderer of its own (each such window keeps the main window's GL context, see
    // KeptGlContext).
    if (wayland_) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "opengl");
    if (SDL_GetDisplayUsableBounds(0, &screen_) != 0) screen_ = design_;
    // Typed characters decide what a key does (on every layout), and SDL reports them only
    // while text input is on.
    SDL_StartTextInput();
}

SdlPlatform::~SdlPlatform() {
    DropLoadingWindow();
    if (font_ != nullptr) TTF_CloseFont(font_);
    if (TTF_WasInit()) TTF_Quit();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
}

void SdlPlatform::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_ != nullptr) SDL_SetWindowTitle(window_, caption.c_str());
}

void SdlPlatform::SetMaximized() {
    maximized_ = true;
    if (window_ != nullptr) {
        if (shown_) SDL_MaximizeWindow(window_);
        return;
    }
    // Until the window is made, its size is the one it will have: the usable screen.
    drawableWidth_ = width_ = screen_.w;
    drawableHeight_ = height_ = screen_.h;
}

bool SdlPlatform::WindowManager(SDL_Window* window) {
    if (windowManager_ < 0 && window != nullptr) windowManager_ = HasWindowManager(window) ? 1 : 0;
    return windowManager_ != 0;
}

int SdlPlatform::DrawableWidth() const {
    return drawableWidth_;
}
int SdlPlatform::DrawableHeight() const {
    return drawableHeight_;
}

void SdlPlatform::UpdateSizes() {
    if (window_ == nullptr) return;
    SDL_GetWindowSize(window_, &width_, &height_);
    SDL_GL_GetDrawableSize(window_, &drawableWidth_, &drawableHeight_);
}

void SdlPlatform::CloseWindow() {
    closed_ = true;
    if (window_ != nullptr) SDL_HideWindow(window_);
}

HDC SdlPlatform::GetDC() {
    return MainWindowDC;
}

void SdlPlatform::ReleaseDC(HDC) {}

// On X11 the visual of a GL window is fixed when the window is made, so choosing the pixel
// format creates the (still hidden) main window with the first format the server can give.
// Without a window manager nobody maximises it, so it is made at the size of the usable
// screen; a window manager is given the design placement, to restore it to, and maximises it.
int SdlPlatform::ChoosePixelFormat(HDC dc, const PixelFormatRequest& request) {
    if (dc != MainWindowDC || window_ != nullptr) return window_ != nullptr ? chosenFormat_ : 0;
    // Loaded once for all the tries: a failed try would otherwise unload the driver again.
    const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
    const SDL_Rect place =
        maximized_ && !WindowManager(loading_ != nullptr ? loading_->Window() : nullptr) ? screen_
                                                                                         : design_;
    std::vector<GlAttributes> candidates = Candidates(request);
    for (std::size_t i = 0; i < candidates.size() && window_ == nullptr; ++i) {
        const GlAttributes& a = candidates[i];
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, request.doubleBuffered ? 1 : 0);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, request.redBits);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, request.greenBits);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, request.blueBits);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.alphaBits);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, a.depth);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, a.stencil);
        SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, a.accumRed);
        SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, a.accumGreen);
        SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, a.accumBlue);
        SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, a.accumAlpha);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        Uint32 flags =
            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        // A Wayland window is maximised once it is shown (see PrepareFirstFrame): asked for
        // before, SDL takes the compositor's first size as a suggestion, and hands in a
        // picture of another size, which the compositor takes for a protocol error.
        if (maximized_ && !wayland_) flags |= SDL_WINDOW_MAXIMIZED;
        window_ = SDL_CreateWindow(caption_.c_str(), place.x, place.y, place.w, place.h, flags);
        if (window_ != nullptr) chosenFormat_ = static_cast<int>(i) + 1;
    }
    if (loaded) SDL_GL_UnloadLibrary(); // the window holds it now
    if (window_ == nullptr) return 0;
    SetProgramIcon(window_);
    WindowManager(window_);
    UpdateSizes();
    return chosenFormat_;
}

bool SdlPlatform::SetPixelFormat(HDC dc, int format, const PixelFormatRequest&) {
    return dc == MainWindowDC && window_ != nullptr && format == chosenFormat_;
}

HGLRC SdlPlatform::CreateContext(HDC) {
    if (window_ == nullptr) return nullptr;
    SDL_GLContext context = SDL_GL_CreateContext(window_);
    if (context != nullptr) {
        // Frames in step with the screen where the driver offers it: no faster than it shows.
        SDL_GL_SetSwapInterval(1);
        copySubBuffer_ = CanCopySubBuffer(window_);
    }
    return reinterpret_cast<HGLRC>(context);
}

bool SdlPlatform::MakeCurrent(HDC, HGLRC context) {
    if (window_ == nullptr) return false;
    mainContext_ = reinterpret_cast<SDL_GLContext>(context);
    return SDL_GL_MakeCurrent(window_, mainContext_) == 0;
}

void SdlPlatform::Deliver(TApplication& application, TForm& form, const WindowEvent& event) {
    // SDL may have left a context of its own current, drawing a software window's
    // framebuffer with a renderer (on Wayland): the form draws with the main window's.
    if (mainContext_ != nullptr && SDL_GL_GetCurrentContext() != mainContext_)
        SDL_GL_MakeCurrent(window_, mainContext_);
    application.Dispatch(form, event);
}

void SdlPlatform::DeleteContext(HGLRC context) {
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
}

void SdlPlatform::SwapBuffers(HDC) {
    if (window_ == nullptr) return;
    if (!shown_) {
        ShowWithFirstFrame();
        return;
    }
    SDL_GL_SwapWindow(window_);
    swappedWidth_ = drawableWidth_, swappedHeight_ = drawableHeight_;
    AfterPresenting();
}

void SdlPlatform::AfterPresenting() {
    // Drawn by the program itself from now on; the loading window has been replaced.
    if (picture_) {
        ClearWindowPicture(window_);
        picture_ = false;
    }
    DropLoadingWindow();
}

bool SdlPlatform::PresentsPart() const {
    // The first frame comes with the window itself (see ShowWithFirstFrame).
    return copySubBuffer_ && shown_;
}

void SdlPlatform::PresentPart(HDC dc, int x, int y, int width, int height) {
    if (window_ == nullptr || !PresentsPart()) return;
    // The back buffer keeps the size it had at the last swap; a part of a window that has
    // changed size since could lie outside it, and the X server refuses such a copy.
    if (drawableWidth_ != swappedWidth_ || drawableHeight_ != swappedHeight_) {
        SwapBuffers(dc);
        return;
    }
    CopySubBuffer(window_, x, y, width, height);
    AfterPresenting();
}

double SdlPlatform::RefreshRate() const {
    SDL_DisplayMode mode{};
    if (window_ == nullptr || SDL_GetWindowDisplayMode(window_, &mode) != 0) return 0;
    return mode.refresh_rate;
}

double SdlPlatform::Milliseconds() const {
    return 1e3 * static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

void SdlPlatform::PrepareFirstFrame() {
    // What loading allocated and has given back is returned before drawing takes its share.
    malloc_trim(0);
    if (window_ == nullptr || !maximized_) return;
    if (wayland_) {
        MaximizeBeforeFirstFrame();
        return;
    }
    SDL_Rect place = screen_;
    int left = 0, right = 0, top = 0, bottom = 0;
    if (WindowManager(window_)) {
        // What the window manager will leave of the screen beside its frame.
        if (!FrameExtents(window_, left, right, top, bottom)) return;
        place = {screen_.x + left, screen_.y + top, screen_.w - left - right,
                 screen_.h - top - bottom};
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w != place.w || h != place.h) {
        PlaceHidden(window_, place);
        SDL_PumpEvents(); // SDL takes the new size from the server's notice
    }
}

void SdlPlatform::MaximizeBeforeFirstFrame() {
    // A Wayland surface is shown only with its first picture: the window is shown and
    // maximised empty, and the first frame drawn at the size the compositor gives it.
    // The drawable's size is the one SDL has given the GL surface.
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    ShowMainWindow();
    SDL_MaximizeWindow(window_);
    const Uint64 until = SDL_GetTicks64() + MaximiseWait;
    int nowW = w, nowH = h;
    while (nowW == w && nowH == h && SDL_GetTicks64() < until) {
        SDL_PumpEvents();
        SDL_Delay(1);
        SDL_GL_GetDrawableSize(window_, &nowW, &nowH);
    }
}

void SdlPlatform::ShowWithFirstFrame() {
    // The frame is read back and given to the window as its background picture, so that the
    // server shows the complete picture the moment it maps the window: no moment shows it
    // empty, black or at another size.
    const int w = drawableWidth_, h = drawableHeight_;
    if (frameReader_) {
        SetWindowPicture(window_, w, h, [&](int first, int count, std::uint32_t* pixels) {
            frameReader_(w, h, first, count, pixels);
        });
        picture_ = true;
    }
    const bool managed = WindowManager(window_);
    // A window manager restores a maximised window to where it was when it was mapped.
    if (managed && maximized_) PlaceHidden(window_, design_);
    ShowMainWindow();
    // Without a window manager the size stays, and so does the frame in the back buffer; with
    // one the maximised size comes with the next events, and the next frame is drawn at it.
    if (!managed) SwapBuffers(MainWindowDC);
}

double SdlPlatform::Scale() {
    if (scale_ == 0) {
        float displayDpi = 0;
        if (SDL_GetDisplayDPI(0, &displayDpi, nullptr, nullptr) != 0) displayDpi = 0;
        scale_ = DesktopScale(DpiOfResource(XftDpiResource()), displayDpi);
    }
    return scale_;
}

TTF_Font* SdlPlatform::MessageFont() {
    if (!fontTried_) {
        fontTried_ = true;
        if (TTF_Init() == 0)
            font_ = TTF_OpenFont(MessageFontFile, Scaled(MessageFontSize, Scale()));
        if (font_ == nullptr)
            std::fprintf(stderr, "tessel: can't load the font of the message boxes '%s': %s\n",
                         MessageFontFile, TTF_GetError());
    }
    return font_;
}

void SdlPlatform::MessageBox(const std::string& text, const std::string& caption,
                             MessageIcon icon) {
    // Every message also goes to standard error, one line each, so that it reaches the user
    // even where no box can be shown.
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "tessel: %s\n", line.c_str());

    TTF_Font* font = MessageFont();
    if (font == nullptr) return;
    SdlMessageBox box(font, text, caption, icon, shown_ ? window_ : nullptr, Scale());
    if (!box.Usable()) return;
    box.Show();
    bool closeRequested = false, dismissed = false;
    Uint64 nextTick = SDL_GetTicks64();
    while (!dismissed) {
        SDL_Event e;
        bool got = NextEvent(e, nextTick);
        while (got && !dismissed) {
            if (box.Owns(e))
                dismissed = box.Handle(e);
            else
                DeliverBehindBox(e, box, closeRequested);
            got = SDL_PollEvent(&e) != 0;
        }
        if (!dismissed) TickIfDue(nextTick);
    }
    // A close asked for while the box was up is carried out now.
    if (closeRequested) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    // Without a window manager the keyboard would go nowhere once the box is gone.
    if (shown_ && !WindowManager(window_)) SDL_SetWindowInputFocus(window_);
    // A Wayland compositor decides where the keyboard goes; the window asks to be activated,
    // which those that offer activation grant.
    if (shown_ && wayland_) SDL_RaiseWindow(window_);
}

void SdlPlatform::DeliverBehindBox(const SDL_Event& e, SdlMessageBox& box, bool& closeRequested) {
    if (loading_ != nullptr && loading_->Owns(e)) {
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED) loading_->Redraw();
        return;
    }
    WindowEvent event{};
    if (!Translate(e, event)) return;
    switch (event.kind) {
    case WindowEvent::Close:
        closeRequested = true;
        return;
    case WindowEvent::MouseDown:
        box.TakeFocus();
        return;
    case WindowEvent::KeyDown:
    case WindowEvent::MouseMove:
    case WindowEvent::Wheel:
    case WindowEvent::Tick:
        return;
    default:
        break;
    }
    if (application_ != nullptr && form_ != nullptr) Deliver(*application_, *form_, event);
}

void SdlPlatform::SetClipboardText(const std::string& text) {
    if (SDL_SetClipboardText(text.c_str()) == 0) NoteClipboardOwner(window_);
}

std::string SdlPlatform::GetClipboardText() {
    std::string bytes;
    if (ReadClipboard(window_, ClipboardLimit, bytes)) return bytes;
    char* text = SDL_GetClipboardText(); // an empty string, not null, when there is none
    std::string result = text != nullptr ? text : "";
    SDL_free(text);
    return result;
}

std::unique_ptr<LoadingWindow> SdlPlatform::CreateLoadingWindow(int left, int top, int width,
                                                                int height) {
    // Placed within the main window's maximised area, which the usable screen stands for, and
    // grown with the desktop's scale about the same centre.
    const double scale = Scale();
    const int w = Scaled(width, scale), h = Scaled(height, scale);
    const SDL_Rect place{screen_.x + left + (width - w) / 2, screen_.y + top + (height - h) / 2, w,
                         h};
    auto window = std::make_unique<SdlLoadingWindow>(place, scale, [this](SDL_Window* w) {
        DropLoadingWindow();
        lingering_ = w;
        loading_ = nullptr;
    });
    loading_ = window.get();
    return window;
}

void SdlPlatform::ShowMainWindow() {
    if (window_ == nullptr) return;
    SDL_ShowWindow(window_);
    shown_ = true;
    SDL_RaiseWindow(window_);
}

void SdlPlatform::DropLoadingWindow() {
    if (lingering_ != nullptr) SDL_DestroyWindow(lingering_);
    lingering_ = nullptr;
}

bool SdlPlatform::Translate(const SDL_Event& e, WindowEvent& out) {
    auto scaled = [&](int x, int y) {
        out.x = width_ > 0 ? x * drawableWidth_ / width_ : x;
        out.y = height_ > 0 ? y * drawableHeight_ / height_ : y;
    };
    switch (e.type) {
    case SDL_QUIT:
        if (wayland_ && lost_.empty()) lost_ = WaylandConnectionError(window_);
        out.kind = WindowEvent::Close;
        return true;
    case SDL_WINDOWEVENT:
        if (e.window.windowID != SDL_GetWindowID(window_)) return false;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.kind = WindowEvent::Close;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            UpdateSizes();
            out.kind = WindowEvent::Resize;
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            out.kind = WindowEvent::Expose;
            return true;
        default:
            return false;
        }
    case SDL_KEYDOWN: {
        const SDL_Keysym& k = e.key.keysym;
        out.kind = WindowEvent::KeyDown;
        out.character = TakeTypedCharacter();
        // Whether Num Lock is on shows in what a keypad key typed: SDL's own Num Lock flag
        // is not kept in step with the X server's until the lock key is pressed in the window.
        out.key = VirtualKeyOf(k.sym, k.scancode, out.character != 0);
        out.shift = KeyShiftStateOf(k.mod, buttons_, k.sym, out.character);
        return out.key != 0 || out.character != 0;
    }
    case SDL_KEYUP:
        out.kind = WindowEvent::KeyUp;
        out.key = VirtualKeyOf(e.key.keysym.sym, e.key.keysym.scancode);
        out.shift = ShiftStateOf(e.key.keysym.mod, buttons_);
        return true;
    case SDL_TEXTINPUT:
        // Text that no key press took: the end of a compose sequence, or an input method's.
        out.kind = WindowEvent::KeyDown;
        out.character = SingleCharacterOf(e.text.text);
        return out.character != 0;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Uint32 mask = SDL_BUTTON(e.button.button);
        if (e.type == SDL_MOUSEBUTTONDOWN)
            buttons_ |= mask;
        else
            buttons_ &= ~mask;
        out.kind = e.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::MouseDown : WindowEvent::MouseUp;
        out.button = e.button.button == SDL_BUTTON_RIGHT    ? TMouseButton::mbRight
                     : e.button.button == SDL_BUTTON_MIDDLE ? TMouseButton::mbMiddle
                                                            : TMouseButton::mbLeft;
        out.shift = ShiftStateOf(static_cast<std::uint16_t>(SDL_GetModState()), buttons_);
        scaled(e.button.x, e.button.y);
        return true;
    }
    case SDL_MOUSEWHEEL: {
        out.kind = WindowEvent::Wheel;
        out.notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        out.shift = ShiftStateOf(static_cast<std::uint16_t>(SDL_GetModState()), buttons_);
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        scaled(x, y);
        return out.notches != 0;
    }
    case SDL_MOUSEMOTION:
        buttons_ = e.motion.state;
        out.kind = WindowEvent::MouseMove;
        out.shift = ShiftStateOf(static_cast<std::uint16_t>(SDL_GetModState()), buttons_);
        scaled(e.motion.x, e.motion.y);
        return true;
    default:
        return false;
    }
}

char32_t SdlPlatform::TakeTypedCharacter() {
    // SDL reports the character a key press typed as a text event of its own, queued right
    // after the key's event; a key that typed nothing (a dead key, a key held with Ctrl, a
    // key that types no character) has none.
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1 ||
        next.type != SDL_TEXTINPUT)
        return 0;
    const char32_t c = SingleCharacterOf(next.text.text);
    if (c != 0) SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
    return c;
}

bool SdlPlatform::NextEvent(SDL_Event& e, Uint64& nextTick) {
    if (form_ != nullptr && form_->WantsTick()) {
        const Uint64 now = SDL_GetTicks64();
        const int timer = now >= nextTick ? 0 : static_cast<int>(nextTick - now);
        const int form = static_cast<int>(std::ceil(form_->TickDelay()));
        return SDL_WaitEventTimeout(&e, std::max(timer, form)) != 0;
    }
    nextTick = 0; // after a sleep the first tick is due at once
    return SDL_WaitEvent(&e) != 0;
}

void SdlPlatform::TickIfDue(Uint64& nextTick) {
    Uint64 now = SDL_GetTicks64();
    if (closed_ || form_ == nullptr || now < nextTick || !form_->WantsTick() ||
        form_->TickDelay() > 0)
        return;
    nextTick = now + TimerInterval;
    Deliver(*application_, *form_, {WindowEvent::Tick});
}

void SdlPlatform::RunEventLoop(TApplication& application, TForm& form) {
    application_ = &application;
    form_ = &form;
    // The first frame is drawn into the hidden window at the size it will have on the screen
    // and comes with the window (SwapBuffers shows it); a form that draws nothing is shown
    // all the same.
    const int w = drawableWidth_, h = drawableHeight_;
    PrepareFirstFrame();
    UpdateSizes();
    if (w != drawableWidth_ || h != drawableHeight_)
        Deliver(application, form, {WindowEvent::Resize});
    if (form.WantsTick()) Deliver(application, form, {WindowEvent::Tick});
    if (!shown_) ShowMainWindow();
    Uint64 nextTick = SDL_GetTicks64();
    while (!closed_) {
        SDL_Event e;
        bool got = NextEvent(e, nextTick);
        // Everything that has arrived is handled before the next frame is drawn.
        while (got && !closed_) {
            WindowEvent event{};
            if (Translate(e, event)) Deliver(application, form, event);
            got = SDL_PollEvent(&e) != 0;
        }
        TickIfDue(nextTick);
    }
    application_ = nullptr;
    form_ = nullptr;
}

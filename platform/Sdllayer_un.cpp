#include "Sdllayer_un.h"

#include "Forms_un.h"
#include "Scale_un.h"
#include "Sdlclipboard_un.h"
#include "Sdlscale_un.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The one surface of the main window; the handle only has to be distinct and non-null.
GlSurfaceTag* const MainSurface = reinterpret_cast<GlSurfaceTag*>(1);

SDL_Rect UsableScreen(const SDL_Rect& design) {
    SDL_Rect screen{};
    return SDL_GetDisplayUsableBounds(0, &screen) == 0 ? screen : design;
}

} // namespace

SdlPlatform::SdlPlatform(int left, int top, int width, int height)
    : server_(video_.Server()), screen_(UsableScreen({left, top, width, height})),
      window_(server_, {left, top, width, height}, screen_) {
    // Typed characters decide what a key does (on every layout), and SDL reports them only
    // while text input is on.
    SDL_StartTextInput();
    posted_ = SDL_RegisterEvents(1);
}

SdlPlatform::~SdlPlatform() {
    DropLoadingWindow();
}

void SdlPlatform::CloseWindow() {
    closed_ = true;
    window_.Hide();
}

bool SdlPlatform::ChooseSurfaceFormat(const SurfaceFormat& wanted) {
    // The server is asked about the desktop with the loading window while the main one is
    // not made yet.
    formatChosen_ = window_.Make(wanted, loading_ != nullptr ? loading_->Window() : nullptr);
    return formatChosen_;
}

GlSurface SdlPlatform::CreateSurface() {
    // The window was made with the format: its surface is there.
    return formatChosen_ ? MainSurface : nullptr;
}

void SdlPlatform::Present() {
    // The first frame shown replaces the loading window.
    if (window_.Present()) DropLoadingWindow();
}

void SdlPlatform::PresentPart(int x, int y, int width, int height) {
    if (window_.PresentPart(x, y, width, height)) DropLoadingWindow();
}

double SdlPlatform::Milliseconds() const {
    return 1e3 * static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

double SdlPlatform::Scale() {
    if (scale_ == 0) scale_ = DesktopScaleOf(server_);
    return scale_;
}

void SdlPlatform::SetClipboardText(const std::string& text) {
    PutClipboardText(server_, window_.Handle(), text);
}

std::string SdlPlatform::GetClipboardText() {
    return ClipboardText(server_, window_.Handle());
}

std::unique_ptr<LoadingWindow> SdlPlatform::CreateLoadingWindow(int left, int top, int width,
                                                                int height) {
    // Placed within the main window's maximised area, which the usable screen stands for, and
    // grown with the desktop's scale about the same centre.
    const double scale = Scale();
    const int w = Scaled(width, scale), h = Scaled(height, scale);
    const SDL_Rect place{screen_.x + left + (width - w) / 2, screen_.y + top + (height - h) / 2, w,
                         h};
    auto window = std::make_unique<SdlLoadingWindow>(server_, place, scale, [this](SDL_Window* w) {
        DropLoadingWindow();
        lingering_ = w;
        loading_ = nullptr;
    });
    loading_ = window.get();
    return window;
}

WindowPlace SdlPlatform::Place() const {
    WindowPlace place{};
    SDL_GetWindowPosition(window_.Handle(), &place.x, &place.y);
    SDL_GetWindowSize(window_.Handle(), &place.width, &place.height);
    return place;
}

void SdlPlatform::Post(std::function<void()> work) {
    SDL_Event e{};
    e.type = posted_;
    e.user.data1 = new std::function<void()>(std::move(work));
    // SDL's queue is safe to push to from any thread; once SDL has closed it takes nothing.
    if (posted_ == static_cast<std::uint32_t>(-1) || SDL_PushEvent(&e) != 1)
        delete static_cast<std::function<void()>*>(e.user.data1);
}

bool SdlPlatform::TakePosted(const SDL_Event& e, bool run) {
    if (e.type != posted_ || posted_ == static_cast<std::uint32_t>(-1)) return false;
    std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(e.user.data1));
    if (run && !closed_) {
        window_.RestoreContext();
        (*work)();
    }
    return true;
}

void SdlPlatform::DropLoadingWindow() {
    if (lingering_ == nullptr) return;
    // Keys typed into it that SDL has not taken from the server yet are taken now, while SDL
    // still knows the window they came to: it drops the events of a window that is gone.
    // They wait in SDL's queue for the calculator, in the order they were typed.
    SDL_PumpEvents();
    SDL_DestroyWindow(lingering_);
    lingering_ = nullptr;
}

void SdlPlatform::MessageBox(const std::string& text, const std::string& caption,
                             MessageIcon icon) {
    // Every message also goes to standard error, one line each, so that it reaches the user
    // even where no box can be shown.
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "tessel: %s\n", line.c_str());

    const bool shown = window_.Shown();
    // The box is expected at the density of the window it stands over, or of the loading window.
    SDL_Window* beside = shown                 ? window_.Handle()
                         : loading_ != nullptr ? loading_->Window()
                                               : nullptr;
    const double density = beside != nullptr ? PixelDensityOf(beside) : 1;
    if (font_.At(Scale() * density) == nullptr) return;
    SdlMessageBox box(server_, font_, text, caption, icon, shown ? window_.Handle() : nullptr,
                      Scale(), density);
    if (!box.Usable()) return;
    box.Show();
    bool closeRequested = false, dismissed = false;
    while (!dismissed) {
        SDL_Event e;
        bool got = NextEvent(e);
        while (got && !dismissed) {
            if (box.Owns(e))
                dismissed = box.Handle(e);
            else
                DeliverBehindBox(e, box, closeRequested);
            got = SDL_PollEvent(&e) != 0;
        }
        if (!dismissed) TickIfDue();
    }
    // A close asked for while the box was up is carried out now.
    if (closeRequested) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    if (shown) server_.GiveFocusBack(window_.Handle());
}

void SdlPlatform::DeliverBehindBox(const SDL_Event& e, SdlMessageBox& box, bool& closeRequested) {
    if (loading_ != nullptr && loading_->Owns(e)) {
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED) loading_->Redraw();
        return;
    }
    // What another thread asks of the calculator waits, as a click on it would, until the box
    // is gone; then it is dropped like the click.
    if (TakePosted(e, false)) return;
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
    if (application_ != nullptr && form_ != nullptr) Deliver(event);
}

bool SdlPlatform::Translate(const SDL_Event& e, WindowEvent& out) {
    SDL_Event next;
    EventContext context;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1)
        context.next = &next;
    context.modifiers = static_cast<std::uint16_t>(SDL_GetModState());
    SDL_GetMouseState(&context.pointerX, &context.pointerY);
    window_.Describe(events_);
    const Translated translated = TranslateEvent(events_, e, context, out);
    if (translated == Translated::EventAndNext)
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
    if (translated == Translated::Nothing) return false;
    if (out.kind == WindowEvent::Resize) window_.UpdateSizes();
    if (e.type == SDL_QUIT && lost_.empty()) lost_ = server_.LostConnection(window_.Handle());
    return true;
}

bool SdlPlatform::NextEvent(SDL_Event& e) {
    if (form_ != nullptr && form_->WantsTick()) {
        const double delay = std::max(0.0, std::ceil(form_->TickDelay()));
        return SDL_WaitEventTimeout(&e, static_cast<int>(delay)) != 0;
    }
    return SDL_WaitEvent(&e) != 0;
}

void SdlPlatform::TickIfDue() {
    if (closed_ || form_ == nullptr || !form_->WantsTick() || form_->TickDelay() > 0) return;
    Deliver({WindowEvent::Tick});
}

void SdlPlatform::Deliver(const WindowEvent& event) {
    window_.RestoreContext();
    application_->Dispatch(*form_, event);
}

void SdlPlatform::RunEventLoop(TApplication& application, TForm& form) {
    application_ = &application;
    form_ = &form;
    // The first frame is drawn into the hidden window at the size it will have on the screen
    // and comes with the window (Present shows it); a form that draws nothing is shown all
    // the same.
    const int w = DrawableWidth(), h = DrawableHeight();
    window_.PrepareFirstFrame();
    window_.UpdateSizes();
    if (w != DrawableWidth() || h != DrawableHeight()) Deliver({WindowEvent::Resize});
    if (form.WantsTick()) Deliver({WindowEvent::Tick});
    if (!window_.Shown()) window_.Show();
    while (!closed_) {
        SDL_Event e;
        bool got = NextEvent(e);
        // Everything that has arrived is handled before the next frame is drawn.
        while (got && !closed_) {
            WindowEvent event{};
            if (!TakePosted(e, true) && Translate(e, event)) Deliver(event);
            got = SDL_PollEvent(&e) != 0;
        }
        // A window that came to a screen of another density (or whose desktop changed its
        // scale) has another drawable size, whether or not SDL told of it: the next frame
        // is drawn at it, with the mouse, picking and damage in its pixels.
        if (!closed_ && window_.UpdateSizes()) Deliver({WindowEvent::Resize});
        TickIfDue();
    }
    application_ = nullptr;
    form_ = nullptr;
}

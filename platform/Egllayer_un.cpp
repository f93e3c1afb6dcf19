#include "Egllayer_un.h"

#include "Forms_un.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <stdexcept>

namespace {

class RecordedLoadingWindow final : public LoadingWindow {
public:
    RecordedLoadingWindow(std::vector<OffscreenPlatform::Loading>& log, std::size_t index,
                          double scale)
        : log_(log), index_(index), scale_(scale) {}
    ~RecordedLoadingWindow() override { Record().destroyed = true; }
    void AddProgressBar(int left, int top, int width, int height) override {
        auto& r = Record();
        r.barLeft = left, r.barTop = top, r.barWidth = width, r.barHeight = height;
    }
    double Scale() const override { return scale_; }
    void ShowPicture(const std::uint8_t*, int width, int height, int density) override {
        Record().pictureWidth = width;
        Record().pictureHeight = height;
        Record().pictureDensity = density;
    }
    void DrawOutline() override { Record().outline = true; }
    void SetProgress(int position) override { Record().positions.push_back(position); }

private:
    OffscreenPlatform::Loading& Record() { return log_[index_]; }
    std::vector<OffscreenPlatform::Loading>& log_;
    std::size_t index_;
    double scale_;
};

EGLSurface MakePbuffer(EGLDisplay display, EGLConfig config, int width, int height) {
    const EGLint attributes[] = {EGL_WIDTH, std::max(width, 1), EGL_HEIGHT, std::max(height, 1),
                                 EGL_NONE};
    return eglCreatePbufferSurface(display, config, attributes);
}

} // namespace

OffscreenPlatform::OffscreenPlatform(int width, int height) : width_(width), height_(height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr)
        display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr))
        throw std::runtime_error("Can't open an offscreen EGL display");
}

OffscreenPlatform::~OffscreenPlatform() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
    // The display is not terminated: EGL hands every instance the same display, and another
    // offscreen window may still be using it.
}

bool OffscreenPlatform::ChooseSurfaceFormat(const SurfaceFormat& wanted) {
    Calls.push_back("ChooseSurfaceFormat");
    if (FailChooseSurfaceFormat || !eglBindAPI(EGL_OPENGL_API)) return false;
    for (const SurfaceFormat& f : FormatsToTry(wanted)) {
        const EGLint attributes[] = {
            EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE,
            f.redBits,        EGL_GREEN_SIZE,  f.greenBits,         EGL_BLUE_SIZE,  f.blueBits,
            EGL_DEPTH_SIZE,   f.depthBits,     EGL_STENCIL_SIZE,    f.stencilBits,  EGL_NONE};
        // EGL lists deeper colour first (10-bit channels, alpha): the config taken is the one
        // with exactly the channels asked for, as a window's 24-bit visual has them, so that
        // what is drawn here is drawn as on the screen.
        EGLConfig configs[64];
        EGLint count = 0;
        if (!eglChooseConfig(display_, attributes, configs, 64, &count) || count == 0) continue;
        EGLConfig config = configs[0];
        for (EGLint i = 0; i < count; ++i) {
            EGLint r = 0, g = 0, b = 0, a = 0;
            eglGetConfigAttrib(display_, configs[i], EGL_RED_SIZE, &r);
            eglGetConfigAttrib(display_, configs[i], EGL_GREEN_SIZE, &g);
            eglGetConfigAttrib(display_, configs[i], EGL_BLUE_SIZE, &b);
            eglGetConfigAttrib(display_, configs[i], EGL_ALPHA_SIZE, &a);
            if (r == f.redBits && g == f.greenBits && b == f.blueBits && a == f.alphaBits) {
                config = configs[i];
                break;
            }
        }
        config_ = config;
        EGLint depth = 0;
        eglGetConfigAttrib(display_, config, EGL_DEPTH_SIZE, &depth);
        DepthBits = depth;
        return true;
    }
    return false;
}

GlSurface OffscreenPlatform::CreateSurface() {
    Calls.push_back("CreateSurface");
    if (FailCreateSurface || config_ == nullptr) return nullptr;
    surface_ = MakePbuffer(display_, config_, width_, height_);
    return static_cast<GlSurface>(surface_);
}

void OffscreenPlatform::ReleaseSurface(GlSurface surface) {
    Calls.push_back("ReleaseSurface");
    if (surface == nullptr || surface != surface_) return;
    eglDestroySurface(display_, surface_);
    surface_ = nullptr;
}

GlContext OffscreenPlatform::CreateContext() {
    Calls.push_back("CreateContext");
    if (config_ == nullptr) return nullptr;
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display_, config_, EGL_NO_CONTEXT, attributes);
    return context == EGL_NO_CONTEXT ? nullptr : static_cast<GlContext>(context);
}

bool OffscreenPlatform::MakeCurrent(GlContext context) {
    Calls.push_back(context == nullptr ? "MakeCurrent(none)" : "MakeCurrent");
    context_ = context;
    if (context == nullptr)
        return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    return eglMakeCurrent(display_, surface_, surface_, context);
}

void OffscreenPlatform::DeleteContext(GlContext context) {
    Calls.push_back("DeleteContext");
    eglDestroyContext(display_, context);
}

void OffscreenPlatform::Present() {
    ++Swaps;
    LastPresented = {0, 0, width_, height_};
    CopyToScreen(0, 0, width_, height_);
    if (surface_ != nullptr) eglSwapBuffers(display_, surface_);
}

void OffscreenPlatform::PresentPart(int x, int y, int width, int height) {
    ++Swaps;
    ++PartsPresented;
    LastPresented = {x, y, width, height};
    CopyToScreen(x, y, width, height);
}

void OffscreenPlatform::CopyToScreen(int x, int y, int width, int height) {
    if (!RecordScreen || context_ == nullptr) return;
    const std::size_t row = static_cast<std::size_t>(width_) * 4;
    Screen.resize(row * static_cast<std::size_t>(height_));
    x = std::clamp(x, 0, width_), y = std::clamp(y, 0, height_);
    width = std::clamp(width, 0, width_ - x), height = std::clamp(height, 0, height_ - y);
    if (width == 0 || height == 0) return;
    glPixelStorei(GL_PACK_ROW_LENGTH, width_);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                 Screen.data() + static_cast<std::size_t>(y) * row +
                     static_cast<std::size_t>(x) * 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void OffscreenPlatform::CoverWindow() {
    std::fill(Screen.begin(), Screen.end(), std::uint8_t{0x5a});
}

void OffscreenPlatform::MessageBox(const std::string& text, const std::string& caption,
                                   MessageIcon icon) {
    Messages.push_back({text, caption, icon});
}

std::unique_ptr<LoadingWindow> OffscreenPlatform::CreateLoadingWindow(int left, int top, int width,
                                                                      int height) {
    Calls.push_back("CreateLoadingWindow");
    Loading record;
    record.left = left, record.top = top, record.width = width, record.height = height;
    LoadingWindows.push_back(record);
    return std::make_unique<RecordedLoadingWindow>(LoadingWindows, LoadingWindows.size() - 1,
                                                   LoadingScale);
}

void OffscreenPlatform::RunEventLoop(TApplication& application, TForm& form) {
    auto runPosted = [this] {
        std::unique_lock lock(PostedLock);
        while (!closed_ && !Posted.empty()) {
            std::function<void()> work = std::move(Posted.front());
            Posted.pop_front();
            lock.unlock();
            work();
            lock.lock();
        }
    };
    runPosted();
    while (!closed_ && !Queue.empty()) {
        WindowEvent e = Queue.front();
        Queue.pop_front();
        application.Dispatch(form, e);
        runPosted();
    }
}

void OffscreenPlatform::Post(std::function<void()> work) {
    std::lock_guard lock(PostedLock);
    Posted.push_back(std::move(work));
}

void OffscreenPlatform::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    if (surface_ == nullptr) return;
    EGLSurface replacement = MakePbuffer(display_, config_, width, height);
    if (replacement == EGL_NO_SURFACE) return;
    if (context_ != nullptr) eglMakeCurrent(display_, replacement, replacement, context_);
    eglDestroySurface(display_, surface_);
    surface_ = replacement;
    // A window of another size shows nothing of what it showed.
    Screen.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

#include "Tessel_un.h"

#include "Folders_un.h"
#include "Frame_un.h"
#include "Session_un.h"
#include "Startup_un.h"

#include "config/Cfgread_un.h"
#include "engine/Matheng_un.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <string>

T_Tessel_Frm* Tessel_Frm = nullptr;
GlSurface WindowDC = nullptr;
GlContext RenderContext = nullptr;

T_Tessel_Frm::T_Tessel_Frm(Platform& platform) : TForm(platform) {
    Window.SetCaption(MainCaption);
    Window.SetMaximized();
}

bool T_Tessel_Frm::SetupPixelFormat() {
    // Double-buffered 24-bit colour; the depth and stencil buffers as first asked for, the
    // back end falling back to the nearest it has.
    SurfaceFormat format;
    format.depthBits = 32;
    format.stencilBits = 8;
    if (!Window.ChooseSurfaceFormat(format)) {
        Window.MessageBox("ChoosePixelFormat failed", "Error", MessageIcon::None);
        return false;
    }
    WindowDC = Window.CreateSurface();
    if (WindowDC == nullptr) {
        Window.MessageBox("SetPixelFormat failed", "Error", MessageIcon::None);
        return false;
    }
    return true;
}

void T_Tessel_Frm::FormCreate() {
    StartView(*this);
    InitEngine();
    if (ConfigFileUsed) ReadConfig(Config);
    Shape = GeometryOf(Config);
    Window.SetMaximized();
    // The pictures are decoded on a thread of their own while the loading window comes up and
    // the GL driver loads; the loading window is the first thing on the screen.
    PictureDecoder pictures(StartUpPicturePaths());
    std::unique_ptr<LoadingWindow> loading = ShowLoadingWindow(Window, pictures);
    if (!SetupPixelFormat()) {
        Close();
        return;
    }
    RenderContext = Window.CreateContext();
    Window.MakeCurrent(RenderContext);
    Window.SetFrameReader(ReadFrameRows);
    SetUpRendering(Config);
    PaceTo(pacing_, Window.RefreshRate());
    FormResize();
    BuildKeyTable(Keys, Shape);
    LoadTextures(*loading, pictures, {Keys, GlyphTextures, CardTexture});
    SetUpTexturing();
}

void T_Tessel_Frm::FormResize() {
    InvalidateWindow();
    if (RenderContext == nullptr) return;
    // A window moved to another screen may find another refresh rate there.
    PaceTo(pacing_, Window.RefreshRate());
    SetUpView(Window.DrawableWidth(), Window.DrawableHeight());
}

void T_Tessel_Frm::FormClose() {
    if (RenderContext != nullptr) {
        Window.MakeCurrent(nullptr);
        Window.DeleteContext(RenderContext);
    }
    if (WindowDC != nullptr) Window.ReleaseSurface(WindowDC);
}

void T_Tessel_Frm::FormPaint() {
    InvalidateWindow();
    // What was covered is shown again at once.
    pacing_.urgent = true;
}

// ---- Frame loop ----

void T_Tessel_Frm::Invalidate(Pace pace) {
    framesDue_ = std::max(framesDue_, 1);
    if (pace == Pace::AtOnce) pacing_.urgent = true;
}

void T_Tessel_Frm::InvalidateWindow() {
    framesDue_ = std::max(framesDue_, 2);
    wholeFramesDue_ = 2;
}

bool T_Tessel_Frm::KeysMove() const {
    return std::any_of(std::begin(Keys), std::end(Keys),
                       [&](const KeyRecord& key) { return KeyMoves(key, Shape.keyRestHeight); });
}

bool T_Tessel_Frm::FrameCanDiffer() const {
    return framesDue_ > 0 || shown_.text != DisplayText || shown_.memoryShown != (Memory != 0) ||
           KeysMove();
}

bool T_Tessel_Frm::WantsTick() const {
    return Repaint_Tm.Enabled && (DrawEveryTick || FrameCanDiffer());
}

double T_Tessel_Frm::TickDelay() const {
    return DrawEveryTick ? 0 : FrameDelay(pacing_, Window.Milliseconds());
}

WindowMapping T_Tessel_Frm::Mapping() const {
    return {ProjectionMatrix() * ModelviewMatrix(), Window.DrawableWidth(),
            Window.DrawableHeight()};
}

void T_Tessel_Frm::Repaint_TmTimer() {
    // A frame that would repeat the last one exactly is not drawn, nor one that comes before
    // the screen can show it.
    if (!DrawEveryTick && (!FrameCanDiffer() || TickDelay() > 0)) return;
    FrameStarted(pacing_, Window.Milliseconds());
    const bool keysMoved = KeysMove();

    KeepNearLimit(*this, Config);
    PickedName = PickKey(static_cast<int>(MouseX), static_cast<int>(MouseY));
    const ShownFrame next =
        FrameOf(Mapping(), DisplayTilt, Keys, PickedName, DisplayText, Memory != 0);
    const WindowRect whole = WholeWindow(Window.DrawableWidth(), Window.DrawableHeight());
    // Just after a resize or an expose the frame is swapped in whole: the back buffer takes a
    // new size of the window only at a swap. Then one whole frame is presented as a part, so
    // that the back buffer holds all of what is shown, and from then on only what changes.
    const bool swapped = wholeFramesDue_ > 0 || DrawEveryTick || !Window.PresentsPart();
    const WindowRect damage =
        swapped || !backBufferKept_ ? whole : DamageOf(shown_, next, Shape, Keys);
    shown_ = next;
    if (wholeFramesDue_ > 0) --wholeFramesDue_;
    // Nothing that is seen changed: a release of a key that never went down, say.
    if (!damage.Empty()) DrawFrame(damage, swapped);
    StepKeys();
    if (TimingWanted() && !firstFrameReported_) {
        firstFrameReported_ = true;
        glFinish();
        auto now = std::chrono::system_clock::now().time_since_epoch();
        std::fprintf(stderr, "tessel: first frame %lld\n",
                     static_cast<long long>(std::chrono::nanoseconds(now).count()));
    }

    // One more frame is owed when this one moved a key: a key is placed before it steps, so
    // its last step shows only in the next frame.
    if (framesDue_ > 0) --framesDue_;
    if (keysMoved) Invalidate();
    // And one when this one was swapped in whole but the next can be presented as a part: so
    // that the back buffer holds the whole picture before the next input needs only a part.
    if (swapped && !DrawEveryTick && Window.PresentsPart()) Invalidate();
}

void T_Tessel_Frm::DrawFrame(const WindowRect& damage, bool swapped) {
    // The whole scene is drawn, but only the pixels in the rectangle are cleared and filled:
    // outside it the back buffer holds the last frame, which is what this one shows there.
    const bool scissored = damage != WholeWindow(Window.DrawableWidth(), Window.DrawableHeight());
    if (scissored) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(damage.x0, damage.y0, damage.Width(), damage.Height());
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!scissored) glFlush(); // see DrawCalculator
    glPushMatrix();
    ApplyViewTransform();
    // With the key under the mouse this frame picked before its damage was found.
    DrawCalculator(Content(!scissored));
    glPopMatrix();
    if (scissored) glDisable(GL_SCISSOR_TEST);
    // After a swap the back buffer's contents are undefined.
    backBufferKept_ = !swapped;
    firstFrameDrawn_ = true;
    if (swapped)
        Window.Present();
    else
        Window.PresentPart(damage.x0, damage.y0, damage.Width(), damage.Height());
}

Matrix T_Tessel_Frm::ProjectionMatrix() const {
    return ProjectionOf(Window.DrawableWidth(), Window.DrawableHeight());
}

Matrix T_Tessel_Frm::ModelviewMatrix() const {
    // The camera's look-at from the origin down -z with y up is the identity.
    return ViewTransform(ViewDistance, TiltAngle, SpinAngle);
}

void T_Tessel_Frm::ApplyViewTransform() {
    glMultMatrixd(ModelviewMatrix().data());
}

void T_Tessel_Frm::DrawScene() {
    PickedName = PickKey(static_cast<int>(MouseX), static_cast<int>(MouseY));
    DrawCalculator(Content(true));
}

SceneContent T_Tessel_Frm::Content(bool inParts) const {
    // The first frame draws the case whole, as it looks the same: on the first start after
    // installing, with no shader cache yet, the driver would first compile its clipping
    // shaders. The second frame, which follows at once, compiles them while the first is seen.
    const bool outsideOnly =
        firstFrameDrawn_ && OnlyOutsideSeen(ModelviewMatrix(), Shape, DisplayTilt);
    return {Shape,       Keys,          PickedName,  DisplayTilt, DisplayText,
            Memory != 0, GlyphTextures, CardTexture, inParts,     outsideOnly};
}

void T_Tessel_Frm::StepKeys() {
    for (KeyRecord& key : Keys) {
        // Two steps a frame: the pace at which keys have always sunk and risen.
        StepKey(key, Shape.keyRestHeight);
        StepKey(key, Shape.keyRestHeight);
    }
}

std::int32_t T_Tessel_Frm::PickKey(int x, int y) const {
    const int viewport[4] = {0, 0, Window.DrawableWidth(), Window.DrawableHeight()};
    // Window rows count up from the bottom, through the middle of the pixel.
    Ray ray;
    if (!WindowRay(ProjectionMatrix(), ModelviewMatrix(), viewport, x + 0.5, viewport[3] - y - 0.5,
                   ray))
        return 0;
    return KeyOnRay(ray, Keys, Shape, DisplayTilt);
}

void T_Tessel_Frm::DrawKeysAndPick(int x, int y) {
    // Picked first, so that the key under the mouse is drawn highlighted in this very frame.
    PickedName = PickKey(x, y);
    ::DrawKeys(Keys, PickedName);
}

// ---- Input ----

void T_Tessel_Frm::PressKey(int id) {
    // Marked first, so a key whose command fails stays down until the next release.
    Keys[id].Pressed = 1;
    RunKeyCommand(id);
}

void T_Tessel_Frm::FormKeyDown(std::uint16_t& key, TShiftState shift, char32_t typed) {
    Invalidate(Pace::AtOnce);
    const KeyAction action = ActionOfKey(key, typed, shift);
    switch (action.kind) {
    case KeyAction::Press:
        PressKey(action.button);
        break;
    case KeyAction::Copy:
        // The number as it stands; an error text is no number to copy.
        if (!DisplayShowsError()) Window.SetClipboardText(DisplayText);
        break;
    case KeyAction::Paste:
        EnterNumberText(Window.GetClipboardText());
        break;
    case KeyAction::TakeBack:
        DeleteLastCharacter();
        break;
    case KeyAction::ToggleCard:
        ToggleCard(*this);
        break;
    case KeyAction::RaiseDisplay:
        RaiseDisplay(*this);
        break;
    case KeyAction::LowerDisplay:
        LowerDisplay(*this);
        break;
    case KeyAction::None:
        break;
    }
}

void T_Tessel_Frm::ReleaseKeys() {
    for (KeyRecord& key : Keys) key.Pressed = 0;
}

void T_Tessel_Frm::FormKeyUp(std::uint16_t&, TShiftState) {
    Invalidate(Pace::AtOnce);
    ReleaseKeys();
}

void T_Tessel_Frm::FormMouseDown(TMouseButton, TShiftState shift, int x, int y) {
    Invalidate(Pace::AtOnce);
    TakeButtons(*this, shift);
    if (!ClickCounts(*this)) return;
    // The key under the click itself, whatever frames have been drawn since the mouse moved.
    const int id = PickKey(x, y) - KeyNameBase;
    if (id < 0 || id >= KeyCount) return;
    ClickKey click = ClickKeyOf(id);
    FormKeyDown(click.key, click.shift);
}

void T_Tessel_Frm::FormMouseMove(TShiftState shift, int x, int y) {
    const double spin = SpinAngle, tilt = TiltAngle, distance = ViewDistance;
    MoveMouse(*this, shift, x, y, Config);
    // A move that neither turns nor zooms changes the picture only when it brings the mouse
    // onto another key (or off the keys): the key is found here, without drawing.
    if (SpinAngle != spin || TiltAngle != tilt || ViewDistance != distance ||
        PickKey(x, y) != PickedName)
        Invalidate();
}

void T_Tessel_Frm::FormMouseUp(TMouseButton, TShiftState shift, int, int) {
    Invalidate(Pace::AtOnce);
    TakeButtons(*this, shift);
    if (!LeftButtonDown) ReleaseKeys();
}

void T_Tessel_Frm::FormMouseWheel(TShiftState, int notches, int, int) {
    Invalidate();
    TurnWheel(*this, notches, Config);
}

// ---- Program entry ----

int RunTessel(Platform& platform) {
    TesselSession session(platform);
    try {
        session.Start();
        // A start that could not set up drawing has said why and closed the window: the
        // calculator was never shown, and that is no success.
        if (platform.Closed()) return 1;
        session.application.Run();
    } catch (const std::exception& error) {
        session.application.ShowException(error);
        return 1;
    }
    // The loop also ends when the display goes away; there is no box to show that in.
    const std::string lost = platform.LostWindow();
    if (!lost.empty()) {
        std::fprintf(stderr, "tessel: %s\n", lost.c_str());
        return 1;
    }
    return 0;
}

#include "Tessel_un.h"

#include "Folders_un.h"
#include "Frame_un.h"
#include "Session_un.h"
#include "Startup_un.h"

#include "config/Cfgread_un.h"
#include "engine/Matheng_un.h"

#include <GL/gl.h>

#include <string>

T_Tessel_Frm* Tessel_Frm = nullptr;
GlSurface WindowDC = nullptr;
GlContext RenderContext = nullptr;

T_Tessel_Frm::T_Tessel_Frm(Platform& platform)
    : TForm(platform), Model(Config), kept_(StateFilePath) {
    Window.SetCaption(MainCaption);
    Window.SetMaximized();
    Model.AddView(*this);
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
    Model.Start();
    kept_.Restore(Model);
    if (ConfigFileUsed) ReadConfig(Config);
    Shape = GeometryOf(Config);
    Window.SetMaximized();
    // The pictures are decoded on a thread of their own, the welcome picture from now on, while
    // the loading window is made; the loading window is the first thing on the screen.
    PictureDecoder pictures(StartUpPicturePaths());
    std::unique_ptr<LoadingWindow> loading = MakeLoadingWindow(Window);
    ShowLoadingWindow(*loading, pictures);
    if (!SetupPixelFormat()) {
        Close();
        return;
    }
    // The GL driver is loaded: the other pictures are decoded while the GL context comes up.
    // Decoded earlier, they took the second core from the display server while it put up the
    // loading window, which came 2 ms later for it.
    pictures.Resume();
    RenderContext = Window.CreateContext();
    Window.MakeCurrent(RenderContext);
    Window.SetFrameReader(ReadFrameRows);
    SetUpRendering(Config);
    FormResize();
    BuildKeyTable(Keys, Shape);
    LoadTextures(*loading, pictures, {Keys, GlyphTextures, CardTexture}, card_);
    SetUpTexturing();
}

void T_Tessel_Frm::FormResize() {
    OweWholeFrames(pacing_);
    if (RenderContext == nullptr) return;
    // A window moved to another screen may find another refresh rate there.
    PaceTo(pacing_, Window.RefreshRate(), Repaint_Tm.Interval);
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
    OweWholeFrames(pacing_);
    // What was covered is shown again at once.
    Owe(pacing_, Pace::AtOnce);
}

// ---- Frame loop ----

void T_Tessel_Frm::DisplayChanged(const std::string&, bool) {
    Owe(pacing_, pace_);
}

void T_Tessel_Frm::KeyChanged(int key, bool down) {
    Keys[key].Pressed = down ? 1 : 0;
    Owe(pacing_, pace_);
}

void T_Tessel_Frm::PointedKeyChanged(int key) {
    PickedName = key < 0 ? 0 : KeyNameBase + key;
    Owe(pacing_, pace_);
}

void T_Tessel_Frm::PointAtMouse() {
    const ViewState& v = Model.View;
    Do({Action::PointAt,
        PickKey(static_cast<int>(v.MouseX), static_cast<int>(v.MouseY)) - KeyNameBase});
}

void T_Tessel_Frm::ViewChanged(const ViewState&) {
    Owe(pacing_, pace_);
}

void T_Tessel_Frm::FocusChanged(int, bool) {
    Owe(pacing_, pace_);
}

bool T_Tessel_Frm::KeysMove() const {
    return std::any_of(std::begin(Keys), std::end(Keys),
                       [&](const KeyRecord& key) { return KeyMoves(key, Shape.keyRestHeight); });
}

bool T_Tessel_Frm::FrameCanDiffer() const {
    return pacing_.framesDue > 0 || KeysMove();
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
    const bool keysMoved = KeysMove();
    Model.Do({Action::ShowFrame});
    // The view may have turned under a mouse that stood still.
    PointAtMouse();
    const ShownFrame next = FrameOf(Mapping(), Model.View.DisplayTilt, Keys, PickedName,
                                    Model.Text().c_str(), Model.MemoryShown(), FocusedKey());
    const FramePlan plan =
        StartFrame(pacing_, Window.Milliseconds(), Window.PresentsPart(), DrawEveryTick);
    const WindowRect damage = plan.whole
                                  ? WholeWindow(Window.DrawableWidth(), Window.DrawableHeight())
                                  : DamageOf(shown_, next, Shape, Keys);
    shown_ = next;
    // Nothing that is seen changed: a release of a key that never went down, say.
    const bool drawn = !damage.Empty();
    // A frame that can show the card has it (keys typed while loading may have raised the
    // display frame before the first one).
    if (Model.View.DisplayTilt > 0) UploadLater(card_);
    if (drawn) DrawFrame(damage, plan.swapped);
    if (firstFrameDrawn_) UploadLater(card_);
    StepKeys();
    if (!firstFrameReported_) firstFrameReported_ = ReportFirstFrame();
    EndFrame(pacing_, plan, drawn, keysMoved, Window.PresentsPart(), DrawEveryTick);
}

void T_Tessel_Frm::DrawFrame(const WindowRect& damage, bool swapped) {
    // Only the pixels in the rectangle are cleared and filled, of what can touch them: outside
    // it the back buffer holds the last frame, which is what this one shows there.
    const bool scissored = damage != WholeWindow(Window.DrawableWidth(), Window.DrawableHeight());
    if (scissored) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(damage.x0, damage.y0, damage.Width(), damage.Height());
    }
    if (scissored) {
        DrawBackground();
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFlush(); // see DrawCalculator
    }
    glPushMatrix();
    ApplyViewTransform();
    // With the key under the mouse this frame picked before its damage was found.
    SceneContent content = Content(!scissored);
    const DrawnRegion region{Mapping(), damage};
    if (scissored) content.region = &region;
    DrawCalculator(content);
    glPopMatrix();
    if (scissored) glDisable(GL_SCISSOR_TEST);
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
    const ViewState& v = Model.View;
    return ViewTransform(v.ViewDistance, v.TiltAngle, v.SpinAngle);
}

void T_Tessel_Frm::ApplyViewTransform() {
    glMultMatrixd(ModelviewMatrix().data());
}

void T_Tessel_Frm::DrawScene() {
    PointAtMouse();
    DrawCalculator(Content(true));
}

SceneContent T_Tessel_Frm::Content(bool inParts) const {
    // The first frame draws the case whole, as it looks the same: on the first start after
    // installing, with no shader cache yet, the driver would first compile its clipping
    // shaders. The second frame, which follows at once, compiles them while the first is seen.
    const Matrix modelview = ModelviewMatrix();
    const bool outsideOnly =
        firstFrameDrawn_ && OnlyOutsideSeen(modelview, Shape, Model.View.DisplayTilt);
    // Named, so that a field added to the record cannot take another's value.
    return {.shape = Shape,
            .keys = Keys,
            .pickedName = PickedName,
            .focusedKey = FocusedKey(),
            .displayTilt = Model.View.DisplayTilt,
            .text = DisplayText,
            .memoryShown = Memory != 0,
            .glyphTextures = GlyphTextures,
            .cardTexture = CardTexture,
            .inParts = inParts,
            .outsideOnly = outsideOnly,
            .keysClosed = BodyWithinDepthRange(modelview, Shape),
            .cardLoaded = !card_.Pending()};
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
    return KeyOnRay(ray, Keys, Shape, Model.View.DisplayTilt);
}

void T_Tessel_Frm::DrawKeysAndPick(int x, int y) {
    // Picked first, so that the key under the mouse is drawn highlighted in this very frame.
    PickedName = PickKey(x, y);
    ::DrawKeys(Keys, PickedName);
}

// ---- Input ----

void T_Tessel_Frm::Do(const Action& action, Pace pace) {
    pace_ = pace;
    try {
        Model.Do(action);
    } catch (...) {
        pace_ = Pace::Paced;
        throw;
    }
    pace_ = Pace::Paced;
}

void T_Tessel_Frm::FormKeyDown(std::uint16_t& key, TShiftState shift, char32_t typed) {
    const KeyAction keyAction = ActionOfKey(key, typed, shift);
    // The number as it stands; an error text is no number to copy.
    if (keyAction.kind == KeyAction::Copy && !DisplayShowsError())
        Window.SetClipboardText(DisplayText);
    Action action{Action::PressKey};
    if (!ModelActionOfKey(keyAction, action)) return;
    if (action.kind == Action::Paste) action.text = Window.GetClipboardText();
    // Held down, the steering keys turn and zoom as a drag does, a frame a refresh.
    const bool steers = action.kind == Action::Steer || action.kind == Action::Wheel;
    Do(action, steers ? Pace::Paced : Pace::AtOnce);
}

void T_Tessel_Frm::FormKeyUp(std::uint16_t&, TShiftState) {
    Do({Action::ReleaseKeys}, Pace::AtOnce);
}

void T_Tessel_Frm::FormMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Do({.kind = Action::Buttons, .shift = shift}, Pace::AtOnce);
    // The key under the click itself, whatever frames have been drawn since the mouse moved.
    const int id = ClickCounts(Model.View) ? PickKey(x, y) - KeyNameBase : -1;
    if (id >= 0 && id < KeyCount) {
        ClickKey click = ClickKeyOf(id);
        FormKeyDown(click.key, click.shift);
    } else if (button == TMouseButton::mbLeft) {
        // Off the keys, a left drag turns the calculator: a touchpad has no right button to.
        Do({Action::GrabCase});
    }
}

void T_Tessel_Frm::FormMouseMove(TShiftState shift, int x, int y) {
    Do({.kind = Action::MoveMouse, .shift = shift, .x = x, .y = y});
    // A move that neither turns nor zooms changes the picture only when it brings the mouse
    // onto another key (or off the keys): the key is found here, without drawing.
    Do({Action::PointAt, PickKey(x, y) - KeyNameBase});
}

void T_Tessel_Frm::FormMouseUp(TMouseButton, TShiftState shift, int, int) {
    Do({.kind = Action::Buttons, .shift = shift}, Pace::AtOnce);
    if (!Model.View.LeftButtonDown) Do({Action::ReleaseKeys}, Pace::AtOnce);
}

void T_Tessel_Frm::FormMouseWheel(TShiftState, double notches, int, int) {
    Do({.kind = Action::Wheel, .value = notches});
}

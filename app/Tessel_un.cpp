#include "Tessel_un.h"

#include "config/Cfgread_un.h"
#include "engine/Matheng_un.h"
#include "scene/Display_un.h"
#include "scene/Models_un.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

T_Tessel_Frm* Tessel_Frm = nullptr;
HDC WindowDC = nullptr;
HGLRC RenderContext = nullptr;

namespace {

constexpr double FieldOfView = 60.0, NearPlane = 0.1, FarPlane = 100.0;
constexpr GLfloat LightPosition[] = {-5.0f, 10.0f, 10.0f, 1.0f};
constexpr GLfloat White[] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr int LoadingWidth = 400, LoadingHeight = 200;
constexpr int ProgressMargin = 40, ProgressHeight = 20;
constexpr std::size_t WelcomePicture = 0; // first of StartUpPicturePaths, then the textures

// With TESSEL_TIMING set, start-up times are written to stderr for the start-up benchmark.
bool TimingWanted() {
    static const bool wanted = std::getenv("TESSEL_TIMING") != nullptr;
    return wanted;
}

} // namespace

T_Tessel_Frm::T_Tessel_Frm(Platform& platform) : TForm(platform) {
    Window.SetCaption(MainCaption);
    Window.SetMaximized();
}

bool T_Tessel_Frm::SetupPixelFormat(HDC dc) {
    PixelFormatDescriptor pfd{};
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cRedBits = 8, pfd.cRedShift = 16;
    pfd.cGreenBits = 8, pfd.cGreenShift = 8;
    pfd.cBlueBits = 8, pfd.cBlueShift = 0;
    pfd.cAccumBits = 64;
    pfd.cAccumRedBits = pfd.cAccumGreenBits = pfd.cAccumBlueBits = 16;
    pfd.cDepthBits = 32;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = Window.ChoosePixelFormat(dc, pfd);
    if (format == 0) {
        Window.MessageBox("ChoosePixelFormat failed", "Error", MessageIcon::None);
        return false;
    }
    if (!Window.SetPixelFormat(dc, format, pfd)) {
        Window.MessageBox("SetPixelFormat failed", "Error", MessageIcon::None);
        return false;
    }
    return true;
}

void T_Tessel_Frm::FormCreate() {
    StartView(*this);
    InitEngine();
    ReadConfig(Config);
    Shape = GeometryOf(Config);
    Window.SetMaximized();
    // The pictures are decoded on a thread of their own while the loading window comes up and
    // the GL driver loads; the loading window is the first thing on the screen.
    PictureDecoder pictures(StartUpPicturePaths());
    std::unique_ptr<LoadingWindow> loading = ShowLoadingWindow(pictures);
    WindowDC = Window.GetDC();
    if (!SetupPixelFormat(WindowDC)) {
        Close();
        return;
    }
    RenderContext = Window.CreateContext(WindowDC);
    Window.MakeCurrent(WindowDC, RenderContext);
    const double scale = 1.0L / 255.0L;
    glClearColor(static_cast<GLfloat>(Config.BACKGROUNDCOLOR_R * 1.0 * scale),
                 static_cast<GLfloat>(Config.BACKGROUNDCOLOR_G * 1.0 * scale),
                 static_cast<GLfloat>(Config.BACKGROUNDCOLOR_B * 1.0 * scale), 0.0f);
    FormResize();
    for (GLenum capability : {GL_DEPTH_TEST, GL_ALPHA_TEST, GL_POINT_SMOOTH, GL_TEXTURE_2D,
                              GL_LIGHTING, GL_LIGHT0, GL_NORMALIZE})
        glEnable(capability);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, White);
    glLightfv(GL_LIGHT0, GL_AMBIENT, White);
    glLightfv(GL_LIGHT0, GL_SPECULAR, White);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
    BuildKeyTable(Keys, Shape);
    LoadTextures(*loading, pictures);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

std::unique_ptr<LoadingWindow> T_Tessel_Frm::ShowLoadingWindow(PictureDecoder& pictures) {
    // Centred over the maximised main window, that is on the screen.
    std::unique_ptr<LoadingWindow> loading = Window.CreateLoadingWindow(
        (Window.Width() - LoadingWidth) / 2, (Window.Height() - LoadingHeight) / 2, LoadingWidth,
        LoadingHeight);
    const int barWidth = LoadingWidth - ProgressMargin;
    loading->AddProgressBar((LoadingWidth - barWidth) / 2, (LoadingHeight - ProgressHeight) / 2,
                            barWidth, ProgressHeight);
    Picture welcome;
    if (pictures.Take(WelcomePicture, welcome)) {
        loading->ShowPicture(welcome.rgb.data(), welcome.width, welcome.height);
    } else {
        // Reported like any error; the textures still load without the picture.
        Application->ShowException(std::runtime_error(
            std::string("Can't open the welcome picture '") + WelcomePicturePath + "'"));
    }
    loading->DrawOutline();
    loading->SetProgress(0);
    return loading;
}

void T_Tessel_Frm::LoadTextures(LoadingWindow& loading, PictureDecoder& pictures) {
    const auto loadStart = std::chrono::steady_clock::now();
    // The decoded pictures are uploaded in the order of the texture set, each reported (when
    // it could not be read) and counted on the bar in turn.
    std::size_t next = WelcomePicture + 1;
    auto load = [&](const char* path, std::uint32_t& name) {
        Picture picture;
        const bool decoded = pictures.Take(next++, picture);
        LoadDecodedTexture(path, decoded, picture, name);
    };
    for (int i = 0; i < KeyTextureCount; ++i) {
        load(KeyTexturePaths[i], Keys[i].Texture);
        loading.SetProgress((100 * i + 100) / 50);
    }
    for (int j = 0; j < GlyphTextureCount; ++j) {
        load(GlyphTexturePaths[j], GlyphTextures[j]);
        loading.SetProgress((100 * j + 2300) / 50);
    }
    load(CardTexturePath, CardTexture);
    loading.SetProgress(100);
    if (TimingWanted()) {
        std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - loadStart;
        std::fprintf(stderr, "tessel: textures loaded in %.1f ms\n", spent.count());
    }
}

void T_Tessel_Frm::FormResize() {
    Invalidate(2);
    if (RenderContext == nullptr) return;
    glViewport(0, 0, Window.Width(), Window.Height());
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(ProjectionMatrix().data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 0, 0, 0, -1, 0, 1, 0);
    glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
}

void T_Tessel_Frm::FormClose() {
    if (RenderContext != nullptr) {
        Window.MakeCurrent(WindowDC, nullptr);
        Window.DeleteContext(RenderContext);
    }
    if (WindowDC != nullptr) Window.ReleaseDC(WindowDC);
}

void T_Tessel_Frm::FormPaint() {
    Invalidate(2);
}

// ---- Frame loop ----

bool T_Tessel_Frm::KeysMove() const {
    return std::any_of(std::begin(Keys), std::end(Keys),
                       [&](const KeyRecord& key) { return KeyMoves(key, Shape.keyRestHeight); });
}

bool T_Tessel_Frm::FrameCanDiffer() const {
    return framesDue_ > 0 || shownText_ != DisplayText || shownMemory_ != Memory || KeysMove();
}

bool T_Tessel_Frm::WantsTick() const {
    return Repaint_Tm.Enabled && (DrawEveryTick || FrameCanDiffer());
}

void T_Tessel_Frm::Repaint_TmTimer() {
    // A frame that would repeat the last one exactly is not drawn.
    if (!DrawEveryTick && !FrameCanDiffer()) return;
    const bool keysMoved = KeysMove();
    shownText_ = DisplayText;
    shownMemory_ = Memory;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush(); // see DrawScene
    KeepNearLimit(*this, Config);
    glPushMatrix();
    ApplyViewTransform();
    DrawScene();
    glPopMatrix();
    Window.SwapBuffers(WindowDC);
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
}

Matrix T_Tessel_Frm::ProjectionMatrix() const {
    const int w = Window.ClientWidth(), h = Window.ClientHeight();
    if (h == 0) return IdentityMatrix();
    return Perspective(FieldOfView, static_cast<float>(w) / h, NearPlane, FarPlane);
}

Matrix T_Tessel_Frm::ModelviewMatrix() const {
    // The camera's look-at from the origin down -z with y up is the identity.
    return ViewTransform(ViewDistance, TiltAngle, SpinAngle);
}

void T_Tessel_Frm::ApplyViewTransform() {
    glMultMatrixd(ModelviewMatrix().data());
}

void T_Tessel_Frm::DrawScene() {
    // Each textured part turns texturing on for itself and off after it. Start-up leaves it
    // on: the first frame would draw the untextured case modulated by the last picture
    // loaded, unlike every frame after it, and would need a pipeline of its own for that.
    glDisable(GL_TEXTURE_2D);
    // The frame is handed to the driver in parts: a software renderer fills the pixels of a
    // part on its own threads while this one goes on with the next (the clear, the case with
    // its many corner triangles, the keys), instead of all of it after the last call.
    DrawCase(Shape);
    glFlush();
    DrawKeyPlate(Shape);
    DrawCard(Shape, CardTexture);
    DrawKeysAndPick(static_cast<int>(MouseX), static_cast<int>(MouseY));
    glFlush();

    glPushMatrix();
    glMultMatrixd(DisplayFrameTransform(Shape, DisplayTilt).data());
    DrawDisplayFrame(Shape);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    glTranslatef(Shape.frameBorder, Shape.frameBorder, 0);
    glNormal3f(0, 0, 1);
    DrawDisplay(DisplayText, Memory != 0, Shape.glyphWidth, Shape.glyphHeight, GlyphTextures);
    glPopMatrix();
}

// ---- Picking ----

void T_Tessel_Frm::DrawKeys() {
    for (KeyRecord& key : Keys) {
        glPushMatrix();
        glTranslatef(key.X, key.Y, key.Z);
        glRotatef(static_cast<float>(key.Angle), 0, 1, 0);
        DrawKey(key, PickedName);
        glPopMatrix();
    }
}

void T_Tessel_Frm::StepKeys() {
    for (KeyRecord& key : Keys) {
        // Two steps a frame: the pace at which keys have always sunk and risen.
        StepKey(key, Shape.keyRestHeight);
        StepKey(key, Shape.keyRestHeight);
    }
}

std::int32_t T_Tessel_Frm::PickKey(int x, int y) const {
    const int viewport[4] = {0, 0, Window.Width(), Window.Height()};
    // Window rows count up from the bottom; a frame around the client area would shift them.
    const int frameOffset =
        (Window.Height() - Window.ClientHeight()) - (Window.Width() - Window.ClientWidth()) / 2;
    Ray ray;
    if (!WindowRay(ProjectionMatrix(), ModelviewMatrix(), viewport, x + 0.5,
                   viewport[3] - y - frameOffset - 0.5, ray))
        return 0;
    return KeyOnRay(ray, Keys, Shape, DisplayTilt);
}

void T_Tessel_Frm::DrawKeysAndPick(int x, int y) {
    // Picked first, so that the key under the mouse is drawn highlighted in this very frame.
    PickedName = PickKey(x, y);
    DrawKeys();
}

// ---- Input ----

void T_Tessel_Frm::PressKey(int id) {
    // Marked first, so a key whose command fails stays down until the next release.
    Keys[id].Pressed = 1;
    RunKeyCommand(id);
}

void T_Tessel_Frm::FormKeyDown(std::uint16_t& key, TShiftState shift, char32_t typed) {
    Invalidate();
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
    Invalidate();
    ReleaseKeys();
}

void T_Tessel_Frm::FormMouseDown(TMouseButton, TShiftState shift, int x, int y) {
    Invalidate();
    TakeButtons(*this, shift);
    if (!ClickCounts(*this)) return;
    // The key under the click itself, whatever frames have been drawn since the mouse moved.
    const int id = PickKey(x, y) - KeyNameBase;
    if (id < 0 || id >= KeyCount) return;
    ClickKey click = ClickKeyOf(id);
    FormKeyDown(click.key, click.shift);
}

void T_Tessel_Frm::FormMouseMove(TShiftState shift, int x, int y) {
    Invalidate();
    MoveMouse(*this, shift, x, y, Config);
}

void T_Tessel_Frm::FormMouseUp(TMouseButton, TShiftState shift, int, int) {
    Invalidate();
    TakeButtons(*this, shift);
    if (!LeftButtonDown) ReleaseKeys();
}

void T_Tessel_Frm::FormMouseWheel(TShiftState, int notches, int, int) {
    Invalidate();
    TurnWheel(*this, notches, Config);
}

// ---- Program entry ----

int RunTessel(Platform& platform) {
    TApplication application(platform);
    Application = &application;
    try {
        application.Initialize();
        application.Title = ApplicationTitle;
        application.CreateForm(Tessel_Frm);
        application.Run();
    } catch (const std::exception& error) {
        application.ShowException(error);
    }
    delete Tessel_Frm;
    Tessel_Frm = nullptr;
    Application = nullptr;
    return 0;
}

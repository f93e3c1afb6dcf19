// The main unit: the main form with its start-up, frame loop, input handling and picking.
#pragma once

#include "Damage_un.h"
#include "Frame_un.h"
#include "Keptstate_un.h"
#include "Pacing_un.h"
#include "Startup_un.h"
#include "model/Calcmodel_un.h"
#include "platform/Forms_un.h"
#include "scene/Button_un.h"
#include "scene/Picking_un.h"
#include "textures/Texloading_un.h"

#include <algorithm>
#include <cstdint>
#include <string>

constexpr const char* ApplicationTitle = "Calculator with 3D-interface";
constexpr const char* MainCaption = "Tessel";
// Placement of the main window when it is not maximised.
constexpr int DesignLeft = 287, DesignTop = 188, DesignWidth = 617, DesignHeight = 522;

// The form turns the window's events into the model's actions and is the model's view that
// draws it with OpenGL: told what changed, it owes frames, and draws them when they are due.
class T_Tessel_Frm : public TForm, public CalculatorView {
public:
    explicit T_Tessel_Frm(Platform& platform);

    void FormCreate() override;
    void FormResize() override;
    void FormClose() override;
    void FormPaint() override;
    void FormKeyDown(std::uint16_t& key, TShiftState shift, char32_t typed = 0) override;
    void FormKeyUp(std::uint16_t& key, TShiftState shift) override;
    void FormMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void FormMouseMove(TShiftState shift, int x, int y) override;
    void FormMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void FormMouseWheel(TShiftState shift, double notches, int x, int y) override;
    void Repaint_TmTimer() override;
    bool WantsTick() const override;
    double TickDelay() const override;

    // The model's view: what changed asks for frames.
    void DisplayChanged(const std::string& text, bool memoryShown) override;
    void KeyChanged(int key, bool down) override;
    void PointedKeyChanged(int key) override;
    void ViewChanged(const ViewState& view) override;
    void FocusChanged(int key, bool shown) override;

    bool SetupPixelFormat();
    // The projection of the window: the perspective, or the identity with no height.
    Matrix ProjectionMatrix() const;
    // The modelview of a frame: the camera and the calculator placed by the view state.
    Matrix ModelviewMatrix() const;
    // Places the calculator before the camera by the view state: distance, tilt and spin.
    void ApplyViewTransform();
    // Picks the key under the mouse and draws the calculator (see Frame_un).
    void DrawScene();
    // What the models draw from in the present state, handed to the driver in parts or not.
    SceneContent Content(bool inParts) const;
    // Advances the press animation of every key by the two steps of a frame.
    void StepKeys();
    // The selection name of the key seen under a window position by the present view
    // state, or 0.
    std::int32_t PickKey(int x, int y) const;
    // Picks the key at a window position, then draws the keys with it highlighted.
    void DrawKeysAndPick(int x, int y);

    // What the user changes, every action going through it.
    CalculatorModel Model;
    // The key under the mouse as the last frame found it, by its selection name.
    std::int32_t PickedName = 0;
    KeyRecord Keys[KeyCount];
    // Every length of the calculator, derived from the configuration at start-up.
    Geometry Shape{};
    std::uint32_t GlyphTextures[GlyphCount] = {};
    std::uint32_t CardTexture = 0;

    struct TTimer {
        int Interval;
        bool Enabled;
    } Repaint_Tm{1, true};

    // When set, every tick draws a whole frame, as if anything could have changed.
    bool DrawEveryTick = false;

private:
    // The model's action, with the frames it causes shown at this pace.
    void Do(const Action& action, Pace pace = Pace::Paced);
    // The key the focus mark is drawn on, -1 while none is.
    int FocusedKey() const { return Model.FocusShown() ? Model.FocusedKey() : -1; }
    // Tells the model the key under the mouse in the present view.
    void PointAtMouse();
    bool FrameCanDiffer() const;
    bool KeysMove() const;
    WindowMapping Mapping() const;
    // Clears and draws the rectangle of the window, a frame, and hands it to the screen: by a
    // swap (the rectangle then is the whole window) or as a part.
    void DrawFrame(const WindowRect& damage, bool swapped);

    KeptMemory kept_;
    FramePacing pacing_;
    Pace pace_ = Pace::Paced; // of the frames the action being carried out asks for
    // The last frame drawn, against which the next one finds the pixels that change.
    ShownFrame shown_;
    bool firstFrameReported_ = false;
    // The first frame of a start draws the case whole (see Content).
    bool firstFrameDrawn_ = false;
    // The card's picture, uploaded once the first frame is on the screen.
    LaterTexture card_;
};

extern T_Tessel_Frm* Tessel_Frm;
extern GlSurface WindowDC;
extern GlContext RenderContext;

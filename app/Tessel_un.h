// The main unit: the main form with its start-up, frame loop, input handling and picking.
#pragma once

#include "Controller_un.h"
#include "Damage_un.h"
#include "Frame_un.h"
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

// The view state (DisplayTilt, SpinAngle, ..., the mouse fields) is the form's own; the rules
// that change it are in Controller_un.
class T_Tessel_Frm : public TForm, public ViewState {
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
    void FormMouseWheel(TShiftState shift, int notches, int x, int y) override;
    void Repaint_TmTimer() override;
    bool WantsTick() const override;
    double TickDelay() const override;

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

    std::int32_t PickedName = 0;
    KeyRecord Keys[KeyCount];
    // Every length of the calculator, derived from the configuration at start-up.
    Geometry Shape{};
    std::uint32_t GlyphTextures[GlyphTextureCount] = {};
    std::uint32_t CardTexture = 0;

    struct TTimer {
        int Interval;
        bool Enabled;
    } Repaint_Tm{1, true};

    // When set, every tick draws a whole frame, as if anything could have changed.
    bool DrawEveryTick = false;

private:
    void PressKey(int buttonId);
    void ReleaseKeys();

    // Asks for a frame; one that shows a key press or a click starts without waiting for the
    // screen's next refresh.
    enum class Pace { Paced, AtOnce };
    void Invalidate(Pace pace = Pace::Paced);
    // Two whole frames after a resize or an expose, since the drawable may take the new size
    // only from the frame after the first swap, and what the window showed may be spoiled.
    void InvalidateWindow();
    bool FrameCanDiffer() const;
    bool KeysMove() const;
    WindowMapping Mapping() const;
    // Clears and draws the rectangle of the window, a frame, and hands it to the screen: by a
    // swap (the rectangle then is the whole window) or as a part.
    void DrawFrame(const WindowRect& damage, bool swapped);

    int framesDue_ = 2;      // frames owed to input, a resize or an expose
    int wholeFramesDue_ = 2; // of them, frames to draw and present whole
    FramePacing pacing_;
    // The last frame drawn (with DisplayText and Memory as it showed them), and whether the
    // back buffer still holds all of it: then the next frame redraws only the pixels that
    // change.
    ShownFrame shown_;
    bool backBufferKept_ = false;
    bool firstFrameReported_ = false;
    // The first frame of a start draws the case whole (see Content).
    bool firstFrameDrawn_ = false;
};

extern T_Tessel_Frm* Tessel_Frm;
extern GlSurface WindowDC;
extern GlContext RenderContext;

// The program entry on a windowing back end: initialise, create the form, run; 0 once the
// calculator was shown and closed, 1 for a start that ended before it could be shown.
int RunTessel(Platform& platform);

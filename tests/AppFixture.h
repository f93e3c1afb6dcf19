// The main form started on the offscreen back end in a fresh working directory that holds
// the generated picture set, with helpers to deliver events, draw frames and read pixels.
#pragma once

#include "app/Session_un.h"
#include "config/Cfgread_un.h"
#include "engine/Matheng_un.h"

#include "TempDir.h"
#include "UsLayout.h"

#include "platform/Egllayer_un.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

class AppTest : public TempDirTest {
protected:
    static constexpr int W = 400, H = 300;
    static constexpr double RefreshInterval = 1000.0 / 60; // ms, of a screen that tells none

    void SetUp() override {
        TempDirTest::SetUp();
        std::filesystem::copy(std::filesystem::path(TESSEL_RUN_DIR) / "tex", "tex",
                              std::filesystem::copy_options::recursive);
        Config = DefaultConfig;
        platform = std::make_unique<OffscreenPlatform>(W, H);
        session = std::make_unique<TesselSession>(*platform);
        application = &session->application;
    }
    void TearDown() override {
        session.reset();
        form = nullptr;
        platform.reset();
        Application = nullptr;
        TempDirTest::TearDown();
    }

    // Replaces the drawable before the form is started.
    void UseSize(int width, int height) {
        session.reset();
        platform = std::make_unique<OffscreenPlatform>(width, height);
        session = std::make_unique<TesselSession>(*platform);
        application = &session->application;
    }

    // Creates the form as the program entry does; frames are drawn on every tick.
    T_Tessel_Frm& Start(bool drawEveryTick = true) {
        form = &session->Start();
        form->DrawEveryTick = drawEveryTick;
        return *form;
    }
    void Send(const WindowEvent& e) { application->Dispatch(*form, e); }
    // A tick a refresh of the screen after the last one.
    void Frame() {
        platform->Clock += RefreshInterval;
        Send({WindowEvent::Tick});
    }
    void Key(std::uint16_t key, TShiftState shift = 0) {
        Send(UsKeyDown(key, shift));
        Send({WindowEvent::KeyUp, key, shift});
    }
    void MoveMouse(int x, int y, TShiftState shift = 0) {
        Send({WindowEvent::MouseMove, 0, shift, TMouseButton::mbLeft, x, y});
    }
    void Click(int x, int y) {
        MoveMouse(x, y);
        Frame();
        Send({WindowEvent::MouseDown, 0, ssLeft, TMouseButton::mbLeft, x, y});
        Send({WindowEvent::MouseUp, 0, 0, TMouseButton::mbLeft, x, y});
    }

    // Window position (y downward) of a model-space point in the view of the next frame.
    std::array<double, 2> Project(double x, double y, double z) {
        double model[16], projection[16];
        GLint viewport[4];
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        form->ApplyViewTransform();
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        double wx, wy, wz;
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        return {wx, platform->DrawableHeight() - wy};
    }
    // The window position of the centre of a key's face.
    std::array<double, 2> KeyCentre(int id) {
        const KeyRecord& k = form->Keys[id];
        return Project(k.X, k.Y + k.Height, k.Z);
    }

    std::array<int, 3> Pixel(int x, int y) {
        std::uint8_t rgba[4];
        glReadPixels(x, platform->DrawableHeight() - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }
    // The pixels of a window rectangle, rows from the top.
    std::vector<std::uint8_t> Region(int x0, int y0, int x1, int y1) {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(x1 - x0) * (y1 - y0) * 4);
        glReadPixels(x0, platform->DrawableHeight() - y1, x1 - x0, y1 - y0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
    // The window rectangle of the display's glyph area, shrunk by a pixel on each side.
    std::array<int, 4> DisplayRect() {
        const Geometry& g = form->Shape;
        const double x0 = g.windowX0 + g.frameBorder, x1 = g.windowX1 - g.frameBorder;
        const double z = g.glyphWidth / 2, T = g.thickness;
        auto a = Project(x1, T, -z), c = Project(x0, T, z);
        return {static_cast<int>(a[0]) + 2, static_cast<int>(a[1]) + 2, static_cast<int>(c[0]) - 2,
                static_cast<int>(c[1]) - 2};
    }
    // The whole window drawn from the form's present state, with or without leaving what only
    // the outside of the calculator shows to the driver to drop.
    std::vector<std::uint8_t> CalculatorPixels(bool outsideOnly) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        form->ApplyViewTransform();
        SceneContent content = form->Content(false);
        content.outsideOnly = outsideOnly;
        DrawCalculator(content);
        glPopMatrix();
        return Region(0, 0, W, H);
    }
    // How far two pictures of the window differ: the pixels that differ, the largest
    // difference of a channel, and where it is.
    struct PixelDifference {
        int count = 0, largest = 0, x = 0, y = 0;
    };
    static PixelDifference Compare(const std::vector<std::uint8_t>& a,
                                   const std::vector<std::uint8_t>& b) {
        PixelDifference d;
        for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
            int largest = 0;
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(a[i + c] - b[i + c]));
            if (largest == 0) continue;
            ++d.count;
            if (largest > d.largest)
                d = {d.count, largest, static_cast<int>(i / 4 % W), static_cast<int>(i / 4 / W)};
        }
        return d;
    }
    std::vector<std::uint8_t> DisplayPixels() {
        auto r = DisplayRect();
        return Region(r[0], r[1], r[2], r[3]);
    }

    std::unique_ptr<OffscreenPlatform> platform;
    std::unique_ptr<TesselSession> session;
    TApplication* application = nullptr;
    T_Tessel_Frm* form = nullptr;
};

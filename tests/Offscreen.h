// An offscreen OpenGL context for tests that draw or load textures, with the application
// object whose message boxes it records.
#pragma once

#include "platform/Egllayer_un.h"
#include "platform/Forms_un.h"

#include <gtest/gtest.h>

#include <memory>

struct OffscreenContext {
    explicit OffscreenContext(int width = 64, int height = 64)
        : platform(width, height), application(platform) {
        Application = &application;
        application.Title = "Calculator with 3D-interface";
        platform.ChooseSurfaceFormat(SurfaceFormat{});
        surface = platform.CreateSurface();
        context = platform.CreateContext();
        platform.MakeCurrent(context);
    }
    ~OffscreenContext() {
        platform.MakeCurrent(nullptr);
        platform.DeleteContext(context);
        platform.ReleaseSurface(surface);
        Application = nullptr;
    }
    OffscreenPlatform platform;
    TApplication application;
    GlSurface surface;
    GlContext context;
};

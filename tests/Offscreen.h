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
        dc = platform.GetDC();
        PixelFormatRequest pfd;
        int format = platform.ChoosePixelFormat(dc, pfd);
        platform.SetPixelFormat(dc, format, pfd);
        context = platform.CreateContext(dc);
        platform.MakeCurrent(dc, context);
    }
    ~OffscreenContext() {
        platform.MakeCurrent(dc, nullptr);
        platform.DeleteContext(context);
        Application = nullptr;
    }
    OffscreenPlatform platform;
    TApplication application;
    HDC dc;
    HGLRC context;
};

// Draws the calculator once, offscreen, so that Mesa's shader cache holds what its first frame
// needs: the first start after a build then compiles (almost) nothing. scripts/run runs it.
//
// Usage: warm_shaders RUN-DIR   (the folder holding tex/)
#include "app/Session_un.h"
#include "platform/Egllayer_un.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <numbers>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RUN-DIR\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::current_path(argv[1]);
        OffscreenPlatform platform(64, 64);
        TesselSession session(platform);
        T_Tessel_Frm& form = session.Start();
        form.DrawEveryTick = true;
        // Every surface of the calculator: keys, a key under the mouse, the raised frame, the card.
        form.Model.View.DisplayTilt = std::numbers::pi / 4;
        form.Repaint_TmTimer();
        // And with the frame shut, as a start shows it: the case then clips its rounded parts.
        form.Model.View.DisplayTilt = 0;
        form.Repaint_TmTimer();
    } catch (const std::exception& error) {
        // Only a warm-up: the calculator starts all the same.
        std::fprintf(stderr, "warm_shaders: %s\n", error.what());
    }
    return 0;
}

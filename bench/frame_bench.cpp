// Frame cost on the offscreen back end at 1920 x 1080: full frames (scene and picking pass)
// against frames that only clear and finish, measured in the same run.
#include "app/Session_un.h"
#include "config/Cfgread_un.h"
#include "platform/Egllayer_un.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <class F> double MedianMs(int frames, F&& frame) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        auto start = Clock::now();
        frame();
        glFinish();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    std::filesystem::current_path(TESSEL_RUN_DIR);
    OffscreenPlatform platform(1920, 1080);
    TesselSession session(platform);
    T_Tessel_Frm& form = session.Start();
    form.DrawEveryTick = true;
    form.MouseX = 960; // over the keys, so picking finds one
    form.MouseY = 700;
    for (int i = 0; i < 10; ++i) form.Repaint_TmTimer();

    const double full = MedianMs(frames, [&] { form.Repaint_TmTimer(); });
    const double clear =
        MedianMs(frames, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
    std::printf("full frame   %8.3f ms (median of %d)\n", full, frames);
    std::printf("clear only   %8.3f ms (median of %d)\n", clear, frames);
    std::printf("ratio        %8.2f\n", full / clear);
    return 0;
}

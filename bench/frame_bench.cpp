// Frame cost on the offscreen back end at 1920 x 1080: full frames (scene and picking pass)
// against frames that only clear and finish, and the frames of a turn by a right-drag as the
// window draws them (in part, one a refresh), measured in the same run. The turn's figure is
// the CPU of all the process's threads, the renderer's included, a frame.
#include "app/Session_un.h"
#include "config/Cfgread_un.h"
#include "platform/Egllayer_un.h"

#include <GL/gl.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    std::filesystem::current_path(TESSEL_RUN_DIR);
    OffscreenPlatform platform(1920, 1080);
    TesselSession session(platform);
    T_Tessel_Frm& form = session.Start();
    form.DrawEveryTick = true;
    form.Model.View.MouseX = 960; // over the keys, so picking finds one
    form.Model.View.MouseY = 700;
    for (int i = 0; i < 10; ++i) form.Repaint_TmTimer();

    const double full = MedianMs(frames, [&] { form.Repaint_TmTimer(); });
    const double clear =
        MedianMs(frames, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });

    // A turn as bench/interaction.sh makes it: the right button held and the mouse on a loop
    // a second through the lower middle of the window, 95 moves a second, a frame a refresh.
    form.DrawEveryTick = false;
    TApplication& application = session.application;
    constexpr double MovesPerSecond = 95, Pi = 3.14159265358979;
    const int cx = 1920 / 2, cy = 1080 * 62 / 100, rx = 1920 / 14, ry = 1080 / 9;
    long move = 0;
    const double start = platform.Clock;
    auto mouse = [&](WindowEvent::Kind kind, TShiftState shift) {
        const double phase = static_cast<double>(move) * 2 * Pi / MovesPerSecond;
        WindowEvent e{kind, 0, shift, TMouseButton::mbRight};
        e.x = cx + static_cast<int>(rx * std::cos(phase));
        e.y = cy + static_cast<int>(ry * std::sin(2 * phase));
        application.Dispatch(form, e);
    };
    mouse(WindowEvent::MouseDown, ssRight);
    auto turn = [&] {
        platform.Clock += 1000.0 / 60;
        while (start + static_cast<double>(move + 1) * 1000 / MovesPerSecond <= platform.Clock) {
            ++move;
            mouse(WindowEvent::MouseMove, ssRight);
        }
        application.Dispatch(form, {WindowEvent::Tick});
    };
    for (int i = 0; i < 10; ++i) turn();
    glFinish();
    const double cpuBefore = CpuMs();
    const double turnWall = MedianMs(frames, turn);
    const double turnCpu = (CpuMs() - cpuBefore) / frames;
    mouse(WindowEvent::MouseUp, 0);

    std::printf("full frame   %8.3f ms (median of %d)\n", full, frames);
    std::printf("clear only   %8.3f ms (median of %d)\n", clear, frames);
    std::printf("ratio        %8.2f\n", full / clear);
    std::printf("turn frame   %8.3f ms (median of %d), CPU %.3f ms a frame\n", turnWall, frames,
                turnCpu);
    return 0;
}

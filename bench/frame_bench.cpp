// Frame cost on the offscreen back end at 1920 x 1080 (or the size given): full frames (scene
// and picking pass) against frames that only clear and finish, the frames of a turn by a
// right-drag as the window draws them (in part, one a refresh), and the frame that shows a key
// press, from the key event to the finished picture, measured in the same run. The turn's
// figure is the CPU of all the process's threads, the renderer's included, a frame.
// Usage: frame_bench [FRAMES [WIDTHxHEIGHT]]
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
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class F> double MedianMs(int frames, F&& frame) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        auto start = Clock::now();
        frame();
        glFinish();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(std::move(times));
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
    int width = 1920, height = 1080;
    if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: frame_bench [FRAMES [WIDTHxHEIGHT]]\n");
        return 2;
    }
    std::filesystem::current_path(TESSEL_RUN_DIR);
    OffscreenPlatform platform(width, height);
    TesselSession session(platform);
    T_Tessel_Frm& form = session.Start();
    form.DrawEveryTick = true;
    form.Model.View.MouseX = width / 2.0; // over the keys, so picking finds one
    form.Model.View.MouseY = height * 0.65;
    for (int i = 0; i < 10; ++i) form.Repaint_TmTimer();

    const double full = MedianMs(frames, [&] { form.Repaint_TmTimer(); });
    const double clear =
        MedianMs(frames, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });

    // A turn as bench/interaction.sh makes it: the right button held and the mouse on a loop
    // a second through the lower middle of the window, 95 moves a second, a frame a refresh.
    form.DrawEveryTick = false;
    TApplication& application = session.application;
    constexpr double MovesPerSecond = 95, Pi = 3.14159265358979;
    const int cx = width / 2, cy = height * 62 / 100, rx = width / 14, ry = height / 9;
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

    // "1" and Escape in turn, as bench/interaction.sh presses them: each timed from the key
    // event to its frame finished, then released and let settle untimed.
    auto settle = [&] {
        for (int i = 0; i < 200 && form.WantsTick(); ++i) {
            platform.Clock += 1000.0 / 60;
            application.Dispatch(form, {WindowEvent::Tick});
        }
        glFinish();
    };
    settle();
    std::vector<double> keyTimes;
    for (int i = 0; i < frames; ++i) {
        const std::uint16_t key = i % 2 == 0 ? std::uint16_t{'1'} : std::uint16_t{VK_ESCAPE};
        WindowEvent down{WindowEvent::KeyDown, key};
        down.character = key == '1' ? U'1' : U'\0';
        const auto pressed = Clock::now();
        application.Dispatch(form, down);
        application.Dispatch(form, {WindowEvent::Tick});
        glFinish();
        keyTimes.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
        platform.Clock += 1000.0 / 60;
        application.Dispatch(form, {WindowEvent::KeyUp, key});
        settle();
    }
    const double keyWall = Median(std::move(keyTimes));

    std::printf("full frame   %8.3f ms (median of %d)\n", full, frames);
    std::printf("clear only   %8.3f ms (median of %d)\n", clear, frames);
    std::printf("ratio        %8.2f\n", full / clear);
    std::printf("turn frame   %8.3f ms (median of %d), CPU %.3f ms a frame\n", turnWall, frames,
                turnCpu);
    std::printf("key frame    %8.3f ms (median of %d)\n", keyWall, frames);
    return 0;
}

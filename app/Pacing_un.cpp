#include "Pacing_un.h"

#include <algorithm>

namespace {

constexpr double DefaultRefreshRate = 60; // Hz, where the screen tells none

} // namespace

void PaceTo(FramePacing& p, double refreshHz, double tickInterval) {
    p.interval = std::max(1000.0 / (refreshHz > 0 ? refreshHz : DefaultRefreshRate), tickInterval);
}

void Owe(FramePacing& p, Pace pace) {
    p.framesDue = std::max(p.framesDue, 1);
    if (pace == Pace::AtOnce) p.urgent = true;
}

void OweWholeFrames(FramePacing& p) {
    p.framesDue = std::max(p.framesDue, 2);
    p.wholeFramesDue = 2;
}

double FrameDelay(const FramePacing& p, double now) {
    return p.urgent ? 0 : std::max(0.0, p.lastStart + p.interval - now);
}

FramePlan StartFrame(FramePacing& p, double now, bool presentsPart, bool everyTick) {
    p.lastStart = now;
    p.urgent = false;
    // Just after a resize or an expose the frame is swapped in whole: the back buffer takes a
    // new size of the window only at a swap.
    const bool swapped = p.wholeFramesDue > 0 || everyTick || !presentsPart;
    if (p.wholeFramesDue > 0) --p.wholeFramesDue;
    return {swapped, swapped || !p.backBufferKept};
}

void EndFrame(FramePacing& p, const FramePlan& plan, bool drawn, bool keysMoved, bool presentsPart,
              bool everyTick) {
    // After a swap the back buffer's contents are undefined.
    if (drawn) p.backBufferKept = !plan.swapped;
    if (p.framesDue > 0) --p.framesDue;
    if (keysMoved) Owe(p, Pace::Paced);
    if (plan.swapped && !everyTick && presentsPart) Owe(p, Pace::Paced);
}

// When the next frame is drawn and how it reaches the screen. Frames are owed to input, to a
// resize or an expose; at most one starts a refresh of the screen, so that a drag shows the
// sum of the moves that came in between, while a frame that shows a key press or a click
// starts at once. A frame is swapped in whole after a resize or an expose, or where the
// window cannot show a part; otherwise only the pixels that changed are drawn and presented.
// Times in milliseconds. Knows neither GL nor SDL.
#pragma once

#include "scene/Extent_un.h"

enum class Pace { Paced, AtOnce };

struct FramePacing {
    double interval = 1000.0 / 60; // between the starts of two frames
    double lastStart = -1e300;
    bool urgent = false;    // the frame owed now shows a key press or a click
    int framesDue = 2;      // frames owed to input, a resize or an expose
    int wholeFramesDue = 2; // of them, frames to draw and present whole
    // The back buffer still holds all of the last frame: the next one need redraw only the
    // pixels that change.
    bool backBufferKept = false;
};

// The pace of a screen refreshed this often (Hz; one that tells none is taken as 60 Hz), and
// never faster than the timer ticks (tickInterval, ms).
void PaceTo(FramePacing& pacing, double refreshHz, double tickInterval);
// Asks for a frame.
void Owe(FramePacing& pacing, Pace pace);
// Two whole frames after a resize or an expose: the drawable may take the new size only from
// the frame after the first swap, and what the window showed may be spoiled.
void OweWholeFrames(FramePacing& pacing);
// How long until the next frame may start, 0 for now.
double FrameDelay(const FramePacing& pacing, double now);

// The frame about to be drawn: handed to the screen whole by a swap or as a part, and drawn
// whole or only where it differs from the last one (its damage, which the caller finds only
// then).
struct FramePlan {
    bool swapped;
    bool whole;
};
// The plan of a frame starting now; everyTick draws every frame whole, as if anything could
// have changed.
FramePlan StartFrame(FramePacing& pacing, double now, bool presentsPart, bool everyTick);
// After the frame of the plan, drawn or not (nothing seen changed). One more frame is owed
// when it moved a key, whose last step shows only in the next frame; and one when it was
// swapped in whole but the next can be presented as a part, so that the back buffer holds the
// whole picture before the next input needs only a part.
void EndFrame(FramePacing& pacing, const FramePlan& plan, bool drawn, bool keysMoved,
              bool presentsPart, bool everyTick);

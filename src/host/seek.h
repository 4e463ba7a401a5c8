// Seeking: bringing every scene to a moment of the timeline exactly as a
// run drawn from time 0 would, without drawing the frames before it.
#pragma once

struct Demo;
struct DemoState;

// The frame rate whose frame times the demo seeks along, that of a capture
// by default, so a seek lands on the state the capture has.
constexpr int kSeekFps = 60;

// Time value of frame `index` at `fps`: index * 1000 / fps, rounded down.
int frameTimeMs(long long index, int fps);

// The first frame a run at `fps` whose first shown frame is `firstShown`
// draws: its primer frames (seekPrimerFrames) come before the shown ones;
// with drawAll, frame 0.
long long firstDrawnFrame(long long firstShown, int fps, bool drawAll);

// Runs frames 0, 1, ... at `fps` without drawing, up to the primer frames
// before frame `firstShown` (none with drawAll); returns how many ran.
long long runUndrawnFrames(Demo& demo, long long firstShown, int fps, bool drawAll);

// The index of the first frame at `fps` whose time is after timeMs.
long long frameIndexAfter(int timeMs, int fps);

// Runs the frames at frameTimeMs(i, fps) for i from `first` while their time
// is before targetMs (or until the timeline ends): without drawing, but for
// the primer frames, which are drawn into the back buffer and not
// shown. Returns the time of the last frame run, or -1 when there was none.
int runSeekFrames(Demo& demo, long long first, int targetMs, int fps);

// From the state after loading to `startMs`, the frames before it advanced
// unseen: where a player starts, and starts again after the end.
void startDemoAt(Demo& demo, const DemoState& atLoad, int startMs);

// A jump to targetMs (clamped to the timeline) from the demo time shown:
// forward from the frames already run, back from the state after loading.
// Returns the clamped target, where the player's clock goes on from.
int jumpDemoTo(Demo& demo, const DemoState& atLoad, int targetMs);

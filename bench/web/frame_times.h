// The browser benchmark's timing loop, built into both of its programs: the viewer on Mesa
// (native_main.cpp) and the viewer in the browser (browser_main.cpp).
#pragma once

// The settings timed: the ladder and the tree, each with flat normals and no highlight, and with
// smooth normals and the highlight; the tree's are the last two.
constexpr int BENCHMARK_SETTINGS = 4;
constexpr int FIRST_TREE_SETTING = 2;

// How a timed frame ends, after display(): by default one pixel read back, which waits until the
// frame is drawn; the swap is not timed.
using FrameEnd = void (*)();

// Draws warm-up frames, then `frames` timed frames of one setting, each display() followed by
// `end`. Prints one JSON line: {"platform", "model", "normals", "highlight", "frames",
// "median_ms", "fastest_ms"}, and "variant" where one is named.
void timeSetting(const char *platform, int setting, int frames, const char *variant = nullptr,
                 FrameEnd end = nullptr);

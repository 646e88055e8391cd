// The browser benchmark's timing loop, built into both of its programs: the viewer on Mesa
// (native_main.cpp) and the viewer in the browser (browser_main.cpp).
#pragma once

// The settings timed: the ladder and the tree, each with flat normals and no highlight, and with
// smooth normals and the highlight.
constexpr int BENCHMARK_SETTINGS = 4;

// Draws warm-up frames, then `frames` timed frames of one setting, each display() followed by
// reading one pixel back, which waits until the frame is drawn; the swap is not timed. Prints one
// JSON line: {"platform", "model", "normals", "highlight", "frames", "median_ms", "fastest_ms"}.
void timeSetting(const char *platform, int setting, int frames);

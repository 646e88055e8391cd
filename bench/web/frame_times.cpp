#include "frame_times.h"

#include "shell/viewer_state.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Lets the renderer compile its shaders, and the browser's heap reach its size, before timing.
constexpr int WARM_UP_FRAMES = 3;

struct Setting {
    Model model;
    const char *name;
    bool smooth;
    bool highlight;
};
constexpr Setting SETTINGS[BENCHMARK_SETTINGS] = {
    {MODEL_TWISTED_LADDER, "ladder", false, false},
    {MODEL_TWISTED_LADDER, "ladder", true, true},
    {MODEL_BRANCHING_TREE, "tree", false, false},
    {MODEL_BRANCHING_TREE, "tree", true, true},
};

void readOnePixel()
{
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

double frameMs(FrameEnd end)
{
    const auto start = std::chrono::steady_clock::now();
    display();
    end();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

void timeSetting(const char *platform, int setting, int frames, const char *variant, FrameEnd end)
{
    if (end == nullptr) {
        end = readOnePixel;
    }
    const Setting &s = SETTINGS[setting];
    viewerState = ViewerState{};
    viewerState.objectIndex = s.model;
    viewerState.smoothShading = s.smooth;
    viewerState.highlight = s.highlight;
    for (int i = 0; i < WARM_UP_FRAMES; ++i) {
        frameMs(end);
    }
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        times.push_back(frameMs(end));
    }
    std::sort(times.begin(), times.end());
    std::printf("{\"platform\": \"%s\", \"model\": \"%s\", \"normals\": \"%s\", \"highlight\": %s, "
                "\"frames\": %d, \"median_ms\": %.2f, \"fastest_ms\": %.2f%s%s%s}\n",
                platform, s.name, s.smooth ? "smooth" : "flat", s.highlight ? "true" : "false",
                frames, times[times.size() / 2], times.front(), variant ? ", \"variant\": \"" : "",
                variant ? variant : "", variant ? "\"" : "");
    std::fflush(stdout);
}

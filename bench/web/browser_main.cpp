// The browser side of the benchmark: the viewer's start-up on the web layers, then the frames of
// frame_times.cpp, one setting per task so the page stays responsive between them, and the tree's
// frames with the second view closed, open on the scene from outside, and open on the picture lit
// per pixel. The number of timed frames per setting comes as the program's argument; "done" is
// printed at the end.
#include "frame_times.h"

#include "second/second.h"
#include "support/viewer_main.h"

#include <GL/glut.h>
#include <emscripten/eventloop.h>

#include <cstdio>
#include <cstdlib>

namespace {

int frames = 0;
int nextSetting = 0;

// The tree's frames again, swapped so that every listener has drawn its part, first with the second
// view closed, then open on each of what it shows: each ends once the picture, and the second view
// where it is open, has been drawn.
void pictureSwapped()
{
    glutSwapBuffers();
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

void bothViewsSwapped()
{
    pictureSwapped();
    unsigned char pixel[4];
    readSecondViewPixel(pixel);
}

struct Variant {
    const char *name;
    bool secondView, perPixel;
    FrameEnd end;
};
constexpr Variant VARIANTS[] = {{nullptr, false, false, nullptr},
                                {"picture alone, swapped", false, false, pictureSwapped},
                                {"both views, swapped", true, false, bothViewsSwapped},
                                {"both views, per pixel, swapped", true, true, bothViewsSwapped}};
constexpr int VARIANT_COUNT = sizeof VARIANTS / sizeof VARIANTS[0];
constexpr int TREE_SETTINGS = BENCHMARK_SETTINGS - FIRST_TREE_SETTING;
constexpr int STEPS = BENCHMARK_SETTINGS + (VARIANT_COUNT - 1) * TREE_SETTINGS;

void timeNextSetting(void *)
{
    // The settings as they are, then the tree's with each of the other variants.
    const int step = nextSetting;
    const int variant =
        step < BENCHMARK_SETTINGS ? 0 : 1 + (step - BENCHMARK_SETTINGS) / TREE_SETTINGS;
    const int setting = step < BENCHMARK_SETTINGS
                            ? step
                            : FIRST_TREE_SETTING + (step - BENCHMARK_SETTINGS) % TREE_SETTINGS;
    showPerPixel(VARIANTS[variant].perPixel);
    openSecondView(VARIANTS[variant].secondView);
    timeSetting("browser", setting, frames, VARIANTS[variant].name, VARIANTS[variant].end);
    if (++nextSetting < STEPS) {
        emscripten_set_timeout(timeNextSetting, 0, nullptr);
    } else {
        openSecondView(false);
        std::printf("done\n");
    }
}

} // namespace

int main(int argc, char **argv)
{
    frames = argc > 1 ? std::atoi(argv[1]) : 0;
    if (frames < 1) {
        std::fprintf(stderr, "usage: browser_frames FRAMES\n");
        return 2;
    }
    // Runs once the start-up has handed control back to the browser: glutMainLoop never returns.
    emscripten_set_timeout(timeNextSetting, 0, nullptr);
    char program[] = "orvane-viewer";
    char *args[] = {program, nullptr};
    return viewerMain(1, args);
}

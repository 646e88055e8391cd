// The browser side of the benchmark: the viewer's start-up on the web layers, then the frames of
// frame_times.cpp, one setting per task so the page stays responsive between them, and the tree's
// frames with the second view closed and open. The number of timed frames per setting comes as the
// program's argument; "done" is printed at the end.
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
// view closed, then open: each ends once the picture, and the second view where it is open, has
// been drawn.
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
    bool secondView;
    FrameEnd end;
};
constexpr Variant VARIANTS[] = {{nullptr, false, nullptr},
                                {"picture alone, swapped", false, pictureSwapped},
                                {"both views, swapped", true, bothViewsSwapped}};
constexpr int STEPS = BENCHMARK_SETTINGS + 2 * (BENCHMARK_SETTINGS - FIRST_TREE_SETTING);

void timeNextSetting(void *)
{
    // The settings as they are, then the tree's with each of the two other variants.
    const int step = nextSetting;
    const int variant = step < BENCHMARK_SETTINGS ? 0 : 1 + (step - BENCHMARK_SETTINGS) / 2;
    const int setting =
        step < BENCHMARK_SETTINGS ? step : FIRST_TREE_SETTING + (step - BENCHMARK_SETTINGS) % 2;
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

// The browser side of the benchmark: the viewer's start-up on the web layers, then the frames of
// frame_times.cpp, one setting per task so the page stays responsive between them. The number of
// timed frames per setting comes as the program's argument; "done" is printed at the end.
#include "frame_times.h"

#include "support/viewer_main.h"

#include <emscripten/eventloop.h>

#include <cstdio>
#include <cstdlib>

namespace {

int frames = 0;
int nextSetting = 0;

void timeNextSetting(void *)
{
    timeSetting("browser", nextSetting, frames);
    if (++nextSetting < BENCHMARK_SETTINGS) {
        emscripten_set_timeout(timeNextSetting, 0, nullptr);
    } else {
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

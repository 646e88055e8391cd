// The native side of the browser benchmark: the viewer's start-up on Mesa under a private Xvfb,
// then the frames of frame_times.cpp. Argument: the number of timed frames per setting.
#include "frame_times.h"

#include "bench/quiet_start.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

// Start-up returns instead of entering the event loop, and frames stay in the back buffer.
extern "C" void glutMainLoop() {}
extern "C" void glutSwapBuffers() {}

int main(int argc, char **argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 0;
    if (frames < 1) {
        std::fprintf(stderr, "usage: %s FRAMES\n", argv[0]);
        return 2;
    }
    VirtualDisplay xvfb = startViewerQuietly();
    if (xvfb.name.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }

    std::fprintf(stderr, "Mesa: %s, OpenGL %s\n", glGetString(GL_RENDERER),
                 glGetString(GL_VERSION));
    for (int setting = 0; setting < BENCHMARK_SETTINGS; ++setting) {
        timeSetting("Mesa", setting, frames);
    }
    // Closes the window and the X connection while the server is still there to answer.
    glutExit();
    stopVirtualDisplay(xvfb);
    return 0;
}

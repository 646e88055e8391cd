// Frame times of the viewer on the real GL, run through its own start-up, beside two references
// that draw the same geometry in the same GL state: the floor, the frame's own GL calls sent again
// from arrays made before timing, and the peer, the same scene drawn with freeglut's solids.
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/gl_calls.h"
#include "bench/quiet_start.h"

// The viewer's frame and models over freeglut's solids, from the library freeglut_primitives.cpp
// is built into.
extern "C" void drawFreeglutFrame(const ViewerState &state);

namespace {

// Frame times on this machine spread by 15 per cent or more from one frame to the next; about a
// hundred frames bring the median ratios within a per cent or two.
constexpr int DEFAULT_FRAMES = 101;
// Lets llvmpipe compile its shaders for the state before the timed frames.
constexpr int WARM_UP_FRAMES = 3;
constexpr const char *MODEL_NAMES[] = {"sphere", "cylinder", "ladder", "tree"};

double median(std::vector<double> values)
{
    if (values.empty()) {
        return NAN;
    }
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Wall time from the first call to the last pixel written.
template <class Draw> double frameMs(Draw draw)
{
    const auto start = std::chrono::steady_clock::now();
    draw();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Times in ms, and the ratios frame by frame: the three frames are drawn one after the other, so
// a slow spell of the machine reaches all three and cancels out of their ratios.
struct Samples {
    std::vector<double> ours, floor, peer, oursPerFloor, oursPerPeer;
};

Samples timeFrames(const ViewerState &state, const GlCalls &calls, bool withReferences, int frames)
{
    viewerState = state;
    Samples samples;
    for (int frame = -WARM_UP_FRAMES; frame < frames; ++frame) {
        const double ours = frameMs(display);
        if (frame >= 0) {
            samples.ours.push_back(ours);
        }
        if (!withReferences) {
            continue;
        }
        const double floor = frameMs([&] { replay(calls); });
        const double peer = frameMs([&] { drawFreeglutFrame(state); });
        if (frame >= 0) {
            samples.floor.push_back(floor);
            samples.peer.push_back(peer);
            samples.oursPerFloor.push_back(ours / floor);
            samples.oursPerPeer.push_back(ours / peer);
        }
    }
    return samples;
}

void append(std::vector<double> &to, const std::vector<double> &from)
{
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

// Start-up returns instead of entering the event loop, and frames stay in the back buffer.
extern "C" void glutMainLoop() {}
extern "C" void glutSwapBuffers() {}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CSV_FILE [FRAMES]\n", argv[0]);
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : DEFAULT_FRAMES;
    std::FILE *const csv = std::fopen(argv[1], "w");
    if (csv == nullptr) {
        std::perror(argv[1]);
        return 1;
    }

    VirtualDisplay xvfb = startViewerQuietly();
    if (xvfb.name.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }

    const char *const threads = std::getenv("LP_NUM_THREADS");
    std::printf("Renderer: %s, OpenGL %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    std::printf("LP_NUM_THREADS: %s (%u cores); 600 x 600 window, filled polygons\n",
                threads != nullptr ? threads : "unset, Mesa's default of one thread per core",
                std::thread::hardware_concurrency());
    std::printf("Medians of %d frames, each ended by glFinish. Floor: the same GL calls replayed "
                "from arrays. Peer: freeglut's solids.\nRatios: medians of the frame-by-frame "
                "ratios.\n\n",
                frames);
    std::printf("%-8s %-6s %-9s %9s %9s %9s %9s %9s %11s %10s\n", "model", "normal", "highlight",
                "polygons", "ours ms", "Mpoly/s", "floor ms", "peer ms", "ours/floor", "ours/peer");
    std::fprintf(csv, "model,shading,highlight,polygons,ours_ms,floor_ms,peer_ms,ours_per_floor,"
                      "ours_per_peer\n");

    GlCalls calls;
    Samples pooled[MODEL_BRANCHING_TREE + 1];
    for (int model = MODEL_SPHERE; model <= MODEL_BRANCHING_TREE; ++model) {
        for (const bool smooth : {false, true}) {
            for (const bool highlight : {false, true}) {
                ViewerState state;
                state.objectIndex = model;
                state.smoothShading = smooth;
                state.highlight = highlight;
                recordFrame(state, calls);
                const bool withReferences = model >= MODEL_TWISTED_LADDER;
                const Samples samples = timeFrames(state, calls, withReferences, frames);
                append(pooled[model].oursPerFloor, samples.oursPerFloor);
                append(pooled[model].oursPerPeer, samples.oursPerPeer);

                const auto polygons = std::count(calls.ops.begin(), calls.ops.end(), GlOp::BEGIN);
                const double ours = median(samples.ours);
                const double floor = median(samples.floor);
                const double peer = median(samples.peer);
                const double oursPerFloor = median(samples.oursPerFloor);
                const double oursPerPeer = median(samples.oursPerPeer);
                const char *const shading = smooth ? "smooth" : "flat";
                const char *const highlightState = highlight ? "on" : "off";
                std::printf("%-8s %-6s %-9s %9td %9.2f %9.2f", MODEL_NAMES[model], shading,
                            highlightState, polygons, ours, double(polygons) / ours / 1000.0);
                if (withReferences) {
                    std::printf(" %9.2f %9.2f %11.3f %10.3f", floor, peer, oursPerFloor,
                                oursPerPeer);
                }
                std::printf("\n");
                // Empty fields where a reference was not drawn: gnuplot reads them as missing.
                std::fprintf(csv, "%s,%s,%s,%td,%.4f", MODEL_NAMES[model], shading, highlightState,
                             polygons, ours);
                if (withReferences) {
                    std::fprintf(csv, ",%.4f,%.4f,%.4f,%.4f\n", floor, peer, oursPerFloor,
                                 oursPerPeer);
                } else {
                    std::fprintf(csv, ",,,,\n");
                }
            }
        }
    }
    std::printf("\nAll four settings of a model pooled:\n");
    for (int model = MODEL_TWISTED_LADDER; model <= MODEL_BRANCHING_TREE; ++model) {
        std::printf("%-8s ours/floor %.3f  ours/peer %.3f  (%zu frames each)\n", MODEL_NAMES[model],
                    median(pooled[model].oursPerFloor), median(pooled[model].oursPerPeer),
                    pooled[model].oursPerFloor.size());
    }

    std::fclose(csv);
    // Closes the window and the X connection while the server is still there to answer.
    glutExit();
    stopVirtualDisplay(xvfb);
    return 0;
}

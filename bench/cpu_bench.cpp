// The CPU side of a frame: display() with GL and GLUT replaced by the sink of gl_sink.cpp, beside
// the same calls replayed from arrays into that sink (the CPU side of frame_bench's floor) and the
// part of the frame's time the viewer's own code adds to the bare cost of its calls. Also counts
// the heap allocations made while drawing.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "bench/gl_calls.h"
#include "support/allocation_counter.h"

namespace {

constexpr const char *MODEL_NAMES[] = {"sphere", "cylinder", "ladder", "tree"};

// Counted in the own work's time alone, a tenth of the frame and its calls drawn together, so
// this keeps each repetition near a second of running.
constexpr double OWN_WORK_MIN_SECONDS = 0.05;

long countOf(const GlCalls &calls, GlOp op)
{
    return std::count(calls.ops.begin(), calls.ops.end(), op);
}

// Times the drawing, then counts its allocations on one more frame after the timed ones, so the
// benchmark library's own allocations around its loop stay out of the count.
template <class Draw> void measure(benchmark::State &state, const GlCalls &calls, Draw draw)
{
    for (auto _ : state) {
        draw();
    }
    const long polygons = countOf(calls, GlOp::BEGIN);
    state.counters["polygons"] = double(polygons);
    state.counters["per_polygon"] =
        benchmark::Counter(double(polygons), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
    const long before = allocationCount();
    draw();
    state.counters["allocs_per_frame"] = double(allocationCount() - before);
}

void frame(benchmark::State &state, const ViewerState &viewer)
{
    GlCalls calls;
    recordFrame(viewer, calls);
    viewerState = viewer;
    measure(state, calls, display);
}

void replayed(benchmark::State &state, const ViewerState &viewer)
{
    GlCalls calls;
    recordFrame(viewer, calls);
    measure(state, calls, [&] { replay(calls); });
}

// The same number of drawing calls as the frame, with arguments that cost nothing to work out:
// what any immediate-mode drawing of these polygons pays, whoever computes them.
void drawCallsOnly(long polygons, long normalsPerPolygon, long verticesPerPolygon)
{
    for (long polygon = 0; polygon < polygons; ++polygon) {
        glBegin(GL_POLYGON);
        for (long normal = 0; normal < normalsPerPolygon; ++normal) {
            glNormal3d(0.0, 0.0, 1.0);
        }
        for (long vertex = 0; vertex < verticesPerPolygon; ++vertex) {
            glVertex3d(1.0, 0.0, 0.0);
        }
        glEnd();
    }
}

// The frame's time less that of its calls alone, drawn one after the other on every iteration so
// that the machine's drifts in speed, which are larger than the difference, cancel out. A
// difference below zero counts as zero.
void ownWork(benchmark::State &state, const ViewerState &viewer)
{
    GlCalls calls;
    recordFrame(viewer, calls);
    viewerState = viewer;
    const long polygons = countOf(calls, GlOp::BEGIN);
    const long normalsPerPolygon = countOf(calls, GlOp::NORMAL) / polygons;
    const long verticesPerPolygon = countOf(calls, GlOp::VERTEX) / polygons;
    using Clock = std::chrono::steady_clock;
    double totalSeconds = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        display();
        const Clock::time_point drawn = Clock::now();
        drawCallsOnly(polygons, normalsPerPolygon, verticesPerPolygon);
        const std::chrono::duration<double> frame = drawn - start;
        const std::chrono::duration<double> callsAlone = Clock::now() - drawn;
        const double seconds = std::max(0.0, frame.count() - callsAlone.count());
        state.SetIterationTime(seconds);
        totalSeconds += seconds;
    }
    state.counters["polygons"] = double(polygons);
    state.counters["per_polygon_ns"] =
        totalSeconds * 1e9 / double(state.iterations()) / double(polygons);
}

} // namespace

int main(int argc, char **argv)
{
    for (int model = MODEL_SPHERE; model <= MODEL_BRANCHING_TREE; ++model) {
        for (const bool smooth : {false, true}) {
            ViewerState viewer;
            viewer.objectIndex = model;
            viewer.smoothShading = smooth;
            const std::string name =
                std::string(MODEL_NAMES[model]) + (smooth ? "/smooth" : "/flat");
            benchmark::RegisterBenchmark(("frame/" + name).c_str(), frame, viewer)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("replay/" + name).c_str(), replayed, viewer)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("own_work/" + name).c_str(), ownWork, viewer)
                ->UseManualTime()
                ->MinTime(OWN_WORK_MIN_SECONDS)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

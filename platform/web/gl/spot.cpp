// Whether the spotlight reaches the model. A student who narrows the cone past the model sees it go
// dark and nothing else: the page says so, and by how many degrees the cone misses. Light 0 reaches
// a corner where the angle between the spot's axis and the way from the light to the corner is at
// most the cutoff; the frame's nearest corner, by that angle, says whether any does.
#include "gl/internal.h"

#include <emscripten.h>

#include <cmath>
#include <cstdio>

namespace {

struct Reach {
    bool spotlight;     // light 0 lit the frame as a spotlight
    GLfloat cutoff;     // degrees
    GLfloat nearestCos; // the cosine of the smallest angle off the axis of any corner drawn
};
Reach drawing = {};
Reach shown = {};

void note(const Draw &draw)
{
    const LightingState &lighting = *draw.lighting;
    const LightSource &light = lighting.lights[0];
    if (!lighting.enabled || !light.enabled || light.spotCutoff == NO_SPOTLIGHT) {
        return;
    }
    const equation::Light<GLfloat> shaded = equationLight(light);
    const GLfloat *p = light.position;
    if (!drawing.spotlight) {
        drawing = {true, light.spotCutoff, -2.0f};
    }
    for (std::size_t i = 0; i < draw.vertexCount; ++i) {
        const GLfloat *v = draw.vertices[i].position;
        const equation::Vec<GLfloat> fromLight =
            p[3] != 0.0f
                ? equation::Vec<GLfloat>{v[0] - p[0] / p[3], v[1] - p[1] / p[3], v[2] - p[2] / p[3]}
                : equation::Vec<GLfloat>{-p[0], -p[1], -p[2]};
        const GLfloat along = equation::dot(equation::normalised(fromLight), shaded.spotDirection);
        if (along > drawing.nearestCos) {
            drawing.nearestCos = along;
        }
    }
}

void cleared()
{
    drawing = {};
}

void finished()
{
    shown = drawing;
    drawing = {};
}

constexpr FrameListener SPOT_REACH = {note, cleared, finished, nullptr};

} // namespace

void watchSpotReach()
{
    listenToFrames(&SPOT_REACH, true);
}

// For the page: {"spotlight": false}, or the cutoff and the smallest angle off the axis of any
// corner of the frame on screen, in degrees: the spot misses the model where it is the larger.
extern "C" EMSCRIPTEN_KEEPALIVE const char *orvane_spot_reach()
{
    static char json[96];
    if (!shown.spotlight) {
        std::snprintf(json, sizeof json, "{\"spotlight\":false}");
    } else {
        constexpr double DEGREES_PER_RADIAN = 180.0 / 3.14159265358979323846;
        const double nearest =
            std::acos(std::fmax(-1.0, std::fmin(1.0, double(shown.nearestCos)))) *
            DEGREES_PER_RADIAN;
        std::snprintf(json, sizeof json, "{\"spotlight\":true,\"cutoff\":%.9g,\"nearest\":%.9g}",
                      double(shown.cutoff), nearest);
    }
    return json;
}

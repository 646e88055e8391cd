// Finding the polygon: the front-most kept triangle over a pixel's centre, found as the
// rasteriser finds it, with the weights it interpolated the corners' colours with.
#include "gl/probe/probe.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Where the rasteriser puts a corner: window coordinates snapped to its 1/16 pixel
// (GL_SUBPIXEL_BITS 4), window depth, and clip w for perspective-correct interpolation.
struct WindowCorner {
    std::int64_t x, y; // sixteenths of a pixel
    double depth;
    double w;
};
constexpr std::int64_t SUBPIXELS = 16;

WindowCorner toWindow(const BatchVertex &vertex, const KeptDraw &draw)
{
    const GLfloat eye[4] = {vertex.position[0], vertex.position[1], vertex.position[2], 1.0f};
    GLfloat clip[4];
    transform(draw.projection, eye, clip);
    // In single precision, as the GPU divides and scales.
    const GLint *v = draw.viewport;
    const GLfloat halfWidth = static_cast<GLfloat>(v[2]) * 0.5f;
    const GLfloat halfHeight = static_cast<GLfloat>(v[3]) * 0.5f;
    const GLfloat x = clip[0] / clip[3] * halfWidth + (static_cast<GLfloat>(v[0]) + halfWidth);
    const GLfloat y = clip[1] / clip[3] * halfHeight + (static_cast<GLfloat>(v[1]) + halfHeight);
    constexpr GLfloat scale = SUBPIXELS;
    return {std::llround(x * scale), std::llround(y * scale), (clip[2] / clip[3] + 1.0) * 0.5,
            clip[3]};
}

// Twice the signed area of (a, b, p) in sixteenths: positive where p lies left of a -> b.
std::int64_t edge(const WindowCorner &a, const WindowCorner &b, std::int64_t px, std::int64_t py)
{
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

// Pixel centres exactly on an edge shared by two triangles go to one of them only: the one the
// edge bounds on its left, or on its top as the picture stands on the screen. With the corners
// counter-clockwise, a left edge runs down and a top edge right to left.
bool ownsCentresOn(const WindowCorner &a, const WindowCorner &b)
{
    return b.y < a.y || (b.y == a.y && b.x < a.x);
}

// The triangle (a, b, c) if it covers the pixel centre (px, py) in front of `best`.
void test(const WindowCorner corners[3], std::int64_t px, std::int64_t py, Hit &best,
          std::size_t draw, std::size_t triangle)
{
    // Behind the eye the rasteriser draws what clipping leaves; the viewer keeps its models in
    // front, and the probe does not clip.
    if (corners[0].w <= 0.0 || corners[1].w <= 0.0 || corners[2].w <= 0.0) {
        return;
    }
    int order[3] = {0, 1, 2};
    std::int64_t area = edge(corners[0], corners[1], corners[2].x, corners[2].y);
    if (area == 0) {
        return;
    }
    const bool clockwise = area < 0;
    if (clockwise) {
        std::swap(order[1], order[2]);
        area = -area;
    }
    std::int64_t share[3];
    for (int i = 0; i < 3; ++i) {
        const WindowCorner &from = corners[order[(i + 1) % 3]];
        const WindowCorner &to = corners[order[(i + 2) % 3]];
        share[i] = edge(from, to, px, py);
        if (share[i] < 0 || (share[i] == 0 && !ownsCentresOn(from, to))) {
            return;
        }
    }
    double screen[3];
    double depth = 0.0;
    for (int i = 0; i < 3; ++i) {
        screen[order[i]] = static_cast<double>(share[i]) / static_cast<double>(area);
        depth += screen[order[i]] * corners[order[i]].depth;
    }
    if (depth < 0.0 || depth > 1.0) {
        return;
    }
    const auto stored = static_cast<std::uint32_t>(std::lround(depth * DEPTH_LEVELS));
    // GL_LESS: an equal depth drawn later does not replace what is there.
    if (best.found && stored >= best.depth) {
        return;
    }
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        best.weights[i] = screen[i] / corners[i].w;
        sum += best.weights[i];
    }
    for (double &weight : best.weights) {
        weight /= sum;
    }
    best.found = true;
    best.draw = draw;
    best.triangle = triangle;
    best.depth = stored;
    best.backFacing = clockwise;
}

} // namespace

Hit frontMost(const KeptFrame &frame, int x, int y)
{
    const std::int64_t px = x * SUBPIXELS + SUBPIXELS / 2;
    const std::int64_t py = y * SUBPIXELS + SUBPIXELS / 2;
    Hit best = {};
    std::vector<WindowCorner> window;
    for (std::size_t d = 0; d < frame.draws.size(); ++d) {
        const KeptDraw &draw = frame.draws[d];
        const BatchVertex *vertices = frame.vertices.data() + draw.firstVertex;
        const GLushort *indices = frame.indices.data() + draw.firstIndex;
        const std::size_t vertexCount =
            (d + 1 < frame.draws.size() ? frame.draws[d + 1].firstVertex : frame.vertices.size()) -
            draw.firstVertex;
        window.resize(vertexCount);
        for (std::size_t i = 0; i < vertexCount; ++i) {
            window[i] = toWindow(vertices[i], draw);
        }
        for (std::size_t t = 0; t + 2 < draw.indexCount; t += 3) {
            const WindowCorner corners[3] = {window[indices[t]], window[indices[t + 1]],
                                             window[indices[t + 2]]};
            test(corners, px, py, best, d, t);
        }
    }
    return best;
}

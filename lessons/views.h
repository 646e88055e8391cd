// What the lessons' pictures show: the viewer's state for each frame and the part of the window
// each picture keeps. The program that renders the pictures and the one that records the calls
// both read it, so the normals drawn from the recorded calls land on the rendered pixels.
#pragma once

#include "shell/viewer_state.h"

namespace lessons {

// A square of the window, in pixels from its top left, enlarged `scale` times in the picture.
struct Region {
    int left = 0;
    int top = 0;
    int size = 0;
    int scale = 1;
};

// The unit sphere's disc is 278 pixels across at the start zoom; this keeps it with a margin.
constexpr Region WHOLE_SPHERE{150, 150, 300, 1};
// A patch on the right of the sphere, where the light grazes it, so neighbouring facets differ
// most, and where the normals lean far enough from the line of sight to show as lines. Its
// top right corner shows the sphere's outline.
constexpr Region NORMALS_PATCH{340, 210, 90, 3};
constexpr Region WHOLE_WINDOW{0, 0, 600, 1};

// Pictures of several frames put the same region of each side by side, in rows, this far apart.
constexpr int PANEL_GAP = 12;

constexpr int panelOffset(const Region &region, int index)
{
    return index * (region.size * region.scale + PANEL_GAP);
}

inline ViewerState sphere(bool smooth, bool highlight)
{
    ViewerState state;
    state.smoothShading = smooth;
    state.highlight = highlight;
    return state;
}

// Zoomed out until all forty rungs fit, and turned so the helix of the balls shows.
inline ViewerState ladder()
{
    ViewerState state;
    state.objectIndex = MODEL_TWISTED_LADDER;
    state.zoom = 0.4f;
    state.angleX = 15.0f;
    state.angleY = 25.0f;
    return state;
}

inline ViewerState tree()
{
    ViewerState state;
    state.objectIndex = MODEL_BRANCHING_TREE;
    return state;
}

} // namespace lessons

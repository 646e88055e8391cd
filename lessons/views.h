// What the lessons' pictures show: the viewer's state for each frame and the part of the window
// each picture keeps. The program that renders the pictures and the one that records the calls
// both read it, so the normals drawn from the recorded calls land on the rendered pixels.
#pragma once

#include "shell/viewer_state.h"

#include <array>

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

// What lesson 7 changes of light 0 and the light model: the settings initLighting leaves at GL's
// defaults, and the position it does set. The defaults below are GL's, so a change that keeps one
// keeps what the viewer draws; the position moves only when `moved` is set.
struct LightChange {
    bool moved = false;
    std::array<float, 4> position{};
    std::array<float, 3> spotDirection{0.0f, 0.0f, -1.0f};
    float spotCutoff = 180.0f; // degrees; 180 means no cone at all
    float spotExponent = 0.0f;
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    bool localViewer = false;
    bool twoSide = false;
};

// GL's back material, which the viewer never sets: two-sided lighting lights back faces with it.
struct DefaultBackMaterial {
    std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> emission{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
};

// A pixel of the first frame on the sphere's right half, whose facets the viewer sends wound
// clockwise on the screen: the back faces two-sided lighting shows. It lies in the middle of a
// facet on the lower right, where the normal turned round faces the light most.
struct WindowPixel {
    int x = 0;
    int y = 0;
};
constexpr WindowPixel ON_BACK_FACE{397, 383};

// The viewer's light points the same way from the eye, but as a direction: w = 0.
constexpr std::array<float, 4> FAR_DIRECTION{-1.0f, 1.0f, 1.0f, 0.0f};
// The unit sphere's centre lies 6 units in front of the eye. From the viewer's light, 177 units
// away, the sphere spans under a degree; from here, up and left and 3.7 units from its centre, it
// spans 16 degrees about its centre, so a cone can take in a part of it, and the side turned to the
// light runs from 2.7 to 4.7 units away.
constexpr std::array<float, 4> NEAR_POSITION{-1.5f, 1.5f, -3.0f, 1.0f};
// From the near light to the sphere's centre.
constexpr std::array<float, 3> AT_SPHERE{1.5f, -1.5f, -3.0f};
// A hard-edged cone narrow enough to light a patch of the sphere, not all the side it faces.
constexpr float SPOT_CUTOFF = 10.0f;
// A cone that takes in the whole sphere, so that no edge shows and the exponent alone shapes the
// light: it falls to a half 8.7 degrees off the axis.
constexpr float SOFT_SPOT_CUTOFF = 20.0f;
constexpr float SOFT_SPOT_EXPONENT = 60.0f;
// Light from a point falls off with the square of the distance. This makes the factor about 1 at
// the point of the sphere nearest the near light, 2.67 units away.
constexpr float QUADRATIC_ATTENUATION = 0.14f;

inline LightChange movedTo(const std::array<float, 4> &position)
{
    LightChange light;
    light.moved = true;
    light.position = position;
    return light;
}

inline LightChange spotlight(float cutoff, float exponent)
{
    LightChange light = movedTo(NEAR_POSITION);
    light.spotDirection = AT_SPHERE;
    light.spotCutoff = cutoff;
    light.spotExponent = exponent;
    return light;
}

inline LightChange attenuated()
{
    LightChange light = movedTo(NEAR_POSITION);
    light.constantAttenuation = 0.0f;
    light.quadraticAttenuation = QUADRATIC_ATTENUATION;
    return light;
}

inline LightChange localViewer()
{
    LightChange light;
    light.localViewer = true;
    return light;
}

inline LightChange bothSides()
{
    LightChange light;
    light.twoSide = true;
    return light;
}

// One of lesson 7's frames: the keys' state, the light, and the name its numbers go under.
struct LitFrame {
    const char *name;
    ViewerState state;
    LightChange light;
};

// The first frame, with the light as a direction.
inline LitFrame directional()
{
    return {"DIRECTIONAL", sphere(false, false), movedTo(FAR_DIRECTION)};
}

// The smooth sphere with the light close by, as a plain point, then as two spots, then fading.
inline LitFrame nearPoint()
{
    return {"NEAR", sphere(true, false), movedTo(NEAR_POSITION)};
}

inline LitFrame hardSpot()
{
    return {"SPOT", sphere(true, false), spotlight(SPOT_CUTOFF, 0.0f)};
}

inline LitFrame softSpot()
{
    return {"SOFT_SPOT", sphere(true, false), spotlight(SOFT_SPOT_CUTOFF, SOFT_SPOT_EXPONENT)};
}

inline LitFrame fading()
{
    return {"ATTENUATED", sphere(true, false), attenuated()};
}

// Lesson 3's highlight, with the viewer at the eye instead of far along +z.
inline LitFrame localHighlight()
{
    return {"LOCAL_VIEWER", sphere(true, true), localViewer()};
}

// The first frame, lit on both sides.
inline LitFrame twoSided()
{
    return {"TWO_SIDED", sphere(false, false), bothSides()};
}

// Lesson 7's second light: GL_LIGHT1, which GL starts black, given a grey diffuse colour and a
// direction from the lower right and in front, so that on the smooth sphere its light overlaps
// light 0's, and their sum passes 1 in the blue the sphere reflects most.
struct SecondLight {
    std::array<float, 4> position{};
    std::array<float, 4> diffuse{};
};
constexpr SecondLight SECOND_LIGHT{{1.0f, -0.5f, 1.0f, 0.0f}, {0.8f, 0.8f, 0.8f, 1.0f}};

inline std::array<LitFrame, 7> litFrames()
{
    return {directional(), nearPoint(),      hardSpot(), softSpot(),
            fading(),      localHighlight(), twoSided()};
}

} // namespace lessons

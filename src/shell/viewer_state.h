// The viewer shell: the state every callback shares, the one-time lighting set-up and the frame.
#pragma once

#include <cstdint>

// Values of ViewerState::objectIndex, in the order of the keys 1 to 4.
enum Model : std::int32_t {
    MODEL_SPHERE = 0,
    MODEL_CYLINDER = 1,
    MODEL_TWISTED_LADDER = 2,
    MODEL_BRANCHING_TREE = 3,
};

// Everything the viewer remembers between events. The input callbacks write it, the frame and the
// primitives read it; it starts as below and is never reset.
struct ViewerState {
    std::int32_t objectIndex = MODEL_SPHERE;
    bool smoothShading = false;  // one normal per vertex instead of one per facet
    bool highlight = false;      // specular reflection in the material's own diffuse colour
    float angleX = 0.0f;         // degrees, never wrapped
    float angleY = 0.0f;         // degrees, never wrapped
    float zoom = 1.0f;           // never clamped: it may reach zero or turn negative
    std::int32_t dragActive = 0; // 1 from a button press until the next release of any button
    std::int32_t dragButton = 0; // GLUT button number of the last press or release
    std::int32_t lastMouseX = 0; // window pixels at the last press or drag event
    std::int32_t lastMouseY = 0;
};

extern ViewerState viewerState;

// Shading, normalisation, depth clear value and light 0: GL state that holds for the whole run.
void initLighting();

// The GLUT display callback: draws the selected model from viewerState and swaps the buffers.
void display();

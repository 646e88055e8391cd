// The GL state the layer keeps, as GL starts it: identity matrices with the modelview stack in
// force; lighting off, with every light at (0, 0, 1, 0), no ambient, no spotlight and no
// attenuation, light 0's diffuse and specular white and the other lights' black, a global ambient
// of 0.2, a viewer at infinity, one-sided lighting and smooth shading; both faces in GL's initial
// material; polygons filled, no culling, the normal (0, 0, 1); black clear colour, depth 1, no
// depth test, the viewport not set; no error.
#include "gl/internal.h"

namespace {

constexpr FaceMaterial DEFAULT_MATERIAL = {{0.2f, 0.2f, 0.2f, 1.0f},
                                           {0.8f, 0.8f, 0.8f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           {0.0f, 0.0f, 0.0f, 1.0f},
                                           0.0f};

constexpr LightSource LIGHT_0 = {false,
                                 {0.0f, 0.0f, 1.0f, 0.0f},
                                 {0.0f, 0.0f, 0.0f, 1.0f},
                                 {1.0f, 1.0f, 1.0f, 1.0f},
                                 {1.0f, 1.0f, 1.0f, 1.0f},
                                 {0.0f, 0.0f, -1.0f},
                                 0.0f,
                                 NO_SPOTLIGHT,
                                 {1.0f, 0.0f, 0.0f}};
// GL starts every other light as light 0, but black: enabling one alone adds nothing.
constexpr LightSource blackened(LightSource light)
{
    for (int i = 0; i < 3; ++i) {
        light.diffuse[i] = light.specular[i] = 0.0f;
    }
    return light;
}

GlState initialState()
{
    GlState state = {};
    state.transform.modelview = {{IDENTITY}, 1};
    state.transform.projection = {{IDENTITY}, 1};
    state.transform.matrixMode = GL_MODELVIEW;
    state.transform.normals = IDENTITY;
    state.transform.normalsMadeAt = ~0u;
    state.lighting.sceneAmbient[0] = state.lighting.sceneAmbient[1] =
        state.lighting.sceneAmbient[2] = 0.2f;
    state.lighting.sceneAmbient[3] = 1.0f;
    state.lighting.lights[0] = LIGHT_0;
    for (int i = 1; i < LIGHTS; ++i) {
        state.lighting.lights[i] = blackened(LIGHT_0);
    }
    state.materials.front = state.materials.back = DEFAULT_MATERIAL;
    state.polygons.mode = GL_FILL;
    state.polygons.normal[2] = 1.0f;
    state.fragment.clearDepth = 1.0f;
    state.fragment.depthMask = GL_TRUE;
    state.error = GL_NO_ERROR;
    return state;
}

} // namespace

GlState glState = initialState();

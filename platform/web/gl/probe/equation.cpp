// The lighting equation at one corner, step for step as the vertex shader (gl/shader.cpp) works it
// out, in single precision, with each term kept for the page.
#include "gl/probe/probe.h"

#include <algorithm>

CornerLight lightCorner(const BatchVertex &vertex, const FaceMaterial &material,
                        const LightingState &lighting)
{
    CornerLight c = {};
    const Vec3 position = {vertex.position[0], vertex.position[1], vertex.position[2]};
    const Vec3 normal = {vertex.normal[0], vertex.normal[1], vertex.normal[2]};
    c.n = lighting.normalize ? equation::normalised(normal) : normal;
    equation::Material<GLfloat> m = {};
    std::copy_n(material.ambient, 3, m.ambient);
    std::copy_n(material.diffuse, 3, m.diffuse);
    std::copy_n(material.specular, 3, m.specular);
    std::copy_n(material.emission, 3, m.emission);
    m.shininess = material.shininess;
    GLfloat sum[3];
    for (int i = 0; i < 3; ++i) {
        c.emission[i] = material.emission[i];
        c.sceneAmbient[i] = material.ambient[i] * lighting.sceneAmbient[i];
        sum[i] = c.emission[i] + c.sceneAmbient[i];
    }
    // Light 0's terms are worked out on or off, for the panel's rows; the others only when on.
    for (int l = 0; l < LIGHTS; ++l) {
        const LightSource &light = lighting.lights[l];
        if (l == 0 || light.enabled) {
            c.lights[l] =
                equation::lightTerms(position, c.n, equationLight(light), m, lighting.localViewer);
        }
        for (int i = 0; light.enabled && i < 3; ++i) {
            sum[i] += c.lights[l].reach * c.lights[l].lit[i];
        }
    }
    for (int i = 0; i < 3; ++i) {
        c.colour[i] = lighting.enabled ? std::clamp(sum[i], 0.0f, 1.0f) : 1.0f;
    }
    return c;
}

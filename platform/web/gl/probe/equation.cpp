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
    for (int l = 0; l < LIGHTS; ++l) {
        c.lights[l] = equation::lightTerms(position, c.n, equationLight(lighting.lights[l]), m,
                                           lighting.localViewer);
    }
    for (int i = 0; i < 3; ++i) {
        c.emission[i] = material.emission[i];
        c.sceneAmbient[i] = material.ambient[i] * lighting.sceneAmbient[i];
        GLfloat sum = c.emission[i] + c.sceneAmbient[i];
        for (int l = 0; l < LIGHTS; ++l) {
            if (lighting.lights[l].enabled) {
                sum += c.lights[l].reach * c.lights[l].lit[i];
            }
        }
        c.colour[i] = lighting.enabled ? std::clamp(sum, 0.0f, 1.0f) : 1.0f;
    }
    return c;
}

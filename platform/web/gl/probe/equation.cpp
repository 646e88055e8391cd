// The lighting equation at one corner, step for step as the vertex shader (webgl.cpp) works it out,
// in single precision, with each term kept for the page.
#include "gl/probe/probe.h"

#include <algorithm>
#include <cmath>

namespace {

Vec3 add(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

GLfloat dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

GLfloat length(Vec3 v)
{
    return std::sqrt(dot(v, v));
}

Vec3 normalised(Vec3 v)
{
    const GLfloat l = length(v);
    return {v.x / l, v.y / l, v.z / l};
}

// The shader's power(): x^0 is 1, also for x = 0; otherwise 0 where x is not above 0.
GLfloat power(GLfloat x, GLfloat e)
{
    if (e == 0.0f) {
        return 1.0f;
    }
    return x > 0.0f ? std::pow(x, e) : 0.0f;
}

} // namespace

CornerLight lightCorner(const BatchVertex &vertex, const FaceMaterial &material,
                        const LightingState &lighting)
{
    CornerLight c = {};
    const Vec3 position = {vertex.position[0], vertex.position[1], vertex.position[2]};
    const Vec3 normal = {vertex.normal[0], vertex.normal[1], vertex.normal[2]};
    c.n = lighting.normalize ? normalised(normal) : normal;
    const GLfloat *p = lighting.lightPosition;
    const bool positional = p[3] != 0.0f;
    const Vec3 toLight = positional ? Vec3{p[0] / p[3] - position.x, p[1] / p[3] - position.y,
                                           p[2] / p[3] - position.z}
                                    : Vec3{p[0], p[1], p[2]};
    c.l = normalised(toLight);
    c.attenuation = 1.0f;
    if (positional) {
        c.distance = length(toLight);
        const GLfloat *k = lighting.attenuation;
        c.attenuation = 1.0f / (k[0] + k[1] * c.distance + k[2] * c.distance * c.distance);
    }
    c.spot = 1.0f;
    if (lighting.spotCutoff != NO_SPOTLIGHT) {
        GLfloat d[3];
        unitSpotDirection(lighting, d);
        c.spotDot = -dot(c.l, {d[0], d[1], d[2]});
        c.spot =
            c.spotDot > spotCosCutoff(lighting) ? power(c.spotDot, lighting.spotExponent) : 0.0f;
    }
    const Vec3 toEye = lighting.localViewer ? normalised({-position.x, -position.y, -position.z})
                                            : Vec3{0.0f, 0.0f, 1.0f};
    c.h = normalised(add(c.l, toEye));
    c.nDotL = dot(c.n, c.l);
    c.nDotH = dot(c.n, c.h);
    c.diffuseFactor = std::max(c.nDotL, 0.0f);
    if (c.nDotL > 0.0f) {
        c.specularFactor = power(std::max(c.nDotH, 0.0f), material.shininess);
    }
    const GLfloat reach = c.attenuation * c.spot;
    for (int i = 0; i < 3; ++i) {
        c.emission[i] = material.emission[i];
        c.sceneAmbient[i] = material.ambient[i] * lighting.sceneAmbient[i];
        GLfloat sum = c.emission[i] + c.sceneAmbient[i];
        if (lighting.light0) {
            const GLfloat ambient = material.ambient[i] * lighting.lightAmbient[i];
            const GLfloat diffuse = material.diffuse[i] * lighting.lightDiffuse[i];
            const GLfloat specular = material.specular[i] * lighting.lightSpecular[i];
            c.lightAmbient[i] = reach * ambient;
            c.diffuse[i] = reach * (c.diffuseFactor * diffuse);
            c.specular[i] = reach * (c.specularFactor * specular);
            sum += reach * (ambient + c.diffuseFactor * diffuse + c.specularFactor * specular);
        }
        c.colour[i] = lighting.enabled ? std::clamp(sum, 0.0f, 1.0f) : 1.0f;
    }
    return c;
}

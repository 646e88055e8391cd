// OpenGL 1.x's lighting equation at one point, in the steps the layer's vertex shader takes
// (shader.cpp): for the probe, which works it out as the shader does in single precision, and for
// the lessons' generator, which works it out in double precision. Real is float or double.
//
//   colour = emission + ambient_m x global ambient
//          + sum over the lights of reach x (ambient_m x ambient_l + max(N.L, 0) diffuse_m x
//            diffuse_l + f (N.H)^shininess specular_m x specular_l)
//
// with L the unit vector to the light, H the unit vector half way from L to the viewer (along +z
// for a viewer at infinity, towards the eye for a local one), f = 0 where N.L is not above 0, and
// the sum clamped to 0..1 by the caller. The reach is attenuation x spot: attenuation
// 1 / (constant + linear d + quadratic d^2) at distance d from a positional light, 1 for a light
// at infinity; spot (-L.D)^exponent inside the cone about the spot direction D, 0 outside it, 1
// without a spotlight. The light's position and D are in eye coordinates, as GL keeps them.
#pragma once

#include <cmath>

namespace equation {

template <typename Real> struct Vec {
    Real x, y, z;
};

template <typename Real> Vec<Real> add(Vec<Real> a, Vec<Real> b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

template <typename Real> Real dot(Vec<Real> a, Vec<Real> b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <typename Real> Real length(Vec<Real> v)
{
    return std::sqrt(dot(v, v));
}

template <typename Real> Vec<Real> normalised(Vec<Real> v)
{
    const Real l = length(v);
    return {v.x / l, v.y / l, v.z / l};
}

// x^e, with x^0 = 1 also for x = 0, and 0 for x <= 0 otherwise: the shader's power().
template <typename Real> Real power(Real x, Real e)
{
    if (e == Real(0)) {
        return Real(1);
    }
    return x > Real(0) ? std::pow(x, e) : Real(0);
}

// One light as the equation takes it: spotDirection made unit length, the cutoff as its cosine.
template <typename Real> struct Light {
    Real position[4];
    Real ambient[3], diffuse[3], specular[3];
    bool spotlight;
    Vec<Real> spotDirection;
    Real spotCosCutoff, spotExponent;
    Real attenuation[3]; // constant, linear, quadratic
};

template <typename Real> struct Material {
    Real ambient[3], diffuse[3], specular[3], emission[3];
    Real shininess;
};

// What one light adds at a point, and the vectors and factors it comes from.
template <typename Real> struct LightTerms {
    Vec<Real> l, h, v; // to the light, half way, to the viewer; unit length
    Real nDotL, nDotH;
    Real distance;    // to a positional light; 0 for one at infinity
    Real attenuation; // 1 for a light at infinity
    Real spotDot;     // -L.D, the cosine of the angle off the spot's axis; 0 without a spotlight
    Real spot;        // 1 without a spotlight
    Real diffuseFactor, specularFactor;
    Real reach;                               // attenuation x spot
    Real ambient[3], diffuse[3], specular[3]; // each times the reach
    // ambient + diffuse + specular before the reach, summed as the shader sums them: the colour
    // gains reach x lit.
    Real lit[3];
};

// The terms `light` adds at eye position `point` with normal `n` (unit length, as GL_NORMALIZE
// leaves it, and turned round on a back face under two-sided lighting).
template <typename Real>
LightTerms<Real> lightTerms(Vec<Real> point, Vec<Real> n, const Light<Real> &light,
                            const Material<Real> &m, bool localViewer)
{
    LightTerms<Real> t = {};
    const Real *p = light.position;
    const bool positional = p[3] != Real(0);
    const Vec<Real> toLight =
        positional ? Vec<Real>{p[0] / p[3] - point.x, p[1] / p[3] - point.y, p[2] / p[3] - point.z}
                   : Vec<Real>{p[0], p[1], p[2]};
    t.l = normalised(toLight);
    t.attenuation = Real(1);
    if (positional) {
        t.distance = length(toLight);
        const Real *k = light.attenuation;
        t.attenuation = Real(1) / (k[0] + k[1] * t.distance + k[2] * t.distance * t.distance);
    }
    t.spot = Real(1);
    if (light.spotlight) {
        t.spotDot = -dot(t.l, light.spotDirection);
        t.spot = t.spotDot > light.spotCosCutoff ? power(t.spotDot, light.spotExponent) : Real(0);
    }
    t.v = localViewer ? normalised(Vec<Real>{-point.x, -point.y, -point.z})
                      : Vec<Real>{Real(0), Real(0), Real(1)};
    t.h = normalised(add(t.l, t.v));
    t.nDotL = dot(n, t.l);
    t.nDotH = dot(n, t.h);
    t.diffuseFactor = t.nDotL > Real(0) ? t.nDotL : Real(0);
    if (t.nDotL > Real(0)) {
        t.specularFactor = power(t.nDotH > Real(0) ? t.nDotH : Real(0), m.shininess);
    }
    t.reach = t.attenuation * t.spot;
    for (int i = 0; i < 3; ++i) {
        const Real ambient = m.ambient[i] * light.ambient[i];
        const Real diffuse = m.diffuse[i] * light.diffuse[i];
        const Real specular = m.specular[i] * light.specular[i];
        t.ambient[i] = t.reach * ambient;
        t.diffuse[i] = t.reach * (t.diffuseFactor * diffuse);
        t.specular[i] = t.reach * (t.specularFactor * specular);
        t.lit[i] = ambient + t.diffuseFactor * diffuse + t.specularFactor * specular;
    }
    return t;
}

} // namespace equation

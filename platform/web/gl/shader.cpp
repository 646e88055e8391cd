// The shader that evaluates OpenGL 1.x's lighting equation (gl/equation.h works the same equation
// out on the CPU, step for step). webgl.cpp compiles it in the picture's context, and a second view
// in its own.
#include "gl/internal.h"

// As OpenGL 1.x writes the equation for one light: emission + ambient x global ambient +
// attenuation x spot x (ambient x light ambient + (n . L) diffuse x light diffuse + f (n .
// h)^shininess specular x light specular), with L the unit vector to the light, h the unit vector
// half way from L to the eye (straight along +z for a viewer at infinity), dot products clamped at
// 0, f = 0 where the clamped n . L is 0 (no highlight where the light does not reach), and the sum
// clamped to 0..1. Attenuation, 1 / (constant + linear d + quadratic d^2) at distance d, is 1 for a
// directional light. The spot factor, 1 without a spotlight, is (-L . D)^exponent inside the cone
// about the spot direction D and 0 outside it. Alpha is the diffuse material's.
//
// GL works it out per vertex, with PER_CORNER defined: the vertex shader calls it at each corner
// and the rasteriser blends the colours. Under GL_FLAT every corner of a polygon is lit at its
// first corner, with its normal and its material, which takes the place of the flat interpolation
// WebGL 1 lacks. With PER_PIXEL defined, for the view that shows what GL leaves out, the fragment
// shader calls it, with the position and the normal blended across the polygon; GL_FLAT, a
// per-corner idea, is then ignored, and each corner's own normal is blended. With both defined one
// draw works it out both ways and writes two colours (gl/per_pixel.cpp). Per pixel, the polygon's
// material is handed over as it stands, two at a time, a draw split into runs of at most two
// materials (webgl.cpp), and a value the same at every corner says which: on a GPU on the CPU,
// blending the material's sixteen numbers across the tree's small triangles cost more than the
// equation, and so did a draw for each rod and each ball.
//
// The shader is compiled in variants. Where light 0 is the only light on and it has no spot and
// no attenuation, the viewer is at infinity and the shading smooth, as the viewer leaves them, the
// two functions that follow (reach, towardsEye) are their constants; otherwise, with FULL_MODEL
// defined, they work those out. A GPU on the CPU runs both sides of an if for every vertex, so
// leaving the work out altogether keeps the viewer's own frames as quick as they were. LIGHTS is 1
// for light 0 alone, and GL's eight once another light is on.
//
// As in Mesa, the products of material and light colours, which are the same at every vertex,
// are formed once per draw (lightProducts in webgl.cpp); the shader looks up four vec4s a
// material. With more than one light the materials' own colours are looked up instead, and
// multiplied by each light's.
const char *const LIGHTING_EQUATION = R"(
uniform vec4 lightPosition[LIGHTS]; // eye coordinates
uniform bool lightOn[LIGHTS];
uniform vec4 attenuation[LIGHTS]; // constant, linear, quadratic; w 1 where not GL's (1, 0, 0)
uniform vec4 spot[LIGHTS];        // the direction, in eye coordinates, unit length; w cos cutoff
uniform vec2 spotShape[LIGHTS];   // the exponent; 1 for a spotlight
uniform bool localViewer;
uniform bool normalizeNormals;

#if LIGHTS > 1
uniform vec3 lightColours[LIGHTS * 3]; // each light's ambient, diffuse and specular
#define TIMES_LIGHT(material, i, k) ((material) * lightColours[(i) * 3 + (k)])
#else
#define TIMES_LIGHT(product, i, k) (product)
#endif

// x^e, with x^0 = 1 also for x = 0, where GLSL's pow is undefined, and 0 for x <= 0 otherwise.
float power(float x, float e)
{
    if (e == 0.0) {
        return 1.0;
    }
    return x > 0.0 ? pow(x, e) : 0.0;
}

#ifdef FULL_MODEL
// Attenuation x spot, for the unit vector l along toLight, from the corner to a light at w.
float reach(vec4 k, vec4 spotAxis, vec2 shape, float w, vec3 toLight, vec3 l)
{
    float factor = 1.0;
    if (k.w != 0.0 && w != 0.0) {
        float d = length(toLight);
        factor = 1.0 / dot(k.xyz, vec3(1.0, d, d * d));
    }
    if (shape.y != 0.0) {
        float cosine = dot(-l, spotAxis.xyz);
        factor *= cosine > spotAxis.w ? power(cosine, shape.x) : 0.0;
    }
    return factor;
}

vec3 towardsEye(vec3 corner)
{
    return localViewer ? normalize(-corner) : vec3(0.0, 0.0, 1.0);
}
#else
float reach(vec4 k, vec4 spotAxis, vec2 shape, float w, vec3 toLight, vec3 l)
{
    return 1.0;
}

vec3 towardsEye(vec3 corner)
{
    return vec3(0.0, 0.0, 1.0);
}
#endif

// The colour at `corner` with `normal`, for a material's four entries (see materials below). The
// lights are indexed by the loop's own counter, the one index GLSL ES 1.0 allows into uniforms;
// light 0 alone runs no loop, whose bookkeeping a GPU on the CPU would do at every corner.
vec4 lightingEquation(vec3 corner, vec3 normal, vec4 base, vec4 ambient, vec4 diffuse,
                      vec4 specular)
{
    vec4 sum = base;
    vec3 n = normalizeNormals ? normalize(normal) : normal;
#if LIGHTS > 1
    for (int i = 0; i < LIGHTS; ++i) {
#else
    {
        const int i = 0;
#endif
        if (lightOn[i]) {
            vec4 p = lightPosition[i];
            vec3 toLight = p.w != 0.0 ? p.xyz / p.w - corner : p.xyz;
            vec3 l = normalize(toLight);
            float nDotL = dot(n, l);
            vec3 lit = TIMES_LIGHT(ambient.rgb, i, 0) +
                       max(nDotL, 0.0) * TIMES_LIGHT(diffuse.rgb, i, 1);
            if (nDotL > 0.0) {
                vec3 h = normalize(l + towardsEye(corner));
                lit += power(max(dot(n, h), 0.0), specular.w) * TIMES_LIGHT(specular.rgb, i, 2);
            }
            sum.rgb += reach(attenuation[i], spot[i], spotShape[i], p.w, toLight, l) * lit;
        }
    }
    return clamp(sum, 0.0, 1.0);
}
)";

const char *const LIGHTING_VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec3 normal;
attribute float material;
// Under GL_FLAT: per corner, the polygon's first corner; per pixel alone, the corner's own normal.
attribute vec3 flatAttribute;
#if defined(PER_CORNER) && defined(PER_PIXEL)
attribute vec3 ownNormal; // under GL_FLAT, the corner's own normal, for the equation per pixel
#define OWN_NORMAL ownNormal
#else
#define OWN_NORMAL flatAttribute
#endif

uniform mat4 projection;
uniform bool flatShading;

#ifdef PER_PIXEL
// The draw's entry of the second of the run's two materials (webgl.cpp).
uniform float otherMaterial;
varying vec3 corner;
varying vec3 cornerNormal;
varying float isOther; // 0 or 1 at every corner of a polygon, so across it
#endif
#ifdef PER_CORNER
// Per material: (emission + ambient x global ambient, diffuse alpha), ambient x light ambient,
// diffuse x light diffuse, (specular x light specular, shininess); with more than one light, the
// material's own ambient, diffuse and specular.
uniform vec4 materials[MATERIALS * 4];
uniform bool lighting;
varying vec4 colour;
#endif

void main()
{
    gl_Position = projection * vec4(position, 1.0);
    gl_PointSize = 1.0;
#ifdef PER_PIXEL
    corner = position;
    cornerNormal = flatShading ? OWN_NORMAL : normal;
    isOther = material == otherMaterial ? 1.0 : 0.0;
#endif
#ifdef PER_CORNER
    int m = int(material) * 4;
    if (!lighting) {
        colour = vec4(1.0); // GL's current colour, which this layer never changes
        return;
    }
    vec3 litAt = flatShading ? flatAttribute : position;
    colour = lightingEquation(litAt, normal, materials[m], materials[m + 1], materials[m + 2],
                              materials[m + 3]);
#endif
}
)";

// Lit both ways, the picture's colour goes to the first of the framebuffer's two colour buffers and
// the colour per pixel to the second (gl/per_pixel.cpp).
const char *const LIGHTING_FRAGMENT_SHADER = R"(
#ifdef PER_PIXEL
uniform bool lighting;
// The run's two materials, four entries each as the vertex shader's table has them.
uniform vec4 material[8];
varying vec3 corner;
varying vec3 cornerNormal;
varying float isOther;

vec4 perPixel()
{
    if (!lighting) {
        return vec4(1.0);
    }
    // Blended, a value the same at three corners may come out a rounding away from it.
    float other = step(0.5, isOther);
    return lightingEquation(corner, cornerNormal, mix(material[0], material[4], other),
                            mix(material[1], material[5], other),
                            mix(material[2], material[6], other),
                            mix(material[3], material[7], other));
}
#endif
#ifdef PER_CORNER
varying vec4 colour;
#endif

void main()
{
#if defined(PER_CORNER) && defined(PER_PIXEL)
    gl_FragData[0] = colour;
    gl_FragData[1] = perPixel();
#elif defined(PER_PIXEL)
    gl_FragColor = perPixel();
#else
    gl_FragColor = colour;
#endif
}
)";

// What the parts of the lighting probe share: the frames it keeps (keep.cpp), the polygon it finds
// under a pixel (find.cpp), the lighting equation it works out at the polygon's corners
// (equation.cpp), and what it tells the page (answer.cpp).
//
// The probe is there to let a student check the equation against the screen, number by number.
// Nothing is kept while it is off: the page turns it on, and from then on each frame's filled draws
// are copied as they are handed to WebGL (the vertices as the shader takes them, and the
// materials, light and projection they were drawn with), and the picture is copied into a texture
// when the frame has been drawn. The canvas keeps no drawing buffer of its own
// (preserveDrawingBuffer), which every frame would pay for, probe or not.
#pragma once

#include "gl/internal.h"

#include <cstdint>
#include <vector>

struct KeptDraw {
    LightingState lighting;
    Matrix4 projection;
    GLint viewport[4];
    FaceMaterial materials[MATERIALS_PER_DRAW];
    std::size_t firstVertex; // in the frame's vertices; the draw's indices count from here
    std::size_t firstIndex, indexCount;
};

struct KeptFrame {
    std::vector<BatchVertex> vertices;
    std::vector<GLushort> indices;
    std::vector<KeptDraw> draws;
    bool linesOrPoints; // something was drawn that the probe does not follow
    int width, height;  // of the drawing buffer
    bool complete;      // drawn, and its picture copied
};

// keep.cpp: the last frame drawn while the probe was on, and its picture's pixel at window
// coordinates (x, y), false if it cannot be read back.
const KeptFrame &shownFrame();
bool readPicture(int x, int y, GLubyte rgba[4]);

// find.cpp: the front-most triangle of the kept frame over the centre of window pixel (x, y).
struct Hit {
    bool found;
    std::size_t draw, triangle; // the triangle's first index, in the draw's indices
    std::uint32_t depth;        // as the 24-bit depth buffer holds it
    double weights[3];          // perspective-correct, of the triangle's corners
    bool backFacing;            // it runs clockwise on the screen
};
constexpr double DEPTH_LEVELS = 16777215.0;
Hit frontMost(const KeptFrame &frame, int x, int y);

// equation.cpp: GL's lighting equation at one corner, in the shader's own steps and single
// precision. Colours are 0..1.
struct Vec3 {
    GLfloat x, y, z;
};
struct CornerLight {
    Vec3 n, l, h;
    GLfloat nDotL, nDotH;
    GLfloat distance;    // to a positional light; 0 for a directional one
    GLfloat attenuation; // 1 / (constant + linear d + quadratic d^2); 1 for a directional light
    GLfloat spotDot;     // -L . D, the cosine of the angle off the spot's axis
    GLfloat spot;        // the spot factor; 1 without a spotlight
    GLfloat diffuseFactor, specularFactor;
    GLfloat emission[3], sceneAmbient[3], lightAmbient[3], diffuse[3], specular[3];
    GLfloat colour[3]; // clamped
};
CornerLight lightCorner(const BatchVertex &vertex, const FaceMaterial &material,
                        const LightingState &lighting);

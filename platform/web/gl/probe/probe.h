// What the parts of the lighting probe share: the frames it keeps (keep.cpp), the polygon it finds
// under a pixel (find.cpp), the lighting equation it works out at the polygon's corners
// (equation.cpp), and what it tells the page (answer.cpp).
//
// The probe is there to let a student check the equation against the screen, number by number.
// It listens to the GL layer's frames only while it is on: each frame's filled draws are copied as
// they are handed over (the vertices as the shader takes them, and the materials, light and
// projection they were drawn with), and the picture is copied into a texture when the frame has
// been drawn. The canvas keeps no drawing buffer of its own (preserveDrawingBuffer), which every
// frame would pay for, probe or not.
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
    // Where its vertices' own normals begin in the frame's cornerNormals, for a draw under GL_FLAT
    // that carried them; its vertices' normals are their own otherwise.
    bool ownCornerNormals;
    std::size_t firstCornerNormal;
};

struct KeptFrame {
    std::vector<BatchVertex> vertices;
    // Under GL_FLAT, each vertex's own normal, as the picture lit per pixel blends it, three
    // numbers a vertex (KeptDraw::firstCornerNormal).
    std::vector<GLfloat> cornerNormals;
    std::vector<GLushort> indices;
    std::vector<KeptDraw> draws;
    bool linesOrPoints; // something was drawn that the probe does not follow
    int width, height;  // of the drawing buffer
    bool complete;      // drawn, and its picture copied
};

// keep.cpp: listens to frames while on; the last frame drawn while the probe was on, and its
// picture's pixel at window coordinates (x, y), false if it cannot be read back.
void keepFramesForProbe(bool on);
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

// equation.cpp: GL's lighting equation at one corner (gl/equation.h), in the shader's own steps
// and single precision. Colours are 0..1.
using Vec3 = equation::Vec<GLfloat>;
struct CornerLight {
    Vec3 n;                                       // the normal as the shader uses it
    equation::LightTerms<GLfloat> lights[LIGHTS]; // what each light adds there, if it is on
    GLfloat emission[3], sceneAmbient[3];         // emission, and ambient x the global ambient
    GLfloat colour[3];                            // clamped
};
CornerLight lightCorner(const BatchVertex &vertex, const FaceMaterial &material,
                        const LightingState &lighting);

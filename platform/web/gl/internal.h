// What the parts of the GL layer share with each other; the viewer sees only GL's own functions.
#pragma once

#include <GL/gl.h>

#include <cstddef>

// Column-major, as GL lays out its matrices.
struct Matrix4 {
    GLfloat m[16];
};

// out = matrix x (in[0], in[1], in[2], in[3]).
void transform(const Matrix4 &matrix, const GLfloat in[4], GLfloat out[4]);

// Matrices (matrices.cpp).
const Matrix4 &modelviewMatrix();
const Matrix4 &projectionMatrix();
// The rows of the inverse of the modelview's upper 3 x 3: they take a normal to eye coordinates.
const Matrix4 &normalMatrix();
// Changes whenever the modelview matrix does.
unsigned modelviewVersion();

// Lighting (lighting.cpp). GL's ranges: shininess and the spot exponent from 0 to 128, the spot
// cutoff from 0 to 90 degrees or 180, which is no spotlight.
constexpr GLfloat MAX_EXPONENT = 128.0f;
constexpr GLfloat MAX_SPOT_CUTOFF = 90.0f;
constexpr GLfloat NO_SPOTLIGHT = 180.0f;
struct FaceMaterial {
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat specular[4];
    GLfloat emission[4];
    GLfloat shininess;
};
struct LightingState {
    bool enabled;
    bool light0;
    bool normalize;
    bool twoSide;
    bool localViewer;
    bool flat; // GL_FLAT: a polygon takes its first corner's colour
    GLfloat sceneAmbient[4];
    GLfloat lightPosition[4]; // eye coordinates: transformed when it was set
    GLfloat lightAmbient[4];
    GLfloat lightDiffuse[4];
    GLfloat lightSpecular[4];
    GLfloat spotDirection[3]; // eye coordinates, as set: not normalised
    GLfloat spotExponent;
    GLfloat spotCutoff;     // degrees; 180 is no spotlight
    GLfloat attenuation[3]; // constant, linear, quadratic
};
const LightingState &lightingState();
// What the shader compares and multiplies with, the same for every vertex: the cosine of the spot
// cutoff, and the spot direction made unit length.
GLfloat spotCosCutoff(const LightingState &lighting);
void unitSpotDirection(const LightingState &lighting, GLfloat direction[3]);
const FaceMaterial &frontMaterial();
const FaceMaterial &backMaterial();
// Changes whenever a material does.
unsigned materialVersion();
// glEnable and glDisable for the lighting switches; false for any other capability.
bool setLightingSwitch(GLenum cap, bool on);

// Polygons (polygons.cpp).
bool insideBeginEnd();
GLenum currentPolygonMode();
void setCulling(bool on);

// Drawing (webgl.cpp). One vertex as the shader takes it.
struct BatchVertex {
    GLfloat position[3]; // eye coordinates
    GLfloat normal[3];   // eye coordinates, as transformed, not yet normalised
    GLfloat material;    // index into the materials of the draw
};
// Room in the shader for this many different materials in one draw.
constexpr std::size_t MATERIALS_PER_DRAW = 8;
// The most vertices in one draw, and so the most corners a polygon may have. Each draw is handed
// to the renderer as soon as it is made, so that the renderer draws one part of a frame while the
// next part is gathered; parts of this size made a frame of the tree quickest (see
// docs/PERFORMANCE.md). WebGL 1's 16-bit indices reach them all.
constexpr std::size_t VERTICES_PER_DRAW = 16384;
// Hands the shader the projection, the light and the materials the vertices' entries refer to,
// for the draws that follow.
void sendDrawState(const FaceMaterial *materials, std::size_t materialCount);
// primitive: GL_TRIANGLES or GL_LINES, drawn from the indexed vertices; GL_POINTS, drawn from the
// vertices as they are. firstCorners: under GL_FLAT, where each vertex is lit (its polygon's first
// corner, three numbers a vertex); null, where it stands.
void drawVertices(GLenum primitive, const BatchVertex *vertices, std::size_t vertexCount,
                  const GLushort *indices, std::size_t indexCount, const GLfloat *firstCorners);

// The viewport glViewport last set, or the drawing buffer's size before it was set (webgl.cpp).
void currentViewport(GLint viewport[4]);

// The probe (probe/): what it keeps of each frame while it is on.
// After a lost context: the probe's WebGL objects and kept frames are gone.
void forgetProbeObjects();
// Each draw as it is handed to WebGL, with the materials its vertices' entries refer to.
void keepDrawForProbe(GLenum primitive, const BatchVertex *vertices, std::size_t vertexCount,
                      const GLushort *indices, std::size_t indexCount,
                      const FaceMaterial *materials, std::size_t materialCount);
// The colour buffer was cleared: what was drawn before it does not show.
void forgetDrawsForProbe();
// The frame has been drawn: the probe keeps it, and a copy of its picture, while it is on.
void keepFrameForProbe();

// Errors (webgl.cpp).
void recordError(GLenum error);
// A call outside the subset (see gl_layer.h): says what it was, then aborts in a debug build or
// records error in a release build.
void refuse(const char *what, GLenum error);
// An enumerant outside the subset, refused with GL_INVALID_ENUM.
void unsupported(const char *call, GLenum value);
// Records GL_INVALID_OPERATION and returns true between glBegin and glEnd, where the calls that
// ask this may not be made.
bool refusedInsideBeginEnd();

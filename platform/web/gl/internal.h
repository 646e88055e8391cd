// What the parts of the GL layer share with each other; the viewer sees only GL's own functions.
//
// Everything the program has set is kept in one structure, glState, as Mesa keeps a context's
// state in its gl_context: each part of the layer (matrices.cpp, lighting.cpp, polygons.cpp,
// webgl.cpp) sets its own share of it, and what draws or restores reads it from there. What the
// layer draws is handed, draw by draw, to whoever listens for it (the probe, the second view): a
// listener is handed everything it needs and never calls back.
#pragma once

#include "gl/equation.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Column-major, as GL lays out its matrices.
struct Matrix4 {
    GLfloat m[16];
};
constexpr Matrix4 IDENTITY = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// out = matrix x (in[0], in[1], in[2], in[3]).
void transform(const Matrix4 &matrix, const GLfloat in[4], GLfloat out[4]);
// a x b, as glMultMatrix multiplies b onto a.
Matrix4 multiplied(const Matrix4 &a, const Matrix4 &b);

// The matrix stacks (matrices.cpp). Mesa's depths for both; GL asks for at least 32 modelview and
// 2 projection entries.
constexpr int STACK_DEPTH = 32;
struct MatrixStack {
    Matrix4 entries[STACK_DEPTH];
    int depth; // entries in use; the top is entries[depth - 1]

    const Matrix4 &top() const
    {
        return entries[depth - 1];
    }
    Matrix4 &top()
    {
        return entries[depth - 1];
    }
};
struct TransformState {
    MatrixStack modelview;
    MatrixStack projection;
    GLenum matrixMode;         // GL_MODELVIEW or GL_PROJECTION
    unsigned modelviewChanges; // counts every change to the modelview matrix
    Matrix4 normals;           // the inverse transpose of the modelview's upper 3 x 3, ...
    unsigned normalsMadeAt;    // ... made when modelviewChanges had this value
};
// The rows of the inverse of the modelview's upper 3 x 3: they take a normal to eye coordinates.
const Matrix4 &normalMatrix();

// GL's ranges (lighting.cpp): shininess and the spot exponent from 0 to 128, the spot cutoff from 0
// to 90 degrees or 180, which is no spotlight.
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
struct LightSource {
    bool enabled;
    GLfloat position[4]; // eye coordinates: taken through the modelview when it was set
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat specular[4];
    GLfloat spotDirection[3]; // eye coordinates, as set: not normalised
    GLfloat spotExponent;
    GLfloat spotCutoff;     // degrees; 180 is no spotlight
    GLfloat attenuation[3]; // constant, linear, quadratic
};
// The lights this layer takes, GL_LIGHT0 to GL_LIGHT7: GL 1.x's eight.
constexpr int LIGHTS = 8;
struct LightingState {
    bool enabled;
    bool normalize;
    bool twoSide;
    bool localViewer;
    bool flat; // GL_FLAT: a polygon takes its first corner's colour
    GLfloat sceneAmbient[4];
    LightSource lights[LIGHTS];
};
// The light as the shader and the equation on the CPU take it (gl/equation.h), the same for every
// vertex: the spot direction made unit length, and the cutoff as its cosine.
inline equation::Light<GLfloat> equationLight(const LightSource &light)
{
    constexpr double RADIANS_PER_DEGREE = 3.14159265358979323846 / 180.0;
    equation::Light<GLfloat> made = {};
    std::copy_n(light.position, 4, made.position);
    std::copy_n(light.ambient, 3, made.ambient);
    std::copy_n(light.diffuse, 3, made.diffuse);
    std::copy_n(light.specular, 3, made.specular);
    made.spotlight = light.spotCutoff != NO_SPOTLIGHT;
    made.spotDirection = equation::normalised(equation::Vec<GLfloat>{
        light.spotDirection[0], light.spotDirection[1], light.spotDirection[2]});
    made.spotCosCutoff = static_cast<GLfloat>(std::cos(light.spotCutoff * RADIANS_PER_DEGREE));
    made.spotExponent = light.spotExponent;
    std::copy_n(light.attenuation, 3, made.attenuation);
    return made;
}
// Where the program passes `count` numbers equal to `from` to glMaterialfv as `pname`, GL goes on
// with `to` instead: the page's lab (see gl_layer.h).
struct MaterialReplacement {
    GLenum pname;
    int count;
    GLfloat from[4];
    GLfloat to[4];
};
struct MaterialState {
    FaceMaterial front;
    FaceMaterial back;
    unsigned changes; // counts every change to either face
    std::vector<MaterialReplacement> replacements;
};
// glEnable and glDisable for the lighting switches; false for any other capability.
bool setLightingSwitch(GLenum cap, bool on);
// Where setLightPositionInFrame has it, sets the light's position before the frame's first scale
// (matrices.cpp calls it); frameDone readies it for the next frame (webgl.cpp calls it).
void beforeScale();
void frameDone();
// Whether setLightPositionInFrame has it on, and the modelview it was last set under.
bool lightPositionSetInFrame(Matrix4 &modelview);

// Polygons (polygons.cpp): the mode, culling and the current normal.
struct PolygonState {
    bool insideBeginEnd;
    GLenum mode;
    bool culling;
    GLfloat normal[3]; // as glNormal3d last gave it
};
// Records GL_INVALID_OPERATION and returns true between glBegin and glEnd, where the calls that
// ask this may not be made.
bool refusedInsideBeginEnd();

// What the program has set of WebGL's own state (webgl.cpp), kept because a lost WebGL context
// comes back with none of it.
struct FragmentState {
    GLfloat clearColour[4];
    GLfloat clearDepth;
    bool depthTest;
    GLboolean depthMask;
    bool viewportSet;
    GLint viewport[4];
};

struct GlState {
    TransformState transform;
    LightingState lighting;
    MaterialState materials;
    PolygonState polygons;
    FragmentState fragment;
    GLenum error; // the first error glGetError has not read yet
};
// All of it, with GL's initial values (state.cpp).
extern GlState glState;

// Drawing (webgl.cpp). One vertex as the shader takes it.
struct BatchVertex {
    GLfloat position[3]; // eye coordinates
    GLfloat normal[3];   // eye coordinates, as transformed, not yet normalised
    GLfloat material;    // index into the materials of the draw
};
// Room in the shader for this many different materials in one draw.
constexpr std::size_t MATERIALS_PER_DRAW = 8;
// The shader's entries for one material (shader.cpp).
constexpr int VEC4S_PER_MATERIAL = 4;
// The most vertices in one draw, and so the most corners a polygon may have. Each draw is handed
// to the renderer as soon as it is made, so that the renderer draws one part of a frame while the
// next part is gathered; parts of this size made a frame of the tree quickest (see
// docs/PERFORMANCE.md). WebGL 1's 16-bit indices reach them all.
constexpr std::size_t VERTICES_PER_DRAW = 16384;

// One draw, as gathered: the vertices as the shader takes them and everything they are drawn with.
struct Draw {
    GLenum primitive; // GL_TRIANGLES or GL_LINES, drawn by index; GL_POINTS, drawn as they are
    const BatchVertex *vertices;
    std::size_t vertexCount;
    const GLushort *indices;
    std::size_t indexCount;
    // Under GL_FLAT, where each vertex is lit: its polygon's first corner, three numbers a vertex;
    // and, while a listener asks for them (gatherCornerNormals), each vertex's own normal, turned
    // round where its polygon faces back, for a view that lights per pixel and ignores GL_FLAT.
    // Null where they stand.
    const GLfloat *firstCorners;
    const GLfloat *cornerNormals;
    const FaceMaterial *materials; // the entries the vertices' `material` indexes
    std::size_t materialCount;
    // While a listener asks for them (gatherSentNormals): each vertex's normal as the program sent
    // it, in eye coordinates (not turned round for a back face, nor its polygon's first under
    // GL_FLAT), three numbers a vertex, and whether the program sent it for this corner (a
    // glNormal3d since the corner before); null otherwise.
    const GLfloat *sentNormals;
    const unsigned char *ownNormals;
    const LightingState *lighting;
    const Matrix4 *projection;
    GLint viewport[4];
};

// The shader programs and buffers that draw with the lighting equation in one WebGL context: the
// picture's, and any other view's of the same draws.
struct LightingProgram {
    GLuint name;
    int lights; // how many lights it works out: 1, light 0's, or all LIGHTS
    GLint projection, materials, material, otherMaterial, lightPosition, lightOn, lightColours,
        attenuation, spot, spotShape, localViewer, flatShading, lighting, normalize;
};
// How many attributes the lighting shader reads, numbered from 0.
constexpr GLuint LIGHTING_ATTRIBUTES = 5;
// Where a renderer works the lighting equation out: at each corner, as GL does; at each pixel; or
// both in one draw, into two colour buffers (per_pixel.cpp).
enum Lit { PER_CORNER = 1, PER_PIXEL = 2, BOTH_WAYS = PER_CORNER | PER_PIXEL };
struct Renderer {
    // The shader as the viewer's own light needs it, with the whole model, and with the whole
    // model for every light, made when a light other than light 0 is first on (shader.cpp).
    LightingProgram plain, full, allLights;
    bool allLightsRefused; // WebGL would not make allLights
    const LightingProgram *inUse;
    Lit lit;
    GLuint vertexBuffer, indexBuffer, flatBuffer;
    GLuint ownNormalBuffer; // both ways, under GL_FLAT: each corner's own normal, for per pixel
    bool flatGiven;         // the shader's flatAttribute comes from flatBuffer
    // Per pixel: the materials' entries of the draw, handed one material at a time.
    GLfloat materialTable[MATERIALS_PER_DRAW * VEC4S_PER_MATERIAL * 4];
};
// Makes them in the context that is current, drawing from buffers of its own or from those
// `drawsFrom` fills; false if WebGL refused them (the reason is on standard error).
bool makeRenderer(Renderer &renderer, Lit lit = PER_CORNER, const Renderer *drawsFrom = nullptr);
// Binds its buffers and attributes again, after another program of the same context has drawn.
void bindRenderer(Renderer &renderer);
// A program from the two shaders' texts, each given in parts, its attributes bound to 0, 1, ... in
// the order named; 0 if WebGL refused it (the reason is on standard error).
constexpr int SHADER_TEXT_PARTS = 5;
struct ShaderText {
    const char *parts[SHADER_TEXT_PARTS];
};
GLuint linkProgram(const ShaderText &vertexText, const ShaderText &fragmentText,
                   const char *const attributes[], int attributeCount);
// A texture drawn over the whole viewport, pixel for pixel where it has the viewport's size and
// filters to the nearest: the program and its corners, made in the context that is current.
struct TextureCopy {
    GLuint program, corners;
};
bool makeTextureCopy(TextureCopy &copy);
// Binds `texture` and has it read pixel for pixel: the nearest texel, no wrapping.
void bindNearestTexture(GLuint texture);
// Leaves attribute 0 alone enabled, at the corners.
void drawTextureCopy(const TextureCopy &copy, GLuint texture);
// Hands the shader of the context that is current the projection, the light and the materials
// the vertices' entries refer to, for the draws that follow.
void useLighting(Renderer &renderer, const LightingState &lighting, const Matrix4 &projection,
                 const FaceMaterial *materials, std::size_t materialCount);
// Draws `draw`'s vertices in the context that is current, with the lighting last handed over;
// without `fillBuffers`, from the buffers bound, which another renderer filled with them.
void drawVertices(Renderer &renderer, const Draw &draw, bool fillBuffers = true);

// The lighting equation, and the vertex and the fragment shader's text (shader.cpp); the shader
// that calls the equation has it before its own text. Their header defines MATERIALS, LIGHTS,
// FULL_MODEL for the whole model and PER_PIXEL to light each pixel.
extern const char *const LIGHTING_EQUATION;
extern const char *const LIGHTING_VERTEX_SHADER;
extern const char *const LIGHTING_FRAGMENT_SHADER;

// The draw that polygons.cpp has gathered, drawn on the picture (webgl.cpp) and handed to the
// listeners; `startsRun` where the lighting or the materials may have changed since the last one.
void drawGathered(const Draw &draw, bool startsRun);

// Whoever listens for what the layer draws (webgl.cpp): each draw as it is drawn; a clear of the
// colour buffer, which hides what was drawn before; the end of the frame, with the picture still
// in the drawing buffer; and a lost context, which took every WebGL object with it. A member left
// null is not called. At most MAX_LISTENERS listen at once.
struct FrameListener {
    void (*drawn)(const Draw &draw);
    void (*cleared)();
    void (*finished)();
    void (*contextLost)();
};
constexpr std::size_t MAX_LISTENERS = 4;
void listenToFrames(const FrameListener *listener, bool on);
// Whether the draws carry the normals as sent (polygons.cpp); off, nothing is gathered for them.
void gatherSentNormals(bool on);
// Whether the draws carry each corner's own normal under GL_FLAT (cornerNormals), for a view that
// lights per pixel; off, nothing is gathered for them.
void gatherCornerNormals(bool on);
// Listens for how near light 0's spot comes to the model (spot.cpp); costs nothing without a spot.
void watchSpotReach();

// The picture lit per pixel, drawn in the picture's context beside it (per_pixel.cpp). While it is
// on, each clear of the picture's colour clears it too, and each draw of the picture draws it too,
// in the same draw or at once after it; it also gathers each corner's own normal.
void lightPerPixelToo(bool on);
void clearPerPixel(Renderer &picture, const FragmentState &fragment);
// Draws `draw` lit both ways where the browser lets it, instead of the picture's own draw; false
// where the picture must draw it itself, after which drawPerPixel draws it again per pixel.
bool drawBothWays(Renderer &picture, const Draw &draw);
void drawPerPixel(Renderer &picture, const Draw &draw);
// At the frame's end: where the picture was drawn lit both ways, copies it to the canvas.
void showPictureDrawnBothWays(Renderer &picture, const FragmentState &fragment);
// After the context was lost, with every WebGL object in it.
void forgetPerPixel();
// The picture lit per pixel as the frame drew it, read back: RGBA, the bottom row first; null
// while it is off or before the frame's first clear.
const unsigned char *readPerPixel(int &width, int &height);

// The viewport glViewport last set, or the drawing buffer's size before it was set (webgl.cpp).
void currentViewport(GLint viewport[4]);

// Errors (webgl.cpp).
void recordError(GLenum error);
// A call outside the subset (see gl_layer.h): says what it was, then aborts in a debug build or
// records error in a release build.
void refuse(const char *what, GLenum error);
// An enumerant outside the subset, refused with GL_INVALID_ENUM.
void unsupported(const char *call, GLenum value);

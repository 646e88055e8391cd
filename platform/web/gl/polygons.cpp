// glBegin(GL_POLYGON) ... glEnd with glNormal3d and glVertex3d, the polygon mode and face culling:
// each polygon is taken to eye coordinates as it arrives, and its corners join the vertices of the
// next draw with the triangles or edges to be drawn between them.
#include "gl/gl_layer.h"
#include "gl/internal.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Corner {
    GLfloat position[3];
    GLfloat normal[3];
    GLfloat frontMaterial, backMaterial; // indices into the draw's materials
};

bool inside = false;
GLenum polygonMode = GL_FILL;
bool culling = false;
std::vector<Corner> corners;
std::vector<GLfloat> windowXY; // the corners' normalised device x and y, when they are needed

// Each polygon's corners once; the triangles or edges drawn from them by index.
std::vector<BatchVertex> batch;
std::vector<GLushort> indices;
// Under GL_FLAT, where each vertex is lit: its polygon's first corner, three numbers a vertex.
std::vector<GLfloat> firstCorners;
FaceMaterial materials[MATERIALS_PER_DRAW];
std::size_t materialCount = 0;
// The materials the shader was last handed. Every change to the rest of its state comes through
// drawGatheredPolygons, which forgets them, so the parts of one run of draws send it all once.
constexpr std::size_t NOT_SENT = SIZE_MAX;
std::size_t materialsSent = NOT_SENT;
constexpr unsigned NOT_LOOKED_UP = ~0u;
unsigned materialsLookedUpAt = NOT_LOOKED_UP;
GLfloat frontEntry = 0.0f, backEntry = 0.0f;

GLfloat normal[3] = {0.0f, 0.0f, 1.0f}; // GL's initial normal
GLfloat eyeNormal[3];
bool eyeNormalValid = false;
unsigned eyeNormalMadeAt = 0;

GLenum primitiveFor(GLenum mode)
{
    return mode == GL_FILL ? GL_TRIANGLES : mode == GL_LINE ? GL_LINES : GL_POINTS;
}

GLfloat entryFor(const FaceMaterial &material)
{
    for (std::size_t i = 0; i < materialCount; ++i) {
        if (std::memcmp(&materials[i], &material, sizeof material) == 0) {
            return static_cast<GLfloat>(i);
        }
    }
    materials[materialCount] = material;
    return static_cast<GLfloat>(materialCount++);
}

void lookUpMaterials()
{
    // Room for both faces, so that the first one's entry survives finding the second.
    if (materialCount + 2 > MATERIALS_PER_DRAW) {
        drawGatheredPolygons();
    }
    frontEntry = entryFor(frontMaterial());
    backEntry = lightingState().twoSide ? entryFor(backMaterial()) : frontEntry;
    materialsLookedUpAt = materialVersion();
}

void projectCorners()
{
    windowXY.resize(2 * corners.size());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const GLfloat eye[4] = {corners[i].position[0], corners[i].position[1],
                                corners[i].position[2], 1.0f};
        GLfloat clip[4];
        transform(projectionMatrix(), eye, clip);
        windowXY[2 * i] = clip[0] / clip[3];
        windowXY[2 * i + 1] = clip[1] / clip[3];
    }
}

// GL's rule: counter-clockwise in window coordinates is the front (glFrontFace's initial GL_CCW).
bool facesFront()
{
    GLfloat twiceArea = 0.0f;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const std::size_t next = (i + 1) % corners.size();
        twiceArea +=
            windowXY[2 * i] * windowXY[2 * next + 1] - windowXY[2 * next] * windowXY[2 * i + 1];
    }
    return twiceArea > 0.0f;
}

// Line rasterisers settle pixels on a tie by the line's direction. Drawing every edge the same
// way across the screen keeps WebGL's choice of pixels closest to Mesa's.
bool runsTheFixedWay(std::size_t from, std::size_t to)
{
    const GLfloat dx = windowXY[2 * to] - windowXY[2 * from];
    const GLfloat dy = windowXY[2 * to + 1] - windowXY[2 * from + 1];
    return dx > 0.0f || (dx == 0.0f && dy > 0.0f);
}

// Under GL_FLAT (`flat`) a corner is lit as `litAs`, its polygon's first corner: with its normal,
// its material and where it stands.
void emit(const Corner &corner, const Corner &litAs, bool backFacing, bool flat)
{
    BatchVertex vertex;
    std::copy_n(corner.position, 3, vertex.position);
    const GLfloat sign = backFacing ? -1.0f : 1.0f;
    for (int i = 0; i < 3; ++i) {
        vertex.normal[i] = sign * litAs.normal[i];
    }
    vertex.material = backFacing ? litAs.backMaterial : litAs.frontMaterial;
    batch.push_back(vertex);
    if (flat) {
        firstCorners.insert(firstCorners.end(), litAs.position, litAs.position + 3);
    }
}

// Draws the vertices gathered so far and keeps the materials, which the corners of the polygon
// being added refer to.
void drawBatch()
{
    if (!batch.empty()) {
        if (materialsSent != materialCount) {
            sendDrawState(materials, materialCount);
            materialsSent = materialCount;
        }
        drawVertices(primitiveFor(polygonMode), batch.data(), batch.size(), indices.data(),
                     indices.size(), firstCorners.empty() ? nullptr : firstCorners.data());
        keepDrawForProbe(primitiveFor(polygonMode), batch.data(), batch.size(), indices.data(),
                         indices.size(), materials, materialCount);
        batch.clear();
        indices.clear();
        firstCorners.clear();
    }
}

// A polygon of fewer than three corners is not drawn. Filled, it is a fan of triangles from its
// first corner, as Mesa splits it; as lines, its edges; as points, its corners.
void addPolygon()
{
    const std::size_t count = corners.size();
    if (count < 3) {
        return;
    }
    if (batch.size() + count > VERTICES_PER_DRAW) {
        drawBatch();
    }
    const bool twoSide = lightingState().twoSide;
    const bool needWindowXY = culling || twoSide || polygonMode == GL_LINE;
    if (needWindowXY) {
        projectCorners();
    }
    // Without two-sided lighting, back faces are lit as the front, with the normals as sent.
    bool backFacing = false;
    if (culling || twoSide) {
        const bool front = facesFront();
        if (culling && !front) {
            return;
        }
        backFacing = twoSide && !front;
    }
    const auto first = static_cast<GLushort>(batch.size());
    const bool flat = lightingState().flat;
    for (const Corner &corner : corners) {
        emit(corner, flat ? corners.front() : corner, backFacing, flat);
    }
    if (polygonMode == GL_FILL) {
        for (std::size_t i = 1; i + 1 < count; ++i) {
            indices.insert(indices.end(), {first, GLushort(first + i), GLushort(first + i + 1)});
        }
    } else if (polygonMode == GL_LINE) {
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t from = i, to = (i + 1) % count;
            if (!runsTheFixedWay(from, to)) {
                std::swap(from, to);
            }
            indices.insert(indices.end(), {GLushort(first + from), GLushort(first + to)});
        }
    }
}

} // namespace

bool insideBeginEnd()
{
    return inside;
}

GLenum currentPolygonMode()
{
    return polygonMode;
}

void setCulling(bool on)
{
    culling = on;
}

// Also called when the two-sided switch changes, which changes the entries the corners take.
void drawGatheredPolygons()
{
    drawBatch();
    materialCount = 0;
    materialsSent = NOT_SENT;
    materialsLookedUpAt = NOT_LOOKED_UP;
}

extern "C" {

void glBegin(GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (mode != GL_POLYGON) {
        unsupported("glBegin", mode);
        return;
    }
    inside = true;
    corners.clear();
}

void glEnd()
{
    if (!inside) {
        recordError(GL_INVALID_OPERATION);
        return;
    }
    inside = false;
    if (corners.size() > VERTICES_PER_DRAW) {
        char what[96];
        std::snprintf(what, sizeof what, "glEnd: a polygon of %zu corners (at most %zu)",
                      corners.size(), VERTICES_PER_DRAW);
        refuse(what, GL_INVALID_VALUE);
        return;
    }
    addPolygon();
}

void glNormal3d(GLdouble x, GLdouble y, GLdouble z)
{
    normal[0] = static_cast<GLfloat>(x);
    normal[1] = static_cast<GLfloat>(y);
    normal[2] = static_cast<GLfloat>(z);
    eyeNormalValid = false;
}

// Outside glBegin and glEnd a vertex means nothing in GL; it is ignored.
void glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    if (!inside) {
        return;
    }
    if (materialsLookedUpAt != materialVersion()) {
        lookUpMaterials();
    }
    if (!eyeNormalValid || eyeNormalMadeAt != modelviewVersion()) {
        const GLfloat direction[4] = {normal[0], normal[1], normal[2], 0.0f};
        GLfloat eye[4];
        transform(normalMatrix(), direction, eye);
        std::copy_n(eye, 3, eyeNormal);
        eyeNormalValid = true;
        eyeNormalMadeAt = modelviewVersion();
    }
    // The modelview matrices this layer makes are affine, so w stays 1.
    const GLfloat object[4] = {static_cast<GLfloat>(x), static_cast<GLfloat>(y),
                               static_cast<GLfloat>(z), 1.0f};
    GLfloat eye[4];
    transform(modelviewMatrix(), object, eye);
    corners.push_back({{eye[0], eye[1], eye[2]},
                       {eyeNormal[0], eyeNormal[1], eyeNormal[2]},
                       frontEntry,
                       backEntry});
}

void glPolygonMode(GLenum face, GLenum mode)
{
    if (refusedInsideBeginEnd()) {
        return;
    }
    if (face != GL_FRONT_AND_BACK) {
        unsupported("glPolygonMode", face);
        return;
    }
    if (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT) {
        unsupported("glPolygonMode", mode);
        return;
    }
    if (mode != polygonMode) {
        drawGatheredPolygons();
        polygonMode = mode;
    }
}

} // extern "C"

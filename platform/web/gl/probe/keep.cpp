// Keeping the frame: the draws as they are handed to WebGL and, once the frame has been drawn, a
// copy of its picture, while the probe is on.
#include "gl/gl_layer.h"
#include "gl/probe/probe.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <utility>

namespace {

bool keeping = false;
KeptFrame drawing;
KeptFrame shown;

GLuint pictureTexture = 0;
GLuint pictureFramebuffer = 0;

void forget(KeptFrame &frame)
{
    frame.vertices.clear();
    frame.indices.clear();
    frame.draws.clear();
    frame.linesOrPoints = false;
    frame.complete = false;
}

// The texture the picture is copied into, made when first needed. The drawing buffer may have no
// alpha, and a copy cannot add channels the source lacks: RGB it is.
void copyPicture(int width, int height)
{
    if (pictureTexture == 0) {
        emscripten_glGenTextures(1, &pictureTexture);
        emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    emscripten_glBindTexture(GL_TEXTURE_2D, pictureTexture);
    emscripten_glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width, height, 0);
}

} // namespace

const KeptFrame &shownFrame()
{
    return shown;
}

bool readPicture(int x, int y, GLubyte rgba[4])
{
    if (pictureFramebuffer == 0) {
        emscripten_glGenFramebuffers(1, &pictureFramebuffer);
        emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
        emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                          pictureTexture, 0);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
    const bool readable =
        emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (readable) {
        emscripten_glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return readable;
}

void forgetProbeObjects()
{
    pictureTexture = 0;
    pictureFramebuffer = 0;
    forget(drawing);
    forget(shown);
}

void keepFramesForProbe(bool on)
{
    keeping = on;
    forget(drawing);
    forget(shown);
}

void keepDrawForProbe(GLenum primitive, const BatchVertex *vertices, std::size_t vertexCount,
                      const GLushort *indices, std::size_t indexCount,
                      const FaceMaterial *materials, std::size_t materialCount)
{
    if (!keeping) {
        return;
    }
    if (primitive != GL_TRIANGLES) {
        drawing.linesOrPoints = true;
        return;
    }
    KeptDraw draw;
    draw.lighting = lightingState();
    draw.projection = projectionMatrix();
    currentViewport(draw.viewport);
    std::copy_n(materials, materialCount, draw.materials);
    draw.firstVertex = drawing.vertices.size();
    draw.firstIndex = drawing.indices.size();
    draw.indexCount = indexCount;
    drawing.draws.push_back(draw);
    drawing.vertices.insert(drawing.vertices.end(), vertices, vertices + vertexCount);
    drawing.indices.insert(drawing.indices.end(), indices, indices + indexCount);
}

void forgetDrawsForProbe()
{
    forget(drawing);
}

void keepFrameForProbe()
{
    if (!keeping) {
        return;
    }
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    emscripten_webgl_get_drawing_buffer_size(context, &drawing.width, &drawing.height);
    copyPicture(drawing.width, drawing.height);
    drawing.complete = true;
    std::swap(drawing, shown);
    forget(drawing);
}

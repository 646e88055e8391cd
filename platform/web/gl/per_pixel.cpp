// The picture lit per pixel, drawn in the picture's own context into a framebuffer of its own:
// each draw of the picture is drawn again at once, from the buffers the picture has just filled,
// with the equation worked out at each pixel (shader.cpp's PER_PIXEL). Drawn in a context of its
// own instead, every vertex crossed to it a second time and the renderer switched contexts twice a
// draw, which on llvmpipe cost a tenth of the tree's frame (docs/PERFORMANCE.md). Whoever shows it
// reads it back at the frame's end.
#include "gl/internal.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <vector>

namespace {

// Everything the pass keeps; its WebGL objects belong to the picture's context.
struct PerPixelPass {
    bool on;
    bool made;    // the objects below exist in the context
    bool cleared; // cleared since it went on, so a draw has something to land in
    Renderer renderer;
    GLuint framebuffer, colour, depth;
    int width, height;
    std::vector<unsigned char> pixels;
};
PerPixelPass pass = {};

bool make(const Renderer &picture)
{
    if (!makeRenderer(pass.renderer, true, &picture)) {
        return false;
    }
    emscripten_glGenFramebuffers(1, &pass.framebuffer);
    emscripten_glGenTextures(1, &pass.colour);
    emscripten_glGenRenderbuffers(1, &pass.depth);
    pass.width = pass.height = 0;
    pass.made = true;
    return true;
}

// The framebuffer at the size of the picture's drawing buffer, so that the picture's viewport
// lands on the same pixels in both. Its depth buffer is the kind the picture's is, 24 bits where
// the browser gives them, so that the nearer of two close surfaces is the same one in both.
void fitFramebuffer()
{
    int width = 0, height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width,
                                             &height);
    if (width == pass.width && height == pass.height) {
        return;
    }
    pass.width = width;
    pass.height = height;
    emscripten_glBindTexture(GL_TEXTURE_2D, pass.colour);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                            nullptr);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, pass.depth);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_STENCIL, width, height);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                      pass.colour, 0);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT,
                                         GL_RENDERBUFFER, pass.depth);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    pass.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

} // namespace

void lightPerPixelToo(bool on)
{
    pass.on = on;
    pass.cleared = false;
    gatherCornerNormals(on);
}

void clearPerPixel(const Renderer &picture, const FragmentState &fragment)
{
    if (!pass.on || (!pass.made && !make(picture))) {
        return;
    }
    fitFramebuffer();
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    emscripten_glDepthMask(GL_TRUE);
    emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    emscripten_glDepthMask(fragment.depthMask);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    pass.cleared = true;
}

void drawPerPixel(Renderer &picture, const Draw &draw)
{
    if (!pass.on || !pass.cleared) {
        return;
    }
    // The two renderers share the context's attributes: each learns what the other left.
    pass.renderer.flatGiven = picture.flatGiven;
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    useLighting(pass.renderer, *draw.lighting, *draw.projection, draw.materials,
                draw.materialCount);
    drawVertices(pass.renderer, draw, false);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    picture.flatGiven = pass.renderer.flatGiven;
    pass.renderer.inUse = nullptr;
    if (picture.inUse != nullptr) {
        emscripten_glUseProgram(picture.inUse->name);
    }
}

void forgetPerPixel()
{
    pass.made = false;
    pass.cleared = false;
}

const unsigned char *readPerPixel(int &width, int &height)
{
    if (!pass.on || !pass.cleared) {
        return nullptr;
    }
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    emscripten_glReadPixels(0, 0, pass.width, pass.height, GL_RGBA, GL_UNSIGNED_BYTE,
                            pass.pixels.data());
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    width = pass.width;
    height = pass.height;
    return pass.pixels.data();
}

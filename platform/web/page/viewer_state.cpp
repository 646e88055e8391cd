// What the page may read of the viewer, for the words it puts to the picture: the viewer's own
// state, and the polygon mode, which the viewer keeps in GL. Read, never written: the page changes
// the viewer only with the keys and drags a person makes.
#include "shell/viewer_state.h"

#include <GL/gl.h>
#include <emscripten.h>

#include <cstdio>

// orvane.viewerState() on the page, as JSON.
extern "C" EMSCRIPTEN_KEEPALIVE const char *orvane_viewer_state()
{
    static char json[256];
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    const ViewerState &s = viewerState;
    std::snprintf(json, sizeof json,
                  "{\"model\":%d,\"smoothShading\":%s,\"highlight\":%s,\"polygonMode\":\"%s\","
                  "\"angleX\":%.9g,\"angleY\":%.9g,\"zoom\":%.9g}",
                  static_cast<int>(s.objectIndex), s.smoothShading ? "true" : "false",
                  s.highlight ? "true" : "false",
                  modes[0] == GL_LINE    ? "wireframe"
                  : modes[0] == GL_POINT ? "points"
                                         : "filled",
                  static_cast<double>(s.angleX), static_cast<double>(s.angleY),
                  static_cast<double>(s.zoom));
    return json;
}

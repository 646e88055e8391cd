// The GL 1.x and GLU subset the viewer draws with, on WebGL 1.
//
// Polygons sent with glBegin(GL_POLYGON) ... glEnd are taken to eye coordinates on the CPU as they
// arrive and gathered, with their normals and materials, into one vertex array for the polygon
// mode in force. The vertex shader evaluates OpenGL 1.x's lighting equation for each vertex and
// projects it; WebGL interpolates the colours across the polygon. What has been gathered is drawn
// when something that would change how it is drawn is about to change (the projection, the light,
// the polygon mode, depth state, a clear), when the frame is swapped, and whenever 16,384 vertices
// have been gathered, so a frame of the tree is 25 draws. Nothing is kept from one frame to the
// next.
//
// Outside the subset: a call with an argument the layer does not implement, or a polygon of more
// than 16,384 corners, prints what it was and aborts in a debug build; in a release build it prints
// the same line, records GL_INVALID_ENUM (GL_INVALID_VALUE for the polygon) and does nothing, as GL
// does with an enumerant it does not know.
#pragma once

#include <GL/gl.h>

// Makes the layer's shader program and vertex buffer in the WebGL context that is current.
// False if WebGL refused them; the reason is on standard error.
bool startGlLayer();
// After the browser has restored a lost context, in which nothing made or set before is left:
// makes them again, and sets again the clear values, depth state and viewport the program set.
bool restartGlLayer();

// Draws everything gathered so far.
void drawGatheredPolygons();
// Draws everything gathered so far and tells whoever listens for frames (the probe, the second
// view) that the frame is done. The window layer calls it when the frame is swapped.
void finishFrame();

// For the page's lighting lab (lab/lab.cpp): from now on, where the program passes `count` numbers
// equal to `from` to glMaterialfv as `pname`, GL goes on with `to` instead.
void replaceMaterialValue(GLenum pname, int count, const GLfloat from[4], const GLfloat to[4]);
void forgetMaterialReplacements();
// For the lab's LIGHT_SET_IN: while `on`, where each frame first multiplies a scale onto the
// modelview (display()'s zoom, right after its two rotations), GL_LIGHT0's position is set again to
// `position` under the modelview in force there, as a glLightfv call in display() would set it.
void setLightPositionInFrame(bool on, const GLfloat position[4]);

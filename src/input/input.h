// The GLUT input callbacks. They change viewerState or the GL polygon mode and ask for a new frame;
// they never draw.
#pragma once

// The command keys: 1-4 choose the model, S and H toggle smooth normals and the highlight, W, P and
// V set wireframe, filled or point rasterisation, Q quits. Every key but Q asks for one redisplay.
void keyboard(unsigned char key, int x, int y);

// Tracks presses and releases: a press starts a drag with its button, any release ends it.
void mouse(int button, int state, int x, int y);

// During a drag, the left button turns the model one degree per pixel; any other button zooms.
void motion(int x, int y);

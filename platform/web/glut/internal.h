// What the parts of the GLUT layer share with each other; the viewer sees only GLUT's own
// functions.
#pragma once

// GLUT's number for a DOM button: 0, 1 and 2 are the same in both.
int glutButton(int domButton);
// Hand the viewer's mouse and motion callbacks a press or release and a move, in canvas pixels.
// Nothing reaches the viewer once it has ended.
void reportButton(int button, int state, int x, int y);
void reportMotion(int x, int y);

// False while the page's probe is on: a new press or touch is then the probe's, not the viewer's.
bool pressesReachViewer();

// Touch and pen (pointers.cpp): their gestures, told to the viewer as mouse drags. The mouse
// itself keeps its own events.
void listenForPointers();

// Keys that turn and zoom the model (turn_keys.cpp): the DOM's name for a key, told to the viewer
// as a drag from (centreX, centreY). False where the key is not one of them, or is the page's.
bool dragForKey(const char *key, bool shift, int centreX, int centreY);

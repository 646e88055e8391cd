// The two composite models, built from rods (drawCylinder) and balls (drawSphere) placed by the
// modelview matrix stack.
#pragma once

// Forty dumbbells along the x axis, each turned 10 degrees further about it than the one before.
// Balanced on the modelview stack.
void drawTwistedLadder();

// A rod with a ball at its top from which three trees one level shallower branch off.
// Stack protocol: the caller pushes the modelview matrix just before the call and the tree pops it
// as its last action. A depth below 1 is a tree of no nodes, which still pops that push.
void drawBranchingTree(int depth);

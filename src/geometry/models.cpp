#include "geometry/models.h"

#include <GL/gl.h>

#include "geometry/primitives.h"

namespace {

// The building block of both models: a yellow rod from z = -1 to +1 with blue balls at its ends.
constexpr double ROD_RADIUS = 0.1;
constexpr double ROD_LENGTH = 2.0;
constexpr GLfloat ROD_HALF_LENGTH = 1.0f;
constexpr double BALL_RADIUS = 0.3;

constexpr int LADDER_RUNGS = 40;
constexpr GLfloat LADDER_SCALE = 0.5f;
constexpr GLfloat LADDER_START_X = -10.0f; // rung k then sits at -10 + 0.5 k, spanning -9.5 to +10
constexpr GLfloat RUNG_SPACING = 0.5f;
constexpr GLfloat RUNG_TWIST_DEGREES = 10.0f;

constexpr int TREE_BRANCHES = 3;
constexpr GLfloat BRANCH_SPACING_DEGREES = 120.0f; // 360 / TREE_BRANCHES
constexpr GLfloat BRANCH_LEAN_DEGREES = 70.2f;
// Out along the leaning axis to the branch rod's centre: the rod then runs from 0.1 behind the
// parent ball's centre to 1.9 beyond it, so it starts inside that ball.
constexpr GLfloat BRANCH_OFFSET = 0.9f;
constexpr GLfloat BRANCH_HALF_TURN_DEGREES = 180.0f;

void drawRod()
{
    drawCylinder(ROD_RADIUS, ROD_LENGTH);
}

void drawBall()
{
    drawSphere(BALL_RADIUS);
}

} // namespace

void drawTwistedLadder()
{
    glPushMatrix();
    glScalef(LADDER_SCALE, LADDER_SCALE, LADDER_SCALE);
    glTranslatef(LADDER_START_X, 0.0f, 0.0f);
    for (int rung = 0; rung < LADDER_RUNGS; ++rung) {
        // Outside the rung's own push, so the step and the twist accumulate from rung to rung.
        glTranslatef(RUNG_SPACING, 0.0f, 0.0f);
        glRotatef(RUNG_TWIST_DEGREES, 1.0f, 0.0f, 0.0f);

        glPushMatrix();
        drawRod();
        glTranslatef(0.0f, 0.0f, ROD_HALF_LENGTH);
        drawBall();
        glTranslatef(0.0f, 0.0f, -2.0f * ROD_HALF_LENGTH);
        drawBall();
        glPopMatrix();
    }
    glPopMatrix();
}

// Each branch pushes twice. The outer push keeps the branch's lean and offset from reaching its
// siblings; the inner one is the caller's push that the subtree pops, as the protocol asks. The
// rotation that spaces the branches is made outside both, so it accumulates to 120, 240 and 360
// degrees. The modelview stack grows by two entries per level.
void drawBranchingTree(int depth)
{
    if (depth < 1) {
        glPopMatrix();
        return;
    }
    drawRod();
    glTranslatef(0.0f, 0.0f, ROD_HALF_LENGTH);
    drawBall();

    for (int branch = 0; branch < TREE_BRANCHES; ++branch) {
        glRotatef(BRANCH_SPACING_DEGREES, 0.0f, 0.0f, 1.0f);
        glPushMatrix();
        glRotatef(BRANCH_LEAN_DEGREES, 0.0f, 1.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, BRANCH_OFFSET);
        // Sets where this branch's own three sub-branches leave.
        glRotatef(BRANCH_HALF_TURN_DEGREES, 0.0f, 0.0f, 1.0f);
        glPushMatrix();
        // At depth 1 this is the empty tree, which only pops the push above.
        drawBranchingTree(depth - 1);
        glPopMatrix();
    }
    glPopMatrix();
}

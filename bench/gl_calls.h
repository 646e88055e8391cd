// The GL calls of one frame, captured through gl_sink.cpp and sent again by replay().
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "shell/viewer_state.h"

enum class GlOp : std::uint8_t {
    CLEAR,
    PUSH_MATRIX,
    POP_MATRIX,
    TRANSLATE,
    ROTATE,
    SCALE,
    MATERIAL_VECTOR,
    MATERIAL,
    BEGIN,
    NORMAL,
    VERTEX,
    END,
    SWAP_BUFFERS,
};

// One entry in ops per call, and the call's arguments in order in args: enums and floats are exact
// as doubles. Two flat arrays keep the replay's reads few and sequential.
struct GlCalls {
    std::vector<GlOp> ops;
    std::vector<GLdouble> args;
};

// The calls display() makes for this state, in order. C linkage keeps the name exportable from the
// shared library that hides everything else.
extern "C" void recordFrame(const ViewerState &state, GlCalls &calls);

// The same calls again, from the arrays.
void replay(const GlCalls &calls);

#include "support/allocation_counter.h"
#include "support/fake_gl.h"

#include "shell/viewer_state.h"

#include <gtest/gtest.h>

namespace {

// A frame of any model, in any mode, allocates nothing: all its working values live on the stack.
TEST(Allocation, NoFrameAllocates)
{
    fakegl::reset();
    fakegl::setRecording(false);
    for (int combination = 0; combination < 4 * 2 * 2; ++combination) {
        ViewerState state;
        state.objectIndex = combination % 4;
        state.smoothShading = (combination / 4) % 2 == 1;
        state.highlight = (combination / 8) % 2 == 1;
        viewerState = state;
        const long before = allocationCount();
        display();
        EXPECT_EQ(allocationCount() - before, 0) << "model " << state.objectIndex;
    }
    fakegl::setRecording(true);
}

} // namespace

#include "support/fake_gl.h"

#include "shell/viewer_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocations{0};

} // namespace

// Every allocation through new in this test program is counted; delete is replaced with it so the
// two stay a pair. GCC cannot see that free() is the right partner of this new's malloc().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void *operator new(std::size_t size)
{
    ++allocations;
    if (void *p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop

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
        const long before = allocations;
        display();
        EXPECT_EQ(allocations - before, 0) << "model " << state.objectIndex;
    }
    fakegl::setRecording(true);
}

} // namespace

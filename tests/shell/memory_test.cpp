#include "support/render_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <limits>
#include <malloc.h>
#include <string>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string field;
    long kib = -1;
    while (status >> field) {
        if (field == "VmRSS:") {
            status >> kib;
        }
    }
    return kib;
}

long heapInUseKiB()
{
    return long(mallinfo2().uordblks / 1024);
}

// Every model in every shading, highlight and polygon mode, shown as the viewer shows it, over
// and over: nothing may pile up.
TEST(Memory, HeapAndResidentMemoryStayFlatOverAThousandFrames)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine and has a heap of its own, "
                    "so memory use is measured in the plain build";
#endif
    constexpr int COMBINATIONS = 48;
    constexpr int ROUNDS = 22;
    // Mesa's software renderer takes its working memory over the first few hundred frames; from
    // the tenth round on, neither the heap in use nor the resident set may grow.
    constexpr int SETTLED_ROUND = 10;
    const unsigned char modes[] = {'p', 'w', 'v'};
    // llvmpipe's rasteriser threads take and return scene memory on their own schedule, so what
    // the heap holds after a frame swings by tens of MiB with the mode and the moment. The least
    // it holds over a round is steady to a few hundred KiB, and a leak raises it.
    long heapFloor = 0, residentFloor = 0, settledHeapFloor = 0, settledResidentFloor = 0;
    for (int round = 1; round <= ROUNDS; ++round) {
        heapFloor = residentFloor = std::numeric_limits<long>::max();
        for (int combination = 0; combination < COMBINATIONS; ++combination) {
            ViewerState state;
            state.objectIndex = combination % 4;
            state.smoothShading = (combination / 4) % 2 == 1;
            state.highlight = (combination / 8) % 2 == 1;
            state.angleY = float(round * COMBINATIONS + combination);
            pressKey(modes[combination / 16]);
            drawFrame(state);
            heapFloor = std::min(heapFloor, heapInUseKiB());
            residentFloor = std::min(residentFloor, residentKiB());
        }
        if (round == 1 || round == SETTLED_ROUND || round == ROUNDS) {
            std::cout << "round " << round << " (frames to " << round * COMBINATIONS
                      << "): least resident " << residentFloor << " KiB, least heap in use "
                      << heapFloor << " KiB" << std::endl;
        }
        if (round == SETTLED_ROUND) {
            settledHeapFloor = heapFloor;
            settledResidentFloor = residentFloor;
        }
    }
    pressKey('p');
    // 512 KiB of heap over 576 frames catches a leak of 1 KiB a frame. The resident set also
    // drifts by a few MiB with the allocator's fragmentation and X's buffers.
    EXPECT_LE(heapFloor - settledHeapFloor, 512);
    EXPECT_LE(residentFloor - settledResidentFloor, 8192);
}

} // namespace

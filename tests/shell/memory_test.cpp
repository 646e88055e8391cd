#include "support/render_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

constexpr int COMBINATIONS = 48; // 4 models x 2 shadings x 2 highlights x 3 polygon modes
constexpr int ROUNDS = 22;
// Mesa's software renderer takes its working memory over the first few rounds; from the tenth
// round on, neither the heap in use nor the resident set may grow.
constexpr int SETTLED_ROUND = 10;
// Rounds 6 to 10 and 18 to 22 lie 576 frames apart, so a leak of 200 bytes a frame adds over
// 112 KiB. Rendered in the calling thread, the driver's heap in use stays within a few KiB, while
// the resident set has been seen to gain up to 512 KiB over the same frames.
constexpr long HEAP_GROWTH_LIMIT_KIB = 96;
constexpr long RESIDENT_GROWTH_LIMIT_KIB = 2048;

using RoundFloors = std::array<long, ROUNDS + 1>; // indexed by round, from 1

// The middle of the least readings of the five rounds that end with lastRound, so that no one
// round decides.
long typicalFloor(const RoundFloors &floors, int lastRound)
{
    std::array<long, 5> window{};
    std::copy_n(floors.begin() + lastRound - 4, 5, window.begin());
    std::nth_element(window.begin(), window.begin() + 2, window.end());
    return window[2];
}

// Every model in every shading, highlight and polygon mode, shown as the viewer shows it, over
// and over: nothing may pile up.
TEST(Memory, HeapAndResidentMemoryStayFlatOverAThousandFrames)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine and has a heap of its own, "
                    "so memory use is measured in the plain build";
#endif
    const unsigned char modes[] = {'p', 'w', 'v'};
    // What the heap holds right after a frame depends on the polygon mode, so each round of all
    // combinations is judged by the least it held.
    RoundFloors heapFloors{}, residentFloors{};
    for (int round = 1; round <= ROUNDS; ++round) {
        long heapFloor = std::numeric_limits<long>::max();
        long residentFloor = heapFloor;
        for (int combination = 0; combination < COMBINATIONS; ++combination) {
            const int frame = (round - 1) * COMBINATIONS + combination + 1;
            ViewerState state;
            state.objectIndex = combination % 4;
            state.smoothShading = (combination / 4) % 2 == 1;
            state.highlight = (combination / 8) % 2 == 1;
            state.angleY = float(frame);
            pressKey(modes[combination / 16]);
            drawFrame(state);
            if (frame == 10 || frame == 1000) {
                std::cout << "frame " << frame << ": resident " << residentKiB() << " KiB"
                          << std::endl;
            }
            heapFloor = std::min(heapFloor, heapInUseKiB());
            residentFloor = std::min(residentFloor, residentKiB());
        }
        heapFloors[size_t(round)] = heapFloor;
        residentFloors[size_t(round)] = residentFloor;
    }
    pressKey('p');
    std::cout << "least heap in use and resident set (KiB) of each round of " << COMBINATIONS
              << " frames:" << std::endl;
    for (int round = 1; round <= ROUNDS; ++round) {
        std::cout << "  round " << round << ": " << heapFloors[size_t(round)] << ", "
                  << residentFloors[size_t(round)] << std::endl;
    }
    EXPECT_LE(typicalFloor(heapFloors, ROUNDS) - typicalFloor(heapFloors, SETTLED_ROUND),
              HEAP_GROWTH_LIMIT_KIB);
    EXPECT_LE(typicalFloor(residentFloors, ROUNDS) - typicalFloor(residentFloors, SETTLED_ROUND),
              RESIDENT_GROWTH_LIMIT_KIB);
}

} // namespace

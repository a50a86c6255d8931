// The initial part program: the parameter words and the connection list every layer starts from.
#include "engine/program/InitialProgram.h"

#include <cstddef>
#include <initializer_list>

#include "engine/modules/ModuleSlots.h"

namespace corvex {

namespace {

constexpr int kMaxRunsPerBlock = 16;

struct WordRun {
    uint16_t first, last, value; // first == 0 ends a row's runs
};

// Slots that share one set of words (both instances of a module start alike).
struct InitialBlock {
    uint32_t slots;
    WordRun runs[kMaxRunsPerBlock];
};

constexpr uint32_t slots(std::initializer_list<int> list) {
    uint32_t mask = 0;
    for (int s : list) mask |= uint32_t{1} << s;
    return mask;
}

constexpr InitialBlock kInitialBlocks[] = {
    {slots({0, 20, 21, 22}), {{3, 3, 8}, {5, 5, 65535}}},
    {slots({1}),
     {{3, 3, 8}, {7, 7, 3440}, {8, 8, 8192}, {9, 9, 1638}, {29, 29, 4080}, {30, 30, 1365}, {32, 33, 8192},
      {34, 34, 16384}, {36, 37, 8192}, {38, 38, 16384}}},
    {slots({2}), {{3, 3, 8}, {8, 9, 8192}, {10, 10, 5406}, {13, 15, 65535}, {16, 16, 1}}},
    {slots({3}), {{3, 3, 8}, {8, 8, 8192}, {9, 9, 9011}, {10, 10, 5242}, {13, 15, 65535}, {16, 16, 1}}},
    {slots({4}), {{3, 3, 8}, {7, 7, 163}, {8, 8, 16}, {10, 10, 1}, {11, 11, 6}, {12, 16, 1}}},
    {slots({5}), {{3, 3, 8}, {7, 7, 16384}, {10, 16, 1}, {17, 17, 2}}},
    {slots({6}), {{3, 3, 8}, {9, 9, 1638}, {10, 10, 6553}, {11, 11, 1638}, {13, 15, 16384}, {16, 19, 1}}},
    {slots({7}),
     {{3, 3, 8}, {9, 9, 1638}, {10, 10, 6553}, {11, 11, 1638}, {13, 14, 16384}, {15, 15, 6553}, {16, 19, 1}}},
    {slots({8}), {{3, 3, 1}, {7, 7, 11468}, {9, 9, 8128}, {10, 10, 1}}},
    {slots({9}), {{3, 3, 8}, {7, 8, 16384}}},
    {slots({10, 11}), {{3, 3, 8}, {7, 15, 8192}, {16, 16, 12288}}},
    {slots({12, 13}), {{3, 3, 8}, {8, 10, 8192}, {11, 11, 2}, {12, 12, 8192}, {17, 17, 8192}, {18, 18, 12288}}},
    {slots({14, 15}), {{3, 3, 8}, {7, 8, 8192}, {10, 11, 8192}, {14, 15, 8192}, {17, 17, 12288}}},
    {slots({16, 17}),
     {{3, 3, 8}, {7, 7, 2621}, {8, 8, 8192}, {9, 9, 4915}, {10, 11, 8192}, {12, 12, 7864}, {13, 14, 8192},
      {15, 15, 11468}, {16, 16, 8192}, {21, 21, 8192}, {23, 23, 12288}}},
    {slots({18, 19}), {{3, 3, 8}, {7, 7, 3}, {8, 11, 8192}, {13, 13, 8192}, {14, 14, 2}, {18, 18, 12288}}},
    {slots({23}), {{3, 3, 8}, {15, 15, 1}}},
    {slots({24}),
     {{3, 3, 8}, {7, 8, 1}, {9, 9, 8192}, {10, 10, 4}, {12, 12, 31}, {14, 14, 1}, {16, 17, 1}, {18, 18, 24},
      {19, 20, 1638}, {21, 21, 16384}, {22, 22, 1638}, {119, 150, 8192}, {151, 151, 24}, {154, 154, 1},
      {284, 284, 24}, {287, 287, 1}}},
    {slots({25}), {{3, 3, 8}}},
    {slots({26}),
     {{3, 3, 8}, {7, 7, 327}, {8, 11, 16384}, {12, 12, 3}, {14, 14, 1}, {15, 15, 2}, {16, 16, 65535}}},
    {slots({27}), {{3, 3, 8}, {15, 15, 1}, {17, 17, 8}}},
    {slots({29}), {{3, 3, 8}, {7, 7, 8192}, {11, 11, 1}}},
    {slots({30}), {{3, 3, 8}, {7, 7, 8192}, {10, 11, 1}}},
    {slots({31}), {}}, // its block is the header alone
};

// Every block but the connection list is written exactly once, and no run leaves its block.
constexpr bool initialBlocksAreSound() {
    uint32_t seen = 0;
    for (const InitialBlock& b : kInitialBlocks) {
        if (b.slots & seen) return false;
        seen |= b.slots;
        for (int slot = 0; slot < kPartSlotCount; ++slot) {
            if (!(b.slots & (uint32_t{1} << slot))) continue;
            for (const WordRun& r : b.runs)
                if (r.first != 0 && (r.first < 3 || r.last < r.first || r.last >= kModuleSlots[slot].blockWords))
                    return false;
        }
    }
    return seen == ~(uint32_t{1} << SlotIndex::ConnectionList);
}
static_assert(initialBlocksAreSound(), "the initial part words must cover each block once and stay inside it");

} // namespace

const InitialConnection kInitialConnections[kInitialConnectionCount] = {
    {0, 0, 1, 0, 16384, 0},      {30, 0, 2, 0, 0, 114},      {29, 0, 2, 0, 0, 114},
    {3, 0, 2, 0, 0, 49},         {1, 5, 2, 0, 16384, 160},   {7, 0, 2, 0, 0, 132},
    {1, 0, 2, 0, 16384, 49},     {7, 0, 2, 2, 12288, 0},     {26, 1, 2, 4, 0, 0},
    {26, 0, 2, 5, 40960, 0},     {1, 5, 3, 0, 16384, 160},   {7, 0, 3, 0, 0, 132},
    {30, 0, 3, 0, 0, 114},       {1, 0, 3, 0, 16384, 49},    {29, 0, 3, 0, 0, 114},
    {2, 4, 3, 3, 16384, 0},      {26, 1, 3, 4, 16384, 0},    {26, 0, 3, 5, 40960, 0},
    {9, 0, 4, 0, 16384, 0},      {26, 0, 4, 3, 40960, 0},    {4, 0, 5, 0, 16384, 0},
    {7, 0, 5, 1, 16384, 65},     {24, 2, 5, 1, 16384, 65},   {29, 0, 5, 1, 0, 147},
    {1, 0, 5, 1, 16384, 193},    {0, 0, 6, 0, 16384, 0},     {24, 3, 6, 0, 16384, 0},
    {24, 3, 7, 0, 16384, 0},     {0, 0, 7, 0, 16384, 0},     {5, 0, 8, 0, 16384, 0},
    {29, 0, 8, 2, 0, 1},         {6, 0, 8, 4, 16384, 0},     {2, 0, 9, 0, 16384, 0},
    {3, 0, 9, 1, 16384, 0},      {20, 0, 23, 0, 16384, 0},   {26, 3, 23, 5, 16384, 0},
    {20, 0, 24, 0, 16384, 0},    {20, 0, 25, 0, 16384, 0},   {23, 0, 29, 0, 16384, 0},
    {20, 0, 29, 1, 16384, 0},    {23, 0, 30, 0, 16384, 0},   {21, 0, 30, 1, 16384, 0},
    {22, 0, 31, 0, 16384, 0},    {24, 0, 31, 0, 16384, 0},   {25, 0, 31, 0, 16384, 0},
};

void writeInitialPartWords(uint16_t* partArea) {
    for (const InitialBlock& b : kInitialBlocks) {
        for (int slot = 0; slot < kPartSlotCount; ++slot) {
            if (!(b.slots & (uint32_t{1} << slot))) continue;
            const ModuleSlot& s = kModuleSlots[static_cast<size_t>(slot)];
            uint16_t* block = partArea + s.blockAt;
            for (int w = 3; w < s.blockWords; ++w) block[w] = 0;
            for (const WordRun& r : b.runs) {
                if (r.first == 0) break;
                for (int w = r.first; w <= r.last; ++w) block[w] = r.value;
            }
        }
    }
}

} // namespace corvex

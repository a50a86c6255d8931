// The program image's block lookup: how far a stored length word is trusted, the same through the
// writable and the read-only lookup.
#include <gtest/gtest.h>

#include "engine/modules/ModuleSlots.h"
#include "engine/program/ProgramImage.h"

namespace corvex::testing {
namespace {

TEST(ProgramImage, StoredLengthWordIsTrustedOnlyAsFarAsTheSlotsRoom) {
    ProgramImage image;
    image.writeModuleBlock(3, 1, kBlockStateBuilt); // an oscillator block of 20 words in part 2
    const ProgramImage& readOnly = image;
    struct Case {
        uint16_t stored;
        int length;
    };
    for (const Case c : {Case{0, 0}, Case{3, 3}, Case{11, 11}, Case{20, 20}, Case{21, 20}, Case{65535, 20}}) {
        SCOPED_TRACE(c.stored);
        image.area(2)[kModuleSlots[3].blockAt + 2] = c.stored;
        const ProgramImage::Block b = image.block(2, 3);
        const ProgramImage::ConstBlock r = readOnly.block(2, 3);
        EXPECT_EQ(b.words, image.area(2) + kModuleSlots[3].blockAt);
        EXPECT_EQ(b.length, c.length);
        EXPECT_EQ(r.words, b.words);
        EXPECT_EQ(r.length, c.length);
    }
}

TEST(ProgramImage, KernelGlobalBlocksKeepTheirRoomWhateverTheirLengthWordSays) {
    ProgramImage image;
    image.globalBlock(SlotIndex::GlobalBlock)[2] = 3;
    EXPECT_EQ(image.block(0, SlotIndex::GlobalBlock).length, 15);
    EXPECT_EQ(image.block(0, SlotIndex::GlobalBlock).words, image.globalBlock(SlotIndex::GlobalBlock));
    const ProgramImage& readOnly = image;
    EXPECT_EQ(readOnly.block(0, SlotIndex::GlobalBlock).length, 15);
    // The connection list and slots outside a section are no blocks.
    EXPECT_EQ(readOnly.block(1, SlotIndex::ConnectionList).words, nullptr);
    EXPECT_EQ(readOnly.block(0, SlotIndex::OutputBus).words, nullptr);
    EXPECT_EQ(readOnly.block(ProgramImage::kPartCount + 1, 3).words, nullptr);
}

} // namespace
} // namespace corvex::testing

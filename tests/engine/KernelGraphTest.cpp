// The kernel-global graph and the arpeggiator as the initial program plays them: layer levels reach
// the output, effect changes rebuild a slot without leaking, held keys are arpeggiated in free and
// synchronised time.
#include <gtest/gtest.h>

#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

class Graph : public ::testing::Test {
protected:
    void SetUp() override {
        kernel = makeKernel();
        program = std::make_unique<CorvanKernelProgram>(*kernel);
        program->initialise();
        // Noise through the initial layer's mixer straight into its voice output, so that a note is
        // heard with the initial envelopes and graph.
        program->setParameterWord(1, 26, 10, -1, 8192);
        program->setParameterWord(1, 26, 15, -1, 2);
        program->connect(1, 26, 3, 0, 9, 2, 16384, 0);
        program->setParameterWord(1, 9, 9, -1, 10000); // the mixer's third input at about unity
        program->disconnect(1, 5, 0, 0, 8, 0);
        program->connect(1, 9, 0, 0, 8, 0, 16384, 0);
        block();
    }
    void block() { render(*kernel, out); }
    double level(int blocks) {
        std::vector<float> samples;
        for (int i = 0; i < blocks; ++i) {
            block();
            samples.insert(samples.end(), out.left, out.left + 32);
        }
        return rms(samples);
    }
    int soundingNote() const {
        for (int i = 0; i < kVoiceCount; ++i)
            if (kernel->voice(i).ownerPart == 0 && kernel->voice(i).state == VoiceRecord::Sounding)
                return kernel->voice(i).note;
        return -1;
    }
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    Block out;
};

TEST_F(Graph, LayerLevelReachesTheOutput) {
    kernel->sendMidiNote(0x90, 60, 100);
    EXPECT_GT(level(20), 1e-3);
    program->setLayerBalance(0.0f); // the first layer's level goes to 0
    block();
    EXPECT_EQ(level(5), 0.0);
    program->setLayerBalance(0.5f);
    EXPECT_GT(level(5), 1e-3);
    program->setScaledWord(0.0f); // patch volume 0
    block();
    EXPECT_EQ(level(5), 0.0);
}

TEST_F(Graph, EffectChangesRebuildTheSlotWithoutLeaking) {
    const std::vector<int> before = freeItems(*kernel);
    for (int round = 0; round < 3; ++round)
        for (int selector = 0; selector <= 4; ++selector) {
            program->setEffectType(0, selector);
            program->setEffectType(1, 4 - selector);
            block();
        }
    program->setEffectType(0, 0);
    program->setEffectType(1, 0);
    block();
    EXPECT_EQ(freeItems(*kernel), before);
    kernel->sendMidiNote(0x90, 60, 100);
    EXPECT_GT(level(20), 1e-3) << "pass-through slots carry the layer again";
}

// Only the first two master slots host an effect; the third is a fixed pass-through that neither a
// block nor a parameter word reaches.
TEST_F(Graph, ThirdEffectSlotTakesNoBlockAndNoParameter) {
    auto record = [&](int slot) {
        const ParameterRecord& r = kernel->globalRecord(slot);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&r);
        return std::vector<uint8_t>(bytes, bytes + sizeof(r));
    };
    const std::vector<uint8_t> fixedBefore = record(37);
    const std::vector<uint8_t> firstBefore = record(35);
    for (int slot = 0; slot < 3; ++slot) program->setEffectType(slot, 4);
    block();
    kernel->processMessage(std::vector<uint16_t>{head(0, MessageType::SetParameter), pair(49, 2), pair(3, 2), 12000}.data(), 4);
    EXPECT_EQ(record(37), fixedBefore);
    EXPECT_NE(record(35), firstBefore) << "the first master slot does take its effect";
    EXPECT_EQ(kernel->globalRecord(37).as<EffectSlotParams>().hostedType, 22);
}

TEST_F(Graph, ArpeggiatorStepsThroughHeldKeys) {
    struct Case {
        const char* name;
        uint16_t rateWord, sync;
        int stepSamples;
    };
    const Case cases[] = {
        {"free time, 1225 steps a minute", 16384, 0, 2160},
        {"tempo sync, 9 steps a beat at 120 bpm", 16384, 1, 2450},
    };
    for (const Case& c : cases) {
        SetUp();
        program->setArpeggiatorMode(1); // up
        program->applyVoiceAssign();
        program->setParameterWord(0, 40, 13, -1, c.rateWord);
        program->setParameterWord(0, 40, 14, -1, c.sync);
        block();
        kernel->sendMidiNote(0x90, 60, 100);
        kernel->sendMidiNote(0x90, 64, 100);
        std::vector<int> notes;
        std::vector<int> changes;
        int last = -1;
        for (int b = 0; b < 600; ++b) {
            block();
            const int note = soundingNote();
            if (note != last && note >= 0) {
                notes.push_back(note);
                changes.push_back(b);
            }
            last = note;
        }
        ASSERT_GE(notes.size(), 5u) << c.name;
        EXPECT_EQ((std::vector<int>(notes.begin(), notes.begin() + 4)), (std::vector<int>{60, 64, 60, 64})) << c.name;
        const double blocksPerStep = static_cast<double>(changes[4] - changes[1]) / 3.0;
        EXPECT_NEAR(blocksPerStep * 32.0, c.stepSamples, 32.0) << c.name;
    }
}

// All notes off of a part also forgets the keys the arpeggiator holds for it.
TEST_F(Graph, AllNotesOffClearsTheArpeggio) {
    program->setArpeggiatorMode(1);
    program->applyVoiceAssign();
    program->setParameterWord(0, 40, 13, -1, 16384);
    block();
    kernel->sendMidiNote(0x90, 60, 100);
    for (int b = 0; b < 100; ++b) block();
    ASSERT_EQ(soundingNote(), 60);
    const uint16_t allOff[2] = {0xB012, 123};
    kernel->processMessage(allOff, 2);
    for (int b = 0; b < 300; ++b) {
        block();
        ASSERT_EQ(soundingNote(), -1) << b;
    }
}

} // namespace
} // namespace corvex::testing

// A part's voices rendered together, their oscillators, filters and insert effects side by side in
// vector lanes, play exactly what voices rendered one at a time play: the initial program, Whole and
// Dual, bare, with insert effects in both chains and with its oscillators on every path (hard sync,
// pulses and their width, audio-rate pitch, sine and triangle), through notes, bends, releases,
// retriggers and live edits of parameters and connections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"

namespace corvex::testing {
namespace {

constexpr int kLowPass = 5;
constexpr int kHighPass = 4;
constexpr int kMixer = 9;
constexpr int kVoiceOut = 8;

// An insert effect in both chains of every part: slots[0] between the mixer and the high-pass,
// slots[1] between the low-pass and the voice output. Words (parameter, value) set when it goes
// in, and more during the performance.
struct WordEdit {
    int parameter;
    uint16_t word;
};
struct InsertEffect {
    const char* name;
    int slots[2];
    std::vector<WordEdit> start, later;
};

const InsertEffect kNoInsert{"", {-1, -1}, {}, {}};
const InsertEffect kPhaser{"Phaser", {18, 19}, {{7, 4}, {8, 12000}, {9, 6000}, {10, 10000}, {11, 9000}, {13, 12000}},
                           {{7, 6}, {8, 15000}, {13, 16384}, {11, 14000}}};
// Mode 0 oversampled, driven hard and moved off its symmetry.
const InsertEffect kDistortion{"Distortion", {14, 15},
                               {{9, 0}, {12, 1}, {8, 9000}, {14, 12000}, {15, 9000}, {16, 12000}, {17, 10000}},
                               {{8, 15000}, {14, 16384}, {15, 4000}}};

// Every tap count in turn, feedback of both signs, a deep and spread sweep.
const InsertEffect kChorus{"Chorus",
                           {12, 13},
                           {{7, 3}, {8, 3000}, {9, 12000}, {10, 12000}, {12, 10000}, {13, 8000}, {17, 12000}},
                           {{7, 1}, {12, uint16_t(-9000)}, {13, 16384}, {10, 16384}, {8, 9000}}};

// Oscillator words (slot, parameter, word) set when the sound starts and changed during the
// performance, and the amount of the second oscillator's route into the first one's pitch (0 leaves
// the first oscillator's audio-rate pitch unmodulated).
constexpr int kFirstOscillator = 2;
constexpr int kSecondOscillator = 3;
constexpr int kSyncOn = 11;
constexpr int kFirstPortWave = 12;
constexpr int kPulseWidth = 8;
struct SlotWord {
    int slot, parameter;
    uint16_t word;
};
struct OscillatorPlay {
    const char* name;
    std::vector<SlotWord> start, later;
    uint16_t pitchRoute, laterPitchRoute;
};

const OscillatorPlay kInitialOscillators{"", {}, {}, 0, 0};
// The second oscillator synced to the first, then free again while the first turns to a pulse.
const OscillatorPlay kSync{"Sync",
                           {{kSecondOscillator, kSyncOn, 1}},
                           {{kSecondOscillator, kSyncOn, 0}, {kFirstOscillator, kFirstPortWave, 1}},
                           0,
                           0};
// Pulses on both, the first's width modulated by its envelope route, then a triangle and a sync.
const OscillatorPlay kPulses{"Pulses",
                             {{kFirstOscillator, kFirstPortWave, 1},
                              {kSecondOscillator, kFirstPortWave, 1},
                              {kFirstOscillator, kPulseWidth, 3000},
                              {kSecondOscillator, kPulseWidth, 12000}},
                             {{kSecondOscillator, kFirstPortWave, 3}, {kSecondOscillator, kSyncOn, 1}},
                             0,
                             0};
// The first oscillator's pitch moved by the second's sawtooth, deeper later, with sync on then.
const OscillatorPlay kAudioRatePitch{"AudioRatePitch", {}, {{kSecondOscillator, kSyncOn, 1}}, 2000, 9000};
// A sine and a triangle, then the sine synced and the triangle back to a sawtooth.
const OscillatorPlay kSineTriangle{"SineTriangle",
                                   {{kFirstOscillator, kFirstPortWave, 3}, {kSecondOscillator, kFirstPortWave, 2}},
                                   {{kSecondOscillator, kSyncOn, 1}, {kFirstOscillator, kFirstPortWave, 0}},
                                   0,
                                   0};

struct Player {
    std::unique_ptr<CorvexKernel> kernel;
    std::unique_ptr<CorvanKernelProgram> program;
    Block block;
    std::vector<float> left, right;
    int heldVoices = 0;

    Player(bool together, bool dual, const InsertEffect& insert, const OscillatorPlay& oscillators) {
        kernel = makeKernel();
        kernel->setRandomSeed(20261210);
        kernel->setVoicesTogether(together);
        program = startInitialProgram(*kernel, dual);
        for (int s : {1, 2}) {
            for (const SlotWord& w : oscillators.start) program->setParameterWord(s, w.slot, w.parameter, -1, w.word);
            if (oscillators.pitchRoute != 0) {
                EXPECT_GE(program->setConnectionAmount(s, kSecondOscillator, 0, 0, kFirstOscillator, 0,
                                                       oscillators.pitchRoute),
                          0);
            }
        }
        if (insert.slots[0] < 0) return;
        for (int s : {1, 2}) {
            EXPECT_GE(program->disconnect(s, kMixer, 0, 0, kHighPass, 0), 0);
            EXPECT_GE(program->disconnect(s, kLowPass, 0, 0, kVoiceOut, 0), 0);
            const int ends[2][2] = {{kMixer, kHighPass}, {kLowPass, kVoiceOut}};
            for (int chain = 0; chain < 2; ++chain) {
                const int slot = insert.slots[chain];
                EXPECT_GE(program->connect(s, slot, 0, 0, ends[chain][1], 0, 16384, 0), 0);
                EXPECT_GE(program->connect(s, ends[chain][0], 0, 0, slot, 0, 16384, 0), 0);
                for (const WordEdit& e : insert.start) program->setParameterWord(s, slot, e.parameter, -1, e.word);
            }
        }
    }
    void play(int blocks) {
        for (int b = 0; b < blocks; ++b) {
            render(*kernel, block);
            left.insert(left.end(), block.left, block.left + kBlockFrames);
            right.insert(right.end(), block.right, block.right + kBlockFrames);
        }
    }
};

// The same performance for both players: every step goes to each in turn between the same blocks.
void perform(Player& p, int keys, const InsertEffect& insert, const OscillatorPlay& oscillators) {
    auto sections = {1, 2};
    p.play(2);
    for (int k = 0; k < keys; ++k) p.kernel->sendMidiNote(0x90, 36 + 2 * k, 60 + k);
    p.play(60);
    p.heldVoices = p.kernel->soundingVoiceCount();
    p.kernel->sendPitchBend(0x7F, 0x40); // up, then down through the middle
    p.play(20);
    p.kernel->sendPitchBend(0x10, 0x00);
    p.play(20);
    for (int s : sections) {
        p.program->setParameterWord(s, kLowPass, 7, -1, 6000); // cutoff down
        p.program->setParameterWord(s, kLowPass, 8, -1, 14000); // resonance up
        p.program->setParameterWord(s, kHighPass, 7, -1, 9000);
    }
    p.play(40);
    for (int s : sections) {
        // The LFO onto the low-pass cutoff, turned up; a new route into the high-pass cutoff.
        p.program->setConnectionAmount(s, 29, 0, 0, kLowPass, 1, 12000);
        p.program->connect(s, 30, 0, 0, kHighPass, 1, 9000, 0x41);
        for (int slot : insert.slots)
            for (const WordEdit& e : insert.later)
                if (slot >= 0) p.program->setParameterWord(s, slot, e.parameter, -1, e.word);
        for (const SlotWord& w : oscillators.later) p.program->setParameterWord(s, w.slot, w.parameter, -1, w.word);
        if (oscillators.laterPitchRoute != 0)
            p.program->setConnectionAmount(s, kSecondOscillator, 0, 0, kFirstOscillator, 0, oscillators.laterPitchRoute);
    }
    p.play(40);
    for (int k = 0; k < keys; k += 2) p.kernel->sendMidiNote(0x80, 36 + 2 * k, 0); // half of them released
    p.kernel->postPitchBend(0.0f);
    p.play(40);
    for (int s : sections) p.program->setConnectionAmount(s, 29, 0, 0, kLowPass, 1, 0);
    for (int k = 0; k < keys; k += 3) p.kernel->sendMidiNote(0x90, 37 + 2 * k, 127);
    p.play(60);
}

struct Case {
    bool dual;
    int voices;
    const InsertEffect* insert;
    const OscillatorPlay* oscillators = &kInitialOscillators;
};

class VoicesTogether : public ::testing::TestWithParam<Case> {};

TEST_P(VoicesTogether, PlayTheSameSamplesAsVoicesOneAtATime) {
    const Case c = GetParam();
    const int keys = c.dual ? std::max(c.voices / 2, 1) : c.voices;
    Player alone(false, c.dual, *c.insert, *c.oscillators), together(true, c.dual, *c.insert, *c.oscillators);
    perform(alone, keys, *c.insert, *c.oscillators);
    perform(together, keys, *c.insert, *c.oscillators);
    // Before the first release every key holds its voices, so the run really renders them.
    ASSERT_EQ(alone.heldVoices, c.dual ? 2 * keys : keys);
    ASSERT_EQ(together.heldVoices, alone.heldVoices);

    double peak = 0.0;
    for (float v : alone.left) peak = std::max(peak, double(std::fabs(v)));
    ASSERT_GT(peak, 0.01) << "the performance must be heard for the comparison to mean anything";
    ASSERT_EQ(alone.left.size(), together.left.size());
    // Bit for bit: the lanes run each voice's operations in the voice's own order.
    size_t firstDifference = alone.left.size();
    for (size_t i = 0; i < alone.left.size(); ++i) {
        if (std::memcmp(&alone.left[i], &together.left[i], sizeof(float)) != 0 ||
            std::memcmp(&alone.right[i], &together.right[i], sizeof(float)) != 0) {
            firstDifference = i;
            break;
        }
    }
    EXPECT_EQ(firstDifference, alone.left.size())
        << "block " << firstDifference / kBlockFrames << ": " << alone.left[firstDifference] << " against "
        << together.left[firstDifference];
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.insert->name) + info.param.oscillators->name + (info.param.dual ? "Dual" : "Whole") +
           std::to_string(info.param.voices);
}

INSTANTIATE_TEST_SUITE_P(InitialProgram, VoicesTogether,
                         ::testing::Values(Case{false, 1, &kNoInsert}, Case{false, 8, &kNoInsert},
                                           Case{false, 32, &kNoInsert}, Case{true, 1, &kNoInsert},
                                           Case{true, 8, &kNoInsert}, Case{true, 32, &kNoInsert}),
                         caseName);

// Voice counts that leave every lane group size partly filled, alone and in mixtures.
INSTANTIATE_TEST_SUITE_P(InsertEffects, VoicesTogether,
                         ::testing::Values(Case{false, 3, &kPhaser}, Case{false, 13, &kPhaser},
                                           Case{false, 32, &kPhaser}, Case{true, 1, &kPhaser},
                                           Case{true, 22, &kPhaser}, Case{false, 5, &kDistortion},
                                           Case{false, 32, &kDistortion}, Case{true, 2, &kDistortion},
                                           Case{true, 19, &kDistortion}, Case{false, 1, &kChorus},
                                           Case{false, 7, &kChorus}, Case{false, 32, &kChorus},
                                           Case{true, 3, &kChorus}, Case{true, 26, &kChorus}),
                         caseName);

// Every path of the oscillator, with voice counts that leave each lane group size partly filled.
INSTANTIATE_TEST_SUITE_P(
    Oscillators, VoicesTogether,
    ::testing::Values(Case{false, 1, &kNoInsert, &kSync}, Case{false, 6, &kNoInsert, &kSync},
                      Case{false, 17, &kNoInsert, &kSync}, Case{true, 16, &kNoInsert, &kSync},
                      Case{false, 2, &kNoInsert, &kPulses}, Case{false, 11, &kNoInsert, &kPulses},
                      Case{true, 31, &kNoInsert, &kPulses}, Case{false, 3, &kNoInsert, &kAudioRatePitch},
                      Case{false, 9, &kNoInsert, &kAudioRatePitch}, Case{false, 32, &kNoInsert, &kAudioRatePitch},
                      Case{true, 5, &kNoInsert, &kSineTriangle}, Case{false, 24, &kNoInsert, &kSineTriangle}),
    caseName);

} // namespace
} // namespace corvex::testing

// What a layer load tells the mappers that keep a choice of their own (the insert effect of each chain,
// the pulse-width mode, the oscillator-modulation destination): a value that a host or a controller sets
// right after the load, before anything was read, goes where the loaded layer has it, and the rows then
// read back what was set.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "instrument/state/LayerChunks.h"
#include "instrument/state/StateLoadListener.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex::testing {
namespace {

struct QuietLoad : StateLoadListener {
    void refreshLayerParameters(int) override {}
    void refreshGlobalParameters() override {}
    void setLoading(bool) override {}
    void reportHostParameter(int) override {}
};

// Rows in Upper numbering; each case runs in both layers.
struct Set {
    int row;
    float value;
};
struct WordIs {
    int slot, word, value;
};
struct RouteIs {
    Route route;
    int amount; // -1: the route is absent
};

float step(int s, int steps) { return ParameterMapping::stepToValue(s, steps); }
float wave(int s) { return step(s, 4); }
float pwMode(int s) { return step(s, 3); }
float effect(int s) { return step(s, 6); }
float destination(int s) { return step(s, 3); }

constexpr int kSaw = 1;
constexpr int kEnvelopeMode = 0, kManualMode = 1, kLfoMode = 2;
constexpr int kDistortion = 2, kChorus = 1, kRingMod = 5;
constexpr int kToOscillator2 = 0, kToBoth = 1, kToOscillator1 = 2;

const Route kEnvelopePulseWidth2{7, 0, 0, 3, 2}, kLfoPulseWidth2{29, 0, 0, 3, 2};
const Route kLfoPitch1{29, 0, 0, 2, 0}, kLfoPitch2{29, 0, 0, 3, 0};
const Route kEnvelopePitch1{7, 0, 0, 2, 0}, kEnvelopePitch2{7, 0, 0, 3, 0};

struct Case {
    const char* name;
    std::vector<Set> saved;  // what the layer was saved with
    std::vector<Set> before; // what the loading instrument had chosen before the load
    Set touched;             // the first value set after the load
    std::vector<WordIs> words;
    std::vector<RouteIs> routes;
    std::vector<Set> reads; // after the touch
};

const Case kCases[] = {
    {"envelope pulse width loaded over manual",
     {{213, wave(kSaw)}, {217, pwMode(kEnvelopeMode)}, {8, 0.4f}},
     {{217, pwMode(kManualMode)}},
     {8, 0.75f},
     {{3, 8, 0}},
     {{kEnvelopePulseWidth2, 12288}, {kLfoPulseWidth2, -1}},
     {{217, pwMode(kEnvelopeMode)}, {8, 0.75f}}},
    {"LFO pulse width loaded over the envelope",
     {{213, wave(kSaw)}, {217, pwMode(kLfoMode)}, {8, 0.4f}},
     {{217, pwMode(kEnvelopeMode)}},
     {8, 0.75f},
     {{3, 8, 0}},
     {{kLfoPulseWidth2, 12288}, {kEnvelopePulseWidth2, -1}},
     {{217, pwMode(kLfoMode)}, {8, 0.75f}}},
    {"manual pulse width loaded over the LFO",
     {{213, wave(kSaw)}, {217, pwMode(kManualMode)}, {8, 0.4f}},
     {{217, pwMode(kLfoMode)}},
     {8, 0.75f},
     {{3, 8, 12288}},
     {{kLfoPulseWidth2, -1}, {kEnvelopePulseWidth2, -1}},
     {{217, pwMode(kManualMode)}, {8, 0.75f}}},
    {"chorus in chain 1 loaded over a distortion",
     {{249, effect(kChorus)}, {48, 0.6f}},
     {{249, effect(kDistortion)}},
     {48, 0.3f},
     {{12, 17, 4915}},
     {},
     {{48, 4915 / 16384.0f}, {249, effect(kChorus)}}},
    {"ring modulator in chain 2 loaded over no effect",
     {{344, effect(kRingMod)}, {70, 0.6f}},
     {},
     {70, 0.3f},
     {{11, 15, 4915}},
     {},
     {{70, 4915 / 16384.0f}, {344, effect(kRingMod)}}},
    {"modulation of oscillator 1 loaded over oscillator 2",
     {{6, 0.25f}, {7, 0.5f}, {216, destination(kToOscillator1)}},
     {{216, destination(kToOscillator2)}},
     {6, 0.75f},
     {},
     {{kLfoPitch1, 12288}, {kLfoPitch2, 0}, {kEnvelopePitch1, 8192}, {kEnvelopePitch2, 0}},
     {{216, destination(kToOscillator1)}, {6, 0.75f}, {7, 0.5f}}},
    // Amounts of nothing cannot tell where the modulation goes: the loaded switch does.
    {"modulation of both oscillators loaded at no amount over oscillator 2",
     {{6, 0.0f}, {7, 0.0f}, {216, destination(kToBoth)}},
     {{216, destination(kToOscillator2)}},
     {7, 0.5f},
     {},
     {{kEnvelopePitch1, 8192}, {kEnvelopePitch2, 8192}, {kLfoPitch1, 0}, {kLfoPitch2, 0}},
     {{216, destination(kToBoth)}, {7, 0.5f}, {6, 0.0f}}},
    {"modulation of oscillator 2 reads nothing on oscillator 1",
     {{6, 0.5f}, {216, destination(kToOscillator2)}},
     {{216, destination(kToOscillator1)}},
     {6, 0.25f},
     {},
     {{kLfoPitch1, 0}, {kLfoPitch2, 4096}},
     {{216, destination(kToOscillator2)}, {6, 0.0f}}},
};

class LoadedChoices : public ::testing::Test {
protected:
    static void apply(ParameterRig& rig, const std::vector<Set>& sets, int layer) {
        for (const Set& s : sets) rig.table->setParameter(ParameterIndex::unfold(s.row, layer), s.value);
    }
};

TEST_F(LoadedChoices, AValueSetRightAfterALoadGoesWhereTheLoadedLayerHasIt) {
    for (const Case& c : kCases) {
        for (int layer = 0; layer < 2; ++layer) {
            SCOPED_TRACE(std::string(c.name) + (layer == 0 ? ", Upper" : ", Lower"));
            const int part = ParameterIndex::partOfLayer(layer);
            ParameterRig saved;
            saved.build();
            apply(saved, c.saved, layer);
            std::vector<uint8_t> chunk;
            writeLayerChunk(*saved.program, *saved.table, part, chunk);

            ParameterRig loading;
            loading.build();
            apply(loading, c.before, layer);
            QuietLoad listener;
            ASSERT_TRUE(readLayerChunk(*loading.program, *loading.table, part, chunk.data(), chunk.size(), listener));
            apply(loading, {c.touched}, layer);

            for (const WordIs& w : c.words)
                EXPECT_EQ(loading.word(part, w.slot, w.word), w.value) << "slot " << w.slot << " word " << w.word;
            for (const RouteIs& r : c.routes) {
                const Route& route = r.route;
                EXPECT_EQ(loading.has(part, route), r.amount >= 0)
                    << route.sourceSlot << " -> " << route.destinationSlot << ":" << route.destinationPort;
                if (r.amount >= 0) {
                    EXPECT_EQ(loading.amount(part, route), r.amount)
                        << route.sourceSlot << " -> " << route.destinationSlot << ":" << route.destinationPort;
                }
            }
            for (const Set& read : c.reads)
                EXPECT_FLOAT_EQ(loading.table->getParameter(ParameterIndex::unfold(read.row, layer)), read.value)
                    << "row " << read.row;
        }
    }
}

// Sounds made of random values in every row, loaded over other such sounds: reading every row forwards and
// then backwards gives the same answers, so no read depends on another having come first.
TEST_F(LoadedChoices, EveryRowReadsTheSameInAnyOrderAfterLoadingRandomLayers) {
    std::mt19937 random(28);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    const auto randomise = [&](ParameterRig& rig) {
        // Not the sequencers' manual buttons, which tell stderr of every press.
        for (int i = 0; i < ParameterIndex::kCount; ++i)
            if (i != 221 && i != 232) rig.table->setParameter(i, value(random));
    };
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        ParameterRig saved;
        saved.build();
        randomise(saved);
        ParameterRig loading;
        loading.build();
        randomise(loading);
        for (const int part : {1, 2}) {
            std::vector<uint8_t> chunk;
            writeLayerChunk(*saved.program, *saved.table, part, chunk);
            QuietLoad listener;
            ASSERT_TRUE(readLayerChunk(*loading.program, *loading.table, part, chunk.data(), chunk.size(), listener));
        }
        std::vector<float> forwards(ParameterIndex::kCount);
        for (int i = 0; i < ParameterIndex::kCount; ++i)
            forwards[static_cast<size_t>(i)] = loading.table->getParameter(i);
        for (int i = ParameterIndex::kCount - 1; i >= 0; --i)
            EXPECT_EQ(loading.table->getParameter(i), forwards[static_cast<size_t>(i)])
                << i << " " << loading.table->getName(i);
    }
}

} // namespace
} // namespace corvex::testing

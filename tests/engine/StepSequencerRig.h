// A step sequencer outside a kernel: a pattern written as a whole block, a transport input and the
// first track's four outputs read back block by block.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/modules/EngineContext.h"
#include "engine/modules/ModuleFramework.h"
#include "engine/modules/ModulePools.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/modules/types/StepSequencer.h"
#include "tests/engine/ModuleRig.h"

namespace corvex::testing {

inline constexpr int kSequencerType = ModuleType::StepSequencer;
inline constexpr int kSequencerSlot = 24;
inline constexpr int kBlockWords = 417;
inline constexpr double kBlockMs = 32000.0 / 44100.0;
inline constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
inline constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Transport words.
inline constexpr int kStopped = 0, kStart = 1, kRunning = 2, kStop = 3;
// Rate words: the free rate is 240 x the value.
inline constexpr int16_t kRate120 = 8192, kRate60 = 4096;

// Step n's value word gives n/16 - 1, so each step can be told by its raw value.
inline int16_t stepMarkWord(int n) { return int16_t(512 * n); }
inline int stepOfValue(float v) { return int(std::lround((v + 1.0f) * 16.0f)); }

struct Track {
    int16_t range = 24, glide = 0, attack = 0, level = 16384, decay = 0;
    uint32_t accents = 0, glides = 0, gates = 0;
    std::array<int16_t, kSequencerSteps> values{};
};

struct Pattern {
    int16_t report = 0, tracks = 1, rate = kRate120, stepsPerBeat = 16, first = 0, last = 7, swing = 0,
            mode = SequencerMode::Forward, followTempo = 0, restart = 1, stopClears = 1;
    std::array<Track, kSequencerTracks> track{};

    Pattern() {
        for (Track& t : track)
            for (int n = 0; n < kSequencerSteps; ++n) t.values[size_t(n)] = stepMarkWord(n);
    }
};

class StepSequencerRig : public ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        context.setSampleRate(44100.0);
        context.tempo = 120.0f;
        setRecordHeader(record, kSequencerSlot, 1);
        transport.word = 0;
        transport.intValue = kStopped;
        wiring.connect(0, &transport);
    }

    void load(const Pattern& p) {
        std::array<uint16_t, 2 + kBlockWords> data{};
        auto word = [&data](int j) -> uint16_t& { return data[size_t(j + 2)]; };
        word(1) = uint16_t(kSequencerType << 8);
        word(2) = kBlockWords;
        word(3) = 8;
        const int16_t module[] = {p.report, p.tracks, p.rate, p.stepsPerBeat, p.first, p.last,
                                  p.swing, p.mode, p.followTempo, p.restart, p.stopClears};
        for (int j = 0; j < 11; ++j) word(7 + j) = uint16_t(module[j]);
        for (int t = 0; t < kSequencerTracks; ++t) {
            const Track& tr = p.track[size_t(t)];
            auto at = [&](int k) -> uint16_t& { return word(18 + 133 * t + k); };
            at(0) = uint16_t(tr.range);
            at(1) = uint16_t(tr.glide);
            at(2) = uint16_t(tr.attack);
            at(3) = uint16_t(tr.level);
            at(4) = uint16_t(tr.decay);
            for (int n = 0; n < kSequencerSteps; ++n) {
                at(5 + n) = (tr.accents >> n) & 1u;
                at(37 + n) = (tr.glides >> n) & 1u;
                at(69 + n) = (tr.gates >> n) & 1u;
                at(101 + n) = uint16_t(tr.values[size_t(n)]);
            }
        }
        blockLoaderFor(kSequencerType)(data.data(), kBlockWords, &record, &context);
    }

    float set(int parameter, int16_t word, int* code = nullptr) {
        float echo = -999.0f;
        int inOut = word;
        parameterSetterFor(kSequencerType)(word, parameter, &echo, &inOut, &record, &context);
        if (code) *code = inOut;
        return echo;
    }

    StepSequencerModule& make() {
        void* m = pools->poolForType(kSequencerType)->allocate();
        initModuleByType(m, kSequencerType, &record, 0, &context);
        made.push_back(m);
        return *static_cast<StepSequencerModule*>(m);
    }
    void TearDown() override {
        for (void* m : made) pools->poolForType(kSequencerType)->release(m);
    }

    struct Out {
        float raw, pitch, accent;
        int gate;
    };
    Out run(StepSequencerModule& m, int transportWord, int track = 0) {
        return run(m, transportWord, wiring, track);
    }
    Out run(StepSequencerModule& m, int transportWord, const Wiring<2>& w, int track = 0) {
        transport.intValue = transportWord;
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
        const PortEntry* p = m.ports + 4 * track;
        return {p[0].value, p[1].value, p[2].value, p[3].intValue};
    }

    // Starts the transport and plays `blocks` blocks in all: the block of each new step and its step.
    struct Step {
        int block, step;
    };
    std::vector<Step> play(StepSequencerModule& m, int blocks, const Wiring<2>* w = nullptr) {
        std::vector<Step> steps;
        float last = kNaN;
        for (int b = 0; b < blocks; ++b) {
            const Out o = run(m, b == 0 ? kStart : kRunning, w ? *w : wiring);
            if (o.raw != last) steps.push_back({b, stepOfValue(o.raw)});
            last = o.raw;
        }
        return steps;
    }
    // With every step gated, a repeated step is seen too: each new step raises its gate.
    std::vector<int> gatedSteps(StepSequencerModule& m, int count) {
        std::vector<int> steps;
        for (int b = 0; steps.size() < size_t(count) && b < 100000; ++b) {
            const Out o = run(m, b == 0 ? kStart : kRunning);
            if (o.gate == 1) steps.push_back(stepOfValue(o.raw));
        }
        return steps;
    }

    ParameterRecord record;
    PortEntry transport;
    Wiring<2> wiring{kSequencerSlot};
    std::vector<void*> made;
};

} // namespace corvex::testing

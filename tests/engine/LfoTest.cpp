// The part LFO measured from its outputs and its phase: rate, sweep and tempo lock, wave shapes,
// the fade after a trigger, sample and hold, the lamp report, and extreme settings.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/dsp/ConnectionDescriptor.h"
#include "engine/program/CorvanKernelProgram.h"
#include "engine/modules/ModuleSlots.h"
#include "engine/modules/types/Lfo.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kLfoType = ModuleType::Lfo;
constexpr int kLfoSlot = 23;
constexpr double kPhaseUnits = 4294967296.0;
constexpr double kBlockMs = 32.0 / 44.1;
constexpr double kPi = 3.14159265358979323846;

struct Wiring : testing::Wiring<LfoInput::Count> {
    Wiring() : testing::Wiring<LfoInput::Count>(kLfoSlot) {}
};

struct Settings {
    int model = 8;
    int rate = 0, sync = 0, delay = 0, rise = 16384, freeRunning = 0;
    std::array<int, 3> waves{2, 2, 2};
};

// What the fake kernel hook saw: one entry per granted report.
struct LampReport {
    int section, group, type, instance, writerByte, size;
    uint8_t payload[4];
};
std::vector<LampReport> gReports;
bool gFifoFull = false;

uint8_t* fakeReserve(KernelBase*, int section, int group, int type, int instance, int writerByte, int size) {
    if (gFifoFull || size != 4) return nullptr;
    gReports.push_back({section, group, type, instance, writerByte, size, {0xEE, 0xEE, 0xEE, 0xEE}});
    return gReports.back().payload;
}

int32_t payloadWord(const LampReport& r) {
    return int32_t(uint32_t(r.payload[0]) | uint32_t(r.payload[1]) << 8 | uint32_t(r.payload[2]) << 16 |
                   uint32_t(r.payload[3]) << 24);
}

class LfoTest : public testing::ModuleRig {
protected:
    void SetUp() override {
        ModuleRig::SetUp();
        setRecordHeader(record, kLfoSlot, 1);
        gate.word = 0;
        gate.intValue = 0;
        wiring.connect(LfoInput::Trigger, &gate);
        gReports.clear();
        gFifoFull = false;
    }

    LfoModule& fresh() {
        void* m = pools->poolForType(kLfoType)->allocate();
        initModuleByType(m, kLfoType, &record, 0, &context);
        auto& lfo = *static_cast<LfoModule*>(m);
        for (PortEntry& p : lfo.ports) p.setUsers(1);
        return lfo;
    }

    void load(const Settings& s) {
        std::array<uint16_t, 2 + 19> data{};
        auto word = [&data](int j) -> uint16_t& { return data[size_t(j + 2)]; };
        word(0) = 0x201;
        word(1) = uint16_t(kLfoType << 8);
        word(2) = 19;
        word(3) = uint16_t(s.model);
        word(8) = uint16_t(s.rate);
        word(11) = uint16_t(s.sync);
        word(13) = uint16_t(s.delay);
        word(14) = uint16_t(s.rise);
        word(15) = uint16_t(s.freeRunning);
        for (int k = 0; k < 3; ++k) word(16 + k) = uint16_t(s.waves[size_t(k)]);
        blockLoaderFor(kLfoType)(data.data(), 19, &record, &context);
    }

    float set(int parameter, int16_t word, int* code = nullptr) {
        float echo = -999.0f;
        int inOut = word;
        parameterSetterFor(kLfoType)(word, parameter, &echo, &inOut, &record, &context);
        if (code) *code = inOut;
        return echo;
    }

    void run(LfoModule& m, int gateState, const Wiring& w) {
        gate.intValue = gateState;
        processModuleByType(&m, w.descriptors.data(), w.sources.data(), w.counts.data());
    }
    void run(LfoModule& m, int gateState = 2) { run(m, gateState, wiring); }

    // Phase units the LFO moves in one block.
    uint32_t step(LfoModule& m, const Wiring& w) {
        const uint32_t before = m.phase;
        run(m, 2, w);
        return m.phase - before;
    }

    static double hertz(uint32_t phaseStep) { return double(phaseStep) / kPhaseUnits * 44100.0 / 32.0; }

    ParameterRecord record;
    PortEntry gate;
    Wiring wiring;
};

// Rates from the written curves, swept by m2 over eight octaves each way and held to 20 Hz at the top.
TEST_F(LfoTest, PhaseStepFollowsRateAndSweep) {
    struct Case {
        const char* what;
        int model, rateWord;
        float sweep;
        uint32_t expected; // truncation of 2^32 x f x 32 / 44100
        uint32_t tolerance;
    };
    const Case cases[] = {
        {"1 Hz (eleven-point curve, middle)", 0, 8192, 0.0f, 3116529, 0},
        {"0.1 Hz raised by m2 = 1 to 25.6 Hz, held at 20 Hz", 0, 3277, 1.0f, 62330591, 1},
        {"1 Hz lowered by m2 = -1 to 1/256 Hz", 0, 8192, -1.0f, 12173, 1},
        {"8.305648 Hz, thirteen-point curve at 0.75", 8, 12288, 0.0f, 25884797, 2},
        {"32.89 Hz at the curve's top runs at 20 Hz", 8, 16384, 0.0f, 62330591, 1},
        {"0.01 Hz lowered far below the floor crawls at 0.001 Hz", 0, 0, -5.0f, 3116, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load({c.model, c.rateWord});
        PortEntry sweep;
        sweep.word = 0;
        sweep.value = c.sweep;
        Wiring w = wiring;
        w.connect(LfoInput::RateSweep, &sweep);
        LfoModule& m = fresh();
        const uint32_t first = step(m, w);
        EXPECT_NEAR(double(first), double(c.expected), double(c.tolerance));
        EXPECT_EQ(step(m, w), first) << "a steady rate steps evenly";
        pools->poolForType(kLfoType)->release(&m);
    }
}

// Code c > 0 is c cycles a beat, c < 0 one cycle per |c| beats; a clock that stops, runs backwards
// or is broken leaves the LFO crawling rather than frozen, and a runaway clock is held to 20 Hz.
TEST_F(LfoTest, TempoSyncAt120BpmAndBrokenClocks) {
    struct Case {
        const char* what;
        int rateWord;
        float tempo, hertz;
    };
    const Case cases[] = {
        {"code -8 at 120 bpm", 0, 120.0f, 0.25f},
        {"code 2 at 120 bpm", 8192, 120.0f, 4.0f},
        {"code 9 at 120 bpm", 16384, 120.0f, 18.0f},
        {"code -4 at 90 bpm", 4096, 90.0f, 0.375f},
        {"tempo 0", 8192, 0.0f, 0.001f},
        {"negative tempo", 8192, -120.0f, 0.001f},
        {"NaN tempo", 8192, std::nanf(""), 0.001f},
        {"infinite tempo", 8192, INFINITY, 20.0f},
        {"huge tempo", 8192, 1e30f, 20.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        context.tempo = c.tempo;
        load({8, c.rateWord, 1});
        LfoModule& m = fresh();
        const uint32_t s = step(m, wiring);
        EXPECT_GT(s, 0u) << "never stalls";
        EXPECT_NEAR(hertz(s), c.hertz, c.hertz * 1e-3);
        pools->poolForType(kLfoType)->release(&m);
    }
}

TEST_F(LfoTest, RateEchoesHertzOrSyncCode) {
    load({8, 0});
    int code = 0;
    EXPECT_FLOAT_EQ(set(8, 12288, &code), 8.305648f);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(set(11, 1, &code), 1.0f);
    EXPECT_EQ(code, 8);
    EXPECT_EQ(set(8, 8192, &code), 2.0f) << "sync code 2";
    EXPECT_EQ(code, 3);
    EXPECT_EQ(set(13, 4096, &code), 45.0f) << "delay, thirteen-point curve";
    EXPECT_EQ(code, 5);
    set(3, 0);
    EXPECT_EQ(set(14, 16384, &code), 4901.0f) << "rise, eleven-point curve";
    EXPECT_EQ(set(9, 100, &code), -999.0f) << "parameter 9 is not the LFO's";
}

// One cycle at 1 Hz after a phase-restarting trigger and a fade shorter than a block.
TEST_F(LfoTest, WaveShapesOverOneCycle) {
    load({0, 8192, 0, 0, 0, 0, {0, 1, 2}});
    LfoModule& m = fresh();
    run(m, 1);
    for (int b = 0; b < 8; ++b) run(m);
    ASSERT_EQ(m.level, 1.0f);
    Settings triangle{0, 8192, 0, 0, 0, 0, {3, -1, -1}};
    for (int b = 0; b < 1378; ++b) {
        const double t = double(m.phase) / kPhaseUnits;
        const bool twoRuns = b % 2 == 1; // odd blocks read the triangle with outputs 1 and 2 off
        if (twoRuns) {
            load(triangle);
            m.ports[1].value = 0.123f;
            run(m);
            const double expected = t < 0.25 ? 4 * t : (t < 0.75 ? 2 - 4 * t : 4 * t - 4);
            ASSERT_NEAR(m.ports[0].value, expected, 1e-4) << t;
            ASSERT_EQ(m.ports[1].value, 0.123f) << "an output that is off keeps its value";
            load({0, 8192, 0, 0, 0, 0, {0, 1, 2}});
            continue;
        }
        run(m);
        if (t > 0.004 && t < 0.996) {
            ASSERT_NEAR(m.ports[0].value, 1.0 - 2.0 * t, 0.01) << "falling saw at " << t;
        }
        // The square steps between its table entries 127 and 128 (and 255 and 256).
        if (t < 127.0 / 256.0 || (t >= 0.5 && t < 255.0 / 256.0)) {
            ASSERT_EQ(m.ports[1].value, t < 0.5 ? 1.0f : -1.0f) << "square at " << t;
        }
        ASSERT_NEAR(m.ports[2].value, std::sin(2.0 * kPi * t), 2e-4) << "sine at " << t;
    }
}

// The fault: after the first fade, a trigger measured its rise from the trigger and could reach a
// zero or negative span. Every trigger now replays the same delay and rise, wherever it lands.
TEST_F(LfoTest, EveryTriggerReplaysTheSameFade) {
    struct Case {
        const char* what;
        int model, delayWord, riseWord;
        double delayMs, riseMs; // from the written curves
    };
    const Case cases[] = {
        {"45 ms delay, 35 ms rise", 8, 4096, 4096, 45.0, 35.0},
        {"1 ms delay, rise shorter than a block", 8, 0, 16384, 1.0, 0.5},
        {"770 ms delay, 240 ms rise (other model)", 0, 8192, 8192, 770.0, 240.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s{c.model, 8192, 0, c.delayWord, c.riseWord, 16384, {1, -1, -1}};
        load(s);
        LfoModule& m = fresh();
        auto fade = [&](int blocks) {
            std::vector<float> levels;
            run(m, 1);
            for (int b = 0; b < blocks; ++b) {
                levels.push_back(m.level);
                run(m);
            }
            return levels;
        };
        const int full = int(std::ceil((c.delayMs + c.riseMs) / kBlockMs)) + 3;
        const std::vector<float> first = fade(full + 20);
        int reached = 0;
        while (reached < int(first.size()) && first[size_t(reached)] < 1.0f) ++reached;
        EXPECT_NEAR(reached, (c.delayMs + c.riseMs) / kBlockMs, 2.5);
        for (float level : first) ASSERT_TRUE(level >= 0.0f && level <= 1.0f);
        for (int b = 0; b < int(c.delayMs / kBlockMs) - 1; ++b) ASSERT_EQ(first[size_t(b)], 0.0f) << b;
        EXPECT_EQ(fade(full + 20), first) << "a trigger after the fade";
        fade(full / 2 + 1);
        EXPECT_EQ(fade(full + 20), first) << "a trigger in the middle of a fade";
        pools->poolForType(kLfoType)->release(&m);
    }
}

// A 1 Hz hold period is 44100 samples: the hold takes the block whose sample count modulo 44100 is
// at most 33, which at 32 samples a block is blocks 0, 1, 1379, 2757, 4135 and 5513.
TEST_F(LfoTest, SampleAndHoldTakesSampleZeroOncePerPeriod) {
    load({0, 8192, 0, 0, 0, 0, {5, -1, -1}});
    PortEntry decoy;
    decoy.word = 0;
    decoy.value = -7.0f;
    PortEntry source = bufferPort(0.0f);
    Wiring w = wiring;
    w.connect(4, &decoy); // input 4's connection comes before the source's
    w.connect(LfoInput::SampleSource, &source);
    LfoModule& m = fresh();
    std::vector<int> refreshes;
    for (int b = 0; b < 6000; ++b) {
        float* x = portBuffer(source);
        x[0] = float(b + 1);
        for (int k = 1; k < kBlockFrames; ++k) x[k] = -1000.0f;
        const float before = m.held;
        run(m, b == 0 ? 1 : 2, w);
        if (m.held != before) {
            refreshes.push_back(b);
            ASSERT_EQ(m.held, 0.5f * float(b + 1)) << "half of sample 0 of the source";
        }
        if (b > 10) {
            ASSERT_EQ(m.ports[0].value, m.held) << "the held value is the output once the fade is done";
        }
    }
    EXPECT_EQ(refreshes, (std::vector<int>{0, 1, 1379, 2757, 4135, 5513}));
}

// Every 51st block reports the wave (not the faded output) as 0 .. 16384 for -1 .. +1.
TEST_F(LfoTest, LampReportsEvery51BlocksWithTheWaveValue) {
    context.reserveModuleData = fakeReserve;
    PortEntry held;
    held.word = 0;
    held.value = 0.5f; // held at 0.25
    Wiring w = wiring;
    w.connect(LfoInput::SampleSource, &held);
    load({8, 8192, 0, 16384, 16384, 0, {-1, -1, 5}});
    LfoModule& m = fresh();
    std::vector<int> reportBlocks;
    for (int b = 0; b < 160; ++b) {
        const size_t before = gReports.size();
        run(m, b == 0 ? 1 : 2, w);
        if (gReports.size() != before) reportBlocks.push_back(b);
    }
    EXPECT_EQ(reportBlocks, (std::vector<int>{50, 101, 152}));
    ASSERT_EQ(gReports.size(), 3u);
    for (const LampReport& r : gReports) {
        EXPECT_EQ(r.section, 1);
        EXPECT_EQ(r.group, 1);
        EXPECT_EQ(r.type, kLfoType);
        EXPECT_EQ(r.instance, 0);
        EXPECT_EQ(r.size, 4);
        EXPECT_EQ(payloadWord(r), 10240) << "(0.25 + 1) x 0.5 x 16384, while the fade still holds the output at 0";
    }
    EXPECT_EQ(m.ports[2].value, 0.0f);

    // With every output off no wave is computed: the lamp shows the middle. A full FIFO skips one.
    load({8, 8192, 0, 0, 0, 0, {-1, -1, -1}});
    gReports.clear();
    gFifoFull = true;
    for (int b = 0; b < 51; ++b) run(m, 2, w);
    EXPECT_TRUE(gReports.empty());
    gFifoFull = false;
    for (int b = 0; b < 51; ++b) run(m, 2, w);
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(payloadWord(gReports[0]), 8192);
}

// In a kernel: each running layer's LFO (slot 23) reports through the notification FIFO every 51 blocks.
TEST(LfoInKernel, EachRunningLayerLightsItsLamp) {
    struct Listener : SoftwareKernelListener {
        void kernelDataReceived(int section, int slot, int, const uint8_t* payload, uint16_t size) override {
            if (slot == 23 && size == 4) {
                int32_t v = 0;
                std::memcpy(&v, payload, 4);
                seen.push_back({section, v});
            }
        }
        void kernelParameterChanged(int, int, int, int, float) override {}
        std::vector<std::pair<int, int32_t>> seen;
    } listener;
    auto kernel = testing::makeKernel();
    kernel->addListener(&listener);
    CorvanKernelProgram program(*kernel);
    program.initialise();
    program.startPart(2);
    testing::Block b;
    for (int i = 0; i < 120; ++i) {
        testing::render(*kernel, b);
        kernel->drainNotifications();
    }
    int upper = 0, lower = 0;
    for (const auto& [section, value] : listener.seen) {
        EXPECT_TRUE(value >= 0 && value <= 16384) << value;
        upper += section == 1;
        lower += section == 2;
    }
    EXPECT_EQ(upper, 2);
    EXPECT_EQ(lower, 2);
    kernel->removeListener(&listener);
}

// Random and limit words, sweeps, tempos and hold sources, without flush-to-zero: every output
// stays finite and free of denormals.
TEST_F(LfoTest, ExtremeSettingsAndInputsStayFinite) {
    context.reserveModuleData = fakeReserve;
    std::mt19937 rng(0x1F0);
    const float specials[] = {0.0f, 1.0f, -1.0f, 1e30f, -1e30f, 1e-30f, 1e-40f, std::nanf(""), INFINITY, -INFINITY};
    auto pick = [&] { return specials[rng() % std::size(specials)]; };
    auto word = [&] { return int16_t(rng() % 3 == 0 ? int(rng() % 20) - 2 : int(rng() % 65536) - 32768); };
    const double rates[] = {8000.0, 22050.0, 44100.0, 48000.0, 192000.0};
    for (int trial = 0; trial < 200; ++trial) {
        SetUp();
        context.reserveModuleData = fakeReserve;
        context.setSampleRate(rates[rng() % std::size(rates)]);
        context.tempo = rng() % 3 == 0 ? pick() : 120.0f;
        std::array<uint16_t, 2 + 19> data{};
        for (auto& v : data) v = uint16_t(word());
        if (rng() % 2) data[2 + 3] = 8;
        if (rng() % 2) data[2 + 16 + rng() % 3] = LfoWave::SampleAndHold; // rare among random words
        blockLoaderFor(kLfoType)(data.data(), 19, &record, &context);
        LfoModule& m = fresh();
        Wiring w = wiring;
        std::vector<PortEntry> values(12);
        std::vector<PortEntry> buffers;
        buffers.reserve(12);
        for (int input = 0; input < LfoInput::Count; ++input) {
            for (int n = int(rng() % 3); n > 0; --n) {
                PortEntry* source = nullptr;
                switch (rng() % 3) {
                case 0:
                    source = &values[size_t(rng() % values.size())];
                    source->word = 0;
                    source->value = pick();
                    break;
                case 1:
                    buffers.push_back(bufferPort(pick()));
                    source = &buffers.back();
                    break;
                default: break; // a source module that is missing
                }
                w.connect(input, source, word(), uint16_t(rng() % 65536));
            }
        }
        for (int b = 0; b < 120; ++b) {
            if (rng() % 4 == 0) set(3 + int(rng() % 16), word());
            run(m, int(rng() % 5) - 1, w);
            for (const PortEntry& p : m.ports) {
                ASSERT_TRUE(std::isfinite(p.value)) << trial;
                ASSERT_EQ(testing::badSamples(&p.value, 1), 0) << trial;
            }
            ASSERT_TRUE(m.level >= 0.0f && m.level <= 1.0f) << trial;
        }
        for (const LampReport& r : gReports) ASSERT_TRUE(payloadWord(r) >= 0 && payloadWord(r) <= 16384);
        gReports.clear();
        pools->poolForType(kLfoType)->release(&m);
    }
}

} // namespace
} // namespace corvex

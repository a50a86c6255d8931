// The device block seen from the kernel: which renders happen, which events precede which render, what
// reaches the output, the tempo every block, the CPU meter; then the whole path with the real kernel.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "instrument/audio/BlockRenderer.h"
#include "instrument/audio/CorvexBlockKernel.h"
#include "instrument/midi/MidiClockTempo.h"
#include "tests/instrument/core/ParameterRig.h"
#include "tests/support/RealTimeChecks.h"

namespace corvex {
namespace {

// Every call in order, as text; each render fills the next 32 values of one running count (1, 2, 3 ...),
// so the output shows by its values which rendered sample landed where.
class RecordingKernel : public BlockKernel {
public:
    void render(float* left, float* right) override {
        for (int i = 0; i < kFrames; ++i) {
            left[i] = static_cast<float>(++produced);
            right[i] = -left[i];
        }
        ++renders;
        log.push_back("render");
    }
    void sendMidiNote(int s, int n, int v) override { add("note", s, n, v); }
    void sendPitchBend(int msb, int lsb) override { add("bend", msb, lsb); }
    void sendPressure(int s, int d1, int d2) override { add("pressure", s, d1, d2); }
    void allNotesOff() override { log.push_back("allNotesOff"); }
    void startTransport() override { log.push_back("start"); }
    void stopTransport() override { log.push_back("stop"); }
    void setTempo(float bpm) override { tempos.push_back(bpm); }

    // The calls other than renders and tempo.
    std::vector<std::string> events() const {
        std::vector<std::string> out;
        for (const std::string& s : log)
            if (s != "render") out.push_back(s);
        return out;
    }
    // How many renders precede the first call named `what`, -1 when it never came.
    int rendersBefore(const std::string& what) const {
        int r = 0;
        for (const std::string& s : log) {
            if (s == what) return r;
            if (s == "render") ++r;
        }
        return -1;
    }

    int renders = 0;
    int produced = 0;
    std::vector<std::string> log;
    std::vector<float> tempos;

private:
    void add(const char* name, int a, int b, int c = -1) {
        std::string s = std::string(name) + " " + std::to_string(a) + " " + std::to_string(b);
        if (c >= 0) s += " " + std::to_string(c);
        log.push_back(s);
    }
};

struct RecordingControllers : ControllerHandler {
    void handleControlChange(int controller, int value) override {
        changes.push_back(std::to_string(controller) + " " + std::to_string(value));
    }
    std::vector<std::string> changes;
};

BlockMidiEvent event(int position, std::initializer_list<int> bytes) {
    BlockMidiEvent e;
    e.samplePosition = position;
    for (int b : bytes) {
        if (e.size < 3) e.bytes[e.size] = static_cast<uint8_t>(b);
        ++e.size;
    }
    return e;
}

class BlockRendererTest : public ::testing::Test {
protected:
    // One device block; answers its left channel.
    std::vector<float> play(int samples, std::vector<BlockMidiEvent> events = {}, double clockBpm = 0.0) {
        std::vector<float> left(static_cast<size_t>(samples)), right(static_cast<size_t>(samples));
        renderer.process(events.data(), static_cast<int>(events.size()), left.data(), right.data(), samples, false,
                         clockBpm);
        for (size_t i = 0; i < left.size(); ++i) EXPECT_EQ(right[i], -left[i]) << "right channel at " << i;
        return left;
    }

    RecordingKernel kernel;
    RecordingControllers controllers;
    BlockRenderer renderer{kernel, &controllers};
};

TEST_F(BlockRendererTest, TheCarryRendersWholeBlocksAndHandsOutItsTailFirst) {
    struct Step {
        int samples, rendersAfter, leftAfter;
    };
    const Step steps[] = {
        {100, 4, 28}, // three sub-blocks and a rest of 4
        {16, 4, 12},  {12, 4, 0}, {16, 5, 16}, {16, 5, 0}, {0, 5, 0}, {33, 7, 31}, {1, 7, 30}, {64, 9, 30},
    };
    int handedOut = 0;
    for (const Step& step : steps) {
        const std::vector<float> out = play(step.samples);
        EXPECT_EQ(kernel.renders, step.rendersAfter) << "after a block of " << step.samples;
        EXPECT_EQ(renderer.samplesLeft(), step.leftAfter) << "after a block of " << step.samples;
        // Nothing rendered is skipped or repeated, across every block boundary.
        for (int i = 0; i < step.samples; ++i)
            ASSERT_EQ(out[static_cast<size_t>(i)], static_cast<float>(handedOut + i + 1))
                << "sample " << i << " of a block of " << step.samples;
        handedOut += step.samples;
    }
}

TEST_F(BlockRendererTest, ASixteenSampleBlockRendersOnceAndTheNextRendersNothing) {
    play(16);
    EXPECT_EQ(kernel.renders, 1);
    EXPECT_EQ(renderer.samplesLeft(), 16);
    play(16);
    EXPECT_EQ(kernel.renders, 1);
    EXPECT_EQ(renderer.samplesLeft(), 0);
}

TEST_F(BlockRendererTest, AnEventIsSentBeforeTheSubBlockThatHoldsIt) {
    struct Case {
        int blockSize, position, rendersBefore;
    };
    const Case cases[] = {
        {64, 40, 1}, {64, 31, 0}, {64, 0, 0}, {64, 32, 1}, {64, 63, 1}, {100, 95, 2}, {100, 96, 3}, {100, 99, 3},
        {20, 19, 0},
    };
    for (const Case& c : cases) {
        RecordingKernel k;
        BlockRenderer r(k, nullptr);
        const BlockMidiEvent note = event(c.position, {0x90, 60, 100});
        std::vector<float> left(static_cast<size_t>(c.blockSize)), right(left.size());
        r.process(&note, 1, left.data(), right.data(), c.blockSize, false, 0.0);
        EXPECT_EQ(k.rendersBefore("note 144 60 100"), c.rendersBefore)
            << "note at " << c.position << " of " << c.blockSize;
    }
}

TEST_F(BlockRendererTest, EventsAreSentInOrderEachOnce) {
    play(64, {event(0, {0x90, 60, 100}), event(5, {0x90, 64, 100}), event(33, {0x80, 60, 0})});
    play(64);
    const std::vector<std::string> expected = {"note 144 60 100", "note 144 64 100", "note 128 60 0"};
    EXPECT_EQ(kernel.events(), expected);
    EXPECT_EQ(kernel.rendersBefore("note 128 60 0"), 1);
}

// A host that places an event at or past the end of its block, or sends a block of no samples, must not
// lose it: a lost note-off hangs the note.
TEST_F(BlockRendererTest, EventsAtOrPastTheEndAreSentAfterTheLastRenderOfTheBlock) {
    play(64, {event(10, {0x90, 60, 100}), event(64, {0x80, 60, 0}), event(500, {0xB0, 123, 0})});
    EXPECT_EQ(kernel.rendersBefore("note 128 60 0"), 2);
    EXPECT_EQ(kernel.rendersBefore("allNotesOff"), 2);
    EXPECT_EQ(kernel.log.back(), "allNotesOff");

    play(0, {event(0, {0x90, 62, 90})});
    EXPECT_EQ(kernel.renders, 2);
    play(32);
    EXPECT_EQ(kernel.rendersBefore("note 144 62 90"), 2);
    const std::vector<std::string> expected = {"note 144 60 100", "note 128 60 0", "allNotesOff", "note 144 62 90"};
    EXPECT_EQ(kernel.events(), expected);
}

TEST(MidiDispatch, EachStatusReachesItsTarget) {
    struct Case {
        BlockMidiEvent event;
        std::string kernelCall;  // empty: the kernel hears nothing
        std::string controller;  // empty: the controller handler hears nothing
    };
    const Case cases[] = {
        {event(0, {0x93, 60, 100}), "note 147 60 100", ""},
        {event(0, {0x85, 61, 10}), "note 133 61 10", ""},
        // Bend 0x2001: the second data byte holds the high seven bits.
        {event(0, {0xE0, 0x01, 0x40}), "bend 64 1", ""},
        {event(0, {0xB2, 123, 0}), "allNotesOff", ""},
        {event(0, {0xB0, 7, 99}), "", "7 99"},
        {event(0, {0xB0, 122, 1}), "", "122 1"},
        {event(0, {0xA1, 60, 70}), "pressure 161 60 70", ""},
        {event(0, {0xD4, 80}), "pressure 212 80 0", ""},
        {event(0, {0xFA}), "start", ""},
        {event(0, {0xFC}), "stop", ""},
        // Never to the kernel: program change, system exclusive, clock, continue, running-status data.
        {event(0, {0xC0, 5}), "", ""},
        {event(0, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}), "", ""},
        {event(0, {0xF0, 0x43, 0xF7}), "", ""},
        {event(0, {0xF8}), "", ""},
        {event(0, {0xFB}), "", ""},
        {event(0, {0x40, 100}), "", ""},
        // Cut-off messages: a note-on without its velocity must not become a note-off.
        {event(0, {0x90, 60}), "", ""},
        {event(0, {0xE0, 1}), "", ""},
        {event(0, {0xB0, 123}), "", ""},
        {event(0, {0xD0}), "", ""},
        {event(0, {}), "", ""},
    };
    for (const Case& c : cases) {
        RecordingKernel kernel;
        RecordingControllers controllers;
        dispatchMidiEvent(c.event, kernel, &controllers);
        const std::string what = "status " + std::to_string(c.event.bytes[0]) + " size " + std::to_string(c.event.size);
        EXPECT_EQ(kernel.log, c.kernelCall.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.kernelCall})
            << what;
        EXPECT_EQ(controllers.changes,
                  c.controller.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.controller})
            << what;
    }
    RecordingKernel kernel;
    dispatchMidiEvent(event(0, {0xB0, 7, 99}), kernel, nullptr);
    EXPECT_TRUE(kernel.log.empty());
}

TEST_F(BlockRendererTest, AccumulateAddsToTheOutputAndAMissingChannelIsSkipped) {
    std::vector<float> left(40, 0.25f), right(40, 0.5f);
    renderer.process(nullptr, 0, left.data(), right.data(), 40, true, 0.0);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(left[static_cast<size_t>(i)], 0.25f + static_cast<float>(i + 1)) << i;
        EXPECT_EQ(right[static_cast<size_t>(i)], 0.5f - static_cast<float>(i + 1)) << i;
    }
    renderer.process(nullptr, 0, left.data(), right.data(), 40, false, 0.0);
    EXPECT_EQ(left[0], 41.0f);
    EXPECT_EQ(right[39], -80.0f);

    // A one-channel device: the left channel still gets the running count, with nothing skipped.
    renderer.process(nullptr, 0, left.data(), nullptr, 8, false, 0.0);
    EXPECT_EQ(left[0], 81.0f);
    EXPECT_EQ(left[7], 88.0f);
}

TEST_F(BlockRendererTest, TheTempoIsWrittenEveryBlockRoundedFromTheClockOr120) {
    struct Case {
        double clockBpm;
        float tempo;
    };
    const Case cases[] = {
        {0.0, 120.0f},   {130.0, 130.0f}, {129.5, 130.0f},
        {130.49, 130.0f}, {87.2, 87.0f},   {-5.0, 120.0f},
        {std::numeric_limits<double>::quiet_NaN(), 120.0f}, {std::numeric_limits<double>::infinity(), 120.0f},
    };
    size_t blocks = 0;
    for (const Case& c : cases) {
        play(32, {}, c.clockBpm);
        ASSERT_EQ(kernel.tempos.size(), ++blocks) << "one tempo per block";
        EXPECT_EQ(kernel.tempos.back(), c.tempo) << "clock " << c.clockBpm;
        EXPECT_EQ(renderer.bpm(), c.tempo) << "clock " << c.clockBpm;
    }
    play(0, {}, 140.0); // even a block of no samples
    ASSERT_EQ(kernel.tempos.size(), blocks + 1);
    EXPECT_EQ(kernel.tempos.back(), 140.0f);
}

// Each reading of the clock is `step` microseconds after the previous one, so a block takes one step.
class SteppingClock : public KernelClock {
public:
    int64_t ticks() const override { return now += step; }
    int64_t ticksPerSecond() const override { return 1000000; }
    mutable int64_t now = 0;
    int64_t step = 0;
};

TEST(CpuLoad, TheMeterKeepsAFifthOfEachBlocksShareOfRealTime) {
    RecordingKernel kernel;
    SteppingClock clock;
    BlockRenderer renderer(kernel, nullptr, &clock);
    renderer.setSampleRate(32000.0); // 64 samples = 2 ms
    std::vector<float> left(64), right(64);
    auto block = [&](int samples, int64_t tookMicroseconds) {
        clock.step = tookMicroseconds;
        renderer.process(nullptr, 0, left.data(), right.data(), samples, false, 0.0);
        return renderer.cpuLoad();
    };
    // Half of real time: 20 % x 50 = 10, then 10 + 0.8 x 10 = 18, then 10 + 14.4 = 24.4.
    EXPECT_EQ(block(64, 1000), 10);
    EXPECT_EQ(block(64, 1000), 18);
    EXPECT_EQ(block(64, 1000), 24);
    // A tenth of real time: 2 + 19.2; then 0 + 16.8 once the block costs nothing.
    EXPECT_EQ(block(64, 200), 21);
    EXPECT_EQ(block(64, 0), 16);

    // No samples, or no usable rate: nothing is measured and the meter holds.
    EXPECT_EQ(block(0, 5000), 16);
    for (double rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()}) {
        renderer.setSampleRate(rate);
        EXPECT_EQ(block(64, 1000), 16) << "rate " << rate;
    }
}

// The MIDI clock's measured tempo, rounded, becomes the real kernel's tempo from the fourth beat on.
TEST(BlockRendererWithKernel, ClockTempoReachesTheEngineContextAt48kHz) {
    testing::ParameterRig rig;
    rig.build();
    rig.kernel->setSampleRate(48000.0);
    CorvexBlockKernel adapter(*rig.kernel);
    BlockRenderer renderer(adapter, nullptr);
    renderer.setSampleRate(48000.0);
    MidiClockTempo clock;
    clock.setSampleRate(48000.0);

    constexpr int kBlock = 480;
    const double samplesPerClock = 48000.0 * 60.0 / 130.3 / MidiClockTempo::kClocksPerBeat;
    std::vector<float> left(kBlock), right(kBlock);
    int clocks = 0;
    float tempoAtBeat[6] = {};
    for (int64_t start = 0; clocks <= 5 * MidiClockTempo::kClocksPerBeat; start += kBlock) {
        for (double at = clocks * samplesPerClock; at < static_cast<double>(start + kBlock);
             at = ++clocks * samplesPerClock) {
            clock.clock(static_cast<int64_t>(at));
        }
        renderer.process(nullptr, 0, left.data(), right.data(), kBlock, false, clock.bpm());
        const int beat = clocks / MidiClockTempo::kClocksPerBeat;
        if (beat < 6) tempoAtBeat[beat] = rig.kernel->context().tempo;
    }
    EXPECT_EQ(tempoAtBeat[1], 120.0f);
    EXPECT_EQ(tempoAtBeat[2], 120.0f);
    EXPECT_EQ(tempoAtBeat[5], 130.0f);
    EXPECT_EQ(renderer.bpm(), 130.0);

    renderer.process(nullptr, 0, left.data(), right.data(), kBlock, false, 0.0);
    EXPECT_EQ(rig.kernel->context().tempo, 120.0f);
}

// The whole path on a rendering thread of its own: device blocks that are not multiples of 32, notes,
// bend, pressure, controllers and transport through the dispatch, a clock tempo: no allocation, no bad
// sample, sound.
TEST(BlockRendererWithKernel, RendersInRealTimeWithoutAllocatingOrBadSamples) {
    testing::ParameterRig rig;
    rig.build();
    CorvexBlockKernel adapter(*rig.kernel);
    BlockRenderer renderer(adapter, nullptr);
    renderer.setSampleRate(44100.0);
    constexpr int kBlocks = 3000;

    testing::RealTimeRun run(kBlocks, [&](int block, float* left, float* right) {
        const int note = 36 + (block * 7) % 60;
        BlockMidiEvent events[8];
        int count = 0;
        if (block % 3 == 0) events[count++] = event(0, {0x90, note, 1 + block % 127});
        if (block % 5 == 0) events[count++] = event(2, {0x80, 36 + ((block - 40) * 7 % 60 + 60) % 60, 0});
        if (block % 7 == 0) events[count++] = event(5, {0xE0, block % 128, (block * 3) % 128});
        if (block % 11 == 0) events[count++] = event(8, {0xA0, note, block % 128});
        if (block % 97 == 0) events[count++] = event(9, {0xFA});
        if (block % 97 == 50) events[count++] = event(9, {0xFC});
        if (block % 500 == 499) events[count++] = event(12, {0xB0, 123, 0});
        // Two device blocks of 13 and 19 per 32 frames keep the carry busy across every boundary.
        const double bpm = block < 1500 ? 0.0 : 131.0;
        renderer.process(events, count, left, right, 13, false, bpm);
        renderer.process(nullptr, 0, left + 13, right + 13, 19, false, bpm);
    });
    const testing::RealTimeReport report = run.finish();
    testing::expectRealTimeSafe(report, testing::Expect::Sound);
    EXPECT_EQ(rig.kernel->context().tempo, 131.0f);
    EXPECT_EQ(rig.kernel->refusedBlockCount(), 0);
}

} // namespace
} // namespace corvex

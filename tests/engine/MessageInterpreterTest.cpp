// The interpreter: framing of word streams, what it rejects, and the effect of each message type.
#include <gtest/gtest.h>

#include <random>

#include "engine/program/CorvanKernelProgram.h"
#include "tests/engine/KernelTestHelpers.h"
#include "tests/support/SignalChecks.h"

namespace corvex::testing {
namespace {

class Interpreter : public ::testing::Test {
protected:
    void SetUp() override {
        listener.echoes.clear();
        kernel = makeKernel();
        kernel->addListener(&listener);
    }
    int run(const std::vector<uint16_t>& words) {
        return kernel->processMessage(words.data(), static_cast<int>(words.size()));
    }
    // Echoes written by executed set-parameter messages, once the block that wrote them is published.
    size_t publishedEchoes() {
        kernel->commitNotifications();
        kernel->drainNotifications();
        return listener.echoes.size();
    }
    std::unique_ptr<CorvexKernel> kernel;
    RecordingListener listener;
};

struct FramingCase {
    const char* name;
    std::vector<uint16_t> words;
    int result;
    size_t echoes;
};

TEST_F(Interpreter, FramesStreamsAndStopsAtWhatItCannotRead) {
    const auto t = transportWords(16384);
    const std::vector<FramingCase> cases = {
        {"one set-parameter", t, 0, 1},
        {"two set-parameters", {t[0], t[1], t[2], t[3], t[0], t[1], t[2], t[3]}, 0, 2},
        {"a terminating type stops the rest", {t[0], t[1], t[2], t[3], head(0, MessageType::ParameterEcho), 0, t[0], t[1], t[2], t[3]}, -1, 1},
        {"type below 12", {head(0, 11), 0}, -1, 0},
        {"type above 40", {head(0, 41), 0}, -1, 0},
        {"set-parameter cut short", {t[0], t[1], t[2]}, -1, 0},
        {"a lone head word", {t[0], t[1], t[2], t[3], head(1, MessageType::EnablePart)}, -1, 1},
        {"connection amount may end after its amount", {head(1, MessageType::SetConnectionAmount), pair(3, 0), 100}, 0, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(run(c.words), c.result) << c.name;
        EXPECT_EQ(publishedEchoes(), c.echoes) << c.name;
    }
}

TEST_F(Interpreter, TerminatingTypesEndTheStream) {
    for (int type : {19, 23, 28, 29, 30, 31, 33, 37, 38, 39}) {
        EXPECT_EQ(run({head(1, MessageType::EnablePart), 0, head(1, type), 0, head(2, MessageType::EnablePart), 0}), -1) << type;
        EXPECT_TRUE(kernel->program(0)->enabled) << type;
        EXPECT_FALSE(kernel->program(1)->enabled) << type;
    }
}

TEST_F(Interpreter, EmptyStreamDoesNothing) {
    EXPECT_EQ(kernel->processMessage(nullptr, 0), 0);
    const uint16_t words[2] = {head(1, MessageType::EnablePart), 0};
    EXPECT_EQ(kernel->processMessage(words, 0), 0);
    EXPECT_FALSE(kernel->program(0)->enabled);
}

TEST_F(Interpreter, RejectsIndicesOutOfRangeAndContinues) {
    struct Case {
        const char* name;
        std::vector<uint16_t> words;
    };
    const std::vector<Case> cases = {
        {"section 5", {head(5, MessageType::SetParameter), pair(1, 0), pair(7, 0), 100}},
        {"kernel-global slot set in a part", {head(1, MessageType::SetParameter), pair(46, 2), pair(7, 0), 100}},
        {"slot without a module (type 7 instance 1)", {head(1, MessageType::SetParameter), pair(7, 0), pair(7, 1), 100}},
        {"part slot set in the kernel section", {head(0, MessageType::SetParameter), pair(3, 0), pair(7, 0), 100}},
        {"connection record 96", {head(1, MessageType::SetConnectionAmount), pair(96, 0), 100, 0}},
        {"connection removal in section 0", {head(0, MessageType::RemoveConnection), pair(0, 0)}},
        {"enable section 5", {head(5, MessageType::EnablePart), 0}},
        {"MIDI event for part 4", {head(0x94, MessageType::MidiEvent), pair(100, 60)}},
        {"MIDI data byte above 127", {head(0x90, MessageType::MidiEvent), pair(100, 200)}},
        {"pressure for part 4", {head(4, MessageType::Pressure), pair(64, 255)}},
        {"bend for section 5", {head(5, MessageType::Bend), 16384}},
        {"direct note for part 5", {head((5 << 4) | 1, MessageType::DirectNoteOn), pair(100, 60)}},
    };
    for (const auto& c : cases) {
        SetUp();
        std::vector<uint16_t> words = c.words;
        // A message after the rejected one still runs: the framing is intact. Enabling a part sets
        // no result, so the rejection's -1 stands.
        words.insert(words.end(), {head(2, MessageType::EnablePart), 0});
        EXPECT_EQ(run(words), -1) << c.name;
        EXPECT_TRUE(kernel->program(1)->enabled) << c.name;
        EXPECT_EQ(publishedEchoes(), 0u) << c.name;
    }
}

// Each accepted message either sets the stream's result or leaves the one before it: after a
// rejection, only a message that sets a result answers for the stream again.
TEST_F(Interpreter, EachTypeEitherSetsTheResultOrLeavesIt) {
    struct Case {
        const char* name;
        std::vector<uint16_t> words;
        bool setsResult;
    };
    const std::vector<uint16_t> noRecord(kExternalConnectionWords, 0);
    auto withRecord = [&](std::vector<uint16_t> words) {
        words.insert(words.end(), noRecord.begin(), noRecord.end());
        return words;
    };
    const std::vector<Case> cases = {
        {"set-parameter", transportWords(16384), true},
        {"connection amount", {head(1, MessageType::SetConnectionAmount), pair(3, 0), 100, 0}, true},
        {"connection second", {head(1, MessageType::SetConnectionSecond), pair(3, 0), 100, 0}, true},
        {"replacing a record the list lacks", withRecord({head(1, MessageType::ReplaceConnection), pair(0, 0)}), true},
        {"direct note on another channel", {head((0 << 4) | 2, MessageType::DirectNoteOn), pair(100, 60)}, true},
        {"direct note-off of a key not down", {head((0 << 4) | 1, MessageType::DirectNoteOff), pair(0, 60)}, true},
        {"controller", {head(0xB0, MessageType::MidiEvent), pair(0, 1)}, false},
        {"enable", {head(1, MessageType::EnablePart), 0}, false},
        {"disable", {head(1, MessageType::DisablePart), 0}, false},
        {"module data", {head(1, MessageType::ModuleData), pair(44, 1), pair(7, 0), 1, 0x101, pair(44, 0), 3, 0xDEAD}, false},
        {"clear remote input", {head(0, MessageType::ClearRemoteInput), 0}, false},
        {"set remote input", {head(0, MessageType::SetRemoteInput), 0}, false},
        {"stop every part", {head(0, MessageType::StopParts), 0}, false},
        {"start a part", {head(2, MessageType::StartParts), 0}, false},
        {"program hook", {head(1, MessageType::ProgramHook), 0, 0, 0}, false},
        {"bend", bendWords(1, 16384), false},
        {"bend of section 0", bendWords(0, 16384), false},
        {"pressure", {head(0, MessageType::Pressure), pair(64, 255)}, false},
    };
    const std::vector<uint16_t> rejected = {head(5, MessageType::EnablePart), 0};
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(run(c.words), 0) << c.name << " alone";
        SetUp();
        std::vector<uint16_t> words = rejected;
        words.insert(words.end(), c.words.begin(), c.words.end());
        EXPECT_EQ(run(words), c.setsResult ? 0 : -1) << c.name << " after a rejection";
    }
}

TEST_F(Interpreter, BendPressureAndPartFlags) {
    struct BendCase {
        uint16_t word;
        float bend;
    };
    for (const BendCase c : {BendCase{16384, 0.0f}, BendCase{0, -1.0f}, BendCase{32767, 0.99994f}}) {
        run(bendWords(2, c.word));
        EXPECT_NEAR(kernel->program(1)->bend, c.bend, 1e-4f) << c.word;
    }
    EXPECT_EQ(run(bendWords(0, 0)), 0); // section 0 is ignored
    EXPECT_NEAR(kernel->program(1)->bend, 0.99994f, 1e-4f);

    // Pressure names the part directly: target 0 is the first part.
    run({head(0, MessageType::Pressure), pair(127, 255)});
    EXPECT_EQ(kernel->program(0)->pressureNote, 255);
    EXPECT_FLOAT_EQ(kernel->program(0)->pressureValue, 1.0f);

    run({head(3, MessageType::EnablePart), 0});
    EXPECT_TRUE(kernel->program(2)->enabled);
    run({head(3, MessageType::DisablePart), 0});
    EXPECT_FALSE(kernel->program(2)->enabled);

    EXPECT_EQ(kernel->remoteInputFlag(), 1);
    run({head(0, MessageType::ClearRemoteInput), 0});
    EXPECT_EQ(kernel->remoteInputFlag(), 0);
    run({head(0, MessageType::SetRemoteInput), 0});
    EXPECT_EQ(kernel->remoteInputFlag(), 1);
}

TEST_F(Interpreter, StartAndStopParts) {
    run({head(2, MessageType::StartParts), 0});
    EXPECT_TRUE(kernel->program(1)->running);
    EXPECT_TRUE(kernel->program(1)->enabled);
    EXPECT_FALSE(kernel->program(0)->running);

    run({head(0, MessageType::StopParts), 0});
    for (int p = 0; p < 4; ++p) {
        EXPECT_FALSE(kernel->program(p)->running) << p;
        EXPECT_FALSE(kernel->program(p)->enabled) << p;
    }
}

TEST_F(Interpreter, DirectNoteOnOtherChannelOnlyMarks) {
    EXPECT_EQ(kernel->directNoteMark(), 0);
    EXPECT_EQ(run({head((0 << 4) | 2, MessageType::DirectNoteOn), pair(100, 60)}), 0);
    EXPECT_EQ(kernel->directNoteMark(), 1);
}

TEST_F(Interpreter, ModuleDataAdvancesPastItsBlockAndPad) {
    // L = 7: two head words, the length word, word 3, three block words and one pad word.
    const std::vector<uint16_t> odd = {head(1, MessageType::ModuleData), pair(44, 1), pair(7, 0), 1, 0x101, pair(44, 0), 3, 0xDEAD,
                                       head(1, MessageType::EnablePart), 0};
    EXPECT_EQ(run(odd), 0);
    EXPECT_TRUE(kernel->program(0)->enabled);

    // A length byte of 0 carries a block longer than 255 words: it runs to the end of the stream.
    std::vector<uint16_t> longBlock = {head(1, MessageType::ModuleData), pair(41, 1), pair(0, 0), 1};
    longBlock.resize(4 + 417, 0);
    EXPECT_EQ(run(longBlock), 0);

    // A length that the stream does not hold is rejected.
    EXPECT_EQ(run({head(1, MessageType::ModuleData), pair(44, 1), pair(9, 0), 1, 0}), -1);
    EXPECT_EQ(run({head(1, MessageType::ModuleData), pair(44, 1), pair(3, 0)}), -1);
}

TEST_F(Interpreter, TransportFollowsTheRunWord) {
    Block block;
    kernel->startTransport();
    EXPECT_FLOAT_EQ(kernel->transportRun(), 1.0f);
    render(*kernel, block);
    EXPECT_EQ(kernel->transport(), CorvexKernel::Transport::Starting);
    render(*kernel, block);
    EXPECT_EQ(kernel->transport(), CorvexKernel::Transport::Running);
    kernel->stopTransport();
    render(*kernel, block);
    EXPECT_EQ(kernel->transport(), CorvexKernel::Transport::Stopping);
    render(*kernel, block);
    EXPECT_EQ(kernel->transport(), CorvexKernel::Transport::Stopped);

    // The echo reports the kernel section, slot 32 and parameter 5.
    kernel->drainNotifications();
    ASSERT_EQ(listener.echoes.size(), 2u);
    EXPECT_EQ(listener.echoes[0].section, 0);
    EXPECT_EQ(listener.echoes[0].slot, 32);
    EXPECT_EQ(listener.echoes[0].parameter, 5);
    EXPECT_FLOAT_EQ(listener.echoes[0].value, 1.0f);
    EXPECT_FLOAT_EQ(listener.echoes[1].value, 0.0f);
}

} // namespace
} // namespace corvex::testing

namespace corvex::testing {
namespace {

// Random word streams, mostly of valid types with random fields, into a kernel playing the initial
// program: nothing crashes, every block stays finite, and the kernel still plays afterwards.
TEST(InterpreterFuzz, RandomStreamsNeverBreakThePlayingKernel) {
    auto kernel = makeKernel();
    auto program = std::make_unique<CorvanKernelProgram>(*kernel);
    program->initialise();
    Block block;
    render(*kernel, block);
    std::mt19937 rng(2024);
    std::vector<uint16_t> words;
    for (int round = 0; round < 20000; ++round) {
        words.resize(1 + rng() % 24);
        for (uint16_t& w : words) w = static_cast<uint16_t>(rng());
        // Most streams start with a plausible head: a valid type and a small target.
        if (rng() % 4 != 0) words[0] = static_cast<uint16_t>(((rng() % 6) << 8) | (12 + rng() % 29));
        kernel->processMessage(words.data(), static_cast<int>(words.size()));
        if (round % 50 == 0) {
            kernel->sendMidiNote(0x90, static_cast<int>(rng() % 128), 100);
            render(*kernel, block);
            ASSERT_EQ(badSamples(block.left, 32) + badSamples(block.right, 32), 0) << round;
        }
    }
    kernel->allNotesOff();
    program->initialise();
    render(*kernel, block);
    kernel->sendMidiNote(0x90, 60, 100);
    double energy = 0.0;
    for (int i = 0; i < 50; ++i) {
        render(*kernel, block);
        for (float s : block.left) energy += static_cast<double>(s) * s;
    }
    EXPECT_GT(energy, 0.0) << "the kernel plays again once the program is sent anew";
}

} // namespace
} // namespace corvex::testing

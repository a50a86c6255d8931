// Layer and patch streams written by one instrument and read by another: what lands where, the steps
// after a load, the refusals of broken streams, and the sound of a reloaded layer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/modules/KernelClock.h"
#include "instrument/params/ByteStream.h"
#include "instrument/params/MultiMappers.h"
#include "instrument/state/ChunkStream.h"
#include "instrument/state/HostState.h"
#include "instrument/state/LayerChunks.h"
#include "instrument/state/MultiChunks.h"
#include "instrument/state/StateLoadListener.h"
#include "tests/instrument/core/ParameterRig.h"

namespace corvex::testing {
namespace {

using Bytes = std::vector<uint8_t>;

struct RecordingLoadListener : StateLoadListener {
    void refreshLayerParameters(int layer) override { calls.push_back("refresh layer " + std::to_string(layer)); }
    void refreshGlobalParameters() override { calls.push_back("refresh globals"); }
    void setLoading(bool loading) override {
        calls.push_back(loading ? "loading on" : "loading off");
        loadingFlag = loading;
    }
    void reportHostParameter(int index) override {
        if (!loadingFlag) calls.push_back("report outside loading");
        reported.push_back(index);
    }
    std::vector<std::string> calls;
    std::vector<int> reported;
    bool loadingFlag = false;
};

// Hand-made stream pieces.
Bytes chunk(int32_t id, const Bytes& payload) {
    Bytes b;
    ByteWriter w(b);
    w.writeInt32(ChunkId::kMagic);
    w.writeInt32(id);
    w.writeInt32(static_cast<int32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}
Bytes entry(int32_t index, const std::string& key, float value) {
    Bytes b;
    ByteWriter w(b);
    w.writeInt32(index);
    w.writeString(key);
    w.writeFloat(value);
    return b;
}
Bytes info(int32_t version) {
    Bytes b;
    ByteWriter w(b);
    w.writeString("version");
    w.writeInt32(version);
    return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Bytes kEndChunk = chunk(ChunkId::kEnd, {});

// The normalised value of step s of n (the middle of the step's range).
float step(int s, int n) { return (static_cast<float>(s) + 0.5f) / static_cast<float>(n); }

class StateChunks : public ::testing::Test {
protected:
    void SetUp() override {
        source.build();
        target.build();
    }

    bool readLayer(int part, const Bytes& b) {
        return readLayerChunk(*target.program, *target.table, part, b.data(), b.size(), heard);
    }
    bool readMulti(const Bytes& b) { return readMultiChunk(*target.program, *target.table, b.data(), b.size(), heard); }

    ParameterRig source;
    ParameterRig target;
    RecordingLoadListener heard;
};

TEST_F(StateChunks, ALowerStreamLandsOnTheUpperRows) {
    source.table->setParameter(104, 0.25f); // Lower cutoff
    source.table->setParameter(13 + 92, 0.75f); // Lower resonance
    Bytes stream;
    writeLayerChunk(*source.program, *source.table, 2, stream);

    ASSERT_TRUE(readLayer(1, stream));
    EXPECT_FLOAT_EQ(target.table->getCachedValue(12), 0.25f);
    EXPECT_FLOAT_EQ(target.table->getCachedValue(13), 0.75f);
    EXPECT_FLOAT_EQ(target.table->getCachedValue(104), 0.0f) << "the Lower rows are not touched";
    // The kernel words came with the part, not from the cache.
    EXPECT_EQ(target.word(1, 5, 7), source.word(2, 5, 7));
    EXPECT_NE(target.word(1, 5, 7), target.word(2, 5, 7));
}

TEST_F(StateChunks, ALayerNeutralKeyAppliesToEitherLayer) {
    const Bytes stream = chunk(ChunkId::kInfo, info(2)) + chunk(ChunkId::kCach, entry(12, "LpfCut", 0.375f)) + kEndChunk;
    ASSERT_TRUE(readLayer(2, stream));
    EXPECT_FLOAT_EQ(target.table->getCachedValue(104), 0.375f);
    EXPECT_FLOAT_EQ(target.table->getCachedValue(12), 0.0f);
    ASSERT_TRUE(readLayer(1, stream));
    EXPECT_FLOAT_EQ(target.table->getCachedValue(12), 0.375f);

    // A key the row does not carry is dropped without a fault.
    const Bytes foreign = chunk(ChunkId::kCach, entry(13, "LpfCut", 0.5f)) + kEndChunk;
    EXPECT_TRUE(readLayer(1, foreign));
    EXPECT_FLOAT_EQ(target.table->getCachedValue(13), 0.0f);
}

// The keyboard-route rows of the Upper layer and the values a stream without them leaves there.
constexpr float kRouteDefaults[20] = {0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 1.0f,
                                      0.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 1.0f};

TEST_F(StateChunks, AVersionOneStreamGetsTheRouteDefaults) {
    for (int layer = 0; layer < 2; ++layer)
        for (int i = 590; i <= 609; ++i) target.table->setValue(i + 361 * layer, 0.25f);
    const Bytes cache = chunk(ChunkId::kCach, entry(12, "LpfCut", 0.5f));

    ASSERT_TRUE(readLayer(2, cache + kEndChunk)); // no 'info' at all
    for (int i = 0; i < 20; ++i) {
        EXPECT_FLOAT_EQ(target.table->getCachedValue(951 + i), kRouteDefaults[i]) << "Lower row " << 951 + i;
        EXPECT_FLOAT_EQ(target.table->getCachedValue(590 + i), 0.25f) << "Upper row " << 590 + i;
    }
    ASSERT_TRUE(readLayer(1, chunk(ChunkId::kInfo, info(1)) + cache + kEndChunk));
    for (int i = 0; i < 20; ++i) EXPECT_FLOAT_EQ(target.table->getCachedValue(590 + i), kRouteDefaults[i]);

    // Version 2 keeps what the rows hold; an 'info' that only comes after the cache is too late.
    for (int i = 590; i <= 609; ++i) target.table->setValue(i, 0.25f);
    ASSERT_TRUE(readLayer(1, chunk(ChunkId::kInfo, info(2)) + cache + kEndChunk));
    for (int i = 590; i <= 609; ++i) EXPECT_FLOAT_EQ(target.table->getCachedValue(i), 0.25f);
    ASSERT_TRUE(readLayer(1, cache + chunk(ChunkId::kInfo, info(2)) + kEndChunk));
    EXPECT_FLOAT_EQ(target.table->getCachedValue(599), 1.0f) << "the version counts only when it comes first";
}

TEST_F(StateChunks, AnEmptyStreamStillRunsTheStepsAfterALoad) {
    target.deliver();
    target.table->storeCachedValue(ParameterIndex::kSplitKey, step(40, 128));
    ASSERT_TRUE(readLayer(2, {}));
    EXPECT_EQ(target.program->getSplitKey(), 40) << "the cached split key was pushed again";
    EXPECT_GT(target.posted(), 0) << "the keyboard block was sent again";

    ASSERT_EQ(heard.calls.size(), 3u);
    EXPECT_EQ(heard.calls[0], "refresh layer 1");
    EXPECT_EQ(heard.calls[1], "loading on");
    EXPECT_EQ(heard.calls[2], "loading off");
    ASSERT_EQ(heard.reported.size(), 211u);
    for (int i = 0; i < 211; ++i) EXPECT_EQ(heard.reported[static_cast<size_t>(i)], i);

    heard = RecordingLoadListener{};
    ASSERT_TRUE(readMulti({}));
    ASSERT_EQ(heard.calls.size(), 3u);
    EXPECT_EQ(heard.calls[0], "refresh globals");
    EXPECT_EQ(heard.reported.size(), 211u);
}

TEST_F(StateChunks, AMovedGlobalRowIsFoundByItsKey) {
    const std::string splitKey = target.table->getName(ParameterIndex::kSplitKey);
    ASSERT_EQ(splitKey, "SplitKey");
    const Bytes stream = chunk(ChunkId::kCmul, entry(186, splitKey, step(30, 128))) + kEndChunk;
    ASSERT_TRUE(readMulti(stream));
    EXPECT_EQ(target.program->getSplitKey(), 30);
    EXPECT_FLOAT_EQ(target.table->getCachedValue(ParameterIndex::kSplitKey), step(30, 128));
}

TEST_F(StateChunks, APatchInPolyModeTwoReloadsInPolyModeTwo) {
    source.table->setParameter(ParameterIndex::kPolyMode, step(2, 5));
    ASSERT_EQ(source.program->getVoiceAssignMode(), 2);
    source.table->setParameter(ParameterIndex::kVolume, 0.3f);
    Bytes stream;
    writeMultiChunk(*source.program, *source.table, stream);

    ASSERT_NE(target.program->getVoiceAssignMode(), 2);
    ASSERT_TRUE(readMulti(stream));
    EXPECT_EQ(target.program->getVoiceAssignMode(), 2);
    EXPECT_NEAR(target.table->getParameter(ParameterIndex::kVolume), 0.3f, 1e-3f);
}

// Presets were saved with values a little past 0..1 while the entry points let them through: they load
// clamped instead of losing the whole layer or patch. The re-read signal -1.0 stays as it is.
TEST_F(StateChunks, AValueSavedJustPastItsRangeLoadsClamped) {
    const struct Case {
        const char* name;
        int part; // 0 for the patch
        int row;
        Bytes entry;
        float loaded;
    } cases[] = {
        {"cut-off above", 1, 12, entry(12, "LpfCut", 1.5f), 1.0f},
        {"resonance below, into the Lower layer", 2, 105, entry(13, "LpfRes", -0.5f), 0.0f},
        {"the furthest taken", 1, 12, entry(12, "LpfCut", 2.0f), 1.0f},
        {"volume above", 0, ParameterIndex::kVolume, entry(ParameterIndex::kVolume, "Volume", 1.25f), 1.0f},
        {"balance below", 0, ParameterIndex::kBalance, entry(ParameterIndex::kBalance, "Balance", -1.0e-3f), 0.0f},
        {"re-read signal of an effect row", 0, 196, entry(196, "FX1P7", -1.0f), -1.0f},
    };
    for (const Case& c : cases) {
        target.table->setValue(c.row, 0.5f);
        const Bytes stream = chunk(ChunkId::kInfo, info(2)) + chunk(c.part == 0 ? ChunkId::kCmul : ChunkId::kCach, c.entry) + kEndChunk;
        EXPECT_TRUE(c.part == 0 ? readMulti(stream) : readLayer(c.part, stream)) << c.name;
        EXPECT_EQ(target.table->getCachedValue(c.row), c.loaded) << c.name;
    }
    // The volume reached the kernel as its top value, not as the saved one.
    EXPECT_EQ(target.table->getParameter(ParameterIndex::kVolume), 1.0f);
}

// Everything a refused stream must leave alone.
struct Snapshot {
    explicit Snapshot(ParameterRig& rig) {
        for (int s = 0; s <= 2; ++s) {
            const uint16_t* image = rig.program->sectionImage(s);
            const int words = s == 0 ? kGlobalSectionWords : kPartAreaWords;
            images.emplace_back(image, image + words);
        }
        for (int i = 0; i < ParameterMapping::kCount; ++i) cache.push_back(rig.table->getCachedValue(i));
        connections = rig.connectionCount(1);
    }
    bool operator==(const Snapshot& o) const {
        return images == o.images && std::memcmp(cache.data(), o.cache.data(), cache.size() * sizeof(float)) == 0 &&
               connections == o.connections;
    }
    std::vector<std::vector<uint16_t>> images;
    std::vector<float> cache;
    int connections = 0;
};

float nanValue() { return std::nanf(""); }

TEST_F(StateChunks, BrokenStreamsAreRefusedAndChangeNothing) {
    // A layer that differs from the target's in its program, connections and cache, so that any piece
    // applied before the refusal would show.
    source.table->setParameter(12, 0.2f);
    source.table->setParameter(21, 0.8f);
    ASSERT_GE(source.program->connect(1, 7, 0, 0, 4, 1, 9000, 0), 0);
    Bytes layer;
    writeLayerChunk(*source.program, *source.table, 1, layer);
    std::vector<Chunk> parts;
    ASSERT_TRUE(readChunkList(layer.data(), layer.size(), parts));
    ASSERT_EQ(parts.size(), 4u);
    const Bytes infoChunk = chunk(ChunkId::kInfo, parts[0].payload);
    const Bytes progChunk = chunk(ChunkId::kProg, parts[1].payload);
    const Bytes& cach = parts[2].payload;
    const auto withEntry = [&](const Bytes& bad) { return infoChunk + progChunk + chunk(ChunkId::kCach, cach + bad) + kEndChunk; };
    Bytes cutChunk = layer;
    cutChunk.resize(layer.size() / 2);
    // The 'prog' size word's top byte: after the 'info' chunk (a 12-byte header, 12 bytes of payload) and
    // the magic and id of 'prog'.
    const size_t progSizeTop = 12 + 12 + 8 + 3;
    Bytes negativeSize = layer;
    negativeSize[progSizeTop] = 0x80;
    Bytes hugeSize = layer;
    hugeSize[progSizeTop] = 0x7F;
    Bytes brokenProgram = parts[1].payload;
    brokenProgram[4] = 2; // the first block's length word: shorter than its own header
    brokenProgram[5] = 0;
    Bytes cutEntry = entry(12, "LpfCut", 0.5f);
    cutEntry.pop_back();
    const Bytes unterminatedInfo = {'v', 'e', 'r'};

    const struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"chunk cut short", cutChunk},
        {"negative size", negativeSize},
        {"huge size", hugeSize},
        // Every chunk here is a whole number of words long, so a magic is never met again.
        {"three garbage bytes", Bytes{1, 2, 3} + chunk(ChunkId::kInfo, info(2)) + kEndChunk},
        {"global index", withEntry(entry(184, "LpfCut", 0.5f))},
        {"Lower index", withEntry(entry(104, "LpfCut", 0.5f))},
        {"index past the table", withEntry(entry(5000, "LpfCut", 0.5f))},
        {"negative index", withEntry(entry(-1, "LpfCut", 0.5f))},
        {"empty key", withEntry(entry(13, "", 0.5f))},
        {"NaN value", withEntry(entry(13, "LpfRes", nanValue()))},
        {"infinite value", withEntry(entry(13, "LpfRes", INFINITY))},
        {"huge value", withEntry(entry(13, "LpfRes", 1e30f))},
        {"entry cut short", withEntry(cutEntry)},
        {"info not terminated", chunk(ChunkId::kInfo, unterminatedInfo) + progChunk + kEndChunk},
        {"empty info", chunk(ChunkId::kInfo, {}) + progChunk + kEndChunk},
        {"two caches", infoChunk + progChunk + chunk(ChunkId::kCach, cach) + chunk(ChunkId::kCach, cach) + kEndChunk},
        {"cache before a two-part program", chunk(ChunkId::kCach, cach) + progChunk + progChunk + kEndChunk},
        {"program that does not parse", infoChunk + chunk(ChunkId::kProg, brokenProgram) + chunk(ChunkId::kCach, cach) + kEndChunk},
    };
    for (const Case& c : cases) {
        heard = RecordingLoadListener{};
        const Snapshot before(target);
        ::testing::internal::CaptureStderr();
        // The check says beforehand what the read will do, and changes nothing itself.
        const bool checked = checkLayerChunk(*target.program, 1, c.data.data(), c.data.size());
        EXPECT_TRUE(Snapshot(target) == before) << c.name;
        const bool ok = readLayer(1, c.data);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(checked, ok) << c.name;
        EXPECT_FALSE(ok) << c.name;
        EXPECT_FALSE(err.empty()) << c.name;
        EXPECT_TRUE(Snapshot(target) == before) << c.name;
        EXPECT_TRUE(heard.calls.empty()) << c.name;
    }
    // The unbroken stream does change the target: the cases above refused something real.
    const Snapshot before(target);
    EXPECT_TRUE(checkLayerChunk(*target.program, 1, layer.data(), layer.size()));
    ASSERT_TRUE(readLayer(1, layer));
    EXPECT_FALSE(Snapshot(target) == before);
}

TEST_F(StateChunks, BrokenPatchStreamsAreRefusedAndChangeNothing) {
    source.table->setParameter(ParameterIndex::kPolyMode, step(2, 5));
    Bytes patch;
    writeMultiChunk(*source.program, *source.table, patch);
    std::vector<Chunk> parts;
    ASSERT_TRUE(readChunkList(patch.data(), patch.size(), parts));
    ASSERT_EQ(parts.size(), 4u);
    const Bytes multChunk = chunk(ChunkId::kMult, parts[1].payload);
    const auto withEntry = [&](const Bytes& bad) {
        return multChunk + chunk(ChunkId::kCmul, parts[2].payload + bad) + kEndChunk;
    };
    const struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"layer index", withEntry(entry(12, "SplitKey", 0.5f))},
        {"index past the table", withEntry(entry(1010, "SplitKey", 0.5f))},
        {"empty key", withEntry(entry(972, "", 0.5f))},
        {"NaN value", withEntry(entry(972, "SplitKey", nanValue()))},
        {"two block chunks", multChunk + withEntry({})},
        {"cut short", Bytes(patch.begin(), patch.end() - 5)},
    };
    for (const Case& c : cases) {
        heard = RecordingLoadListener{};
        const Snapshot before(target);
        ::testing::internal::CaptureStderr();
        const bool checked = checkMultiChunk(*target.program, c.data.data(), c.data.size());
        EXPECT_TRUE(Snapshot(target) == before) << c.name;
        const bool ok = readMulti(c.data);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(checked, ok) << c.name;
        EXPECT_FALSE(ok) << c.name;
        EXPECT_FALSE(err.empty()) << c.name;
        EXPECT_TRUE(Snapshot(target) == before) << c.name;
        EXPECT_EQ(target.program->getVoiceAssignMode(), 3) << c.name;
        EXPECT_TRUE(heard.calls.empty()) << c.name;
    }
    EXPECT_TRUE(checkMultiChunk(*target.program, patch.data(), patch.size()));
}

// Both instruments see the same time and the same noise.
class FixedClock final : public KernelClock {
public:
    int64_t ticks() const override { return 1000; }
    int64_t ticksPerSecond() const override { return 1000000; }
};

std::vector<float> playChord(ParameterRig& rig, const FixedClock& clock) {
    rig.kernel->setClock(&clock);
    rig.kernel->setRandomSeed(99);
    float left[32], right[32];
    float* outs[2] = {left, right};
    rig.kernel->processBlock(2, outs, 32);
    rig.kernel->sendMidiNote(0x90, 57, 100);
    rig.kernel->sendMidiNote(0x90, 64, 70);
    std::vector<float> take;
    for (int i = 0; i < 500; ++i) {
        if (i == 350) {
            rig.kernel->sendMidiNote(0x80, 57, 0);
            rig.kernel->sendMidiNote(0x80, 64, 0);
        }
        rig.kernel->processBlock(2, outs, 32);
        take.insert(take.end(), left, left + 32);
        take.insert(take.end(), right, right + 32);
    }
    rig.kernel->setClock(nullptr);
    return take;
}

double rmsOf(const std::vector<float>& v) {
    double sum = 0.0;
    for (float x : v) sum += static_cast<double>(x) * x;
    return std::sqrt(sum / static_cast<double>(v.size()));
}

TEST_F(StateChunks, AReloadedLayerPlaysTheSameSamples) {
    source.table->setParameter(12, 0.3f);  // cutoff
    source.table->setParameter(13, 0.6f);  // resonance
    source.table->setParameter(24, 0.7f);  // first envelope's release
    source.table->setParameter(4, 0.8f);   // second oscillator's fine tune
    Bytes stream;
    writeLayerChunk(*source.program, *source.table, 1, stream);
    ASSERT_TRUE(readLayer(1, stream));

    FixedClock clock;
    const std::vector<float> made = playChord(source, clock);
    const std::vector<float> loaded = playChord(target, clock);
    ASSERT_EQ(made.size(), loaded.size());
    double worst = 0.0;
    for (size_t i = 0; i < made.size(); ++i) worst = std::max(worst, std::fabs(static_cast<double>(made[i]) - loaded[i]));
    EXPECT_LE(worst, 1e-6);
    EXPECT_GT(rmsOf(made), 0.01) << "the layer makes a sound";

    // The edits are audible, or the comparison would prove nothing about them.
    ParameterRig plain;
    plain.build();
    const std::vector<float> initial = playChord(plain, clock);
    double difference = 0.0;
    for (size_t i = 0; i < initial.size(); ++i) difference += std::pow(static_cast<double>(initial[i]) - made[i], 2);
    EXPECT_GT(std::sqrt(difference / static_cast<double>(initial.size())), 0.1 * rmsOf(made));
}

// A filter manager whose state is three bytes.
struct ThreeByteFilter : HostStateFilter {
    void writeState(std::vector<uint8_t>& out) override { out.insert(out.end(), {7, 8, 9}); }
    bool readState(ByteReader& in) override {
        int32_t ignored = 0;
        readCalls++;
        left = in.readInt32(ignored) ? 99 : 3;
        return !refuses;
    }
    bool refuses = false;
    int readCalls = 0;
    int left = -1;
};

TEST(HostState, APageValueThenTheFilterManagersState) {
    ThreeByteFilter filter;
    Bytes state = {1, 2};
    writeHostState(0.25f, filter, state);
    EXPECT_EQ(state, (Bytes{0x00, 0x00, 0x80, 0x3E, 7, 8, 9})) << "0.25 is 3E800000, stored little-endian";

    float page = 0.0f;
    ASSERT_TRUE(readHostState(state.data(), state.size(), page, filter));
    EXPECT_EQ(page, 0.25f);
    EXPECT_EQ(filter.readCalls, 1);
    EXPECT_EQ(filter.left, 3) << "the filter manager reads from just after the page value";

    const Bytes nanPage = {0x00, 0x00, 0xC0, 0x7F, 7, 8, 9};
    const Bytes farPage = {0x00, 0x00, 0x80, 0x4F, 7, 8, 9};
    for (const Bytes& bad : {Bytes{0x00, 0x00, 0x80}, nanPage, farPage}) {
        page = 0.5f;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(readHostState(bad.data(), bad.size(), page, filter));
        EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
        EXPECT_EQ(page, 0.5f);
    }
    EXPECT_EQ(filter.readCalls, 1);

    // A state is taken whole: the page stays when the filter manager refuses its part.
    filter.refuses = true;
    page = 0.5f;
    EXPECT_FALSE(readHostState(state.data(), state.size(), page, filter));
    EXPECT_EQ(page, 0.5f);
}

} // namespace
} // namespace corvex::testing

// The instrument object: its start and end in order, parameters by index with editor echoes, learned
// controllers, block processing, the render exclusion and the state that one instrument hands another.
#include "instrument/CorvanAudioFilter.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "instrument/midi/ControllerCodes.h"
#include "tests/support/CallWithin.h"
#include "tests/support/RealTimeChecks.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

using Log = std::vector<std::string>;

struct FakeEditor : EditorHooks {
    struct Echo {
        int index;
        float value;
    };
    std::vector<Echo> echoes;
    std::vector<int> layerRefreshes;
    int globalRefreshes = 0;
    int lcdStores = 0;
    int kernelValues = 0;
    void parameterChanged(int index, float value) override { echoes.push_back({index, value}); }
    void kernelParameterChanged(int, int, int, int, float) override { ++kernelValues; }
    void postGuiMessage(int id, std::shared_ptr<const PointRecord> record) override {
        guiMessages.push_back({id, std::move(record)});
    }
    struct GuiMessage {
        int id;
        std::shared_ptr<const PointRecord> record;
    };
    std::vector<GuiMessage> guiMessages;
    void refreshLayerParameters(int layer) override { layerRefreshes.push_back(layer); }
    void refreshGlobalParameters() override { ++globalRefreshes; }
    void storeLcdPageParameter() override { ++lcdStores; }
    bool heard(int index, float value) const {
        for (const Echo& e : echoes)
            if (e.index == index && e.value == value) return true;
        return false;
    }
};

// The multi filter manager's host state as the library keeps it: the three chunks' payloads, each behind
// its size (the reader only reads whole 32-bit words, so payloads go out one byte per word).
struct FakeMultiFilter : HostStateFilter {
    std::vector<MorvanePresetChunkInterface*> chunks; // Lower, Upper, multi: the order a patch loads in
    void writeState(std::vector<uint8_t>& out) override {
        ByteWriter w(out);
        for (MorvanePresetChunkInterface* chunk : chunks) {
            std::vector<uint8_t> payload;
            chunk->write(payload);
            w.writeInt32(static_cast<int32_t>(payload.size()));
            for (const uint8_t b : payload) w.writeInt32(b);
        }
    }
    bool readState(ByteReader& in) override {
        for (MorvanePresetChunkInterface* chunk : chunks) {
            int32_t size = 0;
            if (!in.readInt32(size) || size < 0) return false;
            std::vector<uint8_t> payload(static_cast<size_t>(size));
            for (uint8_t& b : payload) {
                int32_t word = 0;
                if (!in.readInt32(word)) return false;
                b = static_cast<uint8_t>(word);
            }
            if (!chunk->read(payload.data(), payload.size())) return false;
        }
        return true;
    }
};

struct FakePresets : PresetServices {
    explicit FakePresets(Log& log) : log(log) {}
    void create(MorvanePresetChunkInterface& lower, MorvanePresetChunkInterface& upper, MorvanePresetChunkInterface& multi,
                MorvanePresetManagerListener& l) override {
        log.push_back("presets");
        filter.chunks = {&lower, &upper, &multi};
        listener = &l;
    }
    HostStateFilter* multiFilterManager() override { return listener != nullptr ? &filter : nullptr; }
    void markLayerPresetModified(bool lower) override { log.push_back(lower ? "modified Lower" : "modified Upper"); }
    void destroyFilterManagers() override { log.push_back("~filter managers"); }
    void destroyPresetManagers() override { log.push_back("~preset managers"); }
    Log& log;
    FakeMultiFilter filter;
    MorvanePresetManagerListener* listener = nullptr;
};

struct LoggedKernel : CorvexKernel {
    explicit LoggedKernel(Log& log) : log(log) {}
    ~LoggedKernel() override { log.push_back("~kernel"); }
    Log& log;
};

struct LoggedProgram : CorvanKernelProgram {
    LoggedProgram(CorvexKernel& kernel, Log& log) : CorvanKernelProgram(kernel), log(log) {}
    ~LoggedProgram() override { log.push_back("~program"); }
    Log& log;
};

struct LoggedTable : CorvanParameters {
    LoggedTable(MapperManagerListener* listener, CorvanKernelProgram& program, Log& log)
        : CorvanParameters(listener, program), log(log) {}
    ~LoggedTable() override { log.push_back("~table"); }
    Log& log;
};

// The product with every part it makes logged on the way in and out.
class LoggedFilter : public CorvanAudioFilter {
public:
    LoggedFilter(const MorvaneFindFolder& folder, Log& log)
        : CorvanAudioFilter(folder, std::make_unique<FakePresets>(log)), log(log) {}
    std::unique_ptr<CorvexKernel> createKernel() override {
        log.push_back("kernel");
        return std::make_unique<LoggedKernel>(log);
    }
    void setDefaultMidiMap() override {
        log.push_back("default map");
        CorvanAudioFilter::setDefaultMidiMap();
    }
    bool onPresetLoaded() override {
        ++presetsLoaded;
        return CorvanAudioFilter::onPresetLoaded();
    }
    int presetsLoaded = 0;

protected:
    std::unique_ptr<CorvanKernelProgram> createKernelProgram(CorvexKernel& kernel) override {
        log.push_back(std::string("program after ") + (getKernel() == &kernel ? "kernel" : "?"));
        return std::make_unique<LoggedProgram>(kernel, log);
    }
    std::unique_ptr<CorvanParameters> createParameterTable(CorvanKernelProgram& program) override {
        log.push_back("table");
        return std::make_unique<LoggedTable>(this, program, log);
    }

private:
    Log& log;
};

class AudioFilterTest : public ::testing::Test {
protected:
    AudioFilterTest() {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("corvex-filter-test-" + juce::String::toHexString(juce::Random().nextInt64()));
        folder = std::make_unique<MorvaneFindFolder>(root, "Corvex2");
    }
    ~AudioFilterTest() override { root.deleteRecursively(); }

    std::unique_ptr<LoggedFilter> makeFilter(Log& log) {
        auto filter = std::make_unique<LoggedFilter>(*folder, log);
        EXPECT_TRUE(filter->initialise());
        filter->prepareToPlay(44100.0, 512);
        settle(*filter);
        return filter;
    }

    // Renders blocks of `size` frames and returns the left channel.
    static std::vector<float> render(CorvanAudioFilter& filter, juce::MidiBuffer midi, int blocks, int size) {
        std::vector<float> out;
        std::vector<float> left(static_cast<size_t>(size)), right(static_cast<size_t>(size));
        for (int b = 0; b < blocks; ++b) {
            float* outs[2] = {left.data(), right.data()};
            filter.processBlock(outs, 2, size, false, midi);
            midi.clear();
            out.insert(out.end(), left.begin(), left.end());
        }
        return out;
    }

    // The kernel takes a bounded number of posted messages per block: a note sent before the initial
    // program has arrived would meet voices without a sound.
    // Always as many blocks, so that two instruments' free-running modules stay in step.
    static void settle(CorvanAudioFilter& filter) {
        render(filter, {}, 100, 32);
        EXPECT_EQ(filter.getKernel()->pendingMessageCount(), 0);
    }

    static juce::MidiBuffer note(int key, int at) {
        juce::MidiBuffer midi;
        midi.addEvent(juce::MidiMessage::noteOn(1, key, static_cast<juce::uint8>(100)), at);
        return midi;
    }

    static float peak(const std::vector<float>& x) {
        float p = 0.0f;
        for (const float s : x) p = std::max(p, std::fabs(s));
        return p;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::File root;
    std::unique_ptr<MorvaneFindFolder> folder;
};

TEST_F(AudioFilterTest, StartsAndEndsInOrder) {
    Log log;
    auto filter = makeFilter(log);
    EXPECT_EQ(log, (Log{"default map", "kernel", "program after kernel", "table", "presets"}));
    EXPECT_TRUE(filter->isKernelIdleRunning());
    EXPECT_NE(filter->getKernelProgram(), nullptr);
    EXPECT_EQ(filter->getNumParameters(), 211);

    log.clear();
    filter.reset();
    EXPECT_EQ(log, (Log{"~filter managers", "~preset managers", "~table", "~program", "~kernel"}));
    EXPECT_TRUE(folder->getMidiPrefsFile().existsAsFile()) << "midi.prefs is written at the end";
}

// With no midi.prefs the ten default pairs apply; CC 64 holds both layers.
TEST_F(AudioFilterTest, WithoutMidiPrefsTheDefaultControllerMapApplies) {
    Log log;
    auto filter = makeFilter(log);
    const struct {
        int index, controller;
    } expected[] = {{245, 1},  {184, 7},   {185, 8},   {235, 64},  {234, 64},
                    {12, 74},  {104, 74},  {13, 71},   {105, 71},  {238, rpnCode(0, 0)}};
    for (const auto& e : expected)
        EXPECT_EQ(filter->getMidiManager().getParameterController(e.index), e.controller) << e.index;
}

// The map the user made survives a restart; a file that could not be read is never written over.
TEST_F(AudioFilterTest, MidiPrefsAreReadAtStartAndWrittenAtTheEndUnlessTheyFailedToLoad) {
    Log log;
    {
        auto first = makeFilter(log);
        first->getMidiManager().assignController(20, 300);
    }
    log.clear();
    {
        auto second = makeFilter(log);
        EXPECT_EQ(second->getMidiManager().getParameterController(300), 20);
        EXPECT_EQ(second->getMidiManager().getParameterController(184), 7);
        EXPECT_EQ(std::count(log.begin(), log.end(), "default map"), 0);
    }

    const juce::String foreign = "<?xml version=\"1.0\"?><SOMEONE_ELSES/>";
    ASSERT_TRUE(folder->getMidiPrefsFile().replaceWithText(foreign));
    log.clear();
    {
        auto third = makeFilter(log);
        EXPECT_TRUE(third->midiPrefsFailedToLoad());
        EXPECT_EQ(std::count(log.begin(), log.end(), "default map"), 1);
        EXPECT_EQ(third->getMidiManager().getParameterController(300), kNoController);
    }
    EXPECT_EQ(folder->getMidiPrefsFile().loadFileAsString(), foreign);
}

TEST_F(AudioFilterTest, ParametersByIndexReachTheTableAndEchoToTheEditor) {
    Log log;
    auto filter = makeFilter(log);
    FakeEditor editor;
    filter->setActiveEditor(&editor);
    ParameterMapping& table = *filter->getParameterTable();

    filter->setParameter(184, 0.25f);
    EXPECT_EQ(table.getCachedValue(184), 0.25f);
    EXPECT_TRUE(editor.heard(184, 0.25f));

    const struct {
        int index;
        float value;
        bool echoed;
    } ignored[] = {
        {1018, 0.35f, true},          // pseudo-parameter: only the editor
        {1010, 0.5f, true},           // past the table: only the editor
        {-1, 0.5f, false},            // never valid
        {184, NAN, false},            // not finite
        {184, INFINITY, false},
    };
    for (const auto& c : ignored) {
        editor.echoes.clear();
        filter->setParameter(c.index, c.value);
        EXPECT_EQ(table.getCachedValue(184), 0.25f) << c.index;
        EXPECT_EQ(editor.echoes.size(), c.echoed ? 1u : 0u) << c.index;
    }
    EXPECT_EQ(filter->getParameter(ParameterIndex::kCount), 0.0f);
    EXPECT_EQ(filter->getParameter(-5), 0.0f);

    // A load reports its values to the host, which sends them back: they must not be applied again.
    filter->setLoading(true);
    filter->setParameterInternal(184, 0.75f);
    EXPECT_EQ(table.getCachedValue(184), 0.25f);
    filter->setLoading(false);
    filter->setParameterInternal(184, 0.75f);
    EXPECT_EQ(table.getCachedValue(184), 0.75f);
    filter->setActiveEditor(nullptr);
}

// Values from the host, the editor and MIDI enter the table within 0..1, and the editor shows what was kept;
// the editor's own ids past the table keep theirs.
TEST_F(AudioFilterTest, ValuesFromOutsideEnterTheTableClamped) {
    Log log;
    auto filter = makeFilter(log);
    FakeEditor editor;
    filter->setActiveEditor(&editor);
    const ParameterMapping& table = *filter->getParameterTable();
    using Entry = void (*)(CorvanAudioFilter&, int, float);
    const struct {
        const char* name;
        Entry enter;
    } entries[] = {
        {"host", [](CorvanAudioFilter& f, int i, float v) { f.setParameter(i, v); }},
        {"editor", [](CorvanAudioFilter& f, int i, float v) { f.setParameterNotifyingHost(i, v); }},
        {"MIDI", [](CorvanAudioFilter& f, int i, float v) { f.setParameterFromMidi(i, v); }},
    };
    for (const auto& e : entries) {
        e.enter(*filter, 184, 1.5f);
        EXPECT_EQ(table.getCachedValue(184), 1.0f) << e.name;
        e.enter(*filter, 12, -0.5f);
        EXPECT_EQ(table.getCachedValue(12), 0.0f) << e.name;
    }
    EXPECT_TRUE(editor.heard(184, 1.0f));
    EXPECT_FALSE(editor.heard(184, 1.5f));
    filter->setParameter(ParameterIndex::kLcdPage, 1.5f);
    EXPECT_TRUE(editor.heard(ParameterIndex::kLcdPage, 1.5f));
    filter->setActiveEditor(nullptr);
}

TEST_F(AudioFilterTest, PresetSeamsReachTheLibrary) {
    Log log;
    auto filter = makeFilter(log);
    log.clear();
    filter->reselectLayerPreset(true);
    filter->reselectLayerPreset(false);
    EXPECT_EQ(log, (Log{"modified Lower", "modified Upper"}));

    const float volume = filter->getParameterTable()->getCachedValue(184);
    filter->presetManagerChanged(3, 0, 0, nullptr);
    EXPECT_EQ(filter->presetsLoaded, 0);
    filter->presetManagerChanged(PresetServices::kPresetLoaded, 0, 0, nullptr);
    EXPECT_EQ(filter->presetsLoaded, 1);
    EXPECT_EQ(filter->getParameterTable()->getCachedValue(184), volume);
}

// A device restart at another rate keeps the user's tuning: A4 at 432 Hz sounds 432/440 as high as at 440.
TEST_F(AudioFilterTest, TheMasterTuningSurvivesPrepareToPlay) {
    Log log;
    auto measure = [&](float tuning) {
        auto filter = makeFilter(log);
        filter->getKernel()->setTuning(tuning);
        filter->prepareToPlay(48000.0, 256);
        EXPECT_EQ(filter->getKernel()->getTuning(), tuning);
        std::vector<float> x = render(*filter, note(69, 0), 200, 64);
        x.erase(x.begin(), x.begin() + 4096); // past the attack
        return testing::autocorrelationFrequency(x, 48000.0, 200.0, 2000.0);
    };
    const double at440 = measure(440.0f);
    const double at432 = measure(432.0f);
    EXPECT_NEAR(at432 / at440, 432.0 / 440.0, 0.002) << at440 << " Hz, " << at432 << " Hz";
}

// Notes sound whatever the host block size; accumulate adds to what the output held.
TEST_F(AudioFilterTest, ProcessBlockPlaysNotesAndAccumulates) {
    Log log;
    auto filter = makeFilter(log);
    EXPECT_LT(peak(render(*filter, {}, 50, 100)), testing::kAudibleLevel) << "silent without notes";
    for (const int size : {1, 31, 100, 1024}) {
        juce::MidiBuffer off;
        off.addEvent(juce::MidiMessage::allNotesOff(1), 0);
        render(*filter, off, 2000 / size + 1, size);
        EXPECT_GT(peak(render(*filter, note(60, size / 2), 8192 / size, size)), 0.01f) << size;
    }

    auto a = makeFilter(log), b = makeFilter(log);
    for (auto* f : {a.get(), b.get()}) f->getKernel()->setRandomSeed(7);
    const std::vector<float> plain = render(*a, note(64, 3), 40, 64);
    std::vector<float> left(64 * 40, 0.5f), right(64 * 40, -0.25f);
    juce::MidiBuffer midi = note(64, 3);
    for (int block = 0; block < 40; ++block) {
        float* outs[2] = {left.data() + block * 64, right.data() + block * 64};
        b->processBlock(outs, 2, 64, true, midi);
        midi.clear();
    }
    ASSERT_GT(peak(plain), 0.01f);
    for (size_t i = 0; i < plain.size(); ++i) ASSERT_FLOAT_EQ(left[i], 0.5f + plain[i]) << i;
}

// Controllers of the default map move their parameters (CC 64 both holds) and the editor hears of it
// through the MIDI manager's timer, not from the audio thread.
TEST_F(AudioFilterTest, LearnedControllersMoveTheirParameters) {
    Log log;
    auto filter = makeFilter(log);
    FakeEditor editor;
    filter->setActiveEditor(&editor);
    editor.echoes.clear();
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::controllerEvent(1, 7, 90), 5);
    midi.addEvent(juce::MidiMessage::controllerEvent(1, 64, 127), 40);
    render(*filter, midi, 2, 32);
    const ParameterMapping& table = *filter->getParameterTable();
    EXPECT_EQ(table.getCachedValue(184), 90.0f / 127.0f);
    EXPECT_EQ(table.getCachedValue(235), 1.0f);
    EXPECT_EQ(table.getCachedValue(234), 1.0f);
    EXPECT_TRUE(editor.echoes.empty());
    filter->getMidiManager().drainEvents();
    EXPECT_TRUE(editor.heard(184, 90.0f / 127.0f));
    filter->setActiveEditor(nullptr);
}

// Kernel notifications reach the editor only through the 50 ms idle timer on the message thread.
TEST_F(AudioFilterTest, TheKernelIdleTimerForwardsKernelValuesToTheEditor) {
    Log log;
    auto filter = makeFilter(log);
    FakeEditor editor;
    filter->setActiveEditor(&editor);
    filter->setParameter(12, 0.4f);
    render(*filter, {}, 4, 32);
    EXPECT_EQ(editor.kernelValues, 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(200);
    EXPECT_GT(editor.kernelValues, 0);
    filter->setActiveEditor(nullptr);
}

// Data blocks of three module slots become editor values (lamps 1012/1013, steps 1014/1015) and point
// records; the words are little-endian 32-bit.
TEST_F(AudioFilterTest, KernelDataBlocksReachTheEditor) {
    Log log;
    auto filter = makeFilter(log);
    auto bytes = [](std::vector<uint32_t> words) {
        std::vector<uint8_t> b;
        for (const uint32_t w : words)
            for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
        return b;
    };
    filter->kernelDataReceived(1, 23, 0, bytes({8192}).data(), 4); // no editor: nothing, no crash

    FakeEditor editor;
    filter->setActiveEditor(&editor);
    const struct {
        int part, slot;
        uint32_t word;
        int expectedId;
        float expectedValue;
    } values[] = {
        {1, 23, 8192, ParameterIndex::kUpperLfoLamp, 0.5f},
        {2, 23, 4096, ParameterIndex::kLowerLfoLamp, 0.25f},
        {1, 24, 3, ParameterIndex::kUpperSequencerStep, 3.5f / 32.0f},
        {2, 24, 40, ParameterIndex::kLowerSequencerStep, 31.5f / 32.0f}, // past the last step: the last step
    };
    for (const auto& v : values) {
        editor.echoes.clear();
        const std::vector<uint8_t> payload = bytes({v.word, 77});
        filter->kernelDataReceived(v.part, v.slot, 0, payload.data(), static_cast<uint16_t>(payload.size()));
        ASSERT_EQ(editor.echoes.size(), 1u) << v.slot;
        EXPECT_EQ(editor.echoes[0].index, v.expectedId);
        EXPECT_FLOAT_EQ(editor.echoes[0].value, v.expectedValue) << v.expectedId;
    }
    editor.echoes.clear();
    filter->kernelDataReceived(1, 23, 0, bytes({8192}).data(), 3); // shorter than a word
    filter->kernelDataReceived(1, 26, 0, bytes({8192}).data(), 4); // a slot that reports nothing
    EXPECT_TRUE(editor.echoes.empty());
    EXPECT_TRUE(editor.guiMessages.empty());

    // Two whole groups and a partial one.
    const std::vector<uint8_t> points = bytes({16384, 8192, 16384, 0, 0, 4096, 8192, 12288, 1, 2});
    filter->kernelDataReceived(2, 25, 0, points.data(), static_cast<uint16_t>(points.size()));
    ASSERT_EQ(editor.guiMessages.size(), 1u);
    EXPECT_EQ(editor.guiMessages[0].id, 0);
    const PointRecord& r = *editor.guiMessages[0].record;
    EXPECT_EQ(r.layer, 1);
    EXPECT_EQ(r.groupCount, 2);
    EXPECT_EQ(r.values, (std::vector<float>{1.0f, 0.5f, 1.0f, -1.0f, 0.0f, 0.25f, 0.0f, 0.5f}));
    filter->setActiveEditor(nullptr);
}

// The standalone's host hands every change straight back to setParameter, as the streamer does.
struct EchoingHost : AudioFilterBase::FilterNativeCallbacks {
    explicit EchoingHost(CorvanAudioFilter& filter) : filter(filter) {}
    bool getCurrentPositionInfo(juce::AudioPlayHead::CurrentPositionInfo&) override { return false; }
    void beginParameterGesture(int) override {}
    void endParameterGesture(int) override {}
    void informHostOfParameterChange(int index, float value, bool) override {
        ++heard;
        loadingWhenHeard += filter.isLoading() ? 1 : 0;
        filter.setParameter(index, value);
    }
    CorvanAudioFilter& filter;
    int heard = 0;
    int loadingWhenHeard = 0;
};

TEST_F(AudioFilterTest, TheHostHearsGesturesAndLoadedValuesWithoutApplyingThemTwice) {
    Log log;
    auto filter = makeFilter(log);
    EchoingHost host(*filter);
    filter->setHostCallbacks(&host);
    filter->setParameterNotifyingHost(184, 0.4f);
    EXPECT_EQ(host.heard, 1);
    EXPECT_EQ(filter->getParameterTable()->getCachedValue(184), 0.4f);
    filter->setParameterNotifyingHost(300, 0.7f); // the host sees 0-210 only
    EXPECT_EQ(host.heard, 1);
    EXPECT_EQ(filter->getParameterTable()->getCachedValue(300), 0.7f);

    // A layer load reports the 211 visible values with the loading flag set.
    std::vector<uint8_t> layer;
    const float saved = filter->getParameterTable()->getCachedValue(12);
    filter->upperChunk().write(layer);
    filter->setParameter(12, saved > 0.5f ? 0.1f : 0.9f);
    host.heard = 0;
    ASSERT_TRUE(filter->upperChunk().read(layer.data(), layer.size()));
    EXPECT_EQ(host.heard, 211);
    EXPECT_EQ(host.loadingWhenHeard, 211);
    EXPECT_FALSE(filter->isLoading());
    EXPECT_EQ(filter->getParameterTable()->getCachedValue(12), saved) << "the stream's value, not the host's echo";
    filter->setHostCallbacks(nullptr);
}

// A block crowded with more controllers than it has room for, its note-off last: the note still ends.
TEST_F(AudioFilterTest, ANoteOffAtTheEndOfABusyBlockEndsTheNote) {
    constexpr int kBlockSize = 4096;
    for (const int controllers : {0, 2100}) {
        Log log;
        auto filter = makeFilter(log);
        ASSERT_GT(peak(render(*filter, note(60, 0), 16, 256)), 0.01f);
        juce::MidiBuffer busy;
        for (int i = 0; i < controllers; ++i)
            busy.addEvent(juce::MidiMessage::controllerEvent(1, 20, i % 128), i * (kBlockSize - 1) / controllers);
        busy.addEvent(juce::MidiMessage::noteOff(1, 60), kBlockSize - 1);
        render(*filter, busy, 1, kBlockSize);
        const std::vector<float> after = render(*filter, {}, 40, kBlockSize);
        EXPECT_LT(peak(std::vector<float>(after.end() - kBlockSize, after.end())), testing::kAudibleLevel)
            << controllers << " controllers before the note-off";
    }
}

// A poster that finds the kernel's ring full waits while a block renders instead of running a message
// beside it.
TEST_F(AudioFilterTest, AFullMessageRingWaitsForTheRenderToEnd) {
    Log log;
    auto filter = makeFilter(log);
    CorvexKernel& kernel = *filter->getKernel();
    while (kernel.pendingMessageCount() < 255) kernel.postPitchBend(0.0f);

    std::atomic<bool> rendering{false}, release{false};
    std::thread audio([&] {
        const juce::ScopedLock lock(filter->getCallbackLock());
        rendering = true;
        while (!release) std::this_thread::yield();
    });
    while (!rendering) std::this_thread::yield();
    std::atomic<bool> posted{false};
    std::thread poster([&] {
        kernel.postPitchBend(0.5f);
        posted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(posted.load()) << "a message ran beside the render";
    release = true;
    audio.join();
    poster.join();
    EXPECT_TRUE(posted.load());
}

// The audio thread renders with notes, bend, a learned controller and MIDI clock while the message thread
// sets parameters and drains notices: nothing allocates after the first block, the audio thread never waits
// for a lock, no sample is bad, it sounds.
TEST_F(AudioFilterTest, ProcessBlockIsRealTimeSafe) {
    Log log;
    auto filter = makeFilter(log);
    using M = juce::MidiMessage;
    std::vector<juce::MidiBuffer> patterns(12);
    patterns[0].addEvent(M::noteOn(1, 60, static_cast<juce::uint8>(100)), 3);
    patterns[0].addEvent(M::noteOn(1, 64, static_cast<juce::uint8>(90)), 3);
    patterns[2].addEvent(M::pitchWheel(1, 12000), 7);
    patterns[4].addEvent(M::controllerEvent(1, 74, 40), 12);
    patterns[5].addEvent(M::controllerEvent(1, 7, 100), 0);
    patterns[6].addEvent(M::channelPressureChange(1, 50), 1);
    patterns[8].addEvent(M::pitchWheel(1, 8192), 31);
    patterns[10].addEvent(M::noteOff(1, 64), 20);
    // One clock every twelve 32-frame blocks: 24 clocks per 9216 frames, 44100 * 60 / 9216 = 287.1 bpm.
    patterns[0].addEvent(M::midiClock(), 0);
    patterns[1].addEvent(M::midiStart(), 1);

    constexpr int kBlocks = 4000;
    std::atomic<int> rendered{0};
    testing::RealTimeRun run(kBlocks, [&](int block, float* left, float* right) {
        float* outs[2] = {left, right};
        filter->processBlock(outs, 2, 32, false, patterns[static_cast<size_t>(block) % patterns.size()]);
        rendered = block + 1;
    });
    for (int i = 0; rendered.load() < kBlocks; ++i) {
        // As fast as the renderer takes them in, never a whole ring ahead: an overflow makes the audio thread
        // wait while the poster runs the oldest message itself.
        if (filter->getKernel()->pendingMessageCount() >= 128) {
            std::this_thread::yield();
            continue;
        }
        filter->setParameter(12 + (i % 2) * 92, static_cast<float>(i % 100) / 100.0f);
        if (i % 20 == 0) juce::MessageManager::getInstance()->runDispatchLoopUntil(1);
        std::this_thread::yield();
    }
    testing::expectRealTimeSafe(run.finish(), testing::Expect::Sound);
    EXPECT_NEAR(filter->getMidiManager().getTempo(), 44100.0 * 60.0 / 9216.0, 0.01);
    EXPECT_EQ(filter->getKernel()->context().tempo, 287.0f) << "the transport plays to the clock";
}

// A patch written straight after start, before any preset was loaded, keeps what the instrument plays: its
// global rows come back as they were, not as zeros that silence it.
TEST_F(AudioFilterTest, APatchWrittenAtStartKeepsItsLevelsAndSounds) {
    Log log;
    auto source = makeFilter(log);
    settle(*source);
    std::vector<uint8_t> patch;
    source->multiChunk().write(patch);
    auto target = makeFilter(log);
    settle(*target);
    ASSERT_TRUE(target->multiChunk().read(patch.data(), patch.size()));
    settle(*target);
    for (const int index : {184, 185, 1009}) // volume, balance, polyphony
        EXPECT_EQ(target->getParameter(index), source->getParameter(index)) << target->getParameterName(index);
    EXPECT_GT(source->getParameter(184), 0.0f) << "the initial program is not silent";
    EXPECT_GT(peak(render(*target, note(60, 0), 60, 64)), 0.01f);
}

// The host keeps the state of one instrument and gives it to another, which then plays the same sound.
TEST_F(AudioFilterTest, StateSavedByOneInstrumentPlaysTheSameInAnother) {
    Log log;
    auto source = makeFilter(log);
    // Rows that only the cache holds (master detune, portamento, the editor's switches) start at 0 while the
    // kernel plays its own defaults; a load pushes them, so the source takes them first, as any loaded
    // preset would have done.
    for (int index = 0; index < ParameterIndex::kCount; ++index)
        source->setParameter(index, source->getParameter(index));
    source->setParameter(12, 0.2f);   // Upper cut-off
    source->setParameter(104, 0.9f);  // Lower cut-off
    source->setParameter(184, 0.6f);  // volume
    source->setLcdPageValue(0.35f);
    settle(*source);
    juce::MemoryBlock state;
    source->getStateInformation(state);
    ASSERT_GT(state.getSize(), 4u);

    auto target = makeFilter(log);
    FakeEditor editor;
    target->setActiveEditor(&editor);
    target->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
    target->setActiveEditor(nullptr);
    settle(*target);
    EXPECT_EQ(target->getLcdPageValue(), 0.35f);
    EXPECT_EQ(target->getParameterTable()->getCachedValue(12), 0.2f);
    EXPECT_EQ(editor.layerRefreshes, (std::vector<int>{1, 0})) << "Lower, then Upper";
    EXPECT_EQ(editor.globalRefreshes, 1);
    auto untouched = makeFilter(log);
    settle(*untouched);

    std::vector<std::vector<float>> heard;
    for (auto* f : {source.get(), target.get(), untouched.get()}) {
        f->getKernel()->setRandomSeed(11);
        heard.push_back(render(*f, note(48, 0), 60, 64));
    }
    ASSERT_GT(peak(heard[0]), 0.01f);
    EXPECT_EQ(heard[0], heard[1]);
    EXPECT_NE(heard[1], heard[2]) << "the state changed nothing, so the comparison proves nothing";
}

// Every row set to a value of its own (a few out of range, which the instrument keeps clamped) comes back
// in a fresh instrument: through either layer's stream, a patch with its layers, and the host state.
TEST_F(AudioFilterTest, EverySavedRowLoadsAgain) {
    Log log;
    auto source = makeFilter(log);
    std::mt19937 random(28);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int index = 0; index < ParameterIndex::kCount; ++index) source->setParameter(index, unit(random));
    const struct {
        int index;
        float value, kept;
    } outside[] = {{12, 1.5f, 1.0f}, {104, -0.25f, 0.0f}, {184, 1.5f, 1.0f}, {300, 7.0f, 1.0f}, {1009, -3.0f, 0.0f}};
    for (const auto& o : outside) {
        source->setParameter(o.index, o.value);
        EXPECT_EQ(source->getParameterTable()->getCachedValue(o.index), o.kept) << o.index;
    }
    // A newly chosen master effect leaves the rows it lacks reading -1.0, and they must read so again.
    constexpr int kFirstEffectChoice = 979, kSeventhParameter = 196;
    source->setParameter(kFirstEffectChoice, ParameterMapping::stepToValue(2, 5)); // delay
    source->setParameter(kFirstEffectChoice, ParameterMapping::stepToValue(1, 5)); // chorus
    ASSERT_EQ(source->getParameter(kSeventhParameter), -1.0f);
    settle(*source);

    using Chunk = CorvanAudioFilter::PresetChunk& (CorvanAudioFilter::*)();
    constexpr Chunk kLower = &CorvanAudioFilter::lowerChunk, kUpper = &CorvanAudioFilter::upperChunk,
                    kMulti = &CorvanAudioFilter::multiChunk;
    constexpr int kAllRows = 2;
    const struct Way {
        const char* name;
        int layer;                 // 0 Upper, 1 Lower, -1 the global rows, kAllRows every row
        std::vector<Chunk> chunks; // in the order they load; none for the host state
    } ways[] = {
        {"Upper layer", 0, {kUpper}},
        {"Lower layer", 1, {kLower}},
        {"patch with its layers", kAllRows, {kLower, kUpper, kMulti}},
        {"host state", kAllRows, {}},
    };
    // The one row whose reading is not saved: the pitch wheel springs back to where the player holds it.
    const auto compared = [](int index) { return index != 978; };
    for (const Way& way : ways) {
        auto target = makeFilter(log);
        if (way.chunks.empty()) {
            juce::MemoryBlock state;
            source->getStateInformation(state);
            target->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
        }
        for (const Chunk chunk : way.chunks) {
            std::vector<uint8_t> saved;
            ((*source).*chunk)().write(saved);
            ASSERT_TRUE(((*target).*chunk)().read(saved.data(), saved.size())) << way.name;
        }
        settle(*target);
        int differing = 0;
        for (int index = 0; index < ParameterIndex::kCount; ++index) {
            if (!compared(index) || (way.layer != kAllRows && ParameterIndex::layerOf(index) != way.layer)) continue;
            const float expected = source->getParameter(index), loaded = target->getParameter(index);
            if (loaded != expected && ++differing <= 10)
                ADD_FAILURE() << way.name << ": row " << index << " " << source->getParameterName(index) << " saved "
                              << expected << ", loaded " << loaded;
        }
        EXPECT_EQ(differing, 0) << way.name;
    }
}

} // namespace
} // namespace corvex

// Every factory preset played as a user first meets it: a four-note chord through a fresh instrument. The
// presets sound near one level, none comes close to clipping at full velocity at 44.1 or 48 kHz, the playable
// ones answer the keyboard's velocity, and an oscillator that the tables set to a sine plays one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <memory>
#include <set>
#include <vector>

#include <juce_events/juce_events.h>

#include "instrument/CorvanAudioFilter.h"
#include "instrument/MorvaneFindFolder.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiManager.h"
#include "presets/CorvanProgramManager.h"
#include "presets/FactoryBank.h"
#include "tests/support/SignalChecks.h"
#include "tools/factorybank/FactorySounds.h"

namespace corvex::testing {
namespace {

constexpr int kHostBlock = 512;
const std::vector<int> kChord{48, 52, 55, 60}; // C3 E3 G3 C4
constexpr double kHoldSeconds = 1.0;
constexpr double kTailSeconds = 0.4;
// Where a held sound's level is measured from: slow pads are close to their level by then.
constexpr double kAttackSeconds = 0.3;
// Long enough to hold a decaying sound's strike, short enough that a sustained sound is heard at its level.
constexpr double kLoudestWindowSeconds = 0.3;

constexpr double kTargetDb = -18.0;
constexpr double kLevelToleranceDb = 4.0;
constexpr double kPeakLimitDb = -3.0;
constexpr double kRates[] = {44100.0, 48000.0};
// Below this the amplifier envelope's sustain counts as a decaying sound's (about -10 dB).
constexpr float kLowSustain = 0.3f;

double decibels(double x) { return 20.0 * std::log10(std::max(x, 1e-10)); }

struct Take {
    std::vector<float> left, right;
    double rate = 0.0;
    bool decays = false; // the amplifier envelope of every layer that plays falls to a low sustain
};

double peakDb(const Take& t) {
    float peak = 0.0f;
    for (const auto* channel : {&t.left, &t.right})
        for (float s : *channel) peak = std::max(peak, std::fabs(s));
    return decibels(peak);
}

// Running sums of the mean square of both channels, so that any stretch's RMS costs two lookups.
class Energy {
public:
    explicit Energy(const Take& t) : rate_(t.rate), sum_(t.left.size() + 1, 0.0) {
        for (size_t i = 0; i < t.left.size(); ++i)
            sum_[i + 1] = sum_[i] + 0.5 * (double(t.left[i]) * t.left[i] + double(t.right[i]) * t.right[i]);
    }

    double rmsDb(double from, double to) const { return rmsDb(samples(from), samples(to)); }

    double loudestDb() const {
        const size_t window = samples(kLoudestWindowSeconds);
        double loudest = -200.0;
        for (size_t end = window; end < sum_.size(); end += 32) loudest = std::max(loudest, rmsDb(end - window, end));
        return loudest;
    }

private:
    size_t samples(double seconds) const { return std::min(sum_.size() - 1, static_cast<size_t>(seconds * rate_)); }
    double rmsDb(size_t from, size_t to) const {
        return to > from ? decibels(std::sqrt((sum_[to] - sum_[from]) / double(to - from))) : -200.0;
    }

    double rate_;
    std::vector<double> sum_;
};

// The level a listener hears: a held sound's chord once its attack is over, a decaying one at its loudest.
double listeningLevelDb(const Take& t, double hold = kHoldSeconds) {
    const Energy energy(t);
    return t.decays ? energy.loudestDb() : energy.rmsDb(kAttackSeconds, hold);
}

// Magnitude of one frequency in x through a Hann window.
double magnitudeAt(const std::vector<float>& x, double frequency, double rate) {
    std::complex<double> sum;
    const double n = static_cast<double>(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / n);
        sum += w * double(x[i]) * std::polar(1.0, -2.0 * M_PI * frequency * double(i) / rate);
    }
    return std::abs(sum);
}

// The bank as the program installs it, in a folder of its own, with the library's managers over it.
class InstalledBank {
public:
    InstalledBank() {
        installed_ = installFactoryBank(folder_);
        programs_ = std::make_unique<CorvanProgramManager>(folder_);
        patches_ = std::make_unique<CorvanMultiManager>(folder_, *programs_);
    }
    ~InstalledBank() {
        patches_.reset();
        programs_.reset();
        root_.deleteRecursively();
    }

    bool installed() const { return installed_; }
    CorvanProgramManager& programs() { return *programs_; }
    std::vector<MorvanePreset*> programList() const { return factoryPresets(*programs_); }
    std::vector<MorvanePreset*> patchList() const { return factoryPresets(*patches_); }

private:
    static std::vector<MorvanePreset*> factoryPresets(const MorvanePresetManager& manager) {
        std::vector<MorvanePreset*> found;
        for (const auto& [id, preset] : manager.getPresets())
            if (preset->getAttribute("Fact_User") == "Factory") found.push_back(preset.get());
        return found;
    }

    juce::File root_ = juce::File::createTempFile("corvex-factory-sound");
    MorvaneFindFolder folder_{root_, "Corvex2"};
    bool installed_ = false;
    std::unique_ptr<CorvanProgramManager> programs_;
    std::unique_ptr<CorvanMultiManager> patches_;
};

// One instrument made for one take, so that no earlier sound's tail or voice history reaches it.
class Player {
public:
    explicit Player(double rate) : rate_(rate) {
        filter_ = CorvanAudioFilter::createPluginFilter(folder_, std::make_unique<NoPresetServices>());
        if (filter_ != nullptr) filter_->prepareToPlay(rate, kHostBlock);
        settle();
    }
    ~Player() {
        filter_.reset();
        root_.deleteRecursively();
    }

    // A program plays in the Upper layer of the initial patch; a patch as the library loads it: Lower, then
    // Upper, then the patch's own settings.
    bool load(MorvanePreset& preset, CorvanProgramManager& programs) {
        if (filter_ == nullptr) return false;
        bool loaded = true;
        layers_ = {"U"};
        if (preset.getExtension() == programs.getExtension()) {
            loaded = preset.load(&filter_->upperChunk());
        } else {
            if (preset.getAttribute("Mode") != "Whole") layers_.push_back("L");
            MorvanePreset* lower = programs.findPreset(preset.getAttribute("Program2"));
            MorvanePreset* upper = programs.findPreset(preset.getAttribute("Program1"));
            loaded = lower != nullptr && upper != nullptr && lower->load(&filter_->lowerChunk()) &&
                     upper->load(&filter_->upperChunk()) && preset.load(&filter_->multiChunk());
        }
        settle();
        return loaded;
    }

    void set(const juce::String& key, float value) {
        filter_->setParameter(find(key), value);
        settle();
    }

    // The chord struck at time 0 and released after `hold` seconds; nothing when the instrument did not start.
    Take play(const std::vector<int>& notes, int velocity, double hold = kHoldSeconds, double tail = kTailSeconds) {
        const int total = static_cast<int>(std::ceil((hold + tail) * rate_ / kHostBlock)) * kHostBlock;
        const int release = static_cast<int>(hold * rate_);
        Take take;
        take.rate = rate_;
        if (filter_ == nullptr) return take;
        take.decays = decays();
        take.left.resize(static_cast<size_t>(total));
        take.right.resize(static_cast<size_t>(total));
        juce::MidiBuffer midi;
        for (int at = 0; at < total; at += kHostBlock) {
            midi.clear();
            for (int note : notes) {
                if (at == 0) midi.addEvent(juce::MidiMessage::noteOn(1, note, juce::uint8(velocity)), 0);
                if (release >= at && release < at + kHostBlock)
                    midi.addEvent(juce::MidiMessage::noteOff(1, note), release - at);
            }
            float* channels[2] = {take.left.data() + at, take.right.data() + at};
            filter_->processBlock(channels, 2, kHostBlock, false, midi);
        }
        return take;
    }

private:
    bool decays() {
        for (const juce::String& layer : layers_)
            if (filter_->getParameter(find(layer + "Env2Sus")) >= kLowSustain) return false;
        return true;
    }

    void settle() {
        if (filter_ == nullptr) return;
        float l[32] = {}, r[32] = {};
        float* channels[2] = {l, r};
        juce::MidiBuffer none;
        filter_->processBlock(channels, 2, 32, false, none);
    }

    int find(const juce::String& key) const {
        const ParameterMapping* table = filter_->getParameterTable();
        for (int index = 0; index < ParameterIndex::kCount; ++index)
            if (juce::String(table->getName(index)) == key) return index;
        ADD_FAILURE() << "no parameter " << key;
        return 0;
    }

    juce::ScopedJuceInitialiser_GUI juce_;
    juce::File root_ = juce::File::createTempFile("corvex-factory-player");
    MorvaneFindFolder folder_{root_, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> filter_;
    double rate_;
    std::vector<juce::String> layers_{"U"};
};

juce::String describe(const MorvanePreset& preset) {
    return preset.getName() + (preset.getExtension() == ".cvm" ? " (patch)" : "");
}

class FactoryBankSound : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bank.installed()); }

    std::vector<MorvanePreset*> everyPreset() const {
        std::vector<MorvanePreset*> all = bank.programList();
        for (MorvanePreset* patch : bank.patchList()) all.push_back(patch);
        return all;
    }

    Take play(MorvanePreset& preset, double rate, const std::vector<int>& notes, int velocity) {
        Player player(rate);
        EXPECT_TRUE(player.load(preset, bank.programs())) << describe(preset);
        return player.play(notes, velocity);
    }

    juce::ScopedJuceInitialiser_GUI juce_;
    InstalledBank bank;
};

// Every program says what both oscillators play: a wave left out plays the initial saw, whatever the
// program's name promises.
TEST(FactoryBankTables, EveryProgramStatesBothOscillatorWaves) {
    std::vector<std::pair<const char*, const std::vector<factory::Setting>*>> programs{
        {"Default", &factory::defaultProgramSettings()}};
    for (const factory::ProgramSound& sound : factory::programSounds())
        programs.emplace_back(sound.name, &sound.settings);
    for (const auto& [name, settings] : programs) {
        std::multiset<juce::String> keys;
        for (const factory::Setting& s : *settings) keys.insert(s.key);
        EXPECT_EQ(keys.count("UOsc1Wav"), 1u) << name;
        EXPECT_EQ(keys.count("UOsc2Wav"), 1u) << name;
    }
}

// At velocity 100 every preset sounds within a few decibels of one level (a held sound once its attack is
// over, a decaying one at its strike), so that stepping through the bank neither startles nor loses the
// listener.
TEST_F(FactoryBankSound, EveryPresetSoundsNearOneLevel) {
    const std::vector<MorvanePreset*> presets = everyPreset();
    ASSERT_GE(presets.size(), 60u);
    for (MorvanePreset* preset : presets)
        EXPECT_NEAR(listeningLevelDb(play(*preset, 44100.0, kChord, 100)), kTargetDb, kLevelToleranceDb)
            << describe(*preset);
}

// The chord at full velocity keeps headroom at both common device rates, and the initial sound does not
// clip with six keys down.
TEST_F(FactoryBankSound, NoPresetComesNearClippingAtFullVelocity) {
    for (MorvanePreset* preset : everyPreset())
        for (double rate : kRates)
            EXPECT_LE(peakDb(play(*preset, rate, kChord, 127)), kPeakLimitDb) << describe(*preset) << " at " << rate;

    MorvanePreset* initial = bank.programs().findPreset("Default");
    ASSERT_NE(initial, nullptr);
    for (double rate : kRates)
        EXPECT_LT(peakDb(play(*initial, rate, {48, 52, 55, 60, 64, 67}, 127)), -1.0) << rate;
}

// Leads, basses, brass, pianos and guitars are played from the keyboard: a hard strike sounds clearly louder
// than a soft one.
TEST_F(FactoryBankSound, PlayableProgramsAnswerVelocity) {
    const std::set<juce::String> playable{"Bass", "Brass", "Guitar", "Lead", "Piano"};
    int checked = 0;
    for (MorvanePreset* program : bank.programList()) {
        if (playable.count(program->getAttribute("Type")) == 0) continue;
        ++checked;
        const double hard = listeningLevelDb(play(*program, 44100.0, kChord, 127));
        const double soft = listeningLevelDb(play(*program, 44100.0, kChord, 30));
        EXPECT_GE(hard - soft, 3.0) << describe(*program);
    }
    EXPECT_GE(checked, 20);
}

// Heard alone, with its pitch held still and the filter open, an oscillator that the tables set to a sine
// keeps its second harmonic far down: the oscillator's sine carries a faint ramp (about -40 dB), a
// sawtooth's second harmonic lies 6 dB below its fundamental.
TEST_F(FactoryBankSound, OscillatorsSetToSinePlayASine) {
    const std::pair<const char*, float> alone[] = {
        {"UOscMix", 1.0f},  {"UOscLfoM", 0.0f}, {"UOscEnvM", 0.0f}, {"UEf1Typ", factory::kNoEffect},
        {"UEf2Typ", factory::kNoEffect}, {"ULpfCut", 1.0f}, {"ULpfRes", 0.0f}, {"ULpfEnvM", 0.0f},
        {"UEnv2Att", 0.0f}, {"UEnv2Sus", 1.0f}};
    std::set<juce::String> sines;
    for (const factory::ProgramSound& sound : factory::programSounds())
        for (const factory::Setting& s : sound.settings)
            if (juce::String(s.key) == "UOsc2Wav" && s.value == factory::kOsc2Sine) sines.insert(sound.name);
    ASSERT_GE(sines.size(), 10u);
    for (MorvanePreset* program : bank.programList()) {
        if (sines.count(program->getName()) == 0) continue;
        Player player(44100.0);
        ASSERT_TRUE(player.load(*program, bank.programs()));
        for (const auto& [key, value] : alone) player.set(key, value);
        const Take take = player.play({48}, 100, 0.6, 0.0);
        const auto at = [&take](double seconds) { return take.left.begin() + std::ptrdiff_t(seconds * take.rate); };
        const std::vector<float> held(at(0.1), at(0.6));
        const double f0 = autocorrelationFrequency(held, take.rate, 20.0, 2000.0);
        ASSERT_GT(f0, 0.0) << program->getName();
        const double second = decibels(magnitudeAt(held, 2.0 * f0, take.rate) / magnitudeAt(held, f0, take.rate));
        EXPECT_LT(second, -30.0) << program->getName() << " at " << f0 << " Hz";
    }
}

} // namespace
} // namespace corvex::testing

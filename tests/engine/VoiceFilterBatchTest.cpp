// Voice filters run for many voices at once: each voice comes out as it would alone, forms mixed,
// and one voice's broken block silences and resets that voice only.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/modules/types/VoiceFilter.h"
#include "tests/engine/ModuleRig.h"
#include "tests/support/SignalChecks.h"

namespace corvex {
namespace {

constexpr int kFilterType = ModuleType::VoiceFilter;
constexpr int kVoices = 11; // lane groups of eight, two and one

class VoiceFilterBatch : public testing::ModuleRig {
protected:
    using Wiring = testing::Wiring<VoiceFilterInput::Count>;

    void SetUp() override {
        ModuleRig::SetUp();
        loadForm(lowPass, VoiceFilterForm::LowPassCascade, 1, 6000, 12288);
        loadForm(highPass, VoiceFilterForm::HighPass, 0, 9000, 0);
        for (int v = 0; v < kVoices; ++v) {
            audio[v] = bufferPort();
            cutoff[v].word = 0; // value ports
            cutoff[v].value = 0.1f * float(v);
            wiring[v].connect(VoiceFilterInput::Audio, &audio[v]);
            wiring[v].connect(VoiceFilterInput::Cutoff, &cutoff[v], 16384, 0x30); // range 48 semitones
        }
    }

    void loadForm(ParameterRecord& record, int form, int model, int cutoffWord, int resonanceWord) {
        std::array<uint16_t, 2 + 18> data{};
        uint16_t* w = data.data() + 2;
        w[0] = 0x200;
        w[1] = uint16_t(kFilterType << 8);
        w[2] = 18;
        w[3] = 8;
        w[7] = uint16_t(cutoffWord);
        w[8] = uint16_t(resonanceWord);
        w[11] = uint16_t(model);
        w[13] = 1;
        w[17] = uint16_t(form);
        blockLoaderFor(kFilterType)(data.data(), 18, &record, &context);
    }

    void* filter(int voice) {
        // Every third voice is a high-pass, so both loops run in one batch.
        void* m = pools->poolForType(kFilterType)->allocate();
        initModuleByType(m, kFilterType, voice % 3 == 2 ? &highPass : &lowPass, voice, &context);
        acquirePortBuffer(static_cast<VoiceFilterModule*>(m)->ports[0]);
        return m;
    }

    ParameterRecord lowPass, highPass;
    PortEntry audio[kVoices];
    PortEntry cutoff[kVoices];
    Wiring wiring[kVoices];
};

TEST_F(VoiceFilterBatch, EachVoicePlaysAsAloneAndABrokenVoiceResetsAlone) {
    constexpr int kBroken = 4;
    constexpr int kBrokenFrom = 30, kBrokenTo = 33; // blocks
    void* alone[kVoices];
    void* together[kVoices];
    const PortEntry* const* sources[kVoices];
    for (int v = 0; v < kVoices; ++v) {
        alone[v] = filter(v);
        together[v] = filter(v);
        sources[v] = wiring[v].sources.data();
    }
    auto output = [](void* m) { return portBuffer(static_cast<VoiceFilterModule*>(m)->ports[0]); };

    double brokenLevel = 0.0, neighbourLevel = 0.0;
    for (int block = 0; block < 60; ++block) {
        SCOPED_TRACE(block);
        for (int v = 0; v < kVoices; ++v) {
            float* in = portBuffer(audio[v]);
            for (int n = 0; n < kBlockFrames; ++n) {
                const int i = block * kBlockFrames + n;
                in[n] = 0.5f * float(std::sin(0.01 * (v + 1) * i));
            }
            // An input the filter may take (it is finite) but that drives its states out of range.
            if (v == kBroken && block >= kBrokenFrom && block < kBrokenTo) in[7] = 3.4e38f;
        }
        for (int v = 0; v < kVoices; ++v)
            processModuleByType(alone[v], wiring[v].descriptors.data(), sources[v], wiring[v].counts.data());
        // The voices share one set of records in the kernel; here each has its own, with equal words.
        processVoiceFilters(together, kVoices, wiring[0].descriptors.data(), sources, wiring[0].counts.data());
        for (int v = 0; v < kVoices; ++v)
            ASSERT_EQ(std::memcmp(output(alone[v]), output(together[v]), kBlockFrames * sizeof(float)), 0)
                << "voice " << v;
        ASSERT_EQ(testing::badSamples(output(together[kBroken]), kBlockFrames), 0);
        if (block == kBrokenFrom) {
            for (int n = 0; n < kBlockFrames; ++n) {
                brokenLevel = std::max(brokenLevel, double(std::fabs(output(together[kBroken])[n])));
                neighbourLevel = std::max(neighbourLevel, double(std::fabs(output(together[kBroken + 3])[n])));
            }
        }
    }
    EXPECT_EQ(brokenLevel, 0.0) << "the broken block goes out silent";
    EXPECT_GT(neighbourLevel, 0.01) << "the voice beside it plays on";
    const auto& reset = *static_cast<VoiceFilterModule*>(together[kBroken]);
    EXPECT_TRUE(std::isfinite(reset.stage[3]) && std::isfinite(reset.feedback));
    for (int v = 0; v < kVoices; ++v) {
        for (void* m : {alone[v], together[v]}) {
            resetModuleByType(m);
            pools->poolForType(kFilterType)->release(m);
        }
    }
}

} // namespace
} // namespace corvex

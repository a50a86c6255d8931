// The preset map's rebuild, stage by stage: the analysis of the factory bank (every patch loaded into the
// instrument), the placing of 1,000 and 5,000 patches by multidimensional scaling, and the background image;
// and one step of a morph between four factory patches.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include <juce_events/juce_events.h>

#include "engine/kernel/MessageRing.h"
#include "instrument/CorvanAudioFilter.h"
#include "presetmap/CorvanSoundmapAdapter.h"
#include "presetmap/MapBackground.h"
#include "presetmap/MorphSnapshots.h"
#include "presetmap/PresetMapBuilder.h"
#include "presetmap/scaling/CMDSScalerEngine.h"
#include "presets/CorvanPresetServices.h"

namespace {

using namespace corvex;

// Patches as the builder describes them: a type's one-hot of 7 and 121 values times 7, each type's patches
// spread around a sound of their own.
FeatureVectors library(int patches) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::normal_distribution<float> spread(0.0f, 0.15f);
    std::vector<std::vector<float>> typeSounds(kTypeSectionSize, std::vector<float>(121));
    for (auto& sound : typeSounds)
        for (float& v : sound) v = unit(random);
    FeatureVectors features;
    for (int n = 0; n < patches; ++n) {
        const int type = static_cast<int>(random() % kTypeSectionSize);
        std::vector<float> feature(kTypeSectionSize, 0.0f);
        feature[static_cast<size_t>(type)] = 7.0f;
        for (const float v : typeSounds[static_cast<size_t>(type)])
            feature.push_back(7.0f * std::clamp(v + spread(random), 0.0f, 1.0f));
        features.push_back(std::move(feature));
    }
    return features;
}

void BM_MdsPlacement(benchmark::State& state) {
    const FeatureVectors features = library(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMDSScalerEngine engine;
        MapCoordinates places;
        engine.computeMap(places, features);
        benchmark::DoNotOptimize(places.data());
    }
}
BENCHMARK(BM_MdsPlacement)->Arg(1000)->Arg(5000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_MapBackground(benchmark::State& state) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(0.0f, 1023.0f);
    PresetMapRecords records(static_cast<size_t>(state.range(0)));
    for (PresetMapRecord& record : records) {
        record.x = place(random);
        record.y = place(random);
        record.type = static_cast<int32_t>(random() % 12);
    }
    for (auto _ : state) benchmark::DoNotOptimize(renderMapBackground(records));
}
BENCHMARK(BM_MapBackground)->Arg(17)->Arg(1000)->Unit(benchmark::kMillisecond);

// What the message thread does before the map is placed: every factory patch loaded and read.
void BM_FactoryBankAnalysis(benchmark::State& state) {
    const juce::ScopedJuceInitialiser_GUI runtime;
    const juce::File root = juce::File::createTempFile("preset-map-bench");
    {
        const MorvaneFindFolder folder(root, "Corvex2");
        auto instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        CorvanSoundmapAdapter adapter(*instrument->getPatchFilterManager(), *instrument, folder, nullptr);
        FeatureVectors features;
        PresetMapRecords records;
        for (auto _ : state) analysePresets(adapter, mapWeights(), features, records);
        state.counters["patches"] = static_cast<double>(records.size());
    }
    root.deleteRecursively();
}
BENCHMARK(BM_FactoryBankAnalysis)->Unit(benchmark::kMillisecond);

// One drag step of a morph: four snapshots blended at a new position and what moved sent to the instrument,
// whose mappers post it to the kernel. The kernel's ring is emptied between steps, outside the timing, as the
// audio thread would.
void BM_MorphStep(benchmark::State& state) {
    const juce::ScopedJuceInitialiser_GUI runtime;
    const juce::File root = juce::File::createTempFile("preset-map-bench");
    {
        const MorvaneFindFolder folder(root, "Corvex2");
        auto instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        CorvanSoundmapAdapter adapter(*instrument->getPatchFilterManager(), *instrument, folder, nullptr);
        MorphSnapshots morph;
        morph.init(&adapter);
        PresetMapRecord records[kMorphSlots];
        int64_t key = -1;
        for (int slot = 0; slot < kMorphSlots; ++slot) {
            key = adapter.getNextPresetKey(key);
            adapter.loadPreset(key);
            const MorphPoint corner{slot % 2 == 0 ? 0.0f : 512.0f, slot < 2 ? 0.0f : 512.0f};
            morph.setSnapshot(slot, &records[slot], corner, adapter.buildPresetData());
        }
        morph.beginMorph(100.0f, 100.0f, 512.0f, 512.0f);
        int64_t messages = 0;
        float x = 100.0f;
        for (auto _ : state) {
            x = x > 400.0f ? 100.0f : x + 7.0f;
            morph.continueMorph(x, 0.6f * x, 512.0f, 512.0f);
            state.PauseTiming();
            messages += instrument->getKernel()->pendingMessageCount();
            instrument->getKernel()->processPendingMessages(MessageRing::kSlots);
            state.ResumeTiming();
        }
        morph.endMorph();
        state.counters["kernelMessages"] =
            benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kAvgIterations);
    }
    root.deleteRecursively();
}
BENCHMARK(BM_MorphStep)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

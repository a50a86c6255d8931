// A full repaint of the preset map: background and every point, over the factory bank's map and over 5,000
// patches spread at random (the factory map's background kept). Run under an X server: xvfb-run -a.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/ModalCalls.h"
#include "instrument/CorvanAudioFilter.h"
#include "presetmap/CorvanSoundmapAdapter.h"
#include "presetmap/PresetMapBuilder.h"
#include "presetmap/view/CPresetMapComponent.h"
#include "presets/CorvanPresetServices.h"

namespace {

using namespace corvex;

void BM_MapRepaint(benchmark::State& state) {
    const juce::ScopedJuceInitialiser_GUI runtime;
    const juce::File root = juce::File::createTempFile("preset-map-view-bench");
    {
        const MorvaneFindFolder folder(root, "Corvex2");
        auto instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        CorvanSoundmapAdapter adapter(*instrument->getPatchFilterManager(), *instrument, folder, nullptr);
        PresetMapBuilder(adapter).run();
        const int patches = static_cast<int>(state.range(0));
        if (patches > 0) {
            std::mt19937 random(3);
            std::uniform_real_distribution<float> place(0.0f, 1023.0f);
            PresetMapRecords records(static_cast<size_t>(patches));
            for (size_t n = 0; n < records.size(); ++n) {
                records[n].key = static_cast<int64_t>(n + 1);
                records[n].type = static_cast<int32_t>(random() % 12);
                records[n].x = place(random);
                records[n].y = place(random);
                records[n].setName("Patch " + std::to_string(n + 1));
            }
            writePresetMapCache(adapter.getCacheFilePath(), records);
        }
        JuceModalCalls modal;
        CPresetMapComponent view(adapter, modal);
        juce::Image image(juce::Image::ARGB, view.getWidth(), view.getHeight(), true);
        for (auto _ : state) {
            juce::Graphics g(image);
            view.paintEntireComponent(g, true);
        }
        state.counters["points"] = static_cast<double>(view.getRecords().size());
    }
    root.deleteRecursively();
}
// 0: the factory bank's own map.
BENCHMARK(BM_MapRepaint)->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

// Opening the front panel, from construction to its first picture, and one full repaint of it, in front of
// the real instrument. Run it under an X server (xvfb-run -a) like the GUI tests; it has its own main, which
// starts JUCE's GUI side first.
#include <benchmark/benchmark.h>

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CorvanControlPanel.h"
#include "editor/LayerFoldingEditor.h"
#include "editor/ModalCalls.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"

namespace {

using namespace corvex;

// One instrument with its library in a settings folder of its own, shared by every case.
struct Rig {
    Rig() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 512);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
    }
    ~Rig() {
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }
    std::unique_ptr<CorvanControlPanel> open() {
        return std::make_unique<CorvanControlPanel>(editor.get(), instrument->getPatchFilterManager(), calls);
    }

    juce::File root = juce::File::createTempFile("front-panel-bench");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
    JuceModalCalls calls;
};

Rig& rig() {
    static Rig shared;
    return shared;
}

void paintOnce(juce::Component& panel, juce::Image& into) {
    juce::Graphics g(into);
    panel.paintEntireComponent(g, true);
}

juce::Image canvas() { return juce::Image(juce::Image::ARGB, 1014, 418, true, juce::SoftwareImageType()); }

// cold: the pictures are decoded again, as on the program's first open; warm: they come from the image cache.
void BM_OpenFrontPanel(benchmark::State& state) {
    const bool cold = state.range(0) != 0;
    juce::Image image = canvas();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            juce::ImageCache::releaseUnusedImages();
            state.ResumeTiming();
        }
        auto panel = rig().open();
        paintOnce(*panel, image);
        benchmark::DoNotOptimize(image.getPixelAt(500, 200));
        state.PauseTiming();
        panel.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenFrontPanel)->Arg(1)->Arg(0)->ArgName("cold")->Unit(benchmark::kMillisecond);

void BM_RepaintFrontPanel(benchmark::State& state) {
    auto panel = rig().open();
    juce::Image image = canvas();
    paintOnce(*panel, image);
    for (auto _ : state) {
        paintOnce(*panel, image);
        benchmark::DoNotOptimize(image.getPixelAt(500, 200));
    }
}
BENCHMARK(BM_RepaintFrontPanel)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    juce::ScopedJuceInitialiser_GUI gui;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

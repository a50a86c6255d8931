// The whole editor in front of the real instrument: opening it (construction to its first picture), a layer
// switch (every layer widget told its new value), and what an idle editor costs while the message loop runs.
// Run it under an X server (xvfb-run -a); its own main starts JUCE's GUI side first.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/CorvanAudioFilterEditor.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"

namespace {

using namespace corvex;

struct Rig {
    Rig() { instrument = makeInstrument(folder); }
    ~Rig() {
        instrument.reset();
        root.deleteRecursively();
    }
    static std::unique_ptr<CorvanAudioFilter> makeInstrument(const MorvaneFindFolder& folder) {
        auto made = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        made->prepareToPlay(44100.0, 512);
        return made;
    }
    std::unique_ptr<CorvanAudioFilterEditor> open(float lcdPage) {
        instrument->setLcdPageValue(lcdPage);
        CorvanAudioFilterEditor::Options options;
        options.calls = &calls;
        options.folder = &folder;
        auto editor = std::make_unique<CorvanAudioFilterEditor>(instrument.get(), std::move(options));
        instrument->setActiveEditor(editor.get());
        return editor;
    }
    void close(std::unique_ptr<CorvanAudioFilterEditor>& editor) {
        instrument->setActiveEditor(nullptr);
        editor.reset();
    }

    juce::File root = juce::File::createTempFile("editor-bench");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    JuceModalCalls calls;
};

Rig& rig() {
    static Rig shared;
    return shared;
}

void paintOnce(juce::Component& editor, juce::Image& into) {
    juce::Graphics g(into);
    editor.paintEntireComponent(g, true);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// lcd: 0 the window as it first opens (LCD shut), 1 with the LCD open; cold: the pictures decoded afresh.
void BM_OpenEditor(benchmark::State& state) {
    const bool lcd = state.range(0) != 0;
    const bool cold = state.range(1) != 0;
    juce::Image image(juce::Image::ARGB, CorvanAudioFilterEditor::kWidth,
                      lcd ? CorvanAudioFilterEditor::kOpenHeight : CorvanAudioFilterEditor::kClosedHeight, true,
                      juce::SoftwareImageType());
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            juce::ImageCache::releaseUnusedImages();
            state.ResumeTiming();
        }
        auto editor = rig().open(lcd ? 0.15f : 0.05f);
        paintOnce(*editor, image);
        benchmark::DoNotOptimize(image.getPixelAt(500, 200));
        state.PauseTiming();
        rig().close(editor);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEditor)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"lcd", "cold"})->Unit(benchmark::kMillisecond);

// From nothing to the first picture: the instrument with its library (the factory bank already installed),
// then its editor, as the program does before its window shows.
void BM_StartInstrumentAndEditor(benchmark::State& state) {
    juce::Image image(juce::Image::ARGB, CorvanAudioFilterEditor::kWidth, CorvanAudioFilterEditor::kClosedHeight,
                      true, juce::SoftwareImageType());
    const juce::File root = juce::File::createTempFile("editor-bench-start");
    const MorvaneFindFolder folder{root, "Corvex2"};
    Rig::makeInstrument(folder).reset();
    JuceModalCalls calls;
    for (auto _ : state) {
        auto instrument = Rig::makeInstrument(folder);
        CorvanAudioFilterEditor::Options options;
        options.calls = &calls;
        options.folder = &folder;
        auto editor = std::make_unique<CorvanAudioFilterEditor>(instrument.get(), std::move(options));
        paintOnce(*editor, image);
        benchmark::DoNotOptimize(image.getPixelAt(500, 200));
        state.PauseTiming();
        editor.reset();
        instrument.reset();
        state.ResumeTiming();
    }
    root.deleteRecursively();
}
BENCHMARK(BM_StartInstrumentAndEditor)->Unit(benchmark::kMillisecond)->Iterations(5);

// paint: 0 the switch alone (every layer widget told its value), 1 with the whole editor painted after it.
void BM_LayerSwitch(benchmark::State& state) {
    const bool paint = state.range(0) != 0;
    auto editor = rig().open(0.05f);
    juce::Image image(juce::Image::ARGB, CorvanAudioFilterEditor::kWidth, CorvanAudioFilterEditor::kClosedHeight, true,
                      juce::SoftwareImageType());
    float layer = 0.25f;
    for (auto _ : state) {
        layer = layer < 0.5f ? 0.75f : 0.25f;
        editor->notifyParameterEdit(MVGuiInterface::kNewValue, ParameterIndex::kShownLayer, layer);
        if (paint) paintOnce(*editor, image);
        benchmark::DoNotOptimize(editor->getParameter(ParameterIndex::kCutoff));
    }
    rig().close(editor);
}
BENCHMARK(BM_LayerSwitch)->Arg(0)->Arg(1)->ArgName("paint")->Unit(benchmark::kMillisecond);

double coreShareOfMessageLoop(benchmark::State& state) {
    double used = 0.0, elapsed = 0.0;
    for (auto _ : state) {
        const double cpu0 = cpuSeconds();
        const double t0 = juce::Time::getMillisecondCounterHiRes();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(1000);
        used += cpuSeconds() - cpu0;
        elapsed += (juce::Time::getMillisecondCounterHiRes() - t0) * 1e-3;
    }
    return elapsed > 0.0 ? 100.0 * used / elapsed : 0.0;
}

// The same without an editor: what the instrument's own timers and JUCE's message loop cost, for comparison.
void BM_IdleInstrumentAlone(benchmark::State& state) {
    juce::MessageManager::getInstance()->runDispatchLoopUntil(500);
    state.counters["core_percent"] = coreShareOfMessageLoop(state);
}
BENCHMARK(BM_IdleInstrumentAlone)->Iterations(3)->Unit(benchmark::kMillisecond);

// The editor shown on the desktop with no notes and no edits, the message loop running for a second: the
// share of one core the whole process used (the instrument's own timers included; the X server's drawing is
// in its own process and not counted).
void BM_IdleEditor(benchmark::State& state) {
    auto editor = rig().open(state.range(0) != 0 ? 0.15f : 0.05f);
    juce::DocumentWindow window("Corvex2", juce::Colours::black, juce::DocumentWindow::closeButton, true);
    window.setUsingNativeTitleBar(false);
    window.setContentNonOwned(editor.get(), true);
    window.setVisible(true);
    // JUCE's own splash fades over the window for its first seconds; the editor's idle cost comes after it.
    juce::MessageManager::getInstance()->runDispatchLoopUntil(4000);
    state.counters["core_percent"] = coreShareOfMessageLoop(state);
    window.clearContentComponent();
    rig().close(editor);
}
BENCHMARK(BM_IdleEditor)->Arg(0)->Arg(1)->ArgName("lcd")->Iterations(3)->Unit(benchmark::kMillisecond);

juce::JUCEApplicationBase* noApplication() { return nullptr; }

} // namespace

int main(int argc, char** argv) {
    // With a factory set, JUCE installs its X error handlers, so a harmless X error under Xvfb without a window
    // manager does not end the process when the idle case shows its window.
    juce::JUCEApplicationBase::createInstance = &noApplication;
    juce::ScopedJuceInitialiser_GUI gui;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The instrument, its library and the factory bank's installation are not what the cases time.
    rig();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

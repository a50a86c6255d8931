// A real instrument in a settings folder of its own, with the editor base in front of it, and a way to let the
// message loop deliver what was posted.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "widgets/MorvaneAudioFilterEditor.h"

namespace corvex {

// Runs the message loop until the condition holds or the time is up; true when it held.
inline bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 2000) {
    const juce::uint32 end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(timeoutMs);
    while (!condition()) {
        if (juce::Time::getMillisecondCounter() > end) return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
    }
    return true;
}

// Records what one listener heard.
struct RecordingListener : MVParameterListener {
    struct Call {
        bool highlight;
        int index;
        float value;
    };
    std::vector<Call> calls;
    void parameterChanged(int index, float value) override { calls.push_back({false, index, value}); }
    void highlightChanged(int index, float state) override { calls.push_back({true, index, state}); }
    int valueCalls() const {
        int n = 0;
        for (const Call& c : calls) n += c.highlight ? 0 : 1;
        return n;
    }
};

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() {
        root = juce::File::getSpecialLocation(juce::File::tempDirectory)
                   .getChildFile("corvex-widgets-test-" + juce::String::toHexString(juce::Random().nextInt64()));
        folder = std::make_unique<MorvaneFindFolder>(root, "Corvex2");
    }

    ~EditorFixture() override {
        closeEditor();
        instrument.reset();
        root.deleteRecursively();
    }

    // The instrument plays a few blocks first, so that its start-up messages have reached the kernel.
    void openInstrument() {
        instrument = CorvanAudioFilter::createPluginFilter(*folder, std::make_unique<CorvanPresetServices>(*folder));
        ASSERT_NE(instrument, nullptr);
        instrument->prepareToPlay(44100.0, 512);
        render(100);
    }

    void openEditor() {
        editor = std::make_unique<MorvaneAudioFilterEditor>(instrument.get(), *folder);
        editor->setSize(600, 400);
        editor->addAndMakeVisible(knob);
        knob.setBounds(280, 180, 40, 40);
        if (instrument != nullptr) instrument->setActiveEditor(editor.get());
    }

    void closeEditor() {
        if (instrument != nullptr) instrument->setActiveEditor(nullptr);
        editor.reset();
    }

    void render(int blocks) {
        float left[32], right[32];
        float* outs[2] = {left, right};
        juce::MidiBuffer midi;
        for (int b = 0; b < blocks; ++b) instrument->processBlock(outs, 2, 32, false, midi);
    }

    juce::File root;
    std::unique_ptr<MorvaneFindFolder> folder;
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<MorvaneAudioFilterEditor> editor;
    juce::Component knob; // where bubbles point
};

} // namespace corvex

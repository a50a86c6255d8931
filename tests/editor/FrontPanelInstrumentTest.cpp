// The front panel in front of the real instrument, through the editor that folds layer widgets into the layer
// shown: a knob dragged with the mouse changes the parameter and the sound, and the layer switch decides which
// layer's values the widgets show and edit.
#include <gtest/gtest.h>

#include "editor/CorvanControlPanel.h"
#include "editor/LayerFoldingEditor.h"
#include "instrument/CorvanAudioFilter.h"
#include "presets/CorvanPresetServices.h"
#include "tests/editor/ScriptedModalCalls.h"
#include "tests/presets/ManagerTestSupport.h"
#include "tests/support/FakeGui.h"
#include "tests/support/SignalChecks.h"
#include "tests/support/InstrumentRender.h"

namespace corvex {
namespace {

namespace fp = frontpanel;
namespace P = ParameterIndex;

class FrontPanelInstrumentTest : public ::testing::Test {
protected:
    FrontPanelInstrumentTest() {
        instrument = CorvanAudioFilter::createPluginFilter(folder, std::make_unique<CorvanPresetServices>(folder));
        instrument->prepareToPlay(44100.0, 64);
        editor = std::make_unique<LayerFoldingEditor>(instrument.get(), folder);
        instrument->setActiveEditor(editor.get());
        panel = std::make_unique<CorvanControlPanel>(editor.get(), instrument->getPatchFilterManager(), calls);
        render({}, 40);
        testing::deliverPostedMessages();
    }
    ~FrontPanelInstrumentTest() override {
        panel.reset();
        instrument->setActiveEditor(nullptr);
        editor.reset();
        instrument.reset();
        root.deleteRecursively();
    }

    juce::Component* widgetFor(fp::Role role, int index, const char* label = nullptr) {
        for (int i = 0; i < fp::kRowCount; ++i)
            if (fp::kRows[i].role == role && fp::kRows[i].index == index &&
                (label == nullptr || juce::String(fp::kRows[i].label) == label))
                return panel->getWidget(i);
        ADD_FAILURE() << "no widget for " << index;
        return nullptr;
    }
    juce::Slider& sliderFor(int index) { return *dynamic_cast<juce::Slider*>(widgetFor(fp::Role::Bound, index)); }
    void showLayer(const char* led) {
        auto* button = dynamic_cast<juce::Button*>(widgetFor(fp::Role::GroupStep, P::kShownLayer, led));
        button->setToggleState(true, juce::sendNotificationSync);
    }
    // An edit as the instrument hears it from elsewhere (a controller, a host), echoed to the editor.
    void setFromOutside(int index, float value) {
        instrument->setParameter(index, value);
        testing::deliverPostedMessages();
    }
    std::vector<float> render(juce::MidiBuffer midi, int blocks) { return testing::renderLeft(*instrument, midi, blocks); }

    juce::File root = juce::File::createTempFile("front-panel-instrument");
    MorvaneFindFolder folder{root, "Corvex2"};
    std::unique_ptr<CorvanAudioFilter> instrument;
    std::unique_ptr<LayerFoldingEditor> editor;
    ScriptedModalCalls calls;
    std::unique_ptr<CorvanControlPanel> panel;
};

TEST_F(FrontPanelInstrumentTest, DraggingTheVolumeKnobChangesTheParameterAndTheSound) {
    juce::MidiBuffer on;
    on.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(100)), 0);
    render(on, 30);
    const double before = testing::rms(render({}, 30));
    ASSERT_GT(before, 1e-3) << "the held note sounds";

    auto& knob = dynamic_cast<juce::Slider&>(*widgetFor(fp::Role::Bound, P::kVolume));
    const juce::Point<float> centre = knob.getLocalBounds().getCentre().toFloat();
    knob.mouseDown(mouseEvent(knob, centre));
    knob.mouseDrag(mouseEvent(knob, centre.translated(0.0f, 300.0f), {}, centre));
    knob.mouseUp(mouseEvent(knob, centre.translated(0.0f, 300.0f), {}, centre));
    testing::deliverPostedMessages();

    EXPECT_NEAR(instrument->getParameter(P::kVolume), 0.0f, 1e-3) << "dragged all the way down";
    EXPECT_NEAR(knob.getValue(), 0.0, 1e-3) << "the knob shows the instrument's echo";
    render({}, 20);
    EXPECT_LT(testing::rms(render({}, 30)), 0.05 * before) << "the note fell silent";
}

// Each step sets a cutoff or switches the layer; the Upper-bound cutoff slider must show the shown layer's value.
TEST_F(FrontPanelInstrumentTest, TheLayerSwitchDecidesWhichLayerTheWidgetsShowAndEdit) {
    const int upper = P::kCutoff;
    const int lower = P::unfold(P::kCutoff, 1);
    juce::Slider& cutoff = sliderFor(P::kCutoff);
    const struct {
        const char* what;
        int index;  // set from outside; -1 switches to the layer whose LED is named
        float value;
        const char* led;
        double shown;
    } steps[] = {
        {"Upper is shown and set", upper, 0.2f, nullptr, 0.2},
        {"a Lower echo leaves the Upper slider", lower, 0.9f, nullptr, 0.2},
        {"showing Lower reads Lower's value", -1, 0.0f, "Lower", 0.9},
        {"an Upper echo leaves the Lower slider", upper, 0.6f, nullptr, 0.9},
        {"a Lower echo moves it", lower, 0.4f, nullptr, 0.4},
        {"back on Upper", -1, 0.0f, "Upper", 0.6},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.index >= 0)
            setFromOutside(s.index, s.value);
        else
            showLayer(s.led);
        EXPECT_NEAR(cutoff.getValue(), s.shown, 0.01);
    }

    // An edit on the Lower layer reaches Lower's row only, and the switch is where the small LCD says.
    showLayer("Lower");
    EXPECT_EQ(editor->getParameter(P::kShownLayer), 1.0f);
    EXPECT_TRUE(panel->getSmallLcd().getLowerLine().getToggleState());
    cutoff.setValue(0.75, juce::sendNotificationSync);
    testing::deliverPostedMessages();
    EXPECT_NEAR(instrument->getParameter(lower), 0.75f, 0.01f);
    EXPECT_NEAR(instrument->getParameter(upper), 0.6f, 0.01f);
    EXPECT_NEAR(cutoff.getValue(), 0.75, 0.01);
    // Global rows are the same on either layer.
    setFromOutside(P::kVolume, 0.3f);
    EXPECT_NEAR(sliderFor(P::kVolume).getValue(), 0.3, 0.01);
}

} // namespace
} // namespace corvex

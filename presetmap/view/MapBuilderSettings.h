// The "Generation settings" dialog: the four weights of a patch's feature vector, which the next rebuild of
// the map uses. Only "OK" keeps what was set.
#pragma once

#include <array>
#include <string_view>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/MapWeights.h"
#include "widgets/MVModalDialog.h"

namespace corvex {

class ModalCalls;

class MapBuilderSettings : public MVModalDialogPanel {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 220;
    static constexpr const char* kTitle = "Generation settings";
    static constexpr int kWeightCount = 4;

    MapBuilderSettings();
    ~MapBuilderSettings() override;

    // By the weight's key: "Inst", "Att", "Par", "Matx"; another key sets nothing and reads 0.
    void setWeight(std::string_view key, float value);
    float getWeight(std::string_view key) const;

    bool wasAccepted() const { return accepted_; }
    juce::Slider& getSlider(int n) { return sliders_[static_cast<size_t>(n)]; }
    juce::Button& getOkButton() { return ok_; }

    void buttonClicked(juce::Button* button) override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    // Shows the dialog over the weights given; they take the sliders' values only when it ends with "OK".
    // True then.
    static bool editWeights(ModalCalls& modal, MapWeights& weights);

private:
    int sliderOf(std::string_view key) const;

    std::array<juce::Label, kWeightCount> labels_;
    std::array<juce::Slider, kWeightCount> sliders_;
    juce::TextButton ok_{"new button"};
    bool accepted_ = false;
};

} // namespace corvex

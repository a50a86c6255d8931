// The response of a chain's four-band equaliser, drawn with the engine's own sections, and its band handles:
// dragging one moves the band's frequency and gain, or with the right button a peak band's Q.
#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/effects/EqualizerResponse.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanEqualizerGraphComponent : public juce::Component, public MVParameterListener {
public:
    CorvanEqualizerGraphComponent(int chain, MVGuiInterface* gui);
    ~CorvanEqualizerGraphComponent() override;
    CorvanEqualizerGraphComponent(const CorvanEqualizerGraphComponent&) = delete;
    CorvanEqualizerGraphComponent& operator=(const CorvanEqualizerGraphComponent&) = delete;

    const eqgraph::Bands& getBands() const { return bands_; }
    int getDraggedBand() const { return dragged_; }
    eqgraph::Axes axes() const { return {getWidth(), getHeight()}; }
    // The y the curve is drawn at for column x.
    int curveYAt(int x) const { return axes().curveY(response_, x); }

    void paint(juce::Graphics& g) override;
    void resized() override;
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

private:
    static constexpr int kListened = 14;

    // Stores a chain-0 index's value; false for an index the graph does not show.
    bool store(int index, float value);
    void paintGrid(juce::Graphics& g, int plotWidth);

    MVGuiInterface* const gui_;
    const int chain_;
    eqgraph::Bands bands_{};
    eqgraph::Response response_;
    int dragged_ = -1;
    std::array<std::unique_ptr<MVParameterBinding>, kListened> bindings_;
};

} // namespace corvex

// The X/Y screen: where the modulation point of each layer travelled, as fading trails, under the axes turned
// by the current rotation. The kernel streams the points; the screen only draws them.
#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/PointRecord.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVGuiMessageListener.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CorvanQuorbitScreen : public juce::Component, public MVGuiMessageListener, public MVParameterListener {
public:
    // The GUI message id under which the instrument posts a layer's trajectory points.
    static constexpr int kTrajectoryMessage = 0;
    static constexpr int kLayers = 2;

    explicit CorvanQuorbitScreen(MVGuiInterface* gui);
    ~CorvanQuorbitScreen() override;
    CorvanQuorbitScreen(const CorvanQuorbitScreen&) = delete;
    CorvanQuorbitScreen& operator=(const CorvanQuorbitScreen&) = delete;

    // Draws the points into their layer's trail, only while the screen is on show: a hidden page costs nothing.
    void addTrajectory(const PointRecord& points);

    int getShownLayer() const { return shownLayer_; }
    // Null before the first resize.
    const juce::Image& getTrail(int layer) const { return layers_.at(static_cast<size_t>(layer)).trail; }
    juce::Point<float> getRotation(int layer) const {
        const Layer& l = layers_.at(static_cast<size_t>(layer));
        return {l.cosine, l.sine};
    }

    void guiMessageReceived(int id, const std::shared_ptr<const void>& payload) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}
    void resized() override;
    void paint(juce::Graphics& g) override;

private:
    struct Layer {
        juce::Image trail;
        float previousX = 0.0f, previousY = 0.0f; // y already flipped
        float cosine = 1.0f, sine = 0.0f;
    };

    void drawAxisLabels(juce::Graphics& g, float cx, float cy) const;

    juce::WeakReference<MVGuiInterface> gui_;
    int shownLayer_ = 0;
    std::array<Layer, kLayers> layers_;
    float extentX_ = 0.0f, extentY_ = 0.0f;
    MVParameterBinding shownLayerBinding_;
};

} // namespace corvex

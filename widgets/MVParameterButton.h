// What the latching and the momentary button share: a picture button bound to one parameter, which opens the
// MIDI-learn popup on ctrl-click.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class MVParameterButton : public juce::DrawableButton, public juce::Button::Listener, public MVParameterListener {
public:
    ~MVParameterButton() override;
    MVParameterButton(const MVParameterButton&) = delete;
    MVParameterButton& operator=(const MVParameterButton&) = delete;

    int getParameterIndex() const { return index_; }
    bool isBound() const { return index_ >= 0; }

    // A ctrl-click belongs to MIDI learn from press to release: dragging over the button or letting go on it
    // must neither push nor click it.
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;

    void highlightChanged(int, float) override {}

protected:
    MVParameterButton(MVGuiInterface* gui, int index);

    // The last step of construction: a bound button listens to itself and to its index.
    void bind();
    // True during a ctrl-click, and while the library finishes a release: a release it never painted as
    // pressed is flashed as a press, which must not count as a second push.
    bool isIgnoringPresses() const { return midiLearnPress_ || releasing_; }

    MVGuiInterface* const gui_;
    const int index_;

private:
    MVParameterBinding binding_;
    bool midiLearnPress_ = false;
    bool releasing_ = false;
};

} // namespace corvex

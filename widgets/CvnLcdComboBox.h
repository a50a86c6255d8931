// A combo box bound to a discrete parameter of N steps shown as N items: choosing item i sends the centre of
// step i, and the echo selects the item of the value. Made without its items, it stays inert until setUp.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "widgets/MVGuiInterface.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class CvnLcdComboBox : public juce::ComboBox, public MVParameterListener, public juce::ComboBox::Listener {
public:
    // The creator adds the items with ids 1..N, then calls setUp.
    CvnLcdComboBox(const juce::String& name, MVGuiInterface* gui, int index);
    // Ready at once: one item and one step per text, ids 1..N.
    CvnLcdComboBox(const juce::String& name, MVGuiInterface* gui, int index, const juce::StringArray& items);
    ~CvnLcdComboBox() override;
    CvnLcdComboBox(const CvnLcdComboBox&) = delete;
    CvnLcdComboBox& operator=(const CvnLcdComboBox&) = delete;

    // n steps, or as many as the box holds when n is -1; selects the parameter's item and starts listening.
    void setUp(int n = -1);
    int getNumSteps() const { return numItems_; }
    int getParameterIndex() const { return index_; }

    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}
    void comboBoxChanged(juce::ComboBox* box) override;

private:
    void selectValue(float value);

    MVGuiInterface* const gui_;
    const int index_;
    int numItems_ = 0;
    bool isSetUp_ = false;
    MVParameterBinding binding_;
};

} // namespace corvex

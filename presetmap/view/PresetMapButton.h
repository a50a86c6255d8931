// One patch on the map, or an instrument type's icon: a small shape whose form and colours tell the type.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/PresetMapRecord.h"

namespace corvex {

class PresetMapButton : public juce::ShapeButton {
public:
    // record may be null (an icon); type is used only then.
    PresetMapButton(const PresetMapRecord* record, int type);
    // An icon of type 0 without a patch.
    explicit PresetMapButton(const juce::String& componentName);

    void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

    const PresetMapRecord* getRecord() const { return record_; }
    // The record's type when there is one; always within 0..11.
    int getEffectiveType() const;
    // An icon's type (its form and colours), keeping the button's size; a button with a record keeps the record's.
    void setType(int type);
    void setZoom(float zoom) { zoom_ = zoom; }
    float getZoom() const { return zoom_; }

    // Six forms in a 16 x 16 box, shared by the types modulo 6.
    static const juce::Path& getShapeForType(int type);
    // The fill and the end of the gradient, and the gradient's middle; both at alpha 0.7.
    static juce::Colour outerColour(int type);
    static juce::Colour centreColour(int type);

private:
    const PresetMapRecord* record_;
    int type_;
    float zoom_ = 1.0f;
};

} // namespace corvex

// What a view that morphs shares: the morph's state, the arrows shown while dragging, the path left after, and
// the cursor. The view hands it its mouse positions; tests hand it positions directly.
#pragma once

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "presetmap/MorphSnapshots.h"
#include "presetmap/view/CMorpherArrowsComponent.h"

namespace corvex {

class CMorpherUtil {
public:
    virtual ~CMorpherUtil();

    // Adds the hidden arrows to the owner and gives it the morph cursor.
    void initMorpher(ISoundmapSupportBase* support, juce::Component* owner);

    // Positions in the owner's pixels.
    void beginMorphAt(float x, float y);
    void continueMorphAt(float x, float y);
    // The release: the arrows go, the path of the morph stays drawn until the next press.
    void endMorph();
    void beginMorph(const juce::MouseEvent& e) { beginMorphAt(e.position.x, e.position.y); }
    void continueMorph(const juce::MouseEvent& e) { continueMorphAt(e.position.x, e.position.y); }

    // From the owner's paint. The path is kept in fractions of the owner's size, so it follows a resize.
    void paintLastMorphPath(juce::Graphics& g);
    // One line from start to end with its head halfway, pointing to the end.
    static void drawMorphArrow(juce::Graphics& g, float x1, float y1, float x2, float y2, float thickness);

    MorphSnapshots& getMorph() { return morph_; }
    const MorphSnapshots& getMorph() const { return morph_; }
    CMorpherArrowsComponent* getArrows() const { return arrows_.get(); }

private:
    MorphSnapshots morph_;
    std::unique_ptr<CMorpherArrowsComponent> arrows_;
    juce::Component* owner_ = nullptr;
};

} // namespace corvex

// What the insert-chain and master-effect frames share: a list of effect types on the left and, inside a
// titled outline on the right, the editor of the type the selector parameter holds. The selector's value alone
// decides the editor shown, whoever changed it; choosing a row only sends the new value.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "editor/effects/CorvanEffectList.h"
#include "editor/effects/CorvanEffectsPanelInterface.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MVPanel.h"
#include "widgets/MVParameterBinding.h"
#include "widgets/MVParameterListener.h"

namespace corvex {

// Message thread only.
class EffectFrame : public MVPanel, public CorvanEffectsPanelInterface, public MVParameterListener {
public:
    static constexpr int kListX = 0, kListWidth = 120;
    static constexpr int kOutlineX = 160, kOutlineTop = 4;

    ~EffectFrame() override;
    EffectFrame(const EffectFrame&) = delete;
    EffectFrame& operator=(const EffectFrame&) = delete;

    // Where the list sits along the frame's left edge; the outline is joined to its top and bottom.
    virtual void setListBounds(int y, int height);

    void resized() override;
    void paint(juce::Graphics& g) override;
    void effectSelected(const juce::String& name) override;
    void parameterChanged(int index, float value) override;
    void highlightChanged(int, float) override {}

    int getSelectorIndex() const { return selector_; }
    CorvanEffectList& getList() { return *list_; }
    // The editor of a type (null for no effect), and the one on screen (null while no effect is chosen).
    MVPanel* getEditor(int type) const;
    MVPanel* getVisibleEditor() const { return shown_ != nullptr && shown_->isVisible() ? shown_ : nullptr; }
    // The outline's title: the chosen row's text.
    juce::String getTitle() const { return list_->getSelectedText(); }

protected:
    // knownNames are the types a chosen row is looked up in; typeNames are the rows the list shows.
    EffectFrame(MVGuiInterface* gui, const juce::StringArray& typeNames, const juce::StringArray& knownNames,
                int number, int selectorIndex);

    // From the derived constructor, one per type that has an editor; it stays hidden until its type is chosen.
    void addEditor(int type, std::unique_ptr<MVPanel> editor);
    // The last step of construction, once every editor is there: the list, the selector's value shown, then
    // listening to the selector.
    void start();

    MVGuiInterface* gui() const { return gui_; }
    int number() const { return number_; }

private:
    void showType(int type);
    juce::Rectangle<int> outlineBounds() const;

    MVGuiInterface* const gui_;
    std::unique_ptr<CorvanEffectList> list_;
    std::map<int, std::unique_ptr<MVPanel>> editors_;
    MVPanel* shown_ = nullptr;
    const juce::StringArray typeNames_;
    const juce::StringArray knownNames_;
    const int number_;
    const int selector_;
    int listTop_ = 0, listHeight_ = 0;
    bool selecting_ = false;
    MVParameterBinding binding_;
};

} // namespace corvex

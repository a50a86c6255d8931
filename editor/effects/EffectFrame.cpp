#include "editor/effects/EffectFrame.h"

#include "editor/effects/EffectTypeSelector.h"
#include "instrument/params/ParameterIndex.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr float kLineThickness = 0.5f;
constexpr float kJoinAlpha = 0.4f;
constexpr int kOutlineRightMargin = 8;
} // namespace

EffectFrame::EffectFrame(MVGuiInterface* gui, const juce::StringArray& typeNames, const juce::StringArray& knownNames,
                         int number, int selectorIndex)
    : gui_(gui), typeNames_(typeNames), knownNames_(knownNames), number_(number), selector_(selectorIndex),
      binding_(gui, this) {}

// The list must not report the selection it loses while the frame goes.
EffectFrame::~EffectFrame() {
    binding_.unbind();
    list_.reset();
    editors_.clear();
}

void EffectFrame::addEditor(int type, std::unique_ptr<MVPanel> editor) {
    if (editor == nullptr) return;
    addChildComponent(*editor);
    editors_[type] = std::move(editor);
}

void EffectFrame::start() {
    list_ = std::make_unique<CorvanEffectList>("Effects List", this);
    list_->setItems(typeNames_);
    addAndMakeVisible(*list_);
    showType(effecttypes::typeOfValue(gui_ != nullptr ? gui_->getParameter(selector_) : 0.0f, knownNames_.size()));
    binding_.bind(selector_);
}

MVPanel* EffectFrame::getEditor(int type) const {
    const auto found = editors_.find(type);
    return found != editors_.end() ? found->second.get() : nullptr;
}

void EffectFrame::setListBounds(int y, int height) {
    listTop_ = y;
    listHeight_ = height;
    resized();
    repaint();
}

juce::Rectangle<int> EffectFrame::outlineBounds() const {
    return {kOutlineX, kOutlineTop, getWidth() - kOutlineX - kOutlineRightMargin, getHeight() - 2 * kOutlineTop};
}

void EffectFrame::resized() {
    if (list_ != nullptr) list_->setBounds(kListX, listTop_, kListWidth, listHeight_);
    for (auto& [type, editor] : editors_) editor->setBounds(outlineBounds());
}

void EffectFrame::paint(juce::Graphics& g) {
    const juce::Colour grey(CorvanLookAndFeel::kGrey);
    const juce::Rectangle<int> outline = outlineBounds();
    g.setColour(grey);
    CorvanLookAndFeel::getInstance()->drawGroupOutline(g, getTitle(), outline.getX(), outline.getY(),
                                                       outline.getWidth(), outline.getHeight(), kLineThickness,
                                                       CorvanLookAndFeel::kFontHeight);
    g.setColour(grey.withAlpha(kJoinAlpha));
    const auto listRight = static_cast<float>(kListX + kListWidth);
    g.drawLine(listRight, static_cast<float>(listTop_), static_cast<float>(outline.getX()),
               static_cast<float>(outline.getY()), kLineThickness);
    g.drawLine(listRight, static_cast<float>(listTop_ + listHeight_), static_cast<float>(outline.getX()),
               static_cast<float>(outline.getBottom()), kLineThickness);
}

void EffectFrame::effectSelected(const juce::String& name) {
    if (selecting_ || gui_ == nullptr) return;
    const int type = knownNames_.indexOf(name);
    if (type < 0) return;
    const int count = knownNames_.size();
    if (effecttypes::typeOfValue(gui_->getParameter(selector_), count) == type) return;
    gui_->notifyParameterEdit(MVGuiInterface::kNewValue, selector_, effecttypes::valueOfType(type, count));
}

void EffectFrame::parameterChanged(int index, float value) {
    if (index != selector_) return;
    const int type = effecttypes::typeOfValue(value, knownNames_.size());
    showType(type);
}

void EffectFrame::showType(int type) {
    selecting_ = true;
    if (juce::isPositiveAndBelow(type, typeNames_.size())) list_->selectRow(typeNames_.indexOf(typeNames_[type]));
    selecting_ = false;
    if (shown_ != nullptr) shown_->setVisible(false);
    if (MVPanel* editor = getEditor(type)) {
        editor->setVisible(true);
        shown_ = editor;
    }
    repaint();
}

} // namespace corvex

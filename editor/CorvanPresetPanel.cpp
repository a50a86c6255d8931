#include "editor/CorvanPresetPanel.h"

#include "presets/CorvanMultiFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"

namespace corvex {

namespace {
constexpr int kButtonWidth = 80, kButtonHeight = 16;
constexpr int kFrameOffset = 8;
constexpr int kRadioGroup = 1;
constexpr float kCorner = 4.0f;
constexpr float kDimmed = 0.5f;

juce::Path closedPath(std::initializer_list<juce::Point<int>> points) {
    juce::Path path;
    bool first = true;
    for (const auto& p : points) {
        if (first)
            path.startNewSubPath(p.toFloat());
        else
            path.lineTo(p.toFloat());
        first = false;
    }
    path.closeSubPath();
    return path;
}
} // namespace

CorvanPresetPanel::Layout CorvanPresetPanel::layoutFor(int width, int height) {
    const int a = (30 * (height - 46)) / 100;
    const int b = (70 * (height - 46)) / 100;
    Layout layout;
    layout.patchButton = {160, 10, kButtonWidth, kButtonHeight};
    layout.patchProperties = {10, 26, 380, a - 8};
    layout.lowerButton = {62, a + 28, kButtonWidth, kButtonHeight};
    layout.lowerProperties = {10, a + 44, 185, b - 8};
    layout.upperButton = {257, a + 28, kButtonWidth, kButtonHeight};
    layout.upperProperties = {205, a + 44, 185, b - 8};
    layout.pages = {420, 28, width - 440, a + b - 2};
    layout.pageArea = {410, 18, width - 420, a + b + 18};
    return layout;
}

CorvanPresetPanel::CorvanPresetPanel(MVGuiInterface* gui, ModalCalls& calls) : gui_(gui), calls_(calls) {
    setLookAndFeel(CorvanLookAndFeel::getInstance());
}

CorvanPresetPanel::~CorvanPresetPanel() {
    if (patches_ != nullptr) patches_->removeListener(this);
    setLookAndFeel(nullptr);
}

void CorvanPresetPanel::initialise(CorvanMultiFilterManager* patches) {
    patches_ = patches;
    patchProperties_ = std::make_unique<CorvanMultiPropertiesPanel>(patches, calls_);
    lowerProperties_ = std::make_unique<CorvanProgramPropertiesPanel>(patches->getLowerPrograms(), calls_);
    upperProperties_ = std::make_unique<CorvanProgramPropertiesPanel>(patches->getUpperPrograms(), calls_);
    for (PresetPropertiesPanel* properties :
         std::initializer_list<PresetPropertiesPanel*>{patchProperties_.get(), lowerProperties_.get(),
                                                       upperProperties_.get()})
        addAndMakeVisible(*properties);
    // The messages that would fill them came before they listened.
    patchProperties_->refresh(patches->getCurrentPreset());
    lowerProperties_->refresh(patches->getLowerPrograms()->getCurrentPreset());
    upperProperties_->refresh(patches->getUpperPrograms()->getCurrentPreset());

    patchButton_ = std::make_unique<CvnLcdTextButton>("Patch");
    lowerButton_ = std::make_unique<CvnLcdTextButton>("Lower");
    upperButton_ = std::make_unique<CvnLcdTextButton>("Upper");
    for (CvnLcdTextButton* button : {patchButton_.get(), lowerButton_.get(), upperButton_.get()}) {
        button->setButtonText(button->getName());
        button->addListener(this);
        button->setClickingTogglesState(true);
        button->setRadioGroupId(kRadioGroup);
        addAndMakeVisible(*button);
    }

    patchPage_ = std::make_unique<CorvanMultiPanel>(gui_, calls_);
    lowerPage_ = std::make_unique<CorvanProgramPanel>(gui_, calls_);
    upperPage_ = std::make_unique<CorvanProgramPanel>(gui_, calls_);
    for (juce::Component* page : std::initializer_list<juce::Component*>{patchPage_.get(), lowerPage_.get(),
                                                                        upperPage_.get()})
        addChildComponent(*page);
    resized();
    patchButton_->triggerClick();
    patchPage_->initialise(patches);
    lowerPage_->initialise(patches->getLowerPrograms(), patches);
    upperPage_->initialise(patches->getUpperPrograms(), patches);
    patches->addListener(this);
    // The patch may be playing "Whole" since before the page existed.
    applyModeOf(patches->getCurrentPreset());
}

void CorvanPresetPanel::buttonClicked(juce::Button* button) {
    // The level turned off by the radio group reports a click too: only the one turned on switches.
    if (!button->getToggleState()) return;
    if (shownPage_ != nullptr) shownPage_->setVisible(false);
    auto activate = [this](PresetPropertiesPanel* active) {
        for (PresetPropertiesPanel* properties :
             std::initializer_list<PresetPropertiesPanel*>{patchProperties_.get(), lowerProperties_.get(),
                                                           upperProperties_.get()})
            properties->setActive(properties == active);
    };
    auto show = [this](juce::Component* page) {
        page->setVisible(true);
        shownPage_ = page;
    };
    if (button == patchButton_.get()) {
        show(patchPage_.get());
        activate(patchProperties_.get());
        upperProperties_->setBounds(upperPropertiesBounds_);
    } else if (button == lowerButton_.get()) {
        show(lowerPage_.get());
        if (patches_ != nullptr) patches_->setShownLayer(1);
        activate(lowerProperties_.get());
        // Room below the Upper panel for the outline that joins the Lower panel to its page.
        upperProperties_->setBounds(upperPropertiesBounds_.withTrimmedBottom(3 * kMargin));
    } else if (button == upperButton_.get()) {
        show(upperPage_.get());
        if (patches_ != nullptr) patches_->setShownLayer(0);
        activate(upperProperties_.get());
        upperProperties_->setBounds(upperPropertiesBounds_);
    }
    repaint();
}

void CorvanPresetPanel::applyModeOf(const MorvanePreset* patch) {
    if (patch == nullptr) return;
    const juce::String mode = patch->getAttribute(CorvanMultiFilterManager::kModeKey);
    if (mode.isNotEmpty()) setLowerLayerEnabled(mode != "Whole");
}

void CorvanPresetPanel::presetFilterChanged(int id, int value, int, void* pointer) {
    auto* preset = static_cast<MorvanePreset*>(pointer);
    switch (id) {
    case MorvanePresetManager::kChanged:
        // Programs carry no mode: only a patch's message can change the Lower layer's use.
        applyModeOf(preset);
        break;
    case MorvanePresetFilterManager::kCurrentPresetChanged:
        if (value == MorvanePresetFilterManager::kPatches) applyModeOf(preset);
        break;
    case MorvanePresetFilterManager::kShownLayer: {
        if (patchButton_ == nullptr || patchButton_->getToggleState()) break;
        juce::Button* target = value != 0 ? lowerButton_.get() : upperButton_.get();
        // Already on: the switch came from this page, and clicking again would echo it.
        if (!target->getToggleState()) target->triggerClick();
        break;
    }
    default:
        break;
    }
}

void CorvanPresetPanel::setLowerLayerEnabled(bool enabled) {
    if (lowerButton_ == nullptr || lowerButton_->isEnabled() == enabled) return;
    lowerButton_->setEnabled(enabled);
    lowerProperties_->setEnabled(enabled);
    repaint();
}

void CorvanPresetPanel::resized() {
    const Layout layout = layoutFor(getWidth(), getHeight());
    pageArea_ = layout.pageArea;
    upperPropertiesBounds_ = layout.upperProperties;
    if (patchButton_ == nullptr) return;
    patchButton_->setBounds(layout.patchButton);
    lowerButton_->setBounds(layout.lowerButton);
    upperButton_->setBounds(layout.upperButton);
    patchProperties_->setBounds(layout.patchProperties);
    lowerProperties_->setBounds(layout.lowerProperties);
    upperProperties_->setBounds(layout.upperProperties);
    for (juce::Component* page : std::initializer_list<juce::Component*>{patchPage_.get(), lowerPage_.get(),
                                                                        upperPage_.get()})
        page->setBounds(layout.pages);
}

void CorvanPresetPanel::paintLevel(juce::Graphics& g, const PresetPropertiesPanel& properties,
                                   const juce::Component& page, bool lower) {
    const CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    const int x = properties.getX(), y = properties.getY(), w = properties.getWidth(), h = properties.getHeight();
    const juce::Rectangle<int> r = pageArea_;
    const int top = y - (kFrameOffset - 1);
    if (&page == shownPage_) {
        juce::Path outline;
        if (&properties == patchProperties_.get()) {
            outline = closedPath({{x, top}, {x + w - 1, top}, {x + w - 1, y + 3}, {r.getX() + 10, y + 3},
                                  {r.getX() + 10, top}, {r.getRight(), top}, {r.getRight(), top + r.getHeight()},
                                  {r.getX() + 10, top + r.getHeight()}, {r.getX() + 10, y + 23}, {x + w - 1, y + 23},
                                  {x + w - 1, y + h}, {x, y + h}});
        } else if (lower) {
            outline = closedPath({{x, top}, {x + w - 1, top}, {x + w - 1, y + h - 20}, {r.getX() + 10, y + h - 20},
                                  {r.getX() + 10, r.getY()}, {r.getRight(), r.getY()}, {r.getRight(), r.getBottom()},
                                  {r.getX() + 10, r.getBottom()}, {r.getX() + 10, y + h - 5}, {x + w - 1, y + h - 5},
                                  {x + w - 1, y + h}, {x, y + h}});
        } else {
            outline = closedPath({{x, top}, {x + w - 1, top}, {x + w - 1, y + 3}, {r.getX() + 10, y + 3},
                                  {r.getX() + 10, r.getY()}, {r.getRight(), r.getY()}, {r.getRight(), r.getBottom()},
                                  {r.getX() + 10, r.getBottom()}, {r.getX() + 10, y + 23}, {x + w - 1, y + 23},
                                  {x + w - 1, y + h}, {x, y + h}});
        }
        outline = outline.createPathWithRoundedCorners(kCorner);
        g.setColour(look.darkColour.withAlpha(0.2f));
        g.fillPath(outline);
        g.setColour(look.greyColour);
        g.strokePath(outline, juce::PathStrokeType(1.0f));
        return;
    }
    const float alpha = lower && !lowerButton_->isEnabled() ? kDimmed : 1.0f;
    const auto f = [](int v) { return static_cast<float>(v); };
    if (&properties == patchProperties_.get()) {
        g.setColour(look.darkColour);
        g.drawRoundedRectangle(f(x + 2), f(top), f(w - 3), f(h + 5), kCorner, 1.0f);
    }
    g.setColour(look.darkColour.withMultipliedAlpha(alpha));
    g.fillRoundedRectangle(f(x), f(top), f(w - 1), f(h + 7), kCorner);
    g.setColour(look.greyColour.withMultipliedAlpha(alpha));
    g.drawRoundedRectangle(f(x + 1), f(y - 6), f(w - 3), f(h + 5), kCorner, 1.0f);
}

void CorvanPresetPanel::paint(juce::Graphics& g) {
    MVPanel::paint(g);
    if (patchProperties_ == nullptr) return;
    paintLevel(g, *patchProperties_, *patchPage_, false);
    paintLevel(g, *lowerProperties_, *lowerPage_, true);
    paintLevel(g, *upperProperties_, *upperPage_, false);
    const CorvanLookAndFeel& look = *CorvanLookAndFeel::getInstance();
    const float lowerAlpha = lowerButton_->isEnabled() ? 1.0f : kDimmed;
    for (const PresetPropertiesPanel* properties :
         std::initializer_list<const PresetPropertiesPanel*>{lowerProperties_.get(), upperProperties_.get()}) {
        const float cx = static_cast<float>(properties->getX() + properties->getWidth() / 2);
        const float y = static_cast<float>(properties->getY());
        g.setColour(look.greyColour.withMultipliedAlpha(properties == lowerProperties_.get() ? lowerAlpha : 1.0f));
        g.drawLine(cx, y - 15.0f, cx, y - 26.0f, 3.0f);
    }
}

} // namespace corvex

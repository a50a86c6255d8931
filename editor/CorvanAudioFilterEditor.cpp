// The editor window's content.
#include "editor/CorvanAudioFilterEditor.h"

#include <algorithm>

#include "editor/CorvanControlPanel.h"
#include "editor/lcd/CorvanAboutPanel.h"
#include "editor/lcd/CorvanExtraPanel.h"
#include "editor/lcd/LcdPage.h"
#include "editor/toolbar/CorvanToolbar.h"
#include "editor/toolbar/ToolbarArt.h"
#include "instrument/CorvanAudioFilter.h"
#include "instrument/params/ParameterIndex.h"
#include "presets/CorvanMultiFilterManager.h"
#include "widgets/CorvanLookAndFeel.h"
#include "widgets/MVPanel.h"
#include "widgets/MVPatchViewBinding.h"

namespace corvex {

namespace {

namespace P = ParameterIndex;

constexpr float kOn = 0.75f;
constexpr float kOff = 0.25f;

ModalCalls& chooseCalls(ModalCalls* given, std::unique_ptr<JuceModalCalls>& own) {
    if (given != nullptr) return *given;
    own = std::make_unique<JuceModalCalls>();
    return *own;
}

const MorvaneFindFolder& folderOf(const CorvanAudioFilterEditor::Options& options) {
    return options.folder != nullptr ? *options.folder : MorvaneFindFolder::getInstance();
}

} // namespace

CorvanAudioFilterEditor::CorvanAudioFilterEditor(CorvanAudioFilter* instrument, Options options)
    : LayerFoldingEditor(instrument, folderOf(options)), corvan_(instrument),
      calls_(chooseCalls(options.calls, ownCalls_)), prompt_(calls_),
      animator_(options.clock ? options.clock : systemMillisecondClock()) {
    animator_.setListener(this);
    CorvanMultiFilterManager* patches = corvan_->getPatchFilterManager();
    // The LCD's patch page puts its own prompt in place while it lives; without it the toolbar's Save asks here.
    if (patches != nullptr) patches->setPrompt(&prompt_);

    toolbar_ = std::make_unique<CorvanToolbar>(this, patches, corvan_, calls_, std::move(options.mapHandler),
                                               [this](bool shown) { setLcdShown(shown); });
    addAndMakeVisible(*toolbar_);
    background_ = std::make_unique<MVPanel>();
    background_->setBackgroundImage(toolbarart::editorStrip());
    background_->setSize(toolbarart::kStripWidth, toolbarart::kStripHeight);
    addAndMakeVisible(*background_);
    lcdHolder_ = std::make_unique<CorvanExtraPanel>(this, patches, calls_);
    addChildComponent(*lcdHolder_);
    controlPanel_ = std::make_unique<CorvanControlPanel>(this, patches, calls_);
    addAndMakeVisible(*controlPanel_);
    aboutPanel_ = std::make_unique<CorvanAboutPanel>(this);
    addChildComponent(*aboutPanel_);

    // The patches hear the key mode and the shown layer, and may ask for a layer to be shown.
    if (patches != nullptr) patchView_ = std::make_unique<MVPatchViewBinding>(*this, *patches);
    setLookAndFeel(CorvanLookAndFeel::getInstance());
    getParameterBubble().setLookAndFeel(CorvanLookAndFeel::getInstance());
    getMidiSettingsBubble().setLookAndFeel(CorvanLookAndFeel::getInstance());
    getTextBubble().setLookAndFeel(CorvanLookAndFeel::getInstance());
    corvan_->getMidiManager().addListener(this);

    placeChildren(lcdpage::fromValue(corvan_->getLcdPageValue()));
}

CorvanAudioFilterEditor::CorvanAudioFilterEditor(CorvanAudioFilter* instrument)
    : CorvanAudioFilterEditor(instrument, Options()) {}

// Nothing that outlives the editor may keep a pointer to it: the patches lose their view and prompt, the MIDI
// manager its listener, and the base clears the instrument's editor.
CorvanAudioFilterEditor::~CorvanAudioFilterEditor() {
    storeLcdPageParameter();
    animator_.cancelAllAnimations();
    animator_.setListener(nullptr);
    patchView_.reset();
    corvan_->getMidiManager().removeListener(this);
    aboutPanel_.reset();
    controlPanel_.reset();
    lcdHolder_.reset();
    background_.reset();
    toolbar_.reset();
    if (CorvanMultiFilterManager* patches = corvan_->getPatchFilterManager()) patches->setPrompt(nullptr);
    for (juce::Component* bubble : {static_cast<juce::Component*>(&getParameterBubble()),
                                    static_cast<juce::Component*>(&getMidiSettingsBubble()),
                                    static_cast<juce::Component*>(&getTextBubble())})
        bubble->setLookAndFeel(nullptr);
    setLookAndFeel(nullptr);
}

int CorvanAudioFilterEditor::topOfLcd() const { return toolbar_->getHeight() + background_->getHeight(); }

// The holder shows when the instrument remembers a page on it; every child keeps its own size.
void CorvanAudioFilterEditor::placeChildren(int page) {
    lcdShown_ = page != lcdpage::kHidden ? 1 : 0;
    lcdHolder_->setVisible(lcdShown_ == 1);
    setSize(kWidth, lcdShown_ == 1 ? kOpenHeight : kClosedHeight);
    toolbar_->setTopLeftPosition(0, 0);
    background_->setTopLeftPosition(0, toolbar_->getHeight());
    lcdHolder_->setTopLeftPosition(0, topOfLcd());
    controlPanel_->setTopLeftPosition(0, topOfLcd() + (lcdShown_ == 1 ? lcdHolder_->getHeight() : 0));
    auto& hide = toolbar_->getButton(lcdShown_ == 1 ? CorvanToolbar::kLcdShow : CorvanToolbar::kLcdHide);
    hide.setToggleState(true, juce::dontSendNotification);
}

void CorvanAudioFilterEditor::setLcdShown(bool shown) {
    if ((shown ? 1 : 0) == lcdShown_) return;
    lcdShown_ = shown ? 1 : 0;
    const int top = topOfLcd();
    const int bottom = top + lcdHolder_->getHeight();
    if (shown) lcdHolder_->setVisible(true);
    controlPanel_->setTopLeftPosition(0, shown ? top : bottom);
    // The window stays open while the panel slides up; it closes once the slide has ended.
    setSize(kWidth, kOpenHeight);
    animator_.animateComponent(controlPanel_.get(), controlPanel_->getBounds().withY(shown ? bottom : top), 0.0,
                               0.0);
}

void CorvanAudioFilterEditor::animationFinished() {
    if (lcdShown_ != 0) return;
    lcdHolder_->setVisible(false);
    setSize(kWidth, kClosedHeight);
}

void CorvanAudioFilterEditor::showAboutPanel(bool show) {
    aboutPanel_->setTopLeftPosition(getWidth() / 2 - aboutPanel_->getWidth() / 2,
                                    getHeight() / 2 - aboutPanel_->getHeight() / 2);
    aboutPanel_->setVisible(show);
    if (show) aboutPanel_->toFront(false);
    parameterChanged(P::kAboutShown, show ? kOn : kOff);
}

void CorvanAudioFilterEditor::storeLcdPageParameter() {
    const int page = lcdShown_ == 1 ? std::min(lcdHolder_->getLcd().getCurrentPage(), lcdpage::kLast) : 0;
    notifyParameterEdit(kNewValue, P::kLcdPage, lcdpage::toValue(page));
}

// The editor's own ids change nothing the presets hold; every other id goes the layer switch's way.
void CorvanAudioFilterEditor::notifyParameterEdit(int kind, int index, float value) {
    if (index < P::kCount || index == P::kShownLayer) {
        LayerFoldingEditor::notifyParameterEdit(kind, index, value);
        return;
    }
    if (kind != kNewValue) return;
    switch (index) {
    case P::kReferenceTone:
        if (CorvexKernel* kernel = corvan_->getKernel()) kernel->setTestTone(value > 0.5f);
        break;
    case P::kAboutShown: showAboutPanel(value > 0.5f); break;
    case P::kLcdPage: corvan_->setLcdPageValue(value); break;
    default: break;
    }
}

float CorvanAudioFilterEditor::getParameter(int index) {
    if (index < P::kCount || index == P::kShownLayer) return LayerFoldingEditor::getParameter(index);
    switch (index) {
    case P::kReferenceTone: {
        const CorvexKernel* kernel = corvan_->getKernel();
        return kernel != nullptr && kernel->getTestTone() ? kOn : kOff;
    }
    case P::kAboutShown: return aboutPanel_ != nullptr && aboutPanel_->isVisible() ? kOn : kOff;
    case P::kLcdPage: return corvan_->getLcdPageValue();
    default: return 0.0f;
    }
}

void CorvanAudioFilterEditor::midiValueChanged(float value) { parameterChanged(P::kPitchWheel, value); }

void CorvanAudioFilterEditor::paint(juce::Graphics& g) {
    const juce::Colour dark = CorvanLookAndFeel::getInstance()->darkColour;
    if (!dark.isTransparent()) g.fillAll(dark);
}

} // namespace corvex

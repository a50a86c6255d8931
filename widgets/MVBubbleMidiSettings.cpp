// The MIDI-learn popup.
#include "widgets/MVBubbleMidiSettings.h"

#include "instrument/MidiMenus.h"
#include "instrument/MorvaneMidiManager.h"
#include "widgets/MVGuiInterface.h"
#include "widgets/MidiControllerCode.h"

namespace corvex {

namespace {

constexpr float kFontHeight = 11.0f;
constexpr int kCloseImageSize = 12;
const juce::String kLearnText("Learn");
const juce::String kLearningText("Learning ...");

// The close cross, drawn here rather than shipped as a picture.
juce::Image makeCloseImage(juce::Colour colour) {
    juce::Image image(juce::Image::ARGB, kCloseImageSize, kCloseImageSize, true);
    juce::Graphics g(image);
    g.setColour(colour);
    const float lo = 2.5f, hi = static_cast<float>(kCloseImageSize) - 2.5f;
    g.drawLine(lo, lo, hi, hi, 1.6f);
    g.drawLine(lo, hi, hi, lo, 1.6f);
    return image;
}

void setId(juce::Component& c, int id) { c.getProperties().set(MVBubbleMidiSettings::MidiSettings::kIdProperty, id); }

int idOf(const juce::Component* c) {
    if (c == nullptr) return -1;
    const juce::var* id = c->getProperties().getVarPointer(MVBubbleMidiSettings::MidiSettings::kIdProperty);
    return id != nullptr ? static_cast<int>(*id) : -1;
}

} // namespace

MVBubbleMidiSettings::MidiSettings::MidiSettings(MVGuiInterface* gui)
    : gui_(gui), midi_(gui != nullptr ? gui->getMidiManager() : nullptr) {
    title_.setFont(juce::Font(kFontHeight));
    title_.setJustificationType(juce::Justification::centred);
    name_.setFont(juce::Font(kFontHeight));
    nrpn_.setTooltip("Check to use NRPN");
    for (juce::Label* label : {&number_, &high_, &low_}) {
        label->setFont(juce::Font(kFontHeight));
        // The popup opens each label's number menu.
        label->addMouseListener(this, false);
    }
    setId(learn_, kLearnButton);
    setId(clear_, kClearButton);
    setId(close_, kCloseButton);
    setId(nrpn_, kNrpnSwitch);
    setId(number_, kControllerNumberLabel);
    setId(high_, kNrpnHighLabel);
    setId(low_, kNrpnLowLabel);

    lookAndFeelChanged();

    for (juce::Button* button : {static_cast<juce::Button*>(&nrpn_), static_cast<juce::Button*>(&learn_),
                                 static_cast<juce::Button*>(&clear_), static_cast<juce::Button*>(&close_)})
        button->addListener(this);
    for (juce::Component* child : {static_cast<juce::Component*>(&title_), static_cast<juce::Component*>(&name_),
                                   static_cast<juce::Component*>(&nrpn_), static_cast<juce::Component*>(&number_),
                                   static_cast<juce::Component*>(&learn_), static_cast<juce::Component*>(&clear_),
                                   static_cast<juce::Component*>(&close_)})
        addAndMakeVisible(*child);
    addChildComponent(high_);
    addChildComponent(low_);

    setSize(kContentWidth - 2 * kChildInset, kContentHeight - 2 * kChildInset);
    if (midi_ != nullptr) midi_->addListener(this);
}

MVBubbleMidiSettings::MidiSettings::~MidiSettings() {
    if (midi_ != nullptr) midi_->removeListener(this);
    for (juce::Label* label : {&number_, &high_, &low_}) label->removeMouseListener(this);
}

void MVBubbleMidiSettings::MidiSettings::setTarget(int index, int code) {
    // Learning was armed for the parameter shown before.
    if (index != index_) stopLearning();
    index_ = index;
    code_ = code;
}

void MVBubbleMidiSettings::MidiSettings::refresh() {
    // Whatever was stored or announced, the map decides: a controller may have been learned, loaded from the
    // settings or chosen since.
    if (midi_ != nullptr && index_ >= 0) code_ = midi_->getParameterController(index_);
    name_.setText(gui_ != nullptr ? gui_->getParameterName(index_) : juce::String(), juce::dontSendNotification);

    const ControllerParts parts = describeController(code_);
    const bool nrpn = parts.kind == ControllerKind::Nrpn;
    nrpn_.setToggleState(nrpn, juce::dontSendNotification);
    number_.setVisible(!nrpn);
    high_.setVisible(nrpn);
    low_.setVisible(nrpn);
    switch (parts.kind) {
    case ControllerKind::None: number_.setText("none", juce::dontSendNotification); break;
    case ControllerKind::Plain: number_.setText(juce::String(parts.number), juce::dontSendNotification); break;
    case ControllerKind::Nrpn:
        high_.setText(juce::String(parts.high), juce::dontSendNotification);
        low_.setText(juce::String(parts.low), juce::dontSendNotification);
        break;
    case ControllerKind::Rpn:
        number_.setText("RPN " + juce::String(parts.high) + "/" + juce::String(parts.low), juce::dontSendNotification);
        break;
    }
    repaint();
}

void MVBubbleMidiSettings::MidiSettings::applyLookAndFeel(juce::LookAndFeel* lookAndFeel) {
    setLookAndFeel(lookAndFeel);
    for (juce::Label* label : {&number_, &high_, &low_}) {
        label->setLookAndFeel(lookAndFeel);
        label->setColour(juce::Label::textColourId, juce::Colours::black);
    }
}

// The cross takes the colour of the popup's text, so it shows on whatever body the look-and-feel draws.
void MVBubbleMidiSettings::MidiSettings::lookAndFeelChanged() {
    const juce::Image cross = makeCloseImage(findColour(juce::Label::textColourId));
    close_.setImages(true, false, true, cross, 0.8f, {}, cross, 1.0f, {}, cross, 1.0f, juce::Colours::grey);
}

void MVBubbleMidiSettings::MidiSettings::stopLearning() {
    const bool wasLearning = learn_.getToggleState();
    learn_.setToggleState(false, juce::dontSendNotification);
    learn_.setButtonText(kLearnText);
    if (wasLearning && midi_ != nullptr) midi_->clearLearnTarget();
}

juce::Component* MVBubbleMidiSettings::MidiSettings::findChildWithId(int id) {
    for (juce::Component* child : getChildren())
        if (idOf(child) == id) return child;
    return nullptr;
}

void MVBubbleMidiSettings::MidiSettings::resized() {
    const int w = getWidth();
    const int half = (w - 20) / 2;
    title_.setBounds(10, 0, w - 20, 15);
    name_.setBounds(10, 20, w - 20, 15);
    nrpn_.setBounds(10, 40, w - 20, 20);
    number_.setBounds(10, 65, w - 20, 15);
    high_.setBounds(10, 65, half, 15);
    low_.setBounds(10 + half, 65, half, 15);
    learn_.setBounds(10, 85, half, 20);
    clear_.setBounds(10 + half, 85, half, 20);
    close_.setTopLeftPosition(w - close_.getWidth() - 10, 5);
}

void MVBubbleMidiSettings::MidiSettings::buttonClicked(juce::Button* button) {
    if (midi_ == nullptr || index_ < 0) return;
    switch (idOf(button)) {
    case kLearnButton:
        if (learn_.getToggleState()) {
            stopLearning();
        } else {
            learn_.setToggleState(true, juce::dontSendNotification);
            learn_.setButtonText(kLearningText);
            midi_->setLearnTarget(index_);
        }
        break;
    case kClearButton:
        midi_->clearParameterController(index_);
        refresh();
        break;
    case kCloseButton:
        stopLearning();
        if (gui_ != nullptr) gui_->hideMidiSettings();
        break;
    case kNrpnSwitch:
        midi_->assignController(codeAfterNrpnSwitch(code_), index_);
        refresh();
        break;
    default: break;
    }
}

void MVBubbleMidiSettings::MidiSettings::mouseDown(const juce::MouseEvent& event) {
    const int label = idOf(event.eventComponent);
    if (label == kControllerNumberLabel || label == kNrpnHighLabel || label == kNrpnLowLabel) showNumberMenu(label);
}

void MVBubbleMidiSettings::MidiSettings::showNumberMenu(int label) {
    const int ticked = tickedMenuNumber(label, code_);
    juce::PopupMenu menu;
    menu.setLookAndFeel(&getLookAndFeel());
    menu.addItem(1, "none", true, ticked == kMenuChoseNone);
    for (int n = 0; n <= 127; ++n) menu.addItem(n + 2, juce::String(n), true, ticked == n);
    const juce::Point<int> mouse = juce::Desktop::getMousePosition();
    const int item = menu.showMenu(juce::PopupMenu::Options().withTargetScreenArea({mouse.x, mouse.y, 1, 1}));
    applyNumberChoice(label, controllerFromMenu(item).value_or(kMenuDismissed));
}

void MVBubbleMidiSettings::MidiSettings::applyNumberChoice(int label, int result) {
    if (midi_ == nullptr || index_ < 0) return;
    if (const std::optional<int> code = codeAfterNumberChoice(label, code_, result)) {
        midi_->assignController(*code, index_);
        refresh();
    }
}

void MVBubbleMidiSettings::MidiSettings::controllerAssignmentChanged(int index, int /*controller*/) {
    stopLearning();
    if (index == index_) refresh();
}

MVBubbleMidiSettings::MVBubbleMidiSettings(MVGuiInterface* gui)
    : MVBubbleComponent(std::make_unique<MidiSettings>(gui)), settings_(static_cast<MidiSettings*>(getChild())) {
    setAllowedPlacement(left | right);
}

void MVBubbleMidiSettings::visibilityChanged() {
    if (!isVisible()) settings_->stopLearning();
}

} // namespace corvex

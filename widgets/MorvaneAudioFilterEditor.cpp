// The base of the instrument's editor.
#include "widgets/MorvaneAudioFilterEditor.h"

#include <cmath>
#include <cstdio>

#include "instrument/MorvaneAudioFilter.h"

namespace corvex {

namespace {

// What JUCE's binary properties files begin with (plain, then compressed).
bool startsLikeBinaryProperties(const juce::File& file) {
    juce::FileInputStream in(file);
    if (!in.openedOk()) return false;
    char magic[4] = {};
    if (in.read(magic, 4) != 4) return false;
    const juce::String text(magic, 4);
    return text == "PROP" || text == "CPRP";
}

} // namespace

MorvaneAudioFilterEditor::MorvaneAudioFilterEditor(MorvaneAudioFilter* instrument, const MorvaneFindFolder& folder)
    : AudioFilterEditor(instrument) {
    parameterBubble_ = std::make_unique<MVBubbleParamComponent>(this);
    addChildComponent(*parameterBubble_);
    midiBubble_ = std::make_unique<MVBubbleMidiSettings>(this);
    addChildComponent(*midiBubble_);
    textBubble_ = std::make_unique<MVBubbleStringComponent>();
    addChildComponent(*textBubble_);
    prefs_ = openPreferences(folder.getPluginPrefsFile());
    messenger_.setRereader([this](int index) { return getParameter(index); });
}

// The window clears the instrument's editor before it deletes the editor; should anyone forget, the instrument
// must not keep calling an editor that is gone.
MorvaneAudioFilterEditor::~MorvaneAudioFilterEditor() {
    if (instrument_ != nullptr && instrument_->getActiveEditor() == this) instrument_->setActiveEditor(nullptr);
    prefs_.reset();
}

// A file that is not in the binary format would go to JUCE's XML reader, which must never see files from disk;
// it is kept as it is, and the settings hold their defaults for this run.
std::unique_ptr<juce::PropertiesFile> MorvaneAudioFilterEditor::openPreferences(const juce::File& file) {
    if (file.exists() && !startsLikeBinaryProperties(file)) {
        std::fprintf(stderr, "Editor preferences : %s is not a preferences file, so it is left as it is\n",
                     file.getFullPathName().toRawUTF8());
        return nullptr;
    }
    juce::PropertiesFile::Options options;
    options.millisecondsBeforeSaving = kPrefsSaveDelayMs;
    options.storageFormat = juce::PropertiesFile::storeAsBinary;
    auto prefs = std::make_unique<juce::PropertiesFile>(file, options);
    if (!prefs->isValidFile()) {
        std::fprintf(stderr, "Editor preferences : %s could not be read, so it is left as it is\n",
                     file.getFullPathName().toRawUTF8());
        return nullptr;
    }
    return prefs;
}

void MorvaneAudioFilterEditor::addParameterListener(int index, MVParameterListener* listener) {
    messenger_.addParameterListener(index, listener);
}

void MorvaneAudioFilterEditor::removeParameterListener(int index, MVParameterListener* listener) {
    messenger_.removeParameterListener(index, listener);
}

void MorvaneAudioFilterEditor::addGuiMessageListener(int id, MVGuiMessageListener* listener) {
    messenger_.addGuiMessageListener(id, listener);
}

void MorvaneAudioFilterEditor::removeGuiMessageListener(int id, MVGuiMessageListener* listener) {
    messenger_.removeGuiMessageListener(id, listener);
}

void MorvaneAudioFilterEditor::postGuiMessage(int id, std::shared_ptr<const void> payload) {
    messenger_.postGuiMessage(id, std::move(payload));
}

void MorvaneAudioFilterEditor::postGuiMessage(int id, std::shared_ptr<const PointRecord> record) {
    messenger_.postGuiMessage(id, std::shared_ptr<const void>(std::move(record)));
}

MorvaneMidiManager* MorvaneAudioFilterEditor::getMidiManager() {
    return instrument_ != nullptr ? &instrument_->getMidiManager() : nullptr;
}

void MorvaneAudioFilterEditor::notifyParameterEdit(int kind, int index, float value) {
    if (instrument_ == nullptr) return;
    AudioFilterBase::FilterNativeCallbacks* host = instrument_->getHostCallbacks();
    switch (kind) {
    case kGestureBegin:
        if (host != nullptr) host->beginParameterGesture(index);
        break;
    case kGestureEnd:
        if (host != nullptr) host->endParameterGesture(index);
        break;
    case kNewValue:
        // A host would record a value that is not a number; the instrument itself ignores one.
        if (std::isfinite(value)) instrument_->setParameterNotifyingHost(index, value);
        break;
    default: break;
    }
}

float MorvaneAudioFilterEditor::getParameter(int index) {
    return instrument_ != nullptr ? instrument_->getParameter(index) : 0.0f;
}

void MorvaneAudioFilterEditor::parameterChanged(int index, float value) { messenger_.postParameterChanged(index, value); }

juce::String MorvaneAudioFilterEditor::getParameterName(int index) {
    return instrument_ != nullptr ? instrument_->getParameterLongName(index) : juce::String();
}

juce::String MorvaneAudioFilterEditor::getParameterText(int index) {
    return instrument_ != nullptr ? instrument_->getParameterText(index) : juce::String();
}

bool MorvaneAudioFilterEditor::refreshParameter(int index) {
    ParameterMapping* table = instrument_ != nullptr ? instrument_->getParameterTable() : nullptr;
    if (table == nullptr || table->mapper(index) == nullptr) return false;
    if (table->isDiscrete(index)) return true;
    // Sent through the instrument, which holds the edit lock while the mapper writes the program image.
    instrument_->setParameterInternal(index, table->getCachedValue(index));
    return false;
}

void MorvaneAudioFilterEditor::showTextBubble(const juce::String& text, juce::Component* at) {
    if (midiBubble_->isVisible()) return;
    textBubble_->setText(text);
    textBubble_->pointAt(at);
    textBubble_->toFront(false);
    textBubble_->setVisible(true);
}

void MorvaneAudioFilterEditor::setTextBubbleText(const juce::String& text) { textBubble_->setText(text); }

void MorvaneAudioFilterEditor::hideTextBubble() {
    textBubble_->setText({});
    textBubble_->setVisible(false);
}

void MorvaneAudioFilterEditor::showParameterBubble(int index, juce::Component* at) {
    if (midiBubble_->isVisible()) return;
    parameterBubble_->setParameter(index);
    parameterBubble_->pointAt(at);
    parameterBubble_->toFront(false);
    if (getParameterName(index).isNotEmpty() && getParameterText(index).isNotEmpty())
        parameterBubble_->setVisible(true);
}

void MorvaneAudioFilterEditor::hideParameterBubble() {
    if (parameterBubble_->getParameterIndex() >= 0) parameterBubble_->setParameter(-1);
    parameterBubble_->setVisible(false);
}

void MorvaneAudioFilterEditor::showMidiSettings(int index, juce::Component* at) {
    if (instrument_ == nullptr || !instrument_->isParameterMidiLearnable(index)) return;
    hideParameterBubble();
    if (index < 0) return;
    MVBubbleMidiSettings::MidiSettings& settings = midiBubble_->getSettings();
    settings.setTarget(index, instrument_->getMidiManager().getParameterController(index));
    settings.refresh();
    if (at != nullptr) midiBubble_->setPosition(at);
    midiBubble_->toFront(false);
    midiBubble_->setVisible(true);
}

void MorvaneAudioFilterEditor::hideMidiSettings() { midiBubble_->setVisible(false); }

juce::String MorvaneAudioFilterEditor::getStringSetting(const juce::String& key, const juce::String& defaultValue) {
    return prefs_ != nullptr ? prefs_->getValue(key, defaultValue) : defaultValue;
}

int MorvaneAudioFilterEditor::getIntSetting(const juce::String& key, int defaultValue) {
    return prefs_ != nullptr ? prefs_->getIntValue(key, defaultValue) : defaultValue;
}

void MorvaneAudioFilterEditor::setIntSetting(const juce::String& key, int value) {
    if (prefs_ != nullptr) prefs_->setValue(key, juce::String(value));
}

void MorvaneAudioFilterEditor::setStringSetting(const juce::String& key, const juce::String& value) {
    if (prefs_ != nullptr) prefs_->setValue(key, value);
}

void MorvaneAudioFilterEditor::kernelParameterChanged(int /*section*/, int moduleSlot, int parameter, int unitKind,
                                                      float value) {
    const int index = parameterBubble_->getParameterIndex();
    if (index < 0 || parameterBubble_->showsInterfaceText() || instrument_ == nullptr) return;
    ParameterMapping* table = instrument_->getParameterTable();
    if (table != nullptr && table->isMapperFor(index, moduleSlot, parameter))
        parameterBubble_->showKernelValue(unitKind, value);
}

} // namespace corvex

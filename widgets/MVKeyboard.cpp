// The piano keys.
#include "widgets/MVKeyboard.h"

#include <algorithm>

#include "instrument/MorvaneMidiManager.h"

namespace corvex {

namespace {
constexpr const char* kNoteIdProperty = "note_id";
}

MVKeyboard::CNote::CNote(MVKeyboard* keyboard, int noteOffset, const juce::Image& strip)
    : keyboard_(keyboard), noteOffset_(noteOffset), strip_(strip) {
    getProperties().set(kNoteIdProperty, noteOffset);
}

int MVKeyboard::CNote::pressedAt(int semitones) const {
    return keyboard_->isPressed(keyboard_->getLowestNote() + noteOffset_ + semitones) ? 1 : 0;
}

void MVKeyboard::CNote::paint(juce::Graphics& g) {
    if (!strip_.isValid()) return;
    const int w = getWidth();
    const int h = getHeight();
    g.drawImage(strip_, 0, 0, w, h, 0, getFrame() * h, w, h);
}

// A drag keeps arriving here after it has left this key, so the keyboard is told where the mouse is now.
void MVKeyboard::CNote::mouseDown(const juce::MouseEvent& e) { keyboard_->playNoteAt(e.x + getX(), e.y + getY()); }
void MVKeyboard::CNote::mouseDrag(const juce::MouseEvent& e) { keyboard_->playNoteAt(e.x + getX(), e.y + getY()); }
void MVKeyboard::CNote::mouseUp(const juce::MouseEvent& e) { keyboard_->mouseUp(e); }

int MVKeyboard::C8Note::getFrame() const { return 4 * pressedAt(0) + 2 * pressedAt(-2) + pressedAt(-1); }

// The first key has no neighbour on the keyboard: a note below the range must not change its look.
int MVKeyboard::C3Note::getFrame() const {
    if (noteOffset_ == 0) return pressedAt(0);
    return pressedAt(0) == 0 ? 0 : 1 + pressedAt(-1);
}

int MVKeyboard::CBlackNote::getFrame() const { return pressedAt(0); }

MVKeyboard::MVKeyboard(MVGuiInterface* gui) : gui_(gui) {
    if (auto* midi = gui_ != nullptr ? gui_->getMidiManager() : nullptr) midi->addListener(this);
}

MVKeyboard::~MVKeyboard() {
    if (auto* midi = gui_ != nullptr ? gui_->getMidiManager() : nullptr) midi->removeListener(this);
    for (int i = keys_.size(); --i >= 0;) keys_.remove(i);
}

void MVKeyboard::setOctave(int octave) {
    // Every key must stay a MIDI note: an octave past either end would play and light notes that do not exist.
    const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int lowest = -floorDiv(baseNote_, 12);
    const int highest = floorDiv(127 - highestOffset_ - baseNote_, 12);
    octave_ = std::clamp(octave, lowest, std::max(lowest, highest));
    lowestNote_ = baseNote_ + 12 * octave_;
    repaint();
}

void MVKeyboard::setStrip(int strip, const juce::Image& image, int width, int height) {
    if (strip < 0 || strip >= kStripCount) return;
    strips_[static_cast<size_t>(strip)] = image;
    stripSizes_[static_cast<size_t>(strip)] = {width, height};
}

void MVKeyboard::addKey(int kind, int strip, int noteOffset, int x) {
    if (strip < 0 || strip >= kStripCount) return;
    const juce::Image& image = strips_[static_cast<size_t>(strip)];
    CNote* key = nullptr;
    if (kind == 0)
        key = new C8Note(this, noteOffset, image);
    else if (kind == 1)
        key = new C3Note(this, noteOffset, image);
    else
        key = new CBlackNote(this, noteOffset, image);
    keys_.add(key);
    const auto size = stripSizes_[static_cast<size_t>(strip)];
    key->setBounds(x, 0, size.first, size.second);
    addAndMakeVisible(key);
    highestOffset_ = std::max(highestOffset_, noteOffset);
}

void MVKeyboard::sendNote(int note, bool on) {
    // A full queue loses the note; no echo comes back, so its key stays dark, which tells the truth.
    if (auto* midi = gui_ != nullptr ? gui_->getMidiManager() : nullptr) midi->sendNote(note, on, kVelocity);
}

void MVKeyboard::playNoteAt(int x, int y) {
    const juce::Component* under = getComponentAt(x, y);
    int note = -1;
    if (under != nullptr && under->getProperties().contains(kNoteIdProperty))
        note = static_cast<int>(under->getProperties()[kNoteIdProperty]) + lowestNote_;
    if (note == heldNote_) return;
    // The old note goes first: a synthesizer in mono mode would otherwise hear a legato and then silence.
    if (heldNote_ >= 0) sendNote(heldNote_, false);
    heldNote_ = note;
    if (note >= 0) sendNote(note, true);
}

void MVKeyboard::mouseDown(const juce::MouseEvent& e) { playNoteAt(e.x, e.y); }
void MVKeyboard::mouseDrag(const juce::MouseEvent& e) { playNoteAt(e.x, e.y); }

void MVKeyboard::mouseUp(const juce::MouseEvent&) {
    if (heldNote_ >= 0) sendNote(heldNote_, false);
    heldNote_ = -1;
}

void MVKeyboard::midiNoteChanged(int note, int state) {
    if (note >= 0 && note < 128)
        pressed_[static_cast<size_t>(note)] = state != 0 ? 1 : 0;
    else if (note == -1)
        pressed_.fill(0);
    else
        return;
    repaint();
}

} // namespace corvex

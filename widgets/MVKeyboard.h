// A row of piano keys for auditioning with the mouse: a press or a drag plays one note at a time through the
// MIDI manager, and keys light only from the notes the MIDI manager reports back, whoever played them.
#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "instrument/MorvaneMidiManagerListener.h"
#include "widgets/MVGuiInterface.h"

namespace corvex {

// Message thread only.
class MVKeyboard : public juce::Component, public MorvaneMidiManagerListener {
public:
    static constexpr int kStripCount = 13;
    static constexpr int kBaseNote = 48;
    static constexpr float kVelocity = 0.7f;

    // One key: its frame says whether it and the neighbours that change its look are down.
    class CNote : public juce::Component {
    public:
        CNote(MVKeyboard* keyboard, int noteOffset, const juce::Image& strip);
        int getNoteOffset() const { return noteOffset_; }
        virtual int getFrame() const = 0;
        void paint(juce::Graphics& g) override;
        void mouseDown(const juce::MouseEvent& e) override;
        void mouseDrag(const juce::MouseEvent& e) override;
        void mouseUp(const juce::MouseEvent& e) override;

    protected:
        // Whether the note `semitones` from this key is reported down; notes outside MIDI's range never are.
        int pressedAt(int semitones) const;

        MVKeyboard* const keyboard_;
        const int noteOffset_;
        const juce::Image strip_;
    };
    // A white key with a black key just below it.
    class C8Note : public CNote {
    public:
        using CNote::CNote;
        int getFrame() const override;
    };
    // A white key with a white key just below it (C and F), and the keyboard's first and last keys.
    class C3Note : public CNote {
    public:
        using CNote::CNote;
        int getFrame() const override;
    };
    class CBlackNote : public CNote {
    public:
        using CNote::CNote;
        int getFrame() const override;
    };

    explicit MVKeyboard(MVGuiInterface* gui);
    ~MVKeyboard() override;
    MVKeyboard(const MVKeyboard&) = delete;
    MVKeyboard& operator=(const MVKeyboard&) = delete;

    virtual int getOctave() const { return octave_; }
    // Limited so that every key plays a MIDI note (0 to 127).
    virtual void setOctave(int octave);
    virtual int getLowestNote() const { return lowestNote_; }

    // kind 0 a white key with a black one below, 1 a white key with a white one below, other a black key.
    void addKey(int kind, int strip, int noteOffset, int x);
    void playNoteAt(int x, int y);
    int getHeldNote() const { return heldNote_; }
    bool isPressed(int note) const { return note >= 0 && note < 128 && pressed_[static_cast<size_t>(note)] != 0; }
    int getKeyCount() const { return keys_.size(); }
    CNote* getKey(int i) const { return keys_[i]; }

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;

    void midiActivity() override {}
    void controllerAssignmentChanged(int, int) override {}
    void midiNoteChanged(int note, int state) override;
    void midiValueChanged(float) override {}

protected:
    void setStrip(int strip, const juce::Image& image, int width, int height);

private:
    void sendNote(int note, bool on);

    std::array<juce::Image, kStripCount> strips_;
    std::array<std::pair<int, int>, kStripCount> stripSizes_{};
    MVGuiInterface* const gui_;
    int heldNote_ = -1;
    const int baseNote_ = kBaseNote;
    int lowestNote_ = kBaseNote;
    int octave_ = 0;
    int highestOffset_ = 0;
    std::array<int, 128> pressed_{};
    juce::OwnedArray<CNote> keys_;
};

} // namespace corvex

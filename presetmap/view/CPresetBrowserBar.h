// The strip at the top of the preset browser: history keys, the current preset's name, the four snapshot
// memories and the view switches. It does nothing itself: every click goes out as a short action message, and
// the browser, having carried it out, tells the bar which keys to enable and which recall keys to show.
#pragma once

#include <array>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvex {

// The message a key sends: a memory key's store message (lower case) while Shift is held, its plain one
// otherwise; every other key ignores Shift.
juce::String browserBarMessage(const juce::String& plain, bool shift);

class CPresetBrowserBar : public juce::Component, public juce::ActionBroadcaster, public juce::Button::Listener {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 30;

    // The messages of the history, tools and memory keys; memories #1 to #4 are West, North, South, East.
    static constexpr const char* kPreviousMessage = "<";
    static constexpr const char* kNextMessage = ">";
    static constexpr const char* kToolsMessage = "T";
    static constexpr const char* kMemoryMessages[4] = {"FW", "FN", "FS", "FE"};
    static constexpr const char* kShowMapMessage = "show map";
    static constexpr const char* kShowListMessage = "show list";
    static constexpr const char* kShowMorpherMessage = "show morpher";

    // The keys in the order they are made (and stacked): a memory's recall key lies over its store key.
    enum Key {
        kStoreW, kStoreN, kStoreS, kStoreE,
        kRecallW, kRecallN, kRecallS, kRecallE,
        kPrevious, kNext, kShowMap, kShowList, kTools, kShowMorpher,
        kKeyCount
    };

    CPresetBrowserBar();
    ~CPresetBrowserBar() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void buttonClicked(juce::Button* button) override;

    // Enables or disables the key that sends the message; for a memory's message, its store key.
    void setButtonEnabled(const juce::String& message, bool enabled);
    // Shows the recall key of the memory that the message names; it stays for the bar's life.
    void showRecallButton(const juce::String& message);

    void setPresetName(const juce::String& name);
    juce::String getPresetName() const;

    juce::ImageButton& getKey(Key key) { return *keys_[static_cast<size_t>(key)]; }
    juce::TextEditor& getNameField() { return *name_; }

private:
    std::array<std::unique_ptr<juce::ImageButton>, kKeyCount> keys_;
    std::unique_ptr<juce::TextEditor> name_;
    juce::Image background_;
};

} // namespace corvex

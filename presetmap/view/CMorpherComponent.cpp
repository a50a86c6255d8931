#include "presetmap/view/CMorpherComponent.h"

#include <cmath>
#include <locale>
#include <sstream>

#include "CorvexArtwork.h"

namespace corvex {

namespace {

struct Box {
    int x, y, w, h;
};

struct SlotLook {
    const char* name;
    MorphPoint position;
    Box button;
    Box label;
    const char* caption;
    Box captionBox;
    const char* message;
    const char* labelName;
    const char* buttonName;
};

// Slots North, East, South, West; the player knows them as memories #2, #4, #3, #1.
constexpr SlotLook kSlots[kMorphSlots] = {
    {"North", {256, 32}, {240, 33, 32, 32}, {272, 72, 104, 16}, "Snap #2", {295, 55, 57, 14}, "FN", "snap2", "Preset Map btn2"},
    {"East", {480, 256}, {447, 240, 32, 32}, {360, 296, 104, 16}, "Snap #4", {403, 276, 57, 14}, "FE", "", "Preset Map btn4"},
    {"South", {256, 480}, {240, 447, 32, 32}, {128, 440, 104, 16}, "Snap #3", {151, 424, 57, 14}, "FS", "snap3", "Preset Map btn3"},
    {"West", {32, 256}, {34, 240, 32, 32}, {40, 224, 104, 16}, "Snap #1", {59, 204, 57, 14}, "FW", "snap1", "Preset Map btn1"},
};

const juce::Colour kCaption{0xFFDCE0DF};
constexpr float kTextHeight = 15.0f;
const char* const kNoPreset = "<no preset loaded>";

void place(juce::Component& c, Box b) { c.setBounds(b.x, b.y, b.w, b.h); }

} // namespace

std::string snapshotDistanceReport(const std::array<const PresetMapRecord*, kMorphSlots>& records) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "\n\n\nCouple, Dist. carte\n";
    for (int i = 0; i < kMorphSlots - 1; ++i)
        for (int j = i + 1; j < kMorphSlots; ++j) {
            const PresetMapRecord* a = records[static_cast<size_t>(i)];
            const PresetMapRecord* b = records[static_cast<size_t>(j)];
            if (a == nullptr || b == nullptr) continue;
            const float dx = a->x - b->x;
            const float dy = a->y - b->y;
            text << kSlots[i].name << "-" << kSlots[j].name << ", " << std::sqrt(dx * dx + dy * dy) << "\n";
        }
    return text.str();
}

CMorpherComponent::CMorpherComponent(ISoundmapSupportBase& support) : support_(support) {
    for (size_t slot = 0; slot < labels_.size(); ++slot) {
        const SlotLook& slotLook = kSlots[slot];
        auto label = std::make_unique<juce::Label>(slotLook.labelName, kNoPreset);
        label->setFont(juce::Font(kTextHeight, juce::Font::plain));
        label->setJustificationType(juce::Justification::centredLeft);
        label->setEditable(false, false, false);
        label->setWantsKeyboardFocus(false);
        label->setColour(juce::Label::textColourId, kCaption);
        label->setColour(juce::TextEditor::textColourId, juce::Colour(0xFF000000));
        label->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
        addAndMakeVisible(*label);
        labels_[slot] = std::move(label);
    }
    for (size_t slot = 0; slot < buttons_.size(); ++slot) {
        auto button = std::make_unique<PresetMapButton>(kSlots[slot].buttonName);
        button->addListener(this);
        addAndMakeVisible(*button);
        buttons_[slot] = std::move(button);
    }
    // An empty memory shows no button.
    for (auto& button : buttons_) button->setVisible(false);
    background_ = juce::ImageCache::getFromMemory(CorvexArtwork::map_morpher_png, CorvexArtwork::map_morpher_pngSize);
    initMorpher(&support_, this);
    for (int slot = 0; slot < kMorphSlots; ++slot) getMorph().setPosition(slot, kSlots[slot].position);
    setSize(kSize, kSize);
}

CMorpherComponent::~CMorpherComponent() {
    for (auto& button : buttons_) button->removeListener(this);
}

void CMorpherComponent::setSnapshot(const PresetMapRecord* record, int slot) {
    if (record == nullptr || slot < 0 || slot >= kMorphSlots) return;
    const size_t s = static_cast<size_t>(slot);
    labels_[s]->setText(juce::String::fromUTF8(record->name), juce::dontSendNotification);
    buttons_[s]->setType(record->type);
    buttons_[s]->setVisible(true);
    getMorph().setSnapshot(slot, record, kSlots[s].position, support_.buildPresetData());
}

void CMorpherComponent::buttonClicked(juce::Button* button) {
    for (size_t slot = 0; slot < buttons_.size(); ++slot)
        if (button == buttons_[slot].get()) sendActionMessage(kSlots[slot].message);
}

void CMorpherComponent::mouseDown(const juce::MouseEvent& e) { beginMorph(e); }

void CMorpherComponent::mouseDrag(const juce::MouseEvent& e) { continueMorph(e); }

void CMorpherComponent::mouseUp(const juce::MouseEvent&) { endMorph(); }

void CMorpherComponent::paint(juce::Graphics& g) {
    g.fillAll(juce::Colour(0xFFFFFFFF));
    if (background_.isValid()) {
        g.setOpacity(1.0f);
        g.drawImage(background_, 0, 0, kSize, kSize, 0, 0, background_.getWidth(), background_.getHeight());
    }
    g.setColour(kCaption);
    g.setFont(juce::Font(kTextHeight, juce::Font::plain));
    for (const SlotLook& slotLook : kSlots) {
        const Box& b = slotLook.captionBox;
        g.drawText(slotLook.caption, b.x, b.y, b.w, b.h, juce::Justification::centred, true);
    }
    paintLastMorphPath(g);
}

void CMorpherComponent::resized() {
    // Fixed places whatever the size: the morph positions do not move either.
    for (size_t slot = 0; slot < labels_.size(); ++slot) {
        place(*labels_[slot], kSlots[slot].label);
        place(*buttons_[slot], kSlots[slot].button);
    }
}

void CMorpherComponent::copySnapshotDistancesToClipboard() {
    std::array<const PresetMapRecord*, kMorphSlots> records{};
    for (int slot = 0; slot < kMorphSlots; ++slot) records[static_cast<size_t>(slot)] = getMorph().getRecord(slot);
    juce::SystemClipboard::copyTextToClipboard(juce::String::fromUTF8(snapshotDistanceReport(records).c_str()));
}

} // namespace corvex

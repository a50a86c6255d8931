#include "presetmap/view/CPresetBrowserBar.h"

#include "CorvexArtwork.h"

namespace corvex {

namespace {

enum class Role { kStore, kRecall, kOther };

struct KeyRow {
    const char* name;
    int x, y, w, h;
    const char* tooltip;
    const char* message;
    Role role;
    const char* normal;  // embedded pictures
    const char* pressed; // null: the normal picture serves
};

constexpr const char* kRecallTip1 = "Load preset from snapshot memory #1 (press \"Shift\" key to save)";
constexpr const char* kRecallTip2 = "Load preset from snapshot memory #2 (press \"Shift\" key to save)";
constexpr const char* kRecallTip3 = "Load preset from snapshot memory #3 (press \"Shift\" key to save)";
constexpr const char* kRecallTip4 = "Load preset from snapshot memory #4 (press \"Shift\" key to save)";

// In the order of CPresetBrowserBar::Key.
constexpr KeyRow kKeys[CPresetBrowserBar::kKeyCount] = {
    {"snap W", 262, 5, 38, 23, "Save current preset to snapshot memory #1", "FW", Role::kStore, "map_bar_store_w_png", "map_bar_snap_down_w_png"},
    {"snap N", 299, 5, 38, 23, "Save current preset to snapshot memory #2", "FN", Role::kStore, "map_bar_store_n_png", "map_bar_snap_down_n_png"},
    {"snap S", 336, 5, 38, 23, "Save current preset to snapshot memory #3", "FS", Role::kStore, "map_bar_store_s_png", "map_bar_snap_down_s_png"},
    {"snap E", 373, 5, 38, 23, "Save current preset to snapshot memory #4", "FE", Role::kStore, "map_bar_store_e_png", "map_bar_snap_down_e_png"},
    {"snap W", 262, 5, 38, 23, kRecallTip1, "FW", Role::kRecall, "map_bar_recall_w_png", "map_bar_snap_down_w_png"},
    {"snap N", 299, 5, 38, 23, kRecallTip2, "FN", Role::kRecall, "map_bar_recall_n_png", "map_bar_snap_down_n_png"},
    {"snap S", 336, 5, 38, 23, kRecallTip3, "FS", Role::kRecall, "map_bar_recall_s_png", "map_bar_snap_down_s_png"},
    {"snap E", 373, 5, 38, 23, kRecallTip4, "FE", Role::kRecall, "map_bar_recall_e_png", "map_bar_snap_down_e_png"},
    {"prev", 7, 5, 38, 23, "Load previous preset from navigation history", CPresetBrowserBar::kPreviousMessage, Role::kOther, "map_bar_prev_png", "map_bar_prev_down_png"},
    {"next", 44, 5, 38, 23, "Load next preset in navigation history", CPresetBrowserBar::kNextMessage, Role::kOther, "map_bar_next_png", "map_bar_next_down_png"},
    {"show map", 521, 5, 38, 23, "Show presets using a map", CPresetBrowserBar::kShowMapMessage, Role::kOther, "map_bar_show_map_png", "map_bar_show_map_down_png"},
    {"show list", 558, 5, 38, 23, "Show presets using a traditional list", CPresetBrowserBar::kShowListMessage, Role::kOther, "map_bar_show_list_png", "map_bar_show_list_down_png"},
    {"tool", 446, 2, 24, 24, "", CPresetBrowserBar::kToolsMessage, Role::kOther, "map_bar_tools_png", nullptr},
    {"show morpher", 595, 5, 38, 23, "Show preset morpher view", CPresetBrowserBar::kShowMorpherMessage, Role::kOther, "map_bar_show_morpher_png", "map_bar_show_morpher_down_png"},
};

struct Box {
    int x, y, w, h;
};
constexpr Box kNameField{87, 7, 137, 19};

juce::Image picture(const char* resource) {
    int size = 0;
    const char* data = CorvexArtwork::getNamedResource(resource, size);
    return data != nullptr ? juce::ImageCache::getFromMemory(data, size) : juce::Image();
}

bool isMemoryMessage(const juce::String& message) {
    for (const char* memory : CPresetBrowserBar::kMemoryMessages)
        if (message == memory) return true;
    return false;
}

} // namespace

juce::String browserBarMessage(const juce::String& plain, bool shift) {
    return shift && isMemoryMessage(plain) ? plain.toLowerCase() : plain;
}

CPresetBrowserBar::CPresetBrowserBar() {
    for (size_t k = 0; k < keys_.size(); ++k) {
        const KeyRow& row = kKeys[k];
        auto key = std::make_unique<juce::ImageButton>(row.name);
        key->setTooltip(row.tooltip);
        key->setButtonText(row.role == Role::kStore ? "new button" : "");
        const juce::Image normal = picture(row.normal);
        const juce::Image pressed = row.pressed != nullptr ? picture(row.pressed) : juce::Image();
        key->setImages(false, true, true, normal, 1.0f, juce::Colours::transparentBlack, normal, 0.8428f,
                       juce::Colour(0x6C49DBAB), pressed, 1.0f, juce::Colours::transparentBlack, 0.0f);
        key->addListener(this);
        addAndMakeVisible(*key);
        keys_[k] = std::move(key);
        if (k == kNext) {
            name_ = std::make_unique<juce::TextEditor>("preset");
            name_->setMultiLine(false);
            name_->setReadOnly(true);
            name_->setText("<preset>", false);
            name_->setTooltip("Current preset name");
            name_->setColour(juce::TextEditor::textColourId, juce::Colour(0xFF00FF00));
            name_->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00FFFFFF));
            name_->setColour(juce::TextEditor::shadowColourId, juce::Colour(0x00000000));
            addAndMakeVisible(*name_);
        }
    }
    background_ = picture("map_bar_png");
    keys_[kPrevious]->setEnabled(false);
    keys_[kNext]->setEnabled(false);
    keys_[kTools]->setVisible(false);
    for (const Key recall : {kRecallW, kRecallN, kRecallS, kRecallE}) keys_[recall]->setVisible(false);
    setSize(kWidth, kHeight);
}

CPresetBrowserBar::~CPresetBrowserBar() {
    for (auto& key : keys_) key->removeListener(this);
}

void CPresetBrowserBar::paint(juce::Graphics& g) {
    g.fillAll(juce::Colour(0xFF8C8C8C));
    if (background_.isValid()) {
        g.setOpacity(1.0f);
        g.drawImage(background_, 0, 0, kWidth, kHeight, 0, 0, background_.getWidth(), background_.getHeight());
    }
}

void CPresetBrowserBar::resized() {
    for (size_t k = 0; k < keys_.size(); ++k) {
        const KeyRow& row = kKeys[k];
        keys_[k]->setBounds(row.x, row.y, row.w, row.h);
    }
    name_->setBounds(kNameField.x, kNameField.y, kNameField.w, kNameField.h);
}

void CPresetBrowserBar::buttonClicked(juce::Button* button) {
    for (size_t k = 0; k < keys_.size(); ++k)
        if (button == keys_[k].get()) {
            const bool shift = juce::ModifierKeys::currentModifiers.isShiftDown();
            sendActionMessage(browserBarMessage(kKeys[k].message, shift));
            return;
        }
}

void CPresetBrowserBar::setButtonEnabled(const juce::String& message, bool enabled) {
    for (size_t k = 0; k < keys_.size(); ++k)
        if (kKeys[k].role != Role::kRecall && message == kKeys[k].message) {
            keys_[k]->setEnabled(enabled);
            return;
        }
}

void CPresetBrowserBar::showRecallButton(const juce::String& message) {
    for (size_t k = 0; k < keys_.size(); ++k)
        if (kKeys[k].role == Role::kRecall && message == kKeys[k].message) {
            keys_[k]->setVisible(true);
            return;
        }
}

void CPresetBrowserBar::setPresetName(const juce::String& name) { name_->setText(name, false); }

juce::String CPresetBrowserBar::getPresetName() const { return name_->getText(); }

} // namespace corvex

#include "presetmap/view/CInstSelectorComponent.h"

#include "CorvexArtwork.h"

namespace corvex {

namespace {

struct TypeRow {
    const char* text;
    const char* name;
    const char* tooltip;
    const char* icon;
};
constexpr std::array<TypeRow, kInstrumentTypeCount> kRows{{
    {"Other", "none button", "Hide/Show Other Presets", "icn non"},
    {"Pad", "pad button", "Hide/Show Pad Presets", "icn pad"},
    {"Bass", "bass button", "Hide/Show Bass Presets", "icn bass"},
    {"Lead", "lead button", "Hide/Show Lead Presets", "icn lead"},
    {"EFX", "EFX button", "Hide/Show EFX Presets", "icn efx"},
    {"FM", "FM button", "Hide/Show FM Presets", "icn fm"},
    {"Brass", "brass button", "Hide/Show Brass Presets", "icn brass"},
    {"Percussive", "percussive button", "Hide/Show Percussive Presets", "icn perc"},
    {"Sequence", "sequence button", "Hide/Show Sequence/Arp Presets", "icn seq"},
    {"Strings", "strings button", "Hide/Show Strings Presets", "icn strings"},
    {"Guitar", "guitar button", "Hide/Show Guitar Presets", "icn guitar"},
    {"Keyboard", "kbd button", "Hide/Show Keyboard Presets", "icn kbd"},
}};

// Fixed places, whatever the selector's size.
struct Bounds {
    int x, y, w, h;
};
constexpr Bounds kAllNone{42, 307, 38, 23};
constexpr Bounds toggleBounds(int row) { return {8, 8 + 24 * row, 112, 24}; }
constexpr Bounds iconBounds(int row) { return {107, 14 + 24 * row, 12, 12}; }

const juce::Colour kText{0xFFDCE0DF};
const juce::Colour kGround{0xFF292B2A};

juce::Image picture(const char* data, int size) { return juce::ImageCache::getFromMemory(data, size); }

std::unique_ptr<juce::ImageButton> makeImageButton(const char* name, const char* tooltip, const juce::Image& normal,
                                                   const juce::Image& down) {
    auto button = std::make_unique<juce::ImageButton>(name);
    button->setTooltip(tooltip);
    button->setButtonText("new button");
    button->setImages(false, true, true, normal, 1.0f, {}, normal, 1.0f, {}, down, 1.0f, {});
    return button;
}

void place(juce::Component& c, Bounds b) { c.setBounds(b.x, b.y, b.w, b.h); }

} // namespace

CInstSelectorComponent::CInstSelectorComponent() {
    all_ = makeImageButton("all", "Select all instrument types",
                           picture(CorvexArtwork::map_types_all_png, CorvexArtwork::map_types_all_pngSize),
                           picture(CorvexArtwork::map_types_all_down_png, CorvexArtwork::map_types_all_down_pngSize));
    none_ = makeImageButton(
        "none", "Unselect all instrument types",
        picture(CorvexArtwork::map_types_none_png, CorvexArtwork::map_types_none_pngSize),
        picture(CorvexArtwork::map_types_none_down_png, CorvexArtwork::map_types_none_down_pngSize));
    for (juce::ImageButton* b : {all_.get(), none_.get()}) {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    for (int k = 0; k < kInstrumentTypeCount; ++k) {
        const TypeRow& row = kRows[static_cast<size_t>(k)];
        auto toggle = std::make_unique<juce::ToggleButton>(row.text);
        toggle->setName(row.name);
        toggle->setTooltip(row.tooltip);
        toggle->setToggleState(true, juce::dontSendNotification);
        toggle->setColour(juce::ToggleButton::textColourId, kText);
        if (k > 0) toggle->setExplicitFocusOrder(k);
        toggle->addListener(this);
        addAndMakeVisible(*toggle);
        toggles_[static_cast<size_t>(k)] = std::move(toggle);
    }
    for (int k = 0; k < kInstrumentTypeCount; ++k) {
        auto icon = std::make_unique<PresetMapButton>(nullptr, k);
        icon->setName(kRows[static_cast<size_t>(k)].icon);
        addAndMakeVisible(*icon);
        icons_[static_cast<size_t>(k)] = std::move(icon);
    }
    setSize(600, 400);
}

CInstSelectorComponent::~CInstSelectorComponent() {
    all_->removeListener(this);
    none_->removeListener(this);
    for (auto& toggle : toggles_) toggle->removeListener(this);
}

void CInstSelectorComponent::paint(juce::Graphics& g) { g.fillAll(kGround); }

void CInstSelectorComponent::resized() {
    place(*all_, kAllNone);
    place(*none_, kAllNone);
    for (int k = 0; k < kInstrumentTypeCount; ++k) {
        place(*toggles_[static_cast<size_t>(k)], toggleBounds(k));
        place(*icons_[static_cast<size_t>(k)], iconBounds(k));
    }
}

void CInstSelectorComponent::buttonClicked(juce::Button* button) {
    // The none key lies over the all key: while it shows, a click clears every type; once hidden, the all key
    // beneath fills them again and brings it back.
    if (button == all_.get()) {
        none_->setVisible(true);
        typeMaskChanged(kAllInstrumentTypes);
        return;
    }
    if (button == none_.get()) {
        none_->setVisible(false);
        typeMaskChanged(0);
        return;
    }
    for (int k = 0; k < kInstrumentTypeCount; ++k)
        if (button == toggles_[static_cast<size_t>(k)].get())
            setTypeVisible(k, button->getToggleState(), juce::ModifierKeys::currentModifiers.isShiftDown());
}

void CInstSelectorComponent::setTypeVisible(int type, bool shown, bool shift) {
    typeMaskChanged(typeMaskAfterToggle(typeMask_, type, shown, shift));
}

void CInstSelectorComponent::typeMaskChanged(int mask) {
    typeMask_ = mask;
    updateToggles();
    sendChangeMessage();
}

void CInstSelectorComponent::updateToggles() {
    for (int k = 0; k < kInstrumentTypeCount; ++k)
        toggles_[static_cast<size_t>(k)]->setToggleState(typeInMask(typeMask_, k), juce::dontSendNotification);
}

} // namespace corvex
